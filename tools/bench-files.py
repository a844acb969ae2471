#!/usr/bin/env python3
"""tools/bench-files.py -- times file installation against an NSIS installer of
the same payload. Not part of `make test`; `make bench` runs it inside a Wine
session (tools/wine-session.sh) and writes bench/results.md.

    bench-files.py BUILDDIR RESULTS.md [ROUNDS]

The payload is 1,000 files (~116 MiB) in 10 folders: 100 of 0.6-1.5 MB and
900 of 2-34 KB, made once from a fixed seed. Each round runs, interleaved:
setup32 -q on a [Files] section of the payload into an empty folder, the same
with the progress dialog shown (its script's "[AppInit]" asks for no folder and
ends without the closing message, so nothing has to answer it), a re-run in
version-checking mode "V" over the installed tree, the NSIS installer
(SetCompress off, /S /NCRC) into an empty folder, and its re-run. A run counts
only when its end state holds every file with its size; the medians and the
ratios to NSIS go to the results file, with the machine's load before and after,
and each run's own CPU time and the wineserver's. The rounds run twice: with
the installed trees on the Wine prefix's disk, then on a RAM disk (/dev/shm,
when there is one) through a link in the prefix.
"""
import os
import platform
import random
import resource
import shutil
import statistics
import tempfile
import subprocess
import sys
import time

N_FOLDERS = 10


def fnMakePayload(strDir):
    """The payload as [(relative path, size)], written unless it is there already."""
    rnd = random.Random(20261209)
    aFiles = []
    for i in range(100):
        aFiles.append(("d%d\\big%03d.bin" % (i % N_FOLDERS, i), rnd.randint(600_000, 1_500_000)))
    for i in range(900):
        aFiles.append(("d%d\\small%03d.dat" % (i % N_FOLDERS, i), rnd.randint(2_000, 34_000)))
    strStamp = os.path.join(strDir, ".complete")
    if not os.path.exists(strStamp):
        shutil.rmtree(strDir, ignore_errors=True)
        for strRel, cb in aFiles:
            strPath = os.path.join(strDir, *strRel.split("\\"))
            os.makedirs(os.path.dirname(strPath), exist_ok=True)
            with open(strPath, "wb") as f:
                f.write(rnd.randbytes(cb))
        open(strStamp, "w").close()
    return aFiles


def fnWinPath(strPath):
    return "Z:" + os.path.abspath(strPath).replace("/", "\\")


def fnCheckTree(strDir, aFiles):
    """None when every payload file is in strDir with its size, else what is wrong."""
    for strRel, cb in aFiles:
        strPath = os.path.join(strDir, *strRel.split("\\"))
        try:
            if os.path.getsize(strPath) != cb:
                return "%s has %d bytes, not %d" % (strRel, os.path.getsize(strPath), cb)
        except OSError:
            return "%s is missing" % strRel
    return None


def fnServerCpu():
    """CPU seconds the session's wineserver has used (None when it cannot be read): files are opened and
    created there, so the kernel's work of making a file shows here, not in the program's own time."""
    for strPid in sorted((p for p in os.listdir("/proc") if p.isdigit()), key=int):
        try:
            with open("/proc/%s/cmdline" % strPid, "rb") as f:
                strArg0 = f.read().split(b"\0")[0].decode(errors="replace")
            if os.path.basename(strArg0).startswith("wineserver"):
                with open("/proc/%s/stat" % strPid) as f:
                    aFields = f.read().rsplit(")", 1)[1].split()
                return (int(aFields[11]) + int(aFields[12])) / os.sysconf("SC_CLK_TCK")
        except (IndexError, OSError, ValueError):
            continue
    return None


