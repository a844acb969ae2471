/*
 * install/file_sections.cpp -- the file-copy sections ("[Files]",
 * "[CopyFiles]") and the disk-copy sections ("[MakeDisks]",
 * "[CopyFilesToDisks]"): count the files, drive the progress dialog, read
 * each line into the install-file record, make the destination folders,
 * join parted files, ask for disks as they fill and hand every file to the
 * install engine. Lines are read with one running position, so a long
 * section is read once. The engine decides about each single file.
 */
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "install/copylines.h"
#include "install/copyprim.h"
#include "install/dirs.h"
#include "install/diskrules.h"
#include "install/engine.h"
#include "install/filesections.h"
#include "install/moverules.h"
#include "install/namelist.h"
#include "resource.h"
#include "script/conditions.h"
#include "script/pathtext.h"
#include "script/textmodel.h"
#include "ui/placement.h"
#include "ui/progress.h"
#include "ui/waitwindow.h"

#define MAX_COPY_LINES 9000
#define N_MADE_TREES 16

namespace {

/* ------------------------------------------------------------------ counting */

struct CountStruct {
    UINT uFiles;
    ULONGLONG qwBytes;
};

void fnAddCount(CountStruct *lpCount, UINT uFiles, ULONGLONG qwBytes)
{
    lpCount->uFiles = uFiles > 0xFFFFFFFFu - lpCount->uFiles ? 0xFFFFFFFFu : lpCount->uFiles + uFiles;
    lpCount->qwBytes = (qwBytes > ~0ULL - lpCount->qwBytes) ? ~0ULL : lpCount->qwBytes + qwBytes;
}

/* Files matching lpszPattern in lpszDir and, with bRecurse, in its subdirectories (never through links). */
void fnCountPattern(const char *lpszDir, const char *lpszPattern, BOOL bRecurse, CountStruct *lpCount)
{
    NameListStruct names = {NULL, 0, 0};
    ULONGLONG qwBytes = 0;
    fnListNames(lpszDir, lpszPattern, FALSE, &names, &qwBytes);
    fnAddCount(lpCount, names.uCount, qwBytes);
    fnListFree(&names);
    if (!bRecurse)
        return;
    fnListNames(lpszDir, "*", TRUE, &names);
    char szSub[CCH_PATH];
    for (UINT i = 0; i < names.uCount; i++)
        if (fnJoinPath(szSub, sizeof(szSub), lpszDir, names.lpNames[i]))
            fnCountPattern(szSub, lpszPattern, TRUE, lpCount);
    fnListFree(&names);
}

/* The files (and their bytes) the lines from lpszPos name; no condition is evaluated. */
void fnCountFiles(const char *lpszPos, UINT uMaxLines, CountStruct *lpCount)
{
    char szLine[CCH_LINE_BUF], szSrc[CCH_PATH], szDir[CCH_PATH], szName[CCH_PATH];
    for (UINT uLine = 0; uLine < uMaxLines && lpszPos && *lpszPos; uLine++) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        BOOL bRecurse = FALSE;
        if (!fnCopyLineSource(szLine, szSrc, sizeof(szSrc), &bRecurse))
            continue;
        fnSplitPath(szSrc, NULL, NULL, NULL, NULL, szName, szDir);
        if (fnHasWildcard(szName)) {
            fnCountPattern(szDir, szName, bRecurse, lpCount);
            continue;
        }
        WIN32_FILE_ATTRIBUTE_DATA fad;
        ULONGLONG qw = 0;
        if (GetFileAttributesExA(szSrc, GetFileExInfoStandard, &fad))
            qw = ((ULONGLONG)fad.nFileSizeHigh << 32) | fad.nFileSizeLow;
        fnAddCount(lpCount, 1, qw);
    }
}

/* ------------------------------------------------------------------ the run of one section */

