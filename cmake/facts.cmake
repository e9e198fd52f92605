# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The facts about converter for CMake: CMakeLists.txt and the release scripts
# include this file. Each has one home, which the shell scripts read too:
# debian/changelog, LICENSE or cmake/facts.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH CONVERTER_TOP)
# The version's one home is debian/changelog's first entry, which
# dpkg-buildpackage reads before anything runs: a new entry there is the
# whole of a version bump, and every file name, the man page, the Windows
# resource, the MSI and the release set follow it.
file(STRINGS "${CONVERTER_TOP}/debian/changelog" CONVERTER_VERSION LIMIT_COUNT 1)
string(REGEX REPLACE "^converter \\(([^)]+)\\) .*$" "\\1" CONVERTER_VERSION "${CONVERTER_VERSION}")
# The holder of the copyright as LICENSE states it, with its year; the
# holder alone is the vendor of every package.
file(STRINGS "${CONVERTER_TOP}/LICENSE" CONVERTER_COPYRIGHT
    REGEX "^Copyright \\(c\\) " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright \\(c\\) " "" CONVERTER_COPYRIGHT "${CONVERTER_COPYRIGHT}")
string(REGEX REPLACE "^[0-9, -]+ " "" CONVERTER_VENDOR "${CONVERTER_COPYRIGHT}")

# Each KEY=value line of cmake/facts as _converter_KEY, its @VERSION@ filled
# in; the functions below fill in @ARCH@ and @PRESET@ from their arguments.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/facts" _converter_lines REGEX "^[A-Za-z0-9_-]+=")
foreach(_converter_line IN LISTS _converter_lines)
    string(REGEX MATCH "^([^=]+)=(.*)$" _converter_line "${_converter_line}")
    string(REPLACE @VERSION@ "${CONVERTER_VERSION}" _converter_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
endforeach()
# Who makes it and how to reach them: the Maintainer of debian/control.
file(STRINGS "${CONVERTER_TOP}/debian/control" CONVERTER_CONTACT REGEX "^Maintainer: " LIMIT_COUNT 1)
string(REGEX REPLACE "^Maintainer: " "" CONVERTER_CONTACT "${CONVERTER_CONTACT}")
set(CONVERTER_APT_POOL "${_converter_APT_POOL}")
# Where the package presets leave every artefact, and a keyed release its
# apt repository.
set(CONVERTER_PACKAGES_DIR "${CONVERTER_TOP}/${_converter_PACKAGES_DIR}")
set(CONVERTER_APT_DIR "${CONVERTER_TOP}/${_converter_APT_DIR}")

# The file name of an artefact of the release set: <kind> is deb or tarball
# (for <ARCH>), zip, msi, exe-signature, msi-signature, source, record or
# release-key (the OpenPGP key's public half).
function(converter_artefact kind ARCH out)
    if(NOT DEFINED _converter_ARTEFACT_${kind})
        message(FATAL_ERROR "No artefact of the kind '${kind}'")
    endif()
    string(CONFIGURE "${_converter_ARTEFACT_${kind}}" name @ONLY)
    set(${out} "${name}" PARENT_SCOPE)
endfunction()

# The binary directory of the configure preset <PRESET>, for the Debian
# architecture <ARCH> (empty: this machine's, as DEB_HOST_ARCH unset).
function(converter_binary_dir PRESET ARCH out)
    set(dir "${_converter_BINARY_DIR}")
    if(PRESET MATCHES "^windows")
        set(dir "${_converter_WINDOWS_BINARY_DIR}")
    endif()
    # This machine's empty @ARCH@ leaves a doubled slash.
    string(CONFIGURE "${dir}" dir @ONLY)
    string(REPLACE "//" "/" dir "${CONVERTER_TOP}/${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
endfunction()

# The files that the facts come from are the build's inputs too: a new
# changelog entry reconfigures a build directory that exists already.
if(NOT CMAKE_SCRIPT_MODE_FILE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
        "${CONVERTER_TOP}/debian/changelog" "${CONVERTER_TOP}/debian/control"
        "${CONVERTER_TOP}/LICENSE" "${CMAKE_CURRENT_LIST_DIR}/facts")
endif()
