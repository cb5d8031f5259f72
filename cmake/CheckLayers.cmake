# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a file under src/ includes a header of a layer its own layer may not use.
# Run as a test: cmake -DSOURCE_DIR=<repository> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

set(layers platform resources core line monitor history display components setup app)
set(violations "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE files ${SOURCE_DIR}/src/${layer}/*.h ${SOURCE_DIR}/src/${layer}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"([a-z]+)/.*$" "\\1" used "${line}")
            if(used IN_LIST layers AND NOT used IN_LIST SARVENDO_LAYER_${layer})
                file(RELATIVE_PATH where ${SOURCE_DIR} ${file})
                list(APPEND violations "${where}: ${layer} may not include ${used}/")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n" text)
    message(FATAL_ERROR "Includes against the layer order:\n${text}")
endif()
message(STATUS "Every include follows the layer order")
