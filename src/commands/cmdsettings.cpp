/*
 * commands/cmdsettings.cpp -- the run settings keys and the "[Config]"
 * reader. Owns the word tables and the one applier that both "[Config]" and
 * the command sections call; the command interpreter itself lives in
 * command_sections.cpp. Every file key reports to the debug log only.
 */
#include "commands/cmdsettings.h"

#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "common/tgfile.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/inlinefun.h"
#include "script/optstore.h"
#include "script/pathtext.h"
#include "script/textmodel.h"

const SectionKeyStruct g_aConfigKeys[] = {
    {"Restart", SK_RESTART},
    {"StayHome", SK_STAYHOME},
    {"ExitOnExecError", SK_EXITONEXECERROR},
    {"ExitOnCommandError", SK_EXITONCOMMANDERROR},
    {"ShowErrorMessage", SK_SHOWERRORMESSAGE},
    {"ShowMustRestartMessage", SK_SHOWMUSTRESTARTMESSAGE},
    {"ExitMessage", SK_EXITMESSAGE},
    {"ErrorMessage", SK_ERRORMESSAGE},
    {"Caption", SK_CAPTION},
    {"MessageDlg", SK_MESSAGEDLG},
    {"Message", SK_MESSAGE},
    {"MessageBox", SK_MESSAGEBOX},
    {"MessageBoxEx", SK_MESSAGEBOXEX},
    {"BeQuiet", SK_BEQUIET},
    {"SelfDestruct", SK_SELFDESTRUCT},
    {"ShowVSWindow", SK_SHOWVSWINDOW},
    {"Debug", SK_DEBUG},
    {"CreateFile", SK_CREATEFILE},
    {"DeleteFile", SK_DELETEFILE},
    {"WriteLineToFile", SK_WRITELINETOFILE},
    {"ReadLineFromFile", SK_READLINEFROMFILE},
    {"SetComputerName", SK_SETCOMPUTERNAME},
    {"MustRestartAtExit", SK_MUSTRESTARTATEXIT},
    {"LogFile", SK_LOGFILE},
    {"WinPause", SK_WINPAUSE},
    {"Sleep", SK_SLEEP},
    {"BackUpMethod", SK_BACKUPMETHOD},
    {"OnExit", SK_ONEXIT},
    {NULL, 0},
};

const SectionKeyStruct g_aBackUpMethodWords[] = {
    {"PROMPT", 500}, {"ORIEXT", 501}, {"UNIQUE", 502}, {"TIME", 503},
    {"DATE", 504},   {"DATETIME", 505}, {"NOMOD", 506}, {NULL, 0},
};

const SectionKeyStruct g_aOnExitWords[] = {
    {"ExitWin", 1}, {"Exec", 2}, {"RestartWin", 3}, {"Reboot", 5}, {"RestartWithMsg", 6}, {"ExecTop", 7}, {NULL, 0},
};

const SectionKeyStruct g_aPlacementWords[] = {
    {"TopLeft", 1},    {"TopRight", 2},   {"TopCenter", 3},    {"CenterLeft", 4},   {"Center", 5},
    {"CenterRight", 6}, {"BottomLeft", 7}, {"BottomCenter", 8}, {"BottomRight", 9}, {NULL, 0},
};

/* RETRYEXIT is Retry with Exit (110): 108 would offer Retry and Continue, and a script
   that asks for Exit must get it. YES and NO are the lone Yes and lone No sets. */
const SectionKeyStruct g_aButtonSetWords[] = {
    {"OK", 104},   {"OKCANCEL", 101}, {"YESNO", 102},  {"OKEXIT", 103}, {"CONTINUE", 105}, {"EXIT", 106},
    {"RETRYEXIT", 110}, {"CANCEL", 111}, {"YES", 112}, {"NO", 113}, {NULL, 0},
};

const SectionKeyStruct g_aWindowSizeWords[] = {
    {"Small", 1}, {"Medium", 2}, {"Large", 3}, {"XLarge", 4}, {NULL, 0},
};

