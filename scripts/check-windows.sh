#!/usr/bin/env bash
# Proves the Windows release runs: its programs, taken from the zip, under Wine inside a
# virtual X display, drawing with Mesa.
#
#   check-windows.sh [--bench [REPEATS]] [ZIP]      (ZIP: dist/vantor-windows-x64.zip)
#
# 1. The show: vantor.exe windowed on the release's data with a 10-second tune (made by
#    the native maketune) and an end track "e" that drops at row 160, 8 s in (built by the
#    native synctool). It must print the start-up log (Initializations 2, the argument
#    lines, the OpenGL version, SYNC TRACK FOUnD), "Can't initialize device" (Wine's sound
#    drivers are switched off) and the frame time, run on the silent clock until "e"
#    drops, print Terminate and exit 0.
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

# --- 1. The show --------------------------------------------------------------------
show=$work/show
mkdir -p "$show"
cp -r "$work/release/vantor.exe" "$work/release/data" "$show/"
build/tools/maketune/maketune "$show/data/vaxo-dubtech.mp3" 10 >"$work/data.log" 2>&1 ||
  fail "maketune: see $work/data.log"
printf 'track e\n0 2.0 step\n160 1.0 step\n' >"$work/end.txt"
build/tools/synctool/synctool build "$work/end.txt" "$show/data/science/sync" >>"$work/data.log" 2>&1 ||
  fail "synctool: see $work/data.log"

say "1. vantor.exe windowed (an 8-second show)"
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
last="a track was not found: $(grep -m1 'NOT FOUND' "$out" || true)"; expect test "$(grep -c 'NOT FOUND' "$out")" -eq 0
last="no frame-time line (N ms/frame): it did not draw for a second"
expect grep -qE '^[0-9.e+-]+ ms/frame$' "$out"
last="last line '$(tail -n1 "$out")', not 'Terminate'"; expect test "$(tail -n1 "$out")" = "Terminate"
last="it ended after $seconds s, before \"e\" dropped at 8 s"; expect test "$seconds" -ge 8
if [ ${#problems[@]} -gt 0 ]; then
  printf '  %s\n' "${problems[@]}" >&2
  say "the log is $show/out.log, standard error $show/err.log"
  fail "vantor.exe"
fi
frames=$(grep -E 'ms/frame$' "$out" | tr '\n' ' ')
say "   ok in $seconds s: OpenGL $version, no sound device, silent clock; frame times (ms/frame): $frames"

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
