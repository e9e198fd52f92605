# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The whole release set in build/packages, and its SHA256SUMS, from the top of
# the source tree:
#
#	cmake -P cmake/release.cmake
#
# The Windows zip and installer, then for every architecture its .deb and
# its static tarball, each from its own workflow preset; a bill of materials
# beside each (cmake/sbom.cmake); and, where keys or published signatures are
# given, the signatures (cmake/signing.cmake); with an OpenPGP key, the apt
# repository in build/apt (cmake/apt-repository.cmake). The machine needs
# what .ci/cross-setup gives it for every architecture, and MinGW-w64,
# strip-nondeterminism, wixl, msitools and faketime; signing needs gpg or
# osslsigncode 2.5, and the repository apt-utils.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH top)
set(packages "${top}/build/packages")
set(logs "${top}/build/release-logs")

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

signing_check()
apt_repository_check()
# The sums cover this run's files and nothing older; a keyed release makes
# its repository anew at the end, and a release without a key has none.
file(REMOVE_RECURSE "${packages}" "${logs}")
if("$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
    file(REMOVE_RECURSE "${top}/build/apt")
endif()
file(MAKE_DIRECTORY "${logs}")

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

# Windows first: its program is signed before the zip and the installer take
# it in, and the installer is signed as a whole afterwards.
unset(ENV{DEB_HOST_ARCH})
set(windows "${top}/build/windows-x86")
run(windows-x86 "${CMAKE_COMMAND}" --preset windows-x86)
run(windows-x86-build "${CMAKE_COMMAND}" --build --preset windows-x86)
file(STRINGS "${windows}/CMakeCache.txt" version REGEX "^CMAKE_PROJECT_VERSION:")
string(REGEX REPLACE "^[^=]*=" "" version "${version}")
# The time the builds settled on, which the signatures carry too.
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
sbom("${msi}" "${windows}/converter.map" "${version}" windows-x86)

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

file(GLOB files RELATIVE "${packages}" "${packages}/*")
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
    file(SHA256 "${packages}/${file}" sum)
    string(APPEND sums "${sum}  ${file}\n")
endforeach()
file(WRITE "${packages}/SHA256SUMS" "${sums}")
openpgp_sign("${packages}/SHA256SUMS" "${epoch}")
# A keyed release also writes its apt repository.
if(NOT "$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
    apt_repository("${epoch}")
endif()
message(STATUS "${packages}/SHA256SUMS:\n${sums}")
