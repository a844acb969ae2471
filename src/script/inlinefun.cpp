/*
 * script/inlinefun.cpp -- the evaluator of inline functions, its argument
 * splitter and picker, the text search the list functions share, and the
 * functions themselves. File facts (existence, versions) come through the
 * machine lookups so the evaluator stays portable. Results are built in
 * CCH_EXPANDED characters and cut at 259.
 */
#include "script/inlinefun.h"

#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/pathtext.h"

namespace {

/* 64-bit reading as the runtime's text-to-integer conversion does it: blanks, a sign, digits. */
LONGLONG fnTextToI64(const char *lpsz)
{
    while (*lpsz == ' ' || *lpsz == '\t' || *lpsz == '\n' || *lpsz == '\r' || *lpsz == '\v' || *lpsz == '\f')
        lpsz++;
    BOOL bNeg = FALSE;
    if (*lpsz == '+' || *lpsz == '-')
        bNeg = *lpsz++ == '-';
    ULONGLONG u = 0;
    for (; *lpsz >= '0' && *lpsz <= '9'; lpsz++)
        u = u * 10u + (ULONGLONG)(*lpsz - '0'); /* wraps as 64-bit arithmetic does, never undefined */
    return (LONGLONG)(bNeg ? (0u - u) : u);
}

} // namespace

/* The script's digit rule: every decimal digit of the text in order ("a1b2" is 12). */
UINT fnDigitsOf(const char *lpsz)
{
    UINT u = 0;
    for (; *lpsz; lpsz++) {
        if (*lpsz >= '0' && *lpsz <= '9')
            u = (u > 100000000u) ? u : u * 10u + (UINT)(*lpsz - '0');
    }
    return u;
}

void fnU64ToText(ULONGLONG u, char *lpszOut, size_t cchOut)
{
    char sz[24];
    int i = (int)sizeof(sz) - 1;
    sz[i] = '\0';
    do {
        sz[--i] = (char)('0' + (int)(u % 10u));
        u /= 10u;
    } while (u && i > 0);
    fnCopyBounded(lpszOut, cchOut, sz + i);
}

