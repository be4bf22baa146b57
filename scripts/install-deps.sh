#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Does nothing when they are all present; works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libglfw3-dev libglew-dev libglm-dev libstb-dev
  libsdl2-dev libmpg123-dev libmp3lame-dev
  libgtest-dev libgmock-dev
  xvfb xauth libgl1-mesa-dri libegl-mesa0 libegl-dev # libegl-dev: vantor-capture draws without a display
  libtinyobjloader-dev # meshtool import reads OBJ files with it; the mesh benchmark compares with it
  fonts-dejavu-core # text in tools and overlays (FontAtlas, synctool plot) and the contact sheet's labels
  clang libclang-rt-dev # the sanitizer build and the fuzz targets
  ffmpeg parallel # scripts/render-video.sh encodes and joins chunks, rendered side by side
  imagemagick # scripts/contact-sheet.sh tiles its rows with montage
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
