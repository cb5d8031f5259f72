# Runs at install time: fills the install locations into a template and installs the
# result. The locations are taken from the prefix of this installation, not of the
# configuration, so that "cmake --install --prefix" elsewhere yields files that point
# at where the program really is.
#
# Expects TEMPLATE, OUTPUT (a file in the build tree), DESTINATION (relative to the
# prefix) and the relative install directories BINDIR, DATADIR and DOCDIR.

foreach(directory BINDIR DATADIR DOCDIR)
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
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${DESTINATION}" TYPE FILE FILES "${OUTPUT}")
