# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# The compilers for the Debian architecture that DEB_HOST_ARCH names:
# Debian's cross compiler for it (g++-<GNU triplet>), and where to find that
# architecture's libraries. Unset, or naming the build machine's own
# architecture, it is a native build with the compiler that CMake finds as
# ever. CMakeLists.txt names the architecture itself, from the compiler it is
# given, as it does for a build without this file.
include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")

execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE build_arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(host_arch "$ENV{DEB_HOST_ARCH}")
if(host_arch)
    if(NOT host_arch IN_LIST converter_architectures)
        list(JOIN converter_architectures " " names)
        message(FATAL_ERROR "DEB_HOST_ARCH is '${host_arch}'; converter "
            "builds for these Debian architectures: ${names}")
    endif()
    if(NOT build_arch)
        message(FATAL_ERROR "A build for DEB_HOST_ARCH needs Debian's dpkg")
    endif()
endif()

if(host_arch AND NOT host_arch STREQUAL build_arch)
    # dpkg-architecture warns that CC is not a cross compiler; it need not be.
    foreach(name IN ITEMS GNU_TYPE GNU_CPU)
        execute_process(
            COMMAND dpkg-architecture -a${host_arch} -qDEB_HOST_${name}
            OUTPUT_VARIABLE ${name} OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET)
    endforeach()
    string(REPLACE "_" "-" package "g++-${GNU_TYPE}")
    find_program(CONVERTER_CROSS_CXX "${GNU_TYPE}-g++")
    if(NOT CONVERTER_CROSS_CXX)
        message(FATAL_ERROR "No C++ compiler for ${host_arch}: "
            "install the Debian package ${package}")
    endif()
    set(CMAKE_SYSTEM_NAME Linux)
    set(CMAKE_SYSTEM_PROCESSOR "${GNU_CPU}")
    set(CMAKE_CXX_COMPILER "${CONVERTER_CROSS_CXX}")
    set(CMAKE_LIBRARY_ARCHITECTURE "${GNU_TYPE}")
    # The host's own libraries and packages (its GoogleTest among them) are
    # of no use to a program for another machine.
    set(CMAKE_FIND_ROOT_PATH "/usr/${GNU_TYPE}")
    set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
    set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()
