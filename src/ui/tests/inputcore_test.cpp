/*
 * ui/tests/inputcore_test.cpp -- the "[AppInit]" and question readers and the
 * destination test on a fake machine: drives, free space and the answers to
 * the test's boxes are scripted per case.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/scramble.h"
#include "script/optstore.h"
#include "script/tests/fakemachine.h"
#include "ui/inputcore.h"

namespace {

struct DriveStruct {
    std::string strRoot;
    UINT uType;
    ULONGLONG ullFree;
};
std::vector<DriveStruct> s_drives;
MachineLookupStruct s_table;

UINT fnFakeDriveType(const char *lpszRoot)
{
    for (const auto &d : s_drives)
        if (lpszRoot && fnEqualNoCase(d.strRoot.c_str(), lpszRoot))
            return d.uType;
    return 1;
}

BOOL fnFakeFree(const char *lpszPath, ULONGLONG *lpull)
{
    for (const auto &d : s_drives)
        if (fnEqualNoCase(d.strRoot.c_str(), lpszPath)) {
            *lpull = d.ullFree;
            return TRUE;
        }
    *lpull = 0;
    return FALSE;
}

/* What the destination test asked: "1071 Q: 0 0", "ask", "dirs C:\App", ... and the answers it gets. */
struct DestScriptStruct {
    std::vector<std::string> log;
    std::vector<int> answers;          /* for 1049 and 1052, in order */
    std::vector<std::string> newPaths; /* what the directory dialog returns; empty: Cancel */
    int nMakeDirsFailures = 0;
};

BOOL fnAsk(UserInputStruct *u, void *lpCtx)
{
    auto *s = (DestScriptStruct *)lpCtx;
    s->log.push_back("ask");
    if (s->newPaths.empty() || s->newPaths.front().empty())
        return FALSE;
    fnCopyBounded(u->szDestPath, sizeof(u->szDestPath), s->newPaths.front().c_str());
    s->newPaths.erase(s->newPaths.begin());
    return TRUE;
}

int fnMsg(UINT uId, const char *lpszDrive, DWORD dwFree, DWORD dwNeed, void *lpCtx)
{
    auto *s = (DestScriptStruct *)lpCtx;
    s->log.push_back(std::to_string(uId) + " " + lpszDrive + " " + std::to_string(dwFree) + " " + std::to_string(dwNeed));
    if ((uId == 1049 || uId == 1052) && !s->answers.empty()) {
        int n = s->answers.front();
        s->answers.erase(s->answers.begin());
        return n;
    }
    return DESTANS_OK;
}

BOOL fnDirs(const UserInputStruct *, void *lpCtx)
{
    auto *s = (DestScriptStruct *)lpCtx;
    s->log.push_back(std::string("dirs ") + g_szDestDir);
    if (s->nMakeDirsFailures > 0) {
        s->nMakeDirsFailures--;
        return FALSE;
    }
    return TRUE;
}

void fnCd(const char *lpszDir, void *lpCtx)
{
    ((DestScriptStruct *)lpCtx)->log.push_back(std::string("cd ") + lpszDir);
}

std::string fnJoin(const std::vector<std::string> &v)
{
    std::string s;
    for (const auto &e : v)
        s += (s.empty() ? "" : "|") + e;
    return s;
}

class InputCoreTest : public ::testing::Test {
protected:
    UserInputStruct m_ui;
    void SetUp() override
    {
        fnInstallFakeMachine();
        s_table = *g_lpMachine;
        s_table.pfnGetDriveType = fnFakeDriveType;
        s_table.pfnGetFreeBytes = fnFakeFree;
        g_lpMachine = &s_table;
        s_drives = {{"C:\\", 3, 10000}, {"D:\\", 3, 5000000000ull}};
        fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), "C:\\WINDOWS");
        fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), "C:\\TEMP");
        g_bDestGiven = FALSE;
        fnCopyBounded(g_szMsgTitle, sizeof(g_szMsgTitle), "Install and Setup");
        memset(&m_ui, 0, sizeof(m_ui));
        m_ui.dwDiskSpaceNeeded = 1;
        m_ui.uQuiet = 1;
        m_ui.bDirPrompt = TRUE;
        fnCopyBounded(m_ui.szDestPath, sizeof(m_ui.szDestPath), g_szDestDir);
    }
    std::string fnDest(DestScriptStruct *s, UINT *lpuResult)
    {
        DestOpsStruct ops = {fnAsk, fnMsg, fnDirs, fnCd, s};
        *lpuResult = fnCheckDestination(&m_ui, &ops);
        return fnJoin(s->log);
    }
};

