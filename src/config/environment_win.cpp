/*
 * config/environment_win.cpp -- environment variables in the registry and in
 * the program's own environment, the notice to running programs, and the
 * "[SetEnvironment]" section. The edit of a value as text lives in
 * config/envlist.cpp; AUTOEXEC.BAT goes through config/cfgfile_win.cpp.
 *
 * A PATH is the one value a workstation cannot do without, so it is read
 * whole (any length the system allows), edited by whole elements, and
 * written back with its own type; a read that fails for any reason other
 * than "not found" leaves it untouched.
 */
#include "config/environment.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/cfgask.h"
#include "config/cfgsections.h"
#include "config/envlist.h"
#include "config/registry.h"
#include "config/reglong.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/textmodel.h"

/* %NAME% references expanded by this process's environment into lpOut. */
static BOOL fnExpandEnvText(const char *lpszText, TextBufStruct *lpOut)
{
    fnTextBufReset(lpOut);
    DWORD cchNeed = ExpandEnvironmentStringsA(lpszText, NULL, 0);
    if (cchNeed == 0 || cchNeed > CCH_ENV_MAX + 1)
        return FALSE;
    char *lpszRoom = (char *)malloc(cchNeed + 1);
    if (!lpszRoom)
        return FALSE;
    DWORD cchGot = ExpandEnvironmentStringsA(lpszText, lpszRoom, cchNeed + 1);
    BOOL bOk = cchGot != 0 && cchGot <= cchNeed + 1 && fnTextBufAppend(lpOut, lpszRoom);
    free(lpszRoom);
    return bOk;
}

/* The program's own value of a variable; FALSE when it is not set. */
static BOOL fnGetProcessEnv(const char *lpszName, TextBufStruct *lpOut)
{
    fnTextBufReset(lpOut);
    SetLastError(ERROR_SUCCESS);
    DWORD cchNeed = GetEnvironmentVariableA(lpszName, NULL, 0);
    if (cchNeed == 0)
        return GetLastError() != ERROR_ENVVAR_NOT_FOUND && fnTextBufAppendN(lpOut, "", 0);
    char *lpszRoom = (char *)malloc(cchNeed + 1);
    if (!lpszRoom)
        return FALSE;
    DWORD cchGot = GetEnvironmentVariableA(lpszName, lpszRoom, cchNeed + 1);
    BOOL bOk = cchGot <= cchNeed && (lpszRoom[cchGot] = '\0', fnTextBufAppend(lpOut, lpszRoom));
    free(lpszRoom);
    return bOk;
}

/* A text of any length in the debug log, in pieces each entry can hold. */
static void fnDebugLogLong(const char *lpszTitle, const char *lpszLabel, const char *lpszText)
{
    const size_t cchPiece = 900;
    size_t cch = strlen(lpszText);
    if (cch <= cchPiece) {
        fnDebugLog(lpszTitle, "%s=%s", g_uDebugLevel, lpszLabel, lpszText);
        return;
    }
    for (size_t nAt = 0; nAt < cch; nAt += cchPiece)
        fnDebugLog(lpszTitle, "%s[%lu]=%.900s", g_uDebugLevel, lpszLabel, (unsigned long)nAt, lpszText + nAt);
}

/*
 * Brings the program's own environment in line after a registry change, so a
 * later program the run starts sees it. Windows makes a new process's PATH
 * from the machine part and the user part, so a list variable gets the same
 * element edit on the value the program has (never the registry text of one
 * part alone); a plain variable gets the new text. References are expanded
 * as the system would for a REG_EXPAND_SZ value.
 */
static void fnUpdateProcessEnv(const char *lpszName, const char *lpszValue, char cAction, BOOL bMulti,
                               int nEdit, const char *lpszNewText, DWORD dwType, BOOL bUser)
{
    TextBufGuardStruct expanded, current, edited, machine;
    BOOL bOk = TRUE;
    if (bMulti) {
        const char *lpszElem = lpszValue;
        if (dwType == REG_EXPAND_SZ && fnExpandEnvText(lpszValue, &expanded.buf))
            lpszElem = expanded.buf.lpsz;
        BOOL bSet = fnGetProcessEnv(lpszName, &current.buf);
        int nProc = fnEditEnvValue(bSet ? current.buf.lpsz : NULL, lpszElem, cAction, TRUE, &edited.buf);
        if (nProc == ENVEDIT_WRITE)
            bOk = SetEnvironmentVariableA(lpszName, edited.buf.lpsz);
        else if (nProc == ENVEDIT_DELETE)
            bOk = SetEnvironmentVariableA(lpszName, NULL);
    } else if (nEdit == ENVEDIT_WRITE) {
        const char *lpszSet = lpszNewText;
        if (dwType == REG_EXPAND_SZ && fnExpandEnvText(lpszNewText, &expanded.buf))
            lpszSet = expanded.buf.lpsz;
        bOk = SetEnvironmentVariableA(lpszName, lpszSet);
    } else {
        /* NULL removes the variable; an empty text would leave it set but empty */
        bOk = SetEnvironmentVariableA(lpszName, NULL);
        /* a user variable that hid a machine-wide one leaves the machine's value visible */
        DWORD dwMachineType = REG_SZ;
        if (bUser && fnRegReadTextAlloc(HKEY_LOCAL_MACHINE, ENV_MACHINE_KEY, lpszName, &dwMachineType, &machine.buf,
                                        CCH_ENV_MAX) == ERROR_SUCCESS) {
            const char *lpszSet = machine.buf.lpsz;
            if (dwMachineType == REG_EXPAND_SZ && fnExpandEnvText(machine.buf.lpsz, &expanded.buf))
                lpszSet = expanded.buf.lpsz;
            bOk = SetEnvironmentVariableA(lpszName, lpszSet);
        }
    }
    fnDebugLog("fnSetRegEnvironment Process", "lpszName=%s,\nbOk=%d", g_uDebugLevel, lpszName, bOk);
}

