/*
 * script/tests/expand_test.cpp -- option expansion on the host with made-up
 * machine facts: the option table, digits after options, malformed options
 * staying in place, prefixes, the end marker, result codes, function-result
 * slots and the 259-character limit.
 */
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/scramble.h"
#include "fakemachine.h"
#include "script/expand.h"
#include "script/optstore.h"

namespace {

/* "result|expanded text" */
std::string fnX(const char *lpszText)
{
    char sz[CCH_EXPANDED + 16];
    fnCopyBounded(sz, sizeof(sz), lpszText);
    int n = fnExpandOpts(sz, sizeof(sz));
    return std::to_string(n) + "|" + sz;
}

struct RowStruct {
    const char *lpszText;
    const char *lpszWant;
};

void fnRows(const RowStruct *rows, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        SCOPED_TRACE(rows[i].lpszText);
        EXPECT_EQ(rows[i].lpszWant, fnX(rows[i].lpszText));
    }
}

class ExpandTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        fnInstallFakeMachine();
        fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), "C:\\WINDOWS");
        fnCopyBounded(g_szSysDir, sizeof(g_szSysDir), "C:\\WINDOWS\\system32");
        fnCopyBounded(g_szProgramFilesDir, sizeof(g_szProgramFilesDir), "C:\\Program Files");
    }
    void TearDown() override { g_lpMachine = &g_machineNone; }
};

TEST_F(ExpandTest, PlainTextOptionCharacterAndResultCodes)
{
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), "C:\\Apps\\Tool\\");
    const RowStruct rows[] = {
        {"plain text", "0|plain text"},
        {"", "0|"},
        {"@@D", "1|@D"},
        {"abc@", "0|abc@"},
        {"@D", "1|C:\\Apps\\Tool"},
        {"@d\\x", "1|C:\\Apps\\Tool\\x"},
        {"@A2", "-1|"},              /* empty answer: expanded to nothing, result -1 */
        {"@.", "1|"},                /* the one empty value that is not "missing" */
        {"a@.b", "1|ab"},
        {"@A2@D", "-1|C:\\Apps\\Tool"},
        {"@D@A2", "-1|C:\\Apps\\Tool"},
        {"@Q@R@T", "1|\"\r\n\t"},
        {"@Y", "0|@Y"},              /* unknown letter */
        {"@@@@", "1|@@"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));
}

TEST_F(ExpandTest, PathSlotsAndModifiers)
{
    fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), "C:\\Apps\\Tool");
    fnCopyBounded(g_szPathSlot[1], sizeof(g_szPathSlot[1]), "Tool");
    fnCopyBounded(g_szSourceSlot[0], sizeof(g_szSourceSlot[0]), "\\\\srv\\share\\kit\\");
    fnCopyBounded(g_szRegEntrySlot[0], sizeof(g_szRegEntrySlot[0]), "D:\\Data\\App");
    fnCopyBounded(g_szRegEntry, sizeof(g_szRegEntry), "D:\\Data\\");
    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), "C:\\Lib\\tool.dll");
    const RowStruct rows[] = {
        {"@D1", "1|C:\\Apps\\Tool"},
        {"@D10", "1|C:"},
        {"@D11", "1|C:\\Apps"},
        {"@D12", "1|Apps\\Tool"},
        {"@D13", "1|Tool"},
        {"@D14", "0|@D14"},          /* modifier out of range: not slot 0 followed by a 4 */
        {"@D15", "0|@D15"},
        {"@D0", "0|@D0"},
        {"@D20", "0|@D20"},          /* no drive: the splitter fails, the option stays */
        {"@D21", "-1|"},             /* no separator: an empty parent */
        {"@H1", "1|\\\\srv\\share\\kit\\"},
        {"@H10", "1|\\\\srv\\share"},
        {"@H11", "1|\\\\srv\\share\\kit"},
        {"@H13", "1|kit"},
        {"@H2", "-1|"},
        {"@E", "1|D:\\Data"},
        {"@E0", "1|D:\\Data\\App"},
        {"@E03", "1|App"},
        {"@E9", "-1|"},
        {"@K02", "1|tool.dll"},
        {"@K01", "1|C:\\Lib"},
        {"@K03", "0|@K03"},          /* @K takes modifiers 0-2 only */
        {"@K9", "0|@K9"},
        {"@F1", "-1|"},              /* reserved: always empty */
        {"@F13", "0|@F13"},
        {"@F", "0|@F"},
        {"@G0", "-1|"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));
}

