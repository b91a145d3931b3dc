# The USB watch on real libudev over a simulated device tree (umockdev).
pkg_check_modules(UMOCKDEV IMPORTED_TARGET umockdev-1.0)
if(UMOCKDEV_FOUND)
  add_executable(usb_refresh_bench ${CMAKE_CURRENT_LIST_DIR}/usb_refresh_bench.cc)
  target_include_directories(usb_refresh_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(usb_refresh_bench PRIVATE vantorel_linux PkgConfig::UMOCKDEV)
  set_target_properties(usb_refresh_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                     ${CMAKE_BINARY_DIR}/bench)
endif()
