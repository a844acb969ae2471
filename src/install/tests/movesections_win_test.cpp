/*
 * install/tests/movesections_win_test.cpp -- move, rename and delete
 * sections over scratch trees (quiet runs, no dialog): each mode, default
 * destinations, moves onto existing files, wildcards and recursion that must
 * end, the guarded folders, tree deletes that keep other files, and files
 * held open by the test, which are replaced or deleted at the restart.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/handlers.h"
#include "install/movesections.h"
#include "install/tests/filetest.h"

using namespace filetest;

namespace {

class MoveTest : public ScratchTest {
protected:
    std::string m_strLog;
    void SetUp() override
    {
        ScratchTest::SetUp();
        g_bQuiet = TRUE;
        fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), m_strDir.c_str());
        fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), m_strDir.c_str());
        CreateDirectoryA(fnPath("logs").c_str(), NULL);
        m_strLog = fnPath("logs\\install.log");
        fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), m_strLog.c_str());
        g_bLogOpen = TRUE;
        fnClearPendingRenames();
    }
    void TearDown() override
    {
        fnClearPendingRenames();
        ScratchTest::TearDown();
    }
    UINT fnRunMove(const std::string &strBody)
    {
        std::string str = "[MoveFiles]\r\n" + strBody;
        return fnMoveFiles(NULL, NULL, str.c_str(), "[MoveFiles]");
    }
    UINT fnRunDelete(const std::string &strBody)
    {
        std::string str = "[DeleteFiles]\r\n" + strBody;
        return fnInfDeleteFiles(NULL, str.c_str(), "[DeleteFiles]");
    }
    std::string fnLog() { return fnRead(m_strLog); }
};

TEST_F(MoveTest, ModesAndDefaultDestinations)
{
    ASSERT_TRUE(fnWrite(fnPath("README.TXT"), "readme"));
    ASSERT_TRUE(fnWrite(fnPath("a.txt"), "a"));
    ASSERT_TRUE(fnWrite(fnPath("b.txt"), "b"));
    ASSERT_TRUE(fnWrite(fnPath("old.txt"), "old"));
    ASSERT_TRUE(fnWrite(fnPath("keep.txt"), "keep"));
    ASSERT_TRUE(fnWrite(fnPath("gone.txt"), "gone"));
    ASSERT_TRUE(fnWrite(fnPath("same.txt"), "same"));
    /* only a source: moved onto a backup name beside itself, never onto itself */
    ASSERT_EQ(1u, fnRunMove("README.TXT\r\n"
                            "a.txt,sub\\a2.txt,C,0\r\nkeep.txt,a.txt,C,0\r\n"   /* copy: made, then not over an existing file */
                            "b.txt,a.txt,O,0\r\n"                                  /* overwrite */
                            "old.txt,new.txt,,0\r\n"                               /* an empty flags field renames */
                            "gone.txt,,D,0\r\n"
                            "same.txt,same.txt,M,0\r\n"                            /* onto itself: nothing */
                            "missing.txt,x.txt,M,0\r\n"));                         /* no source: no error */
    EXPECT_FALSE(fnExists(fnPath("README.TXT")));
    EXPECT_EQ("readme", fnRead(fnPath("README.ORI")));
    EXPECT_EQ("a", fnRead(fnPath("sub\\a2.txt")));
    EXPECT_EQ("b", fnRead(fnPath("a.txt")));
    EXPECT_EQ("b", fnRead(fnPath("b.txt")));
    EXPECT_EQ("old", fnRead(fnPath("new.txt")));
    EXPECT_FALSE(fnExists(fnPath("old.txt")));
    EXPECT_FALSE(fnExists(fnPath("gone.txt")));
    EXPECT_EQ("same", fnRead(fnPath("same.txt")));
    EXPECT_FALSE(fnExists(fnPath("x.txt")));
    std::string strLog = fnLog();
    EXPECT_NE(std::string::npos, strLog.find(fnPath("README.TXT") + ", " + fnPath("README.ORI") + ", M\r\n"));
    EXPECT_NE(std::string::npos, strLog.find(fnPath("b.txt") + ", " + fnPath("a.txt") + ", C\r\n"));
    EXPECT_NE(std::string::npos, strLog.find(fnPath("old.txt") + ", " + fnPath("new.txt") + ", R\r\n"));
    EXPECT_NE(std::string::npos, strLog.find(fnPath("gone.txt") + ",  D\r\n"));
    EXPECT_EQ(std::string::npos, strLog.find(fnPath("keep.txt")));
}

