# Writes OUTPUT, the header of the resource IDs that code names, from the string table
# STRINGS: a line "<id> <NAME> "<text>"" gives NAME the value id. Run at build time with
# cmake -P; the header is rewritten only when its text changes.
file(STRINGS ${STRINGS} lines REGEX "^[0-9]+ [A-Z][A-Z0-9_]* \"")
set(text "// The IDs of the resources that code names, made at build time from res/text/strings.txt.\n")
string(APPEND text "#pragma once\n\n")
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([0-9]+) ([A-Z][A-Z0-9_]*) " name "${line}")
  string(APPEND text "constexpr int ${CMAKE_MATCH_2} = ${CMAKE_MATCH_1};\n")
endforeach()
set(old "")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUTPUT} "${text}")
endif()
