/*
 * process/exec_sections.cpp -- the program sections: [Exec] and its
 * siblings, [ExecOnTop], [ShellExec], the run-as sections and [TestAndExec].
 * Each line names one program, how to show it, whether to wait for it (and
 * for a second program it starts), whether a wait window shows, whether
 * failures stop the section, and an optional question asked first. Launching
 * is the launcher's (process/launch.h, through g_lpLauncher); field words and
 * the status rules live in process/execwords.h.
 */
#include <windows.h>

#include <string.h>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/sectiondriver.h"
#include "install/version.h"
#include "process/execwords.h"
#include "process/launch.h"
#include "process/linehead.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/textmodel.h"
#include "ui/msgwindow.h"
#include "ui/placement.h"
#include "ui/waitwindow.h"

/* What a program section's handler was called for. */
struct ExecSectionStruct {
    const char *lpszTitle;
    int nKind;            /* EXECKIND_... */
    BOOL bLaunchDirect;   /* FALSE: [ShellExec], opened by the shell */
    BOOL bOnTop;
    BOOL bNetLogon;
};

/* One line's fields, reset for every line. */
struct ExecLineStruct {
    char szExec[CCH_FIELD_BUF];
    char szUser[CCH_PATH];
    char szDomain[CCH_PATH];
    char szPassword[CCH_PATH];
    char szTestFile[CCH_FIELD_BUF];
    char szTestCondition[CCH_FIELD_BUF];
    char szTestVs[CCH_FIELD_BUF];
    char cAfterRun;
    char szMessage[CCH_FIELD_BUF];
    UINT uButtons;
    ExecWordsStruct words;
};

/* Set while a run-as section reads its lines: a password written in the script stays out of the log. */
static BOOL s_bSecretLine;

/* Field positions of the parts every kind shares, by kind. */
static int fnProgramField(int nKind)
{
    return nKind == EXECKIND_RUNAS ? 5 : nKind == EXECKIND_TESTANDEXEC ? 7 : 2;
}

/*
 * A field the line must hold: missing or empty, message 1044 names it and
 * the line (not in a quiet run) and the result is FALSE.
 */
static BOOL fnTakeRequired(char *lpszLine, const char *lpszOriginal, int nField, char *lpszOut, size_t cchOut)
{
    char szField[CCH_FIELD_BUF];
    if (fnInfParseField(lpszLine, nField, szField, sizeof(szField)) && szField[0]) {
        fnCopyBounded(lpszOut, cchOut, szField);
        return TRUE;
    }
    lpszOut[0] = '\0';
    fnDebugLog("fnReadChainExecs", "missing field %d of line %s", g_uDebugLevel, nField, s_bSecretLine ? "(run-as line)" : lpszOriginal);
    if (!g_bQuiet)
        fnMessage(1044, NULL, MB_OK | MB_ICONSTOP, (unsigned)nField, lpszOriginal);
    return FALSE;
}

/* A field the line should hold, empty or not: missing, message 1044 as for a required one. */
static BOOL fnTakePresent(char *lpszLine, const char *lpszOriginal, int nField, char *lpszOut, size_t cchOut)
{
    char szField[CCH_FIELD_BUF];
    if (fnInfParseField(lpszLine, nField, szField, sizeof(szField))) {
        fnCopyBounded(lpszOut, cchOut, szField);
        return TRUE;
    }
    return fnTakeRequired(lpszLine, lpszOriginal, nField, lpszOut, cchOut);
}

/* An optional field; empty when the line does not hold it. */
static void fnTakeOptional(char *lpszLine, int nField, char *lpszOut, size_t cchOut)
{
    char szField[CCH_FIELD_BUF];
    fnInfParseField(lpszLine, nField, szField, sizeof(szField));
    fnCopyBounded(lpszOut, cchOut, szField);
}

/* Expands a field the program receives; a cut one cannot be passed on. */
static BOOL fnExpandWhole(char *lpszField, size_t cchField, const char *lpszTitle)
{
    return fnExpandDataField(lpszField, cchField, lpszTitle, NULL);
}

/*
 * The [TestAndExec] head: test file, version test, require flag and after-run
 * flag. Returns 1 when the line runs, 0 when it is passed over, -1 when a
 * required field is missing.
 */
