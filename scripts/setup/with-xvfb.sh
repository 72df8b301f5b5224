#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a private Xvfb started for it. Xvfb
# picks a free display number itself and reports it once it accepts connections; the command
# runs only after the display's socket is there, and a server that does not come up within
# XVFB_WAIT seconds (default 20) is a failure with its own message.
set -uo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
command -v Xvfb >/dev/null || { echo "with-xvfb.sh: Xvfb is not installed" >&2; exit 1; }
size="${XVFB_SIZE:-1280x1024}"
wait_seconds="${XVFB_WAIT:-20}"
work=$(mktemp -d /tmp/trove-xvfb.XXXXXX)
# -noreset: a server that resets whenever its last client leaves refuses the next one meanwhile.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" >"$work/log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT

n=""
for _ in $(seq $((wait_seconds * 10))); do
  if ! kill -0 $xvfb 2>/dev/null; then
    echo "with-xvfb.sh: Xvfb ended before it accepted connections:" >&2
    tail -n 5 "$work/log" >&2
    exit 1
  fi
  n=$(tr -dc '0-9' <"$work/display")
  if [ -n "$n" ] && [ -S "/tmp/.X11-unix/X$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
    break
  fi
  n=""
  sleep 0.1
done
if [ -z "$n" ]; then
  echo "with-xvfb.sh: Xvfb did not accept connections within $wait_seconds s" >&2
  exit 1
fi
DISPLAY=":$n" "$@"
