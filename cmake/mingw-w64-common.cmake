# Shared by the MinGW-w64 toolchain files, which set mingw_triplet first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# SSE2 doubles round like the x86-64 Linux build, so both print the same
# digits; x87's wider registers would not. MinGW's own stdio gives C99 output
# ("1e+06", "inf") where msvcrt's would print "1e+006" and "1.#INF".
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -D__USE_MINGW_ANSI_STDIO=1")
# No libgcc, libstdc++ or winpthread DLLs beside the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
