#!/usr/bin/env bash
# Makes the pictures of the cloth meeting obstacles without a display:
# docs/lab-sphere.png (the sphere preset draped over its ball),
# docs/lab-pile.png (the pile preset folded onto itself) and
# docs/lab-ball.gif (the ball dragged through the draped sheet with
# Shift + drag). drapeExplorer runs under Xvfb at 1920 x 1080 with openbox,
# driven with xdotool; ImageMagick takes the screen.
#   bash scripts/obstacle-pictures.sh [SIZE]      (default 64)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
size="${1:-64}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drapeExplorer

work="$(mktemp -d)"
ze_on_exit() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  rm -rf "$work"
}
start_xvfb 1920x1080 wm
root="$(pwd)"
crop=1300x1000+310+40

# Starts the lab on a preset and waits for its window.
start_lab() {
  (cd "$work" && exec "$root/build/explorer/drapeExplorer" --size "$size" "$@") >/dev/null 2>&1 &
  app=$!
  window=""
  for _ in $(seq 200); do
    window="$(xdotool search --name '^zeu$' 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no drapeExplorer window" >&2; exit 1; }
  sleep 2
  xdotool key --window "$window" t  # the turn off
}

stop_lab() {
  xdotool key --window "$window" Escape
  wait "$app" || true
  app=""
}

start_lab --preset sphere
sleep "${ZE_SETTLE:-12}"
import -window root -crop "$crop" "$work/sphere.png"
convert "$work/sphere.png" -resize 50% docs/lab-sphere.png

# The ball dragged through the sheet from its middle to the right and back.
x=960 y=560
xdotool keydown shift mousemove "$x" "$y" mousedown 1
for k in $(seq 1 30); do
  xdotool mousemove $((x + 12 * k)) "$y"
  sleep 0.1
  import -window root -crop "$crop" "$work/$(printf 'ball%03d.png' "$k")"
done
xdotool mouseup 1 keyup shift
for k in $(seq 31 40); do
  sleep 0.1
  import -window root -crop "$crop" "$work/$(printf 'ball%03d.png' "$k")"
done
stop_lab
convert "$work"/ball*.png -resize "${ZE_GIF_SCALE:-40%}" -dither None -colors "${ZE_GIF_COLORS:-32}" \
  -set delay 12 \( -clone -1 -set delay 200 \) -delete -2 -loop 0 -layers Optimize docs/lab-ball.gif

start_lab --preset pile
sleep "${ZE_SETTLE:-12}"
import -window root -crop "$crop" "$work/pile.png"
convert "$work/pile.png" -resize 50% docs/lab-pile.png
stop_lab
echo "docs/lab-sphere.png, docs/lab-pile.png, docs/lab-ball.gif: $(du -k docs/lab-ball.gif | cut -f1) KiB"
