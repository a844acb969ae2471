/*
 * driver/handlers.h -- every section handler the dispatcher calls, as the
 * dispatcher sees it. Each handler lives in the folder of its subsystem, finds
 * its own body with fnInfFindSection and returns a section status (or its own
 * result code that the dispatcher's rule for that row turns into one).
 */
#ifndef TG_DRIVER_HANDLERS_H
#define TG_DRIVER_HANDLERS_H

#include <windows.h>

#include "common/records.h"

/*
 * Writes "not yet handled" with the number of instruction lines of the section
 * body for a section kind that this build does not carry out, and returns 1.
 */
UINT fnNotYetHandled(const char *lpszHandler, const char *lpszSection, const char *lpszName);

/* information windows */
UINT fnInfoSection(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnFloatInfoSection(HWND hWnd, const char *lpszSection, const char *lpszName);
/* Closes the floating window left on screen by a [FloatInfo] that does not wait, if any. */
void fnCloseFloatInfo(void);
/* checks */
UINT fnCheckForSection(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnFileCheckSection(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnVersionTestSection(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnReadIsStringInFile(HWND hWnd, const char *lpszSection, const char *lpszName);
/* input sections; fnInitOptionsSection returns the option dialog's result (100, 103, ...) */
UINT fnInitOptionsSection(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnInputDialog(HWND hWnd, int nNum, const char *lpszField, const char *lpszName, const char *lpszNextInf);
UINT fnGetUserPWSection(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnGet2DirsSection(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnGetUserInput(HWND hWnd, const char *lpszSection, UserInputStruct *lpUserInput, const char *lpszName);
/* configuration */
UINT fnRegistrySection(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnReadSetEnvironment(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnReadIniFiles(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnIniFilesEdit(HWND hWnd, const char *lpszSection, const char *lpszName);
/* commands */
UINT fnReadCommand(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnInfWriteCmdFile(HWND hWnd, const char *lpszSection, const char *lpszName);
/* programs and processes */
UINT fnReadCloseExecs(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnReadChainExecs(HWND hWnd, const char *lpszSection, const char *lpszName, UINT uWait, UINT uOnTop);
UINT fnReadChainExecsRunAs(HWND hWnd, const char *lpszSection, const char *lpszName, UINT uWait, UINT uNetLogon);
UINT fnTestAndExecs(HWND hWnd, const char *lpszSection, const char *lpszName, UINT uWait);
UINT fnReadLaunchAndBack(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnReadCheckIfRunning(HWND hWnd, const char *lpszSection, const char *lpszName);
/* files */
/* a directory list found by name in lpszText, else in lpszText2 (may be NULL); 1 done, 0 failed */
UINT fnInfMakeDirs(HWND hWnd, const char *lpszText, const char *lpszText2, const char *lpszName);
UINT fnMoveFiles(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnInfDeleteFiles(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnInfCopyFiles(HWND hWnd, const char *lpszSection, const char *lpszName);
UINT fnInfCopyFilesToDisk(HWND hWnd, const char *lpszSection, const char *lpszName);
/* shortcuts: a "[ShortCuts]"/"[PMGroups]" folder list (reached through fnGetUserInput); 1 goes on, 0 fails */
UINT fnShortcutFolderList(HWND hWnd, const char *lpszSection, UserInputStruct *lpUserInput, const char *lpszName);
/* shortcuts: a section registered by a folder list */
UINT fnShortcutSection(HWND hWnd, const char *lpszSection, const char *lpszName, UserInputStruct *lpUserInput, int nEntry);

/* the script-framing sections the loader runs before the walk */
UINT fnReadConfig(HWND hWnd, const char *lpszInf);
/* The choice between up to four scripts: 116 ends the run, 1 goes on, another option's id has set g_szIniFile. */
UINT fnInstallOptionsSection(HWND hWnd, const char *lpszInf);
/* The opening information dialog; 0 ends the run. */
UINT fnSignonSection(HWND hWnd, const char *lpszInf);

/* Set while the "[InitOptions]" dialog's answer was 100; the input sections read it. */
extern BOOL g_bInitOptions;

#endif
