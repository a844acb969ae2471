/*
 * install/move_sections.cpp -- the move, rename and delete sections. A move
 * line moves, copies, renames or deletes one file or a wildcard set; a
 * "[DeleteFiles]" line deletes files and directory trees. What an
 * administrator relies on is kept here: a wildcard or tree line never works
 * in a drive root, the Windows folder or the program's folder, nor on a
 * path whose option had no value; a move copies, compares and only then
 * deletes its source; a file met in use is replaced or deleted at restart,
 * never by scheduling its source away; recursion takes each folder's names
 * before acting and never enters its own destination or a link.
 */
#include "install/movesections.h"

#include <commdlg.h>
#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/sectiondriver.h"
#include "driver/winstate.h"
#include "install/copylines.h"
#include "install/copyprim.h"
#include "install/dirs.h"
#include "install/filerules.h"
#include "install/fileops.h"
#include "install/moverules.h"
#include "install/namelist.h"
#include "resource.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/keytable.h"
#include "script/optstore.h"
#include "script/pathtext.h"
#include "script/textmodel.h"
#include "ui/placement.h"
#include "ui/progress.h"

#define MAX_MOVE_LINES 9000

namespace {

UINT s_uMaxFiles;  /* the meter's range in the running section */
char s_szTopDst[MAX_PATH];  /* the destination folder of the running wildcard line, or empty */

BOOL fnPathExists(const char *lpszPath)
{
    return GetFileAttributesA(lpszPath) != INVALID_FILE_ATTRIBUTES;
}

BOOL fnIsDirectory(const char *lpszPath)
{
    DWORD dwAttr = GetFileAttributesA(lpszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

/* The directory part (no trailing backslash but for a root) and the name of a path. */
void fnSplitDirName(const char *lpszPath, char *lpszDir, char *lpszName)
{
    fnSplitPath(lpszPath, NULL, NULL, NULL, NULL, lpszName, lpszDir);
}

/* TRUE when lpszInner is lpszOuter or lies below it. */
BOOL fnIsWithin(const char *lpszInner, const char *lpszOuter)
{
    size_t n = strlen(lpszOuter);
    while (n > 0 && lpszOuter[n - 1] == '\\')
        n--;
    if (n == 0 || strlen(lpszInner) < n || !fnPrefixNoCase(lpszInner, lpszOuter, n))
        return FALSE;
    return lpszInner[n] == '\0' || lpszInner[n] == '\\';
}

/* A restart is needed; an exit action the script chose stays, and a later copy from the run record keeps it. */
void fnRequestRestart(void)
{
    if (g_uOnExit == 0)
        g_uOnExit = 4;
    if (g_lpUserInput && g_lpUserInput->uOnExit == 0)
        g_lpUserInput->uOnExit = 4;
}

/* A Yes/No question that lets the run go on; a quiet run goes on. */
BOOL fnAskGoOn(UINT uId, ...)
{
    if (g_bQuiet)
        return TRUE;
    char szFormat[CCH_MSG], szText[CCH_LINE_BUF];
    fnLoadStr(uId, szFormat, sizeof(szFormat));
    va_list args;
    va_start(args, uId);
    fnVFormatBounded(szText, sizeof(szText), szFormat, args);
    va_end(args);
    return fnMessage(0, NULL, MB_YESNO | MB_ICONQUESTION, "%s", szText) == IDYES;
}

/* TRUE when the two files hold the same bytes. */
BOOL fnSameContent(const char *lpszA, const char *lpszB)
{
    HANDLE hA = CreateFileA(lpszA, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (hA == INVALID_HANDLE_VALUE)
        return FALSE;
    HANDLE hB = CreateFileA(lpszB, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (hB == INVALID_HANDLE_VALUE) {
        CloseHandle(hA);
        return FALSE;
    }
    BOOL bSame = FALSE;
    LARGE_INTEGER liA, liB;
    const DWORD cbBlock = 65536;
    BYTE *lpBuf = (BYTE *)malloc(2 * cbBlock);
    if (lpBuf && GetFileSizeEx(hA, &liA) && GetFileSizeEx(hB, &liB) && liA.QuadPart == liB.QuadPart) {
        bSame = TRUE;
        for (;;) {
            DWORD cbA = 0, cbB = 0;
            if (!ReadFile(hA, lpBuf, cbBlock, &cbA, NULL) || !ReadFile(hB, lpBuf + cbBlock, cbBlock, &cbB, NULL) ||
                cbA != cbB || memcmp(lpBuf, lpBuf + cbBlock, cbA) != 0) {
                bSame = FALSE;
                break;
            }
            if (cbA == 0)
                break;
        }
    }
    free(lpBuf);
    CloseHandle(hB);
    CloseHandle(hA);
    return bSame;
}

}  // namespace

/* ------------------------------------------------------------------ deleting */

BOOL fnDeleteAFile(const char *lpszFileSpec)
{
    DWORD dwAttr = GetFileAttributesA(lpszFileSpec);
    if (dwAttr == INVALID_FILE_ATTRIBUTES || (dwAttr & FILE_ATTRIBUTE_DIRECTORY))
        return 1;
    SetFileAttributesA(lpszFileSpec, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(lpszFileSpec)) {
        fnWriteLog("%s,  D", TRUE, lpszFileSpec);
        return 1;
    }
    DWORD dwError = GetLastError();
    /* only a file held by a program waits for the restart; any other failure leaves the file as it was */
    if (fnTestInUse(NULL, FALSE, dwError, lpszFileSpec) == INUSEANS_NOTINUSE) {
        SetFileAttributesA(lpszFileSpec, dwAttr);
        fnDebugLog("fnDeleteAFile", "DeleteFile failed, lpszFileSpec=%s, dwError=%lu", g_uDebugLevel, lpszFileSpec,
                   (unsigned long)dwError);
        return 1;
    }
    if (g_lpFileOps->pfnCloseHolder(lpszFileSpec) && DeleteFileA(lpszFileSpec)) {
        fnWriteLog("%s,  D", TRUE, lpszFileSpec);
        return 1;
    }
    if (fnReplaceFileInUse(lpszFileSpec, "NUL")) {
        fnRequestRestart();
        fnWriteLog("%s,  D", TRUE, lpszFileSpec);
    } else {
        SetFileAttributesA(lpszFileSpec, dwAttr);
        fnDebugLog("fnDeleteAFile", "Cannot schedule the deletion of %s", g_uDebugLevel, lpszFileSpec);
    }
    return 1;
}

static void fnDeleteTreeIn(const char *lpszDir, const char *lpszPattern, const char *lpszKeepDir, BOOL bRecurse)
{
    NameListStruct files = {NULL, 0, 0};
    fnListNames(lpszDir, lpszPattern, FALSE, &files);
    char szPath[MAX_PATH];
    for (UINT i = 0; i < files.uCount; i++) {
        if (fnJoinPath(szPath, sizeof(szPath), lpszDir, files.lpNames[i]))
            fnDeleteAFile(szPath);
    }
    fnListFree(&files);
    if (bRecurse) {
        NameListStruct dirs = {NULL, 0, 0};
        fnListNames(lpszDir, "*", TRUE, &dirs);
        for (UINT i = 0; i < dirs.uCount; i++) {
            /* the same pattern below: a tree delete of *.LOG leaves other files where they are */
            if (fnJoinPath(szPath, sizeof(szPath), lpszDir, dirs.lpNames[i]))
                fnDeleteTreeIn(szPath, lpszPattern, lpszKeepDir, TRUE);
        }
        fnListFree(&dirs);
    }
    if (lpszKeepDir && fnEqualNoCase(lpszDir, lpszKeepDir))
        return;
    SetFileAttributesA(lpszDir, FILE_ATTRIBUTE_NORMAL);
    if (RemoveDirectoryA(lpszDir))
        fnWriteLog("%s,  D", TRUE, lpszDir);
    else
        fnDebugLog("fnDeleteTree fnRmdir error", "lpszDir=%s, dwError=%lu", g_uDebugLevel, lpszDir,
                   (unsigned long)GetLastError());
}

BOOL fnDeleteTree(const char *lpszSpec, const char *lpszKeepDir, BOOL bRecurse)
{
    char szDir[MAX_PATH], szName[MAX_PATH];
    if (fnHasWildcard(lpszSpec)) {
        fnSplitDirName(lpszSpec, szDir, szName);
    } else {
        fnCopyBounded(szDir, sizeof(szDir), lpszSpec);
        fnCopyBounded(szName, sizeof(szName), "*.*");
    }
    fnDebugLog("fnDeleteTree", "szDir=%s, szName=%s, lpszKeepDir=%s, bRecurse=%d", g_uDebugLevel, szDir, szName,
               lpszKeepDir ? lpszKeepDir : "", bRecurse);
    fnDeleteTreeIn(szDir, szName, lpszKeepDir, bRecurse);
    return 1;
}

namespace {

/*
 * Expands a path field of a move or delete line as data and makes it a full
 * path (a relative one lies in lpszBase). FALSE when it would be cut or is
 * too long; *lpbMissing tells that an option in it had no value.
 */
BOOL fnLinePath(char *lpszField, const char *lpszBase, char *lpszOut, size_t cchOut, BOOL *lpbMissing)
{
    int nRC = EXPAND_NONE;
    if (!fnExpandDataField(lpszField, CCH_FIELD_BUF, "fnLinePath", &nRC))
        return FALSE;
    *lpbMissing = (nRC == EXPAND_MISSING);
    fnStripQuotes(lpszField);
    for (char *p = lpszField; *p; p++)
        if (*p == '/')
            *p = '\\';
    char szJoined[CCH_FIELD_BUF];
    if (fnIsAbsolutePath(lpszField) || lpszField[0] == '\\')
        fnCopyBounded(szJoined, sizeof(szJoined), lpszField);
    else if (!fnJoinPath(szJoined, sizeof(szJoined), lpszBase, lpszField))
        return FALSE;
    /* "." and ".." parts resolved, so the guard sees the folder really meant */
    DWORD cch = GetFullPathNameA(szJoined, (DWORD)cchOut, lpszOut, NULL);
    return cch > 0 && cch < cchOut;
}

/* FALSE (and a debug-log entry) for a wildcard or tree line the guard refuses. */
BOOL fnWildLineAllowed(const char *lpszDir, BOOL bMissing, const char *lpszLine)
{
    if (bMissing || fnIsGuardedDir(lpszDir)) {
        fnDebugLog("fnWildLineAllowed", "Refused: %s works in %s%s", g_uDebugLevel, lpszLine, lpszDir,
                   bMissing ? " (an option had no value)" : "");
        return FALSE;
    }
    return TRUE;
}

}  // namespace

UINT fnInfDeleteFiles(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF], szWork[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    UINT uLine = 0;
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        uLine++;
        fnCopyBounded(szWork, sizeof(szWork), szLine);
        int b = 0;
        if (fnInfParseField(szWork, 0, szKey, sizeof(szKey))) {
            if (!fnInfParseField(szWork, 1, szValue, sizeof(szValue))) {
                if (!g_bQuiet)
                    fnMessage(1044, NULL, MB_OK | MB_ICONSTOP, 1u, szLine);
                return 0;
            }
            UINT uTest = fnInfTestField(szKey, szValue);
            if (uTest == IDTEST_SKIPREST)
                return 1;
            if (uTest == IDTEST_GOON || uTest == IDTEST_FALSE)
                continue;
            b = 1;
        }
        char szSpec[CCH_FIELD_BUF], szTree[CCH_FIELD_BUF];
        fnCopyBounded(szWork, sizeof(szWork), szLine);
        if (!fnInfParseField(szWork, b + 1, szSpec, sizeof(szSpec)) || !szSpec[0]) {
            if (!g_bQuiet)
                fnMessage(1044, NULL, MB_OK | MB_ICONSTOP, (UINT)(b + 1), szLine);
            return 0;
        }
        if (!fnInfParseField(szWork, b + 2, szTree, sizeof(szTree)))
            szTree[0] = '\0';
        int nTree = fnDeleteTreeWord(szTree);
        char szPath[MAX_PATH], szDir[MAX_PATH], szFile[MAX_PATH];
        BOOL bMissing = FALSE;
        if (!fnLinePath(szSpec, g_szSourceDir, szPath, sizeof(szPath), &bMissing)) {
            fnDebugLog("fnInfDeleteFiles", "Line %u: the path cannot be made: %s", g_uDebugLevel, uLine, szLine);
            return 0;
        }
        fnSplitDirName(szPath, szDir, szFile);
        if (fnHasWildcard(szFile)) {
            if (!fnWildLineAllowed(szDir, bMissing, szLine))
                return 0;
            fnDeleteTree(szPath, nTree == DELTREE_KEEP ? szDir : NULL, nTree != DELTREE_NONE);
        } else if (fnIsDirectory(szPath)) {
            /* a folder with a tree word is a tree; a bare folder goes only when it is empty */
            if (nTree == DELTREE_NONE) {
                if (RemoveDirectoryA(szPath))
                    fnWriteLog("%s,  D", TRUE, szPath);
                continue;
            }
            if (!fnWildLineAllowed(szPath, bMissing, szLine))
                return 0;
            fnDeleteTree(szPath, nTree == DELTREE_KEEP ? szPath : NULL, TRUE);
        } else {
            fnDeleteAFile(szPath);
        }
    }
    return 1;
}

/* ------------------------------------------------------------------ renaming */

BOOL fnRename(const char *lpszOld, const char *lpszNew)
{
    if (g_OSInfo.bWinNT)
        return g_lpFileOps->pfnMoveFileEx(lpszOld, lpszNew, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    DeleteFileA(lpszNew);
    return MoveFileA(lpszOld, lpszNew);
}

/* ------------------------------------------------------------------ one file */

namespace {

const char *fnActionWord(UINT uMode)
{
    switch (uMode) {
    case MOVE_MOVE:
    case MOVE_ASK: return "move";
    case MOVE_COPY:
    case MOVE_OVERWRITE: return "copy";
    case MOVE_DELETE: return "delete";
    default: return "rename";
    }
}

INT_PTR CALLBACK fnMovePromptProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        fnSetUpDialog(hDlg, TRUE, TRUE);
        SetDlgItemTextA(hDlg, IDC_MP_FILE, (const char *)lParam);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MP_MOVE:
        case IDC_MP_COPY:
        case IDC_MP_DELETE:
        case IDC_MP_RENAME:
        case IDCANCEL:
            EndDialog(hDlg, LOWORD(wParam));
            return TRUE;
        case IDC_MP_EXIT:
            if (fnMessage(1055, NULL, MB_YESNO | MB_ICONQUESTION) == IDYES)
                EndDialog(hDlg, IDC_MP_EXIT);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

/* The user's choice for a file of a "P" line: a move mode, IDCANCEL, or IDC_MP_EXIT. A quiet run takes no action. */
UINT fnAskMoveMode(HWND hWnd, const char *lpszFile)
{
    if (g_bQuiet) {
        fnDebugLog("fnAskMoveMode", "Quiet run: no action for %s", g_uDebugLevel, lpszFile);
        return IDCANCEL;
    }
    INT_PTR n = DialogBoxParamA(g_hInst ? g_hInst : GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MOVEPROMPT), hWnd,
                                fnMovePromptProc, (LPARAM)lpszFile);
    return n > 0 ? (UINT)n : IDCANCEL;
}

/* The file-open dialog for the destination of a chosen action; FALSE when the user cancelled. */
BOOL fnAskDestination(HWND hWnd, UINT uMode, const char *lpszSrc, const char *lpszSrcName, char *lpszDst,
                      const char *lpszDstDir, const char *lpszDstName)
{
    char szTitle[CCH_MSG];
    if (uMode == MOVE_MOVE) {
        if (fnFormatBounded(szTitle, sizeof(szTitle), "Move %s to", lpszSrc) >= (int)sizeof(szTitle) - 1)
            fnCopyBounded(szTitle, sizeof(szTitle), "Move file to");
    } else if (uMode == MOVE_COPY || uMode == MOVE_OVERWRITE) {
        fnFormatBounded(szTitle, sizeof(szTitle), "Copy %s to", lpszSrcName);
    } else if (uMode == MOVE_RENAME) {
        fnFormatBounded(szTitle, sizeof(szTitle), "Rename %s to", lpszSrcName);
    } else {
        fnCopyBounded(szTitle, sizeof(szTitle), "Specify destination");
    }
    char szFile[MAX_PATH];
    fnCopyBounded(szFile, sizeof(szFile), lpszDstName);
    OPENFILENAMEA ofn;
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hWnd;
    ofn.lpstrFilter = "All Files\0*.*\0";
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = sizeof(szFile);
    ofn.lpstrInitialDir = lpszDstDir;
    ofn.lpstrTitle = szTitle;
    ofn.Flags = OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn))
        return FALSE;
    fnCopyBounded(lpszDst, MAX_PATH, szFile);
    return TRUE;
}

/* What in-use handling decided. */
enum { INUSE_STOP = 0, INUSE_DONE = 1, INUSE_LEFT = 2, INUSE_AGAIN = 3, INUSE_FAILED = 4 };

/*
 * A failed delete, rename or copy: the user or the line's in-use action
 * decides. lpszReplaceSrc to lpszReplaceDst ("NUL": delete) is scheduled for
 * the restart when the file is in use and the line lets it wait.
 * INUSE_DONE scheduled, INUSE_LEFT left as it is, INUSE_AGAIN try again,
 * INUSE_STOP stop the section, INUSE_FAILED the error was no in-use error.
 */
UINT fnHandleInUse(HWND hWnd, IFStruct *lpIF, DWORD dwError, const char *lpszFile, const char *lpszReplaceSrc,
                   const char *lpszReplaceDst, BOOL *lpbCloseTried)
{
    UINT uAnswer = fnTestInUse(hWnd, lpIF->uInUseAction == MOVEINUSE_ASK, dwError, lpszFile);
    switch (uAnswer) {
    case INUSEANS_RETRY: return INUSE_AGAIN;
    case INUSEANS_SKIP: return INUSE_LEFT;
    case INUSEANS_EXIT: return INUSE_STOP;
    case INUSEANS_NOTINUSE: return INUSE_FAILED;
    default: break;
    }
    if (uAnswer == INUSEANS_NOPROMPT && lpIF->uInUseAction == MOVEINUSE_CLOSE && !*lpbCloseTried) {
        *lpbCloseTried = TRUE;
        if (g_lpFileOps->pfnCloseHolder(lpszFile))
            return INUSE_AGAIN;
    }
    if (lpIF->uInUseAction == MOVEINUSE_SKIP)
        return INUSE_LEFT;
    if (!fnReplaceFileInUse(lpszReplaceSrc, lpszReplaceDst)) {
        fnDebugLog("fnHandleInUse", "Cannot schedule %s for %s", g_uDebugLevel, lpszReplaceSrc, lpszReplaceDst);
        return INUSE_FAILED;
    }
    fnRequestRestart();
    return INUSE_DONE;
}

/*
 * Keeps a copy of an existing destination under a backup name of the run's
 * backup method before it is replaced. TRUE when there was nothing to keep
 * or the copy was made.
 */
BOOL fnBackUpDestination(const char *lpszDstDir, const char *lpszDstName, const char *lpszDst)
{
    if (!fnPathExists(lpszDst) || g_uBackUpMethod == BACKUP_PROMPT)
        return TRUE;
    char szBackup[MAX_PATH];
    if (fnUniqueFileName(lpszDstDir, lpszDstName, szBackup) != 2 || !fnCopyFile(lpszDst, szBackup, TRUE, TRUE)) {
        fnDebugLog("fnBackUpDestination", "No backup of %s", g_uDebugLevel, lpszDst);
        return FALSE;
    }
    fnWriteLog("%s, %s, C", TRUE, lpszDst, szBackup);
    return TRUE;
}

/* The destination's attributes after a copy or rename: the source's kept ones, or normal. */
BOOL fnSetMoveAttributes(const IFStruct *lpIF, const char *lpszDst, DWORD dwSrcAttr)
{
    DWORD dwAttr = lpIF->uAttribMode == MOVEATTR_KEEP ? dwSrcAttr : FILE_ATTRIBUTE_NORMAL;
    if (dwAttr == 0)
        dwAttr = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesA(lpszDst, dwAttr);
}

void fnMoveProgress(const IFStruct *lpIF, UINT uMode, const char *lpszSrc, const char *lpszDst)
{
    HWND hDlg = lpIF->hWndProgress;
    if (!hDlg || lpIF->bQuiet)
        return;
    static const struct {
        UINT uMode;
        const char *lpszStatus, *lpszDesc, *lpszTarget;
    } s_texts[] = {{MOVE_MOVE, "Moving files ...", "Moving file:", "to: %s"},
                   {MOVE_COPY, "Copying files ...", "Saving file:", "as: %s"},
                   {MOVE_OVERWRITE, "Copying files ...", "Saving file:", "as: %s"},
                   {MOVE_DELETE, "Deleting files ...", "Deleting file:", ""},
                   {MOVE_RENAME, "Renaming files ...", "Renaming file:", "to: %s"}};
    for (const auto &t : s_texts) {
        if (t.uMode != uMode)
            continue;
        char szTarget[MAX_PATH + 8];
        fnFormatBounded(szTarget, sizeof(szTarget), t.lpszTarget, lpszDst);
        fnSetProgressText(hDlg, IDC_PROGRESS_STATUS, t.lpszStatus);
        fnSetProgressText(hDlg, IDC_PROGRESS_DESC, t.lpszDesc);
        fnSetProgressText(hDlg, IDC_PROGRESS_SOURCE, lpszSrc);
        fnSetProgressText(hDlg, IDC_PROGRESS_TARGET, szTarget);
    }
}

/* The failure of an action that cannot wait for a restart: message 1121, Yes goes on. */
UINT fnActionFailed(UINT uMode, const char *lpszSrc, const char *lpszDst, DWORD dwError)
{
    fnDebugLog("fnProcessMoveFile", "Cannot %s %s to %s, dwError=%lu", g_uDebugLevel, fnActionWord(uMode), lpszSrc,
               lpszDst, (unsigned long)dwError);
    return fnAskGoOn(1121, fnActionWord(uMode), lpszSrc, lpszDst) ? 1 : 0;
}

UINT fnDeleteMoveSource(HWND hWnd, IFStruct *lpIF, const char *lpszSrc)
{
    BOOL bCloseTried = FALSE;
    for (;;) {
        DWORD dwAttr = GetFileAttributesA(lpszSrc);
        SetFileAttributesA(lpszSrc, FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileA(lpszSrc)) {
            fnWriteLog("%s,  D", TRUE, lpszSrc);
            return 1;
        }
        DWORD dwError = GetLastError();
        if (dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY)) {
            if (RemoveDirectoryA(lpszSrc))
                fnWriteLog("%s,  D", TRUE, lpszSrc);
            return 1;
        }
        UINT u = fnHandleInUse(hWnd, lpIF, dwError, lpszSrc, lpszSrc, "NUL", &bCloseTried);
        if (u == INUSE_AGAIN)
            continue;
        if (u != INUSE_DONE && dwAttr != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(lpszSrc, dwAttr);
        if (u == INUSE_DONE)
            fnWriteLog("%s,  D", TRUE, lpszSrc);
        return u == INUSE_STOP ? 0 : 1;
    }
}

UINT fnRenameFile(HWND hWnd, IFStruct *lpIF, const char *lpszSrc, const char *lpszDst, DWORD dwSrcAttr,
                  const char *lpszDstDir, const char *lpszDstName)
{
    if (!fnBackUpDestination(lpszDstDir, lpszDstName, lpszDst))
        return fnActionFailed(MOVE_RENAME, lpszSrc, lpszDst, 0);
    BOOL bCloseTried = FALSE;
    for (;;) {
        SetFileAttributesA(lpszSrc, FILE_ATTRIBUTE_NORMAL);
        if (fnRename(lpszSrc, lpszDst)) {
            if (!fnSetMoveAttributes(lpIF, lpszDst, dwSrcAttr))
                return 0;
            fnWriteLog("%s, %s, R", TRUE, lpszSrc, lpszDst);
            return 1;
        }
        DWORD dwError = GetLastError();
        SetFileAttributesA(lpszSrc, dwSrcAttr ? dwSrcAttr : FILE_ATTRIBUTE_NORMAL);
        UINT u = fnHandleInUse(hWnd, lpIF, dwError, lpszSrc, lpszSrc, lpszDst, &bCloseTried);
        if (u == INUSE_AGAIN)
            continue;
        if (u == INUSE_DONE)
            fnWriteLog("%s, %s, R", TRUE, lpszSrc, lpszDst);
        if (u == INUSE_FAILED)
            return fnActionFailed(MOVE_RENAME, lpszSrc, lpszDst, dwError);
        return u == INUSE_STOP ? 0 : 1;
    }
}

UINT fnCopyOrMoveFile(HWND hWnd, IFStruct *lpIF, UINT uMode, const char *lpszSrc, const char *lpszDst,
                      DWORD dwSrcAttr, const char *lpszDstDir, const char *lpszDstName)
{
    BOOL bExists = fnPathExists(lpszDst);
    if (uMode == MOVE_COPY && bExists)
        return 1;
    /* a move keeps what it replaces; an overwriting copy replaces as the line asks */
    if (bExists && uMode == MOVE_MOVE && !fnBackUpDestination(lpszDstDir, lpszDstName, lpszDst))
        return fnActionFailed(uMode, lpszSrc, lpszDst, 0);
    /* the file that holds the data once the copy is done: the destination, or a copy waiting for the restart */
    char szWritten[MAX_PATH];
    fnCopyBounded(szWritten, sizeof(szWritten), lpszDst);
    BOOL bCloseTried = FALSE;
    for (;;) {
        if (fnPathExists(lpszDst))
            SetFileAttributesA(lpszDst, FILE_ATTRIBUTE_NORMAL);
        if (fnCopyFile(lpszSrc, lpszDst, FALSE, TRUE)) {
            if (!fnSetMoveAttributes(lpIF, lpszDst, dwSrcAttr))
                return 0;
            break;
        }
        DWORD dwError = GetLastError();
        /*
         * The destination is held open: the source is copied beside it and
         * that copy replaces it at the restart. The source itself is never
         * scheduled away, so nothing is lost when the restart comes late.
         */
        char szWaiting[MAX_PATH] = "";
        UINT uTest = fnTestInUse(NULL, FALSE, dwError, lpszDst);
        if (uTest != INUSEANS_NOTINUSE &&
            (!fnGetTempFileName(lpszDstDir, "tgm", szWaiting) || !fnCopyFile(lpszSrc, szWaiting, FALSE, TRUE))) {
            if (szWaiting[0])
                DeleteFileA(szWaiting);
            return fnActionFailed(uMode, lpszSrc, lpszDst, dwError);
        }
        UINT u = fnHandleInUse(hWnd, lpIF, dwError, lpszDst, szWaiting[0] ? szWaiting : lpszSrc, lpszDst,
                               &bCloseTried);
        if (u != INUSE_DONE && szWaiting[0])
            DeleteFileA(szWaiting);
        if (u == INUSE_AGAIN)
            continue;
        if (u == INUSE_STOP)
            return 0;
        if (u == INUSE_LEFT)
            return 1;
        if (u == INUSE_FAILED)
            return fnActionFailed(uMode, lpszSrc, lpszDst, dwError);
        fnCopyBounded(szWritten, sizeof(szWritten), szWaiting);
        break;
    }
    if (uMode != MOVE_MOVE) {
        fnWriteLog("%s, %s, C", TRUE, lpszSrc, lpszDst);
        return 1;
    }
    /* the source goes only once its copy holds the same bytes */
    if (!fnSameContent(lpszSrc, szWritten))
        return fnActionFailed(uMode, lpszSrc, lpszDst, 0);
    UINT uDeleted = fnDeleteMoveSource(hWnd, lpIF, lpszSrc);
    fnWriteLog("%s, %s, M", TRUE, lpszSrc, lpszDst);
    return uDeleted;
}

}  // namespace

UINT fnProcessMoveFile(HWND hWnd, IFStruct *lpIF)
{
    lpIF->szSrcFileName[0] = lpIF->szSrcFilePath[0] = lpIF->szDstFileName[0] = lpIF->szDstDir[0] = '\0';
    UINT uMode = lpIF->uMoveMode;
    BOOL bChosen = FALSE;
    char szSrc[MAX_PATH], szSrcDir[MAX_PATH], szSrcName[MAX_PATH];
    if (!fnCopyBounded(szSrc, sizeof(szSrc), lpIF->szSrcFileSpec))
        return fnActionFailed(uMode, lpIF->szSrcFileSpec, lpIF->szDstFileSpec, 0);
    fnSplitDirName(szSrc, szSrcDir, szSrcName);
    if (!szSrcDir[0])
        fnCopyBounded(szSrcDir, sizeof(szSrcDir), g_szDestDir);
    if (!fnJoinPath(szSrc, sizeof(szSrc), szSrcDir, szSrcName))
        return 0;
    fnCopyBounded(lpIF->szSrcFileName, sizeof(lpIF->szSrcFileName), szSrcName);
    fnCopyBounded(lpIF->szSrcFilePath, sizeof(lpIF->szSrcFilePath), szSrcDir);
    /* a source that is not there is no error */
    if (!fnPathExists(szSrc))
        return 1;

    if (uMode == MOVE_ASK) {
        UINT uChoice = fnAskMoveMode(hWnd, szSrc);
        if (uChoice == IDC_MP_EXIT)
            return 0;
        if (uChoice == IDCANCEL)
            return 1;
        uMode = uChoice;
        bChosen = TRUE;
    }

    char szDst[MAX_PATH] = "", szDstDir[MAX_PATH] = "", szDstName[MAX_PATH] = "";
    if (uMode != MOVE_DELETE) {
        if (!lpIF->szDstFileSpec[0]) {
            /* no destination: a free backup name beside the source, never the source itself */
            if (fnUniqueFileName(szSrcDir, szSrcName, szDst) == 0)
                return fnAskGoOn(1121, fnActionWord(uMode), szSrc, szDst) ? 1 : 0;
        } else if (fnIsDirectory(lpIF->szDstFileSpec)) {
            if (!fnJoinPath(szDst, sizeof(szDst), lpIF->szDstFileSpec, szSrcName))
                return fnActionFailed(uMode, szSrc, lpIF->szDstFileSpec, 0);
        } else if (!fnCopyBounded(szDst, sizeof(szDst), lpIF->szDstFileSpec)) {
            return fnActionFailed(uMode, szSrc, lpIF->szDstFileSpec, 0);
        }
    }

    for (;;) {
        if (uMode != MOVE_DELETE) {
            fnSplitDirName(szDst, szDstDir, szDstName);
            if (!szDstDir[0])
                fnCopyBounded(szDstDir, sizeof(szDstDir), g_szDestDir);
            if (bChosen) {
                if (!fnAskDestination(hWnd, uMode, szSrc, szSrcName, szDst, szDstDir, szDstName))
                    return 1;
                fnSplitDirName(szDst, szDstDir, szDstName);
            }
            if (!fnJoinPath(szDst, sizeof(szDst), szDstDir, szDstName))
                return fnActionFailed(uMode, szSrc, szDstName, 0);
            fnCopyBounded(lpIF->szDstDir, sizeof(lpIF->szDstDir), szDstDir);
            fnCopyBounded(lpIF->szDstFileName, sizeof(lpIF->szDstFileName), szDstName);
            if (fnSameFile(szSrc, szDst)) {
                fnDebugLog("fnProcessMoveFile", "The destination is the source itself, nothing done: %s",
                           g_uDebugLevel, szSrc);
                return 1;
            }
            if (!fnCreateDirTreeLog(szDstDir, FALSE))
                return fnAskGoOn(1152, szDstDir) ? 1 : 0;
        }
        DWORD dwSrcAttr = GetFileAttributesA(szSrc);
        if (dwSrcAttr == INVALID_FILE_ATTRIBUTES && lpIF->uAttribMode == MOVEATTR_KEEP)
            return 0;
        fnMoveProgress(lpIF, uMode, szSrc, szDst);

        if (uMode == MOVE_DELETE)
            return fnDeleteMoveSource(hWnd, lpIF, szSrc);
        if (uMode == MOVE_RENAME) {
            if (bChosen && fnPathExists(szDst) && !g_bQuiet &&
                fnMessage(1102, NULL, MB_YESNO | MB_ICONQUESTION, szDst) == IDYES)
                continue;
            return fnRenameFile(hWnd, lpIF, szSrc, szDst, dwSrcAttr, szDstDir, szDstName);
        }
        return fnCopyOrMoveFile(hWnd, lpIF, uMode, szSrc, szDst, dwSrcAttr, szDstDir, szDstName);
    }
}

UINT fnMoveAFile(HWND hWnd, IFStruct *lpIF)
{
    UINT r = fnProcessMoveFile(hWnd, lpIF);
    if (lpIF->hWndProgress && !lpIF->bQuiet)
        fnSetProgressMeter(lpIF->hWndProgress, lpIF->uFileNum, s_uMaxFiles);
    return r;
}

/* ------------------------------------------------------------------ wildcards */

namespace {

UINT fnWildMoveIn(HWND hWnd, IFStruct *lpIF, const char *lpszSrcDir, const char *lpszDstDir);

/* One subdirectory level of a recursive line. */
UINT fnMoveADirectory(HWND hWnd, IFStruct *lpIF, const char *lpszSrcDir, const char *lpszDstDir)
{
    if (lpIF->uMoveMode != MOVE_DELETE && lpszDstDir[0]) {
        if (!fnCreateDirTreeLog(lpszDstDir, FALSE))
            return 0;
        if (lpIF->uAttribMode == MOVEATTR_KEEP) {
            DWORD dwAttr = GetFileAttributesA(lpszSrcDir);
            if (dwAttr != INVALID_FILE_ATTRIBUTES)
                SetFileAttributesA(lpszDstDir, dwAttr);
        }
    } else if (lpIF->uMoveMode == MOVE_DELETE) {
        SetFileAttributesA(lpszSrcDir, FILE_ATTRIBUTE_NORMAL);
    }
    UINT r = fnWildMoveIn(hWnd, lpIF, lpszSrcDir, lpszDstDir);
    if (r != 1)
        return r;
    if (lpIF->uMoveMode != MOVE_DELETE && !fnEqualNoCase(lpszDstDir, "nul"))
        return 1;
    if (RemoveDirectoryA(lpszSrcDir))
        fnWriteLog("%s,  D", TRUE, lpszSrcDir);
    else
        fnDebugLog("fnMoveADirectory fnRmdir", "lpszSrcDir=%s, dwError=%lu", g_uDebugLevel, lpszSrcDir,
                   (unsigned long)GetLastError());
    return 1;
}

UINT fnWildMoveIn(HWND hWnd, IFStruct *lpIF, const char *lpszSrcDir, const char *lpszDstDir)
{
    /* the names are taken first: files the line makes here (backup names) are never moved again */
    NameListStruct files = {NULL, 0, 0};
    if (!fnListNames(lpszSrcDir, lpIF->szWildSpec, FALSE, &files)) {
        fnListFree(&files);
        return 0;
    }
    UINT r = 1;
    for (UINT i = 0; i < files.uCount && r; i++) {
        if (!fnJoinPath(lpIF->szSrcFileSpec, sizeof(lpIF->szSrcFileSpec), lpszSrcDir, files.lpNames[i])) {
            r = 0;
            break;
        }
        lpIF->szDstFileSpec[0] = '\0';
        if (lpszDstDir[0] &&
            !fnJoinPath(lpIF->szDstFileSpec, sizeof(lpIF->szDstFileSpec), lpszDstDir, files.lpNames[i])) {
            r = 0;
            break;
        }
        lpIF->uFileNum++;
        if (!fnMoveAFile(hWnd, lpIF)) {
            fnDebugLog("fnWildMove Error moving file", "%s", g_uDebugLevel, lpIF->szSrcFileSpec);
            r = 0;
            break;
        }
        if (lpIF->dwDelay)
            Sleep(lpIF->dwDelay);
        fnProcessMessages();
        if (fnProgressCancelled(lpIF->hWndProgress))
            r = 0;
    }
    fnListFree(&files);
    if (!r || !lpIF->bRecurse)
        return r;

    NameListStruct dirs = {NULL, 0, 0};
    fnListNames(lpszSrcDir, "*", TRUE, &dirs);
    for (UINT i = 0; i < dirs.uCount && r; i++) {
        char szSub[MAX_PATH], szDstSub[MAX_PATH] = "";
        if (!fnJoinPath(szSub, sizeof(szSub), lpszSrcDir, dirs.lpNames[i]) ||
            (lpszDstDir[0] && !fnJoinPath(szDstSub, sizeof(szDstSub), lpszDstDir, dirs.lpNames[i]))) {
            r = 0;
            break;
        }
        /* the line's destination inside its source tree is never entered: it would grow while it is walked */
        if (s_szTopDst[0] && fnIsWithin(szSub, s_szTopDst))
            continue;
        if (!fnMoveADirectory(hWnd, lpIF, szSub, szDstSub)) {
            fnDebugLog("fnWildMove Error moving directory", "%s", g_uDebugLevel, szSub);
            r = 0;
        }
    }
    fnListFree(&dirs);
    return r;
}

}  // namespace

UINT fnWildMove(HWND hWnd, IFStruct *lpIF)
{
    char szSrcDir[MAX_PATH], szDstDir[MAX_PATH] = "", szName[MAX_PATH];
    fnSplitDirName(lpIF->szSrcFileSpec, szSrcDir, szName);
    if (lpIF->szDstFileSpec[0]) {
        if (fnIsDirectory(lpIF->szDstFileSpec))
            fnCopyBounded(szDstDir, sizeof(szDstDir), lpIF->szDstFileSpec);
        else
            fnSplitDirName(lpIF->szDstFileSpec, szDstDir, szName);
    }
    fnCopyBounded(s_szTopDst, sizeof(s_szTopDst), szDstDir);
    UINT r = fnWildMoveIn(hWnd, lpIF, szSrcDir, szDstDir);
    s_szTopDst[0] = '\0';
    return r;
}

/* ------------------------------------------------------------------ the section */

namespace {

/*
 * Header lines, read with the file-copy sections' keys: TotalFiles, BeQuiet,
 * ExpandDelims; the disk and directory sections are not used here.
 */
void fnReadMoveHeader(const char **lplpszPos, IFStruct *lpIF, BOOL *lpbTotal, UINT *lpuTotal)
{
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    while (*lplpszPos && **lplpszPos) {
        const char *lpszNext = fnInfGetNextLine(*lplpszPos, szLine, sizeof(szLine));
        if (!lpszNext || !szLine[0])
            return;
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)))
            return;
        int nKey = fnFindSectionKey(g_aCopyHeaderKeys, szKey);
        if (nKey < 0)
            return;
        *lplpszPos = lpszNext;
        if (uTest == IDTEST_SKIPREST)
            return;
        if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
            continue;
        fnInfParseField(szLine, 1, szValue, sizeof(szValue));
        if (nKey == CPKEY_TOTALFILES) {
            *lpbTotal = TRUE;
            *lpuTotal = fnReadDigitNumber(szValue);
        } else if (nKey == CPKEY_BEQUIET) {
            lpIF->bQuiet = (szValue[0] == 'Y' || szValue[0] == 'y');
        } else if (nKey == CPKEY_EXPANDDELIMS) {
            fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), szValue);
        }
    }
}

