#!/usr/bin/env bash
# Installs the Debian packages Trove's build, tests and tour need, if any is missing. Package
# names that differ between Debian releases are chosen by what the running release offers; a
# package that cannot be had is named before anything is built.
set -euo pipefail

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# Plain names, and "a|b" for alternatives of which the first one this release has is taken.
packages=(
  cmake make g++ python3 git clang-format
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libjpeg62-turbo-dev
  libspng-dev libgif-dev libwebp-dev libavif-dev libheif-dev libjxl-dev pkg-config
  clang
  wine wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  xvfb xdotool x11-utils x11-apps
  libx11-dev libxi-dev libxrandr-dev libxfixes-dev libxft-dev libgl-dev libglu1-mesa-dev xdg-utils
  libfontconfig-dev libfreetype-dev fonts-dejavu-core fonts-droid-fallback locales
  dpkg-dev file desktop-file-utils groff-base lintian
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good gstreamer1.0-x gstreamer1.0-tools
)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# True when the package lists offer an installable version of the package.
available() {
  local candidate
  candidate=$(apt-cache policy "$1" 2>/dev/null | awk '/Candidate:/ { print $2 }')
  [ -n "$candidate" ] && [ "$candidate" != "(none)" ]
}

# The sanitizer and fuzzer runtime belongs to the installed clang's major version.
clang_runtime() {
  local version
  version=$(clang --version 2>/dev/null | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n1)
  if [ -z "$version" ]; then
    version=$(apt-cache depends clang 2>/dev/null | sed -n 's/.*Depends: clang-\([0-9]*\)$/\1/p' |
      head -n1)
  fi
  echo "libclang-rt-${version:-14}-dev"
}

# The names of the list of which no alternative is installed yet.
missing_of() {
  local wanted=() p alternative found
  for p in "$@"; do
    found=""
    IFS='|' read -r -a alternatives <<<"$p"
    for alternative in "${alternatives[@]}"; do
      if installed "$alternative"; then found=yes; fi
    done
    [ -n "$found" ] || wanted+=("$p")
  done
  echo "${wanted[@]:-}"
}

updated=""
update_lists() {
  [ -n "$updated" ] && return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  echo "ensure-deps.sh: updating the package lists"
  $sudo apt-get update -qq
  updated=yes
}

# Installs the given names (alternatives "a|b" allowed) after checking that each can be had.
install_missing() {
  read -r -a missing <<<"$(missing_of "$@")"
  [ ${#missing[@]} -eq 0 ] && return 0
  update_lists
  local chosen=() unavailable=() p pick alternative
  for p in "${missing[@]}"; do
    pick=""
    IFS='|' read -r -a alternatives <<<"$p"
    for alternative in "${alternatives[@]}"; do
      if available "$alternative"; then pick=$alternative; break; fi
    done
    if [ -n "$pick" ]; then chosen+=("$pick"); else unavailable+=("${p//|/ or }"); fi
  done
  if [ ${#unavailable[@]} -gt 0 ]; then
    echo "ensure-deps.sh: this Debian release has no package named: ${unavailable[*]}" >&2
    exit 1
  fi
  echo "ensure-deps.sh: installing ${chosen[*]}"
  if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${chosen[@]}"; then
    # Name the package that cannot be installed rather than leave a build to fail later.
    for p in "${chosen[@]}"; do
      if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "$p" >/dev/null 2>&1; then
        echo "ensure-deps.sh: could not install $p" >&2
        exit 1
      fi
    done
  fi
}

install_missing "${packages[@]}"
# The clang runtime can be named only once clang itself is there.
install_missing "$(clang_runtime)"
