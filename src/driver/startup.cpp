/*
 * driver/startup.cpp -- from WinMain to the script: run-wide folders, the
 * command line, the debug file, the window classes and the main window. The
 * script runs inside fnInitInstance; the message loop then runs until the main
 * window is gone, and the exit code tells whether the run failed.
 */
#include "driver/startup.h"

#include <string.h>

#include "common/bounded.h"
#include "driver/debugdialog.h"
#include "driver/debuglog.h"
#include "driver/installlog.h"
#include "driver/cmdfile.h"
#include "driver/loader.h"
#include "driver/tempcopy.h"
#include "driver/messages.h"
#include "driver/selfdestruct.h"
#include "driver/userexit.h"
#include "driver/winstate.h"
#include "install/mismatchlb.h"
#include "process/procfind.h"
#include "process/procsys.h"
#include "script/pathtext.h"
#include "ui/progress.h"
#include "script/sysinfo_win.h"
#include "ui/placement.h"
#include "ui/waitwindow.h"

CmdOptionStruct g_cmdOptions;
char g_szBanner[512];
BOOL g_bTempExec;
BOOL g_bMessage;
char g_szStartupMsg[CCH_TITLE] = "One moment please ...";
char g_szOrigSourceDir[CCH_PATH];
static char s_szMainClass[64];
static int s_nExitCode;

/* Removes one trailing backslash unless the path is a drive root. */
static void fnNoTrailingSlash(char *lpszPath)
{
    size_t n = strlen(lpszPath);
    if (n > 3 && lpszPath[n - 1] == '\\')
        lpszPath[n - 1] = '\0';
}

/* Folder part of a path, without the trailing backslash. */
static void fnFolderOf(const char *lpszPath, char *lpszFolder, size_t cchFolder)
{
    fnCopyBounded(lpszFolder, cchFolder, lpszPath);
    char *lpszSlash = strrchr(lpszFolder, '\\');
    if (lpszSlash)
        *lpszSlash = '\0';
}

/* A script named on the command line is looked for as given, then in the source and home folders. */
static void fnFindNamedScript(void)
{
    char szPath[CCH_PATH];
    if (!fnIsFile(g_szIniFile) && fnFindNamedFile(g_szIniFile, szPath, sizeof(szPath)))
        fnCopyBounded(g_szIniFile, sizeof(g_szIniFile), szPath);
}

static BOOL fnOpenDebugFile(void)
{
    char szName[64];
    if (!fnLoadStr(1015, szName, sizeof(szName)))
        fnCopyBounded(szName, sizeof(szName), "TG7k9Dbg.LOG");
    fnJoinPath(g_szDebugFile, sizeof(g_szDebugFile), g_szTmpPath, szName);
    if (g_uDebugLevel < 3)
        return TRUE;
    if (fnIsFile(g_szDebugFile)) {
        int nAnswer = fnMessage(1039, NULL, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL, g_szDebugFile);
        if (nAnswer == IDYES)
            DeleteFileA(g_szDebugFile);
    }
    if (!fnIsFile(g_szDebugFile)) {
        HANDLE hFile = CreateFileA(g_szDebugFile, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile == INVALID_HANDLE_VALUE) {
            fnMessage(1038, NULL, MB_OK | MB_ICONSTOP, g_szDebugFile);
            return FALSE;
        }
        CloseHandle(hFile);
    }
    return TRUE;
}

