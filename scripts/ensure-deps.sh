#!/usr/bin/env bash
# Installs the Debian packages Trove's build, tests and tour need, if any is missing.
set -euo pipefail

packages=(
  cmake make g++ python3
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libjpeg62-turbo-dev
  clang libclang-rt-14-dev
  wine wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  xvfb xdotool x11-utils x11-apps
  libx11-dev libxi-dev libxrandr-dev libxfixes-dev libgl-dev libglu1-mesa-dev xdg-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
