/*
 * commands/command_sections.cpp -- the command interpreter of "[Set]" and
 * "[Command]": one command per line, run settings shared with "[Config]"
 * (cmdsettings.cpp), ExitNow and Abort, and the account and domain commands
 * (accounts_win.cpp), whose administrator and membership tests may stop the
 * run. Returns the section result that the
 * driver weighs with ExitOnCommandError: it starts at 1 and only the commands
 * that report success change it, the last of them counting.
 */
#include <windows.h>

#include <string.h>

#include "commands/accounts_win.h"
#include "commands/cmdkeys.h"
#include "commands/cmdrules.h"
#include "commands/commands_win.h"
#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/sectiondriver.h"
#include "driver/winstate.h"
#include "commands/diskspace.h"
#include "common/machine.h"
#include "config/registry.h"
#include "driver/logwriters.h"
#include "install/copyprim.h"
#include "install/movesections.h"
#include "process/launchwait.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/inlinefun.h"
#include "script/optstore.h"
#include "script/textmodel.h"
#include "script/textmodel_msg.h"

/* A run the script itself refused ends without the closing "installed successfully". */
static void fnNoClosingMessage(void)
{
    if (g_lpUserInput)
        g_lpUserInput->uQuiet = 0;
}

/* Field n expanded as a text; an empty text when the line has no such field (FALSE). */
static BOOL fnField(char *lpszLine, int n, char *lpszOut, size_t cchOut)
{
    if (!fnInfParseField(lpszLine, n, lpszOut, cchOut))
        return FALSE;
    fnExpandOpts(lpszOut, cchOut);
    return TRUE;
}

/* Field n expanded as a path: FALSE when missing or empty, cut, or with a missing value. */
static BOOL fnPathField(char *lpszLine, int n, char *lpszOut, size_t cchOut, const char *lpszTitle)
{
    if (!fnInfParseField(lpszLine, n, lpszOut, cchOut) || !lpszOut[0])
        return FALSE;
    int nRC = 0;
    if (!fnExpandDataField(lpszOut, cchOut, lpszTitle, &nRC))
        return FALSE;
    if (nRC == EXPAND_MISSING || !lpszOut[0]) {
        fnDebugLog(lpszTitle, "Path with a missing value passed over\nszFile=%s", g_uDebugLevel, lpszOut);
        return FALSE;
    }
    return TRUE;
}

/* A Y/N field with its default: the first character decides, anything else keeps the default. */
static BOOL fnFlagField(char *lpszLine, int n, BOOL bDefault)
{
    char sz[CCH_FIELD_BUF];
    BOOL b = bDefault;
    if (fnInfParseField(lpszLine, n, sz, sizeof(sz)))
        fnReadYesNo(sz, &b);
    return b;
}

static void fnStoreNumber(ULONGLONG ull)
{
    char sz[32];
    fnU64ToText(ull, sz, sizeof(sz));
    fnStoreCmdResult(sz);
}

/* The window a window command names: the first whose text begins with the field, never the main window. */
static HWND fnCommandWindow(char *lpszLine, const char *lpszTitle)
{
    char sz[CCH_FIELD_BUF];
    if (!fnField(lpszLine, 1, sz, sizeof(sz)) || !sz[0])
        return NULL;
    fnDebugLog(lpszTitle, "Find window szString=%s", g_uDebugLevel, sz);
    /* closing the run's own main window would be Abort without its stop */
    HWND hWnd = fnFindWindowText(sz, strlen(sz), g_hWndMain);
    if (hWnd)
        fnDebugLog(lpszTitle, "Found window szString=%s", g_uDebugLevel, sz);
    return hWnd;
}

static void fnWindowWaitCommand(char *lpszLine, BOOL bWhile)
{
    char szTitle[CCH_FIELD_BUF];
    /* an empty text would match the first untitled window, and hidden ones always exist */
    if (!fnInfParseFieldMsg(lpszLine, 1, szTitle, sizeof(szTitle)))
        return;
    fnExpandOpts(szTitle, sizeof(szTitle));
    if (!szTitle[0]) {
        fnDebugLog("fnReadCommand", "Empty window text passed over\nszLine=%s", g_uDebugLevel, lpszLine);
        return;
    }
    BOOL bAll = fnFlagField(lpszLine, 2, TRUE);
    BOOL bPrefix = fnFlagField(lpszLine, 3, FALSE);
    BOOL bKeepTrying = fnFlagField(lpszLine, 4, bWhile);
    fnWaitForWindow(g_hWndMain, szTitle, !bWhile, bWhile, bAll, bPrefix, bKeepTrying);
}

