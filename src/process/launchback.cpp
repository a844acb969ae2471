/*
 * process/launchback.cpp -- the keyword lines of "[LaunchAndBack]": what
 * each sets, its defaults, and its record in the installation log (see
 * process/launchback.h). Nothing here starts or watches a program.
 */
#include "process/launchback.h"

#include <string.h>

#include "common/bounded.h"
#include "config/regtext.h"
#include "driver/logwriters.h"
#include "script/expand.h"
#include "script/inlinefun.h"
#include "script/keytable.h"
#include "script/textmodel.h"

enum { LBK_EXEC = 1, LBK_REFRESH, LBK_EXITATWINDOW, LBK_WAITFORWINDOW, LBK_WHILEWINDOW, LBK_WAITFOREXEC,
       LBK_READREG, LBK_BEQUIET, LBK_PAUSE, LBK_KEEPTRYING };

const SectionKeyStruct g_aLaunchBackKeys[] = {
    {"Exec", LBK_EXEC},
    {"Refresh", LBK_REFRESH},
    {"ExitAtWindow", LBK_EXITATWINDOW},
    {"WaitForWindow", LBK_WAITFORWINDOW},
    {"WhileWindow", LBK_WHILEWINDOW},
    {"WaitForExec", LBK_WAITFOREXEC},
    {"ReadReg", LBK_READREG},
    {"BeQuiet", LBK_BEQUIET},
    {"Pause", LBK_PAUSE},
    {"KeepTrying", LBK_KEEPTRYING},
    {NULL, 0},
};

void fnInitLaunchBack(LaunchBackStruct *lpLb)
{
    memset(lpLb, 0, sizeof(*lpLb));
    lpLb->nShow = 1;
    lpLb->bWait = TRUE;
    lpLb->bExitAtAll = TRUE;
    lpLb->bWinAll = TRUE;
    lpLb->bExecFullPath = TRUE;
    lpLb->bExecEnd = TRUE;
    lpLb->bKeepTrying = TRUE;
}

/* The first character of a field: upper-case letter, or 0 when the line has no such field. */
static char fnFlagChar(char *lpszLine, int n)
{
    char sz[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, n, sz, sizeof(sz)))
        return 0;
    return fnUpperAscii(sz[0]);
}

static UINT fnNumberField(char *lpszLine, int n)
{
    char sz[CCH_FIELD_BUF];
    return fnInfParseField(lpszLine, n, sz, sizeof(sz)) ? fnDigitsOf(sz) : 0;
}

/* A required field, expanded; FALSE when missing or when it is (or expands to) nothing. */
static BOOL fnRequired(char *lpszLine, int n, char *lpszOut, size_t cchOut, BOOL bExpand)
{
    if (!fnInfParseField(lpszLine, n, lpszOut, cchOut) || !lpszOut[0])
        return FALSE;
    if (bExpand)
        fnExpandOpts(lpszOut, cchOut);
    return lpszOut[0] != '\0';
}

/* A watch line's own limit: the smallest given counts, since every watch ends the loop. */
static void fnTakeWatchSeconds(LaunchBackStruct *lpLb, UINT uSeconds)
{
    if (uSeconds && (!lpLb->uWatchSeconds || uSeconds < lpLb->uWatchSeconds))
        lpLb->uWatchSeconds = uSeconds;
}

