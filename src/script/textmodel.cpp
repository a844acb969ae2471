/*
 * script/textmodel.cpp -- sections, instruction lines and fields of the
 * script text. Lines end at CR, LF or the end of the text; a run of CR and LF
 * is one break. Separators ',' and '=' count only outside double quotes and
 * parentheses.
 */
#include "script/textmodel.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"

static BOOL fnIsBlank(char c) { return c == ' ' || c == '\t'; }
static BOOL fnIsBreak(char c) { return c == '\r' || c == '\n'; }

/* Position of the next line after the one at lpsz (past its break run). */
static const char *fnSkipLine(const char *lpsz)
{
    while (*lpsz && !fnIsBreak(*lpsz))
        lpsz++;
    while (fnIsBreak(*lpsz))
        lpsz++;
    return lpsz;
}

int fnGetNextSection(const char *lpszPos, const char **lplpszHeader, const char **lplpszNext)
{
    *lplpszHeader = NULL;
    *lplpszNext = NULL;
    if (!lpszPos)
        return 0;
    const char *lpsz = lpszPos;
    while (*lpsz) {
        const char *lpszFirst = lpsz;
        while (fnIsBlank(*lpszFirst))
            lpszFirst++;
        if (*lpszFirst == '[') {
            if (!*lplpszHeader) {
                *lplpszHeader = lpszFirst;
            } else {
                *lplpszNext = lpszFirst;
                break;
            }
        }
        lpsz = fnSkipLine(lpsz);
    }
    return *lplpszHeader ? 1 : 0;
}

BOOL fnIsInfSection(const char *lpszSection, const char *lpszList, char *lpszMatched, size_t cchMatched)
{
    if (lpszMatched && cchMatched)
        lpszMatched[0] = '\0';
    if (!lpszSection || !lpszList || lpszSection[0] != '[')
        return FALSE;

    const char *lpszClose = lpszSection;
    while (*lpszClose && *lpszClose != ']')
        lpszClose++;
    if (*lpszClose != ']')
        return FALSE;
    size_t cchName = (size_t)(lpszClose - lpszSection) + 1;
    if (cchName > CCH_PATH - 1)
        return FALSE;

    const char *lpszEntry = lpszList;
    while (*lpszEntry) {
        const char *lpszEnd = strchr(lpszEntry, ',');
        size_t cchEntry = lpszEnd ? (size_t)(lpszEnd - lpszEntry) : strlen(lpszEntry);
        if (cchEntry == cchName && fnPrefixNoCase(lpszSection, lpszEntry, cchName)) {
            if (lpszMatched)
                fnCopyBoundedN(lpszMatched, cchMatched, lpszEntry, cchEntry);
            fnDebugLog("fnIsInfSection", "Found %s", g_uDebugLevel, lpszMatched ? lpszMatched : "");
            return TRUE;
        }
        if (!lpszEnd)
            break;
        lpszEntry = lpszEnd + 1;
    }
    return FALSE;
}

/*
 * Copies the line at lpsz (at most cchMax characters of it) into lpszOut,
 * trimmed; returns the position behind the copied characters.
 */
static const char *fnCopyLine(const char *lpsz, char *lpszOut, size_t cchOut, size_t cchMax)
{
    size_t n = 0;
    while (lpsz[n] && !fnIsBreak(lpsz[n]) && n < cchMax)
        n++;
    fnCopyBoundedN(lpszOut, cchOut, lpsz, n);
    fnTrimBlanks(lpszOut);
    return lpsz + n;
}

static const char *fnFindTrimmedLine(const char *lpszText, const char *lpszName, BOOL bStopAtEnd)
{
    if (!lpszText || !lpszName)
        return NULL;
    char szLine[CCH_LINE + 2];
    const char *lpsz = lpszText;
    while (*lpsz) {
        const char *lpszRest = fnCopyLine(lpsz, szLine, sizeof(szLine), CCH_LINE + 1);
        /* the rest of an over-long line is not compared */
        while (*lpszRest && !fnIsBreak(*lpszRest))
            lpszRest++;
        BOOL bHasBreak = fnIsBreak(*lpszRest);
        while (fnIsBreak(*lpszRest))
            lpszRest++;
        if (fnEqualNoCase(szLine, lpszName))
            return bHasBreak ? lpszRest : NULL;
        if (bStopAtEnd && fnEqualNoCase(szLine, "[End]"))
            return NULL;
        lpsz = lpszRest;
    }
    return NULL;
}

const char *fnInfFindSection(const char *lpszText, const char *lpszName)
{
    return fnFindTrimmedLine(lpszText, lpszName, TRUE);
}

const char *fnInfFindLine(const char *lpszText, const char *lpszLine)
{
    return fnFindTrimmedLine(lpszText, lpszLine, FALSE);
}

