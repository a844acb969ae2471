/*
 * config/registry_sections.cpp -- the registry sections ("[Registry]" and its
 * five siblings): each line writes, renames, deletes, reads, tests or
 * enumerates through the registry layer (config/registry.h), stores what it
 * read in the result slots @K0-@K8, and on failure asks, goes on or ends the
 * section as its action word says. Line rules live in config/regsection.h.
 * Returns only 1 (go on) or 0 (the section failed).
 */
#include <windows.h>

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "config/regsection.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/messages.h"
#include "process/launch.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/textmodel.h"
#include "ui/msgwindow.h"

static const char s_szTitle[] = "fnRegistrySection";
static const char s_szNotFound[] = "-NOTFOUND-";

/* What one section run keeps across its lines. */
struct RegSectionStateStruct {
    BOOL bTrim;
    int nReg;
    char szBackupDir[CCH_REGLINE_TEXT];
};

/* How one action line ended. */
enum { LINE_DONE, LINE_FAILED, LINE_ENDSECTION };

/* A numbered Yes/No question; a quiet run shows nothing and takes Yes, the box's default. */
static BOOL fnAskYes(UINT uMsg)
{
    if (g_bQuiet) {
        fnDebugLog(s_szTitle, "quiet: message %u answered Yes", g_uDebugLevel, uMsg);
        return TRUE;
    }
    return fnMessage(uMsg, NULL, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

/* The script's own text in the message window; returns the button pressed (a quiet run: the first). */
static int fnAskOwn(HWND hWnd, const char *lpszText, UINT uType)
{
    MsgWindowStruct msg;
    memset(&msg, 0, sizeof(msg));
    fnCopyBounded(msg.szText, sizeof(msg.szText), lpszText);
    msg.uType = uType;
    return fnShowMessageWindow(hWnd, &msg);
}

/* Stores a result in the next slot; a tenth result finds none and only the log keeps it. */
static void fnStore(RegSectionStateStruct *lpState, const char *lpszResult)
{
    int nAt = lpState->nReg;
    if (!fnRegStoreResult(g_szRegValues, OPT_SLOTS, &lpState->nReg, lpszResult))
        fnDebugLog(s_szTitle, "no result slot left: result %d not stored,\nszResult=%s", g_uDebugLevel, nAt + 1,
                   lpszResult);
}

/*
 * Expands the fields the line's action uses. FALSE when one would be cut:
 * the line then does not act. *lpnKeyRC and *lpnNameRC receive the
 * expansion results of the key path and the value name.
 */
static BOOL fnExpandLine(RegLineStruct *lpLine, int *lpnKeyRC, int *lpnNameRC)
{
    struct {
        char *lpsz;
        int *lpnRC;
    } aFields[] = {
        {lpLine->szRegKey, lpnKeyRC},      {lpLine->szRegKeyName, lpnNameRC}, {lpLine->szRegNewKeyName, NULL},
        {lpLine->szRegValue, NULL},        {lpLine->szTestValue2, NULL},      {lpLine->szRegCheckValue, NULL},
    };
    *lpnKeyRC = *lpnNameRC = EXPAND_NONE;
    BOOL bWhole = TRUE;
    for (auto &f : aFields) {
        if (f.lpsz[0] && !fnExpandDataField(f.lpsz, CCH_REGLINE_TEXT, s_szTitle, f.lpnRC))
            bWhole = FALSE;
    }
    return bWhole;
}

/* Starts the program of a Check line after a Yes; FALSE when it cannot be started. */
static BOOL fnStartCheckProgram(const char *lpszProgram)
{
    char szProgram[CCH_FIELD_BUF];
    fnCopyBounded(szProgram, sizeof(szProgram), lpszProgram);
    if (!fnExpandDataField(szProgram, sizeof(szProgram), s_szTitle, NULL))
        return FALSE;
    /* started in the normal show state without waiting; a failure is reported and may stop the run */
    return g_lpLauncher->pfnCreateProcess(szProgram, SW_SHOWNORMAL, LAUNCH_NOWAIT, FALSE, FALSE, LAUNCHERR_STOP,
                                          TRUE) == 1;
}

/* The Check line's question or stop, own message or numbered. LINE_ENDSECTION when the section ends. */
static UINT fnCheckAct(HWND hWnd, const RegLineStruct *lpLine, UINT uOutcome, UINT uMsg)
{
    char szMessage[CCH_FIELD_BUF];
    szMessage[0] = '\0';
    if (lpLine->szMessage[0]) {
        fnCopyBounded(szMessage, sizeof(szMessage), lpLine->szMessage);
        fnExpandOpts(szMessage, sizeof(szMessage));
    }
    if (uOutcome == REGCHECK_FATAL) {
        if (szMessage[0])
            fnAskOwn(hWnd, szMessage, MSGWIN_OK);
        else if (!g_bQuiet)
            fnMessage(1288, NULL, MB_OK | MB_ICONSTOP);
        fnDebugLog(s_szTitle, "Check FATAL: szRegKey=%s,\nszRegKeyName=%s", g_uDebugLevel, lpLine->szRegKey,
                   lpLine->szRegKeyName);
        return LINE_ENDSECTION;
    }
    BOOL bYes = szMessage[0] ? fnAskOwn(hWnd, szMessage, MSGWIN_YESNO) == IDYES : fnAskYes(uMsg);
    if (!bYes)
        return LINE_ENDSECTION;
    if (lpLine->szProgram[0] && !fnStartCheckProgram(lpLine->szProgram))
        return LINE_ENDSECTION;
    return LINE_DONE;
}

/* A Check line: read, compare and act by the outcome table; never a failed line. */
static UINT fnCheckLine(HWND hWnd, RegLineStruct *lpLine, HKEY hRoot, BOOL bUsable)
{
    fnDebugLog(s_szTitle, "hRegKey=%u,\nszRegKey=%s,\nszRegValue=%s,\nszRegCheckAction=%s", g_uDebugLevel,
               (UINT)(ULONG_PTR)hRoot, lpLine->szRegKey, lpLine->szRegValue, lpLine->szRegCheckAction);
    /* a mistyped root or a cut path finds nothing: that is "not found", never a pass */
    BOOL bFound = bUsable && hRoot &&
                  fnGetRegistryByValue(hRoot, NULL, lpLine->szRegKey, lpLine->szRegKeyName,
                                       lpLine->szRegCheckValue, sizeof(lpLine->szRegCheckValue), REGCONV_HEX);
    if (!bFound)
        lpLine->szRegCheckValue[0] = '\0';
    BOOL bEqual = bFound && fnEqualNoCase(lpLine->szRegCheckValue, lpLine->szRegValue);
    fnDebugLog(s_szTitle, "szRegValue=%s,\nszRegCheckValue=%s", g_uDebugLevel, lpLine->szRegValue,
               lpLine->szRegCheckValue);
    UINT uMsg = 0;
    UINT uOutcome = fnRegCheckOutcome(lpLine->szRegCheckAction, bFound, bEqual, &uMsg);
    switch (uOutcome) {
    case REGCHECK_STOP:
        fnDebugLog(s_szTitle, "Check %s: bFound=%d, bEqual=%d ends the section", g_uDebugLevel,
                   lpLine->szRegCheckAction, bFound, bEqual);
        return LINE_ENDSECTION;
    case REGCHECK_ASK:
    case REGCHECK_FATAL:
        return fnCheckAct(hWnd, lpLine, uOutcome, uMsg);
    default:
        return LINE_DONE;
    }
}

/* A line that stores a result: the value read, or its not-found text when there is nothing to read. */
static UINT fnResultLine(RegLineStruct *lpLine, HKEY hRoot, BOOL bUsable, RegSectionStateStruct *lpState)
{
    char szResult[CCH_REGVALUE];
    szResult[0] = '\0';
    BOOL bFound = FALSE;
    switch (lpLine->nKey) {
    case REGLINE_READ:
        bFound = bUsable && hRoot && fnGetRegistry(hRoot, NULL, lpLine->szRegKey, szResult, sizeof(szResult),
                                                   REGCONV_HEX);
        break;
    case REGLINE_READVALUE:
        bFound = bUsable && hRoot &&
                 fnGetRegistryByValue(hRoot, NULL, lpLine->szRegKey, lpLine->szRegKeyName, szResult,
                                      sizeof(szResult), REGCONV_DEC);
        break;
    case REGLINE_MATCH: {
        char szValue[CCH_REGVALUE];
        bFound = bUsable && hRoot && fnGetRegistry(hRoot, lpLine->szRegKey, szValue, sizeof(szValue));
        fnStore(lpState, (bFound && fnRegMatches(szValue, lpLine->szRegCheckValue, lpLine->bExact)) ? "1" : "0");
        return bFound ? LINE_DONE : LINE_FAILED;
    }
    case REGLINE_ENUM: {
        /* the letter is the field's first character */
        char szLetter[2] = {lpLine->szRegCheckAction[0], '\0'};
        if (bUsable && hRoot)
            fnRegGetEnum(hRoot, lpLine->szRegKey, lpLine->szRegKeyName, lpLine->szRegValue, lpLine->szTestValue2,
                         lpLine->szRegCheckValue, szLetter, szResult, sizeof(szResult));
        else
            fnCopyBounded(szResult, sizeof(szResult), "0000");
        if (lpState->bTrim)
            fnRegTrimDriveSlash(szResult);
        fnDebugLog(s_szTitle, "szRegEnum=%s,\nnReg=%d,\ng_szRegValues[nReg][0])=%s", g_uDebugLevel, szResult,
                   lpState->nReg, szResult);
        fnStore(lpState, szResult);
        return (bUsable && hRoot) ? LINE_DONE : LINE_FAILED;
    }
    }
    if (bFound && lpState->bTrim)
        fnRegTrimDriveSlash(szResult);
    fnStore(lpState, bFound ? szResult : s_szNotFound);
    return bFound ? LINE_DONE : LINE_FAILED;
}

/* Carries out an action line on a usable root and path. */
static BOOL fnActionLine(RegLineStruct *lpLine, HKEY hRoot)
{
    DWORD dwType = fnRegTypeFromName(lpLine->szType);
    switch (lpLine->nKey) {
    case REGLINE_EDIT:
        /* the value is looked for under the name as given: names may hold backslashes */
        if (fnEqualNoCase(lpLine->szRegCheckAction, "SKIPIFEXISTS") &&
            fnRegValueExists(hRoot, lpLine->szRegKey, lpLine->szRegKeyName)) {
            fnDebugLog(s_szTitle, "SKIPIFEXISTS: szRegKeyName=%s exists", g_uDebugLevel, lpLine->szRegKeyName);
            return TRUE;
        }
        return fnRegOpenAndSet(hRoot, lpLine->szRegKey, lpLine->szRegKeyName, lpLine->szRegValue, dwType, FALSE);
    case REGLINE_RENAMEKEY:
    case REGLINE_RENAMEVALUE: {
        BOOL bRC = fnRegRenameValue(hRoot, lpLine->szRegKey, lpLine->szRegKeyName, lpLine->szRegNewKeyName);
        fnDebugLog(bRC ? "fnRegistrySection RenameValue OK" : "fnRegistrySection RenameValue ERROR",
                   "szRegKey=%s,\nszRegKeyName=%s,\nszRegNewKeyName=%s", g_uDebugLevel, lpLine->szRegKey,
                   lpLine->szRegKeyName, lpLine->szRegNewKeyName);
        return bRC;
    }
    case REGLINE_DELETEVALUE:
        return fnRegDelValue(hRoot, lpLine->szRegKey, lpLine->szRegKeyName);
    case REGLINE_DELETEVALUES:
        return fnRegDelAllValues(hRoot, lpLine->szRegKey);
    case REGLINE_DELETEKEY:
        return fnRegDelKey(hRoot, lpLine->szRegKey);
    case REGLINE_DELETEBRANCH:
        return fnRegDelBranch(hRoot, lpLine->szRegKey);
    }
    return FALSE;
}

/* One action line from its expanded fields to its outcome. */
static UINT fnDoRegLine(HWND hWnd, RegLineStruct *lpLine, RegSectionStateStruct *lpState)
{
    BOOL bKeyOpts = strchr(lpLine->szRegKey, g_cOptChar) != NULL;
    BOOL bNameOpts = strchr(lpLine->szRegKeyName, g_cOptChar) != NULL;
    int nKeyRC, nNameRC;
    BOOL bUsable = fnExpandLine(lpLine, &nKeyRC, &nNameRC);
    HKEY hRoot = lpLine->szRegKey[0] ? fnSplitRegKey(lpLine->szRegKey) : NULL;
    fnDebugLog(s_szTitle, "hRegKey=%u,\nszRegKey=%s,\nszRegValue=%s", g_uDebugLevel, (UINT)(ULONG_PTR)hRoot,
               lpLine->szRegKey, lpLine->szRegValue);

    if (lpLine->nKey == REGLINE_CHECK)
        return fnCheckLine(hWnd, lpLine, hRoot, bUsable);
    if (fnRegLineStoresResult(lpLine->nKey))
        return fnResultLine(lpLine, hRoot, bUsable, lpState);
    if (!hRoot) {
        fnDebugLog(s_szTitle, "no registry root in szRegKey=%s", g_uDebugLevel, lpLine->szRegKey);
        return LINE_FAILED;
    }
    if (!bUsable)
        return LINE_FAILED;
    /* a path or name that options left short must not take a wider delete than the script wrote */
    if (fnRegLineDeletes(lpLine->nKey) &&
        ((bKeyOpts && fnRegBuiltPathUnsafe(lpLine->szRegKey, nKeyRC)) ||
         (bNameOpts && nNameRC == EXPAND_MISSING))) {
        fnDebugLog(s_szTitle, "refused: options left szRegKey=%s,\nszRegKeyName=%s", g_uDebugLevel,
                   lpLine->szRegKey, lpLine->szRegKeyName);
        return LINE_FAILED;
    }
    BOOL bRC = fnActionLine(lpLine, hRoot);
    fnDebugLog(s_szTitle, "bRC=%d,\nhRegKey=%u,\nszRegKey=%s,\nszRegValue=%s", g_uDebugLevel, bRC,
               (UINT)(ULONG_PTR)hRoot, lpLine->szRegKey, lpLine->szRegValue);
    return bRC ? LINE_DONE : LINE_FAILED;
}

UINT fnRegistrySection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    if (!lpszPos || !*lpszPos)
        return SECT_CONTINUE;

    RegSectionStateStruct state;
    memset(&state, 0, sizeof(state));
    char szLine[CCH_LINE_BUF], szString[CCH_FIELD_BUF];
    RegLineStruct line;
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
            continue;
        if (uTest == IDTEST_SKIPREST)
            break;
        if (!fnInfParseField(szLine, 0, szString, sizeof(szString))) {
            fnDebugLog(s_szTitle, "Error returning FALSE\nszString=%s,\nszLine=%s", g_uDebugLevel, szString, szLine);
            return SECT_ERROR;
        }
        fnDebugLog(s_szTitle, "szString=%s,\nszLine=%s", g_uDebugLevel, szString, szLine);
        int nKey = fnFindSectionKey(g_aRegistryKeys, szString);
        char szField[CCH_FIELD_BUF];
        switch (nKey) {
        case REGLINE_EXPANDDELIMS:
            fnInfParseField(szLine, 1, szField, sizeof(szField));
            fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), szField);
            continue;
        case REGLINE_BACKUPDIR:
            /* kept as written: no line of the section reads it */
            fnInfParseField(szLine, 1, szField, sizeof(szField));
            fnCopyBounded(state.szBackupDir, sizeof(state.szBackupDir), szField);
            continue;
        case REGLINE_TRIMSLASH: {
            fnInfParseField(szLine, 1, szField, sizeof(szField));
            char c = fnUpperAscii(szField[0]);
            if (c == 'Y')
                state.bTrim = TRUE;
            else if (c == 'N')
                state.bTrim = FALSE;
            continue;
        }
        case -1:
            /* a keyword the section does not know ends it */
            fnDebugLog(s_szTitle, "unknown keyword ends the section: szString=%s", g_uDebugLevel, szString);
            return SECT_CONTINUE;
        default:
            break;
        }
        fnRegTakeFields(szLine, nKey, &line);
        UINT uLine = fnDoRegLine(hWnd, &line, &state);
        if (uLine == LINE_ENDSECTION)
            return SECT_ERROR;
        if (uLine == LINE_FAILED && fnEqualNoCase(line.szRegCheckAction, "PROMPT") && !fnAskYes(1277))
            return SECT_ERROR;
    }
    return SECT_CONTINUE;
}
