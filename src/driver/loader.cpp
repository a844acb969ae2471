/*
 * driver/loader.cpp -- loads the script file into one buffer, runs the
 * framing section "[Config]" and then the section walk. A script that does
 * not fit the buffer is refused whole: running a cut script could install half
 * of what was meant.
 */
#include "driver/loader.h"

#include <stdlib.h>

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/messages.h"
#include "driver/sectiondriver.h"
#include "driver/userexit.h"
#include "driver/winstate.h"
#include "script/textmodel.h"

BOOL fnReadProgramVersion(const char *lpszExe, char *lpszOut, size_t cchOut)
{
    lpszOut[0] = '\0';
    DWORD dwHandle = 0;
    DWORD cb = GetFileVersionInfoSizeA(lpszExe, &dwHandle);
    if (!cb)
        return FALSE;
    void *lpData = malloc(cb);
    if (!lpData)
        return FALSE;
    BOOL bOk = FALSE;
    VS_FIXEDFILEINFO *lpInfo = NULL;
    UINT cbInfo = 0;
    if (GetFileVersionInfoA(lpszExe, 0, cb, lpData) && VerQueryValueA(lpData, "\\", (void **)&lpInfo, &cbInfo) &&
        lpInfo && cbInfo >= sizeof(*lpInfo)) {
        fnFormatBounded(lpszOut, cchOut, "%lu.%lu.%lu.%lu", (unsigned long)HIWORD(lpInfo->dwFileVersionMS),
                        (unsigned long)LOWORD(lpInfo->dwFileVersionMS), (unsigned long)HIWORD(lpInfo->dwFileVersionLS),
                        (unsigned long)LOWORD(lpInfo->dwFileVersionLS));
        bOk = TRUE;
    }
    free(lpData);
    return bOk;
}

/*
 * Reads the script file into lpszBuffer (CB_SCRIPT_BUFFER bytes, zeroed).
 * Shows the failure's message and returns FALSE: 1032 when it cannot be
 * opened, 1041 when it cannot be read or is larger than the buffer.
 */
static BOOL fnReadScriptFile(const char *lpszFile, char *lpszBuffer)
{
    HANDLE hFile = CreateFileA(lpszFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        fnMessage(1032, NULL, MB_OK | MB_ICONSTOP, lpszFile);
        return FALSE;
    }
    LARGE_INTEGER liSize;
    BOOL bOk = GetFileSizeEx(hFile, &liSize);
    if (bOk && liSize.QuadPart > CB_SCRIPT_MAX) {
        fnDebugLog("fnLoadInf", "Script too large: %s,\nsize=%lld", g_uDebugLevel, lpszFile,
                   (long long)liSize.QuadPart);
        bOk = FALSE;
    }
    DWORD cbRead = 0;
    if (bOk)
        bOk = ReadFile(hFile, lpszBuffer, CB_SCRIPT_MAX, &cbRead, NULL);
    CloseHandle(hFile);
    if (!bOk) {
        lpszBuffer[0] = '\0';
        fnMessage(1041, NULL, MB_OK | MB_ICONSTOP, lpszFile);
        return FALSE;
    }
    lpszBuffer[cbRead] = '\0';
    return TRUE;
}

int fnLoadInf(HWND hWnd)
{
    g_uOnExit = 0;
    fnDebugLog("fnLoadInf", "Begin", g_uDebugLevel);
    char *lpszBuffer = (char *)calloc(1, CB_SCRIPT_BUFFER);
    if (!lpszBuffer) {
        fnMessage(1031, NULL, MB_OK | MB_ICONSTOP);
        g_bRunFailed = TRUE;
        return 0;
    }
    int nResult = 0;
    char *lpszInf = lpszBuffer;
    if (!fnReadScriptFile(g_szIniFile, lpszBuffer)) {
        g_bRunFailed = TRUE;
        goto done;
    }
    if (!lpszInf[0]) {
        fnMessage(1033, NULL, MB_OK | MB_ICONSTOP, g_szIniFile);
        g_bRunFailed = TRUE;
        goto done;
    }
    if (g_szStartHere[0]) {
        const char *lpszBegin = fnInfFindLine(lpszInf, g_szStartHere);
        if (lpszBegin) {
            fnDebugLog("fnLoadInf", "Found StartHere - \ng_szStartHere=%s,\nlpszBegin=%s", g_uDebugLevel,
                       g_szStartHere, lpszBegin);
            lpszInf = (char *)lpszBegin;
        } else {
            fnDebugLog("fnLoadInf", "StartHere not found - \ng_szStartHere=%s,\nlpszInf=%s", g_uDebugLevel,
                       g_szStartHere, lpszInf);
        }
    }
    {
        UINT uConfig = fnReadConfig(hWnd, lpszInf);
        if (uConfig == 8)
            goto done;
        if (uConfig == 2) {
            fnMessage(1041, NULL, MB_OK | MB_ICONSTOP, g_szIniFile);
            g_bRunFailed = TRUE;
            goto done;
        }
    }
    fnDebugLog("fnLoadInf", "Before fnReadInf\nlpszInf=%s", g_uDebugLevel, lpszInf);
    nResult = fnReadInf(hWnd, lpszInf);
done:
    fnDebugLog("fnCleanUp", "Clean up for Exit", g_uDebugLevel);
    free(lpszBuffer);
    fnDebugLog("fnLoadInf", "Exit", g_uDebugLevel);
    return nResult;
}
