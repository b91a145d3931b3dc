# The Debian package, made by cpack from this build: its version, files and dependencies.
find_program(VANTOREL_DPKG_DEB dpkg-deb)
if(VANTOREL_DPKG_DEB)
  add_test(NAME pkg.deb COMMAND ${CMAKE_CURRENT_LIST_DIR}/package_test.sh ${CMAKE_BINARY_DIR}
                                ${PROJECT_VERSION})
  set_tests_properties(pkg.deb PROPERTIES TIMEOUT 120 LABELS pkg)
endif()
