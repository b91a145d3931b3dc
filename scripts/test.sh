#!/usr/bin/env bash
# Sets everything up and runs the whole suite: the formatting and static checks, the unit tests,
# libudev against simulated devices, the real program in a terminal and on a virtual display, and
# the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test

echo "== clang-format"
git ls-files -- '*.cc' '*.h' '*.c' | xargs clang-format --dry-run --Werror

echo "== clang-tidy"
if ! tidy=$(git ls-files -- 'src/*.cc' | xargs -P"$(nproc)" -n 6 clang-tidy -p build --quiet 2>&1); then
  printf '%s\n' "$tidy" | grep -v -E '^[0-9]+ warnings? generated|^Suppressed [0-9]+ warnings|-header-filter'
  exit 1
fi

echo "== tests"
(cd build && ctest --output-on-failure -j"$(nproc)" --timeout 300)

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitized -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_SANITIZE=ON \
  -DVANTOREL_WERROR=ON >/dev/null
cmake --build build/sanitized --target core_tests linux_tests terminal_tests
(cd build/sanitized && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j"$(nproc)" -L unit)
