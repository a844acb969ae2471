/*
 * process/launch.cpp -- starting programs and waiting for them. The directory
 * search and the quoting of program paths come from launchtext.cpp; the
 * logon launcher is reached through g_lpProcessSys so tests never log on.
 */
#include "process/launch.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "process/launchtext.h"
#include "process/procfind.h"
#include "process/procsys.h"

/* The longest command line the logon launcher converts, in characters. */
#define CCH_LOGON_CMD 520
#define CCH_LOGON_NAME 260
/* A command line of the directory search, quotes added. */
#define CCH_RUN_CMD (CCH_LINE_BUF + 2)

static BOOL fnIsPlainFile(const char *lpszPath)
{
    DWORD dwAttr = GetFileAttributesA(lpszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

/*
 * The command line of one attempt of the directory search, its program path
 * quoted when it holds blanks. FALSE when the attempt has no text.
 */
static BOOL fnAttemptText(const char *lpszCmd, int nAttempt, char *lpszRun, size_t cchRun, char *lpszPlain,
                          size_t cchPlain)
{
    char szCurDir[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof(szCurDir), szCurDir);
    if (n == 0 || n >= sizeof(szCurDir))
        szCurDir[0] = '\0';
    if (!fnLaunchAttempt(lpszCmd, nAttempt, szCurDir, g_szHomeDir, g_szWinDir, lpszPlain, cchPlain))
        return FALSE;
    return fnQuoteProgramPath(lpszPlain, fnIsPlainFile, lpszRun, cchRun);
}

/* Shows a launch message unless the run is quiet; a quiet run takes the default answer (Yes, OK). */
static int fnLaunchMessage(UINT uId, UINT uFlags, const char *lpszCmd, DWORD dwError, const char *lpszSuffix)
{
    if (g_bQuiet) {
        fnDebugLog("fnLaunchError", "Quiet run: message %u not shown, szExec=%s, dwError=%lu", g_uDebugLevel, uId,
                   lpszCmd, (unsigned long)dwError);
        return (uFlags & MB_YESNO) ? IDYES : IDOK;
    }
    return fnMessage(uId, NULL, uFlags, lpszCmd, (unsigned long)dwError, lpszSuffix);
}

/* Tells the user about a start that failed with dwError, by the error mode; the launch result. */
static UINT fnReportLaunchFailure(UINT uId, BOOL bSerious, const char *lpszCmd, DWORD dwError, UINT uErrorMsg)
{
    switch (uErrorMsg) {
    case LAUNCHERR_ASK:
        return fnLaunchMessage(uId, MB_YESNO | MB_ICONINFORMATION, lpszCmd, dwError,
                               "\nContinue with installation?") == IDNO ? 7 : 0;
    case LAUNCHERR_STOP:
        if (bSerious) {
            fnLaunchMessage(uId, MB_OK | MB_ICONSTOP, lpszCmd, dwError, "\nCannot continue with installation.");
            return 2;
        }
        fnLaunchMessage(uId, MB_OK | MB_ICONINFORMATION, lpszCmd, dwError, "");
        return 0;
    case LAUNCHERR_REPORT:
        fnLaunchMessage(uId, MB_OK | MB_ICONINFORMATION, lpszCmd, dwError, "");
        return 0;
    }
    return 0;
}

/* fnShellExec, also handing back the error of the last failed open. */
static UINT fnShellExecError(const char *lpszFile, int nShow, UINT uErrorMsg, DWORD *lpdwError)
{
    fnDebugLog("fnShellExec", "szFile=%s, nShowWin=%d, uErrorMsg=%u", g_uDebugLevel, lpszFile, nShow, uErrorMsg);
    *lpdwError = 0;
    for (int nTry = 1; nTry <= LAUNCH_ATTEMPTS; nTry++) {
        char szCurDir[MAX_PATH], szTry[CCH_LINE_BUF];
        DWORD n = GetCurrentDirectoryA(sizeof(szCurDir), szCurDir);
        if (n == 0 || n >= sizeof(szCurDir))
            szCurDir[0] = '\0';
        if (!fnLaunchAttempt(lpszFile, nTry, szCurDir, g_szHomeDir, g_szWinDir, szTry, sizeof(szTry)))
            continue;
        fnDebugLog("fnShellExec", "Try (%d) with %s", g_uDebugLevel, nTry, szTry);
        SetLastError(0);
        INT_PTR nResult = (INT_PTR)ShellExecuteA(NULL, "open", szTry, NULL, NULL, nShow);
        if (nResult > 32)
            return 1;
        DWORD dwError = GetLastError();
        *lpdwError = dwError ? dwError : (DWORD)nResult;
        fnDebugLog("fnShellExec", "ShellExecute failed, nResult=%ld, dwError=%lu", g_uDebugLevel, (long)nResult,
                   (unsigned long)*lpdwError);
        if (nTry == 1 && fnLaunchNamesDrive(szTry))
            return 0;
    }
    switch (uErrorMsg) {
    case LAUNCHERR_ASK:
        return fnLaunchMessage(1232, MB_YESNO | MB_ICONINFORMATION, lpszFile, *lpdwError,
                               "\nContinue with installation?") == IDNO ? 7 : 0;
    case LAUNCHERR_STOP:
        fnLaunchMessage(1232, MB_OK | MB_ICONSTOP, lpszFile, *lpdwError, "\nCannot continue with installation.");
        return 2;
    case LAUNCHERR_REPORT:
        fnLaunchMessage(1232, MB_OK | MB_ICONINFORMATION, lpszFile, *lpdwError, "");
        return 0;
    }
    return 0;
}

UINT fnShellExec(const char *lpszFile, int nShow, UINT uErrorMsg)
{
    DWORD dwError;
    return fnShellExecError(lpszFile, nShow, uErrorMsg, &dwError);
}

UINT fnLaunchError(const char *lpszCmd, int nShow, UINT uErrorMsg)
{
    DWORD dwError = 0;
    if (fnShellExecError(lpszCmd, nShow, LAUNCHERR_SILENT, &dwError) == 1)
        return 1;
    if (g_bExitOnExecError) {
        fnDebugLog("fnLaunchError", "ExitOnExecError, szExec=%s, dwError=%lu", g_uDebugLevel, lpszCmd,
                   (unsigned long)dwError);
        return 2;
    }
    return fnReportLaunchFailure(fnLaunchErrorMessageId(dwError), fnIsSeriousLaunchError(dwError), lpszCmd, dwError,
                                 uErrorMsg);
}

/*
 * Waits for a started program, dispatching messages (wait mode 1) or blocked
 * (mode 2). A quit message ends the wait (and is posted again for the main
 * loop); a posted end-of-session query is dropped while the prevent-exit flag
 * is set and ends the wait otherwise. 1, or 7 when the wait was ended.
 */
static UINT fnWaitForProcess(HANDLE hProcess, UINT uWaitMode)
{
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage((int)msg.wParam);
                fnDebugLog("fnCreateProcess", "WM_QUIT while waiting", g_uDebugLevel);
                return 7;
            }
            if (msg.message == WM_QUERYENDSESSION) {
                if (g_bPreventExit) {
                    fnDebugLog("fnCreateProcess", "WM_QUERYENDSESSION refused while waiting", g_uDebugLevel);
                    continue;
                }
                DispatchMessageA(&msg);
                return 7;
            }
            DispatchMessageA(&msg);
        }
        DWORD dwResult;
        if (uWaitMode == LAUNCH_WAITBLOCK)
            dwResult = WaitForSingleObject(hProcess, INFINITE);
        else
            dwResult = MsgWaitForMultipleObjects(1, &hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (dwResult == WAIT_OBJECT_0)
            return 1;
        if (uWaitMode != LAUNCH_WAITBLOCK && dwResult == WAIT_OBJECT_0 + 1)
            continue;
        fnDebugLog("fnCreateProcess", "Wait ended, dwResult=%lu, dwError=%lu", g_uDebugLevel, (unsigned long)dwResult,
                   (unsigned long)GetLastError());
        return 1;
    }
}