BOOL fnInitialize(const char *lpszCmdLine)
{
    if (!GetWindowsDirectoryA(g_szWinDir, sizeof(g_szWinDir))) {
        fnMessage(0, NULL, MB_OK | MB_ICONSTOP, "Error!  Could not determine Windows directory.");
        return FALSE;
    }
    if (!GetSystemDirectoryA(g_szSysDir, sizeof(g_szSysDir))) {
        fnMessage(0, NULL, MB_OK | MB_ICONSTOP, "Error!  Could not determine Windows system directory.");
        return FALSE;
    }
    DWORD n = GetTempPathA(sizeof(g_szTmpPath), g_szTmpPath);
    if (n == 0 || n >= sizeof(g_szTmpPath))
        fnJoinPath(g_szTmpPath, sizeof(g_szTmpPath), g_szWinDir, "TEMP");
    fnNoTrailingSlash(g_szTmpPath);
    CreateDirectoryA(g_szTmpPath, NULL);

    char szExe[CCH_PATH];
    n = GetModuleFileNameA(NULL, szExe, sizeof(szExe));
    if (n == 0 || n >= sizeof(szExe)) {
        fnMessage(0, NULL, MB_OK | MB_ICONSTOP, "Error!  Could not initialize.");
        return FALSE;
    }
    fnFolderOf(szExe, g_szHomeDir, sizeof(g_szHomeDir));
    fnInstallMachineLookup();
    if (!fnGetOSVersionInfo(&g_OSInfo)) {
        fnMessage(0, NULL, MB_OK | MB_ICONSTOP, "Error!  Could not initialize.");
        return FALSE;
    }
    fnGetDateTime(g_szDate, g_szTime);

    char szVersion[64] = "";
    char szFormat[128];
    fnLoadStr(1027, szFormat, sizeof(szFormat));
    fnReadProgramVersion(szExe, szVersion, sizeof(szVersion));
    char szProduct[CCH_TITLE];
    if (szVersion[0])
        fnFormatBounded(szProduct, sizeof(szProduct), szFormat, szVersion);
    else
        fnCopyBounded(szProduct, sizeof(szProduct), "Install and Setup");
    fnFormatBounded(g_szBanner, sizeof(g_szBanner), "\n%s\nWindows %s\n", szProduct, g_OSInfo.szWinVersion);
    fnReadRegGlobals();

    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), g_szHomeDir);
    fnJoinPath(g_szIniFile, sizeof(g_szIniFile), g_szHomeDir, "TALLGRID.INF");

    fnParseCmdLine(lpszCmdLine, &g_cmdOptions);
    CmdOptionStruct *lpOpt = &g_cmdOptions;
    if (lpOpt->bUsage) {
        fnMessage(1016, NULL, MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    if (lpOpt->nOptions > 0) {
        char szCmdFile[CCH_PATH];
        if (lpOpt->szCmdFile[0] && fnFindCmdFile(lpOpt->szCmdFile, szCmdFile, sizeof(szCmdFile)))
            fnReadCmdFile(szCmdFile, lpOpt);
        if (lpOpt->szIniFile[0])
            fnCopyBounded(g_szIniFile, sizeof(g_szIniFile), lpOpt->szIniFile);
        if (lpOpt->szSourceDir[0])
            fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), lpOpt->szSourceDir);
        fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), lpOpt->szDestDir);
        g_bDestGiven = g_szDestDir[0] != '\0';
        fnCopyBounded(g_szAskForResponse, sizeof(g_szAskForResponse), lpOpt->szAskFor);
        if (lpOpt->szStartHere[0])
            fnCopyBounded(g_szStartHere, sizeof(g_szStartHere), lpOpt->szStartHere);
        g_bTempExec = lpOpt->bTempExec;
        g_bNoPrompt = lpOpt->bNoPrompt;
        if (lpOpt->bQuiet) {
            g_bQuiet = TRUE;
            /* a command file's quiet switch hides the window as -q does, unless -w= came after -q */
            if (!lpOpt->bShowVSWin)
                g_uShowVSWin = 0;
        }
        if (lpOpt->bShowVSWin)
            g_uShowVSWin = lpOpt->uShowVSWin;
        g_bMessage = lpOpt->bStartupMsg;
        if (g_bMessage)
            fnCopyBounded(g_szStartupMsg, sizeof(g_szStartupMsg), lpOpt->szStartupMsg);
        if (lpOpt->bDebugLevel)
            g_uDebugLevel = lpOpt->uDebugLevel;
        g_uLoadMode = lpOpt->uLoadMode;
        fnFindNamedScript();
    }
    if (!fnOpenDebugFile())
        return FALSE;
    fnDebugLog("fnParseCmdLine",
               "Win %lu.%lu,\ng_szTmpPath=%s,\ng_szDebugFile=%s,\ng_szHomeDir=%s,\ng_szIniFile=%s,\ng_szDestDir=%s,\n"
               "g_szAskForResponse=%s,\ng_bQuiet=%d,\ng_uShowVSWin=%u",
               g_uDebugLevel, (unsigned long)g_OSInfo.dwWinMajor, (unsigned long)g_OSInfo.dwWinMinor,
               g_szTmpPath, g_szDebugFile, g_szHomeDir, g_szIniFile, g_szDestDir,
               g_szAskForResponse, g_bQuiet, g_uShowVSWin);
    if (!fnChooseScript(szExe, lpOpt->bIniNamed, lpOpt->szIniFile[0] != '\0'))
        return FALSE;
    fnCopyBounded(g_szOrigSourceDir, sizeof(g_szOrigSourceDir), g_szSourceDir);
    if (fnNeedsLoader(g_bInternalInf) && !fnInitLoader(g_hInst, g_bInternalInf)) {
        fnMessage(0, NULL, MB_OK | MB_ICONSTOP, "Error!  Could not initialize.");
        return FALSE;
    }
    fnDebugLog("fnInitialize - VersionInfo",
               "bWinNT=%lu,\ndwWinMajor=%lu,\ndwWinMinor=%lu,\nuWinFamily=%lu,\nuWinIndex=%lu,\nuWinSR=%lu,\n"
               "dwWinBuild=%lu,\ndwWinPlatformID=%lu,\nuWinBits=%lu,\nszWinName=%s,\nszWinVersion=%s,\n"
               "szWinVSDescription=%s,\nszWinLabel=%s",
               g_uDebugLevel, (unsigned long)g_OSInfo.bWinNT, (unsigned long)g_OSInfo.dwWinMajor,
               (unsigned long)g_OSInfo.dwWinMinor, (unsigned long)g_OSInfo.uWinFamily,
               (unsigned long)g_OSInfo.uWinIndex, (unsigned long)g_OSInfo.uWinSR, (unsigned long)g_OSInfo.dwWinBuild,
               (unsigned long)g_OSInfo.dwWinPlatformID, (unsigned long)g_OSInfo.uWinBits, g_OSInfo.szWinName,
               g_OSInfo.szWinVersion, g_OSInfo.szWinVSDescription, g_OSInfo.szWinLabel);
    return TRUE;
}

