/*
 * install/namelist.cpp -- folder listings taken before a walk acts on them.
 * See namelist.h.
 */
#include "install/namelist.h"

#include <stdlib.h>

#include "common/bounded.h"
#include "script/pathtext.h"

BOOL fnListAdd(NameListStruct *lpList, const char *lpszName)
{
    if (lpList->uCount == lpList->uCap) {
        UINT uCap = lpList->uCap ? lpList->uCap * 2 : 32;
        void *lpNew = realloc(lpList->lpNames, (size_t)uCap * MAX_PATH);
        if (!lpNew)
            return FALSE;
        lpList->lpNames = (char (*)[MAX_PATH])lpNew;
        lpList->uCap = uCap;
    }
    fnCopyBounded(lpList->lpNames[lpList->uCount++], MAX_PATH, lpszName);
    return TRUE;
}

void fnListFree(NameListStruct *lpList)
{
    free(lpList->lpNames);
    lpList->lpNames = NULL;
    lpList->uCount = lpList->uCap = 0;
}

BOOL fnListNames(const char *lpszDir, const char *lpszPattern, BOOL bDirs, NameListStruct *lpList,
                 ULONGLONG *lpqwBytes)
{
    char szSearch[MAX_PATH];
    if (!fnJoinPath(szSearch, sizeof(szSearch), lpszDir, lpszPattern))
        return FALSE;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(szSearch, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return TRUE;
    BOOL bOk = TRUE;
    do {
        BOOL bDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (bDir != bDirs || lstrcmpA(fd.cFileName, ".") == 0 || lstrcmpA(fd.cFileName, "..") == 0)
            continue;
        /* a link to a folder elsewhere is never followed */
        if (bDir && (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        bOk = fnListAdd(lpList, fd.cFileName);
        if (bOk && lpqwBytes && !bDir) {
            ULONGLONG qw = ((ULONGLONG)fd.nFileSizeHigh << 32) | fd.nFileSizeLow;
            *lpqwBytes = qw > ~0ULL - *lpqwBytes ? ~0ULL : *lpqwBytes + qw;
        }
    } while (bOk && FindNextFileA(hFind, &fd));
    FindClose(hFind);
    return bOk;
}
