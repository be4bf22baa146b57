#!/usr/bin/env bash
# Serves the page that scripts/build-web.sh made (dist/vantor-web/) on http://localhost:PORT/
# until stopped. The files are static: any web server can serve them, given the types below
# (browsers compile .wasm while it downloads only when it comes as application/wasm). The
# page uses no threads, so it needs no cross-origin isolation headers (COOP/COEP).
#
#   serve-web.sh [PORT]      (default 8080; the folder: VANTOR_WEB_DIR, default dist/vantor-web)
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8080}
dir=${VANTOR_WEB_DIR:-dist/vantor-web}
case "$port" in
  '' | *[!0-9]*) echo "usage: serve-web.sh [PORT]" >&2; exit 2 ;;
esac
if [ ! -f "$dir/index.html" ]; then
  echo "serve-web: $dir/index.html is missing; build it first: bash scripts/build-web.sh" >&2
  exit 1
fi
echo "serve-web: http://localhost:$port/ (Ctrl-C stops)" >&2
exec python3 - "$port" "$dir" <<'PY'
import functools, http.server, sys

class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".data": "application/octet-stream",
                      ".js": "text/javascript", ".html": "text/html; charset=utf-8"}

    def end_headers(self):
        # A rebuilt page must not be mixed with a cached older half of it.
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, *args):
        pass

port, folder = int(sys.argv[1]), sys.argv[2]
server = http.server.ThreadingHTTPServer(("127.0.0.1", port),
                                         functools.partial(Handler, directory=folder))
server.serve_forever()
PY
