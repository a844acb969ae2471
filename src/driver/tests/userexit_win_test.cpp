/*
 * driver/tests/userexit_win_test.cpp -- the close of a run with the end of
 * the session replaced by a recorder: which questions come in which order,
 * the requests made (never forced), nothing asked after an accepted request,
 * quiet runs that ask nothing, the failure box shown once, the exit program
 * not started after a failed run, and the exit code each end gives. The main
 * window's end-of-session messages: a mere question neither quits nor
 * removes the program; the real end does both, once.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/startup.h"
#include "driver/userexit.h"
#include "driver/winstate.h"
#include "process/launch.h"
#include "process/procsys.h"

namespace {

std::vector<UINT> s_flags;
BOOL s_bAccept = TRUE;
DWORD s_dwReason;
BOOL WINAPI fnFakeExitWindowsEx(UINT uFlags, DWORD dwReason)
{
    s_flags.push_back(uFlags);
    s_dwReason = dwReason;
    return s_bAccept;
}

UINT s_uExitCalls, s_uExitCode;
void WINAPI fnFakeExitProcess(UINT uCode)
{
    s_uExitCalls++;
    s_uExitCode = uCode;
}

std::vector<std::string> s_launched;
UINT s_uLaunchResult = 1;
UINT fnFakeCreateProcess(const char *lpszCmd, int, UINT, BOOL, BOOL, UINT, BOOL)
{
    s_launched.push_back(lpszCmd);
    return s_uLaunchResult;
}

BOOL CALLBACK fnCollectText(HWND hWnd, LPARAM lParam)
{
    char szClass[32], szText[1024];
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    GetWindowTextA(hWnd, szText, sizeof(szText));
    if (lstrcmpiA(szClass, "Static") == 0 && szText[0])
        *(std::string *)lParam += szText;
    return TRUE;
}

/* Answers each box of this process in turn with the next answer (IDOK once they run out), noting its text. */
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<int> answers) : m_answers(answers)
    {
        m_thread = std::thread([this]() {
            HWND hLast = NULL;
            while (!m_bStop) {
                HWND hWnd = FindWindowA("#32770", g_szMsgTitle);
                DWORD dwPid = 0;
                if (hWnd)
                    GetWindowThreadProcessId(hWnd, &dwPid);
                if (!hWnd || hWnd == hLast || dwPid != GetCurrentProcessId() || !IsWindowVisible(hWnd)) {
                    Sleep(30);
                    continue;
                }
                Sleep(100);
                std::string strText;
                EnumChildWindows(hWnd, fnCollectText, (LPARAM)&strText);
                size_t n = m_texts.size();
                int nPress = n < m_answers.size() ? m_answers[n] : IDOK;
                m_texts.push_back(strText);
                hLast = hWnd;
                PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(nPress, BN_CLICKED), (LPARAM)GetDlgItem(hWnd, nPress));
            }
        });
    }
    std::vector<std::string> Finish()
    {
        m_bStop = true;
        m_thread.join();
        return m_texts;
    }

private:
    std::vector<int> m_answers;
    std::vector<std::string> m_texts;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

std::string fnStr(UINT uId)
{
    char sz[512];
    fnLoadStr(uId, sz, sizeof(sz));
    return sz;
}

class UserExitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnResetRunState();
        g_bRunFailed = g_bRunCancelled = FALSE;
        fnResetRunEnd();
        fnLoadStr(1013, g_szMsgTitle, sizeof(g_szMsgTitle));
        m_sys.pfnExitWindowsEx = fnFakeExitWindowsEx;
        g_lpProcessSys = &m_sys;
        m_launcher.pfnCreateProcess = fnFakeCreateProcess;
        g_lpLauncher = &m_launcher;
        s_flags.clear();
        s_launched.clear();
        s_bAccept = TRUE;
        s_uLaunchResult = 1;
        ZeroMemory(&m_rec, sizeof(m_rec));
        m_rec.uQuiet = 1;
        fnCopyBounded(m_rec.szExitMsg, sizeof(m_rec.szExitMsg), "All done.");
    }
    void TearDown() override
    {
        g_lpProcessSys = &g_realProcessSys;
        g_lpLauncher = &g_realLauncher;
        fnResetRunState();
        fnResetRunEnd();
    }
    /* Runs the close with these answers; the texts of the boxes shown, in order. */
    std::vector<std::string> Close(std::vector<int> answers)
    {
        BoxAnswerer answerer(answers);
        fnUserExit(NULL, &m_rec);
        return answerer.Finish();
    }
    ProcessSysStruct m_sys = g_realProcessSys;
    LauncherStruct m_launcher = g_realLauncher;
    UserInputStruct m_rec;
};

