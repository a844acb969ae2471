/*
 * ui/inputdlg.cpp -- dialog procedures of the input sections: the directory
 * dialog with its folder browser, the help box and help engine, the backup
 * method question and one procedure for the question dialogs (a value, a
 * list line, a combo line, option buttons, user name and password, two
 * directories). A disabled OK can still be pressed from outside, so each OK
 * tests its rule again; every text read back is bounded by its slot.
 */
#include "ui/inputdlg.h"

#include <objbase.h>
#include <shlobj.h>
#include <string.h>

#include <initializer_list>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "resources/resource.h"
#include "script/optstore.h"
#include "ui/placement.h"

WinHelpProc g_pfnWinHelp = WinHelpA;

BOOL fnConfirmExit(HWND hWnd)
{
    return fnMessage(1055, NULL, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

static void fnSetText(HWND hDlg, int nId, const char *lpszText)
{
    SetDlgItemTextA(hDlg, nId, lpszText ? lpszText : "");
}

static void fnShowItem(HWND hDlg, int nId, BOOL bShow)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    if (hItem)
        ShowWindow(hItem, bShow ? SW_SHOW : SW_HIDE);
}

static void fnEnableItem(HWND hDlg, int nId, BOOL bEnable)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    if (hItem)
        EnableWindow(hItem, bEnable);
}

/* Length of a control's text without reading it into a fixed buffer. */
static int fnItemLength(HWND hDlg, int nId)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    return hItem ? GetWindowTextLengthA(hItem) : 0;
}

/* A control's text into lpszOut; FALSE (and nothing copied) when it does not fit whole. */
static BOOL fnGetItemText(HWND hDlg, int nId, char *lpszOut, size_t cchOut)
{
    lpszOut[0] = '\0';
    int cch = fnItemLength(hDlg, nId);
    if (cch < 0 || (size_t)cch >= cchOut)
        return FALSE;
    GetDlgItemTextA(hDlg, nId, lpszOut, (int)cchOut);
    return TRUE;
}

/* ---------------------------------------------------------------- help */

static INT_PTR CALLBACK fnHelpBoxProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CTLCOLORSTATIC:
        /* the read-only help text is drawn in the window colours */
        if ((HWND)lParam == GetDlgItem(hDlg, IDC_HELP_TEXT)) {
            SetTextColor((HDC)wParam, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor((HDC)wParam, GetSysColor(COLOR_WINDOW));
            return (INT_PTR)GetSysColorBrush(COLOR_WINDOW);
        }
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_HELP_DONE || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(hDlg);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(hDlg);
        return TRUE;
    }
    return FALSE;
}

void fnShowQuestionHelp(HWND hDlg, const ReadSectStruct *r, HWND *lphBox)
{
    if (!r || !r->lpszHelp)
        return;
    if (r->uHelpKind == HELPKIND_WINHELP) {
        UINT uCmd = r->szHelpKey[0] ? HELP_KEY : HELP_CONTENTS;
        if (!g_pfnWinHelp(hDlg, r->lpszHelp, uCmd, r->szHelpKey[0] ? (ULONG_PTR)r->szHelpKey : 0))
            fnDebugLog("fnShowQuestionHelp", "WinHelp %s failed, dwError=%lu", g_uDebugLevel, r->lpszHelp,
                       GetLastError());
        return;
    }
    if (*lphBox && IsWindow(*lphBox)) {
        SetForegroundWindow(*lphBox);
        return;
    }
    *lphBox = CreateDialogParamA(g_hInst, MAKEINTRESOURCEA(IDD_HELPBOX), hDlg, fnHelpBoxProc, 0);
    if (!*lphBox) {
        fnDebugLog("fnShowQuestionHelp", "CreateDialog 15 failed, dwError=%lu", g_uDebugLevel, GetLastError());
        return;
    }
    char szCaption[CCH_TITLE + 8];
    fnFormatBounded(szCaption, sizeof(szCaption), "Help: %s", r->szCaption);
    SetWindowTextA(*lphBox, szCaption);
    fnSetText(*lphBox, IDC_HELP_TEXT, r->lpszHelp);
    ShowWindow(*lphBox, SW_SHOW);
    SetFocus(GetDlgItem(*lphBox, IDC_HELP_DONE));
}

