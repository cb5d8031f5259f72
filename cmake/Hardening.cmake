# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening Debian asks of a package's binaries, for the release and package builds
# (SARVENDO_HARDENING): fortified string and memory functions, stack protector and
# stack clash protection, position-independent executables and a read-only relocation
# table bound at start-up (full RELRO). sarvendo-notify runs as root under --user, so
# this is not decoration. The sanitizer and fuzzing builds leave it off, as their own
# instrumentation does the checking there.
if(NOT SARVENDO_HARDENING)
    return()
endif()
if(SARVENDO_SANITIZE OR SARVENDO_FUZZ)
    message(FATAL_ERROR "SARVENDO_HARDENING is for release builds, not with SARVENDO_SANITIZE or SARVENDO_FUZZ")
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# _FORTIFY_SOURCE needs the optimiser; a level the toolchain already defines is replaced
# rather than redefined.
add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection)
add_link_options(-Wl,-z,relro,-z,now)
if(NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    message(WARNING "SARVENDO_HARDENING without optimisation: -D_FORTIFY_SOURCE=2 has no effect "
                    "in a ${CMAKE_BUILD_TYPE} build")
endif()
