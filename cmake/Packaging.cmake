# The Debian package, made by `cpack -G DEB` in the build folder: the installed files
# under /usr, dependencies worked out from the program's shared libraries, plus what it
# starts (xdg-utils for mail and links) and what Qt needs to open a window.
set(CPACK_PACKAGE_NAME jotterly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}) # all four numbers, as the program reports them
set(CPACK_PACKAGE_VENDOR "Brivel Software")
set(CPACK_PACKAGE_CONTACT "Brivel Software <support@brivel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small, fast notes keeper in the notification area")
set(CPACK_PACKAGE_DESCRIPTION "Brivel Jotterly keeps short memos in a two-level outline of memos
and sub-memos, typed and edited in place, sorted, filtered by search, moved by menu or
drag, saved as text or HTML, printed, mailed, and backed up to a compressed file.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.brivel.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, qt6-qpa-plugins")
# The program keeps the user's memos in the home folder; the package never touches them.
include(CPack)
