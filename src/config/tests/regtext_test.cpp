/*
 * config/tests/regtext_test.cpp -- registry path texts, type names and the
 * data/text conversions, on the host.
 */
#include <gtest/gtest.h>

#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "config/regtext.h"

namespace {

TEST(RegText, FindsRootInTableOrderAnywhere)
{
    struct Row {
        const char *lpszIn;
        UINT uRoot;
        const char *lpszSubKey;
    } aRows[] = {
        {"HKEY_LOCAL_MACHINE\\Software\\X", REGROOT_LOCAL_MACHINE, "Software\\X"},
        {"HKEY_LOCAL_MACHINE\\\\Software\\X", REGROOT_LOCAL_MACHINE, "Software\\X"},
        {"hkey_current_user\\Software", REGROOT_CURRENT_USER, "Software"},
        {"HKEY_USERS\\.DEFAULT", REGROOT_USERS, ".DEFAULT"},
        {"HKEY_CLASSES_ROOT\\.txt", REGROOT_CLASSES_ROOT, ".txt"},
        {"HKEY_DYN_DATA\\x", REGROOT_DYN_DATA, "x"},
        {"HKEY_CURRENT_CONFIG\\System", REGROOT_CURRENT_CONFIG, "System"},
        {"HKEY_PERFORMANCE_DATA\\Global", REGROOT_PERFORMANCE_DATA, "Global"},
        /* found anywhere: text in front of the name goes with it */
        {"\"HKEY_LOCAL_MACHINE\\A", REGROOT_LOCAL_MACHINE, "A"},
        /* table order, not text order: the classes root wins over an earlier machine name */
        {"HKEY_LOCAL_MACHINE\\HKEY_CLASSES_ROOT\\B", REGROOT_CLASSES_ROOT, "B"},
        /* a name alone has no root; a trailing backslash is enough */
        {"HKEY_LOCAL_MACHINE", REGROOT_NONE, "HKEY_LOCAL_MACHINE"},
        {"HKEY_LOCAL_MACHINE\\", REGROOT_LOCAL_MACHINE, ""},
        /* a root alone at the end does not stop the search for the next name */
        {"HKEY_CURRENT_USER\\x\\HKEY_LOCAL_MACHINE", REGROOT_CURRENT_USER, "x\\HKEY_LOCAL_MACHINE"},
        {"HKLM\\Software", REGROOT_NONE, "HKLM\\Software"},
        {"", REGROOT_NONE, ""},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszIn);
        char szPath[CCH_REG_BUF];
        fnCopyBounded(szPath, sizeof(szPath), row.lpszIn);
        EXPECT_EQ(row.uRoot, fnFindRegRoot(szPath));
        EXPECT_STREQ(row.lpszSubKey, szPath);
    }
}

TEST(RegText, TypeNames)
{
    struct Row {
        const char *lpszName;
        DWORD dwType;
    } aRows[] = {
        {"NONE", 0}, {"sz", 1}, {"Expand_SZ", 2}, {"BINARY", 3}, {"hex", 3}, {"DWORD", 4},
        {"DWORD_BIG_ENDIAN", 5}, {"LINK", 6}, {"MULTI_SZ", 7}, {"RESOURCE_LIST", 8},
        {"", 1}, {"QWORD", 1}, {"DWORD ", 1}, {NULL, 1},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszName ? row.lpszName : "(null)");
        EXPECT_EQ(row.dwType, fnRegTypeFromName(row.lpszName));
    }
}

TEST(RegText, NumberRule)
{
    struct Row {
        const char *lpszText;
        DWORD dwValue;
    } aRows[] = {
        {"16", 16},           {"10h", 16},          {"0x10", 16},          {"1fH", 31},
        {"0x1F", 31},         {"0X1f", 31},         {"x10", 0},            {"0x", 0},
        {"H", 0},             {"", 0},              {"-5", 0},             {"12ab", 12},
        {"0x1FH", 0},         /* a trailing H reads the whole text: it stops at the x */
        {"4294967295", 4294967295u},
        {"4294967296", 0},    /* wraps */
        {"4294967301", 5},
        {"1ffffffffh", 0xffffffffu},
        {"0x123456789", 0x23456789u},
        {"7x5", 5},           /* the second character decides, whatever the first */
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszText);
        EXPECT_EQ(row.dwValue, fnRegTextToNumber(row.lpszText));
    }
}

