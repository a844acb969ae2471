/*
 * install/namelist.h -- the names of one folder, taken before anything in
 * it changes: the wildcard walks of the move and file-copy sections list a
 * folder first and act afterwards, so files they make there (backups,
 * installed copies) are never walked again.
 */
#ifndef TG_INSTALL_NAMELIST_H
#define TG_INSTALL_NAMELIST_H

#include <windows.h>

/* A growing list of names; zero-filled is empty. */
struct NameListStruct {
    char (*lpNames)[MAX_PATH];
    UINT uCount;
    UINT uCap;
};

/* Appends a name; FALSE when memory ran out. */
BOOL fnListAdd(NameListStruct *lpList, const char *lpszName);
void fnListFree(NameListStruct *lpList);

/*
 * The names in lpszDir matching lpszPattern: files (bDirs FALSE) or
 * subdirectories other than "." and ".." that are no links (bDirs TRUE).
 * With lpqwBytes (may be NULL) the files' sizes are added to it. FALSE when
 * memory ran out (the list then holds what was found so far).
 */
BOOL fnListNames(const char *lpszDir, const char *lpszPattern, BOOL bDirs, NameListStruct *lpList,
                 ULONGLONG *lpqwBytes = NULL);

#endif
