# The Debian package (tools/package.sh): CPack's DEB generator packs what the install rules put
# under /usr, with the manual page, the copyright file and the changelog Debian wants beside.

# The manual page and the changelog, compressed the way Debian wants them: at most, and with no
# file name or time stamp inside, so that the same sources give the same bytes.
set(PYRA_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)
configure_file(${CMAKE_SOURCE_DIR}/desktop/pyra3.6.in ${PYRA_PACKAGE_STAGE}/pyra3.6 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/desktop/changelog ${PYRA_PACKAGE_STAGE}/changelog COPYONLY)
add_custom_command(
  OUTPUT ${PYRA_PACKAGE_STAGE}/pyra3.6.gz ${PYRA_PACKAGE_STAGE}/changelog.gz
  COMMAND gzip -9nkf pyra3.6 changelog
  DEPENDS ${PYRA_PACKAGE_STAGE}/pyra3.6 ${PYRA_PACKAGE_STAGE}/changelog
  WORKING_DIRECTORY ${PYRA_PACKAGE_STAGE}
  VERBATIM)
add_custom_target(pyra_package_docs ALL
  DEPENDS ${PYRA_PACKAGE_STAGE}/pyra3.6.gz ${PYRA_PACKAGE_STAGE}/changelog.gz)
add_dependencies(pyra3 pyra_package_docs)

install(FILES ${PYRA_PACKAGE_STAGE}/pyra3.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_SOURCE_DIR}/desktop/copyright DESTINATION share/doc/pyra3)
# The package is native (its packaging lives with the program): Debian names its changelog
# changelog.gz.
install(FILES ${PYRA_PACKAGE_STAGE}/changelog.gz DESTINATION share/doc/pyra3)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pyra3)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pyra3 maintainers <maintainers@pyra3.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PYRA_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_stage.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # pyra3_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player board game of fire, oil, water and trucks")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A turn-based board game with a Japanese user interface. Each side, a person\n"
  "or the computer, places the dealt pieces on the empty cells of the board, and\n"
  "every placed piece reacts with its eight neighbours: water puts out fire and\n"
  "scores, fire spreads to oil and costs points, the truck hauls oil away.\n"
  "\n"
  "Series from one game to first-to-ten wins, a computer opponent whose strength\n"
  "can follow the score, a ranking of the best players, music and sounds, and a\n"
  "help with contents, index and full-text search.")

# The libraries the binary links come from dpkg-shlibdeps; what the program only finds at run
# time is named here. Without the SQLite plugin Qt Help cannot open the help, and without a font
# with Japanese glyphs (the program asks for these, in this order) no text can be read. The
# music needs a General MIDI SoundFont, the score digits Arial's metrics, and the standard
# buttons (OK, Cancel) Qt's Japanese texts; the game plays without them all.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-ipafont-gothic | fonts-ipaexfont-gothic | fonts-noto-cjk | fonts-vlgothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timgm6mb-soundfont | fluid-soundfont-gm, fonts-liberation2 | fonts-liberation | fonts-croscore, qt6-translations-l10n")
# Only to run natively on Wayland (QT_QPA_PLATFORM=wayland); it runs through XWayland anyway.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)

# The control files' modes as Debian wants them (the staged files get theirs in package_stage).
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The package as a user meets it: packed from this build, unpacked into a temporary root, and
# checked there like an installed program (the validators, the files, the command line, the
# program on a private display).
add_test(NAME package_check COMMAND bash ${CMAKE_SOURCE_DIR}/tests/system/install_check.sh
  ${CMAKE_BINARY_DIR} ${PYRA_APP_ID} --package)
set_tests_properties(package_check PROPERTIES LABELS system TIMEOUT 120)
