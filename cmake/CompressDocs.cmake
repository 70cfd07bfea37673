# Run by CPack in the staged tree before the package is made: gzip -9n (no name or time stored,
# so the same files give the same package) of the manual pages and the change log.
file(GLOB_RECURSE _docs
  "${CPACK_TEMPORARY_DIRECTORY}/*/share/man/man1/*.1"
  "${CPACK_TEMPORARY_DIRECTORY}/*/share/doc/varnel/changelog")
foreach(_doc IN LISTS _docs)
  execute_process(COMMAND gzip -9nf "${_doc}" RESULT_VARIABLE _status)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "gzip ${_doc} failed")
  endif()
endforeach()
