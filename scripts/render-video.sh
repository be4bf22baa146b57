#!/usr/bin/env bash
# Renders the show, or a span of it, to a video with its music. The span's frames are
# split into chunks that GNU parallel renders side by side, on this machine or on others
# over SSH; each chunk is drawn exactly as a single run would draw those frames (see
# vantor-capture --frames) and encoded losslessly, and the joined chunks are encoded once.
#
# usage: scripts/render-video.sh OUT [--size WxH] [--fps N] [--from ROW] [--to ROW]
#            [--chunks N] [--jobs N] [--sshlogin LIST] [--lossless]
#   OUT             the video: H.264 (yuv420p, BT.709 limited range) and AAC in MP4, or
#                   with --lossless FFV1 (yuv444p, as captured) and FLAC in Matroska
#   --size, --fps, --from, --to   as vantor-capture takes them (default: the whole show,
#                   1920x1080 at 60 fps)
#   --chunks N      how many parts to split the frames into (default: four per job slot)
#   --jobs N        chunks rendered at once on each machine (default: this machine's cores)
#   --sshlogin LIST GNU parallel's list of machines, e.g. "2/render1,render2,:" (":" is
#                   this machine, "2/" two chunks at once there); each must hold this
#                   repository, built, with its data, at the same path, and ffmpeg
#   --lossless      FFV1 and FLAC in Matroska instead of H.264 and AAC in MP4
# Environment: CAPTURE (default build/vantor-capture), SCENE (default main).
# Progress goes to standard error; the chunks are kept in a folder beside OUT while they
# render (lossless, so plan for about 0.75 MB a frame at 1920x1080, 8 GB for the show).
set -euo pipefail

usage() {
    sed -n '/^# usage:/,/^set /p' "$0" | sed -n 's/^# \{0,1\}//p' >&2
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
size=1920x1080 fps=60 from=0 to=- chunks="" jobs="" sshlogin="" lossless=0
while [ $# -gt 0 ]; do
    case $1 in
    --lossless) lossless=1; shift; continue ;;
    --size | --fps | --from | --to | --chunks | --jobs | --sshlogin)
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
    esac
    shift 2
