/*
 * commands/cmdrules.h -- small rules of the commands and the account
 * operations that need no system: the service wait step and the account
 * names joined from a user and a domain.
 */
#ifndef TG_COMMANDS_CMDRULES_H
#define TG_COMMANDS_CMDRULES_H

#include "common/tgtypes.h"

/* How long a service wait sleeps between two looks: a tenth of its hint, at least 1 and at most 10 seconds. */
DWORD fnServiceWaitMs(DWORD dwWaitHint);

/*
 * The account a domain operation names: a user holding neither '@' nor '\'
 * is joined with a given domain as "user@domain", or, with bBackslash, as
 * "domain\user"; any other user (or no domain) stays as written. FALSE when
 * the joined name does not fit in cchOut: a cut name would name another
 * account.
 */
BOOL fnFormAccount(const char *lpszUser, const char *lpszDomain, BOOL bBackslash, char *lpszOut, size_t cchOut);

#endif
