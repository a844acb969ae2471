/*
 * install/copyprim.h -- the file copy primitives every file operation stands
 * on: copies with LZ (SZDD) expansion, plain copies, appending, unique and
 * backup names, replacement at the next restart, the name a compressed file
 * expands to, source lookup, the in-use and writable tests, and the cached
 * drive facts (type, free space) of a section run. The copies return
 * VerInstallFile result bits (0 success) so the install engine maps every
 * failure to its message in one place; none keeps state between calls
 * except the drive cache.
 */
#ifndef TG_INSTALL_COPYPRIM_H
#define TG_INSTALL_COPYPRIM_H

#include <windows.h>

/*
 * Copies srcDir\srcName to dstDir\dstName, expanding an SZDD-compressed
 * source (others are copied unchanged). The destination is written from its
 * start and cut to the new length; a copy that fails once the destination is
 * open removes the partial file. The destination gets the source's time and,
 * with bKeepAttrib, its attributes. Disk prompts 1063/1065 on removable
 * drives (quiet: Cancel). A source and destination that are one file give
 * VIF_CANNOTREADSRC without touching it.
 */
DWORD fnExpandFile(const char *lpszSrcDir, const char *lpszSrcName, const char *lpszDstDir, const char *lpszDstName,
                   BOOL bKeepAttrib);

/* not a VerInstallFile bit: fnExpandFileKnown found a file where none was known */
#define VIF_EXPAND_EXISTS 0x80000000UL

/*
 * fnExpandFile for a caller that has just read the destination's attributes
 * (INVALID_FILE_ATTRIBUTES: there is none) or made it as an empty temporary
 * file: they are not asked again, which on a file that does not exist yet
 * costs a search of its folder. A destination known to be absent is made
 * new; when one has appeared meanwhile it is left alone and the result is
 * VIF_EXPAND_EXISTS. A source the caller already holds open for
 * reading (hSrc, else INVALID_HANDLE_VALUE) is read through that handle from
 * its start and left open. A new empty destination the caller holds open for
 * writing (hDst, else INVALID_HANDLE_VALUE) is written and dated through that
 * handle and left open; after a failure the caller deletes it.
 */
DWORD fnExpandFileKnown(const char *lpszSrcDir, const char *lpszSrcName, const char *lpszDstDir,
                        const char *lpszDstName, BOOL bKeepAttrib, DWORD dwDstAttr, HANDLE hSrc, HANDLE hDst);

/* Copies as is (no expansion); attributes as copied unless bKeepAttrib is FALSE (then normal). */
DWORD fnCopyFileAsIs(const char *lpszReadDir, const char *lpszReadName, const char *lpszWriteDir,
                     const char *lpszWriteName, BOOL bKeepAttrib);

/*
 * Copies a file, creating the destination's directory tree when missing; the
 * copy gets normal attributes and, with bKeepTime, the source's time. FALSE
 * with the system error kept for GetLastError.
 */
BOOL fnCopyFile(const char *lpszReadFile, const char *lpszWriteFile, BOOL bFailIfExists, BOOL bKeepTime);

/*
 * Appends lpszReadFile to lpszWriteFile (created when missing); the result
 * gets the source's time. A file is never appended to itself
 * (VIF_CANNOTREADSRC).
 */
DWORD fnAppendToFile(const char *lpszReadFile, const char *lpszWriteFile);

/*
 * A free name for lpszTargetName in lpszTargetDir under the run's backup
 * method (g_uBackUpMethod): 1 the name itself is free, 2 a new name was made
 * (".ORI"/".MOD" or "name.{NN}.SAV.ext"), 0 none. The full path goes to
 * lpszOut (CCH_PATH characters).
 */
int fnUniqueFileName(const char *lpszTargetDir, const char *lpszTargetName, char *lpszOut);

/*
 * Schedules lpszSourceFile to replace lpszTargetFile at the next restart
 * ("NUL" as target: delete the source then). Windows NT family: a delayed
 * move; otherwise a "[rename]" line of WININIT.INI in the Windows directory.
 * A source that does not exist is never scheduled. Nonzero when scheduled;
 * sets g_bRestartNeeded then.
 */
