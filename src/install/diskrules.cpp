/*
 * install/diskrules.cpp -- byte counts, destination folders and the disk
 * sequence of the disk-copy sections. See diskrules.h.
 */
#include "install/diskrules.h"

#include <string.h>

ULONGLONG fnReadBytesNeeded(const char *lpszText, BOOL bPresent)
{
    if (!bPresent || !lpszText)
        return 1;
    ULONGLONG qw = 0;
    BOOL bDigit = FALSE;
    for (const char *p = lpszText; *p; p++) {
        if (*p < '0' || *p > '9')
            continue;
        bDigit = TRUE;
        ULONGLONG qwDigit = (ULONGLONG)(*p - '0');
        if (qw > (~0ULL - qwDigit) / 10)
            return ~0ULL;
        qw = qw * 10 + qwDigit;
    }
    return bDigit ? qw : 1;
}

BOOL fnDiskDirAsWritten(const char *lpszDir)
{
    if (!lpszDir || !lpszDir[0])
        return FALSE;
    const char *p = lpszDir;
    BOOL bSep0 = p[0] == '\\' || p[0] == '/';
    if (bSep0 && (p[1] == '\\' || p[1] == '/'))
        return TRUE;
    if (p[1] == ':')
        return TRUE;
    if (p[0] == '.') {
        size_t nDots = (p[1] == '.') ? 2 : 1;
        char c = p[nDots];
        return c == '\0' || c == '\\' || c == '/';
    }
    return FALSE;
}

void fnStartDiskRun(DiskRunStruct *lpRun)
{
    lpRun->nNextDisk = 2;
    lpRun->bChanged = FALSE;
    lpRun->nAsked = 0;
}

BOOL fnDiskPrompts(DiskRunStruct *lpRun, BOOL bSwitch, ULONGLONG qwNeeded, const DiskAskStruct *lpAsk)
{
    lpRun->bChanged = FALSE;
    if (bSwitch) {
        if (!lpAsk->pfnInsertDisk(lpRun->nNextDisk, lpAsk->lpContext))
            return FALSE;
        lpRun->nAsked = lpRun->nNextDisk++;
        lpRun->bChanged = TRUE;
    }
    while (lpAsk->pfnFreeBytes(lpAsk->lpContext) < qwNeeded) {
        int nDisk = lpRun->bChanged ? lpRun->nAsked : lpRun->nNextDisk;
        if (!lpAsk->pfnInsertDisk(nDisk, lpAsk->lpContext))
            return FALSE;
        if (!lpRun->bChanged) {
            lpRun->nAsked = lpRun->nNextDisk++;
            lpRun->bChanged = TRUE;
        }
        ULONGLONG qwFree = lpAsk->pfnFreeBytes(lpAsk->lpContext);
        if (qwFree < qwNeeded && !lpAsk->pfnTooLittle(qwFree, qwNeeded, lpAsk->lpContext))
            return FALSE;
    }
    return TRUE;
}