BOOL fnSetRegEnvironmentQuiet(const char *lpszName, const char *lpszValue, const char *lpszAction, BOOL bMulti,
                              BOOL bUser, BOOL *lpbChanged)
{
    if (lpbChanged)
        *lpbChanged = FALSE;
    if (!lpszName || !lpszName[0])
        return FALSE;
    if (!lpszValue)
        lpszValue = "";
    char cAction = (lpszAction && lpszAction[0]) ? fnUpperAscii(lpszAction[0]) : 'N';
    HKEY hRoot = bUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const char *lpszKey = bUser ? ENV_USER_KEY : ENV_MACHINE_KEY;
    TextBufGuardStruct cur, result;
    DWORD dwType = REG_SZ;
    LONG lRC = fnRegReadTextAlloc(hRoot, lpszKey, lpszName, &dwType, &cur.buf, CCH_ENV_MAX);
    if (lRC != ERROR_SUCCESS && lRC != ERROR_FILE_NOT_FOUND) {
        /* access denied, a value too long or of another type: it is not ours to overwrite */
        fnDebugLog("fnSetRegEnvironment", "Cannot read %s,\nlRC=%ld: the value is left as it is", g_uDebugLevel,
                   lpszName, (long)lRC);
        return FALSE;
    }
    BOOL bExists = (lRC == ERROR_SUCCESS);
    if (!bExists)
        dwType = REG_SZ;
    int nEdit = fnEditEnvValue(bExists ? cur.buf.lpsz : NULL, lpszValue, cAction, bMulti, &result.buf);
    fnDebugLog("fnSetRegEnvironment", "lpszName=%s,\nbUser=%d,\nbExists=%d,\ndwType=%lu,\nnEdit=%d", g_uDebugLevel,
               lpszName, bUser, bExists, (unsigned long)dwType, nEdit);
    fnDebugLogLong("fnSetRegEnvironment", "lpszOld", bExists ? cur.buf.lpsz : "");
    fnDebugLogLong("fnSetRegEnvironment", "lpszNew", fnTextBufText(&result.buf));
    BOOL bOk = FALSE;
    switch (nEdit) {
    case ENVEDIT_KEEP:
        return TRUE;
    case ENVEDIT_WRITE:
        bOk = fnRegWriteTextLong(hRoot, lpszKey, lpszName, dwType, result.buf.lpsz, CCH_ENV_MAX);
        break;
    case ENVEDIT_DELETE:
        bOk = fnRegDelValue(hRoot, lpszKey, lpszName);
        break;
    default:
        return FALSE;
    }
    if (!bOk)
        return FALSE;
    if (lpbChanged)
        *lpbChanged = TRUE;
    fnUpdateProcessEnv(lpszName, lpszValue, cAction, bMulti, nEdit, fnTextBufText(&result.buf), dwType, bUser);
    return TRUE;
}

void fnBroadcastEnvironment(void)
{
    /* the wide form: the ANSI broadcast reaches some windows with a garbled text */
    DWORD_PTR dwResult = 0;
    LRESULT lRC = SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)L"Environment", SMTO_ABORTIFHUNG,
                                      5000, &dwResult);
    fnDebugLog("fnBroadcastEnvironment", "lRC=%ld", g_uDebugLevel, (long)lRC);
}

BOOL fnSetRegEnvironment(const char *lpszName, const char *lpszValue, const char *lpszAction, BOOL bMulti,
                         BOOL bUser)
{
    BOOL bChanged = FALSE;
    BOOL bOk = fnSetRegEnvironmentQuiet(lpszName, lpszValue, lpszAction, bMulti, bUser, &bChanged);
    if (bChanged)
        fnBroadcastEnvironment();
    return bOk;
}

BOOL fnSetAutoExecEnvironment(HWND hWnd, const char *lpszName, const char *lpszValue, const char *lpszAction,
                              BOOL bQuiet, BOOL bFirstEdit)
{
    /* the run-wide list of backed-up files decides the backup; the first-edit flag is kept for callers */
    (void)bFirstEdit;
    return fnSetBatchEnvironment(hWnd, "C:\\AUTOEXEC.BAT", lpszName, lpszValue, lpszAction, bQuiet);
}

