/*
 * install/fileops_win.cpp -- the program's table of replaceable file calls:
 * the system functions themselves, the quick existing-copy search and the
 * close-holder operation.
 */
#include "install/fileops.h"

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

const FileOpsStruct g_fileOpsWin = {fnVerFindFileQuick, MoveFileExA, GetDriveTypeA, GetDiskFreeSpaceExA,
                                    CreateFileA,        WriteFile,   CopyFileA,     fnCloseHolder};
const FileOpsStruct *g_lpFileOps = &g_fileOpsWin;
