/*
 * lint/lintsections.cpp -- each section's lines as its reader takes them.
 * One row per reader says how it takes a line: whether the line's
 * condition is tested first, whether a line without a key fails the
 * section, ends its reading or is data, and whether a key its table lacks
 * ends the reading; the keys are the reader's own table. The rows' field
 * checks follow what the reader needs of a line (a registry key path, an
 * INI file, an environment variable's name, flag letters from the reader's
 * own sets), and the lines that name other sections are recorded here. The
 * copy and move sections, whose header keys come before their file lines,
 * are read by a reader of their own below.
 */
#include <string.h>

#include "checks/checkcore.h"
#include "commands/cmdkeys.h"
#include "commands/cmdsettings.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "config/cfgsections.h"
#include "config/regsection.h"
#include "driver/cmdfilekeys.h"
#include "install/copylines.h"
#include "install/filerules.h"
#include "lint/lintint.h"
#include "process/launchback.h"
#include "process/runcheck.h"
#include "script/conditions.h"
#include "script/optstore.h"
#include "script/textmodel.h"
#include "ui/inforeader.h"
#include "ui/inputcore.h"

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
    RD_TESTPAIR = 0x20,     /* fields 0 and 1 are a test; keys of the table are setting lines */
    RD_UNKNOWN_PASSES = 0x40,  /* a key the table lacks is passed over */
    RD_BARE_MISSING = 0x80  /* a key of the table written without its '=' is that key without its value */
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

/* Where field nField of the instruction stands, or the instruction's start when the line has no such field. */
const char *fnFieldOrLineAt(const LintLineStruct *lpLine, int nField)
{
    char szField[CCH_FIELD_BUF];
    if (!fnField(lpLine, nField, szField, sizeof(szField)))
        return lpLine->lpszRaw + lpLine->cchOff;
    return fnInstrAt(lpLine, nField, 0);
}

/* A [LaunchAndBack] line goes through the section's own line reader, which names a field it misses. */
void fnLaunchBackFields(LintStruct *L, LintLineStruct *lpLine)
{
    static LaunchBackStruct s_lb;  /* large; the checker runs one line at a time */
    char szWork[CCH_LINE_BUF];
    fnInitLaunchBack(&s_lb);
    fnCopyBounded(szWork, sizeof(szWork), lpLine->szInstr);
    int nField = 0;
    if (fnReadLaunchBackLine(&s_lb, szWork, &nField) == LBLINE_MISSING)
        fnLintReport(L, fnFieldOrLineAt(lpLine, nField), "missing-field",
                     "this %s line lacks field %d (or it is empty): the section fails here", lpLine->szKey, nField);
}

/*
 * An [AppInit] line goes through the section's own reader, alone: a key that
 * needs a value and has none fails the section. DirSection names the
 * directory list, looked up as written in the text after the section.
 */
