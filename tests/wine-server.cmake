# Keeps one wineserver up for the whole Windows check, so that each run of the
# program costs milliseconds instead of a server start; and sets up the Wine
# prefix first, so that its one-time chatter lands here and not in a test.
# Wine's server and services live on in the background, so they are given
# files, not our pipes, which would otherwise never close.
set(log "$ENV{WINEPREFIX}.log")
if(ACTION STREQUAL "start")
    file(MAKE_DIRECTORY "$ENV{WINEPREFIX}")
    execute_process(COMMAND "${WINESERVER}" -p
        OUTPUT_FILE "${log}" ERROR_FILE "${log}" RESULT_VARIABLE rc)
    if(rc EQUAL 0)
        execute_process(COMMAND "${WINE}" wineboot --init
            OUTPUT_FILE "${log}" ERROR_FILE "${log}" RESULT_VARIABLE rc)
    endif()
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
