/*
 * lint/lintsections.cpp -- each section's lines as its reader takes them.
 * One row per reader says how it takes a line: whether the line's
 * condition is tested first, whether a line without a key fails the
 * section, ends its reading or is data, and whether a key its table lacks
 * ends the reading; the keys are the reader's own table. The rows' field
 * checks follow what the reader needs of a line (a registry key path, an
 * INI file, an environment variable's name, flag letters from the reader's
 * own sets), and the lines that name other sections are recorded here.
 */
#include <string.h>

#include "checks/checkcore.h"
#include "commands/cmdkeys.h"
#include "commands/cmdsettings.h"
#include "common/bounded.h"
#include "config/cfgsections.h"
#include "config/regsection.h"
#include "lint/lintint.h"
#include "process/runcheck.h"
#include "script/conditions.h"
#include "script/optstore.h"
#include "script/textmodel.h"
#include "ui/inforeader.h"

namespace {

/* Input lists hold one question per line, at most this many. */
#define INPUT_QUESTIONS 9

/* How a reader takes a line. */
enum {
    RD_TESTLINE = 0x01,     /* the line's condition is tested first; the instruction follows it */
    RD_NOKEY_FAILS = 0x02,  /* a line without a key fails the section */
    RD_NOKEY_ENDS = 0x04,   /* a line without a key ends the reading */
    RD_UNKNOWN_ENDS = 0x08, /* a key the table lacks ends the reading */
    RD_EMPTY_FAILS = 0x10,  /* an empty key fails the section as a missing one does */
    RD_TESTPAIR = 0x20      /* fields 0 and 1 are a test; keys of the table are setting lines */
};

/* One instruction line being checked. */
struct LintLineStruct {
    const char *lpszRaw;         /* where the line stands in the text */
    const char *lpszLine;        /* the line as read */
    char szInstr[CCH_LINE_BUF];  /* the line without its condition */
    size_t cchOff;               /* where the instruction starts in the line */
    BOOL bKey;
    char szKey[CCH_FIELD_BUF];
    int nKey;                    /* the table's id, -1 when the key is not in it */
};

typedef void (*LintFieldsProc)(LintStruct *L, LintLineStruct *lpLine);

struct LintReaderStruct {
    int nReadAs;
    const SectionKeyStruct *lpKeys;
    UINT fRules;
    const char *const *lplpszWords;  /* lone words the reader takes as they stand; NULL-ended */
    const char *lpszUnknown;         /* what a key the table lacks does */
    LintFieldsProc pfnFields;
};

/* Where field nField (character cchAt of it) of the instruction stands in the text. */
const char *fnInstrAt(const LintLineStruct *lpLine, int nField, size_t cchAt)
{
    return fnLintFieldAt(lpLine->lpszRaw + lpLine->cchOff, lpLine->szInstr, nField, cchAt);
}

/* Field nField of the instruction; FALSE when missing. */
BOOL fnField(const LintLineStruct *lpLine, int nField, char *lpszField, size_t cchField)
{
    char szWork[CCH_LINE_BUF];
    fnCopyBounded(szWork, sizeof(szWork), lpLine->szInstr);
    return fnInfParseField(szWork, nField, lpszField, cchField);
}

/* A letter field: its first (and second) letter must be in the sets; an empty field takes the default. */
void fnCheckLetters(LintStruct *L, const LintLineStruct *lpLine, int nField, const char *lpszWhat,
                    const char *lpszFirst, const char *lpszSecond)
{
    char szField[CCH_FIELD_BUF];
    if (!fnField(lpLine, nField, szField, sizeof(szField)) || !szField[0])
        return;
    char c1 = fnUpperAscii(szField[0]);
    if (!strchr(lpszFirst, c1)) {
        fnLintReport(L, fnInstrAt(lpLine, nField, 0), "flag-letter", "'%c' is no %s letter (one of %s)", szField[0],
                     lpszWhat, lpszFirst);
        return;
    }
    if (lpszSecond && szField[1] && !strchr(lpszSecond, fnUpperAscii(szField[1])))
        fnLintReport(L, fnInstrAt(lpLine, nField, 1), "flag-letter", "'%c' is no second %s letter (one of %s)",
                     szField[1], lpszWhat, lpszSecond);
}

void fnRegistryFields(LintStruct *L, LintLineStruct *lpLine)
{
    if (lpLine->nKey == REGLINE_EXPANDDELIMS || lpLine->nKey == REGLINE_BACKUPDIR || lpLine->nKey == REGLINE_TRIMSLASH)
        return;
    RegLineStruct rec;
    char szWork[CCH_LINE_BUF];
    fnCopyBounded(szWork, sizeof(szWork), lpLine->szInstr);
    fnRegTakeFields(szWork, lpLine->nKey, &rec);
    if (!rec.szRegKey[0])
        fnLintReport(L, lpLine->lpszRaw + lpLine->cchOff, "missing-field",
                     "this %s line has no key path (HKEY_...\\...): the line fails", lpLine->szKey);
}

void fnIniEditFields(LintStruct *L, LintLineStruct *lpLine)
{
    char szField[CCH_FIELD_BUF];
    if (!fnField(lpLine, 2, szField, sizeof(szField)) || !szField[0]) {
        fnLintReport(L, lpLine->lpszRaw + lpLine->cchOff, "missing-field",
                     "this edit line names no file (field 2, after the test): the line fails");
        return;
    }
    fnCheckLetters(L, lpLine, 6, "action", g_szIniEditActions, NULL);
    fnCheckLetters(L, lpLine, 7, "file type", g_szIniEditTypes, g_szIniEditTypes2);
}

void fnEnvironmentFields(LintStruct *L, LintLineStruct *lpLine)
{
    char szField[CCH_FIELD_BUF];
    if (!fnField(lpLine, 1, szField, sizeof(szField)) || !fnField(lpLine, 2, szField, sizeof(szField))) {
        fnLintReport(L, lpLine->lpszRaw + lpLine->cchOff, "missing-field",
                     "this line names no variable (field 2, after the test): the section fails here");
        return;
    }
    fnCheckLetters(L, lpLine, 4, "environment action", g_szEnvActions, g_szEnvActionModifiers);
}

const char *const s_alpszConfigWords[] = {"Restart", "StayHome", NULL};
const char *const s_alpszCommandWords[] = {"ExitNow", "Abort", "MakeMeTopMostWindow", "MakeMeNotTopMostWindow", NULL};

const char s_szStops[] = "reading of the section stops here";

const LintReaderStruct s_aReaders[] = {
    {SECTKIND_REGISTRY, g_aRegistryKeys, RD_TESTLINE | RD_NOKEY_FAILS | RD_UNKNOWN_ENDS, NULL, s_szStops,
     fnRegistryFields},
    {LINTREAD_CONFIG, g_aConfigKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, s_alpszConfigWords, s_szStops, NULL},
    {SECTKIND_COMMAND, g_aCommandKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, s_alpszCommandWords, s_szStops,
     NULL},
    {SECTKIND_VERSIONTEST, g_aVersionTestKeys, RD_NOKEY_FAILS | RD_EMPTY_FAILS | RD_UNKNOWN_ENDS, NULL, s_szStops,
     NULL},
    {SECTKIND_FILECHECK, g_aFileCheckKeys, RD_TESTLINE | RD_UNKNOWN_ENDS, NULL, "the run ends here", NULL},
    {SECTKIND_CHECKFOR, g_aCheckForKeys, RD_TESTLINE | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    {SECTKIND_CHECKIFRUNNING, g_aCheckIfRunningKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops,
     NULL},
    {SECTKIND_INIEDITS, g_aIniEditKeys, RD_TESTPAIR, NULL, NULL, fnIniEditFields},
    {SECTKIND_ENVIRONMENT, NULL, RD_TESTPAIR, NULL, NULL, fnEnvironmentFields},
    {SECTKIND_DEFAULTS, g_aReadDefaultsKeys, RD_TESTPAIR, NULL, NULL, NULL},
    /* the information pages and the install options read no conditions */
    {SECTKIND_INFO, g_aInfoKeys, RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    {LINTREAD_SIGNON, g_aInfoKeys, RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    {LINTREAD_INSTALLOPTIONS, g_aInstallOptionsKeys, RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
};

const LintReaderStruct *fnFindReader(int nReadAs)
{
    for (const LintReaderStruct &r : s_aReaders) {
        if (r.nReadAs == nReadAs)
            return &r;
    }
    return NULL;
}

BOOL fnIsWord(const char *const *lplpszWords, const char *lpszLine)
{
    for (; lplpszWords && *lplpszWords; lplpszWords++) {
        if (fnEqualNoCase(*lplpszWords, lpszLine))
            return TRUE;
    }
    return FALSE;
}

/* The section's name as its reader's messages show it. */
const char *fnSectionName(const LintStruct *L)
{
    const LintHeaderStruct *h = &L->aHeaders[L->uHeader];
    return h->szName;
}

/*
 * A line as its reader takes it. FALSE when the reader stops reading here
 * (the rest of the section is never read).
 */
BOOL fnReaderLine(LintStruct *L, const LintReaderStruct *lpReader, LintLineStruct *lpLine, const char *lpszRest)
{
    fnCopyBounded(lpLine->szInstr, sizeof(lpLine->szInstr), lpLine->lpszLine);
    lpLine->cchOff = 0;
    if (lpReader->fRules & RD_TESTLINE) {
        /* the test leaves the instruction that follows a condition; section conditions are done */
        UINT uTest = fnInfTestIfTwoFields(lpLine->szInstr);
        if (uTest == IDTEST_GOON || uTest == IDTEST_SKIPREST)
            return TRUE;
        size_t cchLine = strlen(lpLine->lpszLine), cchInstr = strlen(lpLine->szInstr);
        if (uTest == IDTEST_FALSE && cchInstr == cchLine)
            return TRUE;
        lpLine->cchOff = cchLine - cchInstr;
    }
    if (fnIsWord(lpReader->lplpszWords, lpLine->szInstr)) {
        if (fnEqualNoCase(lpLine->szInstr, "Restart") && lpReader->nReadAs == LINTREAD_CONFIG && lpszRest &&
            fnInfCountLines(lpszRest, NULL, 1) > 0)
            fnLintReport(L, lpLine->lpszRaw + lpLine->cchOff, "section-order",
                         "a lone Restart ends the reading of [Config]: the lines after it are never read (put it "
                         "last)");
        return !fnEqualNoCase(lpLine->szInstr, "Restart");
    }
    char szWork[CCH_LINE_BUF];
    fnCopyBounded(szWork, sizeof(szWork), lpLine->szInstr);
    lpLine->bKey = fnInfParseField(szWork, 0, lpLine->szKey, sizeof(lpLine->szKey));
    lpLine->nKey = lpLine->bKey ? fnFindSectionKey(lpReader->lpKeys, lpLine->szKey) : -1;
    const char *lpszAt = lpLine->lpszRaw + lpLine->cchOff;
    UINT cRest = lpszRest ? (UINT)fnInfCountLines(lpszRest, NULL, 100000) : 0u;

    if (lpReader->fRules & RD_TESTPAIR) {
        /* a setting line of the table, else a test and its data */
        if (lpLine->nKey >= 0 || !lpReader->pfnFields)
            return TRUE;
        char szLeft[CCH_FIELD_BUF], szRight[CCH_FIELD_BUF];
        szLeft[0] = szRight[0] = '\0';
        fnField(lpLine, 0, szLeft, sizeof(szLeft));
        BOOL bRight = fnField(lpLine, 1, szRight, sizeof(szRight));
        BOOL bFixed = !strchr(szLeft, g_cOptChar) && !strchr(szRight, g_cOptChar);
        UINT uTest = bRight ? fnInfTestField(szLeft, szRight) : (UINT)IDTEST_NONE;
        /* a section condition, or a test of two fixed texts that never holds: no edit to check */
        if (uTest == IDTEST_GOON || uTest == IDTEST_SKIPREST || (uTest == IDTEST_FALSE && bFixed))
            return TRUE;
        lpReader->pfnFields(L, lpLine);
        return TRUE;
    }
    BOOL bNoKey = !lpLine->bKey || ((lpReader->fRules & RD_EMPTY_FAILS) && !lpLine->szKey[0]);
    if (bNoKey) {
        if (lpReader->fRules & RD_NOKEY_FAILS) {
            fnLintReport(L, lpszAt, "missing-keyword",
                         "a line of %s starts with its keyword and '=' (%s=, ...): without one the section fails "
                         "here",
                         fnSectionName(L), lpReader->lpKeys[0].lpszKey);
            return FALSE;
        }
        if (lpReader->fRules & RD_NOKEY_ENDS) {
            fnLintReport(L, lpszAt, "unknown-key", "this line has no key: the %s%s", s_szStops,
                         cRest ? " and the lines after it are never read" : "");
            return FALSE;
        }
        return TRUE;
    }
    if (lpLine->nKey < 0 && (lpReader->fRules & RD_UNKNOWN_ENDS)) {
        const char *lpszNear = fnLintNearestKey(lpReader->lpKeys, lpLine->szKey);
        char szNear[96] = "";
        if (lpszNear)
            fnFormatBounded(szNear, sizeof(szNear), "; did you mean '%s'?", lpszNear);
        char szRest[64] = "";
        if (cRest)
            fnFormatBounded(szRest, sizeof(szRest), ", and the %u line%s after it %s never read", cRest,
                            cRest == 1 ? "" : "s", cRest == 1 ? "is" : "are");
        fnLintReport(L, lpszAt, "unknown-key", "'%s' is not a key of %s: the %s%s%s", lpLine->szKey,
                     fnSectionName(L), lpReader->lpszUnknown, szRest, szNear);
        return FALSE;
    }
    if (lpReader->pfnFields)
        lpReader->pfnFields(L, lpLine);
    return TRUE;
}

} // namespace

void fnLintSectionLines(LintStruct *L, const char *lpszBody, int nReadAs)
{
    const LintHeaderStruct *h = &L->aHeaders[L->uHeader];
    const LintReaderStruct *lpReader = fnFindReader(nReadAs);
    BOOL bFolderList = nReadAs == SECTKIND_APPINIT &&
                       (fnEqualNoCase(h->szMatched, "[Shortcuts]") || fnEqualNoCase(h->szMatched, "[PMGroups]"));
    char szLine[CCH_LINE_BUF], szWork[CCH_LINE_BUF], szField[CCH_FIELD_BUF];
    const char *lpszPos = lpszBody;
    UINT uLine = 0;
    BOOL bReading = TRUE;
    while (bReading && lpszPos && *lpszPos) {
        const char *lpszRaw;
        lpszPos = fnLintNextLine(lpszPos, szLine, sizeof(szLine), &lpszRaw);
        if (!lpszPos || !szLine[0] || !lpszRaw)
            break;
        uLine++;
        fnLintLineCommon(L, szLine, lpszRaw);
        fnCopyBounded(szWork, sizeof(szWork), szLine);
        if (lpReader) {
            LintLineStruct line;
            memset(&line, 0, sizeof(line));
            line.lpszRaw = lpszRaw;
            line.lpszLine = szLine;
            bReading = fnReaderLine(L, lpReader, &line, lpszPos);
        } else if (nReadAs == SECTKIND_INPUT) {
            /* the list's n-th line names the n-th question; lines past the ninth are never asked */
            if (uLine > INPUT_QUESTIONS) {
                if (uLine == INPUT_QUESTIONS + 1)
                    fnLintReport(L, lpszRaw, "section-order",
                                 "an input list holds at most %u questions: this line and those after it are "
                                 "never asked",
                                 (UINT)INPUT_QUESTIONS);
                continue;
            }
            if (fnInfParseField(szWork, 1, szField, sizeof(szField)) && szField[0])
                fnLintNameSection(L, szField, fnLintFieldAt(lpszRaw, szLine, 1, 0), LINTREAD_QUESTION);
        } else if (bFolderList) {
            if (fnInfParseField(szWork, 0, szField, sizeof(szField)) && szField[0])
                fnLintNameSection(L, szField, lpszRaw, LINTREAD_SHORTCUT);
        }
    }
}
