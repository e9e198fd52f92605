# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The whole release set in build/packages, from the top of a checkout:
#
#	cmake -P cmake/release.cmake
#
# HEAD's tree becomes the source tarball, converter-<version>.tar.gz. A
# fresh Debian 12 root (cmake/debian-root) holding the essential packages
# and the build dependencies that cmake/build-depends declares, and nothing
# else, builds the set from that tarball, unpacked (cmake/release-root.cmake):
# the artefacts, their signatures where keys are given, the record of every
# package of the root at its version, converter-<version>.buildinfo,
# SHA256SUMS and, with an OpenPGP key, the apt repository, build/apt. Before
# it, a fresh Debian 13 root, made as cmake/build-depends-debian-13 declares,
# builds the .debs that only Debian 13 serves, with a record of its own,
# converter-<version>-debian-13.buildinfo, which the set then holds.
#
# With CONVERTER_RELEASE_SIGNATURES naming a published release, it rebuilds
# that release instead, from this checkout or from its unpacked source
# tarball: from the published tarball and records, each checked against the
# published SHA256SUMS, in roots with exactly the recorded packages at their
# recorded versions (from CONVERTER_DEBIAN_MIRROR where given), with the
# published signatures attached; every file must come out the same.
include("${CMAKE_CURRENT_LIST_DIR}/release-set.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/apt-repository.cmake")
set(top "${CONVERTER_TOP}")
set(packages "${CONVERTER_PACKAGES_DIR}")
set(logs "${top}/build/release-logs")
set(work "${top}/build/release-root")
converter_artefact(source "" tarball)
converter_artefact(record "" record)
# The source tarball's top directory, where the root builds.
string(REGEX REPLACE "\\.tar\\.gz$" "" source_top "${tarball}")

# <name> of the published release, checked against its SHA256SUMS.
function(release_published published name)
    if(NOT EXISTS "${published}/SHA256SUMS")
        release_fail("${published} has no SHA256SUMS: is it a published release of "
            "${CONVERTER_VERSION}?")
    endif()
    sha256sums_read("${published}/SHA256SUMS" sums)
    set(sum "")
    if(EXISTS "${published}/${name}")
        file(SHA256 "${published}/${name}" sum)
    endif()
    if(NOT sum OR NOT sum STREQUAL "${sums_${name}}")
        release_fail("${published}/${name} is missing, or is not the file that the "
            "published SHA256SUMS names: refused")
    endif()
endfunction()

# Into <io>, the published record <record> (checked by release_published);
# sets the root's packages, architectures and apt sources to the recorded
# ones, and writes apt preferences that hold every package at its recorded
# version, the essential ones too, into <pin>.
function(release_recorded record io pin)
    file(COPY_FILE "${record}" "${io}/published.buildinfo")
    buildinfo_read("${record}" recorded)
    buildinfo_native(native)
    if(NOT recorded_build_arch STREQUAL native)
        cmake_path(GET record FILENAME name)
        release_fail("${name} was built on ${recorded_build_arch}; rebuild it on "
            "${recorded_build_arch}, not ${native}")
    endif()
    list(TRANSFORM recorded_packages REPLACE "^([^:=]+)(:[^=]+)?=(.*)$"
        "Package: \\1\nPin: version \\3\nPin-Priority: 1001\n" OUTPUT_VARIABLE pins)
    list(REMOVE_DUPLICATES pins)
    string(REPLACE ";" "\n" pins "${pins}")
    file(WRITE "${pin}" "${pins}")
    set(include "${recorded_packages}" PARENT_SCOPE)
    set(architectures "${recorded_architectures}" PARENT_SCOPE)
    set(sources "${recorded_sources}" PARENT_SCOPE)
endfunction()

# Into <file>, HEAD's tree as git archive gives it.
function(release_head file)
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
        WORKING_DIRECTORY "${top}" OUTPUT_FILE "${file}"
        COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# The apt sources <sources> with Debian's archive replaced by the mirror that