TEST_F(ExpandTest, AnswerSlotsSubFieldsAndLengths)
{
    fnCopyBounded(g_lpszAskForResponse[0], CCH_ANSWER, "red, green=blue");
    fnCopyBounded(g_szFromListResponse[1], CCH_LISTANSWER, "one,two");
    fnCopyBounded(g_szFromComboResponse[8], CCH_LISTANSWER, "\"a,b\",c");
    fnCopyBounded(g_szDefaultSetting[0], CCH_DEFAULTSETTING, "x=y");
    fnCopyBounded(g_szCmdResult[3], CCH_PATH, "alpha,beta");
    g_szOptionAnswer[0][0] = 'Y';
    g_szOptionAnswer[0][3] = 'N';
    const RowStruct rows[] = {
        {"@A1", "1|red, green=blue"},
        {"@A10", "1|red"},
        {"@A12", "1|green"},
        {"@A133", "1|blu"},
        {"@A130", "1|blue0"},        /* a 0 is no length: it stays as text */
        {"@A14", "-1|"},             /* fewer sub-fields */
        {"@A0", "0|@A0"},
        {"@L22", "1|two"},
        {"@L223", "1|two3"},         /* @L takes no length digit */
        {"@C91", "1|a,b"},           /* quotes protect the delimiter */
        {"@P12", "1|y"},
        {"@$32", "1|beta"},
        {"@$324", "1|beta"},
        {"@$321", "1|b"},
        {"@B11", "1|Y"},
        {"@B14", "1|N"},
        {"@B12", "0|@B12"},          /* not answered yet */
        {"@B15", "0|@B15"},
        {"@B1", "0|@B1"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));

    fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), "=");
    EXPECT_EQ("1|blue", fnX("@A12"));
}

TEST_F(ExpandTest, RegistryNotFoundStringTestsAndUser)
{
    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), "-NOTFOUND-");
    g_uStrTestResult[0] = 1;
    g_uStrTestResult[15] = 104;
    fnCopyBounded(g_szUserName, sizeof(g_szUserName), "admin");
    fnCopyBounded(g_szUserPassword, sizeof(g_szUserPassword), "s3cret");
    ASSERT_TRUE(fnEnCryptString(g_szUserPassword, sizeof(g_szUserPassword)));
    ASSERT_STRNE("s3cret", g_szUserPassword);
    const RowStruct rows[] = {
        {"@K0", "1|"},
        {"x@K02y", "1|xy"},
        {"@I0", "1|1"},
        {"@I15", "1|104"},
        {"@I150", "-1|0"},           /* the value 150 is out of the table; two digits are consumed */
        {"@I16", "-1|"},             /* beyond the table: empty text */
        {"@I", "0|@I"},
        {"@U", "-1|"},
        {"@U0", "1|admin"},
        {"@U1", "1|s3cret"},
        {"@U2", "0|@U2"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));

    g_szUserPassword[0] = '\0';
    EXPECT_EQ("-1|", fnX("@U1"));
}

