#!/usr/bin/env bash
# Usage: run-on-sway.sh <command> [<argument>...] runs it in a headless sway session (one 1280x800
# output, XWayland) with a runtime folder, home and session bus of its own, all removed after. sway
# refuses to run as root: as root, the session and the command run as the user nobody.
set -euo pipefail
scratch="$(mktemp -d -t vantorel-sway.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
trap 'exit 143' TERM INT
as_user=()
if [[ $(id -u) -eq 0 ]]; then
  chown 65534:65534 "$scratch"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" NO_AT_BRIDGE=1
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" \
  XDG_CACHE_HOME="$HOME/.cache" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
  WLR_RENDERER=pixman
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK XAUTHORITY
"${as_user[@]}" mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" &&
  "${as_user[@]}" mkdir -m 700 "$XDG_RUNTIME_DIR"
# The session as the user: sway, its environment once XWayland runs, then the command in it.
# shellcheck disable=SC2016  # expanded by the user's shell
"${as_user[@]}" dbus-run-session -- bash -c '
  set -euo pipefail
  printf "output HEADLESS-1 resolution 1280x800\nxwayland enable\n" >"$HOME/sway.conf"
  sway -c "$HOME/sway.conf" >"$HOME/sway.log" 2>&1 &
  trap "kill $! 2>/dev/null; wait" EXIT
  for _ in {1..100}; do
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null) && export SWAYSOCK &&
      swaymsg -q exec "env >$HOME/sway.env.tmp && mv $HOME/sway.env.tmp $HOME/sway.env" && break
    sleep 0.1
  done
  for _ in {1..100}; do [[ -s $HOME/sway.env ]] && break; sleep 0.1; done
  eval "export $(grep -E "^(WAYLAND_DISPLAY|DISPLAY)=" "$HOME/sway.env" | tr "\n" " " || true)"
  "$@"' session "$@"
