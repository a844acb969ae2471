/*
 * driver/tests/startup_win_test.cpp -- the main window as start-up makes it:
 * its placement by the -w= code, hidden at 0, no size when quiet, the whole
 * screen in start-up message mode.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include "common/runstate.h"
#include "driver/startup.h"
#include "driver/winstate.h"
#include "ui/placement.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_hInst = GetModuleHandleA(NULL);
        ASSERT_TRUE(fnRegisterClasses(g_hInst));
    }
    void SetUp() override
    {
        fnResetRunState();
        g_bMessage = FALSE;
    }
    void TearDown() override
    {
        fnResetRunState();
        g_bMessage = FALSE;
    }
};

TEST_F(MainWindowTest, PlacementFollowsTheShowCode)
{
    RECT rcWork;
    fnGetWorkArea(&rcWork);
    const struct {
        UINT uShow;
        int nCode;   /* where the window must sit */
    } rows[] = {{1, PLACE_TOPLEFT}, {2, PLACE_TOPCENTER}, {3, PLACE_TOPRIGHT}, {7, PLACE_TOPLEFT}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.uShow);
        g_uShowVSWin = r.uShow;
        HWND hWnd = fnCreateMainWindow(g_hInst, SW_SHOWNOACTIVATE);
        ASSERT_TRUE(hWnd != NULL);
        RECT rc;
        GetWindowRect(hWnd, &rc);
        EXPECT_EQ(399, rc.right - rc.left);
        EXPECT_EQ(80, rc.bottom - rc.top);
        POINT pt;
        fnPlacementPoint(&rcWork, 399, 80, r.nCode, &pt);
        EXPECT_EQ(pt.x, rc.left);
        EXPECT_EQ(pt.y, rc.top);
        EXPECT_TRUE(IsWindowVisible(hWnd));
        DestroyWindow(hWnd);
    }
}

TEST_F(MainWindowTest, HiddenQuietAndStartupMessageMode)
{
    g_uShowVSWin = 0;
    HWND hWnd = fnCreateMainWindow(g_hInst, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(hWnd != NULL);
    EXPECT_FALSE(IsWindowVisible(hWnd));
    DestroyWindow(hWnd);

    g_bQuiet = TRUE;
    hWnd = fnCreateMainWindow(g_hInst, SW_SHOWNOACTIVATE);
    RECT rc;
    GetWindowRect(hWnd, &rc);
    EXPECT_LE(rc.right - rc.left, GetSystemMetrics(SM_CXDLGFRAME) * 2);
    EXPECT_FALSE(IsWindowVisible(hWnd));
    DestroyWindow(hWnd);

    g_bQuiet = FALSE;
    g_bMessage = TRUE;
    g_uShowVSWin = 3;
    hWnd = fnCreateMainWindow(g_hInst, SW_SHOWNOACTIVATE);
    GetWindowRect(hWnd, &rc);
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(0, rc.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rc.right - rc.left);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    DestroyWindow(hWnd);
}

}  // namespace
