/*
 * lint/lint.cpp -- the checker's walk over one script: the loader's size
 * limit and scrambled form, the physical lines (length, last line break,
 * NUL bytes), the section headers in the order the driver walks them, which
 * sections run, which are read by name and which are passed over, and the
 * sections that lines name. The lines themselves are checked in
 * lint/lintlines.cpp and lint/lintsections.cpp.
 */
#include "lint/lint.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "driver/appended.h"
#include "driver/scramble.h"
#include "lint/lintint.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/textmodel.h"

const LintCodeStruct g_aLintCodes[] = {
    {"header-text", LINT_ERROR, "text after a header's ']': the section's body is never found"},
    {"header-unclosed", LINT_ERROR, "a header line without its ']'"},
    {"missing-section", LINT_ERROR, "a line names a section the script lacks (or holds only after [End])"},
    {"line-too-long", LINT_ERROR, "a line over 1,024 characters: it is read in pieces"},
    {"script-too-large", LINT_ERROR, "more than the loader reads: the rest is never read"},
    {"unknown-key", LINT_ERROR, "a key the section's reader does not know: reading ends there (or the line is lost)"},
    {"missing-keyword", LINT_ERROR, "a line without the keyword its section needs"},
    {"missing-field", LINT_ERROR, "a field the reader needs is missing or empty"},
    {"flag-too-long", LINT_ERROR, "a flag field longer than its reader takes: the line fails"},
    {"function-unclosed", LINT_ERROR, "an inline function without its ')': it is not evaluated"},
    {"unknown-section", LINT_WARNING, "a section no handler takes and no line names: it is passed over"},
    {"duplicate-section", LINT_WARNING, "a section read by name stands twice: only the first is read"},
    {"section-order", LINT_WARNING, "a section stands where the walk cannot use it"},
    {"no-final-newline", LINT_WARNING, "the last line has no line break"},
    {"nul-byte", LINT_WARNING, "a NUL byte: the script ends there"},
    {"before-first-section", LINT_WARNING, "text before the first section: it is never read"},
    {"unclosed-quote", LINT_WARNING, "a double quote that is never closed"},
    {"unclosed-paren", LINT_WARNING, "a '(' that is never closed: the rest of the line is one field"},
    {"option", LINT_WARNING, "option text the expander cannot read: it stays as written"},
    {"function-args", LINT_WARNING, "an inline function given too few or too many arguments"},
    {"function-unknown", LINT_WARNING, "an inline function name that matches none: it gives nothing"},
    {"function-nested", LINT_WARNING, "an inline function inside another: the first ')' ends the outer one"},
    {"flag-letter", LINT_WARNING, "a flag letter outside the field's set"},
    {"unused-key", LINT_WARNING, "a key the section's reader passes over: the line does nothing"},
    {"after-end", LINT_NOTE, "a section after [End]: it never runs"},
    {"scrambled", LINT_NOTE, "the script is scrambled: lines count in its plain text"},
    {NULL, 0, NULL}};

const LintCodeStruct *fnFindLintCode(const char *lpszCode)
{
    for (const LintCodeStruct *lpCode = g_aLintCodes; lpCode->lpszCode; lpCode++) {
        if (lpszCode && strcmp(lpCode->lpszCode, lpszCode) == 0)
            return lpCode;
    }
    return NULL;
}

