#!/usr/bin/env bash
# Proves an install step the way a new machine would: makes a fresh Debian 12 root with
# debootstrap (minbase, plus git, ca-certificates and sudo, nothing else), clones a git tree into
# it and runs a command there as a non-root user with passwordless sudo. /proc, /sys, /dev,
# /dev/pts and /dev/shm are bind-mounted for the run and always unmounted afterwards, also on
# failure or interruption; the root is then deleted. Needs root and debootstrap on this machine.
#
# Usage: sudo scripts/fresh-root.sh [--keep] [--copy FILE]... <git tree> <command>...
#   e.g. sudo scripts/fresh-root.sh . ./scripts/test.sh
# The command runs in the clone, ~newcomer/vantorel. The mirror is the one this machine's apt
# sources name. --keep leaves the root in place (its path is printed) instead of deleting it.
# --copy puts FILE (not in the git tree, e.g. a built package) in ~newcomer, owned by newcomer.
set -euo pipefail

keep=false
copies=()
while [ $# -gt 0 ]; do
  case "$1" in
    --keep) keep=true; shift ;;
    --copy) [ $# -ge 2 ] && [ -f "$2" ] || { echo "fresh-root.sh: --copy needs a file" >&2; exit 2; }
            copies+=("$(realpath "$2")"); shift 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 2 ]; then
  sed -n '2,13p' "$0" >&2
  exit 2
fi
tree="$(realpath "$1")"
shift
[ "$(id -u)" -eq 0 ] || { echo "fresh-root.sh: run it as root (sudo)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "fresh-root.sh: install debootstrap first" >&2; exit 2; }

# The Debian mirrors this machine already uses: the main archive and, if named, the security one.
sources() {
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; break } }'
  cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '$1 == "URIs:" { for (i = 2; i <= NF; i++) print $i }'
}
mirror="$(sources | grep -v security | grep -m1 -i debian || true)"
security="$(sources | grep -m1 -i 'debian-security' || true)"
mirror="${mirror:-http://deb.debian.org/debian}"

root="$(mktemp -d /var/tmp/vantorel-root.XXXXXX)"
chmod 0755 "$root"
mounted=()
clean_up() {
  local status=$?
  # Whatever still runs inside the root (a display server, a bus) keeps its mounts busy.
  for process in /proc/[0-9]*; do
    if [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ]; then
      kill -KILL "${process#/proc/}" 2>/dev/null || true
    fi
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
  done
  if grep -q " $root/" /proc/mounts; then
    echo "fresh-root.sh: $root still has mounts; not deleting it" >&2
  elif $keep; then
    echo "fresh-root.sh: the root is kept at $root" >&2
  else
    rm -rf --one-file-system "$root"
  fi
  exit "$status"
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

echo "== debootstrap bookworm from $mirror into $root"
debootstrap --variant=minbase --include=git,ca-certificates,sudo bookworm "$root" "$mirror" \
  >"$root.debootstrap.log" 2>&1 || { tail -n 30 "$root.debootstrap.log" >&2; exit 1; }
rm -f "$root.debootstrap.log"
{
  echo "deb $mirror bookworm main"
  echo "deb $mirror bookworm-updates main"
  [ -z "$security" ] || echo "deb $security bookworm-security main"
} >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"

chroot "$root" useradd --create-home --shell /bin/bash newcomer
echo 'newcomer ALL=(ALL) NOPASSWD: ALL' >"$root/etc/sudoers.d/newcomer"
chmod 0440 "$root/etc/sudoers.d/newcomer"
git clone --quiet --no-local "$tree" "$root/home/newcomer/vantorel"
for file in ${copies[@]+"${copies[@]}"}; do cp "$file" "$root/home/newcomer/"; done
chroot "$root" chown -R newcomer:newcomer /home/newcomer

for target in proc sys dev dev/pts dev/shm; do
  mkdir -p "$root/$target"
  mount --bind "/$target" "$root/$target"
  mounted+=("$root/$target")
done

echo "== running as newcomer in the fresh root: $*"
quoted="$(printf '%q ' "$@")"
chroot "$root" /usr/bin/env -i HOME=/home/newcomer USER=newcomer LOGNAME=newcomer \
  PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin LANG=C.UTF-8 TERM=dumb \
  /usr/bin/sudo -u newcomer -H --preserve-env=LANG,TERM \
  /bin/bash -c "cd ~/vantorel && $quoted"
