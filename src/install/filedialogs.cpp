/*
 * install/filedialogs.cpp -- the modal dialogs of the install engine, run by
 * one dialog procedure: option buttons end the dialog with their id, the
 * Exit button first asks 1055, the close box gives the dialog's close answer.
 * The version conflict fills its two lists and keeps them side by side.
 */
#include "install/filedialogs.h"

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "install/copyprim.h"
#include "install/filerules.h"
#include "install/version.h"
#include "resource.h"
#include "ui/placement.h"

FileDialogHookProc g_pfnFileDialogHook;

namespace {

struct DlgParamStruct {
    UINT uExitId;               /* asks 1055 first */
    UINT uCloseId;              /* the close box and Esc; 0 ends the dialog with 0 */
    const UINT *lpuIds;         /* buttons that end the dialog */
    size_t nIds;
    int anTextIds[3];
    const char *alpszTexts[3];
    char *lpszEdit1;            /* dialog 5: location and name */
    char *lpszEdit2;
    DWORD dwVIF;                /* dialog 7 */
    const char *lpszListOld;
    const char *lpszListNew;
};

void fnEndWith(HWND hDlg, const DlgParamStruct *lpParam, UINT uId)
{
    if (uId && uId == lpParam->uExitId && fnMessage(1055, NULL, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;  /* No: back to the dialog */
    if (uId == IDOK && lpParam->lpszEdit1) {
        GetDlgItemTextA(hDlg, IDC_DISK_LOCATION, lpParam->lpszEdit1, CCH_PATH);
        GetDlgItemTextA(hDlg, IDC_DISK_FILE, lpParam->lpszEdit2, CCH_PATH);
    }
    EndDialog(hDlg, (INT_PTR)uId);
}

void fnInitLists(HWND hDlg, const DlgParamStruct *lpParam)
{
    char szLine[CCH_MSG];
    UINT uId = fnConflictMessageId(lpParam->dwVIF);
    szLine[0] = '\0';
    if (uId)
        fnLoadStr(uId, szLine, sizeof(szLine));
    SetDlgItemTextA(hDlg, IDC_VC_CONFLICT, szLine);
    fnListVersionInfo(lpParam->lpszListOld, GetDlgItem(hDlg, IDC_VC_LISTOLD));
    fnListVersionInfo(lpParam->lpszListNew, GetDlgItem(hDlg, IDC_VC_LISTNEW));
}

/* The other list takes the same selected line and the same top line. */
void fnMatchLists(HWND hDlg, int nFrom)
{
    HWND hFrom = GetDlgItem(hDlg, nFrom);
    HWND hTo = GetDlgItem(hDlg, nFrom == IDC_VC_LISTOLD ? IDC_VC_LISTNEW : IDC_VC_LISTOLD);
    LRESULT nSel = SendMessageA(hFrom, LB_GETCURSEL, 0, 0);
    if (nSel != LB_ERR)
        SendMessageA(hTo, LB_SETCURSEL, (WPARAM)nSel, 0);
    SendMessageA(hTo, LB_SETTOPINDEX, (WPARAM)SendMessageA(hFrom, LB_GETTOPINDEX, 0, 0), 0);
}

INT_PTR CALLBACK fnFileDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    DlgParamStruct *lpParam = (DlgParamStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG:
        lpParam = (DlgParamStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)lpParam);
        for (int i = 0; i < 3; i++)
            if (lpParam->anTextIds[i])
                SetDlgItemTextA(hDlg, lpParam->anTextIds[i], lpParam->alpszTexts[i] ? lpParam->alpszTexts[i] : "");
        if (lpParam->lpszEdit1) {
            SetDlgItemTextA(hDlg, IDC_DISK_LOCATION, lpParam->lpszEdit1);
            SetDlgItemTextA(hDlg, IDC_DISK_FILE, lpParam->lpszEdit2);
        }
        if (lpParam->lpszListOld)
            fnInitLists(hDlg, lpParam);
        fnSetUpDialog(hDlg, TRUE, TRUE);
        return TRUE;
    case WM_COMMAND: {
        if (!lpParam)
            return FALSE;
        UINT uId = LOWORD(wParam);
        if ((uId == IDC_VC_LISTOLD || uId == IDC_VC_LISTNEW) && lpParam->lpszListOld) {
            if (HIWORD(wParam) == LBN_SELCHANGE)
                fnMatchLists(hDlg, (int)uId);
            return TRUE;
        }
        for (size_t i = 0; i < lpParam->nIds; i++) {
            if (lpParam->lpuIds[i] == uId) {
                fnEndWith(hDlg, lpParam, uId);
                return TRUE;
            }
        }
        if (uId == IDCANCEL) {
            fnEndWith(hDlg, lpParam, lpParam->uCloseId);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        if (lpParam)
            fnEndWith(hDlg, lpParam, lpParam->uCloseId);
        return TRUE;
    }
    return FALSE;
}

UINT fnRunFileDialog(HWND hWnd, UINT uTemplate, DlgParamStruct *lpParam, const char *lpszFile, UINT uQuietAnswer)
{
    if (g_pfnFileDialogHook) {
        UINT uAnswer = g_pfnFileDialogHook(uTemplate, lpszFile);
        if (uAnswer)
            return uAnswer;
    }
    if (g_bQuiet) {
        /* a hidden modal dialog would hold the run: take the safe answer */
        fnDebugLog("fnRunFileDialog", "Quiet: dialog %u for %s answered %u", g_uDebugLevel, uTemplate,
                   lpszFile ? lpszFile : "", uQuietAnswer);
        return uQuietAnswer;
    }
    HINSTANCE hInst = g_hInst ? g_hInst : GetModuleHandleA(NULL);
    INT_PTR nResult = DialogBoxParamA(hInst, MAKEINTRESOURCEA(uTemplate), hWnd, fnFileDlgProc, (LPARAM)lpParam);
    if (nResult == -1) {
        fnDebugLog("fnRunFileDialog", "Dialog %u failed, dwError=%lu", g_uDebugLevel, uTemplate,
                   (unsigned long)GetLastError());
        return uQuietAnswer;
    }
    return (UINT)nResult;
}

}  // namespace

UINT fnDiskDialog(HWND hWnd, const char *lpszLabel, char *lpszLocation, char *lpszName)
{
    static const UINT s_ids[] = {IDOK, IDC_DISK_SKIP, IDCANCEL};
    DlgParamStruct p = {IDCANCEL, IDCANCEL, s_ids, 3, {IDC_DISK_LABEL, 0, 0}, {lpszLabel, NULL, NULL},
                        lpszLocation, lpszName, 0, NULL, NULL};
    return fnRunFileDialog(hWnd, IDD_DISKPROMPT, &p, lpszName, IDC_DISK_SKIP);
}

UINT fnInUseDialog(HWND hWnd, const char *lpszFile)
{
    static const UINT s_ids[] = {IDC_INUSE_RETRY, IDC_INUSE_RESTART, IDC_INUSE_SKIP, IDC_INUSE_EXIT};
    /* closing this one decides nothing: the caller goes on as without an answer */
    DlgParamStruct p = {IDC_INUSE_EXIT, 0, s_ids, 4, {IDC_INUSE_FILE, 0, 0}, {lpszFile, NULL, NULL},
                        NULL, NULL, 0, NULL, NULL};
    return fnRunFileDialog(hWnd, IDD_INUSE, &p, lpszFile, IDC_INUSE_RESTART);
}

UINT fnVersionDialog(HWND hWnd, const char *lpszName, const char *lpszDir, DWORD dwVIF, const char *lpszExisting,
                     const char *lpszNew)
{
    static const UINT s_ids[] = {IDNO, IDYES, IDABORT};
    DlgParamStruct p = {IDABORT, IDABORT, s_ids, 3, {IDC_VC_NAME, IDC_VC_DIR, 0}, {lpszName, lpszDir, NULL},
                        NULL, NULL, dwVIF, lpszExisting, lpszNew};
    return fnRunFileDialog(hWnd, IDD_VERCONFLICT, &p, lpszName, IDNO);
}

UINT fnElsewhereDialog(HWND hWnd, const char *lpszName, const char *lpszDstDir, const char *lpszCurDir)
{
    static const UINT s_ids[] = {IDC_EW_KEEP, IDC_EW_DELETE, IDC_EW_REPLACE, IDC_EW_SKIP, IDC_EW_EXIT};
    DlgParamStruct p = {IDC_EW_EXIT, IDC_EW_EXIT, s_ids, 5, {IDC_EW_NAME, IDC_EW_DSTDIR, IDC_EW_CURDIR},
                        {lpszName, lpszDstDir, lpszCurDir}, NULL, NULL, 0, NULL, NULL};
    return fnRunFileDialog(hWnd, IDD_ELSEWHERE, &p, lpszName, IDC_EW_KEEP);
}

UINT fnExistsDialog(HWND hWnd, const char *lpszName, const char *lpszDir)
{
    static const UINT s_ids[] = {IDC_EX_BACKUP, IDC_EX_UNIQUE, IDC_EX_OVERWRITE, IDC_EX_SKIP, IDC_EX_EXIT};
    DlgParamStruct p = {IDC_EX_EXIT, IDC_EX_EXIT, s_ids, 5, {IDC_EX_NAME, IDC_EX_DIR, 0}, {lpszName, lpszDir, NULL},
                        NULL, NULL, 0, NULL, NULL};
    return fnRunFileDialog(hWnd, IDD_EXISTS, &p, lpszName, IDC_EX_BACKUP);
}
