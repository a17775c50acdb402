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
# The faces the interface maps its Windows fonts to; the library
# dependencies come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-liberation2, fonts-wqy-microhei")
# Wayland sessions, and the GNOME pointer settings through gsettings.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, libglib2.0-bin")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/resources/debian/postinst
    ${CMAKE_SOURCE_DIR}/resources/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
