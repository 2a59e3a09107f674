# The help files, the desktop entry, the AppStream data and the icons, and the install step.
# The installed program finds its data in ../share/pyra3 beside its bin/ folder
# (app/program_folder.cpp), so the layout below is fixed, whatever the prefix.

# One reverse-domain name for the desktop entry, the AppStream component, the icons and the
# windows (QGuiApplication::setDesktopFileName).
set(PYRA_APP_ID org.pyra3.Pyra3)
target_compile_definitions(pyra_qt PUBLIC PYRA_APP_ID="${PYRA_APP_ID}")
# The program's version (pyra3 --version, the AppStream release): the project's, with the build
# number the program has always carried.
set(PYRA_VERSION ${PROJECT_VERSION}.243)
target_compile_definitions(pyra3 PRIVATE PYRA_VERSION="${PYRA_VERSION}")

# Help: the pages with the piece pictures cut from the built-in sheet, through qhelpgenerator
# into pyra3.qch and its collection pyra3.qhc beside the executable.
find_program(PYRA_QHELPGENERATOR NAMES qhelpgenerator qhelpgenerator6 REQUIRED
  HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS}" "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
file(GLOB PYRA_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
set(PYRA_HELP_STAGE ${CMAKE_BINARY_DIR}/help)
set(PYRA_SHEET ${CMAKE_SOURCE_DIR}/assets/pieces.bmp)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/pyra3.qch ${CMAKE_BINARY_DIR}/pyra3.qhc
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PYRA_HELP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/help ${PYRA_HELP_STAGE}
  COMMAND make_bitmaps --help-pictures ${PYRA_SHEET} ${PYRA_HELP_STAGE}/images
  COMMAND ${PYRA_QHELPGENERATOR} -s ${PYRA_HELP_STAGE}/pyra3.qhcp -o ${PYRA_HELP_STAGE}/pyra3.qhc
  COMMAND ${CMAKE_COMMAND} -E copy ${PYRA_HELP_STAGE}/pyra3.qch ${PYRA_HELP_STAGE}/pyra3.qhc
          ${CMAKE_BINARY_DIR}
  DEPENDS ${PYRA_HELP_SOURCES} ${PYRA_SHEET} make_bitmaps
  COMMENT "Building the help (pyra3.qch, pyra3.qhc)"
  VERBATIM)

# Icons at every size the desktops ask for, from the game's own pixel art.
set(PYRA_ICON_SIZES 16 22 32 48 64 128 256)
set(PYRA_ICONS "")
foreach(size ${PYRA_ICON_SIZES})
  list(APPEND PYRA_ICONS ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/${PYRA_APP_ID}.png)
endforeach()
add_custom_command(
  OUTPUT ${PYRA_ICONS}
  COMMAND make_bitmaps --icons ${PYRA_SHEET} ${CMAKE_BINARY_DIR}/icons ${PYRA_APP_ID}
  DEPENDS ${PYRA_SHEET} make_bitmaps
  COMMENT "Drawing the icons"
  VERBATIM)
add_custom_target(pyra_data ALL DEPENDS ${CMAKE_BINARY_DIR}/pyra3.qch ${PYRA_ICONS})
add_dependencies(pyra3 pyra_data)
add_dependencies(qt_tests pyra_data)  # the help tests read the built help file

# AppStream wants the screenshot (docs/screenshot.png) at a web address; a build that knows where
# the project publishes it names it here, otherwise the data goes without a screenshot.
set(PYRA_SCREENSHOT_URL "" CACHE STRING "Web address of docs/screenshot.png for the AppStream data")
set(PYRA_SCREENSHOTS "")
if(PYRA_SCREENSHOT_URL)
  string(CONCAT PYRA_SCREENSHOTS
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>A game in progress: a person against the computer</caption>\n"
    "      <image>${PYRA_SCREENSHOT_URL}</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
configure_file(${CMAKE_SOURCE_DIR}/desktop/pyra3.desktop.in
  ${CMAKE_BINARY_DIR}/${PYRA_APP_ID}.desktop @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/desktop/pyra3.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/${PYRA_APP_ID}.metainfo.xml @ONLY)

install(TARGETS pyra3 RUNTIME DESTINATION bin)
install(FILES ${CMAKE_BINARY_DIR}/pyra3.qch ${CMAKE_BINARY_DIR}/pyra3.qhc DESTINATION share/pyra3)
install(FILES ${CMAKE_BINARY_DIR}/${PYRA_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_BINARY_DIR}/${PYRA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size ${PYRA_ICON_SIZES})
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/${PYRA_APP_ID}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# The installed program, checked from a temporary prefix on a private display.
add_test(NAME install_check
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/system/install_check.sh ${CMAKE_BINARY_DIR} ${PYRA_APP_ID})