static void fnPopupCommand(char *lpszLine, BOOL bCaption)
{
    char szText[CCH_FIELD_BUF], szWait[CCH_FIELD_BUF], szPlace[CCH_FIELD_BUF], szSize[CCH_FIELD_BUF];
    if (!fnField(lpszLine, 1, szText, sizeof(szText)))
        return;
    if (!fnInfParseField(lpszLine, 2, szWait, sizeof(szWait)))
        szWait[0] = '\0';
    if (!fnInfParseField(lpszLine, 3, szPlace, sizeof(szPlace)))
        szPlace[0] = '\0';
    if (!fnInfParseField(lpszLine, 4, szSize, sizeof(szSize)))
        szSize[0] = '\0';
    BOOL bTop = fnFlagField(lpszLine, 5, bCaption);
    char szTop[CCH_FIELD_BUF];
    BOOL bNo = fnInfParseField(lpszLine, 5, szTop, sizeof(szTop)) && fnUpperAscii(szTop[0]) == 'N';
    PopupStruct popup = {szText, bCaption ? g_szMsgTitle : NULL, fnPopupDialogOf(szSize, bCaption),
                         fnCloseAfterOf(szWait), fnPlacementOf(szPlace), bTop, !bCaption && bNo};
    fnShowPopup(&popup);
}

#define PROFILE_LIST "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList"

static void fnSetSIDProfileLocation(char *lpszLine)
{
    char sz[4][CCH_FIELD_BUF];
    for (int i = 0; i < 4; i++)
        if (!fnField(lpszLine, i + 1, sz[i], sizeof(sz[i])))
            sz[i][0] = '\0';
    char szSidA[CCH_PATH] = "", szSidB[CCH_PATH] = "";
    BOOL bA = sz[0][0] && g_lpMachine->pfnGetSIDString(sz[0], sz[1][0] ? sz[1] : NULL, szSidA, sizeof(szSidA));
    BOOL bB = sz[2][0] && g_lpMachine->pfnGetSIDString(sz[2], sz[3][0] ? sz[3] : NULL, szSidB, sizeof(szSidB));
    fnDebugLog("SetSIDProfileLocation", "szField1=%s,\nszField2=%s,\nszField3=%s,\nszField4=%s,\nszField5=%s,\nszField6=%s",
               g_uDebugLevel, sz[0], sz[1], sz[2], sz[3], szSidA, szSidB);
    if (!bA || !bB || !szSidA[0] || !szSidB[0])
        return;
    char szKeyA[CCH_PATH], szKeyB[CCH_PATH], szPathA[CCH_PATH], szPathB[CCH_PATH];
    DWORD dwTypeA = 0, dwTypeB = 0;
    fnFormatBounded(szKeyA, sizeof(szKeyA), PROFILE_LIST "\\%s", szSidA);
    fnFormatBounded(szKeyB, sizeof(szKeyB), PROFILE_LIST "\\%s", szSidB);
    if (!fnGetRegistryByValue(HKEY_LOCAL_MACHINE, &dwTypeA, szKeyA, "ProfileImagePath", szPathA, sizeof(szPathA),
                              REGCONV_RAW) ||
        !fnGetRegistryByValue(HKEY_LOCAL_MACHINE, &dwTypeB, szKeyB, "ProfileImagePath", szPathB, sizeof(szPathB),
                              REGCONV_RAW)) {
        fnDebugLog("SetSIDProfileLocation", "ProfileImagePath not read\nszKeyA=%s,\nszKeyB=%s", g_uDebugLevel, szKeyA,
                   szKeyB);
        return;
    }
    if (fnRegOpenAndSet(HKEY_LOCAL_MACHINE, szKeyA, "PriorProfileImagePath", szPathA, dwTypeA, FALSE) &&
        fnRegOpenAndSet(HKEY_LOCAL_MACHINE, szKeyA, "ProfileImagePath", szPathB, dwTypeA, FALSE))
        fnWriteLog("HKEY_LOCAL_MACHINE\\%s\\ProfileImagePath=%s (was %s)", TRUE, szKeyA, szPathB, szPathA);
}

