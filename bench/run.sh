#!/usr/bin/env bash
# Builds and runs every benchmark and prints one table of medians:
#   - bench/clothBench (Google Benchmark, against the GL recording stand-in):
#     the simulation part of a frame in three phases, one whole draw, makeApp
#     and the heap allocations of 1000 frames;
#   - bench/explorerBench (the same way): the 60 x 60 mesh's normal
#     generation, one explorer frame and the heap allocations of 1000;
#   - bench/bulletCloth, when the build found Bullet: Bullet's soft-body cloth
#     at N x N = 60, 128, 256 and 512, per step over the same 80 frames of
#     falling onto a box and lying on it;
#   - bench/meshBench (the same way): big meshes in the shape library, draw
#     against the client-array path, the two normal generations, the build;
#   - bench/clothComponentBench: the cloth component per frame and per node
#     at 60 to 512 on one thread and on every core, beside drape's own step,
#     and over the frames bulletCloth times; the XPBD solver's hanging sheet
#     per node and small step at 64 to 512, and at 256 on two threads;
#   - bench/bulletHanging, when the build found Bullet: Bullet's soft body on
#     the hanging sheet at 1, 4, 16 and 64 position iterations beside ours
#     (strain and processor time per simulated second);
#   - the real drape, drapeExplorer (in its surface-with-net look, and in its
#     surface look at 60, 128 and 256) and the
#     bare GLUT floor (bench/glFloor) under Xvfb at 1920 x 1080 with openbox,
#     alternating, each run counted by the preload library
#     bench/libswapCounter.so: frames per second and start-up times.
#
# Usage: bash bench/run.sh [build-dir]        (default: build-bench)
# Environment:
#   ZE_BENCH_DISPLAY  X display number for the private Xvfb (default: a free one)
#   ZE_BENCH_REPS     repetitions of each clothBench benchmark (default 9)
#   ZE_BENCH_BULLET_REPS  repetitions of each bulletCloth size (default 3)
#   ZE_BENCH_RUNS     runs of each program for the frame rates (default 9)
#   ZE_BENCH_SECONDS  counted seconds per run (default 4), after
#   ZE_BENCH_WARMUP   seconds from the first frame (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
root="$PWD"
build="${1:-build-bench}"
reps="${ZE_BENCH_REPS:-9}"
bullet_reps="${ZE_BENCH_BULLET_REPS:-3}"
runs="${ZE_BENCH_RUNS:-9}"
seconds="${ZE_BENCH_SECONDS:-4}"
warmup="${ZE_BENCH_WARMUP:-2}"
work="$(mktemp -d)"

ze_on_exit() { rm -rf "$work"; }
trap ze_on_exit EXIT

load() { cut -d' ' -f1-3 /proc/loadavg; }
load_before="$(load)"

echo "== build ($build)" >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target clothBench explorerBench meshBench clothComponentBench glFloor \
  swapCounter drape drapeExplorer >/dev/null
# The Bullet peer is built only where the build found Bullet.
bullet=""
if grep -q '^BULLET_FOUND:INTERNAL=1$' "$build/CMakeCache.txt"; then
  cmake --build "$build" -j2 --target bulletCloth bulletHanging >/dev/null
  bullet="$build/bench/bulletCloth"
fi

# ---- Google Benchmark programs -------------------------------------------------
echo "== clothBench, $reps repetitions" >&2
"$build/bench/clothBench" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/cloth.json" --benchmark_out_format=json >&2
echo "== explorerBench, $reps repetitions" >&2
"$build/bench/explorerBench" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/explorer.json" --benchmark_out_format=json >&2
echo '{}' >"$work/bullet.json"
if [ -n "$bullet" ]; then
  echo "== bulletCloth, $bullet_reps repetitions" >&2
  "$bullet" --benchmark_repetitions="$bullet_reps" --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/bullet.json" --benchmark_out_format=json >&2
else
  echo "== bulletCloth: not built (no Bullet: libbullet-dev)" >&2
