/*
 * driver/sectiondriver.cpp -- the section walk and the dispatch table. The
 * walk ends each section's text just before the next header, dispatches the
 * section by its name lists in table order and turns the handler's result into
 * a section status by the row's rule. Sections that match no list are passed
 * over: other sections may read them by name.
 */
#include "driver/sectiondriver.h"

#include <stdlib.h>

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/installlog.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/sectionlists.h"
#include "driver/userexit.h"
#include "driver/winstate.h"
#include "install/copylines.h"
#include "script/expand.h"
#include "script/textmodel.h"
#include "script/textmodel_msg.h"
#include "ui/placement.h"
#include "ui/waitwindow.h"

UserInputStruct *g_lpUserInput;
BOOL g_bInitOptions;
DispatchOverrideProc g_pfnDispatchOverride;

/* How a handler's result becomes the section status. */
enum RuleEnum {
    RULE_P,            /* non-zero gives 1 */
    RULE_Q,            /* passed on; 2, 5, 6, 7 clear uQuiet */
    RULE_R,            /* passed on */
    RULE_S,            /* question: 2, 5, 6 clear uQuiet and give 1; 7 clears it and gives 7 */
    RULE_INITOPTIONS,  /* 103 clears uQuiet and gives 6; others give 1 */
    RULE_COMMAND,      /* see fnAfterCommand */
    RULE_ISSTRING,     /* 2 clears uQuiet and gives 6; an exit action's 7 clears it and gives 7; others give 1 */
    RULE_APPINIT       /* installation log and exit settings, then Q */
};

/* What one dispatch hands to the row's adapter. */
struct DispatchCallStruct {
    HWND hWnd;
    const char *lpszSection;
    const char *lpszName;
    UserInputStruct *lpUserInput;
};

typedef UINT (*DispatchProc)(DispatchCallStruct *lpCall);

struct DispatchRowStruct {
    int nKind;                 /* SECTKIND_..., the row's own index */
    const char *lpszCaption;   /* NULL: no wait handling at all; "": no window */
    RuleEnum nRule;
    DispatchProc pfnHandler;
};

