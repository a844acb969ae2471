/*
 * ui/tests/msgwindow_win_test.cpp -- the message window read back from the
 * real dialog: which buttons each type shows, in which place, what they
 * return; caption, text and placement; a quiet run shows nothing.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/winstate.h"
#include "resource.h"
#include "ui/msgwindow.h"
#include "ui/placement.h"
#include "ui/tests/dlgdriver.h"

namespace {

class MsgWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_hInst = GetModuleHandleA(NULL);
        g_hWndMain = NULL;
        g_bQuiet = FALSE;
    }
    void TearDown() override { g_bQuiet = FALSE; }
};

TEST_F(MsgWindowTest, EachTypeShowsItsButtonsInTheirPlacesAndReturnsThePressedOne)
{
    const struct {
        UINT uType;
        int nFirst, nSecond;
        const char *lpszFirst, *lpszSecond;
    } rows[] = {
        {102, IDYES, IDNO, "&Yes", "&No"},
        {103, IDOK, 115, "&OK", "E&xit"},
        {104, IDOK, 0, "&OK", ""},
        {105, 116, 0, "Con&tinue", ""},
        {106, 115, 0, "E&xit", ""},
        {107, 115, 116, "E&xit", "Con&tinue"},
        {108, IDRETRY, 116, "&Retry", "Con&tinue"},
        {109, IDRETRY, IDCANCEL, "&Retry", "&Cancel"},
        {110, IDRETRY, 115, "&Retry", "E&xit"},
        {111, IDCANCEL, 0, "&Cancel", ""},
        {112, IDYES, 0, "&Yes", ""},
        {101, IDOK, IDCANCEL, "&OK", "&Cancel"},
        {0, IDOK, IDCANCEL, "&OK", "&Cancel"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << "type " << r.uType);
        MsgWindowStruct msg = {};
        fnFormatBounded(msg.szCaption, sizeof(msg.szCaption), "Type %u", r.uType);
        fnCopyBounded(msg.szText, sizeof(msg.szText), "Close the program first.");
        msg.uType = r.uType;
        int nPress = r.nSecond ? r.nSecond : r.nFirst;
        int nShown = 0;
        bool bFirstAbove = false, bTextOk = false, bFound = false;
        std::string strFirst, strSecond;
        std::thread t = fnOnDialog(msg.szCaption, [&](HWND hDlg) {
            static const int ids[] = {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO, 115, 116};
            for (int id : ids)
                nShown += fnItemVisible(hDlg, id) ? 1 : 0;
            strFirst = fnItemText(hDlg, r.nFirst);
            if (r.nSecond) {
                strSecond = fnItemText(hDlg, r.nSecond);
                RECT rc1 = fnItemRect(hDlg, r.nFirst), rc2 = fnItemRect(hDlg, r.nSecond);
                bFirstAbove = rc1.bottom <= rc2.top && rc1.left == rc2.left;
            }
            bTextOk = fnItemText(hDlg, IDC_MSG_TEXT) == "Close the program first.";
            /* Escape without a Cancel button must not end the window */
            if (r.nFirst != IDCANCEL && r.nSecond != IDCANCEL)
                PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
            fnPress(hDlg, nPress);
        }, &bFound);
        int nResult = fnShowMessageWindow(NULL, &msg);
        t.join();
        ASSERT_TRUE(bFound);
        EXPECT_EQ(nPress, nResult);
        EXPECT_EQ(r.nSecond ? 2 : 1, nShown);
        EXPECT_STREQ(r.lpszFirst, strFirst.c_str());
        if (r.nSecond) {
            EXPECT_STREQ(r.lpszSecond, strSecond.c_str());
            EXPECT_TRUE(bFirstAbove) << "the second place is below the first";
        }
        EXPECT_TRUE(bTextOk);
    }
}

TEST_F(MsgWindowTest, EmptyCaptionKeepsTheDialogTitleAndPlacementCodeMovesIt)
{
    MsgWindowStruct msg = {};
    fnCopyBounded(msg.szText, sizeof(msg.szText), "Placed");
    msg.uType = MSGWIN_OK;
    msg.nPlace = PLACE_BOTTOMRIGHT;
    RECT rcWork, rcDlg = {};
    fnGetWorkArea(&rcWork);
    bool bFound = false;
    std::thread t = fnOnDialog("Message Box", [&](HWND hDlg) {
        GetWindowRect(hDlg, &rcDlg);
        fnPress(hDlg, IDOK);
    }, &bFound);
    EXPECT_EQ(IDOK, fnShowMessageWindow(NULL, &msg));
    t.join();
    ASSERT_TRUE(bFound);
    EXPECT_EQ(rcWork.right, rcDlg.right);
    EXPECT_EQ(rcWork.bottom, rcDlg.bottom);
}

TEST_F(MsgWindowTest, QuietRunShowsNothingAndNeverAnswersRetry)
{
    g_bQuiet = TRUE;
    const struct {
        UINT uType;
        int nAnswer;
    } rows[] = {{MSGWIN_YESNO, IDYES}, {MSGWIN_EXITCONTINUE, MSGWIN_ID_EXIT}, {MSGWIN_RETRYCONTINUE, MSGWIN_ID_CONTINUE},
                {MSGWIN_RETRYEXIT, MSGWIN_ID_EXIT}, {MSGWIN_CANCEL, IDCANCEL}, {0, IDOK}};
    for (const auto &r : rows) {
        MsgWindowStruct msg = {};
        msg.uType = r.uType;
        EXPECT_EQ(r.nAnswer, fnShowMessageWindow(NULL, &msg)) << "type " << r.uType;
    }
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Message Box"));
}

} // namespace