UINT fnCreateProcess(const char *lpszCmd, int nShow, UINT uWaitMode, BOOL bPreventExit, BOOL bNoWindow,
                     UINT uErrorMsg, BOOL bInherit)
{
    fnDebugLog("fnCreateProcess", "szExec=%s, nShowWin=%d, bWait=%u, bPreventExit=%d, bNoWindow=%d, uErrorMsg=%u",
               g_uDebugLevel, lpszCmd, nShow, uWaitMode, bPreventExit, bNoWindow, uErrorMsg);
    BOOL bPrevious = g_bPreventExit;
    g_bPreventExit = bPreventExit;
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = (WORD)nShow;
    SECURITY_ATTRIBUTES sa = {sizeof(SECURITY_ATTRIBUTES), NULL, TRUE};
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    BOOL bStarted = FALSE;
    for (int nTry = 1; nTry <= LAUNCH_ATTEMPTS && !bStarted; nTry++) {
        char szRun[CCH_RUN_CMD], szPlain[CCH_LINE_BUF];
        if (!fnAttemptText(lpszCmd, nTry, szRun, sizeof(szRun), szPlain, sizeof(szPlain)))
            continue;
        fnDebugLog("fnCreateProcess", "Try (%d) with %s", g_uDebugLevel, nTry, szRun);
        bStarted = CreateProcessA(NULL, szRun, bInherit ? &sa : NULL, bInherit ? &sa : NULL, bInherit,
                                  bNoWindow ? CREATE_NO_WINDOW : 0, NULL, NULL, &si, &pi);
        if (bStarted)
            break;
        DWORD dwError = GetLastError();
        fnDebugLog("fnCreateProcess", "Could not create process for szExec=%s\ndwError=%lu", g_uDebugLevel, szRun,
                   (unsigned long)dwError);
        if (nTry == 1 && fnLaunchNamesDrive(szPlain))
            break;
    }
    if (!bStarted) {
        UINT uResult = fnLaunchError(lpszCmd, nShow, uErrorMsg);
        g_bPreventExit = bPrevious;
        return uResult;
    }
    CloseHandle(pi.hThread);
    UINT uResult = 1;
    if (uWaitMode != LAUNCH_NOWAIT)
        uResult = fnWaitForProcess(pi.hProcess, uWaitMode);
    CloseHandle(pi.hProcess);
    g_bPreventExit = bPrevious;
    fnDebugLog("fnCreateProcess", "uRC=%u", g_uDebugLevel, uResult);
    return uResult;
}

