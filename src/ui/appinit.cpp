/*
 * ui/appinit.cpp -- the installation information sections: "[AppInit]" (its
 * settings, the source and destination directories and the destination
 * test), the combined dialog of "[GetAllInstallInfo]" and
 * "[GetAllInstallInfo2]", and the hand-over of the shortcut folder lists.
 * The rules live in ui/inputcore.cpp; this file shows the dialogs and boxes
 * and makes the directories. A quiet run opens none of them: every answer
 * is the record's own, and a test that would have to ask fails instead.
 */
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

#include "commands/diskspace.h"
#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "resources/resource.h"
#include "install/dirs.h"
#include "script/optstore.h"
#include "script/textmodel.h"
#include "ui/inputdlg.h"
#include "ui/placement.h"

/* ---------------------------------------------------------------- destination test glue */

struct DestContextStruct {
    HWND hWnd;
};

static BOOL fnDestAsk(UserInputStruct *u, void *lpCtx)
{
    DirDialogStruct dir = {u->szCaption, u->szDestMsg1, u->szDestMsg2, NULL, ""};
    fnCopyBounded(dir.szPath, sizeof(dir.szPath), u->szDestPath);
    if (!fnDirectoryDialog(((DestContextStruct *)lpCtx)->hWnd, &dir))
        return FALSE;
    fnCopyBounded(u->szDestPath, sizeof(u->szDestPath), dir.szPath);
    return TRUE;
}

static int fnDestMessage(UINT uId, const char *lpszDrive, DWORD dwFree, DWORD dwNeed, void *lpCtx)
{
    (void)lpCtx;
    if (g_bQuiet) {
        /* nobody to ask: every box of the test that would decide ends it */
        fnDebugLog("fnCheckDestination", "Message %u for drive %s not shown in a quiet run", g_uDebugLevel, uId,
                   lpszDrive);
        return uId == 1049 ? DESTANS_ABORT : DESTANS_CANCEL;
    }
    UINT uFlags = MB_TASKMODAL;
    switch (uId) {
    case 1052: uFlags |= MB_OKCANCEL | MB_ICONQUESTION; break;
    case 1049: uFlags |= MB_ABORTRETRYIGNORE | MB_ICONQUESTION; break;
    case 1047: uFlags |= MB_OK | MB_ICONINFORMATION; break;
    case 1048: uFlags |= MB_OK | MB_ICONSTOP; break;
    default: uFlags |= MB_OK | MB_ICONEXCLAMATION; break;
    }
    if (uId == 1071)
        return fnMessage(uId, NULL, uFlags, lpszDrive);
    return fnMessage(uId, NULL, uFlags, lpszDrive, (unsigned long)dwFree, (unsigned long)dwNeed);
}

static BOOL fnDestMakeDirs(const UserInputStruct *u, void *lpCtx)
{
    /* the destination itself stands even when no directory section names it */
    DWORD dwAttr = GetFileAttributesA(g_szDestDir);
    if ((dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_DIRECTORY)) &&
        !fnCreateDirTreeLog(g_szDestDir, TRUE)) {
        if (!g_bQuiet)
            fnMessage(1053, NULL, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL, g_szDestDir);
        fnDebugLog("fnCheckDestination", "Destination %s cannot be created", g_uDebugLevel, g_szDestDir);
        return FALSE;
    }
    if (!g_lpszNextSection || !u->szDirSection[0])
        return TRUE;
    return fnInfMakeDirs(((DestContextStruct *)lpCtx)->hWnd, g_lpszNextSection, NULL, u->szDirSection) != 0;
}

static void fnDestSetCurrentDir(const char *lpszDir, void *lpCtx)
{
    (void)lpCtx;
    if (!SetCurrentDirectoryA(lpszDir))
        fnDebugLog("fnCheckDestination", "SetCurrentDirectory %s failed, dwError=%lu", g_uDebugLevel, lpszDir,
                   GetLastError());
}