TEST_F(ExpandTest, PasswordNeverReachesTheDebugLog)
{
    fnCopyBounded(g_szUserPassword, sizeof(g_szUserPassword), "s3cret");
    ASSERT_TRUE(fnEnCryptString(g_szUserPassword, sizeof(g_szUserPassword)));
    std::string sLog = ::testing::TempDir() + "expand_secret.log";
    remove(sLog.c_str());
    fnCopyBounded(g_szDebugFile, sizeof(g_szDebugFile), sLog.c_str());
    g_uDebugLevel = 3;
    std::string a = fnX("x@U1y");
    std::string b = fnX("@_fnStrBegin(@U1,3)");
    std::string c = fnX("@D");
    g_uDebugLevel = 0;
    EXPECT_EQ("1|xs3crety", a);
    EXPECT_EQ("1|s3c", b);
    FILE *f = fopen(sLog.c_str(), "rb");
    ASSERT_TRUE(f != NULL);
    std::string sText;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        sText.append(buf, n);
    fclose(f);
    remove(sLog.c_str());
    EXPECT_NE(std::string::npos, sText.find("(hidden)"));
    EXPECT_EQ(std::string::npos, sText.find("s3c")) << sText;
    EXPECT_FALSE(g_bExpandSecret) << "a later expansion without the password logs again";
}

TEST_F(ExpandTest, EnvironmentVariables)
{
    g_fake.env["PATH"] = "C:\\bin;C:\\tools";
    g_fake.env["A"] = "1";
    const RowStruct rows[] = {
        {"@%PATH%", "1|C:\\bin;C:\\tools"},
        {"[@%A%]", "1|[1]"},
        {"@%NOSUCHVAR%x", "-1|@%NOSUCHVAR%x"},
        {"@%A B%", "0|@%A B%"},
        {"@%%", "0|@%%"},
        {"@%A", "0|@%A"},
        {"@%A\t%", "0|@%A\t%"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));
}

TEST_F(ExpandTest, PrefixesApplyInOrderAndOnlyToTheNextValue)
{
    g_fake.shortPaths["C:\\Program Files"] = "C:\\PROGRA~1";
    const RowStruct rows[] = {
        {"@~@W5", "1|C:\\PROGRA~1"},
        {"@~@.", "1|"},
        {"@~x@W5", "1|xC:\\Program Files"},   /* a copied character clears the prefix */
        {"@|@W5", "1|C:|Program Files"},
        {"@|@~@W5", "1|C:|PROGRA~1"},         /* short path before bars, whatever the order written */
        {"@#@~@W5", "1|C:\\Program Files"},   /* short, then long again */
        {"@~@W2", "1|C:\\WINDOWS\\system32"},  /* a failing conversion leaves the value */
        {"@~", "0|"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));
}

TEST_F(ExpandTest, EndMarkerAndEscapes)
{
    const RowStruct rows[] = {
        {"abc@Zdef", "0|abc"},
        {"abc@zdef", "0|abc@zdef"},  /* the cut looks for the upper-case pair only */
        {"abc@zd@Zef", "0|abc@zd"},
        {"@\\<", "1|<"},
        {"@\\g", "1|>"},
        {"@\\?", "1|?"},
        {"@\\c@\\e@\\q@\\s@\\\\", "1|,=\"'\\"},
        {"@\\n@\\r@\\t", "1|\n\r\t"},
        {"@\\x", "0|@\\x"},
        {"@\\G", "0|@\\G"},          /* escapes are read in their own case */
        {"@\\z", "-1|"},
        {"@\\", "0|@\\"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));
}

TEST_F(ExpandTest, EndMarkerCutsAtItsOwnPlaceOnly)
{
    fnCopyBounded(g_lpszAskForResponse[0], CCH_ANSWER, "me@Zoo.org");
    const RowStruct rows[] = {
        {"@A1@Z tail", "1|me@Zoo.org"},     /* the pair inside a value is no marker */
        {"@A1", "1|me@Zoo.org"},
        {"x@@Zy@Zz", "1|x@Zy"},             /* nor is a written @@Z */
        {"@Za@A1", "1|"},
        {"a@zb@A1@Zc", "1|a@zbme@Zoo.org"}, /* the lower-case marker cuts nothing */
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));
}

