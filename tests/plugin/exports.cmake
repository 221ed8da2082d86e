# SPDX-License-Identifier: MIT
# cmake -D LIBRARY=... -D NM=... -P exports.cmake: fails unless the library's
# dynamic symbol table defines NewInterface and ReleaseInterface and nothing else.
execute_process(COMMAND ${NM} -D --defined-only --format=just-symbols ${LIBRARY}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
string(REGEX REPLACE "[ \t\r\n]+" ";" symbols "${symbols}")
list(REMOVE_ITEM symbols "")
list(SORT symbols)
if(failed OR NOT symbols STREQUAL "NewInterface;ReleaseInterface")
    message(FATAL_ERROR "${LIBRARY} exports: ${symbols}")
endif()
