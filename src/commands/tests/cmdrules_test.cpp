/*
 * commands/tests/cmdrules_test.cpp -- the portable rules behind the commands:
 * service wait steps, account forms, what the administrator and membership
 * tests do with their answers, disk-space arithmetic past 32 bits and the
 * folder walk over a made-up directory tree.
 */
#include <gtest/gtest.h>

#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "commands/cmdrules.h"
#include "commands/diskspace.h"
#include "common/bounded.h"

namespace {

TEST(CmdRulesTest, ServiceWaitAndAccountForms)
{
    EXPECT_EQ(1000u, fnServiceWaitMs(0));
    EXPECT_EQ(1000u, fnServiceWaitMs(2000));
    EXPECT_EQ(3000u, fnServiceWaitMs(30000));
    EXPECT_EQ(10000u, fnServiceWaitMs(0xFFFFFFFFu));

    char szBig[64];
    EXPECT_TRUE(fnFormAccount("jdoe", "corp.example", FALSE, szBig, sizeof(szBig)));
    EXPECT_STREQ("jdoe@corp.example", szBig);
    EXPECT_TRUE(fnFormAccount("jdoe", "CORP", TRUE, szBig, sizeof(szBig)));
    EXPECT_STREQ("CORP\\jdoe", szBig);
    EXPECT_TRUE(fnFormAccount("OTHER\\jdoe", "CORP", FALSE, szBig, sizeof(szBig)));
    EXPECT_STREQ("OTHER\\jdoe", szBig);
    EXPECT_TRUE(fnFormAccount("jdoe@x.org", "CORP", TRUE, szBig, sizeof(szBig)));
    EXPECT_STREQ("jdoe@x.org", szBig);
    EXPECT_TRUE(fnFormAccount("jdoe", "", FALSE, szBig, sizeof(szBig)));
    EXPECT_STREQ("jdoe", szBig);
    /* a name that would be cut names another account: refused */
    char szSmall[11];
    EXPECT_FALSE(fnFormAccount("jdoe", "corp.example", FALSE, szSmall, sizeof(szSmall)));
    EXPECT_TRUE(fnFormAccount("jdoe", "c.org", FALSE, szSmall, sizeof(szSmall)));  /* exact fit */
    EXPECT_STREQ("jdoe@c.org", szSmall);
}

TEST(CmdRulesTest, AdminAndMembershipAnswers)
{
    struct {
        BOOL bYes, bMembership;
        const char *lpszWord;
        UINT uBox;
        BOOL bStop;
        const char *lpszStart;  /* how the default text begins */
    } rows[] = {
        {TRUE, FALSE, "display", ADMINBOX_OK, FALSE, "User %s is a local Administrator."},
        {TRUE, TRUE, "Display", ADMINBOX_OK, FALSE, "User %s is a member of %s."},
        {TRUE, FALSE, "ExitWithMessage", ADMINBOX_NONE, FALSE, ""},
        {FALSE, FALSE, "Display", ADMINBOX_NONE, FALSE, ""},
        {FALSE, FALSE, "Continue", ADMINBOX_OK, FALSE, "User %s is not a local Administrator. If possible"},
        {FALSE, TRUE, "CONTINUE", ADMINBOX_OKCANCEL, TRUE, "User %s is not a member of %s. Press OK"},
        {FALSE, TRUE, "ExitWithoutMessage", ADMINBOX_NONE, TRUE, ""},
        {FALSE, FALSE, "exitwithmessage", ADMINBOX_OK, TRUE, "User %s is not a local Administrator. To continue"},
        {FALSE, TRUE, "ExitWithMessage", ADMINBOX_OK, TRUE, "User %s is not a member of %s. To continue"},
        {FALSE, TRUE, "", ADMINBOX_NONE, FALSE, ""},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszWord);
        AdminActionStruct a;
        fnAdminAction(r.bYes, r.bMembership, r.lpszWord, &a);
        EXPECT_EQ(r.uBox, a.uBox);
        EXPECT_EQ(r.bStop, a.bStop);
        EXPECT_EQ(0, strncmp(a.lpszFormat, r.lpszStart, strlen(r.lpszStart)));
    }
}

