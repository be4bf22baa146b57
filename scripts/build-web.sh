#!/usr/bin/env bash
# Builds the show as a web page with Debian's emscripten: dist/vantor-web/ (index.html,
# vantor.js, vantor.wasm, vantor.data) and dist/vantor-web.zip. The files are static; serve
# them with scripts/serve-web.sh or any web server.
#
#   build-web.sh
#
# Steps, each a no-op when its result is already there:
#   1. the Debian packages (install-deps.sh for the data tools, install-web-deps.sh)
#   2. the show's data, made by the native tools in build/ (only the data targets)
#   3. the files the show reads, staged into build-web/data/
#   4. the page, compiled in build-web/ (Release, -O2; only the show: no tools, no tests)
#   5. dist/vantor-web/ and its zip
# JOBS sets the build's parallel jobs (2).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}
native=$root/build
web=$root/build-web
out=$root/dist/vantor-web
say() { echo "build-web: $*" >&2; }
started=$SECONDS

bash scripts/install-deps.sh
bash scripts/install-web-deps.sh
# Debian's emcc runs its tools under node with Debian's node modules (acorn).
export NODE_PATH=/usr/share/nodejs
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" "${launcher[@]}" >/dev/null
fi
cmake --build "$native" -j"$jobs" --target assets timeline

# Only what the show reads goes into the page's download.
stage=$web/page-data
rm -rf "$stage"
mkdir -p "$web"
python3 scripts/release-data.py . >"$web/data-files.txt"
while read -r file; do
  mkdir -p "$stage/$(dirname "${file#data/}")"
  cp "$file" "$stage/${file#data/}"
done <"$web/data-files.txt"

# -O2: -O3 makes a larger page that is no faster here. VANTOR_WEB_LINK_FLAGS adds link
# flags for a look inside (-sASSERTIONS=1 --profiling-funcs).
emcmake cmake -S . -B "$web" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-O2 -DCMAKE_EXE_LINKER_FLAGS="${VANTOR_WEB_LINK_FLAGS:-}" \
  -DVANTOR_WEB_DATA="$stage" "${launcher[@]}" >/dev/null
cmake --build "$web" -j"$jobs" --target vantor-web

rm -rf "$out"
mkdir -p "$out"
cp "$web/page/vantor.html" "$out/index.html"
cp "$web/page/vantor.js" "$web/page/vantor.wasm" "$web/page/vantor.data" "$out/"
rm -f dist/vantor-web.zip
(cd dist && zip -q -r -X -9 vantor-web.zip vantor-web)
say "$out: $(du -sk "$out" | cut -f1) KiB (zip $(du -k dist/vantor-web.zip | cut -f1) KiB), done in $((SECONDS - started)) s"
