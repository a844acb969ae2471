/*
 * tests/e2e/tgholder.cpp -- a small program the tests start and watch: a
 * window with a given caption that can refuse to close or to let the session
 * end, optionally without a window, holding a file open or asking another
 * window whether the session may end. It writes what happens to it, one line
 * each, into its log file, so a test can tell which copy ran and what it got.
 *
 *   tgholder.exe [-title=T] [-log=FILE] [-refuse] [-ignoreclose] [-disabled] [-nowindow]
 *                [-life=SECONDS] [-exit=N] [-hold=FILE] [-queryend=CLASS] [-write=FILE]
 *
 *   -refuse        answers WM_QUERYENDSESSION with FALSE
 *   -ignoreclose   logs WM_CLOSE and stays
 *   -disabled      the window is disabled (it cannot be asked to close)
 *   -nowindow      no window at all; lives its time and ends
 *   -life=S        ends by itself after S seconds (default 120)
 *   -exit=N        exit code of an end by itself or by WM_CLOSE (default 3)
 *   -hold=FILE     keeps FILE open without sharing while it runs
 *   -queryend=C    sends WM_QUERYENDSESSION to the first window of class C and logs its answer
 *   -write=FILE    writes "ran" into FILE at the start (a marker that it ran)
 * Log lines: "start <own path>", "args <command line>", "show <nCmdShow>", "WM_CLOSE", "WM_QUERYENDSESSION",
 * "WM_ENDSESSION 0|1", "queryend <answer>", "end <code>".
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char s_szLog[MAX_PATH];
static char s_szTitle[256] = "tgholder";
static BOOL s_bRefuse, s_bIgnoreClose, s_bDisabled, s_bNoWindow;
static UINT s_uLife = 120;
static int s_nExit = 3;

static void fnLog(const char *lpszText)
{
    if (!s_szLog[0])
        return;
    /* several holders may share one log: append with a short retry while another writes */
    for (int i = 0; i < 50; i++) {
        HANDLE h = CreateFileA(s_szLog, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               NULL);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD cb;
            WriteFile(h, lpszText, (DWORD)strlen(lpszText), &cb, NULL);
            WriteFile(h, "\r\n", 2, &cb, NULL);
            CloseHandle(h);
            return;
        }
        Sleep(20);
    }
}

static void fnEnd(int nCode)
{
    char sz[64];
    snprintf(sz, sizeof(sz), "end %d", nCode);
    fnLog(sz);
    ExitProcess((UINT)nCode);
}

static LRESULT CALLBACK fnHolderProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CLOSE:
        fnLog("WM_CLOSE");
        if (s_bIgnoreClose)
            return 0;
        fnEnd(s_nExit);
        return 0;
    case WM_QUERYENDSESSION:
        fnLog("WM_QUERYENDSESSION");
        return s_bRefuse ? FALSE : TRUE;
    case WM_ENDSESSION:
        fnLog(wParam ? "WM_ENDSESSION 1" : "WM_ENDSESSION 0");
        return 0;
    case WM_TIMER:
        fnEnd(s_nExit);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

static const char *fnArg(const char *lpszArg, const char *lpszKey)
{
    size_t n = strlen(lpszKey);
    return _strnicmp(lpszArg, lpszKey, n) == 0 ? lpszArg + n : NULL;
}

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE hPrev, LPSTR lpszCmdLine, int nCmdShow)
{
    (void)hPrev;
    (void)lpszCmdLine;
    const char *lpszHold = NULL, *lpszQueryEnd = NULL, *lpszWrite = NULL;
    for (int i = 1; i < __argc; i++) {
        const char *a = __argv[i], *v;
        if ((v = fnArg(a, "-title=")) != NULL)
            snprintf(s_szTitle, sizeof(s_szTitle), "%s", v);
        else if ((v = fnArg(a, "-log=")) != NULL)
            snprintf(s_szLog, sizeof(s_szLog), "%s", v);
        else if ((v = fnArg(a, "-life=")) != NULL)
            s_uLife = (UINT)atoi(v);
        else if ((v = fnArg(a, "-exit=")) != NULL)
            s_nExit = atoi(v);
        else if ((v = fnArg(a, "-hold=")) != NULL)
            lpszHold = v;
        else if ((v = fnArg(a, "-queryend=")) != NULL)
            lpszQueryEnd = v;
        else if ((v = fnArg(a, "-write=")) != NULL)
            lpszWrite = v;
        else if (_stricmp(a, "-refuse") == 0)
            s_bRefuse = TRUE;
        else if (_stricmp(a, "-ignoreclose") == 0)
            s_bIgnoreClose = TRUE;
        else if (_stricmp(a, "-disabled") == 0)
            s_bDisabled = TRUE;
        else if (_stricmp(a, "-nowindow") == 0)
            s_bNoWindow = TRUE;
    }
    char szLine[MAX_PATH + 16], szSelf[MAX_PATH];
    GetModuleFileNameA(NULL, szSelf, sizeof(szSelf));
    snprintf(szLine, sizeof(szLine), "start %s", szSelf);
    fnLog(szLine);
    char szArgs[2048];
    snprintf(szArgs, sizeof(szArgs), "args %s", GetCommandLineA());
    fnLog(szArgs);
    snprintf(szLine, sizeof(szLine), "show %d", nCmdShow);
    fnLog(szLine);
    if (lpszWrite) {
        HANDLE h = CreateFileA(lpszWrite, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD cb;
            WriteFile(h, "ran\r\n", 5, &cb, NULL);
            CloseHandle(h);
        }
    }
    HANDLE hHeld = INVALID_HANDLE_VALUE;
    if (lpszHold)
        hHeld = CreateFileA(lpszHold, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    (void)hHeld;  /* released when the process ends */

    if (s_bNoWindow) {
        Sleep(s_uLife * 1000);
        fnEnd(s_nExit);
    }
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = fnHolderProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "TgHolder";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, "TgHolder", s_szTitle, WS_OVERLAPPEDWINDOW, 40, 40, 300, 120, NULL, NULL, hInst,
                                NULL);
    if (!hWnd)
        fnEnd(90);
    if (s_bDisabled)
        EnableWindow(hWnd, FALSE);
    ShowWindow(hWnd, nCmdShow == SW_HIDE ? SW_SHOWNOACTIVATE : nCmdShow);
    SetTimer(hWnd, 1, s_uLife * 1000, NULL);
    if (lpszQueryEnd) {
        /* the target may still be starting: look for it for a while */
        HWND hTarget = NULL;
        for (int i = 0; i < 200 && !hTarget; i++) {
            hTarget = FindWindowA(lpszQueryEnd, NULL);
            if (!hTarget)
                Sleep(50);
        }
        DWORD_PTR dwAnswer = 99;
        if (hTarget)
            SendMessageTimeoutA(hTarget, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &dwAnswer);
        snprintf(szLine, sizeof(szLine), "queryend %lu", (unsigned long)dwAnswer);
        fnLog(szLine);
    }
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    fnEnd(s_nExit);
    return 0;
}
