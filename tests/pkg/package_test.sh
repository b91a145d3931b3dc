#!/usr/bin/env bash
# Given this build, cpack should make vantorel_<version>_<arch>.deb carrying the program's own
# version, the bundle laid out under /usr with its documentation, dependencies computed from the
# linked libraries, a manual page that names every command and state the program has, and clean
# AppStream data.
set -euo pipefail
build=$1 version=$2 program=$1/Vantorel/bin/vantorel
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb="$out/vantorel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
[ "$("$program" --version)" = "vantorel $version" ] || fail "--version"

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

manual="$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/man/man1/vantorel.1.gz | zcat)"
commands="$("$program" --help | sed -n '/^Subcommands:/,/^$/p' | awk '/^  [^ ]/ { print $1 }')"
[ -n "$commands" ] || fail "no commands in --help"
for command in $commands; do
  grep -q "^\.B vantorel $command" <<<"$manual" || fail "the manual page lacks $command"
done
# As man renders it (a quoted phrase keeps its spaces), and every state named for wait is one.
rendered="$(MANWIDTH=200 man --nj --nh -l - <<<"$manual" 2>/dev/null)"
grep -Fq '("desired": "C6 boot", "C6 normal", "RP boot" or "RP normal";' <<<"$rendered" ||
  fail "the manual page runs the wanted states together"
states="$(grep -o 'STATE is an observed state[^.]*\.' <<<"$rendered")"
while read -r state; do
  grep -Fq " $state" <<<"$states" || fail "the manual page lacks the state $state"
done < <("$program" wait --help | tr -s ' \n' '  ' | grep -o '"[^"]*"' | tr -d '"')
! grep -Fq "watch error" <<<"$states" || fail "the manual page offers \"watch error\" to wait for"

dpkg-deb -x "$deb" "$out/root"
report="$(appstreamcli validate --pedantic --no-net "$out"/root/usr/share/metainfo/*.xml)" &&
  grep -q "Validation was successful.$" <<<"$report" || fail "the metainfo is not clean: $report"
