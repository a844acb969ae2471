/*
 * ui/tests/info_win_test.cpp -- the information windows read back from the
 * real dialogs: which page dialog a body takes and what Cancel gives, the
 * install options' buttons and the script an option names, the floating
 * window's placement, its missing button and its lifetime.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/handlers.h"
#include "driver/winstate.h"
#include "resource.h"
#include "ui/placement.h"
#include "ui/tests/dlgdriver.h"

namespace {

class InfoWindowsTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_hInst = GetModuleHandleA(NULL);
        g_hWndMain = NULL;
        g_bQuiet = FALSE;
        fnCopyBounded(g_szMsgTitle, sizeof(g_szMsgTitle), "Info Test");
    }
    void TearDown() override
    {
        fnCloseFloatInfo();
        g_bQuiet = FALSE;
    }
};

bool fnHasStyle(HWND hDlg, int nId, LONG lStyle)
{
    return (GetWindowLongA(GetDlgItem(hDlg, nId), GWL_STYLE) & lStyle) == lStyle;
}

TEST_F(InfoWindowsTest, PageTakesTheShortOrTallDialogAndCancelIsTheUsersExit)
{
    const struct {
        const char *lpszSection;
        bool bTall;
        int nPress;
        UINT uResult;
    } rows[] = {
        {"[Info]\r\nCaption=Four\r\nLine=1\r\nLine=2\r\nLine=3\r\nLine=4\r\n", false, IDOK, 1},
        {"[Info]\r\nCaption=Five\r\nLine=1\r\nLine=2\r\nLine=3\r\nLine=4\r\nLine=5\r\n", true, IDCANCEL, SECT_USEREXIT},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszSection);
        bool bFound = false, bScroll = false, bPromptOk = false;
        std::string strText;
        std::thread t = fnOnDialog(r.bTall ? "Five" : "Four", [&](HWND hDlg) {
            bScroll = fnHasStyle(hDlg, IDC_INFO_TEXT, WS_VSCROLL);
            strText = fnItemText(hDlg, IDC_INFO_TEXT);
            bPromptOk = fnItemText(hDlg, IDC_INFO_PROMPT) == "Select OK to continue";
            fnPress(hDlg, r.nPress);
        }, &bFound);
        EXPECT_EQ(r.uResult, fnInfoSection(NULL, r.lpszSection, "[Info]"));
        t.join();
        ASSERT_TRUE(bFound);
        EXPECT_EQ(r.bTall, bScroll);
        EXPECT_EQ(0u, strText.find("1\r\n2\r\n3\r\n4\r\n"));
        EXPECT_TRUE(bPromptOk);
    }
    /* the close box is Cancel too; the opening page's Cancel ends the run (0) */
    bool bFound = false;
    std::thread t = fnOnDialog("Hello", [&](HWND hDlg) { PostMessageA(hDlg, WM_CLOSE, 0, 0); }, &bFound);
    EXPECT_EQ(0u, fnSignonSection(NULL, "[Config]\r\nWinPause=0\r\n[Signon]\r\nCaption=Hello\r\nLine=hi\r\n"));
    t.join();
    EXPECT_TRUE(bFound);
    /* no [Signon], or an empty one, asks nothing */
    EXPECT_EQ(1u, fnSignonSection(NULL, "[Config]\r\nWinPause=0\r\n[Signon]\r\n[Other]\r\nLine=x\r\n"));
    /* a quiet run shows no page and goes on */
    g_bQuiet = TRUE;
    EXPECT_EQ(1u, fnInfoSection(NULL, "[Info]\r\nCaption=Quiet\r\nLine=x\r\n", "[Info]"));
}

