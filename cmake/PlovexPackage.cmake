# The Debian package, made by CPack from the install rules (scripts/package).
# Its dependencies are computed from the binary (dpkg-shlibdeps), plus what
# the binary loads without linking: the toolkit's platform plugins for the
# window and the font that stands in for "Arial".
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plovex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kestrune")
set(CPACK_PACKAGE_CONTACT "Plovex developers <plovex@kestrune.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "traffic monitor for routers and other SNMP agents")
# Wrapped for the package managers' 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Plovex polls two SNMP counters of one host, such as the input and output"
  "octets of a home router's WAN interface, every few seconds, turns them into"
  "bytes per second and draws a scrolling two-channel graph in a small window,"
  "with a live miniature of the graph as its tray icon."
  "."
  "It shows five more SNMP values as text on the graph, keeps megabyte totals"
  "across counter wraps, and writes the graph as GIF files, also without a"
  "window (plovex --headless, with a systemd user service) for a web page.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcrypto is loaded at run time for SNMP version 3, so the shared library
# dependencies cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation, libssl3 | libssl3t64")
# The toolkit's Wayland platform, so that a Wayland session runs Plovex
# natively (XWayland serves without it).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Installing builds only what is installed, not every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
