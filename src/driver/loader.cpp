/*
 * driver/loader.cpp -- which script runs, and bringing it into one buffer in
 * plain form: from a file or from behind the program's marker line, the
 * scrambled form unscrambled, the start line applied. Also the two load
 * modes that rewrite a script file on disk (scrambled or plain, after a
 * numbered backup) and end. Then the framing sections "[Config]",
 * "[Install Options]" and "[Signon]" and the section walk run.
 *
 * A script that does not fit the buffer is refused whole: running a cut
 * script could install half of what was meant. Texts are handled by their
 * byte count, not their terminator, so a NUL inside a script survives the
 * rewrites on disk.
 */
#include "driver/loader.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/scramble.h"
#include "driver/sectiondriver.h"
#include "driver/startup.h"
#include "driver/userexit.h"
#include "driver/winstate.h"
#include "script/pathtext.h"
#include "script/textmodel.h"
#include "ui/placement.h"
#include "ui/waitwindow.h"

UINT g_uLoadMode;
BOOL g_bInternalInf;
char g_szSetupInf[CCH_PATH];
char g_szInfHeader[CCH_TITLE];

/* Set once a script has been loaded in this run; later loads show the "Initializing" note. */
static BOOL s_bScriptLoaded;

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

BOOL fnChooseScript(const char *lpszExe, BOOL bNamed, BOOL bAnyName)
{
    char szWord[32], szHeader[96];
    if (!fnLoadStr(1014, szWord, sizeof(szWord)))
        fnCopyBounded(szWord, sizeof(szWord), MARKER_WORD);
    if (!fnLoadStr(1292, szHeader, sizeof(szHeader)))
        fnCopyBounded(szHeader, sizeof(szHeader), MARKER_HEADER);
    fnBuildMarker(szWord, szHeader, g_szInfHeader, sizeof(g_szInfHeader));
    g_bInternalInf = FALSE;
    g_szSetupInf[0] = '\0';
    if (!bNamed) {
        /* a size of 0 only asks whether the marker is there */
        char c;
        DWORD dwSize = 0;
        UINT uRC = fnLoadFileAfterString(lpszExe, g_szInfHeader, &c, &dwSize, TRUE);
        if (uRC) {
            g_bInternalInf = TRUE;
            fnCopyBounded(g_szSetupInf, sizeof(g_szSetupInf), lpszExe);
            fnDebugLog("fnInitialize", "Use Internal INF - g_szSetupInf=%s,\ng_szInfHeader=%s", g_uDebugLevel,
                       g_szSetupInf, g_szInfHeader);
            return TRUE;
        }
        fnDebugLog("fnInitialize", "Internal INF not found - uRC=%u,\ng_szSetupInf=%s,\ng_szInfHeader=%s",
                   g_uDebugLevel, uRC, lpszExe, g_szInfHeader);
    }
    if (fnIsFile(g_szIniFile))
        return TRUE;
    /* a script the administrator named is never replaced by another one that happens to lie here */
    if (bAnyName) {
        fnMessage(1032, NULL, MB_OK | MB_ICONSTOP, g_szIniFile);
        return FALSE;
    }
    static const char *const s_alpszNames[] = {"SETUP32.INF", "SETUP.BNF", "SETUP_0.INF",
                                               "BUSETUP.INF", "SETUP.RNF",  "SETUP.INF"};
    for (const char *lpszName : s_alpszNames) {
        char szTry[CCH_PATH];
        if (fnJoinPath(szTry, sizeof(szTry), g_szHomeDir, lpszName) && fnIsFile(szTry)) {
            fnCopyBounded(g_szIniFile, sizeof(g_szIniFile), szTry);
            return TRUE;
        }
    }
    fnMessage(0, "ERROR!", MB_OK | MB_ICONSTOP, "Cannot find information file.");
    return FALSE;
}

/* What one load holds; released by fnCleanUp on every path. */
struct LoadStateStruct {
    HWND hWnd;
    HCURSOR hOldCursor;
    HWND hWndWait;
    char *lpszBuffer;
};

static void fnRemoveWait(LoadStateStruct *lpState)
{
    if (lpState->hWndWait && IsWindow(lpState->hWndWait))
        DestroyWindow(lpState->hWndWait);
    lpState->hWndWait = NULL;
}

/* The loader's share of the end of a run: cursor back, buffer freed, wait window gone. */
static void fnCleanUp(LoadStateStruct *lpState)
{
    fnDebugLog("fnCleanUp", "Clean up for Exit", g_uDebugLevel);
    SetCursor(lpState->hOldCursor);
    free(lpState->lpszBuffer);
    lpState->lpszBuffer = NULL;
    fnRemoveWait(lpState);
}

