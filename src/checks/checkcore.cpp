/*
 * checks/checkcore.cpp -- the readers of the precondition and check-for
 * sections and the text search over files. The decisions follow the
 * sections' documented rules; the few places where they differ from a
 * literal reading say why.
 */
#include "checks/checkcore.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "common/tgfile.h"
#include "driver/debuglog.h"
#include "install/vertext.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/textmodel.h"

const SectionKeyStruct g_aVersionTestKeys[] = {{"WinVS", VTKEY_WINVS},
                                               {"WinVSX", VTKEY_WINVSX},
                                               {"WinMajor", VTKEY_WINMAJOR},
                                               {"WinMinor", VTKEY_WINMINOR},
                                               {"Message", VTKEY_MESSAGE},
                                               {NULL, 0}};
const SectionKeyStruct g_aFileCheckKeys[] = {{"File", FCKEY_FILE}, {NULL, 0}};
const SectionKeyStruct g_aCheckForKeys[] = {{"File", CFKEY_FILE},
                                            {"FileEx", CFKEY_FILEEX},
                                            {"TestFor", CFKEY_TESTFOR},
                                            {"TestFor2", CFKEY_TESTFOR2},
                                            {NULL, 0}};

namespace {

BOOL fnNoFile(const char *) { return FALSE; }
int fnNoDate(const char *) { return 0; }
int fnNoAnswer(UINT, const char *) { return CHKANS_CANCEL; }
const CheckOpsStruct s_noOps = {fnNoFile, fnNoDate, fnNoAnswer};

/* Field nField as written, cut to cchOut; FALSE (and empty) when the line has no such field. */
BOOL fnRaw(char *lpszLine, int nField, char *lpszOut, size_t cchOut)
{
    char szField[CCH_FIELD_BUF];
    BOOL bHave = fnInfParseField(lpszLine, nField, szField, sizeof(szField)) ? TRUE : FALSE;
    fnCopyBounded(lpszOut, cchOut, bHave ? szField : "");
    return bHave;
}

/* Field nField expanded (quotes removed), cut to cchOut; FALSE when missing. */
BOOL fnExpanded(char *lpszLine, int nField, char *lpszOut, size_t cchOut)
{
    char szField[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, nField, szField, sizeof(szField))) {
        lpszOut[0] = '\0';
        return FALSE;
    }
    fnExpandOpts(szField, sizeof(szField));
    fnStripQuotes(szField);
    fnCopyBounded(lpszOut, cchOut, szField);
    return TRUE;
}

/* A text that is replaced by its expansion only when every option had a value. */
void fnTextField(char *lpszLine, int nField, char *lpszOut, size_t cchOut)
{
    char szField[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, nField, szField, sizeof(szField))) {
        lpszOut[0] = '\0';
        return;
    }
    char szExpanded[CCH_FIELD_BUF];
    fnCopyBounded(szExpanded, sizeof(szExpanded), szField);
    if (fnExpandOpts(szExpanded, sizeof(szExpanded)) == EXPAND_OK)
        fnCopyBounded(lpszOut, cchOut, szExpanded);
    else
        fnCopyBounded(lpszOut, cchOut, szField);
}

/* The text of message 1126 "File %s %s.\n%s". */
void fnFileMessage(char *lpszOut, size_t cchOut, const char *lpszFile, const char *lpszWord, const char *lpszMessage)
{
    char szFormat[CCH_MSG];
    if (g_lpMachine->pfnLoadString(1126, szFormat, sizeof(szFormat)) <= 0)
        fnCopyBounded(szFormat, sizeof(szFormat), "File %s %s.\n%s");
    fnFormatBounded(lpszOut, cchOut, szFormat, lpszFile, lpszWord, lpszMessage);
}

void fnDefaultText(UINT uId, char *lpszOut, size_t cchOut)
{
    if (g_lpMachine->pfnLoadString(uId, lpszOut, cchOut) <= 0 && cchOut)
        lpszOut[0] = '\0';
}

struct PromptWordStruct {
    const char *lpszWord;
    UINT uPrompt;
    int nActAnswer;   /* for a file check: the answer that keeps the run going */
    int nRetry;       /* -1 leaves the retry flag, else its new value */
};

