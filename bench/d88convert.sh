#!/usr/bin/env bash
# Benchmark: d88convert next to cat on the same standard images, run
# alternately; prints the median CPU time of each and their ratio, the
# bytes read and the peak resident memory (which must stay near one disk's
# size however many disks the image holds). cat writes to /dev/null; dd,
# copying the image into a file, shows what writing the output costs.
# It asserts nothing.
# Usage: bench/d88convert.sh [runs] [BIN-FOLDER]   (default build-bench/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
bin=${2:-}
source bench/common.sh
bench_setup make_sample d88convert
[ -n "$bin" ] || bin=$bench/bin
bench_standard_images
program=$(realpath "$bin")/d88convert

one=$images/one-disk.d88
raw=$images/one-disk.hdm
"$program" --force "$one" "$raw" 2>/dev/null || true

run() {  # image arguments...
    local image=$1
    shift
    printf 'd88convert %s (%s, %d bytes)\n' "$*" "$(basename "$image")" "$(stat -c %s "$image")"
    bench_pair "$image" "$program" "$@"
    printf '  the same image copied into a file by dd, next to cat:\n'
    bench_pair "$image" dd if="$PWD/$image" of=copy bs=128k status=none
}

run "$one" --force "$PWD/$one" out.hdm
run "$raw" --force "$PWD/$raw" out.d88
run "$images/64-disks-3-known.d88" --force --disk 63 "$PWD/$images/64-disks-3-known.d88" out.hdm
mkdir -p "$work/parts"
run "$images/64-disks-3-known.d88" --force --split "$PWD/$images/64-disks-3-known.d88" parts
