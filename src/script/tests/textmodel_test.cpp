/*
 * script/tests/textmodel_test.cpp -- cutting the script into sections, lines
 * and fields: separators, quotes, parentheses, double equals, the 1,024
 * character split, CR LF against bare LF, "[End]" and name lists.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/cmdline.h"
#include "script/textmodel.h"

namespace {

/* Field n of a line as the handlers get it: "result|text". */
std::string fnField(const char *lpszLine, int n)
{
    char szLine[CCH_LINE_BUF];
    fnCopyBounded(szLine, sizeof(szLine), lpszLine);
    char szField[CCH_FIELD_BUF];
    memset(szField, 'Z', sizeof(szField));
    int r = fnInfParseField(szLine, n, szField, sizeof(szField));
    return std::to_string(r) + "|" + szField;
}

TEST(ParseField, KeysValuesAndSeparators)
{
    const struct {
        const char *lpszLine;
        int n;
        const char *lpszWant;
    } rows[] = {
        {"Key = Value", 0, "1|Key"},
        {"Key = Value", 1, "1|Value"},
        {"Key=", 1, "1|"},
        {"Value", 1, "1|Value"},
        {"Value", 0, "0|"},
        {"a,b=c", 0, "0|"},          /* the first separator is a comma: no key */
        {"Name=a,b=c", 0, "1|Name"},
        {"Name=a,b=c", 1, "1|a"},
        {"Name=a,b=c", 2, "1|b"},
        {"Name=a,b=c", 3, "1|c"},
        {"a=b=c", 2, "1|c"},
        {"a,b", 2, "1|b"},
        {"a,b", 3, "0|"},
        {"a,,c", 2, "1|"},
        {"a,b,c", -1, "1|a"},
        {"Key=x , y ", 2, "1|y"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.lpszLine) + " field " + std::to_string(r.n));
        EXPECT_EQ(r.lpszWant, fnField(r.lpszLine, r.n));
    }
}

TEST(ParseField, QuotesAndParentheses)
{
    const struct {
        const char *lpszLine;
        int n;
        const char *lpszWant;
    } rows[] = {
        {"File=\"a, b\",x", 1, "1|a, b"},
        {"File=\"a, b\",x", 2, "1|x"},
        {"File=\" padded \"", 1, "1| padded "},
        {"File=\"say \"\"hi\"\"\"", 1, "1|say \"hi"},
        {"File=\"\",x", 1, "1|"},
        {"File=ab\"c,d\"e,f", 1, "1|abc,d\"e"},   /* a quote in the middle opens quoting there */
        {"File=\"open, never closed", 1, "1|open, never closed"},
        {"Dir=Fun(a,b),c", 1, "1|Fun(a,b)"},
        {"Dir=Fun(a,b),c", 2, "1|c"},
        {"Dir=Fun(\"a,b\",c),d", 1, "1|Fun(\"a,b\",c)"},
        {"Dir=Fun(a=b", 1, "1|Fun(a=b"},
        {"(a=b),c", 0, "0|"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.lpszLine) + " field " + std::to_string(r.n));
        EXPECT_EQ(r.lpszWant, fnField(r.lpszLine, r.n));
    }
}

TEST(ParseField, DoubleEqualsBecomesATestAndRewritesTheLine)
{
    char szLine[64] = "A==B";
    char szField[CCH_FIELD_BUF];
    EXPECT_EQ(1, fnInfParseField(szLine, 0, szField, sizeof(szField)));
    EXPECT_STREQ("A==B", szLine);  /* the key alone leaves the line as it is */
    EXPECT_EQ(1, fnInfParseField(szLine, 1, szField, sizeof(szField)));
    EXPECT_STREQ("?B", szField);
    EXPECT_STREQ("A=?B", szLine);
}

TEST(ParseField, SmallBufferIsCutNeverOverrun)
{
    char szLine[] = "Key=0123456789";
    struct {
        char sz[6];
        char canary[4];
    } g;
    memset(&g, 'Z', sizeof(g));
    EXPECT_EQ(1, fnInfParseField(szLine, 1, g.sz, sizeof(g.sz)));
    EXPECT_STREQ("01234", g.sz);
    EXPECT_EQ(0, memcmp(g.canary, "ZZZZ", 4));
    EXPECT_EQ(0, fnInfParseField(NULL, 1, g.sz, sizeof(g.sz)));
    EXPECT_STREQ("", g.sz);
}

/* All instruction lines from a position, as every handler reads them. */
std::vector<std::string> fnLines(const char *lpszPos)
{
    std::vector<std::string> out;
    char szLine[CCH_LINE_BUF];
    while (lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        out.push_back(szLine);
    }
    return out;
}

using V = std::vector<std::string>;

