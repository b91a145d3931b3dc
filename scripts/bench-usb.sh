#!/usr/bin/env bash
# Builds and runs the USB benchmark: a full refresh (enumerate, read, classify) with 10, 100 and
# 1000 simulated devices, and the time from an arrival event to the change callback's finished
# enumeration. Usage: scripts/bench-usb.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" --target usb_refresh_bench -j"$(nproc)"
umockdev-wrapper "$build/bench/usb_refresh_bench"