const PromptWordStruct s_prompts[] = {
    {"OK", CHKPROMPT_OK, CHKANS_OK, -1},
    {"OKINFO", CHKPROMPT_OKINFO, CHKANS_CANCEL, 0},
    {"OKCANCEL", CHKPROMPT_OKCANCEL, CHKANS_CANCEL, -1},
    {"YESNO", CHKPROMPT_YESNO, CHKANS_NO, -1},
    {"YESNOCANCEL", CHKPROMPT_YESNOCANCEL, CHKANS_CANCEL, -1},
    {"RETRYCANCEL", CHKPROMPT_RETRYCANCEL, CHKANS_CANCEL, 1},
    {"RETRYCONTINUE", CHKPROMPT_RETRYCONTINUE, CHKANS_CONTINUE, 1},
    {"RETRYEXIT", CHKPROMPT_RETRYEXIT, CHKANS_EXIT, 1},
    {"CANCEL", CHKPROMPT_CANCEL, CHKANS_OK, 0},
};

const PromptWordStruct *fnFindPrompt(const char *lpszWord)
{
    for (const PromptWordStruct &p : s_prompts) {
        if (fnEqualNoCase(lpszWord, p.lpszWord))
            return &p;
    }
    return NULL;
}

/* Shows a prompt, or in a quiet run gives the answer the caller names. */
int fnAskUser(UINT uPrompt, const char *lpszText, int nQuietAnswer)
{
    if (g_bQuiet) {
        fnDebugLog("fnAskUser", "Quiet run, answer %d taken for: %s", g_uDebugLevel, nQuietAnswer, lpszText);
        return nQuietAnswer;
    }
    return g_lpCheckOps->pfnAsk(uPrompt, lpszText);
}

BOOL fnIsFile(const char *lpszPath)
{
    return lpszPath[0] && g_lpCheckOps->pfnIsFile(lpszPath);
}

/* Results of fnNextKeyedLine */
enum { KEYED_END = 0, KEYED_LINE = 1, KEYED_ENDED = 2 };

/*
 * The next line of a check section that its condition lets run and that has
 * a key (lines without one are passed over); the line stays in lpszLine
 * with the condition taken off and its key in lpszKey. KEYED_ENDED when a
 * condition ended the section.
 */
UINT fnNextKeyedLine(const char **lplpszPos, char *lpszLine, char *lpszKey)
{
    while (*lplpszPos && **lplpszPos) {
        *lplpszPos = fnInfGetNextLine(*lplpszPos, lpszLine, CCH_LINE_BUF);
        if (!*lplpszPos || !lpszLine[0])
            break;
        UINT uTest = fnInfTestIfTwoFields(lpszLine);
        if (uTest == IDTEST_SKIPREST)
            return KEYED_ENDED;
        if (uTest == IDTEST_GOON || uTest == IDTEST_FALSE)
            continue;
        if (fnInfParseField(lpszLine, 0, lpszKey, CCH_FIELD_BUF) && lpszKey[0])
            return KEYED_LINE;
    }
    return KEYED_END;
}

}  // namespace

const CheckOpsStruct *g_lpCheckOps = &s_noOps;
BOOL g_bCheckFailed;

/* ---------------------------------------------------------------- version test */

