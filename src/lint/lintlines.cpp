/*
 * lint/lintlines.cpp -- the checks every instruction line gets, whatever its
 * section: quotes and parentheses as the field cutter pairs them, and each
 * field's options and inline functions as the expander reads them (the
 * expander itself runs over the field and tells what it could not read).
 * Also the small helpers the section checks share: reading the next line
 * with its place in the text, pointing into a field, the nearest key.
 */
#include <string.h>

#include "common/bounded.h"
#include "lint/lintint.h"
#include "script/expand.h"
#include "script/inlinefun.h"
#include "script/optstore.h"
#include "script/textmodel.h"

namespace {

BOOL fnIsBreak(char c)
{
    return c == '\r' || c == '\n';
}

BOOL fnIsBlank(char c)
{
    return c == ' ' || c == '\t';
}

/* The option at lpszAt as a short quote for a message ("@c", "@%PATH"). */
void fnOptionQuote(const char *lpszAt, char *lpszOut, size_t cchOut)
{
    size_t n = 1;
    while (n < 6 && lpszAt[n] && !fnIsBlank(lpszAt[n]) && lpszAt[n] != ',' && lpszAt[n] != '=' &&
           lpszAt[n] != g_cOptChar && lpszAt[n] != '"')
        n++;
    fnCopyBoundedN(lpszOut, cchOut, lpszAt, n);
}

/* The expander tells what it could not read while a field of the current line is expanded. */
LintStruct *s_lpNoteLint;

void fnLintExpandNote(const char *lpszText, size_t cchAt, int nKind)
{
    LintStruct *L = s_lpNoteLint;
    if (!L || !L->lpszFieldBuf)
        return;
    /* an argument cut at an inner function's ')' is the nesting warning's to tell */
    if (nKind == EXPANDNOTE_UNCLOSED && lpszText != L->lpszFieldBuf)
        return;
    char szQuote[16];
    fnOptionQuote(lpszText + cchAt, szQuote, sizeof(szQuote));
    size_t cchField = cchAt;
    if (lpszText != L->lpszFieldBuf) {
        /* an inline function's argument: point at the same option text in the field */
        const char *lpszFound = strstr(L->lpszFieldText, szQuote);
        cchField = lpszFound ? (size_t)(lpszFound - L->lpszFieldText) : 0;
    }
    const char *lpszAt = fnLintFieldAt(L->lpszFieldRaw, L->lpszFieldLine, L->nField, cchField);
    if (nKind == EXPANDNOTE_UNCLOSED)
        fnLintReport(L, lpszAt, "function-unclosed",
                     "inline function without its ')' (or with it beyond 259 characters): it is not evaluated and "
                     "its text stays in the field");
    else
        fnLintReport(L, lpszAt, "option",
                     "the expander cannot read '%s': it stays in the field as written (write %c%c for a %c of "
                     "its own)",
                     szQuote, g_cOptChar, g_cOptChar, g_cOptChar);
}

/* Arguments of the inline function text lpszArgs (after its '(', up to its ')'): separators outside quotes. */
UINT fnCountArgs(const char *lpszArgs, size_t cch)
{
    size_t i = 0;
    while (i < cch && fnIsBlank(lpszArgs[i]))
        i++;
    if (i == cch)
        return 0;
    UINT cArgs = 1;
    BOOL bQuote = FALSE;
    for (; i < cch; i++) {
        if (lpszArgs[i] == '"')
            bQuote = !bQuote;
        else if (!bQuote && (lpszArgs[i] == ',' || lpszArgs[i] == ';'))
            cArgs++;
    }
    return cArgs;
}

/* The inline functions of one field: known names, argument counts, nesting. */
void fnCheckFunctions(LintStruct *L, const char *lpszField)
{
    const char cOpt = g_cOptChar;
    for (const char *p = lpszField; *p; p++) {
        if (*p != cOpt)
            continue;
        if (p[1] == cOpt) {
            p++;
            continue;
        }
        if (p[1] != '_' || fnUpperAscii(p[2]) != 'F' || fnUpperAscii(p[3]) != 'N')
            continue;
        const char *lpszFun = p + 2;
        const char *lpszClose = strchr(lpszFun, ')');
        const char *lpszAt = fnLintFieldAt(L->lpszFieldRaw, L->lpszFieldLine, L->nField, (size_t)(p - lpszField));
        /* an unclosed function is the expander's to tell */
        if (!lpszClose)
            break;
        size_t cchName = 0;
        UINT cMin = 0, cMax = 0;
        if (!fnFindInlineFun(lpszFun, &cchName, &cMin, &cMax)) {
            const char *lpszParen = strchr(lpszFun, '(');
            size_t cchWord = lpszParen && lpszParen < lpszClose ? (size_t)(lpszParen - lpszFun) : (size_t)(lpszClose - lpszFun);
            char szWord[CCH_PATH], szName[CCH_PATH];
            fnCopyBoundedN(szWord, sizeof(szWord), lpszFun, cchWord);
            const char *lpszBest = NULL;
            UINT uBest = 4;
            for (UINT n = 0; fnInlineFunName(n); n++) {
                fnCopyBounded(szName, sizeof(szName), fnInlineFunName(n));
                szName[strlen(szName) - 1] = '\0';
                UINT u = fnLintDistance(szName, szWord);
                if (u < uBest) {
                    uBest = u;
                    lpszBest = fnInlineFunName(n);
                }
            }
            if (lpszBest) {
                fnCopyBounded(szName, sizeof(szName), lpszBest);
                szName[strlen(szName) - 1] = '\0';
                fnLintReport(L, lpszAt, "function-unknown",
                             "no inline function is named '%s' (the call gives nothing); did you mean %s?", szWord,
                             szName);
            } else {
                fnLintReport(L, lpszAt, "function-unknown",
                             "no inline function is named '%s' (the call gives nothing)", szWord);
            }
            p = lpszClose;
            continue;
        }
        const char *lpszArgs = lpszFun + cchName;
        size_t cchArgs = (size_t)(lpszClose - lpszArgs);
        char szNested[4] = {cOpt, '_', 'f', '\0'};
        for (size_t i = 0; i + 3 <= cchArgs; i++) {
            if (lpszArgs[i] == cOpt && lpszArgs[i + 1] == '_' && fnUpperAscii(lpszArgs[i + 2]) == 'F' &&
                (i + 3 == cchArgs || fnUpperAscii(lpszArgs[i + 3]) == 'N')) {
                fnLintReport(L, lpszAt, "function-nested",
                             "inline functions do not nest: the first ')' ends %.*s, so the inner %s... call is cut "
                             "(store the inner result first and read it with %c_0)",
                             (int)(cchName - 1), lpszFun, szNested, cOpt);
                break;
            }
        }
        UINT cArgs = fnCountArgs(lpszArgs, cchArgs);
        if (cArgs < cMin || cArgs > cMax) {
            if (cMin == 0)
                fnLintReport(L, lpszAt, "function-args", "%.*s takes at most %u argument%s, %u given",
                             (int)(cchName - 1), lpszFun, cMax, cMax == 1 ? "" : "s", cArgs);
            else if (cMin == cMax)
                fnLintReport(L, lpszAt, "function-args", "%.*s takes %u argument%s, %u given", (int)(cchName - 1),
                             lpszFun, cMax, cMax == 1 ? "" : "s", cArgs);
            else
                fnLintReport(L, lpszAt, "function-args", "%.*s takes %u to %u arguments, %u given",
                             (int)(cchName - 1), lpszFun, cMin, cMax, cArgs);
        }
        p = lpszClose;
    }
}

} // namespace

