/*
 * config/tests/registry_sections_win_test.cpp -- registry sections run for
 * real on scratch keys under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE: every
 * line form, the types read back, result slots, the delete guard, renames
 * that keep their data, failing writes and the questions they ask (answered
 * from another thread as a person would).
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/regsection.h"
#include "driver/handlers.h"
#include "driver/winstate.h"
#include "script/optstore.h"
#include "script/sysinfo_win.h"
#include "ui/tests/dlgdriver.h"

namespace {

const char kScratch[] = "Software\\TallgridTest\\RegSection";
#define HKCU_S "HKEY_CURRENT_USER\\Software\\TallgridTest\\RegSection"
#define HKLM_S "HKEY_LOCAL_MACHINE\\Software\\TallgridTest\\RegSection"

/* Waits up to twenty seconds for a box with the run caption, keeps its text and presses nPress. */
std::thread fnAnswerBox(int nPress, std::string *lpstrText)
{
    return std::thread([=]() {
        for (int i = 0; i < 400; i++) {
            HWND hWnd = FindWindowA("#32770", g_szMsgTitle);
            if (hWnd && IsWindowVisible(hWnd)) {
                Sleep(100);
                char szText[1024] = "";
                GetDlgItemTextA(hWnd, 0xFFFF, szText, sizeof(szText));
                *lpstrText = szText;
                PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(nPress, BN_CLICKED), (LPARAM)GetDlgItem(hWnd, nPress));
                return;
            }
            Sleep(50);
        }
    });
}

class RegSectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnResetRunState();
        fnResetOptStore();
        fnLoadStr(1013, g_szMsgTitle, sizeof(g_szMsgTitle));
        fnInstallMachineLookup();
        g_bQuiet = TRUE;
        for (HKEY hRoot : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            RegDeleteTreeA(hRoot, kScratch);
    }
    void TearDown() override
    {
        for (HKEY hRoot : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteTreeA(hRoot, kScratch);
            RegDeleteKeyA(hRoot, "Software\\TallgridTest");
        }
        fnResetRunState();
        fnResetOptStore();
    }
    UINT Run(const std::string &strBody)
    {
        std::string str = "[Registry]\r\n" + strBody;
        return fnRegistrySection(NULL, str.c_str(), "[Registry]");
    }
    /* The raw data and type of a scratch value under HKCU (sub-key relative to the scratch key). */
    bool Raw(const char *lpszSub, const char *lpszName, DWORD *lpdwType, std::string *lpstrData,
             HKEY hRoot = HKEY_CURRENT_USER)
    {
        std::string strKey = std::string(kScratch) + (lpszSub[0] ? "\\" : "") + lpszSub;
        HKEY hKey;
        if (RegOpenKeyExA(hRoot, strKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        BYTE ab[4096];
        DWORD cb = sizeof(ab);
        LONG lRC = RegQueryValueExA(hKey, lpszName, NULL, lpdwType, ab, &cb);
        RegCloseKey(hKey);
        if (lRC != ERROR_SUCCESS)
            return false;
        lpstrData->assign((const char *)ab, cb);
        return true;
    }
    bool KeyExists(const char *lpszSub)
    {
        HKEY hKey;
        std::string strKey = std::string(kScratch) + "\\" + lpszSub;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, strKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        RegCloseKey(hKey);
        return true;
    }
    void Put(const char *lpszSub, const char *lpszName, DWORD dwType, const void *lpData, DWORD cb)
    {
        std::string strKey = std::string(kScratch) + (lpszSub[0] ? "\\" : "") + lpszSub;
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, strKey.c_str(), lpszName, dwType, lpData, cb));
    }
};