/* A password field is expanded for use but never shown in a log. */
static const char s_szHidden[] = "(hidden)";

/* Clears the secret-line switch on every way out of the reader. */
struct SecretLineGuardStruct {
    SecretLineGuardStruct() = default;
    ~SecretLineGuardStruct() { g_bSecretLine = FALSE; }
    SecretLineGuardStruct(const SecretLineGuardStruct &) = delete;
    SecretLineGuardStruct &operator=(const SecretLineGuardStruct &) = delete;
};

/* A password field, expanded with the debug log off: the expander's entries would show it. */
static BOOL fnSecretField(char *lpszLine, int n, char *lpszOut, size_t cchOut)
{
    if (!fnInfParseField(lpszLine, n, lpszOut, cchOut))
        return FALSE;
    UINT uLevel = g_uDebugLevel;
    g_uDebugLevel = 0;
    fnExpandOpts(lpszOut, cchOut);
    g_uDebugLevel = uLevel;
    return TRUE;
}

/*
 * Fields 1 to n expanded (empty when missing), field nSecret (0: none) as a
 * password; FALSE when field 1 is missing or empty.
 */
static BOOL fnFields(char *lpszLine, int n, char (*lpaszOut)[CCH_FIELD_BUF], int nSecret = 0)
{
    for (int i = 0; i < n; i++) {
        BOOL bHave = i + 1 == nSecret ? fnSecretField(lpszLine, i + 1, lpaszOut[i], CCH_FIELD_BUF)
                                      : fnField(lpszLine, i + 1, lpaszOut[i], CCH_FIELD_BUF);
        if (!bHave)
            lpaszOut[i][0] = '\0';
    }
    return lpaszOut[0][0] != '\0';
}

static void fnWipeFields(char (*lpaszOut)[CCH_FIELD_BUF], int n)
{
    SecureZeroMemory(lpaszOut, (size_t)n * CCH_FIELD_BUF);
}

/*
 * What an administrator or membership test's answer leads to: a box, and
 * perhaps the end of the run, without the closing "installed successfully".
 * TRUE when the run stops (the section ends with 1).
 */
static BOOL fnAdminOutcome(BOOL bYes, BOOL bMembership, const char *lpszWord, const char *lpszMessage,
                           const char *lpszCaption, const char *lpszUser, const char *lpszGroup)
{
    AdminActionStruct action;
    fnAdminAction(bYes, bMembership, lpszWord, &action);
    BOOL bStop = action.bStop;
    BOOL bUserChose = FALSE;  /* Cancel in the OK/Cancel box: the user's choice, not the script's rule */
    if (action.uBox != ADMINBOX_NONE) {
        char szText[CCH_FIELD_BUF];
        if (lpszMessage[0])
            fnCopyBounded(szText, sizeof(szText), lpszMessage);
        else
            fnFormatBounded(szText, sizeof(szText), action.lpszFormat, lpszUser, lpszGroup);
        BOOL bOK = g_lpSettingsUi->pfnMessageBox(szText, lpszCaption[0] ? lpszCaption : g_szMsgTitle,
                                                 action.uBox == ADMINBOX_OKCANCEL, NULL, NULL);
        if (action.uBox == ADMINBOX_OKCANCEL)
            bStop = bUserChose = !bOK;
    }
    if (!bStop)
        return FALSE;
    fnDebugLog("fnReadCommand", "Run stopped by the test of user %s", g_uDebugLevel, lpszUser);
    g_bStopProcessing = TRUE;
    fnNoClosingMessage();
    /* the user's Cancel ends the run as cancelled (1602); the script's refusal as failed (1) */
    if (bUserChose) {
        g_bUserChoseExit = TRUE;
    } else {
        g_bStoppedByRule = TRUE;
        if (g_lpUserInput)
            g_lpUserInput->uFailed = 1;
    }
    return TRUE;
}