TEST(NextLine, SkipsBlanksAndCommentsAndStopsAtHeader)
{
    EXPECT_EQ((V{"a=1", "b = 2 ; not a comment"}),
              fnLines("  a=1  \r\n\r\n; comment\r\n\t\r\n   b = 2 ; not a comment\r\n  [Next]\r\nc=3\r\n"));
    EXPECT_EQ((V{}), fnLines("[Header]\r\nx\r\n"));
    EXPECT_EQ((V{"x", "y"}), fnLines("x\n\n\ny\n"));
}

TEST(NextLine, LastLineWithoutBreakIsStillRead)
{
    EXPECT_EQ((V{"a", "last"}), fnLines("a\r\nlast"));
    char szLine[CCH_LINE_BUF];
    const char *lpszText = "only";
    const char *lpszPos = fnInfGetNextLine(lpszText, szLine, sizeof(szLine));
    EXPECT_EQ(lpszText + 4, lpszPos);
    EXPECT_STREQ("only", szLine);
    /* nothing left: the end position with an empty line */
    lpszText = "\r\n; c\r\n";
    lpszPos = fnInfGetNextLine(lpszText, szLine, sizeof(szLine));
    EXPECT_EQ(lpszText + strlen(lpszText), lpszPos);
    EXPECT_STREQ("", szLine);
}

TEST(NextLine, LongLineIsSplitAt1024)
{
    std::string strLine(1500, 'x');
    strLine[0] = 'a';
    strLine[1024] = 'b';
    std::string strText = strLine + "\r\nnext\r\n";
    V lines = fnLines(strText.c_str());
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(1024u, lines[0].size());
    EXPECT_EQ('a', lines[0][0]);
    EXPECT_EQ(476u, lines[1].size());
    EXPECT_EQ('b', lines[1][0]);
    EXPECT_EQ("next", lines[2]);
}

TEST(Sections, NextSectionFindsHeaderAndNextHeader)
{
    const char *lpszText = "junk\r\n  [One] tail\r\na=1\r\n\t[Two]\r\nb\r\n";
    const char *lpszHeader, *lpszNext;
    EXPECT_EQ(1, fnGetNextSection(lpszText, &lpszHeader, &lpszNext));
    EXPECT_EQ(0, strncmp(lpszHeader, "[One]", 5));
    EXPECT_EQ(0, strncmp(lpszNext, "[Two]", 5));
    EXPECT_EQ(1, fnGetNextSection(lpszNext, &lpszHeader, &lpszNext));
    EXPECT_TRUE(lpszNext == NULL);
    EXPECT_EQ(0, fnGetNextSection("no header\r\n", &lpszHeader, &lpszNext));
}

TEST(Sections, NameListsMatchWholeEntriesWithoutCase)
{
    char szName[CCH_PATH];
    EXPECT_TRUE(fnIsInfSection("[ASKFOR]\r\nx", "[OptionButtons],[AskFor],[FromList]", szName, sizeof(szName)));
    EXPECT_STREQ("[AskFor]", szName);  /* the list's spelling is handed on */
    EXPECT_TRUE(fnIsInfSection("[askfor] trailing text", "[AskFor]", szName, sizeof(szName)));
    EXPECT_FALSE(fnIsInfSection("[Ask]", "[AskFor]", szName, sizeof(szName)));
    EXPECT_FALSE(fnIsInfSection("[AskForMore]", "[AskFor]", szName, sizeof(szName)));
    EXPECT_FALSE(fnIsInfSection(" [AskFor]", "[AskFor]", szName, sizeof(szName)));
    EXPECT_FALSE(fnIsInfSection("[AskFor", "[AskFor", szName, sizeof(szName)));
    EXPECT_TRUE(fnIsInfSection("[Exec]", ",,[Exec]", szName, sizeof(szName)));
    std::string strLong = "[" + std::string(258, 'L') + "]";  /* 260 characters with brackets */
    EXPECT_FALSE(fnIsInfSection(strLong.c_str(), strLong.c_str(), szName, sizeof(szName)));
    std::string strFits = "[" + std::string(257, 'L') + "]";
    EXPECT_TRUE(fnIsInfSection(strFits.c_str(), strFits.c_str(), szName, sizeof(szName)));
}

TEST(Sections, FindSectionStopsAtEndAndNeedsAWholeHeaderLine)
{
    const char *lpszText = "[A]\r\na=1\r\n[B] ; note\r\nb=1\r\n  [c]  \r\nc=1\r\n[End]\r\n[D]\r\nd=1\r\n";
    EXPECT_EQ((V{"a=1"}), fnLines(fnInfFindSection(lpszText, "[a]")));
    EXPECT_TRUE(fnInfFindSection(lpszText, "[B]") == NULL);
    EXPECT_EQ((V{"c=1"}), fnLines(fnInfFindSection(lpszText, "[C]")));
    EXPECT_TRUE(fnInfFindSection(lpszText, "[D]") == NULL);
    EXPECT_TRUE(fnInfFindLine(lpszText, "[D]") != NULL);  /* the plain line search passes "[End]" */
    EXPECT_TRUE(fnInfFindSection("x\r\n[Last]", "[Last]") == NULL);
}