TEST_F(UserExitTest, RestartAskedAcceptedRefusedAndDeclined)
{
    /* accepted at once: the closing message, the question, one request, exit 1641 */
    g_uOnExit = 3;
    std::vector<std::string> texts = Close({IDOK, IDYES});
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ("All done.", texts[0]);
    EXPECT_EQ(fnStr(1190), texts[1]);
    ASSERT_EQ(1u, s_flags.size());
    EXPECT_EQ((UINT)EWX_REBOOT, s_flags[0]);
    EXPECT_EQ((DWORD)(SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED),
              s_dwReason);
    EXPECT_EQ(1641, fnRunExitCode());

    /* refused: asked again with 1191, then not made: 3010 */
    fnResetRunEnd();
    s_flags.clear();
    s_bAccept = FALSE;
    texts = Close({IDOK, IDYES, IDYES});
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ(fnStr(1191), texts[2]);
    EXPECT_EQ(2u, s_flags.size());
    EXPECT_EQ(3010, fnRunExitCode());

    /* shutdown declined: no request, 3010 */
    fnResetRunEnd();
    s_flags.clear();
    g_uOnExit = 1;
    texts = Close({IDOK, IDNO});
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(fnStr(1192), texts[1]);
    EXPECT_TRUE(s_flags.empty());
    EXPECT_EQ(3010, fnRunExitCode());

    /* the privilege is on once a request was made */
    s_bAccept = TRUE;
    ASSERT_TRUE(fnExitWindows(1));
    EXPECT_EQ((UINT)EWX_SHUTDOWN, s_flags.back());
    HANDLE hToken;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken));
    LUID luid;
    ASSERT_TRUE(LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &luid));
    BYTE buf[4096];
    DWORD cb = 0;
    ASSERT_TRUE(GetTokenInformation(hToken, TokenPrivileges, buf, sizeof(buf), &cb));
    CloseHandle(hToken);
    TOKEN_PRIVILEGES *lpTp = (TOKEN_PRIVILEGES *)buf;
    BOOL bEnabled = FALSE;
    for (DWORD i = 0; i < lpTp->PrivilegeCount; i++)
        if (lpTp->Privileges[i].Luid.LowPart == luid.LowPart && lpTp->Privileges[i].Luid.HighPart == luid.HighPart)
            bEnabled = (lpTp->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0;
    EXPECT_TRUE(bEnabled);
}

TEST_F(UserExitTest, AcceptedRequestEndsTheQuestionsAndQuietRunsAskNothing)
{
    /* MustRestartAtExit restarts without asking; the action's own question never follows */
    g_bMustRestartAtExit = TRUE;
    g_uOnExit = 5;
    std::vector<std::string> texts = Close({IDOK});
    EXPECT_EQ(1u, texts.size());
    EXPECT_EQ(1u, s_flags.size());

    /* quiet: no box; MustRestartAtExit still restarts, an asking action only records the need */
    fnResetRunEnd();
    s_flags.clear();
    g_bQuiet = TRUE;
    m_rec.uQuiet = 0;
    texts = Close({});
    EXPECT_TRUE(texts.empty());
    EXPECT_EQ(1u, s_flags.size());
    fnResetRunEnd();
    s_flags.clear();
    g_bMustRestartAtExit = FALSE;
    texts = Close({});
    EXPECT_TRUE(texts.empty());
    EXPECT_TRUE(s_flags.empty());
    EXPECT_EQ(3010, fnRunExitCode());

    /* a file waiting for the restart with ShowMustRestartMessage off: nothing asked, 3010 */
    fnResetRunEnd();
    g_bQuiet = FALSE;
    m_rec.uQuiet = 1;
    g_uOnExit = 4;
    g_bShowMustRestartMessage = FALSE;
    texts = Close({IDOK});
    EXPECT_EQ(1u, texts.size());
    EXPECT_TRUE(s_flags.empty());
    EXPECT_EQ(3010, fnRunExitCode());
}

