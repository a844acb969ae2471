/*
 * install/tests/copylines_test.cpp -- the line readers of the file-copy and
 * disk-copy sections on the host: header keys and their conditions, where a
 * line's source and destination end up, the line errors, what one line
 * leaves for the next, disk lines, labels and the counting pass's source.
 */
#include <gtest/gtest.h>

#include <string>

#include "common/bounded.h"
#include "common/runstate.h"
#include "install/copylines.h"
#include "script/conditions.h"
#include "script/optstore.h"

namespace {

class CopyLinesTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), "E:\\Kit");
        fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), "C:\\App");
        g_szPathSlot[0][0] = '\0';
    }
    /* reads the first line of lpszText as a file line */
    UINT fnRead(const char *lpszText, BOOL bDisk = FALSE)
    {
        const char *p = lpszText;
        return bDisk ? fnReadDiskFileLine(&p, &m_if, &m_line) : fnReadCopyFileLine(&p, &m_if, &m_line);
    }
    IFStruct m_if = {};
    CopyLineStruct m_line;
};

TEST_F(CopyLinesTest, HeaderKeysAndTheirConditions)
{
    const char *lpszText = "TotalFiles=1000\r\nabc=abd,BeQuiet=N\r\nabc=ABC,BeQuiet=Y\r\nDisksSection=Labels\r\n"
                           "DirsSection=[Dirs]\r\n1,A.TXT,A.TXT,N,N,N\r\n";
    const char *p = lpszText;
    CopyHeaderStruct h;
    BOOL bEnd;
    fnInitCopyHeader(&h, "[MakeDirs]");
    fnReadCopyHeader(&p, &h, &bEnd);
    EXPECT_FALSE(bEnd);
    EXPECT_TRUE(h.bTotal);
    EXPECT_EQ(1000u, h.uTotalFiles);
    EXPECT_EQ(1, h.nBeQuiet);  /* the failed condition's N was passed over */
    EXPECT_STREQ("[Labels]", h.szDisksSection);
    EXPECT_STREQ("[Dirs]", h.szDirsSection);
    EXPECT_EQ(0, strncmp(p, "1,A.TXT", 7));  /* the file lines start here */

    /* a section condition that ends the section ends it before any file line */
    const char *q = "SkipIfTrue:abc=ABC\r\n1,A.TXT,A.TXT,N,N,N\r\n";
    fnInitCopyHeader(&h, "");
    fnReadCopyHeader(&q, &h, &bEnd);
    EXPECT_TRUE(bEnd);
    EXPECT_FALSE(h.bTotal);
    EXPECT_EQ(-1, h.nBeQuiet);
}

TEST_F(CopyLinesTest, WhereSourceAndDestinationEndUp)
{
    const struct {
        const char *lpszLine;
        const char *lpszSrcDir, *lpszSrcName, *lpszDstDir, *lpszDstName;
    } rows[] = {
        {"1,SETUP.EX_,SETUP.EXE,N,N,N", "E:\\Kit", "SETUP.EX_", "C:\\App", "SETUP.EXE"},
        {"0,.\\A.DLL,SYSTEM\\X.DLL,N,N,N", "E:\\Kit", "A.DLL", "C:\\App\\SYSTEM", "X.DLL"},
        {"0,SUB/*.TXT,D:\\Out\\*.TXT,+N,N,N", "E:\\Kit\\SUB", "*.TXT", "D:\\Out", "*.TXT"},
        {"0,\\\\srv\\share\\A,\\\\srv\\pub\\B,N,N,N", "\\\\srv\\share\\", "A", "\\\\srv\\pub\\", "B"},
        /* "." and ".." levels resolved against the destination, never above its root */
        {"0,A,.\\X\\..\\Y\\A,N,N,N", "E:\\Kit", "A", "C:\\App\\Y", "A"},
        {"0,A,..\\..\\..\\A,N,N,N", "E:\\Kit", "A", "C:\\", "A"},
        /* a destination naming only its folder keeps the source's name */
        {"0,A.TXT,SUB\\,N,N,N", "E:\\Kit", "A.TXT", "C:\\App\\SUB", "A.TXT"},
        /* the expanded option counts, and a condition takes the first two fields */
        {"abc=ABC,2,@D1\\B.TXT,@D1\\B.TXT,N,N,N", "E:\\Kit\\Opt", "B.TXT", "C:\\App\\Opt", "B.TXT"},
    };
    fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), "Opt");
    for (const auto &r : rows) {
        ASSERT_EQ((UINT)COPYLINE_READ, fnRead(r.lpszLine)) << r.lpszLine;
        EXPECT_STREQ(r.lpszSrcDir, m_if.szSrcFilePath) << r.lpszLine;
        EXPECT_STREQ(r.lpszSrcName, m_if.szSrcFileName) << r.lpszLine;
        EXPECT_STREQ(r.lpszDstDir, m_if.szDstDir) << r.lpszLine;
        EXPECT_STREQ(r.lpszDstName, m_if.szDstFileName) << r.lpszLine;
    }
    ASSERT_EQ((UINT)COPYLINE_READ, fnRead("D1,A,B,VRK,JN2,B,Tool library"));
    EXPECT_TRUE(m_if.bDiskGiven);
    EXPECT_STREQ("D1", m_if.szDisk);
    EXPECT_EQ((UINT)INSTALL_VERSION, m_if.uInstallMode);
    EXPECT_EQ((UINT)COPY_JOIN, m_if.uCopyMode);
    EXPECT_EQ((UINT)JOIN_MIDDLE, m_if.uJoinPart);
    EXPECT_STREQ("Tool library", m_if.szDescription);
}

