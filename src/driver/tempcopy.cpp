/*
 * driver/tempcopy.cpp -- the temporary program copy. A program started from
 * a removable disk copies itself to the temporary folder and lets the copy
 * run the script, so the disk may be changed while it works. The copy learns
 * the script, folders and switches through explicit options, each path in
 * double quotes so folders with blanks survive.
 */
#include "driver/tempcopy.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/messages.h"
#include "driver/startup.h"
#include "driver/winstate.h"
#include "ui/placement.h"

#define TEMP_EXEC_NAME "_TG7K9_.EXE"

static char s_szLoaderClass[64];

BOOL fnNeedsLoader(BOOL bAppendedScript)
{
    if (g_bTempExec || !bAppendedScript)
        return FALSE;
    const char *lpszExt = strrchr(g_szIniFile, '.');
    if (lpszExt && fnEqualNoCase(lpszExt, ".RNF"))
        return TRUE;
    char szRoot[4] = {g_szHomeDir[0], ':', '\\', '\0'};
    return g_szHomeDir[1] == ':' && GetDriveTypeA(szRoot) == DRIVE_REMOVABLE;
}

BOOL fnStartNoWait(const char *lpszCmdLine)
{
    char szCmd[2048];
    if (!fnCopyBounded(szCmd, sizeof(szCmd), lpszCmdLine))
        return FALSE;
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, szCmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        fnDebugLog("fnStartNoWait", "CreateProcess failed, dwError=%lu,\nszCmd=%s", g_uDebugLevel,
                   (unsigned long)GetLastError(), szCmd);
        return FALSE;
    }
    /* give the copy a moment to open its windows before this process goes */
    WaitForInputIdle(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return TRUE;
}

/* Appends ` -x="value"` when the value is set. */
static void fnAppendOption(char *lpszArgs, size_t cchArgs, const char *lpszOption, const char *lpszValue)
{
    if (!lpszValue || !*lpszValue)
        return;
    char szPart[CCH_PATH + 16];
    fnFormatBounded(szPart, sizeof(szPart), " \"%s%s\"", lpszOption, lpszValue);
    fnAppendBounded(lpszArgs, cchArgs, szPart);
}

void fnCopyArguments(BOOL bAppendedScript, char *lpszArgs, size_t cchArgs)
{
    fnCopyBounded(lpszArgs, cchArgs, "-t");
    /* a copy of the program carries the appended script itself; naming a file would turn it off */
    if (!bAppendedScript)
        fnAppendOption(lpszArgs, cchArgs, "-i=", g_szIniFile);
    fnAppendOption(lpszArgs, cchArgs, "-s=", g_szSourceDir);
    fnAppendOption(lpszArgs, cchArgs, "-d=", g_szDestDir);
    fnAppendOption(lpszArgs, cchArgs, "-a=", g_szAskForResponse);
    if (g_cmdOptions.bStartupMsg)
        fnAppendOption(lpszArgs, cchArgs, "-m=", g_cmdOptions.szStartupMsg);
    if (g_szStartHere[0])
        fnAppendOption(lpszArgs, cchArgs, "-", g_szStartHere);
    if (g_bNoPrompt)
        fnAppendBounded(lpszArgs, cchArgs, " -n");
    if (g_bQuiet)
        fnAppendBounded(lpszArgs, cchArgs, " -q");
    char szNum[32];
    if (g_uShowVSWin != 1 || g_bQuiet) {
        fnFormatBounded(szNum, sizeof(szNum), " -w=%u", g_uShowVSWin);
        fnAppendBounded(lpszArgs, cchArgs, szNum);
    }
    if (g_uDebugLevel) {
        fnFormatBounded(szNum, sizeof(szNum), " -v=%u", g_uDebugLevel);
        fnAppendBounded(lpszArgs, cchArgs, szNum);
    }
}

/* Brings a running program's main window and its last pop-up to the top; FALSE when there is none. */
static BOOL fnRaiseRunning(void)
{
    char szClass[64];
    if (!fnLoadStr(1014, szClass, sizeof(szClass)))
        return FALSE;
    HWND hWnd = FindWindowA(szClass, NULL);
    if (!hWnd)
        return FALSE;
    HWND hPopup = GetLastActivePopup(hWnd);
    BringWindowToTop(hWnd);
    if (hPopup && hPopup != hWnd)
        BringWindowToTop(hPopup);
    return TRUE;
}

/* Free bytes of the drive that holds the folder; 0 when unknown. */
static ULONGLONG fnFreeBytes(const char *lpszFolder)
{
    ULARGE_INTEGER liFree;
    if (!GetDiskFreeSpaceExA(lpszFolder, &liFree, NULL, NULL))
        return 0;
    return liFree.QuadPart;
}

/*
 * Copies the running program to lpszCopy when the temporary drive has room.
 * Shows message 1040 or 1038 and returns FALSE when it cannot.
 */
static BOOL fnCopyProgram(const char *lpszTitle, const char *lpszExec, const char *lpszCopy)
{
    WIN32_FILE_ATTRIBUTE_DATA fad;
    ULONGLONG cbFile = 0;
    if (GetFileAttributesExA(lpszExec, GetFileExInfoStandard, &fad))
        cbFile = ((ULONGLONG)fad.nFileSizeHigh << 32) | fad.nFileSizeLow;
    ULONGLONG cbFree = fnFreeBytes(g_szTmpPath);
    fnDebugLog(lpszTitle, "DiskSpace lpszSetupExec=%s,\nszTempFile=%s,\ndwFileSpace=%llu,\ndwFreeSpace=%llu",
               g_uDebugLevel, lpszExec, lpszCopy, (unsigned long long)cbFile, (unsigned long long)cbFree);
    if (cbFile == 0 || cbFree < cbFile) {
        fnMessage(1040, NULL, MB_OK | MB_ICONSTOP | MB_TASKMODAL, g_szTmpPath[0]);
        return FALSE;
    }
    CopyFileA(lpszExec, lpszCopy, FALSE);
    if (GetFileAttributesA(lpszCopy) == INVALID_FILE_ATTRIBUTES) {
        fnMessage(1038, NULL, MB_OK | MB_ICONSTOP, lpszCopy);
        return FALSE;
    }
    return TRUE;
}

