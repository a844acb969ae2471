/*
 * common/tests/bounded_test.cpp -- the bounded helpers never write past their
 * buffer, always terminate, and say when they cut.
 */
#include <gtest/gtest.h>

#include <string.h>

#include "common/bounded.h"

namespace {

struct GuardedStruct {
    char sz[8];
    char canary[8];
};

TEST(Bounded, CopyExactFitOneTooLongEmptyAndMissing)
{
    const struct {
        const char *lpszSrc;
        const char *lpszWant;
        BOOL bWant;
    } rows[] = {
        {"1234567", "1234567", TRUE},   /* exact fit: 7 characters and the terminator */
        {"12345678", "1234567", FALSE}, /* one too long */
        {"", "", TRUE},
        {NULL, "", TRUE},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszSrc ? r.lpszSrc : "(null)");
        GuardedStruct g;
        memset(&g, 'Z', sizeof(g));
        EXPECT_EQ(r.bWant, fnCopyBounded(g.sz, sizeof(g.sz), r.lpszSrc));
        EXPECT_STREQ(r.lpszWant, g.sz);
        EXPECT_EQ(0, memcmp(g.canary, "ZZZZZZZZ", 8));
    }
    char c = 'x';
    EXPECT_FALSE(fnCopyBounded(&c, 0, "a"));
    EXPECT_EQ('x', c);
}

TEST(Bounded, CopyCountedStopsAtCountOrNul)
{
    char sz[8];
    EXPECT_TRUE(fnCopyBoundedN(sz, sizeof(sz), "abcdef", 3));
    EXPECT_STREQ("abc", sz);
    EXPECT_TRUE(fnCopyBoundedN(sz, sizeof(sz), "ab", 5));
    EXPECT_STREQ("ab", sz);
    EXPECT_FALSE(fnCopyBoundedN(sz, sizeof(sz), "abcdefghij", 9));
    EXPECT_STREQ("abcdefg", sz);
}

TEST(Bounded, AppendCutsAndMendsUnterminatedDestination)
{
    GuardedStruct g;
    memset(&g, 'Z', sizeof(g));
    fnCopyBounded(g.sz, sizeof(g.sz), "abc");
    EXPECT_TRUE(fnAppendBounded(g.sz, sizeof(g.sz), "def"));
    EXPECT_STREQ("abcdef", g.sz);
    EXPECT_FALSE(fnAppendBounded(g.sz, sizeof(g.sz), "gh"));
    EXPECT_STREQ("abcdefg", g.sz);
    memset(g.sz, 'y', sizeof(g.sz));  /* no terminator at all */
    EXPECT_FALSE(fnAppendBounded(g.sz, sizeof(g.sz), "x"));
    EXPECT_EQ('\0', g.sz[7]);
    EXPECT_EQ(0, memcmp(g.canary, "ZZZZZZZZ", 8));
}

TEST(Bounded, FormatReturnsCutLength)
{
    GuardedStruct g;
    memset(&g, 'Z', sizeof(g));
    EXPECT_EQ(5, fnFormatBounded(g.sz, sizeof(g.sz), "%d-%s", 12, "ab"));
    EXPECT_STREQ("12-ab", g.sz);
    EXPECT_EQ(7, fnFormatBounded(g.sz, sizeof(g.sz), "%s", "0123456789"));
    EXPECT_STREQ("0123456", g.sz);
    EXPECT_EQ(0, memcmp(g.canary, "ZZZZZZZZ", 8));
}

TEST(Bounded, CaseRulesAreAsciiOnly)
{
    EXPECT_TRUE(fnEqualNoCase("[AskFor]", "[ASKFOR]"));
    EXPECT_FALSE(fnEqualNoCase("[AskFor]", "[AskFor"));
    EXPECT_FALSE(fnEqualNoCase("\xe4", "\xc4"));
    EXPECT_TRUE(fnPrefixNoCase("[end]x", "[End]", 5));
    EXPECT_FALSE(fnPrefixNoCase("[En", "[End]", 5));  /* shorter than n never matches */
}

}  // namespace
