/*
 * process/tests/procfind_win_test.cpp -- finding and closing running copies
 * of the window holder: by file name and by whole path, never this program
 * itself, through the snapshot and through the performance data, ending
 * every instance for good, and asking a window to close.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/runstate.h"
#include "holder.h"
#include "perfblock.h"
#include "process/procfind.h"
#include "process/procsys.h"
#include "process/proctext.h"

namespace {

class ProcFindTest : public ::testing::Test {
protected:
    std::string m_strDir, m_strOne, m_strTwo;
    ProcessSysStruct m_sys = g_realProcessSys;
    void SetUp() override
    {
        fnResetRunState();
        m_strDir = fnScratchDir("tgproc find");
        m_strOne = m_strDir + "\\APP ONE.EXE";
        m_strTwo = m_strDir + "\\APP2.EXE";
        ASSERT_TRUE(fnCopyHolder(m_strOne));
        ASSERT_TRUE(fnCopyHolder(m_strTwo));
    }
    void TearDown() override
    {
        g_lpProcessSys = &g_realProcessSys;
        fnRemoveDir(m_strDir);
    }
    void Start(HolderStruct *lpHolder, const std::string &strExe, const char *lpszLog, const char *lpszArgs = "",
               bool bWindow = true)
    {
        lpHolder->strLog = m_strDir + "\\" + lpszLog;
        ASSERT_TRUE(lpHolder->Start(strExe, lpszArgs, bWindow));
    }
};

TEST_F(ProcFindTest, FindsByNameAndWholePathNeverItself)
{
    HolderStruct one;
    Start(&one, m_strOne, "one.log");
    DWORD dwPid = one.pi.dwProcessId;
    EXPECT_EQ(dwPid, fnFindProcess("app one.exe", TRUE, TRUE));
    EXPECT_TRUE(fnTestForRunningExec("APP ONE.EXE"));
    EXPECT_TRUE(fnTestForRunningExec(m_strOne.c_str()));
    /* the snapshot holds a bare name: a whole path is matched with the image path */
    std::string strLower = m_strDir + "\\app one.exe";
    EXPECT_TRUE(fnTestForRunningExecPath(strLower.c_str()));
    char szShort[MAX_PATH];
    DWORD n = GetShortPathNameA(m_strOne.c_str(), szShort, sizeof(szShort));
    if (n > 0 && n < sizeof(szShort) && m_strOne != szShort) {
        EXPECT_TRUE(fnTestForRunningExecPath(szShort)) << szShort;
    }
    EXPECT_FALSE(fnTestForRunningExecPath(m_strTwo.c_str()));
    EXPECT_FALSE(fnTestForRunningExecPath("C:\\elsewhere\\APP ONE.EXE"));
    EXPECT_FALSE(fnTestForRunningExec("APP2.EXE"));
    EXPECT_TRUE(fnFindPID(dwPid));

    /* an installer named like the program it waits for never finds itself */
    char szSelf[MAX_PATH];
    GetModuleFileNameA(NULL, szSelf, sizeof(szSelf));
    EXPECT_FALSE(fnTestForRunningExecPath(szSelf));
    EXPECT_FALSE(fnTestForRunningExec(fnPathFileName(szSelf)));
    EXPECT_FALSE(fnCloseRunningExec(szSelf, TRUE));
    EXPECT_FALSE(fnCloseProcess(GetCurrentProcessId()));

    /* services are passed over where asked */
    EXPECT_FALSE(fnIsProcessAService(GetCurrentProcessId()));
    EXPECT_FALSE(fnIsProcessAService(dwPid));
    m_sys.pfnIsService = [](DWORD) -> BOOL { return TRUE; };
    g_lpProcessSys = &m_sys;
    EXPECT_FALSE(fnTestForRunningExec("APP ONE.EXE"));
    EXPECT_EQ(dwPid, fnFindProcess("APP ONE.EXE", TRUE, FALSE));
    g_lpProcessSys = &g_realProcessSys;

    one.Kill();
    EXPECT_FALSE(fnFindPID(dwPid));
    EXPECT_FALSE(fnTestForRunningExec("APP ONE.EXE"));
}

/* The performance data the fake reader serves; it asks for more room below s_cbNeed. */
std::string s_strCounters;
std::vector<BYTE> s_block;
int s_nReads;

