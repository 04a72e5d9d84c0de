#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Applies each deliberate fault in this folder to a copy of the sources, builds it and runs the
# tests: a fault that no test notices is MISSED. See README.md beside this file.
#
#   tests/mutations/run.sh [--rev REV] [PATCH...]
#
# The copy is the working tree (tracked and untracked files that are not ignored), or with
# --rev the tree of that commit. The patches always come from this folder. Exit status: 0 when
# every patch run was caught, 1 when one was missed or is broken (does not apply or build),
# 2 when the unchanged tree does not build or pass, 64 on bad usage.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(git -C "$here" rev-parse --show-toplevel) || exit 2

usage() {
    sed -n '/^#   tests/s/^#   //p' "${BASH_SOURCE[0]}"
    local file names=()
    for file in "$here"/*.patch; do
        [[ -f $file ]] && names+=("$(basename -- "$file" .patch)")
    done
    echo "Patches: ${names[*]}"
}

rev=
selected=()
while (($#)); do
    case $1 in
        --rev)
            (($# >= 2)) || { echo "run.sh: --rev needs a commit" >&2; exit 64; }
            rev=$2
            shift 2
            ;;
        --rev=*) rev=${1#--rev=}; shift ;;
        -h | --help) usage; exit 0 ;;
        -*) echo "run.sh: unknown option $1" >&2; usage >&2; exit 64 ;;
        *) selected+=("$1"); shift ;;
    esac
done

patches=()
if ((${#selected[@]})); then
    for name in "${selected[@]}"; do
        name=$(basename -- "$name" .patch)
        if [[ ! -f $here/$name.patch ]]; then
            echo "run.sh: no patch $name.patch in $here" >&2
            exit 64
        fi
        patches+=("$here/$name.patch")
    done
else
    for file in "$here"/*.patch; do
        [[ -f $file ]] && patches+=("$file")
    done
fi
if ((${#patches[@]} == 0)); then
    echo "run.sh: no patches to run" >&2
    exit 64
fi
if [[ -n $rev ]] && ! git -C "$repo" rev-parse --quiet --verify "$rev^{commit}" >/dev/null; then
    echo "run.sh: $rev is not a commit" >&2
    exit 64
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-mutations.XXXXXX") || exit 2
child=
cleanup() {
    if [[ -n $child ]]; then
        kill -TERM -- "-$child" 2>/dev/null || kill -TERM "$child" 2>/dev/null
        wait "$child" 2>/dev/null
    fi
    rm -rf -- "$scratch"
}
trap cleanup EXIT
trap 'echo "run.sh: interrupted" >&2; exit 130' INT
trap 'exit 143' TERM HUP

# Runs a command in a process group of its own, so that an interrupt ends it with everything it
# started (compilers, test programs, sandbox print servers); its output goes to the file $1.
run_logged() {
    local log=$1
    shift
    setsid "$@" >"$log" 2>&1 </dev/null &
    child=$!
    wait "$child"
    local status=$?
    child=
    return "$status"
}

src=$scratch/src
build=$scratch/build
logs=$scratch/logs
mkdir -p "$src" "$logs"

started=$SECONDS
if [[ -n $rev ]]; then
    echo "Sources: $(git -C "$repo" rev-parse --short "$rev") ($rev)"
    git -C "$repo" archive --format=tar "$rev" | tar -x -C "$src" || exit 2
else
    echo "Sources: the working tree of $repo"
    (
        cd "$repo" || exit 2
        git ls-files -co --exclude-standard -z |
            while IFS= read -r -d '' file; do
                # A tracked file deleted in the working tree is not part of it.
                [[ -e $file || -L $file ]] && printf '%s\0' "$file"
            done |
            tar --null --no-recursion -T - -cf -
    ) | tar -x -C "$src" || exit 2
fi

export CCACHE_BASEDIR=$scratch CCACHE_NOHASHDIR=1
# The copy is no repository: git apply must not find one around the scratch folder.
export GIT_CEILING_DIRECTORIES=$scratch
configure=(cmake --preset dev -B "$build" -DTAVRIN_BENCH=OFF)
command -v ccache >/dev/null && configure+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

show_tail() {
    echo "---- last lines of $2 ----" >&2
    tail -n "${3:-25}" "$1" >&2
}

# The first test that did not pass in a ctest log.
ctest_failure() {
    sed -n -E 's/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: ([^ ]+) .*\*\*\*.*/\1/p' "$1" | head -n 1
}

