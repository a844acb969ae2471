/*
 * process/tests/launchback_test.cpp -- the keyword lines of "[LaunchAndBack]":
 * defaults, the wait words, the flag fields' sense, required fields, the
 * ten refresh pairs and the watch's time-out taken from the lines.
 */
#include <gtest/gtest.h>

#include <string.h>

#include "common/bounded.h"
#include "process/launchback.h"

namespace {

int fnLine(LaunchBackStruct *lpLb, const char *lpszLine, int *lpnField = NULL)
{
    static char szLine[CCH_LINE_BUF];
    fnCopyBounded(szLine, sizeof(szLine), lpszLine);
    int nField = 0;
    int n = fnReadLaunchBackLine(lpLb, szLine, &nField);
    if (lpnField)
        *lpnField = nField;
    return n;
}

TEST(LaunchBackTest, ExecWordsAndDefaults)
{
    static LaunchBackStruct lb;
    fnInitLaunchBack(&lb);
    EXPECT_FALSE(fnLaunchBackWatches(&lb));
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "Exec=first.exe"));
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "exec=tool.exe /s"));
    EXPECT_STREQ("tool.exe /s", lb.szExec);  /* the last program counts */
    EXPECT_TRUE(lb.bWait);
    EXPECT_FALSE(lb.bPreventExit);
    EXPECT_FALSE(lb.bBlocking);
    EXPECT_EQ(1, lb.nShow);
    struct {
        const char *lpszLine;
        int nShow;
        BOOL bWait, bPrevent, bBlocking;
    } rows[] = {
        {"Exec=t.exe,MIN,N", 2, FALSE, FALSE, FALSE},
        {"Exec=t.exe,max,x", 3, TRUE, TRUE, FALSE},
        {"Exec=t.exe,NORM,YS", 1, TRUE, FALSE, TRUE},
        {"Exec=t.exe,,XS,30", 1, TRUE, TRUE, TRUE},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszLine);
        ASSERT_EQ(LBLINE_OK, fnLine(&lb, r.lpszLine));
        EXPECT_EQ(r.nShow, lb.nShow);
        EXPECT_EQ(r.bWait, lb.bWait);
        EXPECT_EQ(r.bPrevent, lb.bPreventExit);
        EXPECT_EQ(r.bBlocking, lb.bBlocking);
    }
    /* an S without a wait is no wait; Exec's seconds are only recorded: they are no watch limit */
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "Exec=t.exe,odd,NS"));
    EXPECT_FALSE(lb.bWait);
    EXPECT_FALSE(lb.bBlocking);
    EXPECT_EQ(0u, lb.uExecSeconds);
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "Exec=t.exe,,XS,30"));
    EXPECT_EQ(30u, lb.uExecSeconds);
    EXPECT_EQ(0u, lb.uWatchSeconds);
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "BeQuiet=yes"));
    EXPECT_TRUE(lb.bQuiet);
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "KeepTrying=0"));
    EXPECT_FALSE(lb.bKeepTrying);
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "Pause=25"));
    EXPECT_EQ(25u, lb.uPause);
    /* a line that is no keyword ends the reading */
    EXPECT_EQ(LBLINE_END, fnLine(&lb, "Run=t.exe"));
    EXPECT_EQ(LBLINE_END, fnLine(&lb, "Exec"));
}

TEST(LaunchBackTest, WatchLinesFlagsAndTimeout)
{
    static LaunchBackStruct lb;
    fnInitLaunchBack(&lb);
    /* field 2 N: top-level windows only; field 3 N: the title is a prefix (its own length) */
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "ExitAtWindow=Setup Complete"));
    EXPECT_TRUE(lb.bExitAtAll);
    EXPECT_EQ(0u, lb.cchExitAtPrefix);
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "WaitForWindow=Setup,N,N,45"));
    EXPECT_FALSE(lb.bWinAll);
    EXPECT_EQ(5u, lb.cchWinPrefix);
    EXPECT_TRUE(lb.bWaitForWin);
    EXPECT_FALSE(lb.bWhileWin);
    EXPECT_EQ(45u, lb.uWatchSeconds);
    /* the window settings are one set: WhileWindow takes them over; the smaller limit counts */
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "WhileWindow=Wizard,Y,Y,20"));
    EXPECT_STREQ("Wizard", lb.szWaitWin);
    EXPECT_TRUE(lb.bWinAll);
    EXPECT_EQ(0u, lb.cchWinPrefix);
    EXPECT_TRUE(lb.bWhileWin);
    EXPECT_EQ(20u, lb.uWatchSeconds);
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "WaitForExec=tool.exe,N,N,90"));
    EXPECT_FALSE(lb.bExecFullPath);
    EXPECT_FALSE(lb.bExecEnd);
    EXPECT_EQ(20u, lb.uWatchSeconds);
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "WaitForExec=C:\\Tools\\tool.exe"));
    EXPECT_TRUE(lb.bExecFullPath);
    EXPECT_TRUE(lb.bExecEnd);
    EXPECT_TRUE(fnLaunchBackWatches(&lb));
    EXPECT_EQ(LBLINE_OK, fnLine(&lb, "ReadReg=DWORD,HKLM\\Software\\X\\Value"));
    EXPECT_EQ(4u, lb.uRegType);
}

TEST(LaunchBackTest, RequiredFieldsAndRefreshPairs)
{
    static LaunchBackStruct lb;
    fnInitLaunchBack(&lb);
    struct {
        const char *lpszLine;
        int nField;
    } rows[] = {
        {"Exec=", 1},           {"Exec=,MIN", 1},     {"WaitForWindow=", 1}, {"WhileWindow=,Y,Y", 1},
        {"ExitAtWindow=", 1},   {"WaitForExec=", 1},  {"Refresh=a.txt", 2},  {"Refresh=,b.txt", 1},
        {"ReadReg=SZ", 2},      {"ReadReg=SZ,", 2},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.lpszLine);
        int nField = 0;
        EXPECT_EQ(LBLINE_MISSING, fnLine(&lb, r.lpszLine, &nField));
        EXPECT_EQ(r.nField, nField);
    }
    EXPECT_FALSE(fnLaunchBackWatches(&lb));
    /* pairs are kept as written (expanded when copied); an eleventh is ignored */
    char sz[64];
    for (int i = 0; i < 11; i++) {
        fnFormatBounded(sz, sizeof(sz), "Refresh=s%d.txt,C:\\T\\t%d.txt", i, i);
        EXPECT_EQ(LBLINE_OK, fnLine(&lb, sz));
    }
    EXPECT_EQ((UINT)LB_MAX_REFRESH, lb.uRefresh);
    EXPECT_STREQ("s9.txt", lb.aszRefreshSrc[9]);
    EXPECT_STREQ("C:\\T\\t9.txt", lb.aszRefreshDst[9]);
}

}  // namespace