LONG fnFakePerfData(const char *lpszValue, BYTE *lpData, DWORD *lpcb)
{
    s_nReads++;
    const BYTE *lpSrc;
    size_t cb;
    if (strcmp(lpszValue, "Counter 009") == 0) {
        lpSrc = (const BYTE *)s_strCounters.data();
        cb = s_strCounters.size();
    } else if (strcmp(lpszValue, "230") == 0) {
        lpSrc = s_block.data();
        cb = s_block.size();
    } else {
        return ERROR_FILE_NOT_FOUND;
    }
    if (*lpcb < cb)
        return ERROR_MORE_DATA;
    memcpy(lpData, lpSrc, cb);
    *lpcb = (DWORD)cb;
    return ERROR_SUCCESS;
}

TEST_F(ProcFindTest, PerformanceDataSearch)
{
    HolderStruct one;
    Start(&one, m_strOne, "one.log");
    s_strCounters = fnCounterList({{"1", "1847"}, {"230", "Process"}, {"784", "ID Process"}});
    /* our own process first, then the holder; a block larger than the first buffer */
    s_block = fnPerfBlock({GetCurrentProcessId(), 4, one.pi.dwProcessId}, 100000);
    m_sys.pfnReadPerfData = fnFakePerfData;
    g_lpProcessSys = &m_sys;
    EXPECT_EQ(one.pi.dwProcessId, fnFindProcessPerf("APP ONE.EXE", TRUE, TRUE));
    EXPECT_EQ(one.pi.dwProcessId, fnFindProcessPerf(m_strOne.c_str(), FALSE, TRUE));
    char szSelf[MAX_PATH];
    GetModuleFileNameA(NULL, szSelf, sizeof(szSelf));
    EXPECT_EQ(0u, fnFindProcessPerf(szSelf, FALSE, FALSE));
    EXPECT_EQ(0u, fnFindProcessPerf("APP2.EXE", TRUE, TRUE));
    /* no "ID Process" counter, or a reader that fails: nothing is found */
    s_strCounters = fnCounterList({{"230", "Process"}});
    EXPECT_EQ(0u, fnFindProcessPerf("APP ONE.EXE", TRUE, TRUE));
    m_sys.pfnReadPerfData = [](const char *, BYTE *, DWORD *) -> LONG { return ERROR_ACCESS_DENIED; };
    EXPECT_EQ(0u, fnFindProcessPerf("APP ONE.EXE", TRUE, TRUE));
}

TEST_F(ProcFindTest, CloseEndsEveryInstanceBeforeItReturns)
{
    HolderStruct a, b;
    Start(&a, m_strOne, "a.log");
    Start(&b, m_strOne, "b.log");
    ASSERT_TRUE(fnCloseRunningExec(m_strOne.c_str(), TRUE));
    /* both are gone already, with a code that does not read as still running */
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(a.pi.hProcess, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(b.pi.hProcess, 0));
    EXPECT_NE((DWORD)STILL_ACTIVE, a.ExitCode());
    EXPECT_NE((DWORD)STILL_ACTIVE, b.ExitCode());
    EXPECT_FALSE(fnTestForRunningExecPath(m_strOne.c_str()));
    EXPECT_FALSE(fnCloseRunningExec(m_strOne.c_str(), TRUE));
}

TEST_F(ProcFindTest, CloseWithoutEndAsksTheProgramsOwnWindow)
{
    /* the visible main window gets WM_CLOSE, not a hidden helper window of the process */
    HolderStruct plain;
    Start(&plain, m_strOne, "plain.log");
    EXPECT_TRUE(fnCloseRunningExec(m_strOne.c_str(), FALSE));
    EXPECT_TRUE(plain.WaitLog("end 3"));
    EXPECT_NE(std::string::npos, plain.Log().find("WM_CLOSE"));

    HolderStruct stays;
    Start(&stays, m_strTwo, "stays.log", "-ignoreclose");
    EXPECT_TRUE(fnCloseRunningExec(m_strTwo.c_str(), FALSE));
    EXPECT_TRUE(stays.WaitLog("WM_CLOSE"));
    EXPECT_TRUE(stays.Running());
    stays.Kill();

    HolderStruct disabled;
    Start(&disabled, m_strTwo, "disabled.log", "-disabled");
    EXPECT_TRUE(fnCloseRunningExec(m_strTwo.c_str(), FALSE));
    EXPECT_TRUE(disabled.Running());
    EXPECT_EQ(std::string::npos, disabled.Log().find("WM_CLOSE"));
    disabled.Kill();

    HolderStruct windowless;
    Start(&windowless, m_strTwo, "nowindow.log", "-nowindow", false);
    EXPECT_FALSE(fnCloseRunningExec(m_strTwo.c_str(), FALSE));
    EXPECT_TRUE(windowless.Running());
}

}  // namespace
