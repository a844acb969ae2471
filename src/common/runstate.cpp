/*
 * common/runstate.cpp -- definitions and start-up defaults of the run-wide
 * state declared in runstate.h.
 */
#include "common/runstate.h"

#include <string.h>

#include "common/bounded.h"
#include "common/records.h"

UINT g_uDebugLevel;
char g_szDebugFile[CCH_PATH];
char g_szMsgTitle[CCH_TITLE] = "Install and Setup";

char g_szWinDir[CCH_PATH];
char g_szSysDir[CCH_PATH];
char g_szTmpPath[CCH_PATH];
char g_szHomeDir[CCH_PATH];
char g_szSourceDir[CCH_PATH];
char g_szIniFile[CCH_PATH];
char g_szDestDir[CCH_PATH];
char g_szAskForResponse[CCH_TITLE];
char g_szStartHere[CCH_LINE_BUF];
BOOL g_bDestGiven;
char g_szDate[16];
char g_szTime[16];

BOOL g_bQuiet;
BOOL g_bNoPrompt;
UINT g_uShowVSWin = 1;
BOOL g_bStopProcessing;
BOOL g_bExitOnCommandError;
UINT g_uWinPause = 100;
BOOL g_bSelfDestruct;
BOOL g_bRestartNeeded;
BOOL g_bPreventExit;
BOOL g_bStoppedByRule;
BOOL g_bUserChoseExit;

BOOL g_bStayHome;
BOOL g_bExitOnExecError;
BOOL g_bShowErrorMessage;
BOOL g_bShowMustRestartMessage = TRUE;
BOOL g_bMustRestartAtExit;
BOOL g_bRebootForced;
BOOL g_bLogFileSet;

UINT g_uOnExit;
UINT g_uBackUpMethod = BACKUP_ORIEXT;
char g_szExitMsg[512];
char g_szExitExec[CCH_PATH];
char g_szRestartMsg[512];
char g_szErrorMsg[512];

char g_szLogFile[CCH_PATH];
BOOL g_bLogOpen;

const char *g_lpszNextSection;

void fnResetRunState(void)
{
    g_uDebugLevel = 0;
    g_szDebugFile[0] = '\0';
    fnCopyBounded(g_szMsgTitle, sizeof(g_szMsgTitle), "Install and Setup");
    g_szWinDir[0] = g_szSysDir[0] = g_szTmpPath[0] = g_szHomeDir[0] = '\0';
    g_szSourceDir[0] = g_szIniFile[0] = g_szDestDir[0] = '\0';
    g_bDestGiven = FALSE;
    g_szAskForResponse[0] = g_szStartHere[0] = '\0';
    g_szDate[0] = g_szTime[0] = '\0';
    g_bQuiet = FALSE;
    g_bNoPrompt = FALSE;
    g_uShowVSWin = 1;
    g_bStopProcessing = FALSE;
    g_bExitOnCommandError = FALSE;
    g_uWinPause = 100;
    g_bSelfDestruct = FALSE;
    g_bRestartNeeded = FALSE;
    g_bPreventExit = FALSE;
    g_bStoppedByRule = FALSE;
    g_bUserChoseExit = FALSE;
    g_bStayHome = FALSE;
    g_bExitOnExecError = FALSE;
    g_bShowErrorMessage = FALSE;
    g_bShowMustRestartMessage = TRUE;
    g_bMustRestartAtExit = FALSE;
    g_bRebootForced = FALSE;
    g_bLogFileSet = FALSE;
    g_uOnExit = 0;
    g_uBackUpMethod = BACKUP_ORIEXT;
    g_szExitMsg[0] = g_szExitExec[0] = g_szRestartMsg[0] = g_szErrorMsg[0] = '\0';
    g_szLogFile[0] = '\0';
    g_bLogOpen = FALSE;
    g_lpszNextSection = NULL;
}