# CONVERTER_DEBIAN_MIRROR names ("<archive> [<security archive>]"), into
# <out>; a snapshot.debian.org address serves both archives at one time.
function(release_mirrored sources out)
    separate_arguments(mirror UNIX_COMMAND "$ENV{CONVERTER_DEBIAN_MIRROR}")
    list(POP_FRONT mirror main security)
    if(NOT security AND main MATCHES "^(.*/archive/)debian(/[0-9TZ]+/?)$")
        set(security "${CMAKE_MATCH_1}debian-security${CMAKE_MATCH_2}")
    endif()
    set(mirrored "")
    foreach(line IN LISTS sources)
        release_apt_source("${line}" suite)
        if(NOT suite MATCHES "-security$")
            set(suite_url "${main}")
        elseif(security)
            set(suite_url "${security}")
        endif()
        list(APPEND mirrored "deb ${suite_url} ${suite} ${suite_components}")
    endforeach()
    set(${out} "${mirrored}" PARENT_SCOPE)
endfunction()

# One root, Debian <debian> (12 or 13, the suite <suite>), made from the
# build dependencies that the file <depends> declares, or from the published
# record <record> when a release is rebuilt, and what runs in it; what it
# builds is left in <io>/packages. The options for cmake/debian-root are one
# per source, bind or variable: keys and published files come in from where
# they are, bound into the root, never copied into the tree. <binds> and
# <environment> are the caller's, for that root alone.
function(release_root debian suite depends record io binds environment)
    file(MAKE_DIRECTORY "${io}")
    file(COPY_FILE "${work}/${tarball}" "${io}/${tarball}")
    set(root_options --suite ${suite} --variant essential)
    list(APPEND binds "${io}:/io" "${logs}:/io/logs")
    list(PREPEND environment ${RELEASE_ROOT_ENVIRONMENT})
    if(CONVERTER_RELEASE_SIGNATURES)
        release_recorded("${CONVERTER_RELEASE_SIGNATURES}/${record}" "${io}" "${io}.pinned")
        list(APPEND root_options --pin "${io}.pinned")
    else()
        build_depends("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${depends}" include architectures)
        set(sources
            "deb http://deb.debian.org/debian ${suite} main"
            "deb http://deb.debian.org/debian ${suite}-updates main"
            "deb http://deb.debian.org/debian-security ${suite}-security main")
    endif()
    # The record states where the recorded versions came from; a mirror
    # serves the same ones.
    list(JOIN sources "\n" lines)
    file(WRITE "${io}/sources" "${lines}\n")
    set(asked "${sources}")
    if(NOT "$ENV{CONVERTER_DEBIAN_MIRROR}" STREQUAL "")
        release_mirrored("${sources}" sources)
        # A snapshot's Release files have long passed their Valid-Until; their
        # signatures are still checked.
        list(APPEND root_options --aptopt "Acquire::Check-Valid-Until \"false\"")
    endif()
    foreach(name IN ITEMS TZ LANG LC_ALL)
        if(DEFINED ENV{${name}})
            list(APPEND environment "${name}=$ENV{${name}}")
        endif()
    endforeach()
    list(JOIN architectures "," architectures)
    list(JOIN include "," include)
    list(APPEND root_options --architectures "${architectures}" --include "${include}")
    foreach(option IN ITEMS source bind setenv)
        set(values "${sources}")
        if(option STREQUAL "bind")
            set(values "${binds}")
        elseif(option STREQUAL "setenv")
            set(values "${environment}")
        endif()
        foreach(value IN LISTS values)
            list(APPEND root_options --${option} "${value}")
        endforeach()
    endforeach()

    # CONVERTER_BUILD_LAUNCHER is a command that the build runs under, for a
    # rebuild that shows what does not matter (faketime, say); it must be
    # installed in the root.
    message(STATUS "The release root: Debian ${debian} (${suite}), ${architectures}")
    set(root_log "${logs}/release-root-debian-${debian}.log")
    execute_process(
        COMMAND "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/debian-root" ${root_options} "${io}.root" -- sh -c
            "umask 022 && mkdir -p /build && tar -xzf /io/${tarball} -C /build && cd /build/${source_top} && exec $ENV{CONVERTER_BUILD_LAUNCHER} cmake -DRELEASE_DEBIAN=${debian} -P cmake/release-root.cmake"
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
        execute_process(COMMAND tail -c 6000 "${root_log}" OUTPUT_VARIABLE out)
        release_fail("The release root failed (${root_log}):\n${out}")
    endif()
    # A suite left out while the mirror was mid-sync is no failure, but the set
    # may then lack its fixes: said here, and in the record.
    buildinfo_read("${io}/packages/${record}" built)
    foreach(line IN LISTS asked)
        if(NOT line IN_LIST built_sources)
            message(NOTICE "release: built without '${line}', which the mirror served "
                "stale still after waiting (${root_log}); the programs may embed a C library "
                "without that suite's latest fixes, and the record's X-Apt-Sources lacks it. "
                "Release again once the mirror is whole.")
        endif()
    endforeach()
endfunction()

signing_check()
apt_repository_check()
file(REMOVE_RECURSE "${packages}" "${logs}" "${work}")
if("$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
    file(REMOVE_RECURSE "${CONVERTER_APT_DIR}")
endif()
file(MAKE_DIRECTORY "${logs}" "${work}")
converter_artefact(record-debian-13 "" record_13)
if(CONVERTER_RELEASE_SIGNATURES)
    foreach(name IN ITEMS "${tarball}" "${record_13}" "${record}")
        release_published("${CONVERTER_RELEASE_SIGNATURES}" "${name}")
    endforeach()
    file(COPY_FILE "${CONVERTER_RELEASE_SIGNATURES}/${tarball}" "${work}/${tarball}")
else()
    release_head("${work}/${tarball}")
endif()

# Debian 13's root first: the .debs of the architectures that Debian 12 has
# no archive for, each with its bill, and their own record. Debian 12's
# root takes them into the set that it builds, records, sums and signs.
release_root(13 trixie build-depends-debian-13 "${record_13}" "${work}/debian-13" "" "")
set(binds "${work}/debian-13/packages:/debian-13")
set(environment "")
if(CONVERTER_RELEASE_SIGNATURES)
    list(APPEND binds "${CONVERTER_RELEASE_SIGNATURES}:/published")
    list(APPEND environment CONVERTER_RELEASE_SIGNATURES=/published)
endif()
if(CONVERTER_OPENPGP_KEY)
    list(APPEND binds "$ENV{GNUPGHOME}:/keys/gnupg")
    list(APPEND environment "CONVERTER_OPENPGP_KEY=${CONVERTER_OPENPGP_KEY}" GNUPGHOME=/keys/gnupg)
endif()
if(CONVERTER_AUTHENTICODE_CERT)
    list(APPEND binds "${CONVERTER_AUTHENTICODE_CERT}:/keys/authenticode.pem"
        "${CONVERTER_AUTHENTICODE_KEY}:/keys/authenticode.key")
    list(APPEND environment CONVERTER_AUTHENTICODE_CERT=/keys/authenticode.pem
        CONVERTER_AUTHENTICODE_KEY=/keys/authenticode.key)
endif()
if(CONVERTER_APT_REPOSITORY)
    list(APPEND binds "${CONVERTER_APT_REPOSITORY}:/apt-repository")
    list(APPEND environment CONVERTER_APT_REPOSITORY=/apt-repository)
endif()
set(io "${work}/debian-12")
release_root(12 bookworm build-depends "${record}" "${io}" "${binds}" "${environment}")
file(RENAME "${io}/packages" "${packages}")
if(EXISTS "${io}/apt")
    file(REMOVE_RECURSE "${CONVERTER_APT_DIR}")
    file(RENAME "${io}/apt" "${CONVERTER_APT_DIR}")
endif()
file(REMOVE_RECURSE "${work}")
file(READ "${packages}/SHA256SUMS" sums)
message(STATUS "${packages}/SHA256SUMS:\n${sums}")
