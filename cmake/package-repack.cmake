# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Runs inside cpack, after it has written a package and before it copies it
# out, to mend what would make two builds of one source differ.
set(epoch "${CPACK_CONVERTER_SOURCE_DATE_EPOCH}")
cmake_path(GET CPACK_TEMPORARY_DIRECTORY PARENT_PATH stage)
cmake_path(GET CPACK_TEMPORARY_DIRECTORY FILENAME top)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    # cpack puts a tarball's members in the order the file system lists
    # them, owned by whoever built it. The tarball is written again from the
    # same staged files, members sorted by name, owned by root, every time
    # SOURCE_DATE_EPOCH: strip-nondeterminism would mend only its gzip header.
    if(package MATCHES "\\.tar\\.gz$")
        execute_process(
            COMMAND tar --sort=name --format=gnu --owner=0 --group=0
                --numeric-owner "--mtime=@${epoch}" -C "${stage}" -cf - "${top}"
            COMMAND gzip -9n
            OUTPUT_FILE "${package}"
            COMMAND_ERROR_IS_FATAL ANY)
    # A zip's members come in the file system's order too, with local times
    # and the builder's user: Debian's strip-nondeterminism sorts them, sets
    # every time to SOURCE_DATE_EPOCH and clears the owners, as it does for
    # Debian's own packages.
    elseif(package MATCHES "\\.zip$")
        find_program(strip_nondeterminism strip-nondeterminism)
        if(NOT strip_nondeterminism)
            message(FATAL_ERROR "strip-nondeterminism is missing: install the "
                "Debian package strip-nondeterminism")
        endif()
        execute_process(
            COMMAND "${strip_nondeterminism}" --type zip --timestamp "${epoch}"
                "${package}"
            OUTPUT_QUIET
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