/* What one copy section keeps while its lines run. */
struct CopyRunStruct {
    HWND hWnd;
    const char *lpszName;
    IFStruct *lpIF;
    CopyHeaderStruct hdr;
    const char *lpszPos;         /* the next line */
    UINT uMaxLines, uMaxFiles;
    ULONGLONG qwBytes;           /* of the files counted */
    const char *lpszDisks;       /* body of the disks section, or NULL */
    /* the folders this section made last (a ring), so lines that take turns among a few folders make each once */
    char aszTrees[N_MADE_TREES][CCH_PATH];
    UINT uNextTree;
    /* joined files: the temporary file the parts go to, and the destination it becomes */
    char szJoinFile[CCH_PATH];
    char szJoinDir[CCH_PATH], szJoinName[CCH_PATH];
    BOOL bJoinOk;
};

void fnStepMeter(const IFStruct *lpIF)
{
    if (lpIF->hWndProgress)
        SendMessageA(fnProgressItem(lpIF->hWndProgress, IDC_PROGRESS_METER), PM_SETPOS, lpIF->uFileNum, 0);
}

/* The meter at the last file a section reached (the engine may step it less often than per file). */
void fnEndMeter(const IFStruct *lpIF)
{
    if (lpIF->hWndProgress && lpIF->uFileNum > 0)
        SendMessageA(fnProgressItem(lpIF->hWndProgress, IDC_PROGRESS_METER), PM_SETPOS, lpIF->uFileNum - 1, 0);
}

/*
 * A file the section cannot install: the debug-log entry and message 1120,
 * whose Yes goes on with the next line. TRUE to go on (a quiet run goes on).
 */
BOOL fnCannotInstall(const char *lpszPath, const char *lpszWhy)
{
    fnDebugLog("fnInfCopyFiles", "%s: %s", g_uDebugLevel, lpszWhy, lpszPath);
    if (g_bQuiet)
        return TRUE;
    return fnMessage(1120, NULL, MB_YESNO | MB_ICONQUESTION, lpszPath) == IDYES;
}

/*
 * Ends a join: its temporary file goes. With bTell the join was incomplete
 * and the user hears of it. TRUE to go on.
 */
BOOL fnDropJoin(CopyRunStruct *lpRun, BOOL bTell)
{
    if (!lpRun->szJoinFile[0])
        return TRUE;
    DeleteFileA(lpRun->szJoinFile);
    lpRun->szJoinFile[0] = '\0';
    if (!bTell)
        return TRUE;
    char szDst[CCH_PATH];
    fnJoinPath(szDst, sizeof(szDst), lpRun->szJoinDir, lpRun->szJoinName);
    fnWriteLog("%s, X", TRUE, szDst);
    return fnCannotInstall(szDst, "The joined file is incomplete");
}

/* Forgets the folders made: a new disk holds none of them. */
void fnForgetTrees(CopyRunStruct *lpRun)
{
    for (UINT i = 0; i < N_MADE_TREES; i++)
        lpRun->aszTrees[i][0] = '\0';
}

/* Makes a line's destination folder (once while it is among the last made); FALSE after message 1072 or 1054. */
BOOL fnMakeLineTree(CopyRunStruct *lpRun, const char *lpszDir)
{
    for (UINT i = 0; i < N_MADE_TREES; i++)
        if (lpRun->aszTrees[i][0] && fnEqualNoCase(lpRun->aszTrees[i], lpszDir))
            return TRUE;
    if (!fnCreateDirTreeLog(lpszDir, FALSE))
        return fnDirTreeFailed(lpszDir, MB_ICONSTOP);
    fnCopyBounded(lpRun->aszTrees[lpRun->uNextTree], sizeof(lpRun->aszTrees[0]), lpszDir);
    lpRun->uNextTree = (lpRun->uNextTree + 1) % N_MADE_TREES;
    return TRUE;
}

/*
 * One part of a joined file: every part is appended to a temporary file,
 * and the last part installs that file at the destination of the first
 * with the join's copy mode. A join whose part was skipped or failed is
 * not installed: an incomplete file never takes the place of a good one.
 * 1 go on, 0 stop the section.
 */
