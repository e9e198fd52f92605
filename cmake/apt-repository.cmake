# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The apt repository of a keyed release, in build/apt: one suite, stable, and
# one component, main, ready to copy as it is to any static web host. With
# CONVERTER_APT_REPOSITORY naming the published repository of the release
# before, its .debs stay in the pool beside this release's, so that apt
# upgrade finds the new version.
#
# cmake/release.cmake includes this file and writes the repository after the
# release set. Run on its own, from the top of the source tree,
#
#	CONVERTER_OPENPGP_KEY=<fingerprint> cmake -P cmake/apt-repository.cmake
#
# it writes the repository of whatever .debs build/packages holds.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/facts.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/signing.cmake")

# A failure leaves no trace of the repository that was being made or
# checked (${stage}, set by the callers); build/apt stays as it was.
macro(_apt_fail)
    file(REMOVE_RECURSE "${stage}" "${stage}.Release")
    release_fail(${ARGN})
endmacro()

# The .deb file names that the repository at <dir> lists, checked from its
# InRelease down to each file: a pool is only ever signed again with the
# publisher's key if every .deb in it is the one that key signed for.
function(_apt_published dir keyring out)
    set(in_release "${dir}/dists/stable/InRelease")
    if(NOT EXISTS "${in_release}")
        _apt_fail("CONVERTER_APT_REPOSITORY ${dir} is not an apt repository: "
            "it has no dists/stable/InRelease")
    endif()
    set(release "${stage}.Release")
    file(REMOVE "${release}")
    execute_process(COMMAND gpgv --keyring "${keyring}" --output "${release}" "${in_release}"
        OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        _apt_fail("CONVERTER_APT_REPOSITORY ${dir} is not signed by "
            "CONVERTER_OPENPGP_KEY $ENV{CONVERTER_OPENPGP_KEY}")
    endif()
    # Of the hashes, SHA256's alone have 64 digits.
    file(STRINGS "${release}" indices
        REGEX "^ [0-9a-f]+ +[0-9]+ main/binary-[a-z0-9]+/Packages$")
    file(REMOVE "${release}")
    set(names "")
    foreach(line IN LISTS indices)
        string(REGEX MATCH "^ ([0-9a-f]+) +[0-9]+ (.*)$" line "${line}")
        string(LENGTH "${CMAKE_MATCH_1}" length)
        if(NOT length EQUAL 64)
            continue()
        endif()
        set(index "${dir}/dists/stable/${CMAKE_MATCH_2}")
        _apt_matches("${index}" "${CMAKE_MATCH_1}" "${dir}")
        file(STRINGS "${index}" fields REGEX "^(Filename|SHA256): ")
        while(fields)
            list(POP_FRONT fields filename sha256)
            # Only names in converter's pool, never a path out of it.
            if(NOT filename MATCHES "^Filename: (${CONVERTER_APT_POOL}/[^/]+\\.deb)$")
                _apt_fail("CONVERTER_APT_REPOSITORY ${dir}: ${index} lists "
                    "'${filename}', not a .deb of converter's pool")
            endif()
            set(filename "${CMAKE_MATCH_1}")
            if(NOT sha256 MATCHES "^SHA256: ([0-9a-f]+)$")
                _apt_fail("CONVERTER_APT_REPOSITORY ${dir}: ${index} gives "
                    "${filename} no SHA256")
            endif()
            _apt_matches("${dir}/${filename}" "${CMAKE_MATCH_1}" "${dir}")
            cmake_path(GET filename FILENAME name)
            list(APPEND names "${name}")
        endwhile()
    endforeach()
    if(NOT names)
        _apt_fail("CONVERTER_APT_REPOSITORY ${dir} lists no package")
    endif()
    list(REMOVE_DUPLICATES names)
    set(${out} "${names}" PARENT_SCOPE)
endfunction()

function(_apt_matches file sha256 dir)
    set(actual "")
    if(EXISTS "${file}")
        file(SHA256 "${file}" actual)
    endif()
    if(NOT actual STREQUAL sha256)
        _apt_fail("CONVERTER_APT_REPOSITORY ${dir}: ${file} is missing or "
            "is not the file its signed index names")
    endif()
endfunction()

# The release key's public half, which signs the repository and is published
# in it.
function(_apt_export_key file)
    openpgp_export_key("${file}" failure)
    if(failure)
        _apt_fail("${failure}")
    endif()
endfunction()

# Before anything is built: a repository to add to needs the key to sign
# the result, and must be one that this key signed.
function(apt_repository_check)
    signing_env(CONVERTER_APT_REPOSITORY)
    if(NOT CONVERTER_APT_REPOSITORY)
        return()
    endif()
    if("$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
        release_fail("CONVERTER_APT_REPOSITORY adds to a signed repository, "
            "which needs CONVERTER_OPENPGP_KEY")
    endif()
    set(stage "${CONVERTER_APT_DIR}-stage")
    file(REMOVE_RECURSE "${stage}")
    file(MAKE_DIRECTORY "${stage}")
    _apt_export_key("${stage}/key.pgp")
    _apt_published("${CONVERTER_APT_REPOSITORY}" "${stage}/key.pgp" names)
    file(REMOVE_RECURSE "${stage}")
endfunction()

# apt-ftparchive writes its Release with the time it runs, and reads no
# SOURCE_DATE_EPOCH: the date is given, and the signatures are made at it.
# The new repository is made beside build/apt and replaces it only when
# whole, so that a failure changes nothing, and the earlier repository may
# be build/apt itself.
function(apt_repository epoch)
    set(stage "${CONVERTER_APT_DIR}-stage")
    set(pool "${stage}/${CONVERTER_APT_POOL}")
    file(REMOVE_RECURSE "${stage}")
    file(MAKE_DIRECTORY "${pool}")
    find_program(ftparchive apt-ftparchive)
    if(NOT ftparchive)
        _apt_fail("apt-ftparchive is missing: install the Debian package apt-utils")
    endif()
    converter_artefact(release-key "" key)
    set(key "${stage}/${key}")
    _apt_export_key("${key}")

    file(GLOB built LIST_DIRECTORIES false "${packages}/*.deb")
    if(NOT built)
        _apt_fail("${packages} holds no .deb for the repository")
    endif()
    signing_env(CONVERTER_APT_REPOSITORY)
    if(CONVERTER_APT_REPOSITORY)
        _apt_published("${CONVERTER_APT_REPOSITORY}" "${key}" names)
        foreach(name IN LISTS names)
            set(published "${CONVERTER_APT_REPOSITORY}/${CONVERTER_APT_POOL}/${name}")
            if(EXISTS "${packages}/${name}")
                file(SHA256 "${published}" published_sum)
                file(SHA256 "${packages}/${name}" built_sum)
                if(NOT published_sum STREQUAL built_sum)
                    _apt_fail("CONVERTER_APT_REPOSITORY ${CONVERTER_APT_REPOSITORY} "
                        "already holds ${name}, with other bytes than this build's")
                endif()
            endif()
            file(COPY_FILE "${published}" "${pool}/${name}")
        endforeach()
    endif()
    file(COPY ${built} DESTINATION "${pool}")

    # One .deb at a time, in an order of their names, since apt-ftparchive
    # lists a directory in the order the file system gives.
    file(GLOB debs RELATIVE "${stage}" "${pool}/*.deb")
    list(SORT debs COMPARE NATURAL)
    set(architectures "")
    foreach(arch IN LISTS converter_architectures)
        if(arch IN_LIST converter_tarball_only)
            continue()
        endif()
        list(APPEND architectures "${arch}")
        set(index "${stage}/dists/stable/main/binary-${arch}/Packages")
        file(WRITE "${index}" "")
        foreach(deb IN LISTS debs)
            if(NOT deb MATCHES "_${arch}\\.deb$")
                continue()
            endif()
            execute_process(COMMAND "${ftparchive}" --arch "${arch}" packages "${deb}"
                WORKING_DIRECTORY "${stage}"
                OUTPUT_VARIABLE stanza RESULT_VARIABLE rc)
            if(NOT rc EQUAL 0 OR stanza STREQUAL "")
                _apt_fail("apt-ftparchive could not read ${deb}")
            endif()
            file(APPEND "${index}" "${stanza}")
        endforeach()
        # xz is pinned to one thread: its threaded output is laid out otherwise.
        execute_process(COMMAND gzip -9nk "${index}" COMMAND_ERROR_IS_FATAL ANY)
        execute_process(COMMAND xz -9k -T1 "${index}" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    list(JOIN architectures " " architectures)

    execute_process(COMMAND env LC_ALL=C date -u -R -d "@${epoch}"
        OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    set(release "${stage}/dists/stable/Release")
    execute_process(
        COMMAND "${ftparchive}"
            -o "APT::FTPArchive::Release::Origin=converter"
            -o "APT::FTPArchive::Release::Label=converter"
            -o "APT::FTPArchive::Release::Suite=stable"
            -o "APT::FTPArchive::Release::Codename=stable"
            -o "APT::FTPArchive::Release::Architectures=${architectures}"
            -o "APT::FTPArchive::Release::Components=main"
            -o "APT::FTPArchive::Release::Date=${date}"
            release dists/stable
        WORKING_DIRECTORY "${stage}"
        OUTPUT_FILE "${stage}/Release" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        _apt_fail("apt-ftparchive could not write the Release file")
    endif()
    file(RENAME "${stage}/Release" "${release}")
    set(gpg gpg --batch --no-tty --yes --faked-system-time "${epoch}!"
        --local-user "$ENV{CONVERTER_OPENPGP_KEY}")
    execute_process(COMMAND ${gpg} --clearsign --output "${stage}/dists/stable/InRelease"
        "${release}" RESULT_VARIABLE rc1 ERROR_QUIET)
    execute_process(COMMAND ${gpg} --armor --detach-sign --output "${release}.gpg"
        "${release}" RESULT_VARIABLE rc2 ERROR_QUIET)
    if(NOT rc1 EQUAL 0 OR NOT rc2 EQUAL 0)
        _apt_fail("gpg could not sign ${release}")
    endif()
    file(REMOVE_RECURSE "${CONVERTER_APT_DIR}")
    file(RENAME "${stage}" "${CONVERTER_APT_DIR}")
    list(LENGTH debs count)
    message(STATUS "${CONVERTER_APT_DIR}: the apt repository, ${count} .debs for ${architectures}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")
    set(top "${CONVERTER_TOP}")
    converter_packages_dir(packages)
    # On its own, a failure leaves the built .debs where they are.
    function(release_fail)
        string(CONCAT why ${ARGN})
        message(NOTICE "apt repository: ${why}")
        message(FATAL_ERROR "No repository was written; ${CONVERTER_APT_DIR} is as it was.")
    endfunction()
    if("$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
        release_fail("a repository is signed: set CONVERTER_OPENPGP_KEY")
    endif()
    signing_check()
    apt_repository_check()
    # The time the .debs were built with, as the build finds it.
    set(PROJECT_SOURCE_DIR "${top}")
    include("${CMAKE_CURRENT_LIST_DIR}/source-date-epoch.cmake")
    apt_repository("${CONVERTER_SOURCE_DATE_EPOCH}")
endif()