namespace {

void fnI64ToText(LONGLONG n, char *lpszOut, size_t cchOut)
{
    if (n >= 0) {
        fnU64ToText((ULONGLONG)n, lpszOut, cchOut);
        return;
    }
    char sz[24];
    sz[0] = '-';
    fnU64ToText(0u - (ULONGLONG)n, sz + 1, sizeof(sz) - 1);
    fnCopyBounded(lpszOut, cchOut, sz);
}

BOOL fnEqualCase(const char *a, const char *b)
{
    return strcmp(a, b) == 0;
}

/* Start of the last n characters of a text (all of it when shorter). */
const char *fnLastChars(const char *lpsz, size_t n)
{
    size_t cch = strlen(lpsz);
    return cch > n ? lpsz + cch - n : lpsz;
}

/* "TRUE" when a fnCmpFileVer result satisfies the condition. */
BOOL fnCondHolds(int nCmp, const char *lpszCond)
{
    if (fnEqualNoCase(lpszCond, "GE"))
        return nCmp == 0 || nCmp == 11;
    if (fnEqualNoCase(lpszCond, "LE"))
        return nCmp == 0 || nCmp == 7;
    if (fnEqualNoCase(lpszCond, "LT"))
        return nCmp == 7;
    if (fnEqualNoCase(lpszCond, "GT"))
        return nCmp == 11;
    if (fnEqualNoCase(lpszCond, "EQ"))
        return nCmp == 0;
    if (fnEqualNoCase(lpszCond, "NE"))
        return nCmp != 0;
    return FALSE;
}

enum FunIdEnum {
    FUN_SUM, FUN_DIF, FUN_GETARG, FUN_GETFILEVER, FUN_STRBEGIN, FUN_STREND, FUN_STRINSTR, FUN_STRSTR,
    FUN_STRCMP, FUN_STRICMP, FUN_CHARREMOVE, FUN_CHARREPLACE, FUN_CMPFILEVER, FUN_STRREPLACE, FUN_STRLEN,
    FUN_FILEEXIST, FUN_STRADD, FUN_STRADDLIST, FUN_STRINSERT, FUN_STRINSERTLIST, FUN_STRENDTOUNIBIN
};

struct FunStruct {
    const char *lpszName;   /* with its '(' */
    FunIdEnum id;
    UINT cArgs;             /* arguments the function reads */
    UINT cMinArgs;          /* arguments a call is expected to give (the script checker warns on fewer) */
    UINT fStartOnly;        /* ARG(n): only the start of argument n counts, so its expansion may be cut */
};

#define ARG(n) (1u << ((n) - 1))

/*
 * An argument whose expansion was cut at 259 characters would be compared,
 * measured, searched or taken as a path or number in part: the function then
 * fails (the option stays, the field's result is -1) instead of answering
 * for a text the script did not mean. fnStrBegin's text, the characters of
 * fnCharRemove and fnCharReplace and the kind of fnGetFileVer read only the
 * start of their argument, whose cut changes nothing.
 */
const FunStruct s_aFuns[] = {
    {"fnSum(", FUN_SUM, 9, 1, 0},
    {"fnDif(", FUN_DIF, 9, 1, 0},
    {"fnGetArg(", FUN_GETARG, 2, 2, 0},
    {"fnGetFileVer(", FUN_GETFILEVER, 2, 2, ARG(2)},
    {"fnStrBegin(", FUN_STRBEGIN, 2, 2, ARG(1)},
    {"fnStrEnd(", FUN_STREND, 2, 2, 0},
    {"fnStrInStr(", FUN_STRINSTR, 2, 2, 0},
    {"fnStrStr(", FUN_STRSTR, 2, 2, 0},
    {"fnStrCmp(", FUN_STRCMP, 2, 2, 0},
    {"fnStrICmp(", FUN_STRICMP, 2, 2, 0},
    {"fnCharRemove(", FUN_CHARREMOVE, 2, 2, ARG(2)},
    {"fnCharReplace(", FUN_CHARREPLACE, 3, 2, ARG(1) | ARG(2) | ARG(3)},
    {"fnCmpFileVer(", FUN_CMPFILEVER, 3, 3, 0},
    {"fnStrReplace(", FUN_STRREPLACE, 3, 2, 0},
    {"fnStrLen(", FUN_STRLEN, 1, 0, 0},
    {"fnFileExist(", FUN_FILEEXIST, 1, 1, 0},
    {"fnStrAdd(", FUN_STRADD, 2, 2, 0},
    {"fnStrAddList(", FUN_STRADDLIST, 2, 2, 0},
    {"fnStrInsert(", FUN_STRINSERT, 2, 2, 0},
    {"fnStrInsertList(", FUN_STRINSERTLIST, 2, 2, 0},
    {"fnStrEndToUniBin(", FUN_STRENDTOUNIBIN, 2, 1, 0},
};

const char *const s_aszFieldFormats[FUN_ARGS] = {
    "lpszFun=%s,\nlpszField1=%s", "lpszFun=%s,\nlpszField2=%s", "lpszFun=%s,\nlpszField3=%s",
    "lpszFun=%s,\nlpszField4=%s", "lpszFun=%s,\nlpszField5=%s", "lpszFun=%s,\nlpszField6=%s",
    "lpszFun=%s,\nlpszField7=%s", "lpszFun=%s,\nlpszField8=%s", "lpszFun=%s,\nlpszField9=%s",
};

/* The list functions: found gives the rest of the list from the match; else the joined list. */
void fnListFun(FunIdEnum id, const char *lpszList, const char *lpszItem, char *lpszOut, size_t cchOut)
{
    const char *lpszFound = fnFunSearch(lpszList, lpszItem);
    if (lpszFound) {
        fnCopyBounded(lpszOut, cchOut, lpszFound);
        return;
    }
    const char *lpszComma = (id == FUN_STRADDLIST || id == FUN_STRINSERTLIST) && lpszList[0] ? "," : "";
    if (id == FUN_STRADD || id == FUN_STRADDLIST)
        fnFormatBounded(lpszOut, cchOut, "%s%s%s", lpszList, lpszComma, lpszItem);
    else
        fnFormatBounded(lpszOut, cchOut, "%s%s%s", lpszItem, lpszComma, lpszList);
}

/* fnStrEndToUniBin: FALSE for an empty selection. Only whole entries are written at the limit. */
BOOL fnEndToUniBin(const char *lpszText, UINT uField, char *lpszOut, size_t cchOut)
{
    const char *lpszTmp = uField ? fnLastChars(lpszText, uField) : lpszText;
    if (!*lpszTmp)
        return FALSE;
    UINT uInc = 0;
    lpszOut[0] = '\0';
    for (const char *q = lpszTmp; *q; q++, uInc++) {
        char szEntry[8];
        fnFormatBounded(szEntry, sizeof(szEntry), "%s%.2x 00", uInc ? " " : "", (unsigned)(unsigned char)*q);
        if (strlen(lpszOut) + strlen(szEntry) >= cchOut)
            break;
        fnAppendBounded(lpszOut, cchOut, szEntry);
        fnDebugLog("fnParseFun fnStrEndToUniBin", "lpszTmp=%s, szResult=%s, uInc=%u, uField=%u", g_uDebugLevel,
                   fnLogText(lpszTmp), fnLogText(lpszOut), uInc, uField);
    }
    return TRUE;
}

} // namespace

