/*
 * commands/tests/commands_win_test.cpp -- the command interpreter on
 * Windows: the section result and where a section ends, file commands and
 * the values stored for later fields, disk space against the system's own
 * answer, window commands on windows of this test, the window wait, and
 * MapDrive's calls through a recording network table.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "commands/commands_win.h"
#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "driver/handlers.h"
#include "driver/winstate.h"
#include "process/launchwait.h"
#include "script/optstore.h"
#include "script/sysinfo_win.h"

namespace {

std::string fnScratch(const char *lpszName)
{
    char sz[MAX_PATH];
    GetTempPathA(sizeof(sz), sz);
    return std::string(sz) + lpszName;
}

UINT fnRun(const std::string &strBody)
{
    std::string strSection = "[Command]\r\n" + strBody;
    return fnReadCommand(NULL, strSection.c_str(), "[Command]");
}

class CommandsTest : public ::testing::Test {
  protected:
    std::string strDir;
    void SetUp() override
    {
        fnResetRunState();
        fnResetOptStore();
        fnInstallMachineLookup();
        g_bQuiet = TRUE;
        strDir = fnScratch("tgcmdtest");
        CreateDirectoryA(strDir.c_str(), NULL);
    }
    void TearDown() override
    {
        std::string strCmd = "cmd /c rd /s /q \"" + strDir + "\"";
        system(strCmd.c_str());
        g_bQuiet = FALSE;
    }
};

TEST_F(CommandsTest, SectionResultAndFileCommands)
{
    std::string a = strDir + "\\a.txt", b = strDir + "\\b.txt", c = strDir + "\\sub\\c.txt";
    EXPECT_EQ(1u, fnRun("WriteLineToFile=" + a + ",hello\r\nCopyFile=" + a + "," + c + "\r\nRenameFile=" + c + "," + b +
                        "\r\nGetFolderSize=" + strDir + "\r\n"));
    EXPECT_EQ(GetFileAttributesA(c.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(b.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_STREQ("14", g_szCmdResult[0]);  /* two files of "hello\r\n" */
    /* the last result-setting command counts; an unknown command ends the section with it */
    EXPECT_EQ(0u, fnRun("DeleteFile=" + strDir + "\\missing.txt\r\n"));
    EXPECT_EQ(1u, fnRun("DeleteFile=" + strDir + "\\missing.txt\r\nCreateFile=" + a + "\r\n"));
    EXPECT_EQ(0u, fnRun("CopyFile=" + strDir + "\\none.txt," + a + "\r\nNoSuchCommand=1\r\nCreateFile=" + a + "\r\n"));
    EXPECT_EQ(1u, fnRun("Reboot\r\nDeleteFile=" + strDir + "\\missing.txt\r\n"));  /* a keyless line ends it */
    /* a copy whose source is named by a missing value never runs */
    EXPECT_EQ(1u, fnRun("CopyFile=@D1\\a.txt," + a + "\r\n"));
    EXPECT_EQ(1u, fnRun("ExitNow\r\nDeleteFile=" + a + "\r\n"));
    EXPECT_TRUE(g_bStopProcessing);
    EXPECT_NE(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CommandsTest, StoredValues)
{
    char szWin[MAX_PATH];
    GetWindowsDirectoryA(szWin, sizeof(szWin));
    std::string strRoot = std::string(szWin).substr(0, 3);
    EXPECT_EQ(1u, fnRun("GetFreeSpace=" + strRoot + "\r\nGetTotalSpace=" + strRoot + "\r\nGetUsedSpace=Q:\\\r\n"
                        "GetFileVersion=" + strDir + "\\none.dll\r\nGetFolderSize=" + strRoot.substr(0, 2) + "\r\n"));
    ULARGE_INTEGER avail, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA(strRoot.c_str(), &avail, &total, &free));
    ULONGLONG ullFree = _strtoui64(g_szCmdResult[0], NULL, 10);
    /* the disk is in use by other programs: the two looks agree to within a gigabyte */
    EXPECT_LT(ullFree > free.QuadPart ? ullFree - free.QuadPart : free.QuadPart - ullFree, 1ull << 30);
    EXPECT_EQ(std::to_string(total.QuadPart), g_szCmdResult[1]);
    EXPECT_STREQ("0", g_szCmdResult[2]);  /* a drive that is not there stores 0, not garbage */
    EXPECT_STREQ("NF", g_szCmdResult[3]); /* the version layer's "not found" still takes its slot */
    EXPECT_NE(0ull, _strtoui64(g_szCmdResult[4], NULL, 10));  /* a bare drive gives its used space */
    EXPECT_EQ(5u, g_uCmdResult);
}

LRESULT CALLBACK fnTestWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND fnMakeWindow(const char *lpszTitle, HWND hParent = NULL)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = fnTestWndProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TgCmdTestWindow";
    RegisterClassA(&wc);
    return CreateWindowExA(0, hParent ? "STATIC" : "TgCmdTestWindow", lpszTitle,
                           hParent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, hParent, NULL,
                           GetModuleHandleA(NULL), NULL);
}

