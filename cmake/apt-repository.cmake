# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The apt repository of a keyed release, in build/apt: one suite, stable, and
# one component, main, ready to copy as it is to any static web host. With
# CONVERTER_APT_REPOSITORY naming the published repository of the release
# before, its .debs stay in the pool beside this release's, so that apt
# upgrade finds the new version.
#
# cmake/release.cmake includes this file to check a repository to add to
# before anything is built, and cmake/release-root.cmake writes the
# repository after the release set. Run on its own, from the top of the
# source tree,
#
#	CONVERTER_OPENPGP_KEY=<fingerprint> cmake -P cmake/apt-repository.cmake
#
# it writes the repository of whatever .debs build/packages holds.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/facts.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/signing.cmake")
# The work, and the new repository in it (repo), beside build/apt: it
# replaces build/apt only when whole, so that a failure changes nothing, and
# the earlier repository may be build/apt itself.
set(_apt_stage "${CONVERTER_APT_DIR}-stage")

# A failure leaves no trace of the repository that was being made or
# checked; within a release, the release stops as every release does.
function(apt_repository_fail)
    file(REMOVE_RECURSE "${_apt_stage}")
    if(COMMAND release_fail)
        release_fail(${ARGN})
    endif()
    string(CONCAT why ${ARGN})
    message(NOTICE "apt repository: ${why}")
    message(FATAL_ERROR "No repository was written; ${CONVERTER_APT_DIR} is as it was.")
endfunction()

# An empty stage, holding the release key's public half, which signs the
# repository and is published in it.
function(_apt_new_stage key_out)
    if(CONVERTER_OPENPGP_KEY STREQUAL "")
        apt_repository_fail("an apt repository is signed, and needs CONVERTER_OPENPGP_KEY")
    endif()
    file(REMOVE_RECURSE "${_apt_stage}")
    file(MAKE_DIRECTORY "${_apt_stage}/repo/${CONVERTER_APT_POOL}")
    converter_artefact(release-key "" key)
    openpgp_export_key("${_apt_stage}/repo/${key}" apt_repository_fail)
    set(${key_out} "${_apt_stage}/repo/${key}" PARENT_SCOPE)
endfunction()

