#!/usr/bin/env bash
# One chunk of scripts/render-video.sh: frames FIRST to END-1 of a span, drawn by
# vantor-capture exactly as a run of the whole span draws them (--frames), encoded
# losslessly (FFV1) into a NUT stream on standard output; progress on standard error.
# GNU parallel runs it on whichever machine it sends the chunk to, so it finds the
# repository from its own path and makes a virtual display when there is none (an SSH
# session has none).
#   usage: scripts/render-chunk.sh CAPTURE SCENE WxH FPS FROM TO|- PIXFMT FIRST END
set -euo pipefail

self=$(realpath "$0")
if [ $# -ne 9 ]; then
    echo "usage: render-chunk.sh CAPTURE SCENE WxH FPS FROM TO|- PIXFMT FIRST END" >&2
    exit 2
fi
cd "$(dirname "$self")/.."
if [ -z "${DISPLAY:-}" ]; then
    exec bash scripts/with-display.sh bash "$self" "$@"
fi

capture=$1 scene=$2 size=$3 fps=$4 from=$5 to=$6 pixfmt=$7 first=$8 end=$9
span=(--from "$from")
if [ "$to" != - ]; then
    span+=(--to "$to")
fi
for tool in "$capture" ffmpeg; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "render-chunk: $tool not found on $(hostname)" >&2
        exit 1
    fi
done

# Every frame is a key frame, so the chunks' streams join into one by copying alone.
"$capture" --scene "$scene" --size "$size" --fps "$fps" "${span[@]}" --frames "$first:$end" --y4m - |
    ffmpeg -hide_banner -loglevel error -nostdin -f yuv4mpegpipe -i - \
        -pix_fmt "$pixfmt" -c:v ffv1 -level 3 -g 1 -f nut -
