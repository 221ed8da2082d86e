# SPDX-License-Identifier: MIT
# cmake -D LIBRARY=... -D NM=... -D OBJDUMP=... -P exports.cmake: fails unless
# the library exports NewInterface and ReleaseInterface and nothing else, as
# its ELF dynamic symbol table or its PE export table (a .dll) lists them.
cmake_minimum_required(VERSION 3.16)
if(LIBRARY MATCHES "\\.dll$")
    execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    # The names follow "[Ordinal/Name Pointer] Table", one "[ n] Name" each.
    string(REGEX REPLACE ".*\\[Ordinal/Name Pointer\\] Table\n" "" names "${dump}")
    string(REGEX REPLACE "\n[ \t]*\n.*" "" names "${names}")
    string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\] ([^\n]*)\n?" "\\1;" symbols "${names}")
else()
    execute_process(COMMAND ${NM} -D --defined-only --extern-only --format=just-symbols ${LIBRARY}
        OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
    string(REGEX REPLACE "[ \t\r\n]+" ";" symbols "${symbols}")
endif()
list(REMOVE_ITEM symbols "")
list(SORT symbols)
if(failed OR NOT symbols STREQUAL "NewInterface;ReleaseInterface")
    message(FATAL_ERROR "${LIBRARY} exports: ${symbols}")
endif()
