#!/usr/bin/env bash
# Runs a command on a private virtual X display (1280x800, 24-bit) with a private session bus,
# and removes both afterwards, whatever the command did. The display number is chosen by the X
# server itself, so parallel runs never race for one.
#
# Usage: run-on-desktop.sh <command> [<argument>...]
set -euo pipefail

scratch="$(mktemp -d -t vantorel-display.XXXXXX)"
xvfb=""
clean_up() {
  if [[ -n "$xvfb" ]]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap clean_up EXIT
trap 'exit 143' TERM INT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$scratch/display" \
  2>"$scratch/xvfb.log" &
xvfb=$!
for _ in $(seq 1 200); do
  [[ -s "$scratch/display" ]] && break
  if ! kill -0 "$xvfb" 2>/dev/null; then
    echo "Xvfb did not start:" >&2
    cat "$scratch/xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
[[ -s "$scratch/display" ]] || { echo "Xvfb gave no display number" >&2; exit 1; }

export DISPLAY=":$(head -n1 "$scratch/display")"
unset WAYLAND_DISPLAY
export NO_AT_BRIDGE=1
# Not exec: the trap must still remove the server.
dbus-run-session -- "$@"
