#!/usr/bin/env bash
# The cost of drapeExplorer's frame with the lab's panel closed and open,
# and, given a second build, of that build's explorer beside it: each run
# under Xvfb at 1920 x 1080 with openbox is counted by the preload library
# bench/libswapCounter.so (frames per second and the process's processor
# time per frame), the programs alternating so that a machine's load falls
# on all of them alike.
#   bash scripts/lab-speed.sh [BUILD] [OTHER_BUILD]    (default build)
# ZE_SPEED_RUNS (3) runs of each; ZE_SPEED_SECONDS (4) counted seconds after
# a 2 s warm-up. ZE_SPEED_SIZES="60 128 256" also runs the explorer at those
# cloth sizes (panel closed), ZE_SPEED_SCREEN (1920x1080) sets the screen, so
# that the figures stand beside the lab page's (scripts/web-speed.py).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
build="${1:-build}"
other="${2:-}"
runs="${ZE_SPEED_RUNS:-3}"
seconds="${ZE_SPEED_SECONDS:-4}"
cmake --build "$build" -j2 --target drapeExplorer swapCounter >/dev/null
start_xvfb "${ZE_SPEED_SCREEN:-1920x1080}" wm

# run NAME BUILD KEYS [OPTIONS...]: one counted run, KEYS sent once the
# window is there.
run() {
  local window="" line
  SWAPCOUNT_WARMUP=2 SWAPCOUNT_SECONDS="$seconds" LD_PRELOAD="$2/bench/libswapCounter.so" \
    timeout $((seconds + 60)) "$2/explorer/drapeExplorer" "${@:4}" 2>"$work_err" >/dev/null &
  local pid=$!
  for _ in $(seq 200); do
    window="$(xdotool search --name '^zeu$' 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$3" ] && [ -n "$window" ] && xdotool key --window "$window" $3
  wait "$pid" || true
  line="$(grep '^swapcount' "$work_err" || true)"
  echo "$1: ${line#swapcount }"
}
work_err="$(mktemp)"
ze_on_exit() { rm -f "$work_err"; }
for _ in $(seq "$runs"); do
  [ -n "$other" ] && run "other, closed" "$other" ""
  run "closed" "$build" ""
  run "open" "$build" Tab
  for n in ${ZE_SPEED_SIZES:-}; do run "size $n" "$build" "" --size "$n"; done
  [ -n "${ZE_SPEED_REOPEN:-}" ] && run "opened and closed" "$build" "Tab Tab"
done
