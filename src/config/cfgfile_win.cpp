/*
 * config/cfgfile_win.cpp -- configuration files on disk (config/cfgfile.h).
 */
#include "config/cfgfile.h"
#include "config/environment.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "script/pathtext.h"

BOOL fnResolveConfigPath(const char *lpszName, BOOL bProfile, char *lpszOut, size_t cchOut)
{
    lpszOut[0] = '\0';
    if (!lpszName || !lpszName[0])
        return FALSE;
    BOOL bBare = !strpbrk(lpszName, "\\/:");
    if (bBare && bProfile) {
        char szWinDir[CCH_PATH];
        fnCopyBounded(szWinDir, sizeof(szWinDir), g_szWinDir);
        if (!szWinDir[0] && !GetWindowsDirectoryA(szWinDir, sizeof(szWinDir)))
            return FALSE;
        return fnJoinPath(lpszOut, cchOut, szWinDir, lpszName);
    }
    char szFull[CCH_PATH];
    DWORD cch = GetFullPathNameA(lpszName, sizeof(szFull), szFull, NULL);
    if (cch == 0 || cch >= sizeof(szFull))
        return FALSE;
    return fnCopyBounded(lpszOut, cchOut, szFull);
}

BOOL fnSetBatchEnvironment(HWND hWnd, const char *lpszFile, const char *lpszName, const char *lpszValue,
                           const char *lpszAction, BOOL bQuiet)
{
    /* batch files are edited once the backup of edited files is in place; until then the line fails */
    fnDebugLog("fnSetBatchEnvironment", "Not yet handled: %s in %s", g_uDebugLevel, lpszName, lpszFile);
    return FALSE;
}
