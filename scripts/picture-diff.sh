#!/usr/bin/env bash
# How far two pictures of the same size differ, channel by channel: the mean absolute
# difference and the largest one, in steps of 1/255 (ImageMagick's compare). Used to check
# that a change meant to keep the picture (a cheaper shader) keeps it.
#   usage: scripts/picture-diff.sh A.png B.png
#   prints: red mean 0.012 max 2  green mean ...  (exit 0), or exit 2 on bad arguments
set -euo pipefail

if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -f "$2" ]; then
  echo "usage: $0 A.png B.png" >&2
  exit 2
fi
if ! command -v compare >/dev/null 2>&1; then
  echo "picture-diff: ImageMagick's compare is not installed (apt-get install imagemagick)" >&2
  exit 2
fi

# compare prints "absolute (normalized)" on standard error and exits 1 when the pictures
# differ at all; the normalized figure times 255 is the difference in 1/255 steps.
metric() {
  local out
  out=$(compare -metric "$1" -channel "$2" "$3" "$4" null: 2>&1) || true
  local value
  value=$(echo "$out" | sed -n 's/.*(\(.*\)).*/\1/p')
  if [ -z "$value" ]; then
    echo "picture-diff: cannot compare $3 and $4: $out" >&2
    exit 2
  fi
  echo "$value"
}
sizes="$(identify -format '%wx%h' "$1") $(identify -format '%wx%h' "$2")"
if [ "${sizes% *}" != "${sizes#* }" ]; then
  echo "picture-diff: the pictures differ in size ($sizes)" >&2
  exit 2
fi
line=""
for channel in red green blue; do
  mean=$(metric MAE "$channel" "$1" "$2") || exit 2
  peak=$(metric PAE "$channel" "$1" "$2") || exit 2
  line+=$(awk -v c="$channel" -v m="$mean" -v p="$peak" \
    'BEGIN { printf "%s mean %.4f max %.0f  ", c, m * 255, p * 255 }')
done
echo "${line%  }"
