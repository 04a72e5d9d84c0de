#!/usr/bin/env bash
# Builds Qt for the Windows cross build, which Debian does not have for mingw-w64: Debian's own
# qt6-base source, of the version the Linux build uses (qt6-base-dev's), compiled with mingw-w64
# into shared libraries, with only what the window needs: Core, Gui, Widgets, Network and Test,
# the windows, offscreen and minimal platform plugins and the Windows styles. Debian's host tools
# (moc, rcc, uic under /usr) serve the build. It goes to a cache folder outside the tree,
# $TAVRIN_MINGW_CACHE (~/.cache/tavrin-mingw by default), named after that version and this
# script's content, so that a change to either builds it anew and a second run does nothing.
# A cold build takes about half an hour on two cores. The last line printed is the prefix
# (lib/cmake/Qt6, bin/*.dll, plugins) that cmake/mingw-w64-x86_64.cmake searches; with
# --print-prefix the script prints it and stops.
set -euo pipefail
exec 3>&1 1>&2

fail() {
    echo "tools/build-mingw-qt.sh: $*" >&2
    exit 1
}

script=$(readlink -f "${BASH_SOURCE[0]}")
status=$(dpkg-query -W -f='${db:Status-Status} ${source:Version}' qt6-base-dev 2>/dev/null) ||
    true
if [ "${status%% *}" != installed ]; then
    fail "qt6-base-dev is not installed (tools/install-deps.sh installs it); its version is" \
        "the one built for Windows"
fi
version=${status#* }
cache="${TAVRIN_MINGW_CACHE:-$HOME/.cache/tavrin-mingw}"
dir="$cache/qt-$version-$(sha256sum "$script" | cut -c 1-12)"
prefix="$dir/prefix"

case "${1:-}" in
    "") ;;
    --print-prefix)
        echo "$prefix" >&3
        exit 0
        ;;
    *) fail "unknown argument '$1' (the only one is --print-prefix)" ;;
esac
if [ -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] &&
    [ -f "$prefix/plugins/platforms/qwindows.dll" ]; then
    echo "$prefix" >&3
    exit 0
fi

host=x86_64-w64-mingw32
host_tools=/usr/lib/qt6/libexec
missing=()
for tool in dpkg-source apt-get cmake ninja "$host-gcc-posix" "$host-g++-posix" "$host-windres" \
    "$host_tools/moc" "$host_tools/rcc" "$host_tools/uic"; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    fail "${missing[*]} not found (tools/install-deps.sh installs what is needed)"
fi

started=$(date +%s)
# shellcheck source=tools/debian-source.sh
source "$(dirname "$script")/debian-source.sh"

mkdir -p "$cache"
work=$(mktemp -d "$cache/.qt-$version.XXXXXX")
trap 'rm -rf "$work"' EXIT
log="$work/build.log"
failed_log="$cache/qt-$version-failed.log"
run() {
    if ! "$@" >>"$log" 2>&1; then
        # Compiler warnings from the steps still running follow a failed one: its lines first.
        grep -A 20 '^FAILED: ' "$log" | head -n 60 >&2 || tail -n 40 "$log" >&2
        cp "$log" "$failed_log"
        fail "'$*' failed (above; all of its output: $failed_log)"
    fi
}

source=$(fetch_debian_source qt6-base "$version" "$work") ||
    fail "cannot fetch the source of qt6-base $version"

cat >"$work/toolchain.cmake" <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $host-gcc-posix)
set(CMAKE_CXX_COMPILER $host-g++-posix)
set(CMAKE_RC_COMPILER $host-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$host)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

# Debian's source lacks the tablet library (wintab) for licence reasons, so tablet events go;
# without OpenGL, the platform plugin's choice between OpenGL implementations goes with it. The
# third-party libraries are Qt's bundled ones: mingw-w64 has none of its own here. Modules and
# plugins the window does not use are left out to keep the build short; Direct2D stays, as the
# font database's DirectWrite code is built only with it.
features=(
    sql opengl dynamicgl vulkan dbus printsupport concurrent xml tabletevent openssl
)
flags=()
for feature in "${features[@]}"; do flags+=("-DFEATURE_$feature=OFF"); done
for library in zlib pcre2 harfbuzz freetype png jpeg doubleconversion; do
    flags+=("-DFEATURE_system_$library=OFF")
done

echo "Configuring Qt $version for $host"
run cmake -S "$source" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$work/out/prefix" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF "${flags[@]}"
echo "Building Qt $version for $host (a cold build takes about half an hour on two cores)"
run cmake --build "$work/build" -j "$(nproc)"
run cmake --install "$work/build"

# The folder appears whole or not at all; a run beside this one may have put it there first.
if ! mv -T "$work/out" "$dir" 2>/dev/null &&
    [ ! -f "$prefix/plugins/platforms/qwindows.dll" ]; then
    fail "cannot move the build to $dir"
fi
echo "Qt $version for $host built in $(($(date +%s) - started)) s"
echo "$prefix" >&3
