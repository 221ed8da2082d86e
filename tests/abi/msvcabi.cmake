# SPDX-License-Identifier: MIT
# cmake -D CLANG=clang++ -D SOURCE_DIR=<repository> -D WORK=<dir> -P msvcabi.cmake
#
# Compiles plugin/vqtintwell.h for x86_64-pc-windows-msvc, where the record
# layout's static_asserts must hold too, reads the virtual-table slots that
# clang lays out for ITintwell and IInkHost, and fails unless they are the
# MSVC column of docs/abi.md. No Windows SDK is needed: the header wants only
# <cstddef> and <cstdint>, which two lines each stand in for.
file(MAKE_DIRECTORY ${WORK}/include)
file(WRITE ${WORK}/include/cstddef "#include <stddef.h>\nnamespace std { using ::size_t; }\n")
file(WRITE ${WORK}/include/cstdint "#include <stdint.h>\nnamespace std { using ::int32_t; }\n")
execute_process(
    COMMAND ${CLANG} -target x86_64-pc-windows-msvc -std=c++17 -ffreestanding -nostdinc++ -isystem ${WORK}/include
            -I ${SOURCE_DIR} -S -o ${WORK}/msvcprobe.s -Xclang -fdump-vtable-layouts ${SOURCE_DIR}/tests/abi/msvcprobe.cpp
    OUTPUT_VARIABLE dump ERROR_VARIABLE errors RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "vqtintwell.h does not compile for the Microsoft ABI:\n${errors}")
endif()

# "Interface:operation:slot" from clang's "VFTable indices for 'X'" blocks.
set(clang_slots)
string(REPLACE "\n" ";" lines "${dump}")
set(interface)
foreach(line IN LISTS lines)
    if(line MATCHES "^VFTable indices for '(ITintwell|IInkHost)'")
        set(interface ${CMAKE_MATCH_1})
    elseif(line MATCHES "^VFTable")
        set(interface)
    elseif(interface AND line MATCHES "^ +([0-9]+) \\| .*${interface}::(~?[A-Za-z0-9]+)\\(")
        set(slot ${CMAKE_MATCH_1})
        set(operation ${CMAKE_MATCH_2})
        if(operation MATCHES "^~")
            set(operation destructor)
        endif()
        list(APPEND clang_slots "${interface}:${operation}:${slot}")
    endif()
endforeach()

# The same from the table rows of docs/abi.md: interface, operation, MSVC slot.
set(documented_slots)
file(STRINGS ${SOURCE_DIR}/docs/abi.md rows REGEX "^\\| *(`I[A-Za-z]+`)? *\\| *`?[A-Za-z0-9]+`?[^|]*\\| *[0-9]+ *\\|")
set(interface)
foreach(row IN LISTS rows)
    string(REGEX MATCH "^\\| *`?([A-Za-z]*)`? *\\| *`?([A-Za-z0-9]+)`?[^|]*\\| *([0-9]+) *\\|" matched "${row}")
    if(CMAKE_MATCH_1)
        set(interface ${CMAKE_MATCH_1})
    endif()
    list(APPEND documented_slots "${interface}:${CMAKE_MATCH_2}:${CMAKE_MATCH_3}")
endforeach()

list(SORT clang_slots)
list(SORT documented_slots)
list(LENGTH clang_slots count)
if(NOT count EQUAL 15 OR NOT clang_slots STREQUAL documented_slots)
    string(REPLACE ";" "\n  " clang_slots "${clang_slots}")
    string(REPLACE ";" "\n  " documented_slots "${documented_slots}")
    message(FATAL_ERROR "Microsoft ABI slots differ from docs/abi.md.\nclang:\n  ${clang_slots}\ndocs/abi.md:\n  ${documented_slots}")
endif()
message(STATUS "Microsoft ABI: ${count} slots as documented")
