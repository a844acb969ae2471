#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the demo, the fuzzers and
# the benchmark need, when any is missing, then checks that every program they
# call is on the PATH. Recommends are never installed, so each program's own
# package is named here: wine64 does not bring the wine command (package wine).
set -eu
pkgs="cmake ninja-build make g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth googletest x11-utils imagemagick clang libclang-rt-14-dev nsis python3"
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    SUDO=""
    [ "$(id -u)" != 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends $missing
fi

# program:package pairs; one line names the first program missing and its package
needs="wine:wine wineserver:wine wineboot:wine winepath:wine Xvfb:xvfb xauth:xauth xwininfo:x11-utils
import:imagemagick cmake:cmake ctest:cmake ninja:ninja-build make:make g++:g++
x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64
clang++:clang makensis:nsis python3:python3"
for pair in $needs; do
    prog=${pair%%:*}
    if ! command -v "$prog" >/dev/null 2>&1; then
        echo "deps: $prog is missing after installing; it comes with the Debian package ${pair#*:}" >&2
        exit 1
    fi
done
fuzzrt=$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null || true)
case "$fuzzrt" in
    /*) [ -f "$fuzzrt" ] && exit 0 ;;
esac
# clang prints the bare name when it cannot find the runtime
for f in /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a; do
    [ -f "$f" ] && exit 0
done
echo "deps: the libFuzzer runtime is missing; it comes with the Debian package libclang-rt-14-dev" >&2
exit 1
