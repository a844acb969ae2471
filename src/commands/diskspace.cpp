/*
 * commands/diskspace.cpp -- the portable part of folder sizes and disk
 * space: the folder walk over a caller's directory lister and the 64-bit
 * arithmetic of the space figures.
 */
#include "commands/diskspace.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "script/pathtext.h"

struct FolderWalkStruct {
    const char *lpszDir;
    DirListProc pfnList;
    ULONGLONG ullSize;
};

static BOOL fnFolderEntry(const DirEntryStruct *lpEntry, void *lpContext)
{
    FolderWalkStruct *lpWalk = (FolderWalkStruct *)lpContext;
    const char *lpszName = lpEntry->lpszName;
    if (strcmp(lpszName, ".") == 0 || strcmp(lpszName, "..") == 0)
        return TRUE;
    /* a link may lead back up the tree or to another drive: neither counted nor entered */
    if (lpEntry->dwAttributes & DIRENTRY_REPARSE)
        return TRUE;
    if (!(lpEntry->dwAttributes & DIRENTRY_DIRECTORY)) {
        lpWalk->ullSize += lpEntry->ullSize;
        return TRUE;
    }
    char szSub[CCH_PATH];
    /* the lister adds "\*" behind the folder, so that must fit as well */
    if (!fnJoinPath(szSub, sizeof(szSub), lpWalk->lpszDir, lpszName) || strlen(szSub) + 2 >= sizeof(szSub)) {
        fnDebugLog("fnCalcFolderSize", "Path too long, passed over\nszDir=%s,\nszName=%s", g_uDebugLevel,
                   lpWalk->lpszDir, lpszName);
        return TRUE;
    }
    lpWalk->ullSize += fnCalcFolderSize(szSub, lpWalk->pfnList);
    return TRUE;
}

ULONGLONG fnCalcFolderSize(const char *lpszDir, DirListProc pfnList)
{
    FolderWalkStruct walk = {lpszDir, pfnList, 0};
    if (!pfnList(lpszDir, fnFolderEntry, &walk))
        fnDebugLog("fnCalcFolderSize", "Cannot read szDir=%s", g_uDebugLevel, lpszDir);
    return walk.ullSize;
}

BOOL fnIsDriveOnly(const char *lpszPath)
{
    char c = fnUpperAscii(lpszPath[0]);
    if (c < 'A' || c > 'Z' || lpszPath[1] != ':')
        return FALSE;
    return lpszPath[2] == '\0' || (lpszPath[2] == '\\' && lpszPath[3] == '\0');
}

ULONGLONG fnUsedSpace(ULONGLONG ullTotal, ULONGLONG ullFree) { return ullTotal > ullFree ? ullTotal - ullFree : 0; }

void fnSpaceFromClusters(DWORD dwSectorsPerCluster, DWORD dwBytesPerSector, DWORD dwFreeClusters,
                         DWORD dwTotalClusters, DiskSpaceStruct *lpSpace)
{
    ULONGLONG ullCluster = (ULONGLONG)dwSectorsPerCluster * dwBytesPerSector;
    lpSpace->ullFree = ullCluster * dwFreeClusters;
    lpSpace->ullTotal = ullCluster * dwTotalClusters;
    lpSpace->ullAvail = lpSpace->ullFree;
    lpSpace->ullUsed = fnUsedSpace(lpSpace->ullTotal, lpSpace->ullFree);
}

BOOL fnDriveRoot(const char *lpszPath, char *lpszRoot, size_t cchRoot)
{
    if (lpszPath[0] && lpszPath[1] == ':') {
        char sz[4] = {lpszPath[0], ':', '\\', '\0'};
        return fnCopyBounded(lpszRoot, cchRoot, sz);
    }
    if (lpszPath[0] == '\\' && lpszPath[1] == '\\') {
        /* \\server\share\ */
        const char *p = strchr(lpszPath + 2, '\\');
        if (!p || p == lpszPath + 2)
            return FALSE;
        const char *q = strchr(p + 1, '\\');
        size_t cch = q ? (size_t)(q - lpszPath) : strlen(lpszPath);
        if (cch == (size_t)(p + 1 - lpszPath))
            return FALSE;
        return fnCopyBoundedN(lpszRoot, cchRoot, lpszPath, cch) && fnAppendBounded(lpszRoot, cchRoot, "\\");
    }
    return FALSE;
}
