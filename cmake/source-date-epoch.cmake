# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The one time that goes into the artefacts (the man page's date, the Debian
# changelog's, every archive member's), so that the same source gives the same
# bytes whenever it is built: SOURCE_DATE_EPOCH where the builder sets it,
# else the time of the last commit, from git, or in a tree that git archive
# made, from the line below, which it fills in. A fixed day is left only for
# a tree that has neither.
# Setting it in the environment makes string(TIMESTAMP) use it too.
set(archived_commit_time "$Format:%ct$")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(CONVERTER_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    if(archived_commit_time MATCHES "^[0-9]+$")
        set(CONVERTER_SOURCE_DATE_EPOCH "${archived_commit_time}")
    else()
        # 2026-12-08, the day of the first release.
        set(CONVERTER_SOURCE_DATE_EPOCH 1796688000)
    endif()
    # Only this project's own history counts, not that of a repository that
    # happens to hold an unpacked source tarball.
    find_package(Git QUIET)
    if(GIT_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
        execute_process(
            COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
            WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
            OUTPUT_VARIABLE commit_time
            OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET)
        if(commit_time MATCHES "^[0-9]+$")
            set(CONVERTER_SOURCE_DATE_EPOCH "${commit_time}")
        endif()
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${CONVERTER_SOURCE_DATE_EPOCH}")
endif()
if(NOT CONVERTER_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR
        "SOURCE_DATE_EPOCH must be whole seconds, not '${CONVERTER_SOURCE_DATE_EPOCH}'")
endif()