/*
 * The program's end, when the main window goes or the session ends:
 * self-removal (at most once a run, though both may come) and the quit
 * message with the run's exit code.
 */
static BOOL s_bRunEnded;
static BOOL s_bExitCodeKnown;  /* the walk is over and s_nExitCode holds its code */
static void fnEndOfRun(BOOL bSessionEnds)
{
    if (s_bRunEnded)
        return;
    s_bRunEnded = TRUE;
    if (g_bSelfDestruct) {
        fnDebugLog("WndProc", "WM_DESTROY, g_bSelfDestruct=%d", g_uDebugLevel, g_bSelfDestruct);
        fnSelfDestruct(g_bSelfDestruct);
    }
    if (!bSessionEnds) {
        PostQuitMessage(s_nExitCode);
        return;
    }
    /*
     * The system ends this process as soon as the message is answered, with
     * an exit code of its own: end it here with the run's. A run cut short
     * by a session it did not end has failed.
     */
    int nCode = s_bExitCodeKnown ? s_nExitCode : g_runEnd.bRestartStarted ? fnRunExitCode() : EXIT_FAILED_CODE;
    fnDebugLog("WndProc", "WM_ENDSESSION, exit code %d", g_uDebugLevel, nCode);
    PostQuitMessage(nCode);
    g_lpProcessSys->pfnExitProcess((UINT)nCode);
}

