/*
 * process/launchback_win.cpp -- "[LaunchAndBack]": starts one program, then
 * watches for a process to start or end, for a window to appear, to stay or
 * to mark the end, pauses, reads one registry value into the registry-entry
 * slots and refreshes up to ten files. The keyword lines are read by
 * process/launchback.cpp; the window search and window wait are
 * process/launchwait.h's.
 */
#include <windows.h>

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "config/regsection.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "install/copyprim.h"
#include "process/launch.h"
#include "process/launchback.h"
#include "process/launchwait.h"
#include "process/procfind.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/pathtext.h"
#include "script/textmodel.h"

static const char s_szTitle[] = "fnReadLaunchAndBack";

/* A watch limit in milliseconds; a limit past a DWORD's reach is none at all. */
static DWORD fnWatchLimitMs(UINT uSeconds)
{
    ULONGLONG ull = (ULONGLONG)uSeconds * 1000u;
    return ull >= 0xFFFFFFFFull ? 0xFFFFFFFEu : (DWORD)ull;
}

/*
 * The watch loop: every 100 ms the process, the end window and the window
 * wait are looked at; any of them can end it. TRUE when it ended for what it
 * watched, FALSE when its time-out came first.
 */
static BOOL fnWatchLaunched(const LaunchBackStruct *lpLb)
{
    WindowWaitStruct wait = {lpLb->szWaitWin, lpLb->bWaitForWin, lpLb->bWhileWin, lpLb->bWinAll, lpLb->cchWinPrefix,
                             lpLb->bKeepTrying, fnWatchLimitMs(lpLb->uWatchSeconds)};
    WindowWatchStateStruct state = {NULL, 0};
    BOOL bExecSeen = FALSE;
    DWORD dwStart = GetTickCount();
    for (;;) {
        if (wait.dwTimeoutMs && GetTickCount() - dwStart >= wait.dwTimeoutMs) {
            fnDebugLog(s_szTitle, "Time-out after %u seconds", g_uDebugLevel, lpLb->uWatchSeconds);
            return FALSE;
        }
        if (lpLb->szWaitExec[0]) {
            BOOL bRunning = lpLb->bExecFullPath ? fnTestForRunningExecPath(lpLb->szWaitExec)
                                                : fnTestForRunningExec(lpLb->szWaitExec);
            bExecSeen = bExecSeen || bRunning;
            if (bExecSeen && (lpLb->bExecEnd ? !bRunning : bRunning)) {
                fnDebugLog(s_szTitle, "WaitForExec done szWaitForExec=%s, bRunning=%d", g_uDebugLevel,
                           lpLb->szWaitExec, bRunning);
                return TRUE;
            }
        }
        if (lpLb->szExitAtWin[0] &&
            fnFindWindow(NULL, NULL, NULL, lpLb->szExitAtWin, lpLb->cchExitAtPrefix, lpLb->bExitAtAll)) {
            fnDebugLog(s_szTitle, "ExitAtWindow found szExitAtWin=%s", g_uDebugLevel, lpLb->szExitAtWin);
            return TRUE;
        }
        if ((wait.bWaitFor || wait.bWhile) && fnWatchWindowStep(&wait, &state, dwStart))
            return TRUE;
        fnWatchPause(100);
    }
}

/* The default beep between stages, unless the section or the run is quiet. */
static void fnStageBeep(const LaunchBackStruct *lpLb)
{
    if (!lpLb->bQuiet && !g_bQuiet)
        MessageBeep(MB_OK);
}

/* ReadReg: the value into g_szRegEntry and registry-entry slots 0 and 1. FALSE when not found. */
static BOOL fnReadRegEntry(const LaunchBackStruct *lpLb)
{
    char szLookup[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF] = "";
    fnCopyBounded(szLookup, sizeof(szLookup), lpLb->szRegLookup);
    HKEY hRoot = fnSplitRegKey(szLookup);
    BOOL bFound = hRoot && fnGetRegistry(hRoot, NULL, szLookup, szValue, sizeof(szValue), REGCONV_HEX);
    fnDebugLog(s_szTitle, "ReadReg szRegLookup=%s, bFound=%d, szValue=%s", g_uDebugLevel, lpLb->szRegLookup, bFound,
               bFound ? szValue : "");
    if (!bFound)
        return FALSE;
    fnRegTrimDriveSlash(szValue);
    fnCopyBounded(g_szRegEntry, sizeof(g_szRegEntry), szValue);
    fnCopyBounded(g_szRegEntrySlot[0], sizeof(g_szRegEntrySlot[0]), szValue);
    fnCopyBounded(g_szRegEntrySlot[1], sizeof(g_szRegEntrySlot[1]), szValue);
    return TRUE;
}

/* A refresh path's folder and name; a bare name (or ".") is taken from the run's source folder. */
static void fnRefreshParts(const char *lpszPath, BOOL bSource, char *lpszDir, char *lpszName)
{
    fnSplitPath(lpszPath, NULL, NULL, NULL, NULL, lpszName, lpszDir);
    if (bSource && (!lpszDir[0] || fnEqualNoCase(lpszDir, ".")))
        fnCopyBounded(lpszDir, CCH_PATH, g_szSourceDir);
}

/*
 * One refresh pair. The target goes only once the source is known to be
 * there: a missing source keeps the old target rather than leaving none.
 */