TEST_F(MoveTest, MoveOntoAFileKeepsItAndWildcardsEnd)
{
    CreateDirectoryA(fnPath("src").c_str(), NULL);
    CreateDirectoryA(fnPath("src\\deep").c_str(), NULL);
    CreateDirectoryA(fnPath("dst").c_str(), NULL);
    ASSERT_TRUE(fnWrite(fnPath("src\\one.dat"), "new one"));
    ASSERT_TRUE(fnWrite(fnPath("src\\two.dat"), "two"));
    ASSERT_TRUE(fnWrite(fnPath("src\\deep\\three.dat"), "three"));
    ASSERT_TRUE(fnWrite(fnPath("dst\\one.dat"), "old one"));
    ASSERT_EQ(1u, fnRunMove("src\\*.dat,dst,M,0\r\n"));
    EXPECT_EQ("new one", fnRead(fnPath("dst\\one.dat")));
    EXPECT_EQ("old one", fnRead(fnPath("dst\\one.ORI")));
    EXPECT_EQ("two", fnRead(fnPath("dst\\two.dat")));
    EXPECT_FALSE(fnExists(fnPath("src\\one.dat")));
    EXPECT_EQ("three", fnRead(fnPath("src\\deep\\three.dat")));  /* no "+": not into subfolders */

    /* a wildcard without a destination: each file gets its own backup name, once */
    ASSERT_TRUE(CreateDirectoryA(fnPath("w").c_str(), NULL));
    ASSERT_TRUE(fnWrite(fnPath("w\\x.log"), "x"));
    ASSERT_TRUE(fnWrite(fnPath("w\\y.log"), "y"));
    ASSERT_EQ(1u, fnRunMove("w\\*.log,,C,0\r\n"));
    EXPECT_EQ("x", fnRead(fnPath("w\\x.ORI")));
    EXPECT_EQ("y", fnRead(fnPath("w\\y.ORI")));
    EXPECT_FALSE(fnExists(fnPath("w\\x.{00}.SAV.")));

    /* a recursive copy whose destination lies inside its source ends, and leaves that folder alone */
    ASSERT_TRUE(fnWrite(fnPath("src\\top.dat"), "top"));
    ASSERT_EQ(1u, fnRunMove("src\\*.*,src\\deep\\copy\\*.*,+C,0\r\n"));
    EXPECT_EQ("top", fnRead(fnPath("src\\deep\\copy\\top.dat")));
    EXPECT_EQ("three", fnRead(fnPath("src\\deep\\copy\\deep\\three.dat")));
    EXPECT_FALSE(fnExists(fnPath("src\\deep\\copy\\deep\\copy")));
}

TEST_F(MoveTest, GuardedFoldersAndMissingValuesFailTheLine)
{
    ASSERT_TRUE(fnWrite(fnPath("p.txt"), "p"));
    fnCopyBounded(g_szHomeDir, sizeof(g_szHomeDir), m_strDir.c_str());
    EXPECT_EQ(0u, fnRunDelete("*.txt\r\n"));
    EXPECT_EQ(0u, fnRunDelete(m_strDir + ",TREE\r\n"));
    EXPECT_EQ(0u, fnRunMove("*.txt,logs,M,0\r\n"));
    EXPECT_EQ(0u, fnRunDelete("@%TG_NO_SUCH_VAR%\\*.*,TREE\r\n"));
    EXPECT_EQ(0u, fnRunDelete("C:\\*.*\r\n"));
    EXPECT_TRUE(fnExists(fnPath("p.txt")));
    EXPECT_EQ(0u, fnRunDelete("A=A\r\n"));  /* a condition without a file */
}

