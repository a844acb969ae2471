/*
 * driver/tests/appended_test.cpp -- finding the marker line in a file from
 * either end, reading what follows it, and the packer's output and refusals.
 */
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "driver/appended.h"
#include "driver/scramble.h"

namespace {

class AppendedTest : public testing::Test {
protected:
    std::string m_strDir;
    char m_szMarker[128];

    void SetUp() override
    {
        char szTemplate[] = "/tmp/tgappendXXXXXX";
        ASSERT_NE(nullptr, mkdtemp(szTemplate));
        m_strDir = szTemplate;
        ASSERT_TRUE(fnBuildMarker(MARKER_WORD, MARKER_HEADER, m_szMarker, sizeof(m_szMarker)));
    }
    void TearDown() override
    {
        for (const char *lpsz : {"a.bin", "exe.bin", "script.inf", "out.exe"})
            unlink(Path(lpsz).c_str());
        rmdir(m_strDir.c_str());
    }
    std::string Path(const char *lpszName) { return m_strDir + "/" + lpszName; }
    void Write(const char *lpszName, const std::string &str)
    {
        FILE *fp = fopen(Path(lpszName).c_str(), "wb");
        ASSERT_NE(nullptr, fp);
        fwrite(str.data(), 1, str.size(), fp);
        fclose(fp);
    }
    std::string Read(const char *lpszName)
    {
        std::string str;
        FILE *fp = fopen(Path(lpszName).c_str(), "rb");
        if (!fp)
            return "<missing>";
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), fp)) > 0)
            str.append(buf, n);
        fclose(fp);
        return str;
    }
};

TEST_F(AppendedTest, MarkerIsBuiltFromItsTwoWords)
{
    EXPECT_STREQ("<-- TG7K9 -- T00a00l00l00g00r00i00d00 I00N00F00H00d00r00 -- TG7K9 -->", m_szMarker);
    char szSmall[10];
    EXPECT_FALSE(fnBuildMarker(MARKER_WORD, MARKER_HEADER, szSmall, sizeof(szSmall)));
}

TEST_F(AppendedTest, FindsFirstOrLastMarkerAndReadsBehindIt)
{
    const std::string m = m_szMarker;
    /* a block larger than the search block puts a marker across a block edge */
    std::string strBig(70000, 'x');
    std::string strEdge(65536 - 10, 'y');
    const struct {
        const char *lpszTrace;
        std::string strFile;
        BOOL bFromEnd;
        BOOL bWant;
        std::string strWant;
    } rows[] = {
        {"twice, from the end", "EXE" + m + "one" + m + "two", TRUE, TRUE, "two"},
        {"twice, from the start", "EXE" + m + "one" + m + "two", FALSE, TRUE, "one" + m + "two"},
        {"at the very start", m + "script", TRUE, TRUE, "script"},
        {"at the very start, forward", m + "script", FALSE, TRUE, "script"},
        {"at the very end", "EXE" + m, TRUE, TRUE, ""},
        {"at the very end, forward", "EXE" + m, FALSE, TRUE, ""},
        {"missing", "EXE and no marker", TRUE, FALSE, ""},
        {"missing, forward", "EXE and no marker", FALSE, FALSE, ""},
        {"only part of it at the end", "EXE" + m.substr(0, m.size() - 1), TRUE, FALSE, ""},
        {"file shorter than the marker", "<--", TRUE, FALSE, ""},
        {"NULs around it", std::string("\0\0EXE\0", 6) + m + std::string("a\0b", 3), TRUE, TRUE,
         std::string("a\0b", 3)},
        {"far from the end", m + "s" + strBig, TRUE, TRUE, "s" + strBig},
        {"across a block edge, backward", strEdge + m + "tail" + strBig, TRUE, TRUE, "tail" + strBig},
        {"across a block edge, forward", strEdge + m + "tail", FALSE, TRUE, "tail"},
        {"across the first block edge seen from the end", strBig + m + strEdge, TRUE, TRUE, strEdge},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszTrace);
        Write("a.bin", r.strFile);
        std::string strBuf(200000, '#');
        DWORD dwSize = (DWORD)strBuf.size();
        EXPECT_EQ(r.bWant, fnLoadFileAfterString(Path("a.bin").c_str(), m_szMarker, &strBuf[0], &dwSize, r.bFromEnd));
        ASSERT_EQ(r.strWant.size(), dwSize);
        EXPECT_TRUE(strBuf.compare(0, dwSize, r.strWant) == 0);
        EXPECT_EQ('#', strBuf[dwSize]) << "nothing is written behind the bytes read";
    }
}

