# `cpack -G DEB` in the build folder makes qvr_<version>_<arch>.deb from the
# install rules, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qvr)
set(CPACK_PACKAGE_VENDOR "The QVR developers")
set(CPACK_PACKAGE_CONTACT "The QVR developers <qvr-devel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure the 04D9:A0F4 eight-button gaming mouse")
set(CPACK_PACKAGE_DESCRIPTION
    "Gives each of the eight buttons of the 04D9:A0F4 gaming mouse a function, sets
its DPI stages and colours, report rate, lighting and sensitivity, records
keyboard macros and keeps six named profiles. Includes qvrctl, a command-line
tool for scripts and bug reports, and the udev rule that lets the user at the
seat open the mouse without root.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The faces the interface maps its Windows fonts to, and Qt's platform
# plugins (xcb, wayland's loader), which libqt6gui6 only recommends: without
# them the window cannot start. The library dependencies come from
# dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-dejavu-core, fonts-liberation2, fonts-wqy-microhei, qt6-qpa-plugins")
# Wayland sessions, and the schema of GNOME's mouse settings, which the
# window reads and writes through GIO (libgio-2.0, opened at its first use;
# its package libglib2.0-0 comes in through shlibdeps, as qvr links GLib);
# without the schema a Save notes the desktop's pointer settings as missing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, gsettings-desktop-schemas")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/resources/debian/postinst
    ${CMAKE_SOURCE_DIR}/resources/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)

# What Debian asks of every package's documentation folder: the copyright
# file in the machine-readable format and the changelog, compressed as a
# native package's. The lintian overrides say why each tag they silence stays.
set(QVR_DOC_DIR ${CMAKE_BINARY_DIR}/share/doc/qvr)
configure_file(${CMAKE_SOURCE_DIR}/resources/debian/changelog.in
               ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${QVR_DOC_DIR}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QVR_DOC_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/packaging/changelog ${QVR_DOC_DIR}/changelog
    COMMAND gzip -9nf ${QVR_DOC_DIR}/changelog
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(qvr_package_docs ALL DEPENDS ${QVR_DOC_DIR}/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright ${QVR_DOC_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME qvr)
