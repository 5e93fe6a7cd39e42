# Installation under a prefix in the freedesktop layout, and the Debian package.
include(GNUInstallDirs)

install(TARGETS marovellix marovellix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/marovellix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/marovellix-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME marovellix.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/marovellix.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The help page and its pictures, looked for beside the program first, then here.
install(FILES ${PROJECT_SOURCE_DIR}/docs/help/marovellix.html DESTINATION ${MAROVELLIX_DATA_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${MAROVELLIX_DATA_DIR}/images FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marovellix)
set(CPACK_PACKAGE_VENDOR "Marovellix+")
set(CPACK_PACKAGE_CONTACT "Marovellix+ <contact@marovellix.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "forecast synthesis and betting tickets for French horse races")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own buttons and dialogs speak French only with Qt's translation installed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "forecast synthesis and betting tickets for French horse races\n Marovellix+ turns the tipsters' forecasts of a race into one points ranking,\n and a selection of horses into betting tickets (tierce, quarte+, quinte+,\n couple) from built-in reduced systems or a combination generator. It lists,\n prints and saves the tickets, marks them on pre-printed bet slips, and checks\n them against the official arrival.")
include(CPack)
