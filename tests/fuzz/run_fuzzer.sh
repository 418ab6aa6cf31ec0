#!/bin/sh
# Runs one libFuzzer target for a bounded time from its seed corpus, keeping
# the corpus it grows in a scratch folder. Any finding fails the run and
# leaves its input in the scratch folder, named in the output.
# Usage: run_fuzzer.sh FUZZER SEED_CORPUS SECONDS
set -e
# Absolute paths: the script target works in a scratch directory of its own.
fuzzer=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
seeds=$(cd "$2" && pwd)
seconds=$3
scratch=$(mktemp -d /tmp/kivet-fuzz-run-XXXXXX)
mkdir -p "$scratch/corpus"
here=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="suppressions=$here/sanitizers/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=20 -rss_limit_mb=2048 \
  -artifact_prefix="$scratch/" -print_final_stats=1 "$scratch/corpus" "$seeds"
rm -rf "$scratch"
