/*
 * shortcuts/tests/linkrules_test.cpp -- shortcut lines in both formats, hot
 * keys and link names, and folder lists registered with a scripted user:
 * the five-entry limit, folder words, Cancel and Exit, a second list, a list
 * that runs again, and quiet runs.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../script/tests/fakemachine.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "script/optstore.h"
#include "shortcuts/folderlist.h"
#include "shortcuts/linkrules.h"

namespace {

class LinkLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnResetRunState();
        fnInstallFakeMachine();
        g_fake.env["APP"] = "C:\\Apps\\Tool";
        g_fake.shortPaths["C:\\Program Files\\My Tool\\tool.exe"] = "C:\\PROGRA~1\\MYTOOL~1\\tool.exe";
    }
    UINT fnRead(const char *lpszLine, BOOL bGroup, ShortcutLineStruct *lpLink)
    {
        char szLine[CCH_LINE_BUF];
        fnCopyBounded(szLine, sizeof(szLine), lpszLine);
        return fnReadShortcutLine(szLine, bGroup, lpLink);
    }
};

TEST_F(LinkLineTest, StandardFieldsDefaultsAndConditions)
{
    ShortcutLineStruct l;
    ASSERT_EQ((UINT)LINKLINE_MAKE,
              fnRead("\"Tool\",'@%APP%\\tool.exe',-v x,\"@%APP%\\t.ico\",@%APP%,-3,MAX,CA65", FALSE, &l));
    EXPECT_STREQ("Tool", l.szName);
    EXPECT_STREQ("C:\\Apps\\Tool\\tool.exe", l.szTarget);
    EXPECT_STREQ("-v x", l.szArgs);
    EXPECT_STREQ("C:\\Apps\\Tool\\t.ico", l.szIcon);
    EXPECT_STREQ("C:\\Apps\\Tool", l.szWorkDir);
    EXPECT_EQ(-3, l.nIconIndex);
    EXPECT_EQ(LINKSHOW_MAX, l.nShow);
    EXPECT_EQ(0x0641, l.wHotKey);
    EXPECT_FALSE(l.bRemove);

    /* the icon defaults to an .exe target, index 0; other targets get none */
    ASSERT_EQ((UINT)LINKLINE_MAKE, fnRead("Tool,C:\\a\\tool.EXE,,,,7", FALSE, &l));
    EXPECT_STREQ("C:\\a\\tool.EXE", l.szIcon);
    EXPECT_EQ(0, l.nIconIndex);
    EXPECT_EQ(LINKSHOW_NORMAL, l.nShow);
    ASSERT_EQ((UINT)LINKLINE_MAKE, fnRead("Doc,C:\\a\\read.txt,,,,,MIN", FALSE, &l));
    EXPECT_STREQ("", l.szIcon);
    EXPECT_EQ(LINKSHOW_MIN, l.nShow);

    EXPECT_EQ((UINT)LINKLINE_MAKE, fnRead("Old,-remove-", FALSE, &l));
    EXPECT_TRUE(l.bRemove);
    EXPECT_EQ((UINT)LINKLINE_NOTARGET, fnRead("Name only", FALSE, &l));
    EXPECT_EQ((UINT)LINKLINE_BAD, fnRead(",C:\\a.exe", FALSE, &l));

    /* a key part makes the line conditional and moves the fields one place on */
    ASSERT_EQ((UINT)LINKLINE_MAKE, fnRead("X=X,Tool,C:\\t.exe", FALSE, &l));
    EXPECT_STREQ("Tool", l.szName);
    EXPECT_STREQ("C:\\t.exe", l.szTarget);
    EXPECT_EQ((UINT)LINKLINE_SKIP, fnRead("X=Y,Tool,C:\\t.exe", FALSE, &l));
    EXPECT_EQ((UINT)LINKLINE_END, fnRead("SkipIfTrue:A=A,Tool,C:\\t.exe", FALSE, &l));
}

