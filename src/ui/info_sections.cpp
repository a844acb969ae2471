/*
 * ui/info_sections.cpp -- the windows of the information sections: the
 * information page of [Info] and of the opening [Signon] (dialogs 20 and 21),
 * the choice between install scripts of [Install Options] (dialogs 16-19,
 * with the help box of the questions when the section has help)
 * and the floating message of [FloatInfo] (dialog 33). The records come from
 * ui/inforeader.cpp. A quiet run opens none of them and takes the answer that
 * lets the run go on. At most one floating window that does not wait stays on
 * screen: a new one replaces it, and the end of the walk closes it.
 */
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "resource.h"
#include "script/textmodel.h"
#include "ui/inforeader.h"
#include "ui/inputdlg.h"
#include "ui/placement.h"

namespace {

HINSTANCE fnInstance(void) { return g_hInst ? g_hInst : GetModuleHandleA(NULL); }

/* The section body, or NULL when the section is missing or holds no instruction line. */
const char *fnBodyOf(const char *lpszText, const char *lpszName)
{
    const char *lpszBody = fnInfFindSection(lpszText, lpszName);
    if (!lpszBody || fnInfCountLines(lpszBody, NULL, 1) == 0)
        return NULL;
    return lpszBody;
}

/* ------------------------------------------------------------ information page */

struct InfoDialogStruct {
    const InfoPageStruct *lpPage;
    HBRUSH hbrWindow;
};

/*
 * The text with every lone line feed made a CR LF pair, as the edit control
 * needs to break lines (a page File written on another system has LF only).
 * The caller frees it; NULL when memory ran out.
 */
char *fnEditText(const char *lpszText)
{
    size_t cch = strlen(lpszText), cLf = 0;
    for (size_t i = 0; i < cch; i++)
        cLf += lpszText[i] == '\n' ? 1 : 0;
    char *lpszOut = (char *)malloc(cch + cLf + 1);
    if (!lpszOut)
        return NULL;
    size_t o = 0;
    for (size_t i = 0; i < cch; i++) {
        if (lpszText[i] == '\n' && (i == 0 || lpszText[i - 1] != '\r'))
            lpszOut[o++] = '\r';
        lpszOut[o++] = lpszText[i];
    }
    lpszOut[o] = '\0';
    return lpszOut;
}

INT_PTR CALLBACK fnInfoDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    InfoDialogStruct *lpState = (InfoDialogStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG: {
        lpState = (InfoDialogStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)lpState);
        fnSetUpDialog(hDlg, FALSE, FALSE);
        SetWindowTextA(hDlg, lpState->lpPage->szCaption);
        char *lpszShown = fnEditText(lpState->lpPage->lpszText);
        SetDlgItemTextA(hDlg, IDC_INFO_TEXT, lpszShown ? lpszShown : lpState->lpPage->lpszText);
        free(lpszShown);
        SetDlgItemTextA(hDlg, IDC_INFO_PROMPT, lpState->lpPage->szPrompt);
        /* focus on OK, not on the text: the edit would otherwise show its whole text selected */
        SetFocus(GetDlgItem(hDlg, IDOK));
        return FALSE;
    }
    case WM_CTLCOLORSTATIC:
        /* the read-only page is drawn like paper, not like the dialog around it */
        if (lpState && (HWND)lParam == GetDlgItem(hDlg, IDC_INFO_TEXT)) {
            SetTextColor((HDC)wParam, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor((HDC)wParam, GetSysColor(COLOR_WINDOW));
            return (INT_PTR)lpState->hbrWindow;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDlg, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

/* Information page results. */
enum { PAGE_FAILED = 0, PAGE_OK = 1, PAGE_CANCELLED = 2 };

/* Reads and shows a page body; PAGE_OK also for a quiet run, which shows nothing. */
int fnShowInfoPage(HWND hWnd, const char *lpszBody, const char *lpszTitle)
{
    InfoPageStruct page;
    page.lpszText = (char *)malloc(CB_INFO_BLOCK);
    if (!page.lpszText) {
        fnDebugLog(lpszTitle, "No memory for the %d-byte text", g_uDebugLevel, CB_INFO_BLOCK);
        return PAGE_FAILED;
    }
    fnReadInfoPage(lpszBody, &page);
    BOOL bTall = fnInfoPageIsTall(&page);
    fnDebugLog(lpszTitle, "nLines=%d, nStored=%d, dialog %d", g_uDebugLevel, page.nLines, page.nStored,
               bTall ? IDD_INFO_TALL : IDD_INFO_SHORT);
    int nResult = PAGE_OK;
    if (g_bQuiet) {
        fnDebugLog(lpszTitle, "Quiet run: page not shown", g_uDebugLevel);
    } else {
        InfoDialogStruct state = {&page, GetSysColorBrush(COLOR_WINDOW)};
        INT_PTR nButton = DialogBoxParamA(fnInstance(), MAKEINTRESOURCEA(bTall ? IDD_INFO_TALL : IDD_INFO_SHORT),
                                          hWnd ? hWnd : g_hWndMain, fnInfoDialogProc, (LPARAM)&state);
        if (nButton <= 0) {
            fnDebugLog(lpszTitle, "DialogBoxParam failed, dwError=%lu", g_uDebugLevel,
                       (unsigned long)GetLastError());
            nResult = PAGE_FAILED;
        } else {
            nResult = nButton == IDOK ? PAGE_OK : PAGE_CANCELLED;
            fnDebugLog(lpszTitle, nResult == PAGE_OK ? "OK" : "Cancel", g_uDebugLevel);
        }
    }
    free(page.lpszText);
    return nResult;
}

/* ------------------------------------------------------------ install options */

const int s_anOptionText[INSTOPT_MAX] = {IDC_IO_MSG1, IDC_IO_MSG2, IDC_IO_MSG3, IDC_IO_MSG4};

struct OptionsDialogStruct {
    const InstallOptionsStruct *lpOpt;
    int nCount;
    HWND hHelpBox;   /* the help box while it is open */
};

/* Ends the choice with nResult, closing the help first. */
void fnEndOptions(HWND hDlg, OptionsDialogStruct *lpState, INT_PTR nResult)
{
    if (lpState)
        fnEndHelp(hDlg, &lpState->lpOpt->help, &lpState->hHelpBox);
    EndDialog(hDlg, nResult);
}

INT_PTR CALLBACK fnOptionsDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    OptionsDialogStruct *lpState = (OptionsDialogStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG: {
        lpState = (OptionsDialogStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        const InstallOptionsStruct *lpOpt = lpState->lpOpt;
        fnSetUpDialog(hDlg, FALSE, FALSE);
        SetWindowTextA(hDlg, lpOpt->szCaption);
        SetDlgItemTextA(hDlg, IDC_IO_INTRO, lpOpt->szIntro);
        for (int i = 0; i < lpState->nCount; i++) {
            SetDlgItemTextA(hDlg, IDC_IO_OPT1 + i, lpOpt->szOptBtn[i]);
            SetDlgItemTextA(hDlg, s_anOptionText[i], lpOpt->szOptMsg[i]);
        }
        SetDlgItemTextA(hDlg, IDC_IO_EXIT, lpOpt->szExitBtn);
        SetDlgItemTextA(hDlg, IDC_IO_EXITMSG, lpOpt->szExitMsg);
        /* the Help row only when there is help to show */
        SetDlgItemTextA(hDlg, IDC_IO_HELP, lpOpt->szHelpBtn);
        SetDlgItemTextA(hDlg, IDC_IO_HELPMSG, lpOpt->szHelpMsg);
        ShowWindow(GetDlgItem(hDlg, IDC_IO_HELP), lpOpt->bHelp ? SW_SHOW : SW_HIDE);
        ShowWindow(GetDlgItem(hDlg, IDC_IO_HELPMSG), lpOpt->bHelp ? SW_SHOW : SW_HIDE);
        SetFocus(GetDlgItem(hDlg, IDC_IO_OPT1));
        return FALSE;
    }
    case WM_CLOSE:
        fnEndOptions(hDlg, lpState, INSTOPT_EXIT);
        return TRUE;
    case WM_COMMAND: {
        int nId = LOWORD(wParam);
        HWND hButton = GetDlgItem(hDlg, nId);
        if (nId == IDCANCEL || nId == IDC_IO_EXIT) {
            fnEndOptions(hDlg, lpState, INSTOPT_EXIT);
            return TRUE;
        }
        if (nId == IDC_IO_HELP && lpState && lpState->lpOpt->bHelp) {
            fnShowQuestionHelp(hDlg, &lpState->lpOpt->help, &lpState->hHelpBox);
            return TRUE;
        }
        /* an option button of the dialog that is shown and enabled ends it with its id */
        if (nId >= INSTOPT_FIRST && nId < INSTOPT_FIRST + INSTOPT_MAX && hButton && IsWindowVisible(hButton) &&
            IsWindowEnabled(hButton)) {
            fnEndOptions(hDlg, lpState, nId);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

/* What the chosen option means for the loader: INSTOPT_GOON, the option's id, or INSTOPT_EXIT. */
UINT fnTakeOption(HWND hWnd, const InstallOptionsStruct *lpOpt, int nOption)
{
    if (nOption == 1 && !lpOpt->bOpt1Inf)
        return INSTOPT_GOON;
    char szScript[CCH_PATH];
    if (!fnInstallOptionScript(lpOpt, nOption, g_szIniFile, szScript, sizeof(szScript))) {
        fnDebugLog("fnInstallOptionsSection", "Option %d: script name too long: %s", g_uDebugLevel, nOption,
                   lpOpt->szOptInf[nOption - 1]);
        if (!g_bQuiet)
            fnMessage(1032, NULL, MB_OK | MB_ICONSTOP, lpOpt->szOptInf[nOption - 1]);
        return INSTOPT_EXIT;
    }
    /* the script that runs already: loading it again would only ask the same question again */
    if (lstrcmpiA(szScript, g_szIniFile) == 0) {
        fnDebugLog("fnInstallOptionsSection", "Option %d is the running script %s", g_uDebugLevel, nOption,
                   szScript);
        return INSTOPT_GOON;
    }
    (void)hWnd;
    fnCopyBounded(g_szIniFile, sizeof(g_szIniFile), szScript);
    fnDebugLog("fnInstallOptionsSection", "Option %d: g_szIniFile=%s", g_uDebugLevel, nOption, g_szIniFile);
    return (UINT)(INSTOPT_FIRST + nOption - 1);
}

/* ------------------------------------------------------------ floating message */

HWND s_hWndFloat;  /* the floating window that does not wait, while it is on screen */

INT_PTR CALLBACK fnFloatDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG: {
        const MessageStruct *lpMsg = (const MessageStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, lpMsg->bWait ? 1 : 0);
        SetWindowTextA(hDlg, lpMsg->szCaption);
        SetDlgItemTextA(hDlg, IDC_FLOAT_TEXT, lpMsg->szMessage);
        HWND hButton = GetDlgItem(hDlg, IDCANCEL);
        HWND hText = GetDlgItem(hDlg, IDC_FLOAT_TEXT);
        if (lpMsg->szButtonText[0]) {
            SetWindowTextA(hButton, lpMsg->szButtonText);
        } else {
            /* no button: the text takes its place, up to the button's right edge */
            RECT rcButton, rcText;
            GetWindowRect(hButton, &rcButton);
            GetWindowRect(hText, &rcText);
            MapWindowPoints(NULL, hDlg, (POINT *)&rcButton, 2);
            MapWindowPoints(NULL, hDlg, (POINT *)&rcText, 2);
            ShowWindow(hButton, SW_HIDE);
            EnableWindow(hButton, FALSE);
            SetWindowPos(hText, NULL, 0, 0, rcButton.right - rcText.left, rcText.bottom - rcText.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        fnPlaceWindow(hDlg, TRUE, (int)lpMsg->uWinPosition);
        if (lpMsg->szButtonText[0])
            SetFocus(hButton);
        return FALSE;
    }
    case WM_COMMAND:
    case WM_CLOSE:
        /* the button, Escape and the close box all close the window */
        if (uMsg == WM_COMMAND && LOWORD(wParam) != IDCANCEL && LOWORD(wParam) != IDOK)
            return FALSE;
        if (GetWindowLongPtrA(hDlg, DWLP_USER))
            EndDialog(hDlg, IDOK);
        else
            DestroyWindow(hDlg);
        return TRUE;
    case WM_DESTROY:
        if (s_hWndFloat == hDlg)
            s_hWndFloat = NULL;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void fnCloseFloatInfo(void)
{
    if (s_hWndFloat && IsWindow(s_hWndFloat))
        DestroyWindow(s_hWndFloat);
    s_hWndFloat = NULL;
}

UINT fnInfoSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    const char *lpszBody = fnBodyOf(lpszSection, lpszName);
    if (!lpszBody)
        return 1;
    switch (fnShowInfoPage(hWnd, lpszBody, "fnInfoSection")) {
    case PAGE_OK: return 1;
    /* the user's own choice to stop: the walk ends, not as a failure and without a closing message */
    case PAGE_CANCELLED: return SECT_USEREXIT;
    default: return 0;
    }
}

UINT fnSignonSection(HWND hWnd, const char *lpszInf)
{
    const char *lpszBody = fnBodyOf(lpszInf, "[Signon]");
    if (!lpszBody)
        return 1;
    return fnShowInfoPage(hWnd, lpszBody, "fnSignonSection") == PAGE_OK ? 1 : 0;
}

UINT fnInstallOptionsSection(HWND hWnd, const char *lpszInf)
{
    const char *lpszBody = fnBodyOf(lpszInf, "[Install Options]");
    if (!lpszBody)
        return INSTOPT_GOON;
    InstallOptionsStruct *lpOpt = (InstallOptionsStruct *)malloc(sizeof(InstallOptionsStruct));
    if (!lpOpt) {
        fnMessage(1031, NULL, MB_OK | MB_ICONSTOP);
        return INSTOPT_EXIT;
    }
    fnReadInstallOptions(lpszBody, lpOpt);
    OptionsDialogStruct state = {lpOpt, fnInstallOptionCount(lpOpt), NULL};
    int nChosen;
    if (g_bQuiet) {
        /* nobody to ask: the first option, as Enter on the default button would choose */
        nChosen = INSTOPT_FIRST;
        fnDebugLog("fnInstallOptionsSection", "Quiet run: option 1 taken", g_uDebugLevel);
    } else {
        INT_PTR nResult = DialogBoxParamA(fnInstance(), MAKEINTRESOURCEA(IDD_INSTOPT1 + state.nCount - 1),
                                          hWnd ? hWnd : g_hWndMain, fnOptionsDialogProc, (LPARAM)&state);
        if (nResult <= 0) {
            fnDebugLog("fnInstallOptionsSection", "DialogBoxParam failed, dwError=%lu", g_uDebugLevel,
                       (unsigned long)GetLastError());
            nResult = INSTOPT_EXIT;
        }
        nChosen = (int)nResult;
    }
    UINT uResult = INSTOPT_EXIT;
    if (nChosen >= INSTOPT_FIRST && nChosen < INSTOPT_FIRST + state.nCount)
        uResult = fnTakeOption(hWnd, lpOpt, nChosen - INSTOPT_FIRST + 1);
    fnDebugLog("fnInstallOptionsSection", "nOptions=%d, nButton=%d, uResult=%u", g_uDebugLevel, state.nCount,
               nChosen, uResult);
    fnFreeInstallOptions(lpOpt);
    free(lpOpt);
    return uResult;
}

UINT fnFloatInfoSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    const char *lpszBody = fnInfFindSection(lpszSection, lpszName);
    if (!lpszBody)
        return 0;
    MessageStruct msg;
    int nField = 0;
    char szBadLine[CCH_LINE_BUF] = "";
    int nRead = fnReadFloatInfo(lpszBody, &msg, &nField, szBadLine);
    if (nRead == FLOATREAD_MISSING) {
        fnDebugLog("fnFloatInfoSection", "Parameter %d missing: %s", g_uDebugLevel, nField, szBadLine);
        if (!g_bQuiet)
            fnMessage(1044, NULL, MB_OK | MB_ICONSTOP, (unsigned)nField, szBadLine);
        return 0;
    }
    if (nRead == FLOATREAD_ENDED || !msg.szMessage[0]) {
        fnDebugLog("fnFloatInfoSection", nRead == FLOATREAD_ENDED ? "Ended by a condition" : "No message",
                   g_uDebugLevel);
        return 0;
    }
    fnDebugLog("fnFloatInfoSection", "bWait=%d, uWinPosition=%u, bButton=%d", g_uDebugLevel, msg.bWait,
               msg.uWinPosition, msg.szButtonText[0] != '\0');
    if (g_bQuiet)
        return 1;
    /* one floating note at a time: the new one takes the old one's place */
    fnCloseFloatInfo();
    HWND hWndOwner = hWnd ? hWnd : g_hWndMain;
    if (msg.bWait) {
        INT_PTR nResult =
            DialogBoxParamA(fnInstance(), MAKEINTRESOURCEA(IDD_FLOAT), hWndOwner, fnFloatDialogProc, (LPARAM)&msg);
        if (nResult <= 0) {
            fnDebugLog("fnFloatInfoSection", "DialogBoxParam failed, dwError=%lu", g_uDebugLevel,
                       (unsigned long)GetLastError());
            return 0;
        }
        return 1;
    }
    HWND hDlg =
        CreateDialogParamA(fnInstance(), MAKEINTRESOURCEA(IDD_FLOAT), hWndOwner, fnFloatDialogProc, (LPARAM)&msg);
    if (!hDlg) {
        fnDebugLog("fnFloatInfoSection", "CreateDialogParam failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
        return 0;
    }
    s_hWndFloat = hDlg;
    ShowWindow(hDlg, SW_SHOW);
    UpdateWindow(hDlg);
    return 1;
}
