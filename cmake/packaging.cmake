# Installation and the Debian package (cpack -G DEB, see tools/package.sh).
# Only the two programs and their data files are installed: the libraries
# are static and the tests have no install rules.
include(GNUInstallDirs)

set(DSC_PACKAGE_MAINTAINER "Drive Service Console developers <drive-console@users.noreply.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Manual pages and the changelog carry the project version and are installed
# compressed, as Debian expects.
# Dates follow SOURCE_DATE_EPOCH when it is set (tools/package.sh sets it to
# the time of the last commit), so that a rebuild gives the same files.
string(TIMESTAMP DSC_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP DSC_RELEASE_DATE "%Y-%m-%d" UTC)
set(DSC_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
set(DSC_COMPRESSED_DOCS)
foreach(doc drive-console.1 drive-sim.1 changelog)
  set(in ${CMAKE_SOURCE_DIR}/packaging/${doc})
  if(doc STREQUAL "changelog")
    set(in ${in}.in)
  endif()
  configure_file(${in} ${DSC_PACKAGING_OUT}/${doc} @ONLY)
  add_custom_command(
    OUTPUT ${DSC_PACKAGING_OUT}/${doc}.gz
    COMMAND gzip -9nf -k ${doc}
    DEPENDS ${DSC_PACKAGING_OUT}/${doc}
    WORKING_DIRECTORY ${DSC_PACKAGING_OUT}
    VERBATIM)
  list(APPEND DSC_COMPRESSED_DOCS ${DSC_PACKAGING_OUT}/${doc}.gz)
endforeach()
add_custom_target(dsc_docs ALL DEPENDS ${DSC_COMPRESSED_DOCS})

install(TARGETS drive-console drive-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DSC_PACKAGING_OUT}/drive-console.1.gz ${DSC_PACKAGING_OUT}/drive-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/drive-console.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/icons/drive-console.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES packaging/icons/drive-console-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME drive-console.png)
endforeach()
install(FILES packaging/copyright ${DSC_PACKAGING_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/drive-console)

if(DSC_BUILD_TESTS)
  add_test(NAME man_page_documents_every_option
           COMMAND ${CMAKE_SOURCE_DIR}/tools/check-manpage.sh $<TARGET_FILE:drive-console>
                   ${CMAKE_SOURCE_DIR}/packaging/drive-console.1)
  add_test(NAME simulator_man_page_documents_every_option
           COMMAND ${CMAKE_SOURCE_DIR}/tools/check-manpage.sh $<TARGET_FILE:drive-sim>
                   ${CMAKE_SOURCE_DIR}/packaging/drive-sim.1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME drive-console)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Drive Service Console developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service console for an electric-drive motor controller")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DSC_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The panels carry Chinese captions, as shipped too; the default fonts lack
# the glyphs. (CPack adds the libraries' packages found by shlibdeps.)
# Qt's own dialogs in Chinese come from Debian's translations of Qt.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary line above this text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The console reads, sets and tests an electric-drive motor controller over an
RS-232 line as a Modbus RTU master: it unlocks the controller, polls and
shows its live status, edits its parameters on six pages and drives its
motor-test registers from a debug panel.
.
The package also holds drive-sim, a simulated controller on a
pseudo-terminal. Opening a serial device needs membership of the group
dialout.")
include(CPack)