static BOOL fnUiMessageBoxNone(const char *, const char *, BOOL, const char *, const char *) { return TRUE; }
static void fnUiMessageDlgNone(const char *, const char *, UINT, UINT) {}
static void fnUiShowPopupNone(const PopupStruct *) {}
static void fnUiSleepNone(DWORD) {}
static BOOL fnUiFalse1(const char *) { return FALSE; }
static BOOL fnUiReadIniKeyNone(const char *, const char *, char *, size_t) { return FALSE; }
static void fnUiOpenLogNone(const char *) {}
static int fnUiRelaunchNone(void) { return RELAUNCH_FAILED; }
static void fnUiErrorNone(UINT, const char *) {}

const SettingsUiStruct g_settingsUiNone = {
    fnUiMessageBoxNone, fnUiMessageDlgNone, fnUiShowPopupNone, fnUiSleepNone,   fnUiFalse1,     fnUiFalse1,
    fnUiFalse1,         fnUiReadIniKeyNone, fnUiOpenLogNone,   fnUiRelaunchNone, fnUiErrorNone,
};
const SettingsUiStruct *g_lpSettingsUi = &g_settingsUiNone;

static UINT fnWordOr(const SectionKeyStruct *lpWords, const char *lpszWord, UINT uDefault)
{
    int n = lpszWord ? fnFindSectionKey(lpWords, lpszWord) : -1;
    return n < 0 ? uDefault : (UINT)n;
}

UINT fnPlacementOf(const char *lpszWord) { return fnWordOr(g_aPlacementWords, lpszWord, 5); }

UINT fnButtonSetOf(const char *lpszWord) { return fnWordOr(g_aButtonSetWords, lpszWord, 104); }

UINT fnPopupDialogOf(const char *lpszWord, BOOL bCaption)
{
    UINT uSize = fnWordOr(g_aWindowSizeWords, lpszWord, 0);
    if (bCaption)
        return IDD_MSGSTATIC_SMALL + (uSize ? uSize - 1 : 0);
    return IDD_POPUP_DEFAULT + uSize;
}

void fnReadYesNo(const char *lpszField, BOOL *lpbFlag)
{
    char c = fnUpperAscii(lpszField[0]);
    if (c == 'Y')
        *lpbFlag = TRUE;
    else if (c == 'N')
        *lpbFlag = FALSE;
}

UINT fnCloseAfterOf(const char *lpszField)
{
    return fnUpperAscii(lpszField[0]) == 'Y' ? fnDigitsOf(lpszField + 1) : 0;
}

/* Field nField of the line expanded as a text to show; FALSE when the line has no such field. */
static BOOL fnTextField(char *lpszLine, int nField, char *lpszOut, size_t cchOut)
{
    if (!fnInfParseField(lpszLine, nField, lpszOut, cchOut))
        return FALSE;
    fnExpandOpts(lpszOut, cchOut);
    return TRUE;
}

/*
 * Field nField expanded as a file name. FALSE (with a debug-log entry) when
 * the field is missing or empty, when its expansion was cut, or when an
 * option in it had no value: a name with a piece missing would name another
 * file, and these keys create, truncate, append to and delete files.
 */
static BOOL fnFileField(char *lpszLine, int nField, char *lpszOut, size_t cchOut, const char *lpszTitle)
{
    if (!fnInfParseField(lpszLine, nField, lpszOut, cchOut) || !lpszOut[0])
        return FALSE;
    int nRC = 0;
    if (!fnExpandDataField(lpszOut, cchOut, lpszTitle, &nRC))
        return FALSE;
    if (nRC == EXPAND_MISSING || !lpszOut[0]) {
        fnDebugLog(lpszTitle, "File name with a missing value passed over\nszFile=%s", g_uDebugLevel, lpszOut);
        return FALSE;
    }
    return TRUE;
}

static BOOL fnHasDriveOrUnc(const char *lpszPath)
{
    return (lpszPath[0] && lpszPath[1] == ':') || (lpszPath[0] == '\\' && lpszPath[1] == '\\');
}

/* Creates the file when it does not exist; an existing one keeps its contents. */
static BOOL fnTouchFile(const char *lpszFile)
{
    TGFILE hFile = fnFileOpenWrite(lpszFile);
    if (!hFile)
        return FALSE;
    fnFileClose(hFile);
    return TRUE;
}

