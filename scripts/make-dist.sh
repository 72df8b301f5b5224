#!/usr/bin/env bash
# Lays out a program folder: the program and its stand-in player from a build (trove.exe and
# spool.exe from the Windows build, trove and spool from the Linux build), and the game's
# asset folders and sample pictures from the native build's generators.
set -euo pipefail
build="$1"; native="$2"; dist="$3"
mkdir -p "$dist"
for program in trove spool; do
  for file in "$build/$program.exe" "$build/$program"; do
    if [ -f "$file" ]; then
      install -m 0755 "$file" "$dist/$(basename "$file")"
    fi
  done
done
# The assets come from the deterministic generator; they are rewritten only when it changes.
stamps="$native/.stamps-$(basename "$dist")"
mkdir -p "$stamps"
if [ -x "$native/make_assets" ]; then
  stamp="$stamps/assets"
  if [ ! -f "$stamp" ] || [ "$native/make_assets" -nt "$stamp" ]; then
    "$native/make_assets" "$dist"
    touch "$stamp"
  fi
fi
if [ -x "$native/make_samples" ]; then
  stamp="$stamps/samples"
  if [ ! -f "$stamp" ] || [ "$native/make_samples" -nt "$stamp" ]; then
    "$native/make_samples" "$dist/samples"
    touch "$stamp"
  fi
fi
