# The Debian package (scripts/package): the programs under /usr, the shipped database
# as the template of each user's data folder, the menu entry, icon and AppStream data.
include(GNUInstallDirs)
set(HT_PKG_SRC ${PROJECT_SOURCE_DIR}/resources/packaging)
set(HT_PKG_OUT ${CMAKE_BINARY_DIR}/packaging)
set(HT_DESKTOP_ID org.hearthtally.Hearthtally)
set(HT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/hearthtally)

# The day of the build stands for the release day (SOURCE_DATE_EPOCH fixes it).
string(TIMESTAMP HT_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP HT_RELEASE_YEAR "%Y" UTC)
string(TIMESTAMP HT_RELEASE_STAMP "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${HT_PKG_SRC}/${HT_DESKTOP_ID}.metainfo.xml.in ${HT_PKG_OUT}/${HT_DESKTOP_ID}.metainfo.xml @ONLY)
configure_file(${HT_PKG_SRC}/copyright.in ${HT_PKG_OUT}/copyright @ONLY)
configure_file(${HT_PKG_SRC}/changelog.in ${HT_PKG_OUT}/changelog @ONLY)
foreach(doc changelog pursewick.1)
  set(in ${HT_PKG_OUT}/${doc})
  if(doc STREQUAL "pursewick.1")
    set(in ${HT_PKG_SRC}/${doc})
  endif()
  # Debian wants them at the highest compression, without a time stamp.
  execute_process(COMMAND gzip -9nc INPUT_FILE ${in} OUTPUT_FILE ${HT_PKG_OUT}/${doc}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS pursewick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The updater only tells that the package manager updates an installed program; kept
# off the PATH, where its name would be far too general.
install(TARGETS update RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/hearthtally)
install(FILES ${HT_TEMPLATE_DB} DESTINATION ${CMAKE_INSTALL_DATADIR}/hearthtally RENAME syslibs.dll)
install(FILES ${HT_PKG_SRC}/${HT_DESKTOP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/app.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${HT_DESKTOP_ID}.svg)
install(FILES ${HT_PKG_OUT}/${HT_DESKTOP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${HT_PKG_OUT}/copyright DESTINATION ${HT_DOC_DIR})
install(FILES ${HT_PKG_OUT}/changelog.gz DESTINATION ${HT_DOC_DIR})
install(FILES ${HT_PKG_OUT}/pursewick.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# cpack packs what is built already (scripts/package builds the program first), never the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hearthtally)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${HT_VENDOR_NAME} <${HT_VENDOR_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "household bookkeeping for every member of the family")
set(CPACK_PACKAGE_DESCRIPTION "Every member of the family logs in under their own name and keeps
their own income and expense records, with categories, bank accounts, memo
notes, backups, export to spreadsheets and printing. The user interface is in
Simplified Chinese.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${HT_VENDOR_WEB})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws the SVG pictures through its plug-in, which no library links against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
