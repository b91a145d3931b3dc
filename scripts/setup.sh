#!/usr/bin/env bash
# Installs the Debian 12 packages Vantorel needs to build, run and test, then configures and
# builds it in ./build. Safe to run again: installs only what is missing, builds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  # build
  g++ cmake pkg-config nlohmann-json3-dev libglib2.0-dev libudev-dev
  libgtk-3-dev libayatana-appindicator3-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev umockdev libumockdev-dev
  xvfb openbox xdotool x11-utils imagemagick dbus python3 python3-dbus python3-gi
  gir1.2-umockdev-1.0 librsvg2-common
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VANTOREL_CMAKE_ARGS:-}
cmake --build build -j"$(nproc)"
