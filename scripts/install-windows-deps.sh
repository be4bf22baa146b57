#!/usr/bin/env bash
# Installs what the Windows cross-build needs on top of the Linux build's packages: the
# mingw-w64 compilers (posix threads, for std::thread), Wine to run the result, zip to
# package it, and dpkg-dev for `apt-get source`. Also enables the source index (deb-src) of
# the Debian mirror and suites the machine already uses, so the Windows libraries can be
# built from the very source packages the Linux build links.
#
#   install-windows-deps.sh [x86_64-w64-mingw32|i686-w64-mingw32]...   (default: the first)
#
# Does nothing when everything is present; works as root or through sudo.
set -euo pipefail

triplets=("$@")
[ ${#triplets[@]} -eq 0 ] && triplets=(x86_64-w64-mingw32)

packages=(
  cmake make pkg-config dpkg-dev zip
  wine wine64 xvfb xauth libgl1-mesa-dri libglx-mesa0
  libglfw3-dev libglew-dev libsdl2-dev libmpg123-dev libglm-dev libstb-dev
)
for t in "${triplets[@]}"; do
  case "$t" in
    x86_64-w64-mingw32) arch=x86-64 ;;
    i686-w64-mingw32) arch=i686 ;;
    *) echo "install-windows-deps: unknown target '$t'" >&2; exit 2 ;;
  esac
  packages+=("gcc-mingw-w64-$arch-posix" "g++-mingw-w64-$arch-posix" "mingw-w64-$arch-dev")
done

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# deb-src entries mirroring every deb entry of the deb822 source files, or every deb line of
# the one-line style; written once, to a file of its own.
srcfile=/etc/apt/sources.list.d/vantor-deb-src.sources
need_update=0
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  entries=""
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    entries+=$(sed -E 's/^Types:.*/Types: deb-src/' "$f")$'\n\n'
  done
  if [ -f /etc/apt/sources.list ]; then
    lines=$(sed -nE 's/^deb (.*)/deb-src \1/p' /etc/apt/sources.list)
    if [ -n "$lines" ]; then
      echo "$lines" | "${sudo[@]}" tee /etc/apt/sources.list.d/vantor-deb-src.list >/dev/null
    fi
  fi
  if [ -n "${entries//[$'\n']/}" ]; then
    printf '%s' "$entries" | "${sudo[@]}" tee "$srcfile" >/dev/null
  fi
  echo "install-windows-deps: enabled deb-src for the configured mirrors" >&2
  need_update=1
fi
# The index may be missing even with the entries present (never updated since).
if ! apt-cache showsrc glfw3 2>/dev/null | grep -q '^Package:'; then
  need_update=1
fi

[ ${#missing[@]} -eq 0 ] && [ $need_update -eq 0 ] && exit 0

"${sudo[@]}" apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
