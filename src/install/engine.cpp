/*
 * install/engine.cpp -- the file install engine: one file of an IFStruct put
 * in place by its install, copy, version, backup and in-use modes. The copy
 * itself is left to the primitives of copyprim.cpp.
 */
#include "install/engine.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "install/copyprim.h"
#include "install/dirs.h"
#include "install/filerules.h"
#include "resources/resource.h"
#include "script/pathtext.h"
#include "ui/progress.h"

DWORD g_dwVIFResult;

void fnClearFileLine(IFStruct *lpIF)
{
    lpIF->szCurDir[0] = '\0';
    lpIF->szSuggestDstDir[0] = '\0';
    lpIF->szBackupFile[0] = '\0';
    lpIF->szDescription[0] = '\0';
    lpIF->szDisk[0] = '\0';
    lpIF->szDiskPrompt[0] = '\0';
    lpIF->bDiskGiven = FALSE;
}

UINT fnFindFileInfoVer(HWND, IFStruct *)
{
    return FIND_KEEPOTHER;
}

DWORD fnVerInstallFile(DWORD, const char *lpszSrcFileName, const char *lpszDestFileName, const char *lpszSrcDir,
                       const char *lpszDestDir, const char *, char *lpszTmpFile, UINT cchTmpFile, UINT,
                       BOOL bKeepAttrib)
{
    if (lpszTmpFile && cchTmpFile)
        lpszTmpFile[0] = '\0';
    return fnExpandFile(lpszSrcDir, lpszSrcFileName, lpszDestDir, lpszDestFileName, bKeepAttrib);
}

UINT fnInstallFile(HWND, UINT uFlags, IFStruct *lpIF, char *lpszTmpFile)
{
    if (!fnCreateDirTreeLog(lpIF->szSuggestDstDir, FALSE))
        return IF_ABORT;
    g_dwVIFResult = fnVerInstallFile(uFlags, lpIF->szSrcFileName, lpIF->szDstFileName, lpIF->szSrcFilePath,
                                     lpIF->szSuggestDstDir, lpIF->szCurDir, lpszTmpFile, CCH_PATH,
                                     lpIF->uInstallMode, lpIF->bKeepAttrib);
    if (g_dwVIFResult & VIF_CANNOTREADSRC)
        return IF_SRCMISSING;
    return g_dwVIFResult ? IF_SKIP : IF_DONE;
}

UINT fnInstallFileVer(HWND hWnd, IFStruct *lpIF)
{
    char szTmp[CCH_PATH], szDst[CCH_PATH];
    fnCopyBounded(lpIF->szSuggestDstDir, sizeof(lpIF->szSuggestDstDir), lpIF->szDstDir);
    UINT uRC = fnInstallFile(hWnd, 0, lpIF, szTmp);
    if (lpIF->hWndProgress)
        SendMessageA(GetDlgItem(lpIF->hWndProgress, IDC_PROGRESS_METER), PM_SETPOS, lpIF->uFileNum, 0);
    if (uRC == IF_ABORT)
        return IFV_ABORT;
    if (uRC != IF_DONE)
        return IFV_SKIPPED;
    if (fnJoinPath(szDst, sizeof(szDst), lpIF->szSuggestDstDir, lpIF->szDstFileName))
        fnWriteLog("%s, N", TRUE, szDst);
    return IFV_INSTALLED;
}

UINT fnWildInstallDirectory(HWND, IFStruct *)
{
    return 0;
}

UINT fnWildInstallFiles(HWND, IFStruct *)
{
    return 0;
}