static void fnApplyDebug(char *lpszLine, UINT uForm)
{
    char szLevel[CCH_FIELD_BUF], szFile[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, 1, szLevel, sizeof(szLevel)))
        return;
    UINT uLevel = fnDigitsOf(szLevel);
    fnDebugLog("fnReadConfig", "Debug szLine=%s, szString1=%s", g_uDebugLevel, lpszLine, szLevel);
    if (uLevel > 2) {
        BOOL bCreated;
        if (fnInfParseField(lpszLine, 2, szFile, sizeof(szFile)) && szFile[0]) {
            if (!fnFileField(lpszLine, 2, szFile, sizeof(szFile), "fnReadConfig Debug"))
                return;
            fnDebugLog("fnReadConfig", "Debug szLine=%s, szString2=%s", g_uDebugLevel, lpszLine, szFile);
            char szPath[CCH_PATH];
            if (uForm == SETFORM_CONFIG && !fnHasDriveOrUnc(szFile)) {
                if (!fnJoinPath(szPath, sizeof(szPath), g_szSourceDir, szFile)) {
                    fnDebugLog("fnReadConfig", "Debug file name too long\nszFile=%s", g_uDebugLevel, szFile);
                    return;
                }
            } else if (!fnCopyBounded(szPath, sizeof(szPath), szFile)) {
                fnDebugLog("fnReadConfig", "Debug file name too long\nszFile=%s", g_uDebugLevel, szFile);
                return;
            }
            fnCopyBounded(g_szDebugFile, sizeof(g_szDebugFile), szPath);
            bCreated = fnTouchFile(g_szDebugFile);
        } else {
            /* the current debug file starts afresh */
            TGFILE hFile = g_szDebugFile[0] ? fnFileCreate(g_szDebugFile) : NULL;
            bCreated = hFile != NULL;
            if (hFile)
                fnFileClose(hFile);
        }
        if (!bCreated) {
            /* an unattended run must not stop on a box about its own trace file */
            if (g_bQuiet)
                fnDebugLog("fnReadConfig", "Could not create %s", g_uDebugLevel, g_szDebugFile);
            else
                g_lpSettingsUi->pfnErrorMessage(1038, g_szDebugFile);
        }
    }
    g_uDebugLevel = uLevel;
}

static BOOL fnWriteLineToFile(char *lpszLine, UINT uForm)
{
    const char *lpszTitle = uForm == SETFORM_CONFIG ? "fnreadConfig" : "fnReadCommand";
    char szFile[CCH_FIELD_BUF], szText[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, 2, szText, sizeof(szText)))
        return FALSE;
    if (!fnFileField(lpszLine, 1, szFile, sizeof(szFile), "fnReadConfig WriteLineToFile"))
        return FALSE;
    fnInfParseField(lpszLine, 2, szText, sizeof(szText));
    if (!fnExpandDataField(szText, sizeof(szText), "fnReadConfig WriteLineToFile", NULL))
        return FALSE;
    TGFILE hFile = fnFileOpenWrite(szFile);
    if (!hFile) {
        fnDebugLog(lpszTitle, "WriteLineToFile Open error szFile=%s", g_uDebugLevel, szFile);
        char szDir[CCH_PATH];
        fnCopyBounded(szDir, sizeof(szDir), szFile);
        char *lpszSlash = strrchr(szDir, '\\');
        char *lpszFwd = strrchr(szDir, '/');
        if (lpszFwd && (!lpszSlash || lpszFwd > lpszSlash))
            lpszSlash = lpszFwd;
        if (lpszSlash && lpszSlash > szDir) {
            *lpszSlash = '\0';
            fnDebugLog(lpszTitle, "WriteLineToFile Create Dir Tree szPath=%s", g_uDebugLevel, szDir);
            g_lpSettingsUi->pfnCreateDirTree(szDir);
            hFile = fnFileOpenWrite(szFile);
        }
        if (!hFile) {
            fnDebugLog(lpszTitle, "WriteLineToFile ERROR writing szFile=%s", g_uDebugLevel, szFile);
            return FALSE;
        }
    }
    DWORD cbWritten = 0;
    size_t cchText = strlen(szText);
    BOOL bOK = fnFileSeekEnd(hFile) && fnFileWrite(hFile, szText, (DWORD)cchText, &cbWritten) &&
               cbWritten == cchText && fnFileWrite(hFile, "\r\n", 2, &cbWritten) && cbWritten == 2;
    fnFileClose(hFile);
    if (!bOK)
        fnDebugLog(lpszTitle, "WriteLineToFile ERROR writing szFile=%s", g_uDebugLevel, szFile);
    return bOK;
}

