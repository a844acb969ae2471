/*
 * driver/exitcode.h -- the exit code the process ends with, the one thing
 * deployment tools read: 0 success, 1 failed, 1602 the user cancelled or
 * chose Exit, 3010 success but a restart is needed and was not made, 1641
 * the program started the restart (or the shutdown).
 */
#ifndef TG_DRIVER_EXITCODE_H
#define TG_DRIVER_EXITCODE_H

#include "common/tgtypes.h"

enum {
    EXIT_SUCCESS_CODE = 0,
    EXIT_FAILED_CODE = 1,
    EXIT_CANCELLED_CODE = 1602,
    EXIT_RESTART_STARTED_CODE = 1641,
    EXIT_RESTART_NEEDED_CODE = 3010
};

/* How a run ended, as the exit code is chosen from it. */
struct RunEndStruct {
    UINT uEndStatus;       /* the section status that ended the walk (1 when it ran to the end) */
    BOOL bFailed;          /* a section failed, or the script could not be loaded or run */
    BOOL bCancelled;       /* the user stopped the run before the walk (script choice, opening dialog) */
    BOOL bStoppedByRule;   /* a status 7 came from the script's own rule, not from the user */
    BOOL bRestartStarted;  /* a restart or shutdown request was accepted */
    BOOL bRestartNeeded;   /* a file waits for the restart, or the script asked for one */
};

/*
 * Cancelled wins (statuses 2 and 7 are the user's choice unless a rule
 * ended the run, or the section that gave the 7 marked the run failed),
 * then failed, then a restart started, then one still needed.
 */
int fnChooseExitCode(const RunEndStruct *lpEnd);

#endif
