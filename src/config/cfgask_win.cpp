/*
 * config/cfgask_win.cpp -- the questions of the configuration sections.
 */
#include "config/cfgask.h"

#include "driver/messages.h"

static int fnCfgAskMessage(UINT uId, UINT uFlags, const char *lpszArg, UINT uNumber)
{
    if (uId == 1044)
        return fnMessage(uId, NULL, uFlags, uNumber, lpszArg ? lpszArg : "");
    return fnMessage(uId, NULL, uFlags, lpszArg ? lpszArg : "");
}

CfgAskProc g_pfnCfgAsk = fnCfgAskMessage;

BOOL fnCfgAskYesNo(UINT uId, const char *lpszArg)
{
    return g_pfnCfgAsk(uId, MB_YESNO | MB_ICONQUESTION, lpszArg, 0) == IDYES;
}

void fnCfgFieldMissing(UINT uField, const char *lpszLine)
{
    g_pfnCfgAsk(1044, MB_OK | MB_ICONSTOP, lpszLine, uField);
}