/* The account, group and domain commands; TRUE when a test stopped the run. */
static BOOL fnAccountCommand(int nCmd, char *lpszLine)
{
    char sz[5][CCH_FIELD_BUF];
    BOOL bStop = FALSE;
    switch (nCmd) {
    case CMD_CREATELOCALUSER: {
        BOOL bHave = fnFields(lpszLine, 4, sz, 2);
        BOOL bAdmin = FALSE;
        fnReadYesNo(sz[2], &bAdmin);
        fnDebugLog("fnCreateLocalUser", "szField1=%s, szField2=%s, szField3=%s, szField4=%s, bField3=%d.",
                   g_uDebugLevel, sz[0], s_szHidden, sz[2], sz[3], bAdmin);
        if (bHave)
            fnCreateLocalUser(sz[0], sz[1], bAdmin, sz[3]);
        break;
    }
    case CMD_DELLOCALUSER:
        if (fnFields(lpszLine, 1, sz))
            fnDelLocalUser(sz[0]);
        break;
    case CMD_CHANGELOCALUSER:
        if (fnFields(lpszLine, 3, sz, 2))
            fnChangeLocalUser(sz[0], sz[1], sz[2]);
        break;
    case CMD_RENAMELOCALUSER:
        if (fnFields(lpszLine, 2, sz) && sz[1][0]) {
            fnDebugLog("fnReadCommand fnRenameLocalUser", "User %s rename to %s.", g_uDebugLevel, sz[0], sz[1]);
            fnRenameLocalUser(sz[0], sz[1]);
        }
        break;
    case CMD_AMILOCALADMIN: {
        fnFields(lpszLine, 3, sz);
        char szUser[CCH_PATH] = "";
        if (!g_lpMachine->pfnGetCurrentUser(szUser, sizeof(szUser)))
            szUser[0] = '\0';
        BOOL bAdmin = FALSE;
        BOOL bKnown = fnIsCurrentUserLocalAdmin(&bAdmin);
        fnDebugLog("fnReadCommand fnIsCurrentUserLocalAdmin", "bAdmin=%d.", g_uDebugLevel, bAdmin);
        if (!bKnown && szUser[0]) {
            bKnown = fnIsUserLocalAdmin(szUser, &bAdmin);
            fnDebugLog("fnReadCommand", "Try fnIsUserLocalAdmin() szUser=%s, bAdmin=%d.", g_uDebugLevel, szUser,
                       bAdmin);
        }
        if (bKnown)
            bStop = fnAdminOutcome(bAdmin, FALSE, sz[0], sz[1], sz[2], szUser, "");
        break;
    }
    case CMD_ISUSERLOCALADMIN: {
        if (!fnFields(lpszLine, 4, sz))
            break;
        BOOL bAdmin = FALSE;
        BOOL bKnown = fnIsUserLocalAdmin(sz[0], &bAdmin);
        fnDebugLog("fnReadCommand fnIsUserLocalAdmin", "bAdmin=%d, user %s.", g_uDebugLevel, bAdmin, sz[0]);
        if (bKnown)
            bStop = fnAdminOutcome(bAdmin, FALSE, sz[1], sz[2], sz[3], sz[0], "");
        break;
    }
    case CMD_ISUSERMEMBEROF: {
        if (!fnFields(lpszLine, 5, sz) || !sz[1][0])
            break;
        BOOL bMember = FALSE;
        if (!fnIsUserMemberOf(sz[0], sz[1], &bMember)) {
            fnDebugLog("fnReadCommand", "Error reading group membership user %s, group %s.", g_uDebugLevel, sz[0],
                       sz[1]);
            break;
        }
        fnDebugLog("fnReadCommand fnIsUserMemberOf", "bMember=%d, user %s, group %s.", g_uDebugLevel, bMember, sz[0],
                   sz[1]);
        bStop = fnAdminOutcome(bMember, TRUE, sz[2], sz[3], sz[4], sz[0], sz[1]);
        break;
    }
    case CMD_ADDUSERTOLOCALGROUP:
    case CMD_DELETEUSERFROMLOCALGROUP:
        if (fnFields(lpszLine, 2, sz) && sz[1][0]) {
            if (nCmd == CMD_ADDUSERTOLOCALGROUP)
                fnAddUserToLocalGroup(sz[0], sz[1]);
            else
                fnDeleteUserFromLocalGroup(sz[0], sz[1]);
        }
        break;
    case CMD_JOINDOMAIN:
        if (fnFields(lpszLine, 5, sz, 5)) {
            fnDebugLog("fnReadCommand JoinDomain", "szField1=%s, szField2=%s, szField3=%s, szField4=%s, szField5=%s",
                       g_uDebugLevel, sz[0], sz[1], sz[2], sz[3], s_szHidden);
            fnJoinDomain(sz[0], sz[1], sz[2], sz[3], sz[4], TRUE);
        }
        break;
    case CMD_UNJOINDOMAIN:
        /* leaving needs no domain name: only the account is formed with it */
        if (fnInfParseField(lpszLine, 1, sz[0], CCH_FIELD_BUF)) {
            fnFields(lpszLine, 3, sz, 3);
            fnUnJoinDomain(sz[0], sz[1], sz[2]);
        }
        break;
    case CMD_RENAMECOMPUTERINDOMAIN:
        fnFields(lpszLine, 4, sz, 4);
        if (sz[1][0])
            fnRenameComputerInDomain(sz[0], sz[1], sz[2], sz[3]);
        break;
    default: break;
    }
    fnWipeFields(sz, 5);
    return bStop;
}

