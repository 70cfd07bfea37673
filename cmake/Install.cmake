# Install rules (GNU layout) and the build tree's copy of the program's data.
#
# The program finds its data relative to its executable: <bin>/../share/varnel when installed,
# <bin>/share/varnel in the build tree. The data is staged into the build tree here, so a program
# run from the build folder finds it the same way; nothing else points at the source tree.
include(GNUInstallDirs)

set(VARNEL_DATA_FILES demo/demo-capture.txt profiles/Example-Binary.scanner profiles/Example-Text.scanner)
set(VARNEL_LINUX_ID org.varnel.Varnel)

if(NOT VARNEL_CORE_ONLY)
  foreach(_file IN LISTS VARNEL_DATA_FILES)
    configure_file(${CMAKE_SOURCE_DIR}/data/${_file} ${CMAKE_BINARY_DIR}/share/varnel/${_file} COPYONLY)
  endforeach()

  install(TARGETS varnel varnel-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  foreach(_file IN LISTS VARNEL_DATA_FILES)
    get_filename_component(_folder ${_file} DIRECTORY)
    install(FILES ${CMAKE_SOURCE_DIR}/data/${_file} DESTINATION ${CMAKE_INSTALL_DATADIR}/varnel/${_folder})
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/${VARNEL_LINUX_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/${VARNEL_LINUX_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/${VARNEL_LINUX_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/varnel.1 ${CMAKE_SOURCE_DIR}/packaging/linux/varnel-sim.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # The copyright notice and the change log, where a Debian system keeps them.
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright ${CMAKE_SOURCE_DIR}/packaging/debian/changelog
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnel)
endif()
