/*
 * ui/tests/windows_win_test.cpp -- placement codes by real window
 * rectangles, the dialog set-up below the main window, the wait window's
 * sizes and time-out, the section driver's wait window and pause, and the
 * progress dialog with its meter. Set TG_HOLD_MS to keep the wait window and
 * the progress dialog on screen that long for a screenshot.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "common/runstate.h"
#include "driver/sectiondriver.h"
#include "driver/winstate.h"
#include "resource.h"
#include "ui/placement.h"
#include "ui/progress.h"
#include "ui/waitwindow.h"

namespace {

class WindowsTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_hInst = GetModuleHandleA(NULL);
        g_bQuiet = FALSE;
        g_uWinPause = 0;
        fnGetWorkArea(&m_rcWork);
    }
    void TearDown() override
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        if (g_hWndMain)
            DestroyWindow(g_hWndMain);
        g_hWndMain = NULL;
        g_bQuiet = FALSE;
        g_uWinPause = 100;
    }
    HWND Popup(int cx, int cy)
    {
        m_hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 11, 13, cx, cy, NULL, NULL, g_hInst, NULL);
        return m_hWnd;
    }
    static RECT Rect(HWND hWnd)
    {
        RECT rc;
        GetWindowRect(hWnd, &rc);
        return rc;
    }
    static void Hold(void)
    {
        const char *lpsz = getenv("TG_HOLD_MS");
        DWORD dwEnd = GetTickCount() + (lpsz ? (DWORD)atoi(lpsz) : 0);
        while ((LONG)(dwEnd - GetTickCount()) > 0) {
            fnProcessMessages();
            Sleep(20);
        }
    }
    RECT m_rcWork;
    HWND m_hWnd = NULL;
};

TEST_F(WindowsTest, PlacementCodesPutTheWindowAtCornersEdgesAndCentre)
{
    const int cx = 200, cy = 100;
    const LONG L = m_rcWork.left, T = m_rcWork.top, R = m_rcWork.right, B = m_rcWork.bottom;
    const LONG xMid = L + (R - L - cx) / 2, yMid = T + (B - T - cy) / 2;
    const struct {
        int nCode;
        LONG x, y;
    } rows[] = {
        {1, L, T},           {2, R - cx, T},    {3, xMid, T},
        {4, L, yMid},        {5, xMid, yMid},   {6, R - cx, yMid},
        {7, L, B - cy},      {8, xMid, B - cy}, {9, R - cx, B - cy},
    };
    HWND hWnd = Popup(cx, cy);
    ASSERT_NE(nullptr, hWnd);
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << "code " << r.nCode);
        SetWindowPos(hWnd, NULL, 11, 13, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_TRUE(fnPlaceWindow(hWnd, FALSE, r.nCode));
        RECT rc = Rect(hWnd);
        EXPECT_EQ(r.x, rc.left);
        EXPECT_EQ(r.y, rc.top);
        EXPECT_EQ(cx, rc.right - rc.left) << "the size never changes";
        EXPECT_EQ(cy, rc.bottom - rc.top);
    }
    /* code 9: the bottom-right corners meet */
    fnPlaceWindow(hWnd, FALSE, 9);
    EXPECT_EQ(R, Rect(hWnd).right);
    EXPECT_EQ(B, Rect(hWnd).bottom);
    /* codes outside 1-9 leave the window where it is */
    for (int nCode : {0, 10, -1}) {
        SetWindowPos(hWnd, NULL, 11, 13, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_FALSE(fnPlaceWindow(hWnd, FALSE, nCode));
        EXPECT_EQ(11, Rect(hWnd).left);
        EXPECT_EQ(13, Rect(hWnd).top);
    }
}

TEST_F(WindowsTest, WindowLargerThanTheWorkAreaCentresToItsTopLeft)
{
    HWND hWnd = Popup(m_rcWork.right - m_rcWork.left + 300, m_rcWork.bottom - m_rcWork.top + 200);
    ASSERT_NE(nullptr, hWnd);
    fnPlaceWindow(hWnd, FALSE, 5);
    EXPECT_EQ(m_rcWork.left, Rect(hWnd).left);
    EXPECT_EQ(m_rcWork.top, Rect(hWnd).top);
}

