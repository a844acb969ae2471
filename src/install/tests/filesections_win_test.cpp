/*
 * install/tests/filesections_win_test.cpp -- file-copy and disk-copy
 * sections over scratch trees (quiet runs, no dialog): wildcards and
 * recursion, conditions, joined parts and joins that must not be installed,
 * a bad line, a meter range of 0, and disk lines copied as they are with
 * the directory section made on the disk, free space measured 64 bits wide and
 * no disk asked for where nobody can answer.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/bounded.h"
#include "common/runstate.h"
#include "install/copylines.h"
#include "install/filesections.h"
#include "install/tests/filetest.h"

using namespace filetest;

namespace {

class FileSectionTest : public ScratchTest {
  protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        g_bQuiet = TRUE;
        CreateDirectoryA(fnPath("kit").c_str(), NULL);
        CreateDirectoryA(fnPath("tmp").c_str(), NULL);
        fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), fnPath("kit").c_str());
        fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), fnPath("out").c_str());
        fnCopyBounded(g_szTmpPath, sizeof(g_szTmpPath), fnPath("tmp").c_str());
    }
    void fnKit(const std::string &strName, const std::string &strData)
    {
        std::string strPath = fnPath("kit\\" + strName);
        for (size_t n = m_strDir.size() + 1; (n = strPath.find('\\', n)) != std::string::npos; n++)
            CreateDirectoryA(strPath.substr(0, n).c_str(), NULL);
        ASSERT_TRUE(fnWrite(strPath, strData));
    }
    /* runs a section whose whole script is strText, as the section walk would */
    UINT fnRun(const std::string &strText, const char *lpszName = "[Files]")
    {
        m_strScript = strText;
        g_lpszInfStart = m_strScript.c_str();
        UINT r = fnInfCopyFiles(NULL, NULL, m_strScript.c_str(), lpszName);
        g_lpszInfStart = NULL;
        return r;
    }
    UINT fnRunDisks(const std::string &strText)
    {
        m_strScript = strText;
        g_lpszInfStart = m_strScript.c_str();
        UINT r = fnInfCopyFilesToDisk(NULL, NULL, m_strScript.c_str(), "[MakeDisks]");
        g_lpszInfStart = NULL;
        return r;
    }
    bool fnTempLeft()
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(fnPath("tmp\\*.*").c_str(), &fd);
        bool bLeft = false;
        if (h != INVALID_HANDLE_VALUE) {
            do
                bLeft = bLeft || !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
            while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        return bLeft;
    }
    std::string m_strScript;
};

TEST_F(FileSectionTest, TreeConditionsAndJoinedParts)
{
    fnKit("A.TXT", "a");
    fnKit("DOC\\R.TXT", "r");
    fnKit("DOC\\SUB\\N.TXT", "n");
    fnKit("DOC\\X.BIN", "x");
    fnKit("P1", "one,");
    fnKit("P2", "two,");
    fnKit("P3", "three");
    ASSERT_EQ(1u, fnRun("[Files]\r\nTotalFiles=3\r\n"
                        "0,A.TXT,SYSTEM\\A.TXT,N,N,N\r\n"
                        "0,DOC\\*.TXT,DOC\\*.TXT,+N,N,N\r\n"
                        "abc=abd,0,A.TXT,NEVER.TXT,N,N,N\r\n"
                        "0,P1,JOINED.BIN,N,JN1,N\r\n"
                        "0,P2,JOINED.BIN,N,JN2,N\r\n"
                        "0,P3,JOINED.BIN,N,JN0,N\r\n"));
    EXPECT_EQ("a", fnRead(fnPath("out\\SYSTEM\\A.TXT")));
    EXPECT_EQ("r", fnRead(fnPath("out\\DOC\\R.TXT")));
    EXPECT_EQ("n", fnRead(fnPath("out\\DOC\\SUB\\N.TXT")));
    EXPECT_FALSE(fnExists(fnPath("out\\DOC\\X.BIN")));
    EXPECT_FALSE(fnExists(fnPath("out\\NEVER.TXT")));
    EXPECT_EQ("one,two,three", fnRead(fnPath("out\\JOINED.BIN")));
    EXPECT_FALSE(fnTempLeft());
}