static int fnTestHead(char *lpszLine, const char *lpszOriginal, ExecLineStruct *lpRec)
{
    char szRequire[CCH_FIELD_BUF], szAfter[CCH_FIELD_BUF];
    if (!fnTakeRequired(lpszLine, lpszOriginal, 2, lpRec->szTestFile, sizeof(lpRec->szTestFile)))
        return -1;
    if (!fnExpandWhole(lpRec->szTestFile, sizeof(lpRec->szTestFile), "fnTestAndExecs"))
        return -1;
    BOOL bExists = fnFileOrDirExists(lpRec->szTestFile);
    if (bExists) {
        if (!fnTakeRequired(lpszLine, lpszOriginal, 3, lpRec->szTestCondition, sizeof(lpRec->szTestCondition)) ||
            !fnTakeRequired(lpszLine, lpszOriginal, 4, lpRec->szTestVs, sizeof(lpRec->szTestVs)))
            return -1;
    }
    if (!fnTakeRequired(lpszLine, lpszOriginal, 5, szRequire, sizeof(szRequire)) ||
        !fnTakeRequired(lpszLine, lpszOriginal, 6, szAfter, sizeof(szAfter)))
        return -1;
    lpRec->cAfterRun = fnUpperAscii(szAfter[0]);
    if (bExists) {
        BOOL bRCVs = fnTestFileVersion(lpRec->szTestFile, lpRec->szTestCondition, lpRec->szTestVs);
        char szFileVersion[CCH_VERTEXT] = "";
        if (g_uDebugLevel)
            fnGetFileVersion(lpRec->szTestFile, szFileVersion, NULL, NULL);
        fnDebugLog("fnTestAndExecs", "bRCVs=%d, szTestFile=%s, szFileVersion=%s, szTestCondition=%s, szTestVs=%s",
                   g_uDebugLevel, bRCVs, lpRec->szTestFile, szFileVersion, lpRec->szTestCondition, lpRec->szTestVs);
        if (!bRCVs)
            return 0;
    } else if (fnUpperAscii(szRequire[0]) == 'Y') {
        fnDebugLog("fnTestAndExecs", "szTestFile=%s is missing: line passed over", g_uDebugLevel,
                   lpRec->szTestFile);
        return 0;
    }
    return 1;
}

/*
 * Takes the program, account and word fields of a line. FALSE when a
 * required field is missing (the section then ends with status 0).
 */
static BOOL fnTakeLine(char *lpszLine, const char *lpszOriginal, const ExecSectionStruct *lpSect,
                       ExecLineStruct *lpRec)
{
    int nProg = fnProgramField(lpSect->nKind);
    if (lpSect->nKind == EXECKIND_RUNAS) {
        if (!fnTakeRequired(lpszLine, lpszOriginal, 2, lpRec->szUser, sizeof(lpRec->szUser)) ||
            !fnExpandWhole(lpRec->szUser, sizeof(lpRec->szUser), lpSect->lpszTitle))
            return FALSE;
        /* a missing domain or password is told and taken as empty; an empty one is the local account's */
        if (!fnTakePresent(lpszLine, lpszOriginal, 3, lpRec->szDomain, sizeof(lpRec->szDomain)) ||
            !fnExpandWhole(lpRec->szDomain, sizeof(lpRec->szDomain), lpSect->lpszTitle))
            lpRec->szDomain[0] = '\0';
        if (!fnTakePresent(lpszLine, lpszOriginal, 4, lpRec->szPassword, sizeof(lpRec->szPassword)) ||
            !fnExpandWhole(lpRec->szPassword, sizeof(lpRec->szPassword), lpSect->lpszTitle))
            lpRec->szPassword[0] = '\0';
    }
    if (!fnTakeRequired(lpszLine, lpszOriginal, nProg, lpRec->szExec, sizeof(lpRec->szExec)))
        return FALSE;
    /* a command line that would be cut is never run shortened */
    if (!fnExpandWhole(lpRec->szExec, sizeof(lpRec->szExec), lpSect->lpszTitle)) {
        if (!g_bQuiet)
            fnMessage(1044, NULL, MB_OK | MB_ICONSTOP, (unsigned)nProg, lpszOriginal);
        return FALSE;
    }
    char szWord[CCH_FIELD_BUF];
    fnTakeOptional(lpszLine, nProg + 1, szWord, sizeof(szWord));
    fnExecShowWord(szWord, &lpRec->words);
    fnTakeOptional(lpszLine, nProg + 2, szWord, sizeof(szWord));
    fnExecWaitWord(szWord, &lpRec->words);
    fnTakeOptional(lpszLine, nProg + 3, szWord, sizeof(szWord));
    fnExecWindowWord(szWord, &lpRec->words);
    fnTakeOptional(lpszLine, nProg + 4, lpRec->szMessage, sizeof(lpRec->szMessage));
    fnTakeOptional(lpszLine, nProg + 5, szWord, sizeof(szWord));
    lpRec->uButtons = fnButtonWordType(szWord);
    return TRUE;
}

