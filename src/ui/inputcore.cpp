/*
 * ui/inputcore.cpp -- the "[AppInit]" reader, the question-section reader and
 * the destination test. Portable: the machine is reached through g_lpMachine,
 * the dialogs and boxes of the destination test through its DestOpsStruct.
 * Every copy into a record field is bounded; the list and help blocks never
 * take a line that would not fit whole.
 */
#include "ui/inputcore.h"

#include <stdlib.h>
#include <string.h>

#include "commands/cmdsettings.h"
#include "commands/diskspace.h"
#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "common/tgfile.h"
#include "driver/debuglog.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/pathtext.h"
#include "script/textmodel.h"

/* ---------------------------------------------------------------- keys */

enum {
    AK_CAPTION = 1, AK_DEFAULTDIR, AK_USEALL, AK_DIRSECTION, AK_DESTMSG1, AK_DESTMSG2, AK_SPACE, AK_MINSPACE,
    AK_WINSPACE, AK_EXPANDOPT, AK_EXPANDDELIMS, AK_LOGFILE, AK_APPNAME, AK_EXITMSG, AK_ERRORMSG, AK_ONEXIT,
    AK_BACKUP, AK_BEQUIET, AK_DIRPROMPT, AK_SRCCAPTION, AK_SRCDIR, AK_SRCMSG1, AK_SRCMSG2, AK_SRCPROMPT
};

const SectionKeyStruct g_aAppInitKeys[] = {
    {"Caption", AK_CAPTION},         {"DefaultDir", AK_DEFAULTDIR},     {"DoUseAllInstall", AK_USEALL},
    {"DoUseAllInstall2", AK_USEALL}, {"DirSection", AK_DIRSECTION},     {"DestMsg1", AK_DESTMSG1},
    {"DestMsg2", AK_DESTMSG2},       {"SpaceNeeded", AK_SPACE},         {"MinSpaceNeeded", AK_MINSPACE},
    {"WinSpaceNeeded", AK_WINSPACE}, {"ExpandOpt", AK_EXPANDOPT},       {"ExpandDelims", AK_EXPANDDELIMS},
    {"LogFile", AK_LOGFILE},         {"AppName", AK_APPNAME},           {"ExitMessage", AK_EXITMSG},
    {"ErrorMessage", AK_ERRORMSG},   {"OnExit", AK_ONEXIT},             {"BackUpMethod", AK_BACKUP},
    {"BeQuiet", AK_BEQUIET},         {"DirPrompt", AK_DIRPROMPT},       {"SourceCaption", AK_SRCCAPTION},
    {"SourceDir", AK_SRCDIR},        {"SourceMsg1", AK_SRCMSG1},        {"SourceMsg2", AK_SRCMSG2},
    {"SourceDirPrompt", AK_SRCPROMPT}, {NULL, 0},
};

/* Question keys; IK_MSG + n fills message slot n. */
enum {
    IK_MESSAGE = 1, IK_PROMPT, IK_CAPTION, IK_DEFAULTDIR, IK_PATH1, IK_PATH2, IK_PATH3, IK_PATH4, IK_FILE,
    IK_DEFAULT, IK_MORE1, IK_MORE2, IK_CHECK1, IK_CHECK2, IK_CHECK3, IK_CHECK4, IK_USEBUTTON1, IK_USEPATH1,
    IK_USEBUTTON2, IK_USEPATH2, IK_USEMORE1, IK_USEMORE2, IK_BUTTONTYPE, IK_WINSPACE, IK_SPACE1, IK_SPACE2,
    IK_SPACE3, IK_SPACE4, IK_ONEXIT, IK_BACKUP, IK_LOGFILE, IK_EXPANDOPT, IK_EXPANDDELIMS, IK_LIST, IK_HELP,
    IK_HELPFILE,
    IK_MSG = 100
};

