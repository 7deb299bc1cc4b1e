#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test the viewer. Safe to run again:
# when everything is already installed it changes nothing and does not touch the network.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git python3
  libsfml-dev libftgl-dev libfreetype-dev libglew-dev libnoise-dev libimath-dev
  libgl-dev libglu1-mesa-dev libx11-dev
  fonts-dejavu-core
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb libgl1-mesa-dri xdotool imagemagick x11-utils
  dpkg-dev file lintian desktop-file-utils appstream man-db  # package build and its checkers
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