TEST_F(WindowsTest, SetUpDialogSitsBelowTheMainWindowAndTakesTheTitle)
{
    g_hWndMain = CreateWindowExA(0, "STATIC", "", WS_POPUP, m_rcWork.left + 40, m_rcWork.top + 7, 399, 80, NULL, NULL,
                                 g_hInst, NULL);
    ASSERT_NE(nullptr, g_hWndMain);
    const struct {
        const char *lpszTrace;
        int cx, cy;
        LONG x, y;
    } rows[] = {
        {"fits", 300, 120, m_rcWork.left + 40, m_rcWork.top + 80},
        {"wider than the area", m_rcWork.right - m_rcWork.left + 50, 120, m_rcWork.left, m_rcWork.top + 80},
        {"too low: clamped up", 300, m_rcWork.bottom - m_rcWork.top - 30, m_rcWork.left + 40, m_rcWork.top + 30},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszTrace);
        HWND hDlg = CreateWindowExA(0, "STATIC", "old", WS_POPUP, 5, 5, r.cx, r.cy, NULL, NULL, g_hInst, NULL);
        fnSetUpDialog(hDlg, TRUE, FALSE);
        EXPECT_EQ(r.x, Rect(hDlg).left);
        EXPECT_EQ(r.y, Rect(hDlg).top);
        char sz[128];
        GetWindowTextA(hDlg, sz, sizeof(sz));
        EXPECT_STREQ(g_szMsgTitle, sz);
        DestroyWindow(hDlg);
    }
}

TEST_F(WindowsTest, WaitWindowHeightsPlacementAndText)
{
    const struct {
        int nHeight;
        int cy;
        int nPlace;
    } rows[] = {{1, 40, 7}, {2, 75, 0}, {3, 110, 9}, {0, 75, 5}, {7, 75, 1}};
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << "height kind " << r.nHeight << " place " << r.nPlace);
        HWND hWnd = fnShowWaitWindow(NULL, 1154, r.nHeight, r.nPlace, 0, "Copying files");
        ASSERT_NE(nullptr, hWnd);
        RECT rc = Rect(hWnd);
        EXPECT_EQ(393, rc.right - rc.left);
        EXPECT_EQ(r.cy, rc.bottom - rc.top);
        POINT pt;
        fnPlacementPoint(&m_rcWork, 393, r.cy, r.nPlace ? r.nPlace : PLACE_TOPCENTER, &pt);
        EXPECT_EQ(pt.x, rc.left);
        EXPECT_EQ(pt.y, rc.top);
        EXPECT_TRUE(IsWindowVisible(hWnd));
        EXPECT_TRUE(GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
        char szClass[64];
        GetClassNameA(hWnd, szClass, sizeof(szClass));
        EXPECT_STREQ("SplashWndTG7K9", szClass);
        EXPECT_STREQ("\nCopying files ...\nPlease wait ...", g_szWaitText);
        if (r.nHeight == 3)
            Hold();
        DestroyWindow(hWnd);
    }
}

TEST_F(WindowsTest, WaitWindowWithAPauseRemovesItself)
{
    DWORD dwStart = GetTickCount();
    HWND hWnd = fnShowWaitWindow(NULL, 1154, 2, 5, 300, "Timed");
    DWORD dwElapsed = GetTickCount() - dwStart;
    EXPECT_EQ(nullptr, hWnd);
    EXPECT_GE(dwElapsed, 280u);
    EXPECT_EQ(nullptr, FindWindowA("SplashWndTG7K9", NULL)) << "no wait window is left behind";
}

