# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# What runs in the root that cmake/release.cmake makes, from the source
# tarball unpacked there: the set, its record, its sums and their
# signature, and with an OpenPGP key the apt repository, all handed out
# through /io. For a rebuild, the root must first hold exactly the packages
# that the published record names, and the record must come out the same.
include("${CMAKE_CURRENT_LIST_DIR}/release-set.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/apt-repository.cmake")
set(io /io)
set(top "${CONVERTER_TOP}")
converter_packages_dir(packages)
converter_artefact(record "" record)
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
signing_check()
signing_tools_check()
file(REMOVE_RECURSE "${packages}")
release_set("${top}" "${packages}" "${io}/logs" epoch)
file(COPY_FILE "${io}/${source}" "${packages}/${source}")

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
buildinfo_write("${top}/build/record" "${packages}" "${CONVERTER_VERSION}" "${epoch}"
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
sha256sums_write("${packages}")
openpgp_sign("${packages}/SHA256SUMS" "${epoch}")
published_sums_check("${packages}/SHA256SUMS")
if(NOT "$ENV{CONVERTER_OPENPGP_KEY}" STREQUAL "")
    apt_repository("${packages}" "${epoch}")
    file(COPY "${CONVERTER_APT_DIR}/" DESTINATION "${io}/apt")
endif()
file(COPY "${packages}" DESTINATION "${io}")