TEST(RegText, BinaryPairReader)
{
    struct Row {
        const char *lpszText;
        const char *lpszBytes; /* expected bytes as hexadecimal text */
    } aRows[] = {
        {"0a,1b ff", "0a1bff"},
        {"0a1bff", "0a1bff"},
        {"a,1b", "0a1b"},     /* the pair "a," stops at the comma */
        {"00ff", "00ff"},
        {",, 01,,", "01"},    /* separators around the pairs add nothing */
        {"123", "1203"},      /* a final single digit is one byte */
        {"f", "0f"},
        {"zz,10", "0010"},    /* no digits in a pair give 0 */
        {"0x12", "0012"},     /* "0x" reads as 0, then "12" */
        {"", ""},
        {" , ", ""},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszText);
        BYTE abData[16];
        memset(abData, 0xcc, sizeof(abData));
        DWORD cb = 0;
        ASSERT_TRUE(fnRegTextToData(REGTYPE_BINARY, row.lpszText, FALSE, abData, sizeof(abData), &cb));
        char szText[64];
        fnRegDataToText(REGTYPE_BINARY, abData, cb, REGCONV_HEX, szText, sizeof(szText));
        EXPECT_STREQ(row.lpszBytes, szText);
        EXPECT_EQ(0xcc, abData[cb]);
    }
}

TEST(RegText, BinaryThatDoesNotFitIsRefused)
{
    BYTE abData[4];
    DWORD cb = 99;
    EXPECT_TRUE(fnRegTextToData(REGTYPE_BINARY, "01 02 03 04 ,", FALSE, abData, 4, &cb));
    EXPECT_EQ(4u, cb);
    EXPECT_FALSE(fnRegTextToData(REGTYPE_BINARY, "01 02 03 04 05", FALSE, abData, 4, &cb));
    EXPECT_EQ(0u, cb);
}

TEST(RegText, NumbersAreStoredLittleEndianForBothTypes)
{
    for (DWORD dwType : {(DWORD)REGTYPE_DWORD, (DWORD)REGTYPE_DWORD_BIG_ENDIAN}) {
        SCOPED_TRACE(dwType);
        BYTE abData[8] = {0};
        DWORD cb = 0;
        ASSERT_TRUE(fnRegTextToData(dwType, "0x11223344", FALSE, abData, sizeof(abData), &cb));
        EXPECT_EQ(4u, cb);
        EXPECT_EQ(0x44, abData[0]);
        EXPECT_EQ(0x11, abData[3]);
    }
}

TEST(RegText, StringTypesKeepOneTerminator)
{
    for (DWORD dwType : {0ul, 1ul, 2ul, 6ul, 7ul, 8ul, 42ul}) {
        SCOPED_TRACE(dwType);
        BYTE abData[16];
        memset(abData, 0xcc, sizeof(abData));
        DWORD cb = 0;
        ASSERT_TRUE(fnRegTextToData((DWORD)dwType, "ab", FALSE, abData, sizeof(abData), &cb));
        EXPECT_EQ(3u, cb);
        EXPECT_EQ(0, memcmp(abData, "ab", 3));
        EXPECT_EQ(0xcc, abData[3]);
    }
    BYTE abSmall[3];
    DWORD cb = 7;
    EXPECT_FALSE(fnRegTextToData(REGTYPE_SZ, "abc", FALSE, abSmall, sizeof(abSmall), &cb));
    EXPECT_EQ(0u, cb);
}

