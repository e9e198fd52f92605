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

# Sets <epoch_var> to the time the builds settled on, which the signatures
# and the record carry too.
function(release_set epoch_var)
    # Windows first: its program is signed before the zip and the installer
    # take it in, and the installer is signed as a whole afterwards.
    unset(ENV{DEB_HOST_ARCH})
    set(windows "${top}/build/windows-x86")
    run(windows-x86 "${CMAKE_COMMAND}" --preset windows-x86)
    run(windows-x86-build "${CMAKE_COMMAND}" --build --preset windows-x86)
    file(STRINGS "${windows}/CMakeCache.txt" epoch REGEX "^CONVERTER_SOURCE_DATE_EPOCH:")
    string(REGEX REPLACE "^[^=]*=" "" epoch "${epoch}")
    file(MAKE_DIRECTORY "${packages}")
    authenticode("${windows}/converter.exe"
        "converter-${version}-win32.exe.authenticode.pem" "${packages}" "${epoch}")
    run_workflow(package-windows "")
    run_workflow(package-msi "")
    set(msi "${packages}/converter-${version}-win32.msi")
    authenticode("${msi}" "converter-${version}-win32.msi.authenticode.pem"
        "${packages}" "${epoch}")
    sbom("${packages}/converter-${version}-win32.zip" "${windows}/converter.map"
        "${version}" windows-x86)
    sbom("${msi}" "${windows}/converter.map" "${version}" windows-x86
        "${windows}/converter.exe")

    foreach(arch IN LISTS converter_architectures)
        if(NOT arch IN_LIST converter_tarball_only)
            run_workflow(package-deb ${arch})
            sbom("${packages}/converter_${version}_${arch}.deb"
                "${top}/build/${arch}/release/converter.map" "${version}" ${arch})
        endif()
        run_workflow(package-tarball ${arch})
        sbom("${packages}/converter-${version}-linux-${arch}.tar.gz"
            "${top}/build/${arch}/portable/converter.map" "${version}" ${arch})
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
