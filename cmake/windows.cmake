# The Windows build, cross-compiled with MinGW-w64 against a Qt for Windows (see README.md,
# "Windows"): the program, its unit tests, and the folder, zip file and installer it ships in.
# Included by the top-level CMakeLists.txt in place of the Linux configuration.

find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Sql)

# GoogleTest from the sources Debian ships (libgtest-dev), built with the cross compiler before
# our warnings apply: its code is not ours to warn about.
if(VR5XP_TESTS)
  set(VR5XP_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${VR5XP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

add_compile_options(-Wall -Wextra)
if(VR5XP_WERROR)
  add_compile_options(-Werror)
endif()
add_compile_definitions(QT_NO_KEYWORDS QT_NO_CAST_FROM_BYTEARRAY UNICODE _UNICODE)

# The host's rcc would compress resources with zstd, which this Qt cannot read.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)

# Everything the program needs sits beside vr5xp.exe: its DLLs and the plugin folders.
set(CMAKE_INSTALL_BINDIR .)
add_subdirectory(src/core)
add_subdirectory(src/platform)
add_subdirectory(src/archive)
add_subdirectory(src/ui)
add_subdirectory(src/app)
# A window program: no console window opens behind it.
set_target_properties(vr5xp PROPERTIES WIN32_EXECUTABLE ON)
# The fixture library the unit tests build their reports with.
add_subdirectory(tools/tjrgen)
set_target_properties(tjrgen PROPERTIES EXCLUDE_FROM_ALL ON)

if(VR5XP_TESTS)
  add_subdirectory(tests)
  add_subdirectory(tests/windows)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/windows_package.cmake)
