# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# What a link took into the program that is not ours, read from the linker's
# map: every archive member and start file, the Debian package that owns it
# (dpkg -S), that package's version and source (dpkg-query), and the licence
# of the code. A change of toolchain or library changes the answer by itself;
# a file that no package owns, or code whose licence nobody here has read,
# stops the build rather than ship undeclared.
#
#	link_components(<map> <prefix>)
#
# sets <prefix>_count and, for each component i from 0, <prefix>_<i>_NAME:
#   package, version       the Debian binary package, as dpkg names it
#   source, source_version its source package
#   origin, origin_version the Debian source of the code itself: a cross
#                          toolchain's package repackages glibc or gcc
#   licence                an SPDX licence expression
#   texts                  licences of /usr/share/common-licenses to give in full
#   copyright              the package's Debian copyright file
#   files                  what the link took from it ("libc.a: 441 members")
#   cross                  TRUE where it is a cross toolchain's own copy, not
#                          the archive's package for that architecture

function(_link_components_licence origin licence_var texts_var)
    if(origin STREQUAL "glibc")
        set(${licence_var} "LGPL-2.1-or-later" PARENT_SCOPE)
        set(${texts_var} LGPL-2.1 PARENT_SCOPE)
    elseif(origin MATCHES "^gcc-[0-9]+$")
        set(${licence_var} "GPL-3.0-or-later WITH GCC-exception-3.1" PARENT_SCOPE)
        set(${texts_var} GPL-3 PARENT_SCOPE)
    elseif(origin STREQUAL "mingw-w64")
        # The runtime is ZPL; its printf and strtod (gdtoa) carry Lucent's
        # and David M. Gay's notices, which SPDX has no name for. Their
        # texts are in the package's copyright file.
        set(${licence_var}
            "ZPL-2.1 AND LicenseRef-Lucent AND LicenseRef-David-Gay" PARENT_SCOPE)
        set(${texts_var} "" PARENT_SCOPE)
    else()
        set(${licence_var} "" PARENT_SCOPE)
    endif()
endfunction()

# The file at <real>, which <package> lists as <listed>, holds the bytes
# that the package installed, by its md5sums: the notices and the bill
# speak of the package's code, not of a file changed since.
function(_link_components_verify package listed real)
    string(REGEX REPLACE ":.*" "" name "${package}")
    set(sums "")
    foreach(info IN ITEMS "/var/lib/dpkg/info/${package}.md5sums"
            "/var/lib/dpkg/info/${name}.md5sums")
        if(EXISTS "${info}")
            file(STRINGS "${info}" lines)
            string(REGEX REPLACE "^/" "" path "${listed}")
            foreach(line IN LISTS lines)
                if(line MATCHES "^([0-9a-f]+)  (.+)$" AND CMAKE_MATCH_2 STREQUAL path)
                    set(sums "${CMAKE_MATCH_1}")
                    break()
                endif()
            endforeach()
            break()
        endif()
    endforeach()
    if(NOT sums)
        message(FATAL_ERROR "${package} gives no md5sum for ${listed}, so "
            "nothing shows that the link took the package's own bytes")
    endif()
    file(MD5 "${real}" actual)
    if(NOT actual STREQUAL sums)
        message(FATAL_ERROR "${real} is not the file that ${package} installed "
            "(its md5sum differs): the link took code that no package vouches for")
    endif()
endfunction()

