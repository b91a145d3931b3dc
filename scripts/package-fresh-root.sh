#!/usr/bin/env bash
# Proves the Debian package the way a user meets it: builds it here with scripts/package.sh, then
# in a fresh Debian 12 root (scripts/fresh-root.sh: debootstrap, so it needs root and the
# network), as a user with sudo, installs it with `apt-get install ./vantorel_<v>_<arch>.deb`,
# checks that every library resolves, that `vantorel --version`, `status` and `serial` work, that
# the installed program never picks /work for the attention file, that the desktop entry, icons,
# metainfo and manual page are in place, then purges it and checks that nothing is left behind.
# Not part of the test suite. Takes about 8 minutes here (2 busy cores: 3 to build the package;
# debootstrap, a 50 MB download for its dependencies, install and removal take the rest).
#
# Usage: sudo scripts/package-fresh-root.sh [--keep]
set -euo pipefail

# In the fresh root, as the user: the checks themselves.
inside() {
  local deb=$1 version
  version="$(dpkg-deb -f "$deb" Version)"
  apt() { sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -q "$@"; }
  # Every path outside the package manager's own state, and every installed package.
  snapshot() {
    dpkg-query -W -f '${Package}\n' | sort
    sudo find /usr /etc /opt /srv /var/lib -xdev \( -path /var/lib/apt -o -path /var/lib/dpkg \
      -o -path /var/lib/ucf \) -prune -o -print | sort
  }
  apt update >/dev/null
  apt install --no-install-recommends man-db >/dev/null  # to read the manual page, as a user can
  snapshot >/tmp/before

  echo "== apt-get install ./$(basename "$deb")"
  echo "   without Recommends it would install: $(apt install -s --no-install-recommends "$deb" |
    grep -c '^Inst ') packages"
  apt install "$deb" | tee /tmp/install.log | grep -E 'newly installed|^Need to get|^After this'
  if ldd /usr/bin/vantorel /usr/lib/vantorel/vantorel-gtk.so | grep 'not found'; then
    echo "FAIL: a library is missing" >&2; exit 1
  fi

  echo "== the program"
  [ "$(vantorel --version)" = "vantorel $version" ] || { echo "FAIL: --version" >&2; exit 1; }
  vantorel --version
  vantorel status
  vantorel status | grep -qx 'Expected C6 serial: none (set one with: vantorel serial set SERIAL)'
  vantorel serial set F4:12:FA:00:11:22
  vantorel status | grep -qx "Expected C6 serial: F4:12:FA:00:11:22 (user setting: $HOME/.config/vantorel/preferences.json)"
  # A file where a checkout's would be, two folders above /usr, must not be read.
  sudo mkdir -p /work && echo '{}' | sudo tee /work/board-flash-attention.json >/dev/null
  timeout -s TERM 3 vantorel --terminal </dev/null >/dev/null 2>/tmp/program.err || true
  head -n 1 /tmp/program.err
  grep -qx "vantorel: reading the attention file $HOME/.local/share/Vantorel/board-flash-attention.json" \
    /tmp/program.err || { echo "FAIL: attention file" >&2; exit 1; }
  sudo rm -r /work

  echo "== installed files"
  for file in /usr/share/applications/vantorel.desktop /usr/share/icons/hicolor/scalable/apps/vantorel.svg \
    /usr/share/metainfo/io.github.vantorel.vantorel.metainfo.xml /usr/share/vantorel/Info.json; do
    [ -f "$file" ] || { echo "FAIL: $file is missing" >&2; exit 1; }
  done
  echo "   desktop entry, icons, metainfo, Info.json: present; manual page: $(man -w vantorel)"
  MANWIDTH=80 man vantorel 2>/dev/null | grep -q '^EXIT STATUS' || { echo "FAIL: man" >&2; exit 1; }

  echo "== apt-get purge --autoremove vantorel"
  apt purge --autoremove vantorel 2>&1 | grep -E 'to remove|^After this'
  snapshot >/tmp/after
  # Every package it pulled in is gone, and no file of its own is left. What a dependency's
  # maintainer scripts made on the way (systemd makes /etc/machine-id) is listed, not ours.
  if grep -i vantorel /tmp/after || ! cmp -s <(grep -v ^/ /tmp/before) <(grep -v ^/ /tmp/after); then
    echo "FAIL: the removal left the above, or packages" >&2; exit 1
  fi
  echo "   no package and no file of it left; made by its dependencies' scripts and kept:"
  comm -13 /tmp/before /tmp/after | sed 's/^/     /'
  echo "   (the user's own ~/.config/vantorel stays, as it should)"
  echo "PASS"
}

if [ "${1:-}" = --inside ]; then inside "$2"; exit; fi

keep=()
if [ "${1:-}" = --keep ]; then keep=(--keep); fi
[ "$(id -u)" -eq 0 ] || { echo "package-fresh-root.sh: run it as root (sudo)" >&2; exit 2; }
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(mktemp -d /var/tmp/vantorel-package.XXXXXX)"
trap 'rm -rf "$build"' EXIT
start=$SECONDS
deb="$("$here/scripts/package.sh" "$build/build" | tail -n 1)"
echo "== built $(basename "$deb") in $((SECONDS - start)) s"
# The checks travel with the package: the root's clone holds only what is committed.
"$here/scripts/fresh-root.sh" "${keep[@]}" --copy "$deb" --copy "$0" "$here" \
  bash ../package-fresh-root.sh --inside "../$(basename "$deb")"
echo "== $((SECONDS - start)) s in all"
