/*
 * process/tests/winmatch_test.cpp -- the window title rule and the search
 * order over a made-up window list.
 */
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/bounded.h"
#include "process/winmatch.h"

namespace {

/* windows are numbers; 0 has no text; children by parent */
std::map<long, std::string> s_text;
std::vector<long> s_top;
std::map<long, std::vector<long>> s_children;
long s_hung;

void fnTop(WindowVisitProc pfn, void *lpContext)
{
    for (long h : s_top)
        if (!pfn((void *)h, lpContext))
            return;
}
void fnChildren(void *hParent, WindowVisitProc pfn, void *lpContext)
{
    for (long h : s_children[(long)hParent])
        if (!pfn((void *)h, lpContext))
            return;
}
BOOL fnText(void *hWnd, char *lpsz, size_t cch)
{
    if ((long)hWnd == s_hung)
        return FALSE;
    return fnCopyBounded(lpsz, cch, s_text[(long)hWnd].c_str()) || TRUE;
}

TEST(WinMatchTest, TitleRule)
{
    EXPECT_TRUE(fnWindowTextMatches("setup wizard - step 2", "Setup Wizard", 12));
    EXPECT_FALSE(fnWindowTextMatches("setup wizard - step 2", "Setup Wizard", 0));
    EXPECT_TRUE(fnWindowTextMatches("SETUP WIZARD", "Setup Wizard", 0));
    EXPECT_FALSE(fnWindowTextMatches("Setup", "Setup Wizard", 12));  /* too short for the prefix */
    EXPECT_FALSE(fnWindowTextMatches("", "", 0));                    /* untitled windows never match */
}

TEST(WinMatchTest, TopLevelBeforeChildrenAndSkips)
{
    s_text = {{1, ""}, {2, "Main"}, {3, "Setup Wizard child"}, {4, "Setup Wizard"}, {5, "Setup Wizard hung"}};
    s_top = {1, 5, 2, 4};
    s_children = {{2, {3}}};
    s_hung = 5;
    WindowWalkStruct walk = {fnTop, fnChildren, fnText, NULL};
    /* window 2's child comes before the later top-level window 4; the hung 5 is passed over */
    EXPECT_EQ((void *)3, fnFindWindowTextIn(&walk, "setup wizard", 12));
    EXPECT_EQ((void *)4, fnFindWindowTextIn(&walk, "setup wizard", 0));
    EXPECT_EQ(nullptr, fnFindWindowTextIn(&walk, "", 0));
    walk.hSkip = (void *)2;  /* a skipped window's children are still looked at */
    EXPECT_EQ((void *)3, fnFindWindowTextIn(&walk, "Setup", 5));
    walk.hSkip = (void *)4;
    EXPECT_EQ(nullptr, fnFindWindowTextIn(&walk, "Setup Wizard", 0));
}

} // namespace