UINT fnJoinPart(CopyRunStruct *lpRun)
{
    IFStruct *lpIF = lpRun->lpIF;
    UINT uPart = lpIF->uJoinPart;
    if (uPart == JOIN_FIRST) {
        if (!fnDropJoin(lpRun, TRUE))
            return 0;
        fnCopyBounded(lpRun->szJoinDir, sizeof(lpRun->szJoinDir), lpIF->szDstDir);
        fnCopyBounded(lpRun->szJoinName, sizeof(lpRun->szJoinName), lpIF->szDstFileName);
        if (!fnGetTempFileName(g_szTmpPath, "_RJ", lpRun->szJoinFile)) {
            fnDebugLog("fnInfCopyFiles", "No temporary join file in %s", g_uDebugLevel, g_szTmpPath);
            lpRun->szJoinFile[0] = '\0';
            return 0;
        }
        lpRun->bJoinOk = TRUE;
    } else if (!lpRun->szJoinFile[0]) {
        /* a part without its first part has nowhere to go */
        char szDst[CCH_PATH];
        fnJoinPath(szDst, sizeof(szDst), lpIF->szDstDir, lpIF->szDstFileName);
        fnStepMeter(lpIF);
        return fnCannotInstall(szDst, "A joined part without its first part") ? 1 : 0;
    }
    char szTmpDir[CCH_PATH], szTmpName[CCH_PATH];
    fnSplitPath(lpRun->szJoinFile, NULL, NULL, NULL, NULL, szTmpName, szTmpDir);
    fnCopyBounded(lpIF->szDstDir, sizeof(lpIF->szDstDir), szTmpDir);
    fnCopyBounded(lpIF->szDstFileName, sizeof(lpIF->szDstFileName), szTmpName);
    g_bJoinPartToTemp = TRUE;
    UINT r = fnInstallFileVer(lpRun->hWnd, lpIF);
    g_bJoinPartToTemp = FALSE;
    if (r == IFV_ABORT) {
        fnDropJoin(lpRun, FALSE);
        return 0;
    }
    if (r != IFV_INSTALLED)
        lpRun->bJoinOk = FALSE;
    if (uPart != JOIN_LAST)
        return 1;

    if (!lpRun->bJoinOk)
        return fnDropJoin(lpRun, TRUE) ? 1 : 0;
    fnCopyBounded(lpIF->szSrcFilePath, sizeof(lpIF->szSrcFilePath), szTmpDir);
    fnCopyBounded(lpIF->szSrcFileName, sizeof(lpIF->szSrcFileName), szTmpName);
    fnCopyBounded(lpIF->szDstDir, sizeof(lpIF->szDstDir), lpRun->szJoinDir);
    fnCopyBounded(lpIF->szDstFileName, sizeof(lpIF->szDstFileName), lpRun->szJoinName);
    lpIF->uCopyMode = lpIF->uJoinCopyMode;
    lpIF->uJoinPart = JOIN_NONE;
    lpIF->szCurDir[0] = lpIF->szSuggestDstDir[0] = lpIF->szBackupFile[0] = '\0';
    fnDebugLog("fnCopyFiles - Join-Expand", "%s to %s\\%s", g_uDebugLevel, lpRun->szJoinFile, lpRun->szJoinDir,
               lpRun->szJoinName);
    r = fnInstallFileVer(lpRun->hWnd, lpIF);
    fnDropJoin(lpRun, FALSE);
    return r == IFV_ABORT ? 0 : 1;
}

/* Hands the line's file or wildcard set to the engine: 1 go on, 0 stop. */
UINT fnInstallLine(CopyRunStruct *lpRun)
{
    IFStruct *lpIF = lpRun->lpIF;
    if (fnHasWildcard(lpIF->szSrcFileName)) {
        fnCopyBounded(lpIF->szWildSpec, sizeof(lpIF->szWildSpec), lpIF->szSrcFileName);
        if (lpIF->uFileNum)
            lpIF->uFileNum--;
        return fnWildInstallFiles(lpRun->hWnd, lpIF) ? 1 : 0;
    }
    return fnInstallFileVer(lpRun->hWnd, lpIF) == IFV_ABORT ? 0 : 1;
}