static UINT fnRunDestinationTest(HWND hWnd, UserInputStruct *u)
{
    DestContextStruct ctx = {hWnd};
    DestOpsStruct ops = {fnDestAsk, fnDestMessage, fnDestMakeDirs, fnDestSetCurrentDir, &ctx};
    UINT r = fnCheckDestination(u, &ops);
    if (r == DEST_CANCELLED)
        g_bUserChoseExit = TRUE;
    fnDebugLog("fnCheckDestination", "result=%u, g_szDestDir=%s", g_uDebugLevel, r, g_szDestDir);
    return r;
}

/* ---------------------------------------------------------------- [AppInit] */

static BOOL fnIsDirectory(const char *lpszPath)
{
    DWORD dwAttr = GetFileAttributesA(lpszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

static UINT fnSourceStep(HWND hWnd, UserInputStruct *u)
{
    if (g_bNoPrompt)
        return SECT_CONTINUE;
    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), u->szSourceDir);
    fnCopyBounded(g_szSourceSlot[0], sizeof(g_szSourceSlot[0]), u->szSourceDir);
    if (u->bSourceDirPrompt && !g_bQuiet) {
        DirDialogStruct dir = {u->szSourceCaption, u->szSourceMsg1, u->szSourceMsg2, NULL, ""};
        fnCopyBounded(dir.szPath, sizeof(dir.szPath), u->szSourceDir);
        if (!fnDirectoryDialog(hWnd, &dir)) {
            g_bUserChoseExit = TRUE;
            return SECT_ERROR;
        }
        fnCopyBounded(u->szSourceDir, sizeof(u->szSourceDir), dir.szPath);
        fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), dir.szPath);
        fnCopyBounded(g_szSourceSlot[0], sizeof(g_szSourceSlot[0]), dir.szPath);
    }
    if (u->szSourceDir[0] && !fnIsDirectory(u->szSourceDir)) {
        if (!g_bQuiet)
            fnMessage(1036, NULL, MB_OK | MB_ICONSTOP, u->szSourceDir);
        fnDebugLog("fnGetUserInput", "Source directory %s does not exist", g_uDebugLevel, u->szSourceDir);
        return SECT_ERROR;
    }
    return SECT_CONTINUE;
}

static UINT fnDestinationStep(HWND hWnd, UserInputStruct *u)
{
    if (g_bNoPrompt || !u->bDirPrompt || g_bQuiet)
        return SECT_CONTINUE;
    DirDialogStruct dir = {u->szCaption, u->szDestMsg1, u->szDestMsg2, NULL, ""};
    fnCopyBounded(dir.szPath, sizeof(dir.szPath), u->szDestPath);
    if (!fnDirectoryDialog(hWnd, &dir)) {
        /* the run fails, as the user's choice: the exit code says cancelled */
        g_bUserChoseExit = TRUE;
        return SECT_ERROR;
    }
    fnCopyBounded(u->szDestPath, sizeof(u->szDestPath), dir.szPath);
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), dir.szPath);
    fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), dir.szPath);
    return SECT_CONTINUE;
}

static UINT fnAppInit(HWND hWnd, const char *lpszSection, UserInputStruct *u, const char *lpszName)
{
    const char *lpszBody = fnInfFindSection(lpszSection, lpszName);
    if (lpszBody && !fnReadAppInit(lpszBody, u))
        return SECT_ERROR;
    /* a run that may not ask (quiet, or -n) never asks again either, whatever DirPrompt says */
    if (g_bQuiet || g_bNoPrompt)
        u->bDirPrompt = FALSE;
    UINT r = fnSourceStep(hWnd, u);
    if (r == SECT_CONTINUE)
        r = fnDestinationStep(hWnd, u);
    if (r != SECT_CONTINUE)
        return r;
    switch (fnRunDestinationTest(hWnd, u)) {
    case DEST_OK: return SECT_CONTINUE;
    case DEST_CANCELLED: return SECT_ENDRUN;
    default: return SECT_ERROR;
    }
}

/* ---------------------------------------------------------------- combined dialog */

struct AllInfoStruct {
    UserInputStruct *lpUserInput;
    ReadSectStruct *lpRead;
    HWND hHelpBox;
    char szDest[CCH_PATH], szPath2[CCH_PATH], szPath4[CCH_PATH];
    char szDefault[CCH_ANSWER], szMore1[CCH_ANSWER], szMore2[CCH_ANSWER];
    BOOL bPath2Checked, bPath4Checked;
};

