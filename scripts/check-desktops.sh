#!/usr/bin/env bash
# Runs the Xfce scenario's checks of the status item and the panels (icon shown, green on a
# success and back within 5 s, minimising, Escape, the focus) under GNOME Shell with the
# AppIndicator extension and under KDE Plasma, each on its own virtual display, bus and home. Not
# part of the test suite: both desktops are large. A desktop that is not installed is skipped.
#
# Usage: scripts/check-desktops.sh [<bundle folder>]     (default: build/Vantorel)
# Needs: gnome-shell gnome-shell-extension-appindicator; plasma-workspace plasma-desktop kwin-x11 kded5.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
bundle="$(realpath "${1:-build/Vantorel}")"
status=0

# check <name> <the status area's part of the panel on a 1280x800 screen, the clock left out>
#       <a command of the desktop> <start script>
# The checks start once the desktop's status area has registered (within 60 s); the desktop's
# programs are ended and waited for before the display and its home go.
check() {
  if ! command -v "$3" >/dev/null; then
    echo "$1: not installed, skipped"
    return
  fi
  local start=$SECONDS
  if VANTOREL_STRIP="$2" tests/e2e/run-on-desktop.sh bash -c "trap 'kill \$(jobs -p); wait' EXIT
      $4
      shown() { gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path \
        /StatusNotifierWatcher --method org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null | grep -q true; }
      for _ in {1..300}; do shown && break; sleep 0.2; done
      shown && umockdev-wrapper /usr/bin/python3 tests/e2e/xfce_e2e.py '$bundle'"; then
    echo "$1: passed ($((SECONDS - start)) s)"
  else
    echo "$1: FAILED"
    status=1
  fi
}

# GNOME Shell wants a system bus: a second private bus stands in for it, a job of the session so
# that it ends with it. The shell starts in the overview, which takes the keys and covers the
# windows: it is left as soon as it shows.
# shellcheck disable=SC2016  # expanded by the desktop's own shell
check "GNOME Shell" 520x32+760+0 gnome-shell '
  coproc system_bus { exec dbus-daemon --session --nofork --print-address; }
  read -r DBUS_SYSTEM_BUS_ADDRESS <&"${system_bus[0]}" && export DBUS_SYSTEM_BUS_ADDRESS
  gsettings set org.gnome.shell enabled-extensions "[\"ubuntu-appindicators@ubuntu.com\"]"
  gnome-shell --x11 --replace >/dev/null 2>&1 &
  overview() { gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method "org.freedesktop.DBus.Properties.$1" org.gnome.Shell OverviewActive "${@:2}"; }
  for _ in {1..150}; do
    case "$(overview Get 2>/dev/null)" in
      *true*) overview Set "<false>" >/dev/null && left=1 ;;
      *false*) [[ -n ${left-} ]] && break ;;
    esac
    sleep 0.2
  done'

# Plasma is started as its session starts it, so that it takes its colours (and the symbolic
# icon its text colour) from the desktop's settings. kded then loads its watcher module itself; it
# is asked once more, waiting for the answer (a call that expects none is dropped).
check "KDE Plasma" 400x44+740+756 plasmashell '
  export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5
  kwin_x11 --replace >/dev/null 2>&1 &
  kded5 >/dev/null 2>&1 &
  gdbus wait --session --timeout 30 org.kde.kded5 &&
    dbus-send --session --print-reply --dest=org.kde.kded5 /kded org.kde.kded5.loadModule \
      string:statusnotifierwatcher >/dev/null
  plasmashell >/dev/null 2>&1 &'
exit "$status"
