# Whole-program tests of the real binary: in a pseudo-terminal, and on a virtual display.
include(${CMAKE_CURRENT_LIST_DIR}/terminal.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/desktop.cmake OPTIONAL)
