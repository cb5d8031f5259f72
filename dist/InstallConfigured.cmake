# SPDX-License-Identifier: GPL-3.0-or-later
# Runs at install time: fills the install locations into a template and installs the
# result. The locations are taken from the prefix of this installation, not of the
# configuration, so that "cmake --install --prefix" elsewhere yields files that point
# at where the program really is.
#
# Expects TEMPLATE, OUTPUT (the installed file's name), DESTINATION (relative to the
# prefix), GZIP (true to install OUTPUT.gz, compressed), PROGRAM (true for an executable
# script), any variables the template names besides these, and the relative install
# directories BINDIR, PROGRAMDIR, DATADIR and DOCDIR. The file is made in a temporary directory, so
# an installation writes nothing into the build tree.

foreach(directory BINDIR PROGRAMDIR DATADIR DOCDIR)
    if(IS_ABSOLUTE "${${directory}}")
        set(SARVENDO_FULL_${directory} "${${directory}}")
    else()
        set(SARVENDO_FULL_${directory} "${CMAKE_INSTALL_PREFIX}/${${directory}}")
    endif()
endforeach()
# A desktop entry's command is split like a shell's: a path with blanks or other reserved
# characters goes in double quotes, with the entry's own backslash escaping on top.
set(SARVENDO_EXEC "${SARVENDO_FULL_BINDIR}/sarvendo")
string(REPLACE "%" "%%" SARVENDO_EXEC "${SARVENDO_EXEC}")
if(SARVENDO_EXEC MATCHES "[] \t\"'\\><~|&;$*?#()`[]")
    string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" SARVENDO_EXEC "${SARVENDO_EXEC}")
    string(REPLACE "\\" "\\\\" SARVENDO_EXEC "\"${SARVENDO_EXEC}\"")
endif()
if(DEFINED ENV{TMPDIR} AND IS_DIRECTORY "$ENV{TMPDIR}")
    set(scratch "$ENV{TMPDIR}")
else()
    set(scratch /tmp)
endif()
string(RANDOM LENGTH 12 suffix)
set(scratch "${scratch}/sarvendo-install-${suffix}")
file(MAKE_DIRECTORY "${scratch}")
configure_file("${TEMPLATE}" "${scratch}/${OUTPUT}" @ONLY)
set(made "${scratch}/${OUTPUT}")
if(GZIP)
    # The best compression and no name or time in the header, as Debian wants it.
    execute_process(COMMAND gzip -9n "${made}" RESULT_VARIABLE failed)
    if(failed)
        file(REMOVE_RECURSE "${scratch}")
        message(FATAL_ERROR "gzip could not compress ${OUTPUT}")
    endif()
    set(made "${made}.gz")
endif()
if(PROGRAM)
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${DESTINATION}" TYPE PROGRAM FILES "${made}")
else()
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${DESTINATION}" TYPE FILE FILES "${made}")
endif()
file(REMOVE_RECURSE "${scratch}")
