/*
 * script/expand_win.h -- the Windows lookups that option expansion and the
 * inline functions add to the machine lookup table: short and long path
 * forms, account SIDs, connected network resources, printers, the current
 * user in domain\user form and the file-system search for a file pattern.
 */
#ifndef TG_SCRIPT_EXPAND_WIN_H
#define TG_SCRIPT_EXPAND_WIN_H

#include <windows.h>

#include "common/machine.h"

/* Short (8.3) form of an existing path (at most 259 characters); FALSE when it cannot be made. */
BOOL fnGetShortPathName(const char *lpszPath, char *lpszOut, size_t cchOut);
/* Long form of a path; FALSE when it cannot be made or the system lacks GetLongPathNameA. */
BOOL fnGetLongPathName(const char *lpszPath, char *lpszOut, size_t cchOut);
/* SID text of an account on a system (NULL or empty: this computer). */
BOOL fnGetSIDString(const char *lpszUser, const char *lpszSystem, char *lpszOut, size_t cchOut);
/* Connected network resources: "Printer-" for printers, then local name, "-", remote name and ";". */
BOOL fnGetNetResources(char *lpszOut, size_t cchOut);
/* Connected, then local printers; in each group network printers first as "net:name;", then "name;". */
BOOL fnGetPrinters(char *lpszOut, size_t cchOut);
/* The current user as domain\user (GetUserNameExA of SECUR32.DLL, looked up at run time). */
BOOL fnGetCurrentUser(char *lpszOut, size_t cchOut);
/* TRUE when a file-system search for the pattern (wildcards allowed) finds a file or directory. */
BOOL fnFindFileOrDir(const char *lpszSpec);

/* Puts the lookups above and the file-version readers into a machine lookup table. */
void fnAddExpandLookups(MachineLookupStruct *lpTable);

#endif
