#!/usr/bin/env bash
# Runs the stages of `make test` one after another and prints how long each
# took, in wall seconds and in CPU seconds (user + system of every process the
# stage ran), then the slowest tests of each ctest run. CPU seconds stay close
# from run to run on a loaded machine, where wall seconds do not: compare
# those, and the shares of the stages. Nothing here fails on a time.
#   tools/stage-times.sh [NSLOW]     (default: the 8 slowest tests per run)
# A clean clone's time is the one that counts: run it in a fresh clone without
# a compiler cache (CMAKE_CXX_COMPILER_LAUNCHER unset).
set -u
cd "$(dirname "$0")/.."
nslow=${1:-8}
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT
TIMEFORMAT='%R %U %S'
rc=0
stage() { # name, command...
    local name=$1; shift
    local t
    t=$( { time "$@" >"$log/$name.txt" 2>&1; } 2>&1 ) || { rc=1; echo "$name failed (tail of its output):"; tail -20 "$log/$name.txt"; }
    set -- $t
    awk -v n="$name" -v r="$1" -v u="$2" -v s="$3" 'BEGIN { printf "%-12s wall %7.1f s   cpu %7.1f s\n", n, r, u + s }'
}
slowest() { # name
    echo "slowest tests of $1:"
    grep -E '^ *[0-9]+/[0-9]+ Test +#' "$log/$1.txt" | sed -E 's/.*Test +#[0-9]+: ([^ ]+) .* ([0-9.]+) sec$/\2 \1/' |
        sort -rn | head -n "$nslow" | awk '{printf "  %7.2f s  %s\n", $1, $2}'
}
tools/deps.sh >/dev/null || exit 1
stage configure sh -c 'cmake --preset host && cmake --preset win'
stage build-host cmake --build --preset host
stage build-win cmake --build --preset win
stage ctest-host ctest --preset host
stage ctest-win tools/wine-session.sh build/win ctest --preset win
slowest ctest-host
slowest ctest-win
exit $rc
