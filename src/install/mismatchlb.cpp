/*
 * install/mismatchlb.cpp -- a system list box that reports every scroll to
 * its dialog as a selection change, so the dialog can give the other list the
 * same top line and the two lists show matching lines side by side.
 */
#include "install/mismatchlb.h"

#include "common/bounded.h"
#include "driver/winstate.h"

static WNDPROC s_pfnListProc;
static char s_szClass[64];

static LRESULT CALLBACK fnMismatchListProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = CallWindowProcA(s_pfnListProc, hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_VSCROLL || uMsg == WM_HSCROLL || uMsg == WM_MOUSEWHEEL) {
        HWND hWndParent = GetParent(hWnd);
        if (hWndParent)
            SendMessageA(hWndParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hWnd), LBN_SELCHANGE), (LPARAM)hWnd);
    }
    return lResult;
}

BOOL fnRegisterMismatchListClass(HINSTANCE hInst)
{
    if (s_szClass[0])
        return TRUE;
    char szName[64];
    if (!fnLoadStr(1022, szName, sizeof(szName)))
        fnCopyBounded(szName, sizeof(szName), "MisMatchLBTG7K9");
    WNDCLASSA wc;
    if (!GetClassInfoA(NULL, "LISTBOX", &wc))
        return FALSE;
    s_pfnListProc = wc.lpfnWndProc;
    wc.style &= ~CS_GLOBALCLASS;
    wc.lpfnWndProc = fnMismatchListProc;
    wc.hInstance = hInst;
    wc.lpszClassName = szName;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return FALSE;
    fnCopyBounded(s_szClass, sizeof(s_szClass), szName);
    return TRUE;
}