const char *fnLintNextLine(const char *lpszPos, char *lpszLine, size_t cchLine, const char **lplpszRaw)
{
    const char *lpszNext = fnInfGetNextLine(lpszPos, lpszLine, cchLine);
    *lplpszRaw = NULL;
    if (!lpszNext || !lpszLine[0])
        return lpszNext;
    /* the line ends just before the returned place, less its break and trailing blanks */
    const char *lpszEnd = lpszNext;
    while (lpszEnd > lpszPos && fnIsBreak(lpszEnd[-1]))
        lpszEnd--;
    while (lpszEnd > lpszPos && fnIsBlank(lpszEnd[-1]))
        lpszEnd--;
    size_t cch = strlen(lpszLine);
    *lplpszRaw = (size_t)(lpszEnd - lpszPos) >= cch ? lpszEnd - cch : lpszPos;
    return lpszNext;
}

const char *fnLintFieldAt(const char *lpszRaw, const char *lpszLine, int nField, size_t cchAt)
{
    int n = fnInfFieldColumn(lpszLine, nField, cchAt);
    return lpszRaw + (n > 0 ? n : 0);
}

UINT fnLintDistance(const char *lpszA, const char *lpszB)
{
    /* edits, with two neighbours swapped counting as one edit ("Raed" is one from "Read") */
    size_t cchA = strlen(lpszA), cchB = strlen(lpszB);
    if (cchA > 63 || cchB > 63)
        return 64;
    UINT d[64][64];
    for (size_t i = 0; i <= cchA; i++)
        d[i][0] = (UINT)i;
    for (size_t j = 0; j <= cchB; j++)
        d[0][j] = (UINT)j;
    for (size_t i = 1; i <= cchA; i++) {
        for (size_t j = 1; j <= cchB; j++) {
            char a = fnUpperAscii(lpszA[i - 1]), b = fnUpperAscii(lpszB[j - 1]);
            UINT u = d[i - 1][j - 1] + (a == b ? 0 : 1);
            if (d[i - 1][j] + 1 < u)
                u = d[i - 1][j] + 1;
            if (d[i][j - 1] + 1 < u)
                u = d[i][j - 1] + 1;
            if (i > 1 && j > 1 && a == fnUpperAscii(lpszB[j - 2]) && fnUpperAscii(lpszA[i - 2]) == b &&
                d[i - 2][j - 2] + 1 < u)
                u = d[i - 2][j - 2] + 1;
            d[i][j] = u;
        }
    }
    return d[cchA][cchB];
}