static LRESULT CALLBACK fnMainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        if (g_bMessage)
            return 0;
        switch (g_uShowVSWin) {
        case 2: fnPlaceWindow(hWnd, FALSE, PLACE_TOPCENTER); break;
        case 3: fnPlaceWindow(hWnd, FALSE, PLACE_TOPRIGHT); break;
        default: fnPlaceWindow(hWnd, FALSE, PLACE_TOPLEFT); break;
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hDC = BeginPaint(hWnd, &ps);
        RECT rc;
        GetClientRect(hWnd, &rc);
        FillRect(hDC, &rc, GetSysColorBrush(g_bMessage ? COLOR_DESKTOP : COLOR_WINDOW));
        SetBkMode(hDC, TRANSPARENT);
        SetTextColor(hDC, GetSysColor(g_bMessage ? COLOR_CAPTIONTEXT : COLOR_WINDOWTEXT));
        HGDIOBJ hOld = SelectObject(hDC, GetStockObject(DEFAULT_GUI_FONT));
        if (g_bMessage)
            DrawTextA(hDC, g_szStartupMsg, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        else
            DrawTextA(hDC, g_szBanner, -1, &rc, DT_CENTER | DT_WORDBREAK);
        SelectObject(hDC, hOld);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_QUERYENDSESSION:
        fnDebugLog("WndProc", "WM_QUERYENDSESSION", g_uDebugLevel);
        /* only a question: the session may yet go on, so nothing is removed or quit here */
        if (g_bPreventExit) {
            fnDebugLog("WndProc", "WM_QUERYENDSESSION, g_bPreventExit=%d", g_uDebugLevel, g_bPreventExit);
            return FALSE;
        }
        return TRUE;
    case WM_ENDSESSION:
        fnDebugLog("WndProc", "WM_ENDSESSION", g_uDebugLevel);
        fnDebugLog("WndProc", "WM_QUERYENDSESSION", g_uDebugLevel);
        /* FALSE: another program refused and the session goes on, and so does the run */
        if (wParam && hWnd == g_hWndMain)
            fnEndOfRun(TRUE);
        return 0;
    case WM_DESTROY:
        fnDebugLog("WndProc", "WM_DESTROY", g_uDebugLevel);
        /* the run's main window ends the message loop; a window made for a test does not */
        if (hWnd == g_hWndMain)
            fnEndOfRun(FALSE);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

BOOL fnRegisterClasses(HINSTANCE hInst)
{
    if (!s_szMainClass[0] && !fnLoadStr(1014, s_szMainClass, sizeof(s_szMainClass)))
        fnCopyBounded(s_szMainClass, sizeof(s_szMainClass), "TG7K9");
    if (!fnRegisterOwnClass(hInst, s_szMainClass, fnMainWndProc, 0, 0, (HBRUSH)(COLOR_WINDOW + 1))) {
        fnMessage(0, NULL, MB_OK | MB_ICONINFORMATION,
                  "Error!  Could not register main class.\nApplication may already be running.");
        return FALSE;
    }
    if (!fnRegisterSplashClass(hInst)) {
        fnMessage(0, NULL, MB_OK | MB_ICONINFORMATION,
                  "Error!  Could not register splash window.\nApplication may already be running.");
        return FALSE;
    }
    if (!fnRegisterMeterClass(hInst)) {
        fnMessage(0, NULL, MB_OK | MB_ICONINFORMATION,
                  "Error!  Could not register progress meter control.\nApplication may already be running.");
        return FALSE;
    }
    if (!fnRegisterMismatchListClass(hInst)) {
        fnMessage(0, NULL, MB_OK | MB_ICONINFORMATION,
                  "Error!  Could not register mismatch listbox control.\nApplication may already be running.");
        return FALSE;
    }
    return TRUE;
}

HWND fnCreateMainWindow(HINSTANCE hInst, int nCmdShow)
{
    int cx = g_bQuiet ? 0 : 399, cy = g_bQuiet ? 0 : 80;
    if (g_bMessage) {
        cx = GetSystemMetrics(SM_CXSCREEN);
        cy = GetSystemMetrics(SM_CYSCREEN);
    }
    /* a new main window is a new run: its end has not come yet */
    s_bRunEnded = FALSE;
    s_bExitCodeKnown = FALSE;
    HWND hWnd = CreateWindowExA(0, s_szMainClass, g_szMsgTitle, WS_POPUP | WS_DLGFRAME, 0, 0, cx, cy, NULL, NULL,
                                hInst, NULL);
    if (!hWnd)
        return NULL;
    if (g_uShowVSWin || (g_bMessage && !g_bQuiet)) {
        ShowWindow(hWnd, nCmdShow);
        UpdateWindow(hWnd);
    }
    return hWnd;
}

BOOL fnInitInstance(HINSTANCE hInst, int nCmdShow)
{
    fnDebugLog("fnInitInstance",
               "g_bSelfDestruct=%d, Win %lu.%lu,\ng_szTmpPath=%s,\ng_szDebugFile=%s,\ng_szHomeDir=%s,\ng_szIniFile=%s,\n"
               "g_szDestDir=%s,\ng_bQuiet=%d,\ng_uShowVSWin=%u,\ng_bMessage=%d,\ng_szDate=%s,\ng_szTime=%s",
               g_uDebugLevel, g_bSelfDestruct, (unsigned long)g_OSInfo.dwWinMajor, (unsigned long)g_OSInfo.dwWinMinor,
               g_szTmpPath, g_szDebugFile, g_szHomeDir, g_szIniFile,
               g_szDestDir, g_bQuiet, g_uShowVSWin, g_bMessage, g_szDate, g_szTime);
    g_hWndMain = fnCreateMainWindow(hInst, nCmdShow);
    if (!g_hWndMain)
        return FALSE;
    fnLoadInf(g_hWndMain);
    s_nExitCode = fnRunExitCode();
    s_bExitCodeKnown = TRUE;
    fnDebugLog("fnInitInstance", "exit code %d", g_uDebugLevel, s_nExitCode);
    DestroyWindow(g_hWndMain);
    g_hWndMain = NULL;
    return TRUE;
}

int fnRunProgram(HINSTANCE hInst, const char *lpszCmdLine, int nCmdShow)
{
    g_hInst = hInst;
    HCURSOR hOldCursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    fnResetRunState();
    g_bRunFailed = FALSE;
    g_bRunCancelled = FALSE;
    fnResetRunEnd();
    fnLoadStr(1013, g_szMsgTitle, sizeof(g_szMsgTitle));
    fnInstallDebugUi();
    fnInitProcessLookup();

    g_hWndStartOwner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, NULL, NULL, hInst, NULL);
    BOOL bOk = fnInitialize(lpszCmdLine);
    if (g_hWndStartOwner) {
        DestroyWindow(g_hWndStartOwner);
        g_hWndStartOwner = NULL;
    }
    /* a start-up that showed an error ends failed; the usage text ends successfully */
    if (!bOk)
        return g_cmdOptions.bUsage ? 0 : 1;
    if (g_bStopProcessing)
        return 0;
    if (!fnRegisterClasses(hInst)) {
        fnMessage(0, NULL, MB_OK | MB_ICONSTOP, "Error!  Could not initialize application.");
        return 1;
    }
    if (!fnInitInstance(hInst, nCmdShow)) {
        fnMessage(0, NULL, MB_OK | MB_ICONSTOP, "Error!  Could not initialize instance.");
        return 1;
    }
    MSG msg;
    int nCode = s_nExitCode;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (msg.message == WM_QUIT)
        nCode = (int)msg.wParam;
    SetCursor(hOldCursor);
    return nCode;
}
