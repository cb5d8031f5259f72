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

# Adds a library of one source folder with the warnings applied.
function(sarvendo_library name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC sarvendo_warnings)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    set_property(GLOBAL APPEND PROPERTY SARVENDO_TARGETS ${name})
endfunction()