TEST_F(InputCoreTest, AppInitKeysAndTheirFallbacks)
{
    g_fake.env["APPDIR"] = "D:\\Apps";
    char szBody[] =
        "Caption=My Setup\r\nDefaultDir=@%NOSUCH%\\x,@%APPDIR%\\Tool\r\nSpaceNeeded=5000000\r\n"
        "WinSpaceNeeded=99999999999\r\nBeQuiet=yes\r\nDirPrompt=no\r\nOnExit=Exec\r\nBackUpMethod=NOSUCH\r\n"
        "ExpandOpt=\r\nLogFile=\r\nBogus=1\r\nExitMessage=never applied\r\n";
    ASSERT_EQ(1u, fnReadAppInit(szBody, &m_ui));
    EXPECT_STREQ("My Setup", m_ui.szCaption);
    EXPECT_STREQ("D:\\Apps\\Tool", m_ui.szDestPath);
    /* one value sets both needs, so the lower need is never offered */
    EXPECT_EQ(5000000u, m_ui.dwDiskSpaceNeeded);
    EXPECT_EQ(5000000u, m_ui.dwMinSpaceNeeded);
    EXPECT_EQ(0xFFFFFFFFu, m_ui.dwWinSpaceNeeded);   /* never wrapped round */
    EXPECT_EQ(0u, m_ui.uQuiet);
    EXPECT_FALSE(m_ui.bDirPrompt);
    EXPECT_EQ(0u, m_ui.uOnExit);                     /* Exec without its program */
    EXPECT_EQ('@', g_cOptChar);                      /* an empty ExpandOpt keeps options working */
    EXPECT_STREQ("", m_ui.szExitMsg);                /* behind the unknown key */

    char szBody2[] = "SpaceNeeded=800,300\r\nOnExit=RestartWithMsg\r\nBackUpMethod=nomod\r\nBeQuiet=no\r\n"
                     "DefaultDir=@%NOSUCH%\r\n";
    ASSERT_EQ(1u, fnReadAppInit(szBody2, &m_ui));
    EXPECT_EQ(800u, m_ui.dwDiskSpaceNeeded);
    EXPECT_EQ(300u, m_ui.dwMinSpaceNeeded);
    EXPECT_EQ(6u, m_ui.uOnExit);
    EXPECT_STREQ("Restart now?", m_ui.szRestartMsg);
    EXPECT_EQ(506u, m_ui.uBackupMode);
    EXPECT_EQ(1u, m_ui.uQuiet);
    EXPECT_STREQ("C:\\TEMP", m_ui.szDestPath);       /* field 2 needed but missing */

    /* a line without its key ends the reading like an unknown key */
    char szNoKey[] = "Caption\r\nAppName=after\r\n";
    ASSERT_EQ(1u, fnReadAppInit(szNoKey, &m_ui));
    EXPECT_STREQ("", m_ui.szAppName);
    char szSkip[] = "SkipIfTrue:1=1\r\nCaption=late\r\n";
    ASSERT_EQ(1u, fnReadAppInit(szSkip, &m_ui));
    EXPECT_STREQ("My Setup", m_ui.szCaption);
}

TEST_F(InputCoreTest, AppInitDefaultDirYieldsToTheStartUpDestination)
{
    g_bDestGiven = TRUE;
    char szBody[] = "DefaultDir=D:\\Script\r\nDirPrompt=yes\r\n";
    ASSERT_EQ(1u, fnReadAppInit(szBody, &m_ui));
    EXPECT_STREQ("C:\\TEMP", m_ui.szDestPath);
    EXPECT_TRUE(m_ui.bDirPrompt);
    /* a question's DefaultDir and Path1 name the destination too: they show the given one */
    char szList[CCH_INPUTBLOCK];
    ReadSectStruct r;
    fnInitReadSect(&r, szList, sizeof(szList));
    char szQuestion[] = "DefaultDir=D:\\Script\r\nPath1=D:\\Other\r\n";
    ASSERT_EQ(1u, fnReadInputSection(szQuestion, &r));
    EXPECT_STREQ("C:\\TEMP", r.szPath);
    EXPECT_STREQ("C:\\TEMP", r.szPath1);
    EXPECT_STREQ("C:\\TEMP", g_szDestDir);
    g_bDestGiven = FALSE;
}