namespace {

BOOL fnIsBreak(char c)
{
    return c == '\r' || c == '\n';
}

BOOL fnIsBlank(char c)
{
    return c == ' ' || c == '\t';
}

/* Index of the physical line holding offset cch. */
UINT fnLineOf(const LintStruct *L, size_t cch)
{
    UINT uLow = 0, uHigh = L->cLines;
    while (uHigh - uLow > 1) {
        UINT uMid = (uLow + uHigh) / 2;
        if (L->acLineStart[uMid] <= cch)
            uLow = uMid;
        else
            uHigh = uMid;
    }
    return uLow;
}

/* Physical lines: CR LF, a lone CR and a lone LF each end one. FALSE when memory runs out. */
BOOL fnIndexLines(LintStruct *L)
{
    UINT cMax = 1;
    for (size_t i = 0; i < L->cchText; i++) {
        if (L->lpszText[i] == '\n' || (L->lpszText[i] == '\r' && L->lpszText[i + 1] != '\n'))
            cMax++;
    }
    L->acLineStart = (size_t *)malloc(cMax * sizeof(size_t));
    if (!L->acLineStart)
        return FALSE;
    L->cLines = 0;
    L->acLineStart[L->cLines++] = 0;
    for (size_t i = 0; i < L->cchText; i++) {
        char c = L->lpszText[i];
        if (c == '\r' && L->lpszText[i + 1] == '\n')
            continue;
        if (fnIsBreak(c))
            L->acLineStart[L->cLines++] = i + 1;
    }
    return TRUE;
}

/* Long lines and the last line break. */
void fnCheckPhysicalLines(LintStruct *L, BOOL bLastBreak)
{
    for (UINT i = 0; i < L->cLines; i++) {
        const char *lpszLine = L->lpszText + L->acLineStart[i];
        size_t cch = 0;
        while (lpszLine[cch] && !fnIsBreak(lpszLine[cch]))
            cch++;
        if (cch > CCH_LINE)
            fnLintReport(L, lpszLine + CCH_LINE, "line-too-long",
                         "line is %u characters long: the program reads it as %u lines of at most %u, "
                         "the rest from here as a line of its own",
                         (UINT)cch, (UINT)((cch + CCH_LINE - 1) / CCH_LINE), (UINT)CCH_LINE);
    }
    if (bLastBreak && L->cchText && !fnIsBreak(L->lpszText[L->cchText - 1])) {
        const char *lpszLast = L->lpszText + L->acLineStart[L->cLines - 1];
        const char *p = lpszLast;
        while (fnIsBlank(*p))
            p++;
        if (*p == '[')
            fnLintReport(L, L->lpszText + L->cchText, "no-final-newline",
                         "the script ends without a line break after this header: no handler finds the section");
        else if (*p)
            fnLintReport(L, L->lpszText + L->cchText, "no-final-newline",
                         "the last line has no line break (end every line, the last one too)");
    }
}

/* Name of the header at lpszHeader, up to and including its ']' on the same line; FALSE when it has none. */
BOOL fnHeaderName(const char *lpszHeader, char *lpszName, size_t cchName, const char **lplpszRest)
{
    const char *p = lpszHeader;
    while (*p && *p != ']' && !fnIsBreak(*p))
        p++;
    lpszName[0] = '\0';
    *lplpszRest = p;
    if (*p != ']' || (size_t)(p - lpszHeader) + 1 >= cchName)
        return FALSE;
    fnCopyBoundedN(lpszName, cchName, lpszHeader, (size_t)(p - lpszHeader) + 1);
    *lplpszRest = p + 1;
    return TRUE;
}

BOOL fnIsFraming(const char *lpszName, int *lpnReadAs)
{
    static const int s_anFraming[] = {LINTREAD_CONFIG, LINTREAD_INSTALLOPTIONS, LINTREAD_SIGNON};
    for (int i = 0; g_alpszFramingSections[i]; i++) {
        if (fnEqualNoCase(lpszName, g_alpszFramingSections[i])) {
            *lpnReadAs = s_anFraming[i];
            return TRUE;
        }
    }
    return FALSE;
}

/* The headers of the script, in order, with the driver's [End] stop marked. FALSE when memory runs out. */
BOOL fnFindHeaders(LintStruct *L)
{
    UINT cMax = 0;
    const char *lpszPos = L->lpszText;
    const char *lpszHeader, *lpszNext;
    while (fnGetNextSection(lpszPos, &lpszHeader, &lpszNext)) {
        cMax++;
        if (!lpszNext)
            break;
        lpszPos = lpszNext;
    }
    L->aHeaders = (LintHeaderStruct *)calloc(cMax ? cMax : 1, sizeof(LintHeaderStruct));
    if (!L->aHeaders)
        return FALSE;
    BOOL bAfterEnd = FALSE;
    lpszPos = L->lpszText;
    while (L->cHeaders < cMax && fnGetNextSection(lpszPos, &lpszHeader, &lpszNext)) {
        LintHeaderStruct *h = &L->aHeaders[L->cHeaders++];
        h->lpszHeader = lpszHeader;
        h->lpszNext = lpszNext;
        h->nKind = -1;
        h->nReadAs = LINTREAD_NONE;
        /* the walk stops at a header that begins with "[End]"; what follows never runs */
        if (!bAfterEnd && fnPrefixNoCase(lpszHeader, SECTION_END, 5)) {
            bAfterEnd = TRUE;
            fnHeaderName(lpszHeader, h->szName, sizeof(h->szName), &h->lpszHeaderText);
            h->lpszHeaderText = NULL;
            h->nReadAs = LINTREAD_PLAIN;
        } else {
            h->bAfterEnd = bAfterEnd;
            const char *lpszRest;
            if (fnHeaderName(lpszHeader, h->szName, sizeof(h->szName), &lpszRest)) {
                while (fnIsBlank(*lpszRest))
                    lpszRest++;
                h->lpszHeaderText = (*lpszRest && !fnIsBreak(*lpszRest)) ? lpszRest : NULL;
                h->nKind = fnSectionKind(lpszHeader, h->szMatched, sizeof(h->szMatched));
            } else if (!bAfterEnd) {
                fnLintReport(L, lpszRest, "header-unclosed",
                             "this header has no ']': no handler takes the section and its body is never read");
                h->nReadAs = LINTREAD_PLAIN;
            }
        }
        if (!lpszNext)
            break;
        lpszPos = lpszNext;
    }
    return TRUE;
}

/* Index of the first header from uFrom on, before [End], with this name; -1 when none. */
int fnFindHeader(const LintStruct *L, const char *lpszName, UINT uFrom = 0)
{
    for (UINT i = uFrom; i < L->cHeaders; i++) {
        const LintHeaderStruct *h = &L->aHeaders[i];
        if (!h->bAfterEnd && h->szName[0] && fnEqualNoCase(h->szName, lpszName))
            return (int)i;
    }
    return -1;
}

/*
 * Reads the lines of header i as nReadAs, with its text ended just before the
 * next header as the section loop ends it. lpszName is the name the reader
 * looks its body up by.
 */
void fnReadSection(LintStruct *L, UINT i, int nReadAs, const char *lpszName)
{
    LintHeaderStruct *h = &L->aHeaders[i];
    h->nReadAs = nReadAs;
    if (h->lpszHeaderText) {
        fnLintReport(L, h->lpszHeaderText, "header-text",
                     "text after ']' of %s: the reader looks for a line holding only the name, so this section's "
                     "body is never read (put a comment on a line of its own)",
                     h->szName);
        return;
    }
    char *lpszCut = NULL;
    char cSaved = 0;
    if (h->lpszNext && h->lpszNext > L->lpszText) {
        char *lpszBefore = L->lpszText + (h->lpszNext - L->lpszText) - 1;
        if (fnIsBreak(*lpszBefore)) {
            lpszCut = lpszBefore;
            cSaved = *lpszBefore;
            *lpszBefore = '\0';
        }
    }
    const char *lpszBody = fnInfFindSection(h->lpszHeader, lpszName);
    if (lpszBody) {
        L->uHeader = i;
        fnLintSectionLines(L, lpszBody, nReadAs);
    }
    if (lpszCut)
        *lpszCut = cSaved;
}

/* Text before the first header is never read; one warning for its first instruction line. */
void fnCheckBeforeFirst(LintStruct *L)
{
    const char *lpszEnd = L->cHeaders ? L->aHeaders[0].lpszHeader : L->lpszText + L->cchText;
    const char *p = L->lpszText;
    while (p < lpszEnd) {
        while (p < lpszEnd && (fnIsBlank(*p) || fnIsBreak(*p)))
            p++;
        if (p >= lpszEnd)
            break;
        if (*p != ';') {
            fnLintReport(L, p, "before-first-section",
                         "text before the first section header is never read (make it a ';' comment)");
            return;
        }
        while (p < lpszEnd && !fnIsBreak(*p))
            p++;
    }
}

/* Lines that name sections: read each named section once, and report names with no section. */
void fnResolveNames(LintStruct *L)
{
    for (UINT r = 0; r < L->cRefs; r++) {
        LintRefStruct *lpRef = &L->aRefs[r];
        /* questions are looked up in the text after their list, shortcut sections run when the walk
           reaches them after the folder list has registered them */
        BOOL bAfter = (lpRef->fRef & LINTREF_AFTER) != 0;
        int i = fnFindHeader(L, lpRef->szName, bAfter ? lpRef->uHeader + 1 : 0);
        if (i < 0 && (lpRef->fRef & LINTREF_OPTIONAL))
            continue;
        if (i < 0) {
            int nBefore = bAfter ? fnFindHeader(L, lpRef->szName) : -1;
            if (nBefore >= 0 && lpRef->nReadAs == LINTREAD_SHORTCUT) {
                fnLintReport(L, L->aHeaders[nBefore].lpszHeader, "section-order",
                             "shortcut section %s stands before the folder list that registers it, so the walk "
                             "passes it over",
                             lpRef->szName);
                continue;
            }
            BOOL bLater = FALSE;
            for (UINT k = 0; k < L->cHeaders; k++) {
                if (L->aHeaders[k].bAfterEnd && fnEqualNoCase(L->aHeaders[k].szName, lpRef->szName))
                    bLater = TRUE;
            }
            if (nBefore >= 0)
                fnLintReport(L, lpRef->lpszAt, "missing-section",
                             lpRef->nReadAs == LINTREAD_QUESTION
                                 ? "%s stands before this list, but its questions are looked up in the text after it"
                                 : "%s stands before this section, but it is looked up in the text after it",
                             lpRef->szName);
            else
                fnLintReport(L, lpRef->lpszAt, "missing-section",
                             bLater ? "%s stands only after [End], where no search for a section reaches"
                                    : "the script has no section %s",
                             lpRef->szName);
            continue;
        }
        LintHeaderStruct *h = &L->aHeaders[i];
        /* a section that runs by itself is read by its own handler; a second name adds nothing */
        if (h->nReadAs != LINTREAD_NONE)
            continue;
        /* may name further sections: the loop goes on over what it adds */
        fnReadSection(L, (UINT)i, lpRef->nReadAs, lpRef->szName);
    }
}

/* Sections that nothing reads, and second copies of sections read by name. */
void fnCheckUnread(LintStruct *L)
{
    for (UINT i = 0; i < L->cHeaders; i++) {
        LintHeaderStruct *h = &L->aHeaders[i];
        if (h->bAfterEnd) {
            fnLintReport(L, h->lpszHeader, "after-end", "%s stands after [End]: it never runs",
                         h->szName[0] ? h->szName : "this section");
            continue;
        }
        if (h->nKind >= 0 || !h->szName[0])
            continue;
        int nFirst = fnFindHeader(L, h->szName);
        if (nFirst >= 0 && (UINT)nFirst < i && L->aHeaders[nFirst].nReadAs != LINTREAD_NONE) {
            fnLintReport(L, h->lpszHeader, "duplicate-section",
                         "%s stands twice; it is found by name, so only the first one (line %u) is read", h->szName,
                         fnLineOf(L, (size_t)(L->aHeaders[nFirst].lpszHeader - L->lpszText)) + 1);
            continue;
        }
        if (h->nReadAs != LINTREAD_NONE)
            continue;
        /* the nearest name any list holds, as a hint for a misspelt header */
        const char *lpszBest = NULL;
        UINT uBest = 3;
        char szEntry[CCH_PATH];
        for (const SectionListStruct *lpList = g_aSectionLists; lpList->lpszList; lpList++) {
            const char *lpsz = lpList->lpszList;
            while (*lpsz) {
                const char *lpszComma = strchr(lpsz, ',');
                size_t cch = lpszComma ? (size_t)(lpszComma - lpsz) : strlen(lpsz);
                fnCopyBoundedN(szEntry, sizeof(szEntry), lpsz, cch);
                UINT u = fnLintDistance(szEntry, h->szName);
                if (u < uBest) {
                    uBest = u;
                    lpszBest = lpsz;
                }
                lpsz += cch + (lpszComma ? 1 : 0);
            }
        }
        if (lpszBest) {
            const char *lpszComma = strchr(lpszBest, ',');
            fnCopyBoundedN(szEntry, sizeof(szEntry), lpszBest, lpszComma ? (size_t)(lpszComma - lpszBest) : strlen(lpszBest));
            fnLintReport(L, h->lpszHeader, "unknown-section",
                         "no handler takes %s and no line names it, so it is passed over; did you mean %s?",
                         h->szName, szEntry);
        } else {
            fnLintReport(L, h->lpszHeader, "unknown-section",
                         "no handler takes %s and no line names it, so it is passed over", h->szName);
        }
    }
}

/* Machine lookups for the check: every fact is there and none is read from this machine. */
BOOL fnLintRegistry(UINT, const char *, char *lpszValue, size_t cchValue, UINT)
{
    fnCopyBounded(lpszValue, cchValue, "C:\\Lint\\Value");
    return TRUE;
}

BOOL fnLintEnv(const char *, char *lpszValue, size_t cchValue)
{
    fnCopyBounded(lpszValue, cchValue, "C:\\Lint\\Env");
    return TRUE;
}

BOOL fnLintShellFolder(BOOL, const char *, char *lpszPath, size_t cchPath, UINT)
{
    fnCopyBounded(lpszPath, cchPath, "C:\\Lint\\Folder");
    return TRUE;
}

BOOL fnLintName(char *lpszOut, size_t cchOut)
{
    fnCopyBounded(lpszOut, cchOut, "lint");
    return TRUE;
}

/* The run-wide state the check changes, to put back afterwards. */
struct SavedStateStruct {
    const MachineLookupStruct *lpMachine;
    ExpandNoteProc pfnNote;
    char cOptChar;
    UINT uDebugLevel;
    BOOL bQuiet;
};

/* Fills the stores that runs fill before options read them, so only the text of an option decides. */
void fnPrepareStores(void)
{
    const char *lpszPath = "C:\\Lint\\Dir\\Name";
    fnResetOptStore();
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), lpszPath);
    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), lpszPath);
    fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), "C:\\WINDOWS");
    fnCopyBounded(g_szSysDir, sizeof(g_szSysDir), "C:\\WINDOWS\\SYSTEM32");
    fnCopyBounded(g_szProgramFilesDir, sizeof(g_szProgramFilesDir), "C:\\Program Files");
    fnCopyBounded(g_szRegEntry, sizeof(g_szRegEntry), lpszPath);
    for (int i = 0; i < OPT_SLOTS; i++) {
        fnCopyBounded(g_szPathSlot[i], sizeof(g_szPathSlot[i]), lpszPath);
        fnCopyBounded(g_szSourceSlot[i], sizeof(g_szSourceSlot[i]), lpszPath);
        fnCopyBounded(g_szRegValues[i], sizeof(g_szRegValues[i]), lpszPath);
        fnCopyBounded(g_lpszAskForResponse[i], CCH_ANSWER, "a,b,c");
        fnCopyBounded(g_szFromListResponse[i], sizeof(g_szFromListResponse[i]), "a,b,c");
        fnCopyBounded(g_szFromComboResponse[i], sizeof(g_szFromComboResponse[i]), "a,b,c");
        fnCopyBounded(g_szDefaultSetting[i], sizeof(g_szDefaultSetting[i]), "a,b,c");
        fnCopyBounded(g_szOptionAnswer[i], sizeof(g_szOptionAnswer[i]), "YYYY");
    }
    for (int i = 0; i < 10; i++) {
        fnCopyBounded(g_szRegEntrySlot[i], sizeof(g_szRegEntrySlot[i]), lpszPath);
        fnCopyBounded(g_szCmdResult[i], sizeof(g_szCmdResult[i]), "a,b,c");
        fnCopyBounded(g_szFunResult[i], sizeof(g_szFunResult[i]), "a,b,c");
    }
    fnCopyBounded(g_szUserName, sizeof(g_szUserName), "lint");
}

