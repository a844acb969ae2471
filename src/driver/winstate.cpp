/*
 * driver/winstate.cpp -- run-wide Windows handles, string resources and the
 * pending-message pump used between steps of long work.
 */
#include "driver/winstate.h"

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
