# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# groff exits 0 even when it warns, so any output at all is the failure.
execute_process(
    COMMAND "${GROFF}" -man -ww -z "${PAGE}"
    OUTPUT_VARIABLE out
    ERROR_VARIABLE out
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "groff (status ${rc}) on ${PAGE}:\n${out}")
endif()
