#!/usr/bin/env bash
# Runs the libFuzzer targets of a fuzz build for a bounded time, seeded with the BMP files of
# the picture corpora in tests/data. Fails on any crash, leak, time-out or oversized allocation.
#   scripts/fuzz.sh <build dir>      (FUZZ_SECONDS, default 60; TROVE_CORPORA to override)
set -euo pipefail
build=${1:?usage: scripts/fuzz.sh <build dir>}
here=$(cd "$(dirname "$0")/.." && pwd)
corpora=${TROVE_CORPORA:-$here/tests/data}
seconds=${FUZZ_SECONDS:-60}
target=$(cd "$build" 2>/dev/null && pwd)/bmp_asset_fuzz
[[ -x $target ]] || { echo "fuzz.sh: $target is not built" >&2; exit 1; }

work=$(mktemp -d /tmp/trove_fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
if [[ -d $corpora ]]; then
  find "$corpora/bmpsuite" -type f -name '*.bmp' -exec cp {} "$work/corpus/" \; 2>/dev/null || true
  find "$corpora/go-fuzz-corpus/bmp" -type f -exec cp {} "$work/corpus/" \; 2>/dev/null || true
fi
echo "fuzz.sh: $(ls "$work/corpus" | wc -l) seed files, $seconds s"

# No single allocation may exceed what the input can honour: the reader reserves at most
# 1 MiB before the file proves it holds more, and inputs here are at most 64 KiB.
cd "$work"
set +e
"$target" "$work/corpus" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2 \
  -max_len=65536 -detect_leaks=1 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" 2>&1 | tail -n 25
status=${PIPESTATUS[0]}
if [[ $status -ne 0 ]]; then
  mkdir -p "$here/build/fuzz-artifacts"
  cp "$work"/artifacts/* "$here/build/fuzz-artifacts/" 2>/dev/null || true
  echo "fuzz.sh: bmp_asset_fuzz failed ($status); inputs kept in build/fuzz-artifacts" >&2
  exit "$status"
fi
echo "fuzz.sh: no crash, leak or oversized allocation"