const SectionKeyStruct g_aInputKeys[] = {
    {"Message", IK_MESSAGE},         {"Prompt", IK_PROMPT},           {"Caption", IK_CAPTION},
    {"DefaultDir", IK_DEFAULTDIR},   {"Path1", IK_PATH1},             {"Path2", IK_PATH2},
    {"Path3", IK_PATH3},             {"Path4", IK_PATH4},             {"File", IK_FILE},
    {"Default", IK_DEFAULT},         {"MoreInfo1", IK_MORE1},         {"MoreInfo2", IK_MORE2},
    {"ButtonCheck1", IK_CHECK1},     {"CheckBox", IK_CHECK1},         {"ButtonCheck2", IK_CHECK2},
    {"ButtonCheck3", IK_CHECK3},     {"ButtonCheck4", IK_CHECK4},     {"UseButton1", IK_USEBUTTON1},
    {"UsePath1", IK_USEPATH1},       {"UseButton2", IK_USEBUTTON2},   {"UsePath2", IK_USEPATH2},
    {"UseMoreInfo1", IK_USEMORE1},   {"UseMoreInfo2", IK_USEMORE2},   {"ButtonType", IK_BUTTONTYPE},
    {"WinSpaceNeeded", IK_WINSPACE}, {"SpaceNeeded", IK_SPACE1},      {"SpaceNeeded2", IK_SPACE2},
    {"SpaceNeeded3", IK_SPACE3},     {"SpaceNeeded4", IK_SPACE4},     {"OnExit", IK_ONEXIT},
    {"BackUpMethod", IK_BACKUP},     {"LogFile", IK_LOGFILE},         {"ExpandOpt", IK_EXPANDOPT},
    {"ExpandDelims", IK_EXPANDDELIMS}, {"List", IK_LIST},             {"Help", IK_HELP},
    {"HelpFile", IK_HELPFILE},
    {"Msg1", IK_MSG + 1},            {"ButtonMsg1", IK_MSG + 1},      {"UserPrompt", IK_MSG + 1},
    {"AboveEdit", IK_MSG + 1},       {"Msg2", IK_MSG + 2},            {"ButtonMsg2", IK_MSG + 2},
    {"PWPrompt", IK_MSG + 2},        {"BelowEdit", IK_MSG + 2},       {"Msg3", IK_MSG + 3},
    {"ButtonMsg3", IK_MSG + 3},      {"PWPrompt2", IK_MSG + 3},       {"Msg4", IK_MSG + 4},
    {"ButtonMsg4", IK_MSG + 4},      {"CheckBoxMsg", IK_MSG + 4},     {"Msg5", IK_MSG + 5},
    {"MsgBottom", IK_MSG + 5},       {"Msg6", IK_MSG + 6},            {"WarnMsg1", IK_MSG + 7},
    {NULL, 0},
};

/* ---------------------------------------------------------------- small rules */

DWORD fnParseSpace(const char *lpszText)
{
    ULONGLONG ull = 0;
    const char *p = lpszText ? lpszText : "";
    while (*p == ' ' || *p == '\t')
        p++;
    for (; *p >= '0' && *p <= '9'; p++) {
        ull = ull * 10 + (ULONGLONG)(*p - '0');
        /* a requirement beyond 32 bits must not wrap round to a small one */
        if (ull > 0xFFFFFFFFull)
            return 0xFFFFFFFFu;
    }
    return (DWORD)ull;
}

void fnFixDrivePath(char *lpszPath, size_t cchPath)
{
    if (lpszPath && strlen(lpszPath) == 2 && lpszPath[1] == ':')
        fnAppendBounded(lpszPath, cchPath, "\\");
}

int fnOptionSlot(int nBase, int n)
{
    int nSlot = nBase + n - 1;
    return (n >= 1 && nSlot >= 0 && nSlot < OPT_SLOTS) ? nSlot : -1;
}

void fnInitialLetters(const ReadSectStruct *r, char *lpszLetters)
{
    int nLastRadio = -1;
    for (int i = 0; i < 4; i++)
        if (r->bCheck[i] && (i == 0 || r->szMsg[i + 1][0]))
            nLastRadio = i;
    for (int i = 0; i < 4; i++) {
        /* button 1 always shows; the others only with their text */
        BOOL bShown = i == 0 || r->szMsg[i + 1][0];
        BOOL bOn = r->uButtonType == BUTTONTYPE_CHECK ? r->bCheck[i] : i == nLastRadio;
        lpszLetters[i] = (bShown && bOn) ? 'Y' : 'N';
    }
    lpszLetters[4] = '\0';
}

static BOOL fnIsYes(const char *lpszText)
{
    return lpszText[0] == 'Y' || lpszText[0] == 'y';
}

/* Field nField as written into lpszOut; FALSE (lpszOut untouched) when the line has none. */
static BOOL fnField(char *lpszLine, int nField, char *lpszOut, size_t cchOut)
{
    char szField[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, nField, szField, sizeof(szField)))
        return FALSE;
    fnCopyBounded(lpszOut, cchOut, szField);
    return TRUE;
}