/*
 * The work of one line both section kinds share: its destination folder,
 * then its file, wildcard set or (with bJoins) part of a joined file to the
 * engine. 1 go on, 0 stop.
 */
UINT fnRunLine(CopyRunStruct *lpRun, BOOL bJoins)
{
    IFStruct *lpIF = lpRun->lpIF;
    if (!fnMakeLineTree(lpRun, lpIF->szDstDir))
        return 0;
    if (!bJoins)
        lpIF->uJoinPart = JOIN_NONE;
    else if (lpIF->uCopyMode == COPY_JOIN && lpIF->uJoinPart != JOIN_NONE &&
             lpIF->uInstallMode != INSTALL_DIRECTJOIN && !fnHasWildcard(lpIF->szSrcFileName))
        return fnJoinPart(lpRun);
    return fnInstallLine(lpRun);
}

/* Message 1046 (after 1104 for invalid characters) for a line that cannot be read. */
void fnBadLine(const CopyRunStruct *lpRun, const CopyLineStruct *lpLine, UINT uLine)
{
    fnDebugLog("fnInfCopyFiles", "Error reading line %u in section %s", g_uDebugLevel, uLine, lpRun->lpszName);
    if (g_bQuiet)
        return;
    if (lpLine->uMessage == 1104)
        fnMessage(1104, NULL, MB_OK | MB_ICONSTOP, lpLine->szBadName);
    fnMessage(1046, NULL, MB_OK | MB_ICONSTOP, uLine, lpRun->lpszName);
}

/*
 * The start every copy section shares: header, line count, the counting
 * pass under its wait window, "[CopyConfig]", the meter's range and the
 * section's own quiet setting. FALSE when the section has nothing to do.
 */
BOOL fnStartCopyRun(CopyRunStruct *lpRun, HWND hDlg, const char *lpszText, const char *lpszDirs)
{
    IFStruct *lpIF = lpRun->lpIF;
    lpRun->lpszPos = fnInfFindSection(lpszText, lpRun->lpszName);
    if (!lpRun->lpszPos || !*lpRun->lpszPos)
        return FALSE;
    fnResetDriveCache();
    char szOnDisk[CCH_PATH];
    fnSetSourceCase(g_szSourceDir, fnDiskCasePath(g_szSourceDir, szOnDisk, sizeof(szOnDisk)) ? szOnDisk : NULL);
    lpIF->hWndProgress = hDlg;
    lpIF->bQuiet = g_bQuiet;
    lpIF->uFileNum = 0;
    fnInitCopyHeader(&lpRun->hdr, lpszDirs);
    BOOL bEnd = FALSE;
    fnReadCopyHeader(&lpRun->lpszPos, &lpRun->hdr, &bEnd);
    lpRun->uMaxLines = bEnd ? 0 : (UINT)fnInfCountLines(lpRun->lpszPos, NULL, MAX_COPY_LINES);
    /* a section without file lines has nothing to do; a count of 0 only sets the meter */
    if (lpRun->uMaxLines == 0)
        return FALSE;
    if (lpRun->hdr.bTotal) {
        lpRun->uMaxFiles = lpRun->hdr.uTotalFiles;
    } else {
        HWND hWait = g_bQuiet ? NULL
                              : fnShowWaitWindow(lpRun->hWnd, 1154, WAIT_HEIGHT_SMALL, PLACE_CENTER, 0,
                                                 "Counting files");
        CountStruct count = {0, 0};
        fnCountFiles(lpRun->lpszPos, lpRun->uMaxLines, &count);
        lpRun->uMaxFiles = count.uFiles;
        lpRun->qwBytes = count.qwBytes;
        const char *lpszConfig = fnFindScriptSection("[CopyConfig]");
        BOOL bFiles = FALSE;
        UINT uFiles = 0;
        if (lpszConfig)
            fnReadCopyConfig(lpszConfig, &bFiles, &uFiles);
        if (bFiles)
            lpRun->uMaxFiles = uFiles;
        if (hWait && IsWindow(hWait))
            DestroyWindow(hWait);
    }
    lpIF->bQuiet = lpRun->hdr.nBeQuiet >= 0 ? (BOOL)lpRun->hdr.nBeQuiet : g_bQuiet;
    if (hDlg && !lpIF->bQuiet) {
        fnShowProgressDialog(hDlg);
        fnSetProgressMeter(hDlg, 0, lpRun->uMaxFiles);
    } else {
        if (hDlg)
            ShowWindow(hDlg, SW_HIDE);
        lpIF->hWndProgress = NULL;
    }
    lpRun->lpszDisks = fnFindScriptSection(lpRun->hdr.szDisksSection);
    return TRUE;
}

