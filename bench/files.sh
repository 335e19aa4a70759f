#!/usr/bin/env bash
# Benchmark: listing and cutting a disk's files by its own file system,
# next to cat of the same image, run alternately; prints the median CPU
# time of each and their ratio, the bytes read and the peak resident
# memory; then d88cut --scan of the same image, a cut that reads the disk
# once more as --files does but finds nothing to write, so that what
# --files costs beyond it is its files' checksums and writes. The disk is a PC-98 2HD FAT12 disk that mtools fills with files
# (one of them fragmented) and d88convert makes a D88 image of. It asserts
# nothing; it needs mtools.
# Usage: bench/files.sh [runs] [BIN-FOLDER]   (default build-bench/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
bin=${2:-}
source bench/common.sh
bench_setup d88convert
[ -n "$bin" ] || bin=$bench/bin
bin=$(realpath "$bin")

images=$bench/files
mkdir -p "$images"
image=$images/fat12-2hd.d88
if [ ! -f "$image" ]; then
    raw=$work/fat.hdm
    mt() { MTOOLS_SKIP_CHECK=1 MTOOLSRC=/dev/null "$@"; }
    mt mformat -C -t 77 -h 2 -s 8 -S 3 -M 1024 -L 2 -c 1 -r 6 -i "$raw" ::
    for n in 1 2 3 4 5 6 7 8; do
        head -c $((n * 25000)) /dev/urandom >"$work/FILE$n.BIN"
        mt mcopy -i "$raw" "$work/FILE$n.BIN" ::
    done
    mt mdel -i "$raw" ::FILE2.BIN ::FILE5.BIN
    head -c 400000 /dev/urandom >"$work/FRAG.BIN"
    mt mcopy -i "$raw" "$work/FRAG.BIN" ::
    "$bin/d88convert" "$raw" "$image" >/dev/null
    rm -f "$work"/*
fi

# The same image with its first track zeroed: no file system is found, so
# d88info of it is the survey alone.
plain=$images/fat12-2hd-no-file-system.d88
if [ ! -f "$plain" ]; then
    cp "$image" "$plain"
    dd if=/dev/zero of="$plain" bs=1 seek=688 count=8320 conv=notrunc status=none
fi

printf 'd88info (listing the files; %s, %d bytes)\n' "$(basename "$image")" "$(stat -c %s "$image")"
bench_pair "$image" "$bin/d88info" "$PWD/$image"
printf 'd88info of it with its first track zeroed (no file system: the survey alone)\n'
bench_pair "$plain" "$bin/d88info" "$PWD/$plain"
printf 'd88cut --files (listing and writing the files)\n'
bench_pair "$image" "$bin/d88cut" --files --force -q -C out "$PWD/$image"
printf 'd88cut --scan (the same survey, a cut that reads the disk again and writes nothing)\n'
bench_pair "$image" "$bin/d88cut" --scan --force -q -C out "$PWD/$image"
