#!/usr/bin/env bash
# Benchmark: each program next to cat on the same standard images (77
# cylinders, 8 sectors of 1024 bytes), run alternately; prints the median
# CPU time of each and their ratio, the bytes read from the operating system
# and the peak resident memory. It asserts nothing.
# Usage: bench/throughput.sh [runs] [BIN-FOLDER ...]   (default build/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
shift || true
bins=("$@")
[ "${#bins[@]}" -gt 0 ] || bins=(build/bin)
cmake -S . -B build >/dev/null
cmake --build build -j2 --target tablecut scancut make_sample measure >/dev/null
images=build/bench/standard
# Output files go to memory where it can, so that the figures show the cost
# of reading and not that of the disk the files land on; BENCH_WORK chooses.
if [ -n "${BENCH_WORK:-}" ]; then
    work=$(mktemp -d -p "$BENCH_WORK")
elif [ -d /dev/shm ] && [ -w /dev/shm ]; then
    work=$(mktemp -d -p /dev/shm)
else
    work=$(mktemp -d)
fi
trap 'rm -rf "$work"' EXIT
mkdir -p "$images"
build/tools/make_sample --bench "$images"

run() {  # program image
    local program=$1 image=$2 bin
    for bin in "${bins[@]}"; do
        printf '%s, %s (%s, %d bytes)\n' "$program" "$bin" "$(basename "$image")" "$(stat -c %s "$image")"
        build/bench/measure "$runs" "$work" "$(realpath "$bin")/$program" "$PWD/$image" --vs cat "$PWD/$image" |
            sed 's/^/  /'
        rm -f "$work"/*
    done
}

run scancut "$images/two-disks.d88"
run scancut "$images/one-disk.d88"
run scancut "$images/64-disks-3-known.d88"
run tablecut "$images/64-disks-3-known.d88"
run tablecut "$images/one-disk.d88"
run tablecut "$images/64-disks-all-known.d88"
