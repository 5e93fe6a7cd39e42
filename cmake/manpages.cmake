# French manual pages made at build time from the built programs' --help and --version with
# help2man (cmake/manpage.sh), so that they follow the programs. help2man writes French headings
# only in a French locale: the script compiles fr_FR.UTF-8 into the build folder (localedef, with
# the locale sources of Debian's "locales" package), whatever locales the system has.
find_program(HELP2MAN help2man)
find_program(LOCALEDEF localedef)
find_program(GZIP gzip)
if(NOT HELP2MAN OR NOT LOCALEDEF OR NOT GZIP OR NOT EXISTS /usr/share/i18n/locales/fr_FR)
  message(STATUS "No manual pages: they need help2man, gzip, localedef and the fr_FR locale source "
                 "(Debian packages help2man and locales)")
  return()
endif()

set(MAN_DIR ${PROJECT_BINARY_DIR}/man)
set(MAN_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/manpage.sh)
set(MAN_LOCALE ${MAN_DIR}/locale/fr_FR.UTF-8/LC_CTYPE)
add_custom_command(
  OUTPUT ${MAN_LOCALE}
  COMMAND bash ${MAN_SCRIPT} locale ${MAN_DIR}/locale
  DEPENDS ${MAN_SCRIPT}
  COMMENT "Compiling the French locale for the manual pages")

set(MAN_PAGES)
foreach(page marovellix marovellix-cli)
  set(with_commands "")
  if(page STREQUAL marovellix-cli)
    set(with_commands with-commands)
  endif()
  set(include ${PROJECT_SOURCE_DIR}/docs/man/${page}.h2m)
  add_custom_command(
    OUTPUT ${MAN_DIR}/${page}.1.gz
    COMMAND bash ${MAN_SCRIPT} page ${MAN_DIR}/locale ${MAN_DIR}/${page}.1.gz $<TARGET_FILE:${page}> ${include}
            ${with_commands}
    DEPENDS ${page} ${MAN_LOCALE} ${MAN_SCRIPT} ${include}
    COMMENT "Making the manual page of ${page}")
  list(APPEND MAN_PAGES ${MAN_DIR}/${page}.1.gz)
endforeach()
add_custom_target(marovellix_man ALL DEPENDS ${MAN_PAGES})
install(FILES ${MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
