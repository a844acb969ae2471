/*
 * install/copylines.cpp -- the line readers of the file-copy and disk-copy
 * sections: header keys, file lines into the install-file record, the
 * counting pass's source of a line, disk labels, "[CopyConfig]" and named
 * sections found anywhere in the script. See copylines.h.
 */
#include "install/copylines.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "install/diskrules.h"
#include "install/filerules.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/pathtext.h"
#include "script/textmodel.h"

const char *g_lpszInfStart;

const SectionKeyStruct g_aCopyHeaderKeys[] = {{"TotalFiles", CPKEY_TOTALFILES},
                                              {"BeQuiet", CPKEY_BEQUIET},
                                              {"ExpandDelims", CPKEY_EXPANDDELIMS},
                                              {"DisksSection", CPKEY_DISKSSECTION},
                                              {"DirsSection", CPKEY_DIRSSECTION},
                                              {NULL, 0}};

namespace {

/* the source folder as given (upper-cased) and as the disk spells it */
char s_szSourceKey[CCH_PATH];
char s_szSourceTrue[CCH_PATH];

/*
 * The folder the lines' sources are resolved against: the source folder as
 * the disk spells it while it is the one fnSetSourceCase was told of, else
 * as given. The two differ only in case, so nothing the user sees changes
 * on Windows; a file system that is not case-blind (Wine) would otherwise
 * search every folder of the path for each file opened.
 */
const char *fnSourceBase(void)
{
    if (s_szSourceKey[0] && strcmp(s_szSourceKey, g_szSourceDir) == 0)
        return s_szSourceTrue;
    return g_szSourceDir;
}

/* A section name as the script finder compares it: in brackets. */
void fnBracketName(char *lpszOut, size_t cchOut, const char *lpszValue)
{
    if (lpszValue[0] == '[')
        fnCopyBounded(lpszOut, cchOut, lpszValue);
    else
        fnFormatBounded(lpszOut, cchOut, "[%s]", lpszValue);
}

/* The next instruction line; FALSE when the section has no more. */
BOOL fnTakeLine(const char **lplpszPos, char *lpszLine)
{
    if (!*lplpszPos || !**lplpszPos)
        return FALSE;
    const char *lpszNext = fnInfGetNextLine(*lplpszPos, lpszLine, CCH_LINE_BUF);
    if (!lpszNext || !lpszLine[0])
        return FALSE;
    *lplpszPos = lpszNext;
    return TRUE;
}

/* TRUE when a path field holds a character no file name may hold. */
BOOL fnHasBadChar(const char *lpszText)
{
    return strpbrk(lpszText, ",<>|") != NULL;
}

/*
 * Expands a path field in place, takes its quotes off and reads '/' as '\'.
 * FALSE when the expansion would be cut.
 */
BOOL fnExpandPathField(char *lpszField)
{
    if (!fnExpandDataField(lpszField, CCH_FIELD_BUF, "fnReadCopyFiles", NULL))
        return FALSE;
    fnStripQuotes(lpszField);
    for (char *p = lpszField; *p; p++)
        if (*p == '/')
            *p = '\\';
    return TRUE;
}

/* Splits a path field into its resolved directory (against lpszBase) and its name. */
BOOL fnSplitLinePath(const char *lpszPath, const char *lpszBase, char *lpszDir, char *lpszName)
{
    char szParent[CCH_PATH], szName[CCH_PATH];
    if (strlen(lpszPath) >= CCH_PATH)
        return FALSE;
    fnSplitPath(lpszPath, NULL, NULL, NULL, NULL, szName, szParent);
    if (!fnCopyBounded(lpszName, CCH_PATH, szName))
        return FALSE;
    if (!szParent[0] || strcmp(szParent, ".") == 0)
        return fnCopyBounded(lpszDir, CCH_PATH, lpszBase);
    return fnResolveLineDir(szParent, lpszBase, lpszDir, CCH_PATH);
}

/*
 * The condition in front of a line: *lpuTest and the number of fields it
 * takes (0 or 1). A line whose condition decides the line (skip, a section
 * condition, the end) gives FALSE: it has nothing more to read.
 */
BOOL fnLineCondition(char *lpszLine, UINT *lpuTest, int *lpnShift)
{
    char szKey[CCH_FIELD_BUF], szField[CCH_FIELD_BUF];
    *lpuTest = IDTEST_NONE;
    *lpnShift = 0;
    if (!fnInfParseField(lpszLine, 0, szKey, sizeof(szKey)))
        return TRUE;
    fnInfParseField(lpszLine, 1, szField, sizeof(szField));
    *lpuTest = fnInfTestField(szKey, szField);
    if (*lpuTest == IDTEST_GOON || *lpuTest == IDTEST_FALSE || *lpuTest == IDTEST_SKIPREST)
        return FALSE;
    *lpnShift = 1;
    return TRUE;
}

UINT fnLineError(CopyLineStruct *lpLine, UINT uMessage, const char *lpszName)
{
    lpLine->uMessage = uMessage;
    fnCopyBounded(lpLine->szBadName, sizeof(lpLine->szBadName), lpszName ? lpszName : "");
    return COPYLINE_ERROR;
}

/*
 * The fields every copy line shares: disk (field 1), source (2) and
 * destination (3), checked, expanded and resolved into the record.
 */
UINT fnReadLineFiles(char *lpszLine, int b, IFStruct *lpIF, CopyLineStruct *lpLine)
{
    char szDisk[CCH_FIELD_BUF], szSrc[CCH_FIELD_BUF], szDst[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, b + 1, szDisk, sizeof(szDisk)) || !szDisk[0] ||
        !fnInfParseField(lpszLine, b + 2, szSrc, sizeof(szSrc)) || !szSrc[0] ||
        !fnInfParseField(lpszLine, b + 3, szDst, sizeof(szDst)) || !szDst[0])
        return fnLineError(lpLine, 1046, NULL);
    if (fnHasBadChar(szSrc))
        return fnLineError(lpLine, 1104, szSrc);
    if (fnHasBadChar(szDst))
        return fnLineError(lpLine, 1104, szDst);
    if (!fnExpandPathField(szDst) || !fnExpandPathField(szSrc))
        return fnLineError(lpLine, 1046, NULL);
    /* an option's value counts as the line's own text */
    if (fnHasBadChar(szSrc))
        return fnLineError(lpLine, 1104, szSrc);
    if (fnHasBadChar(szDst))
        return fnLineError(lpLine, 1104, szDst);
    if (!fnSplitLinePath(szSrc, fnSourceBase(), lpIF->szSrcFilePath, lpIF->szSrcFileName) ||
        !fnSplitLinePath(szDst, g_szDestDir, lpIF->szDstDir, lpIF->szDstFileName) || !lpIF->szSrcFileName[0])
        return fnLineError(lpLine, 1046, NULL);
    /* a destination that names only its folder keeps the source's name */
    if (!lpIF->szDstFileName[0])
        fnCopyBounded(lpIF->szDstFileName, sizeof(lpIF->szDstFileName), lpIF->szSrcFileName);
    lpIF->bDiskGiven = fnReadDigitNumber(szDisk) != 0;
    if (lpIF->bDiskGiven)
        fnCopyBounded(lpIF->szDisk, sizeof(lpIF->szDisk), szDisk);
    return COPYLINE_READ;
}

