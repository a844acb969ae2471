/*
 * driver/userexit.cpp -- closing the run after the section walk: the success
 * or failure message. Exit programs, restarts and self-removal join here.
 */
#include "driver/userexit.h"

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/winstate.h"

BOOL g_bRunFailed;

int fnUserExit(HWND hWnd, UserInputStruct *lpUserInput)
{
    fnDebugLog("fnUserExit",
               "g_bSelfDestruct=%d, g_uOnExit=%u,\nlpUserInputStruct->uQuiet=%u,\nlpUserInputStruct->szExitMsg=%s\n"
               "lpUserInputStruct->szExitExec=%s",
               g_uDebugLevel, g_bSelfDestruct, g_uOnExit, lpUserInput->uQuiet, lpUserInput->szExitMsg,
               lpUserInput->szExitExec);
    if (hWnd)
        SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    fnProcessMessages();

    if (!lpUserInput->szExitMsg[0])
        fnLoadStr(1059, lpUserInput->szExitMsg, sizeof(lpUserInput->szExitMsg));
    if (lpUserInput->uFailed) {
        if (lpUserInput->szErrorMsg[0])
            fnCopyBounded(lpUserInput->szExitMsg, sizeof(lpUserInput->szExitMsg), lpUserInput->szErrorMsg);
        else
            fnLoadStr(1061, lpUserInput->szExitMsg, sizeof(lpUserInput->szExitMsg));
    }
    if (lpUserInput->uQuiet == 1)
        MessageBoxA(hWnd, lpUserInput->szExitMsg, g_szMsgTitle,
                    MB_OK | MB_ICONINFORMATION | MB_TASKMODAL | MB_SETFOREGROUND);
    fnProcessMessages();
    return 1;
}
