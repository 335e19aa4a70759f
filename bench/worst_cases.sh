#!/usr/bin/env bash
# Benchmark: time and peak memory of tablecut and scancut on crafted
# worst-case images, each next to cat reading the same file. It asserts
# nothing; it prints figures. Usage: bench/worst_cases.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
cmake -S . -B build >/dev/null
cmake --build build -j2 --target tablecut scancut make_worst_cases measure >/dev/null
images=build/bench/worst
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
build/tools/make_worst_cases "$images"

for image in "$images"/*.d88; do
    size=$(stat -c %s "$image")
    printf '%s (%d bytes)\n' "$(basename "$image")" "$size"
    for program in tablecut scancut; do
        build/bench/measure "$runs" "$work" "$PWD/build/bin/$program" "$PWD/$image" --vs cat "$PWD/$image" |
            sed 's/^/  /'
        rm -f "$work"/*
    done
done
