/*
 * driver/handlers.cpp -- what the dispatcher's handlers share.
 */
#include "driver/handlers.h"

#include "common/runstate.h"
#include "driver/debuglog.h"
#include "script/textmodel.h"

UINT fnNotYetHandled(const char *lpszHandler, const char *lpszSection, const char *lpszName)
{
    /* the count shows whether the section's body was found at all */
    int nLines = lpszSection ? fnInfCountLines(lpszSection, lpszName, 100000) : 0;
    fnDebugLog(lpszHandler, "%s not yet handled, %d lines", g_uDebugLevel, lpszName ? lpszName : "", nLines);
    return SECT_CONTINUE;
}