/* A box of the combined dialog's tests; a quiet run shows none and takes the answer that stops. */
static int fnAllInfoBox(UINT uId, UINT uFlags, const char *lpszPath, DWORD dwFree, DWORD dwNeed)
{
    if (g_bQuiet) {
        fnDebugLog("fnGetAllInstallInfo", "Message %u for %s not shown in a quiet run", g_uDebugLevel, uId, lpszPath);
        return IDCANCEL;
    }
    if (uId == 1053)
        return fnMessage(uId, NULL, uFlags | MB_TASKMODAL, lpszPath);
    return fnMessage(uId, NULL, uFlags | MB_TASKMODAL, lpszPath, (unsigned long)dwFree, (unsigned long)dwNeed);
}

/* Free space of one path against its need: TRUE when the dialog may end with it. */
static BOOL fnAllInfoSpace(const char *lpszPath, DWORD dwNeed, DWORD dwMin)
{
    if (!lpszPath[0])
        return TRUE;
    char szRoot[CCH_PATH];
    BOOL bRoot = fnDriveRoot(lpszPath, szRoot, sizeof(szRoot));
    if (g_lpMachine->pfnGetDriveType(bRoot ? szRoot : NULL) <= 1) {
        fnAllInfoBox(1053, MB_OK | MB_ICONEXCLAMATION, lpszPath, 0, 0);
        return FALSE;
    }
    if (!dwNeed)
        return TRUE;
    DWORD dwFree = fnFreeBytes32(bRoot ? szRoot : lpszPath);
    if (dwFree >= dwNeed)
        return TRUE;
    if (dwNeed <= dwMin) {
        fnAllInfoBox(1047, MB_OK | MB_ICONINFORMATION, bRoot ? szRoot : lpszPath, dwFree, dwNeed);
        return FALSE;
    }
    return fnAllInfoBox(1051, MB_OKCANCEL | MB_ICONQUESTION, bRoot ? szRoot : lpszPath, dwFree, dwNeed) == IDOK;
}

/* The dialog's paths tested: the Windows drive, then each path with its need. */
static BOOL fnAllInfoTest(const AllInfoStruct *a)
{
    const ReadSectStruct *r = a->lpRead;
    if (r->dwWinSpaceNeeded) {
        char szRoot[CCH_PATH];
        BOOL bRoot = fnDriveRoot(g_szWinDir, szRoot, sizeof(szRoot));
        DWORD dwFree = fnFreeBytes32(bRoot ? szRoot : g_szWinDir);
        if (dwFree < r->dwWinSpaceNeeded &&
            fnAllInfoBox(1052, MB_OKCANCEL | MB_ICONQUESTION, bRoot ? szRoot : g_szWinDir, dwFree,
                         r->dwWinSpaceNeeded) != IDOK)
            return FALSE;
    }
    if (!fnAllInfoSpace(a->szDest, r->dwSpaceNeeded[0], r->dwMinSpaceNeeded[0]))
        return FALSE;
    if (a->szPath2[0] && !fnAllInfoSpace(a->szPath2, r->dwSpaceNeeded[1], r->dwMinSpaceNeeded[1]))
        return FALSE;
    if (a->bPath4Checked && !fnAllInfoSpace(a->szPath4, r->dwSpaceNeeded[2], r->dwMinSpaceNeeded[2]))
        return FALSE;
    return TRUE;
}

static void fnAllInfoShowPath2(HWND hDlg, const AllInfoStruct *a)
{
    BOOL bChecked = IsDlgButtonChecked(hDlg, IDC_ALL_CHECK1) == BST_CHECKED;
    SetDlgItemTextA(hDlg, IDC_ALL_PATH2, bChecked ? a->lpRead->szPath2 : a->lpRead->szPath3);
}

static void fnAllInfoEnablePath4(HWND hDlg)
{
    BOOL bChecked = IsDlgButtonChecked(hDlg, IDC_ALL_CHECK2) == BST_CHECKED;
    EnableWindow(GetDlgItem(hDlg, IDC_ALL_PATH4), bChecked);
    EnableWindow(GetDlgItem(hDlg, IDC_ALL_BROWSE4), bChecked);
}