void fnEndHelp(HWND hDlg, const ReadSectStruct *r, HWND *lphBox)
{
    if (*lphBox && IsWindow(*lphBox))
        DestroyWindow(*lphBox);
    *lphBox = NULL;
    if (r && r->uHelpKind == HELPKIND_WINHELP && r->lpszHelp)
        g_pfnWinHelp(hDlg, r->lpszHelp, HELP_QUIT, 0);
}

/* ---------------------------------------------------------------- folder browser */

static int CALLBACK fnBrowseCallback(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lpData)
{
    if (uMsg == BFFM_INITIALIZED && lpData && *(const char *)lpData)
        SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, lpData);
    else if (uMsg == BFFM_SELCHANGED) {
        char szPath[MAX_PATH];
        if (SHGetPathFromIDListA((LPCITEMIDLIST)lParam, szPath))
            SendMessageA(hWnd, BFFM_SETSTATUSTEXTA, 0, (LPARAM)szPath);
    }
    return 0;
}

BOOL fnBrowseForFolder(HWND hDlg, int nEditId)
{
    char szStart[CCH_PATH];
    if (!fnGetItemText(hDlg, nEditId, szStart, sizeof(szStart)))
        szStart[0] = '\0';
    /* the browser needs COM on this thread; release it only when this call started it */
    HRESULT hr = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    BROWSEINFOA bi;
    ZeroMemory(&bi, sizeof(bi));
    char szDisplay[MAX_PATH];
    bi.hwndOwner = hDlg;
    bi.pszDisplayName = szDisplay;
    bi.lpszTitle = "Select destination directory(folder).\nCurrent selection:";
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    bi.lpfn = fnBrowseCallback;
    bi.lParam = (LPARAM)szStart;
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    BOOL bChosen = FALSE;
    if (pidl) {
        char szPath[MAX_PATH];
        if (SHGetPathFromIDListA(pidl, szPath)) {
            SetDlgItemTextA(hDlg, nEditId, szPath);
            bChosen = TRUE;
        }
        CoTaskMemFree(pidl);
    }
    if (SUCCEEDED(hr))
        CoUninitialize();
    return bChosen;
}

/* ---------------------------------------------------------------- directory dialog */

struct DirContextStruct {
    DirDialogStruct *lpDir;
    HWND hHelpBox;
};

