#!/usr/bin/env bash
# Builds everything, the browser build included, and runs every test: the
# fuzzers (shape records, geometry, OBJ colliders, scenes, the command line)
# for 60 s each, then the whole suite in the normal build (with the web pages
# in headless Chromium) and again built with AddressSanitizer and
# UndefinedBehaviorSanitizer. Tests that need an X server get Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh

bash scripts/setup.sh

jobs="$(nproc)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZE_SANITIZE=ON -DZE_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
# The threaded code once more under ThreadSanitizer: the cloth's tests.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZE_TSAN=ON -DZE_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target clothComponentTests
# The browser build, for the web page test (it installs Emscripten and Chromium).
bash scripts/build-web.sh

echo "== fuzzers (clang, AddressSanitizer + UndefinedBehaviorSanitizer), 60 s each"
bash scripts/fuzz.sh 60

[ -n "${DISPLAY:-}" ] || start_xvfb 1920x1080

echo "== tests (RelWithDebInfo)"
ctest --test-dir build --output-on-failure
echo "== tests (ThreadSanitizer: the cloth)"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -R '^clothComponentTests$'
echo "== tests (AddressSanitizer + UndefinedBehaviorSanitizer)"
ctest --test-dir build-asan --output-on-failure