/* Results of fnReadMoveLine */
enum { READMV_ERROR = 0, READMV_LINE = 1, READMV_END = 2 };

/*
 * Reads the next move line into the record. *lpuTest gets the condition
 * result (IDTEST_GOON also for an ExpandDelims line); *lpbMissing tells that
 * an option of the source had no value.
 */
UINT fnReadMoveLine(const char **lplpszPos, IFStruct *lpIF, UINT *lpuTest, BOOL *lpbMissing, char *lpszLine)
{
    *lpuTest = IDTEST_NONE;
    *lpbMissing = FALSE;
    const char *lpszNext = *lplpszPos && **lplpszPos ? fnInfGetNextLine(*lplpszPos, lpszLine, CCH_LINE_BUF) : NULL;
    if (!lpszNext || !lpszLine[0])
        return READMV_END;
    *lplpszPos = lpszNext;
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szField[CCH_FIELD_BUF];
    fnCopyBounded(szLine, sizeof(szLine), lpszLine);
    int b = 0;
    if (fnInfParseField(szLine, 0, szKey, sizeof(szKey))) {
        fnInfParseField(szLine, 1, szField, sizeof(szField));
        if (fnEqualNoCase(szKey, "ExpandDelims")) {
            fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), szField);
            *lpuTest = IDTEST_GOON;
            return READMV_LINE;
        }
        *lpuTest = fnInfTestField(szKey, szField);
        if (*lpuTest == IDTEST_GOON || *lpuTest == IDTEST_FALSE || *lpuTest == IDTEST_SKIPREST)
            return READMV_LINE;
        b = 1;
    }
    char szSrc[CCH_FIELD_BUF], szDst[CCH_FIELD_BUF] = "", szFlags[CCH_FIELD_BUF], szDelay[CCH_FIELD_BUF];
    if (!fnInfParseField(szLine, b + 1, szSrc, sizeof(szSrc)) || !szSrc[0])
        return READMV_ERROR;
    BOOL bHaveDst = fnInfParseField(szLine, b + 2, szDst, sizeof(szDst)) && szDst[0];
    BOOL bFlags = fnInfParseField(szLine, b + 3, szFlags, sizeof(szFlags));
    BOOL bDelay = fnInfParseField(szLine, b + 4, szDelay, sizeof(szDelay));
    BOOL bDstMissing = FALSE;
    if (!fnLinePath(szSrc, g_szSourceDir, lpIF->szSrcFileSpec, MAX_PATH, lpbMissing))
        return READMV_ERROR;
    lpIF->szDstFileSpec[0] = '\0';
    if (bHaveDst && !fnLinePath(szDst, g_szDestDir, lpIF->szDstFileSpec, MAX_PATH, &bDstMissing))
        return READMV_ERROR;
    fnDecodeMoveFlags(szFlags, bFlags, lpIF);
    lpIF->dwDelay = fnReadMoveDelay(szDelay, bDelay);
    return READMV_LINE;
}

