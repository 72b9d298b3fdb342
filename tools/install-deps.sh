#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when they are missing.
# --package adds the checkers that tools/package.sh runs on the package.
set -euo pipefail
packages=(
  cmake g++ make               # the build
  qt6-base-dev libgl-dev       # Qt 6 Widgets (its CMake files need the OpenGL headers)
  qt6-translations-l10n        # Qt's own dialogs and buttons in Japanese
  libsqlite3-dev               # the embedded database
  libpq-dev postgresql         # the server database: its client library, and the server the tests start
  libgtest-dev                 # the tests
  libbenchmark-dev             # bench/
  fonts-ipafont-gothic         # fixed-pitch Japanese font of the detail tree
  dpkg-dev file                # the Debian package: dpkg-shlibdeps, and file to find the programs
  systemd                      # systemd-analyze rates the package's service offline (nothing is started)
)
if [ "${1:-}" = "--package" ]; then
  packages+=(lintian desktop-file-utils appstream man-db)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  echo "Installing Debian packages with apt-get (this needs root${sudo_cmd:+, through sudo}): ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