# CONVERTER_APT_REPOSITORY, checked from its InRelease down to each file: a
# pool is only ever signed again with the publisher's key if every .deb in
# it is the one that key signed for. With a <pool>, its .debs are copied
# there, beside this release's, which must be the same bytes as any published.
function(_apt_published keyring pool)
    set(dir "${CONVERTER_APT_REPOSITORY}")
    set(in_release "${dir}/dists/stable/InRelease")
    if(NOT EXISTS "${in_release}")
        apt_repository_fail("CONVERTER_APT_REPOSITORY ${dir} is not an apt repository: "
            "it has no dists/stable/InRelease")
    endif()
    execute_process(COMMAND gpgv --keyring "${keyring}" --output - "${in_release}"
        OUTPUT_VARIABLE release ERROR_QUIET RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        apt_repository_fail("CONVERTER_APT_REPOSITORY ${dir} is not signed by "
            "CONVERTER_OPENPGP_KEY ${CONVERTER_OPENPGP_KEY}")
    endif()
    string(REGEX MATCH "\nSHA256:\n( [^\n]*\n)*" release "${release}")
    string(REGEX MATCHALL "[0-9a-f]+ +[0-9]+ main/binary-[a-z0-9]+/Packages\n" indices "${release}")
    set(listed "")
    foreach(line IN LISTS indices)
        string(REGEX MATCH "^([0-9a-f]+) +[0-9]+ (.*)\n$" line "${line}")
        set(index "${dir}/dists/stable/${CMAKE_MATCH_2}")
        _apt_matches("${index}" "${CMAKE_MATCH_1}")
        file(STRINGS "${index}" files REGEX "^Filename: ")
        file(STRINGS "${index}" sums REGEX "^SHA256: ")
        foreach(file sum IN ZIP_LISTS files sums)
            # Only names in converter's pool, never a path out of it.
            if(NOT "${file}|${sum}" MATCHES "^Filename: (${CONVERTER_APT_POOL}/([^/]+\\.deb))\\|SHA256: ([0-9a-f]+)$")
                apt_repository_fail("CONVERTER_APT_REPOSITORY ${dir}: ${index} lists "
                    "'${file}' (${sum}), not a .deb of converter's pool with its SHA256")
            endif()
            set(name "${CMAKE_MATCH_2}")
            _apt_matches("${dir}/${CMAKE_MATCH_1}" "${CMAKE_MATCH_3}")
            set(listed TRUE)
            # This release's .debs are in <pool> already.
            if(pool AND EXISTS "${pool}/${name}")
                file(SHA256 "${pool}/${name}" built)
                if(NOT built STREQUAL CMAKE_MATCH_3)
                    apt_repository_fail("CONVERTER_APT_REPOSITORY ${dir} already holds ${name}, "
                        "with other bytes than this build's")
                endif()
            elseif(pool)
                file(COPY_FILE "${dir}/${CMAKE_MATCH_1}" "${pool}/${name}")
            endif()
        endforeach()
    endforeach()
    if(NOT listed)
        apt_repository_fail("CONVERTER_APT_REPOSITORY ${dir} lists no package")
    endif()
endfunction()

function(_apt_matches file sha256)
    if(EXISTS "${file}")
        file(SHA256 "${file}" actual)
    endif()
    if(NOT "${actual}" STREQUAL sha256)
        apt_repository_fail("CONVERTER_APT_REPOSITORY ${CONVERTER_APT_REPOSITORY}: "
            "${file} is missing or is not the file its signed index names")
    endif()
endfunction()

# Before anything is built: a repository to add to needs the key to sign
# the result, and must be one that this key signed.
function(apt_repository_check)
    if(NOT CONVERTER_APT_REPOSITORY STREQUAL "")
        _apt_new_stage(key)
        _apt_published("${key}" "")
        file(REMOVE_RECURSE "${_apt_stage}")
    endif()
endfunction()

# The repository of the .debs in <packages> and those published before,
# dated <epoch>: apt-ftparchive dates its Release with the time it runs, and
# reads no SOURCE_DATE_EPOCH, so the date is given, and the signatures are
# made at it.
function(apt_repository packages epoch)
    set(repo "${_apt_stage}/repo")
    set(pool "${repo}/${CONVERTER_APT_POOL}")
    _apt_new_stage(key)
    file(GLOB built LIST_DIRECTORIES false "${packages}/*.deb")
    if(NOT built)
        apt_repository_fail("${packages} holds no .deb for the repository")
    endif()
    file(COPY ${built} DESTINATION "${pool}")
    if(NOT CONVERTER_APT_REPOSITORY STREQUAL "")
        _apt_published("${key}" "${pool}")
    endif()

    # apt-ftparchive's one configuration for the indices and the Release.
    # It lists the .debs in the order of a list of them, given in an order of
    # their names, where walking the pool would take the file system's.
    file(GLOB debs RELATIVE "${repo}" "${pool}/*.deb")
    list(SORT debs COMPARE NATURAL)
    list(JOIN debs "\n" list)
    file(WRITE "${_apt_stage}/debs" "${list}\n")
    set(architectures ${converter_architectures})
    list(TRANSFORM architectures PREPEND "${repo}/dists/stable/main/binary-" OUTPUT_VARIABLE indices)
    file(MAKE_DIRECTORY ${indices})
    list(JOIN architectures " " architectures)
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    # Its cache of what it read of each .deb is the stage's, and goes with it.
    file(WRITE "${_apt_stage}/apt-ftparchive.conf" "Dir { ArchiveDir \"${repo}\"; CacheDir \"${_apt_stage}\"; };
Default::Packages::Compress \". gzip xz\";
Tree \"dists/stable\" { Sections \"main\"; Architectures \"${architectures}\"; FileList \"${_apt_stage}/debs\"; };
APT::FTPArchive::Release { Origin \"converter\"; Label \"converter\"; Suite \"stable\"; Codename \"stable\";
    Architectures \"${architectures}\"; Components \"main\"; Date \"${date}\"; };
")
    set(ftparchive apt-ftparchive -q=2 -c "${_apt_stage}/apt-ftparchive.conf")
    # generate ends with 0 whatever it could not read or write.
    execute_process(COMMAND ${ftparchive} --no-contents generate "${_apt_stage}/apt-ftparchive.conf"
        ERROR_VARIABLE errors RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT errors STREQUAL "")
        apt_repository_fail("apt-ftparchive could not write the indices (is apt-utils installed?): "
            "${rc} ${errors}")
    endif()
    set(release "${repo}/dists/stable/Release")
    set(why "apt-ftparchive or gpg could not write ${release}")
    execute_process(COMMAND ${ftparchive} release dists/stable WORKING_DIRECTORY "${repo}"
        OUTPUT_FILE "${_apt_stage}/Release" ERROR_VARIABLE errors RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        apt_repository_fail("${why}: ${errors}")
    endif()
    file(RENAME "${_apt_stage}/Release" "${release}")
    set(gpg apt_repository_fail "${why}"
        gpg --batch --no-tty --yes --faked-system-time "${epoch}!" --local-user "${CONVERTER_OPENPGP_KEY}")
    signing_run(${gpg} --clearsign --output "${repo}/dists/stable/InRelease" "${release}")
    signing_run(${gpg} --armor --detach-sign --output "${release}.gpg" "${release}")
    file(REMOVE_RECURSE "${CONVERTER_APT_DIR}")
    file(RENAME "${repo}" "${CONVERTER_APT_DIR}")
    file(REMOVE_RECURSE "${_apt_stage}")
    list(LENGTH debs count)
    message(STATUS "${CONVERTER_APT_DIR}: the apt repository, ${count} .debs for ${architectures}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")
    # The time the .debs were built with, as the build finds it.
    set(PROJECT_SOURCE_DIR "${CONVERTER_TOP}")
    include("${CMAKE_CURRENT_LIST_DIR}/source-date-epoch.cmake")
    apt_repository("${CONVERTER_PACKAGES_DIR}" "${CONVERTER_SOURCE_DATE_EPOCH}")
endif()