TEST(Sections, CountAndLoadLines)
{
    const char *lpszText = "[Q]\r\nFirst=one\r\n;c\r\nSecond=two,2\r\nThird=three\r\n[R]\r\n";
    EXPECT_EQ(3, fnInfCountLines(lpszText, "[Q]", 9));
    EXPECT_EQ(2, fnInfCountLines(lpszText, "[Q]", 2));
    EXPECT_EQ(0, fnInfCountLines(lpszText, "[R]", 9));
    EXPECT_EQ(0, fnInfCountLines(lpszText, "[None]", 9));
    char szField[CCH_FIELD_BUF];
    EXPECT_EQ(1, fnInfLoadSection(lpszText, 2, "[Q]", szField, sizeof(szField)));
    EXPECT_STREQ("two", szField);
    EXPECT_EQ(0, fnInfLoadSection(lpszText, 4, "[Q]", szField, sizeof(szField)));
    EXPECT_STREQ("", szField);
}

/* The section loop ends a section by overwriting the break before the next header. */
TEST(Sections, SectionCutBeforeNextHeaderKeepsItsLastLine)
{
    char szCrLf[] = "[A]\r\nx=1\r\ny=2\r\n[B]\r\n";
    char *lpszNext = strstr(szCrLf, "[B]");
    lpszNext[-1] = '\0';
    EXPECT_EQ((V{"x=1", "y=2"}), fnLines(fnInfFindSection(szCrLf, "[A]")));
    char szLf[] = "[A]\nx=1\ny=2\n[B]\n";
    lpszNext = strstr(szLf, "[B]");
    lpszNext[-1] = '\0';
    EXPECT_EQ((V{"x=1", "y=2"}), fnLines(fnInfFindSection(szLf, "[A]")));
}

TEST(Trim, BlanksAndQuotes)
{
    const struct {
        const char *lpszIn;
        const char *lpszTrim;
    } trims[] = {
        {"  a b \t", "a b"}, {"", ""}, {" \t ", ""}, {"ab  \n  cd  ", "ab\n  cd  "},
    };
    for (const auto &r : trims) {
        char sz[32];
        fnCopyBounded(sz, sizeof(sz), r.lpszIn);
        fnTrimBlanks(sz);
        EXPECT_STREQ(r.lpszTrim, sz) << r.lpszIn;
    }
    const struct {
        const char *lpszIn;
        const char *lpszOut;
    } quotes[] = {
        {"\"C:\\Dir\\\"", "C:\\Dir\\"}, {"'a'", "a"}, {"\"'a'\"", "a"}, {"\"a'", "a'"},
        {"a\"", "a\""}, {"\"\"", ""},
    };
    for (const auto &r : quotes) {
        char sz[32];
        fnCopyBounded(sz, sizeof(sz), r.lpszIn);
        fnStripQuotes(sz);
        EXPECT_STREQ(r.lpszOut, sz) << r.lpszIn;
    }
}

TEST(CmdLine, QuotedArgumentsAndOptionOrder)
{
    char szArg[64];
    const char *lpsz = fnNextArg("  -i=\"C:\\My Dir\\a.inf\"  plain ", szArg, sizeof(szArg));
    EXPECT_STREQ("-i=C:\\My Dir\\a.inf", szArg);
    lpsz = fnNextArg(lpsz, szArg, sizeof(szArg));
    EXPECT_STREQ("plain", szArg);
    EXPECT_TRUE(fnNextArg(lpsz, szArg, sizeof(szArg)) == NULL);

    CmdOptionStruct opt;
    fnParseCmdLine("first.inf -i=named.inf later.inf -v=3 -q -w=2 -[Files]", &opt);
    EXPECT_STREQ("NAMED.INF", opt.szIniFile);  /* plain before -i= is replaced, after it ignored */
    EXPECT_TRUE(opt.bIniNamed);
    EXPECT_EQ(3u, opt.uDebugLevel);
    EXPECT_TRUE(opt.bQuiet);
    EXPECT_EQ(2u, opt.uShowVSWin);  /* -w= after -q places the window again */
    EXPECT_STREQ("[Files]", opt.szStartHere);

    fnParseCmdLine("-W=3 -Q -V -d= \"-m=Hello there\"", &opt);
    EXPECT_EQ(0u, opt.uShowVSWin);  /* -q after -w= hides it */
    EXPECT_EQ(1u, opt.uDebugLevel);
    EXPECT_STREQ("", opt.szDestDir);  /* a missing value is ignored */
    EXPECT_STREQ("Hello there", opt.szStartupMsg);  /* not upper-cased */
    EXPECT_FALSE(opt.bIniNamed);

    fnParseCmdLine("", &opt);
    EXPECT_EQ(0, opt.nOptions);
}

}  // namespace