TEST_F(RegSectionTest, EditWritesEachTypeAndReadsComeBackIntoSlots)
{
    ASSERT_EQ(1u, Run("Edit=SZ," HKCU_S ",Name,Text here\r\n"
                      "Edit=dword," HKCU_S ",Hex,0x10\r\n"
                      "Edit=DWORD," HKCU_S ",Suffix,1fH\r\n"
                      "Edit=EXPAND_SZ," HKCU_S ",Path,%TGTEST_NONE%\\bin\r\n"
                      "Edit=BINARY," HKCU_S "\\Sub\\Deep,Bin,\"0a,1b ff\"\r\n"
                      "Edit=DWORD_BIG_ENDIAN," HKCU_S ",Big,258\r\n"
                      "Read=," HKCU_S "\\Hex\r\n"
                      "ReadValue=," HKCU_S ",Hex\r\n"
                      "Read=," HKCU_S "\\Sub\\Deep\\Bin\r\n"
                      "Read=," HKCU_S "\\Missing\r\n"
                      "Read=," HKCU_S "\\Name\r\n"));
    DWORD dwType;
    std::string str;
    ASSERT_TRUE(Raw("", "Hex", &dwType, &str));
    EXPECT_EQ((DWORD)REG_DWORD, dwType);
    EXPECT_EQ(16u, *(const DWORD *)str.data());
    ASSERT_TRUE(Raw("", "Suffix", &dwType, &str));
    EXPECT_EQ(31u, *(const DWORD *)str.data());
    ASSERT_TRUE(Raw("", "Path", &dwType, &str));
    EXPECT_EQ((DWORD)REG_EXPAND_SZ, dwType);
    EXPECT_STREQ("%TGTEST_NONE%\\bin", str.c_str());  /* stored unexpanded */
    ASSERT_TRUE(Raw("Sub\\Deep", "Bin", &dwType, &str));
    EXPECT_EQ((DWORD)REG_BINARY, dwType);
    EXPECT_EQ(std::string("\x0a\x1b\xff", 3), str);
    ASSERT_TRUE(Raw("", "Big", &dwType, &str));
    EXPECT_EQ((DWORD)REG_DWORD_BIG_ENDIAN, dwType);
    EXPECT_EQ(258u, *(const DWORD *)str.data());  /* machine order, no swap */

    EXPECT_STREQ("10", g_szRegValues[0]);
    EXPECT_STREQ("16", g_szRegValues[1]);
    EXPECT_STREQ("0a1bff", g_szRegValues[2]);
    EXPECT_STREQ("-NOTFOUND-", g_szRegValues[3]);
    EXPECT_STREQ("Text here", g_szRegValues[4]);

    /* the next section starts again at slot 0; the other slots keep their results */
    ASSERT_EQ(1u, Run("Read=," HKCU_S "\\Suffix\r\n"));
    EXPECT_STREQ("1f", g_szRegValues[0]);
    EXPECT_STREQ("16", g_szRegValues[1]);

    /* a slot's text reaches a later field through its option */
    ASSERT_EQ(1u, Run("Read=," HKCU_S "\\Name\r\nEdit=SZ," HKCU_S ",Copy,[@K0]\r\n"));
    ASSERT_TRUE(Raw("", "Copy", &dwType, &str));
    EXPECT_STREQ("[Text here]", str.c_str());
}

TEST_F(RegSectionTest, ValueNamesWithBackslashesAndTheDefaultValueAreReadFromTheirKey)
{
    DWORD dwThree = 3;
    Put("Shared", "C:\\App\\x.dll", REG_DWORD, &dwThree, 4);
    Put("Shared", "", REG_SZ, "Standard", 9);
    Put("", "Shared", REG_SZ, "parent value", 13);
    ASSERT_EQ(1u, Run("Edit=DWORD," HKCU_S "\\Shared,C:\\App\\x.dll,1,SKIPIFEXISTS\r\n"
                      "Edit=SZ," HKCU_S "\\Shared,,Overwritten,SKIPIFEXISTS\r\n"
                      "Edit=SZ," HKCU_S "\\Shared,New,Written,SKIPIFEXISTS\r\n"
                      "Check=," HKCU_S "\\Shared,C:\\App\\x.dll,3,FATAL\r\n"
                      "Check=," HKCU_S "\\Shared,,standard,FATAL\r\n"
                      "ReadValue=," HKCU_S "\\Shared,C:\\App\\x.dll\r\n"));
    DWORD dwType;
    std::string str;
    ASSERT_TRUE(Raw("Shared", "C:\\App\\x.dll", &dwType, &str));
    EXPECT_EQ(3u, *(const DWORD *)str.data());
    ASSERT_TRUE(Raw("Shared", "", &dwType, &str));
    EXPECT_STREQ("Standard", str.c_str());
    ASSERT_TRUE(Raw("Shared", "New", &dwType, &str));
    EXPECT_STREQ("Written", str.c_str());
    EXPECT_STREQ("3", g_szRegValues[0]);
}

