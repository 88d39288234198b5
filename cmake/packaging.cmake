# Desktop entry, icon and the Debian package.

install(FILES ${CMAKE_SOURCE_DIR}/data/skyhook.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/skyhook.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(SKYHOOK_MAINTAINER "Skyhook maintainers <skyhook@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME skyhook)
set(CPACK_PACKAGE_VENDOR "Skyhook")
set(CPACK_PACKAGE_CONTACT "${SKYHOOK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-dimensional physics sandbox with a ship and a crane car")
set(CPACK_PACKAGE_DESCRIPTION "\
A flat, weightless ship flies over an endless mountain landscape that
scrolls on demand. It hangs a car with a robot-arm crane from a cable,
drops it and picks it up again, while debris falls from the mountains.
Every body is made of a metal, named on the console when the ship touches it.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SKYHOOK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The packages that hold the libraries the program links (the package test
# checks each of them against the binary): Box2D, SDL 1.2, freeglut, GLU and
# the OpenGL dispatch library, plus the C and C++ runtimes. libgl1 carries the
# GLX side that freeglut and SDL open the window through.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libbox2d2 (>= 2.4), libsdl1.2debian (>= 1.2.15), libglut3.12, libglu1-mesa, libopengl0, libgl1, libstdc++6, libgcc-s1, libc6")

include(CPack)
