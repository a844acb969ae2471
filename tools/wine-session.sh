#!/usr/bin/env bash
# Runs one command inside a private Wine session for a build folder: its own
# prefix (made once, inside the build folder), one persistent wineserver and
# its own Xvfb display (unless TG_USE_DISPLAY=1 and a DISPLAY is set). Both are
# started here and stopped here, by PID, whatever the command's result.
#   tools/wine-session.sh BUILD_DIR COMMAND [ARGS...]
set -u
build=$(cd "$1" && pwd); shift

export WINEPREFIX="$build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# a new prefix must not stop to offer Mono or Gecko: that dialog would hang a headless run;
# saving a shell link must not start winemenubuilder, which writes menu entries into the Linux home
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=""
server_pid=""
cleanup() {
    if [ -n "$server_pid" ]; then
        wineserver -k >/dev/null 2>&1
        for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.2; done
        kill "$server_pid" 2>/dev/null
    fi
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "${fdfile:-}" ] && rm -f "$fdfile"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "${TG_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
    if [ ! -s "$fdfile" ]; then echo "wine-session: Xvfb did not start" >&2; exit 1; fi
    export DISPLAY=":$(head -n1 "$fdfile")"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-session: making the Wine prefix in $WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
fi
# Drive R: is a removable disk (Wine's "floppy" type) over BUILD_DIR/removable,
# for the runs that start from one; the type is read when the server starts.
mkdir -p "$build/removable"
ln -sfn "$build/removable" "$WINEPREFIX/dosdevices/r:"
if ! grep -q '^"r:"="floppy"' "$WINEPREFIX/system.reg" 2>/dev/null; then
    wine reg add 'HKLM\Software\Wine\Drives' /v r: /d floppy /f >/dev/null 2>&1
    wineserver -w
fi
# Without a window manager on the display, Wine waits two seconds for one to
# withdraw each managed window it hides (wait_for_withdrawn_state), so every
# dialog a test closes would cost two seconds: Wine's own unmanaged windows
# need no manager.
if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
fi
wineserver -f -p >/dev/null 2>&1 &
server_pid=$!
# the first process start connects to the server once it listens
for _ in $(seq 1 50); do wine cmd /c exit >/dev/null 2>&1 && break; sleep 0.2; done
# Wine links the profile folders (Desktop, Documents, ...) to the Linux home; tests that
# write there must stay inside the prefix, so each such link becomes a folder of its own
for link in "$WINEPREFIX"/drive_c/users/*/*; do
    [ -L "$link" ] && rm -f "$link" && mkdir -p "$link"
done

"$@"
exit $?
