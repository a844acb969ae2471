/*
 * ui/info_sections.cpp -- the information dialog and the floating information window sections.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "driver/handlers.h"

UINT fnInfoSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnInfoSection", lpszSection, lpszName);
}

UINT fnFloatInfoSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnFloatInfoSection", lpszSection, lpszName);
}

/* The loader's framing sections, given the whole script text. */
UINT fnInstallOptionsSection(HWND hWnd, const char *lpszInf)
{
    return fnNotYetHandled("fnInstallOptionsSection", lpszInf, "[Install Options]");
}

UINT fnSignonSection(HWND hWnd, const char *lpszInf)
{
    return fnNotYetHandled("fnSignonSection", lpszInf, "[Signon]");
}
