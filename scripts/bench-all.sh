#!/usr/bin/env bash
# Runs every benchmark in one run, each figure beside its floor, and writes the table to
# docs/benchmarks.md (see bench/bench.py for what is measured and how). It prints figures and
# fails only when something cannot be measured. About five minutes on a 2-core machine.
#
# Usage: scripts/bench-all.sh [<build dir> [NAME=BUNDLE...]]
#   Builds the program and the floors in <build dir> (default: build) and measures that build's
#   bundle, or the bundles named, side by side in one run; for example the build before a change
#   beside the build after it:  scripts/bench-all.sh build before=/tmp/old/Vantorel after=build/Vantorel
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
shift || true
cmake --build "$build" --target vantorel bench_floor bench_bare_indicator
programs=("$@")
[[ ${#programs[@]} -gt 0 ]] || programs=("this build=$build/Vantorel")
export PYTHONPATH="$PWD/tests/e2e:$PWD/bench" PYTHONDONTWRITEBYTECODE=1
exec tests/e2e/run-on-desktop.sh umockdev-wrapper /usr/bin/python3 bench/bench.py \
  "$build/bench/floor" "$build/bench/bare_indicator" "$PWD/docs/benchmarks.md" "${programs[@]}"
