/*
 * config/cfgfile_win.cpp -- configuration files on disk (config/cfgfile.h):
 * their backups, one per file per run, and the edit that never leaves a file
 * half-written. SYSTEM.INI, AUTOEXEC.BAT and their kind must survive a
 * failed edit whole, so the edited text goes to a temporary file in the
 * file's own folder and replaces the file in one rename; the temporary file
 * is removed on every path and the file's attributes (read-only, hidden,
 * system) are put back whole.
 */
#include "config/cfgfile.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "config/cfgask.h"
#include "config/cfgtext.h"
#include "config/environment.h"
#include "config/pathedit.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "install/dirs.h"
#include "install/filerules.h"
#include "script/pathtext.h"
#include "ui/inputdlg.h"

BOOL fnResolveConfigPath(const char *lpszName, BOOL bProfile, char *lpszOut, size_t cchOut)
{
    lpszOut[0] = '\0';
    if (!lpszName || !lpszName[0])
        return FALSE;
    BOOL bBare = !strpbrk(lpszName, "\\/:");
    if (bBare && bProfile) {
        char szWinDir[CCH_PATH];
        fnCopyBounded(szWinDir, sizeof(szWinDir), g_szWinDir);
        if (!szWinDir[0] && !GetWindowsDirectoryA(szWinDir, sizeof(szWinDir)))
            return FALSE;
        return fnJoinPath(lpszOut, cchOut, szWinDir, lpszName);
    }
    char szFull[CCH_PATH];
    DWORD cch = GetFullPathNameA(lpszName, sizeof(szFull), szFull, NULL);
    if (cch == 0 || cch >= sizeof(szFull))
        return FALSE;
    return fnCopyBounded(lpszOut, cchOut, szFull);
}

/*
 * The files this run backed up, each with the file its edits go to (itself,
 * or its .MOD copy under method 506). Kept for the whole run, so a file
 * edited again later (another section, a run started again, AUTOEXEC.BAT from
 * "[SetEnvironment]") is never backed up a second time over its original.
 */
struct CfgBackupStruct {
    char szFile[CCH_PATH];
    char szTarget[CCH_PATH];
};

static CfgBackupStruct *s_lpBackups;
static size_t s_nBackups, s_nBackupsAlloc;
static UINT s_uChosenMethod;  /* the answer to the backup question, once asked */

void fnResetConfigBackups(void)
{
    free(s_lpBackups);
    s_lpBackups = NULL;
    s_nBackups = s_nBackupsAlloc = 0;
    s_uChosenMethod = 0;
}

static const CfgBackupStruct *fnFindBackup(const char *lpszFile)
{
    for (size_t i = 0; i < s_nBackups; i++) {
        if (fnEqualNoCase(s_lpBackups[i].szFile, lpszFile))
            return &s_lpBackups[i];
    }
    return NULL;
}

static BOOL fnRememberBackup(const char *lpszFile, const char *lpszTarget)
{
    if (s_nBackups == s_nBackupsAlloc) {
        size_t nNew = s_nBackupsAlloc ? s_nBackupsAlloc * 2 : 16;
        CfgBackupStruct *lpNew = (CfgBackupStruct *)realloc(s_lpBackups, nNew * sizeof(CfgBackupStruct));
        if (!lpNew)
            return FALSE;
        s_lpBackups = lpNew;
        s_nBackupsAlloc = nNew;
    }
    fnCopyBounded(s_lpBackups[s_nBackups].szFile, CCH_PATH, lpszFile);
    fnCopyBounded(s_lpBackups[s_nBackups].szTarget, CCH_PATH, lpszTarget);
    s_nBackups++;
    return TRUE;
}

/* The run's backup method; the question of method 500 is asked once (a quiet run keeps .ORI copies). */
static UINT fnConfigBackupMethod(void)
{
    if (g_uBackUpMethod != BACKUP_PROMPT)
        return g_uBackUpMethod;
    if (!s_uChosenMethod)
        s_uChosenMethod = fnAskBackupMethod(NULL);
    return s_uChosenMethod;
}

