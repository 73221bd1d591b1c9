# Installation keeps the runtime folder together, as the program finds its
# files beside itself: PREFIX/lib/moro-zel/ holds the programs, the hook
# library, the data and the recognizer's folder sphinx/; PREFIX/bin has the two
# commands zel and zelcmd.
set(ZEL_INSTALL_DIR lib/moro-zel)

# Exactly the files the build makes, by name: never one a run of the program
# left in the build folder (settings, generated models, logs, history, a
# trained voice, recordings).
install(PROGRAMS ${ZEL_RUNTIME_DIR}/zel ${ZEL_RUNTIME_DIR}/zelcmd DESTINATION ${ZEL_INSTALL_DIR})
install(FILES ${ZEL_RUNTIME_DIR}/zeldll.so ${ZEL_RUNTIME_DIR}/beep.wav ${ZEL_RUNTIME_DIR}/modnum.ini
              ${ZEL_RUNTIME_DIR}/phoneset.txt ${ZEL_RUNTIME_DIR}/frases_treino.txt DESTINATION ${ZEL_INSTALL_DIR})
file(GLOB ZEL_SHIPPED_PROFILES ${CMAKE_SOURCE_DIR}/data/profiles/*.zpr)
install(FILES ${ZEL_SHIPPED_PROFILES} DESTINATION ${ZEL_INSTALL_DIR}/profiles)
install(FILES ${ZEL_RUNTIME_DIR}/sphinx/sphinx.arg.default DESTINATION ${ZEL_INSTALL_DIR}/sphinx)

# PREFIX/bin/zel and PREFIX/bin/zelcmd start the programs from their runtime
# folder; when that folder is not writable (a system-wide installation), from
# a runtime folder of the user's own (cmake/launcher.sh says how).
foreach(program zel zelcmd)
  install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/launcher.sh DESTINATION bin RENAME ${program})
endforeach()

# The desktop's launcher and icon: the menu entry starts PREFIX/bin/zel.
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/moro-zel.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/moro-zel.svg DESTINATION share/icons/hicolor/scalable/apps)

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
  "libc6, libstdc++6, libicu72, libqt6core6, libqt6gui6, libqt6widgets6, libqt6multimedia6, libqt6network6, qt6-qpa-plugins, libpocketsphinx3, libsphinxbase3, pocketsphinx-en-us, libpulse0, libx11-6, libxtst6, xdg-utils")
include(CPack)
