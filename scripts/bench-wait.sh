#!/usr/bin/env bash
# Builds the program and prints, round after round, the time from a simulated RP2350 bootloader's
# arrival to `vantorel wait` returning. Usage: scripts/bench-wait.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" --target bench_wait -j"$(nproc)"
