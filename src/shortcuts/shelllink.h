/*
 * shortcuts/shelllink.h -- writing and removing shell link (.lnk) files and
 * the folder window the shortcut sections open. The caller has COM set up on
 * its thread.
 */
#ifndef TG_SHORTCUTS_SHELLLINK_H
#define TG_SHORTCUTS_SHELLLINK_H

#include <windows.h>

/*
 * Writes the link lpszLink: description lpszName, the target, and the
 * arguments, icon (when lpszIcon is set), working folder (when set), hot key
 * (when not 0) and show command (when not 0). The link is saved under a
 * temporary name in its folder and then put in place, so a failure never
 * leaves a half-written or emptied link behind (an existing link stays as it
 * was). Returns the platform's result: success when not negative.
 */
HRESULT fnCreateShortcut(const char *lpszLink, const char *lpszName, const char *lpszTarget, const char *lpszArgs,
                         const char *lpszIcon, int nIconIndex, const char *lpszWorkDir, WORD wHotKey, int nShow);

/* Deletes a link file; a link that is not there counts as deleted. FALSE with the system error in the debug log otherwise. */
BOOL fnRemoveShortcut(const char *lpszLink);

/*
 * Opens a folder in a shell window without activating it and brings the
 * program's own window back on top. Replaceable so tests see the calls
 * without starting a shell window.
 */
typedef void (*OpenFolderProc)(HWND hWnd, const char *lpszFolder);
extern OpenFolderProc g_pfnOpenFolderWindow;

#endif
