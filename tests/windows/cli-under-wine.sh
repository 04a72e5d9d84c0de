#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tavrin-cli.exe under wine against a private sandbox print server: wine's spooler lists the
# server's queues (port "CUPS:QUEUE") and hands RAW documents to them.
#
#     cli-under-wine.sh CLI.exe CASE
#
# CASE is one of: printers send copies-by-plotter socket-reset refused job-list wait queue-commands
# settings watch.
# WINEPREFIX must name a prefix made beforehand (wineboot). Each case starts its own sandbox
# and runs tavrin-cli.exe from a folder of its own, so that its INI file is its own.
set -euo pipefail
cli=$1
case=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
samples=$source_dir/tests/samples

work=$(mktemp -d /tmp/tavrin-wine-XXXXXX)
chmod 755 "$work"  # the print server runs as user lp
sandbox=$work/sandbox
cleanup() {
    "$source_dir/tools/sandbox-print-server" stop "$sandbox" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($case): $*" >&2
    exit 1
}

mkdir -p "$sandbox" "$work/bin"
troubled=()
[ "$case" != socket-reset ] || troubled=(--troubled)
export "$("$source_dir/tools/sandbox-print-server" start "$sandbox" "${troubled[@]}" |
    grep '^CUPS_SERVER=')"
export WINEDEBUG=-all
# The program and the INI file beside it, as a user unpacks the zip.
cp "$cli" "$work/bin/tavrin-cli.exe"
ini=$work/bin/tavrin.ini

# Runs tavrin-cli.exe; its output goes to $work/out and $work/err, its exit code to $code.
run() {
    code=0
    bash "$source_dir/tools/run-under-wine.sh" "$work/bin/tavrin-cli.exe" "$@" >"$work/out" \
        2>"$work/err" || code=$?
    tr -d '\r' <"$work/out" >"$work/out.txt"
    tr -d '\r' <"$work/err" >"$work/err.txt"
}
expect_code() {
    [ "$code" = "$1" ] || fail "exit code $code, not $1; stdout: $(cat "$work/out.txt"); stderr: $(cat "$work/err.txt")"
}
# The name wine gives a Linux path.
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

# Waits until QUEUE's listener holds COUNT jobs, then lists them in the order they came.
received() {
    local queue=$1 count=$2
    for _ in $(seq 1 200); do
        local have
        have=$(find "$sandbox/jobs/$queue" -name '*.job' 2>/dev/null | wc -l)
        if [ "$have" -ge "$count" ] && [ -z "$(find "$sandbox/jobs/$queue" -name '*.part')" ]; then
            find "$sandbox/jobs/$queue" -name '*.job' | sort
            return
        fi
        sleep 0.1
    done
    fail "queue $queue: waited in vain for $count jobs"
}

# The title the print server keeps for each of its jobs, in job order.
job_titles() {
    python3 - "$sandbox"/spool/c[0-9]* <<'PY' 2>/dev/null
import sys
# Each control file holds the job's IPP attributes: a tag, a 2-byte name length, the name, a
# 2-byte value length, the value.
for path in sorted(sys.argv[1:]):
    data = open(path, "rb").read()
    at = data.index(b"job-name") + len(b"job-name")
    length = int.from_bytes(data[at:at + 2], "big")
    print(data[at + 2:at + 2 + length].decode())
PY
}

sample_files() {
    find "$samples" -type f ! -path '*/LICENSES/*' ! -name SOURCES.md | sort
}

case $case in
printers)
    run printers
    expect_code 0
    # wine's spooler also lists the printers that other programs on the machine or the network
    # advertise by DNS-SD: the sandbox's queues are each there once, whatever else is.
    for queue in hpgl-plotter oce-9600 ps-printer raw-printer; do
        # wine's printer driver answers every device class query with "PostScript".
        [ "$(grep -cP "^[0-9]+\t$queue\tCUPS:$queue\tPOSTSCRIPT$" "$work/out.txt")" = 1 ] ||
            fail "not one line for $queue in: $(cat "$work/out.txt")"
    done
    # Each printer listed has its index, counted from 0, and its port and class.
    awk -F '\t' 'NF != 4 || $1 != NR - 1 { exit 1 }' "$work/out.txt" ||
        fail "a line is not index, name, port and class: $(cat "$work/out.txt")"
    ;;