TEST_F(InfoWindowsTest, InstallOptionsShowTheirButtonsAndAnOptionNamesItsScript)
{
    fnCopyBounded(g_szIniFile, sizeof(g_szIniFile), "C:\\Dist\\SETUP.INF");
    const char *lpszScript = "[Install Options]\r\nCaption=Pick\r\nOpt1Btn=&One\r\nOpt2Msg=two\r\nOpt2Btn=&Two\r\n"
                             "Opt3Msg=three\r\nOpt3Btn=T&hree\r\nOpt3Inf=THIRD.INF\r\n";
    bool bFound = false, bHelpHidden = false;
    int nButtons = 0;
    std::string strThree;
    std::thread t = fnOnDialog("Pick", [&](HWND hDlg) {
        for (int id = 112; id <= 115; id++)
            nButtons += fnItemVisible(hDlg, id) ? 1 : 0;
        strThree = fnItemText(hDlg, 114) + "|" + fnItemText(hDlg, IDC_IO_MSG3);
        bHelpHidden = !fnItemVisible(hDlg, IDC_IO_HELP);
        fnPress(hDlg, 114);
    }, &bFound);
    EXPECT_EQ(114u, fnInstallOptionsSection(NULL, lpszScript));
    t.join();
    ASSERT_TRUE(bFound);
    EXPECT_EQ(3, nButtons);
    EXPECT_EQ("T&hree|three", strThree);
    EXPECT_TRUE(bHelpHidden);
    EXPECT_STREQ("C:\\Dist\\THIRD.INF", g_szIniFile);

    /* option 1 without a script of its own goes on; the close box leaves as Exit does */
    fnCopyBounded(g_szIniFile, sizeof(g_szIniFile), "C:\\Dist\\SETUP.INF");
    const int anPress[] = {112, 0};
    const UINT auResult[] = {1, 116};
    for (int i = 0; i < 2; i++) {
        std::thread t2 = fnOnDialog("Pick", [&](HWND hDlg) {
            if (anPress[i])
                fnPress(hDlg, anPress[i]);
            else
                PostMessageA(hDlg, WM_CLOSE, 0, 0);
        }, &bFound);
        EXPECT_EQ(auResult[i], fnInstallOptionsSection(NULL, lpszScript)) << i;
        t2.join();
    }
    EXPECT_STREQ("C:\\Dist\\SETUP.INF", g_szIniFile);

    /* with help the Help row is shown; its button opens the help box, which closes, and the choice goes on */
    bool bHelpShown = false, bBoxFound = false;
    std::string strHelp, strBox;
    std::thread t3 = fnOnDialog("Pick", [&](HWND hDlg) {
        bHelpShown = fnItemVisible(hDlg, IDC_IO_HELP) && fnItemVisible(hDlg, IDC_IO_HELPMSG);
        strHelp = fnItemText(hDlg, IDC_IO_HELP) + "|" + fnItemText(hDlg, IDC_IO_HELPMSG);
        fnPress(hDlg, IDC_IO_HELP);
        std::thread tBox = fnOnDialog("Help: Pick", [&](HWND hBox) {
            strBox = fnItemText(hBox, IDC_HELP_TEXT);
            fnPress(hBox, IDC_HELP_DONE);
        }, &bBoxFound);
        tBox.join();
        fnPress(hDlg, 112);
    }, &bFound);
    std::string strWithHelp = std::string(lpszScript) + "Help=Standard suits most.\r\nHelpMsg=Which one?\r\nHelpBtn=&Why\r\n";
    EXPECT_EQ(1u, fnInstallOptionsSection(NULL, strWithHelp.c_str()));
    t3.join();
    EXPECT_TRUE(bHelpShown);
    EXPECT_EQ("&Why|Which one?", strHelp);
    EXPECT_TRUE(bBoxFound);
    EXPECT_EQ("Standard suits most.\r\n", strBox);
    EXPECT_EQ(NULL, FindWindowA("#32770", "Help: Pick"));
}

TEST_F(InfoWindowsTest, FloatingWindowStaysPlacedWithoutButtonAndIsReplacedByTheNext)
{
    EXPECT_EQ(1u, fnFloatInfoSection(NULL, "[FloatInfo]\r\nCaption=Float one\r\nMessage=Working\r\n"
                                           "WinPosition=BottomRight\r\n", "[FloatInfo]"));
    HWND hFirst = FindWindowA("#32770", "Float one");
    ASSERT_TRUE(hFirst != NULL);
    RECT rcWork, rcDlg;
    fnGetWorkArea(&rcWork);
    GetWindowRect(hFirst, &rcDlg);
    EXPECT_EQ(rcWork.right, rcDlg.right);
    EXPECT_EQ(rcWork.bottom, rcDlg.bottom);
    EXPECT_TRUE(GetWindowLongA(hFirst, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(fnItemVisible(hFirst, IDCANCEL));
    /* the text takes the hidden button's place up to its right edge */
    HWND hButton = GetDlgItem(hFirst, IDCANCEL);
    RECT rcText = fnItemRect(hFirst, IDC_FLOAT_TEXT), rcButton;
    GetWindowRect(hButton, &rcButton);
    EXPECT_EQ(rcButton.right, rcText.right);
    EXPECT_EQ("Working", fnItemText(hFirst, IDC_FLOAT_TEXT));

    EXPECT_EQ(1u, fnFloatInfoSection(NULL, "[FloatInfo]\r\nCaption=Float two\r\nMessage=More\r\nButtonText=&Hide\r\n",
                                     "[FloatInfo]"));
    EXPECT_FALSE(IsWindow(hFirst));
    HWND hSecond = FindWindowA("#32770", "Float two");
    ASSERT_TRUE(hSecond != NULL);
    EXPECT_EQ("&Hide", fnItemText(hSecond, IDCANCEL));
    fnCloseFloatInfo();
    EXPECT_FALSE(IsWindow(hSecond));

    /* a waiting window returns when its button is pressed */
    bool bFound = false;
    std::string strButton;
    std::thread t = fnOnDialog("Float wait", [&](HWND hDlg) {
        strButton = fnItemText(hDlg, IDCANCEL);
        fnPress(hDlg, IDCANCEL);
    }, &bFound);
    EXPECT_EQ(1u, fnFloatInfoSection(NULL, "[FloatInfo]\r\nCaption=Float wait\r\nMessage=m\r\nWait=Y\r\n", "[FloatInfo]"));
    t.join();
    EXPECT_TRUE(bFound);
    EXPECT_EQ("&OK", strButton);

    /* no message, or a line test that ends the section: the section fails and shows nothing */
    EXPECT_EQ(0u, fnFloatInfoSection(NULL, "[FloatInfo]\r\nCaption=Empty\r\n", "[FloatInfo]"));
    EXPECT_EQ(0u, fnFloatInfoSection(NULL, "[FloatInfo]\r\nSkipIfTrue:1=1\r\nMessage=m\r\n", "[FloatInfo]"));
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Info Test"));
}

}  // namespace
