# The Debian package, made by `cpack` in the build folder after
# `cmake --build <build> --target kiv_package_programs` (see README.md). Its
# dependencies are computed by dpkg-shlibdeps from the programs' libraries,
# so the Qt runtime packages follow whatever the build linked; only the
# platform plugins are added by hand (below).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kiv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kiv developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "gas volume corrector read-out and reports (GazModem)")
set(CPACK_PACKAGE_DESCRIPTION
    "Kiv reads electronic gas volume correctors over a serial line, a dialled modem or a
portable data transporter, keeps their archives, events and current values in a
data folder, and turns them into reports, graphs, exports and an analysis of the
ordered capacity. The package holds kiv, kiv-cli, the device simulator kiv-devsim,
the demo data generator kiv-demodata and the demo device profiles.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Kiv developers <kiv@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins (the X11 and Wayland back ends) at run time, so
# no linked library names them and libqt6gui6 only recommends them: without
# them kiv does not start. They are the one runtime package listed by hand.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# The reports are laid out for Arial Narrow and Times New Roman; Liberation
# Sans Narrow and Liberation Serif have their metrics.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
include(CPack)
