/*
 * script/tests/inlinefun_test.cpp -- inline functions on the host: 64-bit
 * sums and differences, slicing, the text search that does not restart inside
 * a partial match, list building, the argument picker and splitter, file
 * tests through the fake machine, and the result limit.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "fakemachine.h"
#include "script/inlinefun.h"
#include "script/optstore.h"

namespace {

/* "result|text"; the result buffer starts with a sentinel to see what a failure leaves. */
std::string fnF(const char *lpszFun)
{
    char sz[CCH_EXPANDED];
    fnCopyBounded(sz, sizeof(sz), "sentinel");
    int n = fnParseFun(lpszFun, sz, sizeof(sz));
    return std::to_string(n) + "|" + sz;
}

class InlineFunTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        fnInstallFakeMachine();
        g_fake.fileVersions["C:\\app\\v2.dll"] = "2.0.0.0|2.0.0.0";
        g_fake.fileVersions["C:\\app\\nover.dll"] = "";
    }
    void TearDown() override { g_lpMachine = &g_machineNone; }
};

TEST_F(InlineFunTest, TableOfFunctions)
{
    const struct {
        const char *lpszFun, *lpszWant;
    } rows[] = {
        {"fnSum(1,2,3", "1|6"},
        {"fnSum(5;-7", "1|18446744073709551614"},
        {"fnSum(9223372036854775807,1", "1|9223372036854775808"},
        {"fnSum(", "1|0"},
        {"FNSUM( 4 , x5", "1|4"},
        {"fnDif(10,3,2", "1|5"},
        {"fnDif(1,5", "1|-4"},
        {"fnDif(-9223372036854775807,2", "1|9223372036854775807"},  /* wraps as 64-bit arithmetic */
        {"fnStrBegin(abcdef,3", "1|abc"},
        {"fnStrBegin(ab,9", "1|ab"},
        {"fnStrBegin(abc,x2y", "1|ab"},             /* counts read every digit of the text */
        {"fnStrEnd(abcdef,2", "1|ef"},
        {"fnStrEnd(abc,9", "1|abc"},
        {"fnStrEnd(abc,0", "1|"},
        {"fnStrCmp(Abc,abc", "1|FALSE"},
        {"fnStrICmp(Abc,abc", "1|TRUE"},
        {"fnStrInStr(abc,x", "1|"},
        {"fnStrInStr(abc,B", "1|TRUE"},
        {"fnStrInStr(aaab,aab", "1|"},             /* the search does not restart inside a partial match */
        {"fnStrInStr(abc,", "1|"},                 /* an empty part is never found */
        {"fnStrStr(Hello World,WOR", "1|World"},
        {"fnCharRemove(a-b-c,-", "1|abc"},
        {"fnCharRemove(aAa,a", "1|A"},
        {"fnCharRemove(abc,", "1|abc"},
        {"fnCharReplace(a.b.c,.,/", "1|a/b/c"},
        {"fnCharReplace(a.b.c,.,", "1|a"},
        {"fnCharReplace(a.b.c,,x", "1|a.b.c"},
        {"fnStrReplace(aXbX,x,Y", "1|aYbX"},
        {"fnStrReplace(abc,z,Y", "1|abc"},
        {"fnStrLen(", "1|0"},
        {"fnStrLen(\"a,b\"", "1|3"},
        {"fnStrAddList(a,b", "1|a,b"},
        {"fnStrAddList(,b", "1|b"},
        {"fnStrAddList(a,c;b,x", "1|a,c"},
        {"fnStrAddList(xy,Y", "1|y"},
        {"fnStrAdd(abc,b", "1|bc"},
        {"fnStrAdd(abc,d", "1|abcd"},
        {"fnStrInsert(abc,d", "1|dabc"},
        {"fnStrInsertList(abc,d", "1|d,abc"},
        {"fnStrInsertList(,d", "1|d"},
        {"fnGetArg(\"p=q\",0", "1|p"},
        {"fnGetArg(\"a b c\",2", "1|b"},
        {"fnGetArg(\"a b c\",7", "1|"},
        {"fnStrEndToUniBin(AB,0", "1|41 00 42 00"},
        {"fnStrEndToUniBin(ABC,2", "1|42 00 43 00"},
        {"fnStrEndToUniBin(ABC", "1|41 00 42 00 43 00"},
        {"fnStrEndToUniBin(,0", "0|sentinel"},     /* an empty selection fails and leaves the result */
        {"fnNoSuch(1", "1|"},
        {"fnFileExist(C:\\app\\v2.dll\\", "1|TRUE"},
        {"fnFileExist(C:\\app\\none.dll", "1|FALSE"},
        {"fnFileExist('C:\\app\\v2.dll'", "1|TRUE"},      /* quotes go as in the file conditions */
        {"fnGetFileVer(C:\\app\\v2.dll,Product", "1|2.0.0.0"},
        {"fnGetFileVer(C:\\app\\v2.dll,file", "1|2.0.0.0"},
        {"fnGetFileVer(C:\\app\\v2.dll,X", "1|"},
        {"fnGetFileVer(C:\\app\\nover.dll,P", "1|"},
        {"fnCmpFileVer(C:\\app\\v2.dll,1.0.0.0,GE", "1|TRUE"},
        {"fnCmpFileVer(C:\\app\\v2.dll,1.0.0.0,lt", "1|FALSE"},
        {"fnCmpFileVer(C:\\app\\v2.dll,3.0.0.0,LT", "1|TRUE"},
        {"fnCmpFileVer(C:\\app\\v2.dll,2.0.0.0,EQ", "1|TRUE"},
        {"fnCmpFileVer(C:\\app\\v2.dll,2.0.0.0,XX", "1|FALSE"},
        {"fnCmpFileVer(C:\\app\\nover.dll,1.0.0.0,NE", "1|TRUE"},
        {"fnCmpFileVer(C:\\app\\nover.dll,1.0.0.0,GE", "1|FALSE"},
        {"fnCmpFileVer(C:\\app\\nover.dll,1.0.0.0,LE", "1|FALSE"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszFun);
        EXPECT_EQ(r.lpszWant, fnF(r.lpszFun));
    }
}

