cmake_minimum_required(VERSION 3.25)
# Installs the build into a scratch directory and checks what a desktop and a distribution
# need: the program on the PATH as a link that is in the install manifest, its card library,
# window library and report template beside the real executable, a command that maps none
# of the window's libraries, a valid desktop entry whose MIME types
# are the ones installed, valid AppStream metainfo, man pages that render, MIME types that
# update-mime-database takes, the bash completion, and the icons at every size.
# Run with -DBUILD_DIR=... -DSCRATCH=... -DVERSION=...
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${SCRATCH}"
                        ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr/local
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(root "${SCRATCH}/usr/local")
set(icon_sizes 16 32 48 64 128 256)
set(expected bin/korvane lib/korvane/korvane lib/korvane/libsynth32.so
             lib/korvane/libsynth32-fluidsynth.so lib/korvane/libkorvane-window.so
             lib/korvane/krv.mas
             share/applications/io.github.korvane.Korvane.desktop
             share/icons/hicolor/scalable/apps/korvane.svg
             share/metainfo/io.github.korvane.Korvane.metainfo.xml
             share/man/man1/korvane.1.gz share/man/man1/korvane-mkbank.1.gz
             share/man/man1/korvane-mksf2.1.gz share/bash-completion/completions/korvane
             share/doc/korvane/changelog.gz
             share/mime/packages/korvane.xml
             share/doc/korvane/copyright)
foreach(size IN LISTS icon_sizes)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/korvane.png)
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS "${root}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# Runs a checker; it must succeed and say nothing.
function(expect_silent_success what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "${what} (${result}): ${output}")
  endif()
endfunction()

# The command is a link, listed like every other installed file, to the real program,
# which runs from there and finds its files.
if(NOT IS_SYMLINK "${root}/bin/korvane")
  message(FATAL_ERROR "bin/korvane is not a link")
endif()
file(STRINGS "${BUILD_DIR}/install_manifest.txt" manifest)
if(NOT "/usr/local/bin/korvane" IN_LIST manifest)
  message(FATAL_ERROR "bin/korvane is not in the install manifest")
endif()
execute_process(COMMAND "${root}/bin/korvane" --version RESULT_VARIABLE result
                OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "korvane ${VERSION}\n")
  message(FATAL_ERROR "korvane --version through the link (${result}): ${output}")
endif()

# A command starts on Qt Core alone: the program needs none of the window's libraries, and
# finds its window library beside itself by its whole path, not by a search path of its
# own. The window library exports its entry point only, so that loading it binds nothing
# else by name.
execute_process(COMMAND readelf --dynamic --wide "${root}/lib/korvane/korvane"
                OUTPUT_VARIABLE dynamic RESULT_VARIABLE result)
string(REGEX MATCHALL "\\((NEEDED|RPATH|RUNPATH)\\)[^\n]*" entries "${dynamic}")
if(NOT result EQUAL 0 OR NOT entries MATCHES "libQt6Core"
   OR entries MATCHES "libQt6(Gui|Widgets|DBus)|RPATH|RUNPATH")
  message(FATAL_ERROR "the program's libraries (${result}): ${entries}")
endif()
execute_process(COMMAND readelf --dyn-syms --wide "${root}/lib/korvane/libkorvane-window.so"
                OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
# Defined symbols show a section number where undefined ones show UND.
string(REGEX MATCHALL "(GLOBAL|WEAK) +DEFAULT +[0-9]+ +[^ \n]+" exported "${symbols}")
list(TRANSFORM exported REPLACE ".* " "")
if(NOT result EQUAL 0 OR NOT exported STREQUAL "KorvaneRunWindow")
  message(FATAL_ERROR "the window library exports (${result}): ${exported}")
endif()

expect_silent_success("desktop-file-validate" desktop-file-validate
                      "${root}/share/applications/io.github.korvane.Korvane.desktop")
execute_process(COMMAND appstreamcli validate --no-net
                        "${root}/share/metainfo/io.github.korvane.Korvane.metainfo.xml"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${output}")
endif()

# Each man page renders without a warning, with its sections; korvane's report entry has its
# whole usage on the line of its heading.
function(check_man_page name)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=200 MANPAGER=cat
                          man --warnings -l "${root}/share/man/man1/${name}.1.gz"
                  RESULT_VARIABLE result OUTPUT_VARIABLE page ERROR_VARIABLE warnings)
  foreach(section IN LISTS ARGN)
    if(NOT page MATCHES "\n${section}\n")
      message(FATAL_ERROR "the man page of ${name} has no ${section} (${result}): ${page}")
    endif()
  endforeach()
  if(NOT warnings STREQUAL "")
    message(FATAL_ERROR "man ${name}: ${warnings}")
  endif()
endfunction()
check_man_page(korvane NAME SYNOPSIS COMMANDS "EXIT STATUS" ENVIRONMENT FILES
               " +report \\[--template template\\] out\\.htm")
check_man_page(korvane-mkbank NAME SYNOPSIS OPTIONS "EXIT STATUS")
check_man_page(korvane-mksf2 NAME SYNOPSIS OPTIONS "EXIT STATUS")

# The MIME database of a scratch directory takes the types, and they are the ones the
# desktop entry says the program opens.
set(mime "${SCRATCH}/mime")
file(COPY "${root}/share/mime/packages" DESTINATION "${mime}")
# (XDG_DATA_DIRS names the scratch directory: otherwise the tool notes that it is not searched.)
expect_silent_success("update-mime-database" ${CMAKE_COMMAND} -E env "XDG_DATA_DIRS=${SCRATCH}"
                      update-mime-database "${mime}")
file(READ "${mime}/globs2" globs)
file(READ "${root}/share/applications/io.github.korvane.Korvane.desktop" desktop_entry)
string(REGEX MATCH "\nMimeType=[^\n]*" mime_line "${desktop_entry}")
foreach(glob IN ITEMS "application/x-korvane-bank:\\*\\.94b" "application/x-korvane-preset:\\*\\.pre"
                      "audio/x-soundfont:\\*\\.sf2" "audio/x-soundfont:\\*\\.sf3")
  if(NOT globs MATCHES "${glob}")
    message(FATAL_ERROR "no ${glob} in the MIME database: ${globs}")
  endif()
  string(REGEX REPLACE ":.*" "" type "${glob}")
  if(NOT mime_line MATCHES "[=;]${type};")
    message(FATAL_ERROR "the desktop entry does not open ${type}: ${mime_line}")
  endif()
endforeach()

# bash-completion finds the completion where it is installed, the first time korvane is
# completed.
set(loader /usr/share/bash-completion/bash_completion)
if(EXISTS ${loader})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "XDG_DATA_DIRS=${root}/share"
                          bash -c "source ${loader} && __load_completion korvane && complete -p korvane"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT output STREQUAL "complete -F _korvane korvane\n")
    message(FATAL_ERROR "bash-completion does not load korvane's completion (${result}): ${output}")
  endif()
endif()

foreach(size IN LISTS icon_sizes)
  set(icon "${root}/share/icons/hicolor/${size}x${size}/apps/korvane.png")
  execute_process(COMMAND file -b "${icon}" OUTPUT_VARIABLE kind)
  if(NOT kind MATCHES "^PNG image data, ${size} x ${size},")
    message(FATAL_ERROR "${icon}: ${kind}")
  endif()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")
