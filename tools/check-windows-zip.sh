#!/usr/bin/env bash
# Checks the Windows zip (cpack --preset windows) as a Windows user meets it: every DLL that a
# program or DLL in it imports (objdump) is either in the zip or one of Windows' own, and, unpacked
# into an empty folder with a fresh wine prefix, tavrin-cli.exe lists the printers and tavrin.exe
# opens its window. Windows programs under wine need a virtual display (Xvfb) for the window.
#     tools/check-windows-zip.sh [ZIP]     (default: the newest build/windows/tavrin*.zip)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fail() {
    echo "tools/check-windows-zip.sh: $*" >&2
    exit 1
}

zip=${1:-$(ls -t build/windows/tavrin*.zip 2>/dev/null | head -n 1)}
[ -f "$zip" ] || fail "no zip (cpack --preset windows makes it in build/windows)"
zip=$(readlink -f "$zip")
for tool in unzip x86_64-w64-mingw32-objdump wine xdotool; do
    command -v "$tool" >/dev/null || fail "$tool not found (tools/install-deps.sh installs it)"
done

work=$(mktemp -d /tmp/tavrin-zip-XXXXXX)
export WINEPREFIX=$work/wine WINEDEBUG=err+module
cleanup() {
    wineserver -k 2>/dev/null || true
    bash "$root/tools/run-under-wine.sh" --stop-display
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/unpacked"
unzip -q "$zip" -d "$work/unpacked"
cd "$work/unpacked"

for file in tavrin.exe tavrin-cli.exe README.txt LICENSE.txt platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll; do
    [ -f "$file" ] || fail "$(basename "$zip") has no $file"
done

# Windows' own DLLs, which a Windows 10 or later has and the zip must not carry.
system_dlls=" advapi32.dll authz.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll d3d11.dll
 d3d9.dll dnsapi.dll dwmapi.dll dwrite.dll dxgi.dll gdi32.dll imm32.dll iphlpapi.dll kernel32.dll
 mpr.dll msvcrt.dll ncrypt.dll netapi32.dll ntdll.dll ole32.dll oleaut32.dll rpcrt4.dll
 secur32.dll setupapi.dll shell32.dll shcore.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll
 version.dll winhttp.dll winmm.dll winspool.drv ws2_32.dll wtsapi32.dll"
system_dlls=" $(echo $system_dlls) "
in_zip=" $(find . -type f -iname '*.dll' -printf '%f\n' | tr '[:upper:]' '[:lower:]' | tr '\n' ' ') "
missing=""
while IFS= read -r -d '' binary; do
    while read -r dll; do
        dll=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
        case "$dll" in api-ms-win-*) continue ;; esac
        if [[ "$in_zip" != *" $dll "* && "$system_dlls" != *" $dll "* ]]; then
            missing+="  $binary imports $dll"$'\n'
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find . -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
if [ -n "$missing" ]; then
    fail "DLLs neither in the zip nor Windows' own:"$'\n'"$missing"
fi
echo "check-windows-zip: every import of $(basename "$zip") is in it or Windows' own"

wineboot -i >/dev/null 2>&1
wineserver -w
# No print server answers: the programs must start all the same.
export CUPS_SERVER=$work/no-print-server
run() {
    bash "$root/tools/run-under-wine.sh" "$@"
}
if ! run ./tavrin-cli.exe printers >"$work/cli.out" 2>"$work/cli.err" ||
    grep -q 'err:module' "$work/cli.err"; then
    cat "$work/cli.err" >&2
    fail "tavrin-cli.exe printers did not run from the unpacked zip"
fi
echo "check-windows-zip: tavrin-cli.exe printers ran"

run ./tavrin.exe >"$work/window.out" 2>"$work/window.err" &
window_run=$!
# The window, on the display tools/run-under-wine.sh records beside the prefix once it runs.
shown() {
    local display
    display=$(awk '{ print ":" $1 }' "$WINEPREFIX.display" 2>/dev/null) &&
        DISPLAY=$display xdotool search --name "^Dorwen's Tavrin" 2>/dev/null | grep -q .
}
deadline=$((SECONDS + 120))
until shown; do
    if [ "$SECONDS" -ge "$deadline" ] || ! kill -0 "$window_run" 2>/dev/null; then
        cat "$work/window.err" >&2
        fail "tavrin.exe showed no window within 120 s"
    fi
    sleep 0.5
done
if grep -q 'err:module' "$work/window.err"; then
    cat "$work/window.err" >&2
    fail "tavrin.exe is missing a DLL"
fi
# Started, it is ended as the system ends it: input under wine without a window manager does not
# reach a window.
kill "$window_run" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "check-windows-zip: tavrin.exe opened its window"
