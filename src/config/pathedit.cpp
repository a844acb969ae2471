/*
 * config/pathedit.cpp -- the PATH statement editor of config/pathedit.h.
 * Statements are rebuilt with the head the statement word gives ("PATH "),
 * so "SET PATH=C:\DOS" may come back as "PATH C:\NEW;C:\DOS"; both set the
 * same variable.
 */
#include "config/pathedit.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/cfgtext.h"
#include "config/envlist.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"

size_t fnPathStatementHead(const char *lpszLine, const char *lpszName)
{
    static const char *const s_aSetForms[] = {"SET %s = ", "SET %s =", "SET %s= ", "SET %s=",
                                              "@SET %s = ", "@SET %s =", "@SET %s= ", "@SET %s="};
    static const char *const s_aBareForms[] = {"%s = ", "%s =", "%s= ", "%s ", "%s=",
                                               "@%s = ", "@%s =", "@%s= ", "@%s ", "@%s="};
    if (!lpszName || !lpszName[0])
        lpszName = "PATH";
    const char *lpsz = fnSkipBlanks(lpszLine);
    size_t cchLead = (size_t)(lpsz - lpszLine);
    char szForm[CCH_TITLE];
    for (const char *lpszForm : s_aSetForms) {
        fnFormatBounded(szForm, sizeof(szForm), lpszForm, lpszName);
        if (fnBeginsNoCase(lpsz, szForm))
            return cchLead + strlen(szForm);
    }
    /* "PATH C:\DOS" is the PATH command; other variables are only set with SET */
    if (!fnEqualNoCase(lpszName, "PATH"))
        return 0;
    for (const char *lpszForm : s_aBareForms) {
        fnFormatBounded(szForm, sizeof(szForm), lpszForm, lpszName);
        if (fnBeginsNoCase(lpsz, szForm))
            return cchLead + strlen(szForm);
    }
    return 0;
}

/*
 * The head of rebuilt statements and the variable's name from the statement
 * word: "PATH" gives "PATH " and PATH; "SET LIB" gives "SET LIB=" and LIB;
 * an empty word stands for PATH.
 */
static void fnPathHead(const char *lpszWord, char *lpszHead, size_t cchHead, char *lpszName, size_t cchName)
{
    if (!lpszWord || !lpszWord[0])
        lpszWord = "PATH";
    fnCopyBounded(lpszHead, cchHead, lpszWord);
    const char *lpsz = fnSkipBlanks(lpszWord);
    if (*lpsz == '@')
        lpsz++;
    BOOL bSet = fnBeginsNoCase(lpsz, "SET ");
    if (bSet)
        lpsz = fnSkipBlanks(lpsz + 4);
    fnCopyBounded(lpszName, cchName, lpsz);
    size_t cch = strlen(lpszName);
    while (cch && (lpszName[cch - 1] == '=' || lpszName[cch - 1] == ' ' || lpszName[cch - 1] == '\t'))
        lpszName[--cch] = '\0';
    if (!cch)
        fnCopyBounded(lpszName, cchName, "PATH");
    cch = strlen(lpszHead);
    /* the PATH command takes a blank; a SET statement needs its "=" */
    if (!bSet && cch && fnUpperAscii(lpszHead[cch - 1]) == 'H')
        fnAppendBounded(lpszHead, cchHead, " ");
    cch = strlen(lpszHead);
    if (cch && lpszHead[cch - 1] != '=' && lpszHead[cch - 1] != ' ')
        fnAppendBounded(lpszHead, cchHead, "=");
}

/* lpsz without blanks around it, with ";" behind it when it is not empty and has none. */
static BOOL fnElementText(const char *lpsz, size_t cch, TextBufStruct *lpBuf)
{
    if (!fnCopyTrimmed(lpsz, cch, lpBuf))
        return FALSE;
    if (lpBuf->cch && lpBuf->lpsz[lpBuf->cch - 1] != ';')
        return fnTextBufAppend(lpBuf, ";");
    return TRUE;
}

/*
 * The rebuilt text of one statement whose value is lpszValue; *lpbKeep when
 * the statement stays as it is.
 */
