/*
 * script/conditions.cpp -- deciding whether a script line runs. Both sides of
 * a test are expanded after the operator character is taken from the raw
 * text, then compared as text without regard to case; there is no numeric
 * comparison.
 */
#include "script/conditions.h"

#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "script/expand.h"
#include "script/textmodel.h"

#define PREFIX_SKIPIFTRUE "SkipIfTrue:"
#define PREFIX_PROCESSIFTRUE "ProcessIfTrue:"

BOOL fnFileOrDirExists(const char *lpszFileSpec)
{
    char szSpec[CCH_FIELD_BUF];
    fnCopyBounded(szSpec, sizeof(szSpec), lpszFileSpec ? lpszFileSpec : "");
    fnStripQuotes(szSpec);
    BOOL bFound = szSpec[0] && g_lpMachine->pfnFileOrDirExists(szSpec);
    if (bFound)
        fnDebugLog("fnFileOrDirExists", "Found lpszFileSpec=%s", g_uDebugLevel, szSpec);
    else
        fnDebugLog("fnFileOrDirExists", "Not Found lpszFileSpec=%s, error=%lu", g_uDebugLevel, szSpec, 0ul);
    return bFound;
}

UINT fnInfTestField(char *lpszLeft, char *lpszRight)
{
    char cTest = '=';
    if (strchr("=~<>?", lpszRight[0]) && lpszRight[0]) {
        cTest = lpszRight[0];
        memmove(lpszRight, lpszRight + 1, strlen(lpszRight));
    }
    BOOL bCutLeft = FALSE, bCutRight = FALSE;
    fnExpandOptsCut(lpszLeft, CCH_FIELD_BUF, &bCutLeft);
    fnExpandOptsCut(lpszRight, CCH_FIELD_BUF, &bCutRight);
    fnDebugLog("fnInfTestField Expanded", "lpszLeft=%s, lpszRight=%s, cTest=%c", g_uDebugLevel, lpszLeft, lpszRight,
               cTest);
    /* a side cut at the expansion limit is not the text the script meant: comparing
       or testing it could give either answer, so the line is passed over as unreadable */
    if (bCutLeft || bCutRight) {
        fnDebugLog("fnInfTestField", "Expanded text cut, the test cannot be made: lpszLeft=%s, lpszRight=%s",
                   g_uDebugLevel, lpszLeft, lpszRight);
        return IDTEST_FALSE;
    }
    BOOL bNot = (cTest == '~');
    UINT uTest;
    if (fnPrefixNoCase(lpszLeft, PREFIX_SKIPIFTRUE, sizeof(PREFIX_SKIPIFTRUE) - 1)) {
        BOOL bEqual = fnEqualNoCase(lpszLeft + sizeof(PREFIX_SKIPIFTRUE) - 1, lpszRight);
        uTest = (bEqual != bNot) ? IDTEST_SKIPREST : IDTEST_GOON;
        fnDebugLog("fnInfTestField SkipIfTrue:", "uTest=%u", g_uDebugLevel, uTest);
    } else if (fnPrefixNoCase(lpszLeft, PREFIX_PROCESSIFTRUE, sizeof(PREFIX_PROCESSIFTRUE) - 1)) {
        BOOL bEqual = fnEqualNoCase(lpszLeft + sizeof(PREFIX_PROCESSIFTRUE) - 1, lpszRight);
        uTest = (bEqual != bNot) ? IDTEST_GOON : IDTEST_SKIPREST;
        fnDebugLog("fnInfTestField ProcessIfTrue:", "uTest=%u", g_uDebugLevel, uTest);
    } else if (fnEqualNoCase(lpszLeft, "SkipIfFileExists")) {
        uTest = fnFileOrDirExists(lpszRight) ? IDTEST_SKIPREST : IDTEST_GOON;
        fnDebugLog("fnInfTestField SkipIfFileExists:", "uTest=%u", g_uDebugLevel, uTest);
    } else if (fnEqualNoCase(lpszLeft, "ProcessIfFileExists")) {
        uTest = fnFileOrDirExists(lpszRight) ? IDTEST_GOON : IDTEST_SKIPREST;
        fnDebugLog("fnInfTestField ProcessIfFileExists:", "uTest=%u", g_uDebugLevel, uTest);
    } else if (fnEqualNoCase(lpszLeft, "ProcessIfFileNotFound")) {
        uTest = fnFileOrDirExists(lpszRight) ? IDTEST_SKIPREST : IDTEST_GOON;
        fnDebugLog("fnInfTestField ProcessIfFileNotFound:", "uTest=%u", g_uDebugLevel, uTest);
    } else {
        BOOL bEqual = fnEqualNoCase(lpszLeft, lpszRight);
        uTest = (bEqual != bNot) ? IDTEST_TRUE : IDTEST_FALSE;
        fnDebugLog(bEqual ? "fnInfTestField Match" : "fnInfTestField No Match", "uTest=%u", g_uDebugLevel, uTest);
    }
    fnDebugLog("fnInfTestField Return", "lpszLeft=%s, lpszRight=%s, cTest=%c, uTest=%u", g_uDebugLevel, lpszLeft,
               lpszRight, cTest, uTest);
    return uTest;
}