TEST_F(RegSectionTest, DeletesRemoveWhatTheyNameAndBuiltPathsThatCameBackShortAreRefused)
{
    Put("Vendor\\App\\Sub", "a", REG_SZ, "1", 2);
    Put("Vendor\\App", "b", REG_SZ, "2", 2);
    Put("Vendor\\App", "c", REG_SZ, "3", 2);
    Put("Vendor", "keep", REG_SZ, "4", 2);
    /* @K0 holds "-NOTFOUND-" and so gives nothing: Vendor\ and Vendor\\Sub must not be reached */
    ASSERT_EQ(1u, Run("Read=," HKCU_S "\\NoSuchValue\r\n"
                      "DeleteBranch=," HKCU_S "\\Vendor\\@K0,CONTINUE\r\n"
                      "DeleteKey=," HKCU_S "\\Vendor\\@K0\\App,CONTINUE\r\n"
                      "DeleteValues=," HKCU_S "\\Vendor\\@A1,CONTINUE\r\n"
                      "DeleteValue=," HKCU_S "\\Vendor,@A1keep,CONTINUE\r\n"));
    EXPECT_TRUE(KeyExists("Vendor\\App\\Sub"));
    DWORD dwType;
    std::string str;
    EXPECT_TRUE(Raw("Vendor", "keep", &dwType, &str));

    ASSERT_EQ(1u, Run("DeleteValues=," HKCU_S "\\Vendor\\App\r\n"
                      "DeleteValue=," HKCU_S "\\Vendor,keep\r\n"));
    EXPECT_FALSE(Raw("Vendor\\App", "b", &dwType, &str));
    EXPECT_TRUE(KeyExists("Vendor\\App\\Sub"));  /* values only: the sub-key stays */
    EXPECT_FALSE(Raw("Vendor", "keep", &dwType, &str));
    ASSERT_EQ(1u, Run("DeleteKey=," HKCU_S "\\Vendor\\App\r\n"));
    EXPECT_FALSE(KeyExists("Vendor\\App"));
    EXPECT_TRUE(KeyExists("Vendor"));
    ASSERT_EQ(1u, Run("DeleteBranch=," HKCU_S "\\Vendor\r\n"));
    EXPECT_FALSE(KeyExists("Vendor"));
}

TEST_F(RegSectionTest, RenamesKeepTypeAndEveryByte)
{
    DWORD dw = 16;
    const BYTE abBin[] = {0, 1, 2, 0xfe, 0xff, 0};
    const char szMulti[] = "one\0two\0";
    std::string strLong(3000, 'x');
    Put("R", "Dw", REG_DWORD, &dw, 4);
    Put("R", "Bin", REG_BINARY, abBin, sizeof(abBin));
    Put("R", "Multi", REG_MULTI_SZ, szMulti, sizeof(szMulti));
    Put("R", "Long", REG_SZ, strLong.c_str(), (DWORD)strLong.size() + 1);
    Put("R", "Keep", REG_SZ, "kept", 5);
    ASSERT_EQ(1u, Run("RenameValue=" HKCU_S "\\R,Dw,Dw2\r\n"
                      "RenameKey=" HKCU_S "\\R,Bin,Bin2\r\n"
                      "RenameValue=" HKCU_S "\\R,Multi,Multi2\r\n"
                      "RenameValue=" HKCU_S "\\R,Long,Long2\r\n"
                      "RenameValue=" HKCU_S "\\R,Keep,KEEP\r\n"
                      "RenameValue=" HKCU_S "\\R,Missing,Other,CONTINUE\r\n"
                      "RenameValue=" HKCU_S "\\R,Dw2,,CONTINUE\r\n"));
    DWORD dwType;
    std::string str;
    EXPECT_FALSE(Raw("R", "Dw", &dwType, &str));
    ASSERT_TRUE(Raw("R", "Dw2", &dwType, &str));
    EXPECT_EQ((DWORD)REG_DWORD, dwType);
    EXPECT_EQ(16u, *(const DWORD *)str.data());
    ASSERT_TRUE(Raw("R", "Bin2", &dwType, &str));
    EXPECT_EQ((DWORD)REG_BINARY, dwType);
    EXPECT_EQ(std::string((const char *)abBin, sizeof(abBin)), str);
    ASSERT_TRUE(Raw("R", "Multi2", &dwType, &str));
    EXPECT_EQ(std::string(szMulti, sizeof(szMulti)), str);
    ASSERT_TRUE(Raw("R", "Long2", &dwType, &str));
    EXPECT_EQ(strLong.size() + 1, str.size());
    ASSERT_TRUE(Raw("R", "Keep", &dwType, &str));
    EXPECT_STREQ("kept", str.c_str());
    EXPECT_FALSE(Raw("R", "Other", &dwType, &str));
}