/* Field nField expanded into a CCH_FIELD_BUF buffer; the expansion result, or -2 when missing. */
static int fnFieldExpanded(char *lpszLine, int nField, char *lpszOut, BOOL *lpbSecret)
{
    if (!fnInfParseField(lpszLine, nField, lpszOut, CCH_FIELD_BUF))
        return -2;
    int nRC = fnExpandOpts(lpszOut, CCH_FIELD_BUF);
    if (lpbSecret && g_bLastExpandSecret)
        *lpbSecret = TRUE;
    return nRC;
}

/* The run's option character and delimiters; empty values are passed over, as they would switch options off. */
static void fnApplyExpandKey(BOOL bDelims, const char *lpszValue)
{
    if (!lpszValue[0]) {
        fnDebugLog("fnReadInputSection", "Empty %s passed over", g_uDebugLevel, bDelims ? "ExpandDelims" : "ExpandOpt");
        return;
    }
    if (bDelims)
        fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), lpszValue);
    else
        g_cOptChar = lpszValue[0];
}

/* ---------------------------------------------------------------- [AppInit] */

/* One [AppInit] key; FALSE when a required value is missing. */
static BOOL fnApplyAppInitKey(int nKey, char *lpszLine, UserInputStruct *u)
{
    char szValue[CCH_FIELD_BUF], szValue2[CCH_FIELD_BUF];
    BOOL bHave = fnField(lpszLine, 1, szValue, sizeof(szValue));
    switch (nKey) {
    case AK_CAPTION: case AK_DIRSECTION: case AK_DESTMSG1: case AK_DESTMSG2: case AK_SRCCAPTION:
    case AK_SRCMSG1: case AK_SRCMSG2: {
        if (!bHave)
            return FALSE;
        struct { int nKey; char *lpsz; size_t cch; } const aTexts[] = {
            {AK_CAPTION, u->szCaption, sizeof(u->szCaption)},
            {AK_DIRSECTION, u->szDirSection, sizeof(u->szDirSection)},
            {AK_DESTMSG1, u->szDestMsg1, sizeof(u->szDestMsg1)},
            {AK_DESTMSG2, u->szDestMsg2, sizeof(u->szDestMsg2)},
            {AK_SRCCAPTION, u->szSourceCaption, sizeof(u->szSourceCaption)},
            {AK_SRCMSG1, u->szSourceMsg1, sizeof(u->szSourceMsg1)},
            {AK_SRCMSG2, u->szSourceMsg2, sizeof(u->szSourceMsg2)},
        };
        for (const auto &t : aTexts)
            if (t.nKey == nKey)
                fnCopyBounded(t.lpsz, t.cch, szValue);
        return TRUE;
    }
    case AK_DEFAULTDIR:
        /* a destination given at start-up is the one deployed with; it is also what a prompt shows */
        if (g_bDestGiven) {
            fnDebugLog("fnReadAppInit", "DefaultDir passed over: the destination %s was given at start-up",
                       g_uDebugLevel, u->szDestPath);
            return TRUE;
        }
        for (int nField = 1; nField <= 3; nField++) {
            int nRC = fnFieldExpanded(lpszLine, nField, szValue2, NULL);
            if (nRC == -2) {
                fnCopyBounded(u->szDestPath, sizeof(u->szDestPath), g_szDestDir);
                break;
            }
            if (nRC != EXPAND_MISSING || nField == 3) {
                fnCopyBounded(u->szDestPath, sizeof(u->szDestPath), szValue2);
                break;
            }
        }
        return TRUE;
    case AK_SPACE:
        if (!bHave)
            return FALSE;
        u->dwDiskSpaceNeeded = fnParseSpace(szValue);
        u->dwMinSpaceNeeded = fnField(lpszLine, 2, szValue2, sizeof(szValue2)) ? fnParseSpace(szValue2)
                                                                              : u->dwDiskSpaceNeeded;
        return TRUE;
    case AK_MINSPACE:
    case AK_WINSPACE:
        if (!bHave)
            return FALSE;
        (nKey == AK_MINSPACE ? u->dwMinSpaceNeeded : u->dwWinSpaceNeeded) = fnParseSpace(szValue);
        return TRUE;
    case AK_SRCDIR:
        if (!bHave)
            return FALSE;
        fnCopyBounded(szValue2, sizeof(szValue2), szValue);
        if (fnExpandOpts(szValue2, sizeof(szValue2)) != EXPAND_MISSING)
            fnCopyBounded(u->szSourceDir, sizeof(u->szSourceDir), szValue2);
        else if (fnField(lpszLine, 2, szValue2, sizeof(szValue2)))
            fnCopyBounded(u->szSourceDir, sizeof(u->szSourceDir), szValue2);
        else
            fnCopyBounded(u->szSourceDir, sizeof(u->szSourceDir), szValue2);
        return TRUE;
    default:
        break;
    }
    /* the remaining keys are optional: without a value the line is passed over */
    if (!bHave)
        return TRUE;
    switch (nKey) {
    case AK_USEALL: u->bUseAllInstall = fnIsYes(szValue); break;
    case AK_EXPANDOPT: fnApplyExpandKey(FALSE, szValue); break;
    case AK_EXPANDDELIMS: fnApplyExpandKey(TRUE, szValue); break;
    case AK_LOGFILE:
        /* an empty name would only hide the lines of a log that is already open */
        if (szValue[0])
            fnCopyBounded(u->szLogFile, sizeof(u->szLogFile), szValue);
        break;
    case AK_APPNAME: fnCopyBounded(u->szAppName, sizeof(u->szAppName), szValue); break;
    case AK_EXITMSG:
    case AK_ERRORMSG:
        fnExpandOpts(szValue, sizeof(szValue));
        if (nKey == AK_EXITMSG)
            fnCopyBounded(u->szExitMsg, sizeof(u->szExitMsg), szValue);
        else
            fnCopyBounded(u->szErrorMsg, sizeof(u->szErrorMsg), szValue);
        break;
    case AK_ONEXIT: {
        int nAction = fnFindSectionKey(g_aOnExitWords, szValue);
        BOOL bArg = fnField(lpszLine, 2, szValue2, sizeof(szValue2)) && szValue2[0];
        if (nAction == 1 || nAction == 3) {
            u->uOnExit = (UINT)nAction;
        } else if (nAction == 5) {
            u->uOnExit = 5;
            g_bRebootForced = TRUE;
        } else if (nAction == 2) {
            u->uOnExit = bArg ? 2 : 0;
            if (bArg)
                fnCopyBounded(u->szExitExec, sizeof(u->szExitExec), szValue2);
        } else if (nAction == 6) {
            u->uOnExit = 6;
            if (bArg)
                fnCopyBounded(u->szRestartMsg, sizeof(u->szRestartMsg), szValue2);
            else
                g_lpMachine->pfnLoadString(1190, u->szRestartMsg, sizeof(u->szRestartMsg));
        }
        break;
    }
    case AK_BACKUP: {
        int nMethod = fnFindSectionKey(g_aBackUpMethodWords, szValue);
        if (nMethod > 0)
            u->uBackupMode = (UINT)nMethod;
        break;
    }
    case AK_BEQUIET: u->uQuiet = fnIsYes(szValue) ? 0 : 1; break;
    case AK_DIRPROMPT: u->bDirPrompt = fnIsYes(szValue); break;
    case AK_SRCPROMPT: u->bSourceDirPrompt = fnIsYes(szValue); break;
    default: break;
    }
    return TRUE;
}

