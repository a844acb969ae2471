/*
 * driver/installlog.cpp -- opening the installation log and the run's date
 * and time texts. An old log of the same name is kept under a backup name.
 */
#include "driver/installlog.h"

#include <windows.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "driver/sectiondriver.h"
#include "install/copyprim.h"
#include "script/pathtext.h"
#include "script/expand.h"

BOOL fnExpandLogName(const char *lpszName, char *lpszOut, size_t cchOut)
{
    /* a name cut at the buffer or by its expansion would open a different file */
    BOOL bCut = FALSE;
    if (!fnCopyBounded(lpszOut, cchOut, lpszName) || fnExpandOptsCut(lpszOut, cchOut, &bCut) == EXPAND_MISSING)
        return FALSE;
    if (bCut) {
        fnDebugLog("fnOpenInstallLog", "Log name too long once expanded: %s", g_uDebugLevel, lpszName);
        return FALSE;
    }
    return TRUE;
}

/*
 * Keeps an existing log of the same name: it is moved to the backup name the
 * run's backup method gives (".ORI", ".MOD" or a numbered ".SAV" name) and an
 * empty log takes its place. FALSE when no name is free or the move fails;
 * the old file is then appended to instead.
 */
static BOOL fnMoveOldLogAside(const char *lpszPath)
{
    char szDir[CCH_PATH], szName[CCH_PATH], szAside[CCH_PATH];
    fnSplitPath(lpszPath, NULL, NULL, NULL, NULL, szName, szDir);
    if (fnUniqueFileName(szDir, szName, szAside) != 2)
        return FALSE;
    if (!MoveFileA(lpszPath, szAside)) {
        fnDebugLog("fnOpenInstallLog", "MoveFile %s to %s failed, dwError=%lu", g_uDebugLevel, lpszPath, szAside,
                   (unsigned long)GetLastError());
        return FALSE;
    }
    fnDebugLog("fnOpenInstallLog", "Old log kept as %s", g_uDebugLevel, szAside);
    return TRUE;
}

void fnOpenInstallLog(const char *lpszName)
{
    if (g_bLogOpen || !lpszName || !*lpszName)
        return;
    char szPath[CCH_PATH];
    BOOL bHasDrive = (lpszName[0] && lpszName[1] == ':') || (lpszName[0] == '\\' && lpszName[1] == '\\');
    /* a cut name would open a different file: refuse it instead */
    BOOL bOk = bHasDrive ? fnCopyBounded(szPath, sizeof(szPath), lpszName)
                         : fnJoinPath(szPath, sizeof(szPath), g_szDestDir, lpszName);
    if (!bOk) {
        fnDebugLog("fnOpenInstallLog", "Name too long: %s", g_uDebugLevel, lpszName);
        return;
    }
    if (GetFileAttributesA(szPath) != INVALID_FILE_ATTRIBUTES && fnMoveOldLogAside(szPath)) {
        TGFILE hFile = fnFileCreate(szPath);
        fnFileClose(hFile);
    }
    fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), szPath);
    g_bLogOpen = TRUE;
    fnWriteLog("[Tallgrid Log]", TRUE);
    if (g_lpUserInput && g_lpUserInput->szAppName[0])
        fnWriteLog("AppName=%s", TRUE, g_lpUserInput->szAppName);
    if (g_szDestDir[0])
        fnWriteLog("InstallDir=%s", TRUE, g_szDestDir);
}

char *fnGetDateTime(char *lpszDate, char *lpszTime)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    fnFormatBounded(lpszDate, 16, "%04u%02u%02u", st.wYear, st.wMonth, st.wDay);
    fnFormatBounded(lpszTime, 16, "%02u%02u%02u", st.wHour, st.wMinute, st.wSecond);
    return lpszTime;
}