const char *fnFunSearch(const char *lpszText, const char *lpszPart)
{
    if (!lpszText || !lpszPart || !lpszPart[0])
        return NULL;
    const char *p = lpszText;
    while (*p) {
        if (fnUpperAscii(*p) != fnUpperAscii(lpszPart[0])) {
            p++;
            continue;
        }
        size_t k = 1;
        while (lpszPart[k] && p[k] && fnUpperAscii(p[k]) == fnUpperAscii(lpszPart[k]))
            k++;
        if (!lpszPart[k])
            return p;
        /* look on from the mismatching character, not from the one after the start */
        p += k;
    }
    return NULL;
}

BOOL fnFindInlineFun(const char *lpszText, size_t *lpcchName, UINT *lpcMinArgs, UINT *lpcMaxArgs)
{
    for (const FunStruct &f : s_aFuns) {
        size_t cch = strlen(f.lpszName);
        if (lpszText && fnPrefixNoCase(lpszText, f.lpszName, cch)) {
            *lpcchName = cch;
            *lpcMinArgs = f.cMinArgs;
            *lpcMaxArgs = f.cArgs;
            return TRUE;
        }
    }
    return FALSE;
}

const char *fnInlineFunName(UINT n)
{
    return n < sizeof(s_aFuns) / sizeof(s_aFuns[0]) ? s_aFuns[n].lpszName : NULL;
}

int fnGetFunFields(const char *lpszFun, size_t cchName, char *alpszField[FUN_ARGS])
{
    for (int i = 0; i < FUN_ARGS; i++) {
        if (alpszField[i])
            alpszField[i][0] = '\0';
    }
    if (!lpszFun)
        return 0;
    size_t cchFun = strlen(lpszFun);
    const char *lpszArgs = lpszFun + (cchName < cchFun ? cchName : cchFun);
    char szArgs[CCH_EXPANDED];
    size_t cch = 0;
    BOOL bNested = FALSE;
    for (; lpszArgs[cch]; cch++) {
        if (lpszArgs[cch] == '(')
            bNested = !bNested;
        else if (lpszArgs[cch] == ')' && !bNested)
            break;
    }
    fnCopyBoundedN(szArgs, sizeof(szArgs), lpszArgs, cch);
    for (UINT i = 0; i < FUN_ARGS; i++) {
        if (!alpszField[i])
            continue;
        fnGetSubField(szArgs, ";,", i + 1, alpszField[i], CCH_PATH);
        fnDebugLog("fnGetFunFields", s_aszFieldFormats[i], g_uDebugLevel, lpszFun, alpszField[i]);
    }
    return 1;
}

int fnPickArg(const char *lpszText, UINT n, char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return 0;
    lpszOut[0] = '\0';
    if (!lpszText)
        return 0;
    char szText[CCH_EXPANDED];
    fnCopyBounded(szText, sizeof(szText), lpszText);
    BOOL bCut = FALSE;
    fnExpandOptsCut(szText, sizeof(szText), &bCut);
    /* a sub-field of a cut text may be cut or missing: no answer rather than a wrong one */
    if (bCut)
        return 0;
    return fnGetSubField(szText, n ? ";, " : "=", n, lpszOut, cchOut);
}

