# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The Linux build for the Debian architecture that DEB_HOST_ARCH names, with
# Debian's cross compiler for it (g++-<GNU triplet>). Unset, or naming the
# build machine's own architecture, it is a native build with the compiler
# that CMake finds as ever. Flags go into the _INIT variables, so that they
# add to the packager's CXXFLAGS and LDFLAGS and to a preset's, not replace
# them.
include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")

execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE build_arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(DEFINED ENV{DEB_HOST_ARCH})
    set(CONVERTER_ARCH "$ENV{DEB_HOST_ARCH}")
    if(NOT CONVERTER_ARCH IN_LIST converter_architectures)
        list(JOIN converter_architectures " " names)
        message(FATAL_ERROR "DEB_HOST_ARCH is '${CONVERTER_ARCH}'; converter "
            "builds for these Debian architectures: ${names}")
    endif()
    if(NOT build_arch)
        message(FATAL_ERROR "A build for DEB_HOST_ARCH needs Debian's dpkg")
    endif()
elseif(NOT CONVERTER_ARCH)
    # A native build, named as Debian names the machine where there is dpkg
    # to ask. A configure step that runs again (cmake --build starts one when
    # a CMakeLists.txt changes) keeps the architecture that the first chose.
    set(CONVERTER_ARCH "${build_arch}")
    if(NOT CONVERTER_ARCH)
        # Debian's name where the processor's differs, so that the suite
        # knows which machine the program must be for.
        string(TOLOWER "${CMAKE_HOST_SYSTEM_PROCESSOR}" CONVERTER_ARCH)
        set(debian_x86_64 amd64)
        set(debian_aarch64 arm64)
        set(debian_i686 i386)
        set(debian_ppc64le ppc64el)
        if(DEFINED debian_${CONVERTER_ARCH})
            set(CONVERTER_ARCH "${debian_${CONVERTER_ARCH}}")
        endif()
    endif()
endif()
set(CONVERTER_ARCH "${CONVERTER_ARCH}" CACHE STRING
    "The Debian architecture that this build is for" FORCE)

if(build_arch AND NOT CONVERTER_ARCH STREQUAL build_arch)
    # dpkg-architecture warns that CC is not a cross compiler; it need not be.
    foreach(name IN ITEMS GNU_TYPE GNU_CPU)
        execute_process(
            COMMAND dpkg-architecture -a${CONVERTER_ARCH} -qDEB_HOST_${name}
            OUTPUT_VARIABLE ${name} OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET)
    endforeach()
    string(REPLACE "_" "-" package "g++-${GNU_TYPE}")
    find_program(CONVERTER_CROSS_CXX "${GNU_TYPE}-g++")
    if(NOT CONVERTER_CROSS_CXX)
        message(FATAL_ERROR "No C++ compiler for ${CONVERTER_ARCH}: "
            "install the Debian package ${package}")
    endif()
    set(CMAKE_SYSTEM_NAME Linux)
    set(CMAKE_SYSTEM_PROCESSOR "${GNU_CPU}")
    set(CMAKE_CXX_COMPILER "${CONVERTER_CROSS_CXX}")
    # GoogleTest's project asks for C as well.
    set(CMAKE_C_COMPILER "${GNU_TYPE}-gcc")
    set(CMAKE_LIBRARY_ARCHITECTURE "${GNU_TYPE}")
    # The host's own libraries and packages (its GoogleTest among them) are
    # of no use to a program for another machine.
    set(CMAKE_FIND_ROOT_PATH "/usr/${GNU_TYPE}")
    set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
    set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()

# 32-bit x86 Linux computes on the x87 by default, whose wider registers round
# some results to other digits than every other build prints. 53-bit
# precision in its registers rounds each operation as SSE2 does, and keeps
# Debian's i686 baseline, which has no SSE2. The flag also links the start
# file that sets that precision.
if(CONVERTER_ARCH STREQUAL "i386")
    set(CMAKE_CXX_FLAGS_INIT "-mpc64")
endif()
