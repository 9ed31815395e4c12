#!/usr/bin/env bash
# The lab under random hands for a chosen time: builds drapeExplorer and its
# monkey test with AddressSanitizer and UndefinedBehaviorSanitizer (in
# build-asan, configured as scripts/test.sh configures it) and runs the
# monkey on its own Xvfb screen with openbox. It prints the seed, the count
# of each action, the files written and read back, and the result.
#
#   bash scripts/monkey.sh [SECONDS] [SEED]
#
# SECONDS defaults to 300, SEED to one taken from the clock. The same seed
# makes the same choices; what they meet depends on timing. A failed run's
# files and the lab's output are kept in build-asan/monkey-SEED/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-300}"
seed="${2:-$(($(date +%s%N) / 1000 % 1000000))}"
dir="${ZE_MONKEY_BUILD_DIR:-build-asan}"

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DZE_SANITIZE=ON -DZE_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j2 --target labMonkeyTest >/dev/null

keep="$PWD/$dir/monkey-$seed"
rm -rf "$keep"
echo "monkey: $seconds s, seed $seed"
status=0
ZE_MONKEY_SECONDS="$seconds" ZE_MONKEY_SEED="$seed" ZE_MONKEY_KEEP="$keep" \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
  LSAN_OPTIONS="suppressions=$PWD/testkit/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$dir/tests/explorer/labMonkeyTest" --gtest_brief=1 || status=$?
if [ "$status" -eq 0 ]; then
  echo "monkey: passed ($seconds s, seed $seed)"
else
  echo "monkey: FAILED ($seconds s, seed $seed); what it left: $keep"
fi
exit "$status"
