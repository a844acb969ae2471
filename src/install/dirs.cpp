/*
 * install/dirs.cpp -- directory creation: one level, whole trees, and the
 * directory-list sections "[MakeDirs]" and "[DestSubDirs]" with their
 * progress dialog. Existence after a failed create is asked of the file's
 * attributes first (cheap), the current-directory test only after that.
 */
#include "install/dirs.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "install/copyprim.h"
#include "install/filerules.h"
#include "resource.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/pathtext.h"
#include "script/textmodel.h"
#include "ui/progress.h"

#define MAX_DIR_LINES 64

BOOL fnCreateDir(const char *lpszDir, BOOL bLog)
{
    char szDir[CCH_PATH];
    fnDebugLog("fnCreateDir - Begin", "lpszDir=%s, bLog=%d", g_uDebugLevel, lpszDir, bLog);
    if (!fnCopyBounded(szDir, sizeof(szDir), lpszDir))
        return FALSE;
    for (char *p = szDir; *p; p++)
        if (*p == '/')
            *p = '\\';
    if (!CreateDirectoryA(szDir, NULL)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnCreateDir - CreateDirectory error", "szDir=%s, dwError=%lu", g_uDebugLevel, szDir,
                   (unsigned long)dwError);
        DWORD dwAttr = GetFileAttributesA(szDir);
        if (dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_DIRECTORY)) {
            /* the attributes of some roots and shares cannot be read: entering the directory tells */
            char szOld[CCH_PATH];
            DWORD cchOld = GetCurrentDirectoryA(sizeof(szOld), szOld);
            if (!SetCurrentDirectoryA(szDir))
                return FALSE;
            if (cchOld > 0 && cchOld < sizeof(szOld))
                SetCurrentDirectoryA(szOld);
        }
    }
    if (bLog)
        fnWriteLog("%s", TRUE, szDir);
    fnDebugLog("fnCreateDir - End", "szDir=%s", g_uDebugLevel, szDir);
    return TRUE;
}

static BOOL fnCreateLevel(const char *lpszDir, BOOL bLog, void *)
{
    return fnCreateDir(lpszDir, bLog);
}

BOOL fnCreateDirTreeLog(const char *lpszPath, BOOL bLog)
{
    return fnWalkDirTree(lpszPath, bLog, fnCreateLevel, NULL);
}

BOOL fnDirTreeFailed(const char *lpszPath, UINT uIcon)
{
    if (fnDriveMissing(lpszPath)) {
        char szDrive[CCH_PATH];
        if (!fnSplitPath(lpszPath, szDrive, NULL, NULL, NULL, NULL, NULL))
            fnCopyBounded(szDrive, sizeof(szDrive), lpszPath);
        fnDebugLog("fnDirTreeFailed", "Drive %s is not available", g_uDebugLevel, szDrive);
        if (!g_bQuiet)
            fnMessage(1072, NULL, MB_OK | uIcon, szDrive);
    } else {
        fnDebugLog("fnDirTreeFailed", "The %s directory tree cannot be created", g_uDebugLevel, lpszPath);
        if (!g_bQuiet)
            fnMessage(1054, NULL, MB_OK | uIcon, lpszPath);
    }
    return FALSE;
}

int fnInfGetDir(const char *lpszBody, int nDirNum, char *lpszOut, size_t cchOut)
{
    char szLine[CCH_LINE_BUF];
    lpszOut[0] = '\0';
    const char *lpszPos = lpszBody;
    int n = 0;
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            return GETDIR_NONE;
        if (++n == nDirNum)
            break;
    }
    if (n != nDirNum)
        return GETDIR_NONE;

    char szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)))
        return fnInfParseField(szLine, 1, lpszOut, cchOut) && lpszOut[0] ? GETDIR_PATH : GETDIR_SKIP;
    fnInfParseField(szLine, 1, szValue, sizeof(szValue));
    if (fnEqualNoCase(szKey, "ExpandDelims")) {
        fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), szValue);
        return GETDIR_SKIP;
    }
    UINT uTest = fnInfTestField(szKey, szValue);
    /* a section condition has no directory: it passes over its line or ends the list */
    if (uTest == IDTEST_SKIPREST)
        return GETDIR_NONE;
    if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
        return GETDIR_SKIP;
    return fnInfParseField(szLine, 2, lpszOut, cchOut) && lpszOut[0] ? GETDIR_PATH : GETDIR_SKIP;
}

