/*
 * ui/tests/inputdlg_win_test.cpp -- the question dialogs read back from the
 * real windows and answered from another thread: the directory dialog's OK
 * rule and drive fix, the user-name question's refusals and the scrambled
 * password, the shortened option dialog, a list line that cannot be chosen,
 * and a quiet run that opens nothing.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/handlers.h"
#include "driver/winstate.h"
#include "resource.h"
#include "script/optstore.h"
#include "ui/inputdlg.h"
#include "ui/tests/dlgdriver.h"

namespace {

class InputDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_hInst = GetModuleHandleA(NULL);
        g_hWndMain = NULL;
        g_bQuiet = FALSE;
        fnCopyBounded(g_szMsgTitle, sizeof(g_szMsgTitle), "Install and Setup");
        fnResetOptStore();
    }
    void TearDown() override { g_bQuiet = FALSE; }
};

TEST_F(InputDlgTest, DirectoryDialogOkNeedsTextAndADriveGetsItsBackslash)
{
    DirDialogStruct dir = {"Pick a folder", "First text", "", NULL, ""};
    bool bFound = false, bOkOffEmpty = false, bHelpHidden = false, bOneText = false, bStillOpen = false;
    std::thread t = fnOnDialog("Pick a folder", [&](HWND hDlg) {
        bOkOffEmpty = !fnItemEnabled(hDlg, IDOK);
        bHelpHidden = !fnItemVisible(hDlg, IDC_HELPBTN);
        bOneText = !GetDlgItem(hDlg, IDC_DIR_MSG2) && fnItemText(hDlg, IDC_DIR_MSG1) == "First text";
        /* a disabled OK pressed from outside must not end the dialog */
        fnPress(hDlg, IDOK);
        Sleep(200);
        bStillOpen = IsWindowVisible(hDlg) != FALSE;
        SetDlgItemTextA(hDlg, IDC_DIR_PATH, "C:");
        fnPress(hDlg, IDOK);
    }, &bFound);
    BOOL bOK = fnDirectoryDialog(NULL, &dir);
    t.join();
    ASSERT_TRUE(bFound);
    EXPECT_TRUE(bOkOffEmpty);
    EXPECT_TRUE(bHelpHidden);
    EXPECT_TRUE(bOneText);
    EXPECT_TRUE(bStillOpen);
    EXPECT_TRUE(bOK);
    EXPECT_STREQ("C:\\", dir.szPath);

    /* the close box cancels */
    std::thread t2 = fnOnDialog("Pick a folder", [&](HWND hDlg) { PostMessageA(hDlg, WM_CLOSE, 0, 0); }, &bFound);
    EXPECT_FALSE(fnDirectoryDialog(NULL, &dir));
    t2.join();
}

/* Presses OK on a box with this caption that is not hDlg, and returns its text. */
std::string fnAnswerBox(const char *lpszCaption, HWND hDlg)
{
    std::string strText;
    bool bFound = false;
    std::thread t = fnOnDialog(lpszCaption, [&](HWND hBox) {
        strText = fnItemText(hBox, 0xFFFF);
        fnPress(hBox, IDOK);
    }, &bFound, hDlg);
    t.join();
    return bFound ? strText : "(no box)";
}

