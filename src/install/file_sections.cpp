/*
 * install/file_sections.cpp -- the file-copy and disk-copy sections.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "driver/handlers.h"

UINT fnInfCopyFiles(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnInfCopyFiles", lpszSection, lpszName);
}

UINT fnInfCopyFilesToDisk(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnInfCopyFilesToDisk", lpszSection, lpszName);
}