/* What one line leaves behind is cleared before the next: no line works with another's folders or backup. */
void fnClearLine(IFStruct *lpIF, BOOL bKeepDescription)
{
    lpIF->szDisk[0] = lpIF->szCurDir[0] = lpIF->szDstDir[0] = lpIF->szDstFileName[0] = '\0';
    lpIF->szSrcFilePath[0] = lpIF->szSrcFileName[0] = lpIF->szBackupFile[0] = lpIF->szWildSpec[0] = '\0';
    lpIF->szSuggestDstDir[0] = lpIF->szDiskPrompt[0] = '\0';
    if (!bKeepDescription)
        lpIF->szDescription[0] = '\0';
    lpIF->bDiskGiven = FALSE;
}

}  // namespace

void fnInitCopyHeader(CopyHeaderStruct *lpHdr, const char *lpszDirs)
{
    memset(lpHdr, 0, sizeof(*lpHdr));
    lpHdr->nBeQuiet = -1;
    fnCopyBounded(lpHdr->szDisksSection, sizeof(lpHdr->szDisksSection), "[Disks]");
    fnCopyBounded(lpHdr->szDirsSection, sizeof(lpHdr->szDirsSection), lpszDirs ? lpszDirs : "");
}

void fnReadCopyHeader(const char **lplpszPos, CopyHeaderStruct *lpHdr, BOOL *lpbEnd)
{
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    *lpbEnd = FALSE;
    for (;;) {
        const char *lpszPos = *lplpszPos;
        if (!fnTakeLine(&lpszPos, szLine))
            return;
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_SKIPREST) {
            *lplpszPos = lpszPos;
            *lpbEnd = TRUE;
            return;
        }
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)))
            return;
        int nKey = fnFindSectionKey(g_aCopyHeaderKeys, szKey);
        /* a section condition holds or fails on its own line: it is no file line */
        if (nKey < 0 && uTest != IDTEST_GOON && uTest != IDTEST_FALSE)
            return;
        *lplpszPos = lpszPos;
        if (nKey < 0 || uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
            continue;
        fnInfParseField(szLine, 1, szValue, sizeof(szValue));
        fnTrimBlanks(szValue);
        switch (nKey) {
        case CPKEY_TOTALFILES:
            lpHdr->bTotal = TRUE;
            lpHdr->uTotalFiles = fnReadDigitNumber(szValue);
            break;
        case CPKEY_BEQUIET: lpHdr->nBeQuiet = fnUpperAscii(szValue[0]) == 'Y' ? 1 : 0; break;
        case CPKEY_EXPANDDELIMS:
            fnStripQuotes(szValue);
            fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), szValue);
            break;
        case CPKEY_DISKSSECTION:
            if (szValue[0])
                fnBracketName(lpHdr->szDisksSection, sizeof(lpHdr->szDisksSection), szValue);
            break;
        case CPKEY_DIRSSECTION:
            if (szValue[0])
                fnBracketName(lpHdr->szDirsSection, sizeof(lpHdr->szDirsSection), szValue);
            break;
        }
    }
}

