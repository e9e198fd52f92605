# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# A 32-bit Windows console program, from Debian's g++-mingw-w64-i686.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# SSE2 doubles round like the x86-64 Linux build, so both print the same
# digits; x87's wider registers would not. MinGW's own stdio gives C99 output
# ("1e+06", "inf") where msvcrt's would print "1e+006" and "1.#INF".
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -D__USE_MINGW_ANSI_STDIO=1")
# No libgcc, libstdc++ or winpthread DLLs beside the .exe, and no link time
# in its header, so that every build of one source gives the same bytes.
# Stripped as it is linked: the packages carry the very program that the
# Wine check ran, since strip would stamp a time into its header.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s -Wl,--no-insert-timestamp")
