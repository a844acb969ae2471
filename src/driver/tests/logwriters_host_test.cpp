/*
 * driver/tests/logwriters_host_test.cpp -- reading lines back from a file
 * (line ends, Ctrl-Z, over-long lines) and the cost-free level 0 of the debug log.
 */
#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"

namespace {

class ReadLineTest : public ::testing::Test {
protected:
    char m_szPath[64];
    void SetUp() override
    {
        fnResetRunState();
        snprintf(m_szPath, sizeof(m_szPath), "/tmp/tgreadline_%d.txt", (int)getpid());
    }
    void TearDown() override { remove(m_szPath); }

    /* Reads the file line by line with a buffer of cb bytes; each entry "result:text". */
    std::vector<std::string> fnReadAll(const std::string &strContent, DWORD cb)
    {
        FILE *fp = fopen(m_szPath, "wb");
        fwrite(strContent.data(), 1, strContent.size(), fp);
        fclose(fp);
        std::vector<std::string> out;
        TGFILE h = fnFileOpenRead(m_szPath);
        std::vector<char> buf(cb);
        for (int i = 0; i < 20; i++) {
            int r = fnReadLineFromFile(h, buf.data(), cb);
            out.push_back(std::to_string(r) + ":" + buf.data());
            if (r != 0)
                break;
        }
        fnFileClose(h);
        return out;
    }
};

TEST_F(ReadLineTest, LineEndsStayWithTheirLine)
{
    using V = std::vector<std::string>;
    EXPECT_EQ((V{"0:a=1\r\n", "1:b=2\r\n"}), fnReadAll("a=1\r\nb=2\r\n", 64));
    EXPECT_EQ((V{"0:a=1\r\n", "1:last"}), fnReadAll("a=1\r\nlast", 64));
    /* bare LF and bare CR lines move on instead of reading the same line again */
    EXPECT_EQ((V{"0:a\n", "0:b\r", "1:c"}), fnReadAll("a\nb\rc", 64));
    EXPECT_EQ((V{"0:\r\n", "1:x\r\n"}), fnReadAll("\r\nx\r\n", 64));
}

TEST_F(ReadLineTest, EndOfFileAndCtrlZ)
{
    using V = std::vector<std::string>;
    EXPECT_EQ((V{"1:"}), fnReadAll("", 64));
    EXPECT_EQ((V{"1:"}), fnReadAll("\x1a rest", 64));
    EXPECT_EQ((V{"1:tail"}), fnReadAll("tail\x1a garbage\r\n", 64));
}

TEST_F(ReadLineTest, LineThatFillsTheBufferIsTooLong)
{
    using V = std::vector<std::string>;
    /* the buffer keeps what was read; the file position stays at the line start */
    EXPECT_EQ((V{"-1:xxxxxxx"}), fnReadAll(std::string(20, 'x') + "\r\n", 8));
    /* a line that just fits with its line end is read */
    EXPECT_EQ((V{"0:12345\r\n", "1:z"}), fnReadAll("12345\r\nz", 8));
}

TEST(DebugLog, LevelZeroWritesNothingAndOtherLevelsNothingUnknown)
{
    fnResetRunState();
    char szPath[64];
    snprintf(szPath, sizeof(szPath), "/tmp/tgdebug_%d.log", (int)getpid());
    remove(szPath);
    fnCopyBounded(g_szDebugFile, sizeof(g_szDebugFile), szPath);
    /* a NULL format would crash any formatter: level 0 must return first */
    EXPECT_EQ(0, fnDebugLog("t", NULL, 0));
    EXPECT_EQ(0, fnDebugLog("t", "x", 7));
    FILE *fp = fopen(szPath, "rb");
    EXPECT_TRUE(fp == NULL);
    if (fp)
        fclose(fp);

    std::string strLong(3000, 'q');
    fnDebugLog("long", "%s", 3, strLong.c_str());
    fp = fopen(szPath, "rb");
    ASSERT_TRUE(fp != NULL);
    char buf[4096];
    size_t n = fread(buf, 1, sizeof(buf), fp);
    fclose(fp);
    remove(szPath);
    /* the text stops at 1,024 characters, framed by the title line and two line ends */
    std::string strWant = "~-Install and Setup: long-~\r\n" + std::string(CCH_DEBUG_TEXT, 'q') + "\r\n\r\n";
    EXPECT_EQ(strWant, std::string(buf, n));
}

TEST(ValidName, RejectsListAndRedirectCharacters)
{
    EXPECT_TRUE(fnIsValidName("My App 2.0"));
    EXPECT_TRUE(fnIsValidName(""));
    for (const char *lpsz : {"a,b", "a<b", "a>b", "a|b"})
        EXPECT_FALSE(fnIsValidName(lpsz)) << lpsz;
}

}  // namespace