UINT fnReadAppInit(const char *lpszBody, UserInputStruct *lpUserInput)
{
    const char *lpszPos = lpszBody;
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF];
    while (fnNextRunLine(&lpszPos, szLine) == NEXTLINE_RUN) {
        int nKey = fnInfParseField(szLine, 0, szKey, sizeof(szKey)) ? fnFindSectionKey(g_aAppInitKeys, szKey) : -1;
        if (nKey < 0) {
            fnDebugLog("fnReadAppInit", "Unknown key ends the section: %s", g_uDebugLevel, szLine);
            break;
        }
        if (!fnApplyAppInitKey(nKey, szLine, lpUserInput)) {
            fnDebugLog("fnReadAppInit", "Missing value: %s", g_uDebugLevel, szLine);
            return 0;
        }
    }
    fnDebugLog("fnReadAppInit",
               "szDestPath=%s,\nszSourceDir=%s,\ndwDiskSpaceNeeded=%lu,\ndwMinSpaceNeeded=%lu,\ndwWinSpaceNeeded=%lu,"
               "\nbDirPrompt=%d,\nbSourceDirPrompt=%d,\nuQuiet=%u,\nuOnExit=%u,\nuBackupMode=%u,\nszLogFile=%s",
               g_uDebugLevel, lpUserInput->szDestPath, lpUserInput->szSourceDir,
               (unsigned long)lpUserInput->dwDiskSpaceNeeded, (unsigned long)lpUserInput->dwMinSpaceNeeded,
               (unsigned long)lpUserInput->dwWinSpaceNeeded, lpUserInput->bDirPrompt, lpUserInput->bSourceDirPrompt,
               lpUserInput->uQuiet, lpUserInput->uOnExit, lpUserInput->uBackupMode, lpUserInput->szLogFile);
    return 1;
}

/* ---------------------------------------------------------------- questions */