/* A fake environment: %A% is "alpha", everything else stays; the result must fit. */
static BOOL fnFakeExpand(const char *lpszText, char *lpszOut, size_t cchOut)
{
    char szBuf[CCH_REG_BUF] = "";
    for (const char *p = lpszText; *p;) {
        if (strncmp(p, "%A%", 3) == 0) {
            fnAppendBounded(szBuf, sizeof(szBuf), "alpha");
            p += 3;
        } else {
            char sz[2] = {*p++, 0};
            fnAppendBounded(szBuf, sizeof(szBuf), sz);
        }
    }
    return fnCopyBounded(lpszOut, cchOut, szBuf);
}

class RegTextExpand : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_machine = g_machineNone;
        m_machine.pfnExpandEnv = fnFakeExpand;
        g_lpMachine = &m_machine;
    }
    void TearDown() override { g_lpMachine = &g_machineNone; }
    MachineLookupStruct m_machine;
};

TEST_F(RegTextExpand, ExpandStringsWriteAndRead)
{
    BYTE abData[32];
    DWORD cb = 0;
    ASSERT_TRUE(fnRegTextToData(REGTYPE_EXPAND_SZ, "x%A%y", TRUE, abData, sizeof(abData), &cb));
    EXPECT_STREQ("xalphay", reinterpret_cast<char *>(abData));
    ASSERT_TRUE(fnRegTextToData(REGTYPE_EXPAND_SZ, "x%A%y", FALSE, abData, sizeof(abData), &cb));
    EXPECT_STREQ("x%A%y", reinterpret_cast<char *>(abData));

    char szText[32];
    fnRegDataToText(REGTYPE_EXPAND_SZ, abData, cb, REGCONV_HEX, szText, sizeof(szText));
    EXPECT_STREQ("xalphay", szText);
    fnRegDataToText(REGTYPE_EXPAND_SZ, abData, cb, REGCONV_RAW, szText, sizeof(szText));
    EXPECT_STREQ("x%A%y", szText);
}

TEST(RegText, DataToTextByModeAndType)
{
    const BYTE abDword255[] = {0xff, 0, 0, 0};
    const BYTE abDwordBig[] = {0xfe, 0xff, 0xff, 0xff};
    const BYTE abBinary[] = {0x00, 0xff};
    const BYTE abMulti[] = {'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0};
    const BYTE abNoTerm[] = {'a', 'b', 'c'};
    const BYTE abStr[] = {'4', '2', 0};
    struct Row {
        const char *lpszTrace;
        DWORD dwType;
        const BYTE *lpData;
        DWORD cbData;
        UINT uMode;
        const char *lpszText;
    } aRows[] = {
        {"dword hex", REGTYPE_DWORD, abDword255, 4, REGCONV_HEX, "ff"},
        {"dword dec", REGTYPE_DWORD, abDword255, 4, REGCONV_DEC, "255"},
        {"dword large dec", REGTYPE_DWORD, abDwordBig, 4, REGCONV_DEC, "4294967294"},
        {"dword raw", REGTYPE_DWORD, abDword255, 4, REGCONV_RAW, "\xff"},
        {"short dword", REGTYPE_DWORD, abDword255, 1, REGCONV_DEC, "255"},
        {"big endian copied", REGTYPE_DWORD_BIG_ENDIAN, abStr, 3, REGCONV_HEX, "42"},
        {"binary", REGTYPE_BINARY, abBinary, 2, REGCONV_HEX, "00ff"},
        {"binary dec", REGTYPE_BINARY, abBinary, 2, REGCONV_DEC, "00ff"},
        {"binary raw", REGTYPE_BINARY, abBinary, 2, REGCONV_RAW, ""},
        {"multi first string", REGTYPE_MULTI_SZ, abMulti, sizeof(abMulti), REGCONV_HEX, "one"},
        {"unterminated", REGTYPE_SZ, abNoTerm, 3, REGCONV_HEX, "abc"},
        {"unterminated raw", REGTYPE_SZ, abNoTerm, 3, REGCONV_RAW, "abc"},
        {"empty", REGTYPE_SZ, abNoTerm, 0, REGCONV_HEX, ""},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszTrace);
        char szText[40];
        memset(szText, 'Z', sizeof(szText));
        fnRegDataToText(row.dwType, row.lpData, row.cbData, row.uMode, szText, sizeof(szText));
        EXPECT_STREQ(row.lpszText, szText);
    }
}

