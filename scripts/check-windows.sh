#!/usr/bin/env bash
# Proves the Windows release runs: its programs, taken from the zip, under Wine inside a
# virtual X display, drawing with Mesa.
#
#   check-windows.sh [--bench [REPEATS]] [ZIP]      (ZIP: dist/vantor-windows-x64.zip)
#
# 0. The zip: the programs, libmpg123-0.dll, readme.txt and the licence files
#    (LICENSE.txt, THIRD_PARTY_NOTICES.txt, LGPL-2.1.txt); exactly the data files the
#    programs read (scripts/release-data.py); and no build machine path (/root/, /home/,
#    /tmp/) in the strings of the executables and the DLL.
# 1. The show: vantor.exe windowed on the release's data with a 24-second tune (made by
#    the native maketune) and an end track "e" that drops at row 400, 20 s in (built by the
#    native synctool). It must print the start-up log (Initializations 2, the argument
#    lines, the OpenGL version, SYNC TRACK FOUnD), "Can't initialize device" (Wine's sound
#    drivers are switched off) and the frame time, run on the silent clock until "e"
#    drops, print Terminate and exit 0. Its frame-time lines must be plausible: at most
#    one a second, none longer than the run, and no climbing (the last at most twice the
#    median).
#    Then full screen on the virtual screen (1280x720, not the frame's 1920x1080): the
#    screen is read while it runs (scripts/screen-check.py): the loading bar must sit where
#    the 1920x1080 frame scaled to 1280x720 puts it, and the picture must fill the screen
#    with no side cut off.
# 2. The pictures: vantor-capture.exe --rows 400,1200 --size 320x180 against the Linux
#    build's vantor-capture on the same data: each channel's mean absolute difference
#    must stay under 1/255 (scripts/compare-png.py prints the figures); one of them
#    replaces a file already there. A video stream on standard output must have the
#    Linux stream's exact length (no text-mode bytes).
# --bench: then vantor-capture --bench 30 --size 480x270, Linux and Windows in turn,
# REPEATS (3) times each, start-up and median frame time.
#
# Needs a native build in build/ (scripts/build-windows.sh makes one) for maketune,
# synctool and the Linux vantor-capture. Works in build-windows-x64/check/; the Wine
# prefix is build-windows-x64/wine. Exit status 0 only when every check passed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

arguments=("$@")
bench=0
zip=$root/dist/vantor-windows-x64.zip
while [ $# -gt 0 ]; do
  case "$1" in
    --bench)
      bench=3
      if [[ ${2:-} =~ ^[0-9]+$ ]]; then bench=$2; shift; fi ;;
    -h | --help) sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "usage: check-windows.sh [--bench [REPEATS]] [ZIP]" >&2; exit 2 ;;
    *) zip=$(realpath "$1") ;;
  esac
  shift
done

say() { echo "check-windows: $*" >&2; }
fail() {
  say "FAILED: $*"
  exit 1
}

# Everything runs inside one virtual display, which must outlive Wine's own processes.
if [ -z "${VANTOR_CHECK_DISPLAY:-}" ]; then
  [ -f "$zip" ] || fail "no $zip: run scripts/build-windows.sh first"
  for tool in wine wineserver Xvfb python3; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-windows-deps.sh"
  done
  cmake --build build -j"${JOBS:-2}" --target maketune synctool vantor-capture >/dev/null ||
    fail "the native tools in build/ did not build (scripts/build-windows.sh configures build/)"
  export VANTOR_CHECK_DISPLAY=1
  # A screen of another size than the show's frame, whose picture can be read.
  export VANTOR_SCREEN=1280x720x24
  export VANTOR_SCREEN_DIR=$root/build-windows-x64/check-screen
  rm -rf "$VANTOR_SCREEN_DIR"
  exec bash scripts/with-display.sh bash "$0" "${arguments[@]}"
fi

