# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The release set's artefacts, built in this tree into build/packages, each
# from its own workflow preset: the Windows zip and installer, then for
# every architecture its .deb and its static tarball, with a bill of
# materials beside each (cmake/sbom.cmake); and, where keys or published
# signatures are given, the Authenticode signatures (cmake/signing.cmake).
# Included by cmake/release.cmake, which sets top, packages and logs.

function(run log)
    execute_process(COMMAND ${ARGN}
        WORKING_DIRECTORY "${top}"
        OUTPUT_FILE "${logs}/${log}.log" ERROR_FILE "${logs}/${log}.log"
        RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        file(READ "${logs}/${log}.log" out)
        release_fail("${log} failed:\n${out}")
    endif()
    message(STATUS "${log}: done")
endfunction()

function(run_workflow workflow arch)
    if(arch)
        set(ENV{DEB_HOST_ARCH} "${arch}")
        set(log "${workflow}-${arch}")
    else()
        unset(ENV{DEB_HOST_ARCH})
        set(log "${workflow}")
    endif()
    run("${log}" "${CMAKE_COMMAND}" --workflow --preset ${workflow})
endfunction()

# The .deb for <arch>, as Debian builds its own: dpkg-buildpackage, for
# another machine with the nocheck profile (the suite runs against the
# shipped programs instead), in a copy of the tree that keeps what it
# leaves (the build directory, its .changes and .buildinfo) beside it.
function(release_deb arch)
    set(work "${top}/build/debian/${arch}")
    file(REMOVE_RECURSE "${work}")
    file(GLOB entries LIST_DIRECTORIES true "${top}/*" "${top}/.[!.]*")
    list(FILTER entries EXCLUDE REGEX "/(build|\\.git)$")
    file(COPY ${entries} DESTINATION "${work}/converter")
    set(ENV{DEB_BUILD_OPTIONS} nocheck)
    run(deb-${arch} "${CMAKE_COMMAND}" -E chdir "${work}/converter"
        dpkg-buildpackage -a${arch} -Pnocheck -us -uc -b)
    execute_process(COMMAND dpkg-architecture -a${arch} -qDEB_HOST_GNU_TYPE
        OUTPUT_VARIABLE triplet OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
        COMMAND_ERROR_IS_FATAL ANY)
    converter_artefact(deb ${arch} deb)
    file(COPY_FILE "${work}/${deb}" "${packages}/${deb}")
    sbom("${packages}/${deb}" "${work}/converter/obj-${triplet}/converter.map" "${version}" ${arch})
endfunction()

# Sets <epoch_var> to the time the builds settled on, which the signatures
# and the record carry too.
function(release_set epoch_var)
    # Windows first: its program is signed before the zip and the installer
    # take it in, and the installer is signed as a whole afterwards.
    unset(ENV{DEB_HOST_ARCH})
    converter_binary_dir(windows-x86 "" windows)
    # The time that every build then settles on too.
    set(PROJECT_SOURCE_DIR "${top}")
    include("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/source-date-epoch.cmake")
    set(epoch "${CONVERTER_SOURCE_DATE_EPOCH}")
    run(windows-x86 "${CMAKE_COMMAND}" --preset windows-x86)
    run(windows-x86-build "${CMAKE_COMMAND}" --build --preset windows-x86)
    file(MAKE_DIRECTORY "${packages}")
    foreach(kind IN ITEMS zip msi exe-signature msi-signature)
        converter_artefact(${kind} "" ${kind})
    endforeach()
    authenticode("${windows}/converter.exe" "${exe-signature}" "${packages}" "${epoch}")
    run_workflow(package-windows "")
    run_workflow(package-msi "")
    authenticode("${packages}/${msi}" "${msi-signature}" "${packages}" "${epoch}")
    sbom("${packages}/${zip}" "${windows}/converter.map" "${version}" windows-x86)
    sbom("${packages}/${msi}" "${windows}/converter.map" "${version}" windows-x86)

    foreach(arch IN LISTS converter_architectures)
        if(NOT arch IN_LIST converter_tarball_only)
            release_deb(${arch})
        endif()
        run_workflow(package-tarball ${arch})
        converter_artefact(tarball ${arch} tarball)
        converter_binary_dir(portable ${arch} portable)
        sbom("${packages}/${tarball}" "${portable}/converter.map" "${version}" ${arch})
    endforeach()
    set(${epoch_var} "${epoch}" PARENT_SCOPE)
endfunction()

# SHA256SUMS of every file in build/packages.
function(release_sums)
    file(GLOB files RELATIVE "${packages}" "${packages}/*")
    list(SORT files)
    set(sums "")
    foreach(file IN LISTS files)
        file(SHA256 "${packages}/${file}" sum)
        string(APPEND sums "${sum}  ${file}\n")
    endforeach()
    file(WRITE "${packages}/SHA256SUMS" "${sums}")
endfunction()
