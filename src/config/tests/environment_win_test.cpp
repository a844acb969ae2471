/*
 * config/tests/environment_win_test.cpp -- environment variables in the real
 * registry (test variables of HKEY_CURRENT_USER\Environment, removed in
 * TearDown), the program's own environment, the one notice to running
 * programs, and the "[SetEnvironment]" section with its questions answered
 * through the configuration sections' question pointer.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "common/records.h"
#include "common/runstate.h"
#include "config/cfgask.h"
#include "config/environment.h"
#include "driver/handlers.h"
#include "script/sysinfo_win.h"

namespace {

const char *const kVars[] = {"TGTEST_PATH", "TGTEST_PLAIN", "TGTEST_DWORD"};

std::vector<UINT> s_asked;
int s_nAnswer = IDYES;

int fnRecordAsk(UINT uId, UINT, const char *, UINT)
{
    s_asked.push_back(uId);
    return s_nAnswer;
}

class EnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnResetRunState();
        fnInstallMachineLookup();
        for (const char *lpszVar : kVars) {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, ENV_USER_KEY, lpszVar);
            SetEnvironmentVariableA(lpszVar, NULL);
        }
        s_asked.clear();
        s_nAnswer = IDYES;
        g_pfnCfgAsk = fnRecordAsk;
    }
    void TearDown() override
    {
        for (const char *lpszVar : kVars) {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, ENV_USER_KEY, lpszVar);
            SetEnvironmentVariableA(lpszVar, NULL);
        }
        g_pfnCfgAsk = m_pfnSaved;
        g_lpMachine = &g_machineNone;
    }
    void Put(const char *lpszName, DWORD dwType, const std::string &str)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, ENV_USER_KEY, lpszName, dwType, str.c_str(),
                                                 (DWORD)str.size() + 1));
    }
    /* The stored text and type; "(none)" when the value is missing. */
    std::string Get(const char *lpszName, DWORD *lpdwType = NULL)
    {
        std::vector<char> buf(70000);
        DWORD cb = (DWORD)buf.size(), dwType = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, ENV_USER_KEY, lpszName, RRF_RT_ANY | RRF_NOEXPAND, &dwType, buf.data(),
                         &cb) != ERROR_SUCCESS)
            return "(none)";
        if (lpdwType)
            *lpdwType = dwType;
        return std::string(buf.data());
    }
    std::string Process(const char *lpszName)
    {
        std::vector<char> buf(70000);
        DWORD cch = GetEnvironmentVariableA(lpszName, buf.data(), (DWORD)buf.size());
        return cch ? std::string(buf.data()) : "(unset)";
    }
    CfgAskProc m_pfnSaved = g_pfnCfgAsk;
};

TEST_F(EnvironmentTest, LongExpandableListKeepsTypeAndReferences)
{
    /* more than 1,200 characters, with references the system expands */
    std::string strPath = "%SystemRoot%\\system32;%SystemRoot%";
    for (int i = 0; strPath.size() < 1228; i++)
        strPath += ";C:\\Program Files\\Vendor" + std::to_string(i) + "\\bin";
    Put("TGTEST_PATH", REG_EXPAND_SZ, strPath);
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PATH", "D:\\Tools", "E", TRUE, TRUE));
    DWORD dwType = 0;
    EXPECT_EQ(strPath + ";D:\\Tools", Get("TGTEST_PATH", &dwType));
    EXPECT_EQ((DWORD)REG_EXPAND_SZ, dwType);
    /* the element goes again, and nothing else moves; a second removal changes nothing */
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PATH", "d:\\tools", "D", TRUE, TRUE));
    EXPECT_EQ(strPath, Get("TGTEST_PATH", &dwType));
    EXPECT_EQ((DWORD)REG_EXPAND_SZ, dwType);
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PATH", "D:\\Tools", "D", TRUE, TRUE));
    EXPECT_EQ(strPath, Get("TGTEST_PATH"));
    /* the expanded form of a stored reference names the same element */
    char szSysDir[MAX_PATH];
    GetSystemDirectoryA(szSysDir, sizeof(szSysDir));
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PATH", szSysDir, "N", TRUE, TRUE));
    EXPECT_EQ(strPath, Get("TGTEST_PATH"));
}