fi
echo "== clothComponentBench, $reps repetitions" >&2
"$build/bench/clothComponentBench" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/component.json" --benchmark_out_format=json >&2
echo "== meshBench, $reps repetitions" >&2
"$build/bench/meshBench" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/mesh.json" --benchmark_out_format=json >&2

# "name key value" for every field of every median entry of the JSON report
# (of every entry, when a single repetition makes no medians).
awk '
  /^ *"name":/ { gsub(/[",]/, "", $2); name = $2; next }
  name ~ /\/manual_time(_median)?$/ && /^ *"[a-z_]+": [-0-9.e+]+,?$/ {
    key = $1; gsub(/[":]/, "", key); value = $2; gsub(/,/, "", value)
    short = name; sub(/(\/iterations:[0-9]+)?\/manual_time(_median)?$/, "", short)
    print short, key, value
  }' "$work/cloth.json" "$work/explorer.json" "$work/bullet.json" "$work/mesh.json" \
  "$work/component.json" >"$work/cloth.txt"

# median NAME KEY: one value from the table above.
bm() { awk -v n="$1" -v k="$2" '$1 == n && $2 == k { print $3 }' "$work/cloth.txt"; }

# ---- Frame rates under Xvfb -----------------------------------------------------
echo "== frame rates: drape, drapeExplorer and glFloor alternating, $runs runs each" >&2
start_xvfb 1920x1080 wm "${ZE_BENCH_DISPLAY:-}"

# run PROGRAM LABEL: one counted run, its swapcount line appended to LABEL.txt.
run() {
  local line
  line="$(SWAPCOUNT_WARMUP="$warmup" SWAPCOUNT_SECONDS="$seconds" \
    LD_PRELOAD="$root/$build/bench/libswapCounter.so" SWAPCOUNT_T0="$(date +%s%N)" \
    timeout $((warmup + seconds + 60)) "$1" 2>&1 >/dev/null | grep '^swapcount' || true)"
  [ -n "$line" ] || { echo "no frame count from $1" >&2; exit 1; }
  echo "  $2: ${line#swapcount }" >&2
  echo "$line" >>"$work/$2.txt"
}
# run_explorer: the same for the explorer, switched to its surface-with-net
# look (key n) as soon as its window is there, well inside the warm-up.
run_explorer() {
  local line window=""
  SWAPCOUNT_WARMUP="$warmup" SWAPCOUNT_SECONDS="$seconds" \
    LD_PRELOAD="$root/$build/bench/libswapCounter.so" SWAPCOUNT_T0="$(date +%s%N)" \
    timeout $((warmup + seconds + 60)) "$build/explorer/drapeExplorer" \
    2>"$work/explorer.err" >/dev/null &
  local pid=$!
  for _ in $(seq 200); do
    window="$(xdotool search --name '^zeu$' 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] && xdotool key --window "$window" n
  wait "$pid" || true
  line="$(grep '^swapcount' "$work/explorer.err" || true)"
  [ -n "$line" ] || { echo "no frame count from drapeExplorer" >&2; exit 1; }
  echo "  explorer: ${line#swapcount }" >&2
  echo "$line" >>"$work/explorer.txt"
}
# run_sized N: the explorer in its surface look with an N x N cloth.
run_sized() {
  local line
  line="$(SWAPCOUNT_WARMUP="$warmup" SWAPCOUNT_SECONDS="$seconds" \
    LD_PRELOAD="$root/$build/bench/libswapCounter.so" SWAPCOUNT_T0="$(date +%s%N)" \
    timeout $((warmup + seconds + 60)) "$build/explorer/drapeExplorer" --size "$1" 2>&1 >/dev/null |
    grep '^swapcount' || true)"
  [ -n "$line" ] || { echo "no frame count from drapeExplorer --size $1" >&2; exit 1; }
  echo "  surface $1: ${line#swapcount }" >&2
  echo "$line" >>"$work/surface$1.txt"
}
for r in $(seq "$runs"); do
  run "$build/app/drape" drape
  run_explorer
  run "$build/bench/glFloor" floor
  for n in 60 128 256; do run_sized "$n"; done
done

# field LABEL KEY: the values of KEY over the runs of LABEL, one a line.
field() { sed -n "s/.* $2=\([^ ]*\).*/\1/p" "$work/$1.txt"; }
median() {
  sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "nan"; exit }
    print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# The program's own start-up: from the window being made to the main loop.
own() { paste <(field "$1" main_loop_ms) <(field "$1" window_ms) | awk '{ print $1 - $2 }'; }

drape_fps="$(field drape fps | median)"
floor_fps="$(field floor fps | median)"
ratio="$(awk -v d="$drape_fps" -v f="$floor_fps" 'BEGIN { printf "%.3f", f / d }')"
# Each drape run against the floor run right after it: less moved by drift in
# the machine's load than the ratio of medians.
pair_ratio="$(paste <(field drape fps) <(field floor fps) | awk '{ print $2 / $1 }' | median)"
explorer_fps="$(field explorer fps | median)"
explorer_ratio="$(awk -v d="$drape_fps" -v e="$explorer_fps" 'BEGIN { printf "%.3f", d / e }')"
explorer_pair="$(paste <(field drape fps) <(field explorer fps) | awk '{ print $1 / $2 }' | median)"
explorer_cpu="$(field explorer cpu_ms_per_frame | median)"
drape_cpu="$(field drape cpu_ms_per_frame | median)"
floor_cpu="$(field floor cpu_ms_per_frame | median)"
cpu_ratio="$(awk -v d="$drape_cpu" -v f="$floor_cpu" 'BEGIN { printf "%.3f", d / f }')"
size="$(field drape size | sort | uniq -c | sort -rn | awk 'NR == 1 { print $2 }')"
load_after="$(load)"

# first_build NAME: one build in a fresh process (the kernel hands over every
# page as it is first written), the median over $reps processes, in ms.
first_build() {
  for _ in $(seq "$reps"); do
    ZE_MESH_FIRST_BUILD=1 "$build/bench/meshBench" --benchmark_filter="^$1/" --benchmark_min_time=1e-9 \
      --benchmark_format=json 2>/dev/null | awk '/"real_time":/ { gsub(/,/, "", $2); print $2 }'
  done | median
}

# ---- Table -----------------------------------------------------------------------
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v + 0 < t + 0) ? "met" : "NOT met" }'; }
f1() { awk -v v="$1" 'BEGIN { printf "%.1f", v }'; }
f3() { awk -v v="$1" 'BEGIN { printf "%.3f", v }'; }
row() { printf '| %-56s | %12s | %-10s | %-7s |\n' "$@"; }

fall="$(bm step/falling frame_us_median)"
rest="$(bm step/at_rest frame_us_median)"
allocs="$(bm step/1000_frames heap_allocs)"
first="$(field drape first_frame_ms | median)"
echo
echo "Medians; machine: $(nproc) cores, load average $load_before before, $load_after after"
echo
row "Measure" "Median" "Target" "Result"
row "---" "---:" "---" "---"
row "step, falling (frames 1-15, all 3600 nodes free), us" "$(f1 "$fall")" "< 300" "$(verdict "$fall" 300)"
row "step, draping (frames 16-200), mean over the phase, us" "$(f1 "$(bm step/draping real_time)")" "" ""
row "step, at rest (frames 2001-2200, all in contact), us" "$(f1 "$rest")" "< 25" "$(verdict "$rest" 25)"
row "heap allocations in 1000 frames of step" "$(printf '%.0f' "$allocs")" "0" \
  "$(awk -v v="$allocs" 'BEGIN { print (v == 0) ? "met" : "NOT met" }')"
row "draw (stand-in, recording off), falling, us" "$(f1 "$(bm draw/falling frame_us_median)")" "" ""
row "draw (stand-in, recording off), at rest, us" "$(f1 "$(bm draw/at_rest frame_us_median)")" "" ""
row "makeApp, ms" "$(f3 "$(bm makeApp ms_median)")" "" ""
row "normal generation, 60 x 60 mesh, us" "$(f1 "$(bm normals/60x60 real_time)")" "" ""
row "explorer frame (stand-in), surface + net, us" \
  "$(f1 "$(bm explorer/frame real_time)")" "" ""
eallocs="$(bm explorer/1000_frames heap_allocs)"
row "heap allocations in 1000 explorer frames" "$(printf '%.0f' "$eallocs")" "0" \
  "$(awk -v v="$eallocs" 'BEGIN { print (v == 0) ? "met" : "NOT met" }')"
for n in 256 512; do
  row "mesh $n x $n: draw (stand-in, recording off), ms" "$(f3 "$(bm mesh_draw/$n real_time)")" "" ""
  row "mesh $n x $n: client arrays, picking on, ms" "$(f3 "$(bm mesh_arrays/$n real_time)")" "" ""
done
row "mesh 512 x 512: client arrays, picking off, ms" \
  "$(f3 "$(bm mesh_arrays_nopick/512 real_time)")" "" ""
marrallocs="$(bm mesh_arrays/512 heap_allocs)"
row "heap allocations per client-array draw, 512 x 512" "$(printf '%.0f' "$marrallocs")" "0" \
  "$(awk -v v="$marrallocs" 'BEGIN { print (v == 0) ? "met" : "NOT met" }')"
row "normals 512 x 512: calculateNormals, ms" "$(f3 "$(bm mesh_calculateNormals/512 real_time)")" "" ""
row "normals 512 x 512: calculateMeshNormals, ms" \
  "$(f3 "$(bm mesh_calculateMeshNormals/512 real_time)")" "" ""
row "zeMeshShape(512, 512), ms" "$(f3 "$(bm mesh_build/512 real_time)")" "" ""
row "zeMeshShape(1024, 1024), ms" "$(f3 "$(bm mesh_build/1024 real_time)")" "" ""
row "512 x 512 mesh grown by addPoint and addIndex, ms" \
  "$(f3 "$(bm mesh_build_appending/512 real_time)")" "" ""
row "1024 x 1024 mesh grown by addPoint and addIndex, ms" \
  "$(f3 "$(bm mesh_build_appending/1024 real_time)")" "" ""
row "zeMeshShape(512, 512), first build in a process, ms" "$(f1 "$(first_build mesh_build/512)")" "" ""
row "zeMeshShape(1024, 1024), first build in a process, ms" \
  "$(f1 "$(first_build mesh_build/1024)")" "" ""
row "512 x 512 grown by appending, first in a process, ms" \
  "$(f1 "$(first_build mesh_build_appending/512)")" "" ""
row "1024 x 1024 grown by appending, first in a process, ms" \
  "$(f1 "$(first_build mesh_build_appending/1024)")" "" ""
row "drape frames per second at $size" "$(f1 "$drape_fps")" "" ""
row "glFloor frames per second at $size" "$(f1 "$floor_fps")" "" ""
row "explorer (surface + net) frames per second at $size" "$(f1 "$explorer_fps")" "" ""
row "explorer frame time / drape frame time" "$explorer_ratio" "<= 1.5" \
  "$(awk -v r="$explorer_ratio" 'BEGIN { print (r <= 1.5) ? "met" : "NOT met" }')"
row "same, median of the ratios of each run pair" "$(f3 "$explorer_pair")" "" ""
row "explorer processor time per frame, ms" "$(f3 "$explorer_cpu")" "" ""
row "drape frame time / floor frame time" "$ratio" "<= 1.10" \
  "$(awk -v r="$ratio" 'BEGIN { print (r <= 1.10) ? "met" : "NOT met" }')"
row "same, median of the ratios of each run pair" "$(f3 "$pair_ratio")" "" ""
row "drape processor time per frame, ms" "$(f3 "$drape_cpu")" "" ""
row "glFloor processor time per frame, ms" "$(f3 "$floor_cpu")" "" ""
row "drape / floor processor time per frame" "$cpu_ratio" "" ""
row "drape: launch to window and GL context, ms" "$(f1 "$(field drape window_ms | median)")" "" ""
row "drape: window to main loop (own start-up), ms" "$(f1 "$(own drape | median)")" "" ""
row "drape: launch to first frame, ms" "$(f1 "$first")" "< 50" "$(verdict "$first" 50)"
row "glFloor: launch to first frame, ms" "$(f1 "$(field floor first_frame_ms | median)")" "" ""
echo
echo "The cloth component (bench/clothComponentBench), drape preset, medians over $reps repetitions"
echo
row "Measure" "Median" "Target" "Result"
row "---" "---:" "---" "---"
for n in 60 128 256 512; do
  row "frame $n x $n falling, 1 thread: us (ns per node)" \
    "$(f1 "$(bm "component/$n/1/min_time:0.300" real_time)") ($(f1 "$(bm "component/$n/1/min_time:0.300" ns_per_node)"))" "" ""
  row "frame $n x $n falling, every core: us (ns per node)" \
    "$(f1 "$(bm "component/$n/0/min_time:0.300" real_time)") ($(f1 "$(bm "component/$n/0/min_time:0.300" ns_per_node)"))" "" ""
done
per60="$(bm "component/60/1/min_time:0.300" ns_per_node)"
per512="$(bm "component/512/1/min_time:0.300" ns_per_node)"
scale="$(awk -v a="$per512" -v b="$per60" 'BEGIN { printf "%.3f", a / b }')"
row "per-node cost at 512 / at 60, 1 thread" "$scale" "<= 1.25" \
  "$(awk -v r="$scale" 'BEGIN { print (r <= 1.25) ? "met" : "NOT met" }')"
speed="$(awk -v a="$(bm "component/256/0/min_time:0.300" real_time)" \
  -v b="$(bm "component/256/1/min_time:0.300" real_time)" 'BEGIN { printf "%.3f", a / b }')"
row "256 x 256: every core / 1 thread" "$speed" "<= 0.6" \
  "$(awk -v r="$speed" 'BEGIN { print (r <= 0.6) ? "met" : "NOT met" }')"
dfall="$(awk -v a="$(bm "component/60/1/min_time:0.300" real_time)" -v b="$(bm drapeStep/falling real_time)" \
  'BEGIN { printf "%.3f", a / b }')"
row "drape preset / drape's own step, falling" "$dfall" "<= 1" \
  "$(awk -v r="$dfall" 'BEGIN { print (r <= 1) ? "met" : "NOT met" }')"
drest="$(awk -v a="$(bm component/rest/60 real_time)" -v b="$(bm drapeStep/rest real_time)" \
  'BEGIN { printf "%.3f", a / b }')"
row "drape preset / drape's own step, at rest" "$drest" "<= 1" \
  "$(awk -v r="$drest" 'BEGIN { print (r <= 1) ? "met" : "NOT met" }')"
row "heap allocations per frame, 512 x 512, every core" \
  "$(bm "component/512/0/min_time:0.300" allocs_per_frame)" "0" ""
s60="$(field surface60 fps | median)"
for n in 60 128 256; do
  fps_n="$(field "surface$n" fps | median)"
  row "explorer surface look $n x $n: frame ms (/ drape's frame)" \
    "$(f3 "$(awk -v f="$fps_n" 'BEGIN { print 1000 / f }')") ($(f3 "$(awk -v f="$fps_n" -v d="$drape_fps" 'BEGIN { print d / f }')"))" "" ""
done
s256="$(awk -v a="$s60" -v b="$(field surface256 fps | median)" 'BEGIN { printf "%.3f", a / b }')"
row "explorer frame at 256 / at 60" "$s256" "<= 3" \
  "$(awk -v r="$s256" 'BEGIN { print (r <= 3) ? "met" : "NOT met" }')"
echo
echo "The XPBD solver (bench/clothComponentBench xpbd), hanging preset, medians over $reps repetitions"
echo
row "Measure" "Median" "Target" "Result"
row "---" "---:" "---" "---"
for n in 64 128 256 512; do
  x="$(bm "xpbd/$n/1/min_time:0.300" ns_per_node_step)"
  row "$n x $n, 1 thread: ns per node per small step" "$(f1 "$x")" "<= 15" \
    "$(awk -v r="$x" 'BEGIN { print (r <= 15) ? "met" : "NOT met" }')"
done
xspeed="$(awk -v a="$(bm "xpbd/256/2/min_time:0.300" real_time)" \
  -v b="$(bm "xpbd/256/1/min_time:0.300" real_time)" 'BEGIN { printf "%.3f", a / b }')"
row "256 x 256: 2 threads / 1 thread" "$xspeed" "<= 0.6" \
  "$(awk -v r="$xspeed" 'BEGIN { print (r <= 0.6) ? "met" : "NOT met" }')"
row "heap allocations per frame, 512 x 512" "$(bm "xpbd/512/1/min_time:0.300" allocs_per_frame)" "0" ""
if [ -n "$bullet" ]; then
  echo
  echo "Bullet's soft body and ours on the hanging sheet (bench/bulletHanging), 64 x 64, 600 frames"
  echo
  "$build/bench/bulletHanging" 64 600 | tail -n +3
fi
if [ -n "$bullet" ]; then
  echo
  echo "Our cloth / Bullet's soft-body cloth, per step over frames 2-81, one thread"
  echo
  for n in 60 128 256 512; do
    row "$n x $n: ours / Bullet's (us per step)" \
      "$(f3 "$(awk -v a="$(bm "component/run80/$n/min_time:0.300" real_time)" \
        -v b="$(bm "bullet/step/$n" real_time)" 'BEGIN { print a / (b * 1000) }')")" "< 1" ""
  done
fi
if [ -n "$bullet" ]; then
  echo
  echo "Bullet's soft-body cloth (bench/bulletCloth), medians over $bullet_reps repetitions"
  echo
  brow() { printf '| %5s | %7s | %10s | %11s | %14s | %11s | %11s | %18s |\n' "$@"; }
  brow "N" "nodes" "step, ms" "ns per node" "processor, ms" "falling, ms" "on box, ms" \
    "steady ns per node"
  brow "---:" "---:" "---:" "---:" "---:" "---:" "---:" "---:"
  for n in 60 128 256 512; do
    b="bullet/step/$n"
    brow "$n" "$((n * n))" "$(f3 "$(bm "$b" real_time)")" "$(f1 "$(bm "$b" ns_per_node)")" \
      "$(f3 "$(bm "$b" cpu_time)")" \
      "$(f3 "$(bm "$b" falling_ms)")" "$(f3 "$(bm "$b" contact_ms)")" \
      "$(f1 "$(bm "$b" steady_ns_per_node)")"
  done
fi
echo
echo "clothBench: median over $reps repetitions of the median time per frame (per"
echo "call for makeApp) within each repetition; for draping, whose frames grow"
echo "cheaper as nodes touch down, of the mean per frame over the phase."
echo "normals, explorer frame: mean over the iterations of each repetition."
if [ -n "$bullet" ]; then
  echo "bulletCloth: step, the mean over steps 2-81 from the start of the fall (the"
  echo "sheet lands near step 51), and that over the nodes; processor, the process's"
  echo "processor time per step over the same run; falling and on box, the"
  echo "median step of each kind within the run; steady, the mean per node had every"
  echo "step taken its kind's median (without Bullet's one-off fill of its distance"
  echo "field for the box as the sheet lands)."
fi
echo "normals, explorer frame, meshes: mean over the iterations of each repetition"
echo "(the mesh builds reuse memory the allocator keeps; first builds: fresh processes)."
echo "Frame rates: $runs alternating runs of each program, ${seconds} s counted after"
echo "${warmup} s from the first frame."