/* One command of the table; *lpnResult takes the section result of the commands that set it. */
static BOOL fnRunCommand(int nCmd, char *lpszLine, int *lpnResult)
{
    if (nCmd >= CMD_CREATELOCALUSER)
        return fnAccountCommand(nCmd, lpszLine);
    char sz1[CCH_FIELD_BUF], sz2[CCH_FIELD_BUF], sz3[CCH_FIELD_BUF], sz4[CCH_FIELD_BUF];
    switch (nCmd) {
    case CMD_COPYFILE:
    case CMD_RENAMEFILE: {
        const char *lpszTitle = nCmd == CMD_COPYFILE ? "fnReadCommand CopyFile" : "fnReadCommand RenameFile";
        if (!fnPathField(lpszLine, 1, sz1, sizeof(sz1), lpszTitle) ||
            !fnPathField(lpszLine, 2, sz2, sizeof(sz2), lpszTitle))
            break;
        BOOL bRC = nCmd == CMD_COPYFILE ? fnCopyFile(sz1, sz2, FALSE, FALSE) : fnRename(sz1, sz2);
        fnDebugLog(lpszTitle, "szFile=%s, szFile2=%s, bRC=%d", g_uDebugLevel, sz1, sz2, bRC);
        if (bRC)
            fnWriteLog(nCmd == CMD_COPYFILE ? "CopyFile=%s,%s" : "RenameFile=%s,%s", TRUE, sz1, sz2);
        *lpnResult = bRC ? 1 : 0;
        break;
    }
    case CMD_GETFILEVERSION: {
        if (!fnField(lpszLine, 1, sz1, sizeof(sz1)))
            break;
        fnDebugLog("fnReadCommand GetFileVersion", "szField1=%s", g_uDebugLevel, sz1);
        char szFile[128] = "", szProduct[128] = "", szLegal[128] = "";
        if (sz1[0])
            g_lpMachine->pfnGetFileVersion(sz1, szFile, szProduct, szLegal);
        BOOL bProduct = fnInfParseField(lpszLine, 2, sz2, sizeof(sz2)) && (fnExpandOpts(sz2, sizeof(sz2)), 1) &&
                        fnUpperAscii(sz2[0]) == 'P';
        fnStoreCmdResult(bProduct ? szProduct : szFile);
        break;
    }
    case CMD_GETFOLDERSIZE:
        if (!fnField(lpszLine, 1, sz1, sizeof(sz1)))
            break;
        fnDebugLog("fnReadCommand GetFolderSize", "szString=%s", g_uDebugLevel, sz1);
        {
            ULONGLONG ull = sz1[0] ? fnGetFolderSize(sz1) : 0;
            fnU64ToText(ull, sz2, sizeof(sz2));
            fnDebugLog("fnReadCommand GetFolderSize", "szString=%s, szField1=%s", g_uDebugLevel, sz2, sz1);
            fnStoreCmdResult(sz2);
        }
        break;
    case CMD_GETUSEDSPACE:
    case CMD_GETFREESPACE:
    case CMD_GETAVAILSPACE:
    case CMD_GETTOTALSPACE: {
        if (!fnField(lpszLine, 1, sz1, sizeof(sz1)))
            break;
        DiskSpaceStruct space;
        fnGetDiskSpaceInfo(sz1, &space);
        fnStoreNumber(nCmd == CMD_GETUSEDSPACE ? space.ullUsed
                      : nCmd == CMD_GETFREESPACE ? space.ullFree
                      : nCmd == CMD_GETAVAILSPACE ? space.ullAvail
                                                  : space.ullTotal);
        break;
    }
    case CMD_STARTSERVICE:
    case CMD_STOPSERVICE:
        if (fnField(lpszLine, 1, sz1, sizeof(sz1)) && sz1[0])
            fnStartStopService(sz1, nCmd == CMD_STARTSERVICE);
        break;
    case CMD_CHANGESERVICESTART:
        if (fnField(lpszLine, 1, sz1, sizeof(sz1)) && sz1[0] && fnInfParseField(lpszLine, 2, sz2, sizeof(sz2)))
            fnChangeServiceStart(sz1, sz2);
        break;
    case CMD_WZCSVCCONFIG:
        if (!fnInfParseField(lpszLine, 1, sz1, sizeof(sz1)))
            sz1[0] = '\0';
        fnEnableMSWiFiConfig(fnEqualNoCase(sz1, "OFF") ? FALSE : TRUE);
        break;
    case CMD_WMIQUERY: {
        if (!fnField(lpszLine, 1, sz1, sizeof(sz1)) || !fnField(lpszLine, 2, sz2, sizeof(sz2)))
            break;
        BOOL bCond = fnField(lpszLine, 3, sz3, sizeof(sz3)) && sz3[0];
        char szValue[CCH_PATH] = "";
        BOOL bRC = g_lpMachine->pfnQueryWMI(sz1, sz2, bCond ? sz3 : NULL, szValue, sizeof(szValue));
        if (!szValue[0])
            fnCopyBounded(szValue, sizeof(szValue), "NA");
        fnDebugLog("fnReadCommand WMIQuery", "szString=%s", g_uDebugLevel, szValue);
        fnStoreCmdResult(szValue);
        *lpnResult = bRC ? 1 : 0;
        break;
    }
    case CMD_WAITFORWINDOW: fnWindowWaitCommand(lpszLine, FALSE); break;
    case CMD_WHILEWINDOW: fnWindowWaitCommand(lpszLine, TRUE); break;
    case CMD_CLOSEWINDOW: {
        HWND hWnd = fnCommandWindow(lpszLine, "CloseWindow");
        /* another program's window cannot be destroyed from here: it is asked to close */
        if (hWnd && !DestroyWindow(hWnd))
            PostMessageA(hWnd, WM_CLOSE, 0, 0);
        break;
    }
    case CMD_CLOSEPOPUP:
        if (fnInfParseField(lpszLine, 1, sz1, sizeof(sz1)))
            fnClosePopup(fnDigitsOf(sz1));
        break;
    case CMD_MAKEMETOPMOST:
        if (g_hWndMain) {
            SetWindowPos(g_hWndMain, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            SetForegroundWindow(g_hWndMain);
        }
        break;
    case CMD_MAKEMENOTTOPMOST:
        if (g_hWndMain)
            SetWindowPos(g_hWndMain, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    case CMD_SETTOPMOST:
    case CMD_SETNOTTOPMOST: {
        HWND hWnd = fnCommandWindow(lpszLine, nCmd == CMD_SETTOPMOST ? "SetTopWindow" : "SetNotTopMostWindow");
        if (hWnd)
            SetWindowPos(hWnd, nCmd == CMD_SETTOPMOST ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    }
    case CMD_MESSAGESTATIC: fnPopupCommand(lpszLine, TRUE); break;
    case CMD_POPUP: fnPopupCommand(lpszLine, FALSE); break;
    case CMD_MAPDRIVE:
        if (!fnField(lpszLine, 1, sz1, sizeof(sz1)) || !fnField(lpszLine, 2, sz2, sizeof(sz2)) || !sz2[0])
            break;
        if (!fnField(lpszLine, 3, sz3, sizeof(sz3)))
            sz3[0] = '\0';
        if (!fnSecretField(lpszLine, 4, sz4, sizeof(sz4)))
            sz4[0] = '\0';
        fnNetMapDrive(sz1, sz2, sz3, sz4);
        SecureZeroMemory(sz4, sizeof(sz4));
        break;
    case CMD_GETLOCALSID:
    case CMD_GETDOMAINSID: {
        if (!fnField(lpszLine, 1, sz1, sizeof(sz1)))
            break;
        char szSystem[CCH_PATH] = "", szSid[CCH_PATH] = "";
        if (nCmd == CMD_GETLOCALSID)
            g_lpMachine->pfnGetComputerName(szSystem, sizeof(szSystem));
        else if (fnField(lpszLine, 2, sz2, sizeof(sz2)))
            fnCopyBounded(szSystem, sizeof(szSystem), sz2);
        if (!sz1[0] || !g_lpMachine->pfnGetSIDString(sz1, szSystem[0] ? szSystem : NULL, szSid, sizeof(szSid)))
            szSid[0] = '\0';
        fnStoreCmdResult(szSid);
        break;
    }
    case CMD_SETSIDPROFILELOCATION: fnSetSIDProfileLocation(lpszLine); break;
    default: break;
    }
    return FALSE;
}

UINT fnReadCommand(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    (void)hWnd;
    if (g_lpSettingsUi == &g_settingsUiNone)
        g_lpSettingsUi = &g_settingsUiWin;
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    if (!lpszPos || !*lpszPos)
        return 1;
    int nResult = 1;
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF];
    SecretLineGuardStruct secretGuard;
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        /* a line with a password reaches the debug log by its command only */
        g_bSecretLine = fnTextHoldsSecret(szLine);
        fnDebugLog("fnReadCommand", "TestIfTwoFields\nszLine=%s", g_uDebugLevel,
                   g_bSecretLine ? "(a line with a password)" : szLine);
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_SKIPREST)
            return 1;
        if (uTest == IDTEST_FALSE) {
            fnDebugLog("fnReadCommand", "fnInfTestIfTwoFields returns IDTEST_FALSE\nuTest=%u\nszLine=%s",
                       g_uDebugLevel, uTest, g_bSecretLine ? "(a line with a password)" : szLine);
            continue;
        }
        if (uTest == IDTEST_GOON)
            continue;
        if (fnEqualNoCase(szLine, "ExitNow")) {
            g_bStopProcessing = TRUE;
            return 1;
        }
        /* the two field-less window words may stand alone as ExitNow does */
        if (fnEqualNoCase(szLine, "MakeMeTopMostWindow") || fnEqualNoCase(szLine, "MakeMeNotTopMostWindow")) {
            fnRunCommand(fnFindSectionKey(g_aCommandKeys, szLine), szLine, &nResult);
            continue;
        }
        if (fnEqualNoCase(szLine, "Abort")) {
            /* the walk must stop too: with the main window gone every later box would
               return at once, unanswered */
            g_bStopProcessing = TRUE;
            fnNoClosingMessage();
            if (g_hWndMain)
                DestroyWindow(g_hWndMain);
            return 1;
        }
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)))
            break;
        int nKey = fnFindSectionKey(g_aCommandKeys, szKey);
        if (nKey < 0)
            break;
        if (nKey <= SK_LAST) {
            if (fnApplySetting(nKey, szLine, SETFORM_COMMAND, &nResult, NULL) == SETKEY_STOP) {
                fnNoClosingMessage();
                return 1;
            }
            if (nKey == SK_BEQUIET && g_bQuiet)
                fnNoClosingMessage();
            continue;
        }
        if (fnRunCommand(nKey, szLine, &nResult))
            return 1;
    }
    return (UINT)nResult;
}
