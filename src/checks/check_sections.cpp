/*
 * checks/check_sections.cpp -- the Windows side of the sections that test
 * the machine before changes are made: the handlers the dispatcher calls,
 * and the file, date and question operations the readers of checkcore.cpp
 * use (message boxes, and the message window for the Retry, Exit and
 * Continue button sets).
 */
#include <windows.h>

#include "checks/checkcore.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/messages.h"
#include "driver/sectiondriver.h"
#include "driver/winstate.h"
#include "install/version.h"
#include "ui/msgwindow.h"

namespace {

BOOL fnOpsIsFile(const char *lpszPath)
{
    return fnIsFile(lpszPath);
}

int fnOpsFileDate(const char *lpszPath)
{
    return fnCompareFileTimeStampToSystem(lpszPath);
}

/* The message window for the Retry, Exit and Continue button sets, with the run caption. */
int fnMessageWindowBox(UINT uPrompt, const char *lpszText)
{
    static const struct {
        UINT uPrompt;
        UINT uType;
    } s_types[] = {{CHKPROMPT_EXIT, MSGWIN_EXIT},
                   {CHKPROMPT_EXITCONTINUE, MSGWIN_EXITCONTINUE},
                   {CHKPROMPT_RETRYCONTINUE, MSGWIN_RETRYCONTINUE},
                   {CHKPROMPT_RETRYEXIT, MSGWIN_RETRYEXIT},
                   {CHKPROMPT_CANCEL, MSGWIN_CANCEL}};
    MsgWindowStruct msg;
    ZeroMemory(&msg, sizeof(msg));
    fnCopyBounded(msg.szCaption, sizeof(msg.szCaption), g_szMsgTitle);
    fnCopyBounded(msg.szText, sizeof(msg.szText), lpszText);
    msg.uType = MSGWIN_CANCEL;
    for (const auto &t : s_types) {
        if (t.uPrompt == uPrompt)
            msg.uType = t.uType;
    }
    int nId = fnShowMessageWindow(NULL, &msg);
    /* a window that could not be made counts as the answer that lets the run end */
    return nId ? nId : CHKANS_EXIT;
}

int fnOpsAsk(UINT uPrompt, const char *lpszText)
{
    UINT uFlags;
    switch (uPrompt) {
    case CHKPROMPT_OK:
    case CHKPROMPT_OKINFO: uFlags = MB_OK | MB_ICONINFORMATION; break;
    case CHKPROMPT_OKCANCEL: uFlags = MB_OKCANCEL | MB_ICONQUESTION; break;
    case CHKPROMPT_YESNO: uFlags = MB_YESNO | MB_ICONQUESTION; break;
    case CHKPROMPT_YESNOCANCEL: uFlags = MB_YESNOCANCEL | MB_ICONQUESTION; break;
    case CHKPROMPT_RETRYCANCEL: uFlags = MB_RETRYCANCEL | MB_ICONQUESTION; break;
    default: return fnMessageWindowBox(uPrompt, lpszText);
    }
    /* the text comes from the script: it is an argument, never the format */
    return fnMessage(0, NULL, uFlags, "%s", lpszText);
}

const CheckOpsStruct s_ops = {fnOpsIsFile, fnOpsFileDate, fnOpsAsk};

void fnUseWindowsOps(void)
{
    g_lpCheckOps = &s_ops;
}

/*
 * A run that a check ends because a requirement is not met exits as failed.
 * One it ends by its own rule otherwise (a GO file check whose file is there,
 * a text found or missing) exits as failed too: nobody cancelled anything.
 */
UINT fnCheckResult(UINT uResult)
{
    if (uResult != 7)
        return uResult;
    if (g_bCheckFailed && g_lpUserInput)
        g_lpUserInput->uFailed = 1;
    else
        g_bStoppedByRule = TRUE;
    return uResult;
}

}  // namespace

UINT fnCheckForSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    fnUseWindowsOps();
    return fnCheckResult(fnCheckFor(lpszSection, lpszName));
}

UINT fnFileCheckSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    fnUseWindowsOps();
    return fnCheckResult(fnFileCheck(lpszSection, lpszName));
}

UINT fnVersionTestSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    fnUseWindowsOps();
    return fnCheckResult(fnVersionTest(lpszSection, lpszName));
}

UINT fnReadIsStringInFile(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    fnUseWindowsOps();
    return fnCheckResult(fnStringTest(lpszSection, lpszName));
}
