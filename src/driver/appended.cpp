/*
 * driver/appended.cpp -- the marker line, reading the script behind it, and
 * packing a program with a script. The search reads the file in blocks but
 * answers exactly as a byte-by-byte scan would: the last (or first) position
 * where the whole marker stands.
 */
#include "driver/appended.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "common/tgfile.h"
#include "driver/debuglog.h"
#include "driver/scramble.h"

/* The fuzz build sets a small block so that short inputs cross block edges. */
#ifdef TG_SEARCH_BLOCK
#define CB_SEARCH_BLOCK TG_SEARCH_BLOCK
#else
#define CB_SEARCH_BLOCK 65536
#endif

BOOL fnBuildMarker(const char *lpszWord, const char *lpszHeader, char *lpszOut, size_t cchOut)
{
    int n = fnFormatBounded(lpszOut, cchOut, "<-- %s -- %s -- %s -->", lpszWord, lpszHeader, lpszWord);
    return n > 0 && (size_t)n < cchOut - 1;
}

LONGLONG fnFindBytes(const char *lpData, size_t cb, const char *lpszString)
{
    size_t cch = lpszString ? strlen(lpszString) : 0;
    if (!cch || cb < cch)
        return -1;
    for (size_t i = 0; i + cch <= cb; i++) {
        if (lpData[i] == lpszString[0] && memcmp(lpData + i, lpszString, cch) == 0)
            return (LONGLONG)i;
    }
    return -1;
}

/* Reads cb bytes at dwPos; FALSE when fewer are there. */
static BOOL fnReadAt(TGFILE hFile, DWORD dwPos, char *lpBuffer, DWORD cb)
{
    DWORD cbRead = 0;
    return fnFileSeek(hFile, dwPos) && fnFileRead(hFile, lpBuffer, cb, &cbRead) && cbRead == cb;
}

/* Position of the marker in the open file, or -1. */
static LONGLONG fnSearchFile(TGFILE hFile, LONGLONG llSize, const char *lpszString, size_t cch, BOOL bFromEnd)
{
    LONGLONG llLast = llSize - (LONGLONG)cch;  /* the last place the whole marker fits */
    if (llLast < 0)
        return -1;
    char *lpBlock = (char *)malloc(CB_SEARCH_BLOCK + cch);
    if (!lpBlock)
        return -1;
    LONGLONG llFound = -1;
    if (bFromEnd) {
        for (LONGLONG llHi = llLast; llHi >= 0 && llFound < 0;) {
            LONGLONG llLo = llHi - CB_SEARCH_BLOCK + 1;
            if (llLo < 0)
                llLo = 0;
            DWORD cb = (DWORD)(llHi - llLo) + (DWORD)cch;
            if (!fnReadAt(hFile, (DWORD)llLo, lpBlock, cb))
                break;
            for (LONGLONG p = llHi; p >= llLo; p--) {
                if (memcmp(lpBlock + (p - llLo), lpszString, cch) == 0) {
                    llFound = p;
                    break;
                }
            }
            llHi = llLo - 1;
        }
    } else {
        for (LONGLONG llLo = 0; llLo <= llLast && llFound < 0;) {
            LONGLONG llHi = llLo + CB_SEARCH_BLOCK - 1;
            if (llHi > llLast)
                llHi = llLast;
            DWORD cb = (DWORD)(llHi - llLo) + (DWORD)cch;
            if (!fnReadAt(hFile, (DWORD)llLo, lpBlock, cb))
                break;
            LONGLONG llAt = fnFindBytes(lpBlock, cb, lpszString);
            if (llAt >= 0)
                llFound = llLo + llAt;
            llLo = llHi + 1;
        }
    }
    free(lpBlock);
    return llFound;
}

BOOL fnLoadFileAfterString(const char *lpszFile, const char *lpszString, char *lpBuffer, DWORD *lpdwSize,
                           BOOL bFromEnd)
{
    DWORD dwWant = lpdwSize ? *lpdwSize : 0;
    if (lpdwSize)
        *lpdwSize = 0;
    size_t cch = lpszString ? strlen(lpszString) : 0;
    fnDebugLog("fnLoadFileAfterString", "lpszFile=%s,\nlpszString=%s,\ndwSize=%lu,\nbFromEnd=%d", g_uDebugLevel,
               lpszFile ? lpszFile : "", lpszString ? lpszString : "", (unsigned long)dwWant, bFromEnd);
    if (!lpszFile || !lpBuffer || !lpdwSize || !cch || cch >= CCH_MARKER_LIMIT)
        return FALSE;
    TGFILE hFile = fnFileOpenRead(lpszFile);
    if (!hFile) {
        fnDebugLog("fnLoadFileAfterString Error", "Cannot open lpszFile=%s,\ndwError=%lu", g_uDebugLevel, lpszFile,
                   (unsigned long)fnFileLastError());
        return FALSE;
    }
    BOOL bOk = FALSE;
    DWORD dwEnd = 0;
    LONGLONG llPos = -1;
    if (fnFileSeekEnd(hFile) && fnFileTell(hFile, &dwEnd))
        llPos = fnSearchFile(hFile, dwEnd, lpszString, cch, bFromEnd);
    if (llPos < 0) {
        fnDebugLog("fnLoadFileAfterString Error", "Position error lpszFile=%s,\nlpszString=%s", g_uDebugLevel,
                   lpszFile, lpszString);
    } else if (!fnFileSeek(hFile, (DWORD)llPos + (DWORD)cch)) {
        fnDebugLog("fnLoadFileAfterString Backup Error", "Position error lpszFile=%s,\nlpszString=%s", g_uDebugLevel,
                   lpszFile, lpszString);
    } else {
        DWORD cbRead = 0;
        bOk = dwWant == 0 || fnFileRead(hFile, lpBuffer, dwWant, &cbRead);
        *lpdwSize = bOk ? cbRead : 0;
        fnDebugLog("fnLoadFileAfterString Return", "dwPos=%lu,\ndwSize=%lu", g_uDebugLevel, (unsigned long)llPos,
                   (unsigned long)*lpdwSize);
    }
    fnFileClose(hFile);
    return bOk;
}

