# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The whole release set in build/packages, from the top of a checkout:
#
#	cmake -P cmake/release.cmake
#
# HEAD's tree becomes the source tarball, converter-<version>.tar.gz. A
# fresh Debian 12 root (cmake/debian-root) holding the essential packages
# and the build dependencies that cmake/build-depends declares, and nothing
# else, builds the set from that tarball, unpacked (cmake/release-set.cmake),
# signs it where keys are given (cmake/signing.cmake), records every package
# of the root at its version in converter-<version>.buildinfo
# (cmake/buildinfo.cmake), sums the set into SHA256SUMS and, with an
# OpenPGP key, writes the apt repository, build/apt
# (cmake/apt-repository.cmake).
#
# With CONVERTER_RELEASE_SIGNATURES naming a published release, it rebuilds
# that release instead, from this checkout or from its unpacked source
# tarball: from the published tarball and record, both checked against the
# published SHA256SUMS, in a root with exactly the recorded packages at their
# recorded versions (from CONVERTER_DEBIAN_MIRROR where given), with the
# published signatures attached; every file must come out the same.
#
#	cmake -DON_THIS_MACHINE=ON -P cmake/release.cmake
#
# builds the set from this tree on this machine, for development: it has no
# source tarball, no record and no signature of its own, and so cannot be
# taken for a release.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/facts.cmake")
set(top "${CONVERTER_TOP}")
set(version "${CONVERTER_VERSION}")
converter_packages_dir(packages)
set(logs "${top}/build/release-logs")
# The source tarball's top directory; where the build runs in the root, and
# where it finds what comes in from outside and leaves what goes out.
converter_artefact(source "" source_tarball)
string(REGEX REPLACE "\\.tar\\.gz$" "" source_top "${source_tarball}")
set(root_source "/build/${source_top}")
set(root_io "/io")

# A release that stops says why in one line, and leaves no half-made,
# half-signed set behind. (FATAL_ERROR would fold the line.)
function(release_fail)
    file(REMOVE_RECURSE "${packages}")
    string(CONCAT why ${ARGN})
    message(NOTICE "release: ${why}")
    message(FATAL_ERROR "The release stopped, and left nothing in ${packages}.")
endfunction()
include("${CMAKE_CURRENT_LIST_DIR}/signing.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/sbom.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/apt-repository.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/buildinfo.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/release-set.cmake")

# The environment that the build in the root is given, and that the record
# states. The builder's time zone and locale reach it too, and must not
# matter.
set(root_environment HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin)