TEST_F(InputDlgTest, UserAndPasswordRefusedUntilRightThenKeptScrambled)
{
    char szScript[] = "[GetUserPW]\r\nCaption=Account\r\nUserPrompt=User name\r\nPWPrompt=Password\r\n"
                      "PWPrompt2=Again\r\nDefault=admin\r\nCheckBoxMsg=Use the default account\r\n";
    std::string strMismatch, strLong, strBlank;
    bool bFound = false, bCheckShown = false, bUserOff = false;
    std::thread t = fnOnDialog("Account", [&](HWND hDlg) {
        bCheckShown = fnItemVisible(hDlg, IDC_PW_CHECK);
        SendDlgItemMessageA(hDlg, IDC_PW_CHECK, BM_CLICK, 0, 0);
        Sleep(150);
        bUserOff = !fnItemEnabled(hDlg, IDC_PW_USER);
        SendDlgItemMessageA(hDlg, IDC_PW_CHECK, BM_CLICK, 0, 0);
        Sleep(150);
        SetDlgItemTextA(hDlg, IDC_PW_USER, "bob");
        SetDlgItemTextA(hDlg, IDC_PW_PASS1, "one");
        SetDlgItemTextA(hDlg, IDC_PW_PASS2, "two");
        fnPress(hDlg, IDOK);
        strMismatch = fnAnswerBox("Account", hDlg);
        fnWaitUsable(hDlg);
        std::string str47(47, 'p');
        SetDlgItemTextA(hDlg, IDC_PW_PASS1, str47.c_str());
        SetDlgItemTextA(hDlg, IDC_PW_PASS2, str47.c_str());
        fnPress(hDlg, IDOK);
        strLong = fnAnswerBox("Account", hDlg);
        fnWaitUsable(hDlg);
        SetDlgItemTextA(hDlg, IDC_PW_USER, "");
        SetDlgItemTextA(hDlg, IDC_PW_PASS1, "secret");
        SetDlgItemTextA(hDlg, IDC_PW_PASS2, "secret");
        fnPress(hDlg, IDOK);
        strBlank = fnAnswerBox("Account", hDlg);
        fnWaitUsable(hDlg);
        SetDlgItemTextA(hDlg, IDC_PW_USER, "bob");
        SetDlgItemTextA(hDlg, IDC_PW_PASS1, "secret");
        SetDlgItemTextA(hDlg, IDC_PW_PASS2, "secret");
        fnPress(hDlg, IDOK);
    }, &bFound);
    UINT r = fnGetUserPWSection(NULL, szScript, "[GetUserPW]");
    t.join();
    ASSERT_TRUE(bFound);
    EXPECT_EQ(1u, r);
    EXPECT_TRUE(bCheckShown);
    EXPECT_TRUE(bUserOff);
    EXPECT_EQ("Password entries do not match - please try again", strMismatch);
    EXPECT_EQ("The password may hold at most 46 characters.", strLong);
    EXPECT_EQ("Error! The User name field cannot be blank.", strBlank);
    EXPECT_STREQ("bob", g_szUserName);
    EXPECT_STRNE("secret", g_szUserPassword);
    char szPlain[CCH_PASSWORD];
    ASSERT_TRUE(fnGetPlainPassword(szPlain, sizeof(szPlain)));
    EXPECT_STREQ("secret", szPlain);
}

TEST_F(InputDlgTest, OptionDialogShowsOnlyButtonsWithTextAndAnswersFourLetters)
{
    char szScript[] = "[OptionButtons]\r\n1=[Parts]\r\n[Parts]\r\nCaption=Parts\r\nButtonType=Check\r\n"
                      "ButtonMsg1=Core\r\nButtonMsg2=Extras\r\nButtonCheck2=Y\r\n";
    bool bFound = false, bShown = false;
    int cyDlg = 0, cyTemplate = 0;
    std::thread t = fnOnDialog("Parts", [&](HWND hDlg) {
        bShown = fnItemVisible(hDlg, IDC_OPT_CHECK1) && fnItemVisible(hDlg, IDC_OPT_CHECK1 + 1) &&
                 !fnItemVisible(hDlg, IDC_OPT_CHECK1 + 2) && !fnItemVisible(hDlg, IDC_OPT_CHECK1 + 3) &&
                 !fnItemVisible(hDlg, IDC_OPT_RADIO1) && fnItemText(hDlg, IDC_OPT_CHECK1 + 1) == "Extras" &&
                 IsDlgButtonChecked(hDlg, IDC_OPT_CHECK1 + 1) == BST_CHECKED;
        RECT rc, rcDU = {0, 0, 0, 118};
        GetWindowRect(hDlg, &rc);
        MapDialogRect(hDlg, &rcDU);
        cyDlg = rc.bottom - rc.top;
        cyTemplate = rcDU.bottom;
        RECT rcOK = fnItemRect(hDlg, IDOK);
        cyDlg = rcOK.bottom <= rc.bottom ? cyDlg : 100000;   /* OK still inside the window */
        CheckDlgButton(hDlg, IDC_OPT_CHECK1, BST_CHECKED);
        fnPress(hDlg, IDOK);
    }, &bFound);
    g_bInitOptions = FALSE;
    UINT r = fnInputDialog(NULL, 1, "[Parts]", "[OptionButtons]", szScript);
    t.join();
    ASSERT_TRUE(bFound);
    EXPECT_EQ(1u, r);
    EXPECT_TRUE(bShown);
    EXPECT_LT(cyDlg, cyTemplate) << "the dialog is shortened to its two buttons";
    EXPECT_STREQ("YYNN", g_szOptionAnswer[0]);
}

