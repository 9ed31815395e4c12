#!/usr/bin/env bash
# What recording costs drapeExplorer's frames: the explorer full screen on an
# Xvfb screen (default 1920x1080) with the cloth at 60 x 60, its frame rate
# over SECONDS without recording and while recording, from the frame numbers
# of two `o` meshes SECONDS apart, REPEATS times each, alternating.
#   bash scripts/video-cost.sh [BUILD_DIR] [SIZE] [SECONDS] [REPEATS]
set -euo pipefail
build="${1:-build}"
size="${2:-1920x1080}"
seconds="${3:-5}"
repeats="${4:-3}"
program="$(cd "$build" && pwd)/explorer/drapeExplorer"
source "$(dirname "$0")/xvfb.sh"
work="$(mktemp -d)"
ze_on_exit() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
start_xvfb "$size" wm
cd "$work"
"$program" --size 60 >out.txt 2>err.txt &
pid=$!
window=""
for _ in $(seq 100); do
  window="$(xdotool search --name '^zeu$' 2>/dev/null | head -n1 || true)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no drapeExplorer window" >&2; exit 1; }
sleep 3  # past the start and the first measured second

lines() { wc -l <out.txt; }
waitLines() {
  for _ in $(seq 600); do [ "$(lines)" -ge "$1" ] && return 0; sleep 0.05; done
  echo "no answer from drapeExplorer: $(cat err.txt)" >&2
  exit 1
}
# Frames a second between two OBJ files SECONDS apart, from their frame numbers.
rate() {
  local n t0 t1 f0 f1
  n=$(lines)
  xdotool key --window "$window" o
  t0=$(date +%s.%N)
  waitLines $((n + 1))
  sleep "$seconds"
  xdotool key --window "$window" o
  t1=$(date +%s.%N)
  waitLines $((n + 2))
  f0=$(sed -n "$((n + 1))p" out.txt | sed 's/^wrote drape-0*\([0-9]*\).*/\1/')
  f1=$(sed -n "$((n + 2))p" out.txt | sed 's/^wrote drape-0*\([0-9]*\).*/\1/')
  echo "($f1 - $f0) / ($t1 - $t0)" | bc -l
}

for r in $(seq "$repeats"); do
  plain=$(rate)
  xdotool key --window "$window" m
  recorded=$(rate)
  n=$(lines)
  xdotool key --window "$window" m
  waitLines $((n + 1))
  printf 'run %d: %.1f fps plain, %.1f fps recording (%s), frame time x%.3f\n' "$r" "$plain" \
    "$recorded" "$(sed -n "$((n + 1))p" out.txt)" "$(echo "$plain / $recorded" | bc -l)"
done
xdotool key --window "$window" Escape
wait "$pid" || true
pid=""
