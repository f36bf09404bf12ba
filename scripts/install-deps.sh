#!/usr/bin/env bash
# Installs everything needed to build, run and test the program on Debian 12.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  qt6-base-dev
  libsqlite3-dev zlib1g-dev libpugixml-dev libsimpleini-dev libicu-dev
  libgl-dev
  fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick trayer openbox xclip
  xdg-utils sqlite3
  desktop-file-utils appstream dpkg-dev file
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