BOOL fnReplaceFileInUse(const char *lpszSourceFile, const char *lpszTargetFile);

/* The name a compressed file expands to (its own name unless it is SZDD with '_' in the extension); 0 when unreadable. */
BOOL fnGetExpandedName(const char *lpszPath, char *lpszOut, size_t cchOut);

/* TRUE when the file exists as given or joined to g_szSourceDir. */
BOOL fnFindSourceFile(const char *lpszFile);

/* Results of fnTestInUse and of the in-use dialog (template 6) */
enum {
    INUSEANS_RETRY = 101,
    INUSEANS_RESTART = 102,
    INUSEANS_SKIP = 103,
    INUSEANS_EXIT = 104,
    INUSEANS_NOPROMPT = 201,  /* in use, nobody asked */
    INUSEANS_NOTINUSE = 202   /* the error is no in-use error */
};

/* System errors 5, 32, 33 and 183 count as in use: with bPrompt the in-use dialog decides. */
UINT fnTestInUse(HWND hWnd, BOOL bPrompt, DWORD dwError, const char *lpszFile);

/*
 * The in-use dialog (template 6) for lpszFile: INUSEANS_RETRY, _RESTART,
 * _SKIP or _EXIT (after message 1055). A quiet run opens no dialog and
 * answers INUSEANS_RESTART.
 */
UINT fnInUseDialog(HWND hWnd, const char *lpszFile);

/*
 * TRUE when the existing file can be written; a read-only one is made
 * writable after message 1143 (quiet: it is not). *lpdwAttrib (may be NULL)
 * receives FILE_ATTRIBUTE_READONLY when the file was read-only, else
 * FILE_ATTRIBUTE_NORMAL, so the caller can put it back.
 */
BOOL fnEnableWriteToFile(const char *lpszFile, DWORD *lpdwAttrib);

/* A new empty temporary file in lpszDir ("C:\" when empty) named by prefix; its path to lpszOut (CCH_PATH). */
BOOL fnGetTempFileName(const char *lpszDir, const char *lpszPrefix, char *lpszOut);

/*
 * fnGetTempFileName's file made and kept open (for writing, renaming and
 * deleting, others may read it): INVALID_HANDLE_VALUE and lpszOut empty when
 * none can be made.
 */
HANDLE fnCreateTempBeside(const char *lpszDir, const char *lpszPrefix, char *lpszOut);

/* Free bytes on the drive of lpszPath available to this user; 0 when they cannot be read. */
ULONGLONG fnGetDiskSpace(const char *lpszPath);

/* Compares the last-write times: -1 the first is older, 0 equal, 1 newer, -2 when one cannot be read. */
int fnCmpFileTime(const char *lpszFile1, const char *lpszFile2);

/*
 * Drive facts for a section run, cached per drive letter until the next
 * fnResetDriveCache (the sections call it as they start): the drive type of
 * a path's drive, and whether cbNeeded more bytes fit on it (asked again of
 * the system only when the estimate runs short; each fit is subtracted).
 */
void fnResetDriveCache(void);
UINT fnDriveType(const char *lpszPath);
BOOL fnReserveDiskSpace(const char *lpszPath, ULONGLONG cbNeeded);
/* TRUE when the drive of lpszPath is missing (no root directory or an unknown drive). */
BOOL fnDriveMissing(const char *lpszPath);

/* TRUE when the two paths name the same file (full paths compared without regard to case). */
BOOL fnSameFile(const char *lpszPath1, const char *lpszPath2);

/*
 * lpszPath with each of its existing levels spelled as the disk spells it
 * (the root and any level that cannot be found stay as given); the result
 * differs from lpszPath only in case. FALSE (lpszOut as lpszPath) when the
 * path has wildcards or does not fit.
 */
BOOL fnDiskCasePath(const char *lpszPath, char *lpszOut, size_t cchOut);

#endif
