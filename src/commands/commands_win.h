/*
 * commands/commands_win.h -- the Windows side of the run settings and the
 * command sections: the settings table the program installs, the floating
 * message windows and their popup table, and the back-end operations the
 * commands call (computer name, disk space, folder sizes, services, drives).
 */
#ifndef TG_COMMANDS_COMMANDS_WIN_H
#define TG_COMMANDS_COMMANDS_WIN_H

#include <windows.h>
#include <winnetwk.h>

#include "commands/cmdsettings.h"
#include "commands/diskspace.h"

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

/* The service opener: what it does besides opening. */
enum { SVC_NONE = 0, SVC_START = 1, SVC_STOP = 2 };

/*
 * Opens a service with full access and, with SVC_START or SVC_STOP, starts or
 * stops it unless it is so already, waiting until it has got there;
 * *lpbReached (may be NULL) tells whether it did. The caller closes the
 * handle; NULL when the service cannot be opened.
 */
SC_HANDLE fnOpenService(const char *lpszService, UINT uAction, BOOL *lpbReached);
/* The StartService and StopService commands: TRUE when the service runs (or has stopped). */
BOOL fnStartStopService(const char *lpszService, BOOL bStart);
/* Sets the start type by "AUTO", "MANUAL" or "DISABLED"; another word changes nothing. TRUE on success. */
BOOL fnChangeServiceStart(const char *lpszService, const char *lpszType);
/* Hands the wireless interfaces to (bEnable) or takes them from the WZCSVC service; TRUE when one was found. */
BOOL fnEnableMSWiFiConfig(BOOL bEnable);

/* Space of the path's drive; a drive that cannot be asked gives zeros and FALSE. */
BOOL fnGetDiskSpaceInfo(const char *lpszPath, DiskSpaceStruct *lpSpace);
/* Size of the files under a folder, or the used space of a bare drive ("C:", "C:"). */
ULONGLONG fnGetFolderSize(const char *lpszPath);

/* Maps a drive to a remote path (user and password may be empty); TRUE on success. */
BOOL fnNetMapDrive(const char *lpszDrive, const char *lpszRemote, const char *lpszUser, const char *lpszPassword);

/* Network drive calls, replaceable by tests. */
struct MprStruct {
    DWORD(WINAPI *pfnGetUser)(LPCSTR, LPSTR, LPDWORD);
    DWORD(WINAPI *pfnCancelConnection2)(LPCSTR, DWORD, BOOL);
    DWORD(WINAPI *pfnAddConnection2)(LPNETRESOURCEA, LPCSTR, LPCSTR, DWORD);
    void (*pfnSleep)(DWORD);
};
extern MprStruct g_mpr;

/* Optional system functions of the run settings and commands, looked up once. */
struct CmdKernelStruct {
    BOOL(WINAPI *pfnSetComputerNameExA)(int, LPCSTR);
    BOOL(WINAPI *pfnGetDiskFreeSpaceExA)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
};
/* Filled on first use; tests may replace entries (NULL: the fallback is taken). */
extern CmdKernelStruct g_cmdKernel;
void fnLoadCmdKernel(void);

#endif
