/*
 * driver/handlers.cpp -- what the dispatcher's handlers share.
 */
#include "driver/handlers.h"

#include "common/runstate.h"
#include "driver/debuglog.h"

UINT fnNotYetHandled(const char *lpszHandler, const char *lpszName)
{
    fnDebugLog(lpszHandler, "%s not yet handled", g_uDebugLevel, lpszName ? lpszName : "");
    return SECT_CONTINUE;
}
