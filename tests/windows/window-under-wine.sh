#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tavrin.exe end to end under wine, driven by keys as a user drives it, against a private
# sandbox print server (wine's spooler lists its queues, port "CUPS:QUEUE"):
#
#     window-under-wine.sh BUILD_DIR OUTPUT_DIR
#
# The build is installed into an empty folder, as a user unpacks the zip. tavrin.exe starts
# with two plot files on its command line (long names in the ANSI code page); OK, Print!! and
# "Send anyway" (wine's driver calls every queue PostScript) send them to the plotter's queue.
# A second start hands over a file named outside the ANSI code page, which OK, Print!! sends
# too; Alt+F4 closes the window, which writes its INI file beside the .exe.
#
# wine runs the window in a virtual desktop of its own on an X display of its own: without a
# window manager, keys reach a wine window only through such a desktop. The windows in it are
# X windows by their titles, which tells when each shows. WINEPREFIX must name a prefix made
# beforehand. OUTPUT_DIR gets screenshots of the window.
set -euo pipefail
build=$1
output=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
samples=$source_dir/tests/samples
desktop=TavrinEndToEnd

work=$(mktemp -d /tmp/tavrin-window-XXXXXX)
chmod 755 "$work"  # the print server runs as user lp
sandbox=$work/sandbox
xvfb=""
window=""
cleanup() {
    [ -z "$window" ] || kill "$window" 2>/dev/null || true
    pkill -f "explorer.exe /desktop=$desktop" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    "$source_dir/tools/sandbox-print-server" stop "$sandbox" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -z "${DISPLAY:-}" ] || xwd -root -silent 2>/dev/null | xwdtopnm 2>/dev/null |
        pnmtopng >"$output/window-under-wine-failed.png" 2>/dev/null || true
    exit 1
}
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}
# Waits up to 30 s for CONDITION (a command) to hold.
wait_for() {
    local what=$1
    shift
    for _ in $(seq 1 300); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    fail "waited in vain for $what"
}
shown() {
    xdotool search --onlyvisible --name "^$1\$"
}
# The pixels of the main window from X,Y (from its right or bottom edge when negative), W by H,
# as text.
window_part() {
    local id x=$1 y=$2 w=$3 h=$4 width height
    id=$(shown "Dorwen's Tavrin" | head -n 1)
    read -r width height < <(xwininfo -id "$id" | awk '/Width:/ { w = $2 } /Height:/ { print w, $2 }')
    [ "$x" -ge 0 ] || x=$((width + x))
    [ "$y" -ge 0 ] || y=$((height + y))
    xwd -silent -id "$id" | xwdtopnm 2>/dev/null | pnmcut -left "$x" -top "$y" -width "$w" -height "$h" |
        pnmtoplainpnm | tail -n +4
}
# Whether a text is written in a part of the window: an empty panel shows its frame, in up to
# three colours, a text many more (its letters are smoothed).
written() {
    [ "$(window_part "$@" | tr -s ' ' '\n' | grep . | paste - - - | sort -u | wc -l)" -gt 4 ]
}
differs_from() {
    local before=$1
    shift
    [ "$(window_part "$@" | md5sum)" != "$before" ]
}
ended() {
    ! kill -0 "$1" 2>/dev/null || [ "$(ps -o stat= -p "$1")" = Z ]
}
save_window() {
    xwd -silent -id "$(shown "Dorwen's Tavrin" | head -n 1)" | xwdtopnm 2>/dev/null |
        pnmtopng >"$output/$1"
}
jobs_in() {
    local count=$1
    [ "$(find "$sandbox/jobs/hpgl-plotter" -name '*.job' 2>/dev/null | wc -l)" -ge "$count" ] &&
        [ -z "$(find "$sandbox/jobs/hpgl-plotter" -name '*.part')" ] &&
        [ "$(find "$sandbox/spool" -name 'c[0-9]*' | wc -l)" -ge "$count" ]
}
# The title the print server keeps for each of its jobs, in job order.
job_titles() {
    python3 - "$sandbox"/spool/c[0-9]* <<'PY'
import sys
# A control file holds the job's IPP attributes: a tag, a 2-byte name length, the name, a
# 2-byte value length, the value.
for path in sorted(sys.argv[1:]):
    data = open(path, "rb").read()
    at = data.index(b"job-name") + len(b"job-name")
    length = int.from_bytes(data[at:at + 2], "big")
    print(data[at + 2:at + 2 + length].decode(errors="replace"))
PY
}