static void fnAllInfoInit(HWND hDlg, AllInfoStruct *a)
{
    const ReadSectStruct *r = a->lpRead;
    SetDlgItemTextA(hDlg, IDC_ALL_MSG2, r->szMsg[2]);
    SetDlgItemTextA(hDlg, IDC_ALL_MSG3, r->szMsg[3]);
    SetDlgItemTextA(hDlg, IDC_ALL_MSG4, r->szMsg[4]);
    SetDlgItemTextA(hDlg, IDC_ALL_PROMPT, r->szPrompt);
    for (int nId : {IDC_ALL_DEST, IDC_ALL_PATH2, IDC_ALL_PATH4})
        SendDlgItemMessageA(hDlg, nId, EM_LIMITTEXT, CCH_PATH - 1, 0);
    for (int nId : {IDC_ALL_DEFAULT, IDC_ALL_MORE1, IDC_ALL_MORE2})
        SendDlgItemMessageA(hDlg, nId, EM_LIMITTEXT, CCH_ANSWER - 1, 0);
    SetDlgItemTextA(hDlg, IDC_ALL_DEST, a->szDest);
    SetDlgItemTextA(hDlg, IDC_ALL_DEFAULT, r->szDefault);
    SetDlgItemTextA(hDlg, IDC_ALL_PATH4, r->szPath4);
    SetDlgItemTextA(hDlg, IDC_ALL_MORE1, r->szMoreInfo1);
    SetDlgItemTextA(hDlg, IDC_ALL_MORE2, r->szMoreInfo2);
    /* a row whose switch or text the section does not give is not shown */
    BOOL bRow2 = r->bUseButton1 || r->bUsePath1 || r->szMsg[5][0];
    BOOL bRow4 = r->bUseButton2 || r->bUsePath2 || r->szMsg[6][0];
    SetDlgItemTextA(hDlg, IDC_ALL_CHECK1, r->szMsg[5]);
    SetDlgItemTextA(hDlg, IDC_ALL_CHECK2, r->szMsg[6]);
    CheckDlgButton(hDlg, IDC_ALL_CHECK1, r->bCheck[0] ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hDlg, IDC_ALL_CHECK2, r->bCheck[1] ? BST_CHECKED : BST_UNCHECKED);
    for (int nId : {IDC_ALL_CHECK1, IDC_ALL_PATH2, IDC_ALL_BROWSE2})
        ShowWindow(GetDlgItem(hDlg, nId), bRow2 ? SW_SHOW : SW_HIDE);
    for (int nId : {IDC_ALL_CHECK2, IDC_ALL_PATH4, IDC_ALL_BROWSE4})
        ShowWindow(GetDlgItem(hDlg, nId), bRow4 ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(hDlg, IDC_ALL_MORE1), (r->bUseMoreInfo1 || r->szMoreInfo1[0]) ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(hDlg, IDC_ALL_MORE2), (r->bUseMoreInfo2 || r->szMoreInfo2[0]) ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(hDlg, IDC_HELPBTN), r->lpszHelp ? SW_SHOW : SW_HIDE);
    fnAllInfoShowPath2(hDlg, a);
    fnAllInfoEnablePath4(hDlg);
    EnableWindow(GetDlgItem(hDlg, IDOK), a->szDest[0] != '\0');
}

