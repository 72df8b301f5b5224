#!/usr/bin/env bash
# `make run` (linux) and `make run-wine` (wine): the program with its folder (dist-linux/ or
# dist/) as its start directory. Without a display, a short scripted tour on a private Xvfb
# screen, with screenshots saved under out/ (out/linux/ for the Linux program); the tour is the
# drive library's (tools/trovedrive, on PYTHONPATH).
set -euo pipefail
cd "$(dirname "$0")/../.."
program="${1:-linux}"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  if [ "$program" = linux ]; then
    cd dist-linux
    exec ./trove
  fi
  cd dist
  exec wine trove.exe
fi
if [ "$program" = linux ]; then
  TROVE_PROGRAM=linux TROVE_DIST="$PWD/dist-linux" TROVE_BUILD="$PWD/build/linux" \
    exec python3 -m trovedrive.tour "$PWD/out/linux"
fi
exec python3 -m trovedrive.tour "$PWD/out"
