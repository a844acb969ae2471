/*
 * config/tests/regsection_test.cpp -- the registry section line rules on the
 * host: where each keyword's fields go, the result slots, Check outcomes,
 * Match, drive-path trimming and the delete guard.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/bounded.h"
#include "config/regsection.h"
#include "script/expand.h"
#include "script/textmodel.h"

namespace {

RegLineStruct Take(const char *lpszLine)
{
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF];
    fnCopyBounded(szLine, sizeof(szLine), lpszLine);
    fnInfParseField(szLine, 0, szKey, sizeof(szKey));
    RegLineStruct line;
    fnRegTakeFields(szLine, fnFindSectionKey(g_aRegistryKeys, szKey), &line);
    return line;
}

TEST(RegSection, FieldsGoWhereTheirKeywordPutsThem)
{
    RegLineStruct e = Take("edit=DWORD,HKEY_CURRENT_USER\\A,Count,0x10");
    EXPECT_EQ(REGLINE_EDIT, e.nKey);
    EXPECT_STREQ("DWORD", e.szType);
    EXPECT_STREQ("HKEY_CURRENT_USER\\A", e.szRegKey);
    EXPECT_STREQ("Count", e.szRegKeyName);
    EXPECT_STREQ("0x10", e.szRegValue);
    EXPECT_STREQ("PROMPT", e.szRegCheckAction);  /* empty action keeps the preset */

    /* the renames have no type field */
    RegLineStruct r = Take("RenameValue=HKEY_CURRENT_USER\\A,Old,New,CONTINUE");
    EXPECT_STREQ("HKEY_CURRENT_USER\\A", r.szRegKey);
    EXPECT_STREQ("Old", r.szRegKeyName);
    EXPECT_STREQ("New", r.szRegNewKeyName);
    EXPECT_STREQ("CONTINUE", r.szRegCheckAction);

    RegLineStruct n = Take("Enum=,K,Name,Data,Name2,Data2");
    EXPECT_STREQ("Name", n.szRegKeyName);
    EXPECT_STREQ("Data", n.szRegValue);
    EXPECT_STREQ("Name2", n.szTestValue2);
    EXPECT_STREQ("Data2", n.szRegCheckValue);
    EXPECT_STREQ("L", n.szRegCheckAction);
    EXPECT_STREQ("N", Take("Enum=,K,,,,,N").szRegCheckAction);

    RegLineStruct c = Take("Check=,K,V,1a,FATAL,Own text,prog.exe");
    EXPECT_STREQ("1a", c.szRegValue);
    EXPECT_STREQ("FATAL", c.szRegCheckAction);
    EXPECT_STREQ("Own text", c.szMessage);
    EXPECT_STREQ("prog.exe", c.szProgram);

    /* Match: the exact flag starts on for every line; N or n turns it off, other text leaves it */
    RegLineStruct m = Take("Match=,K\\V,Fir");
    EXPECT_STREQ("Fir", m.szRegCheckValue);
    EXPECT_TRUE(m.bExact);
    EXPECT_STREQ("", m.szRegCheckAction);
    EXPECT_FALSE(Take("Match=,K\\V,Fir,no").bExact);
    EXPECT_TRUE(Take("Match=,K\\V,Fir,x").bExact);

    EXPECT_STREQ("", Take("Read=SZ,K\\V").szRegCheckAction);  /* reads never prompt unless told */
    EXPECT_EQ(-1, Take("Write=SZ,K,V,1").nKey);
}

TEST(RegSection, LongFieldsAreCutAtTheirSize)
{
    std::string strLine = "Edit=" + std::string(40, 'T') + ",K,N," + std::string(1010, 'd');
    RegLineStruct e = Take(strLine.c_str());
    EXPECT_EQ(30u, strlen(e.szType));
    /* the line itself is read 1,024 characters at a time; the data keeps what the line held */
    EXPECT_EQ(CCH_LINE - (5 + 40 + 5), strlen(e.szRegValue));
}

