# The Debian package, built by `scripts/package` (cpack -G DEB in the build folder):
# everything `cmake --install` puts under /usr, the binaries stripped, the man pages
# compressed and the Debian documents added by DebianPackageDocs.cmake. The
# dependencies are what dpkg-shlibdeps finds the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorpex)
set(CPACK_PACKAGE_VENDOR Norveth)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Norveth <vorpex@norveth.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test tool for equipment and programs that talk UDP")
set(CPACK_PACKAGE_DESCRIPTION "Vorpex keeps a library of named commands in a tree (a .vpx command file),
sends them to a peer address and port, shows every datagram in a traffic
log, traces the traffic to a log file and answers by itself from an
auto-reply table (a .vpa file) of wildcard patterns and replies.

The package holds the window (vorpex, Japanese or English) and vorpex-cli,
which runs the same engine without a display for scripts and CI jobs.")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VPX_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Japanese texts for the file dialogs and question buttons; the program runs
# without them (in Qt's English), so they are recommended, not required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebianPackageDocs.cmake)
set(VPX_DEBIAN_COPYRIGHT ${CMAKE_SOURCE_DIR}/resources/debian/copyright)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackVorpex.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
  "set(VPX_DEBIAN_COPYRIGHT \"${VPX_DEBIAN_COPYRIGHT}\")\n"
  "set(VPX_DEBIAN_MAINTAINER \"${CPACK_PACKAGE_CONTACT}\")\n")
include(CPack)
