# Installation: the program folder as one unit under <prefix>/lib/quillbrook (the program finds
# its files beside itself), a command in <prefix>/bin, the menu entry, its icons, the AppStream
# description, the manual page and the Debian documents; and a Debian package of the same.

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

# The manual page and the changelog compressed as Debian wants them: at most compression, with
# no name or time stamp inside, so a rebuild gives the same bytes.
set(QUILL_DOC_DIR ${CMAKE_BINARY_DIR}/debian-docs)
set(QUILL_COMPRESSED_DOCS)
foreach(pair "quillbrook.1=quillbrook.1.gz" "changelog=changelog.Debian.gz")
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${QUILL_DOC_DIR}/${target}
    COMMAND sh -c "mkdir -p \"$(dirname \"$2\")\" && gzip -9nc \"$1\" > \"$2\"" sh
            ${PROJECT_SOURCE_DIR}/dist/linux/${source} ${QUILL_DOC_DIR}/${target}
    DEPENDS ${PROJECT_SOURCE_DIR}/dist/linux/${source}
    COMMENT "Compressing ${target}"
    VERBATIM)
  list(APPEND QUILL_COMPRESSED_DOCS ${QUILL_DOC_DIR}/${target})
endforeach()
add_custom_target(quill-docs ALL DEPENDS ${QUILL_COMPRESSED_DOCS})
install(FILES ${QUILL_DOC_DIR}/quillbrook.1.gz DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/dist/linux/copyright ${QUILL_DOC_DIR}/changelog.Debian.gz
        DESTINATION share/doc/quillbrook)
install(FILES ${PROJECT_SOURCE_DIR}/dist/linux/lintian-overrides DESTINATION share/lintian/overrides
        RENAME quillbrook)

# The package's long description is the AppStream one, so the two never drift apart: each
# paragraph of the metainfo, wrapped after its punctuation into lines Debian's tools accept.
function(quill_description_from_metainfo metainfo out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${metainfo})
  file(READ ${metainfo} xml)
  string(REGEX MATCH "<description>.*</description>" xml "${xml}")
  string(REGEX MATCHALL "<p>[^<]*</p>" paragraphs "${xml}")
  set(text)
  foreach(paragraph IN LISTS paragraphs)
    string(REGEX REPLACE "</?p>" "" paragraph "${paragraph}")
    string(REGEX REPLACE "[ \t\r\n]+" " " paragraph "${paragraph}")
    string(STRIP "${paragraph}" paragraph)
    foreach(mark "，" "。" "；" "：" "、" " ")
      string(REPLACE "${mark}" "${mark}\n" paragraph "${paragraph}")
    endforeach()
    string(REPLACE "\n" ";" pieces "${paragraph}")
    set(line)
    foreach(piece IN LISTS pieces)
      string(LENGTH "${line}${piece}" length)
      if(length GREATER 72 AND NOT line STREQUAL "")
        string(STRIP "${line}" line)
        string(APPEND text "${line}\n")
        set(line)
      endif()
      string(APPEND line "${piece}")
    endforeach()
    string(STRIP "${line}" line)
    string(APPEND text "${line}\n\n")
  endforeach()
  string(STRIP "${text}" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(CPACK_PACKAGE_NAME quillbrook)
set(CPACK_PACKAGE_VENDOR "Quillbrook")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first packaging of this version; the changelog's top entry carries the same number.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "翎溪记帐财务软件 - cash journal bookkeeping")
quill_description_from_metainfo(
  ${PROJECT_SOURCE_DIR}/dist/linux/${QUILL_APP_ID}.metainfo.xml CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillbrook developers <dev@quillbrook.io>")
# Debian has no section for finance programs; theirs live in misc or their desktop's section.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries it links are found by dpkg-shlibdeps; what Qt loads at run time is named here:
# the SQLite driver, the desktop's window plugin, the Chinese font and Qt's Chinese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-qpa-plugins, fonts-wqy-microhei, qt6-translations-l10n")
# The user's guide, spreadsheets and charts open through xdg-open; without it the program says so.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_STRIP_FILES ON)
include(CPack)
