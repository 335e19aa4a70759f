#!/usr/bin/env bash
# Benchmark: time and peak memory of tablecut and scancut on crafted
# worst-case images, each next to cat reading the same file. It asserts
# nothing; it prints figures. Usage: bench/worst_cases.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
source bench/common.sh
bench_setup make_worst_cases
images=build/bench/worst
mkdir -p "$images"
build/tools/make_worst_cases "$images"

for image in "$images"/*.d88; do
    size=$(stat -c %s "$image")
    printf '%s (%d bytes)\n' "$(basename "$image")" "$size"
    for program in tablecut scancut; do
        bench_pair "$PWD/build/bin/$program" "$image"
    done
done