BOOL fnResolveDirLine(const char *lpszLine, char *lpszOut, size_t cchOut)
{
    if (fnIsAbsolutePath(lpszLine))
        return fnCopyBounded(lpszOut, cchOut, lpszLine);
    char szExpanded[CCH_FIELD_BUF];
    fnCopyBounded(szExpanded, sizeof(szExpanded), lpszLine);
    BOOL bCut = FALSE;
    int nRC = fnExpandOptsCut(szExpanded, sizeof(szExpanded), &bCut);
    if (bCut) {
        fnDebugLog("fnResolveDirLine", "Expanded directory cut: %s", g_uDebugLevel, fnLogText(lpszLine));
        return FALSE;
    }
    if (nRC == EXPAND_OK) {
        /* an option giving a relative path is still relative to the destination, not to the current directory */
        if (fnIsAbsolutePath(szExpanded))
            return fnCopyBounded(lpszOut, cchOut, szExpanded);
        return fnJoinPath(lpszOut, cchOut, g_szDestDir, szExpanded);
    }
    return fnJoinPath(lpszOut, cchOut, g_szDestDir, lpszLine);
}

static void fnSetMeterPos(HWND hDlg, DWORD dwPos)
{
    if (hDlg && IsWindow(hDlg))
        SendDlgItemMessageA(hDlg, IDC_PROGRESS_METER, PM_SETPOS, (WPARAM)dwPos, 0);
}

UINT fnCreateDirectories(HWND hWnd, HWND hDlg, const char *lpszBody, const char *lpszName, int nLines, int nOffset,
                         BOOL bProgress, BOOL bLog)
{
    char szRaw[CCH_FIELD_BUF], szPath[CCH_PATH];
    SetCursor(LoadCursor(NULL, IDC_WAIT));
    for (int nDirNum = 1; nDirNum <= nLines; nDirNum++) {
        fnProcessMessages();
        if (bProgress && fnProgressCancelled(hDlg))
            return 2;
        int nGot = fnInfGetDir(lpszBody, nDirNum, szRaw, sizeof(szRaw));
        if (nGot == GETDIR_NONE)
            return 1;
        if (nGot == GETDIR_SKIP)
            continue;
        if (!fnResolveDirLine(szRaw, szPath, sizeof(szPath)))
            return fnDirTreeFailed(szRaw, MB_ICONINFORMATION) ? 1 : 2;
        if (bProgress) {
            fnSetProgressText(hDlg, IDC_PROGRESS_DESC, szPath);
            fnSetProgressText(hDlg, IDC_PROGRESS_SOURCE, "");
            fnSetProgressText(hDlg, IDC_PROGRESS_TARGET, "");
        }
        if (!fnCreateDirTreeLog(szPath, bLog))
            return fnDirTreeFailed(szPath, MB_ICONINFORMATION) ? 1 : 2;
        SetCurrentDirectoryA(szPath);
        if (bProgress)
            fnSetMeterPos(hDlg, (DWORD)(nDirNum + nOffset + 1));
    }
    fnDebugLog("fnCreateDirectories", "lpszName=%s, nLines=%d done", g_uDebugLevel, lpszName ? lpszName : "", nLines);
    return 1;
}

UINT fnInfMakeDirs(HWND hWnd, const char *lpszText, const char *lpszText2, const char *lpszName)
{
    const char *lpszBody = lpszText ? fnInfFindSection(lpszText, lpszName) : NULL;
    if (!lpszBody && lpszText2)
        lpszBody = fnInfFindSection(lpszText2, lpszName);
    if (!lpszBody)
        return 1;
    int nMaxDirs = fnInfCountLines(lpszBody, NULL, MAX_DIR_LINES);
    fnDebugLog("fnInfMakeDirs", "nMaxDirs=%d, lpszSection=%s, lpszTmp=%s", g_uDebugLevel, nMaxDirs, lpszName,
               g_szDestDir);
    if (nMaxDirs == 0)
        return 1;

    HWND hDlg = g_bQuiet ? NULL : fnCreateProgressDialog(hWnd);
    if (hDlg) {
        fnShowProgressDialog(hDlg);
        fnSetProgressMeter(hDlg, 0, (DWORD)nMaxDirs + 1);
        fnSetProgressText(hDlg, IDC_PROGRESS_STATUS, "Creating directories...");
        fnSetProgressText(hDlg, IDC_PROGRESS_DESC, g_szDestDir);
    }
    DWORD dwAttr = GetFileAttributesA(g_szDestDir);
    if ((dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_DIRECTORY)) &&
        !fnCreateDirTreeLog(g_szDestDir, FALSE)) {
        fnDirTreeFailed(g_szDestDir, MB_ICONINFORMATION);
        if (hDlg)
            DestroyWindow(hDlg);
        return 0;
    }
    SetCurrentDirectoryA(g_szDestDir);
    fnSetMeterPos(hDlg, 1);
    UINT r = fnCreateDirectories(hWnd, hDlg, lpszBody, lpszName, nMaxDirs, 0, hDlg != NULL, TRUE);
    if (hDlg)
        DestroyWindow(hDlg);
    return r == 2 ? 0 : 1;
}
