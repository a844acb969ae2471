/*
 * driver/tests/messages_win_test.cpp -- message boxes and the debug dialog,
 * answered from outside as a person would: another thread finds the window by
 * its caption, reads its texts and buttons, and presses a button.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/runstate.h"
#include "driver/debugdialog.h"
#include "driver/debuglog.h"
#include "driver/messages.h"
#include "driver/winstate.h"
#include "resource.h"

namespace {

struct SeenWindowStruct {
    bool bFound = false;
    std::string strText;                 /* texts of the static children */
    std::vector<std::string> buttons;    /* button texts in child order */
    std::vector<int> buttonIds;
    bool bTopmost = false;
};

BOOL CALLBACK fnCollect(HWND hWnd, LPARAM lParam)
{
    SeenWindowStruct *lpSeen = (SeenWindowStruct *)lParam;
    char szClass[32], szText[1024];
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    GetWindowTextA(hWnd, szText, sizeof(szText));
    if (lstrcmpiA(szClass, "Button") == 0) {
        if (IsWindowVisible(hWnd)) {
            lpSeen->buttons.push_back(szText);
            lpSeen->buttonIds.push_back(GetDlgCtrlID(hWnd));
        }
    } else if (lstrcmpiA(szClass, "Static") == 0 && szText[0]) {
        lpSeen->strText += szText;
    }
    return TRUE;
}

/*
 * Waits (up to twenty seconds) for a top-level dialog with this caption, notes
 * what it shows, then presses the button with id nPress (0: press nothing).
 */
std::thread fnAnswer(const std::string &strCaption, int nPress, SeenWindowStruct *lpSeen, DWORD dwDelayMs = 0)
{
    return std::thread([=]() {
        /* boxes can take seconds to come up on a loaded machine */
        for (int i = 0; i < 400; i++) {
            HWND hWnd = FindWindowA("#32770", strCaption.c_str());
            if (hWnd && IsWindowVisible(hWnd)) {
                Sleep(100);
                lpSeen->bFound = true;
                lpSeen->bTopmost = (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                EnumChildWindows(hWnd, fnCollect, (LPARAM)lpSeen);
                if (dwDelayMs)
                    Sleep(dwDelayMs);
                if (nPress)
                    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(nPress, BN_CLICKED), (LPARAM)GetDlgItem(hWnd, nPress));
                return;
            }
            Sleep(50);
        }
    });
}

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnResetRunState();
        fnLoadStr(1013, g_szMsgTitle, sizeof(g_szMsgTitle));
        fnInstallDebugUi();
    }
    void TearDown() override { fnResetRunState(); }
};

TEST_F(MessagesTest, NumberedMessageIsFormattedTopmostAndAnswered)
{
    SeenWindowStruct seen;
    std::thread t = fnAnswer("Install and Setup", IDNO, &seen);
    int nResult = fnMessage(1039, NULL, MB_YESNO | MB_ICONQUESTION, "C:\\TEMP\\X.LOG");
    t.join();
    ASSERT_TRUE(seen.bFound);
    EXPECT_EQ(IDNO, nResult);
    EXPECT_EQ("C:\\TEMP\\X.LOG already exists, overwrite?", seen.strText);
}

TEST_F(MessagesTest, PlainFormatWithOwnCaption)
{
    SeenWindowStruct seen;
    std::thread t = fnAnswer("My caption", IDOK, &seen);
    int nResult = fnMessage(0, "My caption", MB_OK, "%s has %d files", "Disk", 3);
    t.join();
    EXPECT_EQ(IDOK, nResult);
    EXPECT_EQ("Disk has 3 files", seen.strText);
}

TEST_F(MessagesTest, MessageBoxExRenamesButtonsAndKeepsResultCodes)
{
    SeenWindowStruct seen;
    std::thread t = fnAnswer("Renamed", IDCANCEL, &seen);
    int nResult = fnMessageBoxEx(NULL, "Go on?", "Renamed", "&Install", "&Skip", MB_OKCANCEL);
    t.join();
    EXPECT_EQ(IDCANCEL, nResult);
    ASSERT_EQ(2u, seen.buttons.size());
    EXPECT_EQ("&Install", seen.buttons[0]);
    EXPECT_EQ("&Skip", seen.buttons[1]);
    EXPECT_EQ(IDOK, seen.buttonIds[0]);
    EXPECT_EQ(IDCANCEL, seen.buttonIds[1]);

    /* defaults on a yes/no box; the hook is gone afterwards, so a plain box keeps its texts */
    SeenWindowStruct seen2;
    t = fnAnswer("Defaults", IDYES, &seen2);
    nResult = fnMessageBoxEx(NULL, "Sure?", "Defaults", NULL, "", MB_YESNO);
    t.join();
    EXPECT_EQ(IDYES, nResult);
    ASSERT_EQ(2u, seen2.buttons.size());
    EXPECT_EQ("OK", seen2.buttons[0]);
    EXPECT_EQ("Cancel", seen2.buttons[1]);

    SeenWindowStruct seen3;
    t = fnAnswer("Plain", IDYES, &seen3);
    MessageBoxA(NULL, "x", "Plain", MB_YESNO);
    t.join();
    ASSERT_EQ(2u, seen3.buttons.size());
    EXPECT_EQ("&Yes", seen3.buttons[0]);
}