void fnAppInitFields(LintStruct *L, LintLineStruct *lpLine)
{
    static UserInputStruct s_input;
    char szBody[CCH_LINE_BUF + 4], szValue[CCH_FIELD_BUF];
    fnFormatBounded(szBody, sizeof(szBody), "%s\r\n", lpLine->szInstr);
    memset(&s_input, 0, sizeof(s_input));
    BOOL bSavedForced = g_bRebootForced;
    UINT uRead = fnReadAppInit(szBody, &s_input);
    g_bRebootForced = bSavedForced;
    if (!uRead) {
        fnLintReport(L, fnFieldOrLineAt(lpLine, 1), "missing-field",
                     "%s needs a value (field 1): without one [AppInit] fails", lpLine->szKey);
        return;
    }
    if (!fnEqualNoCase(lpLine->szKey, "DirSection") || !fnField(lpLine, 1, szValue, sizeof(szValue)) || !szValue[0])
        return;
    if (szValue[0] != '[') {
        fnLintReport(L, fnInstrAt(lpLine, 1, 0), "missing-section",
                     "DirSection names '%s' without its brackets: the reader looks for a line '%s' and finds no "
                     "directory list (write [%s])",
                     szValue, szValue, szValue);
        return;
    }
    fnLintNameSection(L, szValue, fnInstrAt(lpLine, 1, 0), LINTREAD_DIRS, LINTREF_AFTER);
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
    {SECTKIND_FLOATINFO, g_aFloatInfoKeys, RD_TESTLINE | RD_UNKNOWN_PASSES | RD_BARE_MISSING, NULL, NULL, NULL},
    {LINTREAD_SIGNON, g_aInfoKeys, RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    {LINTREAD_INSTALLOPTIONS, g_aInstallOptionsKeys, RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    /* the installation information and the questions: a key the reader lacks ends the reading */
    {LINTREAD_APPINIT, g_aAppInitKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, fnAppInitFields},
    {LINTREAD_QUESTION, g_aInputKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    {SECTKIND_INITOPTIONS, g_aInputKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    {SECTKIND_GETUSERPW, g_aInputKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    {SECTKIND_GET2DIRS, g_aInputKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops, NULL},
    {SECTKIND_WRITECMDFILE, g_aWriteCmdFileKeys, RD_TESTLINE | RD_NOKEY_FAILS | RD_UNKNOWN_ENDS, NULL, s_szStops,
     NULL},
    {SECTKIND_LAUNCHANDBACK, g_aLaunchBackKeys, RD_TESTLINE | RD_NOKEY_ENDS | RD_UNKNOWN_ENDS, NULL, s_szStops,
     fnLaunchBackFields},
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
    if (bNoKey && (lpReader->fRules & RD_BARE_MISSING)) {
        char szWord[CCH_FIELD_BUF];
        fnCopyBounded(szWork, sizeof(szWork), lpLine->szInstr);
        if (fnInfParseField(szWork, -1, szWord, sizeof(szWord)) && fnFindSectionKey(lpReader->lpKeys, szWord) >= 0) {
            fnLintReport(L, lpszAt, "missing-field", "%s has no '=' and no value: %s fails here", szWord,
                         fnSectionName(L));
            return FALSE;
        }
    }
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
    if (lpLine->nKey < 0 && (lpReader->fRules & RD_UNKNOWN_PASSES)) {
        /* only a near miss is worth telling: other lines of such sections may be plain text */
        const char *lpszNear = fnLintNearestKey(lpReader->lpKeys, lpLine->szKey);
        if (lpszNear)
            fnLintReport(L, lpszAt, "unused-key", "'%s' is not a key of %s: the line is passed over; did you mean '%s'?",
                         lpLine->szKey, fnSectionName(L), lpszNear);
        return TRUE;
    }
    if (lpReader->pfnFields)
        lpReader->pfnFields(L, lpLine);
    return TRUE;
}

/* ------------------------------------------------------------ copy and move sections */

/* What a copy or move section's reading has come to. */
struct CopyStateStruct {
    BOOL bMove;         /* a move section: its lines name a source and a destination */
    BOOL bDisk;         /* a disk copy: its lines carry no flag fields */
    BOOL bHeader;       /* still in the header lines */
    BOOL bDisksNamed;   /* DisksSection was given */
};

/* The disk copy answers to these names of its list; the other copy sections take flag fields. */
BOOL fnIsDiskCopy(const char *lpszMatched)
{
    return fnEqualNoCase(lpszMatched, "[MakeDisks]") || fnEqualNoCase(lpszMatched, "[CopyFilesToDisk]") ||
           fnEqualNoCase(lpszMatched, "[CopyFilesToDisks]");
}

/*
 * One header line as the copy and move readers take it. FALSE when the
 * header has ended before this line (it is then the first file line); a
 * condition that ends the section sets *lpbStop.
 */
BOOL fnCopyHeaderLine(LintStruct *L, CopyStateStruct *lpState, LintLineStruct *lpLine, BOOL *lpbStop)
{
    fnCopyBounded(lpLine->szInstr, sizeof(lpLine->szInstr), lpLine->lpszLine);
    UINT uTest = fnInfTestIfTwoFields(lpLine->szInstr);
    lpLine->cchOff = strlen(lpLine->lpszLine) - strlen(lpLine->szInstr);
    if (uTest == IDTEST_SKIPREST) {
        /* the copy reader ends the section here; the move reader only its header */
        *lpbStop = !lpState->bMove;
        lpState->bHeader = FALSE;
        return TRUE;
    }
    char szWork[CCH_LINE_BUF];
    fnCopyBounded(szWork, sizeof(szWork), lpLine->szInstr);
    if (!fnInfParseField(szWork, 0, lpLine->szKey, sizeof(lpLine->szKey)))
        return FALSE;
    lpLine->nKey = fnFindSectionKey(g_aCopyHeaderKeys, lpLine->szKey);
    if (lpLine->nKey < 0) {
        /* a misspelt header key reads as a test of two texts that never holds: the line is passed over */
        const char *lpszNear = fnLintNearestKey(g_aCopyHeaderKeys, lpLine->szKey);
        if (lpszNear) {
            fnLintReport(L, lpLine->lpszRaw + lpLine->cchOff, "unknown-key",
                         "'%s' is not a header key of %s: the line is taken as a test that never holds and passed "
                         "over; did you mean '%s'?",
                         lpLine->szKey, fnSectionName(L), lpszNear);
            return TRUE;
        }
        return !lpState->bMove && (uTest == IDTEST_GOON || uTest == IDTEST_FALSE);
    }
    if (uTest == IDTEST_GOON || uTest == IDTEST_FALSE)
        return TRUE;
    char szValue[CCH_FIELD_BUF];
    if (!fnField(lpLine, 1, szValue, sizeof(szValue)))
        return TRUE;
    fnTrimBlanks(szValue);
    if (!szValue[0])
        return TRUE;
    if (lpLine->nKey == CPKEY_DISKSSECTION) {
        lpState->bDisksNamed = TRUE;
        fnLintNameSection(L, szValue, fnInstrAt(lpLine, 1, 0), LINTREAD_DISKS);
    } else if (lpLine->nKey == CPKEY_DIRSSECTION) {
        fnLintNameSection(L, szValue, fnInstrAt(lpLine, 1, 0), LINTREAD_DIRS);
    }
    return TRUE;
}

/* Where character cchAt of field nField stands once its leading blanks are cut, as the reader cuts them. */
const char *fnTrimmedAt(const LintLineStruct *lpLine, int nField, const char *lpszRaw, size_t cchAt)
{
    size_t cchBlanks = 0;
    while (lpszRaw[cchBlanks] == ' ' || lpszRaw[cchBlanks] == '\t')
        cchBlanks++;
    return fnInstrAt(lpLine, nField, cchBlanks + cchAt);
}

/* One letter of a flag field against its table: a letter the table lacks silently gives the default. */
void fnCheckFlagLetter(LintStruct *L, const LintLineStruct *lpLine, int nField, const char *lpszRaw, size_t cchAt,
                       char c, const FlagLetterStruct *lpTable, const char *lpszWhat)
{
    if (fnFindFlagLetter(lpTable, c, NULL))
        return;
    char szSet[32];
    size_t n = 0;
    for (; lpTable->c && n + 1 < sizeof(szSet); lpTable++)
        szSet[n++] = lpTable->c;
    szSet[n] = '\0';
    fnLintReport(L, fnTrimmedAt(lpLine, nField, lpszRaw, cchAt), "flag-letter",
                 "'%c' is no %s letter (one of %s): the default is taken", c, lpszWhat, szSet);
}

/* The three flag fields of a file-copy line, from field nFirst on, as the flag decoder reads them. */
void fnCheckFileFlags(LintStruct *L, const LintLineStruct *lpLine, int nFirst)
{
    char aszRaw[3][CCH_FIELD_BUF], aszFlags[3][CCH_FIELD_BUF];
    for (int i = 0; i < 3; i++) {
        if (!fnField(lpLine, nFirst + i, aszRaw[i], sizeof(aszRaw[i]))) {
            fnLintReport(L, lpLine->lpszRaw + lpLine->cchOff, "missing-field",
                         "this file line has no flag field %d (fields 4 to 6 are required): the section fails here",
                         4 + i);
            return;
        }
        fnCopyBounded(aszFlags[i], sizeof(aszFlags[i]), aszRaw[i]);
        fnTrimBlanks(aszFlags[i]);
    }
    /* a leading "+" of the first field (recursion) is no letter */
    size_t cchPlus = aszFlags[0][0] == '+' ? 1 : 0;
    const char *f1 = aszFlags[0] + cchPlus, *f2 = aszFlags[1], *f3 = aszFlags[2];
    const char *const alpsz[3] = {f1, f2, f3};
    for (int i = 0; i < 3; i++) {
        if (strlen(alpsz[i]) > CCH_FLAG_FIELD) {
            fnLintReport(L, fnTrimmedAt(lpLine, nFirst + i, aszRaw[i], (i == 0 ? cchPlus : 0) + CCH_FLAG_FIELD),
                         "flag-too-long",
                         "flag field %d holds %u characters, at most %u are read: the line fails and the section "
                         "with it",
                         4 + i, (UINT)strlen(alpsz[i]), (UINT)CCH_FLAG_FIELD);
            return;
        }
    }
    static const struct {
        const FlagLetterStruct *lpTable;
        const char *lpszWhat;
    } s_aField1[] = {{g_aInstallLetters, "install mode"},
                     {g_aInUseLetters, "in-use action"},
                     {g_aVerActLetters, "version action"},
                     {g_aAttribLetters, "attribute"}};
    for (size_t i = 0; i < 4 && f1[i]; i++)
        fnCheckFlagLetter(L, lpLine, nFirst, aszRaw[0], cchPlus + i, f1[i], s_aField1[i].lpTable,
                          s_aField1[i].lpszWhat);
    if (f2[0]) {
        fnCheckFlagLetter(L, lpLine, nFirst + 1, aszRaw[1], 0, f2[0], g_aCopyLetters, "copy mode");
        if (fnUpperAscii(f2[0]) == 'J') {
            /* a joined file: the copy mode it is installed with (no second join), then the part's number */
            if (fnUpperAscii(f2[1]) == 'J')
                fnLintReport(L, fnTrimmedAt(lpLine, nFirst + 1, aszRaw[1], 1), "flag-letter",
                             "a joined file cannot be joined again: 'J' as its copy mode gives the default");
            else if (f2[1])
                fnCheckFlagLetter(L, lpLine, nFirst + 1, aszRaw[1], 1, f2[1], g_aCopyLetters, "copy mode");
            if (f2[1] && f2[2] && !strpbrk(f2 + 2, "0123456789"))
                fnLintReport(L, fnTrimmedAt(lpLine, nFirst + 1, aszRaw[1], 2), "flag-letter",
                             "the part of a joined file is a number (1 the first, 0 the last, any other a middle "
                             "part): without a digit this is the last part");
        }
    }
    if (f3[0])
        fnCheckFlagLetter(L, lpLine, nFirst + 2, aszRaw[2], 0, f3[0], g_aBackupLetters, "backup action");
}

/* One file line of a copy, disk-copy or move section. FALSE when a condition ends the section. */
BOOL fnCopyFileLine(LintStruct *L, const CopyStateStruct *lpState, LintLineStruct *lpLine)
{
    fnCopyBounded(lpLine->szInstr, sizeof(lpLine->szInstr), lpLine->lpszLine);
    lpLine->cchOff = 0;
    char szKey[CCH_FIELD_BUF], szRight[CCH_FIELD_BUF] = "", szField[CCH_FIELD_BUF];
    int b = 0;
    if (fnField(lpLine, 0, szKey, sizeof(szKey))) {
        if (lpState->bMove && fnEqualNoCase(szKey, "ExpandDelims"))
            return TRUE;
        fnField(lpLine, 1, szRight, sizeof(szRight));
        BOOL bFixed = !strchr(szKey, g_cOptChar) && !strchr(szRight, g_cOptChar);
        UINT uTest = fnInfTestField(szKey, szRight);
        if (uTest == IDTEST_SKIPREST)
            return FALSE;
        /* a section condition, or a test of two fixed texts that never holds: no file to check */
        if (uTest == IDTEST_GOON || (uTest == IDTEST_FALSE && bFixed))
            return TRUE;
        b = 1;
    }
    static const char *const s_alpszCopy[] = {"disk", "source file", "destination file"};
    int cRequired = lpState->bMove ? 1 : 3;
    for (int i = 0; i < cRequired; i++) {
        if (!fnField(lpLine, b + 1 + i, szField, sizeof(szField)) || !szField[0]) {
            fnLintReport(L, fnFieldOrLineAt(lpLine, b + 1 + i), "missing-field",
                         "this line has no %s (field %d%s): the section fails here",
                         lpState->bMove ? "source" : s_alpszCopy[i], 1 + i, b ? ", after the test" : "");
            return TRUE;
        }
    }
    if (!lpState->bMove && !lpState->bDisk)
        fnCheckFileFlags(L, lpLine, b + 4);
    return TRUE;
}

} // namespace

void fnLintSectionLines(LintStruct *L, const char *lpszBody, int nReadAs)
{
    const LintHeaderStruct *h = &L->aHeaders[L->uHeader];
    BOOL bFolderList = nReadAs == SECTKIND_APPINIT &&
                       (fnEqualNoCase(h->szMatched, "[Shortcuts]") || fnEqualNoCase(h->szMatched, "[PMGroups]"));
    /* the installation information list: [AppInit] has its own keys, the combined dialogs read a question */
    int nReader = nReadAs;
    if (nReadAs == SECTKIND_APPINIT && !bFolderList)
        nReader = fnEqualNoCase(h->szMatched, "[AppInit]") ? LINTREAD_APPINIT : LINTREAD_QUESTION;
    const LintReaderStruct *lpReader = fnFindReader(nReader);
    BOOL bCopy = nReadAs == SECTKIND_FILES || nReadAs == SECTKIND_MOVEFILES;
    CopyStateStruct state = {nReadAs == SECTKIND_MOVEFILES, nReadAs == SECTKIND_FILES && fnIsDiskCopy(h->szMatched),
                             TRUE, FALSE};
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
        if (bCopy) {
            LintLineStruct line;
            memset(&line, 0, sizeof(line));
            line.lpszRaw = lpszRaw;
            line.lpszLine = szLine;
            BOOL bStop = FALSE;
            if (state.bHeader && fnCopyHeaderLine(L, &state, &line, &bStop)) {
                bReading = !bStop;
                continue;
            }
            state.bHeader = FALSE;
            memset(&line, 0, sizeof(line));
            line.lpszRaw = lpszRaw;
            line.lpszLine = szLine;
            bReading = fnCopyFileLine(L, &state, &line);
        } else if (lpReader) {
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
    /* a copy section reads the disk labels of "[Disks]" unless it names its own, and "[CopyConfig]" */
    if (bCopy && !state.bMove) {
        if (!state.bDisksNamed)
            fnLintNameSection(L, "[Disks]", h->lpszHeader, LINTREAD_DISKS, LINTREF_OPTIONAL);
        fnLintNameSection(L, "[CopyConfig]", h->lpszHeader, LINTREAD_PLAIN, LINTREF_OPTIONAL);
    }
}
