/*
 * install/tests/diskrules_test.cpp -- byte counts past 32 bits, the folder
 * rule of disk lines, and the disk questions as disks fill, with a scripted
 * user and scripted free space.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/diskrules.h"

namespace {

struct ScriptStruct {
    std::vector<ULONGLONG> free;   /* each measure takes the next (the last one stays) */
    std::vector<bool> answers;     /* OK (true) or Cancel, in turn; OK when none are left */
    std::string asked;
};

BOOL fnInsert(int nDisk, void *lp)
{
    ScriptStruct *s = (ScriptStruct *)lp;
    s->asked += "1062:" + std::to_string(nDisk) + " ";
    bool b = s->answers.empty() || s->answers.front();
    if (!s->answers.empty())
        s->answers.erase(s->answers.begin());
    return b;
}
ULONGLONG fnFree(void *lp)
{
    ScriptStruct *s = (ScriptStruct *)lp;
    ULONGLONG qw = s->free.front();
    if (s->free.size() > 1)
        s->free.erase(s->free.begin());
    return qw;
}
BOOL fnLittle(ULONGLONG qwFree, ULONGLONG qwNeed, void *lp)
{
    ScriptStruct *s = (ScriptStruct *)lp;
    s->asked += "1050:" + std::to_string(qwFree) + "<" + std::to_string(qwNeed) + " ";
    bool b = s->answers.empty() || s->answers.front();
    if (!s->answers.empty())
        s->answers.erase(s->answers.begin());
    return b;
}

TEST(DiskRulesTest, BytesAndFolders)
{
    EXPECT_EQ(1u, fnReadBytesNeeded(NULL, FALSE));
    EXPECT_EQ(1u, fnReadBytesNeeded("", TRUE));
    EXPECT_EQ(5000000000ull, fnReadBytesNeeded("5,000,000,000", TRUE));
    EXPECT_EQ(~0ull, fnReadBytesNeeded("99999999999999999999999", TRUE));
    for (const char *lpsz : {"\\\\srv\\share", "//srv", "C:\\Out", ".", "..", ".\\sub", "../up", "./x"})
        EXPECT_TRUE(fnDiskDirAsWritten(lpsz)) << lpsz;
    for (const char *lpsz : {"", "sub", "\\sub", ".hidden", "..x", "a:"})
        EXPECT_EQ(lpsz[0] == 'a', fnDiskDirAsWritten(lpsz) != FALSE) << lpsz;
}

TEST(DiskRulesTest, DiskQuestionsAsTheDisksFill)
{
    DiskRunStruct run;
    fnStartDiskRun(&run);
    ScriptStruct s;
    DiskAskStruct ask = {fnInsert, fnFree, fnLittle, &s};

    /* a switch on the first line asks for disk 2 before anything is copied */
    s.free = {1000};
    ASSERT_TRUE(fnDiskPrompts(&run, TRUE, 1, &ask));
    EXPECT_EQ("1062:2 ", s.asked);
    EXPECT_TRUE(run.bChanged);

    /* room enough: nothing is asked and the disk stays */
    s.asked.clear();
    ASSERT_TRUE(fnDiskPrompts(&run, FALSE, 500, &ask));
    EXPECT_EQ("", s.asked);
    EXPECT_FALSE(run.bChanged);

    /* too little: disk 3; still too little: 1050, then disk 3 again (the number is not used up) */
    s.asked.clear();
    s.free = {100, 200, 300, 5000000000ull};
    ASSERT_TRUE(fnDiskPrompts(&run, FALSE, 4000000000ull, &ask));
    EXPECT_EQ("1062:3 1050:200<4000000000 1062:3 ", s.asked);
    /* the next disk is 4, not 5 */
    s.asked.clear();
    s.free = {0};
    s.answers = {false};
    EXPECT_FALSE(fnDiskPrompts(&run, TRUE, 1, &ask));
    EXPECT_EQ("1062:4 ", s.asked);

    /* a need no disk meets keeps asking until Cancel */
    s.asked.clear();
    s.free = {10};
    s.answers = {true, true, true, false};
    EXPECT_FALSE(fnDiskPrompts(&run, FALSE, 50, &ask));
    EXPECT_EQ("1062:4 1050:10<50 1062:4 1050:10<50 ", s.asked);
}

}  // namespace
