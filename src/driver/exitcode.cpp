/*
 * driver/exitcode.cpp -- choosing the process exit code from how the run ended.
 */
#include "driver/exitcode.h"

#include "common/records.h"

int fnChooseExitCode(const RunEndStruct *lpEnd)
{
    /* a 7 that a section marked failed (a requirement not met) is a failure, whoever pressed Exit */
    BOOL bUserStop = (lpEnd->uEndStatus == SECT_CANCELLED || (lpEnd->uEndStatus == SECT_USEREXIT && !lpEnd->bFailed)) &&
                     !lpEnd->bStoppedByRule;
    if (lpEnd->bCancelled || bUserStop)
        return EXIT_CANCELLED_CODE;
    if (lpEnd->bFailed || lpEnd->bStoppedByRule)
        return EXIT_FAILED_CODE;
    if (lpEnd->bRestartStarted)
        return EXIT_RESTART_STARTED_CODE;
    if (lpEnd->bRestartNeeded)
        return EXIT_RESTART_NEEDED_CODE;
    return EXIT_SUCCESS_CODE;
}
