# The Debian package: `cpack -G DEB` in a build folder makes quorvel_<version>_<arch>.deb
# from what the install rules put under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR Quorvel)
set(CPACK_PACKAGE_CONTACT "Quorvel <dev@quorvel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "job-board watch: polls a board for the companies and positions you name")
set(CPACK_PACKAGE_DESCRIPTION "\
Quorvel asks a job board at a chosen interval for the postings of up to five
companies and shows those whose title contains the position you are after.
tallowfinch is the desktop program, quorvel-cli runs one search without a
window, and /usr/share/quorvel holds a local demo board to try them against.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The first Debian revision of the project's version; packaging/changelog names the same.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Addresses from the announcement page open in the user's browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS xdg-utils)
# The default board is the demo on loopback, which needs Python; every text of the window
# is Chinese, which needs a font that has the characters, and Qt's translations turn the
# web pane's menu and error page Chinese too.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "python3, fonts-noto-cjk | fonts-wqy-microhei, qt6-translations-l10n")

include(CPack)
