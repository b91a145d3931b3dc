# The desktop front end on a real (virtual) X display with a private session bus: the GTK
# backends in-process, and the real program with a window manager, a status area watcher and a
# simulated USB device tree. Each run starts its own display, so the two never share one.
set(VANTOREL_ON_DESKTOP ${CMAKE_CURRENT_LIST_DIR}/run-on-desktop.sh)

add_executable(vantorel_desktop_tests ${CMAKE_CURRENT_LIST_DIR}/gtk_backends_test.cc
                                      ${CMAKE_CURRENT_LIST_DIR}/../fakes/fakes.cc)
target_include_directories(vantorel_desktop_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(vantorel_desktop_tests PRIVATE vantorel_linux GTest::gtest GTest::gtest_main)
set_target_properties(vantorel_desktop_tests PROPERTIES
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_test(NAME desktop.gtk_backends
         COMMAND ${VANTOREL_ON_DESKTOP} $<TARGET_FILE:vantorel_desktop_tests> --gtest_brief=1)
set_tests_properties(desktop.gtk_backends PROPERTIES TIMEOUT 120)

# The driver creates the USB testbed, so it runs under the preload; the program inherits both.
add_test(NAME e2e.desktop
         COMMAND ${VANTOREL_ON_DESKTOP} umockdev-wrapper /usr/bin/python3
                 ${CMAKE_CURRENT_LIST_DIR}/desktop_e2e.py ${VANTOREL_BUNDLE_DIR})
set_tests_properties(e2e.desktop PROPERTIES TIMEOUT 120)
