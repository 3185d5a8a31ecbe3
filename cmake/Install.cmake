# Installation and the Debian package.
#
#   cmake --install <build folder> [--prefix DIR]   the editor, reelwright-cli, the guide, the
#                                                   menu entry, the icons and the project file type
#   (cd <build folder> && cpack -G DEB)             reelwright_<version>_<arch>.deb
#
# The editor looks for its guide beside its own resolved executable, so the executable and the
# guide live together in a private folder and bin/reelwright is a relative symbolic link to it.

include(GNUInstallDirs)

set(RW_INSTALL_APPDIR "lib/reelwright" CACHE STRING
  "Folder (relative to the install prefix) for the editor's executable and its guide")

install(TARGETS reelwright-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS reelwright RUNTIME DESTINATION ${RW_INSTALL_APPDIR})

# bin/reelwright -> ../lib/reelwright/reelwright, made in the build tree and installed as a link.
if(IS_ABSOLUTE "${RW_INSTALL_APPDIR}")
  set(rw_appdir_full "${RW_INSTALL_APPDIR}")
else()
  set(rw_appdir_full "${CMAKE_INSTALL_PREFIX}/${RW_INSTALL_APPDIR}")
endif()
file(RELATIVE_PATH rw_editor_link "${CMAKE_INSTALL_FULL_BINDIR}" "${rw_appdir_full}/reelwright")
set(rw_link_dir ${PROJECT_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${rw_link_dir})
file(CREATE_LINK ${rw_editor_link} ${rw_link_dir}/reelwright SYMBOLIC)
install(FILES ${rw_link_dir}/reelwright DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop integration: menu entry, icons (scalable only), the project file type.
set(rw_packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${rw_packaging}/reelwright.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${rw_packaging}/reelwright.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${rw_packaging}/application-x-reelwright-project.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
install(FILES ${rw_packaging}/reelwright-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME reelwright.xml)

# An install straight into its prefix refreshes the desktop's caches, so that the project file
# type, the menu entry and the icon take effect at once. Staged installs (DESTDIR, or the staging
# folder of a package build) leave that to the package manager's triggers.
install(CODE "set(rw_datadir \"${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND NOT CMAKE_INSTALL_PREFIX MATCHES "/_CPack_Packages/")
    if(IS_ABSOLUTE "${rw_datadir}")
      set(rw_share "${rw_datadir}")
    else()
      set(rw_share "${CMAKE_INSTALL_PREFIX}/${rw_datadir}")
    endif()
    find_program(rw_update_mime update-mime-database)
    find_program(rw_update_desktop update-desktop-database)
    find_program(rw_update_icons gtk-update-icon-cache)
    if(rw_update_mime)
      message(STATUS "Refreshing ${rw_share}/mime")
      execute_process(COMMAND ${rw_update_mime} "${rw_share}/mime")
    endif()
    if(rw_update_desktop)
      execute_process(COMMAND ${rw_update_desktop} -q "${rw_share}/applications")
    endif()
    # Only a cache that exists already is kept up to date; without one the icons are found anyway.
    if(rw_update_icons AND EXISTS "${rw_share}/icons/hicolor/icon-theme.cache")
      execute_process(COMMAND ${rw_update_icons} -q -t -f "${rw_share}/icons/hicolor")
    endif()
  endif()
]])

# The Debian package. Library dependencies come from dpkg-shlibdeps (dpkg-dev); the Qt platform
# plugins and the window's Japanese font are named explicitly, as no library link reveals them.
set(CPACK_PACKAGE_NAME reelwright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Reelwright")
set(RW_PACKAGE_CONTACT "Reelwright maintainers <maintainers@reelwright.invalid>" CACHE STRING
  "Maintainer named in the Debian package")
set(CPACK_PACKAGE_CONTACT "${RW_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "video cut editor compiling cuts, stills and wipes into AVI movies")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Reelwright lays cuts from AVI files, still pictures (BMP, TGA) and single-colour"
  "mats end to end on one 30 fps timeline, joins them with wipes, irises or"
  "cross-fades, anchors WAV or AVI sound to cuts, and compiles the result into one"
  "AVI movie with a chosen compressor, copying unchanged source frames where it can."
  "Projects are saved as text files (.rwe)."
  ""
  "The package holds the editor (Japanese interface, with its user guide) and"
  "reelwright-cli, the command-line companion that inspects, renders and compiles"
  "projects without a display.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic | fonts-noto-cjk")
# Recommended: xdg-utils opens the guide in the desktop's browser; Qt's Japanese translations
# make Qt's own buttons and file dialogs Japanese like the rest of the window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
include(CPack)
