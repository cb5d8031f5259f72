# SPDX-License-Identifier: GPL-3.0-or-later
# One interface target carries the project's warnings, the Qt hygiene defines and the
# sanitizer flags; every project target links it (tests/CMakeLists.txt checks that).
add_library(sarvendo_warnings INTERFACE)
target_compile_options(sarvendo_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
    -Wsuggest-override -Wimplicit-fallthrough -Wformat=2 -Wundef)
target_compile_definitions(sarvendo_warnings INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_FOREACH)
if(SARVENDO_WERROR)
    target_compile_options(sarvendo_warnings INTERFACE -Werror)
endif()
if(SARVENDO_SANITIZE)
    target_compile_options(sarvendo_warnings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                       -fno-sanitize-recover=undefined)
    target_link_options(sarvendo_warnings INTERFACE -fsanitize=address,undefined)
endif()
if(SARVENDO_FUZZ)
    # Coverage for libFuzzer in every target, and the sanitizers that turn a quiet memory
    # or arithmetic fault into a finding.
    target_compile_options(sarvendo_warnings INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                       -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(sarvendo_warnings INTERFACE -fsanitize=address,undefined)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# The include root a layer's code is compiled with: a folder of links to just the source
# folders that layer may use, so an include that runs against the order fails to compile.
function(sarvendo_layer_include_root layer out)
    set(root ${PROJECT_BINARY_DIR}/layers/${layer})
    if(NOT DEFINED SARVENDO_LAYER_${layer})
        message(FATAL_ERROR "No layer named ${layer}")
    endif()
    foreach(allowed IN LISTS SARVENDO_LAYER_${layer})
        if(NOT EXISTS ${root}/${allowed})
            file(MAKE_DIRECTORY ${root})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${allowed} ${root}/${allowed} SYMBOLIC)
        endif()
    endforeach()
    set(${out} ${root} PARENT_SCOPE)
endfunction()

# Adds a library of one source folder with the warnings applied and the include root of
# that folder's layer.
function(sarvendo_library name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC sarvendo_warnings)
    get_filename_component(layer ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    sarvendo_layer_include_root(${layer} root)
    target_include_directories(${name} PUBLIC ${root})
    set_property(GLOBAL APPEND PROPERTY SARVENDO_TARGETS ${name})
    sarvendo_header_check(${name} ${layer} ${ARGN})
endfunction()

# Compiles each header among `files` alone, in a generated translation unit that includes
# just it by its layer's path, with the include root and usage requirements of `target`:
# a header that leans on an include its users happen to make first, or on one from a layer
# above, fails the build. Every header of src/ must be checked by some target.
function(sarvendo_header_check target layer)
    set(headers ${ARGN})
    list(FILTER headers INCLUDE REGEX "\\.h$")
    list(TRANSFORM headers PREPEND ${layer}/ OUTPUT_VARIABLE paths)
    set_property(GLOBAL APPEND PROPERTY SARVENDO_HEADERS_LISTED ${paths})
    if(NOT SARVENDO_HEADER_CHECK OR NOT headers)
        return()
    endif()
    set(units "")
    foreach(header IN LISTS headers)
        set(unit ${CMAKE_CURRENT_BINARY_DIR}/header-check/${target}/${header}.cpp)
        file(CONFIGURE OUTPUT ${unit} CONTENT "#include \"${layer}/${header}\"\n")
        list(APPEND units ${unit})
    endforeach()
    add_library(${target}_headers OBJECT ${units})
    set_target_properties(${target}_headers PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    target_link_libraries(${target}_headers PRIVATE ${target} sarvendo_warnings)
    set_property(GLOBAL APPEND PROPERTY SARVENDO_TARGETS ${target}_headers)
endfunction()
