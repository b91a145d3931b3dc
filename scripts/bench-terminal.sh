#!/usr/bin/env bash
# Figures for the terminal front end with no display, each beside the floor bench/floor.c (a
# libudev monitor on a GLib main loop that only prints): resident memory and shared libraries,
# exec to the first line (median of STARTS, default 30), and a simulated RP2350 bootloader's
# arrival to its line (p50, p99 of ROUNDS, default 40). Targets, shown and not asserted: VmRSS
# <= 6 MiB with neither GTK nor the indicator mapped, start <= 2x the floor's, arrival p50 <= 2 ms.
# Usage: scripts/bench-terminal.sh [<bundle folder> [<floor program>]]
#        (defaults: build/Vantorel and build/bench/floor)
set -euo pipefail
cd "$(dirname "$0")/.."
bundle="$(realpath "${1:-build/Vantorel}")"
floor="$(realpath "${2:-$(dirname "$bundle")/bench/floor}")"
for program in "$bundle/bin/vantorel" "$floor"; do
  if [[ ! -x "$program" ]]; then
    echo "No program at $program: build the targets vantorel and bench_floor first." >&2
    exit 1
  fi
done
PYTHONDONTWRITEBYTECODE=1 exec umockdev-wrapper /usr/bin/python3 bench/terminal_bench.py \
  "$bundle/bin/vantorel" "$floor"
