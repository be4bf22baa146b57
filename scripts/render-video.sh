#!/usr/bin/env bash
# Renders the show, or a span of it, to a video with its music. The span's frames are
# split into chunks that GNU parallel renders side by side, on this machine or on others
# over SSH; each chunk is drawn exactly as a single run would draw those frames (see
# vantor-capture --frames) and encoded there, with the final settings, in segments that
# start at every key frame; the segments are joined by copying them, and the music is
# encoded once, while the chunks render. The video holds exactly the span's frames, each
# at the time a single run gives it, however many chunks there are; it is checked before
# it replaces OUT.
#
# usage: scripts/render-video.sh OUT [--size WxH] [--fps N] [--from ROW] [--to ROW]
#            [--chunks N] [--jobs N] [--sshlogin LIST] [--lossless] [--retries N]
#            [--keyint N]
#   OUT             the video: H.264 (yuv420p, BT.709 limited range) and AAC in MP4, or
#                   with --lossless FFV1 (yuv444p, as captured) and FLAC in Matroska
#   --size, --fps, --from, --to   as vantor-capture takes them (default: the whole show,
#                   1920x1080 at 60 fps)
#   --chunks N      how many parts to split the frames into (default: four per job slot;
#                   at most one per key frame)
#   --jobs N        chunks rendered at once on each machine (default: this machine's cores)
#   --sshlogin LIST GNU parallel's list of machines, e.g. "2/render1,render2,:" (":" is
#                   this machine, "2/" two chunks at once there); each must hold this
#                   repository, built, with its data, at the same path, and ffmpeg
#   --lossless      FFV1 and FLAC in Matroska instead of H.264 and AAC in MP4
#   --retries N     tries a failed chunk again N times before the run fails (default 2)
#   --keyint N      a key frame every N frames (default: two seconds of frames)
# Environment: CAPTURE (default build/vantor-capture), SCENE (default main).
# Finished chunks are kept in a work folder beside OUT named after the plan; running the
# same command again after a failure or an interruption renders only what is missing.
# Progress goes to standard error.
set -euo pipefail

usage() {
  sed -n '/^# usage:/,/^# Progress/p' "$0" | sed -n 's/^# \{0,1\}//p' >&2
}
fail() {
  echo "render-video: $*" >&2
  exit 2
}

if [ $# -ge 1 ] && { [ "$1" = --help ] || [ "$1" = -h ]; }; then
  usage
  exit 0
fi
if [ $# -lt 1 ] || [ "${1:0:1}" = - ]; then
  usage
  exit 2
fi
args=("$@")
out_arg=$1
shift
size=1920x1080 fps=60 from=0 to=- chunks="" jobs="" sshlogin="" lossless=0 retries=2 keyint=""
while [ $# -gt 0 ]; do
  case $1 in
  --lossless) lossless=1; shift; continue ;;
  --size | --fps | --from | --to | --chunks | --jobs | --sshlogin | --retries | --keyint)
    [ $# -ge 2 ] && [ -n "$2" ] || fail "$1 needs a value" ;;
  *) fail "unknown argument '$1'" ;;
  esac
  case $1 in
  --size) size=$2 ;;
  --fps) fps=$2 ;;
  --from) from=$2 ;;
  --to) to=$2 ;;
  --chunks) chunks=$2 ;;
  --jobs) jobs=$2 ;;
  --sshlogin) sshlogin=$2 ;;
  --retries) retries=$2 ;;
  --keyint) keyint=$2 ;;
  esac
  shift 2
