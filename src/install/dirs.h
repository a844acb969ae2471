/*
 * install/dirs.h -- creating directories: one level, whole trees (optionally
 * written to the installation log so a later removal knows them) and the
 * directory lists of "[MakeDirs]", "[DestSubDirs]" and the destination's
 * directory section.
 */
#ifndef TG_INSTALL_DIRS_H
#define TG_INSTALL_DIRS_H

#include <windows.h>

/* Creates one directory ('/' read as '\'); TRUE when it was made or exists. bLog writes it to the installation log. */
BOOL fnCreateDir(const char *lpszDir, BOOL bLog);

/* Creates every missing level of lpszPath; only the full path is logged. An empty path gives TRUE. */
BOOL fnCreateDirTreeLog(const char *lpszPath, BOOL bLog);

/* Results of fnInfGetDir */
enum {
    GETDIR_NONE = 0,  /* no such line, or a condition ends the list */
    GETDIR_PATH = 1,
    GETDIR_SKIP = 4   /* the line is no directory: a condition says skip, or ExpandDelims */
};

/*
 * Line nDirNum (from 1; comment and empty lines do not count) of a directory
 * list whose lines begin at lpszBody: its directory, as written, to lpszOut.
 */
int fnInfGetDir(const char *lpszBody, int nDirNum, char *lpszOut, size_t cchOut);

/*
 * A directory line as it is created: an absolute path as written; a relative
 * one expanded, and when the expansion did not give an absolute path, joined
 * to g_szDestDir. FALSE when a value was cut or the joined path does not fit.
 */
BOOL fnResolveDirLine(const char *lpszLine, char *lpszOut, size_t cchOut);

/*
 * Creates the first nLines directories of the list at lpszBody: 1 done, 2
 * failed (message 1054 or 1072 shown unless quiet) or cancelled in hDlg.
 * With bProgress the dialog shows each path and the meter nDirNum + nOffset + 1.
 */
UINT fnCreateDirectories(HWND hWnd, HWND hDlg, const char *lpszBody, const char *lpszName, int nLines, int nOffset,
                         BOOL bProgress, BOOL bLog);

/*
 * Shows 1072 when the drive of lpszPath is missing, else 1054 with the path;
 * nothing in a quiet run. Always FALSE, for the callers' returns.
 */
BOOL fnDirTreeFailed(const char *lpszPath, UINT uIcon);

#endif