UINT fnReadCopyFileLine(const char **lplpszPos, IFStruct *lpIF, CopyLineStruct *lpLine)
{
    memset(lpLine, 0, sizeof(*lpLine));
    lpLine->qwNeeded = 1;
    char szLine[CCH_LINE_BUF];
    if (!fnTakeLine(lplpszPos, szLine))
        return COPYLINE_END;
    fnClearLine(lpIF, FALSE);
    int b = 0;
    if (!fnLineCondition(szLine, &lpLine->uTest, &b))
        return COPYLINE_READ;
    char szF1[CCH_FIELD_BUF], szF2[CCH_FIELD_BUF], szF3[CCH_FIELD_BUF], szDesc[CCH_FIELD_BUF];
    if (!fnInfParseField(szLine, b + 4, szF1, sizeof(szF1)) || !fnInfParseField(szLine, b + 5, szF2, sizeof(szF2)) ||
        !fnInfParseField(szLine, b + 6, szF3, sizeof(szF3)))
        return fnLineError(lpLine, 1046, NULL);
    fnTrimBlanks(szF1);
    fnTrimBlanks(szF2);
    fnTrimBlanks(szF3);
    UINT r = fnReadLineFiles(szLine, b, lpIF, lpLine);
    if (r != COPYLINE_READ)
        return r;
    if (!fnDecodeFileFlags(szF1, szF2, szF3, lpIF))
        return fnLineError(lpLine, 1046, NULL);
    if (fnInfParseField(szLine, b + 7, szDesc, sizeof(szDesc)))
        fnCopyBounded(lpIF->szDescription, sizeof(lpIF->szDescription), szDesc);
    return COPYLINE_READ;
}

