#!/usr/bin/env bash
# Builds everything and runs every test. GL tests draw with Mesa's software renderer
# inside a virtual X display of the run's own, so no GPU or monitor is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
bash scripts/with-display.sh \
  ctest --test-dir build --output-on-failure -j"${JOBS:-2}" --timeout 300