void fnInitReadSect(ReadSectStruct *r, char *lpszList, size_t cchList)
{
    memset(r, 0, sizeof(*r));
    r->lpszList = lpszList;
    r->cchList = lpszList ? cchList : 0;
    if (lpszList && cchList)
        lpszList[0] = '\0';
    fnCopyBounded(r->szCaption, sizeof(r->szCaption), g_szMsgTitle);
    fnCopyBounded(r->szPrompt, sizeof(r->szPrompt), "Select OK to continue");
    char *const apsz[] = {r->szPath1, r->szPath2, r->szPath3, r->szPath4};
    for (char *lpsz : apsz)
        fnCopyBounded(lpsz, CCH_PATH, g_szDestDir);
}

void fnFreeReadSect(ReadSectStruct *r)
{
    free(r->lpszHelp);
    r->lpszHelp = NULL;
}

/* The help block, made at its first use; NULL when memory ran out. */
static char *fnHelpBlock(ReadSectStruct *r)
{
    if (!r->lpszHelp) {
        r->lpszHelp = (char *)calloc(1, CCH_INPUTBLOCK);
        if (!r->lpszHelp)
            fnDebugLog("fnReadInputSection", "No memory for the help text", g_uDebugLevel);
    }
    return r->lpszHelp;
}

/* Adds lpszText and a line break to a block when both fit whole; FALSE (block unchanged) when not. */
static BOOL fnAddBlockLine(char *lpszBlock, size_t cchBlock, const char *lpszText)
{
    size_t cchHave = strlen(lpszBlock), cchAdd = strlen(lpszText) + 2;
    if (cchHave + cchAdd >= cchBlock)
        return FALSE;
    memcpy(lpszBlock + cchHave, lpszText, cchAdd - 2);
    memcpy(lpszBlock + cchHave + cchAdd - 2, "\r\n", 3);
    return TRUE;
}

/* A path key: field 1, else 2, else 3 (File: 1 or 2), each expanded; a missing field keeps the default. */
static void fnReadPathKey(char *lpszLine, int nMaxField, char *lpszOut, BOOL *lpbSecret)
{
    char szValue[CCH_FIELD_BUF];
    for (int nField = 1; nField <= nMaxField; nField++) {
        int nRC = fnFieldExpanded(lpszLine, nField, szValue, lpbSecret);
        if (nRC == -2)
            return;
        if ((nRC != EXPAND_MISSING && szValue[0]) || nField == nMaxField) {
            fnCopyBounded(lpszOut, CCH_PATH, szValue);
            return;
        }
    }
}

/* Default and MoreInfo: field 1 as written, or its expansion when every option had a value, or else field 2. */
static void fnReadValueKey(char *lpszLine, char *lpszOut, size_t cchOut, BOOL *lpbSecret)
{
    char szValue[CCH_FIELD_BUF];
    if (!fnField(lpszLine, 1, lpszOut, cchOut))
        return;
    fnCopyBounded(szValue, sizeof(szValue), lpszOut);
    int nRC = fnExpandOpts(szValue, sizeof(szValue));
    if (nRC == EXPAND_OK) {
        *lpbSecret |= g_bLastExpandSecret;
        fnCopyBounded(lpszOut, cchOut, szValue);
    } else if (nRC == EXPAND_MISSING && fnFieldExpanded(lpszLine, 2, szValue, lpbSecret) != -2) {
        /* a literal value stays: only a value whose option had nothing falls back to field 2 */
        fnCopyBounded(lpszOut, cchOut, szValue);
    }
}

/* "HelpFile": a text file read into the help block, or a Windows help file named for the help engine. */
static BOOL fnReadHelpFile(char *lpszLine, ReadSectStruct *r)
{
    char szValue[CCH_FIELD_BUF], szPath[CCH_PATH];
    if (fnFieldExpanded(lpszLine, 1, szValue, &r->bSecret) == -2)
        return TRUE;
    fnField(lpszLine, 2, r->szHelpKey, sizeof(r->szHelpKey));
    /* a drive, a share or a rooted path is used as written; any other is in the program's folder */
    if (szValue[0] == '\\' || (szValue[0] && szValue[1] == ':'))
        fnCopyBounded(szPath, sizeof(szPath), szValue);
    else if (!fnJoinPath(szPath, sizeof(szPath), g_szHomeDir, szValue))
        return TRUE;
    size_t cch = strlen(szPath);
    BOOL bWinHelp = cch >= 4 && fnEqualNoCase(szPath + cch - 4, ".hlp");
    if (bWinHelp) {
        char *lpszBlock = fnHelpBlock(r);
        if (!lpszBlock)
            return FALSE;
        r->uHelpKind = HELPKIND_WINHELP;
        fnCopyBounded(lpszBlock, CCH_INPUTBLOCK, szPath);
        return TRUE;
    }
    r->uHelpKind = HELPKIND_TEXT;
    if (r->lpszHelp)
        return TRUE;
    TGFILE hFile = fnFileOpenRead(szPath);
    if (!hFile) {
        fnDebugLog("fnReadInputSection", "Help file %s cannot be opened", g_uDebugLevel, szPath);
        return TRUE;
    }
    char *lpszBlock = fnHelpBlock(r);
    DWORD cbRead = 0;
    if (lpszBlock && fnFileRead(hFile, lpszBlock, CCH_INPUTBLOCK - 1, &cbRead))
        lpszBlock[cbRead] = '\0';
    fnFileClose(hFile);
    return lpszBlock != NULL;
}

