/*
 * driver/userexit.h -- the end of a run: the closing message, the exit
 * program, the restart or shutdown the script asked for, the removal of the
 * program's own file, and the exit code the process ends with.
 */
#ifndef TG_DRIVER_USEREXIT_H
#define TG_DRIVER_USEREXIT_H

#include <windows.h>

#include "common/records.h"
#include "driver/exitcode.h"

/* TRUE when the run failed before or during the section walk; the process then ends with exit code 1. */
extern BOOL g_bRunFailed;
/* TRUE when the user ended the run before the walk (left the script choice or the opening dialog). */
extern BOOL g_bRunCancelled;

/*
 * How the walk and its close went: fnReadInf fills the walk's end, fnUserExit
 * whether a restart or shutdown was started or is still needed. Cleared by
 * fnResetRunEnd at the start of a run.
 */
extern RunEndStruct g_runEnd;
void fnResetRunEnd(void);

/* The exit code of the run so far, from g_runEnd and the run-wide flags. */
int fnRunExitCode(void);

/*
 * Closes the run once after the section walk: the closing message (or the
 * error message), the exit program, and the restart or shutdown of the exit
 * action. A quiet run shows no box and asks nothing: a restart it would
 * have asked for is only recorded as needed (exit code 3010). Always 1.
 */
int fnUserExit(HWND hWnd, UserInputStruct *lpUserInput);

/*
 * Enables the shutdown privilege of this process where it can and asks the
 * system to end the session: uMode 1 shuts down, 2 restarts (never forced,
 * so a program that must save its work can refuse). TRUE when the request
 * was accepted; the end itself comes later with the end-of-session messages.
 */
BOOL fnExitWindows(UINT uMode);

#endif
