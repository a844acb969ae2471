/*
 * commands/cmdrules.h -- small rules of the commands and the account
 * operations that need no system: the service wait step, the account
 * names joined from a user and a domain, and what an administrator or
 * membership test does with its answer.
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

/* The box an administrator or membership test shows. */
enum { ADMINBOX_NONE = 0, ADMINBOX_OK = 1, ADMINBOX_OKCANCEL = 2 };

/* What a test's answer leads to. */
struct AdminActionStruct {
    UINT uBox;
    /* the text when the script gives none: "%s" the user, and for membership a second "%s" the group */
    const char *lpszFormat;
    /* the run stops (after an OK/Cancel box: only when Cancel was pressed) */
    BOOL bStop;
};

/*
 * The action word (any case) on a "yes" (bYes) or "no" answer of an
 * administrator test, or of a membership test with bMembership.
 */
void fnAdminAction(BOOL bYes, BOOL bMembership, const char *lpszWord, AdminActionStruct *lpAction);

#endif