/* Next '=' or ',' outside double quotes from lpsz (or the end of the text). */
static char *fnNextSeparator(char *lpsz, BOOL bEqualsOnly)
{
    BOOL bQuote = FALSE;
    for (; *lpsz; lpsz++) {
        if (*lpsz == '"')
            bQuote = !bQuote;
        else if (!bQuote && (*lpsz == '=' || (!bEqualsOnly && *lpsz == ',')))
            return lpsz;
    }
    return lpsz;
}

static const char *const s_specialWords[] = {PREFIX_SKIPIFTRUE, PREFIX_PROCESSIFTRUE, "SkipIfFileExists",
                                             "ProcessIfFileExists", "ProcessIfFileNotFound"};

int fnNextRunLine(const char **lplpszPos, char *lpszLine)
{
    while (*lplpszPos && **lplpszPos) {
        *lplpszPos = fnInfGetNextLine(*lplpszPos, lpszLine, CCH_LINE_BUF);
        if (!*lplpszPos || !lpszLine[0])
            return NEXTLINE_END;
        UINT uTest = fnInfTestIfTwoFields(lpszLine);
        if (uTest == IDTEST_SKIPREST)
            return NEXTLINE_ENDED;
        if (uTest != IDTEST_GOON && uTest != IDTEST_FALSE)
            return NEXTLINE_RUN;
    }
    return NEXTLINE_END;
}

UINT fnInfTestIfTwoFields(char *lpszLine)
{
    if (!lpszLine)
        return IDTEST_FALSE;
    char szWork[CCH_LINE_BUF];
    fnCopyBounded(szWork, sizeof(szWork), lpszLine);
    /* a line that holds a password reaches the debug log as a stand-in only */
    const char *lpszShow = g_bSecretLine ? "(hidden)" : szWork;
    fnDebugLog("fnInfTestIfTwoFields begin", "szLine=%s", g_uDebugLevel, lpszShow);

    char szLeft[CCH_FIELD_BUF], szRight[CCH_FIELD_BUF];
    for (const char *lpszWord : s_specialWords) {
        if (!fnPrefixNoCase(szWork, lpszWord, strlen(lpszWord)))
            continue;
        fnDebugLog("fnInfTestIfTwoFields Special case", "szLine=%s", g_uDebugLevel, lpszShow);
        if (fnInfParseField(szWork, 0, szLeft, sizeof(szLeft))) {
            if (!fnInfParseField(szWork, 1, szRight, sizeof(szRight)))
                return IDTEST_FALSE;
            return fnInfTestField(szLeft, szRight);
        }
        break;
    }

    UINT uTest = IDTEST_NONE;
    char *lpszEq = fnNextSeparator(szWork, TRUE);
    if (!*lpszEq)
        return IDTEST_NONE;
    /* a doubled '=' belongs to the test ("A==B,K=V"), not to the instruction */
    char *lpszScan = lpszEq + 1;
    if (*lpszScan == '=' || *lpszScan == '?')
        lpszScan++;
    char *lpszSep = fnNextSeparator(lpszScan, FALSE);
    if (*lpszSep == ',')
        lpszSep++;
    char *lpszBegin = lpszSep;
    char *lpszNext = fnNextSeparator(lpszBegin, FALSE);
    if (*lpszNext != '=')
        return IDTEST_NONE;

    fnDebugLog("fnInfTestIfTwoFields found 2 fields", "szLine=%s", g_uDebugLevel, lpszShow);
    size_t nBegin = (size_t)(lpszBegin - szWork);
    char szInstruction[CCH_LINE_BUF];
    fnCopyBounded(szInstruction, sizeof(szInstruction), lpszBegin);
    if (fnInfParseField(szWork, 0, szLeft, sizeof(szLeft))) {
        if (!fnInfParseField(szWork, 1, szRight, sizeof(szRight)))
            return IDTEST_FALSE;
        uTest = fnInfTestField(szLeft, szRight);
    }
    fnCopyBounded(lpszLine, CCH_LINE_BUF, szInstruction);
    fnDebugLog("fnInfTestIfTwoFields exit", "uTest=%u, szLine=%s,\nlpszTmp=%s\nlpszBegin=%s\nszTest=%s",
               g_uDebugLevel, uTest, g_bSecretLine ? lpszShow : lpszLine, lpszShow,
               g_bSecretLine ? lpszShow : szWork + nBegin, szRight);
    return uTest;
}
