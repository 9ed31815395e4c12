#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the demo and the tests need and
# this Debian 12 machine lacks. Does nothing when everything is there.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  libgtest-dev libbenchmark-dev libpng-dev libbullet-dev nlohmann-json3-dev libimgui-dev
  xvfb openbox xdotool x11-utils imagemagick doxygen ffmpeg
  clang libclang-rt-14-dev valgrind
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