const char *fnInfGetNextLine(const char *lpszPos, char *lpszLine, size_t cchLine)
{
    if (lpszLine && cchLine)
        lpszLine[0] = '\0';
    if (!lpszPos || !lpszLine || cchLine == 0)
        return NULL;
    char szLine[CCH_LINE_BUF];
    const char *lpsz = lpszPos;
    while (*lpsz) {
        const char *lpszEnd = fnCopyLine(lpsz, szLine, sizeof(szLine), CCH_LINE);
        while (fnIsBreak(*lpszEnd))
            lpszEnd++;
        if (szLine[0] == '[')
            return NULL;
        if (szLine[0] && szLine[0] != ';') {
            fnCopyBounded(lpszLine, cchLine, szLine);
            return lpszEnd;
        }
        lpsz = lpszEnd;
    }
    return lpsz;
}

int fnInfCountLines(const char *lpszText, const char *lpszName, int nMax)
{
    const char *lpszPos = (lpszName && *lpszName) ? fnInfFindSection(lpszText, lpszName) : lpszText;
    int nCount = 0;
    char szLine[CCH_LINE_BUF];
    while (lpszPos && *lpszPos && nCount < nMax) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        nCount++;
    }
    return nCount;
}

/* Mode flags of the field scanner. */
struct FieldScanStruct {
    BOOL bQuote;
    BOOL bParen;
};

/* Updates the modes for character c; TRUE when c is a separator outside both. */
static BOOL fnScanChar(FieldScanStruct *lpScan, char c)
{
    if (c == '(') {
        lpScan->bParen = !lpScan->bParen;
        return FALSE;
    }
    if (c == ')') {
        lpScan->bParen = FALSE;
        return FALSE;
    }
    if (lpScan->bParen)
        return FALSE;
    if (c == '"') {
        lpScan->bQuote = !lpScan->bQuote;
        return FALSE;
    }
    return (!lpScan->bQuote && (c == ',' || c == '=')) ? TRUE : FALSE;
}

/* Copies one field from lpsz with fresh modes, as a value is handed out. */
static void fnCopyField(const char *lpsz, char *lpszField, size_t cchField)
{
    while (*lpsz == ' ' || *lpsz == '\t' || fnIsBreak(*lpsz))
        lpsz++;
    FieldScanStruct scan = {FALSE, FALSE};
    size_t n = 0;
    for (; *lpsz; lpsz++) {
        char c = *lpsz;
        BOOL bWasQuote = scan.bQuote;
        BOOL bWasParen = scan.bParen;
        if (fnScanChar(&scan, c))
            break;
        /* an opening quote is dropped, a closing one kept; inside parentheses all is text */
        if (c == '"' && !bWasParen && !bWasQuote)
            continue;
        if (n + 1 < cchField)
            lpszField[n++] = c;
    }
    lpszField[n] = '\0';
    while (n > 0 && (lpszField[n - 1] == ' ' || lpszField[n - 1] == '\t' || fnIsBreak(lpszField[n - 1])))
        lpszField[--n] = '\0';
    while (n > 0 && lpszField[n - 1] == '"')
        lpszField[--n] = '\0';
}

BOOL g_bSecretLine;

/* The words that mark a password in a line (UnJoinDomain is found by JoinDomain). */
static const char *const s_alpszSecretWords[] = {"CreateLocalUser", "ChangeLocalUser", "JoinDomain",
                                                  "RenameComputerInDomain", "MapDrive", "RunAs", "ExecAs", NULL};

BOOL fnTextHoldsSecret(const char *lpszText)
{
    for (const char *p = lpszText; p && *p; p++)
        for (int i = 0; s_alpszSecretWords[i]; i++)
            if (fnPrefixNoCase(p, s_alpszSecretWords[i], strlen(s_alpszSecretWords[i])))
                return TRUE;
    return FALSE;
}

int fnInfParseField(char *lpszLine, int nField, char *lpszField, size_t cchField)
{
    if (!lpszField || cchField == 0)
        return 0;
    lpszField[0] = '\0';
    if (!lpszLine)
        return 0;
    /* what the debug entries show of the line: nothing of one that holds a password */
    const char *lpszShow = g_bSecretLine ? "(hidden)" : lpszLine;
    fnDebugLog("fnInfParseField begin", "lpszLine=%s,\nlpszString=%s,\nnField=%d", g_uDebugLevel, lpszShow,
               lpszField, nField);

    FieldScanStruct scan = {FALSE, FALSE};
    char *lpszSep = lpszLine;
    while (*lpszSep && !fnScanChar(&scan, *lpszSep))
        lpszSep++;
    BOOL bKey = (*lpszSep == '=');

    const char *lpszStart = lpszLine;
    if (nField == 0 && !bKey) {
        fnDebugLog("fnInfParseField error locating field", "lpszLine=%s,\nlpszString=%s,\nnField=%d",
                   g_uDebugLevel, lpszShow, lpszField, nField);
        return 0;
    }
    if (nField >= 1) {
        if (bKey) {
            if (lpszSep[1] == '=') {
                lpszSep[1] = '?';
                fnDebugLog("fnInfParseField replace '=' with '?", "lpszLine=%s", g_uDebugLevel, lpszShow);
            }
            lpszStart = lpszSep + 1;
        }
        FieldScanStruct skip = {FALSE, FALSE};
        for (int nSkip = 1; nSkip < nField; nSkip++) {
            while (*lpszStart && !fnScanChar(&skip, *lpszStart))
                lpszStart++;
            if (!*lpszStart) {
                fnDebugLog("fnInfParseField error locating field", "lpszLine=%s,\nlpszString=%s,\nnField=%d",
                           g_uDebugLevel, lpszShow, lpszField, nField);
                return 0;
            }
            lpszStart++;
        }
    }
    fnCopyField(lpszStart, lpszField, cchField);
    fnDebugLog("fnInfParseField end", "lpszLine=%s,\nlpszString=%s,\nnField=%d", g_uDebugLevel, lpszShow,
               g_bSecretLine ? "(hidden)" : lpszField, nField);
    return 1;
}

