# The Debian package: `cpack -G DEB` in a build folder, after building it (a Release build is meant).
# Library dependencies come from dpkg-shlibdeps (dpkg-dev); the desktop's caches (MIME types, desktop
# entries, icons) are brought up to date by the triggers of the packages that own them.

# The copyright file (machine-readable, naming the licence of every file) and the changelog, where Debian
# looks for them; installed by every build, so `cmake --install` gives them to any package.
set(TAMRIX_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/tamrix")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" DESTINATION "${TAMRIX_DOC_DIR}")
configure_file("${PROJECT_SOURCE_DIR}/packaging/changelog.in" "${PROJECT_BINARY_DIR}/packaging/changelog" @ONLY)
find_program(TAMRIX_GZIP gzip)
if(TAMRIX_GZIP)
  add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/packaging/changelog.gz"
    COMMAND "${TAMRIX_GZIP}" -9 -n -c "${PROJECT_BINARY_DIR}/packaging/changelog"
            > "${PROJECT_BINARY_DIR}/packaging/changelog.gz"
    DEPENDS "${PROJECT_BINARY_DIR}/packaging/changelog"
    COMMENT "Compressing the changelog")
  add_custom_target(tamrix_changelog ALL DEPENDS "${PROJECT_BINARY_DIR}/packaging/changelog.gz")
  install(FILES "${PROJECT_BINARY_DIR}/packaging/changelog.gz" DESTINATION "${TAMRIX_DOC_DIR}")
else()
  install(FILES "${PROJECT_BINARY_DIR}/packaging/changelog" DESTINATION "${TAMRIX_DOC_DIR}")
endif()

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
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
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
