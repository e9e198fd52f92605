# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Runs inside cpack, once for each generator, before anything is installed.

# The time the configure step settled on, not the time cpack happens to run.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_CONVERTER_SOURCE_DATE_EPOCH}")

# The .deb carries Debian's copyright and changelog; every other package
# carries the licence as it is.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(papers converter_Debian)
else()
    set(papers converter_Licence)
endif()
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CPACK_CONVERTER_BINARY_DIR};converter;converter_Runtime;/"
    "${CPACK_CONVERTER_BINARY_DIR};converter;${papers};/")
