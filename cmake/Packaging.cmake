# Installation and the Debian package. The launcher is meant to be copied onto
# a medium beside its menu; installing it puts a copy, with the example menu,
# the menu author's kit and the documentation, where a menu author finds them.
include(GNUInstallDirs)

install(TARGETS qvzmenu RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/qvzmenu/examples
  USE_SOURCE_PERMISSIONS)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/qvzmenu.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/qvzmenu.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qvzmenu)
set(CPACK_PACKAGE_VENDOR "qvzmenu developers")
set(CPACK_PACKAGE_CONTACT "qvzmenu developers <qvzmenu@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Menu launcher for discs, USB sticks and folders")
set(CPACK_PACKAGE_DESCRIPTION "Shows an HTML start page from the launcher's own folder in a skinned window, hands every other link to the desktop, and can play looping background music and a splash picture.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Run-time libraries the binary links against, and the media plug-ins it
# needs to play music (found by name at run time, so no shlibs entry names them).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav, gstreamer1.0-pulseaudio, timgm6mb-soundfont | fluid-soundfont-gm, shared-mime-info")
include(CPack)
