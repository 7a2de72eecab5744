# What "cmake --install" puts where (GNU layout, so --prefix and DESTDIR both
# work), and the Debian package CPack makes of the same tree.

set(VELLUM_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VELLUM_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/vellumcraft)

foreach(program IN ITEMS vellumcraft pff)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${VELLUM_PACKAGING_DIR}/vellumcraft.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELLUM_PACKAGING_DIR}/vellumcraft-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vellumcraft.xml)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/vellumcraft.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN ITEMS 48 256)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/vellumcraft-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vellumcraft.png)
endforeach()
# Manual pages carry the version and are installed compressed, as Debian expects.
set(VELLUM_MAN_PAGES pff)
if(TARGET vellumcraft)
  list(APPEND VELLUM_MAN_PAGES vellumcraft)
endif()
foreach(page IN LISTS VELLUM_MAN_PAGES)
  configure_file(${VELLUM_PACKAGING_DIR}/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  file(ARCHIVE_CREATE OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz PATHS ${CMAKE_BINARY_DIR}/man/${page}.1
       FORMAT raw COMPRESSION GZip)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${VELLUM_PACKAGING_DIR}/pff.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME pff)

# Debian's copyright file: a machine-readable header over the licence text,
# whose blank lines become " ." and every other line gains one leading space.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE VELLUM_LICENSE_TEXT)
string(STRIP "${VELLUM_LICENSE_TEXT}" VELLUM_LICENSE_TEXT)
string(REGEX REPLACE "\n\n" "\n.\n" VELLUM_LICENSE_TEXT "${VELLUM_LICENSE_TEXT}")
string(REGEX REPLACE "\n" "\n " VELLUM_LICENSE_TEXT "${VELLUM_LICENSE_TEXT}")
configure_file(${VELLUM_PACKAGING_DIR}/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${VELLUM_DOCDIR})

set(VELLUM_MAINTAINER "Vellumcraft developers <vellumcraft@localhost>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumcraft)
set(CPACK_PACKAGE_VENDOR "the Vellumcraft developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for PFF resource archives, with the pff command-line tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Vellumcraft opens the .pff resource archives of older PC games, lists their\n"
    "entries in a grid with filters, and adds, extracts, deletes and renames\n"
    "entries in place. The pff command does the same from scripts.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELLUM_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins that no linked library names: the SVG icon engine for the window's
# icon, and the image readers the preview pane uses for TGA.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-image-formats-plugins")
include(CPack)
