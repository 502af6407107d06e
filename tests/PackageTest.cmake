cmake_minimum_required(VERSION 3.25)
# Builds the Debian package from the install rules into a scratch directory and checks it
# as dpkg-deb shows it: the program, stripped, and its link on the PATH, the copyright
# file, Depends computed from the libraries and the Recommends of the sound it needs; then
# as a Debian maintainer would, with lintian (when installed), which must report no error
# and no warning.
# Run with -DBUILD_DIR=... -DSCRATCH=... -DCPACK=...
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${SCRATCH}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB package "${SCRATCH}/korvane_*.deb")
if(NOT result EQUAL 0 OR NOT package)
  message(FATAL_ERROR "cpack -G DEB failed (${result}): ${output}")
endif()

execute_process(COMMAND dpkg-deb -c "${package}" OUTPUT_VARIABLE contents RESULT_VARIABLE result)
foreach(entry IN ITEMS "./usr/bin/korvane -> ../lib/korvane/korvane" "./usr/lib/korvane/korvane\n"
                       "./usr/lib/korvane/libsynth32.so" "./usr/share/doc/korvane/copyright"
                       "./usr/share/applications/io.github.korvane.Korvane.desktop"
                       "./usr/share/bash-completion/completions/korvane")
  string(FIND "${contents}" "${entry}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${entry}: ${contents}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -I "${package}" OUTPUT_VARIABLE control)
foreach(field IN ITEMS "\n Depends: [^\n]*libqt6widgets6" "\n Depends: [^\n]*libfluidsynth3"
                       "\n Recommends: fluidsynth, timgm6mb-soundfont \\| sf2-soundfont-gm\n"
                       "\n Section: sound\n")
  if(NOT control MATCHES "${field}")
    message(FATAL_ERROR "no ${field} in the control file: ${control}")
  endif()
endforeach()

set(unpacked "${SCRATCH}/root")
execute_process(COMMAND dpkg-deb -x "${package}" "${unpacked}" RESULT_VARIABLE result)
execute_process(COMMAND file -b "${unpacked}/usr/lib/korvane/korvane" OUTPUT_VARIABLE kind)
if(NOT kind MATCHES ", stripped")
  message(FATAL_ERROR "the program is not stripped: ${kind}")
endif()

find_program(LINTIAN lintian)
if(LINTIAN)
  execute_process(COMMAND "${LINTIAN}" --fail-on error,warning "${package}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE tags ERROR_VARIABLE problems)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian (${result}):\n${tags}${problems}")
  endif()
else()
  message(STATUS "lintian is not installed: the package was not checked with it")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
