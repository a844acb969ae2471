/*
 * shortcuts/shortcut_sections.cpp -- the Windows side of the shortcut
 * sections: the folder lists' questions and folder dialog (template 22), and
 * the sections a folder list registered, whose lines become shell links in
 * the entry's folder or remove them. Every link line goes to the
 * installation log, a failed one with "Error - " in front.
 */
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "install/dirs.h"
#include "resource.h"
#include "script/pathtext.h"
#include "script/textmodel.h"
#include "shortcuts/folderlist.h"
#include "shortcuts/linkrules.h"
#include "shortcuts/shelllink.h"
#include "ui/placement.h"

namespace {

HWND s_hWndOwner;  /* owner of the folder list's questions while it runs */

struct FolderDialogStruct {
    const char *lpszLabel;
    const char *lpszBase;
    const char *lpszName;
    char *lpszFolder;
    size_t cchFolder;
};

/* The folders inside the base folder, or string 1228 in a disabled list. */
void fnFillFolderList(HWND hList, const char *lpszBase)
{
    char szPattern[MAX_PATH];
    int nFound = 0;
    if (fnJoinPath(szPattern, sizeof(szPattern), lpszBase, "*")) {
        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA(szPattern, &fd);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || lstrcmpA(fd.cFileName, ".") == 0 ||
                    lstrcmpA(fd.cFileName, "..") == 0)
                    continue;
                SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM)fd.cFileName);
                nFound++;
            } while (FindNextFileA(hFind, &fd));
            FindClose(hFind);
        }
    }
    if (nFound == 0) {
        char szText[CCH_MSG];
        fnLoadStr(1228, szText, sizeof(szText));
        SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM)szText);
        EnableWindow(hList, FALSE);
    }
}

void fnEnableFolderOk(HWND hDlg)
{
    EnableWindow(GetDlgItem(hDlg, IDOK), GetWindowTextLengthA(GetDlgItem(hDlg, IDC_SCF_EDIT)) > 0);
}

/* A typed folder with a drive or a server is taken as it is; a name lies in the base folder. */
BOOL fnChosenFolder(const FolderDialogStruct *lpDlg, const char *lpszText)
{
    BOOL bAbsolute = (lpszText[0] && lpszText[1] == ':') || (lpszText[0] == '\\' && lpszText[1] == '\\');
    if (bAbsolute)
        return fnCopyBounded(lpDlg->lpszFolder, lpDlg->cchFolder, lpszText);
    return fnJoinPath(lpDlg->lpszFolder, lpDlg->cchFolder, lpDlg->lpszBase, lpszText);
}

INT_PTR CALLBACK fnFolderDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    FolderDialogStruct *lpDlg = (FolderDialogStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG:
        lpDlg = (FolderDialogStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)lpDlg);
        fnSetUpDialog(hDlg, TRUE, FALSE);
        SetDlgItemTextA(hDlg, IDC_SCF_LABEL, lpDlg->lpszLabel);
        SendDlgItemMessageA(hDlg, IDC_SCF_EDIT, EM_LIMITTEXT, MAX_PATH - 1, 0);
        SetDlgItemTextA(hDlg, IDC_SCF_EDIT, lpDlg->lpszName);
        fnFillFolderList(GetDlgItem(hDlg, IDC_SCF_LIST), lpDlg->lpszBase);
        fnEnableFolderOk(hDlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SCF_EDIT:
            if (HIWORD(wParam) == EN_CHANGE)
                fnEnableFolderOk(hDlg);
            return TRUE;
        case IDC_SCF_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                HWND hList = GetDlgItem(hDlg, IDC_SCF_LIST);
                LRESULT nSel = SendMessageA(hList, LB_GETCURSEL, 0, 0);
                char szName[MAX_PATH];
                if (nSel != LB_ERR && SendMessageA(hList, LB_GETTEXTLEN, nSel, 0) < (LRESULT)sizeof(szName) &&
                    SendMessageA(hList, LB_GETTEXT, nSel, (LPARAM)szName) != LB_ERR)
                    SetDlgItemTextA(hDlg, IDC_SCF_EDIT, szName);
            }
            return TRUE;
        case IDOK: {
            /* a click can reach a disabled button: the empty name is refused here as well */
            char szText[MAX_PATH];
            GetDlgItemTextA(hDlg, IDC_SCF_EDIT, szText, sizeof(szText));
            if (!szText[0] || !fnChosenFolder(lpDlg, szText))
                return TRUE;
            EndDialog(hDlg, FOLDERDLG_OK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(hDlg, FOLDERDLG_CANCEL);
            return TRUE;
        case IDC_SCF_EXIT:
            if (fnMessage(1055, NULL, MB_YESNO | MB_ICONQUESTION) == IDYES)
                EndDialog(hDlg, FOLDERDLG_EXIT);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(hDlg, FOLDERDLG_CANCEL);
        return TRUE;
    }
    return FALSE;
}

BOOL fnUiAskYesNo(const char *lpszText)
{
    return fnMessage(0, NULL, MB_YESNO | MB_ICONQUESTION, "%s", lpszText) == IDYES;
}

