#!/usr/bin/env bash
# tools/screenshots.sh BUILD_DIR -- runs the cases of tests/e2e/shots with the
# end-to-end runner, which captures each dialog they name into
# build/screenshots/NAME.png for a reviewer to look at. Runs inside
# tools/wine-session.sh; `make screenshots` does both. Not part of `make test`.
set -u
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/screenshots"
mkdir -p "$out"
export TG_SHOT_DIR
TG_SHOT_DIR=$(winepath -w "$out" 2>/dev/null)
rc=0
for c in "$root"/tests/e2e/shots/*.case; do
    wine "$build/tests/e2e/e2erun.exe" "$(winepath -w "$c")" "$(winepath -w "$build/setup32.exe")" || rc=1
done
ls "$out"/*.png 2>/dev/null
exit $rc
