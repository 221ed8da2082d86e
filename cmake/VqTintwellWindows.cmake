# SPDX-License-Identifier: MIT
# vqtintwell_version_resource(<target> <description>)
#
# Gives a Windows DLL or program of the project a version resource, from
# project(VERSION) and the copyright line of LICENSE, compiled by the
# toolchain's resource compiler (MSVC's rc, MinGW-w64's windres).
function(vqtintwell_version_resource target description)
    if(NOT WIN32)
        return()
    endif()
    file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE VQ_RC_COPYRIGHT REGEX "^Copyright" LIMIT_COUNT 1)
    string(REGEX REPLACE "^Copyright \\(c\\) [0-9]+ " "" VQ_RC_COMPANY "${VQ_RC_COPYRIGHT}")
    set(VQ_RC_DESCRIPTION "${description}")
    set(VQ_RC_NAME ${target})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(VQ_RC_FILETYPE VFT_APP)
        set(VQ_RC_FILENAME ${target}.exe)
    else()
        set(VQ_RC_FILETYPE VFT_DLL)
        set(VQ_RC_FILENAME ${target}.dll)
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
