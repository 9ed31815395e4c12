#!/usr/bin/env bash
# Makes docs/cloth-sizes.png: drapeExplorer's drape preset at 60 x 60,
# 120 x 120 and 240 x 240 after the same number of frames, side by side,
# without a display. Each runs under Xvfb at 1920 x 1080; the preload library
# scripts/frameGrab.cpp reads the frame by its number (so the machine's speed
# does not matter) and ImageMagick puts the three side by side.
#   bash scripts/cloth-sizes.sh [FRAME] [OUTPUT]   (default 400, docs/cloth-sizes.png)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
frame="${1:-400}"
output="${2:-docs/cloth-sizes.png}"

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drapeExplorer

work="$(mktemp -d)"
ze_on_exit() { rm -rf "$work"; }
g++ -std=c++17 -O2 -Wall -Wextra -shared -fPIC -o "$work/frameGrab.so" scripts/frameGrab.cpp -ldl -lGL

start_xvfb 1920x1080
pictures=()
for size in 60 120 240; do
  mkdir -p "$work/$size"
  GRAB_DIR="$work/$size" GRAB_FRAMES="$frame" GRAB_RECT=460,90,1000,940 \
    LD_PRELOAD="$work/frameGrab.so" timeout 300 ./build/explorer/drapeExplorer --size "$size" ||
    { echo "drapeExplorer --size $size did not reach frame $frame" >&2; exit 1; }
  pictures+=("$work/$size/$(printf 'frame%05d.ppm' "$frame")")
done
convert "${pictures[@]}" +append -resize 1800x "$output"
echo "$output: 60, 120 and 240 at frame $frame"
