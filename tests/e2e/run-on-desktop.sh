#!/usr/bin/env bash
# Runs a command on a private virtual X display (1280x800, 24-bit) with a private session bus,
# and removes both afterwards, whatever the command did. The X server picks its own display
# number, so parallel runs never race for one.
#
# Usage: run-on-desktop.sh <command> [<argument>...]
set -euo pipefail
scratch="$(mktemp -d -t vantorel-display.XXXXXX)"
xvfb=""
trap '{ kill "$xvfb" && wait "$xvfb"; } 2>/dev/null || true; rm -rf "$scratch"' EXIT
trap 'exit 143' TERM INT
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$scratch/display" \
  2>"$scratch/xvfb.log" &
xvfb=$!
while [[ ! -s "$scratch/display" ]]; do
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb failed: $(<"$scratch/xvfb.log")" >&2; exit 1; }
  sleep 0.05
done
export DISPLAY=":$(head -n1 "$scratch/display")" NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY
# Not exec: the trap must still remove the server.
dbus-run-session -- "$@"