int fnParseFun(const char *lpszFun, char *lpszResult, size_t cchResult)
{
    if (!lpszFun || !lpszResult || !cchResult)
        return 0;
    const FunStruct *lpFun = NULL;
    for (const FunStruct &f : s_aFuns) {
        if (fnPrefixNoCase(lpszFun, f.lpszName, strlen(f.lpszName))) {
            lpFun = &f;
            break;
        }
    }
    if (!lpFun) {
        /* an unknown name is no failure: it gives nothing */
        lpszResult[0] = '\0';
        fnDebugLog("fnParseFun", "szFun=%s", g_uDebugLevel, lpszFun);
        return 1;
    }
    char szTitle[48];
    fnFormatBounded(szTitle, sizeof(szTitle), "fnParseFun %.*s", (int)(strlen(lpFun->lpszName) - 1), lpFun->lpszName);
    fnDebugLog(szTitle, "szFun=%s", g_uDebugLevel, lpszFun);

    char aszField[FUN_ARGS][CCH_PATH];
    char *alpszField[FUN_ARGS];
    for (UINT i = 0; i < FUN_ARGS; i++)
        alpszField[i] = aszField[i];
    if (!fnGetFunFields(lpszFun, strlen(lpFun->lpszName), alpszField))
        return 0;
    /* fnGetArg's text is expanded by the picker itself */
    for (UINT i = (lpFun->id == FUN_GETARG) ? 1 : 0; i < lpFun->cArgs; i++) {
        BOOL bCut = FALSE;
        fnExpandOptsCut(aszField[i], sizeof(aszField[i]), &bCut);
        if (bCut && !(lpFun->fStartOnly & (1u << i))) {
            fnDebugLog(szTitle, "Argument %u cut at its limit, the function fails: szFun=%s", g_uDebugLevel, i + 1,
                       fnLogText(lpszFun));
            return 0;
        }
    }

    char szResult[CCH_EXPANDED];
    szResult[0] = '\0';
    const char *a1 = aszField[0], *a2 = aszField[1], *a3 = aszField[2];
    switch (lpFun->id) {
    case FUN_SUM: {
        ULONGLONG u = 0;
        for (UINT i = 0; i < FUN_ARGS; i++)
            u += (ULONGLONG)fnTextToI64(aszField[i]);
        fnU64ToText(u, szResult, sizeof(szResult));
        break;
    }
    case FUN_DIF: {
        ULONGLONG u = (ULONGLONG)fnTextToI64(a1);
        for (UINT i = 1; i < FUN_ARGS; i++)
            u -= (ULONGLONG)fnTextToI64(aszField[i]);
        fnI64ToText((LONGLONG)u, szResult, sizeof(szResult));
        break;
    }
    case FUN_GETARG:
        if (!fnPickArg(a1, fnDigitsOf(a2), szResult, sizeof(szResult))) {
            fnDebugLog(szTitle, "Text cut at its limit, the function fails: szFun=%s", g_uDebugLevel,
                       fnLogText(lpszFun));
            return 0;
        }
        break;
    case FUN_GETFILEVER: {
        char szFileVer[128], szProductVer[128];
        char c = fnUpperAscii(a2[0]);
        if ((c == 'P' || c == 'F') && g_lpMachine->pfnGetFileVersion &&
            g_lpMachine->pfnGetFileVersion(a1, szFileVer, szProductVer, NULL))
            fnCopyBounded(szResult, sizeof(szResult), c == 'P' ? szProductVer : szFileVer);
        break;
    }
    case FUN_STRBEGIN:
        fnCopyBoundedN(szResult, sizeof(szResult), a1, fnDigitsOf(a2));
        break;
    case FUN_STREND: {
        UINT n = fnDigitsOf(a2);
        if (n)
            fnCopyBounded(szResult, sizeof(szResult), fnLastChars(a1, n));
        break;
    }
    case FUN_STRINSTR:
        if (fnFunSearch(a1, a2))
            fnCopyBounded(szResult, sizeof(szResult), "TRUE");
        break;
    case FUN_STRSTR: {
        const char *lpszFound = fnFunSearch(a1, a2);
        if (lpszFound)
            fnCopyBounded(szResult, sizeof(szResult), lpszFound);
        break;
    }
    case FUN_STRCMP:
        fnDebugLog(szTitle, "szFun=%s, szField1=%s, szField2=%s", g_uDebugLevel, lpszFun, fnLogText(a1),
                   fnLogText(a2));
        fnCopyBounded(szResult, sizeof(szResult), fnEqualCase(a1, a2) ? "TRUE" : "FALSE");
        break;
    case FUN_STRICMP:
        fnCopyBounded(szResult, sizeof(szResult), fnEqualNoCase(a1, a2) ? "TRUE" : "FALSE");
        break;
    case FUN_CHARREMOVE: {
        size_t n = 0;
        for (const char *q = a1; *q && n + 1 < sizeof(szResult); q++) {
            if (!a2[0] || *q != a2[0])
                szResult[n++] = *q;
        }
        szResult[n] = '\0';
        break;
    }
    case FUN_CHARREPLACE:
        fnCopyBounded(szResult, sizeof(szResult), a1);
        if (a2[0]) {
            for (char *q = szResult; *q; q++) {
                if (*q == a2[0]) {
                    if (!a3[0]) {
                        *q = '\0'; /* an empty replacement cuts the text there */
                        break;
                    }
                    *q = a3[0];
                }
            }
        }
        break;
    case FUN_CMPFILEVER: {
        int nCmp = g_lpMachine->pfnCmpFileVersion ? g_lpMachine->pfnCmpFileVersion(a1, a2) : 2;
        fnCopyBounded(szResult, sizeof(szResult), fnCondHolds(nCmp, a3) ? "TRUE" : "FALSE");
        break;
    }
    case FUN_STRREPLACE: {
        const char *lpszFound = fnFunSearch(a1, a2);
        if (!lpszFound) {
            fnCopyBounded(szResult, sizeof(szResult), a1);
            break;
        }
        fnCopyBoundedN(szResult, sizeof(szResult), a1, (size_t)(lpszFound - a1));
        fnAppendBounded(szResult, sizeof(szResult), a3);
        fnAppendBounded(szResult, sizeof(szResult), lpszFound + strlen(a2));
        break;
    }
    case FUN_STRLEN:
        fnFormatBounded(szResult, sizeof(szResult), "%u", (UINT)strlen(a1));
        break;
    case FUN_FILEEXIST: {
        char szPath[CCH_PATH];
        fnCopyBounded(szPath, sizeof(szPath), a1);
        size_t cch = strlen(szPath);
        if (cch && szPath[cch - 1] == '\\')
            szPath[cch - 1] = '\0';
        /* the same test as the file conditions: quotes removed, wildcards allowed */
        BOOL bExists = szPath[0] && g_lpMachine->pfnFileOrDirExists && fnFileOrDirExists(szPath);
        fnCopyBounded(szResult, sizeof(szResult), bExists ? "TRUE" : "FALSE");
        break;
    }
    case FUN_STRADD:
    case FUN_STRADDLIST:
    case FUN_STRINSERT:
    case FUN_STRINSERTLIST:
        fnListFun(lpFun->id, a1, a2, szResult, sizeof(szResult));
        break;
    case FUN_STRENDTOUNIBIN:
        if (!fnEndToUniBin(a1, fnDigitsOf(a2), szResult, sizeof(szResult)))
            return 0;
        fnDebugLog(szTitle, "szFun=%s, szResult=%s", g_uDebugLevel, lpszFun, fnLogText(szResult));
        break;
    }
    fnDebugLog("fnParseFun Return",
               "szFun=%s,\nszField1=%s,\nszField2=%s,\nszField3=%s,\nszField4=%s,\nszField5=%s,\nszField6=%s,\n"
               "szField7=%s,\nszField8=%s,\nszField9=%s,\nszResult=%s,\nlpszResult=%s",
               g_uDebugLevel, lpszFun, fnLogText(aszField[0]), fnLogText(aszField[1]), fnLogText(aszField[2]),
               fnLogText(aszField[3]), fnLogText(aszField[4]), fnLogText(aszField[5]), fnLogText(aszField[6]),
               fnLogText(aszField[7]), fnLogText(aszField[8]), fnLogText(szResult), fnLogText(lpszResult));
    fnCopyBounded(lpszResult, cchResult, szResult);
    return 1;
}
