/*
 * script/tests/conditions_test.cpp -- line tests and section conditions with
 * faked machine facts: operators, the instruction left behind, the special
 * forms, lines that are no conditions, and an operator that only arrives
 * through expansion.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/machine.h"
#include "common/runstate.h"
#include "script/conditions.h"

namespace {

bool s_bFileExists;
std::string s_strAskedSpec;

BOOL fnFakeExists(const char *lpszSpec)
{
    s_strAskedSpec = lpszSpec;
    return s_bFileExists ? TRUE : FALSE;
}

BOOL fnFakeEnv(const char *lpszName, char *lpszValue, size_t cchValue)
{
    const char *lpsz = NULL;
    if (strcmp(lpszName, "ONE") == 0)
        lpsz = "1";
    else if (strcmp(lpszName, "NOTB") == 0)
        lpsz = "~B";
    else if (strcmp(lpszName, "LONG") == 0)
        lpsz = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
               "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
               "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
    if (!lpsz)
        return FALSE;
    snprintf(lpszValue, cchValue, "%s", lpsz);
    return TRUE;
}

class ConditionsTest : public ::testing::Test {
protected:
    MachineLookupStruct m_machine;
    const MachineLookupStruct *m_lpSaved;
    void SetUp() override
    {
        fnResetRunState();
        m_machine = g_machineNone;
        m_machine.pfnFileOrDirExists = fnFakeExists;
        m_machine.pfnGetEnv = fnFakeEnv;
        m_lpSaved = g_lpMachine;
        g_lpMachine = &m_machine;
        s_bFileExists = false;
        s_strAskedSpec.clear();
    }
    void TearDown() override { g_lpMachine = m_lpSaved; }

    /* "result|line after the test" */
    std::string fnTest(const char *lpszLine)
    {
        char szLine[CCH_LINE_BUF];
        snprintf(szLine, sizeof(szLine), "%s", lpszLine);
        UINT u = fnInfTestIfTwoFields(szLine);
        return std::to_string(u) + "|" + szLine;
    }
};

TEST_F(ConditionsTest, LineTestsLeaveTheInstruction)
{
    const struct {
        const char *lpszLine;
        const char *lpszWant;
    } rows[] = {
        {"abc=ABC,Key=Value", "102|Key=Value"},
        {"abc=abd,Key=Value", "103|Key=Value"},
        {"abc=~abd,Key=Value", "102|Key=Value"},
        {"abc=~ABC,Key=Value", "103|Key=Value"},
        {"a=<a,K=V", "102|K=V"},    /* < and > test equality, not order */
        {"a=>b,K=V", "103|K=V"},
        {"a==a,K=V", "102|K=V"},    /* a doubled '=' is an equality test on the same instruction */
        {"a==b,K=V", "103|K=V"},
        {"\"x=y\"=\"x=y\",K=V", "102|K=V"},
        {"Key=Value", "100|Key=Value"},     /* one key and one value: no condition */
        {"Key=a,b,c", "100|Key=a,b,c"},
        {"plain line", "100|plain line"},
        {"Key=\"a,b=c\"", "100|Key=\"a,b=c\""},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszLine);
        EXPECT_EQ(r.lpszWant, fnTest(r.lpszLine));
    }
}

TEST_F(ConditionsTest, SectionConditionsAndFileForms)
{
    EXPECT_EQ("104|SkipIfTrue:1=1", fnTest("SkipIfTrue:1=1"));
    EXPECT_EQ("101|SkipIfTrue:1=0", fnTest("SkipIfTrue:1=0"));
    EXPECT_EQ("101|skipiftrue:1=~1", fnTest("skipiftrue:1=~1"));
    EXPECT_EQ("101|ProcessIfTrue:yes=YES", fnTest("ProcessIfTrue:yes=YES"));
    EXPECT_EQ("104|ProcessIfTrue:yes=no", fnTest("ProcessIfTrue:yes=no"));
    EXPECT_EQ("104|SkipIfTrue:@%ONE%=1", fnTest("SkipIfTrue:@%ONE%=1"));

    s_bFileExists = true;
    EXPECT_EQ("104|SkipIfFileExists=\"C:\\A B\\*.dll\"", fnTest("SkipIfFileExists=\"C:\\A B\\*.dll\""));
    EXPECT_EQ("C:\\A B\\*.dll", s_strAskedSpec);
    EXPECT_EQ("101|ProcessIfFileExists=C:\\x", fnTest("ProcessIfFileExists=C:\\x"));
    EXPECT_EQ("104|ProcessIfFileNotFound=C:\\x", fnTest("ProcessIfFileNotFound=C:\\x"));
    /* the operator has no effect on the file forms */
    EXPECT_EQ("104|SkipIfFileExists=~C:\\x", fnTest("SkipIfFileExists=~C:\\x"));
    EXPECT_EQ("C:\\x", s_strAskedSpec);
    s_bFileExists = false;
    EXPECT_EQ("101|SkipIfFileExists=C:\\x", fnTest("SkipIfFileExists=C:\\x"));
    EXPECT_EQ("104|ProcessIfFileExists=C:\\x", fnTest("ProcessIfFileExists=C:\\x"));
}

TEST_F(ConditionsTest, BothSidesExpandedButOperatorOnlyFromRawText)
{
    char szLeft[CCH_FIELD_BUF] = "B";
    char szRight[CCH_FIELD_BUF] = "@%NOTB%";
    /* the '~' arrives through expansion and is compared as text */
    EXPECT_EQ((UINT)IDTEST_FALSE, fnInfTestField(szLeft, szRight));
    EXPECT_STREQ("~B", szRight);
    char szLeft2[CCH_FIELD_BUF] = "@%ONE%";
    char szRight2[CCH_FIELD_BUF] = "~1";
    EXPECT_EQ((UINT)IDTEST_FALSE, fnInfTestField(szLeft2, szRight2));
    EXPECT_STREQ("1", szLeft2);
    EXPECT_EQ("102|K=V", fnTest("@%ONE%=1,K=V"));
}

TEST_F(ConditionsTest, SideCutAtTheExpansionLimitIsNotCompared)
{
    /* both sides would be cut to the same 259 characters although they differ behind them */
    EXPECT_EQ("103|K=V", fnTest("@%LONG%x=@%LONG%y,K=V"));
    EXPECT_EQ("103|K=V", fnTest("@%LONG%=~@%LONG%,K=V"));
    EXPECT_EQ("103|SkipIfTrue:@%LONG%=1", fnTest("SkipIfTrue:@%LONG%=1"));
    EXPECT_EQ("102|K=V", fnTest("@%ONE%@%ONE%=11,K=V"));
}

TEST_F(ConditionsTest, MissingLineIsSkipped)
{
    EXPECT_EQ((UINT)IDTEST_FALSE, fnInfTestIfTwoFields(NULL));
}

}  // namespace
