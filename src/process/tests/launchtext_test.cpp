/*
 * process/tests/launchtext_test.cpp -- the directory search's command lines,
 * the quoting of program paths with blanks and the launch error table.
 */
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "process/launchtext.h"
#include "process/linehead.h"
#include "script/conditions.h"

namespace {

TEST(LaunchText, DirectorySearchAttempts)
{
    const char *lpszCur = "C:\\cur", *lpszHome = "D:\\home\\", *lpszWin = "C:\\WINDOWS";
    const struct {
        const char *lpszCmd;
        const char *aWant[4];  /* NULL: no such attempt */
    } rows[] = {
        {"sub\\setup.exe /q", {"sub\\setup.exe /q", "C:\\cur\\sub\\setup.exe /q", "D:\\home\\sub\\setup.exe /q",
                               "C:\\WINDOWS\\sub\\setup.exe /q"}},
        /* a directory goes inside the opening quote */
        {"\"sub x\\a.exe\" /q", {"\"sub x\\a.exe\" /q", "\"C:\\cur\\sub x\\a.exe\" /q", "\"D:\\home\\sub x\\a.exe\" /q",
                                 "\"C:\\WINDOWS\\sub x\\a.exe\" /q"}},
        /* ".\" is the program's own folder; the joined line names a drive */
        {".\\tools\\a.exe", {"D:\\home\\tools\\a.exe", NULL, NULL, NULL}},
        {"\"./a b.exe\" x", {"\"D:\\home\\a b.exe\" x", NULL, NULL, NULL}},
        {"\\setup.exe", {"\\setup.exe", "C:\\cur\\setup.exe", "D:\\home\\setup.exe", "C:\\WINDOWS\\setup.exe"}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszCmd);
        for (int n = 1; n <= 4; n++) {
            if (!r.aWant[n - 1])
                continue;
            char sz[CCH_PATH] = "sentinel";
            ASSERT_TRUE(fnLaunchAttempt(r.lpszCmd, n, lpszCur, lpszHome, lpszWin, sz, sizeof(sz))) << n;
            EXPECT_STREQ(r.aWant[n - 1], sz) << n;
        }
    }
    char sz[16];
    EXPECT_FALSE(fnLaunchAttempt("a.exe", 2, "", lpszHome, lpszWin, sz, sizeof(sz)));
    EXPECT_FALSE(fnLaunchAttempt("a.exe", 5, lpszCur, lpszHome, lpszWin, sz, sizeof(sz)));
    /* a line that would be cut is not tried: it would name another program */
    EXPECT_FALSE(fnLaunchAttempt("a.exe", 4, lpszCur, lpszHome, "C:\\A\\VERY\\LONG\\WINDIR", sz, sizeof(sz)));
    EXPECT_FALSE(fnLaunchAttempt(".\\a.exe", 1, lpszCur, "", lpszWin, sz, sizeof(sz)));

    EXPECT_TRUE(fnLaunchNamesDrive("Q:\\x.exe"));
    EXPECT_TRUE(fnLaunchNamesDrive("\"c:\\a b\\x.exe\""));
    EXPECT_TRUE(fnLaunchNamesDrive("\\\\server\\share\\x.exe"));
    EXPECT_FALSE(fnLaunchNamesDrive("\\x.exe"));
    EXPECT_FALSE(fnLaunchNamesDrive("sub\\x.exe"));
}

std::set<std::string> s_files;
BOOL fnFakeExists(const char *lpszPath) { return s_files.count(lpszPath) ? TRUE : FALSE; }

TEST(LaunchText, ProgramPathWithBlanksIsQuoted)
{
    s_files = {"C:\\Prog.exe", "C:\\Prog Files\\App\\HOLDER.EXE", "C:\\My Tools\\run.bat"};
    const struct {
        const char *lpszCmd, *lpszWant;
    } rows[] = {
        /* the decoy C:\Prog.exe is never what runs */
        {"C:\\Prog Files\\App\\HOLDER.EXE X", "\"C:\\Prog Files\\App\\HOLDER.EXE\" X"},
        {"C:\\Prog Files\\App\\HOLDER.EXE", "\"C:\\Prog Files\\App\\HOLDER.EXE\""},
        {"c:\\my tools\\run.bat a b", "\"c:\\my tools\\run.bat\" a b"},
        /* nothing found: the first program-like prefix, so the system cannot pick an earlier blank */
        {"C:\\Missing Dir\\x.exe /q", "\"C:\\Missing Dir\\x.exe\" /q"},
        /* blanks only in the arguments, a quoted line, no blank: as written */
        {"app.exe C:\\My Files\\b.exe", "app.exe C:\\My Files\\b.exe"},
        {"notepad C:\\My Files\\a.txt", "notepad C:\\My Files\\a.txt"},
        {"\"C:\\Prog Files\\a.exe\" x", "\"C:\\Prog Files\\a.exe\" x"},
        {"C:\\Prog.exe", "C:\\Prog.exe"},
        /* a program found by name with a script or program among its arguments */
        {"cmd /c C:\\x.bat", "cmd /c C:\\x.bat"},
        {"cmd /c C:\\My Tools\\run.bat a", "cmd /c C:\\My Tools\\run.bat a"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszCmd);
        char sz[CCH_PATH] = "sentinel";
        EXPECT_TRUE(fnQuoteProgramPath(r.lpszCmd, fnFakeExists, sz, sizeof(sz)));
        EXPECT_STREQ(r.lpszWant, sz);
    }
    /* the longest existing prefix wins over a shorter program-like one */
    s_files = {"C:\\a.exe b.exe"};
    char sz[CCH_PATH];
    fnQuoteProgramPath("C:\\a.exe b.exe x", fnFakeExists, sz, sizeof(sz));
    EXPECT_STREQ("\"C:\\a.exe b.exe\" x", sz);
    char szSmall[20];
    EXPECT_FALSE(fnQuoteProgramPath("C:\\Missing Dir\\x.exe", fnFakeExists, szSmall, sizeof(szSmall)));
}

TEST(LaunchText, ErrorMessageTable)
{
    const struct {
        DWORD dwError;
        UINT uId;
        BOOL bSerious;
    } rows[] = {{2, 1235, FALSE}, {3, 1235, FALSE}, {14, 1236, TRUE}, {4, 1234, TRUE}, {5, 1234, TRUE},
                {18, 1234, TRUE}, {32, 1234, TRUE}, {54, 1234, TRUE}, {193, 1234, FALSE}, {0, 1234, FALSE}};
    for (const auto &r : rows) {
        EXPECT_EQ(r.uId, fnLaunchErrorMessageId(r.dwError)) << r.dwError;
        EXPECT_EQ(r.bSerious, fnIsSeriousLaunchError(r.dwError)) << r.dwError;
    }
}

}  // namespace

