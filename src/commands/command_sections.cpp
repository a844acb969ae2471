/*
 * commands/command_sections.cpp -- the command interpreter of "[Set]" and
 * "[Command]": one command per line, run settings shared with "[Config]"
 * (cmdsettings.cpp), ExitNow and Abort. Returns the section result that the
 * driver weighs with ExitOnCommandError: it starts at 1 and only the commands
 * that report success change it, the last of them counting.
 */
#include <windows.h>

#include "commands/commands_win.h"
#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/sectiondriver.h"
#include "driver/winstate.h"
#include "script/conditions.h"
#include "script/textmodel.h"

/* Keys of the command sections: the shared run settings keep their SK_ ids. */
const SectionKeyStruct g_aCommandKeys[] = {
    {"BeQuiet", SK_BEQUIET},
    {"SelfDestruct", SK_SELFDESTRUCT},
    {"ShowVSWindow", SK_SHOWVSWINDOW},
    {"Debug", SK_DEBUG},
    {"ShowErrorMessage", SK_SHOWERRORMESSAGE},
    {"ExitOnExecError", SK_EXITONEXECERROR},
    {"ExitOnCommandError", SK_EXITONCOMMANDERROR},
    {"ExitMessage", SK_EXITMESSAGE},
    {"ErrorMessage", SK_ERRORMESSAGE},
    {"SetComputerName", SK_SETCOMPUTERNAME},
    {"MustRestartAtExit", SK_MUSTRESTARTATEXIT},
    {"LogFile", SK_LOGFILE},
    {"Sleep", SK_SLEEP},
    {"WinPause", SK_WINPAUSE},
    {"Caption", SK_CAPTION},
    {"MessageDlg", SK_MESSAGEDLG},
    {"Message", SK_MESSAGE},
    {"MessageBox", SK_MESSAGEBOX},
    {"MessageBoxEx", SK_MESSAGEBOXEX},
    {"OnExit", SK_ONEXIT},
    {"DeleteFile", SK_DELETEFILE},
    {"CreateFile", SK_CREATEFILE},
    {"WriteLineToFile", SK_WRITELINETOFILE},
    {"ReadLineFromFile", SK_READLINEFROMFILE},
    {NULL, 0},
};

/* A run the script itself refused ends without the closing "installed successfully". */
static void fnNoClosingMessage(void)
{
    if (g_lpUserInput)
        g_lpUserInput->uQuiet = 0;
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
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        fnDebugLog("fnReadCommand", "TestIfTwoFields\nszLine=%s", g_uDebugLevel, szLine);
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_SKIPREST)
            return 1;
        if (uTest == IDTEST_FALSE) {
            fnDebugLog("fnReadCommand", "fnInfTestIfTwoFields returns IDTEST_FALSE\nuTest=%u\nszLine=%s",
                       g_uDebugLevel, uTest, szLine);
            continue;
        }
        if (uTest == IDTEST_GOON)
            continue;
        if (fnEqualNoCase(szLine, "ExitNow")) {
            g_bStopProcessing = TRUE;
            return 1;
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
    }
    return (UINT)nResult;
}
