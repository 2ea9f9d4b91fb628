# Installs the programs as a desktop program and packs them as a Debian package (CPack).
# The program finds the Access reader by a path relative to its own folder, so any prefix works.

set(VELTRO_RELEASE_DATE 2026-12-07)
set(VELTRO_RELEASE_DATE_RFC "Mon, 07 Dec 2026 12:00:00 +0000")
# The web page is the project's pages at its code hosting, whose reversed name begins the
# application id (VELTRO_APP_ID); the AppStream screenshot lies below it.
set(VELTRO_MAINTAINER "Veltrix <veltrix@users.noreply.github.com>")
set(VELTRO_HOMEPAGE "https://veltrix.github.io/veltro-adressbuch")
set(VELTRO_PACKAGE veltro-adressbuch)
set(VELTRO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${VELTRO_PACKAGE})
set(resources ${CMAKE_SOURCE_DIR}/resources)
set(generated ${CMAKE_BINARY_DIR}/install-files)

# Installed programs carry no debug information, with or without --strip.
install(CODE "if(NOT DEFINED CMAKE_INSTALL_DO_STRIP)\n  set(CMAKE_INSTALL_DO_STRIP ON)\nendif()")
install(TARGETS veltro-adressbuch veltro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS veltro-mdb-reader RUNTIME DESTINATION ${VELTRO_HELPER_DIR})

# Menu entry, icons and AppStream data are named by the application id.
configure_file(${resources}/veltro-adressbuch.desktop.in ${generated}/${VELTRO_APP_ID}.desktop
               @ONLY)
install(FILES ${generated}/${VELTRO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${resources}/veltro-adressbuch.svg DESTINATION ${icons}/scalable/apps
        RENAME ${VELTRO_APP_ID}.svg)
foreach(size 16 22 24 32 48)
    install(FILES ${resources}/icons/veltro-adressbuch-${size}.png
            DESTINATION ${icons}/${size}x${size}/apps RENAME ${VELTRO_APP_ID}.png)
endforeach()
configure_file(${resources}/veltro-adressbuch.metainfo.xml.in
               ${generated}/${VELTRO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${generated}/${VELTRO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${resources}/completion/veltro-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${resources}/debian/copyright DESTINATION ${VELTRO_DOC_DIR})

# Manual pages and the changelog are installed compressed, as Debian wants them;
# gzip -n leaves out the time so that the package builds the same each time.
set(compressed)
foreach(source IN ITEMS man/veltro-adressbuch.1 man/veltro-cli.1 debian/changelog)
    get_filename_component(name ${source} NAME)
    set(input ${resources}/${source})
    if(EXISTS ${input}.in)
        set(input ${input}.in)
    endif()
    configure_file(${input} ${generated}/${name} @ONLY)
    add_custom_command(OUTPUT ${generated}/${name}.gz
        COMMAND gzip -9nf -k ${generated}/${name}
        DEPENDS ${generated}/${name}
        COMMENT "Compressing ${name}")
    list(APPEND compressed ${generated}/${name}.gz)
endforeach()
add_custom_target(veltro-install-files ALL DEPENDS ${compressed})
install(FILES ${generated}/veltro-adressbuch.1.gz ${generated}/veltro-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/changelog.gz DESTINATION ${VELTRO_DOC_DIR})

# The Makefile builds what is installed; the package need not wait for the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VELTRO_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Veltro Adressbuch")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELTRO_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELTRO_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# German buttons in Qt's own dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kartei für Anschriften und Notizen")
# CPack puts the summary in front and indents the lines; an empty line stands for " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Veltro Adressbuch verwaltet Anschriften und Notizen als Karten: eine Karte je
Person oder Firma, gefunden über ihre Schlagworte schon beim Tippen, direkt
bearbeitet und sofort gespeichert.

 * Kategorien, Volltextsuche und ein kleines Suchfenster
 * formatierte Anschriften und Notizen, in Briefe kopiert oder gedruckt
 * Etiketten auf gängigen Bögen, Umschläge nach DIN 5008 und Listen, als PDF
 * Austausch über CSV-, Text-, Access- und vCard-Dateien, Serienbrief-Daten
 * Abgleich mit einem CardDAV-Adressbuch auf einem Server
 * doppelte Karten finden und zusammenführen
 * Rückgängig und Wiederholen, selbsttätige Sicherungen zum Wiederherstellen

Das Paket enthält das Programm mit deutscher Oberfläche und das
Befehlszeilenprogramm veltro-cli für Import, Export, Etiketten, Umschläge,
Listen, Abgleich und Sicherungen ohne Fenster.")
include(CPack)
