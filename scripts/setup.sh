#!/usr/bin/env bash
# Installs the Debian 12 packages Vantorel needs, then configures and builds it in ./build.
#   scripts/setup.sh run    what running needs: the program, its module and its data
#   scripts/setup.sh test   everything: also the test suites, their tools and the benchmarks
# Safe to run again: installs only what is missing, builds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
purpose="${1:-test}"

run_packages=(
  g++ cmake ninja-build pkg-config
  nlohmann-json3-dev libcli11-dev libglib2.0-dev libudev-dev
  libgtk-3-dev libayatana-appindicator3-dev libgtk-layer-shell-dev
  librsvg2-common  # draws the SVG icons
)
test_packages=(
  libgtest-dev libgmock-dev clang-format clang-tidy
  clang libclang-rt-14-dev  # the sanitized unit tests and the fuzz targets
  umockdev libumockdev-dev gir1.2-umockdev-1.0
  xvfb xdotool x11-utils imagemagick dbus
  xfce4-panel xfconf xfwm4  # a real status-area host
  sway xwayland grim wtype  # a Wayland session
  python3 python3-dbus python3-gi
  dpkg-dev file  # the Debian package's dependencies
  man-db appstream  # the package's manual page and metainfo checks
  libfribidi-dev libpango1.0-dev  # the fuzz targets' models and the label's layout
)
case "$purpose" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: scripts/setup.sh [run|test]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  as_root=()
  # sudo resets the environment: the non-interactive front end has to be passed through it.
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A build folder made by another generator (older checkouts used make) cannot be reused.
if [ -f build/CMakeCache.txt ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' build/CMakeCache.txt; then
  rm -rf build
fi

if [ "$purpose" = run ]; then
  # Keep a build folder that already has the tests; never configure them without their packages.
  tests=()
  [ -f build/CMakeCache.txt ] || tests=(-DVANTOREL_BUILD_TESTS=OFF)
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${tests[@]}" ${VANTOREL_CMAKE_ARGS:-}
  cmake --build build --target vantorel
else
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_BUILD_TESTS=ON \
    -DVANTOREL_WERROR=ON ${VANTOREL_CMAKE_ARGS:-}
  cmake --build build
fi
