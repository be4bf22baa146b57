#!/usr/bin/env bash
# Runs a command inside a virtual X display of its own, for the tests and tools that open
# OpenGL windows on a machine without a screen. Xvfb chooses a free display number itself
# and says which (-displayfd), so several runs side by side never race for one, and the
# display lives exactly as long as the command. Mesa's llvmpipe renders. An interrupt or
# SIGTERM to this script goes on to the command, and its exit status comes back.
#   usage: scripts/with-display.sh COMMAND [ARG...]
# VANTOR_SCREEN sets the screen (WIDTHxHEIGHTxDEPTH, default 1920x1080x24). With
# VANTOR_SCREEN_DIR set, Xvfb keeps the screen's picture in that folder as the file
# Xvfb_screen0 (XWD format), for scripts that look at what is shown (scripts/screen-check.py).
set -euo pipefail

if ! command -v Xvfb >/dev/null 2>&1; then
  echo "with-display: Xvfb is not installed (bash scripts/install-deps.sh)" >&2
  exit 2
fi

work=$(mktemp -d)
xvfb="" child=""
cleanup() {
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

screen=${VANTOR_SCREEN:-1920x1080x24}
picture=()
if [ -n "${VANTOR_SCREEN_DIR:-}" ]; then
  mkdir -p "$VANTOR_SCREEN_DIR"
  picture=(-fbdir "$VANTOR_SCREEN_DIR")
fi
Xvfb -displayfd 3 -screen 0 "$screen" "${picture[@]}" -nolisten tcp -noreset 3>"$work/display" \
  2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 1 200); do
  [ -s "$work/display" ] && break
  if ! kill -0 "$xvfb" 2>/dev/null; then
    echo "with-display: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 2
  fi
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "with-display: Xvfb did not name its display in 10 s" >&2
  exit 2
fi
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY
# The command runs in the background so that a signal reaches this script while it
# waits and can be passed on; it gets the default interrupt handling a foreground command
# would have (a background one would ignore interrupts) and keeps standard input.
forward() {
  [ -z "$child" ] || kill -s "$1" "$child" 2>/dev/null || true
}
trap 'forward INT' INT
trap 'forward TERM' TERM
env --default-signal=INT,QUIT "$@" <&0 &
child=$!
status=0
while :; do
  wait "$child" && status=0 || status=$?
  # A wait cut short by a forwarded signal returns early; the command may still run.
  kill -0 "$child" 2>/dev/null || break
done
exit $status