TEST_F(ExpandTest, FunctionTextAndVariableNameAtTheirLimits)
{
    /* the function text (name, '(' and arguments) holds at most 259 characters */
    std::string sFit = "@_fnStrLen(" + std::string(250, 'a') + ")";
    std::string sOver = "@_fnStrLen(" + std::string(251, 'a') + ")";
    g_fake.env[std::string(259, 'n')] = "fits";
    g_fake.env[std::string(260, 'n')] = "too long";
    std::string sName = "@%" + std::string(259, 'n') + "%";
    std::string sLongName = "@%" + std::string(260, 'n') + "%";
    const struct {
        std::string sText, sWant;
    } rows[] = {
        {sFit, "1|250"},
        {sOver, "-1|" + sOver.substr(0, 259)},   /* not evaluated on a cut text: kept, cut at the field limit */
        {sName, "1|fits"},
        {sLongName, "-1|" + sLongName.substr(0, 259)}, /* not looked up under a cut name */
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.sText.substr(0, 16) + "... " + std::to_string(r.sText.size()));
        EXPECT_EQ(r.sWant, fnX(r.sText.c_str()));
    }
    EXPECT_EQ(1u, g_uFunResult) << "only the function that fitted stored a result";
}

TEST_F(ExpandTest, SystemNamesAdaptersAndHardware)
{
    fnCopyBounded(g_szDate, sizeof(g_szDate), "20240131");
    fnCopyBounded(g_szTime, sizeof(g_szTime), "235959");
    g_fake.adapters = "00AABBCCDDEE-10.1.2.3;112233445566-192.168.0.7";
    g_fake.mask = "255.255.255.0";
    g_fake.gateway = "192.168.0.1";
    g_fake.nAdapters = 2;
    g_fake.sid = "S-1-5-21-1-2-3-1001";
    g_fake.registry["2:SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-1-2-3-1001\\ProfileImagePath"] =
        "C:\\Users\\jdoe";
    g_fake.cbMemory = 1001ull * 1024 * 1024;
    g_fake.wmi["Win32_ComputerSystemProduct.Vendor"] = "Acme";
    g_fake.wmi["Win32_ComputerSystemProduct.Name"] = "Box 9";
    g_fake.smbios[SMBIOS_CPU_SPEED] = "2400MHz";
    g_fake.wmi["Win32_Processor.Name"] = "  Fast CPU  ";
    const RowStruct rows[] = {
        {"@S", "1|C:\\WINDOWS\\system32"},
        {"@S0", "1|jdoe"},            /* no network identity: the user name */
        {"@S1@S2", "1|20240131235959"},
        {"@S3/@S4", "1|jdoe/WS042"},
        {"@S5", "1|NA-235959"},
        {"@S6", "1|00AABBCCDDEE-10.1.2.3;112233445566-192.168.0.7"},
        {"@S61", "1|00AABBCCDDEE-10.1.2.3"},
        {"@S611", "1|00AABBCCDDEE"},
        {"@S622", "1|192.168.0.7"},
        {"@S613", "1|10-1-2"},
        {"@S614", "1|255.255.255.0"},
        {"@S625", "1|192.168.0.1"},
        {"@S616", "-1|"},
        {"@S69", "-1|"},
        {"@S60", "1|00AABBCCDDEE-10.1.2.3;112233445566-192.168.0.70"},
        {"@S7", "1|S-1-5-21-1-2-3-1001"},
        {"@S8", "1|C:\\Users\\jdoe"},
        {"@S9", "0|@S9"},
        {"@N0@N1", "1|jdoeWS042"},
        {"@N2", "-1|"},               /* the fake table has no network resources */
        {"@N5", "0|@N5"},
        {"@N", "0|@N"},
        {"@M1", "1|1008MB"},
        {"@M2", "1|Acme Box 9"},
        {"@M3", "1|2400MHz"},
        {"@M4", "1|Fast CPU"},
        {"@M10", "0|@M10"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));

    g_fake.registry["3:SOFTWARE\\Ardenhall\\Network\\NetID"] = "NET-7";
    g_fake.wmi.clear();
    g_fake.smbios[SMBIOS_SYS_SERIAL] = "SN123";
    g_fake.registry["2:HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0\\~MHz"] = "3000";
    g_fake.nAdapters = 0;
    g_fake.sid.clear();
    g_fake.cbMemory = 512 * 1024;
    const RowStruct rows2[] = {
        {"@S0", "1|NET-7"},
        {"@S5", "1|SN123"},
        {"@M2", "1|NA"},
        {"@M3", "1|3000MHz"},
        {"@M1", "1|1MB"},
        {"@S6", "1|NA-0.0.0.0"},
        {"@S7", "-1|"},
        {"@S8", "1|NA"},
    };
    fnRows(rows2, sizeof(rows2) / sizeof(rows2[0]));
}

