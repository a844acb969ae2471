/*
 * config/cfgtext.cpp -- whole configuration files in memory, cut into lines
 * that keep their own line ends (config/cfgtext.h).
 */
#include "config/cfgtext.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/tgfile.h"

BOOL fnSplitCfgText(const char *lpText, size_t cbText, CfgTextStruct *lpCfg)
{
    lpCfg->lpText = lpText;
    lpCfg->cbText = cbText;
    lpCfg->lpLines = NULL;
    lpCfg->nLines = 0;
    lpCfg->lpszEol = "\r\n";
    /* a DOS end-of-file mark stays the last byte; lines added at the end go before it */
    lpCfg->nBodyEnd = (cbText && lpText[cbText - 1] == 0x1A) ? cbText - 1 : cbText;
    size_t nCount = 1;
    for (size_t i = 0; i < lpCfg->nBodyEnd; i++)
        nCount += (lpText[i] == '\n');
    lpCfg->lpLines = (CfgLineStruct *)malloc(nCount * sizeof(CfgLineStruct));
    if (!lpCfg->lpLines)
        return FALSE;
    BOOL bEolSeen = FALSE;
    size_t nPos = 0;
    while (nPos < lpCfg->nBodyEnd) {
        const char *lpNl = (const char *)memchr(lpText + nPos, '\n', lpCfg->nBodyEnd - nPos);
        CfgLineStruct *lpLine = &lpCfg->lpLines[lpCfg->nLines++];
        lpLine->nStart = nPos;
        if (!lpNl) {
            lpLine->cchText = lpCfg->nBodyEnd - nPos;
            lpLine->cchEol = 0;
            break;
        }
        size_t nNl = (size_t)(lpNl - lpText);
        BOOL bCr = (nNl > nPos && lpText[nNl - 1] == '\r');
        lpLine->cchText = nNl - nPos - (bCr ? 1 : 0);
        lpLine->cchEol = bCr ? 2 : 1;
        if (!bEolSeen) {
            lpCfg->lpszEol = bCr ? "\r\n" : "\n";
            bEolSeen = TRUE;
        }
        nPos = nNl + 1;
    }
    return TRUE;
}

void fnFreeCfgText(CfgTextStruct *lpCfg)
{
    free(lpCfg->lpLines);
    lpCfg->lpLines = NULL;
    lpCfg->nLines = 0;
}

BOOL fnCfgLineText(const CfgTextStruct *lpCfg, size_t n, TextBufStruct *lpBuf)
{
    fnTextBufReset(lpBuf);
    const CfgLineStruct *lpLine = &lpCfg->lpLines[n];
    /* an empty append still makes the text "" rather than NULL */
    return fnTextBufAppendN(lpBuf, lpCfg->lpText + lpLine->nStart, lpLine->cchText);
}

BOOL fnCfgLineIsBlank(const CfgTextStruct *lpCfg, size_t n)
{
    const CfgLineStruct *lpLine = &lpCfg->lpLines[n];
    for (size_t i = 0; i < lpLine->cchText; i++) {
        char c = lpCfg->lpText[lpLine->nStart + i];
        if (c != ' ' && c != '\t')
            return FALSE;
    }
    return TRUE;
}

BOOL fnReadWholeFile(const char *lpszFile, TextBufStruct *lpBuf, DWORD *lpdwError)
{
    fnTextBufReset(lpBuf);
    if (lpdwError)
        *lpdwError = 0;
    TGFILE hFile = fnFileOpenRead(lpszFile);
    if (!hFile) {
        if (lpdwError)
            *lpdwError = fnFileLastError();
        return FALSE;
    }
    BOOL bOk = fnTextBufAppendN(lpBuf, "", 0);
    char abBlock[65536];
    for (;;) {
        DWORD cbRead = 0;
        if (!fnFileRead(hFile, abBlock, sizeof(abBlock), &cbRead)) {
            if (lpdwError)
                *lpdwError = fnFileLastError();
            bOk = FALSE;
            break;
        }
        if (cbRead == 0)
            break;
        if (lpBuf->cch + cbRead > CB_CFGFILE_MAX || !fnTextBufAppendN(lpBuf, abBlock, cbRead)) {
            bOk = FALSE;
            break;
        }
    }
    fnFileClose(hFile);
    return bOk;
}

