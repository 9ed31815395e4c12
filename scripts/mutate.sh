#!/usr/bin/env bash
# Mutation testing of the product code against the fast suite: how many
# single-line faults the tests catch.
#
#   bash scripts/mutate.sh [COUNT]        (nice -n 19 on a shared machine)
#   MUTATE_HEADERS=0 bash scripts/mutate.sh [COUNT]     .cpp files only
#   MUTATE_FOLDERS="cloth explorer viewkit viewer" bash scripts/mutate.sh [COUNT]
#
# MUTATE_FOLDERS chooses the folders (default zeu zeShape app). COUNT mutants
# (default 60) are sampled evenly over them with a fixed seed (MUTATE_SEED,
# default 12), so runs repeat. Each is applied to the source, the suite's
# programs are rebuilt incrementally in build-mutate (RelWithDebInfo, tests
# on, benchmarks off, MUTATE_JOBS parallel jobs, default 2) and
# `ctest -L LABELS -E EXCLUDE` runs with a time limit per test (MUTATE_TIMEOUT
# seconds, default three times the unmutated suite's time, at least 60).
# LABELS (MUTATE_LABELS) is 'unit|realgl' for the default folders and
# 'unit|realgl|e2e' when any other folder is chosen: the lab and the viewer
# are mostly checked end to end. EXCLUDE (MUTATE_EXCLUDE) leaves out the
# install tests, which build the examples against an installed copy and take
# minutes without checking anything the other tests do not; the kill test
# runs ZE_KILL_TRIALS (default here 6) trials. The source is restored after
# every mutant, also on Ctrl-C. The end is a table of killed / tested per
# folder, the score, and every surviving mutant; the same goes to
# build-mutate/mutation-report.txt.
#
# Mutants come from universalmutator when it can be installed into
# build-mutate/venv (one quick attempt per run; it needs the Python package
# index), otherwise from the built-in rules of scripts/mutants.py. Confirmed
# equivalent mutants are listed with their reason in
# scripts/mutate-equivalent.txt and never sampled. Not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

count="${1:-60}"
seed="${MUTATE_SEED:-12}"
dir="${ZE_MUTATE_BUILD_DIR:-build-mutate}"
read -r -a folders <<<"${MUTATE_FOLDERS:-zeu zeShape app}"
for f in "${folders[@]}"; do
  [ -d "$f" ] || { echo "mutate: no folder $f/" >&2; exit 2; }
done
labels='unit|realgl'
for f in "${folders[@]}"; do
  case "$f" in zeu | zeShape | app) ;; *) labels='unit|realgl|e2e' ;; esac
done
labels="${MUTATE_LABELS:-$labels}"
exclude="${MUTATE_EXCLUDE:-^install_}"
jobs="${MUTATE_JOBS:-2}"
export ZE_KILL_TRIALS="${ZE_KILL_TRIALS:-6}"

# Puts back a file left mutated by a run that died before it could.
restore_left_over() {
  local state="$dir/mutant-in-place"
  if [ -f "$state" ] && [ -f "$state.orig" ]; then
    cp "$state.orig" "$(cat "$state")"
    touch "$(cat "$state")"
    echo "mutate: restored $(cat "$state")" >&2
    rm -f "$state" "$state.orig"
  fi
}
ze_on_exit() { restore_left_over; }
trap 'restore_left_over' EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$dir"
restore_left_over
if ! git diff --quiet -- "${folders[@]}"; then
  echo "mutate: ${folders[*]} has uncommitted changes; commit or stash them first" >&2
  exit 2
fi

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZE_BUILD_TESTS=ON \
  -DZE_BUILD_BENCH=OFF >"$dir/configure.log"