int fnUiFolderDialog(const char *lpszLabel, const char *lpszBase, const char *lpszName, char *lpszFolder,
                     size_t cchFolder)
{
    FolderDialogStruct dlg = {lpszLabel, lpszBase, lpszName, lpszFolder, cchFolder};
    INT_PTR nResult = DialogBoxParamA(g_hInst ? g_hInst : GetModuleHandleA(NULL),
                                      MAKEINTRESOURCEA(IDD_SHORTCUT_FOLDER), s_hWndOwner, fnFolderDlgProc,
                                      (LPARAM)&dlg);
    if (nResult <= 0) {
        fnDebugLog("fnUiFolderDialog", "DialogBoxParam failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
        return FOLDERDLG_CANCEL;
    }
    return (int)nResult;
}

BOOL fnUiCreateFolder(const char *lpszFolder)
{
    return fnCreateDirTreeLog(lpszFolder, FALSE);
}

BOOL fnUiAskContinue(const char *lpszFolder)
{
    return fnMessage(1224, NULL, MB_YESNO | MB_ICONQUESTION, lpszFolder) == IDYES;
}

const ShortcutUiStruct s_ui = {fnUiAskYesNo, fnUiFolderDialog, fnUiCreateFolder, fnUiAskContinue};

/*
 * Carries out the lines of one entry's section in its folder. Returns FALSE
 * when any line failed (the other lines are still carried out).
 */
BOOL fnMakeEntryShortcuts(const char *lpszPos, const char *lpszFolder, BOOL bGroup)
{
    BOOL bOk = TRUE;
    char szLine[CCH_LINE_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        ShortcutLineStruct link;
        UINT uLine = fnReadShortcutLine(szLine, bGroup, &link);
        if (uLine == LINKLINE_END)
            break;
        if (uLine == LINKLINE_SKIP || uLine == LINKLINE_NOTARGET)
            continue;
        char szLink[MAX_PATH] = "";
        BOOL bLine = (uLine == LINKLINE_MAKE) && fnMakeLinkPath(lpszFolder, link.szName, szLink, sizeof(szLink));
        if (bLine && link.bRemove)
            bLine = fnRemoveShortcut(szLink);
        else if (bLine)
            bLine = SUCCEEDED(fnCreateShortcut(szLink, link.szName, link.szTarget, link.szArgs, link.szIcon,
                                               link.nIconIndex, link.szWorkDir, link.wHotKey, link.nShow));
        if (!bLine) {
            bOk = FALSE;
            fnDebugLog("fnShortcutSection", "Line failed: %s", g_uDebugLevel, szLine);
        }
        fnWriteLog("%s\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",%d,%d,%d", TRUE, bLine ? "" : "Error - ", szLink,
                   link.szName, link.szTarget, link.szArgs, link.szIcon, link.szWorkDir, link.nIconIndex, link.nShow,
                   (int)link.wHotKey);
    }
    return bOk;
}

}  // namespace

UINT fnShortcutFolderList(HWND hWnd, const char *lpszSection, UserInputStruct *lpUserInput, const char *lpszName)
{
    HWND hWndSaved = s_hWndOwner;
    s_hWndOwner = hWnd;
    UINT uResult = fnRegisterShortcutFolders(lpszSection, lpszName, lpUserInput, &s_ui);
    s_hWndOwner = hWndSaved;
    return uResult;
}

UINT fnShortcutSection(HWND hWnd, const char *lpszSection, const char *lpszName, UserInputStruct *lpUserInput,
                       int nEntry)
{
    HRESULT hr = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    BOOL bUninit = SUCCEEDED(hr);
    /* COM set up otherwise on this thread already: use it as it is */
    if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) {
        fnDebugLog("fnShortcutSection", "CoInitializeEx failed, hr=0x%08lx", g_uDebugLevel, (unsigned long)hr);
        return 0;
    }
    fnWriteLog("\r\n%s", TRUE, "[Shortcuts]");
    UINT uResult = 1;
    /* every entry tied to this section is made, each in its own folder */
    for (int i = nEntry < 0 ? 0 : nEntry; i < lpUserInput->nShortcutSections && i < MAX_SHORTCUT_SECTIONS; i++) {
        const char *lpszFolder = lpUserInput->szShortcutFolder[i];
        if (!fnEqualNoCase(lpUserInput->szShortcutSection[i], lpszName) || !lpszFolder[0] ||
            lstrcmpiA(lpszFolder, SHORTCUT_SKIP_IT) == 0)
            continue;
        const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
        if (!lpszPos)
            continue;
        if (!g_bQuiet && !lpUserInput->bDesktopEntry[i])
            g_pfnOpenFolderWindow(hWnd, lpszFolder);
        fnDebugLog("fnShortcutSection", "lpszName=%s, lpszFolder=%s", g_uDebugLevel, lpszName, lpszFolder);
        if (fnMakeEntryShortcuts(lpszPos, lpszFolder, lpUserInput->bGroupEntry[i]))
            continue;
        /* a quiet run goes on as if the user had said Yes */
        if (!g_bQuiet && fnMessage(1224, NULL, MB_YESNO | MB_ICONQUESTION, lpszFolder) != IDYES) {
            uResult = 0;
            break;
        }
    }
    if (bUninit)
        CoUninitialize();
    return uResult;
}
