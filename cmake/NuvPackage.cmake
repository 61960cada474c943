# The Debian package of the Linux build (cmake --build --preset release
# --target package): nuv, nuv-drive, nuvhost, the plug-in and the framework
# libraries together in lib/nuv, where each finds the others beside itself
# as in the build folder, the commands in bin, and a desktop entry for
# nuvhost. Made into dist/.
set(NUV_INSTALL_DIR lib/nuv)
set(installed nuv nuv-drive nuv_plugin nuv_framework)
if(TARGET nuvhost)
  list(APPEND installed nuvhost nuv_framework_qt)
endif()
set_target_properties(${installed} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${installed} RUNTIME DESTINATION ${NUV_INSTALL_DIR}
                             LIBRARY DESTINATION ${NUV_INSTALL_DIR})
foreach(program nuv nuv-drive nuvhost)
  if(TARGET ${program})
    install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
      file(CREATE_LINK ../${NUV_INSTALL_DIR}/${program}
           \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${program}\" SYMBOLIC)")
  endif()
endforeach()
if(TARGET nuvhost)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/nuvhost.desktop DESTINATION share/applications)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nuv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "NUV maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for NUV flash images")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/dist)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The libraries the programs link, each at the least version that has
# every symbol they use (dpkg-shlibdeps, which finds our own libraries
# through their $ORIGIN run path), and the gzip and LZMA programs the
# tool runs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gzip, lzma-alone")
include(CPack)