TEST_F(InputCoreTest, QuestionReaderSlotsValuesAndPaths)
{
    g_fake.env["ED"] = "Pro";
    char szList[CCH_INPUTBLOCK];
    ReadSectStruct r;
    fnInitReadSect(&r, szList, sizeof(szList));
    EXPECT_STREQ("Select OK to continue", r.szPrompt);
    EXPECT_STREQ("C:\\TEMP", r.szPath2);
    char szBody[] = "Msg1=one\r\nPWPrompt=two\r\nCheckBoxMsg=four\r\nWarnMsg1=seven\r\nCaption=@%ED%\r\n"
                    "Default=Standard,@%ED%\r\nMoreInfo1=@%NOSUCH%,@%ED%\r\nMoreInfo2=x@%ED%,y\r\n"
                    "Path2=@%NOSUCH%,,E:\\third\r\nPath1=D:\\Dest\r\nButtonCheck3=y\r\nCheckBox=Yes\r\n"
                    "ButtonType=check\r\nSpaceNeeded2=70\r\nOnExit=Reboot\r\nLogFile=\r\n"
                    "List=a\r\nList=@%ED%\r\nSkipIfTrue:1=1\r\nMsg2=never\r\n";
    ASSERT_EQ(1u, fnReadInputSection(szBody, &r));
    EXPECT_STREQ("one", r.szMsg[1]);
    EXPECT_STREQ("two", r.szMsg[2]);
    EXPECT_STREQ("four", r.szMsg[4]);
    EXPECT_STREQ("seven", r.szMsg[7]);
    EXPECT_STREQ("@%ED%", r.szCaption);       /* as written */
    EXPECT_STREQ("Standard", r.szDefault);    /* a literal value is not replaced by field 2 */
    EXPECT_STREQ("Pro", r.szMoreInfo1);
    EXPECT_STREQ("xPro", r.szMoreInfo2);
    EXPECT_STREQ("E:\\third", r.szPath2);     /* field 2 empty: field 3 */
    EXPECT_STREQ("D:\\Dest", g_szDestDir);
    EXPECT_STREQ("D:\\Dest", g_szPathSlot[0]);
    EXPECT_TRUE(r.bCheck[0] && r.bCheck[2] && !r.bCheck[1]);
    EXPECT_EQ((UINT)BUTTONTYPE_CHECK, r.uButtonType);
    EXPECT_EQ(70u, r.dwSpaceNeeded[1]);
    EXPECT_EQ(70u, r.dwMinSpaceNeeded[1]);
    EXPECT_TRUE(r.bExitSet);
    EXPECT_EQ(5u, g_uOnExit);
    EXPECT_FALSE(r.bLogFile);                 /* an empty LogFile changes nothing */
    EXPECT_STREQ("a\r\nPro\r\n", szList);
    EXPECT_EQ(2, r.nListLines);
    EXPECT_TRUE(r.bEndOfSection);
    fnFreeReadSect(&r);
}

TEST_F(InputCoreTest, AValueThatTookInThePasswordIsMarkedSecret)
{
    char szPw[CCH_PASSWORD] = "hunter2";
    ASSERT_TRUE(fnEnCryptString(szPw, sizeof(szPw)));
    fnCopyBounded(g_szUserPassword, sizeof(g_szUserPassword), szPw);
    ReadSectStruct r;
    fnInitReadSect(&r, NULL, 0);
    char szPlain[] = "Msg1=plain\r\nDefault=literal\r\n";
    ASSERT_EQ(1u, fnReadInputSection(szPlain, &r));
    EXPECT_FALSE(r.bSecret);
    /* the flag outlives the expansion, so every later log line of the question can hide the value */
    char szBody[] = "Default=@U1\r\nMsg1=plain\r\n";
    ASSERT_EQ(1u, fnReadInputSection(szBody, &r));
    EXPECT_STREQ("hunter2", r.szDefault);
    EXPECT_TRUE(r.bSecret);
    fnFreeReadSect(&r);
}

