#!/usr/bin/env bash
# Makes docs/drape.gif, the cloth falling onto the terrain and draping while
# the scene turns, without a display: drape runs under Xvfb at 1920 x 1080
# (without a window manager its window simply fills the screen), the preload
# library scripts/frameGrab.cpp reads chosen frames (by frame number, so the
# speed of the machine does not matter) from the region of the back buffer
# that holds the cloth, and ImageMagick shrinks and assembles them.
#   bash scripts/make-gif.sh [OUTPUT]      (default docs/drape.gif)
# ZE_GIF_SCALE (40%) and ZE_GIF_COLORS (4 grey levels) trade size for
# detail; ZE_GIF_KEEP=1 keeps the captured frames in the temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
output="${1:-docs/drape.gif}"

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drape

work="$(mktemp -d)"
ze_on_exit() { [ -n "${ZE_GIF_KEEP:-}" ] || rm -rf "$work"; }
g++ -std=c++17 -O2 -Wall -Wextra -shared -fPIC -o "$work/frameGrab.so" scripts/frameGrab.cpp -ldl -lGL

# The fall, every second frame from 3 to 61, then the draping and the turn
# every tenth frame to 481; taken from the cloth's region of the screen
# (bottom-left origin), from the flat sheet high up to the draped cloth
# turning below.
numbers=($(seq 3 2 61) $(seq 71 10 481))
start_xvfb 1920x1080
GRAB_DIR="$work" GRAB_FRAMES="$(IFS=,; echo "${numbers[*]}")" GRAB_RECT=160,190,1100,880 \
  LD_PRELOAD="$work/frameGrab.so" timeout 120 ./build/app/drape ||
  { echo "drape did not reach frame ${numbers[-1]} within 120 s" >&2; exit 1; }

# Shown at about 16 pictures a second; the last one stays for two seconds.
frames=()
for n in "${numbers[@]}"; do frames+=("$work/$(printf 'frame%05d.ppm' "$n")"); done
convert "${frames[@]}" -resize "${ZE_GIF_SCALE:-40%}" -colorspace Gray -dither None -colors "${ZE_GIF_COLORS:-4}" \
  -set delay 6 \( -clone -1 -set delay 200 \) -delete -2 -loop 0 -layers Optimize "$output"
echo "$output: ${#frames[@]} pictures, $(du -k "$output" | cut -f1) KiB"
