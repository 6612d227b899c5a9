# Regenerates the builtin reference from the builtin table and its description file and requires it
# to be the checked-in one. Run as a script:
#   cmake -DTOOL=<builtin_reference> -DDESCRIPTIONS=docs/builtins.txt -DREFERENCE=docs/builtins.md
#         -P cmake/CheckBuiltinReference.cmake
# Fails with the tool's report (builtins without a line, lines naming no builtin, argument lists of
# another length than the table's) or with the first line where the reference differs.
cmake_minimum_required(VERSION 3.25)
foreach(variable TOOL DESCRIPTIONS REFERENCE)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "CheckBuiltinReference: pass -D${variable}=...")
    endif()
endforeach()

execute_process(COMMAND "${TOOL}" "${DESCRIPTIONS}"
    OUTPUT_VARIABLE generated ERROR_VARIABLE report RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${report}")
endif()
file(READ "${REFERENCE}" checked)
if(generated STREQUAL checked)
    return()
endif()

# Name the first line that differs, so the failure says what changed.
# Lines become list items; their own semicolons are escaped first.
string(REPLACE ";" "\\;" generated_lines "${generated}")
string(REPLACE ";" "\\;" checked_lines "${checked}")
string(REPLACE "\n" ";" generated_lines "${generated_lines}")
string(REPLACE "\n" ";" checked_lines "${checked_lines}")
list(LENGTH generated_lines generated_count)
list(LENGTH checked_lines checked_count)
set(line 0)
while(line LESS generated_count AND line LESS checked_count)
    list(GET generated_lines ${line} wanted)
    list(GET checked_lines ${line} found)
    if(NOT wanted STREQUAL found)
        break()
    endif()
    math(EXPR line "${line} + 1")
endwhile()
math(EXPR shown "${line} + 1")
set(wanted "(end of text)")
set(found "(end of text)")
if(line LESS generated_count)
    list(GET generated_lines ${line} wanted)
endif()
if(line LESS checked_count)
    list(GET checked_lines ${line} found)
endif()
message(FATAL_ERROR "${REFERENCE} is not what the builtin table and ${DESCRIPTIONS} give; run "
    "scripts/make_docs.sh.\nFirst difference, line ${shown}:\n  generated: ${wanted}\n  checked in: ${found}")
