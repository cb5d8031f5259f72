# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a file under src/ includes a header of a layer its own layer may not use, or
# reaches another folder by a relative path ("../") or by angle brackets (<app/...>), the
# two ways around the include roots. Every offender is named at once.
# Run as a test: cmake -DSOURCE_DIR=<repository> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

set(violations "")
# A folder of src/ that is no layer would escape both the include roots and this check.
file(GLOB folders LIST_DIRECTORIES true ${SOURCE_DIR}/src/*)
foreach(folder IN LISTS folders)
    get_filename_component(name ${folder} NAME)
    if(IS_DIRECTORY ${folder} AND NOT name IN_LIST SARVENDO_LAYERS)
        list(APPEND violations "src/${name}: a folder in no layer; give it its place in cmake/Layers.cmake")
    endif()
endforeach()
foreach(layer IN LISTS SARVENDO_LAYERS)
    file(GLOB_RECURSE files ${SOURCE_DIR}/src/${layer}/*.h ${SOURCE_DIR}/src/${layer}/*.cpp)
    foreach(file IN LISTS files)
        file(RELATIVE_PATH where ${SOURCE_DIR} ${file})
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*$" "\\1" path "${line}")
            string(REGEX REPLACE "/.*$" "" used "${path}")
            if(path MATCHES "(^|/)\\.\\.(/|$)")
                list(APPEND violations "${where}: ${layer} may not include by a relative path: ${path}")
            elseif(line MATCHES "^[^\"<]*<" AND used IN_LIST SARVENDO_LAYERS AND path MATCHES "/")
                list(APPEND violations "${where}: ${layer} may not include ${used}/ by angle brackets: <${path}>")
            elseif(path MATCHES "/" AND used IN_LIST SARVENDO_LAYERS AND NOT used IN_LIST SARVENDO_LAYER_${layer})
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
