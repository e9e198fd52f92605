# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The one time that goes into the artefacts (the man page's date, every
# archive member's, the signatures'), so that the same source gives the same
# bytes whenever and wherever it is built: SOURCE_DATE_EPOCH where the
# builder sets it, else the date of the version's entry in debian/changelog,
# which is what dpkg-buildpackage takes for the .debs. A tree with or
# without git, from the source tarball or a clone, gives the same time.
# Setting it in the environment makes string(TIMESTAMP) use it too.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(CONVERTER_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    file(STRINGS "${PROJECT_SOURCE_DIR}/debian/changelog" trailer REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^ -- .*>  " "" date "${trailer}")
    execute_process(COMMAND date -u -d "${date}" +%s
        OUTPUT_VARIABLE CONVERTER_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(ENV{SOURCE_DATE_EPOCH} "${CONVERTER_SOURCE_DATE_EPOCH}")
endif()
if(NOT CONVERTER_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be whole seconds, not "
        "'${CONVERTER_SOURCE_DATE_EPOCH}' (from SOURCE_DATE_EPOCH or debian/changelog)")
endif()
