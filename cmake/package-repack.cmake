# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Runs inside cpack, after it has written a package and before it copies it
# out, to mend what would make two builds of one source differ.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
cmake_path(GET CPACK_TEMPORARY_DIRECTORY PARENT_PATH stage)
cmake_path(GET CPACK_TEMPORARY_DIRECTORY FILENAME top)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    # cpack counts each directory's size on disk into Installed-Size, and that
    # differs from one file system to the next. dpkg's own rule counts each
    # file's size in KiB, rounded up, and 1 for each directory; dpkg-deb then
    # packs the tree again, sorted, with every time at SOURCE_DATE_EPOCH.
    # (strip-nondeterminism does not take .deb files: Debian runs it on the
    # files before they are packed, and here they are packed already.)
    if(package MATCHES "\\.deb$")
        set(tree "${stage}/unpacked")
        file(REMOVE_RECURSE "${tree}")
        execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${tree}"
            COMMAND_ERROR_IS_FATAL ANY)
        file(CHMOD "${tree}" "${tree}/DEBIAN" PERMISSIONS
            OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
            WORLD_READ WORLD_EXECUTE)
        file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${tree}"
            "${tree}/*")
        list(FILTER entries EXCLUDE REGEX "^DEBIAN(/|$)")
        set(kib 0)
        foreach(entry IN LISTS entries)
            if(IS_DIRECTORY "${tree}/${entry}" OR IS_SYMLINK "${tree}/${entry}")
                math(EXPR kib "${kib} + 1")
            else()
                file(SIZE "${tree}/${entry}" bytes)
                math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
            endif()
        endforeach()
        file(READ "${tree}/DEBIAN/control" control)
        string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n"
            "\nInstalled-Size: ${kib}\n" control "${control}")
        file(WRITE "${tree}/DEBIAN/control" "${control}")
        execute_process(COMMAND touch -h -d "@${epoch}" ${entries}
            DEBIAN/control
            WORKING_DIRECTORY "${tree}"
            COMMAND_ERROR_IS_FATAL ANY)
        execute_process(
            COMMAND dpkg-deb --root-owner-group -Zgzip -z9
                --build "${tree}" "${package}"
            OUTPUT_QUIET
            COMMAND_ERROR_IS_FATAL ANY)
    # cpack puts a tarball's members in the order the file system lists
    # them, owned by whoever built it. The tarball is written again from the
    # same staged files, members sorted by name, owned by root, every time
    # SOURCE_DATE_EPOCH: strip-nondeterminism would mend only its gzip header.
    elseif(package MATCHES "\\.tar\\.gz$")
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
