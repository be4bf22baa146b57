#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything (tools and data too).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# ccache, where present, makes rebuilds of other checkouts of the tree cheap.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" "${launcher[@]}" >/dev/null
cmake --build build -j"${JOBS:-2}"
