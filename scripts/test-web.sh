#!/usr/bin/env bash
# The web page's checks in a real browser: builds the page (scripts/build-web.sh), serves it
# on localhost and drives Debian's Chromium headless through it (tests/web/test-web.mjs):
# every shader of every scene compiles and links in WebGL 2, three rows of the main scene
# drawn in still mode match vantor-capture's pictures of the same rows, and five seconds
# of the show play with the row following the music.
#
#   test-web.sh            (ROWS=R1,R2,R3 and SIZE=WxH choose the stills; KEEP=DIR keeps
#                           the pictures of both sides there)
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
rows=${ROWS:-100,1200,2600}
size=${SIZE:-960x540}
say() { echo "test-web: $*" >&2; }

bash scripts/build-web.sh

# The page served, and the scratch folder $work.
. scripts/web-session.sh

# The reference: the native capture of the same rows at the same size.
cmake --build build -j"${JOBS:-2}" --target vantor-capture >/dev/null
./build/vantor-capture --headless --size "$size" --rows "$rows" --out "$work/native" >"$work/capture.log" 2>&1 ||
  { cat "$work/capture.log" >&2; say "the native capture failed"; exit 1; }

status=0
node tests/web/test-web.mjs --url "$url" --native "$work/native" --rows "$rows" \
  --size "$size" --out "${KEEP:-$work/web}" || status=$?
if [ -n "${KEEP:-}" ]; then cp "$work"/native/*.png "$KEEP/"; fi
say "$([ $status -eq 0 ] && echo passed || echo FAILED) in $((SECONDS - started)) s"
exit $status
