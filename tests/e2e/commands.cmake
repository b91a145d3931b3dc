# The flashing script's commands beside the real program, in a simulated device tree owned by the
# Python driver, which therefore runs under the preload.
find_program(VANTOREL_UMOCKDEV_WRAPPER umockdev-wrapper)
if(VANTOREL_UMOCKDEV_WRAPPER)
  foreach(scenario ask wait signal_clears)
    add_test(NAME e2e.commands.${scenario}
             COMMAND ${VANTOREL_UMOCKDEV_WRAPPER} /usr/bin/python3
                     ${CMAKE_CURRENT_LIST_DIR}/commands_test.py $<TARGET_FILE:vantorel> ${scenario})
    set_tests_properties(e2e.commands.${scenario} PROPERTIES TIMEOUT 60 LABELS e2e)
  endforeach()
endif()
