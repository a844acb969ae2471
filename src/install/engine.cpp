/*
 * install/engine.cpp -- the file install engine: one file of an IFStruct put
 * in place by its install, copy, version, backup and in-use modes, with the
 * engine's prompts, the installation log line of every outcome and the
 * progress step. The decisions that need no file system live in
 * filerules.cpp (fnFindCopyDecision, fnMismatchDecision); the copies
 * themselves in copyprim.cpp.
 *
 * Two rules hold on every path: an existing file is only ever replaced by a
 * complete new copy (version-checked copies are written beside it and
 * renamed over it), and a replacement at restart is scheduled only once its
 * new copy exists.
 */
#include "install/engine.h"

#include <string.h>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/sectiondriver.h"
#include "driver/winstate.h"
#include "install/copyprim.h"
#include "install/dirs.h"
#include "install/filedialogs.h"
#include "install/fileops.h"
#include "install/filerules.h"
#include "install/version.h"
#include "resource.h"
#include "script/pathtext.h"
#include "ui/progress.h"

DWORD g_dwVIFResult;
BOOL g_bJoinPartToTemp;

namespace {

/* meter steps are repainted synchronously: only when the percentage moves or 50 ms passed */
MeterStepStruct s_meterStep = {(DWORD)-1, 0};
/* the file the backup in szBackupFile was made of */
char s_szBackedUp[CCH_PATH];

void fnStepProgress(const IFStruct *lpIF)
{
    if (!lpIF->hWndProgress)
        return;
    HWND hMeter = fnProgressItem(lpIF->hWndProgress, IDC_PROGRESS_METER);
    if (!hMeter)
        return;
    DWORD dwRange = (DWORD)SendMessageA(hMeter, PM_GETRANGE, 0, 0);
    if (fnMeterStepDue(&s_meterStep, lpIF->uFileNum, dwRange, GetTickCount()))
        SendMessageA(hMeter, PM_SETPOS, (WPARAM)lpIF->uFileNum, 0);
}

/* A progress line "format" with one text; nothing is formatted without a dialog. */
void fnShowText(const IFStruct *lpIF, int nId, const char *lpszFormat, const char *lpszArg)
{
    if (!lpIF->hWndProgress)
        return;
    char sz[CCH_PATH + 64];
    fnFormatBounded(sz, sizeof(sz), lpszFormat, lpszArg);
    fnSetProgressText(lpIF->hWndProgress, nId, sz);
}

BOOL fnIsDir(const char *lpszPath)
{
    DWORD dw = GetFileAttributesA(lpszPath);
    return dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY);
}

/* Directories compared without regard to case or a trailing backslash. */
BOOL fnSameDir(const char *lpszDir1, const char *lpszDir2)
{
    size_t n1 = strlen(lpszDir1), n2 = strlen(lpszDir2);
    while (n1 > 0 && (lpszDir1[n1 - 1] == '\\' || lpszDir1[n1 - 1] == '/'))
        n1--;
    while (n2 > 0 && (lpszDir2[n2 - 1] == '\\' || lpszDir2[n2 - 1] == '/'))
        n2--;
    return n1 == n2 && (n1 == 0 || fnPrefixNoCase(lpszDir1, lpszDir2, n1));
}

/* The name part of a path. */
const char *fnNamePart(const char *lpszPath)
{
    const char *p = strrchr(lpszPath, '\\');
    return p ? p + 1 : lpszPath;
}

/* The directory part of a path into lpszOut (CCH_PATH). */
void fnDirPart(const char *lpszPath, char *lpszOut)
{
    fnCopyBounded(lpszOut, CCH_PATH, lpszPath);
    char *p = strrchr(lpszOut, '\\');
    if (p)
        *p = '\0';
    else
        lpszOut[0] = '\0';
}

/* Message 1120 for a file that cannot be installed: TRUE goes on (Yes), FALSE aborts (No). Quiet goes on. */
BOOL fnCannotInstallGoOn(const char *lpszPath)
{
    if (g_bQuiet) {
        fnDebugLog("fnInstallFileVer", "Cannot install file: %s; quiet, skipped", g_uDebugLevel, lpszPath);
        return TRUE;
    }
    return fnMessage(1120, NULL, MB_YESNO | MB_ICONQUESTION, lpszPath) != IDNO;
}

/* A restart is needed; an exit action the script chose stays. */
void fnRequestRestart(void)
{
    g_bRestartNeeded = TRUE;
    if (g_uOnExit == 0)
        g_uOnExit = 4;
    /* the driver copies the run record back after some sections: it must say the same */
    if (g_lpUserInput && g_lpUserInput->uOnExit == 0)
        g_lpUserInput->uOnExit = 4;
}

/*
 * A file that was backed up and then not installed: when the failed copy left
 * the destination complete (same size and time as the backup) the backup is
 * deleted; when it cut or removed the destination, the backup is put back in
 * its place. A backup that cannot be put back stays where it is.
 */
