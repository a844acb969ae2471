/*
 * commands/command_sections.cpp -- the run settings section "[Config]", the command interpreter and the command-file writer.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "driver/handlers.h"

UINT fnReadCommand(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnReadCommand", lpszSection, lpszName);
}

UINT fnReadConfig(HWND hWnd, const char *lpszInf)
{
    (void)hWnd;
    (void)lpszInf;
    return fnNotYetHandled("fnReadConfig", lpszInf, "[Config]");
}
