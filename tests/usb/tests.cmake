# The libudev watch over a simulated device tree, and the real program following a simulated
# board; umockdev's preload library redirects sysfs and the event sockets.
pkg_check_modules(UMOCKDEV IMPORTED_TARGET umockdev-1.0)
find_program(UMOCKDEV_WRAPPER umockdev-wrapper)
if(NOT UMOCKDEV_FOUND OR NOT UMOCKDEV_WRAPPER)
  message(WARNING "umockdev not found: the USB suites are not built")
  return()
endif()
add_executable(usb_tests ${CMAKE_CURRENT_LIST_DIR}/udev_usb_watch_test.cc)
target_include_directories(usb_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(usb_tests PRIVATE vantorel_linux PkgConfig::UMOCKDEV GTest::gtest_main)
set_target_properties(usb_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_test(NAME usb.udev_watch COMMAND ${UMOCKDEV_WRAPPER} $<TARGET_FILE:usb_tests>)
# Needs the system Python with the UMockdev typelib (python3-gi, gir1.2-umockdev-1.0).
add_test(NAME usb.program_sees_board
         COMMAND ${UMOCKDEV_WRAPPER} /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/program_sees_board.py
                 $<TARGET_FILE:vantorel>)
set_tests_properties(usb.udev_watch usb.program_sees_board PROPERTIES TIMEOUT 60)