work=$root/build-windows-x64/check
export WINEPREFIX=$root/build-windows-x64/wine
export WINEDEBUG=-all
# No .NET or HTML engine installers on first start; no sound drivers, so the show meets a
# machine without a sound device.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv="
trap 'wineserver -k 2>/dev/null || true' EXIT

rm -rf "$work"
mkdir -p "$work"
python3 -m zipfile -e "$zip" "$work/release"
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  say "making the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

# --- 0. The zip -----------------------------------------------------------------------
say "0. the zip's files"
release=$work/release
for file in readme.txt LICENSE.txt THIRD_PARTY_NOTICES.txt LGPL-2.1.txt vantor.exe vantor-capture.exe \
  libmpg123-0.dll; do
  [ -s "$release/$file" ] || fail "the zip has no $file"
done
grep -q "GNU LESSER GENERAL PUBLIC LICENSE" "$release/LGPL-2.1.txt" || fail "LGPL-2.1.txt is not the LGPL"
for library in GLFW GLEW SDL mpg123 stb GLM winpthreads "GCC runtime"; do
  grep -q "$library" "$release/THIRD_PARTY_NOTICES.txt" || fail "THIRD_PARTY_NOTICES.txt does not name $library"
done
(cd "$release" && find data -type f | sort) >"$work/zip-data.txt"
python3 scripts/release-data.py . | sort >"$work/read-data.txt" || fail "scripts/release-data.py failed"
diff -u "$work/read-data.txt" "$work/zip-data.txt" >"$work/data.diff" ||
  fail "the zip's data differs from what the programs read (- only read, + only zipped): $(cat "$work/data.diff")"