static BOOL fnRebuildStatement(const char *lpszHead, const char *lpszValue, const char *lpszTest,
                               const char *lpszNew, char cAction, TextBufStruct *lpOut, BOOL *lpbKeep)
{
    TextBufGuardStruct value;
    if (!fnElementText(lpszValue, strlen(lpszValue), &value.buf))
        return FALSE;
    const char *lpszList = fnTextBufText(&value.buf);
    size_t nStart = 0, nEnd = 0;
    BOOL bFound = lpszTest[0] && fnFindListElements(lpszList, lpszTest, FALSE, &nStart, &nEnd);
    *lpbKeep = FALSE;
    fnTextBufReset(lpOut);
    if (bFound) {
        if (cAction == 'S') {
            *lpbKeep = TRUE;
            return TRUE;
        }
        fnTextBufAppend(lpOut, lpszHead);
        fnTextBufAppendN(lpOut, lpszList, nStart);
        if (cAction != 'D')
            fnTextBufAppend(lpOut, lpszNew);
        fnTextBufAppend(lpOut, lpszList + nEnd);
    } else {
        if (cAction == 'R' || cAction == 'D' || !lpszNew[0]) {
            *lpbKeep = TRUE;
            return TRUE;
        }
        fnTextBufAppend(lpOut, lpszHead);
        if (cAction == 'E') {
            fnTextBufAppend(lpOut, lpszList);
            fnTextBufAppend(lpOut, lpszNew);
        } else {
            fnTextBufAppend(lpOut, lpszNew);
            fnTextBufAppend(lpOut, lpszList);
        }
    }
    if (lpOut->cch && lpOut->lpsz[lpOut->cch - 1] == ';')
        lpOut->lpsz[--lpOut->cch] = '\0';
    return !lpOut->bFailed;
}