mkdir -p "$sandbox" "$work/plots" "$output"
export "$("$source_dir/tools/sandbox-print-server" start "$sandbox" | grep '^CUPS_SERVER=')"
export WINEDEBUG=-all
cmake --install "$build" --prefix "$work/bin" >/dev/null
program=$(windows_path "$work/bin/tavrin.exe")
index=$(bash "$source_dir/tools/run-under-wine.sh" "$work/bin/tavrin-cli.exe" printers |
    tr -d '\r' | awk -F '\t' '$2 == "hpgl-plotter" { print $1 }')
[ -n "$index" ] || fail "wine's spooler does not list the sandbox's plotter"
printf '[Printers]\r\nPrinter#=%s\r\n' "$index" >"$work/bin/tavrin.ini"
plans=("$work/plots/Lageplan Maßstab 1 zu 500, Änderung 3 (endgültig) für die Baugenehmigung.plt"
       "$work/plots/Schnitt B–B, Geschoß 2.plt")
cp "$samples/hp2xx/dt.plt" "${plans[0]}"
cp "$samples/hp2xx/pages.hp" "${plans[1]}"
drawing=$work/plots/чертёж.ps
cp "$samples/cups/testfile.ps" "$drawing"

started=$(mktemp)
Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp 8>"$started" </dev/null >/dev/null 2>&1 &
xvfb=$!
wait_for "Xvfb" grep -q '^[0-9]\+$' "$started"
DISPLAY=":$(head -n 1 "$started")"
export DISPLAY
rm -f "$started"
wine explorer "/desktop=$desktop,1024x768" "$program" "$(windows_path "${plans[0]}")" \
    "$(windows_path "${plans[1]}")" >"$work/window.log" 2>&1 &
window=$!

wait_for "the window" shown "Dorwen's Tavrin"
# The status bar's printer panel is written once the print server answered.
wait_for "the printer panel" written 235 -16 200 12
xdotool windowfocus "$(shown "$desktop - Wine desktop")"
save_window window-under-wine-start.png
xdotool key alt+o
wait_for "the wrong-device question" shown Tavrin
# From Cancel, the default, to "Send anyway".
xdotool key shift+Tab space
wait_for "two jobs at the plotter's queue" jobs_in 2
mapfile -t jobs < <(find "$sandbox/jobs/hpgl-plotter" -name '*.job' | sort)
mapfile -t titles < <(job_titles)
for i in 0 1; do
    cmp -s "${plans[$i]}" "${jobs[$i]}" || fail "${plans[$i]} did not arrive byte for byte"
    [ "${titles[$i]}" = "$(basename "${plans[$i]}")" ] ||
        fail "job $((i + 1)) is titled '${titles[$i]}', not $(basename "${plans[$i]}")"
done
wait_for "the run's last panel" written -60 -16 50 12
save_window window-under-wine.png

files_panel=$(window_part 125 -16 100 12 | md5sum)
wine "$program" "$(windows_path "$drawing")" >"$work/second.log" 2>&1 ||
    fail "the second start ended with $?: $(cat "$work/second.log")"
# In the mode New, the file handed over replaces the list.
wait_for "the handed-over file in the list" differs_from "$files_panel" 125 -16 100 12
xdotool key alt+o
wait_for "a third job" jobs_in 3
mapfile -t jobs < <(find "$sandbox/jobs/hpgl-plotter" -name '*.job' | sort)
cmp -s "$drawing" "${jobs[2]}" || fail "$drawing did not arrive byte for byte"
# wine hands a title outside the ANSI code page to CUPS shortened.
mapfile -t titles < <(job_titles)
[[ ${titles[2]} == чертёж* ]] || fail "job 3 is titled '${titles[2]}'"
save_window window-under-wine-handed-over.png

xdotool key alt+F4
wait_for "the window to close" ended "$window"
window=""
ini=$(tr -d '\r' <"$work/bin/tavrin.ini")
if ! grep -qx "Printer#=$index" <<<"$ini" || ! grep -qx '\[Window\]' <<<"$ini"; then
    fail "the INI file was not written on close: $ini"
fi
echo "ok: 3 jobs sent byte for byte, the INI file written on close"
