/*
 * process/tests/runcheck_test.cpp -- [CheckIfRunning]'s action words, list
 * split and outcomes, and what a close line's answer does.
 */
#include <gtest/gtest.h>

#include <string.h>

#include "common/bounded.h"
#include "process/runcheck.h"

namespace {

BOOL fnOnlyCalcRuns(const char *lpszName)
{
    return fnEqualNoCase(lpszName, "calc.exe");
}

TEST(RunCheck, ActionWords)
{
    EXPECT_EQ((UINT)CIRACT_ONFINDEXIT, fnCheckRunAction("onfindexit"));
    EXPECT_EQ((UINT)CIRACT_NOFINDCONT, fnCheckRunAction("NOFINDCONTINUE"));  /* ten characters count */
    EXPECT_EQ((UINT)CIRACT_NONE, fnCheckRunAction("ONFIND"));
    EXPECT_EQ((UINT)CIRACT_NONE, fnCheckRunAction(""));
}

TEST(RunCheck, ListSplitsIntoFoundAndMissing)
{
    char szFound[CCH_CHECKFOR_LIST] = "x", szMissing[CCH_CHECKFOR_LIST] = "x";
    EXPECT_EQ(1, fnSplitRunningList("notepad.exe, \tCALC.EXE ,,edit.exe", fnOnlyCalcRuns, szFound, sizeof(szFound),
                                    szMissing, sizeof(szMissing)));
    EXPECT_STREQ("CALC.EXE", szFound);
    EXPECT_STREQ("notepad.exe, edit.exe", szMissing);
    EXPECT_EQ(0, fnSplitRunningList("", fnOnlyCalcRuns, szFound, sizeof(szFound), szMissing, sizeof(szMissing)));
    EXPECT_STREQ("", szFound);
    EXPECT_STREQ("", szMissing);
    /* a list longer than its buffer is cut, never overrun */
    char szSmall[8];
    fnSplitRunningList("aaaa.exe,bbbb.exe", fnOnlyCalcRuns, szFound, sizeof(szFound), szSmall, sizeof(szSmall));
    EXPECT_EQ(7u, strlen(szSmall));
}

TEST(RunCheck, OutcomeStatusAndMessage)
{
    const struct {
        UINT uAction;
        BOOL bFound;
        UINT uWant;
        BOOL bShow;
    } rows[] = {
        {CIRACT_ONFINDEXIT, TRUE, 7, TRUE},   {CIRACT_ONFINDCONT, TRUE, 1, TRUE},  {CIRACT_NOFINDEXIT, TRUE, 1, FALSE},
        {CIRACT_NONE, TRUE, 1, FALSE},        {CIRACT_NOFINDEXIT, FALSE, 7, TRUE}, {CIRACT_NOFINDCONT, FALSE, 1, TRUE},
        {CIRACT_ONFINDEXIT, FALSE, 1, FALSE},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.uAction * 10 + r.bFound);
        BOOL bShow = 2;
        EXPECT_EQ(r.uWant, fnCheckRunStatus(r.uAction, r.bFound, &bShow));
        EXPECT_EQ(r.bShow, bShow);
    }
    char sz[64];
    fnCheckRunMessage("Please close:", TRUE, "calc.exe, edit.exe", sz, sizeof(sz));
    EXPECT_STREQ("Please close:\ncalc.exe, edit.exe", sz);
    fnCheckRunMessage("Please close:", FALSE, "calc.exe", sz, sizeof(sz));
    EXPECT_STREQ("Please close:", sz);
}

TEST(RunCheck, CloseAnswers)
{
    EXPECT_EQ((UINT)CLOSEANS_CLOSE, fnCloseAnswer(1));    /* OK */
    EXPECT_EQ((UINT)CLOSEANS_CLOSE, fnCloseAnswer(6));    /* Yes */
    EXPECT_EQ((UINT)CLOSEANS_SKIP, fnCloseAnswer(7));     /* No */
    EXPECT_EQ((UINT)CLOSEANS_SKIP, fnCloseAnswer(2));     /* Cancel */
    EXPECT_EQ((UINT)CLOSEANS_SKIP, fnCloseAnswer(0));     /* no window: never closed unasked */
    EXPECT_EQ((UINT)CLOSEANS_EXIT, fnCloseAnswer(115));   /* Exit */
}

}  // namespace