/*
 * A cleared run record and its file record for one section run. They are
 * large, so they are kept here rather than on the stack; copy sections never
 * run inside one another, so one pair serves every run.
 */
CopyRunStruct *fnNewCopyRun(HWND hWnd, const char *lpszName)
{
    static IFStruct s_if;
    static CopyRunStruct s_run;
    memset(&s_if, 0, sizeof(s_if));
    memset(&s_run, 0, sizeof(s_run));
    s_run.hWnd = hWnd;
    s_run.lpszName = lpszName;
    s_run.lpIF = &s_if;
    return &s_run;
}

/* What a line's condition leaves to do with it; both section loops take its answer. */
enum { LINEGOES_RUN, LINEGOES_PASS, LINEGOES_STOP };

/*
 * A line whose condition holds gets its disk's label for the disk prompt; a
 * line whose condition does not hold still counts as one file of the meter.
 */
int fnLineGoes(CopyRunStruct *lpRun, const CopyLineStruct *lpLine)
{
    if (lpLine->uTest == IDTEST_SKIPREST)
        return LINEGOES_STOP;
    if (lpLine->uTest == IDTEST_GOON)
        return LINEGOES_PASS;
    IFStruct *lpIF = lpRun->lpIF;
    lpIF->szDiskPrompt[0] = '\0';
    if (lpIF->szDisk[0] && lpRun->lpszDisks)
        fnFindDiskLabel(lpRun->lpszDisks, lpIF->szDisk, lpIF->szDiskPrompt, sizeof(lpIF->szDiskPrompt));
    if (lpLine->uTest == IDTEST_FALSE) {
        fnStepMeter(lpIF);
        lpIF->uFileNum++;
        return LINEGOES_PASS;
    }
    return LINEGOES_RUN;
}

/* when the queue was last looked at without a progress dialog */
DWORD s_dwLastPump;

BOOL fnCancelled(const IFStruct *lpIF)
{
    /* a shown dialog is answered at every line; otherwise each look, a round trip to the window system, waits 50 ms */
    DWORD dwNow = GetTickCount();
    if (lpIF->hWndProgress || dwNow - s_dwLastPump >= 50) {
        s_dwLastPump = dwNow;
        fnProcessMessages();
    }
    return fnProgressCancelled(lpIF->hWndProgress);
}

}  // namespace

/* ------------------------------------------------------------------ [Files], [CopyFiles] */

UINT fnInfCopyFiles(HWND hWnd, HWND hDlg, const char *lpszText, const char *lpszName)
{
    CopyRunStruct *lpRun = fnNewCopyRun(hWnd, lpszName);
    IFStruct *lpIF = lpRun->lpIF;
    if (!fnStartCopyRun(lpRun, hDlg, lpszText, ""))
        return 1;
    fnDebugLog("fnInfCopyFiles", "lpszSection=%s, uMaxLines=%u, uMaxFiles=%u, qwBytes=%llu", g_uDebugLevel, lpszName,
               lpRun->uMaxLines, lpRun->uMaxFiles, (unsigned long long)lpRun->qwBytes);

    UINT uResult = 1;
    lpIF->uFileNum = 1;
    for (UINT uLine = 1; uLine <= lpRun->uMaxLines; uLine++) {
        if (fnCancelled(lpIF)) {
            uResult = 0;
            break;
        }
        CopyLineStruct line;
        UINT r = fnReadCopyFileLine(&lpRun->lpszPos, lpIF, &line);
        if (r == COPYLINE_END)
            break;
        if (r == COPYLINE_ERROR) {
            fnBadLine(lpRun, &line, uLine);
            uResult = 0;
            break;
        }
        int nGoes = fnLineGoes(lpRun, &line);
        if (nGoes == LINEGOES_STOP)
            break;
        if (nGoes == LINEGOES_PASS)
            continue;
        if (!fnRunLine(lpRun, TRUE) || fnProgressCancelled(lpIF->hWndProgress)) {
            uResult = 0;
            break;
        }
        lpIF->uFileNum++;
    }
    /* a join still open at the end never got its last part */
    if (!fnDropJoin(lpRun, uResult != 0))
        uResult = 0;
    fnEndMeter(lpIF);
    return uResult;
}

