# Installs the build into a fresh prefix and checks what a desktop needs:
# both programs (answering --version without a display), the desktop
# entry, the icons at their sizes, the file types and the manual pages.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(expected
    bin/orvexbox bin/orvexbox-batch
    share/applications/orvexbox.desktop
    share/icons/hicolor/scalable/apps/orvexbox.svg
    share/icons/hicolor/64x64/apps/orvexbox.png
    share/icons/hicolor/128x128/apps/orvexbox.png
    share/icons/hicolor/256x256/apps/orvexbox.png
    share/mime/packages/orvexbox.xml
    share/man/man1/orvexbox.1 share/man/man1/orvexbox-batch.1)
foreach(path ${expected})
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# each PNG is as wide and high as its folder says (IHDR at byte 16)
foreach(size 64 128 256)
  file(READ ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/orvexbox.png header
       OFFSET 16 LIMIT 8 HEX)
  math(EXPR hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${hex}" 2 -1 digits)
  string(LENGTH "${digits}" n)
  while(n LESS 8)
    set(digits "0${digits}")
    string(LENGTH "${digits}" n)
  endwhile()
  if(NOT header STREQUAL "${digits}${digits}")
    message(FATAL_ERROR "the ${size} px icon is ${header}")
  endif()
endforeach()

# the programs answer without a window
foreach(program orvexbox orvexbox-batch)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          ${PREFIX}/bin/${program} --version
                  RESULT_VARIABLE status OUTPUT_VARIABLE out)
  if(NOT status EQUAL 0 OR NOT out MATCHES "^3d OrvexBox [0-9]")
    message(FATAL_ERROR "${program} --version: ${status} ${out}")
  endif()
endforeach()

find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/orvexbox.desktop
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate: ${out}${err}")
  endif()
endif()
find_program(XMLLINT xmllint)
if(XMLLINT)
  execute_process(COMMAND ${XMLLINT} --noout ${PREFIX}/share/mime/packages/orvexbox.xml
                          ${PREFIX}/share/icons/hicolor/scalable/apps/orvexbox.svg
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "xmllint: ${err}")
  endif()
endif()
file(REMOVE_RECURSE ${PREFIX})
