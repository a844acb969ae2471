/*
 * commands/tests/services_win_test.cpp -- the service commands for real on
 * a service made for the test (tgsvc.exe, which takes its time to start and
 * stop): start and stop wait until the state is reached, start types reach
 * the service's configuration, WMI follows, and the wireless-interface
 * switch changes only the interfaces that have its flag.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "commands/commands_win.h"
#include "common/bounded.h"
#include "script/sysinfo_win.h"

namespace {

std::string fnBesideTest(const char *lpszName)
{
    char sz[MAX_PATH];
    GetModuleFileNameA(NULL, sz, sizeof(sz));
    char *p = strrchr(sz, '\\');
    if (p)
        p[1] = '\0';
    return std::string(sz) + lpszName;
}

void fnDeleteService(const char *lpszName)
{
    SC_HANDLE hManager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE hService = hManager ? OpenServiceA(hManager, lpszName, SERVICE_ALL_ACCESS) : NULL;
    if (hService) {
        SERVICE_STATUS ss;
        if (ControlService(hService, SERVICE_CONTROL_STOP, &ss))
            for (int i = 0; i < 50 && QueryServiceStatus(hService, &ss) && ss.dwCurrentState != SERVICE_STOPPED; i++)
                Sleep(100);
        DeleteService(hService);
        CloseServiceHandle(hService);
    }
    if (hManager)
        CloseServiceHandle(hManager);
}

BOOL fnCreateService(const char *lpszName, const std::string &strLog)
{
    fnDeleteService(lpszName);
    std::string strCmd = "\"" + fnBesideTest("tgsvc.exe") + "\" \"" + strLog + "\"";
    SC_HANDLE hManager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (!hManager)
        return FALSE;
    SC_HANDLE hService = CreateServiceA(hManager, lpszName, lpszName, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                        SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, strCmd.c_str(), NULL, NULL, NULL,
                                        NULL, NULL);
    if (hService)
        CloseServiceHandle(hService);
    CloseServiceHandle(hManager);
    return hService != NULL;
}

DWORD fnState(const char *lpszName)
{
    SC_HANDLE hService = fnOpenService(lpszName, SVC_NONE, NULL);
    SERVICE_STATUS ss;
    ZeroMemory(&ss, sizeof(ss));
    if (hService) {
        QueryServiceStatus(hService, &ss);
        CloseServiceHandle(hService);
    }
    return ss.dwCurrentState;
}

DWORD fnStartType(const char *lpszName)
{
    SC_HANDLE hService = fnOpenService(lpszName, SVC_NONE, NULL);
    if (!hService)
        return 0;
    BYTE buf[8192];
    DWORD cb = 0;
    DWORD dw = QueryServiceConfigA(hService, (QUERY_SERVICE_CONFIGA *)buf, sizeof(buf), &cb)
                   ? ((QUERY_SERVICE_CONFIGA *)buf)->dwStartType
                   : 0;
    CloseServiceHandle(hService);
    return dw;
}

std::string fnReadAll(const std::string &strFile)
{
    std::string s;
    FILE *fp = fopen(strFile.c_str(), "rb");
    if (!fp)
        return s;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0)
        s.append(buf, n);
    fclose(fp);
    return s;
}

class ServicesTest : public ::testing::Test {
  protected:
    std::string strLog;
    void SetUp() override
    {
        strLog = fnBesideTest("tgsvc_test.log");
        DeleteFileA(strLog.c_str());
        ASSERT_TRUE(fnCreateService("TgTestSvc", strLog)) << GetLastError();
    }
    void TearDown() override
    {
        fnDeleteService("TgTestSvc");
        DeleteFileA(strLog.c_str());
    }
};

TEST_F(ServicesTest, StartAndStopWaitForTheStateAndWmiFollows)
{
    DWORD dwStart = GetTickCount();
    EXPECT_TRUE(fnStartStopService("tgtestsvc", TRUE));  /* names are not case-sensitive */
    EXPECT_GE(GetTickCount() - dwStart, 1000u);          /* it had to wait through the checkpoints */
    EXPECT_EQ((DWORD)SERVICE_RUNNING, fnState("TgTestSvc"));
    char sz[64];
    EXPECT_TRUE(fnQueryWMI("Win32_Service", "State", "WHERE Name='TgTestSvc'", sz, sizeof(sz)));
    EXPECT_STREQ("Running", sz);
    /* a second start sends nothing: the service saw one start */
    EXPECT_TRUE(fnStartStopService("TgTestSvc", TRUE));
    EXPECT_TRUE(fnStartStopService("TgTestSvc", FALSE));
    EXPECT_EQ((DWORD)SERVICE_STOPPED, fnState("TgTestSvc"));
    EXPECT_TRUE(fnStartStopService("TgTestSvc", FALSE));
    std::string strSeen = fnReadAll(strLog);
    EXPECT_EQ(std::string::npos, strSeen.find("start", strSeen.find("start") + 1)) << strSeen;
    EXPECT_NE(std::string::npos, strSeen.find("stopped")) << strSeen;
    EXPECT_FALSE(fnStartStopService("TgNoSuchSvc", TRUE));
}

