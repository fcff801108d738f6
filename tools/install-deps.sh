#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Albireo need.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev
  libsqlite3-dev sqlite3 libcdio-dev libiso9660-dev libudfread-dev
  libpq-dev postgresql postgresql-contrib
  libgtest-dev libgmock-dev
  xorriso genisoimage udftools python3-pycdlib
  clang libclang-rt-14-dev librsvg2-bin imagemagick
  xvfb xauth xdotool openbox x11-utils x11-xserver-utils wmctrl
  qt6-wayland weston libwayland-dev wayland-protocols sway
  dpkg-dev desktop-file-utils appstream bash-completion
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
