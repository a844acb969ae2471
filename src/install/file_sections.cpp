/*
 * install/file_sections.cpp -- the move, delete, file-copy and disk-copy sections.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "driver/handlers.h"

UINT fnMoveFiles(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnMoveFiles", lpszSection, lpszName);
}

UINT fnInfDeleteFiles(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnInfDeleteFiles", lpszSection, lpszName);
}

UINT fnInfCopyFiles(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnInfCopyFiles", lpszSection, lpszName);
}

UINT fnInfCopyFilesToDisk(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnInfCopyFilesToDisk", lpszSection, lpszName);
}