TEST_F(CopyLinesTest, BadLinesAndWhatALineLeavesBehind)
{
    EXPECT_EQ((UINT)COPYLINE_ERROR, fnRead("1,A,B,NNNNN,N,N"));  /* five letters */
    EXPECT_EQ(1046u, m_line.uMessage);
    EXPECT_EQ((UINT)COPYLINE_ERROR, fnRead(",A,B,N,N,N"));       /* no disk */
    EXPECT_EQ((UINT)COPYLINE_ERROR, fnRead("1,A,B,N,N"));        /* flag field 3 missing */
    EXPECT_EQ((UINT)COPYLINE_ERROR, fnRead("1,A<1,B,N,N,N"));
    EXPECT_EQ(1104u, m_line.uMessage);
    EXPECT_STREQ("A<1", m_line.szBadName);
    /* a character an option brings in is refused as well */
    fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), "x|y");
    EXPECT_EQ((UINT)COPYLINE_ERROR, fnRead("1,A,@D1,N,N,N"));
    EXPECT_EQ(1104u, m_line.uMessage);

    /* a skipped line carries nothing of the line before it */
    ASSERT_EQ((UINT)COPYLINE_READ, fnRead("1,A,SUB\\B,N,N,N,Desc"));
    fnCopyBounded(m_if.szCurDir, sizeof(m_if.szCurDir), "C:\\Elsewhere");
    fnCopyBounded(m_if.szBackupFile, sizeof(m_if.szBackupFile), "C:\\App\\B.ORI");
    ASSERT_EQ((UINT)COPYLINE_READ, fnRead("abc=abd,1,A,B,N,N,N"));
    EXPECT_EQ((UINT)IDTEST_FALSE, m_line.uTest);
    EXPECT_STREQ("", m_if.szDstDir);
    EXPECT_STREQ("", m_if.szCurDir);
    EXPECT_STREQ("", m_if.szBackupFile);
    EXPECT_STREQ("", m_if.szDescription);
    EXPECT_FALSE(m_if.bDiskGiven);
    const char *p = "";
    EXPECT_EQ((UINT)COPYLINE_END, fnReadCopyFileLine(&p, &m_if, &m_line));
}

TEST_F(CopyLinesTest, DiskLinesLabelsAndCounting)
{
    ASSERT_EQ((UINT)COPYLINE_READ, fnRead("1,DOCS\\*.*,DOCS\\*.*,+Manuals,Y,5000000000", TRUE));
    EXPECT_TRUE(m_if.bRecurse);
    EXPECT_STREQ("Manuals", m_if.szDescription);
    EXPECT_TRUE(m_line.bSwitchDisk);
    EXPECT_EQ(5000000000ull, m_line.qwNeeded);  /* never cut to 32 bits */
    /* the description stays until a line brings its own; the need defaults to one byte */
    ASSERT_EQ((UINT)COPYLINE_READ, fnRead("0,A.TXT,A.TXT", TRUE));
    EXPECT_FALSE(m_line.bDescription);
    EXPECT_STREQ("Manuals", m_if.szDescription);
    EXPECT_FALSE(m_line.bSwitchDisk);
    EXPECT_EQ(1ull, m_line.qwNeeded);

    char szLabel[CCH_PATH];
    const char *lpszDisks = "abc=abd,1=Wrong disk\r\n2=Second\r\n1=\"Disk @D1\"\r\n";
    fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), "one");
    EXPECT_TRUE(fnFindDiskLabel(lpszDisks, "D1", szLabel, sizeof(szLabel)));
    EXPECT_STREQ("Disk one", szLabel);
    EXPECT_FALSE(fnFindDiskLabel(lpszDisks, "3", szLabel, sizeof(szLabel)));

    char szSrc[CCH_PATH];
    BOOL bRecurse;
    /* counting evaluates no condition: the source stands behind it all the same */
    EXPECT_TRUE(fnCopyLineSource("abc=abd,1,SUB\\*.DLL,X,+N,N,N", szSrc, sizeof(szSrc), &bRecurse));
    EXPECT_STREQ("E:\\Kit\\SUB\\*.DLL", szSrc);
    EXPECT_TRUE(bRecurse);
    EXPECT_FALSE(fnCopyLineSource("ProcessIfTrue:abc=ABC", szSrc, sizeof(szSrc), &bRecurse));
}

}  // namespace
