/*
 * install/fileops_win.cpp -- the program's table of replaceable file calls:
 * the system functions themselves, the quick existing-copy search and the
 * close-holder operation.
 */
#include "install/fileops.h"

#include <string.h>

#include "driver/debuglog.h"
#include "common/runstate.h"
#include "process/procfind.h"

/* The program running from the file is asked to close (never ended by force). */
static BOOL fnCloseHolder(const char *lpszFile)
{
    BOOL bAsked = fnCloseRunningExec(lpszFile, FALSE);
    fnDebugLog("fnCloseHolder", "%s: bAsked=%d", g_uDebugLevel, lpszFile, bAsked);
    return bAsked;
}

/*
 * SetFileInformationByHandle (Vista and later), looked up once: renaming
 * through the handle the copy was written with spares opening it again by
 * name. The new name goes in its native form (the full path after the
 * prefix \??\), which every version of the call takes as it is.
 */
static BOOL fnRenameOpenFile(HANDLE hFile, const char *lpszNewPath)
{
    typedef BOOL(WINAPI * SetInfoProc)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
    static SetInfoProc s_pfnSetInfo;
    static BOOL s_bLooked;
    if (!s_bLooked) {
        s_bLooked = TRUE;
        HMODULE hKernel = GetModuleHandleA("kernel32.dll");
        s_pfnSetInfo = hKernel ? (SetInfoProc)(void *)GetProcAddress(hKernel, "SetFileInformationByHandle") : NULL;
        if (!s_pfnSetInfo)
            fnDebugLog("fnRenameOpenFile", "SetFileInformationByHandle is missing: files are renamed by name",
                       g_uDebugLevel);
    }
    char szFull[MAX_PATH];
    DWORD cchFull = GetFullPathNameA(lpszNewPath, sizeof(szFull), szFull, NULL);
    if (!s_pfnSetInfo || !cchFull || cchFull >= sizeof(szFull) || szFull[1] != ':') {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    /* the structure and its name in one block: the prefix, the path and the terminator */
    WCHAR wszFull[MAX_PATH];
    int cwch = MultiByteToWideChar(CP_ACP, 0, szFull, -1, wszFull, MAX_PATH);
    if (cwch <= 0) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    BYTE abInfo[sizeof(FILE_RENAME_INFO) + (MAX_PATH + 8) * sizeof(WCHAR)] = {};
    FILE_RENAME_INFO *lpInfo = (FILE_RENAME_INFO *)(void *)abInfo;
    lpInfo->ReplaceIfExists = TRUE;
    lpInfo->RootDirectory = NULL;
    const WCHAR wszPrefix[] = L"\\??\\";
    memcpy(lpInfo->FileName, wszPrefix, 4 * sizeof(WCHAR));
    memcpy(lpInfo->FileName + 4, wszFull, (size_t)cwch * sizeof(WCHAR));
    lpInfo->FileNameLength = (DWORD)(4 + cwch - 1) * sizeof(WCHAR);
    return s_pfnSetInfo(hFile, FileRenameInfo, lpInfo, (DWORD)sizeof(abInfo));
}

const FileOpsStruct g_fileOpsWin = {fnVerFindFileQuick, MoveFileExA, GetDriveTypeA,    GetDiskFreeSpaceExA,
                                    CreateFileA,        WriteFile,   CopyFileA,        fnRenameOpenFile,
                                    fnCloseHolder};
const FileOpsStruct *g_lpFileOps = &g_fileOpsWin;
