#!/usr/bin/env bash
# Builds and runs the cloth demo. With a display it opens full screen (F1
# toggles a window, Escape quits). Without one it runs under Xvfb at
# 1920 x 1080 with openbox, saves a screenshot after a few seconds to
# out/drape.png and quits with Escape.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drape

if [ -n "${DISPLAY:-}" ]; then
  exec ./build/app/drape
fi

start_xvfb 1920x1080 wm
./build/app/drape &
pid=$!
seconds="${DRAPE_SECONDS:-8}"
sleep "$seconds"
mkdir -p out
import -window root out/drape.png
echo "Screenshot after ${seconds} s: out/drape.png"
window="$(xdotool search --name '^zeu$' | head -n1)"
xdotool key --window "$window" Escape
status=0
wait "$pid" || status=$?
echo "drape exited with status $status"
exit "$status"
