/*
 * install/tests/version_win_test.cpp -- version resources of real files: the
 * small tgver_*.dll libraries the build makes (reference, newer, older by
 * product version only, other language, other flags, other system, none),
 * compared, read, tested under conditions and listed; file dates against today.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/bounded.h"
#include "install/tests/filetest.h"
#include "install/version.h"

namespace {

std::string g_sDir; /* the folder of this test program and the test libraries, with a backslash */

std::string fnLib(const char *lpszName)
{
    if (g_sDir.empty()) {
        char sz[MAX_PATH];
        DWORD cch = GetModuleFileNameA(NULL, sz, sizeof(sz));
        std::string s(sz, cch);
        g_sDir = s.substr(0, s.find_last_of('\\') + 1);
    }
    return g_sDir + "tgver_" + lpszName + ".dll";
}

class VersionTest : public ::testing::Test {
  protected:
    std::string m_sScratch;
    void SetUp() override
    {
        char szTemp[MAX_PATH];
        GetTempPathA(sizeof(szTemp), szTemp);
        m_sScratch = std::string(szTemp) + "tg_version_test";
        fnRemoveScratch();
        ASSERT_TRUE(CreateDirectoryA(m_sScratch.c_str(), NULL));
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fnLib("base").c_str()))
            << "the test libraries are built beside the test program";
    }
    void TearDown() override { fnRemoveScratch(); }
    void fnRemoveScratch()
    {
        const char *aszFiles[] = {"copy.dll", "dated.txt", "data.bin", "short.bin", "packed.dl_"};
        for (const char *lpsz : aszFiles)
            DeleteFileA((m_sScratch + "\\" + lpsz).c_str());
        RemoveDirectoryA(m_sScratch.c_str());
    }
};

TEST_F(VersionTest, CompareVersionResources)
{
    std::string sCopy = m_sScratch + "\\copy.dll";
    ASSERT_TRUE(CopyFileA(fnLib("base").c_str(), sCopy.c_str(), FALSE));
    std::string sData = m_sScratch + "\\data.bin", sShort = m_sScratch + "\\short.bin";
    std::string sPacked = m_sScratch + "\\packed.dl_";
    ASSERT_TRUE(filetest::fnWrite(sData, filetest::fnPattern(4000, 7)));
    ASSERT_TRUE(filetest::fnWrite(sShort, "M"));
    ASSERT_TRUE(filetest::fnWrite(sPacked, filetest::fnSzdd(filetest::fnRead(fnLib("base")), 'l')));
    EXPECT_EQ(VERSIGN_NONE, fnPeekVersionSign(sData.c_str()));
    /* the system finds no version in the data file either */
    DWORD dwHandle = 0;
    EXPECT_EQ(0u, GetFileVersionInfoSizeA(sData.c_str(), &dwHandle));
    EXPECT_EQ(VERSIGN_UNREAD, fnPeekVersionSign(sShort.c_str()));
    EXPECT_EQ(VERSIGN_PROGRAM, fnPeekVersionSign(fnLib("base").c_str()));
    EXPECT_EQ(VERSIGN_SZDD, fnPeekVersionSign(sPacked.c_str()));
    const struct {
        std::string sSource, sTarget;
        int nWant;
    } rows[] = {
        {fnLib("base"), sCopy, VERINFO_IDENTICAL},
        {fnLib("newer"), fnLib("base"), VERINFO_DIFFER},
        {fnLib("base"), fnLib("newer"), VERINFO_SRCOLD},
        {fnLib("oldprod"), fnLib("base"), VERINFO_SRCOLD},   /* higher file version, lower product version */
        {fnLib("lang"), fnLib("base"), VERINFO_DIFFLANG},
        {fnLib("flags"), fnLib("base"), VERINFO_DIFFFLAGS},
        {fnLib("os"), fnLib("base"), VERINFO_DIFFOS},
        {fnLib("none"), fnLib("base"), VERINFO_NONE},
        {fnLib("base"), fnLib("none"), VERINFO_NONE},
        {m_sScratch + "\\missing.dll", fnLib("base"), VERINFO_SRCUNREAD},
        {fnLib("base"), m_sScratch + "\\missing.dll", VERINFO_DSTUNREAD},
        /* data files are told apart by their first bytes (a compressed file goes to the system) */
        {sData, fnLib("base"), VERINFO_NONE},
        {fnLib("base"), sData, VERINFO_NONE},
        {sShort, fnLib("base"), VERINFO_NONE},
        {sData, m_sScratch + "\\missing.dll", VERINFO_NONE},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.sSource + " over " + r.sTarget);
        EXPECT_EQ(r.nWant, fnCmpFileVersionInfo(r.sSource.c_str(), r.sTarget.c_str()));
    }
}

TEST_F(VersionTest, CompareWithDottedTextAndConditions)
{
    const struct {
        const char *lpszLib, *lpszVersion;
        int nWant;
    } rows[] = {
        {"base", "1.2.3.4", VERCMP_EQUAL},  {"base", "1,2,3", VERCMP_NEWER}, {"base", "1.2.3.5", VERCMP_OLDER},
        {"base", "2", VERCMP_OLDER},        {"newer", "1.0.0.0", VERCMP_NEWER},
        {"oldprod", "1.2.3.4", VERCMP_NEWER}, /* only the file version counts here */
        {"none", "1.0", VERCMP_NOVERSION},  {"missing", "1.0", VERCMP_UNREADABLE},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::string(r.lpszLib) + " " + r.lpszVersion);
        EXPECT_EQ(r.nWant, fnCmpFileVersion(fnLib(r.lpszLib).c_str(), r.lpszVersion));
    }
    EXPECT_TRUE(fnTestFileVersion(fnLib("newer").c_str(), "GE", "1.0.0.0"));
    EXPECT_FALSE(fnTestFileVersion(fnLib("newer").c_str(), "LT", "1.0.0.0"));
    EXPECT_TRUE(fnTestFileVersion(fnLib("base").c_str(), "le", "1.2.3.4"));
    EXPECT_FALSE(fnTestFileVersion(fnLib("none").c_str(), "LE", "1.0")) << "no version information";
    EXPECT_FALSE(fnTestFileVersion(fnLib("none").c_str(), "NE", "1.0"));
}