static INT_PTR CALLBACK fnDirectoryProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    DirContextStruct *c = (DirContextStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG: {
        c = (DirContextStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)c);
        fnSetUpDialog(hDlg, FALSE, FALSE);
        SetWindowTextA(hDlg, c->lpDir->lpszCaption);
        fnSetText(hDlg, IDC_DIR_MSG1, c->lpDir->lpszMsg1);
        fnSetText(hDlg, IDC_DIR_MSG2, c->lpDir->lpszMsg2);
        SendDlgItemMessageA(hDlg, IDC_DIR_PATH, EM_LIMITTEXT, CCH_PATH - 1, 0);
        fnSetText(hDlg, IDC_DIR_PATH, c->lpDir->szPath);
        fnShowItem(hDlg, IDC_HELPBTN, c->lpDir->lpHelp && c->lpDir->lpHelp->lpszHelp);
        fnEnableItem(hDlg, IDOK, c->lpDir->szPath[0] != '\0');
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DIR_PATH:
            if (HIWORD(wParam) == EN_CHANGE)
                fnEnableItem(hDlg, IDOK, fnItemLength(hDlg, IDC_DIR_PATH) > 0);
            return TRUE;
        case IDC_BROWSE:
            fnBrowseForFolder(hDlg, IDC_DIR_PATH);
            return TRUE;
        case IDC_HELPBTN:
            fnShowQuestionHelp(hDlg, c->lpDir->lpHelp, &c->hHelpBox);
            return TRUE;
        case IDOK: {
            char szPath[CCH_PATH];
            if (!fnGetItemText(hDlg, IDC_DIR_PATH, szPath, sizeof(szPath)) || !szPath[0])
                return TRUE;
            fnFixDrivePath(szPath, sizeof(szPath));
            fnCopyBounded(c->lpDir->szPath, sizeof(c->lpDir->szPath), szPath);
            fnEndHelp(hDlg, c->lpDir->lpHelp, &c->hHelpBox);
            EndDialog(hDlg, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            fnEndHelp(hDlg, c->lpDir->lpHelp, &c->hHelpBox);
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        fnEndHelp(hDlg, c->lpDir->lpHelp, &c->hHelpBox);
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

BOOL fnDirectoryDialog(HWND hWnd, DirDialogStruct *lpDir)
{
    if (g_bQuiet)
        return FALSE;
    DirContextStruct c = {lpDir, NULL};
    UINT uTemplate = (lpDir->lpszMsg2 && lpDir->lpszMsg2[0]) ? IDD_DIRECTORY : IDD_DIRECTORY1;
    INT_PTR r = DialogBoxParamA(g_hInst, MAKEINTRESOURCEA(uTemplate), hWnd, fnDirectoryProc, (LPARAM)&c);
    if (r == -1)
        fnDebugLog("fnDirectoryDialog", "DialogBox %u failed, dwError=%lu", g_uDebugLevel, uTemplate, GetLastError());
    return r == IDOK;
}

/* ---------------------------------------------------------------- backup method */

/* Ends the backup question with the method that is marked; closing the window keeps it too. */
static void fnEndBackup(HWND hDlg)
{
    for (int nId = BACKUP_ORIEXT; nId <= BACKUP_NOMOD; nId++)
        if (IsDlgButtonChecked(hDlg, nId) == BST_CHECKED) {
            EndDialog(hDlg, nId);
            return;
        }
    EndDialog(hDlg, BACKUP_ORIEXT);
}

static INT_PTR CALLBACK fnBackupProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        fnSetUpDialog(hDlg, TRUE, FALSE);
        CheckRadioButton(hDlg, BACKUP_ORIEXT, BACKUP_NOMOD, BACKUP_ORIEXT);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        fnEndBackup(hDlg);
        return TRUE;
    case WM_CLOSE:
        fnEndBackup(hDlg);
        return TRUE;
    }
    return FALSE;
}

UINT fnAskBackupMethod(HWND hWnd)
{
    if (g_bQuiet)
        return BACKUP_ORIEXT;
    INT_PTR r = DialogBoxParamA(g_hInst, MAKEINTRESOURCEA(IDD_BACKUP), hWnd, fnBackupProc, 0);
    UINT uMethod = (r >= BACKUP_ORIEXT && r <= BACKUP_NOMOD) ? (UINT)r : (UINT)BACKUP_ORIEXT;
    fnDebugLog("fnAskBackupMethod", "uMethod=%u", g_uDebugLevel, uMethod);
    return uMethod;
}

/* ---------------------------------------------------------------- questions */

/* The dialog template of a question kind. */
static UINT fnQuestionTemplate(const QuestionStruct *q)
{
    switch (q->nKind) {
    case QKIND_ASKFOR: return IDD_ASKFOR;
    case QKIND_FROMLIST: return IDD_FROMLIST;
    case QKIND_FROMLONGLIST: return IDD_FROMLONGLIST;
    case QKIND_FROMCOMBO: return IDD_FROMCOMBO;
    case QKIND_OPTIONS: return IDD_OPTIONS;
    case QKIND_USERPW: return IDD_USERPW;
    case QKIND_2DIRS: return IDD_2DIRS;
    }
    return 0;
}

/* Adds each line of the list block to a list box or combo (uAdd: LB_ADDSTRING or CB_ADDSTRING). */
static void fnFillList(HWND hList, UINT uAdd, const char *lpszList)
{
    const char *p = lpszList ? lpszList : "";
    char szLine[CCH_LISTANSWER * 2];
    while (*p) {
        const char *lpszEnd = strstr(p, "\r\n");
        size_t cch = lpszEnd ? (size_t)(lpszEnd - p) : strlen(p);
        fnCopyBoundedN(szLine, sizeof(szLine), p, cch);
        SendMessageA(hList, uAdd, 0, (LPARAM)szLine);
        p += cch + (lpszEnd ? 2 : 0);
    }
}

/* Hides the option buttons without text and moves the rest, OK, Cancel and Help up into the gap. */
static void fnShortenOptions(HWND hDlg, const ReadSectStruct *r)
{
    RECT rcStep = {0, 0, 0, 14};
    MapDialogRect(hDlg, &rcStep);
    int nIdBase = r->uButtonType == BUTTONTYPE_CHECK ? IDC_OPT_CHECK1 : IDC_OPT_RADIO1;
    int nOther = r->uButtonType == BUTTONTYPE_CHECK ? IDC_OPT_RADIO1 : IDC_OPT_CHECK1;
    int nHidden = 0;
    for (int i = 0; i < 4; i++) {
        fnShowItem(hDlg, nOther + i, FALSE);
        HWND hButton = GetDlgItem(hDlg, nIdBase + i);
        BOOL bShown = i == 0 || r->szMsg[i + 1][0];
        if (!bShown) {
            ShowWindow(hButton, SW_HIDE);
            nHidden++;
            continue;
        }
        SetWindowTextA(hButton, r->szMsg[i + 1]);
        if (nHidden) {
            RECT rc;
            GetWindowRect(hButton, &rc);
            MapWindowPoints(NULL, hDlg, (POINT *)&rc, 2);
            SetWindowPos(hButton, NULL, rc.left, rc.top - nHidden * rcStep.bottom, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
    }
    if (!nHidden)
        return;
    int cyUp = nHidden * rcStep.bottom;
    for (int nId : {IDOK, IDCANCEL, IDC_HELPBTN}) {
        HWND hItem = GetDlgItem(hDlg, nId);
        RECT rc;
        GetWindowRect(hItem, &rc);
        MapWindowPoints(NULL, hDlg, (POINT *)&rc, 2);
        SetWindowPos(hItem, NULL, rc.left, rc.top - cyUp, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT rcWnd;
    GetWindowRect(hDlg, &rcWnd);
    SetWindowPos(hDlg, NULL, 0, 0, rcWnd.right - rcWnd.left, rcWnd.bottom - rcWnd.top - cyUp,
                 SWP_NOMOVE | SWP_NOZORDER);
}

static void fnInitQuestion(HWND hDlg, QuestionStruct *q)
{
    ReadSectStruct *r = q->lpRead;
    SetWindowTextA(hDlg, r->szCaption);
    fnShowItem(hDlg, IDC_HELPBTN, r->lpszHelp != NULL);
    switch (q->nKind) {
    case QKIND_ASKFOR:
        fnSetText(hDlg, IDC_ASK_MSG1, r->szMsg[1]);
        fnSetText(hDlg, IDC_ASK_MSG2, r->szMsg[2]);
        fnSetText(hDlg, IDC_ASK_PROMPT, r->szPrompt);
        SendDlgItemMessageA(hDlg, IDC_ASK_EDIT, EM_LIMITTEXT, CCH_ANSWER - 1, 0);
        fnSetText(hDlg, IDC_ASK_EDIT, r->szDefault);
        SendDlgItemMessageA(hDlg, IDC_ASK_EDIT, EM_SETSEL, 0, -1);
        SetFocus(GetDlgItem(hDlg, IDC_ASK_EDIT));
        fnEnableItem(hDlg, IDOK, r->szDefault[0] != '\0');
        break;
    case QKIND_FROMLIST:
    case QKIND_FROMLONGLIST: {
        fnSetText(hDlg, IDC_LIST_MSG, r->szMessage);
        fnSetText(hDlg, IDC_LIST_PROMPT, r->szPrompt);
        HWND hList = GetDlgItem(hDlg, IDC_LIST_LIST);
        HDC hdc = GetDC(hDlg);
        int cy = -MulDiv(8, GetDeviceCaps(hdc, LOGPIXELSY), 72);
        ReleaseDC(hDlg, hdc);
        q->hFont = CreateFontA(cy, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
        if (q->hFont) {
            SendMessageA(hList, WM_SETFONT, (WPARAM)q->hFont, FALSE);
            SendDlgItemMessageA(hDlg, IDC_LIST_SEL, WM_SETFONT, (WPARAM)q->hFont, FALSE);
        }
        fnFillList(hList, LB_ADDSTRING, r->lpszList);
        LRESULT n = r->szDefault[0] ? SendMessageA(hList, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)r->szDefault) : LB_ERR;
        if (n != LB_ERR) {
            SendMessageA(hList, LB_SETCURSEL, (WPARAM)n, 0);
            fnSetText(hDlg, IDC_LIST_SEL, r->szDefault);
        }
        fnEnableItem(hDlg, IDOK, n != LB_ERR);
        break;
    }
    case QKIND_FROMCOMBO: {
        fnSetText(hDlg, IDC_COMBO_MSG, r->szMessage);
        fnSetText(hDlg, IDC_COMBO_PROMPT, r->szPrompt);
        HWND hCombo = GetDlgItem(hDlg, IDC_COMBO_BOX);
        SendMessageA(hCombo, CB_LIMITTEXT, CCH_LISTANSWER - 1, 0);
        fnFillList(hCombo, CB_ADDSTRING, r->lpszList);
        LRESULT n = r->szDefault[0] ? SendMessageA(hCombo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)r->szDefault) : CB_ERR;
        if (n != CB_ERR)
            SendMessageA(hCombo, CB_SETCURSEL, (WPARAM)n, 0);
        else
            SetWindowTextA(hCombo, r->szDefault);
        break;
    }
    case QKIND_OPTIONS: {
        fnSetText(hDlg, IDC_OPT_MSG, r->szMessage);
        fnShortenOptions(hDlg, r);
        int nIdBase = r->uButtonType == BUTTONTYPE_CHECK ? IDC_OPT_CHECK1 : IDC_OPT_RADIO1;
        for (int i = 0; i < 4; i++)
            CheckDlgButton(hDlg, nIdBase + i, q->szLetters[i] == 'Y' ? BST_CHECKED : BST_UNCHECKED);
        break;
    }
    case QKIND_USERPW:
        fnSetText(hDlg, IDC_PW_MSG, r->szMessage);
        fnSetText(hDlg, IDC_PW_USERLABEL, r->szMsg[1]);
        fnSetText(hDlg, IDC_PW_LABEL1, r->szMsg[2]);
        fnSetText(hDlg, IDC_PW_LABEL2, r->szMsg[3]);
        fnSetText(hDlg, IDC_PW_BOTTOM, r->szMsg[5]);
        SendDlgItemMessageA(hDlg, IDC_PW_USER, EM_LIMITTEXT, CCH_USERNAME - 1, 0);
        SendDlgItemMessageA(hDlg, IDC_PW_PASS1, EM_LIMITTEXT, CCH_PASSWORD_MAX, 0);
        SendDlgItemMessageA(hDlg, IDC_PW_PASS2, EM_LIMITTEXT, CCH_PASSWORD_MAX, 0);
        fnSetText(hDlg, IDC_PW_USER, r->szDefault);
        fnShowItem(hDlg, IDC_PW_CHECK, r->szMsg[4][0] != '\0');
        if (r->szMsg[4][0]) {
            fnSetText(hDlg, IDC_PW_CHECK, r->szMsg[4]);
            CheckDlgButton(hDlg, IDC_PW_CHECK, r->bCheck[0] ? BST_CHECKED : BST_UNCHECKED);
            fnEnableItem(hDlg, IDC_PW_USER, !r->bCheck[0]);
        }
        break;
    case QKIND_2DIRS:
        fnSetText(hDlg, IDC_2D_MSG1, r->szMsg[1]);
        fnSetText(hDlg, IDC_2D_MSG2, r->szMsg[2]);
        fnSetText(hDlg, IDC_2D_MSG3, r->szMsg[3]);
        SendDlgItemMessageA(hDlg, IDC_ALL_DEST, EM_LIMITTEXT, CCH_PATH - 1, 0);
        SendDlgItemMessageA(hDlg, IDC_ALL_PATH2, EM_LIMITTEXT, CCH_PATH - 1, 0);
        fnSetText(hDlg, IDC_ALL_DEST, r->szPath1);
        fnSetText(hDlg, IDC_ALL_PATH2, r->szPath2);
        fnEnableItem(hDlg, IDOK, r->szPath1[0] != '\0');
        break;
    }
}

/* Empties the password edits and the dialog's copies. */
static void fnClearPasswords(HWND hDlg, QuestionStruct *q)
{
    SetDlgItemTextA(hDlg, IDC_PW_PASS1, "");
    SetDlgItemTextA(hDlg, IDC_PW_PASS2, "");
    SecureZeroMemory(q->szPassword, sizeof(q->szPassword));
}

/* OK of the user-name question: TRUE when the entries are accepted into q. */
static BOOL fnTakeUserPW(HWND hDlg, QuestionStruct *q)
{
    char szCaption[CCH_TITLE];
    GetWindowTextA(hDlg, szCaption, sizeof(szCaption));
    char szPass1[CCH_PASSWORD + 16], szPass2[CCH_PASSWORD + 16];
    BOOL bOK = FALSE;
    /* the limit of the edits does not hold for text put in from outside */
    if (fnItemLength(hDlg, IDC_PW_PASS1) > CCH_PASSWORD_MAX || fnItemLength(hDlg, IDC_PW_PASS2) > CCH_PASSWORD_MAX) {
        fnMessage(0, szCaption, MB_OK | MB_ICONEXCLAMATION, "The password may hold at most %u characters.",
                  (unsigned)CCH_PASSWORD_MAX);
        return FALSE;
    }
    GetDlgItemTextA(hDlg, IDC_PW_PASS1, szPass1, sizeof(szPass1));
    GetDlgItemTextA(hDlg, IDC_PW_PASS2, szPass2, sizeof(szPass2));
    if (strcmp(szPass1, szPass2) != 0) {
        fnMessage(0, szCaption, MB_OK | MB_ICONEXCLAMATION, "%s", "Password entries do not match - please try again");
    } else if (!fnGetItemText(hDlg, IDC_PW_USER, q->szUser, sizeof(q->szUser)) || !q->szUser[0]) {
        fnMessage(0, szCaption, MB_OK | MB_ICONEXCLAMATION, "Error! The %s field cannot be blank.",
                  q->lpRead->szMsg[1]);
    } else {
        fnCopyBounded(q->szPassword, sizeof(q->szPassword), szPass1);
        bOK = TRUE;
    }
    SecureZeroMemory(szPass1, sizeof(szPass1));
    SecureZeroMemory(szPass2, sizeof(szPass2));
    return bOK;
}

/* OK of a question: TRUE when the answer is taken and the dialog may end. */
static BOOL fnTakeAnswer(HWND hDlg, QuestionStruct *q)
{
    ReadSectStruct *r = q->lpRead;
    switch (q->nKind) {
    case QKIND_ASKFOR:
        return fnGetItemText(hDlg, IDC_ASK_EDIT, q->szAnswer, CCH_ANSWER) && q->szAnswer[0];
    case QKIND_FROMLIST:
    case QKIND_FROMLONGLIST:
        if (!fnGetItemText(hDlg, IDC_LIST_SEL, q->szAnswer, CCH_LISTANSWER) || !q->szAnswer[0])
            return FALSE;
        if (fnEqualNoCase(q->szAnswer, "(Please Select)")) {
            MessageBeep(MB_OK);
            return FALSE;
        }
        return TRUE;
    case QKIND_FROMCOMBO:
        return fnGetItemText(hDlg, IDC_COMBO_BOX, q->szAnswer, CCH_LISTANSWER);
    case QKIND_OPTIONS: {
        int nIdBase = r->uButtonType == BUTTONTYPE_CHECK ? IDC_OPT_CHECK1 : IDC_OPT_RADIO1;
        for (int i = 0; i < 4; i++) {
            BOOL bShown = i == 0 || r->szMsg[i + 1][0];
            q->szLetters[i] = (bShown && IsDlgButtonChecked(hDlg, nIdBase + i) == BST_CHECKED) ? 'Y' : 'N';
        }
        q->szLetters[4] = '\0';
        return TRUE;
    }
    case QKIND_USERPW:
        return fnTakeUserPW(hDlg, q);
    case QKIND_2DIRS:
        if (!fnGetItemText(hDlg, IDC_ALL_DEST, q->szAnswer, sizeof(q->szAnswer)) || !q->szAnswer[0] ||
            !fnGetItemText(hDlg, IDC_ALL_PATH2, q->szAnswer2, sizeof(q->szAnswer2)))
            return FALSE;
        fnFixDrivePath(q->szAnswer, sizeof(q->szAnswer));
        fnFixDrivePath(q->szAnswer2, sizeof(q->szAnswer2));
        return TRUE;
    }
    return FALSE;
}

static void fnEndQuestion(HWND hDlg, QuestionStruct *q, INT_PTR nResult)
{
    if (q->nKind == QKIND_USERPW && nResult != IDOK)
        fnClearPasswords(hDlg, q);
    else if (q->nKind == QKIND_USERPW) {
        SetDlgItemTextA(hDlg, IDC_PW_PASS1, "");
        SetDlgItemTextA(hDlg, IDC_PW_PASS2, "");
    }
    fnEndHelp(hDlg, q->lpRead, &q->hHelpBox);
    EndDialog(hDlg, nResult);
}

static INT_PTR CALLBACK fnQuestionProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    QuestionStruct *q = (QuestionStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG:
        q = (QuestionStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)q);
        fnSetUpDialog(hDlg, FALSE, FALSE);
        fnInitQuestion(hDlg, q);
        /* the value question has put the focus on its edit itself */
        return q->nKind != QKIND_ASKFOR;
    case WM_COMMAND: {
        int nId = LOWORD(wParam), nCode = HIWORD(wParam);
        switch (nId) {
        case IDOK:
            if (fnTakeAnswer(hDlg, q))
                fnEndQuestion(hDlg, q, IDOK);
            return TRUE;
        case IDCANCEL:
            if (q->nKind == QKIND_USERPW)
                fnClearPasswords(hDlg, q);
            /* the directory question ends at once; the others make sure first */
            if (q->nKind == QKIND_2DIRS || fnConfirmExit(hDlg))
                fnEndQuestion(hDlg, q, IDCANCEL);
            return TRUE;
        case IDC_HELPBTN:
            fnShowQuestionHelp(hDlg, q->lpRead, &q->hHelpBox);
            return TRUE;
        case IDC_ASK_EDIT:
            if (q->nKind == QKIND_ASKFOR && nCode == EN_CHANGE)
                fnEnableItem(hDlg, IDOK, fnItemLength(hDlg, IDC_ASK_EDIT) > 0);
            return TRUE;
        case IDC_LIST_LIST:
            if (nCode == LBN_SELCHANGE || nCode == LBN_DBLCLK) {
                HWND hList = GetDlgItem(hDlg, IDC_LIST_LIST);
                LRESULT n = SendMessageA(hList, LB_GETCURSEL, 0, 0);
                LRESULT cch = n == LB_ERR ? LB_ERR : SendMessageA(hList, LB_GETTEXTLEN, (WPARAM)n, 0);
                char szLine[CCH_LISTANSWER];
                if (cch != LB_ERR && cch < (LRESULT)sizeof(szLine)) {
                    SendMessageA(hList, LB_GETTEXT, (WPARAM)n, (LPARAM)szLine);
                    fnSetText(hDlg, IDC_LIST_SEL, szLine);
                    fnEnableItem(hDlg, IDOK, szLine[0] != '\0');
                }
            }
            return TRUE;
        case IDC_LIST_SEL:
            if (nCode == EN_CHANGE)
                fnEnableItem(hDlg, IDOK, fnItemLength(hDlg, IDC_LIST_SEL) > 0);
            return TRUE;
        case IDC_COMBO_BOX:
            if (nCode == CBN_SELCHANGE && q->nComboSlot >= 0) {
                /* a chosen line is the answer at once */
                HWND hCombo = GetDlgItem(hDlg, IDC_COMBO_BOX);
                LRESULT n = SendMessageA(hCombo, CB_GETCURSEL, 0, 0);
                LRESULT cch = n == CB_ERR ? CB_ERR : SendMessageA(hCombo, CB_GETLBTEXTLEN, (WPARAM)n, 0);
                char szLine[CCH_LISTANSWER];
                if (cch != CB_ERR && cch < (LRESULT)sizeof(szLine)) {
                    SendMessageA(hCombo, CB_GETLBTEXT, (WPARAM)n, (LPARAM)szLine);
                    fnCopyBounded(g_szFromComboResponse[q->nComboSlot], CCH_LISTANSWER, szLine);
                }
            }
            return TRUE;
        case IDC_PW_CHECK:
            if (q->nKind == QKIND_USERPW && nCode == BN_CLICKED) {
                BOOL bChecked = IsDlgButtonChecked(hDlg, IDC_PW_CHECK) == BST_CHECKED;
                if (bChecked)
                    fnSetText(hDlg, IDC_PW_USER, q->lpRead->szDefault);
                fnEnableItem(hDlg, IDC_PW_USER, !bChecked);
            }
            return TRUE;
        case IDC_ALL_DEST:
            if (q->nKind == QKIND_2DIRS && nCode == EN_CHANGE)
                fnEnableItem(hDlg, IDOK, fnItemLength(hDlg, IDC_ALL_DEST) > 0);
            return TRUE;
        case IDC_ALL_BROWSE1:
            fnBrowseForFolder(hDlg, IDC_ALL_DEST);
            return TRUE;
        case IDC_ALL_BROWSE2:
            fnBrowseForFolder(hDlg, IDC_ALL_PATH2);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        /* closing the window leaves without asking */
        fnEndQuestion(hDlg, q, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

INT_PTR fnQuestionDialog(HWND hWnd, QuestionStruct *q)
{
    if (g_bQuiet)
        return IDCANCEL;
    UINT uTemplate = fnQuestionTemplate(q);
    INT_PTR r = DialogBoxParamA(g_hInst, MAKEINTRESOURCEA(uTemplate), hWnd, fnQuestionProc, (LPARAM)q);
    if (q->hFont) {
        DeleteObject(q->hFont);
        q->hFont = NULL;
    }
    if (r == -1)
        fnDebugLog("fnQuestionDialog", "DialogBox %u failed, dwError=%lu", g_uDebugLevel, uTemplate, GetLastError());
    return r == IDOK ? IDOK : IDCANCEL;
}
