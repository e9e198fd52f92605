# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The release's record of what built it, converter-<version>.buildinfo, in
# the fields of Debian's deb-buildinfo(5) where they fit: the source and its
# version, the checksums of the source tarball and of every other file of
# the set, and the build root, every package at its exact version, with the
# archive it came from (X-Apt-Sources, which deb-buildinfo has no field
# for). Nothing in it depends on when, where or by whom the set was built,
# so that a rebuild from it writes the very same record. Included by
# cmake/release-set.cmake; the declared build dependencies
# (cmake/build-depends) are read here too.

# The packages that <file> declares in its Build-Depends field, as
# name[:architecture], into <packages>; into <architectures>, this
# machine's architecture first, then every other one that they name.
function(build_depends file packages_var architectures_var)
    # Its comments aside, the field and the lines that continue it.
    file(READ "${file}" text)
    string(REGEX REPLACE "(^|\n)#[^\n]*" "" text "${text}")
    string(REGEX MATCH "(^|\n)Build-Depends:([^\n]*(\n[ \t][^\n]*)*)" field "${text}")
    string(REGEX REPLACE "[,\n]" ";" field "${CMAKE_MATCH_2}")
    buildinfo_native(native)
    set(packages "")
    set(architectures "${native}")
    foreach(entry IN LISTS field)
        string(STRIP "${entry}" entry)
        if(entry STREQUAL "")
            continue()
        elseif(NOT entry MATCHES "^([a-z0-9][a-z0-9.+-]+)(:([a-z0-9]+))?$")
            message(FATAL_ERROR "${file}: '${entry}' is not a package name[:architecture]")
        endif()
        list(APPEND packages "${entry}")
        if(CMAKE_MATCH_3)
            list(APPEND architectures "${CMAKE_MATCH_3}")
        endif()
    endforeach()
    if(NOT packages)
        message(FATAL_ERROR "${file} declares no Build-Depends")
    endif()
    list(REMOVE_DUPLICATES architectures)
    set(${packages_var} "${packages}" PARENT_SCOPE)
    set(${architectures_var} "${architectures}" PARENT_SCOPE)
endfunction()

# This machine's Debian architecture, which builds the set.
function(buildinfo_native out)
    execute_process(COMMAND dpkg --print-architecture
        OUTPUT_VARIABLE native OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE rc ERROR_QUIET)
    if(NOT rc EQUAL 0 OR native STREQUAL "")
        message(FATAL_ERROR "A release is built on Debian: dpkg --print-architecture failed")
    endif()
    set(${out} "${native}" PARENT_SCOPE)
endfunction()

# Every package installed on this machine, as name[:architecture]=version,
# sorted; the architecture only where it is another than the machine's own.
function(buildinfo_installed out)
    buildinfo_native(native)
    execute_process(COMMAND dpkg-query -W
            "-f=\${db:Status-Abbrev} \${binary:Package} \${Version}\n"
        OUTPUT_VARIABLE lines COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ";" installed "${lines}")
    list(FILTER installed INCLUDE REGEX "^ii +[^ ]+ .")
    list(TRANSFORM installed REPLACE "^ii +([^ ]+) (.+)$" "\\1=\\2")
    list(TRANSFORM installed REPLACE "^([^:=]+):${native}=" "\\1=")
    list(SORT installed)
    set(${out} "${installed}" PARENT_SCOPE)
endfunction()

# Writes <file> for the set in <packages> (every file in it but the sums),
# whose Architecture field is the list <architectures>, in its order, built
# at <epoch> from the packages installed here, which came from the apt
# sources <sources> (a list of one-line entries).
function(buildinfo_write file packages architectures version epoch sources build_path environment)
    buildinfo_native(native)
    execute_process(COMMAND env LC_ALL=C date -u -R -d "@${epoch}"
        OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    list(JOIN architectures " " architectures)
    file(GLOB files RELATIVE "${packages}" "${packages}/*")
    list(FILTER files EXCLUDE REGEX "^SHA256SUMS")
    list(SORT files)
    set(checksums "")
    foreach(name IN LISTS files)
        file(SHA256 "${packages}/${name}" sum)
        file(SIZE "${packages}/${name}" size)
        string(APPEND checksums "\n ${sum} ${size} ${name}")
    endforeach()
    buildinfo_installed(installed)
    list(TRANSFORM installed REPLACE "^([^=]+)=(.*)$" "\\1 (= \\2)")
    list(JOIN installed ",\n " depends)
    list(JOIN sources "\n " sources)
    list(TRANSFORM environment REPLACE "^([^=]+)=(.*)$" "\\1=\"\\2\"")
    list(JOIN environment "\n " environment)
    file(WRITE "${file}" "Format: 1.0
Source: converter
Binary: converter
Architecture: ${architectures}
Version: ${version}
Checksums-Sha256:${checksums}
Build-Origin: Debian
Build-Architecture: ${native}
Build-Date: ${date}
Build-Path: ${build_path}
X-Apt-Sources:
 ${sources}
Installed-Build-Depends:
 ${depends}
Environment:
 ${environment}
")
endfunction()

# Reads the record <file>: <prefix>_packages (name[:architecture]=version),
# <prefix>_architectures (the build architecture first, then every other
# one that the packages name), <prefix>_sources and <prefix>_build_arch.
function(buildinfo_read file prefix)
    file(STRINGS "${file}" lines)
    foreach(name IN ITEMS field packages sources build_arch)
        set(${name} "")
    endforeach()
    foreach(line IN LISTS lines)
        if(line MATCHES "^([A-Za-z0-9-]+):[ ]*(.*)$")
            set(field "${CMAKE_MATCH_1}")
            if(field STREQUAL "Build-Architecture")
                set(build_arch "${CMAKE_MATCH_2}")
            endif()
        elseif(field STREQUAL "Installed-Build-Depends"
                AND line MATCHES "^ ([a-z0-9][a-z0-9.+-]*(:[a-z0-9]+)?) \\(= ([^ )]+)\\),?$")
            list(APPEND packages "${CMAKE_MATCH_1}=${CMAKE_MATCH_3}")
        elseif(field STREQUAL "X-Apt-Sources" AND line MATCHES "^ (deb .+)$")
            list(APPEND sources "${CMAKE_MATCH_1}")
        elseif(NOT line MATCHES "^ ")
            message(FATAL_ERROR "${file}: cannot read the line '${line}'")
        endif()
    endforeach()
    if(NOT packages OR NOT sources OR NOT build_arch)
        message(FATAL_ERROR "${file} is not a record of converter's release: it "
            "lacks Installed-Build-Depends, X-Apt-Sources or Build-Architecture")
    endif()
    list(TRANSFORM packages REPLACE "^[^:=]+:([a-z0-9]+)=.*$" "\\1" OUTPUT_VARIABLE architectures)
    list(FILTER architectures EXCLUDE REGEX "=")
    list(PREPEND architectures "${build_arch}")
    list(REMOVE_DUPLICATES architectures)
    foreach(name IN ITEMS packages architectures sources build_arch)
        set(${prefix}_${name} "${${name}}" PARENT_SCOPE)
    endforeach()
endfunction()

# Run on its own, it prints the packages that the file <BUILD_DEPENDS>
# declares, one a line, for the checks that read a record against them:
#
#	cmake -DBUILD_DEPENDS=cmake/build-depends -P cmake/buildinfo.cmake
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    build_depends("${BUILD_DEPENDS}" packages architectures)
    list(JOIN packages "\n" packages)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${packages}")
endif()
