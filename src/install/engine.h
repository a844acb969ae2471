/*
 * install/engine.h -- the file install engine: puts one source file of an
 * IFStruct in place at its destination, deciding where the copy lives,
 * whether a copy exists elsewhere, whether the existing file is in use or
 * must be backed up, whether the versions allow the replacement and how to
 * copy. Layers, each returning a small code to the one above:
 * fnInstallFileVer (per file) -> fnFindFileInfoVer (existing copy) ->
 * fnInstallFile (copy step with its prompts) -> fnVerInstallFile (the
 * version-comparing copy) -> the copy primitives of copyprim.h.
 * Wildcard lines go through fnWildInstallFiles one level above.
 */
#ifndef TG_INSTALL_ENGINE_H
#define TG_INSTALL_ENGINE_H

#include <windows.h>

#include "install/filerules.h"
#include "install/ifstruct.h"

/* Results of fnInstallFileVer for the section loop */
enum {
    IFV_INSTALLED = 0,
    IFV_SKIPPED = 1,  /* skipped or handled: go on with the next line */
    IFV_ABORT = 2     /* abort the section */
};

/* Results of fnInstallFile */
enum {
    IF_DONE = 0,
    IF_ABORT = 11,
    IF_SKIP = 12,
    IF_SRCMISSING = 13,
    IF_INUSE = 14
};

/* The result word of the last copy step (VerInstallFile bits); the prompts read it. */
extern DWORD g_dwVIFResult;

/*
 * TRUE while a part of a joined file is added to the join's temporary file:
 * the part writes no installation-log line, the joined file writes its own
 * when it is installed at its destination.
 */
extern BOOL g_bJoinPartToTemp;

/*
 * Clears what one line of a section must not inherit from the previous one
 * (szCurDir, szSuggestDstDir, szBackupFile, szDescription, szDisk,
 * szDiskPrompt, bDiskGiven). The section readers call it before filling each
 * line; fnWildInstallFiles before each file found.
 */
void fnClearFileLine(IFStruct *lpIF);

/*
 * Installs szSrcFilePath\szSrcFileName as szDstDir\szDstFileName by the
 * record's modes, with its prompts, backup, in-use replacement, installation
 * log line and progress step (uFileNum). IFV_INSTALLED, IFV_SKIPPED or
 * IFV_ABORT. hWnd owns the dialogs; lpIF->hWndProgress gets the text lines.
 */
UINT fnInstallFileVer(HWND hWnd, IFStruct *lpIF);

/*
 * Where a current copy of szDstFileName lives (szCurDir) and what to do
 * about it: FIND_INSTALL, FIND_ABORT ... FIND_INTODST (filerules.h).
 */
UINT fnFindFileInfoVer(HWND hWnd, IFStruct *lpIF);

/*
 * The copy step into szSuggestDstDir with its messages and retries: IF_DONE,
 * IF_ABORT, IF_SKIP, IF_SRCMISSING or IF_INUSE. uFlags: VIFFLAG_FORCE,
 * VIFFLAG_KEEPOTHER, VIFFLAG_DESTABSENT (not kept for a retry). lpszTmpFile (CCH_PATH) receives the temporary file's
 * name while one exists; it is empty on return.
 */
UINT fnInstallFile(HWND hWnd, UINT uFlags, IFStruct *lpIF, char *lpszTmpFile);

/*
 * The version-comparing copy of lpszSrcDir\lpszSrcFileName to
 * lpszDestDir\lpszDestFileName (VerInstallFile result bits, 0 installed or
 * kept as identical). lpszCurDir names where a current copy lives (may be
 * empty). The temporary file's name part goes to lpszTmpFile (cchTmpFile)
 * while it exists; VIF_TEMPFILE in the result says it still does.
 */
DWORD fnVerInstallFile(DWORD dwFlags, const char *lpszSrcFileName, const char *lpszDestFileName,
                       const char *lpszSrcDir, const char *lpszDestDir, const char *lpszCurDir, char *lpszTmpFile,
                       UINT cchTmpFile, UINT uInstallMode, BOOL bKeepAttrib);

/*
 * Installs every file of szSrcFilePath matching szWildSpec (with bRecurse
 * also in its subdirectories, into the same subdirectories of szDstDir).
 * 0 when stopped (an abort or the progress dialog's Cancel), nonzero
 * otherwise. szSrcFilePath and szDstDir are as given on return.
 */
UINT fnWildInstallFiles(HWND hWnd, IFStruct *lpIF);

/* One subdirectory level of a recursive wildcard install (szSrcFilePath and szDstDir already point there); 0 on failure. */
UINT fnWildInstallDirectory(HWND hWnd, IFStruct *lpIF);

#endif
