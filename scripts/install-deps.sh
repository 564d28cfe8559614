#!/usr/bin/env bash
# Installs the Debian 12 packages the game, its tests, benchmarks, fuzz targets and its
# package check need.
# Does nothing when everything is already present; uses sudo when not root.
set -euo pipefail

packages=(
  build-essential g++ cmake make pkg-config
  libsdl2-dev libsdl2-mixer-dev libenet-dev
  libgl-dev libglu1-mesa-dev
  libgl1-mesa-dri xvfb xauth
  libgtest-dev libbenchmark-dev
  libnoise-dev libfreetype-dev fonts-dejavu-core libpng-dev zlib1g-dev
  clang libclang-rt-14-dev
  dpkg-dev desktop-file-utils appstream man-db groff-base file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
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
