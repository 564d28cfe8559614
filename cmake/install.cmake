# Installing the game: the programs in bin/, the game folder the build wrote in
# share/vurkhold/ (the game finds it from bin/ as ../share/vurkhold), and the desktop entry,
# icons, metainfo and manual pages where desktops and man look for them. And the Debian
# package of the same tree (cpack -G DEB in the build folder).
include(GNUInstallDirs)

install(TARGETS vurkhold vurkhold-mklevel vurkhold-lab RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Everything start-up loads, as the content generator wrote it beside the game.
install(DIRECTORY ${CMAKE_BINARY_DIR}/levels ${CMAKE_BINARY_DIR}/models ${CMAKE_BINARY_DIR}/other
                  ${CMAKE_BINARY_DIR}/sounds ${CMAKE_BINARY_DIR}/textures
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vurkhold)
install(FILES ${CMAKE_BINARY_DIR}/readme.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/vurkhold)

install(FILES packaging/vurkhold.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/vurkhold.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/vurkhold.6 packaging/vurkhold-mklevel.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
foreach(size 48x48 128x128 256x256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}/vurkhold.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vurkhold)
set(CPACK_PACKAGE_VENDOR "Vurkhold")
set(CPACK_PACKAGE_CONTACT "Vurkhold maintainers <maintainers@vurkhold.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D action in a voxel cave, for one or two players")
set(CPACK_PACKAGE_DESCRIPTION
    "Burrowing creatures, the vurks, fight inside a voxel cave whose rock is carved by every
explosion and every dig. One or two people play at one computer on a split screen, with
up to four combatants, humans or computer players. Comes with eight levels, sixteen
weapons defined in text files, a level maker and a weapon balance lab.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
