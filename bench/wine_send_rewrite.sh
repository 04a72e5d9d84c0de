#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tavrin-cli on Linux against tavrin-cli.exe under wine, side by side, against one sandbox print
# server: one 200 MB file sent raw to a queue, and one 512 MB HP-GL/2 plot sent with copies by
# plotter (the rewrite into the temporary file, then the send) to the sandbox plotter's device
# as a printer by address. Each figure runs until the device has every byte.
#
#     bench/wine_send_rewrite.sh LINUX_TAVRIN_CLI WINDOWS_TAVRIN_CLI_EXE
#
# WINEPREFIX names the wine prefix (made when missing). Needs about 2 GB in /tmp.
set -euo pipefail
linux_cli=$(realpath "$1")
windows_cli=$(realpath "$2")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
export WINEDEBUG=-all

work=$(mktemp -d /tmp/tavrin-bench-XXXXXX)
chmod 755 "$work"
trap '"$source_dir/tools/sandbox-print-server" stop "$work/sandbox" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$work/sandbox" "$work/bin" "$work/config/tavrin"
export "$("$source_dir/tools/sandbox-print-server" start "$work/sandbox" | grep '^CUPS_SERVER=')"
cp "$windows_cli" "$work/bin/tavrin-cli.exe"

python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
with open(os.path.join(work, "raw.bin"), "wb") as out:
    block = os.urandom(1 << 20)
    for _ in range(200):
        out.write(block)
with open(os.path.join(work, "plot.plt"), "wb") as out:
    out.write(b"IN;SP1;")
    line = b"PU0,0;PD1000,1000;PU2000,0;PD0,2000;\n" * 4096
    for _ in range((512 << 20) // len(line)):
        out.write(line)
    out.write(b"PG;")
PY
port=$(awk '$1 == "hpgl-plotter" { print $2 }' "$work/sandbox/ports")
ini=$'[PrintersByAddress]\r\nCount=1\r\nName1=plotter\r\nAddress1=socket://127.0.0.1:'"$port"$'\r\nClass1=HPGL/2\r\n[Data]\r\nTempFilesPath='
printf '%s%s\r\n' "$ini" "$work/tmp-linux" >"$work/config/tavrin/tavrin.ini"
printf '%s%s\r\n' "$ini" "Z:${work//\//\\}\\tmp-windows" >"$work/bin/tavrin.ini"
mkdir -p "$work/tmp-linux" "$work/tmp-windows"

# Seconds from the start until QUEUE's device holds COUNT jobs of SIZE bytes or more in all.
timed() {
    local queue=$1 bytes=$2
    shift 2
    local start=$(date +%s.%N)
    "$@" >/dev/null
    while [ "$(find "$work/sandbox/jobs/$queue" -name '*.job' -printf '%s\n' 2>/dev/null |
        awk '{ s += $1 } END { print s + 0 }')" -lt "$bytes" ]; do
        sleep 0.05
    done
    echo "$(date +%s.%N) - $start" | bc
}
# The device must hold the plot with the replot instruction near its end.
replotted() {
    local job
    job=$(find "$work/sandbox/jobs/hpgl-plotter" -name '*.job')
    [ "$(stat -c %s "$job")" = "$((plot + 5))" ] && tail -c 64 "$job" | grep -q 'RP2;;' ||
        { echo "the plotter did not get the rewritten plot: $(stat -c %s "$job") of $((plot + 5)) bytes, ends $(tail -c 20 "$job" | tr -d "\n")" >&2; exit 1; }
}
linux() { env HOME="$work" XDG_CONFIG_HOME="$work/config" "$linux_cli" "$@"; }
windows() { wine "$work/bin/tavrin-cli.exe" "$@"; }
wine "$work/bin/tavrin-cli.exe" --help >/dev/null 2>&1 || true  # starts the wine server

raw=$(stat -c %s "$work/raw.bin")
plot=$(stat -c %s "$work/plot.plt")
rm -rf "$work/sandbox/jobs/raw-printer"/*
l_send=$(timed raw-printer "$raw" linux send --force -p raw-printer "$work/raw.bin")
rm -rf "$work/sandbox/jobs/raw-printer"/*
w_send=$(timed raw-printer "$raw" windows send --force -p raw-printer "Z:${work//\//\\}\\raw.bin")
rm -rf "$work/sandbox/jobs/hpgl-plotter"/*
l_plot=$(timed hpgl-plotter "$plot" linux send -p plotter -n 3 --device-copies "$work/plot.plt")
replotted
rm -rf "$work/sandbox/jobs/hpgl-plotter"/*
w_plot=$(timed hpgl-plotter "$plot" windows send -p plotter -n 3 --device-copies \
    "Z:${work//\//\\}\\plot.plt")
replotted
printf '%-52s %10s %10s\n' "" "Linux" "wine"
printf '%-52s %9.2fs %9.2fs\n' "200 MB sent raw to a queue" "$l_send" "$w_send"
printf '%-52s %9.2fs %9.2fs\n' "512 MB HP-GL/2 plot, rewritten (RP2;;) and sent" "$l_plot" "$w_plot"