TEST_F(LinkLineTest, ValueThatWouldBeCutFailsTheLine)
{
    g_fake.env["LONG"] = std::string(250, 'x');
    ShortcutLineStruct l;
    EXPECT_EQ((UINT)LINKLINE_BAD, fnRead("Tool,C:\\@%LONG%\\@%LONG%.exe", FALSE, &l));
}

TEST_F(LinkLineTest, GroupFormatSplitsAtEitherMarkerAndTakesShortPaths)
{
    ShortcutLineStruct l;
    ASSERT_EQ((UINT)LINKLINE_MAKE,
              fnRead("My Tool,C:\\Program Files\\My Tool\\tool.exe@z-x @%APP%,,2,0,0,@%APP%,S112,MIN", TRUE, &l));
    EXPECT_STREQ("My Tool", l.szName);
    EXPECT_STREQ("C:\\PROGRA~1\\MYTOOL~1\\tool.exe", l.szTarget);
    EXPECT_STREQ("-x C:\\Apps\\Tool", l.szArgs);
    EXPECT_STREQ(l.szTarget, l.szIcon);
    EXPECT_EQ(2, l.nIconIndex);
    EXPECT_STREQ("C:\\Apps\\Tool", l.szWorkDir);
    EXPECT_EQ(0x0170, l.wHotKey);
    EXPECT_EQ(LINKSHOW_MIN, l.nShow);

    /* no short form (not installed yet): the long path stays, never an empty target */
    ASSERT_EQ((UINT)LINKLINE_MAKE, fnRead("T,C:\\New Dir\\t.exe@Z/q,C:\\i.ico", TRUE, &l));
    EXPECT_STREQ("C:\\New Dir\\t.exe", l.szTarget);
    EXPECT_STREQ("/q", l.szArgs);
    EXPECT_STREQ("C:\\i.ico", l.szIcon);
    EXPECT_EQ((UINT)LINKLINE_BAD, fnRead("T", TRUE, &l));
}

TEST(LinkRulesTest, HotKeysAndLinkPaths)
{
    const struct {
        const char *lpszText;
        WORD wWant;
    } rows[] = {{"CA65", 0x0641}, {"ca65", 0x0641}, {"S112", 0x0170}, {"E45", 0x082D}, {"65", 65},
                {"C255", 0x02FF}, {"C256", 0},     {"C300", 0},       {"X65", 0},       {"C", 0},
                {"", 0},          {"C6 5", 0}};
    for (const auto &r : rows)
        EXPECT_EQ(r.wWant, fnParseHotKey(r.lpszText)) << r.lpszText;

    char szPath[32];
    EXPECT_TRUE(fnMakeLinkPath("C:\\Links", "Tool", szPath, sizeof(szPath)));
    EXPECT_STREQ("C:\\Links\\Tool.lnk", szPath);
    EXPECT_TRUE(fnMakeLinkPath("C:\\", "Tool", szPath, sizeof(szPath)));
    EXPECT_STREQ("C:\\Tool.lnk", szPath);
    for (const char *lpszBad : {"", "a:b", "a/b", "a?", "a*", "a|b", "\"a\"", "<a>"})
        EXPECT_FALSE(fnMakeLinkPath("C:\\Links", lpszBad, szPath, sizeof(szPath))) << lpszBad;
    /* exactly full fits, one more is refused */
    EXPECT_TRUE(fnMakeLinkPath("C:\\L", std::string(31 - 9, 'n').c_str(), szPath, sizeof(szPath)));
    EXPECT_FALSE(fnMakeLinkPath("C:\\L", std::string(31 - 8, 'n').c_str(), szPath, sizeof(szPath)));
}

/* A scripted user for the folder lists. */
struct ScriptedUserStruct {
    std::vector<std::string> questions;
    std::vector<std::string> created;
    std::vector<BOOL> yes;        /* answers to the Yes/No questions, in turn (default Yes) */
    std::vector<int> dialog;      /* answers of the folder dialog, in turn (default OK) */
    BOOL bCreateFails = FALSE;
    BOOL bContinue = TRUE;
    int nDialogs = 0;
};
ScriptedUserStruct s_user;

