#!/usr/bin/env bash
# Builds everything with clang's AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/ and runs every test under them, GL tests inside a virtual display. Any
# report fails the run. The generated data is shared with the ordinary build, which runs
# first when data/ has not been made yet. Leaks in third-party libraries that the tests
# cannot free are suppressed by tests/sanitizers/SanitizerDefaults.cpp, built into every
# program, which names each of them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
[ -f data/vaxo-dubtech.mp3 ] || bash scripts/build.sh

build="${SANITIZE_BUILD_DIR:-build-sanitize}"
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOR_SANITIZE=ON -DVANTOR_GENERATE_ASSETS=OFF -DVANTOR_BENCH=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}"

export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
bash scripts/with-display.sh \
  ctest --test-dir "$build" --output-on-failure -j"${JOBS:-2}" --timeout 900