done
for pair in "--chunks:$chunks" "--jobs:$jobs"; do
    value=${pair#*:}
    if [ -n "$value" ] && ! [[ $value =~ ^[1-9][0-9]{0,5}$ ]]; then
        fail "${pair%%:*}: '$value' is not a whole number from 1"
    fi
done
for tool in ffmpeg parallel; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (bash scripts/install-deps.sh)"
done

# Local chunks share one virtual display when there is no real one.
if [ -z "${DISPLAY:-}" ]; then
    exec bash "$(dirname "$0")/with-display.sh" bash "$0" "${args[@]}"
fi

out=$(realpath -m "$out_arg")
[ -d "$(dirname "$out")" ] || fail "$(dirname "$out") is not a folder"
cd "$(dirname "$0")/.."
root=$(pwd)
capture=$(realpath -m "${CAPTURE:-build/vantor-capture}")
scene=${SCENE:-main}
[ -x "$capture" ] || fail "$capture not found; build it first (scripts/build.sh)"

# Job slots: N for an "N/host" entry of the list, --jobs (or this machine's cores) for
# any other; the default chunk count keeps every slot busy while the slow parts finish.
slots=0
default_jobs=${jobs:-$(nproc)}
IFS=, read -r -a logins <<<"${sshlogin:-:}"
for login in "${logins[@]}"; do
    if [[ $login =~ ^([0-9]+)/ ]]; then
        slots=$((slots + BASH_REMATCH[1]))
    else
        slots=$((slots + default_jobs))
    fi
done
chunks=${chunks:-$((4 * slots))}

work=$(mktemp -d "$(dirname "$out")/.render-video.XXXXXX")
runner=""
cleanup() {
    if [ -n "$runner" ] && kill -0 "$runner" 2>/dev/null; then
        kill "$runner" 2>/dev/null || true
        wait "$runner" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
started=$(now)

# The span and its music: a music-only capture decides where the span ends (as the show
# does, by the end track, when there is no --to), reports its frames and writes the WAV
# of exactly those rows.
span=(--from "$from")
[ "$to" = - ] || span+=(--to "$to")
status=0
"$capture" --scene "$scene" --size "$size" --fps "$fps" "${span[@]}" --wav "$work/music.wav" \
    >"$work/plan.txt" 2>&1 || status=$?
if [ "$status" != 0 ]; then
    grep '^vantor-capture:' "$work/plan.txt" >&2 || cat "$work/plan.txt" >&2
    exit "$status"
fi
frames="" first_row="" end_row=""
read -r frames first_row end_row < <(sed -n \
    's/^vantor-capture: \([0-9]*\) frames at [0-9]* fps, rows \([^ ]*\) to \([^ ]*\)$/\1 \2 \3/p' "$work/plan.txt") ||
    true
[ -n "$frames" ] || fail "vantor-capture did not report the span's frames"
((chunks > frames)) && chunks=$frames
for ((k = 0; k < chunks; k++)); do
    echo "$((k * frames / chunks)) $(((k + 1) * frames / chunks))"
done >"$work/chunks.txt"
planned=$(now)
echo "render-video: $frames frames at $size, $fps fps, rows $first_row to $end_row, in $chunks chunks" >&2

# The chunks. Each one's stream and log land in chunk/K and chunk/K.err as they arrive,
# from this machine or over SSH alike.
if [ "$lossless" = 1 ]; then pixfmt=yuv444p; else pixfmt=yuv420p; fi
parallel_args=(--halt now,fail=1 --colsep ' ' --results "$work/chunk/{#}" --joblog "$work/jobs.log"
    -j "$default_jobs")
[ -z "$sshlogin" ] || parallel_args+=(-S "$sshlogin")
job=$(printf 'cd %q && bash scripts/render-chunk.sh %q %q %q %q %q %q %q {1} {2}' \
    "$root" "$capture" "$scene" "$size" "$fps" "$from" "$to" "$pixfmt")
parallel "${parallel_args[@]}" "$job" :::: "$work/chunks.txt" </dev/null >/dev/null 2>"$work/parallel.txt" &
runner=$!

# One line: chunks done, the running ones with their frames, all frames and time left.
# vantor-capture reports "frame D/T" every few seconds and "N frames in" at the end.
report() {
    awk -v dir="$work/chunk" -v total="$frames" -v elapsed="$(seconds "$planned" "$(now)")" '
    {
        k = NR; size = $2 - $1; got = 0; state = "waiting"
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
        if (r == 0 && state == "waiting") state = "starting"
        all += got
        if (state == "done") finished++
        else if (state == "waiting") waiting++
        else running = running sprintf("%s#%d %d/%d", running == "" ? "" : ", ", k, got, size)
    }
    END {
        left = all > 0 ? elapsed * (total - all) / all : 0
        printf "render-video: chunks %d done, %d waiting; running: %s; %d/%d frames (%.1f%%), %d:%02d left",
            finished, waiting, running == "" ? "none" : running, all, total, 100 * all / total,
            int(left / 60), int(left) % 60
    }' "$work/chunks.txt"
}
if [ -t 2 ]; then period=1 end="\r"; else period=10 end="\n"; fi
tick=0
while kill -0 "$runner" 2>/dev/null; do
    sleep 1
    if ((++tick % period == 0)); then
        printf "%s\033[K$end" "$(report)" >&2
    fi
done
[ "$period" = 10 ] || printf "\n" >&2
if ! wait "$runner"; then
    runner=""
    echo "render-video: a chunk failed:" >&2
    awk -F'\t' 'NR > 1 && $7 != 0 { print $1 }' "$work/jobs.log" | while read -r k; do
        echo "--- chunk $k ($(sed -n "${k}p" "$work/chunks.txt" | awk '{ print "frames " $1 " to " $2 - 1 }')):" >&2
        tail -n 15 "$work/chunk/$k.err" >&2 || true
    done
    grep -v '^$' "$work/parallel.txt" >&2 || true
    exit 1
fi
runner=""
rendered=$(now)

# The join: the chunks' streams follow one another through the concat demuxer; the
# lossless video is copied as it is, the other encoded once. The music was cut to the
# span's exact samples.
for ((k = 1; k <= chunks; k++)); do
    echo "file 'chunk/$k'"
done >"$work/chunks.ffconcat"
encode=(-c:v libx264 -crf 18 -pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart -f mp4)
if [ "$lossless" = 1 ]; then
    encode=(-c:v copy -c:a flac -f matroska)
fi
echo "render-video: joining $chunks chunks into $out" >&2
# ffmpeg's progress rewrites one line: for a terminal only.
stats=-nostats
[ ! -t 2 ] || stats=-stats
ffmpeg -hide_banner -loglevel error "$stats" -nostdin -f concat -safe 0 -i "$work/chunks.ffconcat" \
    -i "$work/music.wav" -map 0:v:0 -map 1:a:0 "${encode[@]}" \
    -colorspace bt709 -color_primaries bt709 -color_trc bt709 -color_range tv "$work/video"
[ ! -t 2 ] || echo >&2 # ends ffmpeg's progress line
mv -f "$work/video" "$out"
finished=$(now)
echo "render-video: $out: $frames frames in $(seconds "$started" "$finished") s" \
    "(span and music $(seconds "$started" "$planned") s, $chunks chunks $(seconds "$planned" "$rendered") s," \
    "join $(seconds "$rendered" "$finished") s)" >&2
