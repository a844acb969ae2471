/*
 * process/tests/launchback_win_test.cpp -- "[LaunchAndBack]" with the launcher
 * pointed at a recorder: what is started and how, a condition or a missing
 * field that runs nothing, the watch on a window of this test and its
 * time-out, ReadReg into the registry-entry slots, and refresh copies that
 * keep a target whose source is missing.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/handlers.h"
#include "process/launch.h"
#include "script/optstore.h"

namespace {

std::vector<std::string> s_launches;
UINT s_uLaunch = 1;

UINT fnFakeCreate(const char *lpszCmd, int nShow, UINT uWaitMode, BOOL bPrevent, BOOL bNoWindow, UINT uErrorMsg,
                  BOOL bInherit)
{
    s_launches.push_back(std::string(lpszCmd) + " " + std::to_string(nShow) + " " + std::to_string(uWaitMode) + " " +
                         std::to_string(bPrevent) + " " + std::to_string(bNoWindow) + " " +
                         std::to_string(uErrorMsg) + " " + std::to_string(bInherit));
    return s_uLaunch;
}

class LaunchBackTest : public ::testing::Test {
  protected:
    LauncherStruct launcher;
    std::string strDir;
    void SetUp() override
    {
        fnResetRunState();
        fnResetOptStore();
        g_bQuiet = TRUE;
        launcher = g_realLauncher;
        launcher.pfnCreateProcess = fnFakeCreate;
        g_lpLauncher = &launcher;
        s_launches.clear();
        s_uLaunch = 1;
        char sz[MAX_PATH];
        GetTempPathA(sizeof(sz), sz);
        strDir = std::string(sz) + "tglbtest";
        CreateDirectoryA(strDir.c_str(), NULL);
    }
    void TearDown() override
    {
        g_lpLauncher = &g_realLauncher;
        g_bQuiet = FALSE;
        system(("cmd /c rd /s /q \"" + strDir + "\"").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TgLaunchBackTest");
    }
    UINT fnRun(const std::string &strBody)
    {
        std::string strSection = "[LaunchAndBack]\r\n" + strBody;
        return fnReadLaunchAndBack(NULL, strSection.c_str(), "[LaunchAndBack]");
    }
    void fnWrite(const std::string &strPath, const char *lpszText)
    {
        FILE *fp = fopen(strPath.c_str(), "wb");
        ASSERT_TRUE(fp != NULL);
        fputs(lpszText, fp);
        fclose(fp);
    }
    std::string fnRead(const std::string &strPath)
    {
        char sz[256] = "";
        FILE *fp = fopen(strPath.c_str(), "rb");
        if (!fp)
            return "<none>";
        size_t n = fread(sz, 1, sizeof(sz) - 1, fp);
        sz[n] = '\0';
        fclose(fp);
        return sz;
    }
};

TEST_F(LaunchBackTest, WhatIsStarted)
{
    /* the last program counts; a blocking wait, minimised; quiet: failures reported silently */
    EXPECT_EQ(1u, fnRun("Exec=first.exe\r\nExec=tool.exe /q,MIN,YS,30\r\nBeQuiet=Y\r\n"));
    EXPECT_EQ(std::vector<std::string>{"tool.exe /q 2 2 0 0 0 0"}, s_launches);
    s_launches.clear();
    EXPECT_EQ(1u, fnRun("Exec=tool.exe,,X\r\nNotAKeyword=1\r\nExec=never.exe\r\n"));
    EXPECT_EQ(std::vector<std::string>{"tool.exe 1 1 1 0 2 0"}, s_launches);
    /* a program that cannot be started fails the section */
    s_launches.clear();
    s_uLaunch = 0;
    EXPECT_EQ(0u, fnRun("Exec=tool.exe,,N\r\n"));
    EXPECT_EQ(std::vector<std::string>{"tool.exe 1 0 0 0 2 0"}, s_launches);
    /* an end-the-section condition runs nothing read before it; a missing field runs nothing and fails */
    s_launches.clear();
    EXPECT_EQ(1u, fnRun("Exec=tool.exe\r\nSkipIfTrue:A=A\r\n"));
    EXPECT_EQ(0u, fnRun("Exec=tool.exe\r\nWaitForWindow=\r\n"));
    EXPECT_EQ(0u, fnRun("Exec=tool.exe\r\nRefresh=a.txt\r\n"));
    EXPECT_TRUE(s_launches.empty());
}

TEST_F(LaunchBackTest, WatchAndTimeOut)
{
    HWND hWnd = CreateWindowExA(0, "STATIC", "TgLaunchBack Watched", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(hWnd != NULL);
    DWORD dwStart = GetTickCount();
    /* the title as a prefix (field 3 N) among all windows */
    EXPECT_EQ(1u, fnRun("WaitForWindow=tglaunchback,Y,N\r\n"));
    EXPECT_EQ(1u, fnRun("ExitAtWindow=TgLaunchBack Watched\r\n"));
    /* while-window without keep-trying ends at once when the window is not there */
    EXPECT_EQ(1u, fnRun("KeepTrying=N\r\nWhileWindow=TgLaunchBack Absent\r\n"));
    EXPECT_LT(GetTickCount() - dwStart, 3000u);
    DestroyWindow(hWnd);
    /* a window that never comes: the line's time-out ends the watch, and the section fails */
    dwStart = GetTickCount();
    EXPECT_EQ(0u, fnRun("WaitForWindow=TgLaunchBack Never,Y,Y,1\r\nWaitForExec=tg-no-such.exe,N,Y,30\r\n"));
    DWORD dwTook = GetTickCount() - dwStart;
    EXPECT_GE(dwTook, 900u);
    EXPECT_LT(dwTook, 5000u);
}

TEST_F(LaunchBackTest, ReadRegAndRefresh)
{
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\TgLaunchBackTest", &hKey));
    RegSetValueExA(hKey, "Dir", 0, REG_SZ, (const BYTE *)"D:\\Apps\\", 9);
    RegCloseKey(hKey);
    EXPECT_EQ(1u, fnRun("ReadReg=SZ,HKEY_CURRENT_USER\\Software\\TgLaunchBackTest\\Dir\r\n"));
    EXPECT_STREQ("D:\\Apps", g_szRegEntry);
    EXPECT_STREQ("D:\\Apps", g_szRegEntrySlot[1]);
    EXPECT_EQ(0u, fnRun("ReadReg=SZ,HKEY_CURRENT_USER\\Software\\TgLaunchBackTest\\None\r\n"));
    EXPECT_STREQ("D:\\Apps", g_szRegEntry);

    /* a bare source name comes from the run's source folder; a missing source keeps its target */
    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), strDir.c_str());
    fnWrite(strDir + "\\new.txt", "new");
    fnWrite(strDir + "\\keep.txt", "old");
    fnWrite(strDir + "\\target.txt", "old");
    EXPECT_EQ(0u, fnRun("Refresh=new.txt," + strDir + "\\target.txt\r\nRefresh=" + strDir + "\\missing.txt," +
                        strDir + "\\keep.txt\r\n"));
    EXPECT_EQ("new", fnRead(strDir + "\\target.txt"));
    EXPECT_EQ("old", fnRead(strDir + "\\keep.txt"));
}

}  // namespace
