/*
 * driver/userexit.cpp -- closing the run after the section walk: the success
 * or failure message, the exit program, the restart or shutdown and its
 * questions, and the exit code. The system's end of the session is reached
 * through g_lpProcessSys so tests never end theirs.
 */
#include "driver/userexit.h"

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "process/launch.h"
#include "process/procsys.h"
#include "ui/placement.h"
#include "ui/waitwindow.h"

BOOL g_bRunFailed;
BOOL g_bRunCancelled;
RunEndStruct g_runEnd;

void fnResetRunEnd(void)
{
    ZeroMemory(&g_runEnd, sizeof(g_runEnd));
    g_runEnd.uEndStatus = SECT_CONTINUE;
}

int fnRunExitCode(void)
{
    RunEndStruct end = g_runEnd;
    end.bFailed = end.bFailed || g_bRunFailed;
    end.bCancelled = end.bCancelled || g_bRunCancelled || g_bUserChoseExit;
    end.bStoppedByRule = end.bStoppedByRule || g_bStoppedByRule;
    end.bRestartNeeded = end.bRestartNeeded || g_bRestartNeeded;
    return fnChooseExitCode(&end);
}

/* Turns on SeShutdownPrivilege in this process's token; logs and goes on when it cannot. */
static void fnEnableShutdownPrivilege(void)
{
    HANDLE hToken = NULL;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken)) {
        fnDebugLog("fnExitWindows", "OpenProcessToken failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
        return;
    }
    TOKEN_PRIVILEGES tp;
    ZeroMemory(&tp, sizeof(tp));
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &tp.Privileges[0].Luid)) {
        fnDebugLog("fnExitWindows", "LookupPrivilegeValue failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
    } else {
        /* succeeds with ERROR_NOT_ALL_ASSIGNED when the account lacks the privilege */
        AdjustTokenPrivileges(hToken, FALSE, &tp, 0, NULL, NULL);
        DWORD dwError = GetLastError();
        if (dwError != ERROR_SUCCESS)
            fnDebugLog("fnExitWindows", "AdjustTokenPrivileges, dwError=%lu", g_uDebugLevel, (unsigned long)dwError);
    }
    CloseHandle(hToken);
}

BOOL fnExitWindows(UINT uMode)
{
    fnEnableShutdownPrivilege();
    UINT uFlags = uMode == 1 ? EWX_SHUTDOWN : EWX_REBOOT;
    DWORD dwReason = SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED;
    BOOL bOk = g_lpProcessSys->pfnExitWindowsEx(uFlags, dwReason);
    DWORD dwError = bOk ? 0 : GetLastError();
    fnDebugLog("fnExitWindows", "uMode=%u, uFlags=%u, dwReason=%lu, bOk=%d, dwError=%lu", g_uDebugLevel, uMode, uFlags,
               (unsigned long)dwReason, bOk, (unsigned long)dwError);
    if (bOk)
        g_runEnd.bRestartStarted = TRUE;
    return bOk;
}

/* A yes/no question of the close; TRUE for yes. */
static BOOL fnAskYes(UINT uId)
{
    return fnMessage(uId, NULL, MB_YESNO | MB_ICONINFORMATION | MB_SETFOREGROUND) == IDYES;
}

/* The closing message box. */
static void fnShowClosing(HWND hWnd, const UserInputStruct *lpUserInput)
{
    MessageBoxA(hWnd, lpUserInput->szExitMsg, g_szMsgTitle, MB_OK | MB_ICONINFORMATION | MB_TASKMODAL | MB_SETFOREGROUND);
}

/* A restart the run asked for but did not make: the exit code says so. */
static void fnRestartNotMade(const char *lpszWhy)
{
    g_runEnd.bRestartNeeded = TRUE;
    fnDebugLog("fnUserExit", "restart needed, not made: %s", g_uDebugLevel, lpszWhy);
}

/*
 * The session end of uMode (1 shut down, 2 restart): requested, and when the
 * request is refused (a program would not close), asked again with
 * uQuestion once. A quiet run asks nothing. TRUE when a request was accepted.
 */
static BOOL fnEndSessionStep(UINT uMode, UINT uQuestion)
{
    if (fnExitWindows(uMode))
        return TRUE;
    if (!g_bQuiet && fnAskYes(uQuestion) && fnExitWindows(uMode))
        return TRUE;
    fnRestartNotMade("the request was refused");
    return FALSE;
}

/* An exit action's question before its restart or shutdown; a quiet run does not ask and does not restart. */
static BOOL fnAskFirst(UINT uId, const char *lpszText)
{
    if (g_bQuiet) {
        fnRestartNotMade("quiet run");
        return FALSE;
    }
    BOOL bYes = lpszText ? MessageBoxA(NULL, lpszText, g_szMsgTitle,
                                       MB_YESNO | MB_ICONINFORMATION | MB_TASKMODAL | MB_SETFOREGROUND) == IDYES
                         : fnAskYes(uId);
    if (!bYes)
        fnRestartNotMade("the user said no");
    return bYes;
}

