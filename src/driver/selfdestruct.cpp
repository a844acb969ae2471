/*
 * driver/selfdestruct.cpp -- writing and starting the self-removal batch.
 * The test file proves the program's folder can be written (a read-only
 * medium cannot be cleaned, so no batch is left behind there); the batch
 * deletes it last, so a batch started twice finds nothing to do.
 */
#include "driver/selfdestruct.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/selfdelete.h"
#include "process/launch.h"
#include "script/pathtext.h"

/* Writes cb bytes as the whole of a new lpszPath (replacing one left behind); FALSE when it cannot. */
static BOOL fnWriteNewFile(const char *lpszPath, const char *lpszText, DWORD cb)
{
    /* no sharing while it is written; a batch left by a killed session is replaced */
    HANDLE hFile = CreateFileA(lpszPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        fnDebugLog("fnSelfDestruct", "cannot write %s, dwError=%lu", g_uDebugLevel, lpszPath,
                   (unsigned long)GetLastError());
        return FALSE;
    }
    DWORD cbDone = 0;
    BOOL bOk = WriteFile(hFile, lpszText, cb, &cbDone, NULL) && cbDone == cb;
    if (!CloseHandle(hFile))
        bOk = FALSE;
    return bOk;
}

BOOL fnSelfDestructFor(const char *lpszProgram, const char *lpszTmpPath)
{
    char szBatch[CCH_PATH], szFolder[CCH_PATH], szTest[CCH_PATH];
    if (!lpszTmpPath[0] || !fnJoinPath(szBatch, sizeof(szBatch), lpszTmpPath, "_TGDEL.BAT"))
        return FALSE;
    if (!fnCopyBounded(szFolder, sizeof(szFolder), lpszProgram))
        return FALSE;
    char *lpszSlash = strrchr(szFolder, '\\');
    if (!lpszSlash)
        return FALSE;
    *lpszSlash = '\0';
    if (!GetTempFileNameA(szFolder, "_TG", 0, szTest)) {
        fnDebugLog("fnSelfDestruct", "no test file in %s, dwError=%lu", g_uDebugLevel, szFolder,
                   (unsigned long)GetLastError());
        return FALSE;
    }
    char szContent[CCH_SELFDELETE_BATCH];
    BOOL bOk = fnBuildSelfDeleteBatch(szTest, lpszProgram, szBatch, szContent, sizeof(szContent)) &&
               fnWriteNewFile(szBatch, szContent, (DWORD)strlen(szContent)) && fnWriteNewFile(szTest, "\r\n", 2);
    fnDebugLog("fnSelfDestruct", "szTmpPath=%s,\nszSelf=%s,\nszDelBat=%s,\nszSelfPath=%s,\nszTestFile=%s,\nszContent=%s",
               g_uDebugLevel, lpszTmpPath, lpszProgram, szBatch, szFolder, szTest, szContent);
    if (bOk) {
        char szCmd[CCH_PATH + 2];
        fnFormatBounded(szCmd, sizeof(szCmd), "\"%s\"", szBatch);
        /* no console window: an unattended run shows nothing while the batch waits */
        bOk = g_lpLauncher->pfnCreateProcess(szCmd, SW_SHOWNOACTIVATE, LAUNCH_NOWAIT, FALSE, TRUE, LAUNCHERR_SILENT,
                                             FALSE) == 1;
    }
    if (!bOk) {
        DeleteFileA(szTest);
        DeleteFileA(szBatch);
    }
    return bOk;
}

BOOL fnSelfDestruct(BOOL bDoNow)
{
    fnDebugLog("fnSelfDestruct", "bDoNow=%d", g_uDebugLevel, bDoNow);
    if (!bDoNow)
        return TRUE;
    char szSelf[CCH_PATH];
    DWORD n = GetModuleFileNameA(NULL, szSelf, sizeof(szSelf));
    if (n == 0 || n >= sizeof(szSelf))
        return FALSE;
    return fnSelfDestructFor(szSelf, g_szTmpPath);
}
