#!/usr/bin/env bash
# Builds and runs a demo program: drape (the default) or drapeExplorer.
#   bash scripts/run-demo.sh [drape|drapeExplorer]
# With a display it opens full screen (F1 toggles a window, Escape quits).
# Without one it runs under Xvfb at 1920 x 1080 with openbox, saves a
# screenshot after a few seconds to out/<program>.png and quits with Escape;
# the explorer also gets a short scripted tour (pointer on the cloth, the
# surface with the net, a drag, pause, and its own p, o and w files in out/).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh

program="${1:-drape}"
case "$program" in
  drape) binary=build/app/drape ;;
  drapeExplorer) binary=build/explorer/drapeExplorer ;;
  *)
    echo "usage: $0 [drape|drapeExplorer]" >&2
    exit 2
    ;;
esac

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target "$program"

if [ -n "${DISPLAY:-}" ]; then
  exec "./$binary"
fi

start_xvfb 1920x1080 wm
mkdir -p out
# The explorer writes its files into its working directory.
(cd out && exec "../$binary") &
pid=$!
seconds="${DRAPE_SECONDS:-8}"
window=""
for _ in $(seq 100); do
  window="$(xdotool search --name '^zeu$' 2>/dev/null | head -n1)" && [ -n "$window" ] && break
  sleep 0.1
done

if [ "$program" = drapeExplorer ]; then
  sleep 3
  xdotool mousemove 960 560                 # a node under the pointer
  sleep 1
  xdotool key --window "$window" n          # the surface with the net
  xdotool mousemove 1400 800 mousedown 1 mousemove 1450 790 mousemove 1560 760 mouseup 1
  sleep 1
  xdotool mousemove 960 560 click 1         # prints the node under the pointer
  sleep "$((seconds > 5 ? seconds - 5 : 1))"
  xdotool key --window "$window" space      # pause
  sleep 0.5
  xdotool key --window "$window" p o w      # its own screenshot, OBJ and shape record
  sleep 1
else
  sleep "$seconds"
fi
import -window root "out/$program.png"
echo "Screenshot after ${seconds} s: out/$program.png"
xdotool key --window "$window" Escape
status=0
wait "$pid" || status=$?
echo "$program exited with status $status"
exit "$status"
