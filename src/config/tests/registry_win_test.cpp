/*
 * config/tests/registry_win_test.cpp -- the registry layer against the real
 * registry (under Wine, the prefix's own). Everything happens below a scratch
 * key of HKEY_CURRENT_USER made in SetUp and removed in TearDown.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "script/sysinfo_win.h"

namespace {

const char kScratch[] = "Software\\TallgridTest\\Registry";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                                 &m_hKey, NULL));
        SetEnvironmentVariableA("TGTEST_VAR", "alpha");
        fnInstallMachineLookup();
    }
    void TearDown() override
    {
        if (m_hKey)
            RegCloseKey(m_hKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TallgridTest");
        g_lpMachine = &g_machineNone;
    }
    /* kScratch joined with a relative path */
    const char *Path(const char *lpszRel)
    {
        fnFormatBounded(m_szPath, sizeof(m_szPath), "%s%s%s", kScratch, lpszRel[0] ? "\\" : "", lpszRel);
        return m_szPath;
    }
    void PutRaw(const char *lpszKey, const char *lpszName, DWORD dwType, const void *lpData, DWORD cbData)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, Path(lpszKey), lpszName, dwType, lpData, cbData));
    }
    DWORD CountValues(const char *lpszKey)
    {
        HKEY hKey;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, Path(lpszKey), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return (DWORD)-1;
        DWORD dwValues = 0;
        RegQueryInfoKeyA(hKey, NULL, NULL, NULL, NULL, NULL, NULL, &dwValues, NULL, NULL, NULL, NULL);
        RegCloseKey(hKey);
        return dwValues;
    }
    BOOL KeyExists(const char *lpszKey)
    {
        HKEY hKey;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, Path(lpszKey), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return FALSE;
        RegCloseKey(hKey);
        return TRUE;
    }
    HKEY m_hKey = NULL;
    char m_szPath[CCH_REG_BUF];
};

TEST_F(RegistryTest, SplitGivesPredefinedRoot)
{
    char szPath[CCH_REG_BUF] = "hkey_current_user\\\\Software\\X";
    EXPECT_EQ(HKEY_CURRENT_USER, fnSplitRegKey(szPath));
    EXPECT_STREQ("Software\\X", szPath);
    char szNone[CCH_REG_BUF] = "HKEY_LOCAL_MACHINE";
    EXPECT_EQ(NULL, fnSplitRegKey(szNone));
}

TEST_F(RegistryTest, WriteAndReadBackInEveryMode)
{
    struct Row {
        const char *lpszName;
        const char *lpszType;
        const char *lpszData;
        BOOL bExpand;
        const char *lpszRaw;   /* mode 0, NULL: not compared */
        const char *lpszHex;   /* mode 1 */
        const char *lpszDec;   /* mode 2 */
    } aRows[] = {
        {"Text", "SZ", "hello", FALSE, "hello", "hello", "hello"},
        {"Empty", "", "", FALSE, "", "", ""},
        {"Expand", "EXPAND_SZ", "%TGTEST_VAR%\\x", FALSE, "%TGTEST_VAR%\\x", "alpha\\x", "alpha\\x"},
        {"Expanded", "EXPAND_SZ", "%TGTEST_VAR%\\x", TRUE, "alpha\\x", "alpha\\x", "alpha\\x"},
        {"Number", "DWORD", "255", FALSE, NULL, "ff", "255"},
        {"HexNumber", "dword", "0x1F", FALSE, NULL, "1f", "31"},
        {"Bytes", "BINARY", "00,ff", FALSE, "", "00ff", "00ff"},
        {"Hex", "HEX", "0a,1b ff", FALSE, "\n\x1b\xff", "0a1bff", "0a1bff"},
        {"Multi", "MULTI_SZ", "one", FALSE, "one", "one", "one"},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszName);
        ASSERT_TRUE(fnRegOpenAndSet(HKEY_CURRENT_USER, kScratch, row.lpszName, row.lpszData,
                                    fnRegTypeFromName(row.lpszType), row.bExpand));
        char szLookup[CCH_REG_BUF];
        fnFormatBounded(szLookup, sizeof(szLookup), "%s\\%s", kScratch, row.lpszName);
        char szValue[CCH_REG_BUF];
        DWORD dwType = 99;
        ASSERT_TRUE(fnGetRegistry(HKEY_CURRENT_USER, &dwType, szLookup, szValue, sizeof(szValue)));
        EXPECT_EQ(fnRegTypeFromName(row.lpszType), dwType);
        if (row.lpszRaw) {
            EXPECT_STREQ(row.lpszRaw, szValue);
        }
        ASSERT_TRUE(fnGetRegistry(HKEY_CURRENT_USER, szLookup, szValue, sizeof(szValue)));
        EXPECT_STREQ(row.lpszHex, szValue);
        ASSERT_TRUE(fnGetRegistryByValue(HKEY_CURRENT_USER, NULL, kScratch, row.lpszName, szValue, sizeof(szValue),
                                         REGCONV_DEC));
        EXPECT_STREQ(row.lpszDec, szValue);
    }
}

