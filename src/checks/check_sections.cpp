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
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/messages.h"
#include "driver/sectiondriver.h"
#include "driver/winstate.h"
#include "install/version.h"

namespace {

BOOL fnOpsIsFile(const char *lpszPath)
{
    return fnIsFile(lpszPath);
}

int fnOpsFileDate(const char *lpszPath)
{
    return fnCompareFileTimeStampToSystem(lpszPath);
}

/*
 * The message window's button sets, shown as a box whose buttons carry the
 * window's texts; the ids are those the window returns.
 */
int fnMessageWindowBox(UINT uPrompt, const char *lpszText)
{
    struct {
        UINT uPrompt;
        UINT uFlags;
        const char *lpszButton1, *lpszButton2;
        int nId1, nId2;  /* the window's ids for the box's first and second buttons */
    } static const s_sets[] = {
        {CHKPROMPT_EXIT, MB_OK | MB_ICONSTOP, "E&xit", NULL, CHKANS_EXIT, CHKANS_EXIT},
        {CHKPROMPT_EXITCONTINUE, MB_OKCANCEL | MB_ICONSTOP, "E&xit", "Con&tinue", CHKANS_EXIT, CHKANS_CONTINUE},
        {CHKPROMPT_RETRYCONTINUE, MB_RETRYCANCEL | MB_ICONQUESTION, "&Retry", "Con&tinue", CHKANS_RETRY,
         CHKANS_CONTINUE},
        {CHKPROMPT_RETRYEXIT, MB_RETRYCANCEL | MB_ICONQUESTION, "&Retry", "E&xit", CHKANS_RETRY, CHKANS_EXIT},
        {CHKPROMPT_CANCEL, MB_OK | MB_ICONINFORMATION, "&Cancel", NULL, CHKANS_CANCEL, CHKANS_CANCEL},
    };
    for (const auto &s : s_sets) {
        if (s.uPrompt != uPrompt)
            continue;
        int nBox = fnMessageBoxEx(GetFocus(), lpszText, NULL, s.lpszButton1, s.lpszButton2,
                                  s.uFlags | MB_TOPMOST | MB_SETFOREGROUND);
        return (nBox == IDOK || nBox == IDRETRY) ? s.nId1 : s.nId2;
    }
    return CHKANS_CANCEL;
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

/* A run that a check ends because a requirement is not met exits as failed. */
UINT fnCheckResult(UINT uResult)
{
    if (uResult == 7 && g_bCheckFailed && g_lpUserInput)
        g_lpUserInput->uFailed = 1;
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
