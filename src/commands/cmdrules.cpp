/*
 * commands/cmdrules.cpp -- the service wait step, the account forms and the
 * answers of the administrator and membership tests.
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

void fnAdminAction(BOOL bYes, BOOL bMembership, const char *lpszWord, AdminActionStruct *lpAction)
{
    lpAction->uBox = ADMINBOX_NONE;
    lpAction->lpszFormat = "";
    lpAction->bStop = FALSE;
    if (bYes) {
        if (fnEqualNoCase(lpszWord, "Display")) {
            lpAction->uBox = ADMINBOX_OK;
            lpAction->lpszFormat = bMembership ? "User %s is a member of %s." : "User %s is a local Administrator.";
        }
        return;
    }
    if (fnEqualNoCase(lpszWord, "Continue")) {
        lpAction->uBox = bMembership ? ADMINBOX_OKCANCEL : ADMINBOX_OK;
        lpAction->bStop = bMembership;
        lpAction->lpszFormat = bMembership ? "User %s is not a member of %s. Press OK to try to continue or press "
                                             "Cancel to exit and login with an appropriate account."
                                           : "User %s is not a local Administrator. If possible please exit and "
                                             "login with an Administrator equivalent account.";
    } else if (fnEqualNoCase(lpszWord, "ExitWithoutMessage")) {
        lpAction->bStop = TRUE;
    } else if (fnEqualNoCase(lpszWord, "ExitWithMessage")) {
        lpAction->uBox = ADMINBOX_OK;
        lpAction->bStop = TRUE;
        lpAction->lpszFormat = bMembership ? "User %s is not a member of %s. To continue, please login with an "
                                             "appropriate account."
                                           : "User %s is not a local Administrator. To continue, please login "
                                             "with an Administrator equivalent account.";
    }
}
