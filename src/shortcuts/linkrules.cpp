/*
 * shortcuts/linkrules.cpp -- the fields of a shortcut line in both formats,
 * hot keys, window words and link file names. Every value that becomes part
 * of a link is expanded as data: a value that would be cut fails the line
 * rather than making a link to a shortened path.
 */
#include "shortcuts/linkrules.h"

#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/textmodel.h"

WORD fnParseHotKey(const char *lpszText)
{
    if (!lpszText)
        return 0;
    WORD wMods = 0;
    const char *p = lpszText;
    for (;; p++) {
        char c = fnUpperAscii(*p);
        if (c == 'S')
            wMods |= 1;
        else if (c == 'C')
            wMods |= 2;
        else if (c == 'A')
            wMods |= 4;
        else if (c == 'E')
            wMods |= 8;
        else
            break;
    }
    if (*p < '0' || *p > '9')
        return 0;
    UINT uCode = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        uCode = uCode * 10 + (UINT)(*p - '0');
        /* a code above one byte would spill into the modifier byte */
        if (uCode > 255)
            return 0;
    }
    if (*p || uCode == 0)
        return 0;
    return (WORD)((wMods << 8) | uCode);
}

int fnParseShowWord(const char *lpszText)
{
    if (lpszText && fnEqualNoCase(lpszText, "MIN"))
        return LINKSHOW_MIN;
    if (lpszText && fnEqualNoCase(lpszText, "MAX"))
        return LINKSHOW_MAX;
    return LINKSHOW_NORMAL;
}

BOOL fnMakeLinkPath(const char *lpszFolder, const char *lpszName, char *lpszOut, size_t cchOut)
{
    if (!lpszName || !lpszName[0] || strpbrk(lpszName, ":*?\"<>|/"))
        return FALSE;
    size_t cchFolder = strlen(lpszFolder);
    const char *lpszSep = (cchFolder && lpszFolder[cchFolder - 1] == '\\') ? "" : "\\";
    int n = fnFormatBounded(lpszOut, cchOut, "%s%s%s.lnk", lpszFolder, lpszSep, lpszName);
    return n >= 0 && (size_t)n == cchFolder + strlen(lpszSep) + strlen(lpszName) + 4 && (size_t)n < cchOut;
}

namespace {

/* Field nField of the line, expanded as data into a CCH_FIELD_BUF work buffer,
   then copied into lpszOut; FALSE when the value would be cut on either step. */
BOOL fnLinkField(char *lpszLine, int nField, char *lpszOut, size_t cchOut, BOOL bQuotes, BOOL *lpbHave)
{
    char szWork[CCH_FIELD_BUF];
    lpszOut[0] = '\0';
    BOOL bHave = fnInfParseField(lpszLine, nField, szWork, sizeof(szWork)) ? TRUE : FALSE;
    if (lpbHave)
        *lpbHave = bHave;
    if (!bHave)
        return TRUE;
    if (!fnExpandDataField(szWork, sizeof(szWork), "fnReadShortcutLine", NULL))
        return FALSE;
    if (bQuotes)
        fnStripQuotes(szWork);
    if (!fnCopyBounded(lpszOut, cchOut, szWork)) {
        fnDebugLog("fnReadShortcutLine", "Field %d is too long: %s", g_uDebugLevel, nField, szWork);
        return FALSE;
    }
    return TRUE;
}

/* A decimal number with an optional sign; other text gives 0. */
int fnSmallNumber(const char *lpsz)
{
    BOOL bNeg = (*lpsz == '-');
    if (bNeg || *lpsz == '+')
        lpsz++;
    long n = 0;
    for (; *lpsz >= '0' && *lpsz <= '9' && n < 100000; lpsz++)
        n = n * 10 + (*lpsz - '0');
    return (int)(bNeg ? -n : n);
}

/* The raw field as written, not expanded. */
void fnRawField(char *lpszLine, int nField, char *lpszOut, size_t cchOut)
{
    if (!fnInfParseField(lpszLine, nField, lpszOut, cchOut))
        lpszOut[0] = '\0';
}

BOOL fnHasExeExtension(const char *lpszPath)
{
    const char *lpszDot = strrchr(lpszPath, '.');
    const char *lpszSlash = strrchr(lpszPath, '\\');
    return lpszDot && (!lpszSlash || lpszDot > lpszSlash) && fnEqualNoCase(lpszDot + 1, "EXE");
}

/*
 * The group format's command line: the text after the end marker (the
 * option character and Z in either case) is the argument string. The marker
 * is found in the field as written, so a lower-case "z" ends the path too.
 */
BOOL fnGroupCommand(char *lpszLine, int nField, ShortcutLineStruct *lpLink)
{
    char szRaw[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, nField, szRaw, sizeof(szRaw)))
        return FALSE;
    char *lpszMark = NULL;
    for (char *p = szRaw; *p; p++) {
        if (*p == g_cOptChar && (p[1] == 'Z' || p[1] == 'z')) {
            lpszMark = p;
            break;
        }
    }
    char szArgs[CCH_FIELD_BUF] = "";
    if (lpszMark) {
        fnCopyBounded(szArgs, sizeof(szArgs), lpszMark + 2);
        *lpszMark = '\0';
        fnTrimBlanks(szArgs);
        if (!fnExpandDataField(szArgs, sizeof(szArgs), "fnReadShortcutLine", NULL))
            return FALSE;
    }
    fnTrimBlanks(szRaw);
    if (!fnExpandDataField(szRaw, sizeof(szRaw), "fnReadShortcutLine", NULL))
        return FALSE;
    fnStripQuotes(szRaw);
    /* a target that is not installed yet has no short form: keep the long one */
    char szShort[CCH_PATH];
    const char *lpszTarget = szRaw;
    if (szRaw[0] && g_lpMachine->pfnGetShortPath && g_lpMachine->pfnGetShortPath(szRaw, szShort, sizeof(szShort)) && szShort[0])
        lpszTarget = szShort;
    if (!fnCopyBounded(lpLink->szTarget, sizeof(lpLink->szTarget), lpszTarget) ||
        !fnCopyBounded(lpLink->szArgs, sizeof(lpLink->szArgs), szArgs))
        return FALSE;
    return TRUE;
}

}  // namespace

