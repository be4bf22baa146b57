# Sourced by test-web.sh and bench-web.sh: the browser driver's npm packages, a scratch
# folder ($work, removed on exit) and the page served on a free localhost port ($url),
# stopped on exit.

# puppeteer-core, as the lock file pins it (no browser download: Debian's Chromium is used).
if [ ! -f tests/web/node_modules/.package-lock.json ] ||
  ! cmp -s tests/web/package-lock.json tests/web/node_modules/.vantor-lock; then
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.vantor-lock)
fi

work=$(mktemp -d)
web_server=""
web_session_end() {
  if [ -n "$web_server" ]; then kill "$web_server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap web_session_end EXIT

web_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
url="http://127.0.0.1:$web_port/"
bash scripts/serve-web.sh "$web_port" 2>"$work/serve.log" &
web_server=$!
for _ in $(seq 50); do
  if python3 -c "import urllib.request; urllib.request.urlopen('$url')" 2>/dev/null; then break; fi
  sleep 0.1
done
