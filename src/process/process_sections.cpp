/*
 * process/process_sections.cpp -- the sections that run, launch, watch and close programs.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "driver/handlers.h"

UINT fnReadLaunchAndBack(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnReadLaunchAndBack", lpszSection, lpszName);
}