BOOL fnFakeAsk(const char *lpszText)
{
    s_user.questions.push_back(lpszText);
    if (s_user.yes.empty())
        return TRUE;
    BOOL b = s_user.yes.front();
    s_user.yes.erase(s_user.yes.begin());
    return b;
}
int fnFakeDialog(const char *lpszLabel, const char *lpszBase, const char *lpszName, char *lpszFolder, size_t cch)
{
    s_user.nDialogs++;
    s_user.questions.push_back(std::string("dialog:") + lpszLabel + "|" + lpszBase + "|" + lpszName);
    int n = FOLDERDLG_OK;
    if (!s_user.dialog.empty()) {
        n = s_user.dialog.front();
        s_user.dialog.erase(s_user.dialog.begin());
    }
    if (n == FOLDERDLG_OK)
        fnFormatBounded(lpszFolder, cch, "%s\\picked", lpszBase);
    return n;
}
BOOL fnFakeCreate(const char *lpszFolder)
{
    s_user.created.push_back(lpszFolder);
    return !s_user.bCreateFails;
}
BOOL fnFakeContinue(const char *lpszFolder)
{
    s_user.questions.push_back(std::string("1224:") + lpszFolder);
    return s_user.bContinue;
}
const ShortcutUiStruct s_fakeUi = {fnFakeAsk, fnFakeDialog, fnFakeCreate, fnFakeContinue};

class FolderListTest : public ::testing::Test {
protected:
    UserInputStruct m_rec;
    std::vector<std::string> m_lists;  /* kept alive: entries remember their list's text */
    void SetUp() override
    {
        fnResetRunState();
        fnInstallFakeMachine();
        g_fake.shellFolders["Desktop"] = "C:\\Users\\me\\Desktop";
        g_fake.shellFolders["Common Startup"] = "C:\\ProgramData\\Startup";
        fnCopyBounded(g_szUserProgramsFolder, sizeof(g_szUserProgramsFolder), "C:\\Progs");
        fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), "C:\\WINDOWS");
        memset(&m_rec, 0, sizeof(m_rec));
        s_user = ScriptedUserStruct();
        m_lists.reserve(8);
    }
    UINT fnRegister(const std::string &strList, const char *lpszName = "[ShortCuts]")
    {
        m_lists.push_back(std::string(lpszName) + "\r\n" + strList);
        return fnRegisterShortcutFolders(m_lists.back().c_str(), lpszName, &m_rec, &s_fakeUi);
    }
    UINT fnRegisterAgain(size_t nList, const char *lpszName = "[ShortCuts]")
    {
        return fnRegisterShortcutFolders(m_lists[nList].c_str(), lpszName, &m_rec, &s_fakeUi);
    }
    std::string fnEntries()
    {
        std::string s;
        for (int i = 0; i < m_rec.nShortcutSections; i++)
            s += std::string(m_rec.szShortcutSection[i]) + ">" + m_rec.szShortcutFolder[i] +
                 (m_rec.bDesktopEntry[i] ? " D" : "") + (m_rec.bStartupEntry[i] ? " S" : "") +
                 (m_rec.bGroupEntry[i] ? " G" : "") + ";";
        return s;
    }
};

