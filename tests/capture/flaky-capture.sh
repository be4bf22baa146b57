#!/usr/bin/env bash
# Stands in for vantor-capture in the render-video tests: runs the real one
# ($REAL_CAPTURE), except that a part of a span starting at frame $FLAKY_FIRST (--frames
# FIRST:END) fails while the number in the file $FLAKY_COUNTER is above zero, counting it
# down each time, as a machine that drops out now and then would.
set -euo pipefail
for arg in "$@"; do
  if [ "$arg" = "${FLAKY_FIRST:-none}:${arg#*:}" ] && [ -n "${FLAKY_COUNTER:-}" ]; then
    left=$(cat "$FLAKY_COUNTER")
    if [ "$left" -gt 0 ]; then
      echo $((left - 1)) >"$FLAKY_COUNTER"
      echo "vantor-capture: this machine dropped out" >&2
      exit 1
    fi
  fi
done
exec "$REAL_CAPTURE" "$@"