/* Starts the exit program without waiting; FALSE (after telling the user) when it does not start. */
static BOOL fnStartExitProgram(HWND hWnd, UserInputStruct *lpUserInput)
{
    HWND hWndSplash = NULL;
    if (g_uShowVSWin == 0 && g_bQuiet)
        hWndSplash = fnShowWaitWindow(hWnd, 1156, WAIT_HEIGHT_SMALL, PLACE_BOTTOMLEFT, 0, lpUserInput->szExitExec);
    UINT uRC = g_lpLauncher->pfnCreateProcess(lpUserInput->szExitExec, SW_SHOWNORMAL, LAUNCH_NOWAIT, FALSE, FALSE,
                                              LAUNCHERR_SILENT, TRUE);
    fnDebugLog("fnUserExit", "exit program %s, uRC=%u", g_uDebugLevel, lpUserInput->szExitExec, uRC);
    if (uRC != 1) {
        if (!g_bQuiet)
            fnMessage(1231, NULL, MB_OK | MB_ICONSTOP | MB_SETFOREGROUND, lpUserInput->szExitExec);
        lpUserInput->uQuiet = 0;
    }
    if (hWndSplash) {
        Sleep(100);
        if (IsWindow(hWndSplash))
            DestroyWindow(hWndSplash);
    }
    return uRC == 1;
}

int fnUserExit(HWND hWnd, UserInputStruct *lpUserInput)
{
    fnDebugLog("fnUserExit",
               "g_bSelfDestruct=%d, g_uOnExit=%u,\nlpUserInputStruct->uQuiet=%u,\nlpUserInputStruct->szExitMsg=%s\n"
               "lpUserInputStruct->szExitExec=%s",
               g_uDebugLevel, g_bSelfDestruct, g_uOnExit, lpUserInput->uQuiet, lpUserInput->szExitMsg,
               lpUserInput->szExitExec);
    if (hWnd)
        SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    fnProcessMessages();

    if (!lpUserInput->szExitMsg[0])
        fnLoadStr(1059, lpUserInput->szExitMsg, sizeof(lpUserInput->szExitMsg));
    if (lpUserInput->uFailed) {
        if (lpUserInput->szErrorMsg[0])
            fnCopyBounded(lpUserInput->szExitMsg, sizeof(lpUserInput->szExitMsg), lpUserInput->szErrorMsg);
        else
            fnLoadStr(1061, lpUserInput->szExitMsg, sizeof(lpUserInput->szExitMsg));
    }
    /* a run the user or a rule ended does not go on to launch the product */
    BOOL bRunEnded = lpUserInput->uFailed || g_runEnd.uEndStatus == SECT_USEREXIT ||
                     g_runEnd.uEndStatus == SECT_CANCELLED;
    UINT uOnExit = g_uOnExit;

    if ((uOnExit == 2 || uOnExit == 7) && lpUserInput->szExitExec[0]) {
        if (bRunEnded)
            fnDebugLog("fnUserExit", "run ended early: exit program %s not started", g_uDebugLevel,
                       lpUserInput->szExitExec);
        else
            fnStartExitProgram(hWnd, lpUserInput);
    }
    /* the failure box shows once: as the closing message, or for a quiet run with ShowErrorMessage */
    if (lpUserInput->uQuiet == 1)
        fnShowClosing(hWnd, lpUserInput);
    else if (g_bShowErrorMessage && lpUserInput->uFailed)
        fnShowClosing(hWnd, lpUserInput);

    /* once a request was accepted the session is ending: nothing more is asked */
    if (g_bMustRestartAtExit && fnEndSessionStep(2, 1195))
        uOnExit = 0;
    switch (uOnExit) {
    case 4:
        if (!g_bShowMustRestartMessage) {
            fnRestartNotMade("ShowMustRestartMessage is off");
            break;
        }
        if (fnAskFirst(1190, NULL))
            fnEndSessionStep(2, 1195);
        break;
    case 5:
        if (fnAskFirst(1194, NULL))
            fnEndSessionStep(2, 1195);
        break;
    case 3:
        if (fnAskFirst(1190, NULL))
            fnEndSessionStep(2, 1191);
        break;
    case 6:
        if (fnAskFirst(1190, lpUserInput->szRestartMsg[0] ? lpUserInput->szRestartMsg : NULL))
            fnEndSessionStep(2, 1191);
        break;
    case 1:
        if (fnAskFirst(1192, NULL))
            fnEndSessionStep(1, 1193);
        break;
    }
    if (hWnd)
        SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    fnProcessMessages();
    return 1;
}
