# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Runs inside CPack, after the files are staged and before they are packed.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*.[1-9]")
list(FILTER pages INCLUDE REGEX "/man/man[1-9]/[^/]+$")
foreach(page IN LISTS pages)
    # -n leaves out the name and time, so that the package is reproducible.
    execute_process(COMMAND gzip -9n "${page}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