BOOL fnWriteWholeFile(const char *lpszFile, const char *lpText, size_t cch)
{
    TGFILE hFile = fnFileCreate(lpszFile);
    if (!hFile)
        return FALSE;
    BOOL bOk = TRUE;
    size_t nPos = 0;
    while (bOk && nPos < cch) {
        DWORD cbChunk = (DWORD)((cch - nPos) > (1u << 20) ? (1u << 20) : (cch - nPos));
        bOk = fnFileWrite(hFile, lpText + nPos, cbChunk, NULL);
        nPos += cbChunk;
    }
    fnFileClose(hFile);
    return bOk;
}

const char *fnSkipBlanks(const char *lpsz)
{
    while (*lpsz == ' ' || *lpsz == '\t')
        lpsz++;
    return lpsz;
}

BOOL fnCopyTrimmed(const char *lpsz, size_t cch, TextBufStruct *lpBuf)
{
    fnTextBufReset(lpBuf);
    size_t a = 0, b = cch;
    while (a < b && (lpsz[a] == ' ' || lpsz[a] == '\t'))
        a++;
    while (b > a && (lpsz[b - 1] == ' ' || lpsz[b - 1] == '\t'))
        b--;
    return fnTextBufAppendN(lpBuf, lpsz + a, b - a);
}

/* Whether line n, after blanks, begins with lpszPrefix (case ignored). */
static BOOL fnCfgLineBegins(const CfgTextStruct *lpCfg, size_t n, const char *lpszPrefix)
{
    const CfgLineStruct *lpLine = &lpCfg->lpLines[n];
    size_t i = 0;
    while (i < lpLine->cchText && (lpCfg->lpText[lpLine->nStart + i] == ' ' || lpCfg->lpText[lpLine->nStart + i] == '\t'))
        i++;
    size_t cchPrefix = strlen(lpszPrefix);
    return lpLine->cchText - i >= cchPrefix && fnPrefixNoCase(lpCfg->lpText + lpLine->nStart + i, lpszPrefix, cchPrefix);
}

static BOOL fnIsEchoOff(const CfgTextStruct *lpCfg, size_t n)
{
    return n < lpCfg->nLines && (fnCfgLineBegins(lpCfg, n, "ECHO OFF") || fnCfgLineBegins(lpCfg, n, "@ECHO OFF"));
}

size_t fnEchoOffPlace(const CfgTextStruct *lpCfg)
{
    if (lpCfg->nLines == 0)
        return 0;
    if (fnIsEchoOff(lpCfg, 0))
        return 1;
    if (fnIsEchoOff(lpCfg, 1))
        return 2;
    return 1;
}

size_t fnWindowsLine(const CfgTextStruct *lpCfg)
{
    for (size_t n = 0; n < lpCfg->nLines; n++) {
        const CfgLineStruct *lpLine = &lpCfg->lpLines[n];
        const char *lpText = lpCfg->lpText + lpLine->nStart;
        size_t i = 0, cch = lpLine->cchText;
        while (i < cch && (lpText[i] == ' ' || lpText[i] == '\t' || lpText[i] == '@'))
            i++;
        /* the first word, then its file name part */
        size_t nWordEnd = i;
        while (nWordEnd < cch && lpText[nWordEnd] != ' ' && lpText[nWordEnd] != '\t')
            nWordEnd++;
        size_t nName = i;
        for (size_t j = i; j < nWordEnd; j++) {
            if (lpText[j] == '\\' || lpText[j] == '/' || lpText[j] == ':')
                nName = j + 1;
        }
        if (nWordEnd - nName >= 3 && fnPrefixNoCase(lpText + nName, "WIN", 3) &&
            (nName + 3 == nWordEnd || lpText[nName + 3] == '.'))
            return n;
    }
    return lpCfg->nLines;
}
