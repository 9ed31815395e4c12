#!/usr/bin/env bash
# Makes the README's pictures of the cloth lab without a display:
# docs/lab-panel.png, drapeExplorer with its parameter panel open, and
# docs/lab-grab.gif, the curtain preset with tearing on, a node grabbed
# and pulled until links tear. drapeExplorer runs under Xvfb at 1920 x 1080 with openbox and is
# driven with xdotool as a person would; ImageMagick takes the screen and
# assembles the animation (pictures taken as the cloth runs, so their pace
# is the machine's).
#   bash scripts/lab-pictures.sh [PANEL_PNG] [GRAB_GIF]
# ZE_GIF_SCALE (40%) and ZE_GIF_COLORS (32) trade size for detail.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
panel_png="${1:-docs/lab-panel.png}"
grab_gif="${2:-docs/lab-grab.gif}"

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drapeExplorer

work="$(mktemp -d)"
ze_on_exit() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  rm -rf "$work"
}
start_xvfb 1920x1080 wm
root="$(pwd)"
(cd "$work" && exec "$root/build/explorer/drapeExplorer" --preset curtain) >/dev/null 2>&1 &
app=$!
window=""
for _ in $(seq 200); do
  window="$(xdotool search --name '^zeu$' 2>/dev/null | head -n1 || true)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no drapeExplorer window" >&2; exit 1; }
sleep 2  # until the window takes keys
xdotool key --window "$window" space r t  # paused at the flat sheet, the turn off

# Tearing on, in the panel (its checkbox, as the panel first opens at the
# top right).
xdotool key --window "$window" Tab
sleep 0.5
xdotool mousemove 1507 360 click 1
sleep 0.3
xdotool key --window "$window" Tab

# The grab: the middle of the sheet taken, the cloth let go on, the node
# pulled down and across while the curtain falls around it, until the
# links around it tear; then let go. One picture after each step.
x=960 y=400 crop=1300x1000+310+40
xdotool mousemove "$x" "$y" mousedown 1 mousemove "$x" $((y - 10))
sleep 0.3
xdotool key --window "$window" space
for k in $(seq 1 24); do
  xdotool mousemove $((x + 12 * k)) $((y + 16 * k))
  sleep 0.1
  import -window root -crop "$crop" "$work/$(printf 'grab%03d.png' "$k")"
done
xdotool mouseup 1
for k in $(seq 25 32); do
  sleep 0.1
  import -window root -crop "$crop" "$work/$(printf 'grab%03d.png' "$k")"
done
convert "$work"/grab*.png -resize "${ZE_GIF_SCALE:-40%}" -dither None -colors "${ZE_GIF_COLORS:-32}" \
  -set delay 12 \( -clone -1 -set delay 200 \) -delete -2 -loop 0 -layers Optimize "$grab_gif"

# The panel, open over the torn cloth.
xdotool key --window "$window" Tab
xdotool mousemove 1700 900
sleep 1
import -window root "$work/panel.png"
convert "$work/panel.png" -resize 50% "$panel_png"
echo "$panel_png, $grab_gif: $(du -k "$grab_gif" | cut -f1) KiB"