TEST_F(InputDlgTest, PleaseSelectCannotBeConfirmed)
{
    char szScript[] = "[FromList]\r\n1=[Pick]\r\n[Pick]\r\nCaption=Pick\r\nList=(Please Select)\r\nList=Beta\r\n"
                      "Default=(please select)\r\n";
    bool bFound = false, bStayed = false, bDefaultShown = false;
    std::thread t = fnOnDialog("Pick", [&](HWND hDlg) {
        bDefaultShown = fnItemText(hDlg, IDC_LIST_SEL) == "(please select)" && fnItemEnabled(hDlg, IDOK);
        fnPress(hDlg, IDOK);
        Sleep(300);
        bStayed = IsWindowVisible(hDlg) != FALSE;
        HWND hList = GetDlgItem(hDlg, IDC_LIST_LIST);
        SendMessageA(hList, LB_SETCURSEL, 1, 0);
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_LIST_LIST, LBN_SELCHANGE), (LPARAM)hList);
        fnPress(hDlg, IDOK);
    }, &bFound);
    UINT r = fnInputDialog(NULL, 1, "[Pick]", "[FromList]", szScript);
    t.join();
    ASSERT_TRUE(bFound);
    EXPECT_EQ(1u, r);
    EXPECT_TRUE(bDefaultShown);
    EXPECT_TRUE(bStayed);
    EXPECT_STREQ("Beta", g_szFromListResponse[0]);
}

std::string s_strHelpCalls;
BOOL WINAPI fnFakeWinHelp(HWND, LPCSTR lpszFile, UINT uCommand, ULONG_PTR dwData)
{
    s_strHelpCalls += std::string(lpszFile) + " " + std::to_string(uCommand) + " " +
                      (uCommand == HELP_KEY ? (const char *)dwData : "") + ";";
    return TRUE;
}

TEST_F(InputDlgTest, HelpBoxShowsTheTextAndAHelpFileGoesToTheHelpEngine)
{
    ReadSectStruct r;
    fnInitReadSect(&r, NULL, 0);
    fnCopyBounded(r.szCaption, sizeof(r.szCaption), "Data");
    r.lpszHelp = (char *)calloc(1, CCH_INPUTBLOCK);
    fnCopyBounded(r.lpszHelp, CCH_INPUTBLOCK, "Line one\r\n");
    HWND hBox = NULL;
    fnShowQuestionHelp(NULL, &r, &hBox);
    ASSERT_TRUE(hBox != NULL);
    char szCaption[64];
    GetWindowTextA(hBox, szCaption, sizeof(szCaption));
    EXPECT_STREQ("Help: Data", szCaption);
    EXPECT_EQ("Line one\r\n", fnItemText(hBox, IDC_HELP_TEXT));
    EXPECT_EQ("&Done", fnItemText(hBox, IDC_HELP_DONE));
    fnEndHelp(NULL, &r, &hBox);
    EXPECT_TRUE(hBox == NULL);

    WinHelpProc pfnSaved = g_pfnWinHelp;
    g_pfnWinHelp = fnFakeWinHelp;
    s_strHelpCalls.clear();
    r.uHelpKind = HELPKIND_WINHELP;
    fnCopyBounded(r.lpszHelp, CCH_INPUTBLOCK, "C:\\app.hlp");
    fnCopyBounded(r.szHelpKey, sizeof(r.szHelpKey), "Setup");
    fnShowQuestionHelp(NULL, &r, &hBox);
    fnEndHelp(NULL, &r, &hBox);
    g_pfnWinHelp = pfnSaved;
    EXPECT_EQ("C:\\app.hlp " + std::to_string(HELP_KEY) + " Setup;C:\\app.hlp " + std::to_string(HELP_QUIT) + " ;",
              s_strHelpCalls);
    fnFreeReadSect(&r);
}

TEST_F(InputDlgTest, QuietRunAsksNothingAndTakesDefaults)
{
    g_bQuiet = TRUE;
    char szScript[] = "[AskFor]\r\n1=[A]\r\n2=[B]\r\n[A]\r\nDefault=given\r\n[B]\r\nMsg1=no default\r\n"
                      "[GetUserPW]\r\nUserPrompt=User\r\n";
    EXPECT_EQ(1u, fnInputDialog(NULL, 1, "[A]", "[AskFor]", szScript));
    EXPECT_STREQ("given", g_lpszAskForResponse[0]);
    /* a question a quiet run cannot answer fails the run rather than going on with nothing */
    EXPECT_EQ(0u, fnInputDialog(NULL, 2, "[B]", "[AskFor]", szScript));
    EXPECT_EQ(0u, fnGetUserPWSection(NULL, strstr(szScript, "[GetUserPW]"), "[GetUserPW]"));
    EXPECT_EQ((UINT)BACKUP_ORIEXT, fnAskBackupMethod(NULL));
}

}  // namespace
