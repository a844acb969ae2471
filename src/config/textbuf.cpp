/*
 * config/textbuf.cpp -- the growing text buffer of config/textbuf.h and two
 * case-insensitive text searches the configuration editors share.
 */
#include "config/textbuf.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"

void fnTextBufInit(TextBufStruct *lpBuf)
{
    lpBuf->lpsz = NULL;
    lpBuf->cch = 0;
    lpBuf->cchAlloc = 0;
    lpBuf->bFailed = FALSE;
}

void fnTextBufFree(TextBufStruct *lpBuf)
{
    free(lpBuf->lpsz);
    fnTextBufInit(lpBuf);
}

void fnTextBufReset(TextBufStruct *lpBuf)
{
    lpBuf->cch = 0;
    lpBuf->bFailed = FALSE;
    if (lpBuf->lpsz)
        lpBuf->lpsz[0] = '\0';
}

/* Makes room for cchMore more characters and the terminator. */
static BOOL fnTextBufReserve(TextBufStruct *lpBuf, size_t cchMore)
{
    if (lpBuf->bFailed)
        return FALSE;
    size_t cchNeed = lpBuf->cch + cchMore + 1;
    if (cchNeed <= lpBuf->cchAlloc)
        return TRUE;
    /* doubling keeps a file copied line by line linear in its size */
    size_t cchNew = lpBuf->cchAlloc ? lpBuf->cchAlloc : 256;
    while (cchNew < cchNeed)
        cchNew *= 2;
    char *lpNew = (char *)realloc(lpBuf->lpsz, cchNew);
    if (!lpNew) {
        lpBuf->bFailed = TRUE;
        return FALSE;
    }
    lpBuf->lpsz = lpNew;
    lpBuf->cchAlloc = cchNew;
    return TRUE;
}

BOOL fnTextBufAppendN(TextBufStruct *lpBuf, const char *lpsz, size_t cch)
{
    if (!fnTextBufReserve(lpBuf, cch))
        return FALSE;
    if (cch)
        memcpy(lpBuf->lpsz + lpBuf->cch, lpsz, cch);
    lpBuf->cch += cch;
    lpBuf->lpsz[lpBuf->cch] = '\0';
    return TRUE;
}

BOOL fnTextBufAppend(TextBufStruct *lpBuf, const char *lpsz)
{
    return fnTextBufAppendN(lpBuf, lpsz, lpsz ? strlen(lpsz) : 0);
}

BOOL fnTextBufInsert(TextBufStruct *lpBuf, size_t nPos, const char *lpsz, size_t cch)
{
    if (nPos > lpBuf->cch)
        nPos = lpBuf->cch;
    if (!fnTextBufReserve(lpBuf, cch))
        return FALSE;
    memmove(lpBuf->lpsz + nPos + cch, lpBuf->lpsz + nPos, lpBuf->cch - nPos + 1);
    memcpy(lpBuf->lpsz + nPos, lpsz, cch);
    lpBuf->cch += cch;
    return TRUE;
}

const char *fnTextBufText(const TextBufStruct *lpBuf)
{
    return lpBuf->lpsz ? lpBuf->lpsz : "";
}

const char *fnFindNoCase(const char *lpszText, const char *lpszNeedle)
{
    if (!lpszText || !lpszNeedle || !lpszNeedle[0])
        return NULL;
    size_t cchNeedle = strlen(lpszNeedle);
    for (const char *lpsz = lpszText; *lpsz; lpsz++) {
        if (fnPrefixNoCase(lpsz, lpszNeedle, cchNeedle))
            return lpsz;
    }
    return NULL;
}

BOOL fnBeginsNoCase(const char *lpszText, const char *lpszPrefix)
{
    if (!lpszText || !lpszPrefix || !lpszPrefix[0])
        return FALSE;
    return fnPrefixNoCase(lpszText, lpszPrefix, strlen(lpszPrefix));
}
