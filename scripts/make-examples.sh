#!/usr/bin/env bash
# Makes docs/examples/<name>.png, a picture of each example, without a
# display: the framework is installed into a temporary prefix, the examples
# are built against it as a user would build them, and each runs under an
# 800 x 600 Xvfb screen (no window manager: the 800 x 600 windows fill it,
# and hello's full screen is the same size) in a temporary directory. The
# preload library scripts/frameGrab.cpp reads frame ZE_EXAMPLE_FRAME (120)
# from the back buffer and ends the program; ImageMagick writes the PNG.
#   bash scripts/make-examples.sh [NAME...]     (default: every example)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
root="$(pwd)"

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zeu zeShape viewkit drape drapeExplorer shapeView

work="$(mktemp -d)"
ze_on_exit() { rm -rf "$work"; }
cmake --install build --prefix "$work/prefix" >/dev/null
cmake -S examples -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$work/build" -j"$(nproc)" >/dev/null
g++ -std=c++17 -O2 -Wall -Wextra -shared -fPIC -o "$work/frameGrab.so" scripts/frameGrab.cpp -ldl -lGL

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  names=($(sed -n '/^set(ZE_EXAMPLES/,/)/p' examples/CMakeLists.txt | tr -d '()' |
    sed 's/set\|ZE_EXAMPLES//g'))
fi
mkdir -p docs/examples
start_xvfb 800x600
for name in "${names[@]}"; do
  mkdir -p "$work/run-$name"
  (cd "$work/run-$name" &&
    GRAB_DIR="$work/run-$name" GRAB_FRAMES="${ZE_EXAMPLE_FRAME:-120}" GRAB_RECT=0,0,800,600 \
      LD_PRELOAD="$work/frameGrab.so" timeout 60 "$work/build/$name" >/dev/null) ||
    { echo "$name did not reach frame ${ZE_EXAMPLE_FRAME:-120} within 60 s" >&2; exit 1; }
  convert "$work/run-$name"/frame*.ppm -resize 480x "$root/docs/examples/$name.png"
  echo "docs/examples/$name.png"
done