leaks=$(strings -a "$release"/*.exe "$release"/*.dll | grep -E '/root/|/home/|/tmp/' | sort -u || true)
[ -z "$leaks" ] || fail "build machine paths in the executables: $(echo "$leaks" | head -n 5)"
say "   ok: $(find "$release" -type f | wc -l) files, licences present, $(wc -l <"$work/zip-data.txt") data files, no build paths"

# --- 1. The show --------------------------------------------------------------------
show=$work/show
mkdir -p "$show"
cp -r "$work/release/vantor.exe" "$work/release/libmpg123-0.dll" "$work/release/data" "$show/"
build/tools/maketune/maketune "$show/data/vaxo-dubtech.mp3" 24 >"$work/data.log" 2>&1 ||
  fail "maketune: see $work/data.log"
printf 'track e\n0 2.0 step\n400 1.0 step\n' >"$work/end.txt"
build/tools/synctool/synctool build "$work/end.txt" "$show/data/science/sync" >>"$work/data.log" 2>&1 ||
  fail "synctool: see $work/data.log"

say "1. vantor.exe windowed (a 20-second show: long enough to draw a few frames on a busy machine)"
started=$SECONDS
status=0
(cd "$show" && timeout 300 wine vantor.exe windowed >out.txt 2>err.txt) || status=$?
seconds=$((SECONDS - started))
tr -d '\r' <"$show/out.txt" >"$show/out.log"
tr -d '\r' <"$show/err.txt" >"$show/err.log"
out=$show/out.log

problems=()
expect() { "$@" || problems+=("$last"); }
line() { sed -n "${1}p" "$out"; }
last="exit status $status, not 0"; expect test "$status" -eq 0
last="first line '$(line 1)', not 'Initializations 2'"; expect test "$(line 1)" = "Initializations 2"
last="second line '$(line 2)', not '0: ...vantor.exe'"; expect grep -qE '^0: .*vantor\.exe$' <(line 2)
last="third line '$(line 3)', not '1: windowed'"; expect test "$(line 3)" = "1: windowed"
version=$(line 4)
last="fourth line '$version', not an OpenGL version of 3.3 or later"
expect python3 -c 'import sys; v = tuple(map(int, sys.argv[1].split("."))); sys.exit(len(v) != 3 or v < (3, 3))' "$version" 2>/dev/null
last="standard error lacks 'The received OpenGL version: $version'"
expect grep -qx "The received OpenGL version: $version" "$show/err.log"
last="no 'Can't initialize device'"; expect grep -qx "Can't initialize device" "$out"
last="no 'SYNC TRACK FOUnD'"; expect grep -qx "SYNC TRACK FOUnD" "$out"
# A data file the zip lacks shows as one of these lines.
missing='NOT FOUND|cannot be decoded|Failed to open|[Cc]annot open|not loaded'
last="a data file is missing: $(grep -hm1 -E "$missing" "$out" "$show/err.log" || true)"
expect test "$(cat "$out" "$show/err.log" | grep -cE "$missing")" -eq 0
last="no frame-time line (N ms/frame): it did not draw for a second"
expect grep -qE '^[0-9.e+-]+ ms/frame$' "$out"
last="last line '$(tail -n1 "$out")', not 'Terminate'"; expect test "$(tail -n1 "$out")" = "Terminate"
last="it ended after $seconds s, before \"e\" dropped at 20 s"; expect test "$seconds" -ge 20
if [ ${#problems[@]} -gt 0 ]; then
  printf '  %s\n' "${problems[@]}" >&2
  say "the log is $show/out.log, standard error $show/err.log"
  fail "vantor.exe"
fi
frames=$(grep -E 'ms/frame$' "$out" | tr '\n' ' ')
# The frame-time lines of a log against the seconds the run took: what is wrong, if anything.
plausible_frame_times() {
  python3 - "$1" "$2" <<'PY'
import re, statistics, sys
values = [float(m.group(1)) for m in re.finditer(r"^([0-9.e+-]+) ms/frame$", open(sys.argv[1]).read(), re.M)]
seconds = int(sys.argv[2])
# No frame can take longer than the whole run.
problems = [f"a frame time of {v} ms in a run of {seconds} s" for v in values if not 0 < v <= 1000 * max(seconds, 1)]
if len(values) > seconds + 1:
    problems.append(f"{len(values)} lines in {seconds} s")
if values and values[-1] > 2 * statistics.median(values):
    problems.append(f"the last frame time {values[-1]} ms is over twice the median {statistics.median(values)}")
print("; ".join(problems))
sys.exit(1 if problems else 0)
PY
}
why=$(plausible_frame_times "$out" "$seconds") || fail "implausible frame-time lines: $why ($frames)"
say "   ok in $seconds s: OpenGL $version, no sound device, silent clock; frame times (ms/frame): $frames"

say "1b. vantor.exe full screen on a 1280x720 screen"
screen=$VANTOR_SCREEN_DIR/Xvfb_screen0
shots=$work/screens
mkdir -p "$shots"
(cd "$show" && timeout 300 wine vantor.exe </dev/null >full-out.txt 2>full-err.txt) &
runner=$!
started=$SECONDS
shot=0
while kill -0 "$runner" 2>/dev/null; do
  cp "$screen" "$shots/$(printf %04d $shot).xwd" 2>/dev/null || true
  shot=$((shot + 1))
  sleep 0.25
done
status=0
wait "$runner" || status=$?
seconds=$((SECONDS - started))
tr -d '\r' <"$show/full-out.txt" >"$show/full-out.log"
[ "$status" -eq 0 ] || fail "vantor.exe full screen exited with $status: see $show/full-out.log"
[ "$(tail -n1 "$show/full-out.log")" = "Terminate" ] || fail "vantor.exe full screen did not end with Terminate"
why=$(plausible_frame_times "$show/full-out.log" "$seconds") || fail "implausible frame-time lines full screen: $why"
loading="" picture=""
for xwd in "$shots"/*.xwd; do
  if [ -z "$loading" ] && python3 scripts/screen-check.py loading "$xwd" >"$xwd.loading" 2>&1; then
    loading=$xwd
  fi
done
# The picture late in the show, when the scene is up: the last frame shown stays on the
# screen, so the newest shots that show a picture are checked first.
for xwd in $(ls "$shots"/*.xwd | tail -n 40 | tac); do
  if python3 scripts/screen-check.py picture "$xwd" >"$xwd.picture" 2>&1; then
    picture=$xwd
    break
  fi
done
[ -n "$loading" ] || fail "no screen shows the loading bar where the scaled frame puts it ($shot shots in $shots; e.g. $(ls "$shots"/*.loading | head -n 1))"
[ -n "$picture" ] || fail "no screen near the end shows the picture filling the screen (see $shots/*.picture)"
python3 scripts/screen-check.py png "$loading" "$work/loading-1280x720.png"
python3 scripts/screen-check.py png "$picture" "$work/show-1280x720.png"
say "   ok in $seconds s: the loading bar and the picture fill the 1280x720 screen as the scaled frame;"
say "   $(grep -c 'ms/frame' "$show/full-out.log") frame-time lines; pictures in $work/*-1280x720.png"

# --- 2. The pictures ----------------------------------------------------------------
say "2. vantor-capture.exe --rows 400,1200 --size 320x180 against the Linux build"
release=$work/release
capture=(--rows 400,1200 --size 320x180)
# A file already there must be replaced (Windows' C runtime rename refuses to).
mkdir -p "$work/windows"
echo "an older picture" >"$work/windows/row_400.png"
(cd "$release" && wine vantor-capture.exe "${capture[@]}" --out "$(winepath -w "$work/windows")" \
  >"$work/capture-windows.log" 2>&1) || fail "vantor-capture.exe: see $work/capture-windows.log"
(cd "$release" && "$root/build/vantor-capture" "${capture[@]}" --out "$work/linux" \
  >"$work/capture-linux.log" 2>&1) || fail "Linux vantor-capture: see $work/capture-linux.log"
for row in 400 1200; do
  [ -s "$work/windows/row_$row.png" ] || fail "vantor-capture.exe wrote no row_$row.png"
done
python3 scripts/compare-png.py "$work/linux/row_400.png" "$work/windows/row_400.png" \
  "$work/linux/row_1200.png" "$work/windows/row_1200.png" >&2 ||
  fail "the Windows pictures differ from the Linux ones"

stream=(--y4m - --from 400 --to 403 --size 160x90)
(cd "$release" && wine vantor-capture.exe "${stream[@]}" 2>/dev/null) >"$work/windows.y4m" ||
  fail "vantor-capture.exe --y4m - failed"
(cd "$release" && "$root/build/vantor-capture" "${stream[@]}" 2>/dev/null) >"$work/linux.y4m" ||
  fail "Linux vantor-capture --y4m - failed"
windows_bytes=$(stat -c %s "$work/windows.y4m")
linux_bytes=$(stat -c %s "$work/linux.y4m")
[ "$windows_bytes" -eq "$linux_bytes" ] && [ "$windows_bytes" -gt 0 ] ||
  fail "the video stream on standard output has $windows_bytes bytes on Windows, $linux_bytes on Linux"
say "   ok: the video stream on standard output has the Linux stream's $linux_bytes bytes"

# --- Figures --------------------------------------------------------------------------
if [ "$bench" -gt 0 ]; then
  say "vantor-capture --bench 30 --size 480x270, $bench times each (start-up ms, median frame ms)"
  figures() { awk '/^startup_ms/ { s = $2 } /^frame_ms_median/ { m = $2 } END { print s, m }'; }
  for ((i = 1; i <= bench; i++)); do
    linux=$(cd "$release" && "$root/build/vantor-capture" --bench 30 --size 480x270 2>/dev/null | figures)
    windows=$(cd "$release" && wine vantor-capture.exe --bench 30 --size 480x270 2>/dev/null | tr -d '\r' | figures)
    say "   run $i: Linux $linux   Windows under Wine $windows"
  done
fi

wineserver -w
trap - EXIT
say "all checks passed"