def fnRun(aArgs, strDir, aFiles, strWhat):
    """(wall seconds, the program's CPU seconds, the wineserver's CPU seconds), or None when the end state is wrong."""
    ru0, fSrv0 = resource.getrusage(resource.RUSAGE_CHILDREN), fnServerCpu()
    t0 = time.perf_counter()
    proc = subprocess.run(aArgs, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    dt = time.perf_counter() - t0
    ru1, fSrv1 = resource.getrusage(resource.RUSAGE_CHILDREN), fnServerCpu()
    fCpu = (ru1.ru_utime - ru0.ru_utime) + (ru1.ru_stime - ru0.ru_stime)
    fSrv = fSrv1 - fSrv0 if fSrv0 is not None and fSrv1 is not None else float("nan")
    strFault = fnCheckTree(strDir, aFiles)
    if proc.returncode != 0 or strFault:
        print("%s: not counted (exit %d, %s)" % (strWhat, proc.returncode, strFault or "tree complete"),
              file=sys.stderr)
        return None
    print("%s: %.2f s (program CPU %.2f s, wineserver CPU %.2f s)" % (strWhat, dt, fCpu, fSrv), file=sys.stderr)
    return dt, fCpu, fSrv


def main():
    strBuild, strResults = sys.argv[1], sys.argv[2]
    nRounds = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    strBench = os.path.join(strBuild, "bench-files")
    strPayload = os.path.join(strBench, "payload")
    aFiles = fnMakePayload(strPayload)
    strDrive = os.path.join(strBuild, "wineprefix", "drive_c")
    # upper case: the program keeps the destination as given upper-cased, and the host side reads it by name
    strTg, strNsis = os.path.join(strDrive, "TGBENCH", "TG"), os.path.join(strDrive, "TGBENCH", "NSIS")

    with open(os.path.join(strBench, "files.inf"), "w", newline="\r\n") as f:
        f.write("[Files]\nTotalFiles=%d\n" % len(aFiles))
        for strRel, _ in aFiles:
            f.write("0, %s, %s, N, N, N\n" % (strRel, strRel))
        f.write("[End]\n")
    with open(os.path.join(strBench, "dialog.inf"), "w", newline="\r\n") as f:
        f.write("[AppInit]\nBeQuiet=Y\nDirPrompt=N\n[Files]\nTotalFiles=%d\n" % len(aFiles))
        for strRel, _ in aFiles:
            f.write("0, %s, %s, N, N, N\n" % (strRel, strRel))
        f.write("[End]\n")
    with open(os.path.join(strBench, "rerun.inf"), "w", newline="\r\n") as f:
        f.write("[Files]\nTotalFiles=%d\n" % len(aFiles))
        for strRel, _ in aFiles:
            f.write("0, %s, %s, V, N, N\n" % (strRel, strRel))
        f.write("[End]\n")
    with open(os.path.join(strBench, "bench.nsi"), "w") as f:
        f.write('Unicode true\nTarget amd64-unicode\nSetCompress off\nOutFile "nsis_setup.exe"\n'
                'InstallDir "C:\\TGBENCH\\NSIS"\nRequestExecutionLevel user\nSilentInstall silent\n'
                'Section\nSetOutPath $INSTDIR\nFile /r "payload\\*.*"\nSectionEnd\n')
    subprocess.run(["makensis", "-V1", "bench.nsi"], cwd=strBench, check=True)

    strSetup = os.path.join(strBuild, "setup32.exe")
    aSetup = ["wine", strSetup, "-s=" + fnWinPath(strPayload), "-d=C:\\TGBENCH\\TG"]
    aNsis = ["wine", os.path.join(strBench, "nsis_setup.exe"), "/S", "/NCRC"]
    aKinds = ("quiet", "dialog", "rerun", "nsis", "nsis_rerun")
    strTgBench = os.path.join(strDrive, "TGBENCH")

    def fnRounds(strWhere):
        """The interleaved rounds with C:\\TGBENCH where it now is: {kind: [(wall, CPU, wineserver CPU)]}."""
        runs = {k: [] for k in aKinds}
        for nRound in range(nRounds):
            for strKind in aKinds:
                strWhat = "%s %d %s" % (strWhere, nRound, strKind)
                if strKind in ("quiet", "dialog"):
                    shutil.rmtree(strTg, ignore_errors=True)
                    aArgs = aSetup + (["-q"] if strKind == "quiet" else []) + [
                        "-i=" + fnWinPath(os.path.join(strBench, "files.inf" if strKind == "quiet" else "dialog.inf"))]
                    dt = fnRun(aArgs, strTg, aFiles, strWhat)
                elif strKind == "rerun":
                    aArgs = aSetup + ["-q", "-i=" + fnWinPath(os.path.join(strBench, "rerun.inf"))]
                    dt = fnRun(aArgs, strTg, aFiles, strWhat)
                else:
                    if strKind == "nsis":
                        shutil.rmtree(strNsis, ignore_errors=True)
                    dt = fnRun(aNsis, strNsis, aFiles, strWhat)
                if dt is not None:
                    runs[strKind].append(dt)
        return runs

    def fnClearBench():
        if os.path.islink(strTgBench):
            os.unlink(strTgBench)
        else:
            shutil.rmtree(strTgBench, ignore_errors=True)

    fLoadBefore = os.getloadavg()[0]
    aPlaces = []
    fnClearBench()
    aPlaces.append(("the Wine prefix's disk", fnRounds("disk")))
    # the same on a RAM disk: the file system no longer slows the making of files just after thousands were deleted
    if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK):
        strRam = tempfile.mkdtemp(prefix="tgbench-", dir="/dev/shm")
        fnClearBench()
        os.symlink(strRam, strTgBench)
        try:
            aPlaces.append(("a RAM disk (/dev/shm)", fnRounds("ram")))
        finally:
            os.unlink(strTgBench)
            shutil.rmtree(strRam, ignore_errors=True)
    fnClearBench()

    def med(runs, k, n=0):
        return statistics.median(r[n] for r in runs[k]) if runs[k] else float("nan")

    strCpu = ""
    try:
        with open("/proc/cpuinfo") as f:
            strCpu = next((l.split(":", 1)[1].strip() for l in f if l.startswith("model name")), "")
    except OSError:
        pass
    aLines = [
        "# File installation against NSIS",
        "",
        "Written by `make bench` (tools/bench-files.py): 1,000 files, %.1f MiB in %d folders; %d rounds,"
        " interleaved; medians of the runs whose end state was complete." % (
            sum(cb for _, cb in aFiles) / 1048576, N_FOLDERS, nRounds),
        "",
        "Machine: %s, %s, %d cores, load average %.1f at the start and %.1f at the end; %s; Wine %s." % (
            platform.node(), strCpu or platform.machine(), os.cpu_count() or 0, fLoadBefore, os.getloadavg()[0],
            platform.platform(), subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()),
        "",
    ]
    aRows = (("quiet", "setup32 -q, first install", "nsis", "<= 0.85"),
             ("dialog", "setup32 with the progress dialog", "nsis", ""),
             ("rerun", "setup32 -q re-run, mode V", "nsis_rerun", "<= 0.8"),
             ("nsis", "NSIS /S /NCRC", None, ""),
             ("nsis_rerun", "NSIS re-run", None, ""))
    for strPlace, runs in aPlaces:
        aLines += [
            "Installed on %s:" % strPlace,
            "",
            "| run | median (s) | runs counted | ratio to NSIS | target | program CPU (s) | wineserver CPU (s) |",
            "|---|---|---|---|---|---|---|",
        ]
        for strKind, strName, strPeer, strTarget in aRows:
            strRatio = "%.2f" % (med(runs, strKind) / med(runs, strPeer)) if strPeer else "1"
            aLines.append("| %s | %.2f | %d | %s | %s | %.2f | %.2f |" % (
                strName, med(runs, strKind), len(runs[strKind]), strRatio, strTarget, med(runs, strKind, 1),
                med(runs, strKind, 2)))
        aLines.append("")
    aLines += [
        "Every time is a whole process under Wine, start-up included. The re-run ratio is to NSIS's re-run;"
        " the run with the progress dialog is compared with the silent NSIS run. The program's CPU time is the"
        " Windows process's own; files are opened and created in the wineserver, so the kernel's work of making"
        " each new file is counted in the wineserver's.",
        "",
        "Why two places: on this disk's file system (ext4) making a file costs more the more files were deleted"
        " there in the last minutes, and the rounds delete what they make: setup32's thousand files go three times"
        " a round (two trees deleted, and the re-run replaces each file by a new one), NSIS's once (its re-run"
        " writes over its files in place). On the RAM disk that cost is gone and the times are the programs' own.",
        "",
    ]
    with open(strResults, "w") as f:
        f.write("\n".join(aLines))
    print("\n".join(aLines))


if __name__ == "__main__":
    main()
