# `cpack -G DEB` in the build folder makes a Debian package of what `cmake --install`
# puts in place, installed under /usr. Its library dependencies come from dpkg-shlibdeps,
# so they match the system it was built on.
set(CPACK_PACKAGE_NAME kalvex)
set(CPACK_PACKAGE_VENDOR "The Kalvex developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "split a large file into pieces and join them back")
# Debian wants description lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Kalvex cuts a large file into numbered pieces of a chosen size (a floppy,
a CD-R or a size you type) so that they fit onto removable media, and
writes a small two-line manifest (.splitMain) beside them. Later it
rebuilds the original file from that manifest and its pieces.
It is a Qt 6 desktop program.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kalvex.example.org/")
set(CPACK_PACKAGE_CONTACT "Kalvex developers <maintainers@kalvex.example.org>")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows are laid out for the metrics of the Liberation fonts (src/dialogs/Fonts.cpp);
# with another font their labels are cut off. dpkg-shlibdeps cannot see this.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-liberation2")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