/*
 * Reads the script into lpszBuffer (CB_SCRIPT_BUFFER bytes, zeroed) and
 * sets *lppszInf and *lpcbInf to the text. FALSE after the failure's message.
 */
static BOOL fnReadScript(char *lpszBuffer, char **lppszInf, DWORD *lpcbInf)
{
    *lppszInf = lpszBuffer;
    *lpcbInf = 0;
    if (g_bInternalInf) {
        fnDebugLog("fnLoadInf", "Internal - \ng_szSetupInf=%s,\ng_szInfHeader=%s", g_uDebugLevel, g_szSetupInf,
                   g_szInfHeader);
        /* one byte more than a script may have tells a script that does not fit */
        DWORD dwSize = CB_SCRIPT_BUFFER;
        if (!fnLoadFileAfterString(g_szSetupInf, g_szInfHeader, lpszBuffer, &dwSize, TRUE) ||
            dwSize > CB_SCRIPT_MAX) {
            if (dwSize > CB_SCRIPT_MAX)
                fnDebugLog("fnLoadInf", "Script too large: %s", g_uDebugLevel, g_szSetupInf);
            fnMessage(1041, NULL, MB_OK | MB_ICONSTOP, g_szSetupInf);
            return FALSE;
        }
        lpszBuffer[dwSize] = '\0';
        char *lpsz = lpszBuffer;
        while (dwSize > 0 && (*lpsz == '\r' || *lpsz == '\n')) {
            lpsz++;
            dwSize--;
        }
        *lppszInf = lpsz;
        *lpcbInf = dwSize;
        return TRUE;
    }
    HANDLE hFile = CreateFileA(g_szIniFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        fnMessage(1032, NULL, MB_OK | MB_ICONSTOP, g_szIniFile);
        return FALSE;
    }
    DWORD cbRead = 0;
    BOOL bRead = ReadFile(hFile, lpszBuffer, CB_SCRIPT_BUFFER, &cbRead, NULL);
    CloseHandle(hFile);
    if (bRead && cbRead > CB_SCRIPT_MAX) {
        fnDebugLog("fnLoadInf", "Script too large: %s", g_uDebugLevel, g_szIniFile);
        fnMessage(1041, NULL, MB_OK | MB_ICONSTOP, g_szIniFile);
        return FALSE;
    }
    if (!bRead)
        cbRead = 0;
    lpszBuffer[cbRead] = '\0';
    *lpcbInf = cbRead;
    return TRUE;
}

/*
 * Copies the script file to "name.^NN", NN one above the highest backup
 * there is (00 when none). With all hundred numbers taken the file is
 * rewritten without a backup. FALSE after message 1043.
 */
static BOOL fnBackupScript(const char *lpszFile)
{
    int nHighest = -1;
    char szBackup[CCH_PATH + 8];
    for (int n = 0; n <= 99; n++) {
        fnFormatBounded(szBackup, sizeof(szBackup), "%s.^%02d", lpszFile, n);
        if (fnIsFile(szBackup))
            nHighest = n;
    }
    if (nHighest >= 99) {
        fnDebugLog("fnLoadInf", "No backup number left for %s", g_uDebugLevel, lpszFile);
        return TRUE;
    }
    fnFormatBounded(szBackup, sizeof(szBackup), "%s.^%02d", lpszFile, nHighest + 1);
    if (strlen(szBackup) >= CCH_PATH || !CopyFileA(lpszFile, szBackup, TRUE)) {
        fnDebugLog("fnLoadInf", "Backup failed, dwError=%lu,\nszBackup=%s", g_uDebugLevel,
                   (unsigned long)GetLastError(), szBackup);
        fnMessage(1043, NULL, MB_OK | MB_ICONSTOP, lpszFile, szBackup);
        return FALSE;
    }
    fnWriteLog("\r\nBackup %s to %s", TRUE, lpszFile, szBackup);
    return TRUE;
}

