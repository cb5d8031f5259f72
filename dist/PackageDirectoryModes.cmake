# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack after it has installed the package's files into its staging directory:
# every directory of the package becomes 0755, whatever the umask of whoever builds it
# (CPack makes the staging prefix itself before any install rule runs).
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
        file(CHMOD "${entry}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                    WORLD_READ WORLD_EXECUTE)
    endif()
endforeach()
