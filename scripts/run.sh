#!/usr/bin/env bash
# `make run`: Trove under Wine with dist/ as its start directory. Without a display, a short
# scripted tour on a private Xvfb screen, with screenshots saved under out/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd dist
  exec wine trove.exe
fi
exec python3 tests/e2e/tour.py "$PWD/out"
