include(GNUInstallDirs)

install(TARGETS converter RUNTIME COMPONENT converter_Runtime)
install(FILES man/converter.1
    DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
    COMPONENT converter_Runtime)