BOOL fnExecCmd(const char *lpszCmd, int nShow, UINT uWait, BOOL bPreventExit, UINT uErrorMsg)
{
    return fnCreateProcess(lpszCmd, nShow, uWait ? LAUNCH_WAIT : LAUNCH_NOWAIT, bPreventExit, FALSE, uErrorMsg,
                           TRUE) == 1;
}

BOOL fnExecCmdMode(const char *lpszCmd, int nShow, UINT uWaitMode, BOOL bPreventExit, UINT uErrorMsg)
{
    return fnCreateProcess(lpszCmd, nShow, uWaitMode, bPreventExit, FALSE, uErrorMsg, TRUE) == 1;
}

/* At most cchMax characters of lpszText as UTF-16 (ANSI code page), always terminated. */
static BOOL fnToWide(const char *lpszText, size_t cchMax, WCHAR *lpszWide, int cchWide)
{
    size_t cch = lpszText ? strlen(lpszText) : 0;
    if (cch > cchMax)
        cch = cchMax;
    lpszWide[0] = L'\0';
    if (cch == 0)
        return TRUE;
    int n = MultiByteToWideChar(CP_ACP, 0, lpszText, (int)cch, lpszWide, cchWide - 1);
    if (n <= 0)
        return FALSE;
    lpszWide[n] = L'\0';
    return TRUE;
}

