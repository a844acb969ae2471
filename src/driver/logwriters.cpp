/*
 * driver/logwriters.cpp -- appending formatted lines to text files (debug file,
 * installation log), writing lines for the configuration editors, and reading
 * lines back from an open file. Files are opened and closed around each entry
 * so a log is complete even when the program stops abruptly.
 */
#include "driver/logwriters.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"

void fnAppendLine(const char *lpszFile, const char *lpszFormat, BOOL bCrLf, va_list args)
{
    if (!lpszFile || !*lpszFile)
        return;
    char szBuffer[CCH_APPEND_BUF];
    fnVFormatBounded(szBuffer, sizeof(szBuffer), lpszFormat, args);
    if (bCrLf == 1)
        fnAppendBounded(szBuffer, sizeof(szBuffer), "\r\n");
    TGFILE hFile = fnFileOpenWrite(lpszFile);
    if (!hFile)
        return;
    if (fnFileSeekEnd(hFile))
        fnWriteToFile(hFile, szBuffer);
    fnFileClose(hFile);
}

void fnAppendLineF(const char *lpszFile, BOOL bCrLf, const char *lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    fnAppendLine(lpszFile, lpszFormat, bCrLf, args);
    va_end(args);
}

int fnWriteToFile(TGFILE hFile, const char *lpszBuffer)
{
    if (!lpszBuffer || !*lpszBuffer)
        return 0;
    /* the debug file itself is written through here: trace only at the dialog levels */
    UINT uTrace = (g_uDebugLevel == 3) ? 0 : g_uDebugLevel;
    fnDebugLog("fnWriteToFile", "lpszBuffer=%s", uTrace, lpszBuffer);
    DWORD cbBytes = (DWORD)strlen(lpszBuffer);
    DWORD cbWritten = 0;
    if (!fnFileWrite(hFile, lpszBuffer, cbBytes, &cbWritten)) {
        DWORD dwError = fnFileLastError();
        fnDebugLog("fnWriteToFile", "ERROR! dwError=%lu, uBytesWritten=%u, uBytes=%u", uTrace,
                   (unsigned long)dwError, (unsigned)cbWritten, (unsigned)cbBytes);
        return -1;
    }
    fnDebugLog("fnWriteToFile", "uBytes=%u, lpszBuffer=%s", uTrace, (unsigned)cbBytes, lpszBuffer);
    return 0;
}

BOOL fnWriteLine(TGFILE hFile, const char *lpszText)
{
    if (!lpszText || !*lpszText)
        return TRUE;
    if (fnWriteToFile(hFile, lpszText) != 0)
        return FALSE;
    return fnWriteToFile(hFile, "\r\n") == 0;
}

BOOL fnIsValidName(const char *lpszText)
{
    if (!lpszText)
        return TRUE;
    return strpbrk(lpszText, ",<>|") ? FALSE : TRUE;
}

BOOL fnWriteLog(const char *lpszFormat, BOOL bCrLf, ...)
{
    if (!g_bLogOpen || !g_szLogFile[0])
        return TRUE;
    va_list args;
    va_start(args, bCrLf);
    fnAppendLine(g_szLogFile, lpszFormat, bCrLf, args);
    va_end(args);
    return TRUE;
}

int fnReadLineFromFile(TGFILE hFile, char *lpszBuffer, DWORD cbBuffer)
{
    if (!lpszBuffer || cbBuffer < 2)
        return -1;
    memset(lpszBuffer, 0, cbBuffer);
    fnDebugLog("fnReadLineFromFile Begin", "lpszBuffer=%s,\nuBytes=%u", g_uDebugLevel, lpszBuffer,
               (unsigned)cbBuffer);

    DWORD dwStart = 0;
    if (!fnFileTell(hFile, &dwStart))
        return -1;
    /* one byte stays free for the terminator */
    DWORD cbAsk = cbBuffer - 1;
    DWORD cbRead = 0;
    if (!fnFileRead(hFile, lpszBuffer, cbAsk, &cbRead))
        return -1;
    if (cbRead == 0 || lpszBuffer[0] == 26) {
        lpszBuffer[0] = '\0';
        return 1;
    }

    DWORD n = 0;
    while (n < cbRead && lpszBuffer[n] != '\r' && lpszBuffer[n] != '\n' && lpszBuffer[n] != 26 &&
           lpszBuffer[n] != '\0')
        n++;
    if (n >= cbRead && cbRead == cbAsk) {
        /* no line end within the buffer: the line is too long for it */
        fnFileSeek(hFile, dwStart);
        return -1;
    }

    BOOL bLast = FALSE;
    DWORD cbKeep = n;        /* bytes left in the buffer */
    DWORD cbConsumed = n;    /* bytes the file position moves over */
    if (n < cbRead) {
        char c = lpszBuffer[n];
        if (c == 26) {
            bLast = TRUE;
            cbConsumed = cbRead;
        } else if (c == '\r') {
            cbKeep = cbConsumed = n + 1;
            if (n + 1 < cbRead && lpszBuffer[n + 1] == '\n')
                cbKeep = cbConsumed = n + 2;
        } else if (c == '\n') {
            /* a bare LF line end is kept too, so the next read starts on the next line */
            cbKeep = cbConsumed = n + 1;
        } else {
            /* a NUL in the file ends the line and is stepped over */
            cbConsumed = n + 1;
        }
    }
    memset(lpszBuffer + cbKeep, 0, cbBuffer - cbKeep);
    if (!bLast && cbRead < cbAsk && cbConsumed >= cbRead)
        bLast = TRUE;
    if (!fnFileSeek(hFile, dwStart + cbConsumed))
        return -1;
    fnDebugLog("fnReadLineFromFile End", "lpszBuffer=%s,\nuBytes=%u", g_uDebugLevel, lpszBuffer,
               (unsigned)cbKeep);
    return bLast ? 1 : 0;
}