static void fnReadLineFromFileKey(char *lpszLine, UINT uForm)
{
    BOOL bConfig = uForm == SETFORM_CONFIG;
    char szFile[CCH_FIELD_BUF], szKey[CCH_FIELD_BUF];
    fnInfParseField(lpszLine, 1, szFile, sizeof(szFile));
    fnDebugLog(bConfig ? "fnReadConfig ReadLineFromFile" : "fnReadCommand ReadLineFromFile",
               "szFile=%s,\nszField1=%s", g_uDebugLevel, szFile, szFile);
    if (!fnFileField(lpszLine, 1, szFile, sizeof(szFile), "fnReadConfig ReadLineFromFile"))
        return;
    char szValue[CCH_PATH] = "";
    if (fnInfParseField(lpszLine, 2, szKey, sizeof(szKey)) && (fnExpandOpts(szKey, sizeof(szKey)), szKey[0])) {
        fnDebugLog(bConfig ? "fnReadConfig call ReadIniLine" : "fnReadCommand call ReadIniLine", "szFile=%s,\nszKey=%s",
                   g_uDebugLevel, szFile, szKey);
        if (!g_lpSettingsUi->pfnReadIniKey(szFile, szKey, szValue, sizeof(szValue))) {
            fnDebugLog(bConfig ? "fnReadConfig ReadIniLine returned FALSE" : "fnReadCommand ReadIniLine returned FALSE",
                       "szFile=%s", g_uDebugLevel, szFile);
            return;
        }
        fnDebugLog(bConfig ? "fnReadConfig ReadIniLine returned TRUE string found"
                           : "fnReadCommand ReadIniLine returned TRUE found string",
                   "szString=%s", g_uDebugLevel, szValue);
    } else {
        TGFILE hFile = fnFileOpenRead(szFile);
        if (!hFile) {
            fnDebugLog(bConfig ? "fnReadConfig ReadLineFromFile" : "fnReadCommand ReadLineFromFile",
                       "Could not open file szFile=%s", g_uDebugLevel, szFile);
            return;
        }
        fnReadLineFromFile(hFile, szValue, sizeof(szValue));
        fnFileClose(hFile);
        szValue[strcspn(szValue, "\r\n")] = '\0';
        fnDebugLog(bConfig ? "fnReadConfig ReadLineFromFile Found" : "fnReadCommand ReadLineFromFile Found",
                   "szFile=%s,\nszString=%s", g_uDebugLevel, szFile, szValue);
    }
    if (szValue[0])
        fnStoreCmdResult(szValue);
}

static void fnApplyOnExit(char *lpszLine)
{
    char szWord[CCH_FIELD_BUF], szArg[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, 1, szWord, sizeof(szWord)))
        return;
    int nAction = fnFindSectionKey(g_aOnExitWords, szWord);
    if (nAction < 0)
        return;
    BOOL bArg = fnTextField(lpszLine, 2, szArg, sizeof(szArg)) && szArg[0];
    switch (nAction) {
    case 2:
    case 7:
        if (bArg) {
            g_uOnExit = (UINT)nAction;
            fnCopyBounded(g_szExitExec, sizeof(g_szExitExec), szArg);
        } else {
            g_uOnExit = 0;
        }
        break;
    case 6:
        g_uOnExit = 6;
        if (bArg)
            fnCopyBounded(g_szRestartMsg, sizeof(g_szRestartMsg), szArg);
        else
            g_lpMachine->pfnLoadString(1190, g_szRestartMsg, sizeof(g_szRestartMsg));
        break;
    case 5:
        g_uOnExit = 5;
        g_bRebootForced = TRUE;
        break;
    default:
        g_uOnExit = (UINT)nAction;
        break;
    }
}