TEST_F(ExpandTest, OperatingSystemCodes)
{
    g_OSInfo.uWinFamily = 3;
    g_OSInfo.dwWinMajor = 6;
    g_OSInfo.dwWinMinor = 0;
    g_OSInfo.uWinIndex = 14;
    g_OSInfo.uWinBits = 64;
    g_OSInfo.dwWinBuild = 6002;
    fnCopyBounded(g_OSInfo.szWinName, sizeof(g_OSInfo.szWinName), "Vista");
    fnCopyBounded(g_OSInfo.szWinVersion, sizeof(g_OSInfo.szWinVersion), "Vista 64, Vs. 6.0, build 6002");
    fnCopyBounded(g_OSInfo.szWinLabel, sizeof(g_OSInfo.szWinLabel), "WinVista64");
    const RowStruct rows[] = {
        {"@V", "1|WVS64"},
        {"@V0", "1|Vista"},
        {"@V00", "1|WVS"},
        {"@V01", "1|Vista 64, Vs. 6.0, build 6002"},
        {"@V02", "1|WinVista64"},
        {"@V03", "0|@V03"},
        {"@V1.@V2.@V3", "1|3.6.0"},
        {"@V5/@V7/@V9", "1|6002/14/64"},
        {"@M0", "1|WinVista64"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));

    /* family codes by family, minor and major */
    const struct {
        DWORD uFamily, dwMajor, dwMinor, uIndex;
        const char *lpszWant;
    } fam[] = {
        {1, 3, 10, 0, "W31"}, {2, 4, 0, 1, "W95"},  {2, 4, 10, 2, "W98"}, {2, 4, 90, 6, "WME"},
        {3, 4, 0, 3, "WNT"},  {3, 5, 0, 4, "W2K"},  {3, 5, 1, 8, "WXP"},  {3, 5, 1, 7, "W2K"},
    };
    for (const auto &f : fam) {
        SCOPED_TRACE(f.lpszWant);
        g_OSInfo.uWinFamily = f.uFamily;
        g_OSInfo.dwWinMajor = f.dwMajor;
        g_OSInfo.dwWinMinor = f.dwMinor;
        g_OSInfo.uWinIndex = f.uIndex;
        EXPECT_EQ(std::string("1|") + f.lpszWant, fnX("@V00"));
    }
}