/* Writes the script file anew from an optional two-byte head and the text. FALSE after message 1042. */
static BOOL fnRewriteScript(const char *lpszFile, const char *lpHead, DWORD cbHead, const char *lpText, DWORD cbText)
{
    HANDLE hFile = CreateFileA(lpszFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        fnMessage(1042, NULL, MB_OK | MB_ICONSTOP, lpszFile);
        return FALSE;
    }
    DWORD cbDone = 0;
    BOOL bOk = TRUE;
    if (cbHead)
        bOk = WriteFile(hFile, lpHead, cbHead, &cbDone, NULL) && cbDone == cbHead;
    if (bOk && cbText)
        bOk = WriteFile(hFile, lpText, cbText, &cbDone, NULL) && cbDone == cbText;
    CloseHandle(hFile);
    if (!bOk) {
        fnMessage(1042, NULL, MB_OK | MB_ICONSTOP, lpszFile);
        return FALSE;
    }
    fnWriteLog("\r\nRewrote %s", TRUE, lpszFile);
    return TRUE;
}

/* How a load ends before the walk. */
enum { LOAD_RUN, LOAD_DONE, LOAD_FAILED };

/* Load mode 1: the script file rewritten scrambled. */
static int fnScrambleOnDisk(char *lpszInf, DWORD cbInf)
{
    if (lpszInf[0] == '@') {
        fnDebugLog("fnLoadInf", "Already scrambled - \ng_szIniFile=%s", g_uDebugLevel, g_szIniFile);
        return LOAD_DONE;
    }
    /* the at sign and the offset must still fit the buffer when the file is run */
    if (cbInf > CB_SCRIPT_MAX - 2) {
        fnDebugLog("fnLoadInf", "Script too large to scramble: %s", g_uDebugLevel, g_szIniFile);
        fnMessage(1042, NULL, MB_OK | MB_ICONSTOP, g_szIniFile);
        return LOAD_FAILED;
    }
    UINT uOffset = fnRandomRange(SCRAMBLE_OFFSET_MIN, SCRAMBLE_OFFSET_MAX);
    fnDebugLog("fnLoadInf", "Before fnShiftEnCrypt - \nuOffset=%u,\ndwInfSize=%lu\nlpszInf=%s", g_uDebugLevel, uOffset,
               (unsigned long)cbInf, lpszInf);
    if (!fnShiftEnCrypt(lpszInf, uOffset, cbInf)) {
        fnMessage(1041, NULL, MB_OK | MB_ICONSTOP, g_szIniFile);
        return LOAD_FAILED;
    }
    if (!fnBackupScript(g_szIniFile))
        return LOAD_FAILED;
    char achHead[2] = {'@', (char)uOffset};
    return fnRewriteScript(g_szIniFile, achHead, 2, lpszInf, cbInf) ? LOAD_DONE : LOAD_FAILED;
}

/*
 * Steps 2 to 7 of a load: read, rewrite in a load mode, unscramble, start
 * line. On LOAD_RUN *lppszInf is the plain text to run.
 */
static int fnLoadText(LoadStateStruct *lpState, char **lppszInf)
{
    lpState->lpszBuffer = (char *)calloc(1, CB_SCRIPT_BUFFER);
    if (!lpState->lpszBuffer) {
        fnMessage(1031, NULL, MB_OK | MB_ICONSTOP);
        return LOAD_FAILED;
    }
    char *lpszInf = NULL;
    DWORD cbInf = 0;
    if (!fnReadScript(lpState->lpszBuffer, &lpszInf, &cbInf))
        return LOAD_FAILED;
    const char *lpszFile = g_bInternalInf ? g_szSetupInf : g_szIniFile;
    if (cbInf == 0) {
        fnMessage(1033, NULL, MB_OK | MB_ICONSTOP, lpszFile);
        return LOAD_FAILED;
    }
    /* the load modes rewrite a script file; an appended script is part of the program and is run instead */
    UINT uMode = g_bInternalInf ? (UINT)LOADMODE_RUN : g_uLoadMode;
    if (g_bInternalInf && g_uLoadMode != LOADMODE_RUN)
        fnDebugLog("fnLoadInf", "Load mode %u ignored for the appended script", g_uDebugLevel, g_uLoadMode);
    if (uMode == LOADMODE_SCRAMBLE)
        return fnScrambleOnDisk(lpszInf, cbInf);
    if (lpszInf[0] == '@') {
        if (cbInf < 2) {
            fnDebugLog("fnLoadInf", "Scrambled script without offset: %s", g_uDebugLevel, lpszFile);
            fnMessage(1041, NULL, MB_OK | MB_ICONSTOP, lpszFile);
            return LOAD_FAILED;
        }
        UINT uOffset = (BYTE)lpszInf[1];
        lpszInf += 2;
        cbInf -= 2;
        /* a body of nothing is an empty script, not a damaged one */
        if (cbInf > 0 && !fnShiftDeCrypt(lpszInf, uOffset, cbInf)) {
            fnMessage(1041, NULL, MB_OK | MB_ICONSTOP, lpszFile);
            return LOAD_FAILED;
        }
        fnDebugLog("fnLoadInf", "After fnShiftDeCrypt - \nuOffset=%u,\ndwInfSize=%lu\nlpszInf=%s", g_uDebugLevel,
                   uOffset, (unsigned long)cbInf, lpszInf);
        if (uMode == LOADMODE_UNSCRAMBLE) {
            if (!fnBackupScript(g_szIniFile) || !fnRewriteScript(g_szIniFile, NULL, 0, lpszInf, cbInf))
                return LOAD_FAILED;
            return LOAD_DONE;
        }
    }
    if (g_szStartHere[0]) {
        const char *lpszBegin = fnInfFindLine(lpszInf, g_szStartHere);
        if (lpszBegin) {
            fnDebugLog("fnLoadInf", "Found StartHere - \ng_szStartHere=%s,\nlpszBegin=%s", g_uDebugLevel,
                       g_szStartHere, lpszBegin);
            lpszInf += lpszBegin - lpszInf;
        } else {
            fnDebugLog("fnLoadInf", "StartHere not found - \ng_szStartHere=%s,\nlpszInf=%s", g_uDebugLevel,
                       g_szStartHere, lpszInf);
        }
    }
    *lppszInf = lpszInf;
    return LOAD_RUN;
}

