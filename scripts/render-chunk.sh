#!/usr/bin/env bash
# One chunk of scripts/render-video.sh: frames FIRST to END-1 of a span, drawn by
# vantor-capture exactly as a run of the whole span draws them (--frames). The frames are
# cut at every KEYINT-th frame of the span into segments, and each segment is encoded by
# an encoder of its own with the video's final settings, so it starts with a key frame and
# its bytes depend on its frames alone: however the span is split into chunks, the
# segments, and the joined video, are the same. Each finished segment goes to standard
# output as a small tar archive holding seg_NNNNNNNN.mp4 or .nut (NNNNNNNN its first frame),
# and a last one holds the marker end_FIRST; progress goes to standard error.
# GNU parallel runs it on whichever machine it sends the chunk to, so it finds the
# repository from its own path, and draws headless where the machine can (EGL), else in a
# virtual display of its own (an SSH session has none).
#   usage: render-chunk.sh CAPTURE SCENE WxH FPS FROM TO|- mp4|lossless KEYINT FIRST END
set -euo pipefail

self=$(realpath "$0")
if [ $# -ne 10 ]; then
  echo "usage: render-chunk.sh CAPTURE SCENE WxH FPS FROM TO|- mp4|lossless KEYINT FIRST END" >&2
  exit 2
fi
cd "$(dirname "$self")/.."
capture=$1 scene=$2 size=$3 fps=$4 from=$5 to=$6 mode=$7 keyint=$8 first=$9 end=${10}
for tool in "$capture" ffmpeg ffprobe tar; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "render-chunk: $tool not found on $(hostname)" >&2
    exit 1
  fi
done
if [ -z "${DISPLAY:-}" ] && [ -z "${RENDER_CHUNK_IN_DISPLAY:-}" ] &&
  ! "$capture" --headless --plan --to 1 --size 16x16 >/dev/null 2>&1; then
  RENDER_CHUNK_IN_DISPLAY=1 exec bash scripts/with-display.sh bash "$self" "$@"
fi

span=(--from "$from")
[ "$to" = - ] || span+=(--to "$to")
width=${size%x*} height=${size#*x}
frame_bytes=$((width * height * 3 + 6)) # "FRAME\n" and 4:4:4 planes
colours=(-colorspace bt709 -color_primaries bt709 -color_trc bt709 -color_range tv)
# The encoders' settings are part of the result: the thread counts are fixed too, since
# x264's output depends on them, so that every machine encodes the same bytes.
# H.264 segments go in MP4, whose edit list says where a segment starts even when its
# B-frames put the first decoding time before zero; the concat demuxer needs that to
# place each one.
if [ "$mode" = lossless ]; then
  encode=(-c:v ffv1 -level 3 -g 1 -slices 4 -threads 2 -pix_fmt yuv444p -f nut) ext=nut
else
  encode=(-c:v libx264 -preset medium -crf 18 -g "$keyint" -threads 2 -pix_fmt yuv420p -f mp4) ext=mp4
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Reads the chunk's stream on standard input, one segment after another.
segments() {
  local header s n name count
  IFS= read -r header || {
    echo "render-chunk: vantor-capture wrote no stream" >&2
    return 1
  }
  for ((s = first; s < end; s = n)); do
    n=$(((s / keyint + 1) * keyint))
    ((n <= end)) || n=$end
    name=$(printf 'seg_%08d.%s' "$s" "$ext")
    { printf '%s\n' "$header" && head -c $(((n - s) * frame_bytes)); } |
      ffmpeg -hide_banner -loglevel error -nostdin -f yuv4mpegpipe -i - "${colours[@]}" "${encode[@]}" \
        "$tmp/$name"
    count=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets \
      -of csv=p=0 "$tmp/$name")
    if [ "$count" != $((n - s)) ]; then
      echo "render-chunk: segment $name holds ${count:-no} frames, not $((n - s))" >&2
      return 1
    fi
    tar -cf - -C "$tmp" "$name"
    rm -f "$tmp/$name"
  done
  # The chunk's last word: everything before it arrived whole.
  touch "$tmp/end_$first"
  tar -cf - -C "$tmp" "end_$first"
}

"$capture" --scene "$scene" --size "$size" --fps "$fps" "${span[@]}" --frames "$first:$end" --y4m - | segments