send)
    mapfile -t files < <(sample_files)
    args=()
    for file in "${files[@]}"; do args+=("$(windows_path "$file")"); done
    # --force: the sample files hold every language, and wine calls every queue PostScript.
    run send --force -p raw-printer "${args[@]}"
    expect_code 0
    grep -q "^${#files[@]} of ${#files[@]} jobs sent to raw-printer$" "$work/out.txt" ||
        fail "$(cat "$work/out.txt")"
    mapfile -t jobs < <(received raw-printer "${#files[@]}")
    [ "${#jobs[@]}" = "${#files[@]}" ] || fail "${#jobs[@]} jobs for ${#files[@]} files"
    # The server writes its job records a moment after the jobs come.
    for _ in $(seq 1 100); do
        mapfile -t titles < <(job_titles)
        [ "${#titles[@]}" -lt "${#files[@]}" ] || break
        sleep 0.2
    done
    for i in "${!files[@]}"; do
        cmp -s "${files[$i]}" "${jobs[$i]}" || fail "${files[$i]} did not arrive byte for byte"
        [ "${titles[$i]}" = "$(basename "${files[$i]}")" ] ||
            fail "job $((i + 1)) is titled '${titles[$i]}', not $(basename "${files[$i]}")"
    done
    ;;
copies-by-plotter)
    # wine's driver calls every queue PostScript, so the HP-GL/2 plotter is the sandbox
    # plotter's own device, kept in the INI file as a printer by address with its class.
    port=$(awk '$1 == "hpgl-plotter" { print $2 }' "$sandbox/ports")
    printf '[PrintersByAddress]\r\nCount=1\r\nName1=plotter\r\nAddress1=socket://127.0.0.1:%s\r\nClass1=HPGL/2\r\n' \
        "$port" >"$ini"
    plot=$samples/hp2xx/dt.plt
    run send -p plotter -n 3 --device-copies "$(windows_path "$plot")"
    expect_code 0
    # tavrin-cli has ended only once the device closed each connection it made, and the
    # listener makes a connection's file when it takes it: once no file is still being
    # received, every job is there.
    mapfile -t jobs < <(received hpgl-plotter 1)
    [ "${#jobs[@]}" = 1 ] || fail "${#jobs[@]} jobs, not one"
    grep -q 'RP2;;' "${jobs[0]}" || fail "no RP2;; in the job"
    [ "$(($(stat -c %s "$plot") + 5))" = "$(stat -c %s "${jobs[0]}")" ] ||
        fail "the job is not the plot with RP2;; in it"
    [ "$(tr -d '\r' <"$ini" | grep -c .)" = 5 ] || fail "the INI file changed"
    ;;
socket-reset)
    # The sandbox's dropping plotter takes the first 4 KB of a job, then resets the connection:
    # a job less than the socket buffers hold and one larger are each refused, with the reason.
    port=$(awk '$1 == "dropping-plotter" { print $2 }' "$sandbox/ports")
    address=socket://127.0.0.1:$port
    printf '[PrintersByAddress]\r\nCount=1\r\nName1=dropper\r\nAddress1=%s\r\n' "$address" >"$ini"
    head -c 300000 /dev/urandom >"$work/small.plt"
    head -c 6000000 /dev/urandom >"$work/large.plt"
    run send --force -p dropper "$(windows_path "$work/small.plt")" "$(windows_path "$work/large.plt")"
    expect_code 1
    grep -q '^0 of 2 jobs sent to dropper$' "$work/out.txt" || fail "$(cat "$work/out.txt")"
    # The reason is the socket's error, or when there is none, what the device did.
    for file in small large; do
        grep -qP "^  \Q$(windows_path "$work/$file.plt")\E: The device at \Q$address\E (dropped the connection: .+|closed the connection before it took every byte)$" \
            "$work/err.txt" || fail "$file: $(cat "$work/err.txt")"
    done
    ! grep -qi 'success' "$work/err.txt" || fail "a success given as the reason: $(cat "$work/err.txt")"
    ;;
refused)
    cupsreject raw-printer
    plot=$samples/hp2xx/dt.plt
    run send --force -p raw-printer "$(windows_path "$plot")"
    expect_code 1
    grep -q '^Not sent to raw-printer:$' "$work/err.txt" || fail "$(cat "$work/err.txt")"
    grep -qF "  $(windows_path "$plot"): " "$work/err.txt" || fail "$(cat "$work/err.txt")"
    grep -q '^0 of 1 jobs sent to raw-printer$' "$work/out.txt" || fail "$(cat "$work/out.txt")"
    [ ! -f "$ini" ] || fail "an INI file was written"
    ;;