TEST_F(RegSectionTest, EnumMatchTrimAndTheTenthResult)
{
    for (const char *lpszSub : {"N\\0000", "N\\0001", "N\\0002", "N\\0003"})
        Put(lpszSub, "Driver", REG_SZ, "disk", 5);
    Put("N\\0002", "Driver", REG_SZ, "net card", 9);
    Put("", "Dir", REG_SZ, "D:\\Apps\\", 9);
    Put("", "Root", REG_SZ, "D:\\", 4);
    ASSERT_EQ(1u, Run("TrimTrailingSlash=Y\r\n"
                      "Enum=," HKCU_S "\\N\r\n"                       /* 0: 0000 */
                      "Enum=," HKCU_S "\\N,Driver,NET\r\n"            /* 1: 0002 */
                      "Enum=," HKCU_S "\\N,Driver,tape,,,N\r\n"       /* 2: none passes: 0003, then 0004 */
                      "Enum=," HKCU_S "\\Nothing,,,,,N\r\n"           /* 3: 0000 */
                      "Read=," HKCU_S "\\Dir\r\n"                     /* 4 */
                      "Read=," HKCU_S "\\Root\r\n"                    /* 5 */
                      "Match=," HKCU_S "\\Dir,d:\\apps\\\r\n"         /* 6: exact, untrimmed: 1 */
                      "Match=," HKCU_S "\\Dir,D:\\AP,N\r\n"           /* 7: prefix 1 */
                      "Match=," HKCU_S "\\Gone,x,N\r\n"               /* 8: 0 */
                      "Read=," HKCU_S "\\Dir\r\n"                     /* tenth: no slot */
                      "Edit=SZ," HKCU_S ",After,yes\r\n"));
    const char *aszExpected[] = {"0000", "0002", "0004", "0000", "D:\\Apps", "D:\\", "1", "1", "0"};
    for (int i = 0; i < OPT_SLOTS; i++)
        EXPECT_STREQ(aszExpected[i], g_szRegValues[i]) << i;
    DWORD dwType;
    std::string str;
    EXPECT_TRUE(Raw("", "After", &dwType, &str));
}

TEST_F(RegSectionTest, HklmAndFailingWrites)
{
    ASSERT_EQ(1u, Run("Edit=SZ," HKLM_S ",Machine,m\r\n"
                      "Read=," HKLM_S "\\Machine\r\n"
                      /* a key under a volatile parent cannot be made non-volatile */
                      "Edit=SZ,HKEY_LOCAL_MACHINE\\HARDWARE\\TallgridTest,V,x,CONTINUE\r\n"
                      "Edit=SZ," HKCU_S "\\" + std::string(300, 'k') + ",V,x,CONTINUE\r\n"
                      "Edit=SZ,HKEY_CURENT_USER\\Software,V,x,CONTINUE\r\n"
                      "DeleteBranch=," HKLM_S "\r\n"));
    EXPECT_STREQ("m", g_szRegValues[0]);
    DWORD dwType;
    std::string str;
    EXPECT_FALSE(Raw("", "Machine", &dwType, &str, HKEY_LOCAL_MACHINE));
    HKEY hKey;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\TallgridTest", 0, KEY_READ, &hKey));
    EXPECT_FALSE(KeyExists(std::string(300, 'k').c_str()));
}

