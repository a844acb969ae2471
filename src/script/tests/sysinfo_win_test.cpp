/*
 * script/tests/sysinfo_win_test.cpp -- the system facts read from the running
 * system: the version description, WMI, the adapter list, SMBIOS and the
 * start-up folders through the installed machine lookups.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "script/sysinfo_win.h"

namespace {

class SysInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetWindowsDirectoryA(g_szWinDir, sizeof(g_szWinDir));
        fnInstallMachineLookup();
    }
    void TearDown() override { g_lpMachine = &g_machineNone; }
};

TEST_F(SysInfoTest, VersionOfThisSystem)
{
    OSInfoStruct os;
    memset(&os, 0, sizeof(os));
    ASSERT_TRUE(fnGetOSVersionInfo(&os));
    OSVERSIONINFOA vi;
    vi.dwOSVersionInfoSize = sizeof(vi);
    ASSERT_TRUE(GetVersionExA(&vi));
    EXPECT_EQ(vi.dwMajorVersion, os.dwWinMajor);
    EXPECT_EQ(vi.dwMinorVersion, os.dwWinMinor);
    EXPECT_EQ(vi.dwBuildNumber, os.dwWinBuild);
    EXPECT_EQ(1u, os.bWinNT);
    EXPECT_EQ(3u, os.uWinFamily);
    /* this program is 64-bit: the system is 64-bit Windows whatever WOW64 says */
    EXPECT_FALSE(fnIsWow64());
    EXPECT_TRUE(fnIsWindows64());
    EXPECT_EQ(64u, os.uWinBits);
    if (vi.dwMajorVersion == 6) {
        EXPECT_TRUE(os.uWinIndex == 12 || os.uWinIndex == 14 || os.uWinIndex == 16) << os.uWinIndex;
    }
    char szCode[16];
    HMODULE hSelf = GetModuleHandleA(NULL);
    ASSERT_GT(LoadStringA(hSelf, 1300 + os.uWinIndex, szCode, sizeof(szCode)), 0);
    EXPECT_NE('\0', os.szWinLabel[0]);
}

