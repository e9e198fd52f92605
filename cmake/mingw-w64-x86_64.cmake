# A 64-bit Windows console program, from Debian's g++-mingw-w64-x86-64: the
# same sources under Wine where the machine cannot run 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(mingw_triplet x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
