/*
 * config/envlist.cpp -- the text edit of an environment value (plain or list)
 * that config/envlist.h describes. Untouched elements are copied character
 * for character, so empty elements, blanks and references such as
 * "%SystemRoot%" survive an edit of a neighbouring element.
 */
#include "config/envlist.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"

/* One element of a list: [nStart, nStart+cch) of the text, blanks around it left out. */
struct EnvElemStruct {
    size_t nStart;   /* first character of the element as written */
    size_t nEnd;     /* behind the element and its ";" when one follows */
    const char *lpszTrim;
    size_t cchTrim;
};

/* Cuts lpszList at ";" into elements (empty ones included); the caller frees *lplpElems. */
static size_t fnSplitElements(const char *lpszList, EnvElemStruct **lplpElems)
{
    size_t cchList = strlen(lpszList);
    size_t nCount = 1;
    for (size_t i = 0; i < cchList; i++)
        nCount += (lpszList[i] == ';');
    EnvElemStruct *lpElems = (EnvElemStruct *)malloc(nCount * sizeof(EnvElemStruct));
    *lplpElems = lpElems;
    if (!lpElems)
        return 0;
    size_t n = 0, nPos = 0;
    for (;;) {
        size_t nSep = nPos;
        while (nSep < cchList && lpszList[nSep] != ';')
            nSep++;
        size_t a = nPos, b = nSep;
        while (a < b && (lpszList[a] == ' ' || lpszList[a] == '\t'))
            a++;
        while (b > a && (lpszList[b - 1] == ' ' || lpszList[b - 1] == '\t'))
            b--;
        lpElems[n].nStart = nPos;
        lpElems[n].nEnd = (nSep < cchList) ? nSep + 1 : nSep;
        lpElems[n].lpszTrim = lpszList + a;
        lpElems[n].cchTrim = b - a;
        n++;
        if (nSep >= cchList)
            break;
        nPos = nSep + 1;
    }
    /* a list that ends in ";" has no element behind it */
    if (n > 1 && lpElems[n - 1].cchTrim == 0 && lpElems[n - 1].nStart == cchList)
        n--;
    return n;
}

static BOOL fnEqualNoCaseN(const char *a, size_t na, const char *b, size_t nb)
{
    return na == nb && fnPrefixNoCase(a, b, na);
}

/* The element expanded into lpBuf (which it resets); FALSE when it cannot be expanded. */
static BOOL fnExpandElement(const char *lpsz, size_t cch, TextBufStruct *lpBuf, char *lpszScratch)
{
    fnTextBufReset(lpBuf);
    if (!fnTextBufAppendN(lpBuf, lpsz, cch))
        return FALSE;
    if (!memchr(lpsz, '%', cch))
        return TRUE;
    if (!g_lpMachine->pfnExpandEnv(fnTextBufText(lpBuf), lpszScratch, CCH_ENV_MAX + 1))
        return FALSE;
    fnTextBufReset(lpBuf);
    return fnTextBufAppend(lpBuf, lpszScratch);
}

/* Whether a list element and a wanted element name the same folder or text. */
static BOOL fnElementsMatch(const EnvElemStruct *lpHave, const EnvElemStruct *lpWant, char *lpszScratch)
{
    if (fnEqualNoCaseN(lpHave->lpszTrim, lpHave->cchTrim, lpWant->lpszTrim, lpWant->cchTrim))
        return TRUE;
    if (!lpszScratch ||
        (!memchr(lpHave->lpszTrim, '%', lpHave->cchTrim) && !memchr(lpWant->lpszTrim, '%', lpWant->cchTrim)))
        return FALSE;
    TextBufGuardStruct have, want;
    if (!fnExpandElement(lpHave->lpszTrim, lpHave->cchTrim, &have.buf, lpszScratch) ||
        !fnExpandElement(lpWant->lpszTrim, lpWant->cchTrim, &want.buf, lpszScratch))
        return FALSE;
    return fnEqualNoCaseN(have.buf.lpsz, have.buf.cch, want.buf.lpsz, want.buf.cch);
}

BOOL fnFindListElements(const char *lpszList, const char *lpszElems, BOOL bExpand, size_t *lpnStart, size_t *lpnEnd)
{
    if (!lpszList || !lpszElems)
        return FALSE;
    EnvElemStruct *lpHave = NULL, *lpWantAll = NULL;
    size_t nHave = fnSplitElements(lpszList, &lpHave);
    size_t nWantAll = fnSplitElements(lpszElems, &lpWantAll);
    /* the wanted run is its non-empty elements */
    size_t nWant = 0;
    for (size_t i = 0; i < nWantAll; i++) {
        if (lpWantAll[i].cchTrim)
            lpWantAll[nWant++] = lpWantAll[i];
    }
    BOOL bFound = FALSE;
    /* without expansion no scratch room is needed; a failed allocation compares as written */
    char *lpszScratch = bExpand ? (char *)malloc(CCH_ENV_MAX + 1) : NULL;
    if (lpHave && lpWantAll && nWant > 0) {
        for (size_t i = 0; !bFound && i + nWant <= nHave; i++) {
            size_t j = 0;
            while (j < nWant && fnElementsMatch(&lpHave[i + j], &lpWantAll[j], lpszScratch))
                j++;
            if (j == nWant) {
                bFound = TRUE;
                *lpnStart = lpHave[i].nStart;
                *lpnEnd = lpHave[i + nWant - 1].nEnd;
            }
        }
    }
    free(lpszScratch);
    free(lpHave);
    free(lpWantAll);
    return bFound;
}

