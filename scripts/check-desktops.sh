#!/usr/bin/env bash
# Runs the Xfce scenario's checks of the status item and the panels (icon shown, green on a
# success and back within 5 s, no minimising, Escape) under GNOME Shell with the AppIndicator
# extension and under KDE Plasma, each on its own virtual display, bus and home. Not part of the
# test suite: both desktops are large. A desktop that is not installed is skipped.
#
# Usage: scripts/check-desktops.sh [<bundle folder>]     (default: build/Vantorel)
# Needs: gnome-shell gnome-shell-extension-appindicator; plasma-workspace kwin-x11 kded5.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
bundle="$(realpath "${1:-build/Vantorel}")"
status=0

# check <name> <the panel's strip on a 1280x800 screen> <a command of the desktop> <start script>
check() {
  if ! command -v "$3" >/dev/null; then
    echo "$1: not installed, skipped"
    return
  fi
  if VANTOREL_STRIP="$2" tests/e2e/run-on-desktop.sh bash -c "trap 'kill \$(jobs -p)' EXIT
      $4
      gdbus wait --session --timeout 60 org.kde.StatusNotifierWatcher &&
      umockdev-wrapper /usr/bin/python3 tests/e2e/xfce_e2e.py '$bundle'"; then
    echo "$1: passed"
  else
    echo "$1: FAILED"
    status=1
  fi
}

# GNOME Shell wants a system bus: a second private bus stands in for it.
# shellcheck disable=SC2016  # expanded by the desktop's own shell
check "GNOME Shell" 1280x32+0+0 gnome-shell '
  export DBUS_SYSTEM_BUS_ADDRESS="$(dbus-daemon --session --fork --print-address)"
  gsettings set org.gnome.shell enabled-extensions "[\"ubuntu-appindicators@ubuntu.com\"]"
  gnome-shell --x11 --replace >/dev/null 2>&1 &'

# Plasma's tray needs the watcher module of kded loaded by hand outside a Plasma session.
check "KDE Plasma" 1280x44+0+756 plasmashell '
  kwin_x11 --replace >/dev/null 2>&1 &
  kded5 >/dev/null 2>&1 &
  gdbus wait --session --timeout 30 org.kde.kded5 &&
    dbus-send --session --dest=org.kde.kded5 /kded org.kde.kded5.loadModule \
      string:statusnotifierwatcher
  plasmashell >/dev/null 2>&1 &'
exit "$status"