static BOOL fnRefreshPair(const char *lpszSrc, const char *lpszDst)
{
    char szSrc[CCH_FIELD_BUF], szDst[CCH_FIELD_BUF];
    fnCopyBounded(szSrc, sizeof(szSrc), lpszSrc);
    fnCopyBounded(szDst, sizeof(szDst), lpszDst);
    int nRCSrc = 0, nRCDst = 0;
    if (!fnExpandDataField(szSrc, sizeof(szSrc), s_szTitle, &nRCSrc) ||
        !fnExpandDataField(szDst, sizeof(szDst), s_szTitle, &nRCDst) || nRCSrc == EXPAND_MISSING ||
        nRCDst == EXPAND_MISSING || !szSrc[0] || !szDst[0]) {
        fnDebugLog(s_szTitle, "Refresh pair with a missing value passed over\nszSource=%s,\nszTarget=%s",
                   g_uDebugLevel, szSrc, szDst);
        return FALSE;
    }
    char szSrcDir[CCH_PATH], szSrcName[CCH_PATH], szDstDir[CCH_PATH], szDstName[CCH_PATH], szFull[CCH_PATH];
    fnRefreshParts(szSrc, TRUE, szSrcDir, szSrcName);
    fnRefreshParts(szDst, FALSE, szDstDir, szDstName);
    if (!fnJoinPath(szFull, sizeof(szFull), szSrcDir, szSrcName) || !fnIsFile(szFull)) {
        fnDebugLog(s_szTitle, "Refresh source not found, target kept\nszSource=%s,\nszTarget=%s", g_uDebugLevel,
                   szFull, szDst);
        return FALSE;
    }
    if (!DeleteFileA(szDst) && GetLastError() != ERROR_FILE_NOT_FOUND)
        fnDebugLog(s_szTitle, "Refresh could not delete %s, error %lu", g_uDebugLevel, szDst, GetLastError());
    DWORD dwRC = fnExpandFile(szSrcDir, szSrcName, szDstDir, szDstName, TRUE);
    fnDebugLog(s_szTitle, "Refresh szSource=%s,\nszTarget=%s, dwRC=%lu", g_uDebugLevel, szFull, szDst,
               (unsigned long)dwRC);
    if (dwRC != 0)
        return FALSE;
    fnWriteLog("Refresh=%s, %s", TRUE, szFull, szDst);
    return TRUE;
}

UINT fnReadLaunchAndBack(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    if (!lpszPos)
        return 1;
    static LaunchBackStruct s_lb;  /* ten refresh pairs make it too big for the stack's comfort */
    LaunchBackStruct *lpLb = &s_lb;
    fnInitLaunchBack(lpLb);
    char szLine[CCH_LINE_BUF], szOriginal[CCH_LINE_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        fnCopyBounded(szOriginal, sizeof(szOriginal), szLine);
        fnDebugLog(s_szTitle, "szLine=%s", g_uDebugLevel, szLine);
        UINT uTest = fnInfTestIfTwoFields(szLine);
        /* an end-the-section condition runs nothing, not even a program read before it */
        if (uTest == IDTEST_SKIPREST)
            return 1;
        if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
            continue;
        int nField = 0;
        int nLine = fnReadLaunchBackLine(lpLb, szLine, &nField);
        if (nLine == LBLINE_END)
            break;
        if (nLine == LBLINE_MISSING) {
            fnDebugLog(s_szTitle, "missing field %d of line %s", g_uDebugLevel, nField, szOriginal);
            if (!g_bQuiet)
                fnMessage(1044, NULL, MB_OK | MB_ICONSTOP, (unsigned)nField, szOriginal);
            return 0;
        }
    }

    BOOL bHidden = FALSE;
    if (lpLb->szExec[0]) {
        if (lpLb->bQuiet && hWnd && IsWindowVisible(hWnd)) {
            ShowWindow(hWnd, SW_HIDE);
            bHidden = TRUE;
        }
        UINT uWaitMode = !lpLb->bWait ? LAUNCH_NOWAIT : lpLb->bBlocking ? LAUNCH_WAITBLOCK : LAUNCH_WAIT;
        UINT uRC = g_lpLauncher->pfnCreateProcess(lpLb->szExec, lpLb->nShow, uWaitMode, lpLb->bPreventExit, FALSE,
                                                  lpLb->bQuiet ? LAUNCHERR_SILENT : LAUNCHERR_STOP, FALSE);
        fnDebugLog(s_szTitle, "szExec=%s, uRC=%u", g_uDebugLevel, lpLb->szExec, uRC);
        if (uRC != 1) {
            if (bHidden && !g_bQuiet)
                ShowWindow(hWnd, SW_SHOWNOACTIVATE);
            return 0;
        }
    }
    UINT uStatus = 1;
    if (fnLaunchBackWatches(lpLb) && !fnWatchLaunched(lpLb))
        uStatus = 0;  /* the time-out came before what was watched for */
    fnStageBeep(lpLb);
    if (lpLb->uPause)
        fnWatchPause(fnWatchLimitMs(lpLb->uPause) / 10u);
    if (lpLb->szRegLookup[0] && !fnReadRegEntry(lpLb))
        uStatus = 0;
    for (UINT i = 0; i < lpLb->uRefresh; i++) {
        if (i)
            fnStageBeep(lpLb);
        if (!fnRefreshPair(lpLb->aszRefreshSrc[i], lpLb->aszRefreshDst[i]))
            uStatus = 0;
    }
    if (bHidden && !g_bQuiet)
        ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    fnDebugLog(s_szTitle, "uStatus=%u", g_uDebugLevel, uStatus);
    return uStatus;
}