/* The custom button texts hold at most 31 characters. */
static void fnButtonText(char *lpszText)
{
    if (strlen(lpszText) > 31)
        lpszText[31] = '\0';
}

static int fnApplyMessageBoxEx(char *lpszLine, UINT uForm)
{
    char sz[6][CCH_FIELD_BUF];
    BOOL bHave[6];
    for (int i = 0; i < 6; i++)
        bHave[i] = fnInfParseField(lpszLine, i + 1, sz[i], sizeof(sz[i]));
    if (!bHave[0])
        return SETKEY_DONE;
    fnExpandOpts(sz[0], sizeof(sz[0]));
    if (bHave[1] && sz[1][0])
        fnExpandOpts(sz[1], sizeof(sz[1]));
    else
        fnCopyBounded(sz[1], sizeof(sz[1]), g_szMsgTitle);
    fnExpandOpts(sz[4], sizeof(sz[4]));
    fnExpandOpts(sz[5], sizeof(sz[5]));
    fnButtonText(sz[4]);
    fnButtonText(sz[5]);
    fnDebugLog(uForm == SETFORM_CONFIG ? "fnReadConfig MessageBoxEx" : "fnReadCommand MessageBoxEx",
               "szField1=%s,\nszField2=%s,\nszField3=%s,\nszField4=%s,\nszField5=%s,\nszField6=%s\n", g_uDebugLevel,
               sz[0], sz[1], sz[2], sz[3], sz[4], sz[5]);
    BOOL bOkCancel = fnEqualNoCase(sz[2], "OKCANCEL");
    BOOL bCustom = sz[4][0] != '\0';
    BOOL bOK = g_lpSettingsUi->pfnMessageBox(sz[0], sz[1], bOkCancel, bCustom ? sz[4] : NULL, bCustom ? sz[5] : NULL);
    if ((fnEqualNoCase(sz[3], "EXITONOK") && bOK) || (fnEqualNoCase(sz[3], "EXITONCANCEL") && !bOK)) {
        g_bStopProcessing = TRUE;
        return SETKEY_STOP;
    }
    return SETKEY_DONE;
}