UINT fnCreateProcessWithLogon(const char *lpszUser, const char *lpszDomain, const char *lpszPassword,
                              const char *lpszCmd, int nShow, BOOL bWait, BOOL bPreventExit, BOOL bNoWindow,
                              BOOL bNetOnly, UINT uErrorMsg)
{
    /* the password is never written to any log */
    fnDebugLog("fnCreateProcessWithLogon", "szUser=%s, szDomain=%s, szExec=%s, nShowWin=%d, bWait=%d, bNetOnly=%d",
               g_uDebugLevel, lpszUser, lpszDomain, lpszCmd, nShow, bWait, bNetOnly);
    HMODULE hLoaded = NULL;
    CreateProcessWithLogonWProc pfnLogon = g_lpProcessSys->pfnFindLogon(&hLoaded);
    if (!pfnLogon) {
        if (hLoaded)
            FreeLibrary(hLoaded);
        return 0;
    }
    WCHAR szUser[CCH_LOGON_NAME + 1], szDomain[CCH_LOGON_NAME + 1], szPassword[CCH_LOGON_NAME + 1];
    BOOL bNames = fnToWide(lpszUser, CCH_LOGON_NAME, szUser, CCH_LOGON_NAME + 1) &&
                  fnToWide(lpszDomain, CCH_LOGON_NAME, szDomain, CCH_LOGON_NAME + 1) &&
                  fnToWide(lpszPassword, CCH_LOGON_NAME, szPassword, CCH_LOGON_NAME + 1);
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = (WORD)nShow;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    DWORD dwLogonFlags = bNetOnly ? LOGON_NETCREDENTIALS_ONLY : 0;
    DWORD dwCreation = CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_DEFAULT_ERROR_MODE;
    BOOL bPrevious = g_bPreventExit;
    g_bPreventExit = bPreventExit;
    BOOL bStarted = FALSE;
    DWORD dwError = bNames ? 0 : ERROR_NO_UNICODE_TRANSLATION;
    for (int nTry = 1; bNames && nTry <= LAUNCH_ATTEMPTS && !bStarted; nTry++) {
        char szRun[CCH_RUN_CMD], szPlain[CCH_LINE_BUF];
        WCHAR szWideCmd[CCH_LOGON_CMD + 1];
        if (!fnAttemptText(lpszCmd, nTry, szRun, sizeof(szRun), szPlain, sizeof(szPlain)))
            continue;
        if (strlen(szRun) > CCH_LOGON_CMD || !fnToWide(szRun, CCH_LOGON_CMD, szWideCmd, CCH_LOGON_CMD + 1)) {
            /* a cut command line would name another program */
            dwError = ERROR_FILENAME_EXCED_RANGE;
            continue;
        }
        fnDebugLog("fnCreateProcessWithLogon", "Retry %d, Exec %s", g_uDebugLevel, nTry, szRun);
        SetLastError(0);
        bStarted = pfnLogon(szUser, szDomain, szPassword, dwLogonFlags, NULL, szWideCmd, dwCreation, NULL, NULL, &si,
                            &pi);
        if (bStarted)
            break;
        /* a logon stub may fail without saying why */
        dwError = GetLastError();
        if (dwError == 0)
            dwError = ERROR_CALL_NOT_IMPLEMENTED;
        fnDebugLog("fnCreateProcessWithLogon", "Could not create process for szExec=%s\ndwError=%lu", g_uDebugLevel,
                   szRun, (unsigned long)dwError);
        /* each try is a logon that lockout policies count: only a missing program moves on */
        if ((dwError != ERROR_FILE_NOT_FOUND && dwError != ERROR_PATH_NOT_FOUND) ||
            (nTry == 1 && fnLaunchNamesDrive(szPlain)))
            break;
    }
    SecureZeroMemory(szPassword, sizeof(szPassword));
    if (hLoaded)
        FreeLibrary(hLoaded);
    UINT uResult;
    if (!bStarted) {
        /* never the shell fallback: it would start the program under the current account */
        if (g_bExitOnExecError)
            uResult = 2;
        else
            uResult = fnReportLaunchFailure(fnLaunchErrorMessageId(dwError), fnIsSeriousLaunchError(dwError), lpszCmd,
                                            dwError, uErrorMsg);
    } else {
        CloseHandle(pi.hThread);
        uResult = bWait ? fnWaitForProcess(pi.hProcess, LAUNCH_WAIT) : 1;
        CloseHandle(pi.hProcess);
    }
    g_bPreventExit = bPrevious;
    fnDebugLog("fnCreateProcessWithLogon", "uRC=%u", g_uDebugLevel, uResult);
    return uResult;
}

