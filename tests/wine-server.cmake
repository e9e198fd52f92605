# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# Sets up the Wine prefix once and keeps one wineserver up for the whole
# Windows check, so that each run of the program costs a fraction of a second
# instead of a prefix or a server start, and Wine's one-time chatter lands in
# a log, not in a test. Wine's server and services live on in the background,
# so they are given files, not our pipes, which would otherwise never close.
set(log "$ENV{WINEPREFIX}.log")
if(ACTION STREQUAL "start")
    # The check's own tests are discovered from the test program, so without
    # it there would be nothing to fail: only this fixture.
    foreach(program IN LISTS PROGRAMS)
        if(NOT EXISTS "${program}")
            message(FATAL_ERROR "${program} is not built: build the "
                "windows-x86 and wine presets before the Wine check")
        endif()
    endforeach()
    file(MAKE_DIRECTORY "$ENV{WINEPREFIX}")
    # wineboot returns while the prefix is still being written, so the
    # server is made persistent only once every process of it has ended.
    # Then wineboot starts Wine's services again, now holding the log: the
    # first test would otherwise lend them its pipes, which would then never
    # reach end of file.
    # Each step runs only where every one before it succeeded.
    set(rc 0)
    macro(step)
        if(rc EQUAL 0)
            execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
        endif()
    endmacro()
    step("${WINE}" wineboot --init OUTPUT_FILE "${log}" ERROR_FILE "${log}")
    step("${WINESERVER}" -w)
    # Up while tests keep coming, and gone a minute after the last, even when
    # nothing stops it.
    step("${WINESERVER}" -p60 OUTPUT_FILE "${log}.server" ERROR_FILE "${log}.server")
    step("${WINE}" wineboot OUTPUT_FILE "${log}.services" ERROR_FILE "${log}.services")
    if(NOT rc EQUAL 0)
        file(READ "${log}" out)
        message(FATAL_ERROR "Wine did not start (${rc}):\n${out}")
    endif()
elseif(ACTION STREQUAL "stop")
    execute_process(COMMAND "${WINESERVER}" -k)
    execute_process(COMMAND "${WINESERVER}" -w)
else()
    message(FATAL_ERROR "ACTION must be start or stop")
endif()