TEST_F(InlineFunTest, ArgumentsAreExpanded)
{
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), "C:\\Dest");
    EXPECT_EQ("1|7", fnF("fnStrLen(@D"));
    g_fake.env["N"] = "4";
    EXPECT_EQ("1|abcd", fnF("fnStrBegin(abcdef,@%N%"));
}

TEST_F(InlineFunTest, ArgumentCutAtItsLimitFailsWhereItWouldChangeTheAnswer)
{
    /* a PATH longer than an argument: the folder behind the cut would not be found */
    g_fake.env["PATH"] = "C:\\WINDOWS;" + std::string(300, 'p') + ";C:\\Tools";
    EXPECT_EQ("0|sentinel", fnF("fnStrInStr(@%PATH%;C:\\Tools"));
    EXPECT_EQ("0|sentinel", fnF("fnStrLen(@%PATH%"));
    EXPECT_EQ("0|sentinel", fnF("fnStrICmp(@%PATH%;@%PATH%x"));
    EXPECT_EQ("0|sentinel", fnF("fnGetArg(@%PATH%,3"));
    /* only the start of these arguments counts */
    EXPECT_EQ("1|C:\\W", fnF("fnStrBegin(@%PATH%,4"));
    std::string strReplaced = fnF("fnCharReplace(@%PATH%,\\,/");
    EXPECT_EQ("1|C:/WINDOWS;ppp", strReplaced.substr(0, 16));
    EXPECT_EQ(2u + 259u, strReplaced.size());
}

TEST_F(InlineFunTest, GetFunFieldsSplitsAndCuts)
{
    char a[FUN_ARGS][CCH_PATH];
    char *lp[FUN_ARGS];
    for (int i = 0; i < FUN_ARGS; i++) {
        lp[i] = a[i];
        memset(a[i], 'Z', CCH_PATH);
    }
    lp[4] = NULL;
    ASSERT_EQ(1, fnGetFunFields("fnX( one ;\"t,w\" , (a)b) tail", 4, lp));
    EXPECT_STREQ("one", a[0]);
    EXPECT_STREQ("t,w", a[1]);
    EXPECT_STREQ("(a)b) tail", a[2]); /* after one '(' every ')' is text */
    EXPECT_STREQ("", a[3]);
    EXPECT_EQ('Z', a[4][0]);       /* a null output is left alone */
    EXPECT_EQ(0, fnGetFunFields(NULL, 4, lp));
}

TEST_F(InlineFunTest, ResultsStopAtTheLimit)
{
    std::string s = "fnStrEndToUniBin(" + std::string(60, 'A');
    char sz[CCH_EXPANDED + 4];
    memset(sz, '#', sizeof(sz));
    ASSERT_EQ(1, fnParseFun(s.c_str(), sz, CCH_EXPANDED));
    EXPECT_EQ(43u * 6 - 1, strlen(sz)) << "only whole entries are written";
    EXPECT_EQ('#', sz[CCH_EXPANDED]);

    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), std::string(200, 'a').c_str());
    ASSERT_EQ(1, fnParseFun("fnStrReplace(@K0x,x,@K0", sz, CCH_EXPANDED));
    EXPECT_EQ(259u, strlen(sz));
    EXPECT_EQ('#', sz[CCH_EXPANDED]);
}

} // namespace