UINT fnInfCopyFiles(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    HWND hDlg = g_bQuiet ? NULL : fnCreateProgressDialog(hWnd);
    UINT r = fnInfCopyFiles(hWnd, hDlg, lpszSection, lpszName);
    if (hDlg)
        DestroyWindow(hDlg);
    return r;
}

/* ------------------------------------------------------------------ [MakeDisks], [CopyFilesToDisks] */

namespace {

/* The root of the destination folder's drive: the disk in it is what fills. */
void fnDestRoot(char *lpszRoot, size_t cchRoot)
{
    char szDrive[CCH_PATH];
    if (!fnSplitPath(g_szDestDir, szDrive, NULL, NULL, NULL, NULL, NULL))
        szDrive[0] = '\0';
    fnFormatBounded(lpszRoot, cchRoot, "%s\\", szDrive);
}

BOOL fnAskInsertDisk(int nDisk, void *)
{
    if (g_bQuiet) {
        /* nobody can change a disk in a quiet run */
        fnDebugLog("fnInfCopyFilesToDisk", "Quiet run: disk %d cannot be asked for", g_uDebugLevel, nDisk);
        return FALSE;
    }
    BOOL bOk = fnMessage(1062, NULL, MB_OKCANCEL | MB_ICONINFORMATION, nDisk) == IDOK;
    /* a new disk: what was known of the old one's space no longer holds */
    fnResetDriveCache();
    return bOk;
}

ULONGLONG fnDestFreeBytes(void *)
{
    char szRoot[CCH_PATH];
    fnDestRoot(szRoot, sizeof(szRoot));
    return fnGetDiskSpace(szRoot);
}

BOOL fnAskTooLittle(ULONGLONG qwFree, ULONGLONG qwNeeded, void *)
{
    if (g_bQuiet)
        return FALSE;
    char szRoot[CCH_PATH];
    fnDestRoot(szRoot, sizeof(szRoot));
    /* the message shows 32-bit numbers: larger ones stand at the top of that range */
    unsigned long ulFree = qwFree > 0xFFFFFFFFull ? 0xFFFFFFFFul : (unsigned long)qwFree;
    unsigned long ulNeed = qwNeeded > 0xFFFFFFFFull ? 0xFFFFFFFFul : (unsigned long)qwNeeded;
    return fnMessage(1050, NULL, MB_OKCANCEL | MB_ICONEXCLAMATION, szRoot, ulFree, ulNeed) == IDOK;
}

/* The folders of the directory section on a new disk, made in the destination folder; FALSE after a message. */
BOOL fnMakeDiskDirs(CopyRunStruct *lpRun)
{
    fnForgetTrees(lpRun);
    DWORD dwAttr = GetFileAttributesA(g_szDestDir);
    if ((dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_DIRECTORY)) &&
        !fnCreateDirTreeLog(g_szDestDir, FALSE))
        return fnDirTreeFailed(g_szDestDir, MB_ICONSTOP);
    SetCurrentDirectoryA(g_szDestDir);
    const char *lpszDirs = fnFindScriptSection(lpRun->hdr.szDirsSection);
    if (!lpszDirs)
        return TRUE;
    int nLines = fnInfCountLines(lpszDirs, NULL, 64);
    return fnCreateDirectories(lpRun->hWnd, NULL, lpszDirs, lpRun->hdr.szDirsSection, nLines, 0, FALSE, FALSE) != 2;
}

}  // namespace

