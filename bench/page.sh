#!/usr/bin/env bash
# Benchmark: the page in headless Chromium (Debian's), on three-disks.d88
# and on the 64-disk image whose disks are all of known kinds. Prints the
# median time from giving the page the file (once the page is ready, its
# library having named its version) to its report and map shown, and the
# survey's time in WebAssembly (opening the image and making its
# report, each disk's tracks counted, and its map, in the worker) next to
# the CPU of the same calls natively (page_survey) and of d88info --json
# --map on the same image, run alternately, with their ratios. It asserts
# nothing.
# Needs what the page's tests need (README, "The page").
# Usage: bench/page.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
source bench/common.sh
bench_setup make_sample page_survey
mkdir -p "$bench/sample" "$bench/standard"
"$bench/tools/make_sample" "$bench/sample"
"$bench/tools/make_sample" --bench "$bench/standard"
echo "building in build-web/ (emcmake)" >&2
emcmake cmake -S . -B build-web >/dev/null
cmake --build build-web -j2 >/dev/null
node bench/page.mjs build-web/d88image.html "$bench/bench/measure" "$bench/bin/d88info" "$bench/bench/page_survey" \
    "$runs" "$bench/sample/three-disks.d88" "$bench/standard/64-disks-all-known.d88"