TEST_F(CommandsTest, WindowCommands)
{
    HWND hMain = fnMakeWindow("Tg Main Window");
    HWND hTop = fnMakeWindow("Tg Setup Wizard - Step 1");
    HWND hOwner = fnMakeWindow("Tg Other");
    HWND hChild = fnMakeWindow("Tg Child Text", hOwner);
    g_hWndMain = hMain;
    /* a prefix of the text, any case; children count; the main window is never closed */
    EXPECT_EQ(hTop, fnFindWindowText("tg setup wizard", 15));
    EXPECT_EQ(hChild, fnFindWindowText("TG CHILD", 8));
    EXPECT_EQ(1u, fnRun("SetTopMostWindow=tg setup\r\nCloseWindow=Tg Main\r\nCloseWindow=Tg Child\r\nCloseWindow=\r\n"));
    EXPECT_TRUE(GetWindowLongA(hTop, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindow(hMain));
    EXPECT_FALSE(IsWindow(hChild));
    EXPECT_EQ(1u, fnRun("SetNotTopMostWindow=Tg Setup\r\nMakeMeTopMostWindow\r\n"));
    EXPECT_FALSE(GetWindowLongA(hTop, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(hMain, GWL_EXSTYLE) & WS_EX_TOPMOST);

    /* waits: found at once; a missing window with keep-trying off ends at once */
    DWORD dwStart = GetTickCount();
    EXPECT_EQ(1u, fnRun("WaitForWindow=Tg Setup Wizard - Step 1\r\nWhileWindow=Tg Never There,Y,N,N\r\n"
                        "WhileWindow=\r\nWaitForWindow=\r\n"));
    EXPECT_LT(GetTickCount() - dwStart, 5000u);
    /* a window of this process never ends its process: the time-out ends the watch */
    WindowWaitStruct wait = {"Tg Setup", FALSE, TRUE, TRUE, 8, FALSE, 300};
    EXPECT_FALSE(fnWatchWindow(&wait));
    g_hWndMain = NULL;
    DestroyWindow(hOwner);
    DestroyWindow(hTop);
    DestroyWindow(hMain);
}

struct MprCallStruct {
    std::vector<std::string> calls;
    DWORD dwAddResult = NO_ERROR;
};
MprCallStruct s_mpr;

std::string fnN(const char *lpsz) { return lpsz ? lpsz : "(none)"; }
DWORD WINAPI fnFakeGetUser(LPCSTR d, LPSTR, LPDWORD)
{
    s_mpr.calls.push_back("getuser " + fnN(d));
    return ERROR_NO_NETWORK;
}
DWORD WINAPI fnFakeCancel(LPCSTR d, DWORD, BOOL bForce)
{
    s_mpr.calls.push_back("cancel " + fnN(d) + " " + std::to_string(bForce));
    return ERROR_NOT_CONNECTED;
}
DWORD WINAPI fnFakeAdd(LPNETRESOURCEA r, LPCSTR p, LPCSTR u, DWORD)
{
    s_mpr.calls.push_back("add " + fnN(r->lpLocalName) + " " + fnN(r->lpRemoteName) + " " + fnN(u) + " " + fnN(p));
    return s_mpr.dwAddResult;
}
void fnFakeSleep(DWORD dw) { s_mpr.calls.push_back("sleep " + std::to_string(dw)); }

TEST_F(CommandsTest, MapDriveCalls)
{
    MprStruct saved = g_mpr;
    g_mpr = {fnFakeGetUser, fnFakeCancel, fnFakeAdd, fnFakeSleep};
    s_mpr = MprCallStruct();
    EXPECT_EQ(1u, fnRun("MapDrive=Q:,\\\\srv\\share\r\n"));
    std::vector<std::string> want = {"getuser Q:", "sleep 1000", "getuser Q:", "sleep 1000", "getuser Q:",
                                     "cancel Q: 0", "add Q: \\\\srv\\share (none) (none)"};
    EXPECT_EQ(want, s_mpr.calls);
    s_mpr = MprCallStruct();
    s_mpr.dwAddResult = ERROR_NO_NETWORK;
    EXPECT_FALSE(fnNetMapDrive("", "\\\\srv\\share", "jdoe", ""));
    want = {"add (none) \\\\srv\\share jdoe ", "sleep 1000", "add (none) \\\\srv\\share jdoe ", "sleep 1000",
            "add (none) \\\\srv\\share jdoe "};
    EXPECT_EQ(want, s_mpr.calls);
    g_mpr = saved;
    /* the real network under this system: reported and logged, never a success */
    g_mpr.pfnSleep = fnFakeSleep;
    EXPECT_FALSE(fnNetMapDrive("Q:", "\\\\tg-no-such-server\\share", "", ""));
    g_mpr = saved;
}

} // namespace