TEST_F(SysInfoTest, WmiQueries)
{
    char szOut[CCH_PATH];
    ASSERT_TRUE(fnQueryWMI("Win32_OperatingSystem", "Caption", NULL, szOut, sizeof(szOut)));
    EXPECT_NE('\0', szOut[0]);
    EXPECT_NE(' ', szOut[0]);
    EXPECT_NE(' ', szOut[strlen(szOut) - 1]);

    /* a number comes back as its decimal text */
    ASSERT_TRUE(fnQueryWMI("Win32_ComputerSystem", "NumberOfProcessors", NULL, szOut, sizeof(szOut)));
    EXPECT_GT(atoi(szOut), 0) << szOut;

    /* a condition narrows the instances */
    char szName[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD cchName = sizeof(szName);
    ASSERT_TRUE(GetComputerNameA(szName, &cchName));
    char szCondition[128];
    fnFormatBounded(szCondition, sizeof(szCondition), "WHERE Name = '%s'", szName);
    ASSERT_TRUE(fnQueryWMI("Win32_ComputerSystem", "Name", szCondition, szOut, sizeof(szOut)));
    EXPECT_STRCASEEQ(szName, szOut);

    /* failures: no such class, no such property, no instance */
    fnCopyBounded(szOut, sizeof(szOut), "junk");
    EXPECT_FALSE(fnQueryWMI("Win32_TgNoSuchClass", "Name", NULL, szOut, sizeof(szOut)));
    EXPECT_STREQ("", szOut);
    EXPECT_FALSE(fnQueryWMI("Win32_OperatingSystem", "TgNoSuchProperty", NULL, szOut, sizeof(szOut)));
    EXPECT_FALSE(fnQueryWMI("Win32_ComputerSystem", "Name", "WHERE Name = 'tg-no-such-host'", szOut, sizeof(szOut)));
    EXPECT_FALSE(fnQueryWMI("Win32_OperatingSystem", "Caption", "WHERE WHERE", szOut, sizeof(szOut)));
}

TEST_F(SysInfoTest, WmiPropertyWithoutText)
{
    /* an array property has no text form */
    char szOut[CCH_PATH];
    if (!fnQueryWMI("Win32_OperatingSystem", "MUILanguages", NULL, szOut, sizeof(szOut)))
        GTEST_SKIP() << "this WMI has no Win32_OperatingSystem.MUILanguages";
    EXPECT_STREQ("NA", szOut);
}

TEST_F(SysInfoTest, WmiThroughTheLookupTable)
{
    char szOut[CCH_PATH];
    EXPECT_TRUE(g_lpMachine->pfnQueryWMI("Win32_OperatingSystem", "Caption", NULL, szOut, sizeof(szOut)));
}

TEST_F(SysInfoTest, AdapterListOfThisSystem)
{
    char szList[1024] = "junk", szMask[32] = "junk", szGateway[32] = "junk";
    int n = fnGetNetAddress(szList, sizeof(szList), szMask, sizeof(szMask), szGateway, sizeof(szGateway));
    ASSERT_GE(n, 0);
    if (n == 0) {
        EXPECT_STREQ("NA-0.0.0.0", szList);
        return;
    }
    /* n entries of 12 upper-case hexadecimal digits, "-" and an address */
    int nEntries = 1;
    for (const char *p = szList; *p; p++)
        nEntries += (*p == ';');
    EXPECT_EQ(n, nEntries) << szList;
    for (int i = 0; i < 12; i++)
        EXPECT_TRUE(strchr("0123456789ABCDEF", szList[i])) << szList;
    EXPECT_EQ('-', szList[12]) << szList;
    EXPECT_NE(';', szList[strlen(szList) - 1]);
}

TEST_F(SysInfoTest, SmbiosFromTheFirmwareTable)
{
    typedef UINT(WINAPI * GetTableProc)(DWORD, DWORD, PVOID, DWORD);
    GetTableProc pfnGetTable = FN_GET_PROC(GetTableProc, GetModuleHandleA("kernel32.dll"), "GetSystemFirmwareTable");
    if (!pfnGetTable)
        GTEST_SKIP() << "GetSystemFirmwareTable is not offered";
    const DWORD dwRsmb = ('R' << 24) | ('S' << 16) | ('M' << 8) | 'B';
    UINT cb = pfnGetTable(dwRsmb, 0, NULL, 0);
    if (cb <= 8)
        GTEST_SKIP() << "no SMBIOS table on this system";
    BYTE *lpRaw = static_cast<BYTE *>(malloc(cb));
    ASSERT_NE(nullptr, lpRaw);
    ASSERT_EQ(cb, pfnGetTable(dwRsmb, 0, lpRaw, cb));
    DWORD cbTable;
    memcpy(&cbTable, lpRaw + 4, 4);
    ASSERT_LE(cbTable, cb - 8);
    /* each selector gives what the walk finds in the table the system hands out */
    for (UINT u : {24u, 25u, 27u, 416u}) {
        SCOPED_TRACE(u);
        char szExpect[CCH_PATH] = "", szOut[CCH_PATH] = "junk";
        BOOL bExpect = fnSmbiosValue(lpRaw + 8, cbTable, u, szExpect, sizeof(szExpect));
        EXPECT_EQ(bExpect, fnReadSMBIOS(szOut, sizeof(szOut), u));
        EXPECT_STREQ(szExpect, szOut);
    }
    free(lpRaw);
    char szOut[8];
    EXPECT_FALSE(fnReadSMBIOS(szOut, sizeof(szOut), 26));
}

TEST_F(SysInfoTest, StartupFolders)
{
    g_szProgramFilesDir[0] = g_szUserProgramsFolder[0] = '\0';
    fnReadRegGlobals();
    char szExpect[CCH_PATH];
    if (!fnGetRegistry(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir", szExpect,
                       sizeof(szExpect)))
        fnCopyBounded(szExpect, sizeof(szExpect), "C:\\Program Files");
    EXPECT_STREQ(szExpect, g_szProgramFilesDir);
    fnGetUserShellFolder("Programs", szExpect, sizeof(szExpect), 1254);
    EXPECT_STREQ(szExpect, g_szUserProgramsFolder);
    EXPECT_NE('\0', g_szUserProgramsFolder[0]);
    EXPECT_EQ(nullptr, strchr(g_szUserProgramsFolder, '%'));
}

TEST_F(SysInfoTest, LookupTableReadsTheRegistryAndEnvironment)
{
    char szOut[CCH_PATH];
    SetEnvironmentVariableA("TGTEST_VAR", "alpha");
    EXPECT_TRUE(g_lpMachine->pfnGetEnv("TGTEST_VAR", szOut, sizeof(szOut)));
    EXPECT_STREQ("alpha", szOut);
    char szSmall[5];
    EXPECT_FALSE(g_lpMachine->pfnGetEnv("TGTEST_VAR", szSmall, sizeof(szSmall)));
    EXPECT_FALSE(g_lpMachine->pfnGetEnv("TGTEST_UNSET_VAR", szOut, sizeof(szOut)));
    EXPECT_TRUE(g_lpMachine->pfnExpandEnv("<%TGTEST_VAR%>", szOut, sizeof(szOut)));
    EXPECT_STREQ("<alpha>", szOut);
    EXPECT_FALSE(g_lpMachine->pfnExpandEnv("<%TGTEST_VAR%>", szSmall, sizeof(szSmall)));
    EXPECT_TRUE(g_lpMachine->pfnReadRegistry(REGROOT_LOCAL_MACHINE,
                                             "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CurrentBuildNumber",
                                             szOut, sizeof(szOut), REGCONV_HEX));
    EXPECT_NE('\0', szOut[0]);
    EXPECT_FALSE(g_lpMachine->pfnReadRegistry(REGROOT_NONE, "SOFTWARE\\x", szOut, sizeof(szOut), REGCONV_HEX));
    EXPECT_EQ(&g_OSInfo, g_lpMachine->pfnGetOSInfo());
    EXPECT_GT(g_lpMachine->pfnGetPhysicalMemory(), 0u);
    EXPECT_TRUE(g_lpMachine->pfnGetComputerName(szOut, sizeof(szOut)));
    EXPECT_EQ(16, g_lpMachine->pfnLoadString(1251, szOut, sizeof(szOut)));
    EXPECT_STREQ("C:\\Program Files", szOut);
}

}  // namespace
