#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build one after another, each for a bounded time,
# seeded with the pictures of the test corpora, a picture of each further format the native
# decoder reads and the hostile files of the decoder tests (both written by the build's
# make_format_samples), and reports each target's run count. Fails on
# any crash, leak, time-out or oversized allocation.
#   scripts/checks/fuzz.sh <build dir>   (FUZZ_SECONDS per target, default 60; TROVE_CORPORA to override)
set -euo pipefail
build=${1:?usage: scripts/checks/fuzz.sh <build dir>}
here=$(cd "$(dirname "$0")/../.." && pwd)
corpora=${TROVE_CORPORA:-$here/tests/data}
seconds=${FUZZ_SECONDS:-60}
build=$(cd "$build" && pwd)

# target, seed kinds, largest single allocation in MiB, longest input in bytes. The loader
# target keeps the 400 MB PictureBuffer; the decoders may take what a picture of the size limit
# needs. The container formats' hostile seeds (a grid of tiles, a long LZW stream) are longer.
targets=(
  "bmp_asset_fuzz bmp 2 65536"
  "bmp_header_fuzz bmp 64 65536"
  "picture_decoder_fuzz bmp,jpeg,formats 128 524288"
  "picture_loader_fuzz bmp,jpeg,formats 512 524288"
)

work=$(mktemp -d /tmp/trove_fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bmp" "$work/jpeg" "$work/formats" "$work/artifacts"
if [[ -d $corpora ]]; then
  find "$corpora/bmpsuite" "$corpora/go-fuzz-corpus/bmp" -type f ! -name '*.tsv' \
    -exec cp {} "$work/bmp/" \; 2>/dev/null || true
  find "$corpora/libjpeg-turbo-testimages" "$corpora/jpeg-decoder-tests" \
    "$corpora/go-fuzz-corpus/jpeg" -type f -size -200k \( -iname '*.jpg' -o -iname '*.jpeg' \
    -o ! -name '*.*' \) -exec cp {} "$work/jpeg/" \; 2>/dev/null || true
fi
[[ -x $build/make_format_samples ]] || { echo "fuzz.sh: $build/make_format_samples is not built" >&2; exit 1; }
# The HEVC encoder keeps a few blocks to the process's end, which is no fault of the seeds.
ASAN_OPTIONS=detect_leaks=0 "$build/make_format_samples" "$work/formats" "$work/formats"
echo "fuzz.sh: $(ls "$work/bmp" | wc -l) BMP, $(ls "$work/jpeg" | wc -l) JPEG and" \
  "$(ls "$work/formats" | wc -l) other seeds, $seconds s per target"

failed=0
summary=()
for entry in "${targets[@]}"; do
  read -r name kinds mib length <<<"$entry"
  target=$build/$name
  [[ -x $target ]] || { echo "fuzz.sh: $target is not built" >&2; exit 1; }
  corpus=$work/corpus-$name
  mkdir -p "$corpus"
  for kind in ${kinds//,/ }; do cp "$work/$kind"/* "$corpus/" 2>/dev/null || true; done
  echo "fuzz.sh: $name"
  set +e
  (cd "$work" && "$target" "$corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -malloc_limit_mb="$mib" \
    -max_len="$length" -detect_leaks=1 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/$name-") >"$work/$name.log" 2>&1
  status=$?
  set -e
  tail -n 6 "$work/$name.log" | grep -v '^stat::' || true
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log" | tail -n 1)
  if [[ $status -ne 0 ]]; then
    failed=1
    tail -n 40 "$work/$name.log" >&2
    mkdir -p "$here/build/fuzz-artifacts"
    cp "$work"/artifacts/* "$here/build/fuzz-artifacts/" 2>/dev/null || true
    summary+=("$name: FAILED ($status) after ${runs:-?} runs; inputs kept in build/fuzz-artifacts")
  else
    summary+=("$name: ${runs:-?} runs, no crash, leak or oversized allocation")
  fi
done
printf 'fuzz.sh: %s\n' "${summary[@]}"
exit "$failed"