/* The line's own question before the program runs: 1 go on, 0 skip the line, 7 end the run. */
static UINT fnAskFirst(HWND hWnd, const ExecLineStruct *lpRec)
{
    MsgWindowStruct msg;
    memset(&msg, 0, sizeof(msg));
    fnCopyBounded(msg.szText, sizeof(msg.szText), lpRec->szMessage);
    fnExpandOpts(msg.szText, sizeof(msg.szText));
    msg.uType = lpRec->uButtons;
    int nId = fnShowMessageWindow(hWnd, &msg);
    fnDebugLog("fnReadChainExecs", "message answered %d,\nszExec=%s", g_uDebugLevel, nId, lpRec->szExec);
    if (nId == MSGWIN_ID_EXIT)
        return SECT_USEREXIT;
    return (nId == IDOK || nId == IDYES) ? 1 : 0;
}

/* Starts the line's program by the section's launch; the launch result. */
static UINT fnLaunch(HWND hWnd, const ExecSectionStruct *lpSect, const ExecLineStruct *lpRec)
{
    const ExecWordsStruct *w = &lpRec->words;
    if (!lpSect->bLaunchDirect)
        return g_lpLauncher->pfnLaunchError(lpRec->szExec, w->nShowWin, LAUNCHERR_SILENT);
    if (lpSect->nKind == EXECKIND_RUNAS)
        return g_lpLauncher->pfnExecProgramAs(hWnd, lpRec->szUser, lpRec->szDomain, lpRec->szPassword,
                                              lpRec->szExec, w->szAlsoCheckFor, w->nShowWin, w->bWait,
                                              w->bPreventExit, w->bErrorShow, w->bNoWin, lpSect->bNetLogon);
    if (lpSect->bOnTop)
        return g_lpLauncher->pfnExecProgramTop(hWnd, lpRec->szExec, w->szAlsoCheckFor, w->nShowWin, w->bWait,
                                               w->bPreventExit, w->bErrorShow, w->bNoWin);
    return g_lpLauncher->pfnExecProgram(hWnd, lpRec->szExec, w->szAlsoCheckFor, w->nShowWin, w->bWait,
                                        w->bPreventExit, w->bErrorShow, w->bNoWin);
}

/* A status that ends the run by the user's choice: no success message may follow it. */
static UINT fnUserEnded(UINT uStatus)
{
    if (uStatus == SECT_USEREXIT && g_lpUserInput)
        g_lpUserInput->uQuiet = 0;
    return uStatus;
}

