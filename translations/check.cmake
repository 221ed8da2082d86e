# SPDX-License-Identifier: MIT
# cmake -D LUPDATE=... -D SOURCES=... -D TS_FILES=a.ts;b.ts -D WORK=dir -P check.cmake
#
# Runs lupdate over copies of the shipped translation sources and fails when
# that changes one of them (a text added, changed or gone in the code or the
# forms) or when a shipped translation is unfinished.
file(REMOVE_RECURSE ${WORK})
set(problems)
set(index 0)
foreach(ts IN LISTS TS_FILES)
    math(EXPR index "${index} + 1")
    set(copy ${WORK}/${index}.ts)
    configure_file(${ts} ${copy} COPYONLY)
    execute_process(COMMAND ${LUPDATE} -silent -locations none ${SOURCES} -ts ${copy} RESULT_VARIABLE failed)
    file(READ ${ts} shipped)
    file(READ ${copy} updated)
    if(failed)
        list(APPEND problems "lupdate failed on ${ts}")
    elseif(NOT shipped STREQUAL updated)
        list(APPEND problems "${ts} is not up to date with the texts of the code: run the update_translations target")
    endif()
    if(shipped MATCHES "type=\"unfinished\"")
        list(APPEND problems "${ts} has unfinished translations")
    endif()
endforeach()
if(problems)
    string(REPLACE ";" "\n" problems "${problems}")
    message(FATAL_ERROR "${problems}")
endif()
