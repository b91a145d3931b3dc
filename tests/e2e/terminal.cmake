# The real program in a pseudo-terminal with no display: one test per scenario, each on fresh
# preference and data folders.
foreach(scenario first_start corrupt_preferences unwritable_preferences signals attention stalled_reader)
  add_test(NAME e2e.terminal.${scenario}
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/terminal_test.py
                   $<TARGET_FILE:vantorel> ${scenario})
  set_tests_properties(e2e.terminal.${scenario} PROPERTIES TIMEOUT 60 LABELS e2e)
endforeach()
