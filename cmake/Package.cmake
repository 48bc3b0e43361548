# The Debian package of the program, made with `cpack -G DEB` in the build
# folder: the files of `cmake --install` under /usr.
set(CPACK_PACKAGE_NAME yomikaki)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Yomikaki developers")
set(CPACK_PACKAGE_CONTACT "The Yomikaki developers <developers@yomikaki.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plain-text editor for Japanese Shift-JIS files")
set(CPACK_PACKAGE_DESCRIPTION
    "Yomikaki is a fast and dependable plain-text editor for Japanese users.\n"
    "It reads and writes documents in Shift-JIS (code page 932) byte for byte,\n"
    "wraps lines with Japanese line-break rules, colours reserved words, strings\n"
    "and bracket pairs, and keeps a version history of the documents it edits.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The installed program carries no debug information; a build folder keeps it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME yomikaki)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://yomikaki.example.org/)
# Shared libraries are found by dpkg-shlibdeps (libqt6svg6 among them, which
# also holds the SVG plugins that draw the window and file icons); what the
# program loads at run time is named here: the Japanese font it shows
# documents and its windows in, and Qt's Japanese translation of the
# toolkit's buttons and dialogs. Recommended: an emoji font, so that emoji in
# UTF-8 documents show in colour rather than as empty boxes, and Qt's
# Wayland plugin, without which a Wayland desktop runs the program through
# X11 and cannot hand activation tokens to the compositor.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-color-emoji, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/bench-data/")
include(CPack)
