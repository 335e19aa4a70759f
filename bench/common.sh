# Shared by the benchmark scripts, sourced from the top of the tree:
# builds what a benchmark needs in a build folder of its own, build-bench
# (configured with -DD88_BUILD_BENCH=ON and left in place between runs), and
# makes the folder the programs write in.
# Usage: bench_setup TARGET...   (sets bench and work; work is removed at exit)
bench_setup() {
    bench=build-bench
    echo "building in $bench/ (Release, D88_BUILD_BENCH=ON)" >&2
    cmake -S . -B "$bench" -DCMAKE_BUILD_TYPE=Release -DD88_BUILD_BENCH=ON -DD88_BUILD_TESTS=OFF >/dev/null
    cmake --build "$bench" -j2 --target tablecut scancut d88info d88cut measure sha256_speed "$@" >/dev/null
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

# Writes the standard images (the sample generator's --bench set) into
# $bench/standard, which images then names. Needs make_sample built.
bench_standard_images() {
    images=$bench/standard
    mkdir -p "$images"
    "$bench/tools/make_sample" --bench "$images"
}

# Runs a command (program path and arguments) next to cat on image,
# alternately, RUNS times.
bench_pair() {
    local image=$1
    shift
    "$bench/bench/measure" "$runs" "$work" "$@" --vs cat "$PWD/$image" | sed 's/^/  /'
    rm -rf "${work:?}"/*
}
