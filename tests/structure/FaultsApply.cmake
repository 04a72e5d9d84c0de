# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DSOURCE_DIR=<repository> -P FaultsApply.cmake
# Fails when a deliberate fault of tests/mutations no longer applies to the sources, so that the
# set is remade as the code changes instead of going stale unnoticed.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<repository> -P FaultsApply.cmake")
endif()
find_program(GIT git REQUIRED)
file(GLOB patches ${SOURCE_DIR}/tests/mutations/*.patch)
set(stale "")
foreach(patch IN LISTS patches)
    execute_process(COMMAND ${GIT} apply --check ${patch}
                    WORKING_DIRECTORY ${SOURCE_DIR}
                    RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
    if(failed)
        get_filename_component(name ${patch} NAME)
        list(APPEND stale ${name})
    endif()
endforeach()
list(LENGTH patches count)
if(stale)
    message(FATAL_ERROR "deliberate faults that no longer apply: ${stale}")
endif()
message(STATUS "all ${count} deliberate faults apply")
