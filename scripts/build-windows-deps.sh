#!/usr/bin/env bash
# Builds the libraries of the Windows release (GLFW 3, GLEW, SDL2 audio, libmpg123, and
# stb's image reader, image writer and font rasteriser) for mingw-w64, from Debian's
# source packages of exactly the versions the Linux build links, into a cache folder that
# later runs reuse. All are static except libmpg123: it is LGPL, so the release carries it
# as libmpg123-0.dll, which a user can replace. Every file name the compiler would record
# (assertion texts, debug paths) is mapped to a neutral one, so no build machine path ends
# up in what ships. Prints the library prefix (the folder to give the CMake toolchain file) on
# standard output; progress goes to standard error, build output to logs in the cache.
#
#   build-windows-deps.sh [x86_64-w64-mingw32|i686-w64-mingw32]   (default: 64-bit)
#
# Cache layout, under ${VANTOR_WINDOWS_CACHE:-~/.cache/vantor/windows}:
#   sources/<package>_<version>/   what `apt-get source` fetched and unpacked
#   <triplet>/<key>/               one prefix: include/ lib/ share/, versions.txt, logs/
#   <triplet>/current              link to the prefix of the installed versions
# The key hashes the source versions, the compiler packages, this script and the toolchain
# file: any change builds a new prefix (and drops the old one); otherwise the run is a
# no-op. A failed run resumes at the library that failed.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
triplet=${1:-x86_64-w64-mingw32}
case "$triplet" in
  x86_64-w64-mingw32) debarch=x86-64 ;;
  i686-w64-mingw32) debarch=i686 ;;
  *) echo "usage: build-windows-deps.sh [x86_64-w64-mingw32|i686-w64-mingw32]" >&2; exit 2 ;;
esac
jobs=${JOBS:-2}
cache=${VANTOR_WINDOWS_CACHE:-$HOME/.cache/vantor/windows}
toolchain=$here/cmake/toolchain-mingw-w64.cmake

bash "$here/scripts/install-windows-deps.sh" "$triplet"

say() { echo "build-windows-deps: $*" >&2; }

# The source package and version behind an installed binary package.
source_of() {
  dpkg-query -W -f='${source:Package} ${source:Version}\n' "$1"
}

read -r glfw_src glfw_ver < <(source_of libglfw3-dev)
read -r glew_src glew_ver < <(source_of libglew-dev)
read -r sdl_src sdl_ver < <(source_of libsdl2-dev)
read -r mpg_src mpg_ver < <(source_of libmpg123-dev)
read -r glm_src glm_ver < <(source_of libglm-dev)
read -r stb_src stb_ver < <(source_of libstb-dev)

versions=$(cat <<EOF
target $triplet
$glfw_src $glfw_ver
$glew_src $glew_ver
$sdl_src $sdl_ver
$mpg_src $mpg_ver
$glm_src $glm_ver
$stb_src $stb_ver
$(dpkg-query -W -f='${Package} ${Version}\n' "gcc-mingw-w64-$debarch-posix" "g++-mingw-w64-$debarch-posix" "mingw-w64-$debarch-dev")
recipe $(cat "$0" "$toolchain" | sha256sum | cut -c1-16)
EOF
)
key=$(echo "$versions" | sha256sum | cut -c1-12)
base=$cache/$triplet
prefix=$base/$key

# The folders that would otherwise show in the libraries' strings.
mapflags="-ffile-prefix-map=$cache/sources=/src -ffile-prefix-map=$prefix=/prefix -ffile-prefix-map=$here=/vantor"

mkdir -p "$base"
# One builder at a time (the sources are shared between targets): a second run waits,
# then finds the work done.
exec 9>"$cache/.lock"
flock 9

if [ -f "$prefix/complete" ]; then
  [ "$(readlink "$base/current" 2>/dev/null)" = "$key" ] || ln -sfn "$key" "$base/current"
  echo "$prefix"
  exit 0
fi

