/*
 * commands/popups_win.cpp -- the floating message windows of the "Message"
 * key and the MessageStatic and Popup commands, and the popup table that
 * ClosePopup reads. A window with a close-after time is modal and ends
 * itself; one without stays on screen while the run goes on.
 */
#include <windows.h>

#include "commands/commands_win.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/winstate.h"
#include "ui/placement.h"

#define POPUP_ENTRIES 10
#define IDT_POPUP_CLOSE 1

/* The modeless windows in the order they were opened; the tenth entry takes every later one. */
static HWND s_ahPopup[POPUP_ENTRIES];
static UINT s_uPopups;

static INT_PTR CALLBACK fnPopupProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG: {
        const PopupStruct *lpPopup = (const PopupStruct *)lParam;
        SetDlgItemTextA(hDlg, IDC_POPUP_TEXT, lpPopup->lpszText);
        if (lpPopup->lpszCaption)
            SetWindowTextA(hDlg, lpPopup->lpszCaption);
        /* modal windows end themselves; the flag tells the button how to close */
        SetWindowLongPtrA(hDlg, DWLP_USER, lpPopup->uSeconds ? 1 : 0);
        fnPlaceWindow(hDlg, FALSE, (int)lpPopup->uPlace);
        SetWindowPos(hDlg, lpPopup->bTopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (lpPopup->uSeconds) {
            ULONGLONG ullMs = (ULONGLONG)lpPopup->uSeconds * 1000u;
            SetTimer(hDlg, IDT_POPUP_CLOSE, ullMs > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM : (UINT)ullMs, NULL);
        }
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == IDT_POPUP_CLOSE) {
            KillTimer(hDlg, IDT_POPUP_CLOSE);
            EndDialog(hDlg, IDOK);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (GetWindowLongPtrA(hDlg, DWLP_USER))
                EndDialog(hDlg, LOWORD(wParam));
            else
                DestroyWindow(hDlg);
        }
        return TRUE;
    case WM_CLOSE:
        if (GetWindowLongPtrA(hDlg, DWLP_USER))
            EndDialog(hDlg, IDCANCEL);
        else
            DestroyWindow(hDlg);
        return TRUE;
    }
    return FALSE;
}

HWND fnShowPopup(const PopupStruct *lpPopup)
{
    fnDebugLog("fnShowPopup", "szText=%s,\nuDialog=%u,\nuSeconds=%u,\nuPlace=%u,\nbTopMost=%d", g_uDebugLevel,
               lpPopup->lpszText, lpPopup->uDialog, lpPopup->uSeconds, lpPopup->uPlace, lpPopup->bTopMost);
    if (g_bQuiet) {
        fnDebugLog("fnShowPopup", "Quiet run: not shown", g_uDebugLevel);
        return NULL;
    }
    if (lpPopup->bMainNotTopMost && g_hWndMain)
        SetWindowPos(g_hWndMain, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (lpPopup->uSeconds) {
        DialogBoxParamA(g_hInst, MAKEINTRESOURCEA(lpPopup->uDialog), g_hWndMain, fnPopupProc, (LPARAM)lpPopup);
        return NULL;
    }
    HWND hDlg =
        CreateDialogParamA(g_hInst, MAKEINTRESOURCEA(lpPopup->uDialog), g_hWndMain, fnPopupProc, (LPARAM)lpPopup);
    if (!hDlg) {
        DWORD dwErr = GetLastError();
        fnDebugLog("fnShowPopup", "CreateDialog error %lu", g_uDebugLevel, (unsigned long)dwErr);
        return NULL;
    }
    ShowWindow(hDlg, SW_SHOWNOACTIVATE);
    UpdateWindow(hDlg);
    UINT uEntry = s_uPopups < POPUP_ENTRIES ? s_uPopups : POPUP_ENTRIES - 1;
    s_ahPopup[uEntry] = hDlg;
    if (s_uPopups < POPUP_ENTRIES)
        s_uPopups++;
    return hDlg;
}

BOOL fnClosePopup(UINT n)
{
    fnDebugLog("ClosePopup", "ClosePopup uPopup=%u", g_uDebugLevel, n);
    if (n == 0 || n > s_uPopups)
        return FALSE;
    HWND hWnd = s_ahPopup[n - 1];
    /* a window closed by its own button leaves its handle behind, and the system may give
       that handle to another window later: only a live window of this program is closed */
    DWORD dwPID = 0;
    if (!hWnd || !IsWindow(hWnd) || !GetWindowThreadProcessId(hWnd, &dwPID) || dwPID != GetCurrentProcessId()) {
        s_ahPopup[n - 1] = NULL;
        return FALSE;
    }
    BOOL bDestroyed = DestroyWindow(hWnd);
    if (!bDestroyed)
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
    fnDebugLog("ClosePopup", "Closing Popup %u, %d", g_uDebugLevel, n, bDestroyed);
    s_ahPopup[n - 1] = NULL;
    return TRUE;
}
