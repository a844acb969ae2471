/*
 * script/tests/expand_win_test.cpp -- options that read the machine, expanded
 * against the real lookups under Windows: folders, names, environment, short
 * and long paths, adapters, hardware values, SIDs, and the inline functions
 * that test files and their versions.
 */
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "script/expand.h"
#include "script/expand_win.h"
#include "script/optstore.h"
#include "script/sysinfo_win.h"

namespace {

std::string fnX(const std::string &s, int *lpnRC = NULL)
{
    char sz[CCH_EXPANDED];
    fnCopyBounded(sz, sizeof(sz), s.c_str());
    int n = fnExpandOpts(sz, sizeof(sz));
    if (lpnRC)
        *lpnRC = n;
    return sz;
}

std::string fnUpper(std::string s)
{
    for (char &c : s)
        c = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
    return s;
}

MachineLookupStruct s_table;

class ExpandWinTest : public ::testing::Test {
  protected:
    std::string m_sDir;
    void SetUp() override
    {
        fnResetRunState();
        fnResetOptStore();
        GetWindowsDirectoryA(g_szWinDir, sizeof(g_szWinDir));
        GetSystemDirectoryA(g_szSysDir, sizeof(g_szSysDir));
        ASSERT_TRUE(fnGetOSVersionInfo(&g_OSInfo));
        fnInstallMachineLookup();
        /* the program's table plus the lookups of option expansion */
        s_table = *g_lpMachine;
        fnAddExpandLookups(&s_table);
        g_lpMachine = &s_table;
        fnReadRegGlobals();

        char szTemp[MAX_PATH];
        GetTempPathA(sizeof(szTemp), szTemp);
        m_sDir = std::string(szTemp) + "tg expand long folder name";
        fnRemoveDir();
        ASSERT_TRUE(CreateDirectoryA(m_sDir.c_str(), NULL));
    }
    void TearDown() override
    {
        fnRemoveDir();
        g_lpMachine = &g_machineNone;
    }
    void fnRemoveDir() { RemoveDirectoryA(m_sDir.c_str()); }
};

TEST_F(ExpandWinTest, FoldersFromTheSystem)
{
    EXPECT_EQ(g_szWinDir, fnX("@W"));
    EXPECT_EQ(g_szSysDir, fnX("@W2"));
    EXPECT_EQ(std::string(g_szWinDir, 2), fnX("@W3"));
    EXPECT_EQ(g_szSysDir, fnX("@S"));
    ASSERT_NE('\0', g_szProgramFilesDir[0]);
    EXPECT_EQ(g_szProgramFilesDir, fnX("@W5"));

    char szDesktop[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathA(NULL, CSIDL_DESKTOPDIRECTORY, NULL, SHGFP_TYPE_CURRENT, szDesktop))) {
        EXPECT_EQ(fnUpper(szDesktop), fnUpper(fnX("@W8")));
    }
    char szAppData[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, szAppData))) {
        EXPECT_EQ(fnUpper(szAppData), fnUpper(fnX("@W17")));
    }

    /* registry rows give a value or their fall-back, never an empty text or an unexpanded reference */
    for (int n : {7, 28, 29, 30, 32, 35, 37, 44, 45, 46, 47}) {
        SCOPED_TRACE(n);
        int nRC = 0;
        std::string s = fnX("@W" + std::to_string(n), &nRC);
        EXPECT_EQ(1, nRC);
        EXPECT_EQ(std::string::npos, s.find('%')) << s;
    }
    char szTempEnv[MAX_PATH];
    DWORD cch = GetEnvironmentVariableA("USERPROFILE", szTempEnv, sizeof(szTempEnv));
    if (cch && cch < sizeof(szTempEnv)) {
        EXPECT_EQ(szTempEnv, fnX("@W47"));
    }
}

TEST_F(ExpandWinTest, NamesAndEnvironment)
{
    char szUser[256], szComputer[256];
    DWORD cchUser = sizeof(szUser), cchComputer = sizeof(szComputer);
    ASSERT_TRUE(GetUserNameA(szUser, &cchUser));
    ASSERT_TRUE(GetComputerNameA(szComputer, &cchComputer));
    EXPECT_EQ(szUser, fnX("@S3"));
    EXPECT_EQ(szComputer, fnX("@S4"));
    EXPECT_EQ(szUser, fnX("@N0"));
    EXPECT_EQ(szComputer, fnX("@N1"));

    char szPath[CCH_EXPANDED + 1];
    DWORD cchPath = GetEnvironmentVariableA("PATH", szPath, sizeof(szPath));
    ASSERT_GT(cchPath, 0u);
    int nRC = 0;
    if (cchPath < CCH_EXPANDED) {
        EXPECT_EQ(szPath, fnX("@%PATH%", &nRC));
    } else {
        EXPECT_EQ(std::string(szPath, CCH_EXPANDED - 1), fnX("@%PATH%", &nRC)) << "cut at the field's limit";
    }
    EXPECT_EQ(1, nRC);
    EXPECT_EQ("@%TG_NO_SUCH_VARIABLE%", fnX("@%TG_NO_SUCH_VARIABLE%", &nRC));
    EXPECT_EQ(-1, nRC);

    std::string sDomainUser = fnX("@N4", &nRC);
    if (nRC == 1) {
        EXPECT_NE(std::string::npos, sDomainUser.find('\\')) << sDomainUser;
    }
}