UINT fnCountPattern(const char *lpszDir, const char *lpszPattern, BOOL bRecurse)
{
    NameListStruct names = {NULL, 0, 0};
    fnListNames(lpszDir, lpszPattern, FALSE, &names);
    UINT uCount = names.uCount;
    fnListFree(&names);
    if (bRecurse) {
        fnListNames(lpszDir, "*", TRUE, &names);
        char szSub[MAX_PATH];
        for (UINT i = 0; i < names.uCount; i++)
            if (fnJoinPath(szSub, sizeof(szSub), lpszDir, names.lpNames[i]))
                uCount += fnCountPattern(szSub, lpszPattern, TRUE);
        fnListFree(&names);
    }
    return uCount;
}

/* Files the lines from lpszPos name (wildcards counted on disk, subfolders with "+"). */
UINT fnCountMoveFiles(const char *lpszPos, UINT uMaxLines)
{
    static IFStruct s_count;
    UINT uCount = 0;
    char szLine[CCH_LINE_BUF];
    for (UINT uLine = 0; uLine < uMaxLines; uLine++) {
        UINT uTest;
        BOOL bMissing;
        UINT r = fnReadMoveLine(&lpszPos, &s_count, &uTest, &bMissing, szLine);
        if (r == READMV_END)
            break;
        if (r == READMV_ERROR || uTest == IDTEST_GOON || uTest == IDTEST_FALSE || uTest == IDTEST_SKIPREST)
            continue;
        char szDir[MAX_PATH], szName[MAX_PATH];
        fnSplitDirName(s_count.szSrcFileSpec, szDir, szName);
        if (!fnHasWildcard(szName)) {
            uCount++;
            continue;
        }
        uCount += fnCountPattern(szDir, szName, s_count.bRecurse);
    }
    return uCount;
}

}  // namespace

