# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

# CONVERTER_ARCH, the Debian architecture that this build's programs are
# for, which names the packages and tells the suite which machine the
# program must be for. Where the cache or DEB_HOST_ARCH (as Debian's build
# tools set it) does not give it, the compiler's own target does: the GNU
# triplet that -dumpmachine prints, named by dpkg-architecture where there is
# one, else by the triplet itself. Included by CMakeLists.txt, after
# project(); a Windows build has no Debian architecture.
include("${CMAKE_CURRENT_LIST_DIR}/architectures.cmake")

if(NOT CONVERTER_ARCH AND NOT WIN32)
    set(arch "$ENV{DEB_HOST_ARCH}")
    if(NOT arch)
        execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -dumpmachine
            OUTPUT_VARIABLE triplet OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        # Without dpkg-architecture, arch stays empty.
        if(triplet)
            execute_process(COMMAND dpkg-architecture "-t${triplet}" -qDEB_HOST_ARCH
                OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        endif()
        if(NOT arch)
            # The processor, and for 32-bit ARM the float ABI, which is
            # all that tells armel and armhf apart.
            set(debian_x86_64 amd64)
            set(debian_aarch64 arm64)
            set(debian_powerpc64le ppc64el)
            string(REGEX MATCH "^[^-]+" cpu "${triplet}")
            if(cpu MATCHES "^i[3-6]86$")
                set(arch i386)
            elseif(cpu MATCHES "^arm" AND triplet MATCHES "eabihf$")
                set(arch armhf)
            elseif(cpu MATCHES "^arm")
                set(arch armel)
            elseif(DEFINED debian_${cpu})
                set(arch "${debian_${cpu}}")
            else()
                set(arch "${cpu}")
            endif()
        endif()
    endif()
    set(CONVERTER_ARCH "${arch}" CACHE STRING
        "The Debian architecture that this build is for")
endif()
