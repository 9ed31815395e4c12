#!/usr/bin/env bash
# Builds the libFuzzer programs (the shape library's record and geometry, the
# cloth's OBJ collider reader, drapeExplorer's scene reader and its command
# line with the lab page's address) with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each for a chosen time.
#
#   bash scripts/fuzz.sh [SECONDS] [record|geometry|obj|scene|commandline ...]
#
# SECONDS is per fuzzer (default 60); without names all run. Each starts from
# the generated seeds, the kept regression inputs and its corpus from earlier
# runs (build-fuzz/corpus/NAME, which grows). A failing input is saved under
# build-fuzz/crashes/NAME/ and makes the script fail; turn it into a
# regression by copying it to tests/fuzz/regressions/NAME/ once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
[ $# -gt 0 ] && shift
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(record geometry obj scene commandline)
dir="${ZE_FUZZ_BUILD_DIR:-build-fuzz}"

CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZE_SANITIZE=ON -DZE_FUZZ=ON -DZE_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j2 --target shapeRecordFuzzer shapeGeometryFuzzer objMeshFuzzer \
  sceneFuzzer commandLineFuzzer

status=0
for kind in "${kinds[@]}"; do
  case "$kind" in
    record) fuzzer=shapeRecordFuzzer ;;
    geometry) fuzzer=shapeGeometryFuzzer ;;
    obj) fuzzer=objMeshFuzzer ;;
    scene) fuzzer=sceneFuzzer ;;
    commandline) fuzzer=commandLineFuzzer ;;
    *) echo "unknown fuzzer: $kind (record, geometry, obj, scene or commandline)" >&2; exit 2 ;;
  esac
  corpus="$dir/corpus/$kind"
  crashes="$dir/crashes/$kind"
  log="$dir/fuzz-$kind.log"
  mkdir -p "$corpus" "$crashes"
  inputs=("$corpus")
  [ -d "$dir/tests/fuzz/seeds/$kind" ] && inputs+=("$dir/tests/fuzz/seeds/$kind")
  [ -d "tests/fuzz/corpus/$kind" ] && inputs+=("tests/fuzz/corpus/$kind")
  [ -d "tests/fuzz/regressions/$kind" ] && inputs+=("tests/fuzz/regressions/$kind")

  echo "== $fuzzer for ${seconds} s"
  if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$dir/tests/fuzz/$fuzzer" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "${inputs[@]}" >"$log" 2>&1; then
    grep -E "^Done|stat::number_of_executed_units|stat::peak_rss_mb" "$log" || true
    echo "   corpus: $(ls "$corpus" | wc -l) inputs"
  else
    status=1
    echo "!! $fuzzer failed; the input is in $crashes/. End of $log:"
    tail -n 60 "$log"
  fi
done
exit "$status"