/* One question key; FALSE when memory ran out. */
static BOOL fnApplyInputKey(int nKey, char *lpszLine, ReadSectStruct *r)
{
    char szValue[CCH_FIELD_BUF];
    if (nKey > IK_MSG && nKey < IK_MSG + INPUT_MSG_SLOTS) {
        if (fnFieldExpanded(lpszLine, 1, szValue, &r->bSecret) != -2)
            fnCopyBounded(r->szMsg[nKey - IK_MSG], CCH_MSG, szValue);
        return TRUE;
    }
    switch (nKey) {
    case IK_MESSAGE:
    case IK_PROMPT:
        if (fnFieldExpanded(lpszLine, 1, szValue, &r->bSecret) == -2)
            break;
        if (nKey == IK_MESSAGE)
            fnCopyBounded(r->szMessage, sizeof(r->szMessage), szValue);
        else
            fnCopyBounded(r->szPrompt, sizeof(r->szPrompt), szValue);
        break;
    case IK_CAPTION: fnField(lpszLine, 1, r->szCaption, sizeof(r->szCaption)); break;
    case IK_DEFAULTDIR:
    case IK_PATH1: {
        char *lpszOut = nKey == IK_PATH1 ? r->szPath1 : r->szPath;
        /* these two name the destination itself; one given at start-up (-d= or a command
           file's DestDir) is the one deployed with, and what the question shows */
        if (g_bDestGiven) {
            fnCopyBounded(lpszOut, CCH_PATH, g_szDestDir);
            fnDebugLog("fnReadInputSection", "%s passed over: the destination %s was given at start-up",
                       g_uDebugLevel, nKey == IK_PATH1 ? "Path1" : "DefaultDir", g_szDestDir);
            break;
        }
        fnReadPathKey(lpszLine, 3, lpszOut, &r->bSecret);
        if (lpszOut[0]) {
            fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), lpszOut);
            fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), lpszOut);
        }
        break;
    }
    case IK_PATH2: fnReadPathKey(lpszLine, 3, r->szPath2, &r->bSecret); break;
    case IK_PATH3: fnReadPathKey(lpszLine, 3, r->szPath3, &r->bSecret); break;
    case IK_PATH4: fnReadPathKey(lpszLine, 3, r->szPath4, &r->bSecret); break;
    case IK_FILE: fnReadPathKey(lpszLine, 2, r->szFile, &r->bSecret); break;
    case IK_DEFAULT: fnReadValueKey(lpszLine, r->szDefault, sizeof(r->szDefault), &r->bSecret); break;
    case IK_MORE1: fnReadValueKey(lpszLine, r->szMoreInfo1, sizeof(r->szMoreInfo1), &r->bSecret); break;
    case IK_MORE2: fnReadValueKey(lpszLine, r->szMoreInfo2, sizeof(r->szMoreInfo2), &r->bSecret); break;
    case IK_LIST:
        if (fnFieldExpanded(lpszLine, 1, szValue, &r->bSecret) == -2 || !r->lpszList)
            break;
        if (r->nListLines >= MAX_LIST_LINES || !fnAddBlockLine(r->lpszList, r->cchList, szValue))
            fnDebugLog("fnReadInputSection", "List line dropped: %s", g_uDebugLevel, r->bSecret ? "(hidden)" : szValue);
        else
            r->nListLines++;
        break;
    case IK_HELP: {
        if (fnFieldExpanded(lpszLine, 1, szValue, &r->bSecret) == -2)
            break;
        char *lpszBlock = fnHelpBlock(r);
        if (!lpszBlock)
            return FALSE;
        if (r->uHelpKind != HELPKIND_WINHELP && !fnAddBlockLine(lpszBlock, CCH_INPUTBLOCK, szValue))
            fnDebugLog("fnReadInputSection", "Help line dropped", g_uDebugLevel);
        break;
    }
    case IK_HELPFILE: return fnReadHelpFile(lpszLine, r);
    default:
        break;
    }
    if (!fnField(lpszLine, 1, szValue, sizeof(szValue)))
        return TRUE;
    switch (nKey) {
    case IK_CHECK1: case IK_CHECK2: case IK_CHECK3: case IK_CHECK4:
        r->bCheck[nKey - IK_CHECK1] = fnIsYes(szValue);
        break;
    case IK_USEBUTTON1: r->bUseButton1 = fnIsYes(szValue); break;
    case IK_USEPATH1: r->bUsePath1 = fnIsYes(szValue); break;
    case IK_USEBUTTON2: r->bUseButton2 = fnIsYes(szValue); break;
    case IK_USEPATH2: r->bUsePath2 = fnIsYes(szValue); break;
    case IK_USEMORE1: r->bUseMoreInfo1 = fnIsYes(szValue); break;
    case IK_USEMORE2: r->bUseMoreInfo2 = fnIsYes(szValue); break;
    case IK_BUTTONTYPE:
        if (fnEqualNoCase(szValue, "Radio"))
            r->uButtonType = BUTTONTYPE_RADIO;
        else if (fnEqualNoCase(szValue, "Check"))
            r->uButtonType = BUTTONTYPE_CHECK;
        break;
    case IK_WINSPACE: r->dwWinSpaceNeeded = fnParseSpace(szValue); break;
    case IK_SPACE1: case IK_SPACE2: case IK_SPACE3: case IK_SPACE4: {
        int i = nKey - IK_SPACE1;
        char szMin[CCH_FIELD_BUF];
        r->dwSpaceNeeded[i] = fnParseSpace(szValue);
        r->dwMinSpaceNeeded[i] = fnField(lpszLine, 2, szMin, sizeof(szMin)) ? fnParseSpace(szMin) : r->dwSpaceNeeded[i];
        break;
    }
    case IK_ONEXIT: {
        int nAction = fnFindSectionKey(g_aOnExitWords, szValue);
        if (nAction == 1 || nAction == 3 || nAction == 5) {
            g_uOnExit = (UINT)nAction;
            if (nAction == 5)
                g_bRebootForced = TRUE;
            r->bExitSet = TRUE;
        }
        break;
    }
    case IK_BACKUP: {
        int nMethod = fnFindSectionKey(g_aBackUpMethodWords, szValue);
        if (nMethod > 0) {
            g_uBackUpMethod = (UINT)nMethod;
            r->bExitSet = TRUE;
        }
        break;
    }
    case IK_LOGFILE:
        /* an empty name would only hide the lines of a log that is already open */
        if (szValue[0]) {
            fnCopyBounded(r->szLogFile, sizeof(r->szLogFile), szValue);
            r->bLogFile = TRUE;
        }
        break;
    case IK_EXPANDOPT: fnApplyExpandKey(FALSE, szValue); break;
    case IK_EXPANDDELIMS: fnApplyExpandKey(TRUE, szValue); break;
    default: break;
    }
    return TRUE;
}

