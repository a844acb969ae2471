#!/bin/sh
# tools/tests/tglint_test.sh -- the checker's command line: exit codes for
# clean, faulty and unreadable scripts, the compiler-style line with its
# caret, the JSON form and turning a warning class off.
#   tglint_test.sh TGLINT
set -u
TGLINT=$1
D=$(mktemp -d)
trap 'rm -rf "$D"' EXIT
fail=0
check() { # description, expected exit code, command...
    desc=$1; want=$2; shift 2
    "$@" >"$D/out.txt" 2>"$D/err.txt"; rc=$?
    if [ "$rc" != "$want" ]; then echo "FAIL: $desc: exit $rc, expected $want"; cat "$D/out.txt" "$D/err.txt"; fail=1; fi
}
has() { # description, text expected in the output
    grep -qF -- "$2" "$D/out.txt" || { echo "FAIL: $1: no '$2' in:"; cat "$D/out.txt"; fail=1; }
}
printf '[Exec]\r\nrun.exe\r\n' >"$D/good.inf"
printf '[Files] ; copy\r\na.exe\r\n[Filez]\r\nb\r\n' >"$D/bad.inf"
printf '[Exec]\r\nrun.exe\r\n[Filez]\r\nb\r\n' >"$D/warn.inf"
check "clean script" 0 "$TGLINT" "$D/good.inf"
[ -s "$D/out.txt" ] && { echo "FAIL: a clean script printed findings"; cat "$D/out.txt"; fail=1; }
check "faulty script" 1 "$TGLINT" "$D/good.inf" "$D/bad.inf"
has "compiler style" "$D/bad.inf:1:9: error: text after ']' of [Files]"
has "the line shown" " 1 | [Files] ; copy"
has "the caret" "   |         ^"
has "the code" "[header-text]"
check "warnings only" 0 "$TGLINT" "$D/warn.inf"
has "warning line" "$D/warn.inf:3:1: warning: no handler takes [Filez]"
check "warning turned off" 0 "$TGLINT" -Wno-unknown-section "$D/warn.inf"
[ -s "$D/out.txt" ] && { echo "FAIL: -Wno-unknown-section still printed"; cat "$D/out.txt"; fail=1; }
check "error cannot be turned off" 2 "$TGLINT" -Wno-header-text "$D/bad.inf"
check "unknown warning class" 2 "$TGLINT" -Wno-bogus "$D/bad.inf"
check "json" 1 "$TGLINT" --format=json "$D/bad.inf"
has "json object" "{\"file\": \"$D/bad.inf\", \"line\": 1, \"column\": 9, \"severity\": \"error\", \"code\": \"header-text\""
head -c1 "$D/out.txt" | grep -q '\[' || { echo "FAIL: json is not an array"; fail=1; }
check "json, nothing found" 0 "$TGLINT" --format=json "$D/good.inf"
[ "$(tr -d '\n' <"$D/out.txt")" = "[]" ] || { echo "FAIL: empty json is not []"; cat "$D/out.txt"; fail=1; }
check "unreadable script" 2 "$TGLINT" "$D/good.inf" "$D/none.inf"
check "no script" 2 "$TGLINT"
check "unknown option" 2 "$TGLINT" --frobnicate "$D/good.inf"
exit $fail
