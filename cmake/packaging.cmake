# Installation under a prefix in the freedesktop layout, and the Debian package.
# MAROVELLIX_DATA_DIR (share/marovellix) is where the program looks for its help page and
# companion files when they are not beside it.

install(TARGETS marovellix marovellix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/marovellix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(ICONS ${PROJECT_SOURCE_DIR}/src/ui/icons)
foreach(size 16 32 48 256)
  install(FILES ${ICONS}/marovellix-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME marovellix.png)
endforeach()
install(FILES ${ICONS}/marovellix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The user guide and its pictures.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION ${MAROVELLIX_DATA_DIR})
# What software centres list, and the tool's completion where bash-completion looks for it.
install(FILES ${PROJECT_SOURCE_DIR}/data/fr.marovellix.marovellix.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/marovellix-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME marovellix-cli)
include(${CMAKE_CURRENT_LIST_DIR}/manpages.cmake)

# The copyright file and the changelog every Debian package carries (compressed without a
# time stamp, so that the same changelog gives the same bytes).
set(CHANGELOG_GZ ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${CHANGELOG_GZ}
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/changelog > ${CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/changelog)
add_custom_target(marovellix_changelog ALL DEPENDS ${CHANGELOG_GZ})
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright ${CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marovellix)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marovellix)
set(CPACK_PACKAGE_VENDOR "Marovellix+")
set(CPACK_PACKAGE_CONTACT "Marovellix+ <contact@marovellix.fr>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# It prepares bets and checks them; it is not a game ("games" is for programs in /usr/games).
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The Qt libraries come from what the programs are linked to, as dpkg-shlibdeps reads them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own buttons and dialogs speak French only with Qt's translation installed; the
# windows are laid out for the Liberation fonts; Qt's GUI library only recommends the platform
# plugins, without which no window opens. The history of races needs Qt's SQLite driver, a
# plugin the library scan does not see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation, qt6-qpa-plugins, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "forecast synthesis and betting tickets for French horse races")
# CPack puts the summary on the first line and indents these lines below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Marovellix+ turns the tipsters' forecasts of a race into one points ranking,
and a selection of horses into betting tickets (tierce, quarte+, quinte+,
couple) from built-in reduced systems or a combination generator. It lists,
prints and saves the tickets, marks them on pre-printed bet slips, and checks
them against the official arrival.

marovellix-cli runs the same ticket engine from scripts.")
include(CPack)