static BOOL fnFileExists(const char *lpszPath)
{
    DWORD dwAttr = GetFileAttributesA(lpszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

static BOOL fnPathExists(const char *lpszPath, void *lpContext)
{
    (void)lpContext;
    return GetFileAttributesA(lpszPath) != INVALID_FILE_ATTRIBUTES;
}

/* Folder and name of a full path. */
static void fnSplitFolder(const char *lpszFile, char *lpszDir, char *lpszName)
{
    char szParent[CCH_PATH];
    fnSplitPath(lpszFile, NULL, NULL, NULL, NULL, lpszName, szParent);
    fnCopyBounded(lpszDir, CCH_PATH, szParent);
}

/* Backup results. */
enum { BACKUP_DONE, BACKUP_FAILED, BACKUP_NOFOLDER };

/*
 * Copies the file to its backup by the method: a free ".ORI" (else the next
 * numbered) name beside it, a numbered name, or the same name in a time or
 * date folder below its folder. The copy never replaces an existing file:
 * that may be the original an earlier run kept.
 */
static int fnCopyToBackup(const char *lpszFile, UINT uMethod, char *lpszBackup)
{
    char szDir[CCH_PATH], szName[CCH_PATH], szFolder[CCH_PATH];
    fnSplitFolder(lpszFile, szDir, szName);
    fnCopyBounded(szFolder, sizeof(szFolder), szDir);
    if (uMethod >= BACKUP_TIME && uMethod <= BACKUP_DATETIME) {
        char szStamp[40];
        fnFormatBounded(szStamp, sizeof(szStamp), "%s%s", uMethod == BACKUP_TIME ? "" : g_szDate,
                        uMethod == BACKUP_DATE ? "" : g_szTime);
        if (!fnJoinPath(szFolder, sizeof(szFolder), szDir, szStamp) || !fnCreateDirTreeLog(szFolder, TRUE)) {
            /* the folder is what the question names */
            fnCopyBounded(lpszBackup, CCH_PATH, szFolder);
            return BACKUP_NOFOLDER;
        }
    }
    /* .ORI when it is free, else the next number; in a dated folder the name itself when it is free */
    int nName = fnMakeUniqueName(szFolder, szName, uMethod == BACKUP_ORIEXT ? BACKUP_ORIEXT : BACKUP_UNIQUE,
                                 fnPathExists, NULL, lpszBackup, CCH_PATH);
    if (nName == 0 || !CopyFileA(lpszFile, lpszBackup, TRUE)) {
        fnDebugLog("fnBackupConfigFile", "Cannot copy %s to %s,\ndwError=%lu", g_uDebugLevel, lpszFile, lpszBackup,
                   (unsigned long)GetLastError());
        return BACKUP_FAILED;
    }
    fnWriteLog("%s, \"%s\", B", TRUE, lpszFile, lpszBackup);
    return BACKUP_DONE;
}

/* A failure question: Yes goes on with the next line, No ends; a quiet batch edit asks nothing and fails. */
static UINT fnFailure(const CfgFileEditStruct *lpJob, UINT uId, const char *lpszArg)
{
    if (lpJob->uMode == CFGMODE_BATCHQUIET)
        return CFGEDIT_STOP;
    return fnCfgAskYesNo(uId, lpszArg) ? CFGEDIT_NEXT : CFGEDIT_STOP;
}

/*
 * Backs the file up before its first edit of the run and finds the file the
 * edits go to. CFGEDIT_DONE goes on with lpszTarget.
 */
static UINT fnBackupConfigFile(const CfgFileEditStruct *lpJob, char *lpszTarget)
{
    const char *lpszFile = lpJob->lpszFile;
    const CfgBackupStruct *lpKnown = fnFindBackup(lpszFile);
    if (lpKnown) {
        fnCopyBounded(lpszTarget, CCH_PATH, lpKnown->szTarget);
        return CFGEDIT_DONE;
    }
    fnCopyBounded(lpszTarget, CCH_PATH, lpszFile);
    UINT uMethod = fnConfigBackupMethod();
    BOOL bExists = fnFileExists(lpszFile);
    if (uMethod == BACKUP_NOMOD) {
        /* the edits go to BASE.MOD, a fresh copy of the file (empty when there is none) */
        char szDir[CCH_PATH], szBase[CCH_PATH], szMod[CCH_PATH];
        fnSplitFolder(lpszFile, szDir, szBase);
        fnSplitPath(lpszFile, NULL, NULL, szBase, NULL, NULL, NULL);
        fnFormatBounded(szMod, sizeof(szMod), "%s.MOD", szBase);
        BOOL bOk = fnJoinPath(lpszTarget, CCH_PATH, szDir, szMod);
        /* a .MOD of an earlier run is the edited copy it made, not an original: it is made again */
        if (bOk && fnFileExists(lpszTarget))
            SetFileAttributesA(lpszTarget, FILE_ATTRIBUTE_NORMAL);
        if (bOk && bExists)
            bOk = CopyFileA(lpszFile, lpszTarget, FALSE);
        else if (bOk && fnFileExists(lpszTarget))
            bOk = fnWriteWholeFile(lpszTarget, "", 0);  /* no file: its edited form starts empty */
        if (bOk)
            SetFileAttributesA(lpszTarget, FILE_ATTRIBUTE_NORMAL);
        if (!bOk) {
            fnDebugLog("fnBackupConfigFile", "Cannot copy %s to its .MOD,\ndwError=%lu", g_uDebugLevel, lpszFile,
                       (unsigned long)GetLastError());
            if (lpJob->uMode == CFGMODE_INIEDIT)
                return fnCfgAskYesNo(1149, lpszFile) ? (UINT)CFGEDIT_NEXT : (UINT)CFGEDIT_STOP;
            return fnFailure(lpJob, 1142, lpszFile);
        }
        if (bExists)
            fnWriteLog("%s, \"%s\", B", TRUE, lpszFile, lpszTarget);
        fnRememberBackup(lpszFile, lpszTarget);
        return CFGEDIT_DONE;
    }
    if (!bExists || uMethod < BACKUP_ORIEXT || uMethod > BACKUP_DATETIME) {
        fnRememberBackup(lpszFile, lpszFile);
        return CFGEDIT_DONE;
    }
    char szBackup[CCH_PATH] = "";
    int nBackup = fnCopyToBackup(lpszFile, uMethod, szBackup);
    if (nBackup == BACKUP_DONE) {
        fnRememberBackup(lpszFile, lpszFile);
        return CFGEDIT_DONE;
    }
    if (lpJob->uMode == CFGMODE_INIEDIT) {
        if (nBackup == BACKUP_NOFOLDER)
            g_pfnCfgAsk(1054, MB_OK | MB_ICONINFORMATION, szBackup, 0);
        if (!fnCfgAskYesNo(1149, lpszFile))
            return CFGEDIT_STOP;
        /* going on without a backup: a later edit must not take the edited file for the original */
        fnRememberBackup(lpszFile, lpszFile);
        return CFGEDIT_DONE;
    }
    /* a batch file whose backup failed is not edited */
    return fnFailure(lpJob, 1142, lpszFile);
}

/*
 * Makes an existing file writable: a read-only one only after 1143 (the
 * attribute alone counts: some systems let a privileged user open such a
 * file for writing). FALSE when the user says No or the file cannot be
 * opened for writing even then (held open by another program).
 */
static BOOL fnMakeConfigWritable(const CfgFileEditStruct *lpJob, const char *lpszFile)
{
    DWORD dwAttr = GetFileAttributesA(lpszFile);
    if (dwAttr == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    if (dwAttr & FILE_ATTRIBUTE_READONLY) {
        if (lpJob->uMode != CFGMODE_BATCHQUIET && !fnCfgAskYesNo(1143, lpszFile))
            return FALSE;
        SetFileAttributesA(lpszFile, dwAttr & ~FILE_ATTRIBUTE_READONLY);
    }
    HANDLE hFile = CreateFileA(lpszFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        fnDebugLog("fnMakeConfigWritable", "Cannot open %s for writing,\ndwError=%lu", g_uDebugLevel, lpszFile,
                   (unsigned long)GetLastError());
        SetFileAttributesA(lpszFile, dwAttr);
        return FALSE;
    }
    CloseHandle(hFile);
    return TRUE;
}

static BOOL fnCanWriteFile(const char *lpszFile)
{
    HANDLE hFile = CreateFileA(lpszFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    CloseHandle(hFile);
    return TRUE;
}

/*
 * Puts the temporary file in the file's place in one step; the old file is
 * gone only when the new one is there. The old file is moved to a name of
 * our own first, so whatever step fails it can be found and put back.
 */
static BOOL fnReplaceFile(const char *lpszFile, const char *lpszTempFile)
{
    /* what was written reaches the disk before the name points at it */
    HANDLE hTemp = CreateFileA(lpszTempFile, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (hTemp != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(hTemp);
        CloseHandle(hTemp);
    }
    char szDir[CCH_PATH], szName[CCH_PATH], szOld[CCH_PATH] = "";
    fnSplitFolder(lpszFile, szDir, szName);
    BOOL bOld = szDir[0] && GetTempFileNameA(szDir, "_", 0, szOld);
    BOOL bOk = ReplaceFileA(lpszFile, lpszTempFile, bOld ? szOld : NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL);
    DWORD dwReplaceError = bOk ? 0 : GetLastError();
    if (!bOk && bOld && !fnFileExists(lpszFile) && fnFileExists(szOld)) {
        /* the old file was moved aside but the new one could not follow: it goes back */
        MoveFileExA(szOld, lpszFile, MOVEFILE_WRITE_THROUGH);
    }
    if (!bOk && fnFileExists(lpszTempFile)) {
        /* a temporary file on another volume (no room beside the file) can only be copied */
        bOk = MoveFileExA(lpszTempFile, lpszFile,
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH | MOVEFILE_COPY_ALLOWED);
    }
    DWORD dwMoveError = bOk ? 0 : GetLastError();
    /* the aside copy goes unless it is the only one left of the file */
    if (bOld && fnFileExists(lpszFile))
        DeleteFileA(szOld);
    fnDebugLog("fnReplaceFile", "lpszFile=%s,\nReplaceFile error=%lu,\nbOk=%d,\ndwError=%lu", g_uDebugLevel, lpszFile,
               (unsigned long)dwReplaceError, bOk, (unsigned long)dwMoveError);
    return bOk;
}

CfgCanWriteProc g_pfnCfgCanWrite = fnCanWriteFile;
CfgReplaceProc g_pfnCfgReplace = fnReplaceFile;

/* A temporary file beside the file, else in the temporary folder, else in C:\. */
static BOOL fnMakeTempFile(const char *lpszFile, char *lpszTemp)
{
    char szDir[CCH_PATH], szName[CCH_PATH];
    fnSplitFolder(lpszFile, szDir, szName);
    const char *aDirs[] = {szDir, g_szTmpPath, "C:\\"};
    for (const char *lpszDir : aDirs) {
        if (lpszDir[0] && GetTempFileNameA(lpszDir, "_", 0, lpszTemp))
            return TRUE;
    }
    lpszTemp[0] = '\0';
    return FALSE;
}

/* Edits lpszTarget through a temporary file; the file's attributes are dwAttr once it is in place. */
static UINT fnEditThroughTemp(const CfgFileEditStruct *lpJob, const IniEditStruct *e, const char *lpszTarget,
                              DWORD dwAttr)
{
    char szTemp[CCH_PATH];
    if (!fnMakeTempFile(lpszTarget, szTemp)) {
        fnDebugLog("fnEditConfigFile", "No temporary file for %s,\ndwError=%lu", g_uDebugLevel, lpszTarget,
                   (unsigned long)GetLastError());
        return fnFailure(lpJob, 1146, lpszTarget);
    }
    IniEditStruct edit = *e;
    edit.lpszFile = lpszTarget;
    BOOL bChanged = FALSE;
    BOOL bOk = fnEditIniFile(&edit, szTemp, &bChanged);
    UINT uResult = CFGEDIT_DONE;
    if (!bOk) {
        uResult = fnFailure(lpJob, 1146, lpszTarget);
    } else if (bChanged) {
        BOOL bWrite = g_pfnCfgCanWrite(lpszTarget);
        if (!bWrite) {
            int nAnswer = (lpJob->uMode == CFGMODE_BATCHQUIET)
                              ? IDRETRY
                              : g_pfnCfgAsk(1147, MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION, lpszTarget, 0);
            if (nAnswer == IDRETRY) {
                SetFileAttributesA(lpszTarget, FILE_ATTRIBUTE_NORMAL);
                bWrite = TRUE;
            } else {
                uResult = (nAnswer == IDIGNORE) ? (lpJob->uMode == CFGMODE_INIEDIT ? CFGEDIT_NEXT : CFGEDIT_DONE)
                                                : CFGEDIT_STOP;
            }
        }
        if (bWrite) {
            /* the rename needs a plain file; its own attributes come back below */
            SetFileAttributesA(lpszTarget, FILE_ATTRIBUTE_NORMAL);
            if (!g_pfnCfgReplace(lpszTarget, szTemp))
                uResult = fnFailure(lpJob, 1146, lpszTarget);
        }
    }
    /* gone on every path: after a replace there is nothing left to delete */
    DeleteFileA(szTemp);
    if (dwAttr != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(lpszTarget, dwAttr);
    return uResult;
}

UINT fnEditConfigFile(HWND hWnd, const CfgFileEditStruct *lpJob)
{
    (void)hWnd;
    const char *lpszFile = lpJob->lpszFile;
    IniEditStruct edit = lpJob->edit;
    IniEditStruct *e = &edit;
    char cAction = fnUpperAscii(e->cAction ? e->cAction : 'N');
    BOOL bRemoveOnly = (cAction == 'D' || cAction == 'R' || fnUpperAscii(e->lpszType ? e->lpszType[0] : 'I') == 'R');
    const CfgBackupStruct *lpKnown = fnFindBackup(lpszFile);
    if (bRemoveOnly && !fnFileExists(lpKnown ? lpKnown->szTarget : lpszFile)) {
        /* nothing to remove or replace: no folder, file or backup is made for it */
        fnDebugLog("fnEditConfigFile", "%s does not exist: nothing to remove or replace", g_uDebugLevel, lpszFile);
        return CFGEDIT_DONE;
    }
    char szDir[CCH_PATH], szName[CCH_PATH];
    fnSplitFolder(lpszFile, szDir, szName);
    if (szDir[0] && GetFileAttributesA(szDir) == INVALID_FILE_ATTRIBUTES) {
        BOOL bMade = (lpJob->uMode == CFGMODE_INIEDIT) && fnCreateDirTreeLog(szDir, TRUE);
        if (!bMade) {
            /* for AUTOEXEC.BAT a missing folder is only asked about */
            BOOL bGoOn = fnCfgAskYesNo(1148, szDir);
            return bGoOn ? CFGEDIT_NEXT : CFGEDIT_STOP;
        }
    }
    char szTarget[CCH_PATH];
    UINT uBackup = fnBackupConfigFile(lpJob, szTarget);
    if (uBackup != CFGEDIT_DONE)
        return uBackup;
    e->lpszFile = szTarget;
    if (!fnFileExists(szTarget)) {
        HANDLE hNew = CreateFileA(szTarget, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hNew != INVALID_HANDLE_VALUE) {
            CloseHandle(hNew);
            fnWriteLog("%s, C", TRUE, szTarget);
        }
    }
    /* taken before anything changes them: hidden and system must come back as well as read-only */
    DWORD dwAttr = GetFileAttributesA(szTarget);
    if (!fnMakeConfigWritable(lpJob, szTarget))
        return fnFailure(lpJob, 1142, szTarget);
    UINT uResult = CFGEDIT_DONE;
    if (lpJob->bProfile) {
        if (!fnEditProfile(szTarget, e))
            uResult = fnFailure(lpJob, 1146, szTarget);
        SetFileAttributesA(szTarget, dwAttr);
    } else {
        uResult = fnEditThroughTemp(lpJob, e, szTarget, dwAttr);
    }
    fnDebugLog("fnEditConfigFile", "lpszFile=%s,\nlpszTarget=%s,\nuResult=%u", g_uDebugLevel, lpszFile, szTarget,
               uResult);
    return uResult;
}

BOOL fnSetBatchEnvironment(HWND hWnd, const char *lpszFile, const char *lpszName, const char *lpszValue,
                           const char *lpszAction, BOOL bQuiet)
{
    char cAction = (lpszAction && lpszAction[0]) ? fnUpperAscii(lpszAction[0]) : 'N';
    char szPlace[2] = {(lpszAction && lpszAction[0]) ? fnUpperAscii(lpszAction[1]) : '\0', '\0'};
    char szKey[CCH_LINE_BUF], szLine[CCH_LINE_BUF * 2];
    BOOL bPath = fnEqualNoCase(lpszName, "PATH");
    fnFormatBounded(szKey, sizeof(szKey), "set %s=", lpszName);
    fnFormatBounded(szLine, sizeof(szLine), "%s%s", szKey, lpszValue ? lpszValue : "");
    CfgFileEditStruct job;
    job.lpszFile = lpszFile;
    job.uMode = bQuiet ? CFGMODE_BATCHQUIET : CFGMODE_BATCH;
    job.bProfile = FALSE;
    if (bPath) {
        /* PATH goes through its statements: "PATH " head, the value as test and new element, default at the end */
        if (!szPlace[0])
            szPlace[0] = 'E';
        job.edit = {lpszFile, "PATH ", lpszValue, lpszValue, "P", cAction, szPlace, FALSE};
    } else {
        job.edit = {lpszFile, "", szKey, szLine, "C", cAction, szPlace, FALSE};
    }
    UINT uResult = fnEditConfigFile(hWnd, &job);
    fnDebugLog("fnSetAutoExecEnvironment", "lpszFile=%s,\nlpszName=%s,\ncAction=%c,\nuResult=%u", g_uDebugLevel,
               lpszFile, lpszName, cAction, uResult);
    return uResult != CFGEDIT_STOP;
}
