#!/usr/bin/env bash
# Makes docs/shapeview.png without a display: drapeExplorer writes the drape
# preset's cloth after 400 frames as a shape record, shapeView opens it under
# Xvfb at 1280 x 720, a drag turns the view, and p saves the window.
# Usage: bash scripts/shapeview-picture.sh [OUT.png]   (builds what is missing)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh

out="${1:-docs/shapeview.png}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target shapeView drapeExplorer >/dev/null

work="$(mktemp -d)"
ze_on_exit() { rm -rf "$work"; }
./build/explorer/drapeExplorer --batch 400 --threads 1 --shape "$work/cloth.shape" >/dev/null

start_xvfb 1280x720 wm
(cd "$work" && exec "$OLDPWD/build/viewer/shapeView" cloth.shape) &
viewer=$!
window=""
for _ in $(seq 100); do
  window="$(xdotool search --name '^zeu$' 2>/dev/null | head -n1 || true)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "shapeView opened no window" >&2; exit 1; }
sleep 2
xdotool mousemove 640 360 mousedown 1
for step in $(seq 1 12); do xdotool mousemove $((640 + step * 8)) $((360 - step * 2)); sleep 0.05; done
xdotool mouseup 1
sleep 1
# p is asked for again until the picture is there (a key sent before the
# window has the focus is lost).
for _ in $(seq 10); do
  xdotool key --window "$window" p
  for _ in $(seq 10); do [ -s "$work/cloth.png" ] && break 2; sleep 0.1; done
done
xdotool key --window "$window" Escape || true
for _ in $(seq 50); do kill -0 "$viewer" 2>/dev/null || break; sleep 0.1; done
kill "$viewer" 2>/dev/null || true
[ -s "$work/cloth.png" ] || { echo "no picture" >&2; exit 1; }
cp "$work/cloth.png" "$out"
echo "wrote $out"