TEST_F(MoveTest, TreeDeletesRemoveOnlyWhatMatches)
{
    for (const char *lpsz : {"t", "t\\a", "t\\a\\b", "k"})
        CreateDirectoryA(fnPath(lpsz).c_str(), NULL);
    for (const char *lpsz : {"t\\1.log", "t\\1.txt", "t\\a\\2.log", "t\\a\\b\\3.log", "k\\4.log"})
        ASSERT_TRUE(fnWrite(fnPath(lpsz), "x"));
    ASSERT_EQ(1u, fnRunDelete("t\\*.log,TREE\r\nk,TREEKEEP\r\nmissing.txt\r\nNo=Yes,t\\1.txt\r\n"));
    EXPECT_FALSE(fnExists(fnPath("t\\1.log")));
    EXPECT_FALSE(fnExists(fnPath("t\\a")));      /* emptied folders go */
    EXPECT_TRUE(fnExists(fnPath("t\\1.txt")));   /* what the pattern does not match stays, and so does its folder */
    EXPECT_FALSE(fnExists(fnPath("k\\4.log")));
    EXPECT_TRUE(fnExists(fnPath("k")));
    EXPECT_EQ(std::string::npos, fnLog().find("missing.txt"));
    EXPECT_EQ("", fnPendingRenames());
}

TEST_F(MoveTest, FilesInUseWaitForTheRestart)
{
    ASSERT_TRUE(fnWrite(fnPath("held.dll"), "held"));
    ASSERT_TRUE(fnWrite(fnPath("new.dll"), "new"));
    ASSERT_TRUE(fnWrite(fnPath("target.dll"), "target"));
    ASSERT_TRUE(fnWrite(fnPath("mv.dll"), "mv"));
    HANDLE hHeld = CreateFileA(fnPath("held.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE hTarget =
        CreateFileA(fnPath("target.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE hMv = CreateFileA(fnPath("mv.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    ASSERT_NE(INVALID_HANDLE_VALUE, hTarget);
    ASSERT_NE(INVALID_HANDLE_VALUE, hMv);

    EXPECT_EQ(1u, fnRunDelete("held.dll\r\n"));
    EXPECT_EQ(1u, fnRunMove("new.dll,target.dll,O,0\r\nmv.dll,moved.dll,M,0\r\n"));
    CloseHandle(hHeld);
    CloseHandle(hTarget);
    CloseHandle(hMv);

    std::string strPending = fnPendingRenames();
    EXPECT_NE(std::string::npos, strPending.find(fnPath("held.dll") + "||")) << strPending;
    /* the held destination is replaced by a copy made beside it; the source stays where it is */
    EXPECT_EQ("new", fnRead(fnPath("new.dll")));
    EXPECT_NE(std::string::npos, strPending.find("|!\\??\\" + fnPath("target.dll") + "|")) << strPending;
    EXPECT_EQ(std::string::npos, strPending.find(fnPath("new.dll"))) << strPending;
    /* a held source is copied, compared, and deleted at the restart */
    EXPECT_EQ("mv", fnRead(fnPath("moved.dll")));
    EXPECT_NE(std::string::npos, strPending.find(fnPath("mv.dll") + "||")) << strPending;
    EXPECT_EQ(4u, g_uOnExit);
    EXPECT_TRUE(g_bRestartNeeded);
    EXPECT_NE(std::string::npos, fnLog().find(fnPath("mv.dll") + ", " + fnPath("moved.dll") + ", M"));

    /* Wine's restart step carries the schedule out (on Windows that needs a real restart) */
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "the restart step is Wine's wineboot -r";
    char szCmd[] = "wineboot.exe -r";
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(CreateProcessA(NULL, szCmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi));
    WaitForSingleObject(pi.hProcess, 120000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_FALSE(fnExists(fnPath("held.dll")));
    EXPECT_FALSE(fnExists(fnPath("mv.dll")));
    EXPECT_EQ("new", fnRead(fnPath("target.dll")));
    EXPECT_EQ("new", fnRead(fnPath("new.dll")));
}

}  // namespace