TEST_F(RegistryTest, NumberTextsAsStored)
{
    struct Row {
        const char *lpszText;
        DWORD dwType;
        DWORD dwStored;
    } aRows[] = {
        {"10h", REG_DWORD, 16}, {"0x10", REG_DWORD, 16}, {"16", REG_DWORD, 16}, {"x10", REG_DWORD, 0},
        /* the big-endian type is written in the machine's own order too */
        {"0x01020304", REG_DWORD_BIG_ENDIAN, 0x01020304},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszText);
        ASSERT_TRUE(fnRegSetValue(m_hKey, "N", row.dwType, row.lpszText, FALSE));
        DWORD dwValue = 0xdeadbeef, cb = sizeof(dwValue), dwType = 0;
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(m_hKey, "N", NULL, &dwType, (BYTE *)&dwValue, &cb));
        EXPECT_EQ(row.dwType, dwType);
        EXPECT_EQ(4u, cb);
        EXPECT_EQ(row.dwStored, dwValue);
    }
}

TEST_F(RegistryTest, ReadingEdges)
{
    PutRaw("Sub", "", REG_SZ, "default", 8);
    PutRaw("Sub", "NoTerm", REG_SZ, "abc", 3);
    PutRaw("Sub", "Long", REG_SZ, "0123456789", 11);
    char szValue[8];

    /* a lookup path ending in a backslash reads the default value */
    ASSERT_TRUE(fnGetRegistry(HKEY_CURRENT_USER, Path("Sub\\"), szValue, sizeof(szValue)));
    EXPECT_STREQ("default", szValue);

    /* data stored without its terminator comes back terminated */
    memset(szValue, 'Z', sizeof(szValue));
    ASSERT_TRUE(fnGetRegistry(HKEY_CURRENT_USER, Path("Sub\\NoTerm"), szValue, sizeof(szValue)));
    EXPECT_STREQ("abc", szValue);

    /* data longer than the capacity is not found, and nothing is written past the buffer */
    char szCanary[16];
    memset(szCanary, 'Z', sizeof(szCanary));
    EXPECT_FALSE(fnGetRegistry(HKEY_CURRENT_USER, Path("Sub\\Long"), szCanary, 8));
    EXPECT_EQ('Z', szCanary[8]);

    /* a missing value clears the output; a missing key leaves it as it was */
    fnCopyBounded(szValue, sizeof(szValue), "keep");
    EXPECT_FALSE(fnGetRegistry(HKEY_CURRENT_USER, Path("Sub\\Missing"), szValue, sizeof(szValue)));
    EXPECT_STREQ("", szValue);
    fnCopyBounded(szValue, sizeof(szValue), "keep");
    EXPECT_FALSE(fnGetRegistry(HKEY_CURRENT_USER, Path("NoSuchKey\\Value"), szValue, sizeof(szValue)));
    EXPECT_STREQ("keep", szValue);
    EXPECT_FALSE(fnGetRegistry(NULL, Path("Sub\\NoTerm"), szValue, sizeof(szValue)));
    EXPECT_STREQ("keep", szValue);

    /* the value name may hold backslashes when given apart */
    PutRaw("Sub", "a\\b", REG_SZ, "slash", 6);
    ASSERT_TRUE(fnGetRegistryByValue(HKEY_CURRENT_USER, NULL, Path("Sub"), "a\\b", szValue, sizeof(szValue),
                                     REGCONV_HEX));
    EXPECT_STREQ("slash", szValue);
}

TEST_F(RegistryTest, ValuesOfMaximumSize)
{
    /* 1023 characters and the terminator fill the 1024-byte data buffer exactly */
    char szText[CCH_REG_BUF + 1];
    memset(szText, 'q', sizeof(szText));
    szText[CCH_REG_BUF - 1] = '\0';
    ASSERT_TRUE(fnRegSetValue(m_hKey, "Fit", REG_SZ, szText, FALSE));
    char szValue[2048];
    ASSERT_TRUE(fnGetRegistry(HKEY_CURRENT_USER, Path("Fit"), szValue, sizeof(szValue)));
    EXPECT_EQ(1023u, strlen(szValue));
    szText[CCH_REG_BUF - 1] = 'q';
    szText[CCH_REG_BUF] = '\0';
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(m_hKey, "TooLong", 0, REG_SZ, (const BYTE *)szText, CCH_REG_BUF + 1));
    EXPECT_FALSE(fnGetRegistry(HKEY_CURRENT_USER, Path("TooLong"), szValue, sizeof(szValue)));
}