TEST_F(WindowsTest, SectionStatusShowsBottomLeftOutsideQuietAndHonoursWinPause)
{
    HWND hWnd = fnShowSectionStatus(NULL, "[Registry]", "Processing registry");
    ASSERT_NE(nullptr, hWnd);
    RECT rc = Rect(hWnd);
    EXPECT_EQ(m_rcWork.left, rc.left);
    EXPECT_EQ(m_rcWork.bottom, rc.bottom);
    EXPECT_EQ(40, rc.bottom - rc.top);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    fnEndSectionStatus(hWnd);
    EXPECT_FALSE(IsWindow(hWnd));

    EXPECT_EQ(nullptr, fnShowSectionStatus(NULL, "[Set]", ""));
    fnEndSectionStatus(NULL);

    const struct {
        BOOL bQuiet;
        UINT uPause;
        DWORD dwMin, dwMax;
    } rows[] = {
        /* upper bounds leave room for a loaded machine; they only tell a cap from no cap */
        {FALSE, 300, 280, 3000},
        {FALSE, 10000, 950, 6000},  /* at most a second */
        {TRUE, 10000, 0, 6000},     /* quiet: no window and no pause */
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << "quiet " << r.bQuiet << " pause " << r.uPause);
        g_bQuiet = r.bQuiet;
        g_uWinPause = r.uPause;
        DWORD dwStart = GetTickCount();
        HWND hStatus = fnShowSectionStatus(NULL, "[Registry]", "Processing registry");
        DWORD dwElapsed = GetTickCount() - dwStart;
        EXPECT_EQ(r.bQuiet, hStatus == NULL);
        EXPECT_GE(dwElapsed, r.dwMin);
        EXPECT_LE(dwElapsed, r.dwMax);
        fnEndSectionStatus(hStatus);
    }
}

TEST_F(WindowsTest, MeterKeepsRangePositionAndFontAndPaintsTwoColours)
{
    ASSERT_TRUE(fnRegisterMeterClass(g_hInst));
    m_hWnd = CreateWindowExA(0, "ProgressMeterTG7K9", "", WS_POPUP | WS_VISIBLE, m_rcWork.left, m_rcWork.top, 200, 20,
                             NULL, NULL, g_hInst, NULL);
    ASSERT_NE(nullptr, m_hWnd);
    EXPECT_EQ(10000, SendMessageA(m_hWnd, PM_GETRANGE, 0, 0));
    EXPECT_EQ(5000, SendMessageA(m_hWnd, PM_GETPOS, 0, 0));
    SendMessageA(m_hWnd, PM_SETRANGE, 4000000000u, 0);
    SendMessageA(m_hWnd, PM_SETPOS, 3000000000u, 0);
    EXPECT_EQ(4000000000u, (DWORD)SendMessageA(m_hWnd, PM_GETRANGE, 0, 0));
    EXPECT_EQ(3000000000u, (DWORD)SendMessageA(m_hWnd, PM_GETPOS, 0, 0));
    HGDIOBJ hFont = GetStockObject(ANSI_VAR_FONT);
    SendMessageA(m_hWnd, WM_SETFONT, (WPARAM)hFont, TRUE);
    EXPECT_EQ((LRESULT)hFont, SendMessageA(m_hWnd, WM_GETFONT, 0, 0));

    /* a quarter done: the left edge in the exchanged colours, the right edge plain */
    SendMessageA(m_hWnd, PM_SETRANGE, 100, 0);
    SendMessageA(m_hWnd, PM_SETPOS, 25, 0);
    HDC hDC = GetDC(m_hWnd);
    COLORREF crLeft = GetPixel(hDC, 2, 2), crRight = GetPixel(hDC, 197, 2);
    ReleaseDC(m_hWnd, hDC);
    if (crLeft == CLR_INVALID)
        GTEST_SKIP() << "the screen cannot be read back here";
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), crLeft);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), crRight);
    /* a range of 0 paints as nothing done */
    SendMessageA(m_hWnd, PM_SETRANGE, 0, 0);
    SendMessageA(m_hWnd, PM_SETPOS, 50, 0);
    hDC = GetDC(m_hWnd);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), GetPixel(hDC, 2, 2));
    ReleaseDC(m_hWnd, hDC);
}

/* Answers the next "Installation is not complete" box of this process with the given button. */
struct AnswerStruct {
    int nButton;
    BOOL bAnswered;
};