TEST_F(AppendedTest, ReadsNoMoreThanAskedAndRefusesBadArguments)
{
    Write("a.bin", std::string("EXE") + m_szMarker + "0123456789");
    char sz[8];
    memset(sz, '#', sizeof(sz));
    DWORD dwSize = 4;
    EXPECT_TRUE(fnLoadFileAfterString(Path("a.bin").c_str(), m_szMarker, sz, &dwSize, TRUE));
    EXPECT_EQ(4u, dwSize);
    EXPECT_EQ(0, memcmp(sz, "0123####", 8));

    dwSize = sizeof(sz);
    EXPECT_FALSE(fnLoadFileAfterString(Path("nosuch.bin").c_str(), m_szMarker, sz, &dwSize, TRUE));
    EXPECT_EQ(0u, dwSize);
    dwSize = sizeof(sz);
    EXPECT_FALSE(fnLoadFileAfterString(Path("a.bin").c_str(), "", sz, &dwSize, TRUE));
    std::string strLong(CCH_MARKER_LIMIT, 'x');
    dwSize = sizeof(sz);
    EXPECT_FALSE(fnLoadFileAfterString(Path("a.bin").c_str(), strLong.c_str(), sz, &dwSize, TRUE));
}

TEST_F(AppendedTest, PackWritesProgramMarkerAndScript)
{
    const std::string strExe("MZ\0\x90program", 11);
    const std::string strScript = "\r\n\r\n[Registry]\r\na=b\r\n";
    Write("exe.bin", strExe);
    Write("script.inf", strScript);
    char szError[256];
    ASSERT_TRUE(fnPackInstaller(Path("exe.bin").c_str(), Path("script.inf").c_str(), Path("out.exe").c_str(), FALSE,
                                szError, sizeof(szError)))
        << szError;
    EXPECT_EQ(strExe + m_szMarker + strScript, Read("out.exe"));
    EXPECT_EQ(strExe, Read("exe.bin"));

    /* read back the way the program does */
    char szBuf[256];
    DWORD dwSize = sizeof(szBuf);
    ASSERT_TRUE(fnLoadFileAfterString(Path("out.exe").c_str(), m_szMarker, szBuf, &dwSize, TRUE));
    EXPECT_EQ(strScript, std::string(szBuf, dwSize));

    /* scrambled: the at sign, an offset, and a body that unscrambles */
    ASSERT_TRUE(fnPackInstaller(Path("exe.bin").c_str(), Path("script.inf").c_str(), Path("out.exe").c_str(), TRUE,
                                szError, sizeof(szError)))
        << szError;
    std::string strOut = Read("out.exe");
    std::string strBlock = strOut.substr(strExe.size() + strlen(m_szMarker));
    ASSERT_EQ(strScript.size() + 2, strBlock.size());
    EXPECT_EQ('@', strBlock[0]);
    UINT uOffset = (BYTE)strBlock[1];
    EXPECT_TRUE(uOffset >= 1 && uOffset <= 126);
    EXPECT_EQ(std::string::npos, strBlock.find("[Registry]"));
    ASSERT_TRUE(fnShiftDeCrypt(&strBlock[2], uOffset, (DWORD)strBlock.size() - 2));
    EXPECT_EQ(strScript, strBlock.substr(2));

    /* a script scrambled already is appended as it is */
    Write("script.inf", std::string("@\x05") + "abc");
    ASSERT_TRUE(fnPackInstaller(Path("exe.bin").c_str(), Path("script.inf").c_str(), Path("out.exe").c_str(), TRUE,
                                szError, sizeof(szError)));
    EXPECT_EQ(strExe + m_szMarker + "@\x05" + "abc", Read("out.exe"));
}

TEST_F(AppendedTest, PackRefusesEmptyOversizeAndPackedScripts)
{
    Write("exe.bin", "MZprogram");
    const struct {
        const char *lpszTrace;
        std::string strScript;
        BOOL bScramble;
        BOOL bWant;
        const char *lpszError;
    } rows[] = {
        {"exact fit", std::string(CB_SCRIPT_MAX, ';'), FALSE, TRUE, ""},
        {"one too long", std::string(CB_SCRIPT_MAX + 1, ';'), FALSE, FALSE, "too large"},
        {"exact fit scrambled", std::string(CB_SCRIPT_MAX - 2, ';'), TRUE, TRUE, ""},
        {"one too long scrambled", std::string(CB_SCRIPT_MAX - 1, ';'), TRUE, FALSE, "at most 262137 fit"},
        {"empty", "", FALSE, FALSE, "empty"},
        {"holds the marker", std::string("[Registry]\r\n") + m_szMarker + "\r\n", FALSE, FALSE, "marker line"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszTrace);
        unlink(Path("out.exe").c_str());
        Write("script.inf", r.strScript);
        char szError[256];
        EXPECT_EQ(r.bWant, fnPackInstaller(Path("exe.bin").c_str(), Path("script.inf").c_str(),
                                           Path("out.exe").c_str(), r.bScramble, szError, sizeof(szError)));
        EXPECT_NE(nullptr, strstr(szError, r.lpszError)) << szError;
        if (!r.bWant) {
            EXPECT_EQ("<missing>", Read("out.exe"));
        }
    }
}

}  // namespace
