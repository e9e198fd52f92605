# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The portable tarball and the Windows zip; the package presets choose the
# generator and where the file lands. The .debs come from debian/, built by
# dpkg-buildpackage.
set(CPACK_PACKAGE_NAME converter)
set(CPACK_PACKAGE_VENDOR "${CONVERTER_VENDOR}")
set(CPACK_PACKAGE_CONTACT "${CONVERTER_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "converter converts one temperature between the Celsius and Fahrenheit\n\
scales, prints one line, and tells the outcome in its exit status.")
# Named as cmake/facts names the artefacts, by the Debian
# architecture that the program is for, not the one cpack runs on. The
# Windows program is linked stripped.
if(WIN32)
    converter_artefact(zip "" artefact)
else()
    converter_artefact(tarball "${CONVERTER_ARCH}" artefact)
    set(CPACK_STRIP_FILES ON)
endif()
string(REGEX REPLACE "\\.(zip|tar\\.gz)$" "" CPACK_PACKAGE_FILE_NAME "${artefact}")

# The Windows installer, which the package-msi build preset builds. It is
# not one of cpack's generators: its External one would leave a description
# of the files beside the installer.
if(WIN32)
    set(CONVERTER_PACKAGE_DIR "${CONVERTER_PACKAGES_DIR}" CACHE PATH
        "Where the package-msi build preset leaves the installer")
    converter_artefact(msi "" msi)
    set(msi "${CONVERTER_PACKAGE_DIR}/${msi}")
    set(stage "${PROJECT_BINARY_DIR}/msi-stage")
    add_custom_command(OUTPUT "${msi}"
        COMMAND "${CMAKE_COMMAND}" -E rm -rf "${stage}"
        COMMAND "${CMAKE_COMMAND}" --install "${PROJECT_BINARY_DIR}"
            --prefix "${stage}" --component converter_Runtime
        COMMAND "${CMAKE_COMMAND}" -E env
            "SOURCE_DATE_EPOCH=${CONVERTER_SOURCE_DATE_EPOCH}"
            "${CMAKE_COMMAND}" "-DSTAGE=${stage}" "-DMSI=${msi}"
            "-DVERSION=${PROJECT_VERSION}" "-DVENDOR=${CPACK_PACKAGE_VENDOR}"
            "-DSUMMARY=${PROJECT_DESCRIPTION}"
            # Written once and never changed: through it every later
            # version replaces every earlier one.
            -DUPGRADE_CODE=14417774-6A1E-4ACC-9BB8-7C26D0379BFB
            -P "${CMAKE_CURRENT_LIST_DIR}/msi.cmake"
        DEPENDS converter "${CONVERTER_NOTICES}" README.md LICENSE cmake/msi.cmake
            cmake/windows/converter.wxs.in
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        VERBATIM)
    add_custom_target(msi DEPENDS "${msi}")
endif()

# A reproducible repacking, once cpack has written the package, at the time
# the configure step settled on, not the time cpack happens to run.
set(CPACK_CONVERTER_SOURCE_DATE_EPOCH "${CONVERTER_SOURCE_DATE_EPOCH}")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/package-repack.cmake")

include(CPack)
