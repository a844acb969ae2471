/*
 * ui/placement.cpp -- window placement by code and below the main window.
 * Only positions change here: sizes and the window order stay as they are
 * unless the caller asks for topmost.
 */
#include "ui/placement.h"

#include "driver/debuglog.h"
#include "driver/winstate.h"

void fnGetWorkArea(RECT *lpRect)
{
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, lpRect, 0))
        GetWindowRect(GetDesktopWindow(), lpRect);
}

/* A centred coordinate is kept between 0 and (area - window). */
static int fnCentre(int nArea, int nWnd)
{
    int n = (nArea - nWnd) / 2;
    if (n > nArea - nWnd)
        n = nArea - nWnd;
    return n < 0 ? 0 : n;
}

void fnPlacementPoint(const RECT *lpWork, int cxWnd, int cyWnd, int nCode, POINT *lpPt)
{
    int cxArea = lpWork->right - lpWork->left;
    int cyArea = lpWork->bottom - lpWork->top;
    int x = 0, y = 0;
    switch (nCode) {
    case PLACE_TOPLEFT: x = 0; y = 0; break;
    case PLACE_TOPRIGHT: x = cxArea - cxWnd; y = 0; break;
    case PLACE_TOPCENTER: x = fnCentre(cxArea, cxWnd); y = 0; break;
    case PLACE_CENTERLEFT: x = 0; y = fnCentre(cyArea, cyWnd); break;
    case PLACE_CENTER: x = fnCentre(cxArea, cxWnd); y = fnCentre(cyArea, cyWnd); break;
    case PLACE_CENTERRIGHT: x = cxArea - cxWnd; y = fnCentre(cyArea, cyWnd); break;
    case PLACE_BOTTOMLEFT: x = 0; y = cyArea - cyWnd; break;
    case PLACE_BOTTOMCENTER: x = fnCentre(cxArea, cxWnd); y = cyArea - cyWnd; break;
    case PLACE_BOTTOMRIGHT: x = cxArea - cxWnd; y = cyArea - cyWnd; break;
    default: break;
    }
    lpPt->x = lpWork->left + x;
    lpPt->y = lpWork->top + y;
}

BOOL fnPlaceWindow(HWND hWnd, BOOL bTopmost, int nCode)
{
    if (!hWnd || !IsWindow(hWnd))
        return FALSE;
    BOOL bMoved = FALSE;
    if (nCode >= PLACE_TOPLEFT && nCode <= PLACE_BOTTOMRIGHT) {
        RECT rcWork, rcWnd;
        fnGetWorkArea(&rcWork);
        GetWindowRect(hWnd, &rcWnd);
        POINT pt;
        fnPlacementPoint(&rcWork, rcWnd.right - rcWnd.left, rcWnd.bottom - rcWnd.top, nCode, &pt);
        bMoved = SetWindowPos(hWnd, NULL, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (bTopmost) {
        SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(hWnd);
    }
    return bMoved;
}

static int fnClamp(int n, int nArea, int nWnd)
{
    int nMax = nArea - nWnd;
    if ((n < nMax ? n : nMax) < 0)
        return 0;
    return n > nMax ? nMax : n;
}

void fnSetUpDialog(HWND hDlg, BOOL bCaption, BOOL bBeep)
{
    HWND hWndRef = g_hWndMain ? g_hWndMain : g_hWndStartOwner;
    if (hWndRef && IsWindow(hWndRef)) {
        RECT rcWork, rcRef, rcDlg;
        fnGetWorkArea(&rcWork);
        GetWindowRect(hWndRef, &rcRef);
        GetWindowRect(hDlg, &rcDlg);
        int cx = rcDlg.right - rcDlg.left, cy = rcDlg.bottom - rcDlg.top;
        int x = rcRef.left - rcWork.left;
        int y = rcRef.bottom - rcRef.top;
        x = fnClamp(x, rcWork.right - rcWork.left, cx);
        y = fnClamp(y, rcWork.bottom - rcWork.top, cy);
        SetWindowPos(hDlg, NULL, rcWork.left + x, rcWork.top + y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (bCaption)
        SetWindowTextA(hDlg, g_szMsgTitle);
    if (g_bQuiet)
        ShowWindow(hDlg, SW_HIDE);
    else if (bBeep)
        MessageBeep(MB_OK);
}
