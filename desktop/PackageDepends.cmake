# Read by cpack when it makes a package: the libraries the package's programs need
# (CPACK_VIDMORA_PROGRAMS, the encoders as plain executables), worked out by dpkg-shlibdeps
# in one run so that each library is named once, join the package's dependencies.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(work "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/depends")
  file(MAKE_DIRECTORY "${work}/debian")
  file(WRITE "${work}/debian/control" "")
  execute_process(COMMAND dpkg-shlibdeps -O ${CPACK_VIDMORA_PROGRAMS}
    WORKING_DIRECTORY "${work}" OUTPUT_VARIABLE found ERROR_VARIABLE warnings
    RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(REMOVE_RECURSE "${work}")
  if(NOT status EQUAL 0 OR NOT found MATCHES "^shlibs:Depends=")
    message(FATAL_ERROR "dpkg-shlibdeps could not read the programs: ${warnings}")
  endif()
  string(REGEX REPLACE "^shlibs:Depends=" "" found "${found}")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${found}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
endif()