UINT fnInfCopyFilesToDisk(HWND hWnd, HWND hDlg, const char *lpszText, const char *lpszName)
{
    CopyRunStruct *lpRun = fnNewCopyRun(hWnd, lpszName);
    IFStruct *lpIF = lpRun->lpIF;
    /* files go onto the disks as they are: no expansion, no version rules, no search for other copies */
    lpIF->uInstallMode = INSTALL_ASIS;
    lpIF->uInUseAction = INUSE_PROMPT;
    lpIF->uVerAction = VERACT_PROMPT;
    lpIF->uCopyMode = COPY_NORMAL;
    lpIF->uBackupAction = BACKACT_OVERWRITE;
    lpIF->uJoinCopyMode = COPY_NORMAL;
    if (!fnStartCopyRun(lpRun, hDlg, lpszText, "[MakeDirs]"))
        return 1;
    fnDebugLog("fnInfCopyFilesToDisk", "lpszSection=%s, uMaxLines=%u, uMaxFiles=%u, qwBytes=%llu\nlpszInf=%s",
               g_uDebugLevel, lpszName, lpRun->uMaxLines, lpRun->uMaxFiles, (unsigned long long)lpRun->qwBytes,
               g_szIniFile);

    DiskRunStruct disks;
    fnStartDiskRun(&disks);
    DiskAskStruct ask = {fnAskInsertDisk, fnDestFreeBytes, fnAskTooLittle, NULL};
    BOOL bDirsMade = FALSE;
    lpIF->uFileNum = 1;
    for (UINT uLine = 1; uLine <= lpRun->uMaxLines; uLine++) {
        if (fnCancelled(lpIF))
            return 0;
        CopyLineStruct line;
        UINT r = fnReadDiskFileLine(&lpRun->lpszPos, lpIF, &line);
        if (r == COPYLINE_END)
            break;
        if (r == COPYLINE_ERROR) {
            fnBadLine(lpRun, &line, uLine);
            return 0;
        }
        int nGoes = fnLineGoes(lpRun, &line);
        if (nGoes == LINEGOES_STOP)
            break;
        if (nGoes == LINEGOES_PASS)
            continue;
        if (!fnDiskPrompts(&disks, line.bSwitchDisk, line.qwNeeded, &ask)) {
            fnDebugLog("fnInfCopyFilesToDisk", "Cancelled at line %u", g_uDebugLevel, uLine);
            return 0;
        }
        if (!bDirsMade || disks.bChanged) {
            if (!fnMakeDiskDirs(lpRun))
                return 0;
            bDirsMade = TRUE;
        }
        if (line.bDescription && lpIF->hWndProgress) {
            fnSetProgressText(lpIF->hWndProgress, IDC_PROGRESS_DESC, lpIF->szDescription);
            fnSetProgressText(lpIF->hWndProgress, IDC_PROGRESS_SOURCE, "");
            fnSetProgressText(lpIF->hWndProgress, IDC_PROGRESS_TARGET, "");
        }
        if (!fnRunLine(lpRun, FALSE))
            return 0;
        fnDebugLog("fnInfCopyFilesToDisk", "Next \nuLineNum = %u, uMaxLines = %u, IFStruct.uFileNum = %u",
                   g_uDebugLevel, uLine, lpRun->uMaxLines, lpIF->uFileNum);
        lpIF->uFileNum++;
    }
    fnEndMeter(lpIF);
    return 1;
}

UINT fnInfCopyFilesToDisk(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    HWND hDlg = g_bQuiet ? NULL : fnCreateProgressDialog(hWnd);
    UINT r = fnInfCopyFilesToDisk(hWnd, hDlg, lpszSection, lpszName);
    if (hDlg)
        DestroyWindow(hDlg);
    return r;
}
