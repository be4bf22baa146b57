#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything (tools and data too).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" >/dev/null
cmake --build build -j"${JOBS:-2}"
