# The floors the benchmarks set the program's figures beside (see floor.c and bare_indicator.c),
# built into <build>/bench, never into the bundle.
add_executable(bench_floor ${CMAKE_CURRENT_LIST_DIR}/floor.c)
target_link_libraries(bench_floor PRIVATE PkgConfig::GLIB PkgConfig::UDEV)
add_executable(bench_bare_indicator ${CMAKE_CURRENT_LIST_DIR}/bare_indicator.c)
target_link_libraries(bench_bare_indicator PRIVATE PkgConfig::DESKTOP PkgConfig::UDEV)
set_target_properties(bench_floor bench_bare_indicator PROPERTIES
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
set_target_properties(bench_floor PROPERTIES OUTPUT_NAME floor)
set_target_properties(bench_bare_indicator PROPERTIES OUTPUT_NAME bare_indicator)