UINT fnVersionTest(const char *lpszSection, const char *lpszName)
{
    g_bCheckFailed = FALSE;
    BOOL bTest = FALSE, bMessage = FALSE;
    char szNumber[16] = "", szWord[8] = "", szTestText[CCH_MSG] = "", szMessage[CCH_MSG] = "";
    UINT uSystem = 0, uType = CHKPROMPT_EXIT;
    const OSInfoStruct *lpOS = &g_OSInfo;

    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)) || !szKey[0]) {
            fnDebugLog("fnVersionTest", "Line without a key: %s", g_uDebugLevel, szLine);
            return 0;
        }
        int nKey = fnFindSectionKey(g_aVersionTestKeys, szKey);
        if (nKey < 0)
            break;
        if (nKey == VTKEY_MESSAGE) {
            fnTextField(szLine, 1, szMessage, sizeof(szMessage));
            char szFlag[4];
            fnRaw(szLine, 2, szFlag, sizeof(szFlag));
            uType = (szFlag[0] == 'Y' || szFlag[0] == 'y') ? CHKPROMPT_EXITCONTINUE : CHKPROMPT_EXIT;
            bMessage = TRUE;
        } else {
            fnRaw(szLine, 1, szNumber, sizeof(szNumber));
            if (!fnRaw(szLine, 2, szWord, sizeof(szWord)) || !szWord[0])
                fnCopyBounded(szWord, sizeof(szWord), "EQ");
            for (char *p = szWord; *p; p++)
                *p = fnUpperAscii(*p);
            fnTextField(szLine, 3, szTestText, sizeof(szTestText));
            switch (nKey) {
            case VTKEY_WINVS: uSystem = lpOS->uWinFamily; break;
            case VTKEY_WINVSX: uSystem = lpOS->uWinIndex; break;
            case VTKEY_WINMAJOR: uSystem = lpOS->dwWinMajor & 0xFFFF; break;
            default: uSystem = lpOS->dwWinMinor & 0xFFFF; break;
            }
            bTest = TRUE;
        }
        if (!(bTest && bMessage))
            continue;
        /* the number from the line stands first: "5,GE" on the major version holds when 5 >= major */
        BOOL bHolds = fnTestVersion(szNumber, szWord, uSystem) == 1;
        fnDebugLog("fnVersionTest", "%s %s %u: %d", g_uDebugLevel, szNumber, szWord, uSystem, bHolds);
        bTest = bMessage = FALSE;
        if (bHolds)
            continue;
        char szText[2 * CCH_MSG + 2];
        fnFormatBounded(szText, sizeof(szText), "%s\n%s", szTestText, szMessage);
        if (fnAskUser(uType, szText, CHKANS_EXIT) == CHKANS_EXIT) {
            g_bCheckFailed = TRUE;
            return 7;
        }
    }
    return 1;
}

/* ---------------------------------------------------------------- file check */

UINT fnFileCheck(const char *lpszSection, const char *lpszName)
{
    g_bCheckFailed = FALSE;
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF];
    while (fnNextKeyedLine(&lpszPos, szLine, szKey) == KEYED_LINE) {

        char szPath[CCH_PATH] = "", szMode[8] = "", szVersion[CCH_TITLE] = "", szPrompt[16] = "",
             szMessage[CCH_MSG] = "";
        BOOL bKnown = fnFindSectionKey(g_aFileCheckKeys, szKey) == FCKEY_FILE;
        if (bKnown) {
            fnExpanded(szLine, 1, szPath, sizeof(szPath));
            fnRaw(szLine, 2, szMode, sizeof(szMode));
            fnExpanded(szLine, 3, szVersion, sizeof(szVersion));
            fnRaw(szLine, 4, szPrompt, sizeof(szPrompt));
            fnTextField(szLine, 5, szMessage, sizeof(szMessage));
            if (!szMessage[0])
                fnDefaultText(1127, szMessage, sizeof(szMessage));
        }
        BOOL bGo = fnEqualNoCase(szMode, "GO");
        BOOL bExists = fnIsFile(szPath);
        BOOL bPass = bExists;
        const char *lpszWord = bExists ? "found" : "not found";
        if (bExists && szVersion[0]) {
            int nCmp = g_lpMachine->pfnCmpFileVersion ? g_lpMachine->pfnCmpFileVersion(szPath, szVersion) : 2;
            bPass = (nCmp == VERCMP_EQUAL || nCmp == VERCMP_NEWER);
            lpszWord = bPass ? "is an acceptable version" : "is an unacceptable version";
        }
        fnDebugLog("fnFileCheck", "szPath=%s, szVersion=%s, bPass=%d, bGo=%d", g_uDebugLevel, szPath, szVersion, bPass,
                   bGo);
        /* another key ends the section as a failed test of a missing file */
        g_bCheckFailed = !bGo;
        if (!bKnown)
            return 7;
        if (bPass == bGo) {
            /*
             * This line's outcome ends the run unless the user keeps it going.
             * It ends the run here and now: a later line that passes must not
             * wipe out a requirement this one found missing.
             */
            const PromptWordStruct *lpPrompt = fnFindPrompt(szPrompt);
            BOOL bShown = lpPrompt && lpPrompt->uPrompt <= CHKPROMPT_YESNOCANCEL;
            if (!bShown)
                return 7;
            char szText[CCH_LINE_BUF];
            fnFileMessage(szText, sizeof(szText), szPath, lpszWord, szMessage);
            /* the answer that keeps the run going; an OK box never gives it */
            int nKeepGoing = lpPrompt->uPrompt == CHKPROMPT_YESNO ? CHKANS_NO : CHKANS_CANCEL;
            if (fnAskUser(lpPrompt->uPrompt, szText, CHKANS_OK) != nKeepGoing)
                return 7;
        }
    }
    return 1;
}

