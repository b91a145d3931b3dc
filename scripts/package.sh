#!/usr/bin/env bash
# Builds the Debian package from a clean tree: configures a fresh build folder with Debian's
# compiler flags (hardening included) and without the test suite, builds, and makes
# vantorel_<version>_<arch>.deb there with `cpack -G DEB`. Prints the package's path last.
# Needs what `scripts/setup.sh run` installs, plus dpkg-dev and file (for the dependencies).
#
# Usage: scripts/package.sh [build folder]     (default: build/package; emptied first)
# VANTOREL_CMAKE_ARGS adds CMake options, e.g. -DVANTOREL_BOARD_C6_SERIAL=F4:12:FA:00:11:22 to bake
# the expected ESP32-C6 serial into the package for every user.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$source_dir/build/package}")"
for tool in cmake ninja dpkg-buildflags dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing" >&2; exit 2; }
done

rm -rf "$build"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CPPFLAGS="$(dpkg-buildflags --get CPPFLAGS)"
CFLAGS="$(dpkg-buildflags --get CFLAGS) $CPPFLAGS"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS
# "None": only the flags above, as Debian's own packages are built.
cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DVANTOREL_BUILD_TESTS=OFF \
  -DVANTOREL_WERROR=OFF ${VANTOREL_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"${VANTOREL_JOBS:-2}"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/vantorel_*.deb
