/*
 * commands/cmdrules.cpp -- the service wait step and the account forms.
 */
#include "commands/cmdrules.h"

#include <string.h>

#include "common/bounded.h"

DWORD fnServiceWaitMs(DWORD dwWaitHint)
{
    DWORD dw = dwWaitHint / 10u;
    return dw < 1000u ? 1000u : (dw > 10000u ? 10000u : dw);
}

BOOL fnFormAccount(const char *lpszUser, const char *lpszDomain, BOOL bBackslash, char *lpszOut, size_t cchOut)
{
    if (!lpszDomain || !lpszDomain[0] || strchr(lpszUser, '@') || strchr(lpszUser, '\\'))
        return fnCopyBounded(lpszOut, cchOut, lpszUser);
    int n = bBackslash ? fnFormatBounded(lpszOut, cchOut, "%s\\%s", lpszDomain, lpszUser)
                       : fnFormatBounded(lpszOut, cchOut, "%s@%s", lpszUser, lpszDomain);
    return (size_t)n == strlen(lpszUser) + strlen(lpszDomain) + 1 && (size_t)n < cchOut;
}
