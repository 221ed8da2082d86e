# SPDX-License-Identifier: MIT
# Included by the package, defines
#
#   vqtintwell_deploy(<target>)
#
# which copies the library and the translations beside the target's
# executable after every build. Run as a script, it does the copying of the
# Lang folder:
#
#   cmake -D LANG_DIR=<installed Lang folder> -D TARGET_DIR=<host's folder> -P VqTintwellDeploy.cmake
#
# The translations go into TARGET_DIR/Lang/<folder>/; the sample catalogue
# only where the host has no catalogue of its own yet, so that a host's own
# languages are never overwritten.
if(CMAKE_SCRIPT_MODE_FILE)
    file(GLOB translations RELATIVE ${LANG_DIR} ${LANG_DIR}/*/VqTintwell.qm)
    foreach(translation IN LISTS translations)
        get_filename_component(folder ${translation} DIRECTORY)
        file(COPY ${LANG_DIR}/${translation} DESTINATION ${TARGET_DIR}/Lang/${folder})
    endforeach()
    if(NOT EXISTS ${TARGET_DIR}/Lang/Lang.ini)
        file(COPY ${LANG_DIR}/Lang.ini DESTINATION ${TARGET_DIR}/Lang)
    endif()
    return()
endif()

set_property(GLOBAL PROPERTY VqTintwell_DEPLOY_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(vqtintwell_deploy target)
    get_property(script GLOBAL PROPERTY VqTintwell_DEPLOY_SCRIPT)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VqTintwell_LIBRARY_FILE} $<TARGET_FILE_DIR:${target}>
        COMMAND ${CMAKE_COMMAND} -D LANG_DIR=${VqTintwell_LANG_DIR} -D TARGET_DIR=$<TARGET_FILE_DIR:${target}>
            -P ${script}
        VERBATIM)
endfunction()