/* lpsz with a ";" behind it unless it is empty or ends in one. */
static BOOL fnAppendWithSemicolon(TextBufStruct *lpBuf, const char *lpsz, size_t cch)
{
    if (!fnTextBufAppendN(lpBuf, lpsz, cch))
        return FALSE;
    if (cch && lpsz[cch - 1] != ';')
        return fnTextBufAppend(lpBuf, ";");
    return TRUE;
}

/* The list text of a list edit; FALSE when memory ran out. */
static BOOL fnBuildListEdit(const char *lpszCur, const char *lpszValue, char cAction, BOOL *lpbKeep,
                            TextBufStruct *lpOut)
{
    size_t cchCur = strlen(lpszCur), cchValue = strlen(lpszValue);
    size_t nStart = 0, nEnd = 0;
    *lpbKeep = FALSE;
    if (fnFindListElements(lpszCur, lpszValue, TRUE, &nStart, &nEnd)) {
        if (cAction == 'S' || cAction == 'N' || cAction == 'R') {
            /* already there: it stays where it is, as it is written */
            *lpbKeep = TRUE;
            return TRUE;
        }
        const char *lpszFound = lpszCur + nStart;
        size_t cchFound = nEnd - nStart;
        const char *lpszRest = lpszCur + nEnd;
        size_t cchRest = cchCur - nEnd;
        if (cAction == 'B' && !fnAppendWithSemicolon(lpOut, lpszFound, cchFound))
            return FALSE;
        if (!fnTextBufAppendN(lpOut, lpszCur, nStart))
            return FALSE;
        if (!fnAppendWithSemicolon(lpOut, lpszRest, cchRest))
            return FALSE;
        if (cAction == 'E' && !fnAppendWithSemicolon(lpOut, lpszFound, cchFound))
            return FALSE;
    } else {
        if (cAction == 'R' || cAction == 'D') {
            *lpbKeep = TRUE;
            return TRUE;
        }
        BOOL bAppend = (cAction == 'E' || cAction == 'N');
        if (!bAppend && !fnAppendWithSemicolon(lpOut, lpszValue, cchValue))
            return FALSE;
        if (!fnAppendWithSemicolon(lpOut, lpszCur, cchCur))
            return FALSE;
        if (bAppend && !fnAppendWithSemicolon(lpOut, lpszValue, cchValue))
            return FALSE;
    }
    /* one trailing ";" goes */
    if (lpOut->cch && lpOut->lpsz[lpOut->cch - 1] == ';')
        lpOut->lpsz[--lpOut->cch] = '\0';
    return TRUE;
}

int fnEditEnvValue(const char *lpszCur, const char *lpszValue, char cAction, BOOL bList, TextBufStruct *lpOut)
{
    fnTextBufReset(lpOut);
    if (!lpszValue)
        lpszValue = "";
    cAction = fnUpperAscii(cAction);
    if (!lpszCur) {
        /* removing or replacing what is not there leaves it not there */
        if (cAction == 'D' || cAction == 'R')
            return ENVEDIT_KEEP;
        size_t cch = strlen(lpszValue);
        if (bList)
            while (cch && lpszValue[cch - 1] == ';')
                cch--;
        if (cch == 0)
            return ENVEDIT_KEEP;
        if (cch > CCH_ENV_MAX)
            return ENVEDIT_TOOLONG;
        return fnTextBufAppendN(lpOut, lpszValue, cch) ? ENVEDIT_WRITE : ENVEDIT_NOMEMORY;
    }
    if (!bList) {
        if (cAction == 'S')
            return ENVEDIT_KEEP;
        if (cAction == 'D' || !lpszValue[0])
            return ENVEDIT_DELETE;
        if (strcmp(lpszCur, lpszValue) == 0)
            return ENVEDIT_KEEP;
        if (strlen(lpszValue) > CCH_ENV_MAX)
            return ENVEDIT_TOOLONG;
        return fnTextBufAppend(lpOut, lpszValue) ? ENVEDIT_WRITE : ENVEDIT_NOMEMORY;
    }
    BOOL bKeep = FALSE;
    if (!fnBuildListEdit(lpszCur, lpszValue, cAction, &bKeep, lpOut) || lpOut->bFailed)
        return ENVEDIT_NOMEMORY;
    if (bKeep)
        return ENVEDIT_KEEP;
    /* the same list, perhaps without a trailing ";" it had, is no change */
    size_t cchCur = strlen(lpszCur);
    size_t cchCurTrim = (cchCur && lpszCur[cchCur - 1] == ';') ? cchCur - 1 : cchCur;
    if (lpOut->cch == cchCurTrim && memcmp(lpOut->lpsz, lpszCur, cchCurTrim) == 0)
        return ENVEDIT_KEEP;
    if (lpOut->cch == 0)
        return ENVEDIT_DELETE;
    if (lpOut->cch > CCH_ENV_MAX)
        return ENVEDIT_TOOLONG;
    return ENVEDIT_WRITE;
}
