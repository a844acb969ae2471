/*
 * ui/tests/inforeader_test.cpp -- the information page, install options and
 * floating message readers on small bodies: defaults, which dialog a page
 * takes, the text block's limits, a File's text, the option count and the
 * option scripts' names, and how a floating message's reading ends.
 */
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "script/tests/fakemachine.h"
#include "ui/inforeader.h"

namespace {

int fnStrings(UINT uId, char *lpszOut, size_t cchOut)
{
    const char *lpsz = "";
    switch (uId) {
    case 1170: lpsz = "Please choose one of the following install options."; break;
    case 1173: lpsz = "Exit."; break;
    case 1177: lpsz = "E&xit"; break;
    case 1179: lpsz = "SETUP_2.INF"; break;
    case 1180: lpsz = "SETUP_3.INF"; break;
    case 1181: lpsz = "SETUP_4.INF"; break;
    }
    fnCopyBounded(lpszOut, cchOut, lpsz);
    return (int)strlen(lpszOut);
}

MachineLookupStruct s_machine;

class InfoReaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        fnInstallFakeMachine();
        s_machine = *g_lpMachine;
        s_machine.pfnLoadString = fnStrings;
        g_lpMachine = &s_machine;
        fnCopyBounded(g_szMsgTitle, sizeof(g_szMsgTitle), "Run Caption");
        fnCopyBounded(g_szIniFile, sizeof(g_szIniFile), "C:\\Dist\\SETUP.INF");
        /* an empty home folder: a page File name is opened as it stands, here beside the test */
        g_szHomeDir[0] = '\0';
        m_lpszBlock = (char *)malloc(CB_INFO_BLOCK);
        m_page.lpszText = m_lpszBlock;
    }
    void TearDown() override
    {
        free(m_lpszBlock);
        remove("inforeader_page.txt");
    }
    void fnRead(const std::string &strBody) { ASSERT_TRUE(fnReadInfoPage(strBody.c_str(), &m_page)); }
    char *m_lpszBlock = NULL;
    InfoPageStruct m_page = {};
};

TEST_F(InfoReaderTest, PageDefaultsKeysAndWhichDialogTheLineCountTakes)
{
    fnRead("Line=one\r\nLine=two\r\nLine=\r\nLine=four\r\n");
    EXPECT_STREQ("Run Caption", m_page.szCaption);
    EXPECT_STREQ("Select OK to continue", m_page.szPrompt);
    EXPECT_STREQ("one\r\ntwo\r\n\r\nfour\r\n", m_page.lpszText);
    EXPECT_FALSE(fnInfoPageIsTall(&m_page));

    fnRead("Caption=Licence\r\nPrompt=Read it\r\nLine=1\r\nLine=2\r\nLine=3\r\nLine=4\r\nLine=5\r\n");
    EXPECT_STREQ("Licence", m_page.szCaption);
    EXPECT_STREQ("Read it", m_page.szPrompt);
    EXPECT_TRUE(fnInfoPageIsTall(&m_page));

    /* a key of no row ends the reading, and so does a line without a key */
    fnRead("Line=kept\r\nLines=typo\r\nLine=never\r\n");
    EXPECT_STREQ("kept\r\n", m_page.lpszText);
    fnRead("Line=kept\r\njust text\r\nLine=never\r\n");
    EXPECT_STREQ("kept\r\n", m_page.lpszText);
}

TEST_F(InfoReaderTest, FileTextReplacesTheLinesBeforeItWholeAndCountsTwelve)
{
    FILE *fp = fopen("inforeader_page.txt", "wb");
    ASSERT_TRUE(fp != NULL);
    fputs("short", fp);
    fclose(fp);
    fnRead("Line=a much longer line than the file\r\nFile=inforeader_page.txt\r\nLine=after\r\n");
    /* nothing of the earlier line stays behind the file's text */
    EXPECT_STREQ("shortafter\r\n", m_page.lpszText);
    EXPECT_EQ(1 + INFO_FILE_LINES + 1, m_page.nLines);
    EXPECT_TRUE(fnInfoPageIsTall(&m_page));

    /* a file that cannot be opened is passed over and does not count */
    fnRead("Line=x\r\nFile=no_such_page.txt\r\n");
    EXPECT_STREQ("x\r\n", m_page.lpszText);
    EXPECT_EQ(1, m_page.nLines);
}