TEST_F(ExpandTest, WindowsFolders)
{
    g_fake.shellFolders["Desktop"] = "C:\\Users\\jdoe\\Desktop";
    g_fake.registry["2:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RegisteredOwner"] = "Jane";
    g_fake.registry["3:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Common Desktop"] =
        "C:\\Users\\Public\\Desktop";
    g_fake.env["USERPROFILE"] = "C:\\Users\\jdoe";
    fnCopyBounded(g_szLastShortcutFolder, sizeof(g_szLastShortcutFolder), "C:\\Menu\\Tools");
    const RowStruct rows[] = {
        {"@W", "1|C:\\WINDOWS"},
        {"@W0", "1|C:\\WINDOWS"},
        {"@W1", "1|C:\\WINDOWS"},
        {"@W2", "1|C:\\WINDOWS\\system32"},
        {"@W3", "1|C:"},
        {"@W5", "1|C:\\Program Files"},
        {"@W7", "1|C:\\Program Files\\Common Files"},
        {"@W8", "1|C:\\Users\\jdoe\\Desktop"},
        {"@W9", "1|C:\\WINDOWS\\string1255"},     /* the lookup's own fall-back */
        {"@W15", "1|C:\\Menu\\Tools"},
        {"@W24", "1|C:\\Users\\Public\\Desktop"},
        {"@W26", "1|C:\\WINDOWS\\Start Menu\\Programs"},
        {"@W30", "1|Jane"},
        {"@W31", "1|Unknown"},
        {"@W35", "1|C:\\WINDOWS\\Media"},
        {"@W37", "1|C:\\"},
        {"@W41", "1|C:\\Program Files\\Common Files"},
        {"@W44", "1|C:\\Documents and Settings"},
        {"@W45", "1|C:\\WINDOWS\\TEMP"},
        {"@W47", "1|C:\\Users\\jdoe"},
        {"@W48", "0|@W48"},
        {"@W100", "0|@W100"},
        {"@W5x", "1|C:\\Program Filesx"},
    };
    fnRows(rows, sizeof(rows) / sizeof(rows[0]));

    g_fake.env.clear();
    fnCopyBounded(g_szUserName, sizeof(g_szUserName), "admin");
    EXPECT_EQ("1|C:\\Documents and Settings\\admin", fnX("@W47"));
    fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), "WINDOWS");
    EXPECT_EQ("0|@W3", fnX("@W3")) << "no drive in the Windows folder";
}

TEST_F(ExpandTest, InlineFunctionsAndTheirResultSlots)
{
    EXPECT_EQ("1|<6>", fnX("<@_fnSum(1,2,3)>"));
    EXPECT_EQ("6", std::string(g_szFunResult[0]));
    EXPECT_EQ(1u, g_uFunResult);
    for (int i = 2; i <= 5; i++) {
        std::string s = "@_fnSum(" + std::to_string(i) + ",0)";
        fnX(s.c_str());
    }
    EXPECT_EQ("1|5", fnX("@_4"));
    for (int i = 6; i <= 12; i++) {
        std::string s = "@_fnSum(" + std::to_string(i) + ")";
        fnX(s.c_str());
    }
    EXPECT_EQ("1|12", fnX("@_9")) << "from the tenth result on, slot 9 is overwritten";
    EXPECT_EQ("1|9", fnX("@_8"));
    EXPECT_EQ(9u, g_uFunResult);
    EXPECT_EQ("1|1", fnX("@_fnStrBegin(@_9,1)")) << "arguments may read earlier results";
    EXPECT_EQ("1|x", fnX("@_fnStrBegin(xyz,1)"));
    EXPECT_EQ("-1|", fnX("@_fnStrInStr(abc,x)"));
    EXPECT_EQ("-1|@_fnStrEndToUniBin(,0)", fnX("@_fnStrEndToUniBin(,0)"));
    EXPECT_EQ("-1|@_fnSum(1,2", fnX("@_fnSum(1,2"));
    EXPECT_EQ("0|@_x", fnX("@_x"));
    EXPECT_EQ("1|<c>", fnX("<@_fnStrEnd(abc,1)>"));
}

TEST_F(ExpandTest, OptionCharacterCanBeChanged)
{
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), "C:\\Dest");
    g_cOptChar = '%';
    EXPECT_EQ("1|C:\\Dest and @D", fnX("%D and @D"));
    EXPECT_EQ("1|%", fnX("%%"));
    EXPECT_EQ("0|abc", fnX("abc%Zdef"));
}

