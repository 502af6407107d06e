# Installs the build into a scratch directory and checks what a desktop needs: the
# program on the PATH, its card library and report template beside the real executable,
# a valid desktop entry and the icon. Run with -DBUILD_DIR=... -DSCRATCH=...
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${SCRATCH}"
                        ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr/local
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(root "${SCRATCH}/usr/local")
foreach(expected bin/korvane lib/korvane/korvane lib/korvane/libsynth32.so
                 lib/korvane/libsynth32-fluidsynth.so
                 lib/korvane/krv.mas
                 share/applications/korvane.desktop
                 share/icons/hicolor/scalable/apps/korvane.svg)
  if(NOT EXISTS "${root}/${expected}")
    message(FATAL_ERROR "not installed: ${expected}")
  endif()
endforeach()
execute_process(COMMAND desktop-file-validate "${root}/share/applications/korvane.desktop"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${output}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
