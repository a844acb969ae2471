/*
 * driver/messages.cpp -- fnMessage and fnMessageBoxEx. The renamed buttons are
 * set by a computer-based-training hook of the calling thread that lives only
 * while its box is up.
 */
#include "driver/messages.h"

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/winstate.h"

int fnMessage(UINT uId, const char *lpszCaption, UINT uFlags, ...)
{
    char szFormat[1024];
    char szText[CCH_DEBUG_TEXT + 1];
    va_list args;
    va_start(args, uFlags);
    if (uId) {
        fnLoadStr(uId, szFormat, sizeof(szFormat));
    } else {
        const char *lpszFormat = va_arg(args, const char *);
        fnCopyBounded(szFormat, sizeof(szFormat), lpszFormat);
    }
    fnVFormatBounded(szText, sizeof(szText), szFormat, args);
    va_end(args);
    const char *lpszTitle = (lpszCaption && *lpszCaption) ? lpszCaption : g_szMsgTitle;
    return MessageBoxA(GetFocus(), szText, lpszTitle, uFlags | MB_TOPMOST | MB_SETFOREGROUND);
}

/* The texts the hook puts on the buttons; one box at a time per thread. */
struct ButtonTextStruct {
    HHOOK hHook;
    int nId1;
    int nId2;
    char szButton1[CCH_TITLE];
    char szButton2[CCH_TITLE];
};
static thread_local ButtonTextStruct t_buttons;

static LRESULT CALLBACK fnMsgBoxHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE) {
        HWND hWnd = (HWND)wParam;
        char szClass[16];
        if (GetClassNameA(hWnd, szClass, sizeof(szClass)) && lstrcmpA(szClass, "#32770") == 0) {
            if (t_buttons.nId1)
                SetDlgItemTextA(hWnd, t_buttons.nId1, t_buttons.szButton1);
            if (t_buttons.nId2)
                SetDlgItemTextA(hWnd, t_buttons.nId2, t_buttons.szButton2);
            t_buttons.nId1 = t_buttons.nId2 = 0;
        }
    }
    return CallNextHookEx(t_buttons.hHook, nCode, wParam, lParam);
}

int fnMessageBoxEx(HWND hWndOwner, const char *lpszText, const char *lpszCaption, const char *lpszButton1,
                   const char *lpszButton2, UINT uFlags)
{
    int nId1 = IDOK, nId2 = 0;
    switch (uFlags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        nId2 = IDCANCEL;
        break;
    case MB_ABORTRETRYIGNORE:
        nId1 = IDABORT;
        nId2 = IDRETRY;
        break;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        nId1 = IDYES;
        nId2 = IDNO;
        break;
    case MB_RETRYCANCEL:
        nId1 = IDRETRY;
        nId2 = IDCANCEL;
        break;
    case MB_CANCELTRYCONTINUE:
        nId1 = IDCANCEL;
        nId2 = IDTRYAGAIN;
        break;
    default:
        break;
    }
    ButtonTextStruct saved = t_buttons;
    t_buttons.nId1 = nId1;
    t_buttons.nId2 = nId2;
    fnCopyBounded(t_buttons.szButton1, sizeof(t_buttons.szButton1),
                  (lpszButton1 && *lpszButton1) ? lpszButton1 : "OK");
    fnCopyBounded(t_buttons.szButton2, sizeof(t_buttons.szButton2),
                  (lpszButton2 && *lpszButton2) ? lpszButton2 : "Cancel");
    t_buttons.hHook = SetWindowsHookExA(WH_CBT, fnMsgBoxHookProc, NULL, GetCurrentThreadId());
    if (!t_buttons.hHook)
        fnDebugLog("fnMessageBoxEx", "SetWindowsHookEx failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
    int nResult = MessageBoxA(hWndOwner, lpszText ? lpszText : "", (lpszCaption && *lpszCaption) ? lpszCaption : g_szMsgTitle,
                              uFlags);
    if (t_buttons.hHook)
        UnhookWindowsHookEx(t_buttons.hHook);
    t_buttons = saved;
    return nResult;
}
