#!/bin/sh
# tools/tests/tgpack_test.sh -- the packer's command line: a packed output,
# the refusals with their exit codes, and inputs never overwritten.
#   tgpack_test.sh TGPACK
set -u
TGPACK=$1
D=$(mktemp -d)
trap 'rm -rf "$D"' EXIT
fail=0
check() { # description, expected exit code, command...
    desc=$1; want=$2; shift 2
    "$@" >"$D/out.txt" 2>&1; rc=$?
    if [ "$rc" != "$want" ]; then echo "FAIL: $desc: exit $rc, expected $want"; cat "$D/out.txt"; fail=1; fi
}
printf 'MZprogram' >"$D/setup32.exe"
printf '[Registry]\r\na=b\r\n' >"$D/script.inf"
check "plain pack" 0 "$TGPACK" "$D/setup32.exe" "$D/script.inf" "$D/out.exe"
printf 'MZprogram<-- TG7K9 -- T00a00l00l00g00r00i00d00 I00N00F00H00d00r00 -- TG7K9 -->[Registry]\r\na=b\r\n' >"$D/want.exe"
cmp -s "$D/out.exe" "$D/want.exe" || { echo "FAIL: packed output differs"; fail=1; }
check "scrambled pack" 0 "$TGPACK" "$D/setup32.exe" "$D/script.inf" "$D/out2.exe" --scramble
grep -q 'Registry' "$D/out2.exe" && { echo "FAIL: scrambled output shows the script"; fail=1; }
check "output is the program" 1 "$TGPACK" "$D/setup32.exe" "$D/script.inf" "$D/setup32.exe"
check "output is the script" 1 "$TGPACK" "$D/setup32.exe" "$D/script.inf" "$D/./script.inf"
printf 'MZprogram' | cmp -s "$D/setup32.exe" - || { echo "FAIL: program overwritten"; fail=1; }
check "packed script refused" 1 "$TGPACK" "$D/setup32.exe" "$D/out.exe" "$D/out3.exe"
grep -q 'marker line' "$D/out.txt" || { echo "FAIL: no reason given for a packed script"; fail=1; }
head -c 262140 /dev/zero | tr '\0' ';' >"$D/big.inf"
check "oversize refused" 1 "$TGPACK" "$D/setup32.exe" "$D/big.inf" "$D/out4.exe"
[ -e "$D/out4.exe" ] && { echo "FAIL: output left behind"; fail=1; }
check "missing argument" 2 "$TGPACK" "$D/setup32.exe" "$D/script.inf"
exit $fail
