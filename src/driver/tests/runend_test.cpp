/*
 * driver/tests/runend_test.cpp -- the exit code chosen for every way a run
 * ends, and the self-removal batch text.
 */
#include <gtest/gtest.h>

#include "driver/exitcode.h"
#include "driver/selfdelete.h"

namespace {

TEST(RunEnd, ExitCodeForEveryEnd)
{
    const struct {
        const char *lpszWhat;
        RunEndStruct end;
        int nWant;
    } rows[] = {
        {"ran to the end", {1, FALSE, FALSE, FALSE, FALSE, FALSE}, 0},
        {"[End] or the stop flag", {6, FALSE, FALSE, FALSE, FALSE, FALSE}, 0},
        {"section failed", {0, TRUE, FALSE, FALSE, FALSE, FALSE}, 1},
        {"load failed", {1, TRUE, FALSE, FALSE, FALSE, FALSE}, 1},
        {"user cancelled a section", {2, TRUE, FALSE, FALSE, FALSE, FALSE}, 1602},
        {"user chose Exit", {7, FALSE, FALSE, FALSE, FALSE, FALSE}, 1602},
        {"user left the script choice", {1, FALSE, TRUE, FALSE, FALSE, FALSE}, 1602},
        {"the script's rule ended the run", {7, FALSE, FALSE, TRUE, FALSE, FALSE}, 1},
        {"a requirement not met, Exit pressed", {7, TRUE, FALSE, FALSE, FALSE, FALSE}, 1},
        {"Exit in a section that fails the run", {0, TRUE, TRUE, FALSE, FALSE, FALSE}, 1602},
        {"cancelled, restart still asked", {7, FALSE, FALSE, FALSE, TRUE, TRUE}, 1602},
        {"failed, restart pending", {0, TRUE, FALSE, FALSE, FALSE, TRUE}, 1},
        {"restart started", {1, FALSE, FALSE, FALSE, TRUE, TRUE}, 1641},
        {"restart needed, not made", {1, FALSE, FALSE, FALSE, FALSE, TRUE}, 3010},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.nWant, fnChooseExitCode(&r.end)) << r.lpszWhat;
}

TEST(RunEnd, SelfDeleteBatchText)
{
    char sz[CCH_SELFDELETE_BATCH] = "sentinel";
    ASSERT_TRUE(fnBuildSelfDeleteBatch("C:\\Setup 100%\\_TG1.tmp", "C:\\Setup 100%\\SETUP.EXE", "C:\\Temp\\_TGDEL.BAT",
                                       sz, sizeof(sz)));
    EXPECT_STREQ("@echo off\r\n"
                 "if not exist \"C:\\Setup 100%%\\_TG1.tmp\" goto Exit\r\n"
                 "set /a nTry=0\r\n"
                 ":Loop\r\n"
                 "del /f \"C:\\Setup 100%%\\SETUP.EXE\" >nul 2>&1\r\n"
                 "if not exist \"C:\\Setup 100%%\\SETUP.EXE\" goto Done\r\n"
                 "set /a nTry+=1\r\n"
                 "if %nTry% GEQ 30 goto Done\r\n"
                 "ping -n 2 127.0.0.1 >nul\r\n"
                 "goto Loop\r\n"
                 ":Done\r\n"
                 "del \"C:\\Setup 100%%\\_TG1.tmp\"\r\n"
                 ":Exit\r\n"
                 "del \"C:\\Temp\\_TGDEL.BAT\"\r\n",
                 sz);
    /* refused rather than written cut or with a path the batch would misread */
    EXPECT_FALSE(fnBuildSelfDeleteBatch("", "C:\\a.exe", "C:\\b.bat", sz, sizeof(sz)));
    EXPECT_STREQ("", sz);
    EXPECT_FALSE(fnBuildSelfDeleteBatch("C:\\t", "C:\\a\".exe", "C:\\b.bat", sz, sizeof(sz)));
    char szSmall[120];
    EXPECT_FALSE(fnBuildSelfDeleteBatch("C:\\t", "C:\\a.exe", "C:\\b.bat", szSmall, sizeof(szSmall)));
    EXPECT_STREQ("", szSmall);
}

}  // namespace
