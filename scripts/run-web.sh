#!/usr/bin/env bash
# Builds the browser pages (drape and the cloth lab) when they are missing or
# older than their sources, then serves build-web/site on 127.0.0.1 and
# prints both addresses.
# Usage: bash scripts/run-web.sh [PORT]   (default 8080; 0 picks a free one)
# DRAPE_SERVE_SECONDS=N stops the server after N seconds (for scripts).
set -euo pipefail
cd "$(dirname "$0")/.."

site=build-web/site
stale=""
for wasm in drape lab; do
  [ -f "$site/$wasm.wasm" ] || stale=missing
  [ -n "$stale" ] || stale=$(find web zeu zeShape app cloth viewkit explorer CMakeLists.txt \
    -newer "$site/$wasm.wasm" -print -quit 2>/dev/null || echo missing)
done
if [ -n "$stale" ]; then
  bash scripts/build-web.sh
fi

port="${1:-8080}"
exec python3 - "$site" "$port" "${DRAPE_SERVE_SECONDS:-0}" <<'PY'
import functools, http.server, sys, threading
site, port, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}
    def log_message(self, *args):
        pass
handler = functools.partial(Handler, directory=site)
server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
address = f"http://127.0.0.1:{server.server_address[1]}/"
print(f"drape: {address}   the cloth lab: {address}lab.html  (Ctrl-C stops the server)", flush=True)
if seconds > 0:
    threading.Timer(seconds, server.shutdown).start()
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PY