function(link_components map prefix)
    get_filename_component(binary_dir "${map}" DIRECTORY)
    file(STRINGS "${map}" lines)
    set(section "")
    set(paths "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^Archive member included")
            set(section members)
        elseif(line MATCHES "^(Discarded input sections|Allocating common symbols|Memory Configuration|Linker script and memory map)")
            set(section "")
        elseif(section STREQUAL "members" AND line MATCHES "^(/[^()]+)\\(([^()]+)\\)")
            list(APPEND paths "${CMAKE_MATCH_1}")
            list(APPEND "members_${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}")
        elseif(line MATCHES "^LOAD (/.*\\.(o|obj))$")
            # Our own objects are in the build tree.
            cmake_path(IS_PREFIX binary_dir "${CMAKE_MATCH_1}" NORMALIZE ours)
            if(NOT ours)
                list(APPEND paths "${CMAKE_MATCH_1}")
            endif()
        endif()
    endforeach()
    list(REMOVE_DUPLICATES paths)
    find_program(DPKG_QUERY dpkg-query)
    if(NOT DPKG_QUERY)
        message(FATAL_ERROR "A program that embeds other people's code carries "
            "their notices, and only Debian's dpkg-query can say whose code the "
            "link took in: build it on Debian")
    endif()
    if(NOT paths)
        message(FATAL_ERROR "${map} names no library file: is it a linker map?")
    endif()

    set(packages "")
    foreach(path IN LISTS paths)
        file(REAL_PATH "${path}" real)
        cmake_path(NORMAL_PATH path OUTPUT_VARIABLE normal)
        set(owner "")
        foreach(candidate IN ITEMS "${real}" "${normal}")
            execute_process(COMMAND dpkg-query -S "${candidate}"
                OUTPUT_VARIABLE found ERROR_QUIET RESULT_VARIABLE rc)
            string(REGEX MATCH "(^|\n)([^ ,:\n]+(:[a-z0-9]+)?)(, [^:\n]+)*: " owner_line "${found}")
            if(rc EQUAL 0 AND owner_line)
                set(owner "${CMAKE_MATCH_2}")
                set(listed "${candidate}")
                break()
            endif()
        endforeach()
        if(NOT owner)
            message(FATAL_ERROR "The link took ${real} into the program, and no "
                "Debian package owns it: nothing says what it is or under which "
                "licence it may be passed on")
        endif()
        _link_components_verify("${owner}" "${listed}" "${real}")
        cmake_path(GET real FILENAME name)
        if(DEFINED "members_${path}")
            list(LENGTH "members_${path}" count)
            if(count EQUAL 1)
                set(what "${name}: 1 member")
            else()
                set(what "${name}: ${count} members")
            endif()
        else()
            set(what "${name}")
        endif()
        string(MAKE_C_IDENTIFIER "${owner}" key)
        list(APPEND "files_${key}" "${what}")
        list(APPEND packages "${owner}")
    endforeach()
    list(REMOVE_DUPLICATES packages)
    list(SORT packages)

    set(i 0)
    foreach(package IN LISTS packages)
        execute_process(COMMAND dpkg-query -W
                "-f=\${Version}\t\${source:Package}\t\${source:Version}" "${package}"
            OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
        string(REPLACE "\t" ";" fields "${fields}")
        list(GET fields 0 version)
        list(GET fields 1 source)
        list(GET fields 2 source_version)
        # A cross toolchain rebuilds glibc or gcc under a source package of
        # its own and marks the version: 2.36-8cross1 is glibc 2.36-8, and
        # gcc-mingw-w64's 12.2.0-14+deb12u1+25.2+b1 is gcc 12.2.0-14+deb12u1.
        set(origin "${source}")
        set(origin_version "${source_version}")
        if(source MATCHES "^cross-toolchain-base")
            set(origin glibc)
        elseif(source MATCHES "^(gcc-[0-9]+)-cross")
            set(origin "${CMAKE_MATCH_1}")
        elseif(source STREQUAL "gcc-mingw-w64" AND version MATCHES "^([0-9]+)\\.")
            set(origin "gcc-${CMAKE_MATCH_1}")
        endif()
        if(NOT origin STREQUAL source)
            string(REGEX REPLACE "(cross[0-9]+|\\+${source_version}(\\+b[0-9]+)?)$" ""
                origin_version "${version}")
        endif()
        if(package MATCHES "-cross$")
            set(cross TRUE)
        else()
            set(cross FALSE)
        endif()
        _link_components_licence("${origin}" licence texts)
        string(MAKE_C_IDENTIFIER "${package}" key)
        if(NOT licence)
            list(JOIN "files_${key}" ", " what)
            message(FATAL_ERROR "The link took ${what} from ${package} (source "
                "${origin}), whose licence has not been reviewed for this "
                "program: add it to cmake/link-components.cmake")
        endif()
        string(REGEX REPLACE ":.*" "" doc "${package}")
        set(copyright "/usr/share/doc/${doc}/copyright")
        if(NOT EXISTS "${copyright}")
            message(FATAL_ERROR "${package} has no ${copyright} to give its licence")
        endif()
        list(SORT "files_${key}")
        foreach(field IN ITEMS package version source source_version origin
                origin_version licence texts copyright cross)
            set(${prefix}_${i}_${field} "${${field}}" PARENT_SCOPE)
        endforeach()
        set(${prefix}_${i}_files "${files_${key}}" PARENT_SCOPE)
        math(EXPR i "${i} + 1")
    endforeach()
    set(${prefix}_count ${i} PARENT_SCOPE)
endfunction()
