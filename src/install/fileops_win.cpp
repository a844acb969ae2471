/*
 * install/fileops_win.cpp -- the program's table of replaceable file calls:
 * the system functions themselves, and the close-holder operation.
 */
#include "install/fileops.h"

#include "driver/debuglog.h"
#include "common/runstate.h"

/* Until running programs can be found by their executable, no holder is asked to close. */
static BOOL fnCloseHolderNone(const char *lpszFile)
{
    fnDebugLog("fnCloseHolder", "No running program closed for %s", g_uDebugLevel, lpszFile);
    return FALSE;
}

const FileOpsStruct g_fileOpsWin = {VerFindFileA, MoveFileExA, GetDriveTypeA, GetDiskFreeSpaceExA,
                                    CreateFileA,  WriteFile,   CopyFileA,     fnCloseHolderNone};
const FileOpsStruct *g_lpFileOps = &g_fileOpsWin;