UINT fnMoveFiles(HWND hWnd, HWND hDlg, const char *lpszText, const char *lpszName)
{
    const char *lpszPos = fnInfFindSection(lpszText, lpszName);
    if (!lpszPos || !*lpszPos)
        return 1;
    static IFStruct s_if;  /* one record per section run; large, so not on the stack */
    IFStruct *lpIF = &s_if;
    memset(lpIF, 0, sizeof(*lpIF));
    lpIF->uInUseAction = MOVEINUSE_RESTART;
    lpIF->uMoveMode = MOVE_RENAME;
    lpIF->dwDelay = 100;
    lpIF->bQuiet = g_bQuiet;
    BOOL bTotal = FALSE;
    UINT uTotal = 0;
    fnReadMoveHeader(&lpszPos, lpIF, &bTotal, &uTotal);

    UINT uMaxLines = (UINT)fnInfCountLines(lpszPos, NULL, MAX_MOVE_LINES);
    s_uMaxFiles = bTotal ? uTotal : fnCountMoveFiles(lpszPos, uMaxLines);
    if (s_uMaxFiles == 0)
        return 1;
    fnDebugLog("fnMoveFiles", "Begin IFStruct.szSrcFileSpec=%s,\nIFStruct.szDstFileSpec=%s\nuMaxFiles=%u, uMaxLines=%u",
               g_uDebugLevel, lpIF->szSrcFileSpec, lpIF->szDstFileSpec, s_uMaxFiles, uMaxLines);
    if (hDlg && !lpIF->bQuiet) {
        fnShowProgressDialog(hDlg);
        fnSetProgressMeter(hDlg, 0, s_uMaxFiles);
    } else {
        hDlg = NULL;
    }
    lpIF->hWndProgress = hDlg;

    DWORD dwDelay = lpIF->dwDelay;
    char szLine[CCH_LINE_BUF];
    for (UINT uLine = 1; uLine <= uMaxLines; uLine++) {
        fnProcessMessages();
        if (fnProgressCancelled(hDlg))
            return 0;
        UINT uTest;
        BOOL bMissing;
        UINT r = fnReadMoveLine(&lpszPos, lpIF, &uTest, &bMissing, szLine);
        if (r == READMV_END)
            break;
        if (r == READMV_ERROR) {
            if (!g_bQuiet)
                fnMessage(1046, NULL, MB_OK | MB_ICONSTOP, uLine, lpszName);
            return 0;
        }
        if (uTest == IDTEST_SKIPREST)
            break;
        if (uTest == IDTEST_GOON || uTest == IDTEST_FALSE) {
            if (uTest == IDTEST_FALSE && hDlg)
                fnSetProgressMeter(hDlg, ++lpIF->uFileNum, s_uMaxFiles);
            continue;
        }
        dwDelay = lpIF->dwDelay;
        char szDir[MAX_PATH], szName[MAX_PATH];
        fnSplitDirName(lpIF->szSrcFileSpec, szDir, szName);
        if (!fnIsDirectory(szDir) && lpIF->uBackupAction == MOVEDIR_PASSOVER)
            continue;
        if (!fnHasWildcard(szName)) {
            if (!fnMoveAFile(hWnd, lpIF))
                return 0;
            if (dwDelay)
                Sleep(dwDelay);
        } else {
            if (!fnWildLineAllowed(szDir, bMissing, szLine))
                return 0;
            fnCopyBounded(lpIF->szWildSpec, sizeof(lpIF->szWildSpec), szName[0] ? szName : "*.*");
            if (lpIF->uFileNum)
                lpIF->uFileNum--;
            if (!fnWildMove(hWnd, lpIF))
                return 0;
        }
        lpIF->uFileNum++;
    }
    if (dwDelay)
        Sleep(dwDelay);
    return 1;
}

UINT fnMoveFiles(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    HWND hDlg = g_bQuiet ? NULL : fnCreateProgressDialog(hWnd);
    UINT r = fnMoveFiles(hWnd, hDlg, lpszSection, lpszName);
    if (hDlg)
        DestroyWindow(hDlg);
    return r;
}
