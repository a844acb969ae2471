/*
 * driver/debuglog.cpp -- formats debug-log entries and sends them to their
 * level's channel: the file at level 3 here, the box and the dialog through
 * the Windows side's hook.
 */
#include "driver/debuglog.h"

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/logwriters.h"

DebugUiProc g_pfnDebugUi;

int fnDebugLog(const char *lpszTitle, const char *lpszFormat, UINT uLevel, ...)
{
    if (uLevel == 0)
        return 0;
    if (uLevel > 3)
        return 0;

    char szTitle[CCH_TITLE];
    char szText[CCH_DEBUG_TEXT + 1];
    fnFormatBounded(szTitle, sizeof(szTitle), "%s: %s", g_szMsgTitle, lpszTitle ? lpszTitle : "");
    va_list args;
    va_start(args, uLevel);
    fnVFormatBounded(szText, sizeof(szText), lpszFormat, args);
    va_end(args);

    if (uLevel == 3) {
        fnAppendLineF(g_szDebugFile, TRUE, "~-%s-~\r\n%s\r\n", szTitle, szText);
        return 0;
    }
    if (g_pfnDebugUi)
        return g_pfnDebugUi(uLevel, szTitle, szText);
    return 0;
}