# Inside the release root, from the unpacked source tarball.
function(release_in_root)
    set(logs "${root_io}/logs" PARENT_SCOPE)
    set(logs "${root_io}/logs")
    converter_artefact(record "" record)
    converter_artefact(source "" source)
    set(record "${packages}/${record}")
    set(published_record "${root_io}/published.buildinfo")
    # A rebuild's root must hold what the record says, before anything is
    # built with it.
    if(EXISTS "${published_record}")
        buildinfo_read("${published_record}" published)
        buildinfo_installed(installed)
        _release_compare_packages("${published_packages}" "${installed}")
    endif()
    signing_check()
    signing_tools_check()
    file(REMOVE_RECURSE "${packages}")
    release_set(epoch)
    file(COPY_FILE "${root_io}/${source}" "${packages}/${source}")
    file(STRINGS "${root_io}/sources" sources)
    _release_sources_in_use(sources)
    # Written beside the set, which it sums, then put in.
    buildinfo_write("${top}/build/record" "${packages}" "${version}" "${epoch}"
        "${sources}" "${root_source}" "${root_environment};SOURCE_DATE_EPOCH=${epoch}")
    file(RENAME "${top}/build/record" "${record}")
    if(EXISTS "${published_record}")
        file(READ "${published_record}" expected)
        file(READ "${record}" written)
        if(NOT written STREQUAL expected)
            string(REPLACE "\n" ";" expected "${expected}")
            string(REPLACE "\n" ";" written "${written}")
            foreach(line IN LISTS written)
                if(NOT line IN_LIST expected)
                    release_fail("The rebuild's record differs from the one published, "
                        "first in: ${line}")
                endif()
            endforeach()
            release_fail("The rebuild's record lacks lines of the one published")
        endif()
    endif()
    release_sums()
    openpgp_sign("${packages}/SHA256SUMS" "${epoch}")
    published_sums_check("${packages}/SHA256SUMS")
    if(NOT "$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
        apt_repository("${epoch}")
        file(COPY "${CONVERTER_APT_DIR}/" DESTINATION "${root_io}/apt")
    endif()
    file(COPY "${packages}" DESTINATION "${root_io}")
endfunction()

# Of the apt sources <sources_var>, those whose suite the root still has:
# while a mirror is mid-sync, the root may have left a suite out
# (cmake/patient-apt), and the record names only what the root really
# installed from, by the archive's addresses.
function(_release_sources_in_use sources_var)
    file(STRINGS /etc/apt/sources.list active REGEX "^deb ")
    set(suites "")
    foreach(line IN LISTS active)
        if(line MATCHES "^deb [^ ]+ ([^ ]+) ")
            list(APPEND suites "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    set(kept "")
    foreach(line IN LISTS ${sources_var})
        if(line MATCHES "^deb [^ ]+ ([^ ]+) " AND CMAKE_MATCH_1 IN_LIST suites)
            list(APPEND kept "${line}")
        endif()
    endforeach()
    set(${sources_var} "${kept}" PARENT_SCOPE)
endfunction()

# The packages <installed> (name[:architecture]=version) are exactly those
# that the record lists, <recorded>; else the first that differs is named.
function(_release_compare_packages recorded installed)
    if(recorded STREQUAL installed)
        return()
    endif()
    foreach(entry IN LISTS recorded)
        if(NOT entry IN_LIST installed)
            string(REGEX REPLACE "=.*" "" name "${entry}")
            string(REGEX REPLACE "^[^=]*=" "" wanted "${entry}")
            set(got "none")
            foreach(other IN LISTS installed)
                if(other MATCHES "^${name}=(.*)$")
                    set(got "${CMAKE_MATCH_1}")
                endif()
            endforeach()
            release_fail("The release root holds ${name} ${got}, where the record "
                "has ${wanted}: it would build with another version")
        endif()
    endforeach()
    foreach(entry IN LISTS installed)
        if(NOT entry IN_LIST recorded)
            release_fail("The release root holds ${entry}, which the record does not list")
        endif()
    endforeach()
endfunction()

# The line of <sums> for <name>, checked against the file <path>.
function(_release_published_file sums name path)
    file(STRINGS "${sums}" line REGEX "^[0-9a-f]+  ${name}$")
    set(sum "")
    if(EXISTS "${path}")
        file(SHA256 "${path}" sum)
    endif()
    if(NOT line OR NOT line MATCHES "^${sum}  ")
        release_fail("${path} is missing, or is not the file that the published "
            "SHA256SUMS names: refused")
    endif()
endfunction()

# The apt sources of the root: Debian's archive, or the mirror that
# CONVERTER_DEBIAN_MIRROR names ("<archive> [<security archive>]"), in place
# of the addresses in <sources>. A snapshot.debian.org address serves both
# archives at one time.
function(_release_sources sources out aptopts_out)
    set(aptopts "")
    string(STRIP "$ENV{CONVERTER_DEBIAN_MIRROR}" mirror)
    if(mirror)
        separate_arguments(mirror UNIX_COMMAND "${mirror}")
        list(GET mirror 0 main)
        list(LENGTH mirror count)
        if(count GREATER 1)
            list(GET mirror 1 security)
        elseif(main MATCHES "^(.*/archive/)debian(/[0-9TZ]+/?)$")
            set(security "${CMAKE_MATCH_1}debian-security${CMAKE_MATCH_2}")
        else()
            set(security "")
        endif()
        set(mirrored "")
        foreach(line IN LISTS sources)
            if(NOT line MATCHES "^deb ([^ ]+) ([^ ]+) (.+)$")
                release_fail("cannot read the apt source '${line}'")
            endif()
            if(CMAKE_MATCH_2 MATCHES "-security$")
                if(security)
                    list(APPEND mirrored "deb ${security} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3}")
                else()
                    list(APPEND mirrored "${line}")
                endif()
            else()
                list(APPEND mirrored "deb ${main} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3}")
            endif()
        endforeach()
        set(sources "${mirrored}")
        # A snapshot's Release files have long passed their Valid-Until;
        # their signatures are still checked.
        set(aptopts "Acquire::Check-Valid-Until \"false\"")
    endif()
    set(${out} "${sources}" PARENT_SCOPE)
    set(${aptopts_out} "${aptopts}" PARENT_SCOPE)
endfunction()

# Appends to the list <out> the option <flag> before each further argument,
# as debian-root takes one option per source, bind or variable.
function(_each_with_option out flag)
    set(result "${${out}}")
    foreach(item IN LISTS ARGN)
        list(APPEND result ${flag} "${item}")
    endforeach()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Outside: the source tarball and the root's packages, the root, and the set
# it leaves.
function(release_in_a_root)
    signing_check()
    apt_repository_check()
    file(REMOVE_RECURSE "${packages}" "${logs}")
    if("$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
        file(REMOVE_RECURSE "${CONVERTER_APT_DIR}")
    endif()
    file(MAKE_DIRECTORY "${logs}")
    set(work "${top}/build/release-root")
    set(io "${work}/io")
    file(REMOVE_RECURSE "${work}")
    file(MAKE_DIRECTORY "${io}")
    converter_artefact(source "" tarball)
    set(binds "${io}:${root_io}" "${logs}:${root_io}/logs")
    set(pin "")
    _signing_env(CONVERTER_RELEASE_SIGNATURES)
    if(CONVERTER_RELEASE_SIGNATURES)
        # A rebuild: from the published tarball, in a root with exactly the
        # packages that the published record names.
        set(published "${CONVERTER_RELEASE_SIGNATURES}")
        converter_artefact(record "" record)
        if(NOT EXISTS "${published}/SHA256SUMS")
            release_fail("${published} has no SHA256SUMS: is it a published release of ${version}?")
        endif()
        foreach(name IN ITEMS "${tarball}" "${record}")
            _release_published_file("${published}/SHA256SUMS" "${name}" "${published}/${name}")
        endforeach()
        file(COPY_FILE "${published}/${tarball}" "${io}/${tarball}")
        file(COPY_FILE "${published}/${record}" "${io}/published.buildinfo")
        buildinfo_read("${published}/${record}" recorded)
        _buildinfo_native(native)
        if(NOT recorded_build_arch STREQUAL native)
            release_fail("${record} was built on ${recorded_build_arch}; rebuild it on "
                "${recorded_build_arch}, not ${native}")
        endif()
        set(include "${recorded_packages}")
        set(architectures "${recorded_architectures}")
        set(sources "${recorded_sources}")
        # Every package held at its recorded version, the essential ones
        # that the root starts from too.
        set(pin "${work}/pinned")
        set(pins "")
        foreach(entry IN LISTS include)
            string(REGEX REPLACE "^([^:=]+)(:[^=]+)?=(.*)$"
                "Package: \\1\nPin: version \\3\nPin-Priority: 1001\n" entry "${entry}")
            list(APPEND pins "${entry}")
        endforeach()
        list(REMOVE_DUPLICATES pins)
        string(REPLACE ";" "\n" pins "${pins}")
        file(WRITE "${pin}" "${pins}")
        list(APPEND binds "${published}:/published")
    else()
        # A release: HEAD's tree, as git archive gives it.
        find_program(GIT git)
        if(NOT GIT OR NOT EXISTS "${top}/.git")
            release_fail("A release is made from a git checkout; to rebuild a "
                "published one, set CONVERTER_RELEASE_SIGNATURES")
        endif()
        execute_process(COMMAND "${GIT}" status --porcelain --untracked-files=no
            WORKING_DIRECTORY "${top}" OUTPUT_VARIABLE changed COMMAND_ERROR_IS_FATAL ANY)
        if(NOT changed STREQUAL "")
            release_fail("The release is built from HEAD's tree, and this checkout "
                "has changes that it would leave out: commit or stash them")
        endif()
        execute_process(
            COMMAND "${GIT}" archive --format=tar "--prefix=${source_top}/" HEAD
            COMMAND gzip -9n
            WORKING_DIRECTORY "${top}" OUTPUT_FILE "${io}/${tarball}"
            COMMAND_ERROR_IS_FATAL ANY)
        build_depends("${CMAKE_CURRENT_LIST_DIR}/build-depends" include architectures)
        set(sources
            "deb http://deb.debian.org/debian bookworm main"
            "deb http://deb.debian.org/debian bookworm-updates main"
            "deb http://deb.debian.org/debian-security bookworm-security main")
    endif()
    # The record states where the recorded versions came from; a mirror
    # serves the same ones.
    string(REPLACE ";" "\n" lines "${sources}")
    file(WRITE "${io}/sources" "${lines}\n")
    set(asked "${sources}")
    _release_sources("${sources}" sources aptopts)

    # Keys and published files come in from where they are, bound into the
    # root, never copied into the tree.
    set(environment ${root_environment})
    foreach(name IN ITEMS TZ LANG LC_ALL)
        if(DEFINED ENV{${name}})
            list(APPEND environment "${name}=$ENV{${name}}")
        endif()
    endforeach()
    _signing_env(CONVERTER_OPENPGP_KEY)
    if(CONVERTER_OPENPGP_KEY)
        list(APPEND binds "$ENV{GNUPGHOME}:/keys/gnupg")
        list(APPEND environment "CONVERTER_OPENPGP_KEY=${CONVERTER_OPENPGP_KEY}" GNUPGHOME=/keys/gnupg)
    endif()
    _signing_env(CONVERTER_AUTHENTICODE_CERT)
    if(CONVERTER_AUTHENTICODE_CERT)
        list(APPEND binds "${CONVERTER_AUTHENTICODE_CERT}:/keys/authenticode.pem"
            "$ENV{CONVERTER_AUTHENTICODE_KEY}:/keys/authenticode.key")
        list(APPEND environment CONVERTER_AUTHENTICODE_CERT=/keys/authenticode.pem
            CONVERTER_AUTHENTICODE_KEY=/keys/authenticode.key)
    endif()
    if(CONVERTER_RELEASE_SIGNATURES)
        list(APPEND environment CONVERTER_RELEASE_SIGNATURES=/published)
    endif()
    _signing_env(CONVERTER_APT_REPOSITORY)
    if(CONVERTER_APT_REPOSITORY)
        list(APPEND binds "${CONVERTER_APT_REPOSITORY}:/apt-repository")
        list(APPEND environment CONVERTER_APT_REPOSITORY=/apt-repository)
    endif()
    # A command that the build runs under, for a rebuild that shows what
    # does not matter (faketime, say); it must be installed in the root.
    set(launcher "$ENV{CONVERTER_BUILD_LAUNCHER}")

    set(command "umask 022 && mkdir -p /build && tar -xzf ${root_io}/${tarball} -C /build && cd ${root_source} && exec ${launcher} cmake -DIN_RELEASE_ROOT=ON -P cmake/release.cmake")
    set(arguments --variant essential)
    list(JOIN architectures "," architectures)
    list(JOIN include "," include)
    list(APPEND arguments --architectures "${architectures}" --include "${include}")
    if(pin)
        list(APPEND arguments --pin "${pin}")
    endif()
    _each_with_option(arguments --source ${sources})
    _each_with_option(arguments --aptopt ${aptopts})
    _each_with_option(arguments --bind ${binds})
    _each_with_option(arguments --setenv ${environment})
    message(STATUS "The release root: Debian bookworm, ${architectures}")
    set(root_log "${logs}/release-root.log")
    execute_process(
        COMMAND "${CMAKE_CURRENT_LIST_DIR}/debian-root" ${arguments} "${work}/root"
            -- sh -c "${command}"
        OUTPUT_FILE "${root_log}" ERROR_FILE "${root_log}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        file(STRINGS "${root_log}" why REGEX "^(release: |E: Version '|debian-root: )")
        list(FILTER why EXCLUDE REGEX "^debian-root: .* made in ")
        if(why MATCHES "E: Version '([^']+)' for '([^']+)' was not found")
            release_fail("The archive has no ${CMAKE_MATCH_2} ${CMAKE_MATCH_1}, which the "
                "record names, and nothing was built with another version: set "
                "CONVERTER_DEBIAN_MIRROR to a snapshot.debian.org address that has it "
                "(see RELEASING.md)")
        elseif(why MATCHES "release: ([^;]+)")
            release_fail("${CMAKE_MATCH_1}")
        endif()
        file(READ "${root_log}" out)
        string(LENGTH "${out}" length)
        if(length GREATER 6000)
            math(EXPR from "${length} - 6000")
            string(SUBSTRING "${out}" ${from} -1 out)
        endif()
        release_fail("The release root failed (${root_log}):\n${out}")
    endif()
    file(RENAME "${io}/packages" "${packages}")
    # A suite left out while the mirror was mid-sync is no failure, but the
    # set may then lack its fixes: said here, and in the record.
    converter_artefact(record "" record)
    buildinfo_read("${packages}/${record}" built)
    foreach(line IN LISTS asked)
        if(NOT line IN_LIST built_sources)
            message(NOTICE "release: built without '${line}', which the mirror served "
                "stale still after waiting (${root_log}); the programs may embed a C library "
                "without that suite's latest fixes, and the record's X-Apt-Sources lacks it. "
                "Release again once the mirror is whole.")
        endif()
    endforeach()
    if(EXISTS "${io}/apt")
        file(REMOVE_RECURSE "${CONVERTER_APT_DIR}")
        file(RENAME "${io}/apt" "${CONVERTER_APT_DIR}")
    endif()
    file(REMOVE_RECURSE "${work}")
endfunction()

# On this machine, from this tree: no keys of its own.
function(release_on_this_machine)
    foreach(name IN ITEMS CONVERTER_OPENPGP_KEY CONVERTER_AUTHENTICODE_CERT
            CONVERTER_AUTHENTICODE_KEY CONVERTER_APT_REPOSITORY)
        if(NOT "$ENV{${name}}" STREQUAL "")
            release_fail("${name} is for a release, which is built in its root: "
                "leave out -DON_THIS_MACHINE=ON")
        endif()
    endforeach()
    signing_check()
    signing_tools_check()
    file(REMOVE_RECURSE "${packages}" "${logs}")
    file(MAKE_DIRECTORY "${logs}")
    release_set(epoch)
    release_sums()
endfunction()

if(IN_RELEASE_ROOT)
    release_in_root()
elseif(ON_THIS_MACHINE)
    release_on_this_machine()
else()
    release_in_a_root()
endif()
file(READ "${packages}/SHA256SUMS" sums)
message(STATUS "${packages}/SHA256SUMS:\n${sums}")
