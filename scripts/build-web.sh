#!/usr/bin/env bash
# Builds the browser pages into build-web/site/: drape's index.html (drape.js,
# drape.wasm) and the cloth lab's lab.html (lab.js, lab.wasm), with Debian's
# Emscripten through CMake. Installs with apt-get what is missing:
# Emscripten, node-acorn (which Debian's emcc needs) and Chromium (for the
# pages' tests).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(emscripten node-acorn chromium cmake make python3)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian's emcc finds acorn only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web --target drape lab web_page -j"$(nproc)"
echo "site: $(pwd)/build-web/site"
ls -l build-web/site