TEST(RegSection, TenthResultFindsNoSlotAndNothingPastTheTable)
{
    struct {
        char aszSlots[OPT_SLOTS][CCH_REGVALUE];
        char szCanary[16];
    } t;
    memset(&t, 0, sizeof(t));
    fnCopyBounded(t.szCanary, sizeof(t.szCanary), "canary");
    int nReg = 0;
    for (int i = 0; i < 11; i++) {
        char szResult[16];
        fnFormatBounded(szResult, sizeof(szResult), "r%d", i);
        EXPECT_EQ(i < OPT_SLOTS, fnRegStoreResult(t.aszSlots, OPT_SLOTS, &nReg, szResult)) << i;
    }
    EXPECT_STREQ("r0", t.aszSlots[0]);
    EXPECT_STREQ("r8", t.aszSlots[8]);
    EXPECT_STREQ("canary", t.szCanary);
    EXPECT_EQ(11, nReg);
}

TEST(RegSection, CheckOutcomeTable)
{
    /* found-equal, found-different, not found */
    const struct {
        const char *lpszAction;
        UINT auOutcome[3];
        UINT auMsg[3];
    } aRows[] = {
        {"EXIT", {REGCHECK_STOP, REGCHECK_NEXT, REGCHECK_STOP}, {0, 0, 0}},
        {"continue", {REGCHECK_NEXT, REGCHECK_STOP, REGCHECK_NEXT}, {0, 0, 0}},
        {"PromptMatch", {REGCHECK_ASK, REGCHECK_NEXT, REGCHECK_NEXT}, {1282, 0, 0}},
        {"PROMPT", {REGCHECK_NEXT, REGCHECK_ASK, REGCHECK_ASK}, {0, 1284, 1286}},
        {"FATAL", {REGCHECK_NEXT, REGCHECK_FATAL, REGCHECK_FATAL}, {0, 0, 0}},
        {"", {REGCHECK_NEXT, REGCHECK_NEXT, REGCHECK_NEXT}, {0, 0, 0}},
        {"PROMPTX", {REGCHECK_NEXT, REGCHECK_NEXT, REGCHECK_NEXT}, {0, 0, 0}},
    };
    for (const auto &row : aRows) {
        for (int i = 0; i < 3; i++) {
            UINT uMsg = 99;
            EXPECT_EQ(row.auOutcome[i], fnRegCheckOutcome(row.lpszAction, i < 2, i == 0, &uMsg))
                << row.lpszAction << " " << i;
            EXPECT_EQ(row.auMsg[i], uMsg) << row.lpszAction << " " << i;
        }
    }
}

TEST(RegSection, TrimMatchAndGuard)
{
    const struct {
        const char *lpszIn;
        const char *lpszOut;
    } aTrim[] = {
        {"D:\\Apps\\", "D:\\Apps"}, {"D:\\", "D:\\"},   {"d:/x/", "d:/x"},       {"C:", "C:"},
        {"\\\\srv\\share\\", "\\\\srv\\share\\"},      {"", ""},                {"-NOTFOUND-", "-NOTFOUND-"},
    };
    for (const auto &row : aTrim) {
        char sz[32];
        fnCopyBounded(sz, sizeof(sz), row.lpszIn);
        fnRegTrimDriveSlash(sz);
        EXPECT_STREQ(row.lpszOut, sz) << row.lpszIn;
    }

    EXPECT_TRUE(fnRegMatches("First", "FIRST", TRUE));
    EXPECT_FALSE(fnRegMatches("First", "FIR", TRUE));
    EXPECT_TRUE(fnRegMatches("First", "fIR", FALSE));
    EXPECT_FALSE(fnRegMatches("First", "", FALSE));
    EXPECT_TRUE(fnRegMatches("", "", TRUE));

    /* what an option may leave of a key path before a delete */
    EXPECT_TRUE(fnRegBuiltPathUnsafe("Software\\Vendor\\", EXPAND_OK));
    EXPECT_TRUE(fnRegBuiltPathUnsafe("Software\\\\Sub", EXPAND_OK));
    EXPECT_TRUE(fnRegBuiltPathUnsafe("", EXPAND_OK));
    EXPECT_TRUE(fnRegBuiltPathUnsafe("Software\\Vendor", EXPAND_MISSING));
    EXPECT_FALSE(fnRegBuiltPathUnsafe("Software\\Vendor\\App", EXPAND_OK));
}

}  // namespace
