#!/usr/bin/env bash
# Installs what Tavrin needs, builds it and opens its window. File names given to this script are
# handed to Tavrin. When no print server answers, a private sandbox print server is started (its
# queues keep every job as a file under /tmp/tavrin-sandbox-UID/jobs/, or under $TMPDIR when that
# is set) and the window uses it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${TAVRIN_SKIP_INSTALL:-0}" != 1 ]; then
    bash tools/install-deps.sh
fi

cmake --preset dev
cmake --build --preset dev -j "$(nproc)" --target tavrin tavrin-cli

# Where CMake built the window: the configure step writes every program's path to programs.txt.
program=$(sed -n 's/^tavrin=//p' build/dev/programs.txt 2>/dev/null || true)
if [ -z "$program" ] || [ ! -x "$program" ]; then
    echo "tools/run.sh: the window was not built: no program 'tavrin'${program:+ at $program}" \
        "in build/dev/programs.txt" >&2
    exit 1
fi

# Does a print server answer? CUPS_SERVER, client.conf or the machine's own cupsd.
server_answers() {
    lpstat -r 2>/dev/null | grep -q "scheduler is running"
}

if ! server_answers; then
    sandbox="${TMPDIR:-/tmp}/tavrin-sandbox-$(id -u)"
    if [ -S "$sandbox/cups.sock" ] && CUPS_SERVER="$sandbox/cups.sock" server_answers; then
        export CUPS_SERVER="$sandbox/cups.sock"
    else
        line=$(python3 tools/sandbox-print-server start "$sandbox" | grep '^CUPS_SERVER=')
        export CUPS_SERVER="${line#CUPS_SERVER=}"
    fi
    echo "No print server answered: using the sandbox print server at $CUPS_SERVER"
    echo "(stop it with: tools/sandbox-print-server stop $sandbox)"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    # No desktop to show the window on: a virtual one.
    exec xvfb-run -a "$program" "$@"
fi
exec "$program" "$@"
