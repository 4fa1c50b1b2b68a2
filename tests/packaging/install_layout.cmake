# Installs the build into a scratch folder, as the package does, and checks what a desktop needs:
# the program, the icon at every size, the menu entry with its Print and Print to... actions,
# the file types of reports and certificates, the context-menu actions, the procedures and the
# user guide with its pictures.
#   cmake -DBUILD=<build folder> -DOUT=<scratch folder> -P install_layout.cmake
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${OUT}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected bin/vr5xp share/applications/vr5xp.desktop share/mime/packages/vr5xp-mime.xml
    share/kio/servicemenus/vr5xp-print.desktop share/vr5xp/procedures/astm-f2620.json
    share/file-manager/actions/vr5xp-print.desktop share/file-manager/actions/vr5xp-print-to.desktop
    share/vr5xp/guide/user-guide.html share/vr5xp/guide/docs/main-window.png)
foreach(size 16 22 24 32 48 64 128 256 512)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/vr5xp.png)
endforeach()
foreach(path ${expected})
  if(NOT EXISTS ${OUT}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

function(expect_lines file)
  file(READ ${OUT}/${file} text)
  foreach(line ${ARGN})
    string(FIND "${text}" "${line}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${file} lacks: ${line}")
    endif()
  endforeach()
endfunction()

set(types "MimeType=application/x-tarnell-joint-report;application/x-tarnell-calibration;")
expect_lines(share/applications/vr5xp.desktop "Exec=vr5xp %f" "Icon=vr5xp" "${types}"
             "Actions=Print;PrintTo;" "Exec=vr5xp /p %f" "Exec=vr5xp /pt %f")
expect_lines(share/kio/servicemenus/vr5xp-print.desktop "${types}" "Exec=vr5xp /p %f"
             "Exec=vr5xp /pt %f")
set(action_types "MimeTypes=application/x-tarnell-joint-report;application/x-tarnell-calibration;")
expect_lines(share/file-manager/actions/vr5xp-print.desktop "Type=Action" "${action_types}"
             "Exec=vr5xp /p %f")
expect_lines(share/file-manager/actions/vr5xp-print-to.desktop "Type=Action" "${action_types}"
             "Exec=vr5xp /pt %f")
expect_lines(share/mime/packages/vr5xp-mime.xml
             "type=\"application/x-tarnell-joint-report\"" "<glob pattern=\"*.tjr\"/>"
             "type=\"application/x-tarnell-calibration\"" "<glob pattern=\"*.tdc\"/>")
# The user guide shows the README's pictures from beside it.
expect_lines(share/vr5xp/guide/user-guide.html "<title>Tarnell VR5-XP User Guide</title>"
             "src=\"docs/main-window.png\"")
file(READ ${OUT}/share/vr5xp/guide/user-guide.html guide)
string(REGEX MATCHALL "src=\"docs/[^\"]+\"" shown "${guide}")
foreach(src ${shown})
  string(REGEX REPLACE "src=\"(.*)\"" "\\1" picture "${src}")
  if(NOT EXISTS ${OUT}/share/vr5xp/guide/${picture})
    message(FATAL_ERROR "the user guide shows ${picture}, which is not installed")
  endif()
endforeach()
file(REMOVE_RECURSE ${OUT})
