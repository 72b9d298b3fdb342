#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when they are missing.
set -euo pipefail
packages=(
  cmake g++ make               # the build
  qt6-base-dev libgl-dev       # Qt 6 Widgets (its CMake files need the OpenGL headers)
  libsqlite3-dev               # the embedded database
  libgtest-dev                 # the tests
  libbenchmark-dev             # bench/
  fonts-ipafont-gothic         # fixed-pitch Japanese font of the detail tree
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
