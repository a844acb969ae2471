/*
 * install/version.h -- version resources of files on disk: comparing a new
 * file's with an installed one's, reading version texts, testing a file's
 * version against a dotted text under a condition, file dates against today,
 * and the lines of the version-conflict dialog. Every failure is a result
 * code and a debug-log entry, never a message box.
 */
#ifndef TG_INSTALL_VERSION_H
#define TG_INSTALL_VERSION_H

#include <windows.h>

#include "install/vertext.h"

#define CCH_VERTEXT 128

/* Results of fnCmpFileVersionInfo (source = new file, target = existing file). */
enum {
    VERINFO_IDENTICAL = 0,
    VERINFO_READFAIL = 1,     /* a version block could not be read */
    VERINFO_NONE = 2,         /* no version information */
    VERINFO_SRCUNREAD = 3,
    VERINFO_DSTUNREAD = 4,
    VERINFO_NOFIXED = 5,      /* differ, no fixed information */
    VERINFO_DIFFER = 6,       /* differ, not older, same flags, system and language */
    VERINFO_SRCOLD = 7,
    VERINFO_DIFFFLAGS = 8,
    VERINFO_DIFFOS = 9,
    VERINFO_DIFFLANG = 10
};

int fnCmpFileVersionInfo(const char *lpszSourceFS, const char *lpszTargetFS);

/* What a file's first bytes say about a version resource in it. */
enum {
    VERSIGN_UNREAD = 0,  /* the file could not be opened or holds less than 2 bytes */
    VERSIGN_NONE = 1,    /* no program header: no version resource can be there */
    VERSIGN_PROGRAM = 2, /* a program header ("MZ", "ZM") */
    VERSIGN_SZDD = 3,    /* compressed ("SZ", "KW"): the expanded file may be a program */
};
int fnPeekVersionSign(const char *lpszFile);
/* The same of a file open for reading; it is left at its start. */
int fnPeekVersionSignOf(HANDLE hFile);

/* fnCmpFileVersionInfo for a source whose first bytes were already peeked (nSrcSign). */
int fnCmpVersionSigned(const char *lpszSourceFS, int nSrcSign, const char *lpszTargetFS);

/*
 * The "FileVersion", "ProductVersion" and "LegalCopyRight" strings of a file
 * into the non-null outputs (CCH_VERTEXT characters each). 1 when the version
 * resource was read; else 0 with every output "NA", or "NF" when the file is
 * not found on the search path either.
 */
BOOL fnGetFileVersion(const char *lpszFile, char *lpszFileVersion, char *lpszProductVersion, char *lpszLegal);

/* A file's fixed file version against a dotted text: VERCMP_... (0, 1, 2, 3, 5, 7 or 11). */
int fnCmpFileVersion(const char *lpszFile, const char *lpszFileVersion);

/* 1 when the file's version stands to lpszFileVersion as the condition says, else 0. */
BOOL fnTestFileVersion(const char *lpszFile, const char *lpszCondition, const char *lpszFileVersion);

/* The file's last-write date against today: 1 after, 2 before, 3 today, 0 when it cannot be read. */
int fnCompareFileTimeStampToSystem(const char *lpszPath);

/* Last-write time of a file; 1 or 0. */
BOOL fnGetFileTime(const char *lpszPath, FILETIME *lpftLastWrite);
/* Sets the last-write time of a file; 1 or 0. */
BOOL fnSetFileTime(const char *lpszPath, const FILETIME *lpftLastWrite);

/*
 * Fills a list box (made with LBS_USETABSTOPS) with the version information
 * of one file, one "label:<tab>value" line each. Returns 1, or 0 with the
 * single line "Version information is not available.".
 */
BOOL fnListVersionInfo(const char *lpszFile, HWND hList);

#endif
