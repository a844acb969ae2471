/*
 * ui/waitwindow.cpp -- the splash window class and the wait window built on
 * it. The class paints the run-wide wait text, centred and word-wrapped.
 */
#include "ui/waitwindow.h"

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/winstate.h"
#include "ui/placement.h"

char g_szWaitText[CCH_WAIT_TEXT];
static char s_szSplashClass[64];

static LRESULT CALLBACK fnSplashWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hDC = BeginPaint(hWnd, &ps);
        RECT rc;
        GetClientRect(hWnd, &rc);
        HBRUSH hBrush = GetSysColorBrush(COLOR_BTNFACE);
        FillRect(hDC, &rc, hBrush);
        HGDIOBJ hOldFont = SelectObject(hDC, GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(hDC, GetSysColor(COLOR_WINDOWTEXT));
        SetBkMode(hDC, TRANSPARENT);
        /* centre the wrapped block vertically: measure it first */
        RECT rcText = rc;
        DrawTextA(hDC, g_szWaitText, -1, &rcText, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
        int cyText = rcText.bottom - rcText.top;
        RECT rcDraw = rc;
        if (cyText < rc.bottom - rc.top)
            rcDraw.top += (rc.bottom - rc.top - cyText) / 2;
        DrawTextA(hDC, g_szWaitText, -1, &rcDraw, DT_CENTER | DT_WORDBREAK);
        SelectObject(hDC, hOldFont);
        EndPaint(hWnd, &ps);
        return 0;
    }
    if (uMsg == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

BOOL fnRegisterSplashClass(HINSTANCE hInst)
{
    if (s_szSplashClass[0])
        return TRUE;
    char szName[64];
    if (!fnLoadStr(1024, szName, sizeof(szName)))
        fnCopyBounded(szName, sizeof(szName), "SplashWndTG7K9");
    WNDCLASSA wc;
    if (!GetClassInfoA(NULL, "STATIC", &wc))
        return FALSE;
    wc.style &= ~CS_GLOBALCLASS;
    wc.lpfnWndProc = fnSplashWndProc;
    wc.hInstance = hInst;
    wc.lpszClassName = szName;
    if (!RegisterClassA(&wc)) {
        if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return FALSE;
    }
    fnCopyBounded(s_szSplashClass, sizeof(s_szSplashClass), szName);
    return TRUE;
}

HWND fnShowWaitWindow(HWND hWndOwner, UINT uStrId, int nHeight, int nPlace, UINT uMs, ...)
{
    HINSTANCE hInst = g_hInst ? g_hInst : GetModuleHandleA(NULL);
    if (!fnRegisterSplashClass(hInst))
        return NULL;
    char szFormat[CCH_WAIT_TEXT];
    fnLoadStr(uStrId, szFormat, sizeof(szFormat));
    va_list args;
    va_start(args, uMs);
    fnVFormatBounded(g_szWaitText, sizeof(g_szWaitText), szFormat, args);
    va_end(args);

    int cy = (nHeight == WAIT_HEIGHT_SMALL) ? 40 : (nHeight == WAIT_HEIGHT_LARGE) ? 110 : 75;
    HWND hWnd = CreateWindowExA(WS_EX_STATICEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, s_szSplashClass, "",
                                WS_POPUP, 0, 0, 393, cy, hWndOwner, NULL, hInst, NULL);
    if (!hWnd) {
        fnDebugLog("fnShowWaitWindow", "CreateWindowEx failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
        return NULL;
    }
    /* topmost from its creation; taking the foreground would pull the focus out of a dialog */
    fnPlaceWindow(hWnd, FALSE, nPlace ? nPlace : PLACE_TOPCENTER);
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hWnd);
    if (uMs > 0) {
        Sleep(uMs);
        DestroyWindow(hWnd);
        if (g_hSaveCursor)
            SetCursor(g_hSaveCursor);
        return NULL;
    }
    return hWnd;
}
