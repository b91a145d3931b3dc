#!/usr/bin/env bash
# How long a hostile prompt holds up the desktop program, measured on the real program in the
# same setting as the desktop end-to-end test (virtual display, window manager, status area
# watcher, simulated USB). For each text: the prompt is written, an RP2350 bootloader is plugged
# 1 s later, and the figure is the time from the plug to the new label on the session bus (the
# main loop is free again), the worst of ROUNDS rounds (default 5).
# Target (shown, not asserted): the label within 0.5 s of the plug.
# Not a test: it prints figures and fails only when something cannot be measured.
#
# Usage: scripts/bench-prompt.sh [<bundle folder>]   (default build/Vantorel)
set -euo pipefail
cd "$(dirname "$0")/.."
bundle="$(realpath "${1:-build/Vantorel}")"
if [[ ! -x "$bundle/bin/vantorel" ]]; then
  echo "No program at $bundle/bin/vantorel: build it first (scripts/setup.sh test)." >&2
  exit 1
fi
export VANTOREL_BENCH_BUNDLE="$bundle"
export PYTHONPATH="$PWD/tests/e2e" PYTHONDONTWRITEBYTECODE=1
exec tests/e2e/run-on-desktop.sh umockdev-wrapper /usr/bin/python3 bench/prompt_bench.py
