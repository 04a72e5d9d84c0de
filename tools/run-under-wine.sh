#!/usr/bin/env bash
# Runs a Windows program of the build under wine: the tests' emulator. When wine itself fails,
# its loader having lost the wine server ("wine client error"), that says nothing of the program,
# so it runs once more; any other failure is the program's and stands.
set -uo pipefail
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2; do
    wine "$@" 2>"$errors"
    status=$?
    cat "$errors" >&2
    if [ "$status" -eq 0 ] || ! grep -q '^wine client error:' "$errors"; then
        exit "$status"
    fi
    echo "tools/run-under-wine.sh: wine lost its server (try $attempt of 2)" >&2
done
exit "$status"