TEST_F(RegistryTest, DeleteValuesKeysAndBranches)
{
    for (int i = 0; i < 5; i++) {
        char szName[8];
        fnFormatBounded(szName, sizeof(szName), "V%d", i);
        ASSERT_TRUE(fnRegOpenAndSet(HKEY_CURRENT_USER, Path("Del"), szName, "x", REG_SZ, FALSE));
    }
    ASSERT_TRUE(fnRegOpenAndSet(HKEY_CURRENT_USER, Path("Del\\A\\B\\C"), "Deep", "x", REG_SZ, FALSE));
    ASSERT_TRUE(fnRegOpenAndSet(HKEY_CURRENT_USER, Path("Del\\D"), "Other", "x", REG_SZ, FALSE));

    EXPECT_TRUE(fnRegDelValue(HKEY_CURRENT_USER, Path("Del"), "V0"));
    EXPECT_EQ(4u, CountValues("Del"));
    EXPECT_FALSE(fnRegDelValue(HKEY_CURRENT_USER, Path("Del"), "V0"));
    EXPECT_FALSE(fnRegDelValue(HKEY_CURRENT_USER, Path("Del"), ""));
    EXPECT_FALSE(fnRegDelValue(HKEY_CURRENT_USER, "", "V1"));
    EXPECT_FALSE(fnRegDelValue(HKEY_CURRENT_USER, Path("Del"), NULL));
    EXPECT_EQ(4u, CountValues("Del"));

    EXPECT_TRUE(fnRegDelAllValues(HKEY_CURRENT_USER, Path("Del")));
    EXPECT_EQ(0u, CountValues("Del"));
    EXPECT_TRUE(KeyExists("Del\\A\\B\\C"));
    EXPECT_TRUE(fnRegDelAllValues(HKEY_CURRENT_USER, Path("Del")));  /* nothing left: still success */
    EXPECT_FALSE(fnRegDelAllValues(HKEY_CURRENT_USER, ""));
    EXPECT_FALSE(fnRegDelAllValues(HKEY_CURRENT_USER, Path("NoSuchKey")));

    EXPECT_TRUE(fnRegDelBranch(HKEY_CURRENT_USER, Path("Del\\A")));
    EXPECT_FALSE(KeyExists("Del\\A"));
    EXPECT_TRUE(KeyExists("Del\\D"));
    EXPECT_FALSE(fnRegDelBranch(HKEY_CURRENT_USER, Path("Del\\A")));
    EXPECT_FALSE(fnRegDelBranch(HKEY_CURRENT_USER, ""));

    ASSERT_TRUE(fnRegOpenAndSet(HKEY_CURRENT_USER, Path("Del"), "Again", "x", REG_SZ, FALSE));
    EXPECT_TRUE(fnRegDelKey(HKEY_CURRENT_USER, Path("Del")));
    EXPECT_FALSE(KeyExists("Del"));
    EXPECT_FALSE(fnRegDelKey(HKEY_CURRENT_USER, Path("Del")));
}

TEST_F(RegistryTest, ChangesGoToTheInstallationLog)
{
    char szTmp[MAX_PATH], szLog[MAX_PATH];
    GetTempPathA(sizeof(szTmp), szTmp);
    fnFormatBounded(szLog, sizeof(szLog), "%stg_reglog_%lu.log", szTmp, (unsigned long)GetCurrentProcessId());
    DeleteFileA(szLog);
    fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), szLog);
    g_bLogOpen = TRUE;
    BOOL bSet = fnRegOpenAndSet(HKEY_CURRENT_USER, kScratch, "Logged", "v1", REG_SZ, FALSE);
    BOOL bDel = fnRegDelValue(HKEY_CURRENT_USER, kScratch, "Logged");
    g_bLogOpen = FALSE;
    g_szLogFile[0] = '\0';
    EXPECT_TRUE(bSet);
    EXPECT_TRUE(bDel);
    char szText[1024] = "";
    FILE *f = fopen(szLog, "rb");
    ASSERT_NE(nullptr, f);
    size_t n = fread(szText, 1, sizeof(szText) - 1, f);
    fclose(f);
    DeleteFileA(szLog);
    szText[n] = '\0';
    EXPECT_NE(nullptr, strstr(szText, "HKEY_CURRENT_USER\\Software\\TallgridTest\\Registry, \"Logged\", \"v1\", 1, RS"));
    EXPECT_NE(nullptr, strstr(szText, "\"Logged\", RD"));
}