int fnInfFieldColumn(const char *lpszLine, int nField, size_t cchAt)
{
    if (!lpszLine || nField < 0)
        return -1;
    /* the field's start, found as fnInfParseField finds it (the line is not changed) */
    FieldScanStruct scan = {FALSE, FALSE};
    const char *lpszSep = lpszLine;
    while (*lpszSep && !fnScanChar(&scan, *lpszSep))
        lpszSep++;
    BOOL bKey = (*lpszSep == '=');
    const char *lpsz = lpszLine;
    if (nField == 0 && !bKey)
        return -1;
    if (nField >= 1) {
        if (bKey)
            lpsz = lpszSep + 1;
        FieldScanStruct skip = {FALSE, FALSE};
        for (int nSkip = 1; nSkip < nField; nSkip++) {
            while (*lpsz && !fnScanChar(&skip, *lpsz))
                lpsz++;
            if (!*lpsz)
                return -1;
            lpsz++;
        }
    }
    /* then the characters of the field as fnCopyField hands them out */
    while (*lpsz == ' ' || *lpsz == '\t' || fnIsBreak(*lpsz))
        lpsz++;
    FieldScanStruct copy = {FALSE, FALSE};
    size_t n = 0;
    for (; *lpsz; lpsz++) {
        char c = *lpsz;
        BOOL bWasQuote = copy.bQuote;
        BOOL bWasParen = copy.bParen;
        if (fnScanChar(&copy, c))
            break;
        if (c == '"' && !bWasParen && !bWasQuote)
            continue;
        if (n++ == cchAt)
            break;
    }
    return (int)(lpsz - lpszLine);
}

int fnInfLoadSection(const char *lpszText, int nNum, const char *lpszName, char *lpszField, size_t cchField)
{
    if (lpszField && cchField)
        lpszField[0] = '\0';
    const char *lpszPos = fnInfFindSection(lpszText, lpszName);
    char szLine[CCH_LINE_BUF];
    szLine[0] = '\0';
    int nRead = 0;
    while (lpszPos && *lpszPos && nRead < nNum) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        nRead++;
    }
    int nResult = 0;
    if (nRead == nNum && nNum > 0)
        nResult = fnInfParseField(szLine, 1, lpszField, cchField);
    fnDebugLog("fnInfLoadSection", "nNum=%d,\nlpszFromSection=%s,\nlpszTmp=%s", g_uDebugLevel, nNum,
               lpszName ? lpszName : "", lpszField ? lpszField : "");
    return nResult;
}

void fnTrimBlanks(char *lpszText)
{
    if (!lpszText)
        return;
    size_t nLead = 0;
    while (fnIsBlank(lpszText[nLead]))
        nLead++;
    if (nLead)
        memmove(lpszText, lpszText + nLead, strlen(lpszText + nLead) + 1);
    /* only the part before a line feed loses its trailing blanks */
    char *lpszLf = strchr(lpszText, '\n');
    size_t nEnd = lpszLf ? (size_t)(lpszLf - lpszText) : strlen(lpszText);
    size_t n = nEnd;
    while (n > 0 && fnIsBlank(lpszText[n - 1]))
        n--;
    if (n != nEnd)
        memmove(lpszText + n, lpszText + nEnd, strlen(lpszText + nEnd) + 1);
}

void fnStripQuotes(char *lpszText)
{
    if (!lpszText)
        return;
    BOOL bDouble = FALSE, bSingle = FALSE;
    size_t nLead = 0;
    while (lpszText[nLead] == '"' || lpszText[nLead] == '\'') {
        if (lpszText[nLead] == '"')
            bDouble = TRUE;
        else
            bSingle = TRUE;
        nLead++;
    }
    if (!nLead)
        return;
    memmove(lpszText, lpszText + nLead, strlen(lpszText + nLead) + 1);
    size_t n = strlen(lpszText);
    while (n > 0 && ((bDouble && lpszText[n - 1] == '"') || (bSingle && lpszText[n - 1] == '\'')))
        lpszText[--n] = '\0';
}
