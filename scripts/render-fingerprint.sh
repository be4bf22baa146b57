#!/usr/bin/env bash
# Prints one line that names what a render's pixels and bytes depend on, so that
# scripts/render-video.sh can tell whether chunks from another machine would match this
# one's: a hash of the capture program, of every file under data/ (name and content) and
# of the encoder's version, then the OpenGL renderer and version vantor-capture reports.
#   usage: render-fingerprint.sh CAPTURE
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."
capture=${1:?usage: render-fingerprint.sh CAPTURE}
if ! command -v "$capture" >/dev/null 2>&1; then
  echo "missing $capture"
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${RENDER_FINGERPRINT_IN_DISPLAY:-}" ] &&
  ! "$capture" --headless --plan --to 1 --size 16x16 >/dev/null 2>&1; then
  RENDER_FINGERPRINT_IN_DISPLAY=1 exec bash scripts/with-display.sh bash "$self" "$@"
fi
hash=$({
  sha256sum <"$(command -v "$capture")"
  find -L data -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum
  ffmpeg -hide_banner -version 2>&1 | head -n 1
} | sha256sum | cut -c1-16)
gl=$("$capture" --plan --to 1 --size 16x16 2>/dev/null | sed -n 's/^gl_renderer //p; s/^gl_version //p' |
  paste -sd ' ')
echo "$hash ${gl:-unknown OpenGL}"