done
for pair in "--chunks:$chunks" "--jobs:$jobs" "--keyint:$keyint"; do
  value=${pair#*:}
  if [ -n "$value" ] && ! [[ $value =~ ^[1-9][0-9]{0,5}$ ]]; then
    fail "${pair%%:*}: '$value' is not a whole number from 1"
  fi
done
[[ $retries =~ ^[0-9]{1,2}$ ]] || fail "--retries: '$retries' is not a whole number from 0 to 99"
for tool in ffmpeg ffprobe parallel tar; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (bash scripts/install-deps.sh)"
done

out=$(realpath -m "$out_arg")
[ ! -d "$out" ] || fail "$out is a folder; OUT names the video file to write"
[ -d "$(dirname "$out")" ] || fail "$(dirname "$out") is not a folder"
cd "$(dirname "$0")/.."
root=$(pwd)
capture=$(realpath -m "${CAPTURE:-build/vantor-capture}")
scene=${SCENE:-main}
[ -x "$capture" ] || fail "$capture not found; build it first (scripts/build.sh)"

# vantor-capture draws headless (EGL) where it can; where it cannot, and there is no
# display, the local side runs in a virtual one.
if [ -z "${DISPLAY:-}" ] && ! "$capture" --headless --plan --to 1 --size 16x16 >/dev/null 2>&1; then
  exec bash scripts/with-display.sh bash "$0" "${args[@]}"
fi

mode=mp4
[ "$lossless" = 0 ] || mode=lossless
keyint=${keyint:-$((2 * fps))}
work="" runner="" joiner="" encoder=""
on_signal() {
  trap '' INT TERM
  [ -z "$runner" ] || { kill -INT "$runner" 2>/dev/null || true; wait "$runner" 2>/dev/null || true; }
  for pid in "$joiner" "$encoder"; do
    [ -z "$pid" ] || { kill -TERM "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }
  done
  [ -t 2 ] && echo >&2
  if [ -n "$work" ]; then
    harvest
    echo "render-video: interrupted; $(done_count) of $chunks chunks done, kept in $work for a re-run" \
      "of the same command" >&2
  else
    echo "render-video: interrupted" >&2
  fi
  exit "$1"
}
trap 'on_signal 130' INT
trap 'on_signal 143' TERM

now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
started=$(now)

# The plan: how many frames, where the span ends (by the end track, as the show ends,
# when there is no --to), in vantor-capture's own words.
span=(--from "$from")
[ "$to" = - ] || span+=(--to "$to")
plan_log=$(mktemp)
plan_text=$("$capture" --scene "$scene" --size "$size" --fps "$fps" "${span[@]}" --plan 2>"$plan_log") || {
  status=$?
  grep '^vantor-capture:' "$plan_log" >&2 || cat "$plan_log" >&2
  rm -f "$plan_log"
  exit "$status"
}
rm -f "$plan_log"
plan() { awk -v key="$1" '$1 == key { sub(/^[^ ]+ /, ""); print; exit }' <<<"$plan_text"; }
frames=$(plan frames) first_row=$(plan first_row) end_row=$(plan end_row)
[[ $frames =~ ^[1-9][0-9]*$ ]] || fail "vantor-capture --plan gave no frame count"

# Chunks are runs of whole segments (a segment starts at each key frame).
segments=$(((frames + keyint - 1) / keyint))
slots=0
default_jobs=${jobs:-$(nproc)}
IFS=, read -r -a logins <<<"${sshlogin:-:}"
remotes=()
for login in "${logins[@]}"; do
  if [[ $login =~ ^([0-9]+)/ ]]; then
    slots=$((slots + BASH_REMATCH[1]))
  else
    slots=$((slots + default_jobs))
  fi
  host=${login#*/}
  [ "$host" = : ] || remotes+=("$login")
done
chunks=${chunks:-$((4 * slots))}
((chunks <= segments)) || chunks=$segments

# What the chunks' bytes depend on: the plan, the settings and this machine's build, data,
# encoder and OpenGL driver. The work folder is named after all of it, so a re-run of the
# same command finds its finished chunks, and any change starts afresh.
fingerprint=$(bash scripts/render-fingerprint.sh "$capture")
key=$(printf '%s\n' "$plan_text" "$scene $mode $keyint $chunks" "$fingerprint" | sha256sum | cut -c1-12)
work="$(dirname "$out")/.render-video-$scene-$size-${fps}fps-$first_row-$end_row-$chunks-$key"

chunk_first() { echo $((($1 * segments / chunks) * keyint)); }
chunk_end() {
  local e=$(((($1 + 1) * segments / chunks) * keyint))
  ((e <= frames)) || e=$frames
  echo "$e"
}
# A chunk is done once its job succeeded and its stream came back whole: render-chunk.sh
# ends it with a marker that follows the last segment. Called as chunks finish, so an
# interruption at any moment keeps every finished one.
harvest() {
  local k first
  [ -n "${work:-}" ] && [ -s "$work/jobs.log" ] || return 0
  for first in $(awk -F'\t' 'NR > 1 && $7 == 0 && $8 == 0 { n = split($9, w, " "); print w[n - 1] }' "$work/jobs.log"); do
    k=${chunk_of[$first]:-}
    [ -n "$k" ] && [ ! -e "$work/done/$k" ] && [ -s "$work/out/$k" ] || continue
    tar -xif "$work/out/$k" -C "$work/seg" 2>/dev/null || true
    if [ -e "$work/seg/end_$first" ]; then
      touch "$work/done/$k"
      rm -f "$work/out/$k"
    fi
  done
}
declare -A chunk_of
for ((k = 0; k < chunks; k++)); do chunk_of[$(chunk_first "$k")]=$k; done
done_count() {
  local n=0 f
  for f in "$work/done"/*; do [ ! -e "$f" ] || n=$((n + 1)); done
  echo "$n"
}


# Room for the chunks and for the joined copy of them, by what the encoders typically
# make of a frame of this size (a generous estimate).
width=${size%x*} height=${size#*x}
if [ "$mode" = lossless ]; then per_frame=$((width * height * 2)); else per_frame=$((width * height / 4 + 4096)); fi
done_before=$(done_count)
need=$((per_frame * frames * (2 * chunks - done_before) / chunks + frames * 8000))
free=$(df -P -B1 "$(dirname "$out")" | awk 'NR == 2 { print $4 }')
if ((need > free)); then
  fail "the chunks and the video need about $((need / 1048576)) MiB in $(dirname "$out"), which has" \
    "$((free / 1048576)) MiB free; not starting"
fi

# Other machines must draw and encode exactly as this one does.
if [ ${#remotes[@]} -gt 0 ]; then
  check=$(IFS=,; printf '%s' "${remotes[*]}")
  theirs=$(parallel --nonall --tag -S "$check" "cd $(printf %q "$root") && bash scripts/render-fingerprint.sh \
    $(printf %q "$capture")" </dev/null 2>&1) || true
  differ=()
  for login in "${remotes[@]}"; do
    host=${login#*/}
    line=$(awk -v h="$host" -F'\t' '$1 == h { print $2; exit }' <<<"$theirs")
    [ "$line" = "$fingerprint" ] || differ+=("$host (${line:-no answer})")
  done
  if [ ${#differ[@]} -gt 0 ]; then
    echo "render-video: this machine renders with $fingerprint" >&2
    for d in "${differ[@]}"; do echo "render-video: $d differs" >&2; done
    fail "the machines above would render other pixels or bytes (another build, data, encoder or" \
      "OpenGL driver); not starting"
  fi
fi

mkdir -p "$work/out" "$work/seg" "$work/done"
if [ ! -s "$work/music.wav" ]; then
  "$capture" --scene "$scene" --size "$size" --fps "$fps" "${span[@]}" --wav "$work/music.tmp.wav" \
    2>"$work/music.log" || {
    status=$?
    grep '^vantor-capture:' "$work/music.log" >&2 || cat "$work/music.log" >&2
    exit "$status"
  }
  mv -f "$work/music.tmp.wav" "$work/music.wav"
fi
# The music is encoded once, while the chunks render, so the join only copies it.
if [ "$mode" = lossless ]; then
  audio_file=music.mka audio_encode=(-c:a flac -f matroska)
else
  audio_file=music.m4a audio_encode=(-c:a aac -b:a 192k -f mp4)
fi
if [ ! -s "$work/$audio_file" ]; then
  ffmpeg -hide_banner -loglevel error -nostdin -i "$work/music.wav" "${audio_encode[@]}" -y \
    "$work/audio.tmp" 2>"$work/audio.log" </dev/null &
  encoder=$!
fi
planned=$(now)

harvest
: >"$work/chunks.txt"
for ((k = 0; k < chunks; k++)); do
  [ -e "$work/done/$k" ] || echo "$k $(chunk_first "$k") $(chunk_end "$k")" >>"$work/chunks.txt"
done
missing_frames=$(awk '{ n += $3 - $2 } END { print n + 0 }' "$work/chunks.txt")
echo "render-video: $frames frames at $size, $fps fps, rows $first_row to $end_row, in $chunks chunks" >&2
[ "$done_before" = 0 ] || echo "render-video: resuming: $done_before of $chunks chunks done" >&2

# One line: chunks done, the running ones with their frames, all frames and time left,
# which counts the join at a generous 100 MB/s of copying.
if [ -t 2 ]; then period=1 end=$'\r' clear=$'\033[K'; else period=10 end=$'\n' clear=""; fi
report() {
  awk -v dir="$work/out" -v total="$missing_frames" -v elapsed="$(seconds "$planned" "$(now)")" \
    -v join_s="$(awk -v b="$per_frame" -v f="$frames" 'BEGIN { print b * f / 1e8 }')" \
    -v before="$done_before" -v clear="$clear" '
  {
    k = $1; size = $3 - $2; got = 0; state = "waiting"
    file = dir "/" k ".err"
    while ((r = (getline line < file)) > 0) {
      state = "starting"
      if (line ~ /^vantor-capture: frame [0-9]+\//) {
        split(line, part, /[ \/]/); got = part[3] + 0; state = "running"
      } else if (line ~ /^vantor-capture: [0-9]+ frames in /) {
        split(line, part, " "); got = part[2] + 0; state = "done"
      }
    }
    close(file)
    all += got
    if (state == "done") finished++
    else if (state == "waiting") waiting++
    else running = running sprintf("%s#%d %d/%d", running == "" ? "" : ", ", k, got, size)
  }
  END {
    left = (all > 0 ? elapsed * (total - all) / all : 0) + join_s
    printf "render-video: chunks %d done, %d waiting; running: %s; %d/%d frames (%.1f%%), %d:%02d left%s",
      finished + before, waiting, running == "" ? "none" : running, all, total,
      (total > 0 ? 100 * all / total : 100), int(left / 60), int(left) % 60, clear
  }' "$work/chunks.txt"
}

if [ -s "$work/chunks.txt" ]; then
  parallel_args=(--halt now,fail=1 --retries $((retries + 1)) --colsep ' ' --results "$work/out/{1}"
    --joblog "$work/jobs.log" -j "$default_jobs")
  [ -z "$sshlogin" ] || parallel_args+=(-S "$sshlogin")
  job=$(printf 'cd %q && bash scripts/render-chunk.sh %q %q %q %q %q %q %q %q {2} {3}' \
    "$root" "$capture" "$scene" "$size" "$fps" "$from" "$to" "$mode" "$keyint")
  parallel "${parallel_args[@]}" "$job" :::: "$work/chunks.txt" </dev/null >/dev/null \
    2>"$work/parallel.txt" &
  runner=$!
  tick=0
  while kill -0 "$runner" 2>/dev/null; do
    sleep 1 &
    wait $! || true
    harvest
    if ((++tick % period == 0)); then
      printf "%s%s" "$(report)" "$end" >&2
    fi
  done
  [ "$period" = 10 ] || printf "\n" >&2
  status=0
  wait "$runner" || status=$?
  runner=""
  harvest
  if [ "$status" != 0 ] || [ "$(done_count)" != "$chunks" ]; then
    echo "render-video: a chunk failed (after $retries retries); $(done_count) of $chunks chunks done are" \
      "kept in $work for a re-run of the same command:" >&2
    while read -r k s e; do
      [ ! -e "$work/done/$k" ] && [ -s "$work/out/$k.err" ] || continue
      echo "--- chunk $k (frames $s to $((e - 1))):" >&2
      tail -n 15 "$work/out/$k.err" >&2 || true
    done <"$work/chunks.txt"
    grep -v '^$' "$work/parallel.txt" >&2 || true
    [ -z "$encoder" ] || kill -TERM "$encoder" 2>/dev/null || true
    exit 1
  fi
fi
if [ -n "$encoder" ]; then
  status=0
  wait "$encoder" || status=$?
  encoder=""
  if [ "$status" != 0 ]; then
    cat "$work/audio.log" >&2
    echo "render-video: encoding the music failed; the chunks are kept in $work" >&2
    exit 1
  fi
  mv -f "$work/audio.tmp" "$work/$audio_file"
fi
rendered=$(now)

# The join: the segments follow one another through the concat demuxer, each given its
# exact length, so that frame i lands at i / fps as in a single run (without a length, a
# segment would be taken to end at its last frame's start, one frame early). Lengths are
# whole microseconds, rounded so that each segment's start is exact to half of one.
find "$work/seg" -name 'seg_*' -printf '%f\n' | LC_ALL=C sort | awk -v fps="$fps" -v frames="$frames" '
  function us(f) { return sprintf("%.0f", f * 1000000 / fps) }
  { name[NR] = $0; first[NR] = substr($0, 5, 8) + 0 }
  END {
    print "ffconcat version 1.0"
    for (i = 1; i <= NR; i++) {
      e = i < NR ? first[i + 1] : frames
      printf "file seg/%s\nduration %dus\n", name[i], us(e) - us(first[i])
    }
  }' >"$work/segments.ffconcat"
if [ "$mode" = lossless ]; then format=(-f matroska); else format=(-movflags +faststart -f mp4); fi
echo "render-video: joining $chunks chunks ($segments segments) into $out" >&2
rm -f "$work/join.progress"
ffmpeg -hide_banner -loglevel error -nostats -nostdin -progress "$work/join.progress" -f concat -safe 0 \
  -i "$work/segments.ffconcat" -i "$work/$audio_file" -map 0:v:0 -map 1:a:0 -c copy \
  -colorspace bt709 -color_primaries bt709 -color_trc bt709 -color_range tv "${format[@]}" "$work/video" 2>"$work/join.log" &
joiner=$!
join_started=$(now)
tick=0
while kill -0 "$joiner" 2>/dev/null; do
  sleep 1 &
  wait $! || true
  if ((++tick % period == 0)); then
    done_frames=$(sed -n 's/^frame=//p' "$work/join.progress" 2>/dev/null | tail -n 1)
    done_frames=${done_frames:-0}
    printf "render-video: joining: %d/%d frames, %s left%s%s" "$done_frames" "$frames" \
      "$(awk -v e="$(seconds "$join_started" "$(now)")" -v d="$done_frames" -v t="$frames" \
        'BEGIN { l = d > 0 ? e * (t - d) / d : 0; printf "%d:%02d", int(l / 60), int(l) % 60 }')" \
      "$clear" "$end" >&2
  fi
done
[ "$period" = 10 ] || [ "$tick" -lt "$period" ] || printf "\n" >&2
status=0
wait "$joiner" || status=$?
joiner=""
if [ "$status" != 0 ]; then
  cat "$work/join.log" >&2
  fail_join="the join failed"
fi

# The check before OUT is replaced: exactly the plan's frames, frame i at i / fps, and the
# video as long as the span.
verdict=$(ffprobe -v error -select_streams v:0 -show_entries packet=pts_time,duration_time -of csv=p=0 \
  "$work/video" 2>&1 | LC_ALL=C sort -t, -k1,1g | awk -F, -v fps="$fps" -v frames="$frames" '
  $1 ~ /^-?[0-9.]+$/ {
    n++
    d = $1 * fps - (n - 1)
    if (bad == "" && d * d >= 0.25)
      bad = sprintf("frame %d is at %s s, not %.6f s", n - 1, $1, (n - 1) / fps)
    last = $1 + $2
  }
  END {
    if (n != frames) print "it holds " n + 0 " frames, not " frames
    else if (bad != "") print bad
    else if ((last - frames / fps) ^ 2 > (0.5 / fps) ^ 2)
      printf "it lasts %.6f s, not %.6f s\n", last, frames / fps
  }') || verdict="ffprobe cannot read it"
if [ -n "${fail_join:-}" ] || [ -n "$verdict" ]; then
  echo "render-video: ${fail_join:-the joined video is wrong}: ${verdict:-see above}; $out is left as it was" \
    "(the chunks are kept in $work)" >&2
  exit 1
fi
mv -f "$work/video" "$out"
rm -rf "$work"
finished=$(now)
echo "render-video: $out: $frames frames, $(plan duration_s) s, checked, in $(seconds "$started" "$finished") s" \
  "(plan and music $(seconds "$started" "$planned") s, $chunks chunks $(seconds "$planned" "$rendered") s," \
  "join $(seconds "$rendered" "$finished") s)" >&2
