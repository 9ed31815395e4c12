#!/usr/bin/env bash
# Shows that hello's wave moves by the clock, not by the frame: hello, built
# against a fresh install, runs twice under an 800 x 600 Xvfb screen with
# scripts/frameGrab.cpp waiting 5 ms and then 35 ms before every swap (two
# frame rates), and the frame finished 2 s after the first is taken from
# each. Prints both frame numbers and the RMSE between the two pictures
# (ImageMagick compare; 0 is identical), and leaves them in out/.
#   bash scripts/hello-rates.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zeu zeShape viewkit drape drapeExplorer shapeView >/dev/null

work="$(mktemp -d)"
ze_on_exit() { rm -rf "$work"; }
cmake --install build --prefix "$work/prefix" >/dev/null
g++ -std=c++17 -O2 -o "$work/hello" examples/hello/hello.cpp \
  $(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags --libs zeShape)
g++ -std=c++17 -O2 -Wall -Wextra -shared -fPIC -o "$work/frameGrab.so" scripts/frameGrab.cpp -ldl -lGL
mkdir -p out
start_xvfb 800x600
for ms in 5 35; do
  mkdir -p "$work/$ms"
  GRAB_DIR="$work/$ms" GRAB_SECONDS=2.0 GRAB_SLEEP_MS=$ms GRAB_RECT=240,200,320,200 \
    LD_PRELOAD="$work/frameGrab.so" timeout 30 "$work/hello"
  frame="$(ls "$work/$ms"/frame*.ppm)"
  convert "$frame" "out/hello-$ms-ms.png"
  echo "$ms ms before each swap: $(basename "$frame" .ppm) at 2 s -> out/hello-$ms-ms.png"
done
echo "RMSE between the two: $(compare -metric RMSE out/hello-5-ms.png out/hello-35-ms.png null: 2>&1 || true)"
