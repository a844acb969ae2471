/*
 * driver/tests/cmdfile_win_test.cpp -- the command file written by one start
 * and read by the next: set keys only, switches, keys that empty values, and
 * a password written by "[WriteCmdFile]" that reaches the file but no log.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/cmdfile.h"
#include "driver/handlers.h"
#include "driver/scramble.h"
#include "script/optstore.h"

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
    ASSERT_TRUE(fnWriteCmdFile(m_strFile.c_str(), &opt, 0));

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

std::string fnSlurp(const std::string &strPath)
{
    std::string str;
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    char buf[4096];
    DWORD cb;
    while (h != INVALID_HANDLE_VALUE && ReadFile(h, buf, sizeof(buf), &cb, NULL) && cb)
        str.append(buf, cb);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return str;
}

TEST_F(CmdFileTest, WrittenPasswordReachesTheFileButNoLog)
{
    std::string strDebug = m_strFile + ".dbg", strInstall = m_strFile + ".log";
    DeleteFileA(strDebug.c_str());
    DeleteFileA(strInstall.c_str());
    fnResetOptStore();
    fnCopyBounded(g_szUserPassword, sizeof(g_szUserPassword), "Pw4Tallgrid!");
    fnEnCryptString(g_szUserPassword, sizeof(g_szUserPassword));
    fnCopyBounded(g_szDebugFile, sizeof(g_szDebugFile), strDebug.c_str());
    fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), strInstall.c_str());
    g_uDebugLevel = 3;
    g_bLogOpen = TRUE;
    /* a later line of a key replaces its value, and whether it is hidden */
    std::string strText = "[WriteCmdFile]\r\nWriteFile=" + m_strFile +
                          "\r\nAskFor=@U1\r\nStartupMsg=x@U1\r\nStartupMsg=Welcome\r\nDestDir=C:\\App\r\n";
    EXPECT_EQ(1u, fnInfWriteCmdFile(NULL, strText.c_str(), "[WriteCmdFile]"));
    g_uDebugLevel = 0;
    g_bLogOpen = FALSE;
    fnResetOptStore();

    char sz[64];
    GetPrivateProfileStringA("START", "ASKFOR", "", sz, sizeof(sz), m_strFile.c_str());
    EXPECT_STREQ("Pw4Tallgrid!", sz);
    std::string strLog = fnSlurp(strInstall), strLogs = strLog + fnSlurp(strDebug);
    EXPECT_NE(std::string::npos, strLog.find("ASKFOR=(hidden)"));
    EXPECT_NE(std::string::npos, strLog.find("STARTUPMSG=Welcome"));
    EXPECT_NE(std::string::npos, strLog.find("DESTDIR=C:\\App"));
    EXPECT_EQ(std::string::npos, strLogs.find("Pw4Tallgrid!"));
    DeleteFileA(strDebug.c_str());
    DeleteFileA(strInstall.c_str());
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
