# The desktop front end on a private virtual display and session bus: in-process, and the real
# program with a window manager, a status area watcher and a simulated USB device tree.
set(VANTOREL_ON_DESKTOP ${CMAKE_CURRENT_LIST_DIR}/run-on-desktop.sh)

file(GLOB VANTOREL_GTK_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../gtk/*.cc)
add_executable(gtk_tests ${VANTOREL_GTK_TEST_SOURCES})
target_link_libraries(gtk_tests PRIVATE vantorel_gtk_front_end GTest::gtest GTest::gtest_main)
set_target_properties(gtk_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_test(NAME desktop.gtk COMMAND ${VANTOREL_ON_DESKTOP} $<TARGET_FILE:gtk_tests> --gtest_brief=1)
# Desktop tests run alone: under load the indicator library sometimes loses its own race to
# register the item, which says nothing about this program.
set_tests_properties(desktop.gtk PROPERTIES TIMEOUT 120 LABELS desktop RUN_SERIAL TRUE)

# The real program with a window manager and a watcher, and under Debian's Xfce panel and xfwm4.
# The driver makes the USB testbed, so it runs under the preload; the program inherits both.
foreach(name desktop xfce)
  add_test(NAME e2e.${name} COMMAND ${VANTOREL_ON_DESKTOP} umockdev-wrapper /usr/bin/python3
                                    ${CMAKE_CURRENT_LIST_DIR}/${name}_e2e.py ${VANTOREL_BUNDLE_DIR})
  set_tests_properties(e2e.${name} PROPERTIES TIMEOUT 120 LABELS e2e RUN_SERIAL TRUE)
endforeach()
