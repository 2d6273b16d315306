# Installation: the program folder as one unit under <prefix>/lib/quillbrook (the program finds
# its files beside itself), a command in <prefix>/bin, the menu entry, its icons and the
# AppStream description; and a Debian package of the same.

set(QUILL_APP_ID io.quillbrook.Quillbrook)
set(QUILL_INSTALL_DIR lib/quillbrook)
set(QUILL_ICON_DIR ${CMAKE_BINARY_DIR}/icons)

# The menu icon in the usual hicolor sizes, drawn with the program's own artwork.
add_executable(quill-icons ${PROJECT_SOURCE_DIR}/tools/iconsizes/main.cpp
               ${PROJECT_SOURCE_DIR}/tools/artgen/Painters.cpp)
target_link_libraries(quill-icons PRIVATE Qt6::Gui)
add_custom_command(OUTPUT ${QUILL_ICON_DIR}/48x48/apps/${QUILL_APP_ID}.png
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:quill-icons> ${QUILL_ICON_DIR}
  DEPENDS quill-icons
  COMMENT "Drawing the menu icons"
  VERBATIM)
add_custom_target(quill-menuicons ALL DEPENDS ${QUILL_ICON_DIR}/48x48/apps/${QUILL_APP_ID}.png)

install(TARGETS Quillbrook RUNTIME DESTINATION ${QUILL_INSTALL_DIR})
# The freshly generated files, never the build's program folder with its settings and books.
install(DIRECTORY ${QUILL_PRISTINE_DIR}/ DESTINATION ${QUILL_INSTALL_DIR})
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(CREATE_LINK ../${QUILL_INSTALL_DIR}/Quillbrook
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/quillbrook\" SYMBOLIC)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/quillbrook\")")
install(FILES ${PROJECT_SOURCE_DIR}/dist/linux/${QUILL_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/linux/${QUILL_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${QUILL_ICON_DIR}/ DESTINATION share/icons/hicolor)

set(CPACK_PACKAGE_NAME quillbrook)
set(CPACK_PACKAGE_VENDOR "Quillbrook")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "翎溪记帐财务软件 - cash journal bookkeeping")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillbrook developers <dev@quillbrook.io>")
set(CPACK_DEBIAN_PACKAGE_SECTION office)
# The libraries it links are found by dpkg-shlibdeps; what Qt loads at run time is named here:
# the SQLite driver, the desktop's window plugin, the Chinese font and Qt's Chinese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-qpa-plugins, fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
