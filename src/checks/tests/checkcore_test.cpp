/*
 * checks/tests/checkcore_test.cpp -- the precondition and check-for readers
 * with faked files, dates and answers: version comparisons in their
 * documented order, file checks over several lines, the string search over
 * real files (blocks, straddling texts, bytes of 0) and the check-for
 * decisions, including the cases whose literal reading would loop or forget
 * a failed requirement.
 */
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "../../script/tests/fakemachine.h"
#include "checks/checkcore.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "script/optstore.h"

namespace {

std::set<std::string> s_files;
std::map<std::string, int> s_dates;
std::vector<std::string> s_asked;   /* "prompt|text" */
std::vector<int> s_answers;         /* given in turn; CHKANS_CANCEL when none are left */

BOOL fnFakeIsFile(const char *lpszPath)
{
    if (s_files.count(lpszPath))
        return TRUE;
    FILE *fp = fopen(lpszPath, "rb");
    if (fp)
        fclose(fp);
    return fp != NULL;
}
int fnFakeDate(const char *lpszPath)
{
    auto it = s_dates.find(lpszPath);
    return it == s_dates.end() ? 0 : it->second;
}
int fnFakeAsk(UINT uPrompt, const char *lpszText)
{
    s_asked.push_back(std::to_string(uPrompt) + "|" + lpszText);
    if (s_answers.empty())
        return CHKANS_CANCEL;
    int n = s_answers.front();
    s_answers.erase(s_answers.begin());
    return n;
}
const CheckOpsStruct s_fakeOps = {fnFakeIsFile, fnFakeDate, fnFakeAsk};

const MachineLookupStruct *s_lpFake;
int fnStrings(UINT uId, char *lpszOut, size_t cchOut)
{
    static const std::map<UINT, std::string> s = {
        {1126, "File %s %s.\n%s"}, {1127, "Sorry cannot continue."}, {1128, "Do you want to reselect directory?"}};
    auto it = s.find(uId);
    if (it == s.end())
        return s_lpFake->pfnLoadString(uId, lpszOut, cchOut);
    fnCopyBounded(lpszOut, cchOut, it->second.c_str());
    return (int)it->second.size();
}

class CheckTest : public ::testing::Test {
protected:
    MachineLookupStruct m_machine;
    void SetUp() override
    {
        fnInstallFakeMachine();
        s_lpFake = g_lpMachine;
        m_machine = *g_lpMachine;
        m_machine.pfnLoadString = fnStrings;
        g_lpMachine = &m_machine;
        g_lpCheckOps = &s_fakeOps;
        s_files.clear();
        s_dates.clear();
        s_asked.clear();
        s_answers.clear();
        g_OSInfo.uWinFamily = 3;
        g_OSInfo.uWinIndex = 14;
        g_OSInfo.dwWinMajor = 5;
        g_OSInfo.dwWinMinor = 1;
    }
    void TearDown() override { g_lpMachine = s_lpFake; }
    UINT fnRun(UINT (*pfn)(const char *, const char *), const char *lpszName, const std::string &strBody)
    {
        std::string str = std::string(lpszName) + "\r\n" + strBody;
        return pfn(str.c_str(), lpszName);
    }
};

TEST_F(CheckTest, VersionTestComparesInItsDocumentedOrderAndPairsWithMessages)
{
    /* 5 GE major 5 holds; 4 GE 5 does not: the failed test shows its text and the message */
    EXPECT_EQ(1u, fnRun(fnVersionTest, "[VersionTest]", "WinMajor=5,ge,Too new\r\nMessage=Bye\r\n"));
    EXPECT_TRUE(s_asked.empty());
    s_answers = {CHKANS_EXIT};
    EXPECT_EQ(7u, fnRun(fnVersionTest, "[VersionTest]", "Message=Bye\r\nWinMajor=4,GE,Too new\r\n"));
    EXPECT_TRUE(g_bCheckFailed);
    EXPECT_EQ((std::vector<std::string>{std::to_string(CHKPROMPT_EXIT) + "|Too new\nBye"}), s_asked);

    /* Continue goes on; a later key replaces a pending test; the word defaults to EQ */
    s_asked.clear();
    s_answers = {CHKANS_CONTINUE};
    EXPECT_EQ(1u, fnRun(fnVersionTest, "[VersionTest]",
                        "WinVS=3,NE,a\r\nWinVSX=13,,b\r\nMessage=m,Y\r\nWinMinor=1\r\nWinMajor=9,XX,never paired\r\n"));
    EXPECT_EQ((std::vector<std::string>{std::to_string(CHKPROMPT_EXITCONTINUE) + "|b\nm"}), s_asked);

    /* an unknown key ends the reading; a line without a key cannot be read */
    EXPECT_EQ(1u, fnRun(fnVersionTest, "[VersionTest]", "Other=1\r\nWinMajor=1\r\nMessage=x\r\n"));
    EXPECT_EQ(0u, fnRun(fnVersionTest, "[VersionTest]", "WinMajor=4\r\njust text\r\n"));

    /* quiet: nothing is shown and a failed requirement ends the run */
    g_bQuiet = TRUE;
    s_asked.clear();
    EXPECT_EQ(7u, fnRun(fnVersionTest, "[VersionTest]", "WinMajor=4,GE\r\nMessage=m,Y\r\n"));
    EXPECT_TRUE(s_asked.empty());
}

TEST_F(CheckTest, FileCheckOutcomesPromptsAndSeveralLines)
{
    s_files = {"C:\\have.dll"};
    g_fake.fileVersions["C:\\have.dll"] = "4.1|4.1";
    const struct {
        const char *lpszBody;
        std::vector<int> answers;
        UINT uWant;
        size_t nAsked;
    } rows[] = {
        {"File=C:\\have.dll\r\n", {}, 1, 0},
        {"File=C:\\none.dll\r\n", {}, 7, 0},
        {"File=C:\\none.dll,EXIT,,NOPROMPT\r\n", {}, 7, 0},
        {"File=C:\\have.dll,GO\r\n", {}, 7, 0},
        {"File=C:\\none.dll,GO,,OK\r\n", {}, 1, 0},
        {"File=C:\\have.dll,GO,,OKCANCEL\r\n", {CHKANS_CANCEL}, 1, 1},
        {"File=C:\\have.dll,GO,,OKCANCEL\r\n", {CHKANS_OK}, 7, 1},
        {"File=C:\\none.dll,EXIT,,YESNO\r\n", {CHKANS_NO}, 1, 1},
        {"File=C:\\none.dll,EXIT,,OK\r\n", {CHKANS_OK}, 7, 1},
        {"File=C:\\have.dll,EXIT,4.1\r\n", {}, 1, 0},
        {"File=C:\\have.dll,EXIT,4.0\r\n", {}, 1, 0},
        {"File=C:\\have.dll,EXIT,4.2,YESNOCANCEL\r\n", {CHKANS_YES}, 7, 1},
        /* a requirement found missing is not forgotten when a later line passes */
        {"File=C:\\none.dll\r\nFile=C:\\have.dll\r\n", {}, 7, 0},
        /* the keep-going answer goes on to the next line, which still counts */
        {"File=C:\\none.dll,,,YESNO\r\nFile=C:\\none2.dll\r\n", {CHKANS_NO}, 7, 1},
        {"File=C:\\none.dll,,,YESNO\r\nFile=C:\\have.dll\r\n", {CHKANS_NO}, 1, 1},
        /* another key ends the section as a missing file; a condition can skip or end */
        {"File=C:\\have.dll\r\nOther=x\r\n", {}, 7, 0},
        {"A=B,File=C:\\none.dll\r\nFile=C:\\have.dll\r\n", {}, 1, 0},
        {"SkipIfTrue:A=A,File=C:\\none.dll\r\nFile=C:\\none.dll\r\n", {}, 1, 0},
    };
    for (const auto &r : rows) {
        s_asked.clear();
        s_answers = r.answers;
        EXPECT_EQ(r.uWant, fnRun(fnFileCheck, "[FileCheck]", r.lpszBody)) << r.lpszBody;
        EXPECT_EQ(r.nAsked, s_asked.size()) << r.lpszBody;
    }
    /* a run that ends because a requirement failed is a failed run; one ended by "GO" is not */
    fnRun(fnFileCheck, "[FileCheck]", "File=C:\\none.dll\r\n");
    EXPECT_TRUE(g_bCheckFailed);
    fnRun(fnFileCheck, "[FileCheck]", "File=C:\\have.dll,GO\r\n");
    EXPECT_FALSE(g_bCheckFailed);
    s_asked.clear();
    s_answers = {CHKANS_OK};
    fnRun(fnFileCheck, "[FileCheck]", "File=C:\\have.dll,EXIT,4.2,OK,Update first\r\n");
    EXPECT_EQ((std::vector<std::string>{std::to_string(CHKPROMPT_OK) +
                                        "|File C:\\have.dll is an unacceptable version.\nUpdate first"}),
              s_asked);
}

class StringFileTest : public CheckTest {
protected:
    std::string m_strFile;
    void SetUp() override
    {
        CheckTest::SetUp();
        char szName[] = "/tmp/tgstrXXXXXX";
        int fd = mkstemp(szName);
        ASSERT_GE(fd, 0);
        close(fd);
        m_strFile = szName;
    }
    void TearDown() override
    {
        remove(m_strFile.c_str());
        CheckTest::TearDown();
    }
    void fnWrite(const std::string &str)
    {
        FILE *fp = fopen(m_strFile.c_str(), "wb");
        fwrite(str.data(), 1, str.size(), fp);
        fclose(fp);
    }
};

TEST_F(StringFileTest, SearchAcrossBlocksAndBinaryData)
{
    const char *lpszFile = m_strFile.c_str();
    fnWrite(std::string("abc\0def", 7) + "Hello World");
    EXPECT_EQ(STRFILE_FOUND, fnIsStringInFile(lpszFile, "World", FALSE));
    EXPECT_EQ(STRFILE_NOTFOUND, fnIsStringInFile(lpszFile, "world", FALSE));
    EXPECT_EQ(STRFILE_FOUND, fnIsStringInFile(lpszFile, "wORLD", TRUE));
    EXPECT_EQ(STRFILE_BADTEXT, fnIsStringInFile(lpszFile, "W", FALSE));
    EXPECT_EQ(STRFILE_BADTEXT, fnIsStringInFile(lpszFile, std::string(65500, 'x').c_str(), FALSE));
    EXPECT_EQ(STRFILE_NOFILE, fnIsStringInFile("/tmp/tg-no-such-file", "World", FALSE));
    /* case is folded for ASCII letters only */
    fnWrite("caf\xc9 au lait");
    EXPECT_EQ(STRFILE_NOTFOUND, fnIsStringInFile(lpszFile, "CAF\xe9", TRUE));
    EXPECT_EQ(STRFILE_FOUND, fnIsStringInFile(lpszFile, "CAF\xc9", TRUE));
    fnWrite("");
    EXPECT_EQ(STRFILE_NOTFOUND, fnIsStringInFile(lpszFile, "ab", FALSE));

    /* texts that start in the last bytes of the first 65,500-byte block, or fill it exactly */
    for (size_t nAt : {65490u, 65497u, 65499u, 65500u, 131000u, 130998u}) {
        std::string str(nAt, '.');
        str += "NEEDLE";
        str += std::string(70000, '.');
        fnWrite(str);
        EXPECT_EQ(STRFILE_FOUND, fnIsStringInFile(lpszFile, "NEEDLE", FALSE)) << nAt;
    }
    fnWrite(std::string(65494, '.') + "NEEDLE");
    EXPECT_EQ(STRFILE_FOUND, fnIsStringInFile(lpszFile, "NEEDLE", FALSE));
    fnWrite(std::string(65500, '.') + "NEEDL");
    EXPECT_EQ(STRFILE_NOTFOUND, fnIsStringInFile(lpszFile, "NEEDLE", FALSE));
}

TEST_F(StringFileTest, SectionStoresResultsAndEndsOnItsActions)
{
    fnWrite("Version 4.2\r\n");
    g_fake.env["F"] = m_strFile;
    std::string strBody = "@%F%,version 4,Y\r\nA=B,@%F%,nothing\r\n@%F%,missing,N,CONTINUE\r\n"
                          "/tmp/tg-no-such-file,abc\r\n@%F%,x\r\n";
    EXPECT_EQ(1u, fnRun(fnStringTest, "[IsStringInFile]", strBody));
    EXPECT_EQ(0u, g_uStrTestResult[0]);
    EXPECT_EQ((std::vector<UINT>{0, 9, 1, 2, 3, 9}),
              std::vector<UINT>(g_uStrTestResult + 1, g_uStrTestResult + 7));

    const struct {
        const char *lpszBody;
        UINT uWant;
    } rows[] = {
        {"@%F%,VERSION,Y,EXITMATCH\r\n", 7},    {"@%F%,VERSION,N,EXITMATCH\r\n", 1},
        {"@%F%,VERSION,N,EXITNOMATCH\r\n", 7},  {"/tmp/tg-no-such-file,ab,,EXITNOFILE\r\n", 7},
        {"@%F%,v,,EXITERROR\r\n", 7},           {"@%F%,v,,EXITNOFILE\r\n", 7},
        {"@%F%,v,,EXITMATCH\r\n", 1},           {"@%F%\r\n", 0},
        {"SkipIfTrue:A=A,@%F%,ver\r\n", 0},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.uWant, fnRun(fnStringTest, "[IsStringInFile]", r.lpszBody)) << r.lpszBody;
    fnRun(fnStringTest, "[IsStringInFile]", "@%F%,absent\r\n");
    EXPECT_EQ(1u, g_uStrTestResult[0]);
}

TEST_F(CheckTest, CheckForPromptsAndEndDecisions)
{
    s_files = {"C:\\here.txt"};
    const struct {
        const char *lpszBody;
        std::vector<int> answers;
        UINT uWant;
        size_t nAsked;
    } rows[] = {
        /* a missing file with the default OK prompt ends the run; an existing one shows nothing */
        {"File=C:\\gone.txt\r\n", {CHKANS_OK}, 7, 1},
        {"File=C:\\here.txt\r\n", {}, 1, 0},
        /* flags Y but N in the third place, a missing file, YESNO: Yes starts again, No ends */
        {"TestFor=C:\\gone.txt,YYNYY\r\n", {CHKANS_YES}, 3, 1},
        {"TestFor=C:\\gone.txt,YYNYY\r\n", {CHKANS_NO}, 7, 1},
        /* five Y flags and a missing file: the prompt is about an existing file, so nothing is
           shown, and the run goes on instead of starting over without end */
        {"TestFor=C:\\gone.txt,YYYYY\r\n", {}, 1, 0},
        {"TestFor=C:\\here.txt,YYYYY\r\n", {CHKANS_YES}, 3, 1},
        {"TestFor=C:\\here.txt,YYYNN\r\n", {CHKANS_YES}, 1, 1},
        {"TestFor=C:\\here.txt,YYYYN\r\n", {CHKANS_YES}, 7, 1},
        /* either of two files; the first flag N reads no prompt */
        {"TestFor2=C:\\gone.txt,C:\\here.txt,YYYYN,,OKCANCEL\r\n", {CHKANS_OK}, 7, 1},
        {"TestFor2=C:\\gone.txt,C:\\gone2.txt,NYNYN,never,OK\r\n", {}, 7, 0},
        /* prompt words: RETRYCANCEL sets the retry flag, OKINFO clears it */
        {"FileEx=C:\\gone.txt,NC,YYNYN,,RETRYCANCEL\r\n", {CHKANS_RETRY}, 3, 1},
        {"FileEx=C:\\gone.txt,NC,YYNYY,,OKINFO\r\n", {CHKANS_OK}, 7, 1},
        {"FileEx=C:\\gone.txt,NC,YYNYN,,RETRYEXIT\r\n", {CHKANS_EXIT}, 7, 1},
        {"FileEx=C:\\gone.txt,NC,YYNNN,,RETRYCONTINUE\r\n", {CHKANS_CONTINUE}, 1, 1},
        /* FileEx without a file tests an empty name; a line of another key ends the reading */
        {"FileEx=,NC,NYNYN\r\n", {}, 7, 0},
        {"Other=1\r\nFile=C:\\gone.txt\r\n", {}, 1, 0},
        {"SkipIfTrue:A=A,File=C:\\gone.txt\r\n", {}, 1, 0},
        /* date tests: a failed one keeps the prompt of a file expected missing */
        {"FileEx=C:\\here.txt,LE,YYNYY\r\n", {CHKANS_YES}, 3, 1},
        {"FileEx=C:\\here.txt,GE,YYNYY\r\n", {}, 1, 0},
    };
    s_dates["C:\\here.txt"] = 2;
    for (const auto &r : rows) {
        s_asked.clear();
        s_answers = r.answers;
        EXPECT_EQ(r.uWant, fnRun(fnCheckFor, "[CheckFor]", r.lpszBody)) << r.lpszBody;
        EXPECT_EQ(r.nAsked, s_asked.size()) << r.lpszBody;
    }

    /* the prompt names the file that was found, and the texts are as documented */
    s_asked.clear();
    s_answers = {CHKANS_NO};
    fnRun(fnCheckFor, "[CheckFor]", "TestFor2=C:\\gone.txt,C:\\here.txt,YYYYY\r\n");
    EXPECT_EQ(std::to_string(CHKPROMPT_YESNO) + "|File C:\\here.txt exists.\nDo you want to reselect directory?",
              s_asked.at(0));
    s_asked.clear();
    s_answers = {CHKANS_OK};
    fnRun(fnCheckFor, "[CheckFor]", "File=C:\\gone.txt\r\n");
    EXPECT_EQ(std::to_string(CHKPROMPT_OK) + "|File C:\\gone.txt does not exist.\nSorry cannot continue.",
              s_asked.at(0));

    /* quiet: the act answer is taken without asking */
    g_bQuiet = TRUE;
    s_asked.clear();
    EXPECT_EQ(7u, fnRun(fnCheckFor, "[CheckFor]", "TestFor=C:\\gone.txt,YYNYY\r\n"));
    EXPECT_TRUE(s_asked.empty());
}

TEST(CheckDateTest, WordsAgainstEveryResult)
{
    /* results: 1 the file is after today, 2 before, 3 today, 0 unreadable */
    const struct {
        const char *lpszWord;
        const char *lpszHolds;  /* for results 0..3 */
    } rows[] = {{"LE", "0101"}, {"GE", "0011"}, {"LT", "0100"}, {"GT", "0010"},
                {"NE", "0110"}, {"EQ", "0001"}, {"eq", "0001"}, {"XX", "0000"}};
    for (const auto &r : rows)
        for (int n = 0; n <= 3; n++)
            EXPECT_EQ(r.lpszHolds[n] == '1', fnDateHolds(r.lpszWord, n) != FALSE) << r.lpszWord << n;
}

}  // namespace