/* ---------------------------------------------------------------- strings in files */

#define CB_STRBLOCK 65500

int fnIsStringInFile(const char *lpszFile, const char *lpszText, BOOL bIgnoreCase)
{
    size_t cchText = lpszText ? strlen(lpszText) : 0;
    if (cchText < 2 || cchText > CB_STRBLOCK - 1)
        return STRFILE_BADTEXT;
    if (!lpszFile || !fnIsFile(lpszFile))
        return STRFILE_NOFILE;
    TGFILE hFile = fnFileOpenRead(lpszFile);
    if (!hFile)
        return STRFILE_NOOPEN;
    /*
     * The last cchText - 1 bytes of a block stay in front of the next one, so a
     * text that straddles two blocks is found without moving the file back
     * (which a 32-bit position could not do past 4 GB).
     */
    size_t cbKeep = cchText - 1;
    unsigned char *lpBuf = (unsigned char *)calloc(cbKeep + CB_STRBLOCK + 2, 1);
    if (!lpBuf) {
        fnFileClose(hFile);
        return STRFILE_NOOPEN;
    }
    unsigned char abFirst[2] = {(unsigned char)lpszText[0], (unsigned char)fnUpperAscii(lpszText[0])};
    if (bIgnoreCase && abFirst[0] >= 'A' && abFirst[0] <= 'Z')
        abFirst[0] = (unsigned char)(abFirst[0] - 'A' + 'a');
    int nResult = STRFILE_NOTFOUND;
    size_t cbHave = 0;
    for (;;) {
        DWORD cbRead = 0;
        if (!fnFileRead(hFile, lpBuf + cbHave, CB_STRBLOCK, &cbRead))
            cbRead = 0;
        size_t cbAll = cbHave + cbRead;
        for (size_t i = 0; cbAll >= cchText && i <= cbAll - cchText; i++) {
            unsigned char c = lpBuf[i];
            if (bIgnoreCase ? (c != abFirst[0] && c != abFirst[1]) : c != (unsigned char)lpszText[0])
                continue;
            size_t k = 1;
            for (; k < cchText; k++) {
                char cFile = (char)lpBuf[i + k];
                if (bIgnoreCase ? fnUpperAscii(cFile) != fnUpperAscii(lpszText[k]) : cFile != lpszText[k])
                    break;
            }
            if (k == cchText) {
                nResult = STRFILE_FOUND;
                break;
            }
        }
        if (nResult == STRFILE_FOUND || cbRead < CB_STRBLOCK)
            break;
        cbHave = cbAll < cbKeep ? cbAll : cbKeep;
        memmove(lpBuf, lpBuf + cbAll - cbHave, cbHave);
    }
    free(lpBuf);
    fnFileClose(hFile);
    fnDebugLog("fnIsStringInFile", "lpszFile=%s, nResult=%d", g_uDebugLevel, lpszFile, nResult);
    return nResult;
}