class RegistryEnumTest : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        const char *apszDesc[] = {"Alpha card", "Beta card", "Gamma card", "Delta card"};
        for (int i = 0; i < 4; i++) {
            char szKey[32];
            fnFormatBounded(szKey, sizeof(szKey), "Enum\\%04d", i);
            PutRaw(szKey, "Desc", REG_SZ, apszDesc[i], (DWORD)strlen(apszDesc[i]) + 1);
            PutRaw(szKey, "Kind", REG_SZ, i == 2 ? "net" : "disk", i == 2 ? 4 : 5);
        }
    }
    const char *Enum(const char *lpszKey, const char *lpszTest, const char *lpszData, const char *lpszTest2,
                     const char *lpszData2, const char *lpszAction)
    {
        fnCopyBounded(m_szEnum, sizeof(m_szEnum), "junk");
        EXPECT_TRUE(fnRegGetEnum(HKEY_CURRENT_USER, Path(lpszKey), lpszTest, lpszData, lpszTest2, lpszData2,
                                 lpszAction, m_szEnum, sizeof(m_szEnum)));
        return m_szEnum;
    }
    char m_szEnum[16];
};

TEST_F(RegistryEnumTest, NumberedSubKeys)
{
    struct Row {
        const char *lpszTrace;
        const char *lpszTest, *lpszData, *lpszTest2, *lpszData2, *lpszAction;
        const char *lpszEnum;
    } aRows[] = {
        {"no tests", "", "", "", "", "L", "0000"},
        {"no tests, next", "", "", "", "", "N", "0001"},
        {"no tests, first", "", "", "", "", "F", "0000"},
        {"prefix passes at 2", "Desc", "gamma", "", "", "L", "0002"},
        {"prefix passes at 2, next", "Desc", "GAMMA", "", "", "n", "0003"},
        {"first only: index 0 fails", "Desc", "gamma", "", "", "F", "0003"},
        {"nothing passes", "Desc", "Omega", "", "", "L", "0003"},
        {"nothing passes, next", "Desc", "Omega", "", "", "N", "0004"},
        {"missing test value", "Absent", "", "", "", "L", "0003"},
        {"empty first data passes", "Desc", "", "", "", "L", "0000"},
        {"both tests", "Desc", "", "Kind", "ne", "L", "0002"},
        {"empty second data never passes", "Desc", "", "Kind", "", "L", "0003"},
        {"second value missing", "Desc", "", "Absent", "x", "L", "0003"},
        {"second test alone", "", "", "Kind", "net", "L", "0002"},
        {"null action", "", "", "", "", NULL, "0000"},
    };
    for (const Row &row : aRows) {
        SCOPED_TRACE(row.lpszTrace);
        EXPECT_STREQ(row.lpszEnum, Enum("Enum", row.lpszTest, row.lpszData, row.lpszTest2, row.lpszData2,
                                        row.lpszAction));
    }
}

TEST_F(RegistryEnumTest, MissingAndEmptyKeys)
{
    for (const char *lpszAction : {"L", "N", "F"}) {
        SCOPED_TRACE(lpszAction);
        EXPECT_STREQ("0000", Enum("NoSuchKey", "", "", "", "", lpszAction));
    }
    PutRaw("Empty", "x", REG_SZ, "x", 2);
    EXPECT_STREQ("0000", Enum("Empty", "", "", "", "", "L"));
    EXPECT_STREQ("0001", Enum("Empty", "", "", "", "", "N"));
}

TEST_F(RegistryTest, ShellFolders)
{
    GetWindowsDirectoryA(g_szWinDir, sizeof(g_szWinDir));
    char szPath[MAX_PATH];
    char szExpect[MAX_PATH];

    /* no such folder: the Windows folder joined with the default string */
    fnFormatBounded(szExpect, sizeof(szExpect), "%s\\Start Menu\\Programs", g_szWinDir);
    EXPECT_FALSE(fnGetUserShellFolder("TgNoSuchFolder", szPath, sizeof(szPath), 1254));
    EXPECT_STREQ(szExpect, szPath);
    EXPECT_FALSE(fnGetCommonShellFolder("TgNoSuchFolder", szPath, sizeof(szPath), 1254));
    EXPECT_STREQ(szExpect, szPath);

    /* a user folder stored with an environment reference comes back expanded */
    const char szUsf[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const char szData[] = "%TGTEST_VAR%\\Folder";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, szUsf, "TgTestFolder", REG_EXPAND_SZ, szData,
                                             sizeof(szData)));
    BOOL bFound = fnGetUserShellFolder("TgTestFolder", szPath, sizeof(szPath), 1254);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, szUsf, "TgTestFolder");
    EXPECT_TRUE(bFound);
    EXPECT_STREQ("alpha\\Folder", szPath);

    /* the second place is the plain shell folder list */
    const char szSf[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, szSf, "TgTestFolder", REG_SZ, "C:\\Plain", 9));
    bFound = fnGetUserShellFolder("TgTestFolder", szPath, sizeof(szPath), 1254);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, szSf, "TgTestFolder");
    EXPECT_TRUE(bFound);
    EXPECT_STREQ("C:\\Plain", szPath);
}

}  // namespace
