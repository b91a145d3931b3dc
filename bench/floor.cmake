# The floor that scripts/bench-desktop.sh sets the program's figures beside: a libudev monitor on
# a GLib main loop that prints each event, and nothing else.
add_executable(bench_floor ${CMAKE_CURRENT_LIST_DIR}/floor.c)
target_link_libraries(bench_floor PRIVATE PkgConfig::GLIB PkgConfig::UDEV)
set_target_properties(bench_floor PROPERTIES OUTPUT_NAME floor
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
