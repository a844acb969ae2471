/*
 * driver/selfdelete.cpp -- the self-removal batch text.
 */
#include "driver/selfdelete.h"

#include <string.h>

#include "common/bounded.h"

/* The path as the batch must hold it; FALSE when it cannot be written there faithfully. */
static BOOL fnBatchPath(const char *lpszPath, char *lpszOut, size_t cchOut)
{
    if (!lpszPath || !lpszPath[0] || strpbrk(lpszPath, "\"\r\n"))
        return FALSE;
    size_t n = 0;
    for (const char *p = lpszPath; *p; p++) {
        size_t cch = (*p == '%') ? 2 : 1;
        if (n + cch >= cchOut)
            return FALSE;
        lpszOut[n++] = *p;
        if (*p == '%')
            lpszOut[n++] = '%';
    }
    lpszOut[n] = '\0';
    return TRUE;
}

BOOL fnBuildSelfDeleteBatch(const char *lpszTestFile, const char *lpszProgram, const char *lpszBatch,
                            char *lpszOut, size_t cchOut)
{
    char szTest[2 * CCH_PATH], szProgram[2 * CCH_PATH], szBatch[2 * CCH_PATH];
    if (cchOut)
        lpszOut[0] = '\0';
    if (!fnBatchPath(lpszTestFile, szTest, sizeof(szTest)) || !fnBatchPath(lpszProgram, szProgram, sizeof(szProgram)) ||
        !fnBatchPath(lpszBatch, szBatch, sizeof(szBatch)))
        return FALSE;
    /* a pause between tries (ping waits about a second), a bound, and /f for a read-only program */
    int n = fnFormatBounded(lpszOut, cchOut,
                            "@echo off\r\n"
                            "if not exist \"%s\" goto Exit\r\n"
                            "set /a nTry=0\r\n"
                            ":Loop\r\n"
                            "del /f \"%s\" >nul 2>&1\r\n"
                            "if not exist \"%s\" goto Done\r\n"
                            "set /a nTry+=1\r\n"
                            "if %%nTry%% GEQ %d goto Done\r\n"
                            "ping -n 2 127.0.0.1 >nul\r\n"
                            "goto Loop\r\n"
                            ":Done\r\n"
                            "del \"%s\"\r\n"
                            ":Exit\r\n"
                            "del \"%s\"\r\n",
                            szTest, szProgram, szProgram, SELFDELETE_TRIES, szTest, szBatch);
    /* the formatter gives the cut length: a text that fills the buffer may have been cut */
    if (n <= 0 || (size_t)n >= cchOut - 1) {
        lpszOut[0] = '\0';
        return FALSE;
    }
    return TRUE;
}
