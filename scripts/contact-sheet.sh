#!/usr/bin/env bash
# Renders twelve rows spread evenly across the show at 480x270 with vantor-capture and
# tiles them, labelled with their rows, into one PNG: the whole show at a glance.
# usage: scripts/contact-sheet.sh [OUT.png] [END_ROW]
#   OUT.png  the sheet (default: contact-sheet.png)
#   END_ROW  where the show ends; by default the end track "e" decides, as in the show
# Environment: CAPTURE (default build/vantor-capture), SCENE (default main), FONT (the
# labels' font file, default DejaVu Sans from fonts-dejavu-core).
set -euo pipefail

out=$(realpath -m "${1:-contact-sheet.png}")
cd "$(dirname "$0")/.."
capture=$(realpath -m "${CAPTURE:-build/vantor-capture}")
scene=${SCENE:-main}
tiles=12

if ! command -v montage >/dev/null 2>&1; then
  echo "contact-sheet: ImageMagick's 'montage' is not installed (apt-get install imagemagick)" >&2
  exit 1
fi
# ImageMagick's default label font is not on every machine, and without it montage
# leaves the tiles unlabelled; name one that Debian's fonts-dejavu-core brings.
font=${FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}
if [ ! -r "$font" ]; then
  echo "contact-sheet: the label font $font is missing (apt-get install fonts-dejavu-core, or set FONT)" >&2
  exit 1
fi
if [ ! -x "$capture" ]; then
  echo "contact-sheet: $capture not found; build it first (scripts/build.sh)" >&2
  exit 1
fi

# The capture needs an X display for its invisible window; without one, make one.
run=()
if [ -z "${DISPLAY:-}" ]; then
  if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "contact-sheet: no DISPLAY and no xvfb-run to provide one" >&2
    exit 1
  fi
  run=(xvfb-run -a -s "-screen 0 1920x1080x24")
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ $# -ge 2 ]; then
  end=$2
else
  # A music-only capture reads the end track without drawing and reports the span:
  # "vantor-capture: N frames at F fps, rows FROM to END".
  end=$("${run[@]}" "$capture" --wav "$work/span.wav" 2>&1 |
    sed -n 's/^vantor-capture: [0-9]* frames at [0-9]* fps, rows [^ ]* to \([^ ]*\)$/\1/p' | tail -n 1)
  if [ -z "$end" ]; then
    echo "contact-sheet: could not find where the show ends; give END_ROW" >&2
    exit 1
  fi
fi

# Rows at 0, 1/12, ... 11/12 of the show, to a tenth of a row.
rows=$(awk -v end="$end" -v n="$tiles" 'BEGIN {
  for (i = 0; i < n; i++) {
    r = int(end * i / n * 10) / 10
    if (i == 0 || r > last) { printf "%s%g", (i ? "," : ""), r; last = r }
  }
}')

"${run[@]}" "$capture" --scene "$scene" --size 480x270 --rows "$rows" --out "$work/rows" >&2

files=()
IFS=, read -r -a list <<<"$rows"
for r in "${list[@]}"; do
  files+=("$work/rows/row_$r.png")
done
# montage reports a font it cannot use but may still write the sheet: any complaint
# means the labels cannot be trusted.
if ! montage -font "$font" -label '%t' -pointsize 14 -fill white -background black \
  -geometry 480x270+4+4 -tile 4x "${files[@]}" "$out" 2>"$work/montage.txt" ||
  [ -s "$work/montage.txt" ]; then
  cat "$work/montage.txt" >&2
  echo "contact-sheet: montage could not draw the sheet with its labels" >&2
  rm -f "$out"
  exit 1
fi
echo "$out"
