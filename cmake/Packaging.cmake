# Where `cmake --install` puts each part, and the packages CPack makes of them (scripts/package.sh).
include(GNUInstallDirs)

# Hosts search these fixed names under the prefix; the multiarch library folder is not among them.
set(CYCLOCHORD_VST_DESTINATION lib/vst)
set(CYCLOCHORD_LV2_DESTINATION lib/lv2)
set(CYCLOCHORD_CLAP_DESTINATION lib/clap)
set(CYCLOCHORD_DOC_DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/cyclochord)
set(CYCLOCHORD_PRESET_DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/cyclochord/presets)
# A umask of the builder's must not reach the package's folders.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Installing needs only what it installs, not every test; scripts build those targets first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS Cyclochord LIBRARY DESTINATION ${CYCLOCHORD_VST_DESTINATION})
install(TARGETS CyclochordClap LIBRARY DESTINATION ${CYCLOCHORD_CLAP_DESTINATION})
if(TARGET CyclochordLv2)
  install(TARGETS CyclochordLv2 LIBRARY DESTINATION ${CYCLOCHORD_LV2_DESTINATION}/Cyclochord.lv2)
  # The rest of the bundle, whatever the build writes there beside the module.
  install(DIRECTORY ${CYCLOCHORD_LV2_BUNDLE}/ DESTINATION ${CYCLOCHORD_LV2_DESTINATION}/Cyclochord.lv2
          PATTERN "*.so" EXCLUDE)
endif()
install(TARGETS cyclochord-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Compressed as Debian wants them; -n keeps the files the same from build to build.
set(compressed ${CMAKE_BINARY_DIR}/compressed)
add_custom_command(
  OUTPUT ${compressed}/cyclochord-host.1.gz ${compressed}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${compressed}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/cyclochord-host.1 > ${compressed}/cyclochord-host.1.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${compressed}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/cyclochord-host.1 ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(cyclochord-install-files ALL
  DEPENDS ${compressed}/cyclochord-host.1.gz ${compressed}/changelog.gz)
install(FILES ${compressed}/cyclochord-host.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md ${PROJECT_SOURCE_DIR}/packaging/copyright ${compressed}/changelog.gz
        DESTINATION ${CYCLOCHORD_DOC_DESTINATION})
if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/docs)
  # The guide and its pictures; the script that draws them is for building only.
  install(DIRECTORY docs DESTINATION ${CYCLOCHORD_DOC_DESTINATION} PATTERN "*.sh" EXCLUDE)
endif()
# The licence under its own name too, except in the .deb, whose copyright file is where Debian keeps it.
install(FILES LICENSE DESTINATION ${CYCLOCHORD_DOC_DESTINATION} COMPONENT licence)

# The tarball's own README at its top: where to copy what. Only a component asked for by name installs it.
configure_file(${PROJECT_SOURCE_DIR}/packaging/README-tarball.txt ${CMAKE_BINARY_DIR}/README-tarball.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/README-tarball.txt DESTINATION . RENAME README COMPONENT tarball EXCLUDE_FROM_ALL)

# The musician's presets: every file of the presets folder.
file(GLOB presets CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/presets/*.fxp)
install(FILES ${presets} DESTINATION ${CYCLOCHORD_PRESET_DESTINATION})

# The packages: a .deb for /usr and a .tar.gz of the same files.
set(CPACK_PACKAGE_NAME cyclochord)
set(CPACK_PACKAGE_VENDOR "${CYCLOCHORD_MAINTAINER}")
set(CPACK_PACKAGE_CONTACT "${CYCLOCHORD_MAINTAINER} <${CYCLOCHORD_MAINTAINER_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Wrapped by hand: the .deb keeps these lines as they are, and Debian wants them under 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Cyclochord is a MIDI effect plug-in for CLAP, VST 2.4 and LV2 hosts. For every"
  "note it receives it sends up to four: the note itself, a parallel voice at a"
  "fixed interval and two rotator voices that step through four intervals each."
  "Every voice has its own MIDI channel, velocity offset and tempo-synced delay,"
  "and the notes can be snapped to a scale."
  ""
  "The package also holds cyclochord-host, a command-line host that plays MIDI"
  "files through plug-ins and writes what they send.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The run-time dependencies come from dpkg-shlibdeps on the binaries (PackagingGenerators.cmake), not from CPack's
# own run of it, which also gives every shared object below /usr/lib an ldconfig call in postinst and postrm. Hosts
# load the modules, never the dynamic linker; without maintainer scripts, removing the package leaves no trace.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_CYCLOCHORD_BINARIES ${CMAKE_BINARY_DIR}/out/cyclochord-host ${CMAKE_BINARY_DIR}/out/Cyclochord.so
    ${CMAKE_BINARY_DIR}/out/Cyclochord.clap)
if(TARGET CyclochordLv2)
  list(APPEND CPACK_CYCLOCHORD_BINARIES ${CYCLOCHORD_LV2_BUNDLE}/Cyclochord.so)
endif()
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_FILE_NAME cyclochord-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackagingGenerators.cmake)
set(CPACK_COMPONENTS_ALL Unspecified licence tarball)
include(CPack)
