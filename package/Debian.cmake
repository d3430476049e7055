# "make package": a Debian package of everything "cmake --install" installs, built by CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "Die Orvane-Entwickler")
set(CPACK_PACKAGE_CONTACT "Die Orvane-Entwickler <orvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find files by pattern and rename them in bulk")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvane finds files by a wildcard or regular-expression pattern and renames them in bulk by
a replacement pattern with groups, counters and upper or lower case, with a preview, undo, a
second mode that changes file times and attributes, and stored patterns. Its user interface is
German. orvane-cli does the same on the command line.")
# The example patterns go to /etc/xdg, outside the prefix: install with DESTDIR so that the
# install rules see the real prefix /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/orvane/")

# The libraries the programs link come from dpkg-shlibdeps. What they load at run time is not
# linked and must be named: the SVG plugins draw the program icon and the toolbar, and Qt's
# German texts are the standard buttons and key names of a German program.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
find_program(ORVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ORVANE_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  # Without dpkg-dev (scripts/install-deps brings it): the Debian 12 packages of what we link.
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         ", libc6, libstdc++6, libgcc-s1, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4),"
         " libqt6widgets6 (>= 6.4), libqt6dbus6 (>= 6.4), libicu${ICU_VERSION_MAJOR}")
endif()

# The machine's patterns are the administrator's to change: dpkg keeps such changes on update.
if(ORVANE_XDG_CONFIG_DIR STREQUAL ORVANE_XDG_CONFIG_DIR_AUTO)
  set(_orvane_conffile /etc/xdg/Orvane/Orvane.reg)
else()
  set(_orvane_conffile ${ORVANE_XDG_CONFIG_DIR}/Orvane/Orvane.reg)
endif()
file(WRITE ${CMAKE_BINARY_DIR}/package/conffiles "${_orvane_conffile}\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/package/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