UINT fnReadDiskFileLine(const char **lplpszPos, IFStruct *lpIF, CopyLineStruct *lpLine)
{
    memset(lpLine, 0, sizeof(*lpLine));
    lpLine->qwNeeded = 1;
    char szLine[CCH_LINE_BUF];
    if (!fnTakeLine(lplpszPos, szLine))
        return COPYLINE_END;
    fnClearLine(lpIF, TRUE);
    int b = 0;
    if (!fnLineCondition(szLine, &lpLine->uTest, &b))
        return COPYLINE_READ;
    UINT r = fnReadLineFiles(szLine, b, lpIF, lpLine);
    if (r != COPYLINE_READ)
        return r;
    char szDesc[CCH_FIELD_BUF], szSwitch[CCH_FIELD_BUF], szBytes[CCH_FIELD_BUF];
    const char *lpszDesc = szDesc;
    lpIF->bRecurse = FALSE;
    if (fnInfParseField(szLine, b + 4, szDesc, sizeof(szDesc))) {
        fnTrimBlanks(szDesc);
        if (szDesc[0] == '+') {
            lpIF->bRecurse = TRUE;
            lpszDesc++;
        }
        if (*lpszDesc) {
            lpLine->bDescription = TRUE;
            fnCopyBounded(lpIF->szDescription, sizeof(lpIF->szDescription), lpszDesc);
        }
    }
    if (fnInfParseField(szLine, b + 5, szSwitch, sizeof(szSwitch))) {
        fnTrimBlanks(szSwitch);
        lpLine->bSwitchDisk = fnUpperAscii(szSwitch[0]) == 'Y';
    }
    BOOL bBytes = fnInfParseField(szLine, b + 6, szBytes, sizeof(szBytes));
    lpLine->qwNeeded = fnReadBytesNeeded(szBytes, bBytes);
    return COPYLINE_READ;
}

BOOL fnCopyLineSource(const char *lpszLine, char *lpszOut, size_t cchOut, BOOL *lpbRecurse)
{
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szSrc[CCH_FIELD_BUF], szFlags[CCH_FIELD_BUF];
    fnCopyBounded(szLine, sizeof(szLine), lpszLine);
    int b = fnInfParseField(szLine, 0, szKey, sizeof(szKey)) ? 1 : 0;
    *lpbRecurse = FALSE;
    lpszOut[0] = '\0';
    if (!fnInfParseField(szLine, b + 2, szSrc, sizeof(szSrc)) || !szSrc[0] || !fnExpandPathField(szSrc))
        return FALSE;
    /* the "+" of flag field 1, or of a disk line's description: both are field 4 */
    if (fnInfParseField(szLine, b + 4, szFlags, sizeof(szFlags))) {
        fnTrimBlanks(szFlags);
        *lpbRecurse = szFlags[0] == '+';
    }
    char szDir[CCH_PATH], szName[CCH_PATH];
    if (!fnSplitLinePath(szSrc, fnSourceBase(), szDir, szName) || !szName[0])
        return FALSE;
    return fnJoinPath(lpszOut, cchOut, szDir, szName);
}

BOOL fnFindDiskLabel(const char *lpszBody, const char *lpszDisk, char *lpszOut, size_t cchOut)
{
    lpszOut[0] = '\0';
    UINT uDisk = fnReadDigitNumber(lpszDisk);
    const char *lpszPos = lpszBody;
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szLabel[CCH_FIELD_BUF];
    while (fnTakeLine(&lpszPos, szLine)) {
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_SKIPREST)
            return FALSE;
        if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
            continue;
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)) || fnReadDigitNumber(szKey) != uDisk)
            continue;
        fnInfParseField(szLine, 1, szLabel, sizeof(szLabel));
        fnExpandOpts(szLabel, sizeof(szLabel));
        fnStripQuotes(szLabel);
        fnCopyBounded(lpszOut, cchOut, szLabel);
        return TRUE;
    }
    return FALSE;
}

const char *fnFindScriptSection(const char *lpszName)
{
    const char *lpszBody = g_lpszInfStart ? fnInfFindSection(g_lpszInfStart, lpszName) : NULL;
    if (!lpszBody && g_lpszNextSection)
        lpszBody = fnInfFindSection(g_lpszNextSection, lpszName);
    return lpszBody;
}

