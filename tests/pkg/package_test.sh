#!/usr/bin/env bash
# Given this build, cpack should make vantorel_<version>_<arch>.deb carrying the program's own
# version, the bundle laid out under /usr with its documentation, dependencies computed from the
# linked libraries and clean AppStream data; unpacked, the program runs and loads its module.
set -euo pipefail
build=$1 version=$2
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb="$out/vantorel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"

files="$(dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }')"
for file in /usr/bin/vantorel /usr/lib/vantorel/vantorel-gtk.so /usr/share/vantorel/Info.json \
  /usr/share/applications/vantorel.desktop /usr/share/icons/hicolor/scalable/apps/vantorel.svg \
  /usr/share/metainfo/io.github.vantorel.vantorel.metainfo.xml /usr/share/man/man1/vantorel.1.gz \
  /usr/share/doc/vantorel/copyright /usr/share/doc/vantorel/changelog.gz; do
  grep -qx "$file" <<<"$files" || fail "$file is not in the package"
done
! grep -v '^/usr/' <<<"$files" | grep . || fail "files outside /usr"

depends="$(dpkg-deb -f "$deb" Depends)"
for package in libc6 libglib2.0-0 libudev1 libgtk-3-0 libayatana-appindicator3-1; do
  grep -Fq ", $package (>= " <<<", $depends" || fail "Depends lacks $package: $depends"
done

dpkg-deb -x "$deb" "$out/root"
program=$out/root/usr/bin/vantorel
[ "$("$program" --version)" = "vantorel $version" ] || fail "--version"
# A display that cannot be opened is refused by GTK in the module, so the module was loaded.
said="$(timeout 1 env -i HOME="$out" XDG_RUNTIME_DIR="$out" DISPLAY=:99 "$program" </dev/null \
  2>&1 >/dev/null || true)"
grep -q "no desktop (cannot open display" <<<"$said" || fail "the module is not loaded: $said"
report="$(appstreamcli validate --pedantic --no-net "$out"/root/usr/share/metainfo/*.xml)" &&
  grep -q "Validation was successful.$" <<<"$report" || fail "the metainfo is not clean: $report"
