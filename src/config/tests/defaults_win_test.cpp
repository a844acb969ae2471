/*
 * config/tests/defaults_win_test.cpp -- "[ReadDefaults]" filling the default
 * slots from an INI file (profile functions) and a batch file (line rules),
 * in a scratch folder below the temporary folder.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>

#include <string>

#include "common/records.h"
#include "common/runstate.h"
#include "driver/handlers.h"
#include "install/tests/filetest.h"
#include "script/optstore.h"
#include "script/sysinfo_win.h"

namespace {

class DefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnResetRunState();
        fnResetOptStore();
        fnInstallMachineLookup();
        char szTemp[MAX_PATH];
        GetTempPathA(sizeof(szTemp), szTemp);
        m_strDir = std::string(szTemp) + "tgdefaults";
        CreateDirectoryA(m_strDir.c_str(), NULL);
        Write("app.ini", "[App]\r\nName=Tallgrid\r\nEmpty=\r\nTrap=A_TEST_STRING\r\nLong=" + std::string(200, 'L') +
                             "\r\nN1=1\r\nN2=2\r\nN3=3\r\n");
        Write("auto.bat", "@ECHO OFF\r\nSET TEMPDIR=C:\\WRONG\r\nSET TEMP=D:\\TMP\r\n");
    }
    void TearDown() override
    {
        filetest::fnRemoveTree(m_strDir);
        g_lpMachine = &g_machineNone;
    }
    void Write(const char *lpszName, const std::string &str)
    {
        ASSERT_TRUE(filetest::fnWrite(m_strDir + "\\" + lpszName, str));
    }
    UINT Run(const std::string &strBody)
    {
        std::string strScript = "[ReadDefaults]\r\n" + strBody;
        size_t nPos;
        while ((nPos = strScript.find("%DIR%")) != std::string::npos)
            strScript.replace(nPos, 5, m_strDir);
        return fnReadIniFiles(NULL, strScript.c_str(), "[ReadDefaults]");
    }
    std::string m_strDir;
};

TEST_F(DefaultsTest, FillsSlotsWithValuesOrDefaults)
{
    for (int i = 0; i < 10; i++)
        snprintf(g_szDefaultSetting[i], sizeof(g_szDefaultSetting[i]), "old%d", i);
    EXPECT_EQ((UINT)SECT_CONTINUE, Run("=,%DIR%\\app.ini,App,Name\r\n"
                                        "=,%DIR%\\app.ini,App,Empty,I,,fallback\r\n"
                                        "=,%DIR%\\app.ini,App,Trap,I,,fallback\r\n"
                                        "=,%DIR%\\app.ini,App,Long\r\n"
                                        "=,%DIR%\\auto.bat,,SET TEMP,C\r\n"
                                        "=,%DIR%\\missing.ini,App,Name,I,,none\r\n"));
    EXPECT_STREQ("Tallgrid", g_szDefaultSetting[0]);
    EXPECT_STREQ("fallback", g_szDefaultSetting[1]);
    EXPECT_STREQ("fallback", g_szDefaultSetting[2]);
    EXPECT_EQ(std::string(127, 'L'), g_szDefaultSetting[3]);
    EXPECT_STREQ("D:\\TMP", g_szDefaultSetting[4]);
    EXPECT_STREQ("none", g_szDefaultSetting[5]);
    /* slots the section does not reach keep what they held */
    EXPECT_STREQ("old6", g_szDefaultSetting[6]);
}

TEST_F(DefaultsTest, FailedTestsAndTheTenSlotLimit)
{
    /* a failed test leaves its slot empty, unless SkipIfTestFails lets the next line take it */
    EXPECT_EQ((UINT)SECT_CONTINUE, Run("a=b,%DIR%\\app.ini,App,Name\r\n"
                                        "=,%DIR%\\app.ini,App,N1\r\n"
                                        "SkipIfTestFails=Y\r\n"
                                        "a=b,%DIR%\\app.ini,App,Name\r\n"
                                        "=,%DIR%\\app.ini,App,N2\r\n"));
    EXPECT_STREQ("", g_szDefaultSetting[0]);
    EXPECT_STREQ("1", g_szDefaultSetting[1]);
    EXPECT_STREQ("2", g_szDefaultSetting[2]);
    /* twelve lines fill slots 0 to 9 only */
    std::string strBody;
    for (int i = 0; i < 12; i++)
        strBody += "=,%DIR%\\app.ini,App,N" + std::to_string(i % 3 + 1) + "\r\n";
    g_szDefaultSetting[9][0] = '\0';
    Run(strBody);
    EXPECT_STREQ("1", g_szDefaultSetting[9]);
}

}  // namespace
