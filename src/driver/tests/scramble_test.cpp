/*
 * driver/tests/scramble_test.cpp -- the scrambling tables are permutations,
 * every text unscrambles to itself at every length and offset, and the
 * string form keeps to its buffer.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <random>
#include <string>

#include "driver/appended.h"
#include "driver/scramble.h"

namespace {

TEST(Scramble, AlphabetAndEveryRowArePermutations)
{
    bool abSeen[128] = {};
    for (int i = 0; i < CCH_SCRAMBLE_ALPHABET; i++) {
        BYTE b = g_abScrambleAlphabet[i];
        ASSERT_TRUE(b >= 1 && b <= 127) << "alphabet entry " << i;
        ASSERT_FALSE(abSeen[b]) << "alphabet repeats " << (int)b;
        abSeen[b] = true;
    }
    for (int r = 0; r < CCH_SCRAMBLE_ALPHABET; r++) {
        bool abRow[128] = {};
        for (int i = 0; i < CCH_SCRAMBLE_ALPHABET; i++) {
            BYTE b = g_abScrambleTable[r][i];
            ASSERT_TRUE(abSeen[b]) << "row " << r << " holds " << (int)b << ", not in the alphabet";
            ASSERT_FALSE(abRow[b]) << "row " << r << " repeats " << (int)b;
            abRow[b] = true;
        }
    }
}

/* Random texts of every byte value, NULs and high bytes included. */
static std::string fnRandomText(std::mt19937 &rng, size_t cb, bool bPrintable)
{
    std::string str(cb, '\0');
    for (size_t i = 0; i < cb; i++)
        str[i] = bPrintable ? (char)(32 + rng() % 95) : (char)(rng() % 256);
    return str;
}

static void fnRoundTrip(const std::string &strPlain, UINT uOffset)
{
    std::string str = strPlain;
    ASSERT_TRUE(fnShiftEnCrypt(&str[0], uOffset, (DWORD)str.size()));
    for (size_t i = 0; i < str.size(); i++) {
        BYTE bIn = (BYTE)strPlain[i], bOut = (BYTE)str[i];
        /* NULs and high bytes stay; nothing else becomes a NUL */
        if (bIn == 0 || bIn > 127)
            ASSERT_EQ(bIn, bOut) << "byte " << i;
        else
            ASSERT_TRUE(bOut >= 1 && bOut <= 127) << "byte " << i;
    }
    ASSERT_TRUE(fnShiftDeCrypt(&str[0], uOffset, (DWORD)str.size()));
    ASSERT_TRUE(str == strPlain);
}

TEST(Scramble, RoundTripsAtEveryLengthAndOffset)
{
    std::mt19937 rng(1234);
    for (size_t cb = 1; cb <= 2048; cb++) {
        UINT uOffset = 1 + (UINT)(cb % 126);
        SCOPED_TRACE(testing::Message() << "length " << cb << " offset " << uOffset);
        fnRoundTrip(fnRandomText(rng, cb, cb % 2 == 0), uOffset);
        if (HasFatalFailure())
            return;
    }
    /* lengths at the script limit, with the two end offsets */
    const size_t acbLarge[] = {CB_SCRIPT_MAX - 2, CB_SCRIPT_MAX - 1, CB_SCRIPT_MAX};
    for (size_t cb : acbLarge) {
        for (UINT uOffset : {1u, 126u}) {
            SCOPED_TRACE(testing::Message() << "length " << cb << " offset " << uOffset);
            fnRoundTrip(fnRandomText(rng, cb, false), uOffset);
        }
    }
}

TEST(Scramble, ScrambledTextDiffersAndDependsOnOffset)
{
    const char szPlain[] = "[Files]\r\nsetup.exe=@DestDir\\setup.exe\r\n";
    std::string str1 = szPlain, str126 = szPlain;
    ASSERT_TRUE(fnShiftEnCrypt(&str1[0], 1, (DWORD)str1.size()));
    ASSERT_TRUE(fnShiftEnCrypt(&str126[0], 126, (DWORD)str126.size()));
    EXPECT_NE(str1, szPlain);
    EXPECT_NE(str1, str126);
    EXPECT_EQ(std::string::npos, str1.find("[Files]"));
    /* the wrong offset does not give the text back */
    ASSERT_TRUE(fnShiftDeCrypt(&str1[0], 126, (DWORD)str1.size()));
    EXPECT_NE(str1, szPlain);
}

TEST(Scramble, RefusesMissingEmptyAndRowlessOffsets)
{
    char sz[] = "abc";
    const struct {
        char *lpText;
        UINT uOffset;
        DWORD dwSize;
    } rows[] = {
        {NULL, 1, 3},
        {sz, 1, 0},
        {sz, 127, 3},  /* a damaged offset byte names no row */
        {sz, 255, 3},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << "offset " << r.uOffset << " size " << r.dwSize);
        EXPECT_FALSE(fnShiftEnCrypt(r.lpText, r.uOffset, r.dwSize));
        EXPECT_FALSE(fnShiftDeCrypt(r.lpText, r.uOffset, r.dwSize));
        EXPECT_STREQ("abc", sz);
    }
}

TEST(Scramble, StringFormAppendsOffsetAndKeepsToBuffer)
{
    for (int i = 0; i < 200; i++) {
        char sz[16] = "Secret pw 1";
        ASSERT_TRUE(fnEnCryptString(sz, sizeof(sz)));
        ASSERT_EQ(12u, strlen(sz));
        BYTE bOffset = (BYTE)sz[11];
        ASSERT_TRUE(bOffset >= 1 && bOffset <= 126);
        ASSERT_TRUE(fnDeCryptString(sz));
        ASSERT_STREQ("Secret pw 1", sz);
    }
    /* exact fit: 14 characters, the offset and the terminator fill 16 */
    char szFit[16] = "12345678901234";
    EXPECT_TRUE(fnEnCryptString(szFit, sizeof(szFit)));
    char szFull[16] = "123456789012345";
    EXPECT_FALSE(fnEnCryptString(szFull, sizeof(szFull)));
    EXPECT_STREQ("123456789012345", szFull);
    char szEmpty[4] = "";
    EXPECT_FALSE(fnEnCryptString(szEmpty, sizeof(szEmpty)));
    EXPECT_FALSE(fnDeCryptString(szEmpty));
    char szOnlyOffset[2] = {5, 0};
    EXPECT_TRUE(fnDeCryptString(szOnlyOffset));
    EXPECT_STREQ("", szOnlyOffset);
}

TEST(Scramble, RandomRangeStaysInside)
{
    bool abSeen[127] = {};
    for (int i = 0; i < 20000; i++) {
        UINT u = fnRandomRange(1, 126);
        ASSERT_TRUE(u >= 1 && u <= 126);
        abSeen[u] = true;
    }
    EXPECT_TRUE(abSeen[1] && abSeen[126]);
    EXPECT_EQ(7u, fnRandomRange(7, 7));
    EXPECT_EQ(7u, fnRandomRange(7, 3));
}

}  // namespace