int fnCompareHeld(const void *a, const void *b)
{
    const LintHeldStruct *x = (const LintHeldStruct *)a, *y = (const LintHeldStruct *)b;
    if (x->f.uLine != y->f.uLine)
        return x->f.uLine < y->f.uLine ? -1 : 1;
    if (x->f.uCol != y->f.uCol)
        return x->f.uCol < y->f.uCol ? -1 : 1;
    return x->uSeq < y->uSeq ? -1 : (x->uSeq > y->uSeq ? 1 : 0);
}

} // namespace

void fnLintReport(LintStruct *L, const char *lpszAt, const char *lpszCode, const char *lpszFormat, ...)
{
    const LintCodeStruct *lpCode = fnFindLintCode(lpszCode);
    char szText[1024];
    va_list args;
    va_start(args, lpszFormat);
    fnVFormatBounded(szText, sizeof(szText), lpszFormat, args);
    va_end(args);
    LintFindingStruct f;
    memset(&f, 0, sizeof(f));
    f.lpszFile = L->lpszFile;
    f.nSeverity = lpCode ? lpCode->nSeverity : LINT_ERROR;
    f.lpszCode = lpszCode;
    f.lpszText = szText;
    if (lpszAt && L->acLineStart && lpszAt >= L->lpszText && lpszAt <= L->lpszText + L->cchText) {
        size_t cchAt = (size_t)(lpszAt - L->lpszText);
        UINT uLine = fnLineOf(L, cchAt);
        const char *lpszLine = L->lpszText + L->acLineStart[uLine];
        f.uLine = uLine + 1;
        f.uCol = (UINT)(lpszAt - lpszLine) + 1;
        f.lpszLineText = lpszLine;
        /* the line may be cut for a section in progress: its end is a break, a NUL or the text's end */
        const char *lpszTextEnd = L->lpszText + L->cchText;
        const char *p = lpszLine;
        while (p < lpszTextEnd && !fnIsBreak(*p) && (*p || p < lpszAt))
            p++;
        f.cchLineText = (size_t)(p - lpszLine);
    }
    if (f.nSeverity == LINT_ERROR)
        L->cErrors++;
    if (L->cHeld == L->cHeldMax) {
        UINT cNew = L->cHeldMax ? L->cHeldMax * 2 : 16;
        LintHeldStruct *aNew = (LintHeldStruct *)realloc(L->aHeld, cNew * sizeof(LintHeldStruct));
        if (!aNew) {
            L->pfnReport(&f, L->lpCtx);
            return;
        }
        L->aHeld = aNew;
        L->cHeldMax = cNew;
    }
    LintHeldStruct *lpHeld = &L->aHeld[L->cHeld];
    lpHeld->f = f;
    lpHeld->uSeq = L->cHeld++;
    /* the text is pointed at when the findings are handed out: the block moves as it grows */
    fnCopyBounded(lpHeld->szText, sizeof(lpHeld->szText), szText);
    lpHeld->f.lpszText = NULL;
}