TEST(CmdRulesTest, DiskSpaceIn64Bits)
{
    DiskSpaceStruct space;
    /* 64 sectors of 512 bytes (32 KiB clusters), 2^20 free and 2^21 total clusters: past 4 GiB */
    fnSpaceFromClusters(64, 512, 1u << 20, 1u << 21, &space);
    EXPECT_EQ(34359738368ull, space.ullFree);
    EXPECT_EQ(68719476736ull, space.ullTotal);
    EXPECT_EQ(space.ullFree, space.ullAvail);
    EXPECT_EQ(34359738368ull, space.ullUsed);
    fnSpaceFromClusters(0xFFFFFFFFu, 0xFFFFFFFFu, 1, 1, &space);
    EXPECT_EQ(0xFFFFFFFE00000001ull, space.ullTotal);
    /* a quota can make the total smaller than the free space: used is 0, never a wrapped number */
    EXPECT_EQ(0u, fnUsedSpace(100, 200));
    EXPECT_EQ(5000000000ull, fnUsedSpace(9000000000ull, 4000000000ull));

    EXPECT_TRUE(fnIsDriveOnly("C:"));
    EXPECT_TRUE(fnIsDriveOnly("c:\\"));
    EXPECT_FALSE(fnIsDriveOnly("C:\\Temp"));
    EXPECT_FALSE(fnIsDriveOnly("C:\\\\"));
    EXPECT_FALSE(fnIsDriveOnly("1:"));
    char sz[CCH_PATH];
    EXPECT_TRUE(fnDriveRoot("d:\\x\\y", sz, sizeof(sz)));
    EXPECT_STREQ("d:\\", sz);
    EXPECT_TRUE(fnDriveRoot("\\\\srv\\share\\dir", sz, sizeof(sz)));
    EXPECT_STREQ("\\\\srv\\share\\", sz);
    EXPECT_FALSE(fnDriveRoot("\\\\srv", sz, sizeof(sz)));
    EXPECT_FALSE(fnDriveRoot("relative\\x", sz, sizeof(sz)));
}

/* A made-up tree: folder path -> entries. */
std::map<std::string, std::vector<DirEntryStruct>> s_tree;
std::vector<std::string> s_listed;

BOOL fnFakeList(const char *lpszDir, DirEntryProc pfnEntry, void *lpContext)
{
    s_listed.push_back(lpszDir);
    auto it = s_tree.find(lpszDir);
    if (it == s_tree.end())
        return FALSE;
    for (const DirEntryStruct &e : it->second)
        if (!pfnEntry(&e, lpContext))
            break;
    return TRUE;
}

TEST(CmdRulesTest, FolderWalk)
{
    std::string strLong(253, 'x');  /* fits 260, but not with the lister's "\\*" */
    s_tree = {
        {"C:\\T",
         {{".", DIRENTRY_DIRECTORY, 0},
          {"..", DIRENTRY_DIRECTORY, 0},
          {"big.bin", 0, 5000000000ull},
          {"sub", DIRENTRY_DIRECTORY, 0},
          {"link", DIRENTRY_DIRECTORY | DIRENTRY_REPARSE, 0},
          {"filelink", DIRENTRY_REPARSE, 999},
          {strLong.c_str(), DIRENTRY_DIRECTORY, 0}}},
        {"C:\\T\\sub", {{"a", 0, 1}, {"b", 0, 0xFFFFFFFFull}}},
        {"C:\\T\\link", {{"never", 0, 7}}},
    };
    s_listed.clear();
    EXPECT_EQ(5000000000ull + 1 + 0xFFFFFFFFull, fnCalcFolderSize("C:\\T", fnFakeList));
    std::vector<std::string> want = {"C:\\T", "C:\\T\\sub"};
    EXPECT_EQ(want, s_listed);  /* neither the link nor a path past 260 characters is entered */
    EXPECT_EQ(0u, fnCalcFolderSize("C:\\missing", fnFakeList));
}

} // namespace
