#!/usr/bin/env bash
# Runs each libFuzzer harness of a D88_FUZZ build for a bounded time from the
# seed corpus. Any crash, leak, timeout, sanitizer report or (for the reader)
# result that differs from the reference reader stops it with a failure; the
# input that caused it is left in BUILD/fuzz/artifacts.
# Usage: fuzz/run_fuzzers.sh BUILD [SECONDS [HARNESS...]]
set -euo pipefail
build=$1
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))
harnesses=("$@")
[ "${#harnesses[@]}" -gt 0 ] || harnesses=(reader tablecut scancut d88info d88cut c_api convert filesystems)
dict="$(dirname "$0")/d88.dict"
mkdir -p "$build/fuzz/artifacts"
for entry in "${harnesses[@]}"; do
    corpus="$build/fuzz/corpus-$entry"
    rm -rf "$corpus" && mkdir -p "$corpus"
    echo "== fuzz_$entry for $seconds s"
    log="$build/fuzz/fuzz_$entry.log"
    status=0
    "$build/fuzz/fuzz_$entry" -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
        -close_fd_mask=3 -dict="$dict" -print_final_stats=1 -artifact_prefix="$build/fuzz/artifacts/$entry-" \
        "$corpus" "$build/fuzz-seeds" >"$log" 2>&1 || status=$?
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|new_units_added|slowest_unit_time_sec|peak_rss_mb)' "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log" >&2
        echo "fuzz_$entry failed with status $status" >&2
        exit 1
    fi
done
