/*
 * driver/tests/cmdfile_win_test.cpp -- the command file written by one start
 * and read by the next: set keys only, switches, keys that empty values.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/cmdfile.h"

namespace {

class CmdFileTest : public ::testing::Test {
protected:
    std::string m_strFile;
    void SetUp() override
    {
        fnResetRunState();
        char sz[MAX_PATH];
        GetTempPathA(sizeof(sz), sz);
        m_strFile = std::string(sz) + "tgcmdfile_test.ini";
        DeleteFileA(m_strFile.c_str());
    }
    void TearDown() override { DeleteFileA(m_strFile.c_str()); }
};

TEST_F(CmdFileTest, WriteThenReadGivesTheSameRecord)
{
    CmdOptionStruct opt;
    memset(&opt, 0, sizeof(opt));
    fnCopyBounded(opt.szIniFile, sizeof(opt.szIniFile), "C:\\Setup\\APP.INF");
    fnCopyBounded(opt.szDestDir, sizeof(opt.szDestDir), "C:\\Program Files\\App");
    fnCopyBounded(opt.szStartupMsg, sizeof(opt.szStartupMsg), "Please wait");
    opt.bQuiet = TRUE;
    opt.bNoPrompt = TRUE;
    ASSERT_TRUE(fnWriteCmdFile(m_strFile.c_str(), &opt));

    char sz[64];
    GetPrivateProfileStringA("START", "SOURCEDIR", "<none>", sz, sizeof(sz), m_strFile.c_str());
    EXPECT_STREQ("<none>", sz);  /* empty texts are not written */
    GetPrivateProfileStringA("START", "BEQUIET", "", sz, sizeof(sz), m_strFile.c_str());
    EXPECT_STREQ("TRUE", sz);
    GetPrivateProfileStringA("START", "TEMPEXEC", "<none>", sz, sizeof(sz), m_strFile.c_str());
    EXPECT_STREQ("<none>", sz);

    CmdOptionStruct back;
    memset(&back, 0, sizeof(back));
    fnCopyBounded(back.szSourceDir, sizeof(back.szSourceDir), "stale");
    ASSERT_TRUE(fnReadCmdFile(m_strFile.c_str(), &back));
    EXPECT_STREQ("C:\\Setup\\APP.INF", back.szIniFile);
    EXPECT_STREQ("C:\\Program Files\\App", back.szDestDir);
    EXPECT_STREQ("", back.szSourceDir);  /* a key the file lacks empties its value */
    EXPECT_STREQ("Please wait", back.szStartupMsg);
    EXPECT_TRUE(back.bStartupMsg);
    EXPECT_TRUE(back.bQuiet);
    EXPECT_FALSE(back.bTempExec);
    EXPECT_FALSE(back.bNoPrompt);  /* the no-prompt switch is never written */
}

TEST_F(CmdFileTest, SwitchValuesAndMissingFile)
{
    CmdOptionStruct opt;
    memset(&opt, 0, sizeof(opt));
    EXPECT_FALSE(fnReadCmdFile(m_strFile.c_str(), &opt));
    const struct {
        const char *lpszValue;
        BOOL bOn;
    } rows[] = {{"TRUE", TRUE}, {"true", TRUE}, {"1", TRUE}, {"7", TRUE}, {"0", FALSE}, {"yes", FALSE}, {"", FALSE}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszValue);
        WritePrivateProfileStringA("START", "TEMPEXEC", r.lpszValue, m_strFile.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, m_strFile.c_str());
        ASSERT_TRUE(fnReadCmdFile(m_strFile.c_str(), &opt));
        EXPECT_EQ(r.bOn, opt.bTempExec);
    }
}

TEST_F(CmdFileTest, FoundInSourceThenHomeFolder)
{
    char sz[MAX_PATH];
    GetTempPathA(sizeof(sz), sz);
    std::string strDir(sz);
    strDir.pop_back();
    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), "C:\\nonexistent-source");
    fnCopyBounded(g_szHomeDir, sizeof(g_szHomeDir), strDir.c_str());
    WritePrivateProfileStringA("START", "DESTDIR", "X", m_strFile.c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, m_strFile.c_str());
    char szPath[MAX_PATH];
    ASSERT_TRUE(fnFindCmdFile("D:\\elsewhere\\tgcmdfile_test.ini", szPath, sizeof(szPath)));
    EXPECT_STREQ(m_strFile.c_str(), szPath);
    EXPECT_FALSE(fnFindCmdFile("nosuch.ini", szPath, sizeof(szPath)));
}

}  // namespace
