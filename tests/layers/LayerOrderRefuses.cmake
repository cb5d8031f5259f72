# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check on copies of src/ with one include added that goes around the include
# roots: each copy must be refused, naming the file; the untouched copy must pass.
# Run as a test: cmake -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch directory> -P LayerOrderRefuses.cmake
cmake_minimum_required(VERSION 3.25)

set(check ${SOURCE_DIR}/cmake/CheckLayers.cmake)
file(REMOVE_RECURSE ${WORK_DIR})

# Copies src/ to WORK_DIR/<name>, appends `added` to `file` (relative to the copy) unless
# it is empty, runs the check and returns whether it passed and what it said.
function(check_copy name file added passed output)
    set(copy ${WORK_DIR}/${name})
    file(COPY ${SOURCE_DIR}/src DESTINATION ${copy})
    if(added)
        file(APPEND ${copy}/${file} "\n${added}\n")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${copy} -P ${check} RESULT_VARIABLE result
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(result EQUAL 0)
        set(${passed} TRUE PARENT_SCOPE)
    else()
        set(${passed} FALSE PARENT_SCOPE)
    endif()
    set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

set(failures "")
check_copy(untouched "" "" passed output)
if(NOT passed)
    list(APPEND failures "the untouched tree was refused:\n${output}")
endif()

# name | file the include is added to | the include
set(cases
    "relative|line/BaudRate.h|#include \"../app/CommandLine.h\""
    "relative-cpp|line/HangUp.cpp|#  include \"../../src/setup/SetupHost.h\""
    "angle|line/BaudRate.h|#include <app/CommandLine.h>"
    "angle-own-layer|app/CommandLine.h|#include <app/RaiseSocket.h>"
    "upward|monitor/PollCycle.h|#include \"display/PanelHost.h\""
    "sideways|history/HistoryStore.h|#include \"monitor/PollCycle.h\"")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 file)
    list(GET fields 2 added)
    check_copy(${name} src/${file} "${added}" passed output)
    if(passed)
        list(APPEND failures "${name}: '${added}' in src/${file} was accepted")
    elseif(NOT output MATCHES "src/${file}:")
        list(APPEND failures "${name}: refused without naming src/${file}:\n${output}")
    endif()
endforeach()

# A folder of src/ outside the layer list is refused too.
file(MAKE_DIRECTORY ${WORK_DIR}/untouched/src/extra)
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR}/untouched -P ${check} RESULT_VARIABLE result
                OUTPUT_QUIET ERROR_VARIABLE err)
if(result EQUAL 0 OR NOT err MATCHES "src/extra")
    list(APPEND failures "a folder in no layer was accepted or not named")
endif()

file(REMOVE_RECURSE ${WORK_DIR})
if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "${text}")
endif()
message(STATUS "Every include around the layer order was refused")
