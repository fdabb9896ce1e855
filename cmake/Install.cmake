# Installing quorvel as a Linux program, and the Debian package made from the same rules:
#   bin/quorvel, bin/quorvel-capture     the player and the capture tool
#   lib/quorvel/                         effect plug-ins: meshdrome and the flat effects (the
#                                        player looks in ../lib/quorvel/)
#   share/quorvel/demo/                  the bundled show
#   share/applications/quorvel.desktop, share/man/man1/quorvel.1
# The plug-in folder is spelled out rather than taken from GNUInstallDirs: the player finds it
# relative to bin/, which a multiarch library folder would break.
include(GNUInstallDirs)

install(TARGETS quorvel quorvel-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS meshdrome flatpicture flatfade flattext LIBRARY DESTINATION lib/quorvel)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel/demo)

# Started from a menu with no file, the player plays the bundled show: it is the working folder.
# The folder depends on the prefix given at install time (or the package's), so the entry is
# made then.
install(CODE "
  set(QUORVEL_DEMO_FOLDER \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/quorvel/demo\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/quorvel.desktop.in\"
    \"${PROJECT_BINARY_DIR}/packaging/quorvel.desktop\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/packaging/quorvel.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/quorvel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "quorvel developers <quorvel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time demo player for scripted 3D shows")
set(CPACK_PACKAGE_DESCRIPTION "quorvel plays scripted audiovisual demo shows: effect plug-ins, \
3D Studio scenes, images and music on a timeline of layers. It also views a single \
3D Studio file, and captures shows frame-exact to pictures and sound.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The library packages it needs come from the binaries themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