TEST_F(UserExitTest, FailureBoxOnceAndExitProgram)
{
    /* a failed run with ShowErrorMessage: one failure box, no exit program, exit 1 */
    g_bShowErrorMessage = TRUE;
    g_uOnExit = 2;
    fnCopyBounded(m_rec.szExitExec, sizeof(m_rec.szExitExec), "C:\\app\\app.exe");
    m_rec.uFailed = 1;
    g_runEnd.bFailed = TRUE;
    std::vector<std::string> texts = Close({IDOK, IDOK});
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(fnStr(1061), texts[0]);
    EXPECT_TRUE(s_launched.empty());
    EXPECT_EQ(1, fnRunExitCode());

    /* a good run starts it; one that does not start shows only 1231 */
    fnResetRunEnd();
    m_rec.uFailed = 0;
    m_rec.szExitMsg[0] = '\0';
    texts = Close({IDOK});
    ASSERT_EQ(1u, s_launched.size());
    EXPECT_EQ("C:\\app\\app.exe", s_launched[0]);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(fnStr(1059), texts[0]);
    s_uLaunchResult = 0;
    texts = Close({IDOK});
    ASSERT_EQ(1u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("Cannot load C:\\app\\app.exe"));
    EXPECT_EQ(0, fnRunExitCode());
}

TEST(MainWindowEnd, QuestionAloneNeitherQuitsNorRemoves)
{
    fnResetRunState();
    g_hInst = GetModuleHandleA(NULL);
    ASSERT_TRUE(fnRegisterClasses(g_hInst));
    char szTmp[MAX_PATH];
    GetTempPathA(sizeof(szTmp), szTmp);
    fnCopyBounded(g_szTmpPath, sizeof(g_szTmpPath), szTmp);
    g_szTmpPath[strlen(g_szTmpPath) - 1] = '\0';
    LauncherStruct launcher = g_realLauncher;
    launcher.pfnCreateProcess = fnFakeCreateProcess;
    g_lpLauncher = &launcher;
    ProcessSysStruct sys = g_realProcessSys;
    sys.pfnExitProcess = fnFakeExitProcess;
    g_lpProcessSys = &sys;
    s_uExitCalls = 0;
    fnResetRunEnd();
    s_launched.clear();
    s_uLaunchResult = 0;  /* the batch "fails" to start: its files are removed again */
    g_bSelfDestruct = TRUE;
    g_uShowVSWin = 0;
    g_hWndMain = fnCreateMainWindow(g_hInst, SW_HIDE);
    ASSERT_TRUE(g_hWndMain != NULL);
    MSG msg;

    g_bPreventExit = TRUE;
    EXPECT_EQ(0, SendMessageA(g_hWndMain, WM_QUERYENDSESSION, 0, 0));
    g_bPreventExit = FALSE;
    EXPECT_EQ(1, SendMessageA(g_hWndMain, WM_QUERYENDSESSION, 0, 0));
    SendMessageA(g_hWndMain, WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(s_launched.empty());

    EXPECT_EQ(0u, s_uExitCalls);
    /* the session really ends: removal and the end of the process, not again when the window goes;
       the run had not finished, so it failed */
    SendMessageA(g_hWndMain, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(1u, s_uExitCalls);
    EXPECT_EQ(1u, s_uExitCode);
    DestroyWindow(g_hWndMain);
    g_hWndMain = NULL;
    EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    ASSERT_EQ(1u, s_launched.size());
    EXPECT_NE(std::string::npos, s_launched[0].find("_TGDEL.BAT"));
    /* a batch that did not start leaves nothing behind */
    char szBatch[MAX_PATH];
    fnFormatBounded(szBatch, sizeof(szBatch), "%s\\_TGDEL.BAT", g_szTmpPath);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(szBatch));
    EXPECT_EQ(1u, s_uExitCalls);
    g_lpLauncher = &g_realLauncher;
    g_lpProcessSys = &g_realProcessSys;
    fnResetRunState();
}

}  // namespace