TEST_F(InfoReaderTest, TextBlockKeepsWholeLinesWithinItsSize)
{
    /* 40 lines of 1,000 characters: 32 fit the block, the rest are left out whole but still count */
    std::string strBody, strLong(1000, 'x');
    for (int i = 0; i < 40; i++)
        strBody += "Line=" + strLong + "\r\n";
    fnRead(strBody);
    EXPECT_EQ(32, m_page.nStored);
    EXPECT_EQ(8u, m_page.cDropped);
    EXPECT_EQ(40, m_page.nLines);
    EXPECT_EQ(32u * 1002u, strlen(m_page.lpszText));

    /* at most 200 lines are kept */
    strBody.clear();
    for (int i = 0; i < 205; i++)
        strBody += "Line=n\r\n";
    fnRead(strBody);
    EXPECT_EQ(INFO_MAX_LINES, m_page.nStored);
    EXPECT_EQ(205, m_page.nLines);
}

TEST_F(InfoReaderTest, InstallOptionsDefaultsAndTheCountOfOptionsShown)
{
    InstallOptionsStruct opt;
    fnReadInstallOptions("Opt1Msg=Full\r\n", &opt);
    EXPECT_STREQ("Run Caption", opt.szCaption);
    EXPECT_STREQ("Please choose one of the following install options.", opt.szIntro);
    EXPECT_STREQ("E&xit", opt.szExitBtn);
    EXPECT_STREQ("C:\\Dist\\SETUP.INF", opt.szOptInf[0]);
    EXPECT_STREQ("SETUP_4.INF", opt.szOptInf[3]);
    EXPECT_FALSE(opt.bOpt1Inf);
    EXPECT_FALSE(opt.bHelp);

    /* help lines are read as a question's; the help box takes the dialog's caption */
    fnReadInstallOptions("Help=Pick one.\r\nCaption=Choose\r\nHelp=Then OK.\r\nHelpBtn=&Why\r\n", &opt);
    EXPECT_TRUE(opt.bHelp);
    ASSERT_NE(nullptr, opt.help.lpszHelp);
    EXPECT_STREQ("Pick one.\r\nThen OK.\r\n", opt.help.lpszHelp);
    EXPECT_STREQ("Choose", opt.help.szCaption);
    EXPECT_STREQ("&Why", opt.szHelpBtn);
    fnFreeInstallOptions(&opt);
    fnReadInstallOptions("HelpFile=no-such-help.txt\r\n", &opt);
    EXPECT_FALSE(opt.bHelp);   /* nothing to show: the Help row stays hidden */
    fnFreeInstallOptions(&opt);

    const struct {
        const char *lpszBody;
        int nCount;
    } rows[] = {
        {"Opt1Msg=a\r\n", 1},
        {"Opt2Msg=b\r\n", 2},
        {"Opt2Msg=b\r\nOpt3Msg=c\r\n", 3},
        {"Opt2Msg=b\r\nOpt3Msg=c\r\nOpt4Msg=d\r\n", 4},
        /* a gap hides only what follows it, never option 2 */
        {"Opt2Msg=b\r\nOpt4Msg=d\r\n", 2},
        {"Opt3Msg=c\r\n", 1},
        /* a key of no row ends the reading */
        {"Opt2Msg=b\r\nOption3=c\r\nOpt3Msg=c\r\n", 2},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszBody);
        fnReadInstallOptions(r.lpszBody, &opt);
        EXPECT_EQ(r.nCount, fnInstallOptionCount(&opt));
    }
}

