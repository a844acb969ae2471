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
ratios to NSIS go to the results file, with the machine's load before and after.
"""
import os
import platform
import random
import shutil
import statistics
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


def fnRun(aArgs, strDir, aFiles, strWhat):
    t0 = time.perf_counter()
    proc = subprocess.run(aArgs, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    dt = time.perf_counter() - t0
    strFault = fnCheckTree(strDir, aFiles)
    if proc.returncode != 0 or strFault:
        print("%s: not counted (exit %d, %s)" % (strWhat, proc.returncode, strFault or "tree complete"),
              file=sys.stderr)
        return None
    print("%s: %.2f s" % (strWhat, dt), file=sys.stderr)
    return dt


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
    times = {k: [] for k in aKinds}
    fLoadBefore = os.getloadavg()[0]
    for nRound in range(nRounds):
        for strKind in aKinds:
            if strKind in ("quiet", "dialog"):
                shutil.rmtree(strTg, ignore_errors=True)
                aArgs = aSetup + (["-q"] if strKind == "quiet" else []) + [
                    "-i=" + fnWinPath(os.path.join(strBench, "files.inf" if strKind == "quiet" else "dialog.inf"))]
                dt = fnRun(aArgs, strTg, aFiles, "%d %s" % (nRound, strKind))
            elif strKind == "rerun":
                aArgs = aSetup + ["-q", "-i=" + fnWinPath(os.path.join(strBench, "rerun.inf"))]
                dt = fnRun(aArgs, strTg, aFiles, "%d %s" % (nRound, strKind))
            else:
                if strKind == "nsis":
                    shutil.rmtree(strNsis, ignore_errors=True)
                dt = fnRun(aNsis, strNsis, aFiles, "%d %s" % (nRound, strKind))
            if dt is not None:
                times[strKind].append(dt)

    def med(k):
        return statistics.median(times[k]) if times[k] else float("nan")

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
        "| run | median (s) | runs counted | ratio to NSIS | target |",
        "|---|---|---|---|---|",
        "| setup32 -q, first install | %.2f | %d | %.2f | <= 0.85 |" % (med("quiet"), len(times["quiet"]),
                                                                        med("quiet") / med("nsis")),
        "| setup32 with the progress dialog | %.2f | %d | %.2f | |" % (med("dialog"), len(times["dialog"]),
                                                                       med("dialog") / med("nsis")),
        "| setup32 -q re-run, mode V | %.2f | %d | %.2f | <= 0.8 |" % (med("rerun"), len(times["rerun"]),
                                                                      med("rerun") / med("nsis_rerun")),
        "| NSIS /S /NCRC | %.2f | %d | 1 | |" % (med("nsis"), len(times["nsis"])),
        "| NSIS re-run | %.2f | %d | 1 | |" % (med("nsis_rerun"), len(times["nsis_rerun"])),
        "",
        "Every time is a whole process under Wine, start-up included. The re-run ratio is to NSIS's re-run;"
        " the run with the progress dialog is compared with the silent NSIS run.",
        "",
    ]
    with open(strResults, "w") as f:
        f.write("\n".join(aLines))
    print("\n".join(aLines))


if __name__ == "__main__":
    main()