TEST_F(ServicesTest, StartTypes)
{
    EXPECT_TRUE(fnChangeServiceStart("TgTestSvc", "Auto"));
    EXPECT_EQ((DWORD)SERVICE_AUTO_START, fnStartType("TgTestSvc"));
    EXPECT_TRUE(fnChangeServiceStart("TgTestSvc", "DISABLED"));
    EXPECT_EQ((DWORD)SERVICE_DISABLED, fnStartType("TgTestSvc"));
    EXPECT_FALSE(fnStartStopService("TgTestSvc", TRUE));  /* a disabled service cannot reach running */
    char sz[64];
    EXPECT_TRUE(fnQueryWMI("Win32_Service", "StartMode", "WHERE Name='TgTestSvc'", sz, sizeof(sz)));
    EXPECT_STREQ("Disabled", sz);
    EXPECT_TRUE(fnChangeServiceStart("TgTestSvc", "Sometimes"));  /* changes nothing, reports success */
    EXPECT_EQ((DWORD)SERVICE_DISABLED, fnStartType("TgTestSvc"));
    EXPECT_TRUE(fnChangeServiceStart("TgTestSvc", "manual"));
    EXPECT_EQ((DWORD)SERVICE_DEMAND_START, fnStartType("TgTestSvc"));
    EXPECT_FALSE(fnChangeServiceStart("TgNoSuchSvc", "AUTO"));
}

#define WZC_KEY "SOFTWARE\\Microsoft\\WZCSVC"

DWORD fnFlags(const char *lpszIface)
{
    std::string strKey = std::string(WZC_KEY "\\Parameters\\Interfaces\\") + lpszIface;
    DWORD dw = 0xDEADBEEF, cb = sizeof(dw);
    RegGetValueA(HKEY_LOCAL_MACHINE, strKey.c_str(), "ControlFlags", RRF_RT_REG_DWORD, NULL, &dw, &cb);
    return dw;
}

TEST(WirelessTest, OnlyInterfacesWithTheFlagChange)
{
    std::string strLog = fnBesideTest("tgsvc_wzc.log");
    DeleteFileA(strLog.c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, WZC_KEY);
    ASSERT_TRUE(fnCreateService("WZCSVC", strLog));
    struct {
        const char *lpszName;
        DWORD dwFlags;
    } ifaces[] = {{"{A}", 0x8012}, {"{B}", 0x12}};
    for (auto &i : ifaces) {
        std::string strKey = std::string(WZC_KEY "\\Parameters\\Interfaces\\") + i.lpszName;
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, strKey.c_str(), "ControlFlags", REG_DWORD,
                                                 &i.dwFlags, sizeof(i.dwFlags)));
    }
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(HKEY_LOCAL_MACHINE, WZC_KEY "\\Parameters\\Interfaces\\{C}", "Other", REG_SZ, "x", 2));
    EXPECT_TRUE(fnStartStopService("WZCSVC", TRUE));

    EXPECT_TRUE(fnEnableMSWiFiConfig(FALSE));
    EXPECT_EQ(0x12u, fnFlags("{A}"));
    EXPECT_EQ(0x12u, fnFlags("{B}"));
    EXPECT_EQ(0xDEADBEEFu, fnFlags("{C}"));
    EXPECT_EQ((DWORD)SERVICE_STOPPED, fnState("WZCSVC"));  /* taken from the service: it stays stopped */
    /* it was stopped before the first change */
    std::string strSeen = fnReadAll(strLog);
    EXPECT_NE(std::string::npos, strSeen.find("stopped"));

    EXPECT_TRUE(fnEnableMSWiFiConfig(TRUE));
    EXPECT_EQ(0x8012u, fnFlags("{A}"));
    EXPECT_EQ(0x8012u, fnFlags("{B}"));
    EXPECT_EQ((DWORD)SERVICE_RUNNING, fnState("WZCSVC"));

    fnDeleteService("WZCSVC");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, WZC_KEY);
    EXPECT_FALSE(fnEnableMSWiFiConfig(TRUE));  /* no service: nothing */
    DeleteFileA(strLog.c_str());
}

} // namespace
