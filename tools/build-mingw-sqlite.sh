#!/usr/bin/env bash
# Builds SQLite for the Windows cross build, which Debian does not have for mingw-w64: Debian's
# own sqlite3 source, of the version the Linux build links (libsqlite3-dev's), made into the
# amalgamation and compiled with mingw-w64 into a static libsqlite3.a. It goes to a cache folder
# outside the tree, $TAVRIN_MINGW_CACHE (~/.cache/tavrin-mingw by default), named after that
# version and this script's content, so that a change to either builds it anew and a second run
# does nothing. The last line printed is the prefix (include/sqlite3.h, lib/libsqlite3.a) that
# cmake/mingw-w64-x86_64.cmake searches; with --print-prefix the script prints it and stops.
#
# The source comes from the Debian archive the system's packages come from
# (tools/debian-source.sh).
set -euo pipefail
exec 3>&1 1>&2

fail() {
    echo "tools/build-mingw-sqlite.sh: $*" >&2
    exit 1
}

script=$(readlink -f "${BASH_SOURCE[0]}")
status=$(dpkg-query -W -f='${db:Status-Status} ${source:Version}' libsqlite3-dev 2>/dev/null) ||
    true
if [ "${status%% *}" != installed ]; then
    fail "libsqlite3-dev is not installed (tools/install-deps.sh installs it); its version is" \
        "the one built for Windows"
fi
version=${status#* }
cache="${TAVRIN_MINGW_CACHE:-$HOME/.cache/tavrin-mingw}"
dir="$cache/sqlite-$version-$(sha256sum "$script" | cut -c 1-12)"
prefix="$dir/prefix"

case "${1:-}" in
    "") ;;
    --print-prefix)
        echo "$prefix" >&3
        exit 0
        ;;
    *) fail "unknown argument '$1' (the only one is --print-prefix)" ;;
esac
if [ -f "$prefix/include/sqlite3.h" ] && [ -f "$prefix/lib/libsqlite3.a" ]; then
    echo "$prefix" >&3
    exit 0
fi

host=x86_64-w64-mingw32
missing=()
for tool in dpkg-source apt-get tclsh make gcc "$host-gcc-posix" "$host-ar"; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    fail "${missing[*]} not found (tools/install-deps.sh installs what is needed)"
fi

started=$(date +%s)
# shellcheck source=tools/debian-source.sh
source "$(dirname "$script")/debian-source.sh"

mkdir -p "$cache"
work=$(mktemp -d "$cache/.sqlite-$version.XXXXXX")
trap 'rm -rf "$work"' EXIT
log="$work/build.log"
run() {
    if ! "$@" >>"$log" 2>&1; then
        tail -n 40 "$log" >&2
        fail "'$*' failed (the end of its output is above)"
    fi
}

source=$(fetch_debian_source sqlite3 "$version" "$work") ||
    fail "cannot fetch the source of sqlite3 $version"

# Debian's own choices (debian/rules and its configure options), so that SQL and the C API are
# those of the Linux build, less loadable extensions. WAL is there by default. configure hands
# the ENABLE and OMIT ones to the parser generator too: some change the grammar.
defines=(
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_SECURE_DELETE
    -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS
    -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1
    -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_ENABLE_DBSTAT_VTAB
    -DSQLITE_ALLOW_ROWID_IN_VIEW -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1
    -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_USE_URI=1 -DSQLITE_MAX_SCHEMA_RETRY=25
    -DSQLITE_ENABLE_PREUPDATE_HOOK -DSQLITE_ENABLE_SESSION -DSQLITE_ENABLE_STMTVTAB
    -DSQLITE_MAX_VARIABLE_NUMBER=250000 -DSQLITE_ENABLE_MATH_FUNCTIONS
)

echo "Making the amalgamation (sqlite3.c, sqlite3.h)"
mkdir "$work/build"
(cd "$work/build" && run "$source/configure" --disable-tcl --disable-readline \
    CPPFLAGS="${defines[*]}")
run make -C "$work/build" -j 2 sqlite3.c

echo "Compiling libsqlite3.a with $host-gcc-posix"
run "$host-gcc-posix" -O2 -fno-strict-aliasing "${defines[@]}" -c "$work/build/sqlite3.c" \
    -o "$work/build/sqlite3.o"
mkdir -p "$work/out/prefix/include" "$work/out/prefix/lib"
run "$host-ar" rcs "$work/out/prefix/lib/libsqlite3.a" "$work/build/sqlite3.o"
cp "$work/build/sqlite3.h" "$work/out/prefix/include/"

# The folder appears whole or not at all; a run beside this one may have put it there first.
if ! mv -T "$work/out" "$dir" 2>/dev/null && [ ! -f "$prefix/lib/libsqlite3.a" ]; then
    fail "cannot move the build to $dir"
fi
echo "SQLite $version for $host built in $(($(date +%s) - started)) s"
echo "$prefix" >&3
