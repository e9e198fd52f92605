# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# cpack -G DEB and cpack -G TGZ, run from the build directory.
set(CPACK_PACKAGE_NAME converter)
set(CPACK_PACKAGE_VENDOR "The converter developers")
set(CPACK_PACKAGE_CONTACT "converter maintainers <maintainers@converter.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "converter converts one temperature between the Celsius and Fahrenheit\n\
scales, prints one line, and tells the outcome in its exit status.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY converter)
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\\\.git/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Debian policy wants man pages gzipped; the plain install keeps them as is.
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/gzip-man-pages.cmake")

include(CPack)