UINT fnStringTest(const char *lpszSection, const char *lpszName)
{
    g_bCheckFailed = FALSE;
    g_uStrTestResult[0] = 1;
    for (int i = 1; i < STRTEST_ENTRIES; i++)
        g_uStrTestResult[i] = 9;
    int nLine = 0;
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        nLine++;
        int b = 0;
        char szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
        if (fnInfParseField(szLine, 0, szKey, sizeof(szKey))) {
            fnRaw(szLine, 1, szValue, sizeof(szValue));
            UINT uTest = fnInfTestField(szKey, szValue);
            if (uTest == IDTEST_SKIPREST)
                return 0;
            if (uTest == IDTEST_GOON || uTest == IDTEST_FALSE)
                continue;
            b = 1;
        }
        char szFile[CCH_PATH], szText[CCH_FIELD_BUF], szCase[4], szAction[16];
        if (!fnExpanded(szLine, b + 1, szFile, sizeof(szFile)) || !fnInfParseField(szLine, b + 2, szText, sizeof(szText))) {
            fnDebugLog("fnStringTest", "Missing file or text: %s", g_uDebugLevel, szLine);
            return 0;
        }
        fnExpandOpts(szText, sizeof(szText));
        fnStripQuotes(szText);
        fnRaw(szLine, b + 3, szCase, sizeof(szCase));
        fnRaw(szLine, b + 4, szAction, sizeof(szAction));
        int nResult = fnIsStringInFile(szFile, szText, szCase[0] == 'Y' || szCase[0] == 'y');
        if (nLine < STRTEST_ENTRIES)
            g_uStrTestResult[nLine] = (UINT)nResult;
        if (nResult == STRFILE_FOUND)
            g_uStrTestResult[0] = 0;
        BOOL bMatch = fnPrefixNoCase(szAction, "EXITMATCH", 9);
        BOOL bNoMatch = fnPrefixNoCase(szAction, "EXITNOMATCH", 11);
        BOOL bNoFile = fnPrefixNoCase(szAction, "EXITNOFILE", 10);
        BOOL bError = fnPrefixNoCase(szAction, "EXITERROR", 9);
        BOOL bEnd = (nResult == STRFILE_FOUND && bMatch) || (nResult == STRFILE_NOTFOUND && bNoMatch) ||
                    (nResult == STRFILE_NOFILE && bNoFile) || (nResult >= STRFILE_BADTEXT && (bError || bNoMatch || bNoFile));
        fnDebugLog("fnStringTest", "szFile=%s, nResult=%d, szAction=%s, bEnd=%d", g_uDebugLevel, szFile, nResult,
                   szAction, bEnd);
        /* a search that could not be made ends the run as a failure; a found or missing text by design */
        if (bEnd) {
            g_bCheckFailed = nResult >= STRFILE_NOFILE;
            return 7;
        }
    }
    return 1;
}

/* ---------------------------------------------------------------- check-for */

BOOL fnDateHolds(const char *lpszWord, int nDate)
{
    if (nDate < 1 || nDate > 3)
        return FALSE;
    static const struct {
        const char *lpszWord;
        unsigned uMask;  /* bit n: result n holds */
    } s_rules[] = {{"LE", 0xA}, {"GE", 0xC}, {"LT", 0x2}, {"GT", 0x4}, {"NE", 0x6}, {"EQ", 0x8}};
    for (const auto &r : s_rules) {
        if (fnEqualNoCase(lpszWord, r.lpszWord))
            return (r.uMask >> nDate) & 1;
    }
    return FALSE;
}

