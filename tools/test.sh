#!/usr/bin/env bash
# Installs what Tavrin needs, builds it (a normal build and one with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both. Tests that need a print server start
# their own private cupsd (tools/sandbox-print-server), so no system print server is touched.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

if [ "${TAVRIN_SKIP_INSTALL:-0}" != 1 ]; then
    bash tools/install-deps.sh
fi

cmake --preset dev
cmake --build --preset dev -j "$jobs"
ctest --preset dev

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan

# Fuzz targets run for a bounded time each.
if ls tests/fuzz/*.cpp >/dev/null 2>&1; then
    cmake --preset fuzz
    cmake --build --preset fuzz -j "$jobs" --target all
    for fuzzer in build/fuzz/tests/fuzz_*; do
        corpus="build/fuzz/corpus/$(basename "$fuzzer")"
        mkdir -p "$corpus"
        "$fuzzer" -max_total_time="${TAVRIN_FUZZ_SECONDS:-60}" -max_len=65536 "$corpus"
    done
    echo "fuzz: all targets ran without a finding"
fi