TEST_F(MessagesTest, Level1CancelStopsTracing)
{
    g_uDebugLevel = 1;
    SeenWindowStruct seen;
    std::thread t = fnAnswer("Install and Setup: fnTest", IDCANCEL, &seen);
    int nButton = fnDebugLog("fnTest", "n=%d", g_uDebugLevel, 42);
    t.join();
    EXPECT_EQ(IDCANCEL, nButton);
    EXPECT_EQ("n=42", seen.strText);
    EXPECT_EQ(0u, g_uDebugLevel);
    /* nothing more is shown: this would hang if a box came up */
    EXPECT_EQ(0, fnDebugLog("fnTest", "again", g_uDebugLevel));
}

TEST_F(MessagesTest, DebugDialogClosesByItselfAfterItsDelay)
{
    g_uDebugLevel = 2;
    g_uDebugDelay = 300;
    SeenWindowStruct seen;
    std::thread t = fnAnswer("Install and Setup: fnTimed", 0, &seen);
    DWORD dwStart = GetTickCount();
    EXPECT_EQ(1, fnDebugLog("fnTimed", "text %s", g_uDebugLevel, "shown"));
    DWORD dwTook = GetTickCount() - dwStart;
    t.join();
    EXPECT_TRUE(seen.bFound);
    EXPECT_EQ("text shown", seen.strText);
    EXPECT_GE(dwTook, 250u);
    EXPECT_EQ(2u, g_uDebugLevel);
    g_uDebugDelay = DEBUG_DELAY_DEFAULT;
}

/* Finds the debug dialog with this caption (up to twenty seconds). */
HWND fnWaitForDialog(const char *lpszCaption)
{
    for (int i = 0; i < 1000; i++) {
        HWND hWnd = FindWindowA("#32770", lpszCaption);
        if (hWnd && IsWindowVisible(hWnd))
            return hWnd;
        Sleep(20);
    }
    return NULL;
}

std::string fnPauseLabel(HWND hWnd)
{
    char sz[32] = "";
    GetDlgItemTextA(hWnd, IDC_DEBUG_PAUSE, sz, sizeof(sz));
    return sz;
}

TEST_F(MessagesTest, DebugDialogWithoutDelayWaitsForGo)
{
    g_uDebugLevel = 2;
    g_uDebugDelay = 1;  /* below 2 ms: the dialog opens paused */
    std::string strFirst, strAfterWait, strAfterGo;
    std::thread t([&]() {
        HWND hWnd = fnWaitForDialog("Install and Setup: fnPaused");
        if (!hWnd)
            return;
        strFirst = fnPauseLabel(hWnd);
        Sleep(800);
        strAfterWait = IsWindow(hWnd) ? fnPauseLabel(hWnd) : "<closed>";
        /* "&Go" starts the timer: the dialog then closes by itself */
        PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_DEBUG_PAUSE, BN_CLICKED), 0);
    });
    EXPECT_EQ(1, fnDebugLog("fnPaused", "x", g_uDebugLevel));
    t.join();
    EXPECT_EQ("&Go", strFirst);
    EXPECT_EQ("&Go", strAfterWait);
    EXPECT_EQ(2u, g_uDebugLevel);
    g_uDebugDelay = DEBUG_DELAY_DEFAULT;
}

TEST_F(MessagesTest, DebugDialogSpeedButtonsAndStop)
{
    g_uDebugLevel = 2;
    g_uDebugDelay = 1000;
    UINT uAfterPlus = 0, uAfterMinus = 0;
    std::thread t([&]() {
        HWND hWnd = fnWaitForDialog("Install and Setup: fnStopped");
        if (!hWnd)
            return;
        /* pausing first keeps the dialog open however late this thread comes */
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_DEBUG_PAUSE, BN_CLICKED), 0);
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_DEBUG_FASTER, BN_CLICKED), 0);
        uAfterPlus = g_uDebugDelay;
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_DEBUG_SLOWER, BN_CLICKED), 0);
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_DEBUG_SLOWER, BN_CLICKED), 0);
        uAfterMinus = g_uDebugDelay;
        /* the speed buttons restart the timer: the rest follows at once, well within its delay */
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(1, fnDebugLog("fnStopped", "x", g_uDebugLevel));
    t.join();
    EXPECT_EQ(900u, uAfterPlus);
    EXPECT_EQ(1900u, uAfterMinus);
    EXPECT_EQ(0u, g_uDebugLevel);
    g_uDebugDelay = DEBUG_DELAY_DEFAULT;
}

TEST(DebugDelay, FasterAndSlowerSteps)
{
    const struct {
        UINT uDelay, uFaster, uSlower;
    } rows[] = {
        {1000, 900, 1500}, {1500, 1000, 2000}, {50, 0, 550}, {0, 0, 500}, {59900, 59400, 60400}, {60400, 59900, 60400},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.uDelay);
        EXPECT_EQ(r.uFaster, fnDebugDelayFaster(r.uDelay));
        EXPECT_EQ(r.uSlower, fnDebugDelaySlower(r.uDelay));
    }
}

}  // namespace
