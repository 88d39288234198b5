# What a user gets besides the program: desktop entry, icon, manual page,
# AppStream metadata, copyright and changelog; and the Debian package.

# A package built from a fork names its own maintainer and home (see the README).
set(SKYHOOK_MAINTAINER "Skyhook maintainers <skyhook@example.org>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")
set(SKYHOOK_HOMEPAGE "https://skyhook.example.org/"
    CACHE STRING "Home page named in the package and the AppStream metadata")
set(SKYHOOK_SCREENSHOT_URL "https://skyhook.example.org/docs/screenshot.png"
    CACHE STRING "Where the README's picture is published, for software centres")
set(SKYHOOK_APPSTREAM_ID "org.example.skyhook"
    CACHE STRING "AppStream component id, in the reverse-DNS of the home page")

set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)

# The copyright file is the LICENSE in Debian's machine-readable form.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE license_lines)
list(FILTER license_lines EXCLUDE REGEX "^MIT License$")
list(GET license_lines 1 copyright_line)
string(REGEX REPLACE "^Copyright \\(c\\) " "" SKYHOOK_COPYRIGHT "${copyright_line}")
list(REMOVE_AT license_lines 0 1)
set(SKYHOOK_LICENSE_TEXT "")
foreach(line IN LISTS license_lines)
  if(line STREQUAL "")
    string(APPEND SKYHOOK_LICENSE_TEXT " .\n")
  else()
    string(APPEND SKYHOOK_LICENSE_TEXT " ${line}\n")
  endif()
endforeach()
string(REGEX REPLACE "^ \\.\n" "" SKYHOOK_LICENSE_TEXT "${SKYHOOK_LICENSE_TEXT}")
string(REGEX REPLACE "\n$" "" SKYHOOK_LICENSE_TEXT "${SKYHOOK_LICENSE_TEXT}")

set(generated ${PROJECT_BINARY_DIR}/data)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/copyright.in ${generated}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${generated}/changelog.Debian @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/skyhook.metainfo.xml.in
               ${generated}/${SKYHOOK_APPSTREAM_ID}.metainfo.xml @ONLY)

# Debian wants these compressed without a timestamp; done at configure time so
# that installing after building the program alone finds them.
foreach(source IN ITEMS ${PROJECT_SOURCE_DIR}/data/skyhook.6 ${generated}/changelog.Debian)
  get_filename_component(name ${source} NAME)
  execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${generated}/${name}.gz
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${source} failed")
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/skyhook.6)

install(FILES ${PROJECT_SOURCE_DIR}/data/skyhook.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/skyhook.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# PNGs of the same art for menus that cannot read SVG (rendered by cmake/icons.cmake).
foreach(size IN LISTS SKYHOOK_ICON_SIZES)
  install(FILES ${SKYHOOK_ICON_DIR}/${size}x${size}/skyhook.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${generated}/skyhook.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${generated}/${SKYHOOK_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/copyright ${generated}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME skyhook)

set(CPACK_PACKAGE_NAME skyhook)
set(CPACK_PACKAGE_VENDOR "Skyhook")
set(CPACK_PACKAGE_CONTACT "${SKYHOOK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-dimensional physics sandbox with a ship and a crane car")
set(CPACK_PACKAGE_DESCRIPTION "\
A flat, weightless ship flies over an endless mountain landscape that
scrolls on demand. It hangs a car with a robot-arm crane from a cable,
drops it and picks it up again, while debris falls from the mountains.
Every body is made of a metal, named on the console when the ship touches it.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SKYHOOK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${SKYHOOK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps reads the dependencies off the program. SDL opens libGL.so.1
# with dlopen when it makes the OpenGL context, which the program's own
# dynamic section does not show: that one is named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")

include(CPack)