BOOL fnEditPathText(const char *lpText, size_t cbText, const char *lpszFile, const char *lpszWord,
                    const char *lpszTest, const char *lpszNew, char cAction, char cPlace, TextBufStruct *lpOut,
                    BOOL *lpbChanged)
{
    *lpbChanged = FALSE;
    fnTextBufReset(lpOut);
    cAction = fnUpperAscii(cAction ? cAction : 'N');
    cPlace = fnUpperAscii(cPlace);
    if (!lpszFile)
        lpszFile = "";
    char szHead[CCH_TITLE], szName[CCH_TITLE];
    fnPathHead(lpszWord, szHead, sizeof(szHead), szName, sizeof(szName));
    if (!lpszNew)
        lpszNew = "";
    /* without a test element the new element itself is looked for, so a second run adds nothing */
    if (!lpszTest || !lpszTest[0])
        lpszTest = lpszNew;
    TextBufGuardStruct test, add, line, built;
    if (!fnElementText(lpszTest, strlen(lpszTest), &test.buf) ||
        !fnElementText(lpszNew, strlen(lpszNew), &add.buf))
        return FALSE;
    CfgTextStruct cfg;
    if (!fnSplitCfgText(lpText, cbText, &cfg))
        return FALSE;
    BOOL bOk = fnTextBufAppendN(lpOut, "", 0);
    BOOL bStatement = FALSE;
    size_t nCopied = 0;   /* bytes of the input already in the output */
    for (size_t n = 0; bOk && n < cfg.nLines; n++) {
        if (!fnCfgLineText(&cfg, n, &line.buf)) {
            bOk = FALSE;
            break;
        }
        size_t cchHead = fnPathStatementHead(fnTextBufText(&line.buf), szName);
        if (!cchHead)
            continue;
        bStatement = TRUE;
        BOOL bKeep = FALSE;
        if (!fnRebuildStatement(szHead, line.buf.lpsz + cchHead, fnTextBufText(&test.buf),
                                fnTextBufText(&add.buf), cAction, &built.buf, &bKeep)) {
            bOk = FALSE;
            break;
        }
        if (bKeep || strcmp(fnTextBufText(&built.buf), fnTextBufText(&line.buf)) == 0)
            continue;
        if (built.buf.cch > CCH_ENV_MAX) {
            fnDebugLog("fnEditPath", "The rebuilt statement would pass %u characters:\n%s", g_uDebugLevel,
                       (unsigned)CCH_ENV_MAX, lpszFile);
            bOk = FALSE;
            break;
        }
        const CfgLineStruct *lpLine = &cfg.lpLines[n];
        /* lines before this one go across unchanged; the statement keeps its own line end */
        bOk = fnTextBufAppendN(lpOut, lpText + nCopied, lpLine->nStart - nCopied) &&
              fnTextBufAppendN(lpOut, built.buf.lpsz, built.buf.cch) &&
              fnTextBufAppendN(lpOut, lpText + lpLine->nStart + lpLine->cchText, lpLine->cchEol);
        nCopied = lpLine->nStart + lpLine->cchText + lpLine->cchEol;
        *lpbChanged = TRUE;
        fnWriteLog("%s, \"%s\", \"%s\", \"%s\"", FALSE, lpszFile, szHead, fnTextBufText(&test.buf),
                   fnTextBufText(&line.buf));
        fnWriteLog(",\"%s\", P", TRUE, fnTextBufText(&built.buf));
    }
    if (bOk && !bStatement && cAction != 'R' && cAction != 'D' && lpszNew[0]) {
        /* a file without a statement gains one */
        size_t nBefore = (cPlace == 'A') ? fnEchoOffPlace(&cfg) : (cPlace == 'B') ? 0 : cfg.nLines;
        size_t nAt = (nBefore < cfg.nLines) ? cfg.lpLines[nBefore].nStart : cfg.nBodyEnd;
        fnTextBufReset(&built.buf);
        if (nAt == cfg.nBodyEnd && nAt > 0 && lpText[nAt - 1] != '\n' && lpText[nAt - 1] != '\r')
            fnTextBufAppend(&built.buf, cfg.lpszEol);
        fnTextBufAppend(&built.buf, szHead);
        fnTextBufAppend(&built.buf, lpszNew);
        fnTextBufAppend(&built.buf, cfg.lpszEol);
        bOk = !built.buf.bFailed && fnTextBufAppendN(lpOut, lpText, nAt) &&
              fnTextBufAppendN(lpOut, built.buf.lpsz, built.buf.cch);
        nCopied = nAt;
        *lpbChanged = TRUE;
        fnWriteLog("%s, \"%s\", \"%s\",\"\", \"%s\", P", TRUE, lpszFile, szHead, fnTextBufText(&test.buf),
                   lpszNew);
    }
    if (bOk)
        bOk = fnTextBufAppendN(lpOut, lpText + nCopied, cbText - nCopied);
    fnFreeCfgText(&cfg);
    return bOk && !lpOut->bFailed;
}

BOOL fnEditPath(const char *lpszFile, const char *lpszTempFile, const char *lpszWord, const char *lpszTest,
                const char *lpszNew, const char *lpszAction, const char *lpszPlace, BOOL *lpbChanged)
{
    BOOL bChanged = FALSE;
    TextBufGuardStruct src, out;
    DWORD dwError = 0;
    BOOL bOk = fnReadWholeFile(lpszFile, &src.buf, &dwError);
    if (!bOk)
        fnDebugLog("fnEditPath", "Cannot read %s,\ndwError=%lu", g_uDebugLevel, lpszFile, (unsigned long)dwError);
    if (bOk)
        bOk = fnEditPathText(src.buf.lpsz, src.buf.cch, lpszFile, lpszWord, lpszTest, lpszNew,
                             lpszAction ? lpszAction[0] : 'N', lpszPlace ? lpszPlace[0] : 'E', &out.buf, &bChanged);
    if (bOk)
        bOk = fnWriteWholeFile(lpszTempFile, out.buf.lpsz, out.buf.cch);
    fnDebugLog("fnEditPath", "lpszFile=%s,\nlpszTempFile=%s,\nlpszWord=%s,\nlpszTest=%s,\nlpszNew=%s,\nbOk=%d,\n"
               "bChanged=%d", g_uDebugLevel, lpszFile, lpszTempFile, lpszWord ? lpszWord : "",
               lpszTest ? lpszTest : "", lpszNew ? lpszNew : "", bOk, bChanged);
    if (lpbChanged)
        *lpbChanged = bChanged;
    return bOk;
}
