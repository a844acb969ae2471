/*
 * driver/winstate.cpp -- run-wide Windows handles, string resources and the
 * pending-message pump used between steps of long work.
 */
#include "driver/winstate.h"

#include <string.h>

#include "common/bounded.h"
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
