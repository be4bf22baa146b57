#!/usr/bin/env bash
# Fuzzes the mesh readers (OBJ, .bobj, .nwa, PLY header) with libFuzzer for a given time
# each. Builds the targets with clang in build-fuzz/, seeds them with the checked-in corpus
# (tests/mesh/fuzz/corpus/, which the ordinary test run replays) and keeps what they find
# in build-fuzz/fuzz-corpus/ and build-fuzz/fuzz-artifacts/.
#   usage: scripts/fuzz-mesh.sh [SECONDS_PER_TARGET] [Obj|BinaryMesh|Nwa|PlyHeader ...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(Obj BinaryMesh Nwa PlyHeader)

if ! command -v clang++ >/dev/null; then
  echo "fuzz-mesh: clang++ is needed (apt-get install clang libclang-rt-dev)" >&2
  exit 2
fi

build="${FUZZ_BUILD_DIR:-build-fuzz}"
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOR_FUZZ=ON -DVANTOR_BENCH=OFF >/dev/null

corpus_of() {
  case "$1" in
    Obj) echo obj ;;
    BinaryMesh) echo bobj ;;
    Nwa) echo nwa ;;
    PlyHeader) echo ply ;;
    *) echo "fuzz-mesh: unknown target $1" >&2; exit 2 ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  seed="tests/mesh/fuzz/corpus/$(corpus_of "$target")"
  work="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts/$target/"
  mkdir -p "$work" "$artifacts"
  cmake --build "$build" --target "fuzz_mesh_$target" -j"${JOBS:-2}" >/dev/null
  echo "fuzz-mesh: $target for ${seconds}s" >&2
  # -close_fd_mask=1 silences the readers' progress lines on standard output.
  if ! "$build/tests/mesh/fuzz/fuzz_mesh_$target" -max_total_time="$seconds" -close_fd_mask=1 \
      -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$artifacts" -print_final_stats=1 \
      "$work" "$seed"; then
    echo "fuzz-mesh: $target found a failure; the input is in $artifacts" >&2
    status=1
  fi
done
exit $status
