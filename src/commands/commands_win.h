/*
 * commands/commands_win.h -- the Windows side of the run settings and the
 * command sections: the settings table the program installs, the floating
 * message windows and their popup table, and the back-end operations the
 * commands call (computer name, disk space, folder sizes, services, drives).
 */
#ifndef TG_COMMANDS_COMMANDS_WIN_H
#define TG_COMMANDS_COMMANDS_WIN_H

#include <windows.h>

#include "commands/cmdsettings.h"

/* The program's settings table: real boxes, windows, files and the re-launch. */
extern const SettingsUiStruct g_settingsUiWin;

/*
 * Shows a floating message window. With a close-after time it is modal and
 * returns when the time is up or its button is pressed; otherwise it stays
 * on screen (modeless) and is entered in the popup table. A quiet run shows
 * none (debug log only). Returns the window of a modeless one, else NULL.
 */
HWND fnShowPopup(const PopupStruct *lpPopup);
/* Closes popup-table entry n (from 1); FALSE when n names no window of this program that is still open. */
BOOL fnClosePopup(UINT n);

/*
 * Sets the computer name (the DNS host name kind, else the NetBIOS name when
 * SetComputerNameExA is missing); the name takes effect at the next start.
 */
BOOL fnSetComputerName(const char *lpszName);

/* Optional system functions of the run settings and commands, looked up once. */
struct CmdKernelStruct {
    BOOL(WINAPI *pfnSetComputerNameExA)(int, LPCSTR);
    BOOL(WINAPI *pfnGetDiskFreeSpaceExA)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
};
/* Filled on first use; tests may replace entries (NULL: the fallback is taken). */
extern CmdKernelStruct g_cmdKernel;
void fnLoadCmdKernel(void);

#endif
