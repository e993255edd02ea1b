# cpack -G DEB: a Debian package of everything `cmake --install` puts under
# /usr. The library dependencies are found by dpkg-shlibdeps (dpkg-dev).
set(CPACK_PACKAGE_NAME "tallyleaf")
set(CPACK_PACKAGE_VENDOR "Lantern")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Diary with an entry for every day")
set(CPACK_PACKAGE_DESCRIPTION
  "Tally Leaf is a diary for one person: an entry with a title, the weather and\n"
  "formatted text for every day, notes for months and years, coloured and\n"
  "blinking titles, attached files and pictures, sticky notes, find across\n"
  "days, export, import and merge, an automatic backup at every start and an\n"
  "optional password. tallyleaf-cli works on the same diary from a terminal.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tally Leaf developers <tallyleaf@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# F1 opens the user guide in the browser through xdg-open; the others bring
# a native Wayland window and TIFF pictures among the attachments.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland, qt6-image-formats-plugins")
set(CPACK_GENERATOR "DEB")
include(CPack)
