# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The facts about converter that more than one file needs, each in this one
# place: its version, who makes it and how to reach them, the artefacts'
# names, where builds and packages go, and the apt repository's pool.
# CMakeLists.txt and the release scripts include this file; a shell script
# asks it for one fact:
#
#	cmake -DFACT=<name> [-DKIND=<artefact>] [-DPRESET=<preset>] [-DARCH=<arch>] -P cmake/facts.cmake
set(CONVERTER_CONTACT "converter maintainers <maintainers@converter.invalid>")
set(CONVERTER_APT_POOL pool/main/c/converter)

cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH CONVERTER_TOP)
# The version's one home is debian/changelog's first entry, which
# dpkg-buildpackage reads before anything runs: a new entry there is the
# whole of a version bump, and every file name, the man page, the Windows
# resource, the MSI and the release set follow it.
file(STRINGS "${CONVERTER_TOP}/debian/changelog" CONVERTER_VERSION LIMIT_COUNT 1)
string(REGEX REPLACE "^converter \\(([^)]+)\\) .*$" "\\1" CONVERTER_VERSION "${CONVERTER_VERSION}")
# The holder of the copyright as LICENSE states it, with its year; the
# holder alone is the vendor of every package.
file(STRINGS "${CONVERTER_TOP}/LICENSE" CONVERTER_COPYRIGHT
    REGEX "^Copyright \\(c\\) " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright \\(c\\) " "" CONVERTER_COPYRIGHT "${CONVERTER_COPYRIGHT}")
string(REGEX REPLACE "^[0-9, -]+ " "" CONVERTER_VENDOR "${CONVERTER_COPYRIGHT}")

# The file name of an artefact of the release set: <kind> is deb or tarball
# (for <arch>), zip, msi, exe-signature, msi-signature, source, record or
# release-key (the OpenPGP key's public half).
function(converter_artefact kind arch out)
    set(v "${CONVERTER_VERSION}")
    set(deb "converter_${v}_${arch}.deb")
    set(tarball "converter-${v}-linux-${arch}.tar.gz")
    set(zip "converter-${v}-win32.zip")
    set(msi "converter-${v}-win32.msi")
    set(exe-signature "converter-${v}-win32.exe.authenticode.pem")
    set(msi-signature "converter-${v}-win32.msi.authenticode.pem")
    set(source "converter-${v}.tar.gz")
    set(record "converter-${v}.buildinfo")
    set(release-key "converter-release-key.pgp")
    if(NOT DEFINED ${kind})
        message(FATAL_ERROR "No artefact of the kind '${kind}'")
    endif()
    set(${out} "${${kind}}" PARENT_SCOPE)
endfunction()

# The binary directory of the configure preset <preset>, for the Debian
# architecture <arch> (empty: this machine's, as DEB_HOST_ARCH unset), as
# CMakePresets.json lays it out.
function(converter_binary_dir preset arch out)
    file(READ "${CONVERTER_TOP}/CMakePresets.json" presets)
    set(name "${preset}")
    set(dir "")
    while(dir STREQUAL "" AND NOT name STREQUAL "")
        string(JSON count LENGTH "${presets}" configurePresets)
        math(EXPR last "${count} - 1")
        set(next "")
        foreach(i RANGE ${last})
            string(JSON this GET "${presets}" configurePresets ${i} name)
            if(this STREQUAL name)
                string(JSON dir ERROR_VARIABLE none GET "${presets}"
                    configurePresets ${i} binaryDir)
                string(JSON type ERROR_VARIABLE none TYPE "${presets}"
                    configurePresets ${i} inherits)
                if(type STREQUAL "STRING")
                    string(JSON next GET "${presets}" configurePresets ${i} inherits)
                elseif(type STREQUAL "ARRAY")
                    string(JSON next GET "${presets}" configurePresets ${i} inherits 0)
                endif()
            endif()
        endforeach()
        if(dir MATCHES "-NOTFOUND$")
            set(dir "")
        endif()
        set(name "${next}")
    endwhile()
    if(dir STREQUAL "")
        message(FATAL_ERROR "CMakePresets.json gives the preset '${preset}' no binaryDir")
    endif()
    string(REPLACE [[${sourceDir}]] "${CONVERTER_TOP}" dir "${dir}")
    string(REPLACE [[${presetName}]] "${preset}" dir "${dir}")
    string(REPLACE [[$env{DEB_HOST_ARCH}]] "${arch}" dir "${dir}")
    cmake_path(NORMAL_PATH dir)
    string(REGEX REPLACE "/$" "" dir "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
endfunction()

# Where the package presets leave every artefact, as CMakePresets.json says.
function(converter_packages_dir out)
    file(READ "${CONVERTER_TOP}/CMakePresets.json" presets)
    string(JSON dir GET "${presets}" packagePresets 0 variables CPACK_OUTPUT_FILE_PREFIX)
    string(REPLACE [[${sourceDir}]] "${CONVERTER_TOP}" dir "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
endfunction()

# Where a keyed release writes its apt repository.
set(CONVERTER_APT_DIR "${CONVERTER_TOP}/build/apt")

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    if(FACT STREQUAL "version")
        set(value "${CONVERTER_VERSION}")
    elseif(FACT STREQUAL "vendor")
        set(value "${CONVERTER_VENDOR}")
    elseif(FACT STREQUAL "apt-pool")
        set(value "${CONVERTER_APT_POOL}")
    elseif(FACT STREQUAL "artefact")
        converter_artefact("${KIND}" "${ARCH}" value)
    elseif(FACT STREQUAL "binary-dir")
        converter_binary_dir("${PRESET}" "${ARCH}" value)
    elseif(FACT STREQUAL "packages-dir")
        converter_packages_dir(value)
    elseif(FACT STREQUAL "apt-dir")
        set(value "${CONVERTER_APT_DIR}")
    else()
        message(FATAL_ERROR "No fact named '${FACT}': version, vendor, apt-pool, "
            "artefact, binary-dir, packages-dir or apt-dir")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${value}")
endif()
