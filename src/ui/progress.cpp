/*
 * ui/progress.cpp -- the progress meter control and the modeless copy
 * progress dialog around it. The meter keeps its range, position and font
 * in its window data and paints a percentage over a two-colour bar: the
 * done part in the window colours exchanged, the rest in the plain ones.
 */
#include "ui/progress.h"

#include <string.h>

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "resource.h"
#include "ui/placement.h"

/* window data of the meter */
#define METER_RANGE 0
#define METER_POS 4
#define METER_FONT 8
#define CB_METER_DATA (8 + sizeof(LONG_PTR))

static char s_szMeterClass[64];

static void fnPaintMeter(HWND hWnd)
{
    PAINTSTRUCT ps;
    HDC hDC = BeginPaint(hWnd, &ps);
    RECT rc;
    GetClientRect(hWnd, &rc);
    DWORD dwRange = (DWORD)GetWindowLongA(hWnd, METER_RANGE);
    DWORD dwPos = (DWORD)GetWindowLongA(hWnd, METER_POS);
    if (dwRange == 0) {
        dwRange = 1;
        dwPos = 0;
    }
    /* 64-bit products: a position of millions of bytes times 100 must not wrap */
    int nPercent = (int)((ULONGLONG)dwPos * 100 / dwRange);
    DWORD dwDone = dwPos > dwRange ? dwRange : dwPos;
    int cxFill = (int)((ULONGLONG)dwDone * (ULONGLONG)(rc.right - rc.left) / dwRange);

    char szText[16];
    fnFormatBounded(szText, sizeof(szText), "%d%%", nPercent);
    int cchText = (int)strlen(szText);
    HFONT hFont = (HFONT)GetWindowLongPtrA(hWnd, METER_FONT);
    HGDIOBJ hOldFont = SelectObject(hDC, hFont ? (HGDIOBJ)hFont : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(hDC, szText, cchText, &size);
    int x = rc.left + (rc.right - rc.left - size.cx) / 2;
    int y = rc.top + (rc.bottom - rc.top - size.cy) / 2;
    COLORREF crBack = GetSysColor(COLOR_WINDOW), crText = GetSysColor(COLOR_WINDOWTEXT);

    RECT rcDone = rc, rcRest = rc;
    rcDone.right = rc.left + cxFill;
    rcRest.left = rcDone.right;
    SetBkColor(hDC, crText);
    SetTextColor(hDC, crBack);
    ExtTextOutA(hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &rcDone, szText, (UINT)cchText, NULL);
    SetBkColor(hDC, crBack);
    SetTextColor(hDC, crText);
    ExtTextOutA(hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &rcRest, szText, (UINT)cchText, NULL);
    SelectObject(hDC, hOldFont);
    EndPaint(hWnd, &ps);
}

static LRESULT CALLBACK fnMeterWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        SetWindowLongA(hWnd, METER_RANGE, 10000);
        SetWindowLongA(hWnd, METER_POS, 5000);
        SetWindowLongPtrA(hWnd, METER_FONT, 0);
        return 0;
    case PM_SETRANGE:
    case PM_SETPOS:
        SetWindowLongA(hWnd, uMsg == PM_SETRANGE ? METER_RANGE : METER_POS, (LONG)(DWORD)wParam);
        InvalidateRect(hWnd, NULL, FALSE);
        UpdateWindow(hWnd);
        return 0;
    case PM_GETRANGE:
        return (LRESULT)(DWORD)GetWindowLongA(hWnd, METER_RANGE);
    case PM_GETPOS:
        return (LRESULT)(DWORD)GetWindowLongA(hWnd, METER_POS);
    case WM_SETFONT:
        SetWindowLongPtrA(hWnd, METER_FONT, (LONG_PTR)wParam);
        if (LOWORD(lParam))
            InvalidateRect(hWnd, NULL, FALSE);
        return 0;
    case WM_GETFONT:
        return (LRESULT)GetWindowLongPtrA(hWnd, METER_FONT);
    case WM_ERASEBKGND:
        return 1;  /* the paint covers every pixel */
    case WM_PAINT:
        fnPaintMeter(hWnd);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

BOOL fnRegisterMeterClass(HINSTANCE hInst)
{
    if (s_szMeterClass[0])
        return TRUE;
    char szName[64];
    if (!fnLoadStr(1020, szName, sizeof(szName)))
        fnCopyBounded(szName, sizeof(szName), "ProgressMeterTG7K9");
    /* global, so the dialog template finds it by name */
    if (!fnRegisterOwnClass(hInst, szName, fnMeterWndProc, CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW,
                            (int)CB_METER_DATA, NULL))
        return FALSE;
    fnCopyBounded(s_szMeterClass, sizeof(s_szMeterClass), szName);
    return TRUE;
}

static void fnResetProgress(HWND hDlg)
{
    EnableWindow(GetDlgItem(hDlg, IDCANCEL), TRUE);
    for (int nId = IDC_PROGRESS_STATUS; nId <= IDC_PROGRESS_TARGET; nId++)
        SetDlgItemTextA(hDlg, nId, "");
    HWND hMeter = GetDlgItem(hDlg, IDC_PROGRESS_METER);
    SendMessageA(hMeter, PM_SETRANGE, 0, 0);
    SendMessageA(hMeter, PM_SETPOS, 0, 0);
}

static INT_PTR CALLBACK fnProgressDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        fnSetUpDialog(hDlg, TRUE, FALSE);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam)
            fnResetProgress(hDlg);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            HWND hCancel = GetDlgItem(hDlg, IDCANCEL);
            /* Esc reaches here even when the button is already disabled */
            if (!IsWindowEnabled(hCancel))
                return TRUE;
            if (fnMessage(1055, NULL, MB_YESNO | MB_ICONQUESTION) == IDYES) {
                EnableWindow(hCancel, FALSE);
                fnDebugLog("fnProgressDlgProc", "Cancel confirmed", g_uDebugLevel);
            }
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(hDlg);
        return TRUE;
    }
    return FALSE;
}

