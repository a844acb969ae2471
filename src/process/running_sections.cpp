/*
 * process/running_sections.cpp -- the sections about programs already
 * running: [CheckIfRunning] (stop or warn when certain programs run, or do
 * not) and the close sections ([CloseProcess], [StopProcess], [CloseBefore],
 * [CloseAfter], [Close], [CloseFiles]), which end a program before its files
 * are replaced. Finding and ending processes is procfind.cpp's; the
 * decisions that need no system call are runcheck.cpp's.
 */
#include <windows.h>

#include <string.h>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "driver/sectiondriver.h"
#include "process/linehead.h"
#include "process/procfind.h"
#include "process/runcheck.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/textmodel.h"
#include "script/textmodel_msg.h"
#include "ui/msgwindow.h"
#include "ui/placement.h"
#include "ui/waitwindow.h"

/* The [CheckIfRunning] message window keeps its caption from one such section to the next. */
static char s_szCheckCaption[CCH_CHECKRUN_CAPTION];

/* A status that ends the run: no closing message may say the software was installed. */
static UINT fnRunEnded(UINT uStatus, BOOL bByRule)
{
    if (uStatus == SECT_USEREXIT && g_lpUserInput)
        g_lpUserInput->uQuiet = 0;
    if (uStatus == SECT_USEREXIT && bByRule)
        g_bStoppedByRule = TRUE;
    return uStatus;
}

/*
 * The program list of a CheckFor line: every field from 1 on, each expanded,
 * joined with commas again (the field cutter splits "a.exe,b.exe" into two
 * fields). Cut at 519 characters.
 */
static void fnTakeCheckList(const char *lpszLine, char *lpszList, size_t cchList)
{
    lpszList[0] = '\0';
    for (int nField = 1;; nField++) {
        char szWork[CCH_LINE_BUF], szField[CCH_FIELD_BUF];
        fnCopyBounded(szWork, sizeof(szWork), lpszLine);
        if (!fnInfParseField(szWork, nField, szField, sizeof(szField)))
            break;
        fnExpandOpts(szField, CCH_EXPANDED);
        if (nField > 1)
            fnAppendBounded(lpszList, cchList, ",");
        fnAppendBounded(lpszList, cchList, szField);
    }
}

UINT fnReadCheckIfRunning(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    char szList[CCH_CHECKFOR_LIST] = "", szMessage[CCH_CHECKRUN_MESSAGE] = "";
    UINT uAction = CIRACT_NONE;
    BOOL bShowFiles = TRUE, bMessage = FALSE;
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szField[CCH_FIELD_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        UINT uTest = fnInfTestIfTwoFields(szLine);
        /* a condition that ends the section leaves the run going, as in the other sections */
        if (uTest == IDTEST_SKIPREST) {
            fnDebugLog("fnReadCheckIfRunning", "section ended by its condition", g_uDebugLevel);
            return SECT_CONTINUE;
        }
        if (uTest == IDTEST_GOON || uTest == IDTEST_FALSE)
            continue;
        char szOriginal[CCH_LINE_BUF];
        fnCopyBounded(szOriginal, sizeof(szOriginal), szLine);
        fnInfParseField(szLine, 0, szKey, sizeof(szKey));
        fnTrimBlanks(szKey);
        int nKey = fnFindSectionKey(g_aCheckIfRunningKeys, szKey);
        if (nKey < 0)
            break;
        if (nKey == CIRKEY_CHECKFOR) {
            fnTakeCheckList(szOriginal, szList, sizeof(szList));
            continue;
        }
        if (!fnInfParseFieldMsg(szLine, 1, szField, sizeof(szField)))
            return SECT_ERROR;
        switch (nKey) {
        case CIRKEY_ACTION:
            fnTrimBlanks(szField);
            uAction = fnCheckRunAction(szField);
            break;
        case CIRKEY_CAPTION:
            fnExpandOpts(szField, CCH_EXPANDED);
            fnCopyBounded(s_szCheckCaption, sizeof(s_szCheckCaption), szField);
            break;
        case CIRKEY_MESSAGE:
            fnExpandOpts(szField, CCH_EXPANDED);
            fnCopyBounded(szMessage, sizeof(szMessage), szField);
            bMessage = TRUE;
            break;
        case CIRKEY_SHOWFILES:
            fnTrimBlanks(szField);
            bShowFiles = fnUpperAscii(szField[0]) != 'N';
            break;
        }
    }
    if (!szList[0]) {
        fnDebugLog("fnReadCheckIfRunning", "no CheckFor list in %s", g_uDebugLevel, lpszName);
        return SECT_ERROR;
    }

    char szFound[CCH_CHECKFOR_LIST], szMissing[CCH_CHECKFOR_LIST];
    int nFound = fnSplitRunningList(szList, fnTestForRunningExec, szFound, sizeof(szFound), szMissing,
                                    sizeof(szMissing));
    BOOL bShow = FALSE;
    UINT uStatus = fnCheckRunStatus(uAction, nFound > 0, &bShow);
    fnDebugLog("fnReadCheckIfRunning", "uAction=%u, szFound=%s, szNotFound=%s, uStatus=%u", g_uDebugLevel, uAction,
               szFound, szMissing, uStatus);
    if (bShow && bMessage) {
        MsgWindowStruct msg;
        memset(&msg, 0, sizeof(msg));
        fnCopyBounded(msg.szCaption, sizeof(msg.szCaption), s_szCheckCaption);
        fnCheckRunMessage(szMessage, bShowFiles, nFound > 0 ? szFound : szMissing, msg.szText, sizeof(msg.szText));
        msg.uType = MSGWIN_OK;
        fnShowMessageWindow(hWnd, &msg);
    }
    /* ending the run here is the script's rule, not the user's choice */
    return fnRunEnded(uStatus, TRUE);
}

