# What `cmake --install` lays out, and the Debian package made from it with CPack:
#   bin/kinepo, bin/kinepo-cli
#   share/applications/org.kinepo.Kinepo.desktop, share/metainfo/org.kinepo.Kinepo.metainfo.xml
#   share/icons/hicolor/{scalable,NxN}/apps/org.kinepo.Kinepo.{svg,png}
#   share/kinepo/{langues,aide,samples}, share/man/man1/kinepo-cli.1.gz
# The installed program finds its data in share/kinepo (platform/Chemins.h) and keeps its
# settings in the user's configuration folder.
include(GNUInstallDirs)

set(KINEPO_ID org.kinepo.Kinepo)
string(REGEX REPLACE "^([0-9]+)/([0-9]+)/([0-9]+)$" "\\3-\\2-\\1" KINEPO_DATE_ISO
       "${KINEPO_DATE_VERSION}")
set(bureau ${PROJECT_SOURCE_DIR}/shell/bureau)
set(genere ${CMAKE_BINARY_DIR}/genere/bureau)

install(TARGETS kinepo kinepo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${bureau}/${KINEPO_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${bureau}/${KINEPO_ID}.metainfo.xml ${genere}/${KINEPO_ID}.metainfo.xml @ONLY)
install(FILES ${genere}/${KINEPO_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: the SVG, and PNG sizes drawn from it at build time.
install(FILES ${bureau}/kinepo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${KINEPO_ID}.svg)
add_executable(kinepo-icone-png ${bureau}/IconePng.cpp)
target_link_libraries(kinepo-icone-png PRIVATE Qt6::Gui Qt6::Svg)
set(pngs)
foreach(taille 16 22 24 32 48 64 128 256)
  set(png ${genere}/icones/${taille}/${KINEPO_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${genere}/icones/${taille}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:kinepo-icone-png> ${bureau}/kinepo.svg ${taille} ${png}
    DEPENDS kinepo-icone-png ${bureau}/kinepo.svg VERBATIM)
  list(APPEND pngs ${png})
  install(FILES ${png}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${taille}x${taille}/apps)
endforeach()
add_custom_target(kinepo_icones ALL DEPENDS ${pngs})

# The dictionary, the help pages and the samples.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/shell/langues/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kinepo/langues)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/aide/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kinepo/aide)
install(FILES ${PROJECT_SOURCE_DIR}/samples/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/kinepo/samples)
# The sample films and sounds are made by the build's own generators (target kinepo_samples);
# the packaging script builds them before installing.
set(echantillons ${CMAKE_BINARY_DIR}/samples)
add_custom_target(kinepo_samples
  COMMAND ${CMAKE_COMMAND} -E make_directory ${echantillons}/films ${echantillons}/sons
  COMMAND $<TARGET_FILE:kinepo-echantillons> ${echantillons}/films
  COMMAND $<TARGET_FILE:kinepo-sons-exemples> ${echantillons}/sons
  DEPENDS kinepo-echantillons kinepo-sons-exemples VERBATIM)
install(DIRECTORY ${echantillons}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kinepo/samples OPTIONAL)

# The manual page of kinepo-cli.
configure_file(${bureau}/kinepo-cli.1 ${genere}/kinepo-cli.1 @ONLY)
add_custom_command(OUTPUT ${genere}/kinepo-cli.1.gz
  COMMAND gzip -9 -n -k -f ${genere}/kinepo-cli.1
  DEPENDS ${genere}/kinepo-cli.1 VERBATIM)
add_custom_target(kinepo_man ALL DEPENDS ${genere}/kinepo-cli.1.gz)
install(FILES ${genere}/kinepo-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: cpack -G DEB in the build folder (scripts/paquet.sh does it all).
set(CPACK_PACKAGE_NAME kinepo)
set(CPACK_PACKAGE_VENDOR "Kinepo")
set(CPACK_PACKAGE_CONTACT "Kinepo <contact@kinepo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Compagnon de mesure pour l'enseignement de la physique")
set(CPACK_PACKAGE_DESCRIPTION "Kinepo turns films, pictures, sounds and webcam images into tables
 of numbers (names, units, values, uncertainties) for the analysis program Tabulane or CSV
 files: frame-by-frame pointing and colour tracking on films, chronophotographs, a curve
 digitizer for pictures, light-intensity profiles, sounds and fringe tracking.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the shared libraries dpkg-shlibdeps finds: Qt's platform plugins, its French and
# Spanish dialog texts, and the desktop's browser opener for the help.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6, libqt6multimedia6, libqt6svg6, qt6-qpa-plugins, qt6-translations-l10n, libavformat59, libavcodec59, libswscale6, libswresample4, libjpeg62-turbo, libgif7, libv4l-0, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsane1, ffmpeg")
set(CPACK_STRIP_FILES ON)
include(CPack)
