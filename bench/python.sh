#!/usr/bin/env bash
# Benchmark: the Python package next to the programs it stands beside,
# interpreter start and import included, alternately: report() (the JSON
# document as a dict) of each of 200 one-disk images in one interpreter next
# to d88info --json over the same 200 in one run; then on the 64-disk image
# whose disks are all of known kinds (82 MB), report() and report_json()
# (its text) next to d88info --json, cut() (the files in memory) next to
# d88cut writing them into a folder. Prints the median CPU time of each and
# their ratio beside the target (1.5), and peak memory; then the interpreter
# and import alone (and the bare interpreter beside them), and the calls'
# CPU in one interpreter without them.
# Asserts nothing.
# The package runs from the source tree over this build's shared library.
# Usage: bench/python.sh [runs]   (PYTHON chooses the interpreter)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
python=${PYTHON:-/usr/bin/python3}
source bench/common.sh
bench_setup make_sample d88image_c
bench_standard_images
mkdir -p "$bench/sample"
"$bench/tools/make_sample" "$bench/sample"
image="$PWD/$images/64-disks-all-known.d88"
export PYTHONPATH="$PWD/python" D88IMAGE_LIBRARY="$PWD/$bench/c_api/libd88image.so.1"
# Compiled modules are kept, as an installed package's are, out of the tree
# (with the standard library's under the prefix too, so they must be written).
export PYTHONPYCACHEPREFIX="$PWD/$bench/pycache"
unset PYTHONDONTWRITEBYTECODE
"$python" -c "import d88image"

collection="$PWD/$bench/collection"
mkdir -p "$collection"
"$python" bench/one_disk_images.py "$collection" 200 "$PWD/$images"/*.d88 "$PWD/$bench/sample"/*.d88
printf '200 one-disk images in one run, %s\n' "$("$python" --version)"
printf 'report() of each, then d88info --json of all (target: cpu ratio at most 1.5)\n'
"$bench/bench/measure" "$runs" "$work" "$python" -c \
    "import d88image, glob; [d88image.open(p).report() for p in sorted(glob.glob('$collection/*.d88'))]" \
    --vs "$PWD/$bench/bin/d88info" --json "$collection"/*.d88 | sed 's/^/  /'

printf '%s (%d bytes), %s (target for report() and cut(): cpu ratio at most 1.5)\n' "$(basename "$image")" "$(stat -c %s "$image")" "$("$python" --version)"
for call in "report()" "report_json()"; do
    printf '%s, then d88info --json\n' "$call"
    "$bench/bench/measure" "$runs" "$work" "$python" -c "import d88image; d88image.open('$image').$call" \
        --vs "$PWD/$bench/bin/d88info" --json "$image" | sed 's/^/  /'
done
printf 'cut(), then d88cut --force\n'
"$bench/bench/measure" "$runs" "$work" "$python" -c "import d88image; d88image.open('$image').cut()" \
    --vs "$PWD/$bench/bin/d88cut" --force -q -C . "$image" | sed 's/^/  /'
printf 'the interpreter alone, import d88image, then d88info --version\n'
"$bench/bench/measure" "$runs" "$work" "$python" -c "import d88image" \
    --vs "$PWD/$bench/bin/d88info" --version | sed 's/^/  /'
printf 'the bare interpreter, then the interpreter with import d88image\n'
"$bench/bench/measure" "$runs" "$work" "$python" -c pass --vs "$python" -c "import d88image" | sed 's/^/  /'
printf 'in process, without the start (median CPU of %d, ms; set beside the whole runs above)\n' "$runs"
"$python" - "$image" "$runs" "$collection" <<'PY'
import glob, sys, time
import d88image



def read_whole(opened):
    # report() with every disk's tracks read, as json.loads would give them
    for disk in opened.report()["images"][0]["disks"]:
        list(disk["tracks"])


def report_each(paths):
    for path in paths:
        with d88image.open(path) as opened:
            opened.report()


image, runs = sys.argv[1], int(sys.argv[2])
collection = sorted(glob.glob(sys.argv[3] + "/*.d88"))
with d88image.open(image) as opened:
    calls = {"report() of each of the %d" % len(collection): lambda: report_each(collection),
             "report_json()": opened.report_json, "report()": opened.report,
             "report(), every track read": lambda: read_whole(opened), "cut()": opened.cut}
    for name, call in calls.items():
        times = []
        for _ in range(runs):
            start = time.process_time()
            call()
            times.append((time.process_time() - start) * 1000)
        print("  %-28s %7.1f" % (name, sorted(times)[runs // 2]))
PY
