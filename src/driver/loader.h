/*
 * driver/loader.h -- choosing the script, bringing it into memory in plain
 * form (from a file or from behind the program), the load modes that rewrite
 * a script on disk, and running it.
 */
#ifndef TG_DRIVER_LOADER_H
#define TG_DRIVER_LOADER_H

#include <windows.h>

#include "driver/appended.h"

/* Load modes: what a start does with its script. */
enum { LOADMODE_RUN = 0, LOADMODE_SCRAMBLE = 1, LOADMODE_UNSCRAMBLE = 2 };

extern UINT g_uLoadMode;
/* TRUE when the script is the one appended to g_szSetupInf. */
extern BOOL g_bInternalInf;
/* The file holding the appended script (the program itself) and the marker line before it. */
extern char g_szSetupInf[CCH_PATH];
extern char g_szInfHeader[CCH_TITLE];

/*
 * Decides which script runs, after the command line and the named script's
 * own search: the script appended to lpszExe unless -i= or a plain argument
 * named one (bNamed), else g_szIniFile, else -- only when no script was named
 * at all (bAnyName FALSE) -- the first of the fall-back names in the home
 * folder. A named script that is missing shows 1032; with nothing named and
 * nothing found it shows "Cannot find information file."; both return FALSE.
 */
BOOL fnChooseScript(const char *lpszExe, BOOL bNamed, BOOL bAnyName);

/*
 * Loads the script, runs the framing sections and the section walk, then
 * cleans up. A failure shows its message and sets g_bRunFailed. Returns the
 * walk's result, 0 when it did not run.
 */
int fnLoadInf(HWND hWnd);

/* The program file's version as "a.b.c.d"; an empty text when it has none. */
BOOL fnReadProgramVersion(const char *lpszExe, char *lpszOut, size_t cchOut);

#endif