TEST_F(VersionTest, VersionTextsAndMarks)
{
    char szFile[CCH_VERTEXT], szProduct[CCH_VERTEXT], szLegal[CCH_VERTEXT];
    EXPECT_TRUE(fnGetFileVersion(fnLib("oldprod").c_str(), szFile, szProduct, szLegal));
    EXPECT_STREQ("1.2.3.5", szFile);
    EXPECT_STREQ("1.2.3.3", szProduct);
    EXPECT_STREQ("(c) Tallgrid", szLegal);
    EXPECT_TRUE(fnGetFileVersion(fnLib("lang").c_str(), szFile, NULL, NULL)) << "strings under the file's own language";
    EXPECT_STREQ("1.2.3.4", szFile);

    EXPECT_FALSE(fnGetFileVersion(fnLib("none").c_str(), szFile, szProduct, szLegal));
    EXPECT_STREQ("NA", szFile);
    EXPECT_STREQ("NA", szLegal);
    EXPECT_FALSE(fnGetFileVersion((m_sScratch + "\\missing.dll").c_str(), szFile, szProduct, NULL));
    EXPECT_STREQ("NF", szFile);
    EXPECT_STREQ("NF", szProduct);
}

TEST_F(VersionTest, FileDatesAgainstToday)
{
    std::string sFile = m_sScratch + "\\dated.txt";
    HANDLE h = CreateFileA(sFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);

    /* the file's date is read as stored, so store today's local date at noon */
    SYSTEMTIME st;
    GetLocalTime(&st);
    st.wHour = 12;
    st.wMinute = st.wSecond = st.wMilliseconds = 0;
    FILETIME ftNoon;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ftNoon));
    ULARGE_INTEGER u;
    u.LowPart = ftNoon.dwLowDateTime;
    u.HighPart = ftNoon.dwHighDateTime;
    const ULONGLONG uDay = 24ull * 60 * 60 * 10000000;
    const struct {
        long long nDays;
        int nWant;
    } rows[] = {{0, 3}, {-1, 2}, {1, 1}, {-400, 2}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.nDays);
        ULARGE_INTEGER v;
        v.QuadPart = u.QuadPart + (ULONGLONG)(r.nDays * (long long)uDay);
        FILETIME ft = {v.LowPart, v.HighPart}, ftBack = {0, 0};
        ASSERT_TRUE(fnSetFileTime(sFile.c_str(), &ft));
        ASSERT_TRUE(fnGetFileTime(sFile.c_str(), &ftBack));
        EXPECT_EQ(0, CompareFileTime(&ft, &ftBack));
        EXPECT_EQ(r.nWant, fnCompareFileTimeStampToSystem(sFile.c_str()));
    }
    EXPECT_EQ(0, fnCompareFileTimeStampToSystem((m_sScratch + "\\missing.txt").c_str()));
    FILETIME ft;
    EXPECT_FALSE(fnGetFileTime((m_sScratch + "\\missing.txt").c_str(), &ft));
}

std::string fnListLine(HWND hList, int i)
{
    char sz[1024] = "";
    LRESULT cch = SendMessageA(hList, LB_GETTEXTLEN, i, 0);
    if (cch < 0 || cch >= (LRESULT)sizeof(sz))
        return "?";
    SendMessageA(hList, LB_GETTEXT, i, (LPARAM)sz);
    return sz;
}

TEST_F(VersionTest, ListerLines)
{
    HWND hList = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_USETABSTOPS | WS_HSCROLL, 0, 0, 300, 200, NULL,
                                 NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(hList != NULL);
    EXPECT_TRUE(fnListVersionInfo(fnLib("flags").c_str(), hList));
    ASSERT_EQ(18, (int)SendMessageA(hList, LB_GETCOUNT, 0, 0));
    EXPECT_EQ("File version:\t1.2.3.4", fnListLine(hList, 0));
    EXPECT_EQ("Product version:\t1.2.3.4", fnListLine(hList, 1));
    EXPECT_EQ("File flags:\tDebug ", fnListLine(hList, 2));
    EXPECT_EQ("Operating system:\tWindows-32 under Windows-NT", fnListLine(hList, 3));
    EXPECT_EQ("File type:\tDynamic-link library", fnListLine(hList, 4));
    EXPECT_EQ(0u, fnListLine(hList, 5).find("Language:\t"));
    EXPECT_GT(fnListLine(hList, 5).size(), strlen("Language:\t")) << "the system names the language";
    EXPECT_EQ("Comments:\t", fnListLine(hList, 6)) << "a missing value leaves the label alone";
    EXPECT_EQ("Company:\tTallgrid Test", fnListLine(hList, 7));
    EXPECT_EQ("Product name:\tTallgrid", fnListLine(hList, 15));
    EXPECT_LT(0, (int)SendMessageA(hList, LB_GETHORIZONTALEXTENT, 0, 0));

    EXPECT_FALSE(fnListVersionInfo(fnLib("none").c_str(), hList));
    ASSERT_EQ(1, (int)SendMessageA(hList, LB_GETCOUNT, 0, 0));
    EXPECT_EQ("Version information is not available.", fnListLine(hList, 0));
    DestroyWindow(hList);
}

} // namespace