UINT fnReadShortcutLine(char *lpszLine, BOOL bGroup, ShortcutLineStruct *lpLink)
{
    memset(lpLink, 0, sizeof(*lpLink));
    lpLink->nShow = LINKSHOW_NORMAL;
    int b = 0;
    char szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    if (fnInfParseField(lpszLine, 0, szKey, sizeof(szKey))) {
        fnRawField(lpszLine, 1, szValue, sizeof(szValue));
        UINT uTest = fnInfTestField(szKey, szValue);
        if (uTest == IDTEST_SKIPREST)
            return LINKLINE_END;
        if (uTest == IDTEST_GOON || uTest == IDTEST_FALSE)
            return LINKLINE_SKIP;
        b = 1;
    }

    BOOL bHave = FALSE;
    if (!fnLinkField(lpszLine, b + 1, lpLink->szName, sizeof(lpLink->szName), TRUE, &bHave))
        return LINKLINE_BAD;
    if (!bHave || !lpLink->szName[0]) {
        fnDebugLog("fnReadShortcutLine", "No shortcut name: %s", g_uDebugLevel, lpszLine);
        return LINKLINE_BAD;
    }

    char szText[CCH_FIELD_BUF];
    if (!bGroup) {
        if (!fnLinkField(lpszLine, b + 2, lpLink->szTarget, sizeof(lpLink->szTarget), TRUE, NULL) ||
            !fnLinkField(lpszLine, b + 3, lpLink->szArgs, sizeof(lpLink->szArgs), FALSE, NULL) ||
            !fnLinkField(lpszLine, b + 4, lpLink->szIcon, sizeof(lpLink->szIcon), TRUE, NULL) ||
            !fnLinkField(lpszLine, b + 5, lpLink->szWorkDir, sizeof(lpLink->szWorkDir), TRUE, NULL))
            return LINKLINE_BAD;
        fnRawField(lpszLine, b + 6, szText, sizeof(szText));
        lpLink->nIconIndex = fnSmallNumber(szText);
        fnRawField(lpszLine, b + 7, szText, sizeof(szText));
        lpLink->nShow = fnParseShowWord(szText);
        fnRawField(lpszLine, b + 8, szText, sizeof(szText));
        lpLink->wHotKey = fnParseHotKey(szText);
        if (!lpLink->szIcon[0] && fnHasExeExtension(lpLink->szTarget)) {
            fnCopyBounded(lpLink->szIcon, sizeof(lpLink->szIcon), lpLink->szTarget);
            lpLink->nIconIndex = 0;
        }
    } else {
        if (!fnGroupCommand(lpszLine, b + 2, lpLink)) {
            fnDebugLog("fnReadShortcutLine", "Group line without a usable command line: %s", g_uDebugLevel,
                       lpszLine);
            return LINKLINE_BAD;
        }
        char szIcon[CCH_PATH];
        if (!fnLinkField(lpszLine, b + 3, szIcon, sizeof(szIcon), TRUE, NULL))
            return LINKLINE_BAD;
        char szShort[CCH_PATH];
        if (szIcon[0] && g_lpMachine->pfnGetShortPath && g_lpMachine->pfnGetShortPath(szIcon, szShort, sizeof(szShort)) && szShort[0])
            fnCopyBounded(szIcon, sizeof(szIcon), szShort);
        /* the command line's target is also the icon file unless the line names one */
        fnCopyBounded(lpLink->szIcon, sizeof(lpLink->szIcon), szIcon[0] ? szIcon : lpLink->szTarget);
        fnRawField(lpszLine, b + 4, szText, sizeof(szText));
        lpLink->nIconIndex = fnSmallNumber(szText);
        if (!fnLinkField(lpszLine, b + 7, lpLink->szWorkDir, sizeof(lpLink->szWorkDir), TRUE, NULL))
            return LINKLINE_BAD;
        fnRawField(lpszLine, b + 8, szText, sizeof(szText));
        lpLink->wHotKey = fnParseHotKey(szText);
        fnRawField(lpszLine, b + 9, szText, sizeof(szText));
        lpLink->nShow = fnParseShowWord(szText);
    }
    if (fnEqualNoCase(lpLink->szTarget, SHORTCUT_REMOVE)) {
        lpLink->bRemove = TRUE;
        return LINKLINE_MAKE;
    }
    return lpLink->szTarget[0] ? LINKLINE_MAKE : LINKLINE_NOTARGET;
}