# The first test that failed in a GoogleTest program's log; for a program that crashed, the
# test it was running.
gtest_failure() {
    local name
    name=$(sed -n -E 's/^\[  FAILED  \] ([^ ,]+).*/\1/p' "$1" | head -n 1)
    [[ -n $name ]] || name=$(sed -n -E 's/^\[ RUN      \] ([^ ]+).*/\1/p' "$1" | tail -n 1)
    echo "${name:-test_$2 ended with an error}"
}

run_suite() {
    run_logged "$1" ctest --test-dir "$build" -j2 --timeout 600 "${@:2}"
}

# A test program run whole, in one process, from the folder that ctest runs it in.
run_program() {
    run_logged "$1" env -C "$build/tests/$2" QT_QPA_PLATFORM=offscreen \
        timeout 900 "./test_$2" --gtest_brief=1 "${@:3}"
}

# The folders of src/ that a patch changes, as they are named in tests/.
folders_of() {
    sed -n -E 's|^\+\+\+ b/src/([^/]+)/.*|\1|p' "$1" | sort -u
}

(cd "$src" && run_logged "$logs/configure.log" "${configure[@]}") || {
    show_tail "$logs/configure.log" "the configure step"
    echo "run.sh: the unchanged tree does not configure" >&2
    exit 2
}
run_logged "$logs/build.log" cmake --build "$build" -j2 || {
    show_tail "$logs/build.log" "the build"
    echo "run.sh: the unchanged tree does not build" >&2
    exit 2
}
if ! run_suite "$logs/suite.log" --output-on-failure; then
    show_tail "$logs/suite.log" "the test run" 40
    echo "run.sh: the unchanged tree does not pass its tests" \
        "(first failure: $(ctest_failure "$logs/suite.log"))" >&2
    exit 2
fi
tests=$(sed -n -E 's/.*tests passed, [0-9]+ tests failed out of ([0-9]+).*/\1/p' "$logs/suite.log")
echo "Unchanged tree: builds, ${tests:-all} tests pass ($((SECONDS - started)) s)"

# A patch is first tried on the test program of the folder it changes, all of that program's
# tests in one process, which takes seconds where the whole suite takes minutes; only when that
# program passes does the whole suite run. A program is used so only when it passes in one
# process on the unchanged tree, so that a failure there is the patch's doing.
declare -A whole=()
for folder in $(for patch in "${patches[@]}"; do folders_of "$patch"; done | sort -u); do
    [[ -x $build/tests/$folder/test_$folder ]] || continue
    if run_program "$logs/whole-$folder.log" "$folder"; then
        whole[$folder]=1
    else
        echo "test_$folder does not pass in one process: its patches run the whole suite only"
    fi
done

caught=0
total=${#patches[@]}
for patch in "${patches[@]}"; do
    name=$(basename -- "$patch" .patch)
    log=$logs/$name
    begun=$SECONDS
    if ! (cd "$src" && git apply --check "$patch" 2>"$log.apply" && git apply "$patch"); then
        printf '%-48s %s\n' "$name" "ERROR    does not apply: $(head -n 1 "$log.apply")"
        continue
    fi
    result=
    if ! run_logged "$log.build" cmake --build "$build" -j2; then
        result="ERROR    does not build: $(grep -m 1 'error:' "$log.build" | sed 's|^.*/src/src/||')"
    else
        for folder in $(folders_of "$patch"); do
            [[ -n ${whole[$folder]:-} ]] || continue
            if ! run_program "$log.$folder" "$folder" --gtest_fail_fast; then
                result="caught   $(gtest_failure "$log.$folder" "$folder")"
                break
            fi
        done
        if [[ -z $result ]]; then
            # With a patch in, the check that every patch applies fails by design: it says
            # nothing about the fault.
            if run_suite "$log.tests" --stop-on-failure -E '^structure\.DeliberateFaultsStillApply$'; then
                result="MISSED"
            elif failed=$(ctest_failure "$log.tests") && [[ -n $failed ]]; then
                result="caught   $failed"
            else
                result="ERROR    ctest failed without a failing test"
                show_tail "$log.tests" "ctest for $name"
            fi
        fi
    fi
    [[ $result == caught* ]] && caught=$((caught + 1))
    if ! (cd "$src" && git apply -R "$patch"); then
        echo "run.sh: $name does not reverse; the rest would run on a changed tree" >&2
        exit 2
    fi
    printf '%-48s %-70s %4d s\n' "$name" "$result" "$((SECONDS - begun))"
done

elapsed=$((SECONDS - started))
echo "Run time: $((elapsed / 60)) min $((elapsed % 60)) s"
echo "$caught of $total caught"
((caught == total))