void fnLintNameSection(LintStruct *L, const char *lpszName, const char *lpszAt, int nReadAs, UINT fRef)
{
    char szName[CCH_PATH];
    if (!lpszName || !lpszName[0])
        return;
    if (lpszName[0] == '[')
        fnCopyBounded(szName, sizeof(szName), lpszName);
    else
        fnFormatBounded(szName, sizeof(szName), "[%s]", lpszName);
    if (L->cRefs == L->cRefsMax) {
        UINT cNew = L->cRefsMax ? L->cRefsMax * 2 : 16;
        LintRefStruct *aNew = (LintRefStruct *)realloc(L->aRefs, cNew * sizeof(LintRefStruct));
        if (!aNew)
            return;
        L->aRefs = aNew;
        L->cRefsMax = cNew;
    }
    LintRefStruct *lpRef = &L->aRefs[L->cRefs++];
    fnCopyBounded(lpRef->szName, sizeof(lpRef->szName), szName);
    lpRef->lpszAt = lpszAt;
    lpRef->nReadAs = nReadAs;
    lpRef->uHeader = L->uHeader;
    lpRef->fRef = fRef;
    if (nReadAs == LINTREAD_QUESTION || nReadAs == LINTREAD_SHORTCUT)
        lpRef->fRef |= LINTREF_AFTER;
}

