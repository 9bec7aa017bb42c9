#!/usr/bin/env bash
# run.sh TARGET CORPUS SECONDS [TESTDATA [WORK]]
# Runs a fuzz target over its seed corpus (and the matching samples of the test data, when they
# are there), then on new inputs for SECONDS. New inputs go to WORK, a throwaway folder unless
# given; the repository's corpus is only read. A crash leaves its input in fuzz-artifacts/.
set -euo pipefail
target=$1 corpus=$2 seconds=$3 testdata=${4:-} work=${5:-}
name=$(basename "$target")
artifacts="$(dirname "$target")/fuzz-artifacts"
mkdir -p "$artifacts"
cleanup=()
trap 'rm -rf "${cleanup[@]}"' EXIT
if [ -z "$work" ]; then
    work=$(mktemp -d)
    cleanup+=("$work")
fi
mkdir -p "$work"
seeds=("$corpus")
case "$name" in
    fuzz_zip | fuzz_zip_diff) extra="$testdata/zip" ;;
    fuzz_rar) extra="$testdata/rar" ;;
    fuzz_document_text) extra="$testdata/text" ;;
    *) extra="" ;;
esac
if [ -n "$extra" ] && [ -d "$extra" ]; then
    # Only the samples, flattened into a copy the fuzzer may read (its folders hold READMEs).
    samples=$(mktemp -d)
    cleanup+=("$samples")
    find "$extra" -type f ! -iname 'README*' -size -2M -exec cp -t "$samples" {} + 2>/dev/null || true
    seeds+=("$samples")
elif [ -n "$extra" ]; then
    echo "run.sh: $extra is absent; fuzzing from the repository's corpus only"
fi
# Libraries may ask for absurd sizes on broken input and handle the refusal themselves.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}:allocator_may_return_null=1"
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan.supp:print_suppressions=0"
# The listing target is held to what a reader may hold of any archive: an input that makes it
# use more memory, or ask for a large block at once, is a finding.
# AddressSanitizer's quarantine of freed blocks, 256 MB unless told, would fill most of that.
limits="-rss_limit_mb=4096"
if [ "$name" = fuzz_zip_list ]; then
    limits="-rss_limit_mb=512 -malloc_limit_mb=64"
    ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=16"
fi
# FUZZ_ARGS adds options: the short runs of ./dev test fix the seed, so they are repeatable.
# shellcheck disable=SC2086
"$target" -max_total_time="$seconds" -timeout=30 $limits -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$artifacts/$name-" ${FUZZ_ARGS:-} "$work" "${seeds[@]}"
