#!/usr/bin/env bash
# Sets everything up and runs the whole suite: unit tests, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, libudev against simulated devices, and the real program in a
# terminal and on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 300
