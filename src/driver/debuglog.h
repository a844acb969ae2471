/*
 * driver/debuglog.h -- the debug log: one tracing channel for the whole
 * program, cheap when off. Portable: the box and dialog of levels 1 and 2 are
 * reached through g_pfnDebugUi, which the Windows side sets at start-up.
 */
#ifndef TG_DRIVER_DEBUGLOG_H
#define TG_DRIVER_DEBUGLOG_H

#include <stdarg.h>
#include "common/tgtypes.h"

#define CCH_DEBUG_TEXT 1024   /* entry texts stop here, as the platform formatter did */

/*
 * Writes one entry at the given level (callers pass g_uDebugLevel). Level 0
 * returns 0 before anything is formatted. Level 1 returns the message-box
 * button, level 2 the debug dialog's result, level 3 appends the entry to
 * g_szDebugFile and returns 0; other levels write nothing.
 */
int fnDebugLog(const char *lpszTitle, const char *lpszFormat, UINT uLevel, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 2, 4)))
#endif
    ;

/* Shows an entry at level 1 or 2; returns the button or dialog result. */
typedef int (*DebugUiProc)(UINT uLevel, const char *lpszTitle, const char *lpszText);
extern DebugUiProc g_pfnDebugUi;

#endif