int fnReadLaunchBackLine(LaunchBackStruct *lpLb, char *lpszLine, int *lpnField)
{
    char szKey[CCH_FIELD_BUF], sz[CCH_FIELD_BUF];
    *lpnField = 0;
    if (!fnInfParseField(lpszLine, 0, szKey, sizeof(szKey)))
        return LBLINE_END;
    int nKey = fnFindSectionKey(g_aLaunchBackKeys, szKey);
    if (nKey < 0)
        return LBLINE_END;
    *lpnField = 1;
    switch (nKey) {
    case LBK_EXEC: {
        if (!fnRequired(lpszLine, 1, sz, sizeof(sz), TRUE))
            return LBLINE_MISSING;
        fnCopyBounded(lpLb->szExec, sizeof(lpLb->szExec), sz);
        char szShow[CCH_FIELD_BUF] = "";
        fnInfParseField(lpszLine, 2, szShow, sizeof(szShow));
        lpLb->nShow = fnEqualNoCase(szShow, "MIN") ? 2 : fnEqualNoCase(szShow, "MAX") ? 3 : 1;
        char szWait[CCH_FIELD_BUF] = "";
        fnInfParseField(lpszLine, 3, szWait, sizeof(szWait));
        char c = fnUpperAscii(szWait[0]);
        /* N none, Y wait, X wait and prevent exit; an S after Y or X: a blocking wait */
        lpLb->bWait = c != 'N';
        lpLb->bPreventExit = c == 'X';
        lpLb->bBlocking = (c == 'Y' || c == 'X') && fnUpperAscii(szWait[1]) == 'S';
        lpLb->uExecSeconds = fnNumberField(lpszLine, 4);
        fnWriteLog("Exec=%s, %d, %d, %u", TRUE, lpLb->szExec, lpLb->nShow,
                   !lpLb->bWait ? 0 : lpLb->bBlocking ? 2 : 1, lpLb->uExecSeconds);
        return LBLINE_OK;
    }
    case LBK_REFRESH: {
        char szSrc[CCH_FIELD_BUF], szDst[CCH_FIELD_BUF];
        if (!fnRequired(lpszLine, 1, szSrc, sizeof(szSrc), FALSE))
            return LBLINE_MISSING;
        *lpnField = 2;
        if (!fnRequired(lpszLine, 2, szDst, sizeof(szDst), FALSE))
            return LBLINE_MISSING;
        /* recorded when copied, with the paths expanded */
        if (lpLb->uRefresh < LB_MAX_REFRESH) {
            fnCopyBounded(lpLb->aszRefreshSrc[lpLb->uRefresh], CCH_PATH, szSrc);
            fnCopyBounded(lpLb->aszRefreshDst[lpLb->uRefresh], CCH_PATH, szDst);
            lpLb->uRefresh++;
        }
        return LBLINE_OK;
    }
    case LBK_EXITATWINDOW:
    case LBK_WAITFORWINDOW:
    case LBK_WHILEWINDOW: {
        if (!fnRequired(lpszLine, 1, sz, sizeof(sz), TRUE))
            return LBLINE_MISSING;
        /* field 2 N: top-level windows by exact title only; field 3 N: the title is a prefix */
        BOOL bAll = fnFlagChar(lpszLine, 2) != 'N';
        size_t cchPrefix = fnFlagChar(lpszLine, 3) == 'N' ? strlen(sz) : 0;
        UINT uSeconds = fnNumberField(lpszLine, 4);
        if (nKey == LBK_EXITATWINDOW) {
            fnCopyBounded(lpLb->szExitAtWin, sizeof(lpLb->szExitAtWin), sz);
            lpLb->bExitAtAll = bAll;
            lpLb->cchExitAtPrefix = cchPrefix;
            fnWriteLog("ExitAtWindow=%s, %d, %u", TRUE, sz, bAll, (unsigned)cchPrefix);
            return LBLINE_OK;
        }
        fnCopyBounded(lpLb->szWaitWin, sizeof(lpLb->szWaitWin), sz);
        lpLb->bWinAll = bAll;
        lpLb->cchWinPrefix = cchPrefix;
        if (nKey == LBK_WAITFORWINDOW)
            lpLb->bWaitForWin = TRUE;
        else
            lpLb->bWhileWin = TRUE;
        fnTakeWatchSeconds(lpLb, uSeconds);
        fnWriteLog(nKey == LBK_WAITFORWINDOW ? "WaitForWindow=%s, %d, %u, %u" : "WhileWindow=%s, %d, %u, %u", TRUE,
                   sz, bAll, (unsigned)cchPrefix, uSeconds);
        return LBLINE_OK;
    }
    case LBK_WAITFOREXEC: {
        if (!fnRequired(lpszLine, 1, sz, sizeof(sz), TRUE))
            return LBLINE_MISSING;
        fnCopyBounded(lpLb->szWaitExec, sizeof(lpLb->szWaitExec), sz);
        lpLb->bExecFullPath = fnFlagChar(lpszLine, 2) != 'N';
        lpLb->bExecEnd = fnFlagChar(lpszLine, 3) != 'N';
        UINT uSeconds = fnNumberField(lpszLine, 4);
        fnTakeWatchSeconds(lpLb, uSeconds);
        fnWriteLog("WaitForExec=%s, %d, %d, %u", TRUE, lpLb->szWaitExec, lpLb->bExecFullPath, lpLb->bExecEnd,
                   uSeconds);
        return LBLINE_OK;
    }
    case LBK_READREG: {
        char szType[CCH_FIELD_BUF] = "";
        fnInfParseField(lpszLine, 1, szType, sizeof(szType));
        *lpnField = 2;
        if (!fnRequired(lpszLine, 2, sz, sizeof(sz), TRUE))
            return LBLINE_MISSING;
        fnCopyBounded(lpLb->szRegLookup, sizeof(lpLb->szRegLookup), sz);
        lpLb->uRegType = (UINT)fnRegTypeFromName(szType);
        fnWriteLog("ReadReg=%lu, %s", TRUE, (unsigned long)lpLb->uRegType, sz);
        return LBLINE_OK;
    }
    case LBK_BEQUIET:
        lpLb->bQuiet = fnFlagChar(lpszLine, 1) == 'Y';
        fnWriteLog("BeQuiet=%d", TRUE, lpLb->bQuiet);
        return LBLINE_OK;
    case LBK_PAUSE:
        lpLb->uPause = fnNumberField(lpszLine, 1);
        fnWriteLog("Pause=%d", TRUE, (int)lpLb->uPause);
        return LBLINE_OK;
    case LBK_KEEPTRYING:
        lpLb->bKeepTrying = fnFlagChar(lpszLine, 1) == 'Y';
        return LBLINE_OK;
    default:
        return LBLINE_END;
    }
}

BOOL fnLaunchBackWatches(const LaunchBackStruct *lpLb)
{
    return lpLb->szWaitExec[0] || lpLb->szExitAtWin[0] || lpLb->bWaitForWin || lpLb->bWhileWin;
}
