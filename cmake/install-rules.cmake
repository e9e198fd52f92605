# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

include(GNUInstallDirs)

# Directories get the same mode whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)

if(WIN32)
    # One folder that a Windows user unzips: the program beside its papers,
    # under names that Windows knows how to open.
    install(TARGETS converter RUNTIME DESTINATION . COMPONENT converter_Runtime)
    install(FILES README.md DESTINATION . COMPONENT converter_Runtime)
    install(FILES LICENSE DESTINATION . RENAME LICENSE.txt
        COMPONENT converter_Runtime)
    if(CONVERTER_NOTICES)
        install(FILES "${CONVERTER_NOTICES}" DESTINATION .
            RENAME THIRD-PARTY-NOTICES.txt COMPONENT converter_Runtime)
    endif()
    return()
endif()

install(TARGETS converter RUNTIME COMPONENT converter_Runtime)
# A stripped install is stripped as Debian strips: the compiler's version
# notes in .comment go too.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(
            COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:converter>\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()"
    COMPONENT converter_Runtime)
install(FILES "${PROJECT_BINARY_DIR}/converter.1"
    DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
    COMPONENT converter_Runtime)
# debian/rules drops it again: a .deb states the licence in Debian's own
# copyright file.
install(FILES LICENSE
    DESTINATION "${CMAKE_INSTALL_DOCDIR}"
    COMPONENT converter_Licence)
if(CONVERTER_NOTICES)
    install(FILES "${CONVERTER_NOTICES}"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}"
        COMPONENT converter_Licence)
endif()
