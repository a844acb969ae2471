/*
 * process/tests/execwords_test.cpp -- the program sections' field words and
 * the status a launch result gives, on the host.
 */
#include <gtest/gtest.h>

#include "process/execwords.h"

namespace {

TEST(ExecWords, ShowWaitAndWindowFields)
{
    const struct {
        const char *lpszWord;
        int nShow;
        BOOL bNoWin;
    } aShow[] = {{"Minimized", 2, FALSE}, {"max", 3, FALSE}, {"normal", 1, FALSE}, {"CMD", 4, TRUE},
                 {"M", 1, FALSE},         {"", 1, FALSE}};
    for (const auto &row : aShow) {
        ExecWordsStruct w;
        fnExecWordsDefault(&w);
        fnExecShowWord(row.lpszWord, &w);
        EXPECT_EQ(row.nShow, w.nShowWin) << row.lpszWord;
        EXPECT_EQ(row.bNoWin, w.bNoWin) << row.lpszWord;
    }

    const struct {
        const char *lpszWord;
        BOOL bWait, bPrevent;
        const char *lpszAlso;
    } aWait[] = {{"YSETUP.EXE", TRUE, FALSE, "SETUP.EXE"}, {"pkeep.exe", TRUE, TRUE, "keep.exe"},
                 {"Yes", TRUE, FALSE, "es"},                {"NSETUP.EXE", FALSE, FALSE, ""},
                 {"", FALSE, FALSE, ""},                    {"X", FALSE, FALSE, ""}};
    for (const auto &row : aWait) {
        ExecWordsStruct w;
        fnExecWordsDefault(&w);
        fnExecWaitWord(row.lpszWord, &w);
        EXPECT_EQ(row.bWait, w.bWait) << row.lpszWord;
        EXPECT_EQ(row.bPrevent, w.bPreventExit) << row.lpszWord;
        EXPECT_STREQ(row.lpszAlso, w.szAlsoCheckFor) << row.lpszWord;
    }

    /* wait window, errors shown, stop on error */
    const struct {
        const char *lpszWord;
        BOOL bWaitWin, bShow, bStop;
    } aWin[] = {{"", FALSE, TRUE, FALSE},  {"Y", TRUE, TRUE, FALSE}, {"n", FALSE, TRUE, FALSE},
                {"X", FALSE, TRUE, FALSE}, {"NN", FALSE, FALSE, FALSE}, {"yn", TRUE, FALSE, FALSE},
                {"YY", TRUE, TRUE, TRUE},  {"NX", FALSE, TRUE, TRUE}};
    for (const auto &row : aWin) {
        ExecWordsStruct w;
        fnExecWordsDefault(&w);
        fnExecWindowWord(row.lpszWord, &w);
        EXPECT_EQ(row.bWaitWin, w.bWaitWindow) << row.lpszWord;
        EXPECT_EQ(row.bShow, w.bErrorShow) << row.lpszWord;
        EXPECT_EQ(row.bStop, w.bStopOnError) << row.lpszWord;
    }
}

TEST(ExecWords, LaunchResultToStatus)
{
    const UINT G = EXEC_GOON;
    /* launch results 0, 1, 2, 7 */
    const struct {
        int nKind;
        BOOL bStop;
        char cAfter;
        UINT auStatus[4];
    } aRows[] = {
        {EXECKIND_CHAIN, FALSE, 0, {G, G, 2, 7}},
        {EXECKIND_CHAIN, TRUE, 0, {0, G, 2, 7}},
        {EXECKIND_RUNAS, TRUE, 0, {0, G, 2, 7}},
        /* a run the user was told must stop stops under [TestAndExec] as well */
        {EXECKIND_TESTANDEXEC, FALSE, 'N', {G, G, 2, 7}},
        {EXECKIND_TESTANDEXEC, TRUE, 'N', {0, G, 0, 7}},
        {EXECKIND_TESTANDEXEC, FALSE, 'x', {7, 7, 2, 7}},
        {EXECKIND_TESTANDEXEC, FALSE, 'B', {1, 1, 2, 7}},
        {EXECKIND_TESTANDEXEC, TRUE, 'B', {0, 1, 0, 7}},
    };
    const UINT auRC[4] = {0, 1, 2, 7};
    for (const auto &row : aRows) {
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(row.auStatus[i], fnExecStatus(row.nKind, auRC[i], row.bStop, row.cAfter))
                << row.nKind << " stop " << row.bStop << " after " << row.cAfter << " rc " << auRC[i];
    }
}

}  // namespace