TEST_F(FileSectionTest, IncompleteJoinsLeaveTheDestinationAlone)
{
    fnKit("P1", "one,");
    fnKit("P3", "three");
    CreateDirectoryA(fnPath("out").c_str(), NULL);
    ASSERT_TRUE(fnWrite(fnPath("out\\JOINED.BIN"), "good old file"));
    /* the middle part is missing; then a last part without any first part */
    ASSERT_EQ(1u, fnRun("[Files]\r\n"
                        "0,P1,JOINED.BIN,N,JN1,N\r\n"
                        "0,P2,JOINED.BIN,N,JN2,N\r\n"
                        "0,P3,JOINED.BIN,N,JN0,N\r\n"
                        "0,P3,LONE.BIN,N,JN0,N\r\n"));
    EXPECT_EQ("good old file", fnRead(fnPath("out\\JOINED.BIN")));
    EXPECT_FALSE(fnExists(fnPath("out\\LONE.BIN")));
    EXPECT_FALSE(fnTempLeft());
}

TEST_F(FileSectionTest, BadLineStopsTheSectionAndCountsOfZeroStillInstall)
{
    fnKit("A.TXT", "a");
    fnKit("B.TXT", "b");
    EXPECT_EQ(0u, fnRun("[Files]\r\n0,A.TXT,A.TXT,N,N,N\r\n0,B.TXT,B.TXT,NNNNN,N,N\r\n0,B.TXT,C.TXT,N,N,N\r\n"));
    EXPECT_TRUE(fnExists(fnPath("out\\A.TXT")));
    EXPECT_FALSE(fnExists(fnPath("out\\C.TXT")));
    /* a meter range of 0 is no reason to install nothing */
    EXPECT_EQ(1u, fnRun("[CopyFiles]\r\nTotalFiles=0\r\n0,B.TXT,D.TXT,N,N,N\r\n", "[CopyFiles]"));
    EXPECT_EQ("b", fnRead(fnPath("out\\D.TXT")));
}

TEST_F(FileSectionTest, DiskLinesMakeTheDiskFoldersAndNeedNoOneInQuietRuns)
{
    std::string strPacked = fnSzdd("packed text", 'T');
    fnKit("THREE.TX_", strPacked);
    fnKit("ONE.TXT", "one");
    /* a need above 4 GiB is met by a disk that has it */
    g_fake.qwFree = 6000000000ull;
    ASSERT_EQ(1u, fnRunDisks("[DiskDirs]\r\nDOCS\r\n[MakeDisks]\r\nDirsSection=DiskDirs\r\n"
                             "0,ONE.TXT,SUB\\ONE.TXT,First,,5000000000\r\n0,THREE.TX_,THREE.TX_\r\n"));
    EXPECT_EQ("one", fnRead(fnPath("out\\SUB\\ONE.TXT")));
    EXPECT_EQ(strPacked, fnRead(fnPath("out\\THREE.TX_")));  /* copied as it is, never expanded */
    EXPECT_TRUE(fnExists(fnPath("out\\DOCS")));
    /* too little space, or a line that asks for the next disk: nobody can change it in a quiet run */
    g_fake.qwFree = 4000000000ull;
    EXPECT_EQ(0u, fnRunDisks("[MakeDisks]\r\n0,ONE.TXT,TWO.TXT,,,5000000000\r\n"));
    EXPECT_EQ(0u, fnRunDisks("[MakeDisks]\r\n0,ONE.TXT,TWO.TXT,,Y\r\n"));
    EXPECT_FALSE(fnExists(fnPath("out\\TWO.TXT")));
}

}  // namespace
