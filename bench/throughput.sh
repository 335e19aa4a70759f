#!/usr/bin/env bash
# Benchmark: each program next to cat on the same standard images (77
# cylinders, 8 sectors of 1024 bytes), run alternately; prints the median
# CPU time of each and their ratio, the bytes read from the operating system
# and their ratio (the file read over), the peak resident memory, and the
# size of d88info's maps. It asserts nothing.
# Usage: bench/throughput.sh [runs] [BIN-FOLDER ...]   (default build-bench/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
shift || true
source bench/common.sh
bench_setup make_sample
bins=("$@")
[ "${#bins[@]}" -gt 0 ] || bins=("$bench/bin")
bench_standard_images

run() {  # program image [options...]
    local program=$1 image=$2 bin
    shift 2
    for bin in "${bins[@]}"; do
        printf '%s %s, %s (%s, %d bytes)\n' "$program" "$*" "$bin" "$(basename "$image")" "$(stat -c %s "$image")"
        bench_pair "$image" "$(realpath "$bin")/$program" "$@" "$PWD/$image"
    done
}

run scancut "$images/two-disks.d88"
run scancut "$images/one-disk.d88"
run scancut "$images/64-disks-3-known.d88"
run tablecut "$images/64-disks-3-known.d88"
run tablecut "$images/one-disk.d88"
run tablecut "$images/64-disks-all-known.d88"
run d88info "$images/64-disks-3-known.d88"
run d88info "$images/64-disks-3-known.d88" --json
run d88info "$images/64-disks-all-known.d88"
run d88info "$images/64-disks-all-known.d88" --json

# The map: d88info with --map next to d88info without (the difference is
# the drawing's cost) and cat, and each map's size next to its image's.
"$bench/tools/make_sample" "$images"
for image in "$images/three-disks.d88" "$images/64-disks-all-known.d88" "$images/64-disks-3-known.d88"; do
    run d88info "$image" --map map.svg
    for bin in "${bins[@]}"; do
        "$(realpath "$bin")/d88info" --map "$work/map.svg" "$image" >/dev/null || true
        printf '  map of %s by %s: %d bytes, the image %d bytes\n' "$(basename "$image")" "$bin" \
            "$(stat -c %s "$work/map.svg")" "$(stat -c %s "$image")"
        rm -f "$work/map.svg"
    done
done
