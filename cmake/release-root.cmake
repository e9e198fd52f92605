# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# What runs in a root that cmake/release.cmake makes, from the source
# tarball unpacked there, with RELEASE_DEBIAN set to the root's Debian: in
# Debian 13's, the .debs that only Debian 13 serves and their record; in
# Debian 12's, the set, with what Debian 13's root built (at /debian-13),
# its record, its sums and their signature, and with an OpenPGP key the apt
# repository, all handed out through /io. For a rebuild, each root must
# first hold exactly the packages that its published record names, and the
# record must come out the same.
include("${CMAKE_CURRENT_LIST_DIR}/release-set.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/apt-repository.cmake")
set(io /io)
set(top "${CONVERTER_TOP}")
set(packages "${CONVERTER_PACKAGES_DIR}")
if(RELEASE_DEBIAN STREQUAL "13")
    converter_artefact(record-debian-13 "" record)
    set(architectures ${converter_debian_13_only})
elseif(RELEASE_DEBIAN STREQUAL "12")
    converter_artefact(record "" record)
    set(architectures ${converter_architectures})
    list(SORT architectures)
    list(PREPEND architectures source)
else()
    message(FATAL_ERROR "RELEASE_DEBIAN is 12 or 13, not '${RELEASE_DEBIAN}'")
endif()
converter_artefact(source "" source)
set(published "${io}/published.buildinfo")

# Two lists of packages as name[:architecture]=version, one per line, and
# what diff says of them; a rebuild must not build with another version.
if(EXISTS "${published}")
    buildinfo_read("${published}" recorded)
    buildinfo_installed(installed)
    list(JOIN recorded_packages "\n" recorded)
    list(JOIN installed "\n" installed)
    file(WRITE "${top}/build/recorded" "${recorded}\n")
    file(WRITE "${top}/build/installed" "${installed}\n")
    execute_process(COMMAND diff "${top}/build/recorded" "${top}/build/installed"
        OUTPUT_VARIABLE differ RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        string(REPLACE "\n" " " differ "${differ}")
        release_fail("The release root does not hold what the record names, and would "
            "build with other packages (< recorded, > installed): ${differ}")
    endif()
endif()
if(RELEASE_DEBIAN STREQUAL "13")
    release_set_debian_13("${top}" "${packages}" "${io}/logs" epoch)
else()
    release_set("${top}" "${packages}" "${io}/logs" epoch)
    file(COPY_FILE "${io}/${source}" "${packages}/${source}")
    file(GLOB debian_13 /debian-13/*)
    if(NOT debian_13)
        release_fail("Debian 13's root handed over nothing at /debian-13")
    endif()
    file(COPY ${debian_13} DESTINATION "${packages}")
endif()

# The record names only the sources whose suite the root still has: while
# a mirror is mid-sync, cmake/patient-apt may have left a suite out, and the
# record says what the root really installed from, by the archive's
# addresses (which a mirror's may have replaced).
file(STRINGS "${io}/sources" asked)
file(STRINGS /etc/apt/sources.list active REGEX "^deb ")
set(suites "")
foreach(line IN LISTS active)
    release_apt_source("${line}" suite)
    list(APPEND suites "${suite}")
endforeach()
set(sources "")
foreach(line IN LISTS asked)
    release_apt_source("${line}" suite)
    if(suite IN_LIST suites)
        list(APPEND sources "${line}")
    endif()
endforeach()
# Written beside the set, which it sums, then put in.
buildinfo_write("${top}/build/record" "${packages}" "${architectures}" "${CONVERTER_VERSION}" "${epoch}"
    "${sources}" "${top}" "${RELEASE_ROOT_ENVIRONMENT};SOURCE_DATE_EPOCH=${epoch}")
file(RENAME "${top}/build/record" "${packages}/${record}")
if(EXISTS "${published}")
    execute_process(COMMAND diff "${published}" "${packages}/${record}"
        OUTPUT_VARIABLE differ RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        release_fail("The rebuild's record differs from the one published "
            "(< published, > rebuilt):\n${differ}")
    endif()
endif()
if(RELEASE_DEBIAN STREQUAL "13")
    file(COPY "${packages}" DESTINATION "${io}")
    return()
endif()
sha256sums_write("${packages}")
openpgp_sign("${packages}/SHA256SUMS" "${epoch}")
published_sums_check("${packages}/SHA256SUMS")
if(NOT "$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
    apt_repository("${packages}" "${epoch}")
    file(COPY "${CONVERTER_APT_DIR}/" DESTINATION "${io}/apt")
endif()
file(COPY "${packages}" DESTINATION "${io}")