UINT fnLintScript(const char *lpszFile, const char *lpData, size_t cbData, LintReportProc pfnReport, void *lpCtx)
{
    LintStruct lint;
    memset(&lint, 0, sizeof(lint));
    LintStruct *L = &lint;
    L->lpszFile = lpszFile ? lpszFile : "";
    L->pfnReport = pfnReport;
    L->lpCtx = lpCtx;

    SavedStateStruct saved = {g_lpMachine, g_pfnExpandNote, g_cOptChar, g_uDebugLevel, g_bQuiet};
    static MachineLookupStruct s_machine;
    s_machine = g_machineNone;
    s_machine.pfnReadRegistry = fnLintRegistry;
    s_machine.pfnGetEnv = fnLintEnv;
    s_machine.pfnGetShellFolder = fnLintShellFolder;
    s_machine.pfnGetUserName = fnLintName;
    s_machine.pfnGetComputerName = fnLintName;
    g_lpMachine = &s_machine;
    g_uDebugLevel = 0;
    g_bQuiet = TRUE;
    fnPrepareStores();

    /* the loader reads at most the buffer's worth; the text is what it reads */
    size_t cb = cbData;
    BOOL bTooLarge = cb > CB_SCRIPT_MAX;
    if (bTooLarge)
        cb = CB_SCRIPT_MAX;
    char *lpBuffer = (char *)malloc(cb + 1);
    if (!lpBuffer) {
        fnLintReport(L, NULL, "script-too-large", "not enough memory to check the script");
        goto done;
    }
    memcpy(lpBuffer, lpData, cb);
    lpBuffer[cb] = '\0';
    L->lpszText = lpBuffer;
    L->cchText = cb;
    {
        BOOL bScrambled = cb >= 1 && lpBuffer[0] == '@';
        if (bScrambled) {
            /* the second byte is the offset; the body is unscrambled in place as the loader does */
            UINT uOffset = cb >= 2 ? (BYTE)lpBuffer[1] : 0;
            if (cb > 2)
                fnShiftDeCrypt(lpBuffer + 2, uOffset, (DWORD)(cb - 2));
            L->lpszText = lpBuffer + (cb >= 2 ? 2 : 1);
            L->cchText = cb >= 2 ? cb - 2 : 0;
        }
        /* the loaded text ends at its first NUL */
        size_t cchText = strlen(L->lpszText);
        BOOL bNul = cchText < L->cchText;
        L->cchText = cchText;
        if (!fnIndexLines(L)) {
            fnLintReport(L, NULL, "script-too-large", "not enough memory to check the script");
            goto done;
        }
        if (bScrambled)
            fnLintReport(L, NULL, "scrambled", "the script is scrambled; lines and columns count in its plain text");
        if (bTooLarge)
            fnLintReport(L, L->lpszText + L->cchText, "script-too-large",
                         "the script is %lu bytes; the loader reads %lu of them, so the text from here is never read",
                         (unsigned long)cbData, (unsigned long)CB_SCRIPT_MAX);
        if (bNul)
            fnLintReport(L, L->lpszText + L->cchText, "nul-byte",
                         "a NUL byte: the program takes the script to end here and reads nothing after it");
    }
    /* the loader's cut is the end to report, not a missing line break */
    fnCheckPhysicalLines(L, !bTooLarge);
    if (!fnFindHeaders(L)) {
        fnLintReport(L, NULL, "script-too-large", "not enough memory to check the script");
        goto done;
    }
    fnCheckBeforeFirst(L);

    /* the framing sections first (the loader runs them), then the walk's sections in order */
    for (int i = 0; g_alpszFramingSections[i]; i++) {
        int nHeader = fnFindHeader(L, g_alpszFramingSections[i]);
        int nReadAs;
        if (nHeader >= 0 && fnIsFraming(g_alpszFramingSections[i], &nReadAs))
            fnReadSection(L, (UINT)nHeader, nReadAs, g_alpszFramingSections[i]);
    }
    for (UINT i = 0; i < L->cHeaders; i++) {
        LintHeaderStruct *h = &L->aHeaders[i];
        if (!h->bAfterEnd && h->nKind >= 0)
            fnReadSection(L, i, h->nKind, h->szMatched);
    }
    fnResolveNames(L);
    fnCheckUnread(L);

done:
    if (L->cHeld) {
        qsort(L->aHeld, L->cHeld, sizeof(LintHeldStruct), fnCompareHeld);
        for (UINT i = 0; i < L->cHeld; i++) {
            L->aHeld[i].f.lpszText = L->aHeld[i].szText;
            L->pfnReport(&L->aHeld[i].f, L->lpCtx);
        }
    }
    free(L->aHeld);
    free(L->aRefs);
    free(L->aHeaders);
    free(L->acLineStart);
    free(lpBuffer);
    g_lpMachine = saved.lpMachine;
    g_pfnExpandNote = saved.pfnNote;
    g_cOptChar = saved.cOptChar;
    g_uDebugLevel = saved.uDebugLevel;
    g_bQuiet = saved.bQuiet;
    return L->cErrors;
}
