/*
 * process/launchwait.cpp -- the window search and the window wait shared by
 * "[LaunchAndBack]" and the command sections.
 */
#include "process/launchwait.h"

#include <string.h>

#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/winstate.h"
#include "process/procfind.h"
#include "process/winmatch.h"

DWORD g_dwWindowRetryMs = 1000;

struct EnumAdapterStruct {
    WindowVisitProc pfnVisit;
    void *lpContext;
};

static BOOL CALLBACK fnEnumAdapter(HWND hWnd, LPARAM lParam)
{
    EnumAdapterStruct *lpAdapter = (EnumAdapterStruct *)lParam;
    return lpAdapter->pfnVisit(hWnd, lpAdapter->lpContext);
}

static void fnEnumTop(WindowVisitProc pfnVisit, void *lpContext)
{
    EnumAdapterStruct adapter = {pfnVisit, lpContext};
    EnumWindows(fnEnumAdapter, (LPARAM)&adapter);
}

static void fnEnumChildren(void *hParent, WindowVisitProc pfnVisit, void *lpContext)
{
    EnumAdapterStruct adapter = {pfnVisit, lpContext};
    EnumChildWindows((HWND)hParent, fnEnumAdapter, (LPARAM)&adapter);
}

static BOOL fnGetText(void *hWnd, char *lpszText, size_t cchText)
{
    DWORD_PTR dwResult = 0;
    lpszText[0] = '\0';
    /* another program's window that does not answer costs at most a second, never the wait */
    if (!SendMessageTimeoutA((HWND)hWnd, WM_GETTEXT, cchText, (LPARAM)lpszText, SMTO_ABORTIFHUNG, 1000, &dwResult))
        return FALSE;
    lpszText[cchText - 1] = '\0';
    return TRUE;
}

HWND fnFindWindowText(const char *lpszTitle, size_t cchPrefix, HWND hSkip)
{
    WindowWalkStruct walk = {fnEnumTop, fnEnumChildren, fnGetText, hSkip};
    return (HWND)fnFindWindowTextIn(&walk, lpszTitle, cchPrefix);
}

HWND fnFindWindow(HWND hParent, HWND hChildAfter, const char *lpszClass, const char *lpszTitle, size_t cchPrefix,
                  BOOL bAllWindows)
{
    if (!lpszTitle || !lpszTitle[0])
        return NULL;
    if (!bAllWindows)
        return FindWindowExA(hParent, hChildAfter, lpszClass, lpszTitle);
    return fnFindWindowText(lpszTitle, cchPrefix);
}

void fnWatchPause(DWORD dwMs)
{
    fnProcessMessages();
    Sleep(dwMs);
    fnProcessMessages();
}

static HWND fnFindWatched(const WindowWaitStruct *lpWait)
{
    fnDebugLog("fnWatchWindow", "Find szWaitForWin=%s, All=%d", g_uDebugLevel, lpWait->lpszTitle, lpWait->bAllWindows);
    return fnFindWindow(NULL, NULL, NULL, lpWait->lpszTitle, lpWait->cchPrefix, lpWait->bAllWindows);
}

static BOOL fnTimeUp(const WindowWaitStruct *lpWait, DWORD dwStart)
{
    return lpWait->dwTimeoutMs && GetTickCount() - dwStart >= lpWait->dwTimeoutMs;
}

BOOL fnWatchWindowStep(const WindowWaitStruct *lpWait, WindowWatchStateStruct *lpState, DWORD dwStart)
{
    if (!lpState->hWndOpen) {
        HWND h = fnFindWatched(lpWait);
        if (h) {
            lpState->hWndOpen = h;
            lpState->dwPID = 0;
            GetWindowThreadProcessId(h, &lpState->dwPID);
            return lpWait->bWaitFor;
        }
        fnDebugLog("fnWatchWindow", "Window not found szWaitForWin=%s", g_uDebugLevel, lpWait->lpszTitle);
        return lpWait->bWhile && !lpWait->bKeepTrying;
    }
    BOOL bRunning = lpState->dwPID ? fnFindPID(lpState->dwPID) : IsWindow(lpState->hWndOpen);
    if (bRunning)
        return FALSE;
    fnDebugLog("fnWatchWindow", "Window no longer running szWaitForWin=%s,\nhWndOpen=%llu, dwPID=%lu", g_uDebugLevel,
               lpWait->lpszTitle, (unsigned long long)(ULONG_PTR)lpState->hWndOpen, (unsigned long)lpState->dwPID);
    HWND h = fnFindWatched(lpWait);
    /* the same title may come back from a following program: ten more looks in while mode */
    for (int nRetry = 1; !h && lpWait->bWhile && nRetry <= 10; nRetry++) {
        if (fnTimeUp(lpWait, dwStart))
            break;
        fnDebugLog("fnWatchWindow", "Try again FindWindow szWaitForWin=%s,\nnRetry=%d", g_uDebugLevel,
                   lpWait->lpszTitle, nRetry);
        fnWatchPause(g_dwWindowRetryMs);
        h = fnFindWatched(lpWait);
    }
    if (!h) {
        lpState->hWndOpen = NULL;
        lpState->dwPID = 0;
        if (!lpWait->bWhile)
            return FALSE;
        fnDebugLog("fnWatchWindow", "Exit bRunning loop", g_uDebugLevel);
        return TRUE;
    }
    lpState->hWndOpen = h;
    lpState->dwPID = 0;
    GetWindowThreadProcessId(h, &lpState->dwPID);
    return FALSE;
}

BOOL fnWatchWindow(const WindowWaitStruct *lpWait)
{
    if (!lpWait->bWaitFor && !lpWait->bWhile)
        return FALSE;
    WindowWatchStateStruct state = {NULL, 0};
    DWORD dwStart = GetTickCount();
    for (;;) {
        if (fnTimeUp(lpWait, dwStart)) {
            fnDebugLog("fnWatchWindow", "Time-out szWaitForWin=%s", g_uDebugLevel, lpWait->lpszTitle);
            return FALSE;
        }
        if (fnWatchWindowStep(lpWait, &state, dwStart))
            return TRUE;
        fnWatchPause(100);
    }
}

BOOL fnWaitForWindow(HWND hWndStatus, const char *lpszTitle, BOOL bWaitFor, BOOL bWhile, BOOL bAllWindows,
                     BOOL bPrefix, BOOL bKeepTrying)
{
    (void)hWndStatus;
    if (!bWaitFor && !bWhile)
        return FALSE;
    WindowWaitStruct wait = {lpszTitle, bWaitFor, bWhile, bAllWindows, bPrefix ? strlen(lpszTitle) : 0,
                             bKeepTrying, 0};
    fnWatchWindow(&wait);
    return FALSE;
}
