/*
 * driver/winstate.cpp -- run-wide Windows handles, string resources and the
 * pending-message pump used between steps of long work.
 */
#include "driver/winstate.h"

#include <string.h>

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "resource.h"
#include "script/pathtext.h"

HINSTANCE g_hInst;
HWND g_hWndMain;
HWND g_hWndStartOwner;
HCURSOR g_hSaveCursor;

int fnLoadStr(UINT uId, char *lpszBuf, int cchBuf)
{
    if (!lpszBuf || cchBuf <= 0)
        return 0;
    lpszBuf[0] = '\0';
    HINSTANCE hInst = g_hInst ? g_hInst : GetModuleHandleA(NULL);
    int n = LoadStringA(hInst, uId, lpszBuf, cchBuf);
    if (n <= 0) {
        lpszBuf[0] = '\0';
        return 0;
    }
    return n;
}

void fnProcessMessages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            /* leave the quit message for the main loop */
            PostQuitMessage((int)msg.wParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

BOOL fnIsFile(const char *lpszPath)
{
    DWORD dwAttr = GetFileAttributesA(lpszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL fnFindNamedFile(const char *lpszName, char *lpszPath, size_t cchPath)
{
    if (!lpszName || !*lpszName)
        return FALSE;
    if (fnIsFile(lpszName))
        return fnCopyBounded(lpszPath, cchPath, lpszName);
    const char *lpszFile = strrchr(lpszName, '\\');
    lpszFile = lpszFile ? lpszFile + 1 : lpszName;
    const char *dirs[] = {g_szSourceDir, g_szHomeDir};
    for (const char *lpszDir : dirs) {
        if (lpszDir[0] && fnJoinPath(lpszPath, cchPath, lpszDir, lpszFile) && fnIsFile(lpszPath))
            return TRUE;
    }
    return FALSE;
}

BOOL fnRegisterOwnClass(HINSTANCE hInst, const char *lpszName, WNDPROC pfnProc, UINT uStyle, int cbWndExtra,
                        HBRUSH hbrBackground)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = uStyle;
    wc.lpfnWndProc = pfnProc;
    wc.cbWndExtra = cbWndExtra;
    wc.hInstance = hInst;
    wc.hIcon = LoadIconA(hInst, MAKEINTRESOURCEA(IDI_MAIN));
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = lpszName;
    if (RegisterClassA(&wc))
        return TRUE;
    DWORD dwError = GetLastError();
    if (dwError == ERROR_CLASS_ALREADY_EXISTS)
        return TRUE;
    fnDebugLog("fnRegisterOwnClass", "RegisterClass %s failed, dwError=%lu", g_uDebugLevel, lpszName,
               (unsigned long)dwError);
    return FALSE;
}
