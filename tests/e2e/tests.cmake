# Whole-program tests of the real binary: in a pseudo-terminal, on a virtual display, and driven
# by the commands a flashing script runs.
include(${CMAKE_CURRENT_LIST_DIR}/terminal.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/desktop.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/commands.cmake OPTIONAL)
