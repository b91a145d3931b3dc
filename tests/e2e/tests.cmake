# Whole-program tests of the real binary: in a pseudo-terminal, on a virtual display, and driven
# by the commands a flashing script runs, each scenario on fresh preference and data folders.
include(${CMAKE_CURRENT_LIST_DIR}/desktop.cmake OPTIONAL)
foreach(scenario preferences attention stalled_reader)
  add_test(NAME e2e.terminal.${scenario}
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/terminal_test.py
                   $<TARGET_FILE:vantorel> ${scenario})
  set_tests_properties(e2e.terminal.${scenario} PROPERTIES TIMEOUT 60 LABELS e2e)
endforeach()
# The commands beside the real program, in a simulated device tree owned by the Python driver,
# which therefore runs under umockdev's preload (needs python3-gi and gir1.2-umockdev-1.0).
find_program(VANTOREL_UMOCKDEV_WRAPPER umockdev-wrapper)
if(NOT VANTOREL_UMOCKDEV_WRAPPER)
  message(WARNING "umockdev-wrapper not found: the commands' end-to-end tests are not run")
  return()
endif()
foreach(scenario ask wait signal_clears)
  add_test(NAME e2e.commands.${scenario}
           COMMAND ${VANTOREL_UMOCKDEV_WRAPPER} /usr/bin/python3
                   ${CMAKE_CURRENT_LIST_DIR}/commands_test.py $<TARGET_FILE:vantorel> ${scenario})
  set_tests_properties(e2e.commands.${scenario} PROPERTIES TIMEOUT 60 LABELS e2e)
endforeach()
