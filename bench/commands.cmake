# `vantorel wait` against a simulated arrival: prints the time from the arrival to its return.
# The driver owns the simulated device tree, so it runs under the preload.
find_program(VANTOREL_BENCH_UMOCKDEV_WRAPPER umockdev-wrapper)
if(VANTOREL_BENCH_UMOCKDEV_WRAPPER)
  add_custom_target(bench_wait
                    COMMAND ${VANTOREL_BENCH_UMOCKDEV_WRAPPER} /usr/bin/python3
                            ${CMAKE_CURRENT_LIST_DIR}/wait_bench.py $<TARGET_FILE:vantorel>
                    DEPENDS vantorel USES_TERMINAL VERBATIM)
endif()