/*
 * One close line: "T0=T1,path,waitflag,message,buttons". Returns 1 to go on
 * with the next line, 0 when the section ends failed (a missing path, or
 * the user chose Exit), 2 when a condition ended the section.
 */
static int fnCloseLine(HWND hWnd, char *lpszLine)
{
    BOOL bMissing = FALSE;
    UINT uTest = fnTestLineHead(lpszLine, &bMissing);
    char szPath[CCH_FIELD_BUF], szField[CCH_FIELD_BUF];
    if (bMissing) {
        fnInfParseFieldMsg(lpszLine, 1, szField, sizeof(szField));
        return 0;
    }
    if (uTest == IDTEST_SKIPREST)
        return 2;
    if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
        return 1;
    if (!fnInfParseFieldMsg(lpszLine, 2, szPath, sizeof(szPath)))
        return 0;
    /* a cut path could name another program: never closed */
    if (!fnExpandDataField(szPath, CCH_EXPANDED, "fnReadCloseExecs", NULL) || !szPath[0]) {
        fnDebugLog("fnReadCloseExecs", "no program path in line %s", g_uDebugLevel, lpszLine);
        return 0;
    }
    if (!fnTestForRunningExecPath(szPath))
        return 1;

    fnInfParseField(lpszLine, 3, szField, sizeof(szField));
    fnTrimBlanks(szField);
    BOOL bWaitWindow = fnUpperAscii(szField[0]) == 'Y';
    char szMessage[CCH_FIELD_BUF], szButtons[CCH_FIELD_BUF];
    fnInfParseField(lpszLine, 4, szMessage, sizeof(szMessage));
    fnInfParseField(lpszLine, 5, szButtons, sizeof(szButtons));
    fnTrimBlanks(szButtons);
    if (szMessage[0]) {
        MsgWindowStruct msg;
        memset(&msg, 0, sizeof(msg));
        fnCopyBounded(msg.szCaption, sizeof(msg.szCaption), g_szMsgTitle);
        fnCopyBounded(msg.szText, sizeof(msg.szText), szMessage);
        fnExpandOpts(msg.szText, sizeof(msg.szText));
        msg.uType = fnButtonWordType(szButtons);
        int nId = fnShowMessageWindow(hWnd, &msg);
        UINT uAnswer = fnCloseAnswer(nId);
        fnDebugLog("fnReadCloseExecs", "message answered %d, szPath=%s", g_uDebugLevel, nId, szPath);
        if (uAnswer == CLOSEANS_EXIT) {
            g_bUserChoseExit = TRUE;
            if (g_lpUserInput)
                g_lpUserInput->uQuiet = 0;
            return 0;
        }
        if (uAnswer == CLOSEANS_SKIP)
            return 1;
    }
    HWND hWndWait = NULL;
    if (bWaitWindow && !g_bQuiet)
        hWndWait = fnShowWaitWindow(hWnd, 1158, WAIT_HEIGHT_SMALL, PLACE_BOTTOMLEFT, 0, szPath);
    fnWriteLog("%s", TRUE, szPath);
    BOOL bClosed = fnCloseRunningExec(szPath, TRUE);
    if (hWndWait && IsWindow(hWndWait))
        DestroyWindow(hWndWait);
    fnDebugLog("fnReadCloseExecs", "szPath=%s, bClosed=%d, bStillRunning=%d", g_uDebugLevel, szPath, bClosed,
               fnTestForRunningExecPath(szPath));
    return 1;
}

UINT fnReadCloseExecs(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        int nNext = fnCloseLine(hWnd, szLine);
        if (nNext == 0)
            return 0;
        if (nNext == 2)
            break;
    }
    return 1;
}
