# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The whole release set in build/packages, and its SHA256SUMS, from the top of
# the source tree:
#
#	cmake -P cmake/release.cmake
#
# For every architecture its .deb and its static tarball, then the Windows
# zip and installer, each from its own workflow preset. The machine needs
# what .ci/cross-setup gives it for every architecture, and MinGW-w64, zip,
# wixl, msitools and faketime.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH top)
set(packages "${top}/build/packages")
set(logs "${top}/build/release-logs")

# The sums cover this run's files and nothing older.
file(REMOVE_RECURSE "${packages}" "${logs}")
file(MAKE_DIRECTORY "${logs}")

function(run_workflow workflow arch)
    if(arch)
        set(ENV{DEB_HOST_ARCH} "${arch}")
        set(log "${logs}/${workflow}-${arch}.log")
    else()
        unset(ENV{DEB_HOST_ARCH})
        set(log "${logs}/${workflow}.log")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" --workflow --preset ${workflow}
        WORKING_DIRECTORY "${top}"
        OUTPUT_FILE "${log}" ERROR_FILE "${log}"
        RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        file(READ "${log}" out)
        message(FATAL_ERROR "${workflow} ${arch} failed:\n${out}")
    endif()
    message(STATUS "${workflow} ${arch}: done")
endfunction()

foreach(arch IN LISTS converter_architectures)
    if(NOT arch IN_LIST converter_tarball_only)
        run_workflow(package-deb ${arch})
    endif()
    run_workflow(package-tarball ${arch})
endforeach()
run_workflow(package-windows "")
run_workflow(package-msi "")

file(GLOB files RELATIVE "${packages}" "${packages}/*")
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
    file(SHA256 "${packages}/${file}" sum)
    string(APPEND sums "${sum}  ${file}\n")
endforeach()
file(WRITE "${packages}/SHA256SUMS" "${sums}")
message(STATUS "${packages}/SHA256SUMS:\n${sums}")