static UINT fnDoInfo(DispatchCallStruct *c) { return fnInfoSection(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoFloatInfo(DispatchCallStruct *c) { return fnFloatInfoSection(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoCheckFor(DispatchCallStruct *c) { return fnCheckForSection(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoFileCheck(DispatchCallStruct *c) { return fnFileCheckSection(c->hWnd, c->lpszSection, c->lpszName); }

static UINT fnDoVersionTest(DispatchCallStruct *c)
{
    UINT r = fnVersionTestSection(c->hWnd, c->lpszSection, c->lpszName);
    if (r == 0 && !g_bQuiet)
        fnMessage(1045, NULL, MB_OK | MB_ICONSTOP, g_szIniFile, c->lpszName);
    return r;
}

static UINT fnDoInitOptions(DispatchCallStruct *c)
{
    g_bInitOptions = FALSE;
    UINT r = fnInitOptionsSection(c->hWnd, c->lpszSection, c->lpszName);
    if (r == 100)
        g_bInitOptions = TRUE;
    return r;
}

static UINT fnDoRegistry(DispatchCallStruct *c) { return fnRegistrySection(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoCommand(DispatchCallStruct *c) { return fnReadCommand(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoEnvironment(DispatchCallStruct *c) { return fnReadSetEnvironment(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoDefaults(DispatchCallStruct *c) { return fnReadIniFiles(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoIniEdits(DispatchCallStruct *c) { return fnIniFilesEdit(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoClose(DispatchCallStruct *c) { return fnReadCloseExecs(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoExec(DispatchCallStruct *c) { return fnReadChainExecs(c->hWnd, c->lpszSection, c->lpszName, 1, 0); }
static UINT fnDoExecOnTop(DispatchCallStruct *c) { return fnReadChainExecs(c->hWnd, c->lpszSection, c->lpszName, 1, 1); }
static UINT fnDoExecAs(DispatchCallStruct *c) { return fnReadChainExecsRunAs(c->hWnd, c->lpszSection, c->lpszName, 1, 0); }
static UINT fnDoExecAsNet(DispatchCallStruct *c) { return fnReadChainExecsRunAs(c->hWnd, c->lpszSection, c->lpszName, 1, 1); }
static UINT fnDoTestAndExec(DispatchCallStruct *c) { return fnTestAndExecs(c->hWnd, c->lpszSection, c->lpszName, 1); }
static UINT fnDoShellExec(DispatchCallStruct *c) { return fnReadChainExecs(c->hWnd, c->lpszSection, c->lpszName, 0, 0); }
static UINT fnDoInput(DispatchCallStruct *c) { return fnInfGetSection(c->hWnd, c->lpszSection, g_lpszNextSection, c->lpszName); }
static UINT fnDoLaunchAndBack(DispatchCallStruct *c) { return fnReadLaunchAndBack(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoWriteCmdFile(DispatchCallStruct *c) { return fnInfWriteCmdFile(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoGetUserPW(DispatchCallStruct *c) { return fnGetUserPWSection(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoIsString(DispatchCallStruct *c) { return fnReadIsStringInFile(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoAppInit(DispatchCallStruct *c) { return fnGetUserInput(c->hWnd, c->lpszSection, c->lpUserInput, c->lpszName); }
static UINT fnDoGet2Dirs(DispatchCallStruct *c) { return fnGet2DirsSection(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoCheckIfRunning(DispatchCallStruct *c) { return fnReadCheckIfRunning(c->hWnd, c->lpszSection, c->lpszName); }
static UINT fnDoMakeDirs(DispatchCallStruct *c)
{
    return fnInfMakeDirs(c->hWnd, c->lpszSection, g_lpszNextSection, c->lpszName);
}
static UINT fnDoDeleteFiles(DispatchCallStruct *c) { return fnInfDeleteFiles(c->hWnd, c->lpszSection, c->lpszName); }

/* A failed file section tells the user that the software must be installed again. */
static UINT fnFileSectionResult(UINT r)
{
    if (r == 0) {
        if (!g_bQuiet)
            fnMessage(1061, NULL, MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
        return 0;
    }
    return r;
}

static UINT fnDoMoveFiles(DispatchCallStruct *c)
{
    return fnFileSectionResult(fnMoveFiles(c->hWnd, c->lpszSection, c->lpszName));
}

static UINT fnDoFiles(DispatchCallStruct *c)
{
    UINT r;
    /* the disk copy answers to both spellings of its list name */
    if (fnEqualNoCase(c->lpszName, "[MakeDisks]") || fnEqualNoCase(c->lpszName, "[CopyFilesToDisk]") ||
        fnEqualNoCase(c->lpszName, "[CopyFilesToDisks]"))
        r = fnInfCopyFilesToDisk(c->hWnd, c->lpszSection, c->lpszName);
    else
        r = fnInfCopyFiles(c->hWnd, c->lpszSection, c->lpszName);
    return fnFileSectionResult(r);
}

/* One row per kind of section, in the order of SectionKindEnum; the name lists
   and the order they are tried in are g_aSectionLists. */
static constexpr DispatchRowStruct s_rows[SECTKIND_COUNT] = {
    {SECTKIND_INFO, NULL, RULE_S, fnDoInfo},
    {SECTKIND_FLOATINFO, "", RULE_P, fnDoFloatInfo},
    {SECTKIND_CHECKFOR, "", RULE_Q, fnDoCheckFor},
    {SECTKIND_FILECHECK, "", RULE_Q, fnDoFileCheck},
    {SECTKIND_VERSIONTEST, "Reading version information", RULE_Q, fnDoVersionTest},
    {SECTKIND_INITOPTIONS, "", RULE_INITOPTIONS, fnDoInitOptions},
    {SECTKIND_REGISTRY, "Processing registry", RULE_P, fnDoRegistry},
    {SECTKIND_COMMAND, "", RULE_COMMAND, fnDoCommand},
    {SECTKIND_ENVIRONMENT, "Processing environment variables", RULE_P, fnDoEnvironment},
    {SECTKIND_DEFAULTS, "Reading defaults", RULE_P, fnDoDefaults},
    {SECTKIND_INIEDITS, "Editing configuration files", RULE_P, fnDoIniEdits},
    {SECTKIND_CLOSE, "Closing program", RULE_P, fnDoClose},
    {SECTKIND_EXEC, "Executing program", RULE_R, fnDoExec},
    {SECTKIND_EXECONTOP, "Executing program", RULE_R, fnDoExecOnTop},
    {SECTKIND_EXECAS, "Executing program", RULE_R, fnDoExecAs},
    {SECTKIND_EXECASNET, "Executing program", RULE_R, fnDoExecAsNet},
    {SECTKIND_TESTANDEXEC, "", RULE_R, fnDoTestAndExec},
    {SECTKIND_SHELLEXEC, "Executing shell", RULE_R, fnDoShellExec},
    {SECTKIND_INPUT, "", RULE_S, fnDoInput},
    {SECTKIND_LAUNCHANDBACK, "", RULE_P, fnDoLaunchAndBack},
    {SECTKIND_WRITECMDFILE, "", RULE_P, fnDoWriteCmdFile},
    {SECTKIND_GETUSERPW, "", RULE_S, fnDoGetUserPW},
    {SECTKIND_ISSTRING, "", RULE_ISSTRING, fnDoIsString},
    {SECTKIND_APPINIT, "", RULE_APPINIT, fnDoAppInit},
    {SECTKIND_GET2DIRS, "", RULE_R, fnDoGet2Dirs},
    {SECTKIND_CHECKIFRUNNING, "", RULE_R, fnDoCheckIfRunning},
    {SECTKIND_MAKEDIRS, "", RULE_P, fnDoMakeDirs},
    {SECTKIND_MOVEFILES, "", RULE_P, fnDoMoveFiles},
    {SECTKIND_DELETEFILES, "", RULE_P, fnDoDeleteFiles},
    {SECTKIND_FILES, "", RULE_P, fnDoFiles},
};

/* every kind has its row, at its own index */
static constexpr bool fnRowsInKindOrder()
{
    for (int i = 0; i < SECTKIND_COUNT; i++) {
        if (s_rows[i].nKind != i || !s_rows[i].pfnHandler)
            return false;
    }
    return true;
}
static_assert(fnRowsInKindOrder(), "s_rows must hold one row per SectionKindEnum, in its order");

HWND fnShowSectionStatus(HWND hWnd, const char *lpszName, const char *lpszCaption)
{
    HWND hWndStatus = NULL;
    if (lpszCaption && *lpszCaption && !g_bQuiet)
        hWndStatus = fnShowWaitWindow(hWnd, 1154, WAIT_HEIGHT_SMALL, PLACE_BOTTOMLEFT, 0, lpszCaption);
    g_hSaveCursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    fnWriteLog("\r\n%s", TRUE, lpszName);
    if (!g_bQuiet) {
        if (hWndStatus) {
            ShowWindow(hWndStatus, SW_SHOWNOACTIVATE);
            UpdateWindow(hWndStatus);
        }
        if (g_uWinPause > 0) {
            fnProcessMessages();
            Sleep(g_uWinPause > 1000 ? 1000 : g_uWinPause);
            fnProcessMessages();
        }
    }
    return hWndStatus;
}

void fnEndSectionStatus(HWND hWndStatus)
{
    SetCursor(g_hSaveCursor);
    if (hWndStatus && IsWindow(hWndStatus))
        DestroyWindow(hWndStatus);
    fnProcessMessages();
}

/* Command sections: a failed command ends the run only with ExitOnCommandError on. */
static UINT fnAfterCommand(UINT r, const char *lpszName, UserInputStruct *lpUserInput)
{
    if (r == 0) {
        fnDebugLog("fnParseInfSection", "Error returning from section %s.", g_uDebugLevel, lpszName);
        if (g_bExitOnCommandError)
            return SECT_ERROR;
    }
    lpUserInput->uOnExit = g_uOnExit;
    if (g_szExitExec[0])
        fnCopyBounded(lpUserInput->szExitExec, sizeof(lpUserInput->szExitExec), g_szExitExec);
    if (g_szExitMsg[0])
        fnCopyBounded(lpUserInput->szExitMsg, sizeof(lpUserInput->szExitMsg), g_szExitMsg);
    if (g_szRestartMsg[0])
        fnCopyBounded(lpUserInput->szRestartMsg, sizeof(lpUserInput->szRestartMsg), g_szRestartMsg);
    if (g_szErrorMsg[0])
        fnCopyBounded(lpUserInput->szErrorMsg, sizeof(lpUserInput->szErrorMsg), g_szErrorMsg);
    return SECT_CONTINUE;
}

static void fnAfterInstallInfo(UserInputStruct *lpUserInput)
{
    if (lpUserInput->szLogFile[0] && !g_bLogOpen) {
        char szName[CCH_PATH];
        if (fnExpandLogName(lpUserInput->szLogFile, szName, sizeof(szName)))
            fnOpenInstallLog(szName);
    }
    g_uOnExit = lpUserInput->uOnExit;
    g_uBackUpMethod = lpUserInput->uBackupMode;
}

static UINT fnApplyRule(RuleEnum nRule, UINT r, UserInputStruct *lpUserInput)
{
    switch (nRule) {
    case RULE_P:
        return r ? SECT_CONTINUE : SECT_ERROR;
    case RULE_Q:
    case RULE_APPINIT:
        if (r == SECT_CANCELLED || r == SECT_ENDRUN || r == SECT_END || r == SECT_USEREXIT)
            lpUserInput->uQuiet = 0;
        return r;
    case RULE_R:
        /* a section that ends the run (the user's Exit, a check's rule) is not followed by "installed" */
        if (r == SECT_USEREXIT)
            lpUserInput->uQuiet = 0;
        return r;
    case RULE_S:
        if (r == 0)
            return SECT_ERROR;
        if (r == SECT_CANCELLED || r == SECT_ENDRUN || r == SECT_END) {
            lpUserInput->uQuiet = 0;
            return SECT_CONTINUE;
        }
        if (r == SECT_USEREXIT) {
            lpUserInput->uQuiet = 0;
            return SECT_USEREXIT;
        }
        return SECT_CONTINUE;
    case RULE_INITOPTIONS:
        if (r == 0)
            return SECT_ERROR;
        if (r == 103) {
            lpUserInput->uQuiet = 0;
            return SECT_END;
        }
        return SECT_CONTINUE;
    case RULE_ISSTRING:
        if (r == SECT_CANCELLED) {
            lpUserInput->uQuiet = 0;
            return SECT_END;
        }
        /* the section's exit actions end the run by the script's rule; 0 (a condition ended it) goes on */
        if (r == SECT_USEREXIT) {
            lpUserInput->uQuiet = 0;
            g_bStoppedByRule = TRUE;
            return SECT_USEREXIT;
        }
        return SECT_CONTINUE;
    case RULE_COMMAND:
        return r;
    }
    return r;
}

UINT fnParseInfSection(HWND hWnd, const char *lpszSection, UserInputStruct *lpUserInput)
{
    if (g_bStopProcessing || fnPrefixNoCase(lpszSection, "[End]", 5))
        return SECT_END;

    char szName[CCH_PATH];
    int nKind = fnSectionKind(lpszSection, szName, sizeof(szName));
    if (nKind >= 0 && nKind < SECTKIND_COUNT) {
        const DispatchRowStruct *lpRow = &s_rows[nKind];
        DispatchCallStruct call = {hWnd, lpszSection, szName, lpUserInput};
        HWND hWndStatus = NULL;
        if (lpRow->lpszCaption)
            hWndStatus = fnShowSectionStatus(hWnd, szName, lpRow->lpszCaption);
        UINT r = g_pfnDispatchOverride ? g_pfnDispatchOverride(szName, lpszSection) : lpRow->pfnHandler(&call);
        if (lpRow->lpszCaption)
            fnEndSectionStatus(hWndStatus);

        if (lpRow->nRule == RULE_COMMAND)
            return fnAfterCommand(r, szName, lpUserInput);
        if (lpRow->nRule == RULE_APPINIT)
            fnAfterInstallInfo(lpUserInput);
        UINT uStatus = fnApplyRule(lpRow->nRule, r, lpUserInput);
        if (uStatus == SECT_ERROR && r == 0)
            fnDebugLog("fnParseInfSection", "Error returning from section %s.", g_uDebugLevel, szName);
        return uStatus;
    }

    /* a section registered by a shortcut folder list, when no list above holds its name */
    for (int i = 0; i < lpUserInput->nShortcutSections && i < MAX_SHORTCUT_SECTIONS; i++) {
        const char *lpszEntry = lpUserInput->szShortcutSection[i];
        if (!lpszEntry[0] || !fnIsInfSection(lpszSection, lpszEntry, szName, sizeof(szName)))
            continue;
        HWND hWndStatus = fnShowSectionStatus(hWnd, szName, "Adding shortcuts");
        UINT r = g_pfnDispatchOverride ? g_pfnDispatchOverride(szName, lpszSection)
                                       : fnShortcutSection(hWnd, lpszSection, szName, lpUserInput, i);
        fnEndSectionStatus(hWndStatus);
        if (r == 0)
            fnDebugLog("fnParseInfSection", "Error returning from section %s.", g_uDebugLevel, szName);
        return r ? SECT_CONTINUE : SECT_ERROR;
    }
    return SECT_CONTINUE;
}

void fnPrepareUserInput(UserInputStruct *lpUserInput)
{
    ZeroMemory(lpUserInput, sizeof(*lpUserInput));
    /* destination default, path slot 0, delimiters and the dialog texts */
    fnInitUserInput(lpUserInput);
    fnCopyBounded(lpUserInput->szSourceDir, sizeof(lpUserInput->szSourceDir), g_szSourceDir);
    lpUserInput->dwDiskSpaceNeeded = 1;
    /* a run that "[Config]" already stopped shows no closing message */
    lpUserInput->uQuiet = (g_bQuiet || g_bStopProcessing) ? 0 : 1;
    lpUserInput->bDirPrompt = (g_bQuiet || g_bNoPrompt) ? FALSE : TRUE;
    lpUserInput->uBackupMode = g_uBackUpMethod;
    lpUserInput->uOnExit = g_uOnExit;
    fnCopyBounded(lpUserInput->szExitExec, sizeof(lpUserInput->szExitExec), g_szExitExec);
    fnCopyBounded(lpUserInput->szExitMsg, sizeof(lpUserInput->szExitMsg), g_szExitMsg);
    fnCopyBounded(lpUserInput->szRestartMsg, sizeof(lpUserInput->szRestartMsg), g_szRestartMsg);
    fnCopyBounded(lpUserInput->szErrorMsg, sizeof(lpUserInput->szErrorMsg), g_szErrorMsg);
    lpUserInput->nShortcutSections = 0;
    lpUserInput->uFailed = 0;
}

UINT fnWalkSections(HWND hWnd, char *lpszInf, UserInputStruct *lpUserInput)
{
    UINT uEnd = SECT_CONTINUE;
    char *lpszPos = lpszInf;
    g_lpszInfStart = lpszInf;
    while (lpszPos && *lpszPos) {
        if (fnPrefixNoCase(lpszPos, "[End]", 5))
            break;
        const char *lpszHeader, *lpszNext;
        if (!fnGetNextSection(lpszPos, &lpszHeader, &lpszNext))
            break;
        /* the section's text ends just before the next header while it runs */
        char *lpszCut = NULL;
        char cSaved = 0;
        if (lpszNext && lpszNext > lpszInf) {
            char *lpszBefore = (char *)lpszNext - 1;
            if (*lpszBefore == '\r' || *lpszBefore == '\n' || *lpszBefore == '\0') {
                lpszCut = lpszBefore;
                cSaved = *lpszBefore;
                *lpszBefore = '\0';
            }
        }
        g_lpszNextSection = lpszNext;
        lpszPos = (char *)lpszNext;
        UINT uStatus = fnParseInfSection(hWnd, lpszHeader, lpUserInput);
        fnProcessMessages();
        if (lpszCut)
            *lpszCut = cSaved;

        if (uStatus == SECT_ERROR || uStatus == SECT_CANCELLED) {
            lpUserInput->uFailed = 1;
            uEnd = uStatus;
            break;
        }
        if (uStatus == SECT_ENDRUN || uStatus == SECT_END || uStatus == SECT_USEREXIT) {
            uEnd = uStatus;
            break;
        }
        /* start again from the first section; in the last section there is nothing to go on with */
        if (uStatus == SECT_RESTART && lpszNext)
            lpszPos = lpszInf;
    }
    g_lpszNextSection = NULL;
    g_lpszInfStart = NULL;
    return uEnd;
}

int fnReadInf(HWND hWnd, char *lpszInf)
{
    UserInputStruct *lpUserInput = (UserInputStruct *)calloc(1, sizeof(UserInputStruct));
    if (!lpUserInput) {
        fnMessage(1031, NULL, MB_OK | MB_ICONSTOP);
        g_bRunFailed = TRUE;
        return 1;
    }
    fnPrepareUserInput(lpUserInput);
    g_lpUserInput = lpUserInput;
    g_runEnd.uEndStatus = fnWalkSections(hWnd, lpszInf, lpUserInput);
    g_bRunFailed = lpUserInput->uFailed ? TRUE : FALSE;
    g_runEnd.bFailed = g_bRunFailed;

    fnDebugLog("fnReadInf", "Exit g_bSelfDestruct=%d", g_uDebugLevel, g_bSelfDestruct);
    /* a floating note of the walk does not stay behind the closing message */
    fnCloseFloatInfo();
    fnUserExit(hWnd, lpUserInput);
    g_lpUserInput = NULL;
    free(lpUserInput);
    return 1;
}
