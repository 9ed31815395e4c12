#!/usr/bin/env bash
# Writes the API reference of the installed headers (zeu/, zeShape/,
# viewkit/files/ and viewkit/view/ without the internal ones) as HTML to
# build/docs/html with Doxygen, and fails when Doxygen warns (a declaration
# without its comment, a broken command). Open build/docs/html/index.html.
#   bash scripts/docs.sh [OUTPUT_DIR]      (default build/docs)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
out="${1:-build/docs}"
command -v doxygen >/dev/null || bash scripts/setup.sh
mkdir -p "$out"
out="$(cd "$out" && pwd)"
# The headers cmake/install.cmake installs: ZE_INTERNAL_HEADERS stay out.
internal="$(sed -n 's/^set(ZE_INTERNAL_HEADERS \(.*\))$/\1/p' cmake/install.cmake)"
headers=()
for h in zeu/*.h zeShape/*.h viewkit/files/*.h viewkit/view/*.h; do
  case " $internal " in *" $h "*) continue ;; esac
  headers+=("$root/$h")
done
rm -rf "$out/html" "$out/warnings.log"
ZE_DOXY_INPUT="${headers[*]}" ZE_DOXY_STRIP="$root" ZE_DOXY_OUTPUT="$out" doxygen docs/Doxyfile
if [ -s "$out/warnings.log" ]; then
  echo "Doxygen warnings ($out/warnings.log):" >&2
  cat "$out/warnings.log" >&2
  exit 1
fi
echo "$out/html/index.html: ${#headers[@]} headers, no warning"
