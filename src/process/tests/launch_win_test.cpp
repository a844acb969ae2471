/*
 * process/tests/launch_win_test.cpp -- starting the window holder: the
 * directory search and the program path with blanks, waits and show states
 * with the program's own window kept responsive, the end of the session and
 * quit messages during a wait, the error modes' boxes, and the logon launcher
 * through a fake that records every argument.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/runstate.h"
#include "holder.h"
#include "process/launch.h"
#include "process/procfind.h"
#include "process/procsys.h"

namespace {

/* A window of the test's own, as the program's main window would be during a wait. */
int s_nTimerTicks;
int s_nQueryEnd;
std::vector<std::pair<bool, BOOL>> s_samples;  /* (launcher still running, g_bPreventExit) per tick */
bool s_bSample;

LRESULT CALLBACK fnTestWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_TIMER) {
        s_nTimerTicks++;
        if (s_bSample)
            s_samples.push_back({fnTestForRunningExec("LAUNCHER.EXE") != FALSE, g_bPreventExit});
        return 0;
    }
    if (uMsg == WM_QUERYENDSESSION) {
        s_nQueryEnd++;
        return TRUE;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

class LaunchTest : public ::testing::Test {
protected:
    std::string m_strDir, m_strHome, m_strCur, m_strDebug;
    char m_szOldCur[MAX_PATH];
    HWND m_hWnd = NULL;
    ProcessSysStruct m_sys = g_realProcessSys;

    void SetUp() override
    {
        fnResetRunState();
        m_strDir = fnScratchDir("tgproclaunch");
        m_strHome = m_strDir + "\\home";
        m_strCur = m_strDir + "\\cur";
        CreateDirectoryA(m_strHome.c_str(), NULL);
        CreateDirectoryA(m_strCur.c_str(), NULL);
        GetCurrentDirectoryA(sizeof(m_szOldCur), m_szOldCur);
        SetCurrentDirectoryA(m_strCur.c_str());
        strcpy(g_szHomeDir, m_strHome.c_str());
        GetWindowsDirectoryA(g_szWinDir, sizeof(g_szWinDir));
        m_strDebug = m_strDir + "\\debug.log";
        strcpy(g_szDebugFile, m_strDebug.c_str());
        g_uDebugLevel = 3;
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof(wc));
        wc.lpfnWndProc = fnTestWndProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TgLaunchTest";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowExA(0, "TgLaunchTest", "launch test", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        s_nTimerTicks = s_nQueryEnd = 0;
        s_samples.clear();
        s_bSample = false;
    }
    void TearDown() override
    {
        g_lpProcessSys = &g_realProcessSys;
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        SetCurrentDirectoryA(m_szOldCur);
        fnCloseRunningExec((m_strDir + "\\home\\WHO.EXE").c_str(), TRUE);
        fnResetRunState();
        fnRemoveDir(m_strDir);
    }
    std::string Debug() const { return fnFileText(m_strDebug); }
    std::string LogArg(const char *lpszName) const { return "\"-log=" + m_strDir + "\\" + lpszName + "\""; }
    std::string Log(const char *lpszName) const { return fnFileText(m_strDir + "\\" + lpszName); }
};

