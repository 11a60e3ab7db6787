# Read by CPack once for each generator: what differs between the .deb and the .tar.gz. Both are one package made
# of the components named here.
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # Debian keeps the licence in the copyright file, and a second copy is one lintian objects to.
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL Unspecified)
  # dpkg-shlibdeps wants a source package's control file to read; an empty package's is enough.
  set(shlibdeps ${CPACK_PACKAGE_DIRECTORY}/shlibdeps)
  file(WRITE ${shlibdeps}/debian/control "Source: cyclochord\n\nPackage: cyclochord\nArchitecture: any\n")
  execute_process(COMMAND dpkg-shlibdeps -O ${CPACK_CYCLOCHORD_BINARIES} WORKING_DIRECTORY ${shlibdeps}
                  RESULT_VARIABLE status OUTPUT_VARIABLE depends ERROR_VARIABLE problems)
  file(REMOVE_RECURSE ${shlibdeps})
  if(NOT status EQUAL 0 OR NOT depends MATCHES "^shlibs:Depends=")
    message(FATAL_ERROR "dpkg-shlibdeps failed on ${CPACK_CYCLOCHORD_BINARIES}: ${problems}")
  endif()
  string(REGEX REPLACE "^shlibs:Depends=([^\n]*).*" "\\1" CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
elseif(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL Unspecified licence tarball)
  # Unpacked, it makes one folder named after the package rather than spilling into the current one.
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
