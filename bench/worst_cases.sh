#!/usr/bin/env bash
# Benchmark: time and peak memory of the programs on crafted worst-case
# images, each next to cat reading the same file, and the size of d88info's
# map of each. It asserts nothing; it prints figures.
# Usage: bench/worst_cases.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
source bench/common.sh
bench_setup make_worst_cases
images=$bench/worst
mkdir -p "$images"
"$bench/tools/make_worst_cases" "$images"

for image in "$images"/*.d88; do
    size=$(stat -c %s "$image")
    printf '%s (%d bytes)\n' "$(basename "$image")" "$size"
    for program in tablecut scancut d88info; do
        echo " $program"
        bench_pair "$image" "$PWD/$bench/bin/$program" "$PWD/$image"
    done
    echo " d88info --json"
    bench_pair "$image" "$PWD/$bench/bin/d88info" --json "$PWD/$image"
    echo " d88info --map"
    bench_pair "$image" "$PWD/$bench/bin/d88info" --map map.svg "$PWD/$image"
    "$bench/bin/d88info" --map "$work/map.svg" "$image" >/dev/null || true
    printf '  the map: %d bytes\n' "$(stat -c %s "$work/map.svg")"
    rm -f "$work/map.svg"
    echo " d88cut"
    bench_pair "$image" "$PWD/$bench/bin/d88cut" --force -q -C . "$PWD/$image"
done
