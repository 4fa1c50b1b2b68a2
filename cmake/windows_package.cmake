# What the Windows build ships: vr5xp.exe with its icon, the Qt and MinGW run-time DLLs, the
# Qt plugins it loads, the procedure files and the licences, laid out as `cmake --install`
# puts them into a folder; `cpack -G ZIP` zips that folder
# (vr5xp-<version>-windows-x64.zip) and packaging/windows/vr5xp.nsi makes the installer of it.

# The icon and version Explorer shows.
string(REPLACE "." "," version_commas "${PROJECT_VERSION}")
configure_file(packaging/windows/vr5xp.rc.in ${PROJECT_BINARY_DIR}/vr5xp.rc @ONLY)
target_sources(vr5xp PRIVATE ${PROJECT_BINARY_DIR}/vr5xp.rc)

# The Qt kit's folder, whose bin/ and plugins/ hold what the program loads.
get_filename_component(qt_kit "${Qt6_DIR}/../../.." ABSOLUTE)
# Qt SQL and its SQLite driver go along whenever the kit has them, for the joint archive.
install(FILES ${qt_kit}/bin/Qt6Core.dll ${qt_kit}/bin/Qt6Gui.dll ${qt_kit}/bin/Qt6Widgets.dll
              ${qt_kit}/bin/Qt6PrintSupport.dll DESTINATION .)
if(EXISTS ${qt_kit}/bin/Qt6Sql.dll)
  install(FILES ${qt_kit}/bin/Qt6Sql.dll DESTINATION .)
endif()
install(FILES ${qt_kit}/plugins/platforms/qwindows.dll ${qt_kit}/plugins/platforms/qoffscreen.dll
              ${qt_kit}/plugins/platforms/qminimal.dll DESTINATION platforms)
install(DIRECTORY ${qt_kit}/plugins/styles ${qt_kit}/plugins/imageformats DESTINATION .)
if(EXISTS ${qt_kit}/plugins/sqldrivers/qsqlite.dll)
  install(FILES ${qt_kit}/plugins/sqldrivers/qsqlite.dll DESTINATION sqldrivers)
endif()
install(DIRECTORY ${qt_kit}/licenses/ DESTINATION licenses/qt)

# The compiler's own run-time DLLs, wherever this MinGW-w64 keeps them.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
                OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(VR5XP_WINPTHREAD_DLL libwinpthread-1.dll
          PATHS /usr/x86_64-w64-mingw32/lib /usr/x86_64-w64-mingw32/bin NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
foreach(dll ${libstdcxx} ${libgcc} ${VR5XP_WINPTHREAD_DLL})
  if(NOT EXISTS "${dll}")
    message(FATAL_ERROR "A MinGW-w64 run-time DLL was not found: ${dll}")
  endif()
endforeach()
install(FILES ${libstdcxx} ${libgcc} ${VR5XP_WINPTHREAD_DLL} DESTINATION .)
# Debian ships them with their symbols: a fifth of the size without.
foreach(dll ${libstdcxx} ${libgcc} ${VR5XP_WINPTHREAD_DLL})
  get_filename_component(name ${dll} NAME)
  install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${name}\")")
endforeach()

# The faces that stand in for Arial and Courier New where the program draws without a window
# (platform/font_stand_ins.h): Qt's font database there reads lib/fonts beside the program.
set(VR5XP_LIBERATION_FONTS /usr/share/fonts/truetype/liberation2 CACHE PATH
    "The Liberation fonts (Debian's fonts-liberation2)")
file(GLOB stand_in_fonts ${VR5XP_LIBERATION_FONTS}/LiberationSans-*.ttf
     ${VR5XP_LIBERATION_FONTS}/LiberationMono-*.ttf)
if(NOT stand_in_fonts)
  message(FATAL_ERROR "No Liberation fonts in ${VR5XP_LIBERATION_FONTS}: install fonts-liberation2")
endif()
install(FILES ${stand_in_fonts} DESTINATION lib/fonts)
if(EXISTS /usr/share/doc/fonts-liberation2/copyright)
  install(FILES /usr/share/doc/fonts-liberation2/copyright DESTINATION licenses/fonts
          RENAME liberation-fonts.txt)
endif()

# The built-in procedures as files too, a model for a company's own.
install(DIRECTORY data/procedures DESTINATION .)
install(FILES packaging/windows/vr5xp.ico DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vr5xp)
set(CPACK_PACKAGE_VENDOR "Tarnell Fusion Instruments")
set(CPACK_PACKAGE_FILE_NAME vr5xp-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
