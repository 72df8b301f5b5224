#!/usr/bin/env bash
# Lays out the Windows program folder: trove.exe, spool.exe, the game's asset folders and the
# sample pictures. The folder is built whole beside the old one and then put in its place, so
# a deleted or partial dist/ is made whole by the next run and a failed run leaves nothing half
# written. Every input must exist; a missing one stops the run with its name.
#   scripts/make-dist.sh <win32 build dir> <generator build dir> <dist dir>
set -euo pipefail
win32=${1:?usage: make-dist.sh <win32 build dir> <generator build dir> <dist dir>}
tools=${2:?usage: make-dist.sh <win32 build dir> <generator build dir> <dist dir>}
dist=${3:?usage: make-dist.sh <win32 build dir> <generator build dir> <dist dir>}

missing=()
for input in "$win32/trove.exe" "$win32/spool.exe"; do
  [[ -f $input ]] || missing+=("$input")
done
for input in "$tools/make_assets" "$tools/make_samples"; do
  [[ -x $input ]] || missing+=("$input")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  for input in "${missing[@]}"; do
    echo "make-dist.sh: missing input: $input" >&2
  done
  exit 1
fi

stage="$dist.partial"
trap 'rm -rf "$stage"' EXIT
rm -rf "$stage"
mkdir -p "$stage"
install -m 0755 "$win32/trove.exe" "$stage/trove.exe"
install -m 0755 "$win32/spool.exe" "$stage/spool.exe"
"$tools/make_assets" "$stage" >/dev/null
"$tools/make_samples" "$stage/samples" >/dev/null
rm -rf "$dist"
mv "$stage" "$dist"
echo "make-dist.sh: $dist is complete"