BOOL fnReadHelpLine(char *lpszLine, BOOL bFile, ReadSectStruct *lpRead)
{
    return fnApplyInputKey(bFile ? IK_HELPFILE : IK_HELP, lpszLine, lpRead);
}

UINT fnReadInputSection(const char *lpszBody, ReadSectStruct *r)
{
    const char *lpszPos = lpszBody;
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF];
    int nNext;
    while ((nNext = fnNextRunLine(&lpszPos, szLine)) == NEXTLINE_RUN) {
        int nKey = fnInfParseField(szLine, 0, szKey, sizeof(szKey)) ? fnFindSectionKey(g_aInputKeys, szKey) : -1;
        if (nKey < 0) {
            fnDebugLog("fnReadInputSection", "Unknown key ends the section: %s", g_uDebugLevel, szKey);
            break;
        }
        if (!fnApplyInputKey(nKey, szLine, r))
            return 0;
    }
    if (nNext == NEXTLINE_ENDED)
        r->bEndOfSection = TRUE;
    fnDebugLog("fnReadInputSection", "szCaption=%s,\nszMessage=%s,\nszDefault=%s,\nnListLines=%d,\nuHelpKind=%u",
               g_uDebugLevel, r->szCaption, r->bSecret ? "(hidden)" : r->szMessage,
               r->bSecret ? "(hidden)" : r->szDefault, r->nListLines, r->uHelpKind);
    return 1;
}