/* Waits while a process of this name runs, once a second, the windows kept responsive. 1, or 7 on a quit. */
static UINT fnWaitWhileRunning(const char *lpszName, BOOL bPreventExit)
{
    /* a launcher that leaves the real installer behind is still being waited for */
    BOOL bPrevious = g_bPreventExit;
    g_bPreventExit = bPreventExit;
    UINT uResult = 1;
    fnDebugLog("fnExecProgram", "Also check for %s", g_uDebugLevel, lpszName);
    while (fnTestForRunningExec(lpszName)) {
        BOOL bQuit = FALSE;
        fnWaitWithMessages(NULL, 1000, &bQuit);
        if (bQuit) {
            uResult = 7;
            break;
        }
    }
    g_bPreventExit = bPrevious;
    return uResult;
}

static void fnStatusWindowOrder(HWND hWndStatus, HWND hWndAfter)
{
    if (hWndStatus && IsWindow(hWndStatus))
        SetWindowPos(hWndStatus, hWndAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

UINT fnExecProgram(HWND hWndStatus, const char *lpszCmd, const char *lpszAlsoCheck, int nShow, BOOL bWait,
                   BOOL bPreventExit, BOOL bShowErrors, BOOL bNoWindow)
{
    fnProcessMessages();
    fnStatusWindowOrder(hWndStatus, HWND_NOTOPMOST);
    UINT uResult = fnCreateProcess(lpszCmd, nShow, bWait ? LAUNCH_WAIT : LAUNCH_NOWAIT, bPreventExit, bNoWindow,
                                   bShowErrors ? LAUNCHERR_STOP : LAUNCHERR_SILENT, TRUE);
    if (uResult == 1 && lpszAlsoCheck && lpszAlsoCheck[0])
        uResult = fnWaitWhileRunning(lpszAlsoCheck, bPreventExit);
    fnStatusWindowOrder(hWndStatus, HWND_TOPMOST);
    return uResult;
}

UINT fnExecProgramTop(HWND hWndStatus, const char *lpszCmd, const char *lpszAlsoCheck, int nShow, BOOL bWait,
                      BOOL bPreventExit, BOOL bShowErrors, BOOL bNoWindow)
{
    fnProcessMessages();
    return fnCreateProcess(lpszCmd, nShow, bWait ? LAUNCH_WAIT : LAUNCH_NOWAIT, bPreventExit, bNoWindow,
                           bShowErrors ? LAUNCHERR_STOP : LAUNCHERR_SILENT, TRUE);
}

UINT fnExecProgramAs(HWND hWndStatus, const char *lpszUser, const char *lpszDomain, const char *lpszPassword,
                     const char *lpszCmd, const char *lpszAlsoCheck, int nShow, BOOL bWait, BOOL bPreventExit,
                     BOOL bShowErrors, BOOL bNoWindow, BOOL bNetOnly)
{
    fnProcessMessages();
    fnStatusWindowOrder(hWndStatus, HWND_NOTOPMOST);
    UINT uResult = fnCreateProcessWithLogon(lpszUser, lpszDomain, lpszPassword, lpszCmd, nShow, bWait, bPreventExit,
                                            bNoWindow, bNetOnly, bShowErrors ? LAUNCHERR_STOP : LAUNCHERR_SILENT);
    fnStatusWindowOrder(hWndStatus, HWND_TOPMOST);
    return uResult;
}

const LauncherStruct g_realLauncher = {fnCreateProcess, fnExecProgram, fnExecProgramTop,
                                       fnExecProgramAs, fnLaunchError,  fnShellExec};
const LauncherStruct *g_lpLauncher = &g_realLauncher;
