#!/usr/bin/env bash
# Installs what the web build and its browser test need: Debian's emscripten (with its prebuilt
# system libraries, so nothing is downloaded at build time), Node.js for emcc and the test driver,
# and Debian's Chromium. Kept apart from install-deps.sh so the native build never pulls them.
# Does nothing when they are all present; works as root or through sudo.
set -euo pipefail

packages=(
  emscripten nodejs zip
  chromium xvfb xauth libgl1-mesa-dri
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# npm may come with a Node.js that is not Debian's: only ask apt for it when it is absent.
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
