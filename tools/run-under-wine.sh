#!/usr/bin/env bash
# Runs a Windows program of the build under wine: the tests' emulator.
#     run-under-wine.sh [--dlls FOLDER]... PROGRAM.exe [ARGUMENT]...
#     run-under-wine.sh --stop-display
# --dlls adds a folder where wine looks for the DLLs the program imports (Qt's and the compiler's
# runtime for the window), as PATH does on Windows.
#
# Windows programs that open windows need a display even when Qt draws offscreen (wine's desktop
# has one driver for every program of a prefix), so every program of a prefix shares one virtual
# X display, started by the first of them and recorded beside the prefix (WINEPREFIX.display);
# --stop-display ends it. Without WINEPREFIX the program runs on the DISPLAY it is given.
#
# When wine itself fails, its loader having lost the wine server ("wine client error"), that says
# nothing of the program, so it runs once more; any other failure is the program's and stands.
set -uo pipefail

fail() {
    echo "tools/run-under-wine.sh: $*" >&2
    exit 1
}

display_file=${WINEPREFIX:+${WINEPREFIX%/}.display}

# Exports DISPLAY: the prefix's virtual display, started when it is not running.
use_display() {
    local number pid started deadline
    exec 9>"$display_file.lock"
    flock 9
    if [ -s "$display_file" ]; then
        read -r number pid <"$display_file"
        if kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$number"
            exec 9>&-
            return
        fi
    fi
    command -v Xvfb >/dev/null || fail "Xvfb not found (tools/install-deps.sh installs it)"
    started=$(mktemp)
    # Its own session, so that the end of the test that started it does not end it.
    setsid Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp 8>"$started" </dev/null \
        >/dev/null 2>&1 9>&- &
    pid=$!
    deadline=$((SECONDS + 20))
    until [ -s "$started" ] && grep -q '^[0-9]\+$' "$started"; do
        if [ "$SECONDS" -ge "$deadline" ] || ! kill -0 "$pid" 2>/dev/null; then
            rm -f "$started"
            fail "Xvfb did not start"
        fi
        sleep 0.1
    done
    number=$(head -n 1 "$started")
    rm -f "$started"
    echo "$number $pid" >"$display_file"
    export DISPLAY=":$number"
    exec 9>&-
}

if [ "${1:-}" = --stop-display ]; then
    if [ -n "$display_file" ] && [ -s "$display_file" ]; then
        read -r _ pid <"$display_file"
        kill "$pid" 2>/dev/null
        rm -f "$display_file"
    fi
    exit 0
fi

folders=""
while [ "${1:-}" = --dlls ]; do
    [ $# -ge 2 ] || fail "--dlls wants a folder"
    folders+="${folders:+;}Z:${2//\//\\}"
    shift 2
done
[ $# -ge 1 ] || fail "no program to run"
if [ -n "$folders" ]; then export WINEPATH="$folders${WINEPATH:+;$WINEPATH}"; fi
if [ -n "$display_file" ]; then use_display; fi

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