void fnUndoBackup(IFStruct *lpIF, const char *lpszDst)
{
    if (!lpIF->szBackupFile[0])
        return;
    WIN32_FILE_ATTRIBUTE_DATA fadBak, fadDst;
    BOOL bBak = GetFileAttributesExA(lpIF->szBackupFile, GetFileExInfoStandard, &fadBak);
    BOOL bDst = GetFileAttributesExA(lpszDst, GetFileExInfoStandard, &fadDst);
    if (bBak && bDst && fadBak.nFileSizeLow == fadDst.nFileSizeLow && fadBak.nFileSizeHigh == fadDst.nFileSizeHigh &&
        CompareFileTime(&fadBak.ftLastWriteTime, &fadDst.ftLastWriteTime) == 0) {
        SetFileAttributesA(lpIF->szBackupFile, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(lpIF->szBackupFile);
    } else if (bBak) {
        if (bDst)
            SetFileAttributesA(lpszDst, FILE_ATTRIBUTE_NORMAL);
        if (MoveFileExA(lpIF->szBackupFile, lpszDst, MOVEFILE_REPLACE_EXISTING)) {
            fnDebugLog("fnInstallFileVer", "Backup %s put back as %s", g_uDebugLevel, lpIF->szBackupFile, lpszDst);
        } else {
            fnDebugLog("fnInstallFileVer", "Backup %s kept: cannot put it back, dwError=%lu", g_uDebugLevel,
                       lpIF->szBackupFile, (unsigned long)GetLastError());
            return;
        }
    }
    lpIF->szBackupFile[0] = '\0';
}

/* Creates the destination tree of the copy step: 0, or IF_ABORT after 1072/1054. */
UINT fnMakeDestTree(const char *lpszDir)
{
    if (!lpszDir[0] || fnIsDir(lpszDir))
        return 0;
    if (fnCreateDirTreeLog(lpszDir, FALSE))
        return 0;
    fnDirTreeFailed(lpszDir, MB_ICONSTOP);
    return IF_ABORT;
}

/*
 * Puts the complete new copy lpszTmp in the place of the existing lpszDest by
 * renaming it over it (no space needed, never half-written): through hTmp when
 * the caller holds the copy open (else INVALID_HANDLE_VALUE), by name when
 * that cannot be done. With bClear the blocking attributes of the
 * destination are cleared first and put back when the rename fails. 0, or
 * the VerInstallFile bit of the failure.
 */
DWORD fnReplaceByTemp(const char *lpszTmp, HANDLE hTmp, const char *lpszDest, DWORD dwDestAttr, BOOL bClear)
{
    const DWORD dwBlocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    BOOL bCleared = bClear && (dwDestAttr & dwBlocking) && SetFileAttributesA(lpszDest, FILE_ATTRIBUTE_NORMAL);
    if (hTmp != INVALID_HANDLE_VALUE) {
        if (g_lpFileOps->pfnRenameOpenFile(hTmp, lpszDest))
            return 0;
        fnDebugLog("fnInstallFile", "Cannot rename the open copy over %s (dwError=%lu): renamed by name",
                   g_uDebugLevel, lpszDest, (unsigned long)GetLastError());
    }
    if (g_lpFileOps->pfnMoveFileEx(lpszTmp, lpszDest, MOVEFILE_REPLACE_EXISTING))
        return 0;
    DWORD dwError = GetLastError();
    fnDebugLog("fnInstallFile", "Cannot replace %s, dwError=%lu", g_uDebugLevel, lpszDest, (unsigned long)dwError);
    if (bCleared)
        SetFileAttributesA(lpszDest, dwDestAttr);
    return fnWriteErrorToVif(dwError, (dwDestAttr & FILE_ATTRIBUTE_READONLY) != 0, VIF_CANNOTCREATE);
}

/*
 * Copy as is. An existing destination is replaced only by a complete copy:
 * made beside it under a temporary name (in lpszTmpFile while it exists) and
 * renamed over it; a read-only one is write protection.
 */
DWORD fnCopyAsIsReplacing(const IFStruct *lpIF, BOOL bKeep, char *lpszTmpFile)
{
    char szDest[CCH_PATH], szTmp[CCH_PATH];
    if (!fnJoinPath(szDest, sizeof(szDest), lpIF->szSuggestDstDir, lpIF->szDstFileName))
        return VIF_CANNOTCREATE;
    DWORD dwDestAttr = GetFileAttributesA(szDest);
    if (dwDestAttr == INVALID_FILE_ATTRIBUTES || (dwDestAttr & FILE_ATTRIBUTE_DIRECTORY))
        return fnCopyFileAsIs(lpIF->szSrcFilePath, lpIF->szSrcFileName, lpIF->szSuggestDstDir, lpIF->szDstFileName,
                              bKeep);
    if (dwDestAttr & FILE_ATTRIBUTE_READONLY)
        return VIF_WRITEPROT;
    if (!fnGetTempFileName(lpIF->szSuggestDstDir, "_VS", szTmp))
        return VIF_CANNOTCREATE;
    fnCopyBounded(lpszTmpFile, CCH_PATH, fnNamePart(szTmp));
    DWORD dwVIF = fnCopyFileAsIs(lpIF->szSrcFilePath, lpIF->szSrcFileName, lpIF->szSuggestDstDir, fnNamePart(szTmp),
                                 bKeep);
    if (dwVIF == 0)
        dwVIF = fnReplaceByTemp(szTmp, INVALID_HANDLE_VALUE, szDest, dwDestAttr, TRUE);
    if (dwVIF == 0)
        lpszTmpFile[0] = '\0';
    else
        dwVIF |= VIF_TEMPFILE;
    return dwVIF;
}

/* Everything the search needs to ask the user, and its paths. */
struct FindAskStruct {
    HWND hWnd;
    IFStruct *lpIF;
    const char *lpszExists;
};

UINT fnFindAsk(UINT uQuestion, void *lpContext)
{
    FindAskStruct *a = (FindAskStruct *)lpContext;
    switch (uQuestion) {
    case FINDASK_CLOSEHOLDER:
        return g_lpFileOps->pfnCloseHolder(a->lpszExists);
    case FINDASK_INUSE: {
        UINT uAnswer = fnInUseDialog(a->hWnd, a->lpszExists);
        if (uAnswer == IDC_INUSE_EXIT)
            g_bUserChoseExit = TRUE;
        return uAnswer;
    }
    case FINDASK_ELSEWHERE: {
        UINT uAnswer = fnElsewhereDialog(a->hWnd, a->lpIF->szDstFileName, a->lpIF->szDstDir, a->lpIF->szCurDir);
        if (uAnswer == IDC_EW_EXIT)
            g_bUserChoseExit = TRUE;
        return uAnswer;
    }
    default:
        return 0;
    }
}

/*
 * The destination cannot be read for its version: when it is held open by
 * another program, that is the in-use path, not "possibly insufficient space".
 */
BOOL fnHeldOpen(const char *lpszFile)
{
    HANDLE h = CreateFileA(lpszFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return FALSE;
    }
    DWORD dwError = GetLastError();
    return dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION;
}

/* A file held open for a copy step, closed with its holder. */
struct HandleGuardStruct {
    HANDLE h = INVALID_HANDLE_VALUE;
    void fnClose()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
    ~HandleGuardStruct() { fnClose(); }
    HandleGuardStruct() = default;
    HandleGuardStruct(const HandleGuardStruct &) = delete;
    HandleGuardStruct &operator=(const HandleGuardStruct &) = delete;
};

/* Deletes the temporary file of a copy step (its name part in lpszTmpFile, in lpszDir) and empties the name. */
void fnDeleteTemp(const char *lpszDir, char *lpszTmpFile)
{
    if (!lpszTmpFile[0])
        return;
    char szTmp[CCH_PATH];
    if (fnJoinPath(szTmp, sizeof(szTmp), lpszDir, lpszTmpFile)) {
        SetFileAttributesA(szTmp, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(szTmp))
            fnDebugLog("fnInstallFile", "Cannot delete the temporary file %s, dwError=%lu", g_uDebugLevel, szTmp,
                       (unsigned long)GetLastError());
    }
    lpszTmpFile[0] = '\0';
}

/* Abort/Retry/Ignore of a copy message: IF_ABORT, IF_SKIP, or 0 to retry. */
UINT fnAskRetry(UINT uMsg, const char *lpszPath, BOOL bRemovable)
{
    int nAnswer;
    if (uMsg == 1112 || uMsg == 1132) {
        if (bRemovable && uMsg == 1112) {
            nAnswer = g_bQuiet ? IDIGNORE : fnMessage(1125, NULL, MB_ABORTRETRYIGNORE | MB_ICONQUESTION, lpszPath);
        } else {
            nAnswer = g_bQuiet ? IDOK : fnMessage(1124, NULL, MB_OKCANCEL | MB_ICONQUESTION, lpszPath);
            nAnswer = nAnswer == IDOK ? IDIGNORE : IDABORT;
        }
    } else {
        nAnswer = g_bQuiet ? IDIGNORE : fnMessage(uMsg, NULL, MB_ABORTRETRYIGNORE | MB_ICONQUESTION, lpszPath);
    }
    if (g_bQuiet)
        fnDebugLog("fnInstallFile", "Quiet: message %u for %s answered Ignore", g_uDebugLevel, uMsg, lpszPath);
    if (nAnswer == IDABORT)
        return IF_ABORT;
    if (nAnswer == IDRETRY)
        return 0;
    return IF_SKIP;
}

/* The backup rule for an existing destination: 0 go on with the copy, else an IFV_ result. */
UINT fnApplyBackupRule(HWND hWnd, IFStruct *lpIF, const char *lpszDst, BOOL *lpbBackedUp)
{
    for (;;) {
        switch (lpIF->uBackupAction) {
        case BACKACT_PROMPT:
            switch (fnExistsDialog(hWnd, lpIF->szDstFileName, lpIF->szSuggestDstDir)) {
            case IDC_EX_BACKUP:
                lpIF->uBackupAction = BACKACT_BACKUP;
                continue;
            case IDC_EX_UNIQUE:
                lpIF->uBackupAction = BACKACT_UNIQUE;
                continue;
            case IDC_EX_OVERWRITE:
                lpIF->uBackupAction = BACKACT_OVERWRITE;
                return 0;
            case IDC_EX_SKIP:
                return IFV_SKIPPED;
            default:
                g_bUserChoseExit = TRUE;  /* Exit, confirmed: the run ends as the user's choice */
                return IFV_ABORT;
            }
        case BACKACT_BACKUP: {
            if (*lpbBackedUp)
                return 0;  /* once per file */
            char szBackup[CCH_PATH];
            if (fnUniqueFileName(lpIF->szSuggestDstDir, lpIF->szDstFileName, szBackup) == 0 ||
                fnSameFile(szBackup, lpszDst)) {
                if (!g_bQuiet)
                    fnMessage(1119, NULL, MB_OK | MB_ICONEXCLAMATION, lpszDst);
                fnDebugLog("fnInstallFileVer", "Cannot backup file!  %s will not be installed.", g_uDebugLevel, lpszDst);
                return IFV_SKIPPED;
            }
            fnShowText(lpIF, IDC_PROGRESS_SOURCE, "Backing up file: %s", lpszDst);
            fnShowText(lpIF, IDC_PROGRESS_TARGET, "To file: %s", szBackup);
            char szDir[CCH_PATH];
            fnDirPart(szBackup, szDir);
            if (fnCopyFileAsIs(lpIF->szSuggestDstDir, lpIF->szDstFileName, szDir, fnNamePart(szBackup), TRUE) != 0) {
                DeleteFileA(szBackup);
                if (!g_bQuiet)
                    fnMessage(1119, NULL, MB_OK | MB_ICONEXCLAMATION, lpszDst);
                fnDebugLog("fnInstallFileVer", "Cannot backup file!  %s will not be installed.", g_uDebugLevel, lpszDst);
                return IFV_SKIPPED;
            }
            fnCopyBounded(lpIF->szBackupFile, sizeof(lpIF->szBackupFile), szBackup);
            fnCopyBounded(s_szBackedUp, sizeof(s_szBackedUp), lpszDst);
            *lpbBackedUp = TRUE;
            fnWriteLog("%s, \"%s\", B", TRUE, lpszDst, szBackup);
            return 0;
        }
        case BACKACT_UNIQUE: {
            char szUnique[CCH_PATH];
            int nRC = fnUniqueFileName(lpIF->szSuggestDstDir, lpIF->szDstFileName, szUnique);
            if (nRC == 0) {
                return fnCannotInstallGoOn(lpszDst) ? IFV_SKIPPED : IFV_ABORT;
            }
            fnShowText(lpIF, IDC_PROGRESS_SOURCE, "Installing file: %s", lpIF->szSrcFileName);
            fnShowText(lpIF, IDC_PROGRESS_TARGET, "as file: %s", szUnique);
            fnCopyBounded(lpIF->szDstFileName, sizeof(lpIF->szDstFileName), fnNamePart(szUnique));
            return 0;
        }
        case BACKACT_SKIP:
            return IFV_SKIPPED;
        default:
            return 0;  /* overwrite */
        }
    }
}

/* Missing source (step of the driver): IFV_SKIPPED, IFV_ABORT, or IFV_INSTALLED to try the new location. */
UINT fnMissingSource(HWND hWnd, IFStruct *lpIF)
{
    if (!lpIF->bDiskGiven) {
        fnDebugLog("fnInstallFileVer", "Source missing, skipped: %s\\%s", g_uDebugLevel, lpIF->szSrcFilePath,
                   lpIF->szSrcFileName);
        return IFV_SKIPPED;
    }
    if (g_szDestDir[0])
        SetCurrentDirectoryA(g_szDestDir);
    switch (fnDiskDialog(hWnd, lpIF->szDiskPrompt, lpIF->szSrcFilePath, lpIF->szSrcFileName)) {
    case IDOK:
        return IFV_INSTALLED;
    case IDC_DISK_SKIP:
        return IFV_SKIPPED;
    default:
        g_bUserChoseExit = TRUE;
        return IFV_ABORT;
    }
}

/* The driver's work for one file; the caller restores the record's modes and steps the meter. */
UINT fnInstallOne(HWND hWnd, IFStruct *lpIF, char *lpszFinal)
{
    char szDst[CCH_PATH], szSrc[CCH_PATH], szTmp[CCH_PATH];
    BOOL bInUseDone = FALSE, bBackedUp = FALSE;
    char szInUseTarget[CCH_PATH] = "";
    for (;;) {
        /* the retry point: the disk dialog may have given a new source */
        fnCopyBounded(lpIF->szSuggestDstDir, sizeof(lpIF->szSuggestDstDir),
                      lpIF->uCopyMode == COPY_WINDIR ? g_szWinDir : lpIF->szDstDir);
        if (!fnJoinPath(szDst, sizeof(szDst), lpIF->szSuggestDstDir, lpIF->szDstFileName) ||
            !fnJoinPath(szSrc, sizeof(szSrc), lpIF->szSrcFilePath, lpIF->szSrcFileName)) {
            fnDebugLog("fnInstallFileVer", "Path too long: %s\\%s", g_uDebugLevel, lpIF->szSuggestDstDir,
                       lpIF->szDstFileName);
            if (lpIF->hWndProgress)
                fnSetProgressText(lpIF->hWndProgress, IDC_PROGRESS_TARGET, "");
            return fnCannotInstallGoOn(lpIF->szDstFileName) ? IFV_SKIPPED : IFV_ABORT;
        }
        fnShowText(lpIF, IDC_PROGRESS_TARGET, "Install as: %s", szDst);
        UINT uCode = FIND_INSTALL;
        BOOL bMissing = !fnIsFile(szSrc);  /* met below, as the copy step would meet it */
        BOOL bSearchedAbsent = FALSE;      /* the search found no copy anywhere, the destination folder included */
        if (!bMissing && fnSameFile(szSrc, szDst)) {
            /* written from its start, a file copied or appended onto itself would be lost */
            fnDebugLog("fnInstallFileVer", "Source is the destination, nothing to do: %s", g_uDebugLevel, szSrc);
            return IFV_SKIPPED;
        } else if (!bMissing && lpIF->uInstallMode != INSTALL_ASIS && lpIF->uInstallMode != INSTALL_KEEPATTRIB &&
                   lpIF->uCopyMode != COPY_JOIN) {
            uCode = fnFindFileInfoVer(hWnd, lpIF);
            if (uCode == FIND_ABORT || uCode == FIND_BUFFTOOSMALL)
                return IFV_ABORT;
            if (uCode == FIND_SKIP)
                return IFV_SKIPPED;
            bSearchedAbsent = lpIF->szCurDir[0] == '\0';
        } else {
            lpIF->szCurDir[0] = '\0';  /* no search: nothing found elsewhere may be deleted */
        }

        UINT uRC = bMissing ? IF_SRCMISSING : IF_DONE;
        while (uRC != IF_SRCMISSING) {
            if (uCode == FIND_INUSE) {
                if (lpIF->uCopyMode == COPY_SKIP || lpIF->uInUseAction == INUSE_SKIP) {
                    fnDebugLog("fnInstallFileVer", "In use, kept: %s", g_uDebugLevel, szDst);
                    return IFV_SKIPPED;
                }
                if (bInUseDone)
                    return fnCannotInstallGoOn(szDst) ? IFV_SKIPPED : IFV_ABORT;
                bInUseDone = TRUE;
                char szUnique[CCH_PATH];
                int nRC = fnUniqueFileName(lpIF->szSuggestDstDir, lpIF->szDstFileName, szUnique);
                if (nRC == 0) {
                    if (!g_bQuiet)
                        fnMessage(1120, NULL, MB_OK | MB_ICONEXCLAMATION, szDst);
                    fnDebugLog("fnInstallFileVer", "No free name beside %s", g_uDebugLevel, szDst);
                    return IFV_SKIPPED;
                }
                if (nRC == 2) {
                    /* scheduled only once the new copy exists under its unique name */
                    fnCopyBounded(szInUseTarget, sizeof(szInUseTarget), szDst);
                    fnShowText(lpIF, IDC_PROGRESS_SOURCE, "Installing file: %s", lpIF->szSrcFileName);
                    fnShowText(lpIF, IDC_PROGRESS_TARGET, "as file: %s", szUnique);
                    fnCopyBounded(lpIF->szDstFileName, sizeof(lpIF->szDstFileName), fnNamePart(szUnique));
                    if (lpIF->uBackupAction == BACKACT_UNIQUE)
                        lpIF->uBackupAction = BACKACT_OVERWRITE;
                }
            }
            UINT uFlags = uCode == FIND_KEEPOTHER ? VIFFLAG_KEEPOTHER : 0;
            if (szInUseTarget[0])
                uFlags |= VIFFLAG_KEEPOTHER;  /* the copy in use is replaced at restart, never deleted now */
            if (uCode == FIND_INTOCUR && lpIF->szCurDir[0])
                fnCopyBounded(lpIF->szSuggestDstDir, sizeof(lpIF->szSuggestDstDir), lpIF->szCurDir);
            if (lpIF->uCopyMode == COPY_FORCE || uCode == FIND_INTODST) {
                fnCopyBounded(lpIF->szSuggestDstDir, sizeof(lpIF->szSuggestDstDir), lpIF->szDstDir);
                uFlags |= VIFFLAG_KEEPOTHER;
            }
            if (lpIF->uCopyMode == COPY_WINDIR) {
                fnCopyBounded(lpIF->szSuggestDstDir, sizeof(lpIF->szSuggestDstDir), g_szWinDir);
                uFlags |= VIFFLAG_KEEPOTHER;
            }
            if (lpIF->uCopyMode == COPY_CLEAN)
                fnCopyBounded(lpIF->szSuggestDstDir, sizeof(lpIF->szSuggestDstDir), lpIF->szDstDir);
            if (!fnJoinPath(szDst, sizeof(szDst), lpIF->szSuggestDstDir, lpIF->szDstFileName))
                return fnCannotInstallGoOn(lpIF->szDstFileName) ? IFV_SKIPPED : IFV_ABORT;
            BOOL bKnownAbsent = bSearchedAbsent && !szInUseTarget[0] && fnSameDir(lpIF->szSuggestDstDir, lpIF->szDstDir);

            BOOL bDirectJoinStart = lpIF->uInstallMode == INSTALL_DIRECTJOIN && lpIF->uJoinPart == JOIN_FIRST;
            if ((lpIF->uCopyMode != COPY_JOIN || bDirectJoinStart) && lpIF->uBackupAction != BACKACT_OVERWRITE &&
                !bKnownAbsent && fnIsFile(szDst)) {
                UINT uBackup = fnApplyBackupRule(hWnd, lpIF, szDst, &bBackedUp);
                if (uBackup != 0)
                    return uBackup;
                if (!fnJoinPath(szDst, sizeof(szDst), lpIF->szSuggestDstDir, lpIF->szDstFileName))
                    return fnCannotInstallGoOn(lpIF->szDstFileName) ? IFV_SKIPPED : IFV_ABORT;
            }
            if (bDirectJoinStart && fnIsFile(szDst)) {
                /* a direct join starts anew */
                SetFileAttributesA(szDst, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(szDst);
            }
            fnShowText(lpIF, IDC_PROGRESS_TARGET, "Install as: %s", szDst);
            if (lpIF->uCopyMode == COPY_JOIN) {
                if (fnMakeDestTree(lpIF->szSuggestDstDir) != 0)
                    return IFV_ABORT;
                DWORD dwVIF = fnAppendToFile(szSrc, szDst);
                g_dwVIFResult = dwVIF;
                if (dwVIF == 0) {
                    uRC = IF_DONE;
                } else if (dwVIF & VIF_CANNOTREADSRC) {
                    uRC = IF_SRCMISSING;
                } else {
                    /* the part is missing from the joined file: the section treats the join as broken */
                    return fnCannotInstallGoOn(szDst) ? IFV_SKIPPED : IFV_ABORT;
                }
            } else {
                szTmp[0] = '\0';
                uRC = fnInstallFile(hWnd, uFlags | (bKnownAbsent ? VIFFLAG_DESTABSENT : 0), lpIF, szTmp);
            }
            if (uRC == IF_INUSE && szInUseTarget[0] == '\0') {
                bSearchedAbsent = FALSE;
                uCode = FIND_INUSE;
                continue;
            }
            if (uRC == IF_INUSE) {
                /* the unique name itself could not be written: nothing is scheduled */
                DeleteFileA(szDst);
                return fnCannotInstallGoOn(szInUseTarget) ? IFV_SKIPPED : IFV_ABORT;
            }
            break;
        }
        if (uRC == IF_ABORT || uRC == IF_SKIP)
            return uRC == IF_ABORT ? IFV_ABORT : IFV_SKIPPED;
        if (uRC == IF_SRCMISSING) {
            if (szInUseTarget[0]) {
                DeleteFileA(szDst);
                return IFV_SKIPPED;
            }
            UINT uMissing = fnMissingSource(hWnd, lpIF);
            if (uMissing != IFV_INSTALLED)
                return uMissing;
            bInUseDone = FALSE;
            continue;  /* a new location was given: try again */
        }

        if (szInUseTarget[0]) {
            if (!fnReplaceFileInUse(szDst, szInUseTarget)) {
                SetFileAttributesA(szDst, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(szDst);
                return fnCannotInstallGoOn(szInUseTarget) ? IFV_SKIPPED : IFV_ABORT;
            }
            fnRequestRestart();
            fnWriteLog("%s, \"%s\", U", TRUE, szInUseTarget, szDst);
            fnCopyBounded(lpszFinal, CCH_PATH, szInUseTarget);
        } else {
            fnCopyBounded(lpszFinal, CCH_PATH, szDst);
        }
        if (lpIF->uCopyMode == COPY_CLEAN && lpIF->uBackupAction == BACKACT_OVERWRITE) {
            /* copies of the same name in the Windows and System directories go, never the one just installed */
            const char *alpszDirs[2] = {g_szWinDir, g_szSysDir};
            for (int i = 0; i < 2; i++) {
                char szOther[CCH_PATH];
                if (alpszDirs[i][0] && fnJoinPath(szOther, sizeof(szOther), alpszDirs[i], lpIF->szDstFileName) &&
                    !fnSameFile(szOther, lpszFinal) && fnIsFile(szOther)) {
                    SetFileAttributesA(szOther, FILE_ATTRIBUTE_NORMAL);
                    if (DeleteFileA(szOther))
                        fnWriteLog("%s,  D", TRUE, szOther);
                }
            }
        }
        return IFV_INSTALLED;
    }
}

}  // namespace

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

UINT fnFindFileInfoVer(HWND hWnd, IFStruct *lpIF)
{
    BOOL bCloseTried = FALSE;
    for (;;) {
        char szKeep[CCH_PATH];
        fnCopyBounded(szKeep, sizeof(szKeep), lpIF->szSuggestDstDir);
        UINT cchCur = sizeof(lpIF->szCurDir), cchDest = sizeof(lpIF->szSuggestDstDir);
        lpIF->szCurDir[0] = '\0';
        DWORD dwVFF = g_lpFileOps->pfnVerFindFile(0, lpIF->szDstFileName, NULL, lpIF->szDstDir, lpIF->szCurDir, &cchCur,
                                                  lpIF->szSuggestDstDir, &cchDest);
        /* the suggestion of the call is not used */
        fnCopyBounded(lpIF->szSuggestDstDir, sizeof(lpIF->szSuggestDstDir), szKeep);
        lpIF->szCurDir[sizeof(lpIF->szCurDir) - 1] = '\0';

        char szSrcPath[CCH_PATH], szExistsPath[CCH_PATH], szDestPath[CCH_PATH];
        fnJoinPath(szSrcPath, sizeof(szSrcPath), lpIF->szSrcFilePath, lpIF->szSrcFileName);
        if (!lpIF->szCurDir[0] || !fnJoinPath(szExistsPath, sizeof(szExistsPath), lpIF->szCurDir, lpIF->szDstFileName))
            szExistsPath[0] = '\0';
        fnJoinPath(szDestPath, sizeof(szDestPath), lpIF->szSuggestDstDir, lpIF->szDstFileName);
        fnDebugLog("VerFindFile - Paths", "szSrcPath=%s\nszExistsPath=%s\nszDestPath=%s\nuVFFResult=%lu", g_uDebugLevel,
                   szSrcPath, szExistsPath, szDestPath, (unsigned long)dwVFF);

        FindFactsStruct facts = {};
        facts.dwVFF = dwVFF;
        facts.bSrcIsDest = fnSameFile(szSrcPath, szDestPath);
        facts.bSrcIsExisting = szExistsPath[0] && fnSameFile(szSrcPath, szExistsPath);
        facts.bCurIsDstDir = fnSameDir(lpIF->szCurDir, lpIF->szDstDir);
        facts.bCurEmpty = lpIF->szCurDir[0] == '\0';
        facts.bCurIsSourceDir = !facts.bCurEmpty && g_szSourceDir[0] && fnSameDir(lpIF->szCurDir, g_szSourceDir);
        /* two opens per file: only the in-use rules read it */
        facts.bSameTimes = (dwVFF & VFF_FILEINUSE) && szExistsPath[0] && fnCmpFileTime(szSrcPath, szExistsPath) == 0;
        facts.bCloseTried = bCloseTried;
        FindAskStruct ask = {hWnd, lpIF, szExistsPath};
        UINT uCode = fnFindCopyDecision(&facts, lpIF, &bCloseTried, fnFindAsk, &ask);
        if (uCode != FIND_AGAIN) {
            fnDebugLog("fnFindFileInfoVer", "%s: %u", g_uDebugLevel, lpIF->szDstFileName, uCode);
            return uCode;
        }
    }
}

/* The copy found elsewhere goes once the file is installed in its place. */
static void fnDeleteCopyElsewhere(const char *lpszCurFile)
{
    SetFileAttributesA(lpszCurFile, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(lpszCurFile))
        fnWriteLog("%s,  D", TRUE, lpszCurFile);
    else
        fnDebugLog("fnVerInstallFile", "Cannot delete the copy elsewhere %s, dwError=%lu", g_uDebugLevel, lpszCurFile,
                   (unsigned long)GetLastError());
}

/* fnVerInstallFile's one attempt; VIF_EXPAND_EXISTS when a file appeared where the search had found none */
static DWORD fnVerInstallOnce(DWORD dwFlags, const char *lpszSrcFileName, const char *lpszDestFileName,
                              const char *lpszSrcDir, const char *lpszDestDir, const char *lpszCurDir,
                              char *lpszTmpFile, UINT cchTmpFile, UINT uInstallMode, BOOL bKeepAttrib)
{
    char szSrcFile[CCH_PATH], szDestFile[CCH_PATH], szCurFile[CCH_PATH] = "", szTmpFile[CCH_PATH];
    if (lpszTmpFile && cchTmpFile)
        lpszTmpFile[0] = '\0';
    if (!fnJoinPath(szSrcFile, sizeof(szSrcFile), lpszSrcDir, lpszSrcFileName) || !fnIsFile(szSrcFile))
        return VIF_CANNOTREADSRC;
    if (!fnJoinPath(szDestFile, sizeof(szDestFile), lpszDestDir, lpszDestFileName))
        return VIF_CANNOTCREATE;
    BOOL bDeleteCur = FALSE;
    if (lpszCurDir && lpszCurDir[0] && fnJoinPath(szCurFile, sizeof(szCurFile), lpszCurDir, lpszDestFileName) &&
        fnIsFile(szCurFile) && !fnSameFile(szCurFile, szDestFile))
        bDeleteCur = TRUE;

    /* a name the search has just missed would cost another search of its folder */
    DWORD dwDestAttr = (dwFlags & VIFFLAG_DESTABSENT) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(szDestFile);
    BOOL bDestExists = dwDestAttr != INVALID_FILE_ATTRIBUTES && !(dwDestAttr & FILE_ATTRIBUTE_DIRECTORY);
    BOOL bChecking = uInstallMode >= INSTALL_CHECK && uInstallMode <= INSTALL_MIXED && bDestExists;
    DWORD dwVIF;

    /*
     * the comparison of the source itself (-1 when none was made), what its
     * first bytes said, and the source held open for its copy: a plain one
     * is read through the handle its first bytes were read with
     */
    int nSrcCmp = -1, nSrcSign = VERSIGN_UNREAD;
    HandleGuardStruct src;
    if (bChecking && !(dwFlags & VIFFLAG_FORCE) &&
        (uInstallMode == INSTALL_VERSION || uInstallMode == INSTALL_DATE)) {
        src.h = g_lpFileOps->pfnCreateFile(szSrcFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                           FILE_FLAG_SEQUENTIAL_SCAN, NULL);
        if (src.h != INVALID_HANDLE_VALUE)
            nSrcSign = fnPeekVersionSignOf(src.h);
        if (nSrcSign != VERSIGN_NONE && nSrcSign != VERSIGN_PROGRAM)
            src.fnClose();
        nSrcCmp = fnCmpVersionSigned(szSrcFile, nSrcSign, szDestFile);
        if (nSrcCmp == VERINFO_IDENTICAL) {
            fnDebugLog("fnVerInstallFile", "Identical version resources, kept: %s", g_uDebugLevel, szDestFile);
            return 0;
        }
    }
    if (!bDestExists) {
        /* nothing to lose: expanded straight into place */
        dwVIF = fnExpandFileKnown(lpszSrcDir, lpszSrcFileName, lpszDestDir, lpszDestFileName, bKeepAttrib,
                                  dwDestAttr, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE);
        if (dwVIF)
            return dwVIF;
        if (bDeleteCur && !(dwFlags & VIFFLAG_KEEPOTHER))
            fnDeleteCopyElsewhere(szCurFile);
        return 0;
    }

    /*
     * an existing file is replaced only by a complete copy: written beside it
     * and renamed over it, through the handle it was written with unless it
     * must be read by name first (compared again, or dated)
     */
    HandleGuardStruct tmp;
    tmp.h = fnCreateTempBeside(lpszDestDir, "_VS", szTmpFile);
    if (tmp.h == INVALID_HANDLE_VALUE)
        return VIF_CANNOTCREATE;
    if (lpszTmpFile && cchTmpFile)
        fnCopyBounded(lpszTmpFile, cchTmpFile, fnNamePart(szTmpFile));
    BOOL bCompare = bChecking && !(dwFlags & VIFFLAG_FORCE) && lpszCurDir && lpszCurDir[0];
    /*
     * a plain source's temporary copy holds its very bytes, so its version
     * compares as the source's did: both are read again only after an
     * expansion, or when a side could not be read the first time
     */
    BOOL bSameAsSrc = (nSrcCmp == VERINFO_NONE || nSrcCmp >= VERINFO_NOFIXED) &&
                      (nSrcSign == VERSIGN_NONE || nSrcSign == VERSIGN_PROGRAM);
    BOOL bReadByName = bCompare && (!bSameAsSrc || uInstallMode == INSTALL_DATE || uInstallMode == INSTALL_MIXED);
    /* the temporary file was just made empty, with normal attributes */
    dwVIF = fnExpandFileKnown(lpszSrcDir, lpszSrcFileName, lpszDestDir, fnNamePart(szTmpFile), bKeepAttrib,
                              FILE_ATTRIBUTE_NORMAL, src.h, tmp.h);
    src.fnClose(); /* nothing more is read of it; a copy elsewhere that is the source may be deleted below */
    if (dwVIF || bReadByName)
        tmp.fnClose();
    if (dwVIF) {
        DeleteFileA(szTmpFile);
        if (lpszTmpFile && cchTmpFile)
            lpszTmpFile[0] = '\0';
        return dwVIF | (dwVIF & (VIF_OUTOFSPACE | VIF_OUTOFMEMORY | VIF_CANNOTREADSRC) ? 0 : VIF_CANNOTCREATE);
    }

    if (bCompare) {
        int nCmp = bSameAsSrc ? nSrcCmp : fnCmpFileVersionInfo(szTmpFile, szDestFile);
        fnDebugLog("fnVerInstallFile", "Version comparison of %s: %d", g_uDebugLevel, szDestFile, nCmp);
        if (nCmp == VERINFO_IDENTICAL) {
            tmp.fnClose();
            if (!DeleteFileA(szTmpFile))
                return VIF_TEMPFILE | VIF_CANNOTDELETE;
            if (lpszTmpFile && cchTmpFile)
                lpszTmpFile[0] = '\0';
            return 0;
        }
        if ((uInstallMode == INSTALL_DATE || uInstallMode == INSTALL_MIXED) &&
            (nCmp == VERINFO_READFAIL || nCmp == VERINFO_NONE)) {
            /* the versions cannot decide: the dates do */
            if (fnCmpFileTime(szTmpFile, szDestFile) == -1)
                return VIF_TEMPFILE | VIF_MISMATCH | VIF_SRCOLD;
        } else if (nCmp == VERINFO_DSTUNREAD && fnHeldOpen(szDestFile)) {
            return VIF_TEMPFILE | VIF_SHARINGVIOLATION;
        } else {
            DWORD dwCmp = fnVerInfoToVif(nCmp);
            if (dwCmp)
                return dwCmp;
        }
    }

    if ((dwDestAttr & FILE_ATTRIBUTE_READONLY) && !(dwFlags & VIFFLAG_FORCE) && bChecking) {
        /* a write-protected file is not replaced without being asked */
        return VIF_TEMPFILE | VIF_WRITEPROT;
    }
    dwVIF = fnReplaceByTemp(szTmpFile, tmp.h, szDestFile, dwDestAttr, TRUE);
    tmp.fnClose();
    if (dwVIF)
        return VIF_TEMPFILE | dwVIF;
    if (lpszTmpFile && cchTmpFile)
        lpszTmpFile[0] = '\0';

    if (bDeleteCur && !(dwFlags & VIFFLAG_KEEPOTHER))
        fnDeleteCopyElsewhere(szCurFile);
    return 0;
}

DWORD fnVerInstallFile(DWORD dwFlags, const char *lpszSrcFileName, const char *lpszDestFileName, const char *lpszSrcDir,
                       const char *lpszDestDir, const char *lpszCurDir, char *lpszTmpFile, UINT cchTmpFile,
                       UINT uInstallMode, BOOL bKeepAttrib)
{
    DWORD dwVIF = fnVerInstallOnce(dwFlags, lpszSrcFileName, lpszDestFileName, lpszSrcDir, lpszDestDir, lpszCurDir,
                                   lpszTmpFile, cchTmpFile, uInstallMode, bKeepAttrib);
    if (dwVIF == VIF_EXPAND_EXISTS) {
        /* another program made the file meanwhile: it is examined and replaced as any existing one */
        fnDebugLog("fnVerInstallFile", "%s\\%s appeared meanwhile", g_uDebugLevel, lpszDestDir, lpszDestFileName);
        dwVIF = fnVerInstallOnce(dwFlags & ~(DWORD)VIFFLAG_DESTABSENT, lpszSrcFileName, lpszDestFileName, lpszSrcDir,
                                 lpszDestDir, lpszCurDir, lpszTmpFile, cchTmpFile, uInstallMode, bKeepAttrib);
        if (dwVIF == VIF_EXPAND_EXISTS)
            dwVIF = VIF_CANNOTCREATE;
    }
    return dwVIF;
}

UINT fnInstallFile(HWND hWnd, UINT uFlags, IFStruct *lpIF, char *lpszTmpFile)
{
    lpszTmpFile[0] = '\0';
    if (fnMakeDestTree(lpIF->szSuggestDstDir) != 0)
        return IF_ABORT;
    for (;;) {
        char szSrc[CCH_PATH];
        if (!fnJoinPath(szSrc, sizeof(szSrc), lpIF->szSrcFilePath, lpIF->szSrcFileName) || !fnIsFile(szSrc))
            return IF_SRCMISSING;
        BOOL bKeep = lpIF->uInstallMode == INSTALL_KEEPATTRIB || lpIF->bKeepAttrib;
        DWORD dwVIF;
        if (lpIF->uInstallMode == INSTALL_ASIS) {
            dwVIF = fnCopyAsIsReplacing(lpIF, bKeep, lpszTmpFile);
        } else {
            if (lpIF->uVerAction == VERACT_IGNORE) {
                uFlags |= VIFFLAG_FORCE;
                lpIF->uCopyMode = COPY_FORCE;
            }
            dwVIF = fnVerInstallFile(uFlags, lpIF->szSrcFileName, lpIF->szDstFileName, lpIF->szSrcFilePath,
                                     lpIF->szSuggestDstDir, lpIF->szCurDir, lpszTmpFile, CCH_PATH, lpIF->uInstallMode,
                                     bKeep);
        }
        g_dwVIFResult = dwVIF;

        char szMsgPath[CCH_PATH];
        const char *lpszMsgDir = lpIF->szSuggestDstDir;
        if ((lpIF->uInstallMode == INSTALL_CHECK || lpIF->uInstallMode == INSTALL_DIRECTJOIN) && lpIF->szCurDir[0])
            lpszMsgDir = lpIF->szCurDir;
        fnJoinPath(szMsgPath, sizeof(szMsgPath), lpszMsgDir, lpIF->szDstFileName);

        UINT uMsg = fnVifMessageId(dwVIF);
        BOOL bRetry = FALSE;
        if (uMsg == 1101 || uMsg == 1113 || uMsg == 1114) {
            fnDeleteTemp(lpIF->szSuggestDstDir, lpszTmpFile);
            fnDebugLog("fnInstallFile", "%s is in use, dwVIF=%lx", g_uDebugLevel, szMsgPath, (unsigned long)dwVIF);
            return IF_INUSE;
        }
        if (uMsg != 0) {
            fnDeleteTemp(lpIF->szSuggestDstDir, lpszTmpFile);
            fnDebugLog("fnInstallFile", "Message %u for %s, dwVIF=%lx", g_uDebugLevel, uMsg, szMsgPath,
                       (unsigned long)dwVIF);
            UINT uAnswer = fnAskRetry(uMsg, szMsgPath, fnDriveType(szMsgPath) == DRIVE_REMOVABLE);
            if (uAnswer != 0)
                return uAnswer;
            if (dwVIF & VIF_WRITEPROT) {
                char szDst[CCH_PATH];
                if (fnJoinPath(szDst, sizeof(szDst), lpIF->szSuggestDstDir, lpIF->szDstFileName))
                    SetFileAttributesA(szDst, FILE_ATTRIBUTE_NORMAL);
            }
            bRetry = TRUE;
        } else if (dwVIF & VIF_CANNOTREADSRC) {
            fnDeleteTemp(lpIF->szSuggestDstDir, lpszTmpFile);
            return IF_SRCMISSING;
        } else if (!(dwVIF & VIF_MISMATCHBITS)) {
            fnDeleteTemp(lpIF->szSuggestDstDir, lpszTmpFile);
            fnDebugLog("fnInstallFile (Done)", "%s", g_uDebugLevel, szMsgPath);
            return IF_DONE;
        } else {
            fnDebugLog("fnInstallFile - Version mismatch", "%s, dwVIF=%lx", g_uDebugLevel, szMsgPath,
                       (unsigned long)dwVIF);
            UINT uDecision = fnMismatchDecision(lpIF, dwVIF);
            if (uDecision == MISMATCH_ASK) {
                fnDebugLog("fnInstallFile Version prompt", "%s", g_uDebugLevel, szMsgPath);
                char szDir[CCH_PATH], szTmp[CCH_PATH];
                fnDirPart(szMsgPath, szDir);
                if (!lpszTmpFile[0] || !fnJoinPath(szTmp, sizeof(szTmp), lpIF->szSuggestDstDir, lpszTmpFile))
                    szTmp[0] = '\0';
                UINT uAnswer = fnVersionDialog(hWnd, lpIF->szDstFileName, szDir, dwVIF, szMsgPath, szTmp);
                uDecision = uAnswer == IDYES ? MISMATCH_FORCE : uAnswer == IDNO ? MISMATCH_SKIP : MISMATCH_ABORT;
                if (uDecision == MISMATCH_ABORT)
                    g_bUserChoseExit = TRUE;
            }
            fnDeleteTemp(lpIF->szSuggestDstDir, lpszTmpFile);
            if (uDecision == MISMATCH_SKIP)
                return IF_SKIP;
            if (uDecision == MISMATCH_ABORT)
                return IF_ABORT;
            fnDebugLog("fnInstallFile - Version mismatch but force install", "%s", g_uDebugLevel, szMsgPath);
            uFlags |= VIFFLAG_FORCE;
            bRetry = TRUE;
        }
        if (bRetry) {
            uFlags &= ~(UINT)VIFFLAG_DESTABSENT;  /* what was asked or repaired may have changed the folder */
            g_dwVIFResult = 0;
            if (fnMakeDestTree(lpIF->szSuggestDstDir) != 0)
                return IF_ABORT;
        }
    }
}

UINT fnInstallFileVer(HWND hWnd, IFStruct *lpIF)
{
    /* what one file's answers change must not carry over to the next file of the record */
    UINT uBackupAction = lpIF->uBackupAction, uCopyMode = lpIF->uCopyMode;
    char szDstFileName[CCH_PATH];
    fnCopyBounded(szDstFileName, sizeof(szDstFileName), lpIF->szDstFileName);
    lpIF->szBackupFile[0] = '\0';
    if (lpIF->hWndProgress) {
        fnSetProgressText(lpIF->hWndProgress, IDC_PROGRESS_STATUS, "Installing files...");
        if (lpIF->szDescription[0])
            fnShowText(lpIF, IDC_PROGRESS_DESC, "Description: %s", lpIF->szDescription);
        fnShowText(lpIF, IDC_PROGRESS_SOURCE, "Source file: %s", lpIF->szSrcFileName);
        /* the target line is emptied where the file's own target is not shown next (a repaint each) */
    }
    char szFinal[CCH_PATH] = "";
    UINT uRC = fnInstallOne(hWnd, lpIF, szFinal);
    if (uRC != IFV_INSTALLED)
        fnUndoBackup(lpIF, s_szBackedUp);
    if (g_bJoinPartToTemp) {
        /* the temporary join file is no file of the installation */
    } else if (uRC == IFV_INSTALLED) {
        fnWriteLog(lpIF->uInstallMode == INSTALL_CHECK ? "%s, S" : "%s, N", TRUE, szFinal);
    } else {
        char szDst[CCH_PATH];
        if (fnJoinPath(szDst, sizeof(szDst), lpIF->szSuggestDstDir[0] ? lpIF->szSuggestDstDir : lpIF->szDstDir,
                       szDstFileName))
            fnWriteLog("%s, X", TRUE, szDst);
    }
    lpIF->uBackupAction = uBackupAction;
    lpIF->uCopyMode = uCopyMode;
    fnCopyBounded(lpIF->szDstFileName, sizeof(lpIF->szDstFileName), szDstFileName);
    fnStepProgress(lpIF);
    return uRC;
}

UINT fnWildInstallDirectory(HWND hWnd, IFStruct *lpIF)
{
    if (!fnCreateDirTreeLog(lpIF->szDstDir, TRUE)) {
        fnDirTreeFailed(lpIF->szDstDir, MB_ICONSTOP);
        return 0;
    }
    return fnWildInstallFiles(hWnd, lpIF);
}

/* the line's own destination while a recursive walk runs: a source tree that holds it never copies it into itself */
static char s_szWalkTop[CCH_PATH];
static int s_nWalkDepth;

UINT fnWildInstallFiles(HWND hWnd, IFStruct *lpIF)
{
    char szPattern[CCH_PATH];
    if (s_nWalkDepth == 0)
        fnCopyBounded(s_szWalkTop, sizeof(s_szWalkTop), lpIF->szDstDir);
    if (!fnJoinPath(szPattern, sizeof(szPattern), lpIF->szSrcFilePath, lpIF->szWildSpec[0] ? lpIF->szWildSpec : "*"))
        return 1;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(szPattern, &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        UINT uResult = 1;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            fnProcessMessages();
            if (fnProgressCancelled(lpIF->hWndProgress)) {
                uResult = 0;
                break;
            }
            fnCopyBounded(lpIF->szSrcFileName, sizeof(lpIF->szSrcFileName), fd.cFileName);
            fnCopyBounded(lpIF->szDstFileName, sizeof(lpIF->szDstFileName), fd.cFileName);
            if (lpIF->uInstallMode != INSTALL_ASIS && strchr(fd.cFileName, '_')) {
                char szFound[CCH_PATH];
                if (fnJoinPath(szFound, sizeof(szFound), lpIF->szSrcFilePath, fd.cFileName))
                    fnGetExpandedName(szFound, lpIF->szDstFileName, sizeof(lpIF->szDstFileName));
            }
            lpIF->szCurDir[0] = '\0';
            lpIF->szSuggestDstDir[0] = '\0';
            lpIF->szBackupFile[0] = '\0';
            lpIF->uFileNum++;
            lpIF->uJoinPart = JOIN_NONE;
            if (fnInstallFileVer(hWnd, lpIF) == IFV_ABORT) {
                uResult = 0;
                break;
            }
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
        if (uResult == 0)
            return 0;
    }
    if (!lpIF->bRecurse)
        return 1;

    /* the file pattern never lists the subdirectories: they have their own search */
    if (!fnJoinPath(szPattern, sizeof(szPattern), lpIF->szSrcFilePath, "*"))
        return 1;
    hFind = FindFirstFileA(szPattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return 1;
    UINT uResult = 1;
    char szSrcKeep[CCH_PATH], szDstKeep[CCH_PATH];
    fnCopyBounded(szSrcKeep, sizeof(szSrcKeep), lpIF->szSrcFilePath);
    fnCopyBounded(szDstKeep, sizeof(szDstKeep), lpIF->szDstDir);
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || strcmp(fd.cFileName, ".") == 0 ||
            strcmp(fd.cFileName, "..") == 0)
            continue;
        /* a link may lead back up the tree or off it: the walk stays on what the line names */
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            fnDebugLog("fnWildInstallFiles", "Link not followed: %s\\%s", g_uDebugLevel, szSrcKeep, fd.cFileName);
            continue;
        }
        if (!fnJoinPath(lpIF->szSrcFilePath, sizeof(lpIF->szSrcFilePath), szSrcKeep, fd.cFileName) ||
            !fnJoinPath(lpIF->szDstDir, sizeof(lpIF->szDstDir), szDstKeep, fd.cFileName)) {
            fnDebugLog("fnWildInstallFiles", "Path too long below %s: %s", g_uDebugLevel, szSrcKeep, fd.cFileName);
            uResult = 0;
            break;
        }
        /* a destination inside the source tree is the walk's output, not its input */
        if (fnSameFile(lpIF->szSrcFilePath, s_szWalkTop)) {
            fnDebugLog("fnWildInstallFiles", "Destination not copied into itself: %s", g_uDebugLevel,
                       lpIF->szSrcFilePath);
            continue;
        }
        s_nWalkDepth++;
        UINT uSub = fnWildInstallDirectory(hWnd, lpIF);
        s_nWalkDepth--;
        if (uSub == 0) {
            uResult = 0;
            break;
        }
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
    fnCopyBounded(lpIF->szSrcFilePath, sizeof(lpIF->szSrcFilePath), szSrcKeep);
    fnCopyBounded(lpIF->szDstDir, sizeof(lpIF->szDstDir), szDstKeep);
    return uResult;
}
