#!/usr/bin/env bash
# Installs what Tavrin needs, builds it (a normal build, one with AddressSanitizer and
# UndefinedBehaviorSanitizer, and one for Windows whose tests run under wine) and runs every
# test in each. Tests that need a print server start their own private cupsd
# (tools/sandbox-print-server), so no system print server is touched.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

if [ "${TAVRIN_SKIP_INSTALL:-0}" != 1 ]; then
    bash tools/install-deps.sh
fi

# Qt for mingw-w64 (tools/build-mingw-qt.sh) is built once into a cache folder outside the tree;
# a cold build takes about half an hour of both cores. It runs in the background at the lowest
# priority, so that it takes what the builds below leave and the time the tests spend waiting,
# and the Windows stage waits for it.
mkdir -p build
qt_log=build/mingw-qt.log
setsid nice -n 19 bash tools/build-mingw-qt.sh >"$qt_log" 2>&1 &
qt_build=$!
# A stage that fails ends the script: the Qt build, in a process group of its own, ends with it.
trap 'kill -- -"$qt_build" 2>/dev/null || true' EXIT

cmake --preset dev
cmake --build --preset dev -j "$jobs"
ctest --preset dev 2>&1 | tee build/dev/ctest.log

# The README's commands as a user gives them (tests/readme/check.py): the set-up command
# tools/run.sh with a check of the window it opens, the tavrin-cli examples against a sandbox
# print server, the release build and its Debian package. Debian's own Python runs it.
readme_start=$(date +%s)
tests/readme/check.py 2>&1 | tee build/dev/readme.log
echo "readme: stage took $(($(date +%s) - readme_start)) s"

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan 2>&1 | tee build/asan/ctest.log

# Fuzz targets: only they are built (clang, the fuzz preset), then each runs for a bounded time,
# TAVRIN_FUZZ_SECONDS (20 by default). TAVRIN_FUZZ_BUILD_DIR picks another build folder. Seeds
# kept in tests/fuzz/corpus/NAME are read; what a run finds goes to the build folder's corpus.
# The target names are the sources of tests/fuzz, as tests/fuzz/CMakeLists.txt lists them.
if ls tests/fuzz/*.cpp >/dev/null 2>&1; then
    fuzz_dir="${TAVRIN_FUZZ_BUILD_DIR:-build/fuzz}"
    cmake --preset fuzz -B "$fuzz_dir"
    targets=()
    for source in tests/fuzz/*.cpp; do
        targets+=("fuzz_$(basename "$source" .cpp)")
    done
    cmake --build "$fuzz_dir" -j "$jobs" --target "${targets[@]}"
    for target in "${targets[@]}"; do
        corpus="$fuzz_dir/corpus/$target"
        seeds="tests/fuzz/corpus/${target#fuzz_}"
        mkdir -p "$corpus"
        if [ -d "$seeds" ]; then set -- "$corpus" "$seeds"; else set -- "$corpus"; fi
        "$fuzz_dir/tests/fuzz/$target" -max_total_time="${TAVRIN_FUZZ_SECONDS:-20}" \
            -max_len=65536 "$@"
    done
    echo "fuzz: all targets ran without a finding"
fi

# Windows: the engine, tavrin-cli.exe, tavrin.exe and their tests cross-built with mingw-w64,
# the tests and the programs' end-to-end tests run under wine in a fresh prefix of the build
# folder (the test preset names it), then the zip and its check in another fresh prefix. SQLite
# and Qt for mingw-w64 are built from Debian's sources by tools/build-mingw-sqlite.sh and
# tools/build-mingw-qt.sh, once, into a cache folder outside the tree.
windows_start=$(date +%s)
if ! wait "$qt_build"; then
    tail -n 40 "$qt_log" >&2
    echo "tools/test.sh: tools/build-mingw-qt.sh failed (all of its output: $qt_log)" >&2
    exit 1
fi
echo "windows: waited $(($(date +%s) - windows_start)) s for Qt for mingw-w64 ($qt_log)"
qt_prefix=$(tail -n 1 "$qt_log")
mingw_prefix=$(bash tools/build-mingw-sqlite.sh | tail -n 1)
rm -rf build/windows/wine
cmake --preset windows -DTAVRIN_MINGW_PREFIX="$mingw_prefix" -DTAVRIN_MINGW_QT_PREFIX="$qt_prefix"
cmake --build --preset windows -j "$jobs"
WINEPREFIX=$PWD/build/windows/wine WINEDEBUG=-all sh -c 'wineboot -i >/dev/null 2>&1; wineserver -w'
ctest --preset windows 2>&1 | tee build/windows/ctest.log
cpack --preset windows
bash tools/check-windows-zip.sh
echo "windows: built, tested under wine and packed in $(($(date +%s) - windows_start)) s"

# One closing line for every build and the README's commands (ctest and the README's check stop
# the script above when a test fails).
passed=0
skipped=0
for log in build/dev/ctest.log build/asan/ctest.log build/windows/ctest.log; do
    count=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
    skips=$(grep -c -- '\*\*\*Skipped' "$log" || true)
    passed=$((passed + ${count:-0} - skips))
    skipped=$((skipped + skips))
done
readme=$(sed -n 's/^readme: \([0-9]*\) passed, 0 failed, \([0-9]*\) skipped$/\1 \2/p' \
    build/dev/readme.log)
if [ -z "$readme" ]; then
    echo "tools/test.sh: build/dev/readme.log has no closing line" >&2
    exit 1
fi
passed=$((passed + ${readme% *}))
skipped=$((skipped + ${readme#* }))
echo "tests: $passed passed, 0 failed, $skipped skipped"