/* Reads the dialog's fields into a; FALSE when a field holds more than its slot. */
static BOOL fnAllInfoRead(HWND hDlg, AllInfoStruct *a)
{
    struct { int nId; char *lpsz; size_t cch; } const aFields[] = {
        {IDC_ALL_DEST, a->szDest, sizeof(a->szDest)},       {IDC_ALL_PATH2, a->szPath2, sizeof(a->szPath2)},
        {IDC_ALL_PATH4, a->szPath4, sizeof(a->szPath4)},    {IDC_ALL_DEFAULT, a->szDefault, sizeof(a->szDefault)},
        {IDC_ALL_MORE1, a->szMore1, sizeof(a->szMore1)},    {IDC_ALL_MORE2, a->szMore2, sizeof(a->szMore2)},
    };
    for (const auto &f : aFields) {
        HWND hItem = GetDlgItem(hDlg, f.nId);
        if (GetWindowTextLengthA(hItem) >= (int)f.cch)
            return FALSE;
        GetWindowTextA(hItem, f.lpsz, (int)f.cch);
    }
    if (!IsWindowVisible(GetDlgItem(hDlg, IDC_ALL_PATH2)))
        a->szPath2[0] = '\0';
    a->bPath2Checked = IsDlgButtonChecked(hDlg, IDC_ALL_CHECK1) == BST_CHECKED;
    a->bPath4Checked = IsWindowVisible(GetDlgItem(hDlg, IDC_ALL_PATH4)) &&
                       IsDlgButtonChecked(hDlg, IDC_ALL_CHECK2) == BST_CHECKED;
    if (!a->bPath4Checked)
        a->szPath4[0] = '\0';
    fnFixDrivePath(a->szDest, sizeof(a->szDest));
    fnFixDrivePath(a->szPath2, sizeof(a->szPath2));
    fnFixDrivePath(a->szPath4, sizeof(a->szPath4));
    return a->szDest[0] != '\0';
}

static INT_PTR CALLBACK fnAllInfoProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    AllInfoStruct *a = (AllInfoStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (uMsg) {
    case WM_INITDIALOG:
        a = (AllInfoStruct *)lParam;
        SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)a);
        fnSetUpDialog(hDlg, FALSE, FALSE);
        if (a->lpRead->szCaption[0])
            SetWindowTextA(hDlg, a->lpRead->szCaption);
        fnAllInfoInit(hDlg, a);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ALL_DEST:
            if (HIWORD(wParam) == EN_CHANGE)
                EnableWindow(GetDlgItem(hDlg, IDOK), GetWindowTextLengthA(GetDlgItem(hDlg, IDC_ALL_DEST)) > 0);
            return TRUE;
        case IDC_ALL_CHECK1: fnAllInfoShowPath2(hDlg, a); return TRUE;
        case IDC_ALL_CHECK2: fnAllInfoEnablePath4(hDlg); return TRUE;
        case IDC_ALL_BROWSE1: fnBrowseForFolder(hDlg, IDC_ALL_DEST); return TRUE;
        case IDC_ALL_BROWSE2: fnBrowseForFolder(hDlg, IDC_ALL_PATH2); return TRUE;
        case IDC_ALL_BROWSE4: fnBrowseForFolder(hDlg, IDC_ALL_PATH4); return TRUE;
        case IDC_HELPBTN: fnShowQuestionHelp(hDlg, a->lpRead, &a->hHelpBox); return TRUE;
        case IDOK:
            if (!fnAllInfoRead(hDlg, a) || !fnAllInfoTest(a))
                return TRUE;
            fnEndHelp(hDlg, a->lpRead, &a->hHelpBox);
            EndDialog(hDlg, IDOK);
            return TRUE;
        case IDCANCEL:
            fnEndHelp(hDlg, a->lpRead, &a->hHelpBox);
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        fnEndHelp(hDlg, a->lpRead, &a->hHelpBox);
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

/* The answers of the combined dialog into the record, the path slots and the answer slots. */
static void fnAllInfoStore(const AllInfoStruct *a, UserInputStruct *u)
{
    fnCopyBounded(u->szDestPath, sizeof(u->szDestPath), a->szDest);
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), a->szDest);
    fnCopyBounded(g_szPathSlot[0], CCH_PATH, a->szDest);
    if (a->szPath2[0])
        fnCopyBounded(g_szPathSlot[1], CCH_PATH, a->szPath2);
    if (a->szPath4[0])
        fnCopyBounded(g_szPathSlot[2], CCH_PATH, a->szPath4);
    fnCopyBounded(g_lpszAskForResponse[0], CCH_ANSWER, a->szDefault);
    fnCopyBounded(g_lpszAskForResponse[1], CCH_ANSWER, a->szMore1);
    fnCopyBounded(g_lpszAskForResponse[2], CCH_ANSWER, a->szMore2);
    fnDebugLog("fnGetAllInstallInfo", "dest=%s, path2=%s, path4=%s, default=%s", g_uDebugLevel, a->szDest,
               a->szPath2, a->szPath4, a->lpRead->bSecret ? "(hidden)" : a->szDefault);
}

