#!/usr/bin/env bash
# Usage: run-on-desktop.sh <command> [<argument>...] runs it on a private virtual X display
# (1280x800x24, its number picked by the server so parallel runs never race), session bus and home
# (set before the bus starts any service, so none writes to the real one), removing all three after.
set -euo pipefail
scratch="$(mktemp -d -t vantorel-display.XXXXXX)"
xvfb=""
# Programs the bus started may still be ending after it (unmounting a folder in the runtime folder,
# writing a cache): the scratch folder is removed once they are gone, waiting up to 10 s.
cleanup() {
  { kill "$xvfb" && wait "$xvfb"; } 2>/dev/null || true
  for _ in {1..20}; do rm -rf "$scratch" 2>/dev/null && return; sleep 0.5; done
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$scratch/display" \
  2>"$scratch/xvfb.log" &
xvfb=$!
while [[ ! -s "$scratch/display" ]]; do
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb failed: $(<"$scratch/xvfb.log")" >&2; exit 1; }
  sleep 0.05
done
read -r display <"$scratch/display"
export DISPLAY=":$display" NO_AT_BRIDGE=1 HOME="$scratch/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" \
  XDG_CACHE_HOME="$HOME/.cache" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY
# Not exec: the trap must still remove the server.
dbus-run-session -- "$@"
