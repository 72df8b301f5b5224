#!/usr/bin/env bash
# Lays out a program folder: the program and its stand-in player (trove.exe and spool.exe from
# the Windows build, trove and spool from the Linux build), the game's asset folders and the
# sample pictures. The folder is built whole beside the old one and then put in its place, so
# a deleted or partial dist/ is made whole by the next run and a failed run leaves nothing half
# written. Every input must exist; a missing one stops the run with its name.
#   scripts/build/make-dist.sh <program build dir> <generator build dir> <dist dir> [.exe]
set -euo pipefail
usage="usage: make-dist.sh <program build dir> <generator build dir> <dist dir> [.exe]"
build=${1:?$usage}
tools=${2:?$usage}
dist=${3:?$usage}
suffix=${4:-}

missing=()
for input in "$build/trove$suffix" "$build/spool$suffix"; do
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
install -m 0755 "$build/trove$suffix" "$stage/trove$suffix"
install -m 0755 "$build/spool$suffix" "$stage/spool$suffix"
"$tools/make_assets" "$stage" >/dev/null
"$tools/make_samples" "$stage/samples" >/dev/null
rm -rf "$dist"
mv "$stage" "$dist"
echo "make-dist.sh: $dist is complete"