TEST_F(RegSectionTest, FailuresAskAndTheAnswerDecides)
{
    g_bQuiet = FALSE;
    std::string strText;
    std::thread t = fnAnswerBox(IDYES, &strText);
    /* Yes goes on with the next line */
    EXPECT_EQ(1u, Run("Edit=SZ,HKEY_CURENT_USER\\Software,V,x\r\nEdit=SZ," HKCU_S ",After,1\r\n"));
    t.join();
    EXPECT_EQ("Registry error.\nContinue processing?", strText);
    DWORD dwType;
    std::string str;
    EXPECT_TRUE(Raw("", "After", &dwType, &str));

    t = fnAnswerBox(IDNO, &strText);
    EXPECT_EQ(0u, Run("Edit=SZ,HKEY_LOCAL_MACHINE\\HARDWARE\\TallgridTest,V,x\r\nEdit=SZ," HKCU_S ",Never,1\r\n"));
    t.join();
    EXPECT_FALSE(Raw("", "Never", &dwType, &str));

    /* a check on a missing value with FATAL stops after message 1288; a mistyped root is missing too */
    t = fnAnswerBox(IDOK, &strText);
    EXPECT_EQ(0u, Run("Check=,HKEY_CURENT_USER\\Software,V,1,FATAL\r\n"));
    t.join();
    EXPECT_EQ("Vital information has not been entered in the registry.  Cannot continue.", strText);

    t = fnAnswerBox(IDNO, &strText);
    EXPECT_EQ(0u, Run("Check=," HKCU_S ",After,2,PROMPT\r\n"));
    t.join();
    EXPECT_EQ("Value does not match registry.\nContinue processing?", strText);

    /* an own message goes to the message window, options expanded; No ends the section */
    bool bFound = false;
    t = fnOnDialog("Message Box", [&](HWND hDlg) { strText = fnItemText(hDlg, 110); fnPress(hDlg, IDNO); },
                   &bFound);
    EXPECT_EQ(0u, Run("Read=," HKCU_S "\\After\r\nCheck=," HKCU_S ",After,2,PROMPT,Value is @K0.\r\n"));
    t.join();
    EXPECT_TRUE(bFound);
    EXPECT_EQ("Value is 1.", strText);
}

TEST_F(RegSectionTest, CheckActionsAndItsProgram)
{
    DWORD dw = 26;
    Put("", "Dw", REG_DWORD, &dw, 4);
    /* a DWORD is compared as its hexadecimal text, any case */
    EXPECT_EQ(1u, Run("Check=," HKCU_S ",Dw,1A,FATAL\r\nCheck=," HKCU_S ",Dw,1a,CONTINUE\r\n"));
    EXPECT_EQ(0u, Run("Check=," HKCU_S ",Dw,1a,EXIT\r\n"));
    EXPECT_EQ(0u, Run("Check=," HKCU_S ",Dw,26,CONTINUE\r\n"));
    EXPECT_EQ(0u, Run("Check=," HKCU_S ",Gone,1,EXIT\r\n"));
    EXPECT_EQ(1u, Run("Check=," HKCU_S ",Gone,1,CONTINUE\r\nCheck=," HKCU_S ",Gone,1,whatever\r\n"));

    /* a quiet run takes Yes and starts the program; one that cannot start ends the section */
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    std::string strMark = std::string(szTemp) + "tgregcheck.txt";
    DeleteFileA(strMark.c_str());
    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), strMark.c_str());
    EXPECT_EQ(1u, Run("Check=," HKCU_S ",Dw,1a,PROMPTMATCH,,cmd /c echo ran>@K0\r\n"));
    bool bRan = false;
    for (int i = 0; i < 200 && !bRan; i++, Sleep(100))
        bRan = GetFileAttributesA(strMark.c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_TRUE(bRan);
    DeleteFileA(strMark.c_str());
    EXPECT_EQ(0u, Run("Check=," HKCU_S ",Gone,1,PROMPT,,Z:\\no\\such\\bad.exe\r\n"));
}

TEST_F(RegSectionTest, KeywordsSteerTheSection)
{
    /* an unknown keyword ends the section with success; a line without its keyword fails it */
    EXPECT_EQ(1u, Run("Write=SZ," HKCU_S ",V,1\r\nEdit=SZ," HKCU_S ",Never,1\r\n"));
    DWORD dwType;
    std::string str;
    EXPECT_FALSE(Raw("", "Never", &dwType, &str));
    EXPECT_EQ(0u, Run("Edit,SZ," HKCU_S ",V,1\r\n"));
    EXPECT_EQ(1u, Run(""));
    EXPECT_EQ(1u, fnRegistrySection(NULL, "[Other]\r\nEdit=SZ,x,y,z\r\n", "[Registry]"));

    /* conditions skip lines; ExpandDelims lasts for the run */
    ASSERT_EQ(1u, Run("1=2,Edit=SZ," HKCU_S ",Skipped,1\r\n"
                      "ExpandDelims=;\r\n"
                      "Edit=SZ," HKCU_S ",Taken,1\r\n"));
    EXPECT_FALSE(Raw("", "Skipped", &dwType, &str));
    EXPECT_TRUE(Raw("", "Taken", &dwType, &str));
    EXPECT_STREQ(";", g_szExpandDelims);
}

}  // namespace
