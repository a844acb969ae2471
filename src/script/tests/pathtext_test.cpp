/*
 * script/tests/pathtext_test.cpp -- sub-fields, leading sub-fields, path
 * parts and the one-backslash join.
 */
#include <gtest/gtest.h>

#include <string>

#include "script/pathtext.h"

namespace {

TEST(PathText, SubFields)
{
    const struct {
        const char *lpszText, *lpszDelims;
        UINT n;
        const char *lpszWant;
    } rows[] = {
        {"red, green=blue", ",=", 0, "red"},
        {"red, green=blue", ",=", 1, "red"},
        {"red, green=blue", ",=", 2, "green"},
        {"red, green=blue", ",=", 3, "blue"},
        {"red, green=blue", ",=", 4, ""},
        {"  \"a, b\" ,c", ",", 1, "a, b"},
        {"x\"y,z\"\" ", ",", 1, "xy,z"},
        {"a,,c", ",", 2, ""},
        {"\"open,never closed", ",", 2, ""},
        {"", ",", 1, ""},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.lpszText) + " #" + std::to_string(r.n));
        char sz[CCH_PATH] = "sentinel";
        EXPECT_EQ(1, fnGetSubField(r.lpszText, r.lpszDelims, r.n, sz, sizeof(sz)));
        EXPECT_STREQ(r.lpszWant, sz);
    }
    char sz[4];
    EXPECT_EQ(1, fnGetSubField("abcdef", ",", 1, sz, sizeof(sz)));
    EXPECT_STREQ("abc", sz);
    EXPECT_EQ(0, fnGetSubField(NULL, ",", 1, sz, sizeof(sz)));
    EXPECT_EQ(0, fnGetSubField("a", NULL, 1, sz, sizeof(sz)));
}

TEST(PathText, LeadingFields)
{
    char sz[CCH_PATH];
    fnGetLeadingFields("10.1.2.3", ".", 3, sz, sizeof(sz));
    EXPECT_STREQ("10.1.2", sz);
    fnGetLeadingFields("10.1", ".", 3, sz, sizeof(sz));
    EXPECT_STREQ("10.1", sz);
    fnGetLeadingFields("10.1.2.3", ".", 1, sz, sizeof(sz));
    EXPECT_STREQ("10", sz);
}

TEST(PathText, SplitPath)
{
    const struct {
        const char *lpszPath;
        int nRC;
        const char *lpszDrive, *lpszDir, *lpszBase, *lpszExt, *lpszName, *lpszParent;
    } rows[] = {
        {"C:\\Apps\\Tool\\x.tar.gz", 1, "C:", "\\Apps\\Tool\\", "x", "gz", "x.tar.gz", "C:\\Apps\\Tool"},
        {"C:\\Apps", 0, "C:", "\\", "Apps", "", "Apps", "C:\\"},
        {"C:\\", 0, "C:", "\\", "", "", "", "C:\\"},
        {"\\\\srv\\share\\x.txt", 1, "\\\\srv\\share", "\\", "x", "txt", "x.txt", "\\\\srv\\share\\"},
        {"dir/.profile", 0, "", "", ".profile", "profile", ".profile", "dir"},
        {"name", 0, "", "", "name", "", "name", ""},
        {"C:file.ext", 1, "C:", "", "file", "ext", "file.ext", ""},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszPath);
        char d[CCH_PATH], dir[CCH_PATH], b[CCH_PATH], e[CCH_PATH], n[CCH_PATH], p[CCH_PATH];
        EXPECT_EQ(r.nRC, fnSplitPath(r.lpszPath, d, dir, b, e, n, p));
        EXPECT_STREQ(r.lpszDrive, d);
        EXPECT_STREQ(r.lpszDir, dir);
        EXPECT_STREQ(r.lpszBase, b);
        EXPECT_STREQ(r.lpszExt, e);
        EXPECT_STREQ(r.lpszName, n);
        EXPECT_STREQ(r.lpszParent, p);
    }
    char p[CCH_PATH];
    EXPECT_EQ(1, fnSplitPath("name", NULL, NULL, NULL, NULL, NULL, p)) << "only asked parts can fail";
}

TEST(PathText, JustLastDirAndJoin)
{
    char sz[CCH_PATH];
    fnJustLastDir("C:\\Apps\\Tool\\", sz, sizeof(sz));
    EXPECT_STREQ("Tool", sz);
    fnJustLastDir("C:Tool", sz, sizeof(sz));
    EXPECT_STREQ("Tool", sz);
    const struct {
        const char *lpszDir, *lpszName, *lpszWant;
    } rows[] = {
        {"C:\\WINDOWS", "\\Fonts", "C:\\WINDOWS\\Fonts"},
        {"C:\\WINDOWS\\", "Fonts\\", "C:\\WINDOWS\\Fonts"},
        {"C:\\WINDOWS", "", "C:\\WINDOWS"},
        {"", "\\Fonts", "\\Fonts"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.lpszDir) + "+" + r.lpszName);
        EXPECT_TRUE(fnJoinPath(sz, sizeof(sz), r.lpszDir, r.lpszName));
        EXPECT_STREQ(r.lpszWant, sz);
    }
    char szSmall[8] = "";
    EXPECT_FALSE(fnJoinPath(szSmall, sizeof(szSmall), "C:\\Dir", "Name"));
    EXPECT_STREQ("C:\\Dir\\", szSmall);
}

} // namespace
