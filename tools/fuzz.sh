#!/usr/bin/env bash
# tools/fuzz.sh BUILD_DIR [SECONDS] -- runs every libFuzzer target of
# tests/fuzz (built by the "fuzz" preset in BUILD_DIR) for SECONDS each
# (default 60), one after the other, and prints each target's executions and
# findings. New inputs go to BUILD_DIR/fuzz-corpus/<target>, seeded with the
# checked-in corpus, which stays as it is; a finding is saved under
# BUILD_DIR/fuzz-findings/<target>/. Exits 1 when any target found something.
#   FUZZ_TARGETS="expand scramble"   runs only those
#   FUZZ_ARGS="-max_len=8192"        extra libFuzzer arguments
set -u
build=$(cd "$1" && pwd)
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
targets=${FUZZ_TARGETS:-"textmodel expand scramble cmdline regver lint"}
summary=""
failed=0
for t in $targets; do
    exe="$build/tests/fuzz/fuzz_$t"
    if [ ! -x "$exe" ]; then
        echo "fuzz: $exe not found; build the fuzz preset first (make fuzz)" >&2
        exit 1
    fi
    corpus="$build/fuzz-corpus/$t"
    findings="$build/fuzz-findings/$t"
    mkdir -p "$corpus" "$findings"
    dict=()
    [ -f "$root/tests/fuzz/$t.dict" ] && dict=(-dict="$root/tests/fuzz/$t.dict")
    log="$build/fuzz-$t.log"
    echo "fuzz: $t for ${seconds}s"
    # shellcheck disable=SC2086
    "$exe" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" \
        "${dict[@]}" ${FUZZ_ARGS:-} "$corpus" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1
    rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
    if [ -z "$execs" ]; then
        execs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -n1)
    fi
    nfound=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    if [ "$rc" != 0 ] && [ "$nfound" = 0 ]; then
        nfound=1
    fi
    [ "$nfound" != 0 ] && failed=1
    summary="$summary$(printf '%-10s %12s executions %3s findings' "$t" "${execs:-?}" "$nfound")\n"
    if [ "$nfound" != 0 ]; then
        grep -m1 -E 'ERROR: |fuzz check failed|runtime error' "$log"
        echo "fuzz: $t: see $log and $findings"
    fi
done
echo "--- fuzz summary (${seconds}s per target) ---"
printf "%b" "$summary"
exit $failed