job-list)
    plot=$samples/hp2xx/dt.plt
    ps=$samples/cups/testfile.ps
    printf 'Filename;Copies\r\n%s;2\r\n%s;1\r\n' "$(windows_path "$plot")" "$(windows_path "$ps")" >"$work/monday.tjf"
    run send --force -p raw-printer --list "$(windows_path "$work/monday.tjf")"
    expect_code 0
    mapfile -t jobs < <(received raw-printer 3)
    cmp -s "$plot" "${jobs[0]}" && cmp -s "$plot" "${jobs[1]}" && cmp -s "$ps" "${jobs[2]}" ||
        fail "the jobs are not the list's files with their copies"
    ;;
wait)
    # wine's spooler lists no queue but answers for each job until it has handed the job on.
    plot=$samples/hp2xx/dt.plt
    run send --force --wait --timeout 60 -p raw-printer "$(windows_path "$plot")"
    expect_code 0
    grep -qxP "\Q$(windows_path "$plot")\E\traw-printer-1\tprinted\tcompleted" "$work/out.txt" ||
        fail "$(cat "$work/out.txt")"
    mapfile -t jobs < <(received raw-printer 1)
    cmp -s "$plot" "${jobs[0]}" || fail "the plot did not arrive byte for byte"
    ;;
queue-commands)
    # wine's SetPrinter knows no level 0, so it refuses pause, resume and purge; the queue stays
    # as it was, and tavrin-cli says so.
    for command in pause resume purge; do
        run "$command" -p raw-printer
        expect_code 2
        grep -q "^The print spooler refused to $command the queue of printer raw-printer: SetPrinter failed: " \
            "$work/err.txt" || fail "$(cat "$work/err.txt")"
        lpstat -p raw-printer | grep -q 'enabled' || fail "raw-printer is no longer enabled"
    done
    run pause -p no-such-printer
    expect_code 2
    [ -s "$work/err.txt" ] || fail "no message for an unknown printer"
    ;;
settings)
    printf '[Data]\r\nTempFilesPath=C:\\plots\\temp\r\n[Printers]\r\nPrinter#=2\r\n' >"$ini"
    before=$(md5sum <"$ini")
    run settings
    expect_code 0
    grep -qxF "IniFile=$(windows_path "$ini")" "$work/out.txt" || fail "$(cat "$work/out.txt")"
    grep -qxF 'TempFilesPath=C:\plots\temp' "$work/out.txt" || fail "$(cat "$work/out.txt")"
    grep -qx 'Printer#=2' "$work/out.txt" || fail "$(cat "$work/out.txt")"
    [ "$(md5sum <"$ini")" = "$before" ] || fail "the INI file changed"
    rm "$ini"
    run settings
    expect_code 0
    grep -qxF "TempFilesPath=$(windows_path "$work/bin")" "$work/out.txt" ||
        fail "the program folder is not the temporary folder: $(cat "$work/out.txt")"
    ;;
watch)
    # A hot folder: its files print once, whole, move into Printed/, and the job log has them.
    mkdir -p "$work/hot"
    names=(dt.plt inter.hp pages.hp)
    for name in "${names[@]}"; do cp "$samples/hp2xx/$name" "$work/hot/"; done
    export TAVRIN_JOBLOG
    TAVRIN_JOBLOG=$(windows_path "$work/joblog.sqlite")
    run watch --folder "$(windows_path "$work/hot")" -p raw-printer --settle 1 --once
    expect_code 0
    mapfile -t jobs < <(received raw-printer 3)
    for name in "${names[@]}"; do
        [ -f "$work/hot/Printed/$name" ] || fail "$name is not in Printed/: $(cat "$work/out.txt")"
        matched=0
        for job in "${jobs[@]}"; do cmp -s "$samples/hp2xx/$name" "$job" && matched=$((matched + 1)); done
        [ "$matched" = 1 ] || fail "$name arrived $matched times"
    done
    [ -z "$(find "$work/hot" -maxdepth 1 -type f)" ] || fail "files left in the hot folder"
    run log --csv
    expect_code 0
    [ "$(grep -c ',printed,' "$work/out.txt")" = 3 ] || fail "the log: $(cat "$work/out.txt")"
    grep -qF "$(windows_path "$work/hot")" "$work/out.txt" || fail "no front end: $(cat "$work/out.txt")"
    run log --totals day
    expect_code 0
    grep -qP '^\d{4}-\d\d-\d\d\traw-printer\t3\t3\t' "$work/out.txt" || fail "totals: $(cat "$work/out.txt")"
    ;;
*)
    fail "no such case"
    ;;
esac
echo "ok: $case"