TEST_F(ExpandWinTest, ShortAndLongPaths)
{
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), m_sDir.c_str());
    char szShort[MAX_PATH];
    DWORD cch = GetShortPathNameA(m_sDir.c_str(), szShort, sizeof(szShort));
    if (cch == 0 || m_sDir == szShort)
        GTEST_SKIP() << "this file system gives no 8.3 names";
    EXPECT_EQ(szShort, fnX("@~@D"));
    EXPECT_EQ(std::string::npos, fnX("@~@D").find(' '));
    EXPECT_EQ(fnUpper(m_sDir), fnUpper(fnX("@#@~@D"))) << "short, then long again";
    std::string sBars = fnX("@|@~@D");
    EXPECT_EQ(std::string::npos, sBars.find('\\'));
    EXPECT_EQ("x" + m_sDir, fnX("@~x@D")) << "a copied character clears the prefix";

    char szPF[MAX_PATH];
    if (GetShortPathNameA(g_szProgramFilesDir, szPF, sizeof(szPF))) {
        EXPECT_EQ(szPF, fnX("@~@W5"));
    }
}

TEST_F(ExpandWinTest, AdaptersAndHardware)
{
    int nRC = 0;
    std::string sList = fnX("@S6", &nRC);
    ASSERT_FALSE(sList.empty());
    std::string sFirst = sList.substr(0, sList.find(';'));
    EXPECT_EQ(sFirst, fnX("@S61"));
    if (sList != "NA-0.0.0.0") {
        std::string sMac = fnX("@S611");
        EXPECT_EQ(12u, sMac.size()) << sMac;
        EXPECT_EQ(sFirst, sMac + "-" + fnX("@S612"));
        EXPECT_EQ(std::string::npos, fnX("@S613").find('.'));
    }
    EXPECT_EQ("", fnX("@S69", &nRC)) << "fewer than nine adapters";
    EXPECT_EQ(-1, nRC);

    std::string sMem = fnX("@M1", &nRC);
    EXPECT_EQ(1, nRC);
    ASSERT_GT(sMem.size(), 2u);
    EXPECT_EQ("MB", sMem.substr(sMem.size() - 2));
    unsigned long uMB = strtoul(sMem.c_str(), NULL, 10);
    EXPECT_GT(uMB, 1ul);
    EXPECT_EQ(0ul, uMB % 8);

    EXPECT_EQ(g_OSInfo.szWinLabel, fnX("@M0"));
    std::string sClock = fnX("@M3");
    EXPECT_TRUE(sClock == "NA" || (sClock.size() > 3 && sClock.substr(sClock.size() - 3) == "MHz")) << sClock;
    std::string sCpu = fnX("@M4", &nRC);
    EXPECT_EQ(1, nRC);
    EXPECT_NE(' ', sCpu[0]);
    EXPECT_NE(' ', sCpu[sCpu.size() - 1]);
    EXPECT_FALSE(fnX("@M2").empty());
    EXPECT_FALSE(fnX("@S5").empty());
    EXPECT_FALSE(fnX("@V").empty());
}

TEST_F(ExpandWinTest, UserSidAndProfile)
{
    int nRC = 0;
    std::string sSid = fnX("@S7", &nRC);
    if (nRC != 1)
        GTEST_SKIP() << "the account of this session has no SID to look up";
    EXPECT_EQ(0u, sSid.find("S-1-")) << sSid;
    std::string sProfile = fnX("@S8");
    EXPECT_FALSE(sProfile.empty());
}

TEST_F(ExpandWinTest, FileFunctions)
{
    char szExe[MAX_PATH];
    DWORD cch = GetModuleFileNameA(NULL, szExe, sizeof(szExe));
    std::string sDir = std::string(szExe, cch);
    sDir = sDir.substr(0, sDir.find_last_of('\\') + 1);
    std::string sNewer = sDir + "tgver_newer.dll", sNone = sDir + "tgver_none.dll";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(sNewer.c_str()));

    EXPECT_EQ("TRUE", fnX("@_fnFileExist(" + sDir + "tgver_*.dll)"));
    EXPECT_EQ("TRUE", fnX("@_fnFileExist(" + m_sDir + "\\)")) << "a directory, its trailing backslash removed";
    EXPECT_EQ("FALSE", fnX("@_fnFileExist(" + sDir + "nothing_here.dll)"));
    EXPECT_EQ("2.0.0.0", fnX("@_fnGetFileVer(" + sNewer + ",Product)"));
    EXPECT_EQ("TRUE", fnX("@_fnCmpFileVer(" + sNewer + ",1.0.0.0,GE)"));
    EXPECT_EQ("FALSE", fnX("@_fnCmpFileVer(" + sNewer + ",1.0.0.0,LT)"));
    EXPECT_EQ("TRUE", fnX("@_fnCmpFileVer(" + sNone + ",1.0.0.0,NE)"));
    EXPECT_EQ("FALSE", fnX("@_fnCmpFileVer(" + sNone + ",1.0.0.0,GE)"));
}

} // namespace
