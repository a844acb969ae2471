/*
 * checks/check_sections.cpp -- sections that test the machine before changes are made: files and dates, versions, strings in files.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "driver/handlers.h"

UINT fnCheckForSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnCheckForSection", lpszSection, lpszName);
}

UINT fnFileCheckSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnFileCheckSection", lpszSection, lpszName);
}

UINT fnVersionTestSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnVersionTestSection", lpszSection, lpszName);
}

UINT fnReadIsStringInFile(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnReadIsStringInFile", lpszSection, lpszName);
}