int fnLoadInf(HWND hWnd)
{
    LoadStateStruct state = {hWnd, NULL, NULL, NULL};
    g_uOnExit = 0;
    g_bMustRestartAtExit = FALSE;
    state.hOldCursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!g_bQuiet && (g_cmdOptions.bStartupMsg || s_bScriptLoaded))
        state.hWndWait = fnShowWaitWindow(hWnd, 1154, WAIT_HEIGHT_MEDIUM, PLACE_TOPCENTER, 0, "Initializing");
    if (!g_uShowVSWin)
        ShowWindow(hWnd, SW_HIDE);
    fnDebugLog("fnLoadInf", "Begin", g_uDebugLevel);

    int nResult = 0;
    char *lpszInf = NULL;
    for (;;) {
        int nLoad = fnLoadText(&state, &lpszInf);
        if (nLoad == LOAD_FAILED)
            g_bRunFailed = TRUE;
        if (nLoad != LOAD_RUN)
            goto done;
        fnRemoveWait(&state);
        SetCursor(state.hOldCursor);
        fnProcessMessages();
        s_bScriptLoaded = TRUE;

        UINT uConfig = fnReadConfig(hWnd, lpszInf);
        if (uConfig == 8)
            goto done;
        if (uConfig == 2) {
            fnMessage(1041, NULL, MB_OK | MB_ICONSTOP, g_szIniFile);
            g_bRunFailed = TRUE;
            goto done;
        }
        if (!g_bQuiet)
            ShowWindow(hWnd, SW_SHOWNOACTIVATE);
        /* a run that "[Config]" stopped asks nothing more before its walk ends it */
        if (g_bStopProcessing)
            break;
        UINT uOptions = fnInstallOptionsSection(hWnd, lpszInf);
        if (uOptions == 116) {
            g_bRunCancelled = TRUE;
            goto done;
        }
        if (uOptions == 1)
            break;
        /* the dialog has put the chosen option's script into g_szIniFile */
        fnDebugLog("fnLoadInf", "Install option %u,\ng_szIniFile=%s", g_uDebugLevel, uOptions, g_szIniFile);
        free(state.lpszBuffer);
        state.lpszBuffer = NULL;
        g_bInternalInf = FALSE;
    }
    if (!g_uShowVSWin)
        ShowWindow(hWnd, SW_HIDE);
    if (lpszInf[0] && !g_bStopProcessing && fnSignonSection(hWnd, lpszInf) == 0) {
        /* the user left the opening dialog */
        g_bRunCancelled = TRUE;
        goto done;
    }
    /* a script that holds a password is not shown: the debug file lies in the temporary folder */
    fnDebugLog("fnLoadInf", "Before fnReadInf\nlpszInf=%s", g_uDebugLevel,
               g_uDebugLevel && fnTextHoldsSecret(lpszInf) ? "(a script with a password)" : lpszInf);
    nResult = fnReadInf(hWnd, lpszInf);
done:
    fnCleanUp(&state);
    SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    fnDebugLog("fnLoadInf", "Exit", g_uDebugLevel);
    return nResult;
}
