/*
 * install/filedialogs.h -- the install engine's questions: the disk prompt
 * (template 5), the in-use dialog (6, declared in copyprim.h), the version
 * conflict (7), the copy found elsewhere (9) and the existing file (10).
 * Every Exit asks message 1055 first; No returns to the dialog. A quiet run
 * opens none of them: each answers its non-destructive default and says so
 * in the debug log.
 */
#ifndef TG_INSTALL_FILEDIALOGS_H
#define TG_INSTALL_FILEDIALOGS_H

#include <windows.h>

/*
 * When set (tests), answers a dialog instead of showing it: called with the
 * template number and the dialog's file; a result of 0 shows the dialog.
 */
typedef UINT (*FileDialogHookProc)(UINT uTemplate, const char *lpszFile);
extern FileDialogHookProc g_pfnFileDialogHook;

/*
 * Disk prompt: shows the disk label and lets the user edit the source
 * location and file name (CCH_PATH each, updated on OK). IDOK, IDC_DISK_SKIP
 * or IDCANCEL (Exit confirmed). Quiet: IDC_DISK_SKIP.
 */
UINT fnDiskDialog(HWND hWnd, const char *lpszLabel, char *lpszLocation, char *lpszName);

/*
 * Version conflict for lpszName in lpszDir with the result word dwVIF; the
 * lists show the version information of the existing and the new file. IDNO
 * keep, IDYES install, IDABORT exit. Quiet: IDNO.
 */
UINT fnVersionDialog(HWND hWnd, const char *lpszName, const char *lpszDir, DWORD dwVIF, const char *lpszExisting,
                     const char *lpszNew);

/* Copy found elsewhere: IDC_EW_KEEP ... IDC_EW_EXIT. Quiet: IDC_EW_KEEP. */
UINT fnElsewhereDialog(HWND hWnd, const char *lpszName, const char *lpszDstDir, const char *lpszCurDir);

/* Existing destination: IDC_EX_BACKUP ... IDC_EX_EXIT. Quiet: IDC_EX_BACKUP. */
UINT fnExistsDialog(HWND hWnd, const char *lpszName, const char *lpszDir);

#endif