void fnReadCopyConfig(const char *lpszBody, BOOL *lpbFiles, UINT *lpuFiles)
{
    const char *lpszPos = lpszBody;
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    while (fnTakeLine(&lpszPos, szLine)) {
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_SKIPREST)
            return;
        if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
            continue;
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)))
            return;
        fnTrimBlanks(szKey);
        fnInfParseField(szLine, 1, szValue, sizeof(szValue));
        fnTrimBlanks(szValue);
        if (fnEqualNoCase(szKey, "FilesToCopy")) {
            *lpbFiles = TRUE;
            *lpuFiles = fnReadDigitNumber(szValue);
        } else if (fnEqualNoCase(szKey, "BeQuiet")) {
            g_bQuiet = fnUpperAscii(szValue[0]) == 'Y';
        }
    }
}

void fnSetSourceCase(const char *lpszGiven, const char *lpszOnDisk)
{
    s_szSourceKey[0] = '\0';
    if (lpszGiven && lpszOnDisk && fnEqualNoCase(lpszGiven, lpszOnDisk) &&
        fnCopyBounded(s_szSourceTrue, sizeof(s_szSourceTrue), lpszOnDisk))
        fnCopyBounded(s_szSourceKey, sizeof(s_szSourceKey), lpszGiven);
}

BOOL fnResolveLineDir(const char *lpszDir, const char *lpszBase, char *lpszOut, size_t cchOut)
{
    char szPath[CCH_PATH];
    lpszOut[0] = '\0';
    if (!lpszDir[0])
        return fnCopyBounded(lpszOut, cchOut, lpszBase);
    if (fnIsAbsolutePath(lpszDir)) {
        if (!fnCopyBounded(szPath, sizeof(szPath), lpszDir))
            return FALSE;
    } else if (!fnJoinPath(szPath, sizeof(szPath), lpszBase, lpszDir)) {
        return FALSE;
    }
    for (char *p = szPath; *p; p++)
        if (*p == '/')
            *p = '\\';
    /* the root stays as it is: "X:\" or "\\server\share\" */
    size_t nRoot = 0;
    if (szPath[0] && szPath[1] == ':') {
        nRoot = 2;
        if (szPath[2] == '\\')
            nRoot = 3;
    } else if (szPath[0] == '\\' && szPath[1] == '\\') {
        int nSeps = 0;
        for (nRoot = 2; szPath[nRoot] && nSeps < 2; nRoot++)
            if (szPath[nRoot] == '\\')
                nSeps++;
    } else if (szPath[0] == '\\') {
        nRoot = 1;
    }
    char szOut[CCH_PATH];
    fnCopyBoundedN(szOut, sizeof(szOut), szPath, nRoot);
    size_t nKeep = strlen(szOut);
    const char *p = szPath + nRoot;
    while (*p) {
        const char *lpszEnd = strchr(p, '\\');
        size_t n = lpszEnd ? (size_t)(lpszEnd - p) : strlen(p);
        if (n == 0 || (n == 1 && p[0] == '.')) {
            /* nothing: an empty or "." level */
        } else if (n == 2 && p[0] == '.' && p[1] == '.') {
            /* one level up, never above the root */
            size_t nLen = strlen(szOut);
            while (nLen > nKeep && szOut[nLen - 1] != '\\')
                nLen--;
            if (nLen > nKeep)
                nLen--;
            szOut[nLen] = '\0';
        } else {
            size_t nLen = strlen(szOut);
            if (nLen > nKeep && !fnAppendBounded(szOut, sizeof(szOut), "\\"))
                return FALSE;
            char szPart[CCH_PATH];
            fnCopyBoundedN(szPart, sizeof(szPart), p, n);
            if (!fnAppendBounded(szOut, sizeof(szOut), szPart))
                return FALSE;
        }
        p += n;
        if (*p == '\\')
            p++;
    }
    return fnCopyBounded(lpszOut, cchOut, szOut);
}