# The programs the fast suite runs: the test's own name when that is a target
# (programs are not built yet, so CTest does not know their paths), and the
# archive a CMake-script test inspects.
cmake --build "$dir" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p' >"$dir/targets.txt"
mapfile -t targets < <(ctest --test-dir "$dir" -L "$labels" -E "$exclude" --show-only=json-v1 | python3 -c '
import json, os, re, sys
known = set(open(sys.argv[1]).read().split())
names = set()
for t in json.load(sys.stdin)["tests"]:
    if t["name"] in known:
        names.add(t["name"])
    for word in t.get("command") or []:
        lib = re.search(r"lib(\w+)\.a$", word)
        if lib and lib.group(1) in known:
            names.add(lib.group(1))
print("\n".join(sorted(names)))' "$dir/targets.txt")
echo "mutate: building ${#targets[@]} programs of the fast suite in $dir"
cmake --build "$dir" -j"$jobs" --target "${targets[@]}" >"$dir/build.log" 2>&1 ||
  { tail -n 30 "$dir/build.log"; exit 1; }

if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=scripts/xvfb.sh
  source scripts/xvfb.sh
  start_xvfb 1280x1024
  trap 'exit 130' INT TERM HUP
fi

# The unmutated suite must pass; its time sets the limit per test.
t0=$(date +%s)
if ! ctest --test-dir "$dir" -L "$labels" -E "$exclude" >"$dir/baseline.log" 2>&1; then
  tail -n 30 "$dir/baseline.log"
  echo "mutate: the fast suite fails without any mutant" >&2
  exit 1
fi
baseline=$(($(date +%s) - t0))
timeout_s="${MUTATE_TIMEOUT:-$((baseline * 3 > 60 ? baseline * 3 : 60))}"
echo "mutate: the unmutated suite passes in ${baseline} s; limit per test ${timeout_s} s"

# MUTATE_HEADERS=0 leaves the headers out: a mutant in a widely included
# header rebuilds nearly everything twice (for it and after it).
patterns=("${folders[@]/%//*.cpp}")
[ "${MUTATE_HEADERS:-1}" = 0 ] || patterns+=("${folders[@]/%//*.h}")
mapfile -t sources < <(git ls-files -- "${patterns[@]}" | sort)

# universalmutator first: one short attempt to install it.
engine="built-in rules (scripts/mutants.py)"
venv="$dir/venv"
if [ ! -x "$venv/bin/mutate" ]; then
  rm -rf "$venv"
  if python3 -m venv "$venv" >/dev/null 2>&1 &&
    timeout 60 "$venv/bin/pip" install --quiet --disable-pip-version-check --retries 0 \
      --timeout 10 universalmutator >"$dir/pip.log" 2>&1; then
    :
  else
    echo "mutate: universalmutator could not be installed: $(grep -m1 -E 'ERROR|Error' "$dir/pip.log" || tail -n1 "$dir/pip.log")"
    echo "mutate: using the built-in rules of scripts/mutants.py instead"
  fi
fi
if [ -x "$venv/bin/mutate" ]; then
  engine="universalmutator $("$venv/bin/pip" show universalmutator 2>/dev/null | sed -n 's/^Version: //p')"
  copies="$dir/um-mutants"
  rm -rf "$copies"
  echo "[]" >"$dir/candidates.json"
  for src in "${sources[@]}"; do
    mkdir -p "$copies/$src"
    "$venv/bin/mutate" "$src" --noCheck --mutantDir "$copies/$src" >>"$dir/um.log" 2>&1 || true
    python3 scripts/mutants.py from-copies "$src" "$copies/$src" >"$dir/one.json"
    python3 -c 'import json,sys; a=json.load(open(sys.argv[1])); a+=json.load(open(sys.argv[2])); json.dump(a,open(sys.argv[1],"w"))' \
      "$dir/candidates.json" "$dir/one.json"
  done
  if [ "$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))))' "$dir/candidates.json")" = 0 ]; then
    echo "mutate: universalmutator gave no single-line mutants (see $dir/um.log); using the built-in rules"
    engine="built-in rules (scripts/mutants.py)"
  fi
fi
if [ "${engine#built-in}" != "$engine" ]; then
  python3 scripts/mutants.py list "${sources[@]}" >"$dir/candidates.json"
fi

t0=$(date +%s)
python3 scripts/mutants.py run --build "$dir" --candidates "$dir/candidates.json" \
  --targets "${targets[*]}" --folders "$(IFS=,; echo "${folders[*]}")" --count "$count" \
  --seed "$seed" --timeout "$timeout_s" --labels "$labels" --exclude "$exclude" \
  --jobs "$jobs" --engine "$engine"
echo "mutate: $(($(date +%s) - t0)) s for the mutants; command: MUTATE_FOLDERS=\"${folders[*]}\" MUTATE_SEED=$seed MUTATE_HEADERS=${MUTATE_HEADERS:-1} bash scripts/mutate.sh $count"