say "building for $triplet into $prefix"
mkdir -p "$prefix"/{include,lib/pkgconfig,share,logs,stamps} "$cache/sources"
echo "$versions" >"$prefix/versions.txt"
started=$SECONDS

# Runs a step with its output in the package's log; on failure shows the log's end.
logged() {
  local log=$prefix/logs/$1.log
  shift
  if ! "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    say "failed; the whole log is $log"
    exit 1
  fi
}

# apt-get source of one exact version. When the default pick fails (a mirror can lack
# a file, e.g. an upstream signature, that another suite carrying the same version has),
# tries each suite that lists that version.
fetch() {
  local pkg=$1 ver=$2 dir=$cache/sources/$1_$2
  if [ -f "$dir/.unpacked" ]; then
    echo "$dir"
    return
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  local suites
  suites=$(apt-cache madison "$pkg" | awk -F'|' -v v="$ver" \
    '$3 ~ /Sources/ { gsub(/ /, "", $2); if ($2 == v) { split($3, a, " "); split(a[2], s, "/"); print s[1] } }')
  local ok=0
  for pick in "$pkg=$ver" $(for s in $suites; do echo "$pkg/$s"; done); do
    if (cd "$dir" && apt-get source -q --only-source "$pick") >>"$prefix/logs/sources.log" 2>&1; then
      ok=1
      break
    fi
    rm -rf "${dir:?}"/*
  done
  if [ $ok -eq 0 ]; then
    tail -n 20 "$prefix/logs/sources.log" >&2
    say "apt-get source $pkg=$ver failed"
    exit 1
  fi
  local tree
  tree=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n1)
  grep -q "^Version: $ver\$" "$dir"/*.dsc || { say "$pkg: fetched a version other than $ver"; exit 1; }
  mv "$tree" "$dir/src"
  touch "$dir/.unpacked"
  echo "$dir"
}

# The stamp of each finished library lets a failed run resume.
done_step() { [ -f "$prefix/stamps/$1" ]; }
step_started=$SECONDS
mark() {
  touch "$prefix/stamps/$1"
  say "  $1: $((SECONDS - step_started)) s"
  step_started=$SECONDS
}

cmake_lib() {
  local name=$1 srcdir=$2
  shift 2
  local build=$prefix/build/$name
  rm -rf "$build"
  logged "$name" cmake -S "$srcdir" -B "$build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVANTOR_WINDOWS_TRIPLET="$triplet" \
    -DVANTOR_WINDOWS_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_C_FLAGS="$mapflags" -DCMAKE_CXX_FLAGS="$mapflags" "$@"
  logged "$name" cmake --build "$build" -j"$jobs"
  logged "$name" cmake --install "$build"
  rm -rf "$build"
}

# Header-only libraries: links to the Debian folders, so the prefix's include/ holds them
# and nothing else from /usr/include; glm's CMake package copied so that it points there.
if ! done_step headers; then
  ln -sfn /usr/include/glm "$prefix/include/glm"
  ln -sfn /usr/include/stb "$prefix/include/stb"
  mkdir -p "$prefix/share/cmake/glm"
  cp /usr/share/cmake/glm/*.cmake "$prefix/share/cmake/glm/"
  mark headers
fi

# stb's implementations, compiled once like Debian's libstb: the parts the project uses
# (the image reader and writer, the TrueType rasteriser).
if ! done_step stb; then
  say "stb $stb_ver (image, image_write, truetype)"
  build=$prefix/build/stb
  mkdir -p "$build"
  for part in image image_write truetype; do
    upper=$(echo "$part" | tr a-z A-Z)
    printf '#define STB_%s_IMPLEMENTATION\n#include <stb_%s.h>\n' "$upper" "$part" >"$build/stb_$part.c"
    # shellcheck disable=SC2086 # the flags are words
    logged stb "$triplet-gcc-posix" -O2 $mapflags -I/usr/include/stb -c "$build/stb_$part.c" -o "$build/stb_$part.o"
  done
  rm -f "$prefix/lib/libstb.a"
  logged stb "$triplet-ar" rcs "$prefix/lib/libstb.a" "$build"/*.o
  rm -rf "$build"
  mark stb
fi

if ! done_step glfw; then
  say "GLFW $glfw_ver"
  dir=$(fetch "$glfw_src" "$glfw_ver")
  cmake_lib glfw "$dir/src" -DBUILD_SHARED_LIBS=OFF \
    -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
  mark glfw
fi

# GLEW's tarball carries the generated glew.c and headers: its CMake build compiles them
# without the generator.
if ! done_step glew; then
  say "GLEW $glew_ver"
  dir=$(fetch "$glew_src" "$glew_ver")
  cmake_lib glew "$dir/src/build/cmake" -DBUILD_SHARED_LIBS=OFF -DBUILD_UTILS=OFF
  mark glew
fi

# SDL2 for sound output only: WASAPI, DirectSound and winmm drivers; no input, rendering
# or GL. The video subsystem stays: on Windows SDL's dynamic-API table refers to its
# functions, and a static SDL without them does not link.
if ! done_step sdl2; then
  say "SDL2 $sdl_ver (audio)"
  dir=$(fetch "$sdl_src" "$sdl_ver")
  cmake_lib sdl2 "$dir/src" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
    -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF \
    -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_FILESYSTEM=OFF \
    -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF -DSDL_XINPUT=OFF \
    -DSDL_RENDER_D3D=OFF -DSDL_WASAPI=ON -DSDL_DIRECTX=ON
  mark sdl2
fi

# libmpg123 alone (no player, no output library), as a DLL: the LGPL lets a user swap in
# their own build, which a static link would not. libgcc goes into the DLL itself, so it
# needs nothing beside it but Windows. The programs link its import library by full path.
if ! done_step mpg123; then
  say "mpg123 $mpg_ver (libmpg123, shared)"
  dir=$(fetch "$mpg_src" "$mpg_ver")
  build=$prefix/build/mpg123
  rm -rf "$build"
  mkdir -p "$build"
  (
    cd "$build"
    logged mpg123 "$dir/src/configure" --host="$triplet" --prefix="$prefix" \
      CC="$triplet-gcc-posix" CFLAGS="-O2 $mapflags" LDFLAGS="-static-libgcc" \
      --disable-static --enable-shared --enable-modules=no --with-audio=dummy --disable-network
    logged mpg123 make -j"$jobs" src/libmpg123/libmpg123.la
  )
  mkdir -p "$prefix/bin"
  install -m755 "$build/src/libmpg123/.libs/libmpg123-0.dll" "$prefix/bin/"
  "$triplet-strip" "$prefix/bin/libmpg123-0.dll"
  install -m644 "$build/src/libmpg123/.libs/libmpg123.dll.a" "$prefix/lib/"
  install -m644 "$build/src/libmpg123/mpg123.h" "$dir/src/src/libmpg123/fmt123.h" "$prefix/include/"
  sed -e '/^Libs.private:/d' "$build/libmpg123.pc" >"$prefix/lib/pkgconfig/libmpg123.pc"
  rm -rf "$build"
  mark mpg123
fi

rm -rf "$prefix/build"
touch "$prefix/complete"
ln -sfn "$key" "$base/current"
# Prefixes and sources of other versions are dead weight now.
for old in "$base"/*/; do
  old=${old%/}
  [ -L "$old" ] || [ "$(basename "$old")" = "$key" ] || rm -rf "$old"
done
for old in "$cache"/sources/*/; do
  old=${old%/}
  case "$(basename "$old")" in
    "${glfw_src}_$glfw_ver" | "${glew_src}_$glew_ver" | "${sdl_src}_$sdl_ver" | "${mpg_src}_$mpg_ver") ;;
    *) rm -rf "$old" ;;
  esac
done
say "done in $((SECONDS - started)) s"
echo "$prefix"
