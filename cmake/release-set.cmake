# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The release set's build, which the three ways to run a release share:
# cmake/release.cmake (a root of its own, the way a release is published),
# cmake/release-root.cmake (what runs in that root) and
# cmake/release-here.cmake (this tree on this machine, for development).
# Each passes what it works on; nothing here reads the includer's variables.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/facts.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/signing.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/sbom.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/buildinfo.cmake")

# A release that stops says why in one line, which cmake/release.cmake also
# finds in the root's log, and leaves no half-made, half-signed set behind.
# (FATAL_ERROR would fold the line.)
function(release_fail)
    file(REMOVE_RECURSE "${CONVERTER_PACKAGES_DIR}")
    string(CONCAT why ${ARGN})
    message(NOTICE "release: ${why}")
    message(FATAL_ERROR "The release stopped, and left nothing in ${CONVERTER_PACKAGES_DIR}.")
endfunction()

# The environment that the build in the release root is given, and that the
# record states. The builder's time zone and locale reach it too, and must
# not matter.
set(RELEASE_ROOT_ENVIRONMENT HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin)

# The suite of an apt source line ("deb URL SUITE COMPONENT...") into <out>,
# with its URL and components into <out>_url and <out>_components.
function(release_apt_source line out)
    if(NOT line MATCHES "^deb ([^ ]+) ([^ ]+) (.+)$")
        release_fail("cannot read the apt source '${line}'")
    endif()
    set(${out} "${CMAKE_MATCH_2}" PARENT_SCOPE)
    set(${out}_url "${CMAKE_MATCH_1}" PARENT_SCOPE)
    set(${out}_components "${CMAKE_MATCH_3}" PARENT_SCOPE)
endfunction()

# Builds the set from the tree <top> into <packages>, afresh, with each
# step's log in <logs>, and sets <epoch_var> to the time that every artefact
# carries: the Windows zip and installer, then for every architecture its
# .deb and its static tarball, with a bill of materials beside each, and the
# Authenticode signatures that keys or published signatures allow, which are
# checked first.
function(release_set top packages logs epoch_var)
    signing_check()
    signing_tools_check()
    file(REMOVE_RECURSE "${packages}")
    file(MAKE_DIRECTORY "${packages}" "${logs}")
    set(PROJECT_SOURCE_DIR "${top}")
    include("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/source-date-epoch.cmake")
    set(epoch "${CONVERTER_SOURCE_DATE_EPOCH}")
    # Windows first: its program is signed before the zip and the installer
    # take it in, and the installer is signed as a whole afterwards.
    unset(ENV{DEB_HOST_ARCH})
    converter_binary_dir(windows-x86 "" windows)
    foreach(kind IN ITEMS zip msi exe-signature msi-signature)
        converter_artefact(${kind} "" ${kind})
    endforeach()
    _release_step(windows-x86 "${CMAKE_COMMAND}" --preset windows-x86)
    _release_step(windows-x86-build "${CMAKE_COMMAND}" --build --preset windows-x86)
    authenticode("${windows}/converter.exe" "${exe-signature}" "${packages}" "${epoch}")
    _release_step(package-windows "${CMAKE_COMMAND}" --workflow --preset package-windows)
    _release_step(package-msi "${CMAKE_COMMAND}" --workflow --preset package-msi)
    authenticode("${packages}/${msi}" "${msi-signature}" "${packages}" "${epoch}")
    sbom("${packages}/${zip}" "${windows}/converter.map" windows-x86)
    sbom("${packages}/${msi}" "${windows}/converter.map" windows-x86)

    foreach(arch IN LISTS converter_architectures)
        if(NOT arch IN_LIST converter_debian_13_only)
            _release_deb(${arch})
        endif()
        set(ENV{DEB_HOST_ARCH} "${arch}")
        _release_step(package-tarball-${arch} "${CMAKE_COMMAND}" --workflow --preset package-tarball)
        converter_artefact(tarball ${arch} tarball)
        converter_binary_dir(portable ${arch} portable)
        sbom("${packages}/${tarball}" "${portable}/converter.map" ${arch})
    endforeach()
    unset(ENV{DEB_HOST_ARCH})
    set(${epoch_var} "${epoch}" PARENT_SCOPE)
endfunction()

# The part of the set that a Debian 13 root builds, afresh, as release_set
# builds the rest: the .debs of the architectures that Debian 12 has no
# archive for, each with its bill of materials.
function(release_set_debian_13 top packages logs epoch_var)
    file(REMOVE_RECURSE "${packages}")
    file(MAKE_DIRECTORY "${packages}" "${logs}")
    set(PROJECT_SOURCE_DIR "${top}")
    include("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/source-date-epoch.cmake")
    foreach(arch IN LISTS converter_debian_13_only)
        _release_deb(${arch})
    endforeach()
    set(${epoch_var} "${CONVERTER_SOURCE_DATE_EPOCH}" PARENT_SCOPE)
endfunction()

# One step of release_set, run in its <top> with its log in <logs>.
function(_release_step log)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${top}"
        OUTPUT_FILE "${logs}/${log}.log" ERROR_FILE "${logs}/${log}.log" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        file(READ "${logs}/${log}.log" out)
        release_fail("${log} failed:\n${out}")
    endif()
    message(STATUS "${log}: done")
endfunction()

# The .deb for <arch>, as Debian builds its own: dpkg-buildpackage, for
# another machine with the nocheck profile (the suite runs against the
# shipped programs instead), in a copy of release_set's tree that keeps what
# it leaves (the build directory, a .changes and a .buildinfo) beside it.
function(_release_deb arch)
    set(work "${top}/build/debian/${arch}")
    file(REMOVE_RECURSE "${work}")
    file(GLOB entries LIST_DIRECTORIES true "${top}/*" "${top}/.[!.]*")
    list(FILTER entries EXCLUDE REGEX "/(build|\\.git)$")
    file(COPY ${entries} DESTINATION "${work}/converter")
    _release_step(deb-${arch} "${CMAKE_COMMAND}" -E chdir "${work}/converter"
        dpkg-buildpackage -a${arch} -Pnocheck -us -uc -b)
    execute_process(COMMAND dpkg-architecture -a${arch} -qDEB_HOST_GNU_TYPE
        OUTPUT_VARIABLE triplet OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
        COMMAND_ERROR_IS_FATAL ANY)
    converter_artefact(deb ${arch} deb)
    file(COPY_FILE "${work}/${deb}" "${packages}/${deb}")
    sbom("${packages}/${deb}" "${work}/converter/obj-${triplet}/converter.map" ${arch})
endfunction()
