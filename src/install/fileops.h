/*
 * install/fileops.h -- the few system calls of file installation whose
 * failures tests must be able to bring about (a file in use that the version
 * API reports, a full disk, a read-only file that Wine lets root write, a
 * replacement at restart), reached through one table. The program uses
 * g_fileOpsWin; a test copies it, replaces what it fakes and points
 * g_lpFileOps at its copy. Nothing in the table is ever NULL.
 */
#ifndef TG_INSTALL_FILEOPS_H
#define TG_INSTALL_FILEOPS_H

#include <windows.h>

struct FileOpsStruct {
    DWORD(WINAPI *pfnVerFindFile)(DWORD uFlags, LPSTR lpszFileName, LPSTR lpszWinDir, LPSTR lpszAppDir,
                                  LPSTR lpszCurDir, PUINT lpuCurDirLen, LPSTR lpszDestDir, PUINT lpuDestDirLen);
    BOOL(WINAPI *pfnMoveFileEx)(LPCSTR lpszExisting, LPCSTR lpszNew, DWORD dwFlags);
    UINT(WINAPI *pfnGetDriveType)(LPCSTR lpszRoot);
    BOOL(WINAPI *pfnGetDiskFreeSpaceEx)(LPCSTR lpszDir, PULARGE_INTEGER lpFree, PULARGE_INTEGER lpTotal,
                                        PULARGE_INTEGER lpTotalFree);
    /* every open of a file the engine writes or tests goes through here */
    HANDLE(WINAPI *pfnCreateFile)(LPCSTR lpszName, DWORD dwAccess, DWORD dwShare, LPSECURITY_ATTRIBUTES lpSA,
                                  DWORD dwDisposition, DWORD dwFlags, HANDLE hTemplate);
    BOOL(WINAPI *pfnWriteFile)(HANDLE hFile, LPCVOID lpBuffer, DWORD cbToWrite, LPDWORD lpcbWritten,
                               LPOVERLAPPED lpOverlapped);
    BOOL(WINAPI *pfnCopyFile)(LPCSTR lpszExisting, LPCSTR lpszNew, BOOL bFailIfExists);
    /*
     * Renames the open file hFile (opened with DELETE access) over
     * lpszNewPath in the same folder, replacing a file there: FALSE with the
     * last error set, ERROR_CALL_NOT_IMPLEMENTED where the system lacks it.
     */
    BOOL (*pfnRenameOpenFile)(HANDLE hFile, const char *lpszNewPath);
    /*
     * Asks the running program whose executable is lpszFile to close (its first
     * enabled, unowned top-level window gets WM_CLOSE); TRUE when one was asked.
     */
    BOOL (*pfnCloseHolder)(const char *lpszFile);
};

/*
 * VerFindFileA, answered without the system's folder searches when the name
 * is provably in none of the folders it looks in (the table's search). The
 * Windows and System folder listings it keeps last for the run, each while
 * its folder is unchanged; fnForgetFolderNames drops them and starts again
 * as a new run would.
 */
DWORD WINAPI fnVerFindFileQuick(DWORD uFlags, LPSTR lpszFileName, LPSTR lpszWinDir, LPSTR lpszAppDir,
                                LPSTR lpszCurDir, PUINT lpuCurDirLen, LPSTR lpszDestDir, PUINT lpuDestDirLen);
void fnForgetFolderNames(void);

extern const FileOpsStruct g_fileOpsWin;
extern const FileOpsStruct *g_lpFileOps;

#endif
