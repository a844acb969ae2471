#!/usr/bin/env bash
# tools/demo.sh BUILD_DIR -- packs BUILD_DIR/setup32.exe and examples/sample.inf
# (scrambled) into one self-contained installer with the host-built tgpack,
# runs it quietly under Wine with the debug log on, and prints its
# installation log (when the script opened one) and the tail of the debug log.
# Runs inside tools/wine-session.sh; `make demo` does both.
set -u
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
tgpack=${TGPACK:-$root/build/host/tools/tgpack}
if [ ! -x "$tgpack" ]; then
    echo "demo: $tgpack not found; build the host preset first (make host)" >&2
    exit 1
fi
work="$build/demo"
rm -rf "$work"
mkdir -p "$work"
"$tgpack" "$build/setup32.exe" "$root/examples/sample.inf" "$work/TGDEMO.EXE" --scramble || exit 1
# the files the sample's [Files] section installs travel beside the installer
cp -r "$root/examples/files" "$work/files"

# the program writes its debug log to the prefix's temporary folder; an old one would be asked about
temp_unix=$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')" 2>/dev/null)
debuglog="$temp_unix/TG7k9Dbg.LOG"
rm -f "$debuglog"

echo "demo: running TGDEMO.EXE -q -v=3 (the script travels inside the program, no file beside it)"
(cd "$work" && timeout 120 wine TGDEMO.EXE -q -v=3)
rc=$?
echo "demo: TGDEMO.EXE ended with exit code $rc"

installlog=$(find "$work" "$WINEPREFIX/drive_c" -maxdepth 4 -iname 'TGDEMO.LOG' 2>/dev/null | head -n1)
if [ -n "$installlog" ]; then
    echo "--- installation log $installlog ---"
    tr -d '\r' <"$installlog"
else
    echo "--- no installation log (the sample's sections do not open one yet) ---"
fi
echo "--- registry key the sample wrote (HKCU\\Software\\Tallgrid Demo) ---"
wine reg query 'HKCU\Software\Tallgrid Demo' 2>/dev/null | tr -d '\r' | sed '/^$/d'
if [ -d "$work/Installed" ]; then
    echo "--- files the sample's [Files] section installed ($work/Installed) ---"
    (cd "$work/Installed" && find . -type f | sort)
fi
if [ -f "$work/WINVER.TXT" ]; then
    echo "--- what the program [Exec] ran wrote ($work/WINVER.TXT) ---"
    tr -d '\r' <"$work/WINVER.TXT" | sed '/^$/d'
fi
if [ -f "$work/NEXTRUN.CMD" ]; then
    echo "--- command file the run wrote for its next start ($work/NEXTRUN.CMD) ---"
    tr -d '\r' <"$work/NEXTRUN.CMD"
fi
if [ -f "$work/TGDEMO.INI" ]; then
    echo "--- configuration file the run edited ($work/TGDEMO.INI) ---"
    tr -d '\r' <"$work/TGDEMO.INI"
fi
if [ -f "$debuglog" ]; then
    echo "--- debug log (tail) ---"
    tr -d '\r' <"$debuglog" | tail -n 40
fi
exit $rc