int fnApplySetting(int nKey, char *lpszLine, UINT uForm, int *lpnResult, BOOL *lpbRestart)
{
    char szField[CCH_FIELD_BUF], szField2[CCH_FIELD_BUF];
    BOOL bField = fnInfParseField(lpszLine, 1, szField, sizeof(szField));
    int nResult = -1;
    switch (nKey) {
    case SK_RESTART:
        if (lpbRestart)
            fnReadYesNo(szField, lpbRestart);
        break;
    case SK_STAYHOME: fnReadYesNo(szField, &g_bStayHome); break;
    case SK_EXITONEXECERROR: fnReadYesNo(szField, &g_bExitOnExecError); break;
    case SK_EXITONCOMMANDERROR: fnReadYesNo(szField, &g_bExitOnCommandError); break;
    case SK_SHOWERRORMESSAGE: fnReadYesNo(szField, &g_bShowErrorMessage); break;
    case SK_SHOWMUSTRESTARTMESSAGE: fnReadYesNo(szField, &g_bShowMustRestartMessage); break;
    case SK_MUSTRESTARTATEXIT: fnReadYesNo(szField, &g_bMustRestartAtExit); break;
    case SK_EXITMESSAGE:
        if (fnTextField(lpszLine, 1, szField, sizeof(szField)))
            fnCopyBounded(g_szExitMsg, sizeof(g_szExitMsg), szField);
        break;
    case SK_ERRORMESSAGE:
        if (fnTextField(lpszLine, 1, szField, sizeof(szField))) {
            fnCopyBounded(g_szErrorMsg, sizeof(g_szErrorMsg), szField);
            g_bShowErrorMessage = TRUE;
        }
        break;
    case SK_CAPTION:
        if (fnTextField(lpszLine, 1, szField, sizeof(szField)))
            fnCopyBounded(g_szMsgTitle, sizeof(g_szMsgTitle), szField);
        break;
    case SK_MESSAGEDLG: {
        char szWord[CCH_FIELD_BUF], szCentre[CCH_FIELD_BUF];
        if (!fnTextField(lpszLine, 1, szField, sizeof(szField)))
            break;
        if (!fnTextField(lpszLine, 2, szField2, sizeof(szField2)) || !szField2[0])
            fnCopyBounded(szField2, sizeof(szField2), g_szMsgTitle);
        if (!fnInfParseField(lpszLine, 3, szWord, sizeof(szWord)))
            szWord[0] = '\0';
        fnInfParseField(lpszLine, 4, szCentre, sizeof(szCentre));
        g_lpSettingsUi->pfnMessageDlg(szField, szField2, fnButtonSetOf(szWord),
                                      fnUpperAscii(szCentre[0]) == 'Y' ? 5 : 0);
        break;
    }
    case SK_MESSAGE: {
        char szWait[CCH_FIELD_BUF], szPlace[CCH_FIELD_BUF];
        if (!fnTextField(lpszLine, 1, szField, sizeof(szField)))
            break;
        fnInfParseField(lpszLine, 2, szWait, sizeof(szWait));
        if (!fnInfParseField(lpszLine, 3, szPlace, sizeof(szPlace)))
            szPlace[0] = '\0';
        PopupStruct popup = {szField, g_szMsgTitle, IDD_MSGWAIT, fnCloseAfterOf(szWait), fnPlacementOf(szPlace),
                             TRUE, FALSE};
        g_lpSettingsUi->pfnShowPopup(&popup);
        break;
    }
    case SK_MESSAGEBOX: {
        char szButton[CCH_FIELD_BUF];
        if (!fnTextField(lpszLine, 1, szField, sizeof(szField)))
            break;
        if (!fnTextField(lpszLine, 2, szField2, sizeof(szField2)) || !szField2[0])
            fnCopyBounded(szField2, sizeof(szField2), g_szMsgTitle);
        BOOL bButton = fnTextField(lpszLine, 3, szButton, sizeof(szButton));
        fnButtonText(szButton);
        g_lpSettingsUi->pfnMessageBox(szField, szField2, FALSE, bButton ? szButton : NULL, NULL);
        break;
    }
    case SK_MESSAGEBOXEX:
        return fnApplyMessageBoxEx(lpszLine, uForm);
    case SK_BEQUIET: {
        char c = fnUpperAscii(szField[0]);
        if (c == 'Y') {
            g_bQuiet = TRUE;
            g_uShowVSWin = 0;
        } else if (c == 'N') {
            g_bQuiet = FALSE;
        }
        break;
    }
    case SK_SELFDESTRUCT:
        g_bSelfDestruct = FALSE;
        fnReadYesNo(szField, &g_bSelfDestruct);
        break;
    case SK_SHOWVSWINDOW:
        if (bField)
            g_uShowVSWin = fnDigitsOf(szField);
        break;
    case SK_DEBUG: fnApplyDebug(lpszLine, uForm); break;
    case SK_CREATEFILE: {
        if (!bField || !szField[0])
            break;
        if (!fnFileField(lpszLine, 1, szField, sizeof(szField), "fnReadConfig CreateFile")) {
            nResult = 0;
            break;
        }
        TGFILE hFile = fnFileCreate(szField);
        nResult = hFile != NULL;
        if (hFile)
            fnFileClose(hFile);
        else
            fnDebugLog("fnReadConfig CreateFile", "Could not create szFile=%s", g_uDebugLevel, szField);
        break;
    }
    case SK_DELETEFILE:
        if (!bField || !szField[0])
            break;
        if (!fnFileField(lpszLine, 1, szField, sizeof(szField), "fnReadConfig DeleteFile")) {
            nResult = 0;
            break;
        }
        nResult = g_lpSettingsUi->pfnDeleteFile(szField) ? 1 : 0;
        if (!nResult)
            fnDebugLog("fnDeleteFile", "File Not Found lpszFile=%s", g_uDebugLevel, szField);
        break;
    case SK_WRITELINETOFILE:
        if (bField && fnInfParseField(lpszLine, 2, szField2, sizeof(szField2)))
            nResult = fnWriteLineToFile(lpszLine, uForm) ? 1 : 0;
        break;
    case SK_READLINEFROMFILE:
        if (bField) {
            fnReadLineFromFileKey(lpszLine, uForm);
            nResult = 1;
        }
        break;
    case SK_SETCOMPUTERNAME:
        if (fnTextField(lpszLine, 1, szField, sizeof(szField)) && szField[0])
            g_lpSettingsUi->pfnSetComputerName(szField);
        break;
    case SK_LOGFILE: {
        if (!bField || !szField[0]) {
            if (!g_bLogOpen)
                g_szLogFile[0] = '\0';
            break;
        }
        int nRC = 0;
        if (!fnExpandDataField(szField, sizeof(szField), "fnReadConfig LogFile", &nRC) || nRC == EXPAND_MISSING)
            break;
        if (g_bLogOpen) {
            /* one installation log per run: entries keep going to the one that is open */
            fnDebugLog("fnReadConfig LogFile", "Log already open, kept\ng_szLogFile=%s,\nszFile=%s", g_uDebugLevel,
                       g_szLogFile, szField);
            break;
        }
        fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), szField);
        g_bLogFileSet = TRUE;
        break;
    }
    case SK_WINPAUSE:
        if (bField) {
            UINT u = fnDigitsOf(szField);
            g_uWinPause = u > 1000 ? 1000 : u;
        }
        break;
    case SK_SLEEP: {
        /* the digit rule stops growing at ten digits, so the product stays far below the wait that never ends */
        ULONGLONG ullSeconds = (bField && szField[0]) ? fnDigitsOf(szField) : 1;
        ULONGLONG ullMs = ullSeconds * 1000u;
        g_lpSettingsUi->pfnSleep(ullMs > 0xFFFFFFFEu ? 0xFFFFFFFEu : (DWORD)ullMs);
        break;
    }
    case SK_BACKUPMETHOD: {
        int n = bField ? fnFindSectionKey(g_aBackUpMethodWords, szField) : -1;
        if (n > 0)
            g_uBackUpMethod = (UINT)n;
        break;
    }
    case SK_ONEXIT: fnApplyOnExit(lpszLine); break;
    default: break;
    }
    if (lpnResult && nResult >= 0)
        *lpnResult = nResult;
    return SETKEY_DONE;
}

