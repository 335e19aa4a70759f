# Shared by the benchmark scripts, sourced from the top of the tree:
# builds what a benchmark needs and makes the folder the programs write in.
# Usage: bench_setup TARGET...   (sets work; removed at exit)
bench_setup() {
    cmake -S . -B build >/dev/null
    cmake --build build -j2 --target tablecut scancut measure "$@" >/dev/null
    # Output files go to memory where it can, so that the figures show the
    # cost of reading and not that of the disk the files land on;
    # BENCH_WORK chooses.
    if [ -n "${BENCH_WORK:-}" ]; then
        work=$(mktemp -d -p "$BENCH_WORK")
    elif [ -d /dev/shm ] && [ -w /dev/shm ]; then
        work=$(mktemp -d -p /dev/shm)
    else
        work=$(mktemp -d)
    fi
    trap 'rm -rf "$work"' EXIT
}

# Runs program (a path) on image next to cat, alternately, RUNS times.
bench_pair() {
    build/bench/measure "$runs" "$work" "$1" "$PWD/$2" --vs cat "$PWD/$2" | sed 's/^/  /'
    rm -f "$work"/*
}
