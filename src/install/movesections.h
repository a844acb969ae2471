/*
 * install/movesections.h -- the move, rename and delete sections
 * ("[MoveFilesBefore]", "[MoveFiles]", "[MoveFilesAfter]", "[DeleteFiles]")
 * and the single-file operations the command sections share with them.
 * Every action writes one installation-log line: "src, dst, M" moved,
 * "src, dst, C" copied, "src, dst, R" renamed, "path,  D" deleted.
 */
#ifndef TG_INSTALL_MOVESECTIONS_H
#define TG_INSTALL_MOVESECTIONS_H

#include <windows.h>

#include "install/ifstruct.h"

/* The section run under the (hidden) progress dialog hDlg or NULL: 1 done, 0 stopped. */
UINT fnMoveFiles(HWND hWnd, HWND hDlg, const char *lpszText, const char *lpszName);

/*
 * One file of a move line (szSrcFileSpec, szDstFileSpec and the modes of the
 * record): 1 go on, 0 stop the section. A move copies, compares the copy
 * with the source and only then deletes the source; a file in use is
 * replaced or deleted at the next restart.
 */
UINT fnProcessMoveFile(HWND hWnd, IFStruct *lpIF);
/* fnProcessMoveFile and a step of the meter. */
UINT fnMoveAFile(HWND hWnd, IFStruct *lpIF);
/*
 * Every file matching szWildSpec in the directory of szSrcFileSpec, then,
 * with bRecurse, every subdirectory (never one that holds the destination,
 * never through a link): 1 done, 0 stopped.
 */
UINT fnWildMove(HWND hWnd, IFStruct *lpIF);

/* Renames (moves) a file, replacing lpszNew; nonzero on success, the system error kept. */
BOOL fnRename(const char *lpszOld, const char *lpszNew);

/*
 * Deletes one file; a file in use is offered to its holder to close and
 * otherwise deleted at the next restart. A file that is not there is done.
 * Always 1.
 */
BOOL fnDeleteAFile(const char *lpszFileSpec);
/*
 * Deletes the files matching lpszSpec (a directory alone means all its
 * files), with bRecurse the same pattern in every subdirectory (not through
 * links), then removes each directory that became empty, except
 * lpszKeepDir. Always 1.
 */
BOOL fnDeleteTree(const char *lpszSpec, const char *lpszKeepDir, BOOL bRecurse);

#endif