TEST_F(FolderListTest, FiveEntriesAtMostAndFolderWords)
{
    ASSERT_EQ(1u, fnRegister("A=Tool,,N\r\nB=:DESKTOP:,,N\r\nC=:startupall:,,n\r\nD=Sub,C:\\Base,N\r\n"
                             "E=,,N\r\nF=More,,N\r\nG=More,,N\r\n"));
    EXPECT_EQ("[A]>C:\\Progs\\Tool;[B]>C:\\Users\\me\\Desktop D;[C]>C:\\ProgramData\\Startup S;"
              "[D]>C:\\Base\\Sub;[E]>C:\\Progs;",
              fnEntries());
    EXPECT_TRUE(s_user.questions.empty());
    /* folders are made for the named folders, not for the shell's own */
    EXPECT_EQ((std::vector<std::string>{"C:\\Progs\\Tool", "C:\\Base\\Sub", "C:\\Progs"}), s_user.created);
    /* the first list's last folder is the one options read */
    EXPECT_STREQ("C:\\Progs", g_szLastShortcutFolder);
    EXPECT_TRUE(m_rec.bListDone);
}

TEST_F(FolderListTest, QuestionsCancelAndExit)
{
    s_user.yes = {FALSE, TRUE};
    s_user.dialog = {FOLDERDLG_CANCEL, FOLDERDLG_OK};
    ASSERT_EQ(1u, fnRegister("A=:DESKTOP:\r\nB=:DESKTOPALL:,,Y,Links on the desktop?\r\nC=Tool\r\nD=Two,C:\\B,,Where?\r\n"));
    /* No drops the entry; Cancel keeps it with the skip mark; OK takes the dialog's folder */
    EXPECT_EQ("[B]>C:\\WINDOWS\\string1258 D;[C]>-SKIP-IT-;[D]>C:\\B\\picked;", fnEntries());
    ASSERT_EQ(4u, s_user.questions.size());
    EXPECT_EQ("Links on the desktop?", s_user.questions[1]);
    EXPECT_EQ("dialog:Where?|C:\\B|Two", s_user.questions[3]);
    EXPECT_EQ((std::vector<std::string>{"C:\\B\\picked"}), s_user.created);

    s_user.dialog = {FOLDERDLG_EXIT};
    EXPECT_EQ(0u, fnRegister("E=Tool\r\nF=Other,,N\r\n"));
    EXPECT_EQ(3, m_rec.nShortcutSections);
}

TEST_F(FolderListTest, SecondListContinuesAndARerunReplacesItsOwnEntries)
{
    ASSERT_EQ(1u, fnRegister("A=One,,N\r\nB=Two,,N\r\n"));
    ASSERT_EQ(1u, fnRegister("C=Three,C:\\Base,N\r\nD=Four,C:\\Base,N\r\n", "[PMGroups]"));
    /* the second list is read from its own first line; a group list always uses the Programs folder */
    EXPECT_EQ("[A]>C:\\Progs\\One;[B]>C:\\Progs\\Two;[C]>C:\\Progs\\Three G;[D]>C:\\Progs\\Four G;", fnEntries());
    EXPECT_STREQ("C:\\Progs\\Two", g_szLastShortcutFolder);

    /* the script started over: the first list runs again and does not add its entries twice */
    ASSERT_EQ(1u, fnRegisterAgain(0));
    EXPECT_EQ("[C]>C:\\Progs\\Three G;[D]>C:\\Progs\\Four G;[A]>C:\\Progs\\One;[B]>C:\\Progs\\Two;", fnEntries());
}

TEST_F(FolderListTest, FolderThatCannotBeMadeAndQuietRuns)
{
    s_user.bCreateFails = TRUE;
    s_user.bContinue = FALSE;
    EXPECT_EQ(0u, fnRegister("A=One,,N\r\n"));
    EXPECT_EQ("1224:C:\\Progs\\One", s_user.questions.back());

    /* quiet: nothing is asked, the failure is passed over */
    g_bQuiet = TRUE;
    s_user.questions.clear();
    EXPECT_EQ(1u, fnRegister("B=:DESKTOP:\r\nC=Two\r\n"));
    EXPECT_TRUE(s_user.questions.empty());
    EXPECT_EQ(0, s_user.nDialogs);
    EXPECT_EQ("[A]>C:\\Progs\\One;[B]>C:\\Users\\me\\Desktop D;[C]>C:\\Progs\\Two;", fnEntries());
}

}  // namespace
