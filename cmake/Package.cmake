# A Debian package of the installed tree: cpack -G DEB in the build folder (scripts/package.sh).
# The package's dependencies are found from the binaries with dpkg-shlibdeps.
if(VARNEL_CORE_ONLY)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR "The Varnel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Varnel developers <varnel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "P25 Phase 1 trunked radio control channel monitor")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Varnel monitors the control channel of a P25 Phase 1 trunked radio system.\n"
    "A scanner tuned to the control channel passes its signalling blocks over a\n"
    "serial port; Varnel checks and decodes them and shows the live state of the\n"
    "site: identity, frequency tables, neighbours, channel activity with talkgroups\n"
    "and radios, grants, affiliations, patches and events. It runs as a desktop\n"
    "program or without a window, and includes a scanner simulator with a demo\n"
    "capture, so it can be tried without a radio.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")

# Compresses the manual pages and the change log in the staged tree, as Debian keeps them.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/CompressDocs.cmake)

include(CPack)
