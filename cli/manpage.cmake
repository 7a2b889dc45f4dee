# Writes the manual page of pinwheels-cli from its own --help text, so that the two never
# disagree:  cmake -DCLI=<pinwheels-cli> -DVERSION=<x.y.z> -DOUTPUT=<file.1> -P manpage.cmake
#
# The help has a usage line, a one-line summary, then paragraphs and sections ("Commands:",
# "Exit status:", "Options:", …) of indented entries: a term, two or more spaces, its text,
# and continuation lines indented further.
cmake_minimum_required(VERSION 3.25) # a script has no policies of its own: keep empty lines

execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status
    ENCODING UTF-8)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "pinwheels-cli --help failed: ${status}")
endif()

function(roff_escape text out)
    string(REPLACE "\\" "\\e" text "${text}")
    if(text MATCHES "^[.']")
        set(text "\\&${text}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Semicolons would split CMake's list of lines: they travel as a control character.
string(ASCII 1 semicolon)
string(REPLACE ";" "${semicolon}" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
list(POP_FRONT lines usage summary)
string(REGEX REPLACE "^Usage: [^ ]+ " "" usage "${usage}")
roff_escape("${summary}" description)
string(REGEX REPLACE "\\.$" "" summary "${summary}")
string(SUBSTRING "${summary}" 0 1 first)
string(SUBSTRING "${summary}" 1 -1 rest)
string(TOLOWER "${first}" first)
roff_escape("${first}${rest}" summary)

set(page ".TH PINWHEELS-CLI 1 \"\" \"Pinwheels ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\npinwheels-cli \\- ${summary}\n")
string(APPEND page ".SH SYNOPSIS\n.B pinwheels-cli\n${usage}\n.SH DESCRIPTION\n${description}\n")
foreach(line IN LISTS lines)
    if(line STREQUAL "")
        string(APPEND page ".PP\n")
    elseif(line MATCHES "^([A-Z][^:]*):$")
        string(TOUPPER "${CMAKE_MATCH_1}" heading)
        string(APPEND page ".SH ${heading}\n")
    elseif(NOT line MATCHES "^   " AND line MATCHES "^  ([^ ]|[^ ].*[^ ])   *([^ ].*)$")
        set(term "${CMAKE_MATCH_1}")
        set(text "${CMAKE_MATCH_2}")
        roff_escape("${term}" term)
        string(REPLACE "-" "\\-" term "${term}")
        roff_escape("${text}" text)
        string(APPEND page ".TP\n.B ${term}\n${text}\n")
    else()
        string(STRIP "${line}" text)
        roff_escape("${text}" text)
        string(APPEND page "${text}\n")
    endif()
endforeach()
string(REGEX REPLACE "(\\.PP\n)+(\\.SH|$)" "\\2" page "${page}")
string(REPLACE "${semicolon}" ";" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
