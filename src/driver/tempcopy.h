/*
 * driver/tempcopy.h -- running from a copy in the temporary folder: the
 * loader that starts "_TG7K9_.EXE" when the program runs from a removable
 * disk, and the re-launch that the Restart setting asks for.
 */
#ifndef TG_DRIVER_TEMPCOPY_H
#define TG_DRIVER_TEMPCOPY_H

#include <windows.h>

/* TRUE when this start should hand over to a temporary copy: an appended script from a removable drive or an "RNF" script. */
BOOL fnNeedsLoader(BOOL bAppendedScript);

/*
 * Copies the program to the temporary folder, shows the loader window and
 * starts the copy with the same script, folders and switches; sets the stop
 * flag so this process ends. Returns 1 when the copy runs (or one already
 * runs), 0 on failure after its message.
 */
BOOL fnInitLoader(HINSTANCE hInst, BOOL bAppendedScript);

/* Starts a fresh copy of lpszExec from the temporary folder; 1 when it started. */
BOOL fnReloadExec(HWND hWnd, const char *lpszExec);

/* The arguments that make a copy run the same script with the same folders and switches. */
void fnCopyArguments(BOOL bAppendedScript, char *lpszArgs, size_t cchArgs);

/* Starts a command line without waiting; FALSE when it cannot be started. */
BOOL fnStartNoWait(const char *lpszCmdLine);

#endif
