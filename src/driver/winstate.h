/*
 * driver/winstate.h -- run-wide Windows handles and the resource string
 * loader. Portable state lives in common/runstate.h.
 */
#ifndef TG_DRIVER_WINSTATE_H
#define TG_DRIVER_WINSTATE_H

#include <windows.h>

#include "common/runstate.h"

extern HINSTANCE g_hInst;
extern HWND g_hWndMain;        /* main window; NULL until it exists */
extern HWND g_hWndStartOwner;  /* invisible owner of start-up messages */
extern HCURSOR g_hSaveCursor;  /* cursor saved by the section driver around a section */

/* Loads string resource uId into lpszBuf; an empty text when there is none. Returns its length. */
int fnLoadStr(UINT uId, char *lpszBuf, int cchBuf);

/* TRUE when the path names an existing file (not a folder). */
BOOL fnIsFile(const char *lpszPath);

/*
 * Finds a file the command line or a command file named: as given, then by
 * its name in g_szSourceDir, then in g_szHomeDir. FALSE when none exists.
 */
BOOL fnFindNamedFile(const char *lpszName, char *lpszPath, size_t cchPath);

/*
 * Registers a window class of the program's own with icon 50 and the arrow
 * cursor. A class of that name this process registered already counts as
 * registered. FALSE (with the error in the debug log) when it cannot be.
 */
BOOL fnRegisterOwnClass(HINSTANCE hInst, const char *lpszName, WNDPROC pfnProc, UINT uStyle, int cbWndExtra,
                        HBRUSH hbrBackground);

/* Processes the pending window messages of this thread. */
void fnProcessMessages(void);

#endif