namespace {

TEST(LineHead, TestAndButtonWords)
{
    const struct {
        const char *lpszLine;
        UINT uWant;
        BOOL bMissing;
    } rows[] = {
        {"=,C:\\App\\a.exe,Y", IDTEST_TRUE, FALSE},
        {"A=A,C:\\App\\a.exe", IDTEST_TRUE, FALSE},
        {"A=~B,C:\\App\\a.exe", IDTEST_TRUE, FALSE},
        {"A=B,C:\\App\\a.exe", IDTEST_FALSE, FALSE},
        /* no head: an empty left side against the first value */
        {"C:\\App\\a.exe,Y", IDTEST_FALSE, FALSE},
        {"A=", IDTEST_FALSE, FALSE},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszLine);
        BOOL bMissing = 2;
        EXPECT_EQ(r.uWant, fnTestLineHead(r.lpszLine, &bMissing));
        EXPECT_EQ(r.bMissing, bMissing);
    }
    EXPECT_EQ(104u, fnButtonWordType("ok"));
    EXPECT_EQ(101u, fnButtonWordType("OkCancel"));
    EXPECT_EQ(103u, fnButtonWordType("OKEXIT"));
    EXPECT_EQ(102u, fnButtonWordType("YESNO"));
    EXPECT_EQ(102u, fnButtonWordType(""));
    EXPECT_EQ(102u, fnButtonWordType("OKAY"));
}

}  // namespace