static DWORD WINAPI fnAnswerThread(LPVOID lpParam)
{
    AnswerStruct *lpAnswer = (AnswerStruct *)lpParam;
    /* message boxes can take seconds to come up on a loaded machine */
    for (int i = 0; i < 800 && !lpAnswer->bAnswered; i++) {
        Sleep(25);
        HWND hWnd = NULL;
        while ((hWnd = FindWindowExA(NULL, hWnd, "#32770", NULL)) != NULL) {
            DWORD dwPid = 0;
            GetWindowThreadProcessId(hWnd, &dwPid);
            if (dwPid != GetCurrentProcessId() || !GetDlgItem(hWnd, IDYES))
                continue;
            PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(lpAnswer->nButton, BN_CLICKED),
                         (LPARAM)GetDlgItem(hWnd, lpAnswer->nButton));
            lpAnswer->bAnswered = TRUE;
            break;
        }
    }
    return 0;
}

TEST_F(WindowsTest, ProgressDialogItemsResetAndCancelQuestion)
{
    m_hWnd = fnCreateProgressDialog(NULL);
    ASSERT_NE(nullptr, m_hWnd);
    for (int nId : {IDC_PROGRESS_METER, IDC_PROGRESS_STATUS, IDC_PROGRESS_DESC, IDC_PROGRESS_SOURCE,
                    IDC_PROGRESS_TARGET, IDCANCEL})
        EXPECT_NE(nullptr, GetDlgItem(m_hWnd, nId)) << "item " << nId;
    char szClass[64];
    GetClassNameA(GetDlgItem(m_hWnd, IDC_PROGRESS_METER), szClass, sizeof(szClass));
    EXPECT_STREQ("ProgressMeterTG7K9", szClass);

    fnShowProgressDialog(m_hWnd);
    fnSetProgressText(m_hWnd, IDC_PROGRESS_STATUS, "Copying files");
    fnSetProgressText(m_hWnd, IDC_PROGRESS_DESC, "Program files");
    fnSetProgressText(m_hWnd, IDC_PROGRESS_SOURCE, "Z:\\source\\setup.exe");
    fnSetProgressText(m_hWnd, IDC_PROGRESS_TARGET, "C:\\Program Files\\Tallgrid\\setup.exe");
    fnSetProgressMeter(m_hWnd, 37, 100);
    UpdateWindow(m_hWnd);
    Hold();

    /* Cancel answered No keeps the copy going; Yes disables Cancel, which the loops read */
    for (int nButton : {IDNO, IDYES}) {
        SCOPED_TRACE(nButton == IDYES ? "Yes" : "No");
        AnswerStruct answer = {nButton, FALSE};
        HANDLE hThread = CreateThread(NULL, 0, fnAnswerThread, &answer, 0, NULL);
        SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        WaitForSingleObject(hThread, 10000);
        CloseHandle(hThread);
        EXPECT_TRUE(answer.bAnswered);
        EXPECT_EQ(nButton == IDYES, fnProgressCancelled(m_hWnd) != FALSE);
    }

    /* shown again: Cancel enabled, the lines empty, the meter at 0 of 0 */
    ShowWindow(m_hWnd, SW_HIDE);
    fnShowProgressDialog(m_hWnd);
    EXPECT_FALSE(fnProgressCancelled(m_hWnd));
    for (int nId = IDC_PROGRESS_STATUS; nId <= IDC_PROGRESS_TARGET; nId++) {
        char sz[64] = "x";
        GetDlgItemTextA(m_hWnd, nId, sz, sizeof(sz));
        EXPECT_STREQ("", sz) << "item " << nId;
    }
    HWND hMeter = GetDlgItem(m_hWnd, IDC_PROGRESS_METER);
    EXPECT_EQ(0, SendMessageA(hMeter, PM_GETRANGE, 0, 0));
    EXPECT_EQ(0, SendMessageA(hMeter, PM_GETPOS, 0, 0));

    /* closing destroys it */
    HWND hDlg = m_hWnd;
    SendMessageA(hDlg, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hDlg));
    m_hWnd = NULL;
    EXPECT_FALSE(fnProgressCancelled(hDlg));
}

TEST_F(WindowsTest, ProgressDialogIsNotMadeInAQuietRun)
{
    g_bQuiet = TRUE;
    EXPECT_EQ(nullptr, fnCreateProgressDialog(NULL));
}

}  // namespace