HWND fnCreateProgressDialog(HWND hWndOwner)
{
    if (g_bQuiet)
        return NULL;
    HINSTANCE hInst = g_hInst ? g_hInst : GetModuleHandleA(NULL);
    if (!fnRegisterMeterClass(hInst))
        return NULL;
    HWND hDlg = CreateDialogParamA(hInst, MAKEINTRESOURCEA(IDD_PROGRESS), hWndOwner, fnProgressDlgProc, 0);
    if (!hDlg)
        fnDebugLog("fnCreateProgressDialog", "CreateDialog failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
    return hDlg;
}

void fnShowProgressDialog(HWND hDlg)
{
    if (!hDlg || !IsWindow(hDlg))
        return;
    ShowWindow(hDlg, SW_SHOW);
    UpdateWindow(hDlg);
}

BOOL fnProgressCancelled(HWND hDlg)
{
    if (!hDlg || !IsWindow(hDlg))
        return FALSE;
    return !IsWindowEnabled(fnProgressItem(hDlg, IDCANCEL));
}

HWND fnProgressItem(HWND hDlg, int nId)
{
    /* the items of the dialog last asked about; asking the system walks the dialog's children each time */
    static HWND s_hDlg;
    static HWND s_ahItem[8];
    static int s_anId[8];
    static UINT s_uNext;
    if (!hDlg)
        return NULL;
    if (hDlg != s_hDlg) {
        s_hDlg = hDlg;
        memset(s_ahItem, 0, sizeof(s_ahItem));
    }
    for (UINT i = 0; i < 8; i++)
        if (s_ahItem[i] && s_anId[i] == nId && IsWindow(s_ahItem[i]))
            return s_ahItem[i];
    HWND hItem = GetDlgItem(hDlg, nId);
    if (hItem) {
        s_ahItem[s_uNext] = hItem;
        s_anId[s_uNext] = nId;
        s_uNext = (s_uNext + 1) % 8;
    }
    return hItem;
}

void fnSetProgressText(HWND hDlg, int nId, const char *lpszText)
{
    if (!hDlg || !IsWindow(hDlg))
        return;
    HWND hItem = fnProgressItem(hDlg, nId);
    if (!hItem)
        return;
    const char *lpszNew = lpszText ? lpszText : "";
    /* a text line repaints as it is set: one that already reads so is left alone */
    char szOld[1024] = "";
    int cchOld = GetWindowTextA(hItem, szOld, sizeof(szOld));
    if (cchOld >= 0 && cchOld < (int)sizeof(szOld) - 1 && strcmp(szOld, lpszNew) == 0)
        return;
    SetWindowTextA(hItem, lpszNew);
}

void fnSetProgressMeter(HWND hDlg, DWORD dwPos, DWORD dwRange)
{
    if (!hDlg || !IsWindow(hDlg))
        return;
    HWND hMeter = fnProgressItem(hDlg, IDC_PROGRESS_METER);
    SendMessageA(hMeter, PM_SETRANGE, (WPARAM)dwRange, 0);
    SendMessageA(hMeter, PM_SETPOS, (WPARAM)dwPos, 0);
}
