# The build tree's copy of the program's data.
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
endif()
