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
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$images"
build/tools/make_worst_cases "$images"

for image in "$images"/*.d88; do
    size=$(stat -c %s "$image")
    printf '%s (%d bytes)\n' "$(basename "$image")" "$size"
    for program in tablecut scancut; do
        printf '  %-9s ' "$program"
        build/bench/measure "$runs" "$work" "$PWD/build/bin/$program" "$PWD/$image"
        rm -f "$work"/*
    done
    printf '  %-9s ' cat
    build/bench/measure "$runs" "$work" cat "$PWD/$image"
done
