# cmake -DOUTPUT=<file> [-DVERSION=<version>] -P windows_text.cmake <input>...
#
# Writes the inputs one after the other as one text file for Windows users:
# UTF-8 with a byte order mark, so that Notepad reads it as UTF-8 whatever the
# system's code page, and CR LF line ends. With VERSION, @PROJECT_VERSION@ in
# the inputs becomes that version.
if(NOT OUTPUT)
  message(FATAL_ERROR "windows_text.cmake: OUTPUT not given")
endif()

set(text "")
# The inputs are the arguments after the script's own name, which follows -P.
set(after_script -1)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 1 ${last})
  if(CMAKE_ARGV${i} STREQUAL "-P")
    math(EXPR after_script "${i} + 2")
  elseif(after_script GREATER 0 AND NOT i LESS after_script)
    set(input "${CMAKE_ARGV${i}}")
    if(NOT EXISTS "${input}")
      message(FATAL_ERROR "windows_text.cmake: no such file: ${input}")
    endif()
    file(READ "${input}" part)
    string(REPLACE "\r\n" "\n" part "${part}")
    if(NOT part MATCHES "\n$")
      string(APPEND part "\n")
    endif()
    string(APPEND text "${part}")
  endif()
endforeach()

if(DEFINED VERSION)
  set(PROJECT_VERSION "${VERSION}")
  string(CONFIGURE "${text}" text @ONLY)
endif()
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE "${OUTPUT}.tmp" "${bom}${text}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
