/*
 * ui/msgwindow.cpp -- the message window (dialog 1): every button of the set
 * stands hidden in the template; the procedure shows the type's one or two
 * and moves them into the two places at the right.
 */
#include "ui/msgwindow.h"

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/winstate.h"
#include "resource.h"
#include "ui/placement.h"

void fnMessageWindowButtons(UINT uType, int *lpnFirst, int *lpnSecond)
{
    static const struct {
        UINT uType;
        int nFirst, nSecond;
    } s_types[] = {
        {MSGWIN_YESNO, IDYES, IDNO},
        {MSGWIN_OKEXIT, IDOK, MSGWIN_ID_EXIT},
        {MSGWIN_OK, IDOK, 0},
        {MSGWIN_CONTINUE, MSGWIN_ID_CONTINUE, 0},
        {MSGWIN_EXIT, MSGWIN_ID_EXIT, 0},
        {MSGWIN_EXITCONTINUE, MSGWIN_ID_EXIT, MSGWIN_ID_CONTINUE},
        {MSGWIN_RETRYCONTINUE, IDRETRY, MSGWIN_ID_CONTINUE},
        {MSGWIN_RETRYCANCEL, IDRETRY, IDCANCEL},
        {MSGWIN_RETRYEXIT, IDRETRY, MSGWIN_ID_EXIT},
        {MSGWIN_CANCEL, IDCANCEL, 0},
        {MSGWIN_YES, IDYES, 0},
        {MSGWIN_NO, IDNO, 0},
    };
    *lpnFirst = IDOK;
    *lpnSecond = IDCANCEL;
    for (const auto &t : s_types) {
        if (t.uType == uType) {
            *lpnFirst = t.nFirst;
            *lpnSecond = t.nSecond;
            return;
        }
    }
}

struct MsgWindowStateStruct {
    const MsgWindowStruct *lpMsg;
    int nFirst, nSecond;
};

static const int s_anButtons[] = {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO, MSGWIN_ID_EXIT, MSGWIN_ID_CONTINUE};

static void fnInitMessageWindow(HWND hDlg, MsgWindowStateStruct *lpState)
{
    const MsgWindowStruct *lpMsg = lpState->lpMsg;
    if (lpMsg->szCaption[0])
        SetWindowTextA(hDlg, lpMsg->szCaption);
    SetDlgItemTextA(hDlg, IDC_MSG_TEXT, lpMsg->szText);
    /* the two places: the template's button position, and one button height and a gap below it */
    RECT rcPlace = {224, 8, 224 + 48, 8 + 14};
    MapDialogRect(hDlg, &rcPlace);
    RECT rcGap = {0, 0, 0, 18};
    MapDialogRect(hDlg, &rcGap);
    int anPlaced[2] = {lpState->nFirst, lpState->nSecond};
    for (int i = 0; i < 2; i++) {
        HWND hButton = anPlaced[i] ? GetDlgItem(hDlg, anPlaced[i]) : NULL;
        if (!hButton)
            continue;
        SetWindowPos(hButton, NULL, rcPlace.left, rcPlace.top + i * rcGap.bottom, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(hButton, SW_SHOW);
    }
    SendMessageA(hDlg, DM_SETDEFID, (WPARAM)lpState->nFirst, 0);
    SendDlgItemMessageA(hDlg, lpState->nFirst, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SetFocus(GetDlgItem(hDlg, lpState->nFirst));
    if (lpMsg->nPlace >= 1 && lpMsg->nPlace <= 9)
        fnPlaceWindow(hDlg, TRUE, lpMsg->nPlace);
    else
        SetForegroundWindow(hDlg);
}

static INT_PTR CALLBACK fnMessageWindowProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    MsgWindowStateStruct *lpState = (MsgWindowStateStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG:
        lpState = (MsgWindowStateStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)lpState);
        fnInitMessageWindow(hDlg, lpState);
        return FALSE; /* focus set above */
    case WM_CLOSE:
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    case WM_COMMAND: {
        int nId = LOWORD(wParam);
        /* only a button the type shows ends the window: Escape without a Cancel button,
           or a message aimed at a hidden button, does nothing */
        if (!lpState || (nId != lpState->nFirst && nId != lpState->nSecond))
            return TRUE;
        HWND hButton = GetDlgItem(hDlg, nId);
        if (!hButton || !IsWindowEnabled(hButton))
            return TRUE;
        EndDialog(hDlg, nId);
        return TRUE;
    }
    }
    return FALSE;
}

int fnShowMessageWindow(HWND hWnd, const MsgWindowStruct *lpMsg)
{
    MsgWindowStateStruct state = {lpMsg, IDOK, IDCANCEL};
    fnMessageWindowButtons(lpMsg->uType, &state.nFirst, &state.nSecond);
    if (g_bQuiet) {
        /* no window in a quiet run: the first button, but never a Retry that would only ask again */
        int nAnswer = (state.nFirst == IDRETRY && state.nSecond) ? state.nSecond : state.nFirst;
        fnDebugLog("fnShowMessageWindow", "Quiet: uType=%u, nButton=%d", g_uDebugLevel, lpMsg->uType, nAnswer);
        return nAnswer;
    }
    HINSTANCE hInst = g_hInst ? g_hInst : GetModuleHandleA(NULL);
    INT_PTR nResult = DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_MSGWINDOW), hWnd ? hWnd : g_hWndMain,
                                      fnMessageWindowProc, (LPARAM)&state);
    if (nResult <= 0) {
        fnDebugLog("fnShowMessageWindow", "DialogBoxParam failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
        return 0;
    }
    fnDebugLog("fnShowMessageWindow", "uType=%u, nButton=%d", g_uDebugLevel, lpMsg->uType, (int)nResult);
    return (int)nResult;
}