UINT fnReadConfigText(const char *lpszInf)
{
    g_bStayHome = FALSE;
    const char *lpszPos = lpszInf ? fnInfFindSection(lpszInf, "[Config]") : NULL;
    if (!lpszPos || !*lpszPos)
        return 1;
    BOOL bRestart = FALSE;
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        fnDebugLog("fnReadConfig", "TestIfTwoFields\nszLine=%s", g_uDebugLevel, szLine);
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_SKIPREST)
            return 1;
        if (uTest == IDTEST_FALSE) {
            fnDebugLog("fnReadConfig", "TestIfTwoFields FALSE\nuTest=%u\nszLine=%s", g_uDebugLevel, uTest, szLine);
            continue;
        }
        if (uTest == IDTEST_GOON)
            continue;
        if (fnEqualNoCase(szLine, "Restart"))
            bRestart = TRUE;
        else if (fnEqualNoCase(szLine, "StayHome"))
            g_bStayHome = TRUE;
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)))
            break;
        int nKey = fnFindSectionKey(g_aConfigKeys, szKey);
        if (nKey < 0)
            break;
        if (fnApplySetting(nKey, szLine, SETFORM_CONFIG, NULL, &bRestart) == SETKEY_STOP)
            return 1;
    }
    int nRelaunch = RELAUNCH_NONE;
    if (bRestart)
        nRelaunch = g_lpSettingsUi->pfnRelaunch();
    /* a process that hands over to a fresh copy opens no log: the copy opens its own */
    if (g_bLogFileSet && nRelaunch != RELAUNCH_STARTED)
        g_lpSettingsUi->pfnOpenInstallLog(g_szLogFile);
    fnDebugLog("fnReadConfig", "Done", g_uDebugLevel);
    if (nRelaunch == RELAUNCH_STARTED)
        return 8;
    if (nRelaunch == RELAUNCH_FAILED)
        return 2;
    return 1;
}