/* ---------------------------------------------------------------- destination test */

DWORD fnFreeBytes32(const char *lpszPath)
{
    ULONGLONG ull = 0;
    if (!g_lpMachine->pfnGetFreeBytes(lpszPath, &ull))
        return 0;
    return ull > 0xFFFFFFFFull ? 0xFFFFFFFFu : (DWORD)ull;
}

/* The drive part of a path for the messages ("C:", "\\server\share"); the root with its backslash to lpszRoot. */
static BOOL fnDestDrive(const char *lpszPath, char *lpszRoot, size_t cchRoot, char *lpszDrive, size_t cchDrive)
{
    if (!fnDriveRoot(lpszPath, lpszRoot, cchRoot)) {
        lpszRoot[0] = '\0';
        fnCopyBounded(lpszDrive, cchDrive, lpszPath);
        return FALSE;
    }
    fnCopyBounded(lpszDrive, cchDrive, lpszRoot);
    size_t cch = strlen(lpszDrive);
    if (cch > 2 && lpszDrive[cch - 1] == '\\')
        lpszDrive[cch - 1] = '\0';
    return TRUE;
}

UINT fnCheckDestination(UserInputStruct *u, const DestOpsStruct *lpOps)
{
    if (!u->szDestPath[0])
        return DEST_OK;
    void *lpCtx = lpOps->lpContext;
    BOOL bAsk = FALSE;
    char szRoot[CCH_PATH], szDrive[CCH_PATH];
    for (;;) {
        if (bAsk) {
            /* without the prompt there is nobody to ask: the callers below end the test instead */
            if (!u->bDirPrompt)
                return DEST_FAILED;
            if (!lpOps->pfnAskDirectory(u, lpCtx))
                return DEST_CANCELLED;
        }
        bAsk = TRUE;
        if (u->dwWinSpaceNeeded) {
            fnDestDrive(g_szWinDir, szRoot, sizeof(szRoot), szDrive, sizeof(szDrive));
            DWORD dwFree = fnFreeBytes32(szRoot[0] ? szRoot : g_szWinDir);
            if (dwFree < u->dwWinSpaceNeeded &&
                lpOps->pfnMessage(1052, szDrive, dwFree, u->dwWinSpaceNeeded, lpCtx) != DESTANS_OK)
                return DEST_FAILED;
        }
        BOOL bRoot = fnDestDrive(u->szDestPath, szRoot, sizeof(szRoot), szDrive, sizeof(szDrive));
        UINT uType = g_lpMachine->pfnGetDriveType(bRoot ? szRoot : NULL);
        if (uType <= 1) {
            lpOps->pfnMessage(1071, szDrive, 0, 0, lpCtx);
            fnDebugLog("fnCheckDestination", "Drive %s is not available", g_uDebugLevel, szDrive);
            continue;
        }
        DWORD dwFree = fnFreeBytes32(bRoot ? szRoot : u->szDestPath);
        if (dwFree < u->dwDiskSpaceNeeded) {
            fnDebugLog("fnCheckDestination", "Drive %s has %lu bytes free, %lu needed", g_uDebugLevel, szDrive,
                       (unsigned long)dwFree, (unsigned long)u->dwDiskSpaceNeeded);
            if (!u->bDirPrompt) {
                lpOps->pfnMessage(1048, szDrive, dwFree, u->dwDiskSpaceNeeded, lpCtx);
                return DEST_FAILED;
            }
            if (u->dwDiskSpaceNeeded <= u->dwMinSpaceNeeded) {
                lpOps->pfnMessage(1047, szDrive, dwFree, u->dwDiskSpaceNeeded, lpCtx);
                continue;
            }
            int nAnswer = lpOps->pfnMessage(1049, szDrive, dwFree, u->dwDiskSpaceNeeded, lpCtx);
            if (nAnswer == DESTANS_IGNORE) {
                /* the user accepts the lower requirement: test again without asking */
                u->dwDiskSpaceNeeded = u->dwMinSpaceNeeded;
                bAsk = FALSE;
                continue;
            }
            if (nAnswer == DESTANS_RETRY)
                continue;
            return DEST_FAILED;
        }
        /* the tested directory is the destination from here on, asked for or not */
        fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), u->szDestPath);
        fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), u->szDestPath);
        if (!lpOps->pfnMakeDirs(u, lpCtx))
            continue;
        if (!g_bStayHome)
            lpOps->pfnSetCurrentDir(g_szDestDir, lpCtx);
        return DEST_OK;
    }
}