TEST_F(EnvironmentTest, NewPlainAndRefusedValues)
{
    /* a new variable is plain text; S keeps it, D removes it, D again is no failure */
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PLAIN", "%TEMP%\\x", "N", FALSE, TRUE));
    DWORD dwType = 0;
    EXPECT_EQ("%TEMP%\\x", Get("TGTEST_PLAIN", &dwType));
    EXPECT_EQ((DWORD)REG_SZ, dwType);
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PLAIN", "other", "S", FALSE, TRUE));
    EXPECT_EQ("%TEMP%\\x", Get("TGTEST_PLAIN"));
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PLAIN", "", "D", FALSE, TRUE));
    EXPECT_EQ("(none)", Get("TGTEST_PLAIN"));
    EXPECT_TRUE(fnSetRegEnvironment("TGTEST_PLAIN", "x", "D", FALSE, TRUE));
    EXPECT_EQ("(none)", Get("TGTEST_PLAIN"));

    /* a value that is no text, and a result past 32,767 characters, fail and stay as they are */
    DWORD dwData = 7;
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(HKEY_CURRENT_USER, ENV_USER_KEY, "TGTEST_DWORD", REG_DWORD, &dwData, sizeof(dwData)));
    EXPECT_FALSE(fnSetRegEnvironment("TGTEST_DWORD", "x", "N", FALSE, TRUE));
    EXPECT_EQ((DWORD)REG_DWORD, (Get("TGTEST_DWORD", &dwType), dwType));
    std::string strFull(32760, 'x');
    Put("TGTEST_PATH", REG_SZ, strFull);
    EXPECT_FALSE(fnSetRegEnvironment("TGTEST_PATH", "D:\\Tools", "E", TRUE, TRUE));
    EXPECT_EQ(strFull, Get("TGTEST_PATH"));
}

TEST_F(EnvironmentTest, ProgramEnvironmentFollows)
{
    /* the program's value is machine part + user part: the user edit is applied to the whole */
    SetEnvironmentVariableA("TGTEST_PATH", "C:\\Machine;C:\\User");
    Put("TGTEST_PATH", REG_SZ, "C:\\User");
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PATH", "C:\\New", "E", TRUE, TRUE));
    EXPECT_EQ("C:\\User;C:\\New", Get("TGTEST_PATH"));
    EXPECT_EQ("C:\\Machine;C:\\User;C:\\New", Process("TGTEST_PATH"));
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PATH", "C:\\User", "D", TRUE, TRUE));
    EXPECT_EQ("C:\\Machine;C:\\New", Process("TGTEST_PATH"));

    /* a plain variable is set expanded when its type says so, and removed for real */
    Put("TGTEST_PLAIN", REG_EXPAND_SZ, "old");
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PLAIN", "%WINDIR%\\x", "N", FALSE, TRUE));
    char szWin[MAX_PATH];
    GetEnvironmentVariableA("WINDIR", szWin, sizeof(szWin));
    EXPECT_EQ(std::string(szWin) + "\\x", Process("TGTEST_PLAIN"));
    ASSERT_TRUE(fnSetRegEnvironment("TGTEST_PLAIN", "", "D", FALSE, TRUE));
    EXPECT_EQ(0u, GetEnvironmentVariableA("TGTEST_PLAIN", szWin, sizeof(szWin)));
    EXPECT_EQ((DWORD)ERROR_ENVVAR_NOT_FOUND, GetLastError());
}

/* Counts WM_SETTINGCHANGE "Environment" that a wide window of another thread receives. */
LONG s_nSettingChanges;