TEST_F(ExpandTest, NothingIsWrittenPastTheLimits)
{
    /* a value longer than the whole result: cut at 259 characters */
    std::string sLong(1000, 'v');
    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), sLong.c_str());
    char sz[CCH_EXPANDED + 8];
    memset(sz, '#', sizeof(sz));
    fnCopyBounded(sz, CCH_EXPANDED, "ab@K0");
    BOOL bCut = FALSE;
    EXPECT_EQ(1, fnExpandOptsCut(sz, CCH_EXPANDED, &bCut));
    EXPECT_TRUE(bCut);
    EXPECT_EQ(259u, strlen(sz));
    EXPECT_EQ(std::string("ab") + std::string(257, 'v'), std::string(sz));
    for (size_t i = CCH_EXPANDED; i < sizeof(sz); i++)
        EXPECT_EQ('#', sz[i]) << "canary at " << i;

    /* a caller's buffer smaller than the expanded text */
    char szSmall[12];
    memset(szSmall, '#', sizeof(szSmall));
    fnCopyBounded(szSmall, 8, "@K0");
    fnExpandOptsCut(szSmall, 8, &bCut);
    EXPECT_TRUE(bCut);
    EXPECT_EQ("vvvvvvv", std::string(szSmall));
    EXPECT_EQ('#', szSmall[8]);

    /* a short value fits and is not reported cut */
    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), "short");
    fnCopyBounded(sz, CCH_EXPANDED, "ab@K0");
    EXPECT_EQ(1, fnExpandOptsCut(sz, CCH_EXPANDED, &bCut));
    EXPECT_FALSE(bCut);
    EXPECT_STREQ("abshort", sz);

    /* what overflows behind the end marker is cut off by the marker: the result is whole */
    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), sLong.c_str());
    fnCopyBounded(sz, CCH_EXPANDED, "ab@Z@K0");
    EXPECT_EQ(1, fnExpandOptsCut(sz, CCH_EXPANDED, &bCut));
    EXPECT_FALSE(bCut);
    EXPECT_STREQ("ab", sz);
    fnCopyBounded(sz, CCH_EXPANDED, "@K0@Zab");
    fnExpandOptsCut(sz, CCH_EXPANDED, &bCut);
    EXPECT_TRUE(bCut);
}

TEST_F(ExpandTest, FieldWithoutOptionsKeepsItsWholeLength)
{
    std::string sField(1000, 'a');
    sField += "=,\"x";
    char szField[CCH_LINE_BUF];
    fnCopyBounded(szField, sizeof(szField), sField.c_str());
    BOOL bCut = TRUE;
    EXPECT_EQ(EXPAND_NONE, fnExpandOptsCut(szField, sizeof(szField), &bCut));
    EXPECT_FALSE(bCut);
    EXPECT_EQ(sField, std::string(szField));
    EXPECT_EQ(EXPAND_NONE, fnExpandOpts(szField, sizeof(szField)));
    EXPECT_EQ(sField, std::string(szField));

    EXPECT_TRUE(fnExpandDataField(szField, sizeof(szField), "test", NULL));
    EXPECT_EQ(sField, std::string(szField));

    /* the same length with one option in it goes through the expansion buffer: refused */
    szField[500] = '@';
    szField[501] = 'D';
    EXPECT_FALSE(fnExpandDataField(szField, sizeof(szField), "test", NULL));
}

TEST_F(ExpandTest, InitUserInputSetsDestinationSlotsAndTexts)
{
    g_fake.env["TEMP"] = "C:\\Temp";
    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), "E:\\Kit");
    UserInputStruct ui = {};
    fnInitUserInput(&ui);
    EXPECT_STREQ("C:\\Temp", g_szDestDir);
    EXPECT_STREQ("C:\\Temp", g_szPathSlot[0]);
    EXPECT_STREQ("E:\\Kit", g_szSourceSlot[0]);
    EXPECT_STREQ("C:\\Temp", ui.szDestPath);
    EXPECT_STREQ("Install and Setup", ui.szCaption);
    EXPECT_EQ("1|C:\\Temp", fnX("@D1"));

    g_szDestDir[0] = '\0';
    g_fake.env.clear();
    fnInitUserInput(NULL);
    EXPECT_STREQ("C:\\WINDOWS\\TEMP", g_szDestDir);
}

} // namespace
