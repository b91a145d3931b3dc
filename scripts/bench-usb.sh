#!/usr/bin/env bash
# Builds and runs the USB benchmark: a full refresh with 10, 100 and 1000 simulated devices, and
# the time from an arrival event to the finished render. Usage: scripts/bench-usb.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" --target usb_refresh_bench -j"$(nproc)"
umockdev-wrapper "$build/bench/usb_refresh_bench"
