#!/usr/bin/env bash
# Benchmark: d88cut next to tablecut on the 64-disk image whose disks are
# all of known kinds (1,344 cuts, 21 names), alternately, each writing into
# a folder of the same file system (d88cut with --force, so that every run
# writes its files as tablecut does). Prints the median CPU time of each and
# their ratio; asserts nothing. Usage: bench/d88cut.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
source bench/common.sh
bench_setup make_sample d88cut
bench_standard_images
image="$PWD/$images/64-disks-all-known.d88"

printf 'd88cut --force, then tablecut (%s, %d bytes), into %s\n' "$(basename "$image")" "$(stat -c %s "$image")" "$work"
"$bench/bench/measure" "$runs" "$work" "$PWD/$bench/bin/d88cut" --force -q -C . "$image" \
    --vs "$PWD/$bench/bin/tablecut" "$image" | sed 's/^/  /'
