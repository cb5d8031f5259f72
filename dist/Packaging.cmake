# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by CPack from the install rules: "scripts/package" builds it.
# The package's dependencies are worked out from the libraries the program and its
# module really link (dpkg-shlibdeps), so they follow whatever Qt and ALSA the build used.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sarvendo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Sarvendo developers")
set(CPACK_PACKAGE_CONTACT "${SARVENDO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "modem status lights for the serial line")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Whatever the umask of the one who builds it, the package's directories are 0755.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageDirectoryModes.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Debian revision makes the version 0.1.0-1: a package of this upstream release,
# with its Debian changelog beside the upstream one (dist/Releases.cmake).
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SARVENDO_DEBIAN_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SARVENDO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${SARVENDO_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt libraries only recommend their platform plugins, yet without them the program
# cannot show a window at all: the X11 one (qt6-qpa-plugins) and the Wayland one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
# xdg-open opens the About page's links and the logs; the setup dialog is drawn in
# DejaVu Sans, its pixel sizes fitted to that face.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ppp")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description; CPack puts the summary above it and indents it as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Sarvendo shows the state of a modem's serial line as a row of status lamps,
like the front panel of an external modem: CD, RI, CTS, DSR, TD, RD and, in
two layouts, DTR, RTS and a high-speed lamp. The lamps appear in a small
window of their own, in the caption of the active window and as a tray icon.

It keeps the session and total connect time, the bytes sent and received and
the transfer rate, logs incoming calls and connections, plays sounds on ring,
connect, disconnect and inactivity, warns about an idle connection and can
hang it up. Without a modem it runs on a simulated one.")

include(CPack)