TEST_F(InputCoreTest, ListAndHelpBlocksTakeOnlyWholeLines)
{
    /* 700 lines: at most 600 stored; long lines stop fitting first in a small block with a canary behind it */
    std::string strBody;
    for (int i = 0; i < 700; i++)
        strBody += "List=line" + std::to_string(i) + "\r\n";
    struct {
        char szList[100];
        char szCanary[8];
    } guard;
    memcpy(guard.szCanary, "CANARY!", 8);
    ReadSectStruct r;
    fnInitReadSect(&r, guard.szList, sizeof(guard.szList));
    ASSERT_EQ(1u, fnReadInputSection(strBody.c_str(), &r));
    EXPECT_STREQ("CANARY!", guard.szCanary);
    size_t cchSmall = strlen(guard.szList);
    ASSERT_GT(cchSmall, 0u);
    EXPECT_EQ('\n', guard.szList[cchSmall - 1]);   /* no line cut in two */
    fnFreeReadSect(&r);

    std::vector<char> big(CCH_INPUTBLOCK);
    fnInitReadSect(&r, big.data(), big.size());
    ASSERT_EQ(1u, fnReadInputSection(strBody.c_str(), &r));
    EXPECT_EQ(600, r.nListLines);
    EXPECT_NE(nullptr, strstr(big.data(), "line599\r\n"));
    EXPECT_EQ(nullptr, strstr(big.data(), "line600"));

    std::string strHelp = "Help=first\r\n";
    std::string strLong(250, 'h');
    for (int i = 0; i < 200; i++)
        strHelp += "Help=" + strLong + "\r\n";
    ASSERT_EQ(1u, fnReadInputSection(strHelp.c_str(), &r));
    ASSERT_NE(nullptr, r.lpszHelp);
    EXPECT_EQ(0, strncmp(r.lpszHelp, "first\r\n", 7));
    size_t cch = strlen(r.lpszHelp);
    EXPECT_LT(cch, (size_t)CCH_INPUTBLOCK);
    EXPECT_EQ('\n', r.lpszHelp[cch - 1]);
    EXPECT_EQ((UINT)HELPKIND_NONE, r.uHelpKind);

    char szWinHelp[] = "HelpFile=\\\\srv\\help\\app.HLP,Install\r\n";
    ASSERT_EQ(1u, fnReadInputSection(szWinHelp, &r));
    EXPECT_EQ((UINT)HELPKIND_WINHELP, r.uHelpKind);
    EXPECT_STREQ("\\\\srv\\help\\app.HLP", r.lpszHelp);
    EXPECT_STREQ("Install", r.szHelpKey);
    fnFreeReadSect(&r);
}

TEST_F(InputCoreTest, DestinationPassesAndFollowsThePath)
{
    UINT u;
    DestScriptStruct s;
    fnCopyBounded(m_ui.szDestPath, sizeof(m_ui.szDestPath), "D:\\App");
    m_ui.dwDiskSpaceNeeded = 4294967295u;   /* more than 4 GB free counts as the cap: just enough */
    EXPECT_EQ("dirs D:\\App|cd D:\\App", fnDest(&s, &u));
    EXPECT_EQ((UINT)DEST_OK, u);
    EXPECT_STREQ("D:\\App", g_szPathSlot[0]);

    DestScriptStruct s2;
    g_bStayHome = TRUE;
    m_ui.szDestPath[0] = '\0';
    EXPECT_EQ("", fnDest(&s2, &u));
    EXPECT_EQ((UINT)DEST_OK, u);
    fnCopyBounded(m_ui.szDestPath, sizeof(m_ui.szDestPath), "D:\\App");
    EXPECT_EQ("dirs D:\\App", fnDest(&s2, &u));
}