TEST_F(LaunchTest, DirectorySearchFindsTheProgramInItsFolders)
{
    ASSERT_TRUE(fnCopyHolder(m_strHome + "\\sub\\WHO.EXE"));
    std::string strCmd = "sub\\WHO.EXE -life=0 " + LogArg("who.log");
    EXPECT_EQ(1u, fnCreateProcess(strCmd.c_str(), SW_SHOWNORMAL, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    EXPECT_NE(std::string::npos, Log("who.log").find("start " + m_strHome + "\\sub\\WHO.EXE"));
    std::string strDebug = Debug();
    size_t n1 = strDebug.find("Try (1) with sub\\WHO.EXE");
    size_t n2 = strDebug.find("Try (2) with " + m_strCur + "\\sub\\WHO.EXE");
    size_t n3 = strDebug.find("Try (3) with " + m_strHome + "\\sub\\WHO.EXE");
    EXPECT_TRUE(n1 != std::string::npos && n2 != std::string::npos && n3 != std::string::npos && n1 < n2 &&
                n2 < n3) << strDebug;

    /* the current folder comes before the program's own; ".\" names the program's own first */
    ASSERT_TRUE(fnCopyHolder(m_strCur + "\\sub\\WHO.EXE"));
    EXPECT_EQ(1u, fnCreateProcess(("sub\\WHO.EXE -life=0 " + LogArg("cur.log")).c_str(), 1, LAUNCH_WAIT, FALSE,
                                  FALSE, LAUNCHERR_SILENT, TRUE));
    EXPECT_NE(std::string::npos, Log("cur.log").find("start " + m_strCur + "\\sub\\WHO.EXE"));
    EXPECT_EQ(1u, fnCreateProcess((".\\sub\\WHO.EXE -life=0 " + LogArg("dot.log")).c_str(), 1, LAUNCH_WAIT, FALSE,
                                  FALSE, LAUNCHERR_SILENT, TRUE));
    EXPECT_NE(std::string::npos, Log("dot.log").find("start " + m_strHome + "\\sub\\WHO.EXE"));

    /* a drive gets one attempt, then the shell, then the error mode */
    DeleteFileA(m_strDebug.c_str());
    EXPECT_EQ(0u, fnCreateProcess("Q:\\none\\x.exe", 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    EXPECT_EQ(std::string::npos, Debug().find("Try (2)"));
    EXPECT_NE(std::string::npos, Debug().find("Could not create process for szExec=Q:\\none\\x.exe"));
}

TEST_F(LaunchTest, UnquotedPathWithBlanksNeverStartsAnotherProgram)
{
    std::string strExe = m_strDir + "\\Prog Files\\App\\HOLDER.EXE";
    ASSERT_TRUE(fnCopyHolder(strExe));
    ASSERT_TRUE(fnCopyHolder(m_strDir + "\\Prog.exe"));
    std::string strCmd = strExe + " -life=0 " + LogArg("blank.log");
    EXPECT_EQ(1u, fnCreateProcess(strCmd.c_str(), 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    std::string strLog = Log("blank.log");
    EXPECT_NE(std::string::npos, strLog.find("start " + strExe)) << strLog;
    EXPECT_EQ(std::string::npos, strLog.find("Prog.exe")) << strLog;
}

TEST_F(LaunchTest, WaitsKeepWindowsResponsiveAndPassShowStates)
{
    ASSERT_TRUE(fnCopyHolder(m_strHome + "\\WHO.EXE"));
    /* no wait: back while the program still runs */
    EXPECT_EQ(1u, fnCreateProcess(("WHO.EXE -life=30 " + LogArg("nowait.log")).c_str(), SW_SHOWNOACTIVATE,
                                  LAUNCH_NOWAIT, FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    EXPECT_TRUE(fnTestForRunningExec("WHO.EXE"));
    EXPECT_TRUE(fnCloseRunningExec((m_strHome + "\\WHO.EXE").c_str(), TRUE));

    /* waiting with messages: back after the end, our own window's timer went on meanwhile */
    SetTimer(m_hWnd, 1, 50, NULL);
    EXPECT_EQ(1u, fnCreateProcess(("WHO.EXE -life=1 " + LogArg("wait.log")).c_str(), SW_SHOWMINNOACTIVE, LAUNCH_WAIT,
                                  FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    KillTimer(m_hWnd, 1);
    EXPECT_FALSE(fnTestForRunningExec("WHO.EXE"));
    EXPECT_NE(std::string::npos, Log("wait.log").find("end 3"));
    EXPECT_NE(std::string::npos, Log("wait.log").find("show 7"));
    EXPECT_GE(s_nTimerTicks, 5);

    /* blocking wait */
    EXPECT_EQ(1u, fnCreateProcess(("WHO.EXE -life=0 " + LogArg("block.log")).c_str(), SW_SHOWNORMAL,
                                  LAUNCH_WAITBLOCK, FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    EXPECT_NE(std::string::npos, Log("block.log").find("end 3"));
    EXPECT_NE(std::string::npos, Log("block.log").find("show 1"));
    EXPECT_FALSE(g_bPreventExit);
}

TEST_F(LaunchTest, EndOfSessionAndQuitDuringAWait)
{
    ASSERT_TRUE(fnCopyHolder(m_strHome + "\\WHO.EXE"));
    std::string strCmd = "WHO.EXE -life=1 " + LogArg("who.log");
    /* refused while the flag is set: the query is dropped and the wait goes on to the end */
    PostMessageA(m_hWnd, WM_QUERYENDSESSION, 0, 0);
    EXPECT_EQ(1u, fnCreateProcess(strCmd.c_str(), 1, LAUNCH_WAIT, TRUE, FALSE, LAUNCHERR_SILENT, TRUE));
    EXPECT_EQ(0, s_nQueryEnd);
    EXPECT_FALSE(g_bPreventExit);
    /* without it the wait ends with 7 and the window is asked */
    PostMessageA(m_hWnd, WM_QUERYENDSESSION, 0, 0);
    EXPECT_EQ(7u, fnCreateProcess(strCmd.c_str(), 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    EXPECT_EQ(1, s_nQueryEnd);
    EXPECT_TRUE(fnCloseRunningExec((m_strHome + "\\WHO.EXE").c_str(), TRUE));
    /* a quit ends the wait and is still there for the main loop */
    PostQuitMessage(5);
    EXPECT_EQ(7u, fnCreateProcess(strCmd.c_str(), 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(5u, msg.wParam);
    EXPECT_TRUE(fnCloseRunningExec((m_strHome + "\\WHO.EXE").c_str(), TRUE));
}

TEST_F(LaunchTest, AlsoCheckForKeepsRefusingTheEndOfSession)
{
    ASSERT_TRUE(fnCopyHolder(m_strHome + "\\LAUNCHER.EXE"));
    ASSERT_TRUE(fnCopyHolder(m_strHome + "\\ALSO.EXE"));
    HolderStruct also;
    also.strLog = m_strDir + "\\also.log";
    ASSERT_TRUE(also.Start(m_strHome + "\\ALSO.EXE", "-life=3"));
    s_bSample = true;
    SetTimer(m_hWnd, 1, 200, NULL);
    EXPECT_EQ(1u, fnExecProgram(NULL, "LAUNCHER.EXE -life=0", "ALSO.EXE", 1, TRUE, TRUE, FALSE, FALSE));
    KillTimer(m_hWnd, 1);
    s_bSample = false;
    EXPECT_FALSE(also.Running());
    /* after the launcher had gone, while the other program still ran, the end of session stayed refused */
    bool bSeen = false;
    for (const auto &s : s_samples) {
        if (!s.first) {
            bSeen = true;
            EXPECT_TRUE(s.second);
        }
    }
    EXPECT_TRUE(bSeen);
    EXPECT_FALSE(g_bPreventExit);
}

TEST_F(LaunchTest, ErrorModesTellTheUser)
{
    const std::string strCaption = g_szMsgTitle;
    {
        /* not found is not serious: an information box and 0 */
        BoxWatchStruct box;
        box.Start(strCaption, IDOK);
        EXPECT_EQ(0u, fnCreateProcess("NOPE.EXE", 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_STOP, TRUE));
        box.Stop();
        EXPECT_TRUE(box.bFound);
        EXPECT_NE(std::string::npos, box.strText.find("Could not execute NOPE.EXE.\nFile not found.")) << box.strText;
        EXPECT_EQ(std::string::npos, box.strText.find("Cannot continue"));
    }
    {
        /* a program another process holds without sharing stops the run */
        std::string strExe = m_strHome + "\\HELD.EXE";
        ASSERT_TRUE(fnCopyHolder(strExe));
        HANDLE hHeld = CreateFileA(strExe.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
        BoxWatchStruct box;
        box.Start(strCaption, IDOK);
        EXPECT_EQ(2u, fnCreateProcess(strExe.c_str(), 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_STOP, TRUE));
        box.Stop();
        CloseHandle(hHeld);
        EXPECT_NE(std::string::npos, box.strText.find("Cannot continue with installation.")) << box.strText;
    }
    for (int nPress : {IDNO, IDYES}) {
        BoxWatchStruct box;
        box.Start(strCaption, nPress);
        UINT uRC = fnCreateProcess("NOPE.EXE", 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_ASK, TRUE);
        box.Stop();
        EXPECT_EQ(nPress == IDNO ? 7u : 0u, uRC);
        EXPECT_NE(std::string::npos, box.strText.find("Continue with installation?"));
    }
    /* silent mode, ExitOnExecError and a quiet run show nothing */
    BoxWatchStruct none;
    none.Start(strCaption, IDOK);
    EXPECT_EQ(0u, fnCreateProcess("NOPE.EXE", 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_SILENT, TRUE));
    g_bExitOnExecError = TRUE;
    EXPECT_EQ(2u, fnCreateProcess("NOPE.EXE", 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_ASK, TRUE));
    g_bExitOnExecError = FALSE;
    g_bQuiet = TRUE;
    EXPECT_EQ(0u, fnCreateProcess("NOPE.EXE", 1, LAUNCH_WAIT, FALSE, FALSE, LAUNCHERR_ASK, TRUE));
    none.Stop();
    EXPECT_FALSE(none.bFound);
}

/* What the fake logon launcher was given, and how it answers. */
struct LogonCallStruct {
    std::wstring strUser, strDomain, strPassword, strCmd;
    DWORD dwLogonFlags, dwCreation;
    WORD wShow;
};
std::vector<LogonCallStruct> s_calls;
DWORD s_dwFail;  /* 0: start the program (as this user, for the test) */

BOOL WINAPI fnFakeLogon(LPCWSTR lpUser, LPCWSTR lpDomain, LPCWSTR lpPassword, DWORD dwLogonFlags, LPCWSTR lpApp,
                        LPWSTR lpCmd, DWORD dwCreation, LPVOID lpEnv, LPCWSTR lpDir, LPSTARTUPINFOW lpSi,
                        LPPROCESS_INFORMATION lpPi)
{
    s_calls.push_back({lpUser, lpDomain, lpPassword, lpCmd, dwLogonFlags, dwCreation, lpSi->wShowWindow});
    if (s_dwFail) {
        SetLastError(s_dwFail);
        return FALSE;
    }
    return CreateProcessW(lpApp, lpCmd, NULL, NULL, FALSE, 0, lpEnv, lpDir, lpSi, lpPi);
}

TEST_F(LaunchTest, LogonLauncherTriesOnceAndNeverFallsBack)
{
    ASSERT_TRUE(fnCopyHolder(m_strHome + "\\WHO.EXE"));
    m_sys.pfnFindLogon = [](HMODULE *lph) -> CreateProcessWithLogonWProc {
        *lph = NULL;
        return fnFakeLogon;
    };
    g_lpProcessSys = &m_sys;
    s_calls.clear();
    s_dwFail = 1326;  /* wrong password */
    EXPECT_EQ(0u, fnCreateProcessWithLogon("J\xfcrgen", "CORP", "s3cret!", "WHO.EXE", SW_SHOWNOACTIVATE, TRUE, FALSE,
                                           FALSE, TRUE, LAUNCHERR_SILENT));
    ASSERT_EQ(1u, s_calls.size());
    EXPECT_EQ((DWORD)LOGON_NETCREDENTIALS_ONLY, s_calls[0].dwLogonFlags);
    EXPECT_EQ((DWORD)(CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_DEFAULT_ERROR_MODE), s_calls[0].dwCreation);
    EXPECT_EQ(SW_SHOWNOACTIVATE, s_calls[0].wShow);
    EXPECT_EQ(L"CORP", s_calls[0].strDomain);
    EXPECT_EQ(L"s3cret!", s_calls[0].strPassword);
    EXPECT_EQ(L"WHO.EXE", s_calls[0].strCmd);
    if (GetACP() == 1252) {
        EXPECT_EQ(L"J\u00fcrgen", s_calls[0].strUser);
    }
    /* nothing was started under the current account, and the password is in no log */
    Sleep(500);
    EXPECT_FALSE(fnTestForRunningExec("WHO.EXE"));
    EXPECT_EQ(std::string::npos, Debug().find("s3cret!"));

    /* only a missing program moves on to the next folder */
    s_calls.clear();
    s_dwFail = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(0u, fnCreateProcessWithLogon("u", "", "p", "sub\\NONE.EXE", 1, TRUE, FALSE, FALSE, FALSE,
                                           LAUNCHERR_SILENT));
    EXPECT_EQ(4u, s_calls.size());
    s_calls.clear();
    EXPECT_EQ(0u, fnCreateProcessWithLogon("u", "", "p", "Q:\\NONE.EXE", 1, TRUE, FALSE, FALSE, FALSE,
                                           LAUNCHERR_SILENT));
    EXPECT_EQ(1u, s_calls.size());

    /* a start that works is waited for */
    s_calls.clear();
    s_dwFail = 0;
    EXPECT_EQ(1u, fnCreateProcessWithLogon("u", "", "p", ("WHO.EXE -life=0 " + LogArg("as.log")).c_str(), 1, TRUE,
                                           FALSE, FALSE, FALSE, LAUNCHERR_SILENT));
    ASSERT_FALSE(s_calls.empty());
    EXPECT_EQ(0u, s_calls.back().dwLogonFlags);
    EXPECT_NE(std::string::npos, Log("as.log").find("end 3"));

    /* without the function nothing runs */
    s_calls.clear();
    m_sys.pfnFindLogon = [](HMODULE *lph) -> CreateProcessWithLogonWProc {
        *lph = NULL;
        return NULL;
    };
    EXPECT_EQ(0u, fnCreateProcessWithLogon("u", "", "p", "WHO.EXE", 1, TRUE, FALSE, FALSE, FALSE, LAUNCHERR_SILENT));
    EXPECT_TRUE(s_calls.empty());

    /* the system's own launcher with an account that does not exist: reported, not run */
    g_lpProcessSys = &g_realProcessSys;
    EXPECT_EQ(0u, fnCreateProcessWithLogon("tgnosuchuser", "", "x", "WHO.EXE", 1, TRUE, FALSE, FALSE, FALSE,
                                           LAUNCHERR_SILENT));
    Sleep(500);
    EXPECT_FALSE(fnTestForRunningExec("WHO.EXE"));
}

}  // namespace