TEST_F(InfoReaderTest, OptionScriptsStandBesideTheRunningScriptUnlessTheyNameTheirPlace)
{
    InstallOptionsStruct opt;
    fnReadInstallOptions("Opt1Inf=FIRST.INF\r\nOpt3Inf=D:\\Other\\THIRD.INF\r\nOpt4Inf=\\\\srv\\share\\X.INF\r\n",
                         &opt);
    EXPECT_TRUE(opt.bOpt1Inf);
    const struct {
        int nOption;
        const char *lpszCurrent, *lpszScript;
    } rows[] = {
        {1, "C:\\Dist\\SETUP.INF", "C:\\Dist\\FIRST.INF"},
        {2, "C:\\Dist\\SETUP.INF", "C:\\Dist\\SETUP_2.INF"},
        {2, "C:\\SETUP.INF", "C:\\SETUP_2.INF"},
        {2, "SETUP.INF", "SETUP_2.INF"},
        {2, "C:SETUP.INF", "C:SETUP_2.INF"},
        {3, "C:\\Dist\\SETUP.INF", "D:\\Other\\THIRD.INF"},
        {4, "C:\\Dist\\SETUP.INF", "\\\\srv\\share\\X.INF"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszScript);
        char szOut[CCH_PATH] = "sentinel";
        EXPECT_TRUE(fnInstallOptionScript(&opt, r.nOption, r.lpszCurrent, szOut, sizeof(szOut)));
        EXPECT_STREQ(r.lpszScript, szOut);
    }
    /* a name that does not fit is refused, not cut into another file's name */
    char szSmall[12];
    EXPECT_FALSE(fnInstallOptionScript(&opt, 2, "C:\\Dist\\SETUP.INF", szSmall, sizeof(szSmall)));
}

TEST_F(InfoReaderTest, FloatingMessageKeysDefaultsAndHowTheReadingEnds)
{
    MessageStruct msg;
    int nField = -1;
    char szBad[CCH_LINE_BUF] = "";
    EXPECT_EQ(FLOATREAD_OK, fnReadFloatInfo("Message=Copying\r\n", &msg, &nField, szBad));
    EXPECT_STREQ("Run Caption", msg.szCaption);
    EXPECT_STREQ("Copying", msg.szMessage);
    EXPECT_EQ(8u, msg.uWinPosition);
    EXPECT_FALSE(msg.bWait);
    EXPECT_STREQ("", msg.szButtonText);

    /* keys of no row are passed over; a false line test skips its line; a word of no placement changes nothing */
    EXPECT_EQ(FLOATREAD_OK, fnReadFloatInfo("Colour=red\r\na=b,Message=skipped\r\nMessage=Done\r\n"
                                            "WinPosition=bottomright\r\nWinPosition=sideways\r\nButtonText=\r\n",
                                            &msg, &nField, szBad));
    EXPECT_STREQ("Done", msg.szMessage);
    EXPECT_EQ(9u, msg.uWinPosition);
    EXPECT_STREQ("", msg.szButtonText);

    /* a window that waits always has a button to end the wait */
    EXPECT_EQ(FLOATREAD_OK, fnReadFloatInfo("Message=Insert the disk\r\nWait=yes\r\n", &msg, &nField, szBad));
    EXPECT_TRUE(msg.bWait);
    EXPECT_STREQ("&OK", msg.szButtonText);
    EXPECT_EQ(FLOATREAD_OK, fnReadFloatInfo("Message=m\r\nWait=Y\r\nButtonText=&Ready\r\n", &msg, &nField, szBad));
    EXPECT_STREQ("&Ready", msg.szButtonText);

    /* a caption whose option has no value stays as written */
    EXPECT_EQ(FLOATREAD_OK, fnReadFloatInfo("Caption=Setup @%TG_UNSET_VAR%\r\nMessage=m\r\n", &msg, &nField, szBad));
    EXPECT_STREQ("Setup @%TG_UNSET_VAR%", msg.szCaption);

    /* a key without its value names the line and the field; other text without a key is passed over */
    EXPECT_EQ(FLOATREAD_MISSING, fnReadFloatInfo("Message=m\r\nnote\r\nButtonText\r\n", &msg, &nField, szBad));
    EXPECT_EQ(1, nField);
    EXPECT_STREQ("ButtonText", szBad);
    EXPECT_EQ(FLOATREAD_ENDED, fnReadFloatInfo("SkipIfTrue:1=1\r\nMessage=m\r\n", &msg, &nField, szBad));
}

}  // namespace