/* Reads a whole file into a new block (with a terminator behind it); the caller frees it. */
static char *fnReadWhole(const char *lpszPath, DWORD *lpcb, char *lpszError, size_t cchError)
{
    TGFILE hFile = fnFileOpenRead(lpszPath);
    if (!hFile) {
        fnFormatBounded(lpszError, cchError, "cannot open %s", lpszPath);
        return NULL;
    }
    DWORD cb = 0;
    char *lpData = NULL;
    if (fnFileSeekEnd(hFile) && fnFileTell(hFile, &cb) && fnFileSeek(hFile, 0)) {
        lpData = (char *)malloc((size_t)cb + 1);
        DWORD cbRead = 0;
        if (lpData && (!fnFileRead(hFile, lpData, cb, &cbRead) || cbRead != cb)) {
            free(lpData);
            lpData = NULL;
        }
    }
    fnFileClose(hFile);
    if (!lpData) {
        fnFormatBounded(lpszError, cchError, "cannot read %s", lpszPath);
        return NULL;
    }
    lpData[cb] = '\0';
    *lpcb = cb;
    return lpData;
}

BOOL fnPackInstaller(const char *lpszExe, const char *lpszScript, const char *lpszOut, BOOL bScramble,
                     char *lpszError, size_t cchError)
{
    char szMarker[128];
    fnBuildMarker(MARKER_WORD, MARKER_HEADER, szMarker, sizeof(szMarker));
    fnCopyBounded(lpszError, cchError, "");
    DWORD cbExe = 0, cbScript = 0;
    char *lpExe = NULL;
    char *lpScript = fnReadWhole(lpszScript, &cbScript, lpszError, cchError);
    if (!lpScript)
        return FALSE;
    BOOL bOk = FALSE;
    BOOL bScrambled = cbScript > 0 && lpScript[0] == '@';
    /* the loader reads the block behind the marker into the script buffer */
    DWORD cbBlock = cbScript + ((bScramble && !bScrambled) ? 2 : 0);
    TGFILE hOut = NULL;
    DWORD cbWritten = 0;
    if (cbScript == 0) {
        fnFormatBounded(lpszError, cchError, "%s is empty", lpszScript);
        goto done;
    }
    if (cbBlock > CB_SCRIPT_MAX) {
        fnFormatBounded(lpszError, cchError, "%s is too large: %lu bytes, at most %lu fit%s", lpszScript,
                        (unsigned long)cbScript, (unsigned long)(CB_SCRIPT_MAX - (cbBlock - cbScript)),
                        (bScramble && !bScrambled) ? " when scrambled" : "");
        goto done;
    }
    if (fnFindBytes(lpScript, cbScript, szMarker) >= 0) {
        fnFormatBounded(lpszError, cchError, "%s already holds the marker line: it was packed before", lpszScript);
        goto done;
    }
    lpExe = fnReadWhole(lpszExe, &cbExe, lpszError, cchError);
    if (!lpExe)
        goto done;
    if (bScramble && !bScrambled) {
        char *lpNew = (char *)malloc((size_t)cbBlock + 1);
        if (!lpNew) {
            fnFormatBounded(lpszError, cchError, "out of memory");
            goto done;
        }
        UINT uOffset = fnRandomRange(SCRAMBLE_OFFSET_MIN, SCRAMBLE_OFFSET_MAX);
        lpNew[0] = '@';
        lpNew[1] = (char)uOffset;
        memcpy(lpNew + 2, lpScript, cbScript);
        fnShiftEnCrypt(lpNew + 2, uOffset, cbScript);
        lpNew[cbBlock] = '\0';
        free(lpScript);
        lpScript = lpNew;
    }
    hOut = fnFileCreate(lpszOut);
    if (!hOut) {
        fnFormatBounded(lpszError, cchError, "cannot create %s", lpszOut);
        goto done;
    }
    bOk = fnFileWrite(hOut, lpExe, cbExe, &cbWritten) && cbWritten == cbExe &&
          fnFileWrite(hOut, szMarker, (DWORD)strlen(szMarker), &cbWritten) && cbWritten == strlen(szMarker) &&
          fnFileWrite(hOut, lpScript, cbBlock, &cbWritten) && cbWritten == cbBlock;
    fnFileClose(hOut);
    if (!bOk) {
        fnFormatBounded(lpszError, cchError, "cannot write %s", lpszOut);
        remove(lpszOut);
    }
done:
    free(lpExe);
    free(lpScript);
    return bOk;
}
