# SPDX-FileCopyrightText: 2026 The converter authors
# SPDX-License-Identifier: MIT

include(GNUInstallDirs)

install(TARGETS converter RUNTIME COMPONENT converter_Runtime)
install(FILES man/converter.1
    DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
    COMPONENT converter_Runtime)