static UINT fnExecSection(HWND hWnd, const char *lpszSection, const char *lpszName, const ExecSectionStruct *lpSect)
{
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    if (!lpszPos || !*lpszPos)
        return SECT_CONTINUE;
    char szLine[CCH_LINE_BUF], szOriginal[CCH_LINE_BUF];
    ExecLineStruct rec;
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        fnCopyBounded(szOriginal, sizeof(szOriginal), szLine);
        BOOL bMissing = FALSE;
        UINT uTest = fnTestLineHead(szLine, &bMissing);
        if (bMissing) {
            char szDummy[2];
            fnTakeRequired(szLine, szOriginal, 1, szDummy, sizeof(szDummy));
            return SECT_ERROR;
        }
        if (uTest == IDTEST_SKIPREST)
            return SECT_CONTINUE;
        if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
            continue;

        memset(&rec, 0, sizeof(rec));
        fnExecWordsDefault(&rec.words);
        if (lpSect->nKind == EXECKIND_TESTANDEXEC) {
            int nHead = fnTestHead(szLine, szOriginal, &rec);
            if (nHead < 0)
                return SECT_ERROR;
            if (nHead == 0)
                continue;
        }
        if (!fnTakeLine(szLine, szOriginal, lpSect, &rec)) {
            SecureZeroMemory(rec.szPassword, sizeof(rec.szPassword));
            return SECT_ERROR;
        }
        if (rec.szMessage[0]) {
            UINT uAnswer = fnAskFirst(hWnd, &rec);
            if (uAnswer != 1) {
                SecureZeroMemory(rec.szPassword, sizeof(rec.szPassword));
                if (uAnswer == SECT_USEREXIT)
                    return fnUserEnded(SECT_USEREXIT);
                continue;
            }
        }
        const ExecWordsStruct *w = &rec.words;
        fnDebugLog(lpSect->lpszTitle, "szExec=%s, szAlsoCheckFor=%s, nShowWin=%d, bWait=%d, bErrorShow=%d, bNoWin=%d",
                   g_uDebugLevel, rec.szExec, w->szAlsoCheckFor, w->nShowWin, w->bWait, w->bErrorShow, w->bNoWin);
        fnWriteLog("%s, %s, %d, %d", TRUE, rec.szExec, w->szAlsoCheckFor, w->nShowWin, w->bWait);

        HWND hWndWait = NULL;
        if (w->bWaitWindow && !g_bQuiet)
            hWndWait = fnShowWaitWindow(hWnd, 1156, WAIT_HEIGHT_SMALL, PLACE_BOTTOMLEFT, 0, rec.szExec);
        UINT uRC = fnLaunch(hWnd, lpSect, &rec);
        SecureZeroMemory(rec.szPassword, sizeof(rec.szPassword));
        if (hWndWait)
            DestroyWindow(hWndWait);
        fnDebugLog(lpSect->lpszTitle, "uRC=%u, szExec=%s, szAlsoCheckFor=%s, nShowWin=%d, bWait=%d, bErrorShow=%d",
                   g_uDebugLevel, uRC, rec.szExec, w->szAlsoCheckFor, w->nShowWin, w->bWait, w->bErrorShow);
        UINT uStatus = fnExecStatus(lpSect->nKind, uRC, w->bStopOnError, rec.cAfterRun);
        if (uStatus != EXEC_GOON)
            return fnUserEnded(uStatus);
    }
    return SECT_CONTINUE;
}

UINT fnReadChainExecs(HWND hWnd, const char *lpszSection, const char *lpszName, UINT uLaunchDirect, UINT uOnTop)
{
    ExecSectionStruct sect = {"fnReadChainExecs", EXECKIND_CHAIN, uLaunchDirect != 0, uOnTop != 0, FALSE};
    return fnExecSection(hWnd, lpszSection, lpszName, &sect);
}

UINT fnReadChainExecsRunAs(HWND hWnd, const char *lpszSection, const char *lpszName, UINT uLaunchDirect,
                           UINT uNetLogon)
{
    ExecSectionStruct sect = {"fnReadChainExecsRunAs", EXECKIND_RUNAS, uLaunchDirect != 0, FALSE, uNetLogon != 0};
    /* the field cutter and the condition test show none of these lines either */
    s_bSecretLine = g_bSecretLine = TRUE;
    UINT uStatus = fnExecSection(hWnd, lpszSection, lpszName, &sect);
    s_bSecretLine = g_bSecretLine = FALSE;
    return uStatus;
}

UINT fnTestAndExecs(HWND hWnd, const char *lpszSection, const char *lpszName, UINT uLaunchDirect)
{
    ExecSectionStruct sect = {"fnTestAndExecs", EXECKIND_TESTANDEXEC, uLaunchDirect != 0, FALSE, FALSE};
    return fnExecSection(hWnd, lpszSection, lpszName, &sect);
}
