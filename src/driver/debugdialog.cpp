/*
 * driver/debugdialog.cpp -- how debug entries reach a person at levels 1 and
 * 2: a message box whose Cancel stops tracing, or the "Debug" dialog that
 * closes by itself after its delay and can be paused, sped up or stopped.
 */
#include "driver/debugdialog.h"

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/winstate.h"
#include "resource.h"
#include "ui/placement.h"

#define DEBUG_TIMER_ID 1

UINT g_uDebugDelay = DEBUG_DELAY_DEFAULT;

struct DebugEntryStruct {
    const char *lpszTitle;
    const char *lpszText;
    BOOL bTimer;
};

UINT fnDebugDelayFaster(UINT uDelay)
{
    UINT uStep = (uDelay <= 1000) ? 100 : 500;
    return (uDelay > uStep) ? uDelay - uStep : 0;
}

UINT fnDebugDelaySlower(UINT uDelay)
{
    return (uDelay < 60000) ? uDelay + 500 : uDelay;
}

static void fnStartTimer(HWND hDlg, DebugEntryStruct *lpEntry)
{
    SetTimer(hDlg, DEBUG_TIMER_ID, g_uDebugDelay, NULL);
    lpEntry->bTimer = TRUE;
}

static void fnStopTimer(HWND hDlg, DebugEntryStruct *lpEntry)
{
    KillTimer(hDlg, DEBUG_TIMER_ID);
    lpEntry->bTimer = FALSE;
}

static INT_PTR CALLBACK fnDebugDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    DebugEntryStruct *lpEntry = (DebugEntryStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG:
        lpEntry = (DebugEntryStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)lpEntry);
        SetWindowTextA(hDlg, lpEntry->lpszTitle);
        SetDlgItemTextA(hDlg, IDC_DEBUG_TEXT, lpEntry->lpszText);
        fnPlaceWindow(hDlg, FALSE, PLACE_TOPRIGHT);
        if (g_uDebugDelay < 2) {
            SetDlgItemTextA(hDlg, IDC_DEBUG_PAUSE, "&Go");
            lpEntry->bTimer = FALSE;
        } else {
            fnStartTimer(hDlg, lpEntry);
        }
        return TRUE;
    case WM_TIMER:
        if (wParam == DEBUG_TIMER_ID) {
            fnStopTimer(hDlg, lpEntry);
            EndDialog(hDlg, 1);
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DEBUG_PAUSE:
            if (lpEntry->bTimer) {
                fnStopTimer(hDlg, lpEntry);
                SetDlgItemTextA(hDlg, IDC_DEBUG_PAUSE, "&Go");
            } else {
                SetDlgItemTextA(hDlg, IDC_DEBUG_PAUSE, "&Pause");
                fnStartTimer(hDlg, lpEntry);
            }
            return TRUE;
        case IDC_DEBUG_FASTER:
            fnStopTimer(hDlg, lpEntry);
            g_uDebugDelay = fnDebugDelayFaster(g_uDebugDelay);
            fnStartTimer(hDlg, lpEntry);
            return TRUE;
        case IDC_DEBUG_SLOWER:
            fnStopTimer(hDlg, lpEntry);
            g_uDebugDelay = fnDebugDelaySlower(g_uDebugDelay);
            fnStartTimer(hDlg, lpEntry);
            return TRUE;
        case IDCANCEL:
            fnStopTimer(hDlg, lpEntry);
            g_uDebugLevel = 0;
            EndDialog(hDlg, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

static int fnDebugUi(UINT uLevel, const char *lpszTitle, const char *lpszText)
{
    if (uLevel == 1) {
        int nButton = MessageBoxA(NULL, lpszText, lpszTitle, MB_OKCANCEL | MB_ICONINFORMATION);
        if (nButton == IDCANCEL)
            g_uDebugLevel = 0;
        return nButton;
    }
    DebugEntryStruct entry = {lpszTitle, lpszText, FALSE};
    return (int)DialogBoxParamA(g_hInst ? g_hInst : GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_DEBUG),
                                g_hWndMain, fnDebugDlgProc, (LPARAM)&entry);
}

void fnInstallDebugUi(void)
{
    g_pfnDebugUi = fnDebugUi;
}
