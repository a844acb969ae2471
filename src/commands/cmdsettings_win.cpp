/*
 * commands/cmdsettings_win.cpp -- what the run settings show and start on
 * Windows: message boxes with the script's button texts, the script message
 * dialog, the floating message windows, the computer name, the re-launch
 * from a temporary copy, and "[Config]" as the loader calls it. A quiet run
 * opens no box or window: each takes its default answer and says so in the
 * debug log.
 */
#include <windows.h>

#include "commands/commands_win.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "config/lineedit.h"
#include "config/textbuf.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/installlog.h"
#include "driver/logwriters.h"
#include "driver/messages.h"
#include "driver/startup.h"
#include "driver/tempcopy.h"
#include "driver/winstate.h"
#include "install/dirs.h"
#include "script/expand.h"
#include "script/sysinfo_win.h"
#include "ui/msgwindow.h"

CmdKernelStruct g_cmdKernel;
static BOOL s_bCmdKernelLoaded;

void fnLoadCmdKernel(void)
{
    if (s_bCmdKernelLoaded)
        return;
    s_bCmdKernelLoaded = TRUE;
    /* kernel32 is always loaded; these entries are missing on the oldest systems only */
    HMODULE hKernel = GetModuleHandleA("KERNEL32.DLL");
    g_cmdKernel.pfnSetComputerNameExA =
        FN_GET_PROC(BOOL(WINAPI *)(int, LPCSTR), hKernel, "SetComputerNameExA");
    g_cmdKernel.pfnGetDiskFreeSpaceExA = FN_GET_PROC(
        BOOL(WINAPI *)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER), hKernel, "GetDiskFreeSpaceExA");
    if (!g_cmdKernel.pfnSetComputerNameExA)
        fnDebugLog("fnLoadCmdKernel", "SetComputerNameExA not found", g_uDebugLevel);
    if (!g_cmdKernel.pfnGetDiskFreeSpaceExA)
        fnDebugLog("fnLoadCmdKernel", "GetDiskFreeSpaceExA not found", g_uDebugLevel);
}

BOOL fnSetComputerName(const char *lpszName)
{
    fnLoadCmdKernel();
    BOOL bRC;
    if (g_cmdKernel.pfnSetComputerNameExA) {
        bRC = g_cmdKernel.pfnSetComputerNameExA(5 /* ComputerNamePhysicalDnsHostname */, lpszName);
        fnDebugLog("fnSetComputerName SetComputerNameExA", "bRC=%d, lpszComputerName=%s", g_uDebugLevel, bRC,
                   lpszName);
    } else {
        bRC = SetComputerNameA(lpszName);
        fnDebugLog("fnSetComputerName SetComputerName", "bRC=%d, lpszComputerName=%s", g_uDebugLevel, bRC, lpszName);
    }
    if (bRC)
        fnWriteLog("SetComputerName=%s", TRUE, lpszName);
    return bRC;
}

static BOOL fnWinMessageBox(const char *lpszText, const char *lpszCaption, BOOL bOkCancel, const char *lpszButton1,
                            const char *lpszButton2)
{
    if (g_bQuiet) {
        fnDebugLog("MessageBox quiet", "Not shown, answered OK\nszText=%s", g_uDebugLevel, lpszText);
        return TRUE;
    }
    UINT uFlags = (bOkCancel ? MB_OKCANCEL : MB_OK) | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND;
    int nAnswer = (lpszButton1 || lpszButton2)
                      ? fnMessageBoxEx(g_hWndMain, lpszText, lpszCaption, lpszButton1, lpszButton2, uFlags)
                      : MessageBoxA(g_hWndMain, lpszText, lpszCaption, uFlags);
    return nAnswer == IDOK;
}

/* The script message dialog: the message window with the script's button set (its answer is not used). */
static void fnWinMessageDlg(const char *lpszText, const char *lpszCaption, UINT uButtonSet, UINT uPlace)
{
    fnDebugLog("MessageDlg", "szText=%s,\nuType=%u,\nuPlace=%u", g_uDebugLevel, lpszText, uButtonSet, uPlace);
    MsgWindowStruct msg;
    ZeroMemory(&msg, sizeof(msg));
    fnCopyBounded(msg.szCaption, sizeof(msg.szCaption), lpszCaption);
    fnCopyBounded(msg.szText, sizeof(msg.szText), lpszText);
    msg.nPlace = (int)uPlace;
    msg.uType = uButtonSet;
    fnShowMessageWindow(g_hWndMain, &msg);
}

static void fnWinShowPopup(const PopupStruct *lpPopup) { fnShowPopup(lpPopup); }

static void fnWinSleep(DWORD dwMs) { Sleep(dwMs); }

static BOOL fnWinDeleteFile(const char *lpszFile)
{
    if (!DeleteFileA(lpszFile))
        return FALSE;
    fnWriteLog("Deleted %s", TRUE, lpszFile);
    return TRUE;
}

static BOOL fnWinCreateDirTree(const char *lpszDir) { return fnCreateDirTreeLog(lpszDir, TRUE); }

/* A key=value line anywhere in the file, by the reading rules of the configuration editors: the key
   is compared without case as the start of a line's key, a line with the key itself winning. */
static BOOL fnWinReadIniKey(const char *lpszFile, const char *lpszKey, char *lpszOut, size_t cchOut)
{
    TextBufGuardStruct value;
    BOOL bFound = fnReadCfgValue(lpszFile, "", lpszKey, "I", "", &value.buf);
    if (bFound)
        fnCopyBounded(lpszOut, cchOut, fnTextBufText(&value.buf));
    else if (cchOut)
        lpszOut[0] = '\0';
    return bFound;
}

static void fnWinOpenInstallLog(const char *lpszName)
{
    /* before the walk no destination is set yet: a log named without a drive goes
       where the run's default destination will be, not into the current folder */
    if (!g_szDestDir[0])
        fnInitUserInput(NULL);
    char szName[CCH_PATH];
    if (fnExpandLogName(lpszName, szName, sizeof(szName)))
        fnOpenInstallLog(szName);
}

static int fnWinRelaunch(void)
{
    if (g_bTempExec)
        return RELAUNCH_NONE;
    char szExe[CCH_PATH];
    DWORD cch = GetModuleFileNameA(NULL, szExe, sizeof(szExe));
    if (cch == 0 || cch >= sizeof(szExe))
        return RELAUNCH_FAILED;
    return fnReloadExec(g_hWndMain, szExe) ? RELAUNCH_STARTED : RELAUNCH_FAILED;
}

static void fnWinErrorMessage(UINT uId, const char *lpszArg) { fnMessage(uId, NULL, MB_OK | MB_ICONSTOP, lpszArg); }

const SettingsUiStruct g_settingsUiWin = {
    fnWinMessageBox, fnWinMessageDlg,   fnWinShowPopup,      fnWinSleep,    fnSetComputerName, fnWinDeleteFile,
    fnWinCreateDirTree, fnWinReadIniKey, fnWinOpenInstallLog, fnWinRelaunch, fnWinErrorMessage,
};

UINT fnReadConfig(HWND hWnd, const char *lpszInf)
{
    (void)hWnd;
    if (g_lpSettingsUi == &g_settingsUiNone)
        g_lpSettingsUi = &g_settingsUiWin;
    return fnReadConfigText(lpszInf);
}
