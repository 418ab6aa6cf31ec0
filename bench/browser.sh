#!/bin/sh
# The browser's rows of make bench: the airfield's page of a web build in
# headless Chromium (bench/browser_bench.py), its playback measured against
# the same script played by the Linux headless backend just before it.
#
#   bench/browser.sh WEB_BUILD
#
# The Linux program comes from BENCH_NATIVE_BUILD (build by default).
set -eu
web=$(cd "${1:?usage: bench/browser.sh WEB_BUILD}" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
native=${BENCH_NATIVE_BUILD:-$source_dir/build}
events=${BENCH_PLAYBACK_EVENTS:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=$(cd "$work" && "$native/bench/headless_playback" "$events" | awk -F'\t' '{print $2 + 0}')
/usr/bin/python3 "$source_dir/bench/browser_bench.py" "$web" "$rate"
