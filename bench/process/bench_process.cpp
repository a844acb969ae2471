/*
 * bench/process/bench_process.cpp -- times the running-process lookups on the
 * sizes a script meets: one lookup by name, a 20-name [CheckIfRunning] list
 * with one program of it running, and closing a running program (ended and
 * waited for). Prints one Markdown table row per measurement.
 *
 *   bench_process.exe      (tgholder.exe two folders up, as the build puts it)
 */
#include <windows.h>

#include <stdio.h>

#include <string>

#include "common/runstate.h"
#include "process/procfind.h"
#include "process/runcheck.h"

#include "benchtime.h"

/* Starts a copy of tgholder.exe as lpszPath; its process handle, or NULL. */
static HANDLE fnStartHolder(const std::string &strHolder, const std::string &strPath)
{
    if (!CopyFileA(strHolder.c_str(), strPath.c_str(), FALSE))
        return NULL;
    std::string strCmd = "\"" + strPath + "\" -title=Bench";
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, &strCmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    WaitForInputIdle(pi.hProcess, 5000);
    return pi.hProcess;
}

int main()
{
    fnResetRunState();
    fnInitProcessLookup();
    char szSelf[MAX_PATH], szTemp[MAX_PATH];
    GetModuleFileNameA(NULL, szSelf, sizeof(szSelf));
    std::string strHolder = szSelf;
    for (int i = 0; i < 3; i++)
        strHolder = strHolder.substr(0, strHolder.find_last_of('\\'));
    strHolder += "\\tgholder.exe";
    GetTempPathA(sizeof(szTemp), szTemp);
    std::string strDir = std::string(szTemp) + "tgbenchproc";
    CreateDirectoryA(strDir.c_str(), NULL);
    std::string strPath = strDir + "\\BENCHED.EXE";
    HANDLE hProcess = fnStartHolder(strHolder, strPath);
    if (!hProcess) {
        printf("cannot start %s as %s\n", strHolder.c_str(), strPath.c_str());
        return 1;
    }
    printf("# Running-process lookups, timed under Wine\n\n"
           "Written by `make bench-process` (bench/process/bench_process.cpp); times are wall-clock on the\n"
           "build machine and vary with its load. Each name of a list takes one process snapshot.\n\n"
           "| measurement | size | time | note |\n|---|---|---|---|\n");

    double dStart = fnNowMs();
    int nFound = 0;
    for (int i = 0; i < 50; i++)
        nFound += fnTestForRunningExec("BENCHED.EXE") ? 1 : 0;
    fnRow("lookup by name", "1 name", (fnNowMs() - dStart) / 50, nFound == 50 ? "found, mean of 50" : "NOT FOUND");

    std::string strList;
    for (int i = 0; i < 19; i++)
        strList += "missing" + std::to_string(i) + ".exe,";
    strList += "benched.exe";
    char szFound[CCH_CHECKFOR_LIST], szMissing[CCH_CHECKFOR_LIST];
    dStart = fnNowMs();
    nFound = fnSplitRunningList(strList.c_str(), fnTestForRunningExec, szFound, sizeof(szFound), szMissing,
                                sizeof(szMissing));
    fnRow("[CheckIfRunning] list", "20 names", fnNowMs() - dStart, nFound == 1 ? "one running" : "WRONG COUNT");

    dStart = fnNowMs();
    BOOL bClosed = fnCloseRunningExec(strPath.c_str(), TRUE);
    double dClose = fnNowMs() - dStart;
    BOOL bGone = WaitForSingleObject(hProcess, 0) == WAIT_OBJECT_0;
    fnRow("close section line", "1 program", dClose, bClosed && bGone ? "ended and gone on return" : "STILL RUNNING");
    TerminateProcess(hProcess, 0);
    WaitForSingleObject(hProcess, 5000);
    CloseHandle(hProcess);
    DeleteFileA(strPath.c_str());
    RemoveDirectoryA(strDir.c_str());
    return 0;
}
