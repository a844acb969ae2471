/*
 * install/tests/vertext_test.cpp -- dotted version texts, number conditions,
 * the condition table of file-version results and the lister's words.
 */
#include <gtest/gtest.h>

#include <string>

#include "install/vertext.h"

namespace {

TEST(VersionText, DottedVersions)
{
    const struct {
        const char *lpszText;
        WORD w0, w1, w2, w3;
    } rows[] = {
        {"4,0,950", 4, 0, 950, 0},
        {"1.2.3.4", 1, 2, 3, 4},
        {"1.2.3.4.5", 1, 2, 3, 4},
        {"2", 2, 0, 0, 0},
        {"", 0, 0, 0, 0},
        {"65535.65536.1", 65535, 0, 1, 0},   /* a part keeps its low 16 bits */
        {"1a.2", 1, 2, 0, 0},
        {"1,,3", 1, 0, 3, 0},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszText);
        WORD w[4];
        DWORD dwMS, dwLS;
        fnParseDottedVersion(r.lpszText, w, &dwMS, &dwLS);
        EXPECT_EQ(r.w0, w[0]);
        EXPECT_EQ(r.w1, w[1]);
        EXPECT_EQ(r.w2, w[2]);
        EXPECT_EQ(r.w3, w[3]);
        EXPECT_EQ(((DWORD)r.w0 << 16) | r.w1, dwMS);
        EXPECT_EQ(((DWORD)r.w2 << 16) | r.w3, dwLS);
    }
}

TEST(VersionText, NumberConditions)
{
    const struct {
        const char *lpszVersion, *lpszCond;
        UINT uTest;
        int nWant;
    } rows[] = {
        {"5.1", "EQ", 5, 1}, {"5", "ne", 5, 2},  {"4x", "LT", 5, 1}, {"6", "GT", 5, 1},
        {"5", "LE", 5, 1},   {"5", "GE", 6, 2},  {"5", "XX", 5, 2},  {"abc", "EQ", 0, 1},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.lpszVersion) + " " + r.lpszCond);
        EXPECT_EQ(r.nWant, fnTestVersion(r.lpszVersion, r.lpszCond, r.uTest));
    }
}

TEST(VersionText, FileVersionResultsUnderConditions)
{
    const char *aszConds[] = {"EQ", "NE", "LT", "GT", "LE", "GE", "??"};
    const struct {
        int nCmp;
        const char *lpszHolds; /* one letter per condition above */
    } rows[] = {
        {0, "YNNNYYN"}, {7, "NYYNYNN"}, {11, "NYNYNYN"}, {5, "NYNNNNN"},
        {1, "NNNNNNN"}, {2, "NNNNNNN"}, {3, "NNNNNNN"},
    };
    for (const auto &r : rows) {
        for (int i = 0; i < 7; i++) {
            SCOPED_TRACE(std::to_string(r.nCmp) + " " + aszConds[i]);
            EXPECT_EQ(r.lpszHolds[i] == 'Y', fnVersionResultHolds(r.nCmp, aszConds[i]) != 0);
        }
    }
    EXPECT_TRUE(fnVersionResultHolds(0, "ge"));
}

TEST(VersionText, ListerWords)
{
    char sz[128];
    fnFormatVersion(0x00010002, 0x00030004, sz, sizeof(sz));
    EXPECT_STREQ("1.2.3.4", sz);
    fnVersionFlagsText(0, sz, sizeof(sz));
    EXPECT_STREQ("No flags", sz);
    fnVersionFlagsText(0x1 | 0x4 | 0x20, sz, sizeof(sz));
    EXPECT_STREQ("Debug Patched Special ", sz);
    fnVersionOSText(0x00040004, sz, sizeof(sz));
    EXPECT_STREQ("Windows-32 under Windows-NT", sz);
    fnVersionOSText(0x00000004, sz, sizeof(sz));
    EXPECT_STREQ("Windows 32 bit", sz);
    fnVersionTypeText(3, 10, sz, sizeof(sz));
    EXPECT_STREQ("Device driver (Communication)", sz);
    fnVersionTypeText(4, 3, sz, sizeof(sz));
    EXPECT_STREQ("Font (TrueType)", sz);
    fnVersionTypeText(2, 0, sz, sizeof(sz));
    EXPECT_STREQ("Dynamic-link library", sz);
    const BYTE abTrans[4] = {0x09, 0x04, 0xE4, 0x04};
    fnTranslationText(abTrans, 4, sz, sizeof(sz));
    EXPECT_STREQ("040904e4", sz);
    fnTranslationText(abTrans, 8, sz, sizeof(sz));
    EXPECT_STREQ("040904E4", sz);
}

} // namespace