static LRESULT CALLBACK fnLoaderWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        if (!g_cmdOptions.bStartupMsg)
            fnPlaceWindow(hWnd, FALSE, g_uShowVSWin == 2 ? PLACE_TOPCENTER : g_uShowVSWin == 3 ? PLACE_TOPRIGHT : PLACE_TOPLEFT);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hDC = BeginPaint(hWnd, &ps);
        RECT rc;
        GetClientRect(hWnd, &rc);
        BOOL bMsg = g_cmdOptions.bStartupMsg;
        FillRect(hDC, &rc, GetSysColorBrush(bMsg ? COLOR_DESKTOP : COLOR_WINDOW));
        SetBkMode(hDC, TRANSPARENT);
        SetTextColor(hDC, GetSysColor(bMsg ? COLOR_CAPTIONTEXT : COLOR_WINDOWTEXT));
        char szText[CCH_TITLE];
        if (bMsg)
            fnCopyBounded(szText, sizeof(szText), g_cmdOptions.szStartupMsg);
        else
            fnLoadStr(1026, szText, sizeof(szText));
        DrawTextA(hDC, szText, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

static HWND fnCreateLoaderWindow(HINSTANCE hInst)
{
    if (!s_szLoaderClass[0] && !fnLoadStr(1010, s_szLoaderClass, sizeof(s_szLoaderClass)))
        fnCopyBounded(s_szLoaderClass, sizeof(s_szLoaderClass), "TG7K9LDR");
    if (!fnRegisterOwnClass(hInst, s_szLoaderClass, fnLoaderWndProc, 0, 0, NULL))
        return NULL;
    int x = 0, y = 0, cx = g_bQuiet ? 0 : 399, cy = g_bQuiet ? 0 : 80;
    if (g_cmdOptions.bStartupMsg) {
        cx = GetSystemMetrics(SM_CXSCREEN);
        cy = GetSystemMetrics(SM_CYSCREEN);
    }
    HWND hWnd = CreateWindowExA(0, s_szLoaderClass, g_szMsgTitle, WS_POPUP | WS_DLGFRAME, x, y, cx, cy, NULL, NULL,
                                hInst, NULL);
    if (hWnd && !g_bQuiet && g_uShowVSWin) {
        ShowWindow(hWnd, SW_SHOW);
        UpdateWindow(hWnd);
    }
    return hWnd;
}

BOOL fnInitLoader(HINSTANCE hInst, BOOL bAppendedScript)
{
    if (fnRaiseRunning())
        return TRUE;
    char szExec[CCH_PATH], szCopy[CCH_PATH];
    DWORD n = GetModuleFileNameA(NULL, szExec, sizeof(szExec));
    if (n == 0 || n >= sizeof(szExec))
        return FALSE;
    if (fnFormatBounded(szCopy, sizeof(szCopy), "%s\\%s", g_szTmpPath, TEMP_EXEC_NAME) >= (int)sizeof(szCopy) - 1)
        return FALSE;
    DeleteFileA(szCopy);
    if (!fnCopyProgram("fnInitLoader", szExec, szCopy))
        return FALSE;

    HWND hWndLoader = fnCreateLoaderWindow(hInst);
    char szArgs[1600], szCmd[2048];
    fnCopyArguments(bAppendedScript, szArgs, sizeof(szArgs));
    fnFormatBounded(szCmd, sizeof(szCmd), "\"%s\" %s", szCopy, szArgs);
    fnDebugLog("fnInitLoader run", "szCmdLine=%s", g_uDebugLevel, szCmd);
    BOOL bStarted = fnStartNoWait(szCmd);
    if (bStarted) {
        g_bStopProcessing = TRUE;
        fnRaiseRunning();
    }
    if (hWndLoader) {
        DestroyWindow(hWndLoader);
        /* the loader window's quit message is meant for this start's end, not for a later loop */
        MSG msg;
        PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    return bStarted;
}

BOOL fnReloadExec(HWND hWnd, const char *lpszExec)
{
    (void)hWnd;
    char szTempFile[CCH_PATH], szCopy[CCH_PATH];
    if (!GetTempFileNameA(g_szTmpPath, "_0", 0, szTempFile))
        return FALSE;
    DeleteFileA(szTempFile);
    char *lpszSlash = strrchr(szTempFile, '\\');
    if (lpszSlash)
        *lpszSlash = '\0';
    fnFormatBounded(szCopy, sizeof(szCopy), "%s\\%s", szTempFile, TEMP_EXEC_NAME);
    fnDebugLog("fnReloadExec", "lpszExec=%s,\nszTempFile=%s", g_uDebugLevel, lpszExec, szCopy);
    if (!fnCopyProgram("fnReloadExec", lpszExec, szCopy))
        return FALSE;
    char szArgs[1600], szCmd[2048];
    fnCopyArguments(FALSE, szArgs, sizeof(szArgs));
    fnFormatBounded(szCmd, sizeof(szCmd), "\"%s\" %s", szCopy, szArgs);
    fnDebugLog("fnReloadExec run", "lpszExec=%s,\nszTempFile=%s,\nszCmdLine=%s", g_uDebugLevel, lpszExec, szCopy,
               szCmd);
    return fnStartNoWait(szCmd);
}