TEST(RegText, DataToTextCutsAtCapacity)
{
    const BYTE abBinary[] = {1, 2, 3, 4};
    char szText[8];
    memset(szText, 'Z', sizeof(szText));
    /* room for 2.5 bytes: only whole bytes are written */
    fnRegDataToText(REGTYPE_BINARY, abBinary, 4, REGCONV_HEX, szText, 6);
    EXPECT_STREQ("0102", szText);
    EXPECT_EQ('Z', szText[6]);
    const BYTE abText[] = {'a', 'b', 'c', 'd', 'e', 'f'};
    memset(szText, 'Z', sizeof(szText));
    fnRegDataToText(REGTYPE_SZ, abText, 6, REGCONV_RAW, szText, 4);
    EXPECT_STREQ("abc", szText);
    EXPECT_EQ('Z', szText[4]);
    const BYTE abNumber[] = {0x78, 0x56, 0x34, 0x12};
    fnRegDataToText(REGTYPE_DWORD, abNumber, 4, REGCONV_DEC, szText, 4);
    EXPECT_STREQ("305", szText);
}

TEST(RegText, SplitLookup)
{
    struct Row {
        const char *lpszLookup;
        const char *lpszKey;
        const char *lpszValue;
    } aRows[] = {
        {"Software\\X\\Name", "Software\\X", "Name"},
        {"Software\\X\\", "Software\\X", ""},
        {"Name", "", "Name"},
        {"\\Name", "", "Name"},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszLookup);
        char szKey[CCH_REG_BUF], szValue[CCH_REG_BUF];
        ASSERT_TRUE(fnSplitRegLookup(row.lpszLookup, szKey, sizeof(szKey), szValue, sizeof(szValue)));
        EXPECT_STREQ(row.lpszKey, szKey);
        EXPECT_STREQ(row.lpszValue, szValue);
    }
    char szKey[4], szValue[4];
    EXPECT_FALSE(fnSplitRegLookup("abcd\\e", szKey, sizeof(szKey), szValue, sizeof(szValue)));
}

TEST(RegText, AppendPath)
{
    struct Row {
        const char *lpszPath;
        const char *lpszName;
        BOOL bOk;
        const char *lpszResult;
    } aRows[] = {
        {"A", "B", TRUE, "A\\B"},
        {"A\\", "B", TRUE, "A\\B"},
        {"A\\", "\\B", TRUE, "A\\B"},
        {"A", "\\B", TRUE, "A\\B"},
        {"A", "", TRUE, "A"},
        {"", "B", FALSE, ""},
        {"ABCDEF", "G", TRUE, "ABCDEF\\G"},   /* exact fit in 9 */
        {"ABCDEF", "GH", FALSE, "ABCDEF"},    /* one too long: unchanged */
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszPath);
        char szPath[9];
        fnCopyBounded(szPath, sizeof(szPath), row.lpszPath);
        EXPECT_EQ(row.bOk, fnRegAppendPath(szPath, sizeof(szPath), row.lpszName));
        EXPECT_STREQ(row.lpszResult, szPath);
    }
}

TEST(RegText, EnumNext)
{
    struct Row {
        const char *lpszIn;
        const char *lpszOut;
    } aRows[] = {{"0000", "0001"}, {"0003", "0004"}, {"9999", "10000"}, {"abc", "0001"}, {"12x", "0013"}};
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszIn);
        char szEnum[16];
        fnCopyBounded(szEnum, sizeof(szEnum), row.lpszIn);
        fnRegEnumNext(szEnum, sizeof(szEnum));
        EXPECT_STREQ(row.lpszOut, szEnum);
    }
}

}  // namespace