UINT fnCheckFor(const char *lpszSection, const char *lpszName)
{
    g_bCheckFailed = TRUE;
    BOOL bFound = TRUE, bRetry = FALSE;
    /* the last test's values, which the end decision reads */
    BOOL bPass = TRUE, bExists = FALSE, bExit = TRUE, bDateFailed = FALSE;

    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF];
    UINT uNext;
    while ((uNext = fnNextKeyedLine(&lpszPos, szLine, szKey)) == KEYED_LINE) {
        int nKey = fnFindSectionKey(g_aCheckForKeys, szKey);
        if (nKey < 0)
            break;

        /* the fields of the key's row: file1, file2, date, flags, message, prompt */
        static const int s_fields[][6] = {
            {0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 2, 3}, {1, 0, 2, 3, 4, 5}, {1, 0, 0, 2, 3, 4}, {1, 2, 0, 3, 4, 5}};
        const int *f = s_fields[nKey];
        char szFile1[CCH_PATH], szFile2[CCH_PATH] = "", szDate[8] = "NC", szFlags[8] = "", szMessage[512] = "",
             szPrompt[16] = "";
        BOOL bHaveFile = fnExpanded(szLine, f[0], szFile1, sizeof(szFile1));
        if (!bHaveFile && nKey != CFKEY_FILEEX)
            continue;
        if (f[1])
            fnExpanded(szLine, f[1], szFile2, sizeof(szFile2));
        if (f[2] && (!fnRaw(szLine, f[2], szDate, sizeof(szDate)) || !szDate[0]))
            fnCopyBounded(szDate, sizeof(szDate), "NC");

        BOOL bPrompt = bHaveFile, bFileFormat = TRUE;
        bExists = FALSE;
        bExit = TRUE;
        bPass = TRUE;
        bDateFailed = FALSE;
        if (nKey == CFKEY_TESTFOR || nKey == CFKEY_TESTFOR2) {
            bPrompt = bFileFormat = bExit = bRetry = TRUE;
        }
        if (f[3] && fnRaw(szLine, f[3], szFlags, sizeof(szFlags))) {
            BOOL *lpFlags[5] = {&bPrompt, &bFileFormat, &bExists, &bExit, &bRetry};
            size_t cch = strlen(szFlags);
            for (size_t i = 0; i < 5; i++)
                *lpFlags[i] = !(i < cch && (szFlags[i] == 'N' || szFlags[i] == 'n'));
        }
        const PromptWordStruct *lpPrompt = fnFindPrompt("OK");
        if (bPrompt) {
            fnTextField(szLine, f[4], szMessage, sizeof(szMessage));
            if (!szMessage[0])
                fnDefaultText(nKey <= CFKEY_FILEEX ? 1127 : 1128, szMessage, sizeof(szMessage));
            if (!fnRaw(szLine, f[5], szPrompt, sizeof(szPrompt)) || !szPrompt[0])
                fnCopyBounded(szPrompt, sizeof(szPrompt), nKey <= CFKEY_FILEEX ? "OK" : "YESNO");
            const PromptWordStruct *lpWord = fnFindPrompt(szPrompt);
            if (lpWord)
                lpPrompt = lpWord;
            if (lpPrompt->nRetry >= 0)
                bRetry = lpPrompt->nRetry ? TRUE : FALSE;
        }

        /* the file found is the one the prompt names */
        const char *lpszFound = szFile1;
        BOOL bPresent = fnIsFile(szFile1);
        if (!bPresent && szFile2[0] && fnIsFile(szFile2)) {
            bPresent = TRUE;
            lpszFound = szFile2;
        }
        const char *lpszWord;
        if (!bPresent) {
            bFound = bPass = FALSE;
            lpszWord = "does not exist";
            if (bExists)
                bPrompt = FALSE;
        } else {
            bFound = bPass = TRUE;
            lpszWord = "exists";
            if (!fnEqualNoCase(szDate, "NC")) {
                bPass = fnDateHolds(szDate, g_lpCheckOps->pfnFileDate(lpszFound));
                bDateFailed = !bPass;
            }
            if (bPass && !bExists)
                bPrompt = FALSE;
        }
        fnDebugLog("fnCheckFor", "szFile1=%s, bFound=%d, bPass=%d, bPrompt=%d, bExists=%d, bExit=%d, bRetry=%d",
                   g_uDebugLevel, szFile1, bFound, bPass, bPrompt, bExists, bExit, bRetry);
        if (!bPrompt)
            continue;
        char szText[CCH_LINE_BUF];
        if (bFileFormat)
            fnFileMessage(szText, sizeof(szText), lpszFound, lpszWord, szMessage);
        else
            fnCopyBounded(szText, sizeof(szText), szMessage);
        if (fnAskUser(lpPrompt->uPrompt, szText, lpPrompt->nActAnswer) == lpPrompt->nActAnswer)
            return (bExit && bFound == bExists) ? 7 : 1;
    }

    if (uNext == KEYED_ENDED)
        return 1;
    if (!bPass && bRetry) {
        /*
         * Start again only when the last test's outcome is the one its prompt
         * was about (or a date test failed): a missing file whose prompt was
         * about an existing one would otherwise start the script over forever.
         */
        if (bFound == bExists || bDateFailed)
            return 3;
    }
    if (bFound && bPass)
        return (bRetry && bExists) ? 3 : (bExit && bExists) ? 7 : 1;
    return (bExit && !bExists) ? 7 : 1;
}
