/*
 * driver/tests/logwriters_win_test.cpp -- the log writers on real Windows
 * files: exact bytes of appended entries, debug-file entries, the
 * installation log's header and its care for an existing log, date and time.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/installlog.h"
#include "driver/logwriters.h"

namespace {

std::string fnSlurp(const std::string &strPath)
{
    std::string str;
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buf[4096];
    DWORD cb;
    while (ReadFile(h, buf, sizeof(buf), &cb, NULL) && cb)
        str.append(buf, cb);
    CloseHandle(h);
    return str;
}

class LogWritersTest : public ::testing::Test {
protected:
    std::string m_strDir;
    void SetUp() override
    {
        fnResetRunState();
        char sz[MAX_PATH];
        GetTempPathA(sizeof(sz), sz);
        m_strDir = std::string(sz) + "tglogtest";
        fnRemove();
        CreateDirectoryA(m_strDir.c_str(), NULL);
    }
    void TearDown() override
    {
        fnRemove();
        fnResetRunState();
    }
    void fnRemove()
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((m_strDir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((m_strDir + "\\" + fd.cFileName).c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(m_strDir.c_str());
    }
    std::string fnPath(const char *lpszName) { return m_strDir + "\\" + lpszName; }
};

TEST_F(LogWritersTest, AppendLineCreatesThenAppendsWithAndWithoutCrLf)
{
    std::string strFile = fnPath("a.txt");
    fnAppendLineF(strFile.c_str(), TRUE, "one=%d", 1);
    fnAppendLineF(strFile.c_str(), FALSE, "two");
    fnAppendLineF(strFile.c_str(), TRUE, "%s", "three");
    EXPECT_EQ("one=1\r\ntwothree\r\n", fnSlurp(strFile));
}

TEST_F(LogWritersTest, AppendLineCutsAtItsBufferAndSkipsAnUnopenableFile)
{
    std::string strFile = fnPath("long.txt");
    std::string strLong(3000, 'x');
    fnAppendLineF(strFile.c_str(), TRUE, "%s", strLong.c_str());
    std::string str = fnSlurp(strFile);
    EXPECT_EQ((size_t)(CCH_APPEND_BUF - 1), str.size());
    fnAppendLineF((m_strDir + "\\nodir\\x.txt").c_str(), TRUE, "lost");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_strDir + "\\nodir").c_str()));
}

TEST_F(LogWritersTest, WriteLineAndWriteToFile)
{
    std::string strFile = fnPath("w.txt");
    TGFILE h = fnFileCreate(strFile.c_str());
    ASSERT_TRUE(h != NULL);
    EXPECT_EQ(0, fnWriteToFile(h, ""));
    EXPECT_EQ(0, fnWriteToFile(h, "abc"));
    EXPECT_TRUE(fnWriteLine(h, "line"));
    EXPECT_TRUE(fnWriteLine(h, ""));
    fnFileClose(h);
    EXPECT_EQ("abcline\r\n", fnSlurp(strFile));

    /* a handle opened for reading only cannot be written */
    h = fnFileOpenRead(strFile.c_str());
    ASSERT_TRUE(h != NULL);
    EXPECT_EQ(-1, fnWriteToFile(h, "x"));
    EXPECT_FALSE(fnWriteLine(h, "x"));
    fnFileClose(h);
}

TEST_F(LogWritersTest, DebugLevel3EntryFormat)
{
    fnCopyBounded(g_szDebugFile, sizeof(g_szDebugFile), fnPath("dbg.log").c_str());
    EXPECT_EQ(0, fnDebugLog("fnTest begin", "a=%d,\nb=%s", 3, 7, "x"));
    EXPECT_EQ(0, fnDebugLog("fnTest", "never", 0));
    EXPECT_EQ(0, fnDebugLog("fnTest", "never", 4));
    EXPECT_EQ("~-Install and Setup: fnTest begin-~\r\na=7,\nb=x\r\n\r\n", fnSlurp(g_szDebugFile));
}

TEST_F(LogWritersTest, InstallLogHeaderSectionsAndOldLogKept)
{
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), m_strDir.c_str());
    std::string strLog = fnPath("setup.log");
    fnAppendLineF(strLog.c_str(), FALSE, "old run");

    EXPECT_TRUE(fnWriteLog("before open", TRUE));  /* nothing is open: does nothing */
    fnOpenInstallLog("setup.log");
    EXPECT_TRUE(g_bLogOpen);
    EXPECT_STREQ(strLog.c_str(), g_szLogFile);
    fnWriteLog("\r\n%s", TRUE, "[Files]");
    fnWriteLog("Copied %s", TRUE, "a.exe");
    fnOpenInstallLog("other.log");  /* a second name leaves the first log in use */
    EXPECT_STREQ(strLog.c_str(), g_szLogFile);

    EXPECT_EQ("[Tallgrid Log]\r\nInstallDir=" + m_strDir + "\r\n\r\n[Files]\r\nCopied a.exe\r\n", fnSlurp(strLog));
    EXPECT_EQ("old run", fnSlurp(fnPath("setup.ORI")));  /* the default backup method names it */
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fnPath("other.log").c_str()));
}

TEST_F(LogWritersTest, DateAndTimeTexts)
{
    char szDate[16], szTime[16];
    EXPECT_EQ(szTime, fnGetDateTime(szDate, szTime));
    SYSTEMTIME st;
    GetLocalTime(&st);
    ASSERT_EQ(8u, strlen(szDate));
    ASSERT_EQ(6u, strlen(szTime));
    EXPECT_EQ(std::to_string(st.wYear), std::string(szDate, 4));
    EXPECT_LE(atoi(szTime + 4), 59);
}

}  // namespace