TEST_F(InputCoreTest, DestinationAsksAgainOrEnds)
{
    const struct {
        const char *lpszName;
        const char *lpszPath;
        BOOL bPrompt;
        DWORD dwNeed, dwMin, dwWin;
        std::vector<int> answers;
        std::vector<std::string> newPaths;
        int nDirFailures;
        UINT uWant;
        const char *lpszWant;
    } rows[] = {
        {"missing drive, asked again", "Q:\\App", TRUE, 1, 0, 0, {}, {"D:\\App"}, 0, DEST_OK,
         "1071 Q: 0 0|ask|dirs D:\\App|cd D:\\App"},
        {"missing drive without prompt ends", "Q:\\App", FALSE, 1, 0, 0, {}, {}, 0, DEST_FAILED, "1071 Q: 0 0"},
        {"cancel in the dialog", "Q:\\App", TRUE, 1, 0, 0, {}, {""}, 0, DEST_CANCELLED, "1071 Q: 0 0|ask"},
        {"too little, no prompt", "C:\\App", FALSE, 20000, 20000, 0, {}, {}, 0, DEST_FAILED, "1048 C: 10000 20000"},
        {"too little, equal needs", "C:\\App", TRUE, 20000, 20000, 0, {}, {"D:\\x"}, 0, DEST_OK,
         "1047 C: 10000 20000|ask|dirs D:\\x|cd D:\\x"},
        {"abort", "C:\\App", TRUE, 20000, 500, 0, {DESTANS_ABORT}, {}, 0, DEST_FAILED, "1049 C: 10000 20000"},
        {"retry", "C:\\App", TRUE, 20000, 500, 0, {DESTANS_RETRY}, {"D:\\y"}, 0, DEST_OK,
         "1049 C: 10000 20000|ask|dirs D:\\y|cd D:\\y"},
        {"ignore takes the minimum", "C:\\App", TRUE, 20000, 500, 0, {DESTANS_IGNORE}, {}, 0, DEST_OK,
         "1049 C: 10000 20000|dirs C:\\App|cd C:\\App"},
        {"ignore, still too little", "C:\\App", TRUE, 20000, 15000, 0, {DESTANS_IGNORE}, {""}, 0, DEST_CANCELLED,
         "1049 C: 10000 20000|1047 C: 10000 15000|ask"},
        {"windows drive, cancel", "D:\\App", TRUE, 1, 0, 50000, {DESTANS_CANCEL}, {}, 0, DEST_FAILED,
         "1052 C: 10000 50000"},
        {"windows drive, ok", "D:\\App", TRUE, 1, 0, 50000, {DESTANS_OK}, {}, 0, DEST_OK,
         "1052 C: 10000 50000|dirs D:\\App|cd D:\\App"},
        {"tree fails, asked again", "D:\\App", TRUE, 1, 0, 0, {}, {"D:\\B"}, 1, DEST_OK,
         "dirs D:\\App|ask|dirs D:\\B|cd D:\\B"},
        {"tree fails without prompt", "D:\\App", FALSE, 1, 0, 0, {}, {}, 1, DEST_FAILED, "dirs D:\\App"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.lpszName);
        DestScriptStruct s;
        s.answers = row.answers;
        s.newPaths = row.newPaths;
        s.nMakeDirsFailures = row.nDirFailures;
        fnCopyBounded(m_ui.szDestPath, sizeof(m_ui.szDestPath), row.lpszPath);
        m_ui.bDirPrompt = row.bPrompt;
        m_ui.dwDiskSpaceNeeded = row.dwNeed;
        m_ui.dwMinSpaceNeeded = row.dwMin;
        m_ui.dwWinSpaceNeeded = row.dwWin;
        UINT u;
        EXPECT_EQ(row.lpszWant, fnDest(&s, &u));
        EXPECT_EQ(row.uWant, u);
    }
}

TEST_F(InputCoreTest, SmallRules)
{
    EXPECT_EQ(0u, fnParseSpace(""));
    EXPECT_EQ(4294967295u, fnParseSpace("4294967295"));
    EXPECT_EQ(4294967295u, fnParseSpace("4294967296"));
    EXPECT_EQ(12u, fnParseSpace(" 12abc"));
    char sz[CCH_PATH] = "c:";
    fnFixDrivePath(sz, sizeof(sz));
    EXPECT_STREQ("c:\\", sz);
    fnFixDrivePath(sz, sizeof(sz));
    EXPECT_STREQ("c:\\", sz);
    EXPECT_EQ(0, fnOptionSlot(0, 1));
    EXPECT_EQ(1, fnOptionSlot(1, 1));
    EXPECT_EQ(8, fnOptionSlot(0, 9));
    EXPECT_EQ(-1, fnOptionSlot(1, 9));   /* the ninth question after [InitOptions] has no slot of its own */
}

}  // namespace
