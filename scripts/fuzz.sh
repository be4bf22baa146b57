#!/usr/bin/env bash
# Fuzzes the readers of outside data with libFuzzer for a given time each: the mesh
# readers (OBJ, .bobj, .nwa, PLY header), the track file reader, the timeline parser and
# the BMP and DDS readers. Builds the targets with clang in build-fuzz/, seeds each with its
# checked-in corpus (which the ordinary test run replays) and keeps what they find in
# build-fuzz/fuzz-corpus/ and build-fuzz/fuzz-artifacts/. A run of a target prints its
# figures (executions, coverage); a finding fails the script.
#   usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET ...]
#   TARGET: Obj BinaryMesh Nwa PlyHeader TrackFile Timeline Bmp Dds (all by default)
#   FUZZ_RUNS=N stops each target after N inputs instead (within the seconds given).
#   FUZZ_JOBS=N runs N fuzzers on each target side by side, sharing its corpus (FUZZ_RUNS
#   then counts per fuzzer); each one's log is build-fuzz/fuzz-logs/TARGET-I.log.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(Obj BinaryMesh Nwa PlyHeader TrackFile Timeline Bmp Dds)

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is needed (bash scripts/install-deps.sh)" >&2
  exit 2
fi

corpus_of() {
  case "$1" in
    Obj) echo tests/mesh/fuzz/corpus/obj ;;
    BinaryMesh) echo tests/mesh/fuzz/corpus/bobj ;;
    Nwa) echo tests/mesh/fuzz/corpus/nwa ;;
    PlyHeader) echo tests/mesh/fuzz/corpus/ply ;;
    TrackFile) echo tests/sync/fuzz/corpus/track ;;
    Timeline) echo tests/sync/fuzz/corpus/timeline ;;
    Bmp) echo tests/engine/fuzz/corpus/bmp ;;
    Dds) echo tests/engine/fuzz/corpus/dds ;;
    *) echo "fuzz: unknown target $1" >&2; exit 2 ;;
  esac
}
for target in "${targets[@]}"; do corpus_of "$target" >/dev/null; done

build="${FUZZ_BUILD_DIR:-build-fuzz}"
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOR_FUZZ=ON -DVANTOR_BENCH=OFF -DVANTOR_GENERATE_ASSETS=OFF >/dev/null

status=0
for target in "${targets[@]}"; do
  seed=$(corpus_of "$target")
  work="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts/$target/"
  mkdir -p "$work" "$artifacts"
  cmake --build "$build" --target "fuzz_$target" -j"${JOBS:-2}" >/dev/null
  echo "fuzz: $target for ${seconds}s" >&2
  # -close_fd_mask=1 silences the readers' progress lines on standard output.
  runs=()
  [ -n "${FUZZ_RUNS:-}" ] && runs=(-runs="$FUZZ_RUNS")
  fuzz=("$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" "${runs[@]}" -close_fd_mask=1
    -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=256 -artifact_prefix="$artifacts"
    -print_final_stats=1 "$work" "$seed")
  jobs="${FUZZ_JOBS:-1}"
  failed=0
  if [ "$jobs" -le 1 ]; then
    "${fuzz[@]}" || failed=1
  else
    mkdir -p "$build/fuzz-logs"
    pids=()
    for i in $(seq "$jobs"); do
      "${fuzz[@]}" > "$build/fuzz-logs/$target-$i.log" 2>&1 &
      pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
    total=0
    for i in $(seq "$jobs"); do
      executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/fuzz-logs/$target-$i.log")
      echo "fuzz: $target fuzzer $i: ${executed:-?} inputs" >&2
      total=$((total + ${executed:-0}))
    done
    echo "fuzz: $target: $total inputs in all" >&2
  fi
  if [ "$failed" -ne 0 ]; then
    echo "fuzz: $target found a failure; the input is in $artifacts" >&2
    status=1
  fi
done
exit $status
