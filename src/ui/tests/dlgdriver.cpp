/*
 * ui/tests/dlgdriver.cpp -- the dialog answering thread of the Windows tests.
 */
#include "ui/tests/dlgdriver.h"

struct FindDialogStruct {
    const std::string *lpstrCaption;
    HWND hExcept;
    HWND hFound;
};

static BOOL CALLBACK fnFindDialogProc(HWND hWnd, LPARAM lParam)
{
    FindDialogStruct *lpFind = (FindDialogStruct *)lParam;
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    if (dwPid != GetCurrentProcessId() || hWnd == lpFind->hExcept || !IsWindowVisible(hWnd))
        return TRUE;
    char szClass[16], szText[256];
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    GetWindowTextA(hWnd, szText, sizeof(szText));
    if (lstrcmpA(szClass, "#32770") == 0 && *lpFind->lpstrCaption == szText) {
        lpFind->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

std::thread fnOnDialog(const std::string &strCaption, std::function<void(HWND)> fnAct, bool *lpbFound, HWND hExcept)
{
    *lpbFound = false;
    return std::thread([=]() {
        for (int i = 0; i < 600; i++) {
            FindDialogStruct find = {&strCaption, hExcept, NULL};
            EnumWindows(fnFindDialogProc, (LPARAM)&find);
            if (find.hFound && fnWaitUsable(find.hFound)) {
                Sleep(150);
                *lpbFound = true;
                fnAct(find.hFound);
                return;
            }
            Sleep(50);
        }
    });
}

bool fnWaitUsable(HWND hWnd)
{
    for (int i = 0; i < 600; i++) {
        if (!IsWindow(hWnd))
            return false;
        if (IsWindowVisible(hWnd) && IsWindowEnabled(hWnd))
            return true;
        Sleep(50);
    }
    return false;
}

std::string fnItemText(HWND hDlg, int nId)
{
    char sz[4096];
    sz[0] = '\0';
    SendDlgItemMessageA(hDlg, nId, WM_GETTEXT, sizeof(sz), (LPARAM)sz);
    return sz;
}

bool fnItemVisible(HWND hDlg, int nId)
{
    HWND h = GetDlgItem(hDlg, nId);
    return h && IsWindowVisible(h);
}

bool fnItemEnabled(HWND hDlg, int nId)
{
    HWND h = GetDlgItem(hDlg, nId);
    return h && IsWindowEnabled(h);
}

void fnPress(HWND hDlg, int nId)
{
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), (LPARAM)GetDlgItem(hDlg, nId));
}

RECT fnItemRect(HWND hDlg, int nId)
{
    RECT rc = {0, 0, 0, 0};
    HWND h = GetDlgItem(hDlg, nId);
    if (h)
        GetWindowRect(h, &rc);
    return rc;
}