LRESULT CALLBACK fnListenProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_SETTINGCHANGE && lParam && lstrcmpW((const wchar_t *)lParam, L"Environment") == 0)
        InterlockedIncrement(&s_nSettingChanges);
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

TEST_F(EnvironmentTest, SectionTellsRunningProgramsOnceAndAsks)
{
    s_nSettingChanges = 0;
    HANDLE hReady = CreateEventA(NULL, TRUE, FALSE, NULL);
    DWORD dwThread = 0;
    std::thread listener([&]() {
        dwThread = GetCurrentThreadId();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = fnListenProc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = L"TgEnvListen";
        RegisterClassW(&wc);
        HWND hWnd = CreateWindowW(L"TgEnvListen", L"", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
        SetEvent(hReady);
        MSG msg;
        while (GetMessageW(&msg, NULL, 0, 0) > 0)
            DispatchMessageW(&msg);
        DestroyWindow(hWnd);
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hReady, 20000));
    const char szScript[] = "[SetEnvironment]\r\n"
                            "=,TGTEST_PATH,C:\\A,E,Y\r\n"
                            "=,TGTEST_PATH,C:\\B,B,Y\r\n"
                            "x=y,TGTEST_PLAIN,skipped\r\n"
                            "=,TGTEST_PLAIN,plain\r\n"
                            "=,TGTEST_DWORD,fails\r\n"
                            "=,TGTEST_PLAIN,after,N\r\n";
    DWORD dwData = 1;
    RegSetKeyValueA(HKEY_CURRENT_USER, ENV_USER_KEY, "TGTEST_DWORD", REG_DWORD, &dwData, sizeof(dwData));
    EXPECT_EQ((UINT)SECT_CONTINUE, fnReadSetEnvironment(NULL, szScript, "[SetEnvironment]"));
    EXPECT_EQ("C:\\B;C:\\A", Get("TGTEST_PATH"));
    EXPECT_EQ("after", Get("TGTEST_PLAIN"));
    EXPECT_EQ(std::vector<UINT>({1161}), s_asked);
    PostThreadMessageW(dwThread, WM_QUIT, 0, 0);
    listener.join();
    CloseHandle(hReady);
    EXPECT_EQ(1, s_nSettingChanges);

    /* No to 1161 ends the section with status 0; a quiet line asks nothing and goes on */
    s_asked.clear();
    s_nAnswer = IDNO;
    EXPECT_EQ((UINT)SECT_ERROR,
              fnReadSetEnvironment(NULL, "[SetEnvironment]\r\n=,TGTEST_DWORD,x\r\n=,TGTEST_PLAIN,late\r\n",
                                   "[SetEnvironment]"));
    EXPECT_EQ("after", Get("TGTEST_PLAIN"));
    EXPECT_EQ((UINT)SECT_CONTINUE,
              fnReadSetEnvironment(NULL, "[SetEnvironment]\r\n=,TGTEST_DWORD,x,N,N,Y\r\n=,TGTEST_PLAIN,late\r\n",
                                   "[SetEnvironment]"));
    EXPECT_EQ("late", Get("TGTEST_PLAIN"));
    EXPECT_EQ(std::vector<UINT>({1161}), s_asked);

    /* a missing name asks 1044 (not in a quiet run) and fails the section */
    s_asked.clear();
    EXPECT_EQ((UINT)SECT_ERROR, fnReadSetEnvironment(NULL, "[SetEnvironment]\r\n=\r\n", "[SetEnvironment]"));
    EXPECT_EQ(std::vector<UINT>({1044}), s_asked);
    g_bQuiet = TRUE;
    EXPECT_EQ((UINT)SECT_ERROR, fnReadSetEnvironment(NULL, "[SetEnvironment]\r\n=\r\n", "[SetEnvironment]"));
    EXPECT_EQ(1u, s_asked.size());
}

}  // namespace
