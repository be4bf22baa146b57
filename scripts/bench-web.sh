#!/usr/bin/env bash
# Frames per second of the show in Chromium against the native show, both drawing through
# Mesa's llvmpipe under a virtual display, one after the other; and the page's download
# size and first frame after the start button's click. Needs the page (build-web.sh) and
# the native build (build.sh). The machine is shared: compare the two lines of one run.
#
#   bench-web.sh [SECONDS] [WxH]      (default 20 s at 960x540)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
size=${2:-960x540}
say() { echo "bench-web: $*" >&2; }
if [ ! -f dist/vantor-web/index.html ] || [ ! -x build/vantor ]; then
  say "build the page and the show first: bash scripts/build-web.sh && bash scripts/build.sh"
  exit 1
fi

echo "download: $(du -ck dist/vantor-web/* | tail -1 | cut -f1) KiB (zip $(du -k dist/vantor-web.zip | cut -f1) KiB)"

# The native show's own once-a-second report, after the first two seconds.
native=$(timeout -s INT "$((seconds + 5))" bash scripts/with-display.sh ./build/vantor windowed --size "$size" \
  2>/dev/null | sed -n 's/ ms\/frame$//p' | tail -n +3 || true)
echo "$native" | awk -v size="$size" 'NF { sum += $1; n++ }
  END { if (n) printf "native %s (llvmpipe): %.2f frames/s over %d reports\n", size, 1000 * n / sum, n;
        else print "native: no frame-time reports" }'

. scripts/web-session.sh
bash scripts/with-display.sh node tests/web/test-web.mjs --url "$url" --gpu gl \
  --size "$size" --bench "$seconds"
