# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The release set from this tree, on this machine, into build/packages, for
# development:
#
#	cmake -P cmake/release-here.cmake
#
# It has no source tarball, no record and no signature of its own, and it
# refuses keys: it cannot be taken for a release. The machine needs what
# .ci/cross-setup gives it for every architecture, and what
# cmake/build-depends names for Windows and the packages.
include("${CMAKE_CURRENT_LIST_DIR}/release-set.cmake")
foreach(name IN ITEMS CONVERTER_OPENPGP_KEY CONVERTER_AUTHENTICODE_CERT
        CONVERTER_AUTHENTICODE_KEY CONVERTER_APT_REPOSITORY)
    if(NOT "$ENV{${name}}" STREQUAL "")
        release_fail("${name} is for a release, which is built in its root: "
            "cmake -P cmake/release.cmake")
    endif()
endforeach()
set(packages "${CONVERTER_PACKAGES_DIR}")
release_set("${CONVERTER_TOP}" "${packages}" "${CONVERTER_TOP}/build/release-logs" epoch)
sha256sums_write("${packages}")
file(READ "${packages}/SHA256SUMS" sums)
message(STATUS "${packages}/SHA256SUMS:\n${sums}")
