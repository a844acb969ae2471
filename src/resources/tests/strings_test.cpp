/*
 * resources/tests/strings_test.cpp -- every numbered text loads from the
 * program's string table exactly as the program's messages expect it.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include "driver/winstate.h"

namespace {

struct ExpectedStringStruct {
    UINT uId;
    const char *lpszText;
};

const ExpectedStringStruct s_expected[] = {
#include "strings_expected.inc"
};

TEST(StringTable, EveryEntryLoadsWithItsExactText)
{
    char sz[2048];
    for (const ExpectedStringStruct &e : s_expected) {
        SCOPED_TRACE(e.uId);
        int n = fnLoadStr(e.uId, sz, sizeof(sz));
        EXPECT_EQ((int)strlen(e.lpszText), n);
        EXPECT_STREQ(e.lpszText, sz);
    }
}

TEST(StringTable, MissingIdGivesEmptyTextAndShortBufferIsCut)
{
    char sz[16] = "sentinel";
    EXPECT_EQ(0, fnLoadStr(999, sz, sizeof(sz)));
    EXPECT_STREQ("", sz);
    char szShort[6];
    fnLoadStr(1013, szShort, sizeof(szShort));
    EXPECT_STREQ("Insta", szShort);
}

}  // namespace
