#!/usr/bin/env bash
# Builds the page in a configuration of its own and runs its browser tests
# (web/test, Node's test runner) against the programs of a native build.
# Exits 77 (ctest's "skipped") when a tool they need is missing, and says
# which. Usage: web/run_browser_tests.sh WEB-BUILD NATIVE-BUILD
set -euo pipefail
web=$(cd "$(dirname "$0")" && pwd)
build=$1
native=$(cd "$2" && pwd)
chromium=${D88_CHROMIUM:-/usr/bin/chromium}

missing=()
command -v emcmake >/dev/null || missing+=("emcmake (Debian package emscripten)")
command -v node >/dev/null || missing+=("node")
[ -x "$chromium" ] || missing+=("$chromium (Debian package chromium)")
[ -d "$web/node_modules/playwright-core" ] || missing+=("web/node_modules (npm ci in web/)")
if [ "${#missing[@]}" -gt 0 ]; then
    echo "skipped: the page's browser tests need: ${missing[*]}"
    exit 77
fi

emcmake cmake -S "$web/.." -B "$build" >/dev/null
cmake --build "$build" -j2
build=$(cd "$build" && pwd)
D88_PAGE=$build/d88image.html D88_BIN=$native/bin D88_SAMPLES=$native/sample D88_TEST_OUTPUT=$build/test-output \
D88_CHROMIUM=$chromium node --test --test-concurrency=1 "$web"/test/*.test.mjs
