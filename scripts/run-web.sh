#!/usr/bin/env bash
# Builds the browser version of drape when it is missing or older than its
# sources, then serves build-web/site on 127.0.0.1 and prints the address.
# Usage: bash scripts/run-web.sh [PORT]   (default 8080; 0 picks a free one)
# DRAPE_SERVE_SECONDS=N stops the server after N seconds (for scripts).
set -euo pipefail
cd "$(dirname "$0")/.."

site=build-web/site
stale=$(find web zeu zeShape app CMakeLists.txt -newer "$site/drape.wasm" -print -quit 2>/dev/null || echo missing)
if [ ! -f "$site/drape.wasm" ] || [ -n "$stale" ]; then
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
print(f"drape: http://127.0.0.1:{server.server_address[1]}/  (Ctrl-C stops the server)", flush=True)
if seconds > 0:
    threading.Timer(seconds, server.shutdown).start()
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PY
