# Where the programs and their files go on a Linux desktop, and the Debian
# package built from that (cpack -G DEB).
include(GNUInstallDirs)

set(ZELDL_DATA ${PROJECT_SOURCE_DIR}/data)
# Read by Help (HelpTarget.cpp): not under share/doc, which minimal systems
# leave out; a link there points to it.
set(ZELDL_GUIDE_DESTINATION ${CMAKE_INSTALL_DATADIR}/zeldl/guide)
set(ZELDL_DOC_DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zeldl)
set(ZELDL_MAINTAINER "ZEL Download Utility maintainers <zeldl@support.example.com>")
set(ZELDL_HOMEPAGE "https://support.example.com/zel-download-utility/")

# Run from the build folder, Help finds the guide in the source tree.
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/platform/HelpTarget.cpp
  DIRECTORY ${PROJECT_SOURCE_DIR}/src/platform APPEND PROPERTY
  COMPILE_DEFINITIONS ZELDL_SOURCE_GUIDE_DIR="${PROJECT_SOURCE_DIR}/docs/guide")

# Each program with its manual page (compressed, as Debian wants them).
set(ZELDL_MAN_PAGES)
foreach(program zeldl zelsim zeldl-cli)
  if(NOT TARGET ${program})
    continue()
  endif()
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(page ${PROJECT_SOURCE_DIR}/docs/man/${program}.1)
  if(NOT EXISTS ${page})
    message(AUTHOR_WARNING "${program} has no manual page: docs/man/${program}.1")
    continue()
  endif()
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${page} > ${compressed}
    DEPENDS ${page} VERBATIM)
  list(APPEND ZELDL_MAN_PAGES ${compressed})
endforeach()
if(ZELDL_MAN_PAGES)
  add_custom_target(zeldl_man_pages ALL DEPENDS ${ZELDL_MAN_PAGES})
  install(FILES ${ZELDL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(TARGET zeldl)
  install(FILES ${ZELDL_DATA}/zeldl.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ZELDL_DATA}/com.example.zeldl.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(DIRECTORY ${ZELDL_DATA}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES ${ZELDL_DATA}/icons/zeldl.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/guide/ DESTINATION ${ZELDL_GUIDE_DESTINATION})
  # The guide shows them as ../screenshots/, as in the source tree.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/screenshots/
    DESTINATION ${CMAKE_INSTALL_DATADIR}/zeldl/screenshots FILES_MATCHING PATTERN "*.png")
  file(RELATIVE_PATH guide_from_doc /${ZELDL_DOC_DESTINATION} /${ZELDL_GUIDE_DESTINATION})
  install(CODE "
    set(doc \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZELDL_DOC_DESTINATION}\")
    file(MAKE_DIRECTORY \"\${doc}\")
    file(CREATE_LINK ${guide_from_doc} \"\${doc}/guide\" SYMBOLIC)")
endif()

# The Debian package's own documents: its changelog for this version and the
# copyright notice.
configure_file(${ZELDL_DATA}/debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz
  COMMAND gzip -9 -n -f -k ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog VERBATIM)
add_custom_target(zeldl_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${ZELDL_DATA}/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz
  DESTINATION ${ZELDL_DOC_DESTINATION})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zeldl)
set(CPACK_PACKAGE_VENDOR "Corvane")
set(CPACK_PACKAGE_CONTACT ${ZELDL_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZELDL_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its display plugins at run time, so no library check finds them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "load applications, formats and lookups into ZEL label printers
The ZEL Download Utility loads ZEL applications, format files and lookup
tables into label printers and a keypad terminal, over a serial port or a
TCP/IP connection (raw port 9100), and judges the printer's replies.

It comes with zelsim, a virtual printer that speaks the printer side of the
protocol, so that the utility can be tried without hardware.")
include(CPack)