static UINT fnGetAllInstallInfo(HWND hWnd, const char *lpszSection, UserInputStruct *u, const char *lpszName)
{
    static ReadSectStruct s_read;  /* kept for a later showing without reading again */
    AllInfoStruct *a = (AllInfoStruct *)calloc(1, sizeof(AllInfoStruct));
    if (!a)
        return SECT_ERROR;
    UINT uStatus = SECT_CONTINUE;
    if (!u->bSkipAllInstallReader) {
        const char *lpszBody = fnInfFindSection(lpszSection, lpszName);
        fnFreeReadSect(&s_read);
        fnInitReadSect(&s_read, NULL, 0);
        if (!lpszBody || fnInfCountLines(lpszBody, NULL, 1) == 0) {
            free(a);
            return SECT_CONTINUE;
        }
        if (!fnReadInputSection(lpszBody, &s_read)) {
            free(a);
            return SECT_ERROR;
        }
        if (s_read.bExitSet) {
            u->uOnExit = g_uOnExit;
            u->uBackupMode = g_uBackUpMethod;
        }
        if (s_read.bLogFile)
            fnCopyBounded(u->szLogFile, sizeof(u->szLogFile), s_read.szLogFile);
    }
    a->lpUserInput = u;
    a->lpRead = &s_read;
    fnCopyBounded(a->szDest, sizeof(a->szDest), s_read.szPath[0] ? s_read.szPath : u->szDestPath);
    if (g_bQuiet) {
        /* the section's own values are the answers */
        fnCopyBounded(a->szPath2, sizeof(a->szPath2), s_read.bCheck[0] ? s_read.szPath2 : s_read.szPath3);
        fnCopyBounded(a->szPath4, sizeof(a->szPath4), s_read.bCheck[1] ? s_read.szPath4 : "");
        a->bPath4Checked = s_read.bCheck[1];
        fnCopyBounded(a->szDefault, sizeof(a->szDefault), s_read.szDefault);
        fnCopyBounded(a->szMore1, sizeof(a->szMore1), s_read.szMoreInfo1);
        fnCopyBounded(a->szMore2, sizeof(a->szMore2), s_read.szMoreInfo2);
        if (!fnAllInfoTest(a))
            uStatus = SECT_ERROR;
    } else {
        UINT uTemplate = fnEqualNoCase(lpszName, "[GetAllInstallInfo2]") ? IDD_ALLINFO2 : IDD_ALLINFO;
        INT_PTR r = DialogBoxParamA(g_hInst, MAKEINTRESOURCEA(uTemplate), hWnd, fnAllInfoProc, (LPARAM)a);
        if (r != IDOK) {
            g_bUserChoseExit = TRUE;
            uStatus = SECT_ENDRUN;
        }
    }
    if (uStatus == SECT_CONTINUE) {
        fnAllInfoStore(a, u);
        if (g_bQuiet || g_bNoPrompt)
            u->bDirPrompt = FALSE;
        UINT uDest = fnRunDestinationTest(hWnd, u);
        uStatus = uDest == DEST_OK ? SECT_CONTINUE : (uDest == DEST_CANCELLED ? SECT_ENDRUN : SECT_ERROR);
    }
    free(a);
    return uStatus;
}

UINT fnGetUserInput(HWND hWnd, const char *lpszSection, UserInputStruct *lpUserInput, const char *lpszName)
{
    if (fnEqualNoCase(lpszName, "[ShortCuts]") || fnEqualNoCase(lpszName, "[PMGroups]"))
        return fnShortcutFolderList(hWnd, lpszSection, lpUserInput, lpszName);
    if (fnEqualNoCase(lpszName, "[AppInit]"))
        return fnAppInit(hWnd, lpszSection, lpUserInput, lpszName);
    if (fnEqualNoCase(lpszName, "[GetAllInstallInfo]") || fnEqualNoCase(lpszName, "[GetAllInstallInfo2]"))
        return fnGetAllInstallInfo(hWnd, lpszSection, lpUserInput, lpszName);
    return SECT_CONTINUE;
}
