# The libudev registry against a simulated device tree. umockdev's preload library redirects
# sysfs and the event sockets, so the suite always runs under umockdev-wrapper.
pkg_check_modules(UMOCKDEV IMPORTED_TARGET umockdev-1.0)
find_program(UMOCKDEV_WRAPPER umockdev-wrapper)

if(UMOCKDEV_FOUND AND UMOCKDEV_WRAPPER)
  file(GLOB VANTOREL_USB_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cc)
  add_executable(vantorel_usb_tests ${VANTOREL_USB_TEST_SOURCES}
                 ${CMAKE_CURRENT_LIST_DIR}/../fakes/fakes.cc
                 ${CMAKE_CURRENT_LIST_DIR}/../fakes/fake_usb_registry.cc)
  target_include_directories(vantorel_usb_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(vantorel_usb_tests PRIVATE vantorel_linux PkgConfig::UMOCKDEV
                        GTest::gtest GTest::gtest_main)
  set_target_properties(vantorel_usb_tests PROPERTIES
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  add_test(NAME usb.udev_watcher
           COMMAND ${UMOCKDEV_WRAPPER} $<TARGET_FILE:vantorel_usb_tests>)
  set_tests_properties(usb.udev_watcher PROPERTIES TIMEOUT 120)
else()
  message(WARNING "umockdev not found: the USB suites are not built")
endif()

# The real program on a terminal, inside a simulated device tree owned by a Python driver.
find_program(VANTOREL_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(UMOCKDEV_WRAPPER AND VANTOREL_SYSTEM_PYTHON)
  execute_process(
    COMMAND ${VANTOREL_SYSTEM_PYTHON} -c
            "import gi; gi.require_version('UMockdev', '1.0'); from gi.repository import UMockdev"
    RESULT_VARIABLE _umockdev_gi_missing OUTPUT_QUIET ERROR_QUIET)
  if(_umockdev_gi_missing)
    message(WARNING "python3-gi with the UMockdev 1.0 typelib not found: usb.program_sees_board is not run")
  else()
    add_test(NAME usb.program_sees_board
             COMMAND ${UMOCKDEV_WRAPPER} ${VANTOREL_SYSTEM_PYTHON}
                     ${CMAKE_CURRENT_LIST_DIR}/program_sees_board.py $<TARGET_FILE:vantorel>)
    set_tests_properties(usb.program_sees_board PROPERTIES TIMEOUT 60)
  endif()
endif()
