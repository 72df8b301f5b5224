#!/usr/bin/env bash
# Lays out the Windows program folder: trove.exe, spool.exe and the game's asset folders.
set -euo pipefail
win32="$1"; native="$2"; dist="$3"
mkdir -p "$dist"
install -m 0755 "$win32/trove.exe" "$dist/trove.exe"
if [ -f "$win32/spool.exe" ]; then
  install -m 0755 "$win32/spool.exe" "$dist/spool.exe"
fi
# The assets come from the deterministic generator; they are rewritten only when it changes.
if [ -x "$native/make_assets" ]; then
  stamp="$native/.assets-stamp"
  if [ ! -f "$stamp" ] || [ "$native/make_assets" -nt "$stamp" ]; then
    "$native/make_assets" "$dist"
    touch "$stamp"
  fi
fi
if [ -x "$native/make_samples" ]; then
  stamp="$native/.samples-stamp"
  if [ ! -f "$stamp" ] || [ "$native/make_samples" -nt "$stamp" ]; then
    "$native/make_samples" "$dist/samples"
    touch "$stamp"
  fi
fi
