/*
 * commands/diskspace_win.cpp -- disk space of a drive and the folder walk's
 * directory lister on Windows.
 */
#include <windows.h>

#include <string.h>

#include "commands/commands_win.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"

BOOL fnGetDiskSpaceInfo(const char *lpszPath, DiskSpaceStruct *lpSpace)
{
    ZeroMemory(lpSpace, sizeof(*lpSpace));
    char szRoot[CCH_PATH];
    if (!fnDriveRoot(lpszPath, szRoot, sizeof(szRoot))) {
        fnDebugLog("fnGetDiskSpaceInfo", "No drive in szPath=%s", g_uDebugLevel, lpszPath);
        return FALSE;
    }
    fnLoadCmdKernel();
    BOOL bRC;
    DWORD dwErr = 0;
    if (g_cmdKernel.pfnGetDiskFreeSpaceExA) {
        ULARGE_INTEGER avail, total, free;
        bRC = g_cmdKernel.pfnGetDiskFreeSpaceExA(szRoot, &avail, &total, &free);
        dwErr = GetLastError();
        if (bRC) {
            lpSpace->ullAvail = avail.QuadPart;
            lpSpace->ullTotal = total.QuadPart;
            lpSpace->ullFree = free.QuadPart;
            lpSpace->ullUsed = fnUsedSpace(lpSpace->ullTotal, lpSpace->ullFree);
        }
    } else {
        DWORD dwSectors = 0, dwBytes = 0, dwFree = 0, dwTotal = 0;
        bRC = GetDiskFreeSpaceA(szRoot, &dwSectors, &dwBytes, &dwFree, &dwTotal);
        dwErr = GetLastError();
        if (bRC)
            fnSpaceFromClusters(dwSectors, dwBytes, dwFree, dwTotal, lpSpace);
    }
    if (!bRC)
        fnDebugLog("fnGetDiskSpaceInfo", "szDrive=%s, error %lu", g_uDebugLevel, szRoot, (unsigned long)dwErr);
    fnDebugLog("fnGetDiskSpaceInfo",
               "szDrive=%s, uint64FreeSpace=%llu, uint64AvailSpace=%llu, uint64TotalSpace=%llu, uint64UsedSpace=%llu",
               g_uDebugLevel, szRoot, (unsigned long long)lpSpace->ullFree, (unsigned long long)lpSpace->ullAvail,
               (unsigned long long)lpSpace->ullTotal, (unsigned long long)lpSpace->ullUsed);
    return bRC;
}

static BOOL fnListDir(const char *lpszDir, DirEntryProc pfnEntry, void *lpContext)
{
    char szSpec[CCH_PATH];
    if (fnFormatBounded(szSpec, sizeof(szSpec), "%s\\*", lpszDir) != (int)strlen(lpszDir) + 2)
        return FALSE;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileExA(szSpec, FindExInfoBasic, &fd, FindExSearchNameMatch, NULL,
                                    FIND_FIRST_EX_LARGE_FETCH);
    if (hFind == INVALID_HANDLE_VALUE)
        hFind = FindFirstFileA(szSpec, &fd);  /* systems that know neither flag */
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    do {
        DirEntryStruct entry = {fd.cFileName, fd.dwFileAttributes,
                                ((ULONGLONG)fd.nFileSizeHigh << 32) | fd.nFileSizeLow};
        if (!pfnEntry(&entry, lpContext))
            break;
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
    return TRUE;
}

ULONGLONG fnGetFolderSize(const char *lpszPath)
{
    if (fnIsDriveOnly(lpszPath)) {
        DiskSpaceStruct space;
        fnGetDiskSpaceInfo(lpszPath, &space);
        return space.ullUsed;
    }
    char szDir[CCH_PATH];
    fnCopyBounded(szDir, sizeof(szDir), lpszPath);
    size_t cch = strlen(szDir);
    while (cch > 1 && szDir[cch - 1] == '\\' && szDir[cch - 2] != ':')
        szDir[--cch] = '\0';
    return fnCalcFolderSize(szDir, fnListDir);
}
