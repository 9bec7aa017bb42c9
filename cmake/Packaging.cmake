# Installing the reader into a prefix (`cmake --install build --prefix PREFIX`) and packing that
# as a Debian package (`cpack`). Everything installed belongs to the component "reader"; tests,
# benchmarks and tools install nothing.
#
#   bin/Qm_TextLumo                                   the reader
#   lib/qm-textlumo/libQm_ImgScrollBar.so             the control it loads at run time
#   share/qm-textlumo/{skin,banner}/                  the skin bitmaps and the banner page
#   share/applications/ID.desktop                     desktop entry     (ID = READER_APP_ID)
#   share/metainfo/ID.metainfo.xml                    AppStream metadata
#   share/icons/hicolor/{NxN,scalable}/apps/ID.*      the icon
#   share/doc/qm-textlumo/{copyright,changelog.gz}    the licences, the release notes
#   share/man/man1/Qm_TextLumo.1.gz                   the manual page
include(GNUInstallDirs)

# The reader finds its files from where its executable lies (../share/qm-textlumo and
# ../lib/qm-textlumo), so these folders are fixed: not the multiarch library folder Debian's
# CMAKE_INSTALL_LIBDIR names, and no other bin or share than the usual ones.
if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATAROOTDIR STREQUAL "share")
  message(FATAL_ERROR "The reader looks for its files in ../share and ../lib beside its bin "
          "folder: CMAKE_INSTALL_BINDIR must be \"bin\" and CMAKE_INSTALL_DATAROOTDIR \"share\".")
endif()
set(READER_INSTALL_DATADIR ${CMAKE_INSTALL_DATAROOTDIR}/qm-textlumo)
set(READER_INSTALL_LIBDIR lib/qm-textlumo)

install(TARGETS Qm_TextLumo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT reader)
install(TARGETS Qm_ImgScrollBar LIBRARY DESTINATION ${READER_INSTALL_LIBDIR} COMPONENT reader)
install(FILES ${SKIN_FILES} DESTINATION ${READER_INSTALL_DATADIR}/skin COMPONENT reader)
install(FILES ${APP_DIR}/banner/lumo_book.html DESTINATION ${READER_INSTALL_DATADIR}/banner
        COMPONENT reader)
# The icon tree of the application folder, file by file, as the theme's own folders.
foreach(icon IN LISTS ICON_FILES)
  file(RELATIVE_PATH rel ${ICON_DIR} ${icon})
  get_filename_component(rel_dir ${rel} DIRECTORY)
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${rel_dir}
          COMPONENT reader)
endforeach()

# The desktop entry and the metainfo file, named by the desktop id.
# The release date of PROJECT_VERSION, for the metainfo's <releases> and the changelog's top entry;
# set both together.
set(READER_RELEASE_DATE "2026-12-08")
string(REPLACE "&" "&amp;" READER_SITE_URL_XML "${READER_SITE_URL}")
string(REPLACE "<" "&lt;" READER_SITE_URL_XML "${READER_SITE_URL_XML}")
string(REPLACE ">" "&gt;" READER_SITE_URL_XML "${READER_SITE_URL_XML}")
set(READER_DESKTOP_FILE ${CMAKE_BINARY_DIR}/packaging/${READER_APP_ID}.desktop)
set(READER_METAINFO_FILE ${CMAKE_BINARY_DIR}/packaging/${READER_APP_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/packaging/reader.desktop.in ${READER_DESKTOP_FILE} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/reader.metainfo.xml.in ${READER_METAINFO_FILE} @ONLY)
install(FILES ${READER_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications
        COMPONENT reader)
install(FILES ${READER_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo
        COMPONENT reader)

# The package's documents in share/doc/qm-textlumo: the copyright file (Debian's machine-readable
# format) and the changelog, whose top entry is this version on its release date; and the manual
# page. The changelog and the page go compressed, as Debian keeps them (gzip -9n: no name, no
# time, so the same sources make the same bytes).
set(READER_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/qm-textlumo)
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C date -u -R -d ${READER_RELEASE_DATE}
                OUTPUT_VARIABLE READER_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE date_result)
if(NOT date_result EQUAL 0)
  message(FATAL_ERROR "READER_RELEASE_DATE \"${READER_RELEASE_DATE}\" is no date (YYYY-MM-DD)")
endif()
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog
               @ONLY)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
# Compresses source into the build's packaging/name, at build time.
function(reader_gzip source name)
  set(out ${CMAKE_BINARY_DIR}/packaging/${name})
  add_custom_command(OUTPUT ${out} COMMAND ${GZIP_EXECUTABLE} -9n -c ${source} > ${out}
                     DEPENDS ${source} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY READER_GZIPPED ${out})
endfunction()
reader_gzip(${CMAKE_BINARY_DIR}/packaging/changelog changelog.gz)
reader_gzip(${CMAKE_SOURCE_DIR}/packaging/Qm_TextLumo.1 Qm_TextLumo.1.gz)
get_property(READER_GZIPPED GLOBAL PROPERTY READER_GZIPPED)
add_custom_target(package_documents ALL DEPENDS ${READER_GZIPPED})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${READER_INSTALL_DOCDIR} COMPONENT reader)
install(FILES ${CMAKE_BINARY_DIR}/packaging/Qm_TextLumo.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT reader)

# The Debian package: qm-textlumo_<version>_<arch>.deb, the reader component under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qm-textlumo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumo Book developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader of plain-text books as a printed two-page spread")
# Debian wraps nothing: lines of the long description stay under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Lumo Book (루모북) presents plain-text books as a printed book: a two-page
spread in a hardcover frame under a tool bar of picture buttons. It is made
for long Korean novels in UTF-8, UTF-16 or CP949 text files, also packed in
ZIP or RAR archives, and reopens the last book at the same place with its
font, colours and bookmark. The interface is Korean.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};reader;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lumo Book developers <dev@lumobook.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${READER_SITE_URL})
# Beside the libraries dpkg-shlibdeps finds (cmake/PackageDepends.cmake, run by cpack, adds them
# without the ldconfig calls cpack's own run would bring): the font the reader lays books out in,
# and Qt's platform plugins, without which it cannot open a window (libqt6gui6 only recommends
# them).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/PackageDepends.cmake)
set(CPACK_READER_BINARIES_FILE ${CMAKE_BINARY_DIR}/packaging/shlibdeps/binaries.txt)
set(CPACK_READER_SHLIBDEPS_DIR ${CMAKE_BINARY_DIR}/packaging/shlibdeps)
file(GENERATE OUTPUT ${CPACK_READER_BINARIES_FILE}
     CONTENT "$<TARGET_FILE:Qm_TextLumo>\n$<TARGET_FILE:Qm_ImgScrollBar>\n")
# Qt's Korean translations, for the standard dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
