# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Runs inside cpack, after the files are staged and before they are packed.
# Debian policy wants man pages and changelogs gzipped; the plain install and
# the other packages keep them as they are.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*.[1-9]")
list(FILTER pages INCLUDE REGEX "/man/man[1-9]/[^/]+$")
file(GLOB_RECURSE changelogs "${CPACK_TEMPORARY_DIRECTORY}/*/changelog")
list(FILTER changelogs INCLUDE REGEX "/doc/[^/]+/changelog$")
foreach(file IN LISTS pages changelogs)
    # -n leaves out the name and time, so that the package is reproducible.
    execute_process(COMMAND gzip -9n "${file}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
