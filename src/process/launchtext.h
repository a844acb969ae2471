/*
 * process/launchtext.h -- the text side of starting programs: the command
 * lines of the directory search, the quoting of an unquoted program path
 * that holds blanks, and which message a launch failure gets. No system calls;
 * the one file test the quoting needs is passed in.
 */
#ifndef TG_PROCESS_LAUNCHTEXT_H
#define TG_PROCESS_LAUNCHTEXT_H

#include "common/tgtypes.h"

#define LAUNCH_ATTEMPTS 4

/* TRUE when the command line (after an opening quote) begins with a drive ("X:") or a UNC path. */
BOOL fnLaunchNamesDrive(const char *lpszCmd);

/*
 * The command line of attempt nAttempt (1-4) of the directory search: 1 the
 * command line as given, 2 joined to lpszCurDir, 3 to lpszHomeDir, 4 to
 * lpszWinDir, with one backslash between; a directory goes inside the opening
 * quote of a quoted command line. A command line beginning with ".\" or "./"
 * is first joined to lpszHomeDir in place of those two characters. FALSE when
 * the attempt has no text (empty folder) or would not fit in cchOut.
 */
BOOL fnLaunchAttempt(const char *lpszCmd, int nAttempt, const char *lpszCurDir, const char *lpszHomeDir,
                     const char *lpszWinDir, char *lpszOut, size_t cchOut);

typedef BOOL (*FileExistsProc)(const char *lpszPath);

/*
 * An unquoted command line with a blank would let the system try each blank
 * as the end of the program name ("C:\Prog.exe" for "C:\Prog Files\App\a.exe").
 * Such a line gets its program quoted: the longest prefix ending in .exe,
 * .com, .bat or .cmd before a blank (or the end) that pfnExists finds, else,
 * when the first word names a folder, the shortest such prefix when it holds a
 * blank ("cmd /c C:\x.bat" stays as it is). Any other command line is copied
 * as it is. FALSE when the result would not fit (lpszOut then holds the copy
 * cut, and must not be run).
 */
BOOL fnQuoteProgramPath(const char *lpszCmd, FileExistsProc pfnExists, char *lpszOut, size_t cchOut);

/* Message for a failed launch by its error code: 1236 out of memory (14), 1235 not found (2, 3), else 1234. */
UINT fnLaunchErrorMessageId(DWORD dwError);

/* The error codes after which the run cannot go on: 4, 5, 14, 18, 32 and 54. */
BOOL fnIsSeriousLaunchError(DWORD dwError);

#endif
