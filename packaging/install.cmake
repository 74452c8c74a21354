# Installation and the Debian package.
#
# The program folder holds what the program expects beside its executable:
# the placeholder picture, the help file, the sample catalogue ("picture",
# the default CD-ROM folder of an installed copy) and the larger pictures for
# trying registration ("new-pictures"). Installed there, the folder is
# read-only to users, so the program keeps their settings and pictures in
# their own configuration and data folders (settings/locations.h).
#
# The desktop entry, icons and AppStream metainfo go under the install
# prefix (/usr for the package, /usr/local for a plain "cmake --install").
# Only what is listed here is installed: tests, benchmarks and the sample
# generator never are.

include(GNUInstallDirs)

set(TOLVARIN_PROGRAM_DIR "/opt/tolvarin" CACHE PATH "Folder for the executable and the files beside it")
set(TOLVARIN_APP_ID "org.example.tolvarin")

set(_pkg ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(_sample ${CMAKE_CURRENT_SOURCE_DIR}/sample)

install(TARGETS tolvarin RUNTIME DESTINATION ${TOLVARIN_PROGRAM_DIR})
install(FILES ${_sample}/exe/NoImage.jpg DESTINATION ${TOLVARIN_PROGRAM_DIR})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/support/help/tolvarin.hlp DESTINATION ${TOLVARIN_PROGRAM_DIR})
install(DIRECTORY ${_sample}/picture/ DESTINATION ${TOLVARIN_PROGRAM_DIR}/picture
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(DIRECTORY ${_sample}/new/ DESTINATION ${TOLVARIN_PROGRAM_DIR}/new-pictures
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The desktop entry starts the program where it was installed.
file(READ ${_pkg}/${TOLVARIN_APP_ID}.desktop _desktop)
string(REPLACE "Exec=/opt/tolvarin/tolvarin" "Exec=${TOLVARIN_PROGRAM_DIR}/tolvarin" _desktop "${_desktop}")
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/${TOLVARIN_APP_ID}.desktop CONTENT "${_desktop}" @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/${TOLVARIN_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${_pkg}/${TOLVARIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${_pkg}/tolvarin.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${_pkg}/tolvarin-256.png DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/256x256/apps
  RENAME tolvarin.png)

# The Debian package: "cpack -G DEB" in the build folder.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tolvarin")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tolvarin developers")
set(CPACK_PACKAGE_CONTACT "Tolvarin maintainers <tolvarin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "identify wild plants and catalogue their pictures")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tolvarin maintainers <tolvarin@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.org/tolvarin/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION "Tolvarin finds wild plants by their flowering seasons, flower colours and
the forms of flower, stem and leaves, shows the matching species as a grid of
pictures with their memos, and lets you register, correct and delete species
and pictures. A sample catalogue of forty plants is included.

The program is installed in /opt/tolvarin. Settings are kept in
~/.config/tolvarin and registered pictures in ~/.local/share/tolvarin.
The user interface is in Japanese.")
include(CPack)