/* Y or N by the first letter; any other text keeps the default. */
static BOOL fnFlagField(char *lpszLine, int nField, BOOL bDefault)
{
    char szField[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, nField, szField, sizeof(szField)))
        return bDefault;
    char c = fnUpperAscii(szField[0]);
    return (c == 'Y') ? TRUE : (c == 'N') ? FALSE : bDefault;
}

/* The action letters: the first N R S D B or E (else N), the second the AUTOEXEC placement A B E or T. */
static void fnEnvAction(const char *lpszField, char *lpszAction)
{
    char c1 = fnUpperAscii(lpszField[0]);
    char c2 = c1 ? fnUpperAscii(lpszField[1]) : '\0';
    lpszAction[0] = strchr(g_szEnvActions, c1) && c1 ? c1 : 'N';
    lpszAction[1] = (c2 && strchr(g_szEnvActionModifiers, c2)) ? c2 : '\0';
    lpszAction[2] = '\0';
}

/* One line of the section: 1 go on, 0 end the section with status 0, 2 end it with status 1. */
static int fnSetEnvironmentLine(HWND hWnd, char *lpszLine, BOOL *lpbChanged, BOOL *lpbAutoDone)
{
    char szLine[CCH_LINE_BUF];
    fnCopyBounded(szLine, sizeof(szLine), lpszLine);
    char szLeft[CCH_FIELD_BUF], szRight[CCH_FIELD_BUF], szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    char szField[CCH_FIELD_BUF], szAction[3];
    fnInfParseField(lpszLine, 0, szLeft, sizeof(szLeft));
    int nMissing = !fnInfParseField(lpszLine, 1, szRight, sizeof(szRight)) ? 1
                   : !fnInfParseField(lpszLine, 2, szKey, sizeof(szKey))   ? 2
                                                                            : 0;
    if (nMissing) {
        if (!g_bQuiet)
            fnCfgFieldMissing((UINT)nMissing, szLine);
        return 0;
    }
    UINT uTest = fnInfTestField(szLeft, szRight);
    if (uTest == IDTEST_SKIPREST)
        return 2;
    if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
        return 1;
    if (!fnInfParseField(lpszLine, 3, szValue, sizeof(szValue)) && !g_bQuiet)
        fnCfgFieldMissing(3, szLine);
    fnInfParseField(lpszLine, 4, szField, sizeof(szField));
    fnEnvAction(szField, szAction);
    BOOL bMulti = fnFlagField(lpszLine, 5, FALSE);
    BOOL bQuiet = fnFlagField(lpszLine, 6, FALSE);
    BOOL bReg = fnFlagField(lpszLine, 7, TRUE);
    BOOL bUser = fnFlagField(lpszLine, 8, TRUE);
    BOOL bAuto = fnFlagField(lpszLine, 9, FALSE);
    /* a value the expansion would cut is refused: a shortened PATH element is a wrong element */
    BOOL bWhole = fnExpandDataField(szKey, sizeof(szKey), "fnReadSetEnvironment", NULL);
    if (szValue[0])
        bWhole = fnExpandDataField(szValue, sizeof(szValue), "fnReadSetEnvironment", NULL) && bWhole;
    fnDebugLog("fnReadSetEnvironment",
               "szKey=%s, szValue=%s, szAction=%s, bMulti=%d, bQuiet=%d, bReg=%d, bUser=%d, bAuto=%d", g_uDebugLevel,
               szKey, fnLogText(szValue), szAction, bMulti, bQuiet, bReg, bUser, bAuto);
    fnWriteLog("%s, %s, %s, %d, %d, %d, %d, %d", TRUE, szKey, szValue, szAction, bMulti, bQuiet, bReg, bUser, bAuto);
    if (bReg) {
        BOOL bChanged = FALSE;
        BOOL bOk = bWhole && fnSetRegEnvironmentQuiet(szKey, szValue, szAction, bMulti, bUser, &bChanged);
        *lpbChanged = *lpbChanged || bChanged;
        if (!bOk && !bQuiet && !fnCfgAskYesNo(1161, szKey))
            return 0;
    }
    if (bAuto) {
        BOOL bOk = bWhole && fnSetAutoExecEnvironment(hWnd, szKey, szValue, szAction, bQuiet, !*lpbAutoDone);
        *lpbAutoDone = TRUE;
        if (!bOk && !bQuiet && !fnCfgAskYesNo(1162, szKey))
            return 0;
    }
    return 1;
}

UINT fnReadSetEnvironment(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    UINT uStatus = SECT_CONTINUE;
    BOOL bChanged = FALSE, bAutoDone = FALSE;
    char szLine[CCH_LINE_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        int nGoOn = fnSetEnvironmentLine(hWnd, szLine, &bChanged, &bAutoDone);
        if (nGoOn == 0)
            uStatus = SECT_ERROR;
        if (nGoOn != 1)
            break;
    }
    /* one notice for the whole section: each can wait seconds on a slow window */
    if (bChanged)
        fnBroadcastEnvironment();
    return uStatus;
}
