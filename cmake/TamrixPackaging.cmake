# The Debian package: `cpack -G DEB` in a build folder, after building it (a Release build is meant).
# Library dependencies come from dpkg-shlibdeps (dpkg-dev); the desktop's caches (MIME types, desktop
# entries, icons) are brought up to date by the triggers of the packages that own them.

set(CPACK_PACKAGE_NAME "tamrix")
set(CPACK_PACKAGE_VENDOR "The Tamrix developers")
set(CPACK_PACKAGE_CONTACT "Tamrix developers <dev@tamrix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the per-user defaults database")
set(CPACK_PACKAGE_DESCRIPTION
    "Tamrix edits the per-user defaults database: the store in which programs
keep their preferences as domains, each a named dictionary of property-list
values. On Linux this is GNUstep's per-user defaults folder, one property-list
file per domain. One window shows the list of domains beside the keys of the
selected domain as a tree. Domains can be found, created, deleted, saved,
reloaded, and carried to another computer as exchange files.
The tamrix-tool command reads and writes property lists, the defaults store
and exchange files from the command line.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "tamrix")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Wayland platform plugin; without it Tamrix runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnustep-base-runtime")

include(CPack)
