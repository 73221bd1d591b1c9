# Installation keeps the runtime folder together, as the program finds its
# files beside itself: PREFIX/lib/moro-zel/ holds the programs, the hook
# library and the data; PREFIX/bin has links to the two programs.
set(ZEL_INSTALL_DIR lib/moro-zel)

# Files the program writes at run time are never shipped.
install(DIRECTORY ${ZEL_RUNTIME_DIR}/ DESTINATION ${ZEL_INSTALL_DIR} USE_SOURCE_PERMISSIONS
  PATTERN "config.ini" EXCLUDE
  PATTERN "dictionary.dic" EXCLUDE
  PATTERN "languagemodel.lm" EXCLUDE
  PATTERN "tokens.ubt" EXCLUDE
  PATTERN "zellm.zlm" EXCLUDE
  PATTERN "sphinx.arg" EXCLUDE
  PATTERN "sphinx.log" EXCLUDE
  PATTERN "test_*" EXCLUDE
  PATTERN ".*" EXCLUDE)

foreach(program zel zelcmd)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${program}\")
    if(EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZEL_INSTALL_DIR}/${program}\")
      file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
      file(CREATE_LINK \"../${ZEL_INSTALL_DIR}/${program}\" \"\${link}\" SYMBOLIC)
    endif()")
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME moro-zel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "MORO Zel <moro-zel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Comandos de voz para o desktop, offline, em português")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The Debian packages the program uses at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libicu72, libqt6widgets6, libqt6multimedia6, qt6-qpa-plugins, libpocketsphinx3, libsphinxbase3, pocketsphinx-en-us, libpulse0, libx11-6, libxtst6, xdg-utils")
include(CPack)