const char *fnLintNearestKey(const SectionKeyStruct *lpKeys, const char *lpszWord)
{
    const char *lpszBest = NULL;
    size_t cchWord = strlen(lpszWord);
    /* a near key is at most a third of the word away, and never more than three edits */
    UINT uBest = (UINT)(cchWord / 3 + 1);
    if (uBest > 3)
        uBest = 3;
    for (; lpKeys && lpKeys->lpszKey; lpKeys++) {
        UINT u = fnLintDistance(lpKeys->lpszKey, lpszWord);
        if (u < uBest || (u == 0 && !lpszBest)) {
            uBest = u;
            lpszBest = lpKeys->lpszKey;
        }
    }
    return lpszBest;
}

void fnLintLineCommon(LintStruct *L, const char *lpszLine, const char *lpszRaw)
{
    /* quotes and parentheses pair as the field cutter pairs them: '(' first, quotes outside it */
    BOOL bQuote = FALSE, bParen = FALSE;
    size_t cchQuote = 0, cchParen = 0;
    for (size_t i = 0; lpszLine[i]; i++) {
        char c = lpszLine[i];
        if (c == '(') {
            bParen = !bParen;
            cchParen = i;
        } else if (c == ')') {
            bParen = FALSE;
        } else if (!bParen && c == '"') {
            bQuote = !bQuote;
            cchQuote = i;
        }
    }
    if (bQuote)
        fnLintReport(L, lpszRaw + cchQuote, "unclosed-quote",
                     "this double quote is never closed: separators after it are text and the field runs to the "
                     "end of the line");
    if (bParen)
        fnLintReport(L, lpszRaw + cchParen, "unclosed-paren",
                     "this '(' is never closed: separators after it are text and the field runs to the end of the "
                     "line");

    /* each field as a handler cuts it, expanded as a handler expands it */
    char szLine[CCH_LINE_BUF], szField[CCH_FIELD_BUF], szExpand[CCH_FIELD_BUF];
    s_lpNoteLint = L;
    ExpandNoteProc pfnSaved = g_pfnExpandNote;
    g_pfnExpandNote = fnLintExpandNote;
    for (int nField = 0; nField < 64; nField++) {
        fnCopyBounded(szLine, sizeof(szLine), lpszLine);
        if (!fnInfParseField(szLine, nField, szField, sizeof(szField))) {
            if (nField == 0)
                continue;
            break;
        }
        if (!strchr(szField, g_cOptChar))
            continue;
        L->lpszFieldRaw = lpszRaw;
        L->lpszFieldLine = lpszLine;
        L->lpszFieldText = szField;
        L->lpszFieldBuf = szExpand;
        L->nField = nField;
        fnCheckFunctions(L, szField);
        fnCopyBounded(szExpand, sizeof(szExpand), szField);
        fnExpandOpts(szExpand, sizeof(szExpand));
    }
    L->lpszFieldBuf = NULL;
    g_pfnExpandNote = pfnSaved;
    s_lpNoteLint = NULL;
}
