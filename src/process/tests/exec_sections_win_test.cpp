/*
 * process/tests/exec_sections_win_test.cpp -- the program sections with the
 * launcher table pointed at a recorder: the exact arguments each section and
 * word gives, what launch results make of the section, required fields,
 * questions before a program, [TestAndExec]'s version test, and that a
 * run-as password reaches no log. One real [Exec] waits for a batch file.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/handlers.h"
#include "driver/scramble.h"
#include "driver/sectiondriver.h"
#include "driver/winstate.h"
#include "process/launch.h"
#include "script/optstore.h"
#include "script/sysinfo_win.h"
#include "ui/msgwindow.h"
#include "ui/tests/dlgdriver.h"

namespace {

struct CallStruct {
    std::string strEntry, strCmd, strAlso, strUser, strDomain, strPassword;
    int nShow;
    BOOL bWait, bPrevent, bShowErrors, bNoWin, bNet;
    UINT uErrorMsg;
};

std::vector<CallStruct> s_calls;
UINT s_uResult = 1;

UINT fnFakeExec(HWND, const char *lpszCmd, const char *lpszAlso, int nShow, BOOL bWait, BOOL bPrevent, BOOL bShow,
                BOOL bNoWin)
{
    s_calls.push_back({"Exec", lpszCmd, lpszAlso, "", "", "", nShow, bWait, bPrevent, bShow, bNoWin, FALSE, 0});
    return s_uResult;
}
UINT fnFakeTop(HWND, const char *lpszCmd, const char *lpszAlso, int nShow, BOOL bWait, BOOL bPrevent, BOOL bShow,
               BOOL bNoWin)
{
    s_calls.push_back({"Top", lpszCmd, lpszAlso, "", "", "", nShow, bWait, bPrevent, bShow, bNoWin, FALSE, 0});
    return s_uResult;
}
UINT fnFakeAs(HWND, const char *lpszUser, const char *lpszDomain, const char *lpszPassword, const char *lpszCmd,
              const char *lpszAlso, int nShow, BOOL bWait, BOOL bPrevent, BOOL bShow, BOOL bNoWin, BOOL bNet)
{
    s_calls.push_back({"As", lpszCmd, lpszAlso, lpszUser, lpszDomain, lpszPassword, nShow, bWait, bPrevent, bShow,
                       bNoWin, bNet, 0});
    return s_uResult;
}
UINT fnFakeLaunchError(const char *lpszCmd, int nShow, UINT uErrorMsg)
{
    s_calls.push_back({"Shell", lpszCmd, "", "", "", "", nShow, FALSE, FALSE, FALSE, FALSE, FALSE, uErrorMsg});
    return s_uResult;
}

const LauncherStruct s_fakeLauncher = {g_realLauncher.pfnCreateProcess, fnFakeExec, fnFakeTop, fnFakeAs,
                                       fnFakeLaunchError, g_realLauncher.pfnShellExec};

std::string fnTempPath(const char *lpszName)
{
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    return std::string(szTemp) + lpszName;
}

std::string fnReadAll(const std::string &strPath)
{
    std::string str;
    FILE *fp = fopen(strPath.c_str(), "rb");
    if (!fp)
        return str;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0)
        str.append(buf, n);
    fclose(fp);
    return str;
}

class ExecSectionTest : public ::testing::Test {
protected:
    UserInputStruct m_rec;
    void SetUp() override
    {
        fnResetRunState();
        fnResetOptStore();
        fnInstallMachineLookup();
        fnLoadStr(1013, g_szMsgTitle, sizeof(g_szMsgTitle));
        g_bQuiet = TRUE;
        s_calls.clear();
        s_uResult = 1;
        g_lpLauncher = &s_fakeLauncher;
        memset(&m_rec, 0, sizeof(m_rec));
        m_rec.uQuiet = 1;
        g_lpUserInput = &m_rec;
    }
    void TearDown() override
    {
        g_lpLauncher = &g_realLauncher;
        g_lpUserInput = NULL;
        fnResetRunState();
        fnResetOptStore();
    }
    UINT Exec(const char *lpszName, const std::string &strBody)
    {
        std::string str = std::string(lpszName) + "\r\n" + strBody;
        if (strcmp(lpszName, "[ExecOnTop]") == 0)
            return fnReadChainExecs(NULL, str.c_str(), lpszName, 1, 1);
        if (strcmp(lpszName, "[ShellExec]") == 0)
            return fnReadChainExecs(NULL, str.c_str(), lpszName, 0, 0);
        if (strcmp(lpszName, "[RunAs]") == 0)
            return fnReadChainExecsRunAs(NULL, str.c_str(), lpszName, 1, 0);
        if (strcmp(lpszName, "[RunAsNet]") == 0)
            return fnReadChainExecsRunAs(NULL, str.c_str(), lpszName, 1, 1);
        if (strcmp(lpszName, "[TestAndExec]") == 0)
            return fnTestAndExecs(NULL, str.c_str(), lpszName, 1);
        return fnReadChainExecs(NULL, str.c_str(), lpszName, 1, 0);
    }
};

TEST_F(ExecSectionTest, EachSectionAndWordGivesItsLaunch)
{
    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), "C:\\Setup\\inst.exe");
    ASSERT_EQ(1u, Exec("[Exec]", "Run=Run,@K0 /q,Minimized,YSETUP.EXE,YY\r\n"
                                 "@K0=C:\\Setup\\inst.exe,prog.exe,CMD,pkeep.exe,NN\r\n"
                                 "a=b,skipped.exe\r\n"
                                 "Run=Run,plain.exe\r\n"));
    ASSERT_EQ(3u, s_calls.size());
    const CallStruct &c0 = s_calls[0];
    EXPECT_EQ("Exec", c0.strEntry);
    EXPECT_EQ("C:\\Setup\\inst.exe /q", c0.strCmd);
    EXPECT_EQ("SETUP.EXE", c0.strAlso);
    EXPECT_EQ(2, c0.nShow);
    EXPECT_TRUE(c0.bWait);
    EXPECT_FALSE(c0.bPrevent);
    EXPECT_TRUE(c0.bShowErrors);
    EXPECT_FALSE(c0.bNoWin);
    const CallStruct &c1 = s_calls[1];
    EXPECT_EQ(4, c1.nShow);
    EXPECT_TRUE(c1.bNoWin);
    EXPECT_TRUE(c1.bPrevent);
    EXPECT_EQ("keep.exe", c1.strAlso);
    EXPECT_FALSE(c1.bShowErrors);
    const CallStruct &c2 = s_calls[2];
    EXPECT_EQ("plain.exe", c2.strCmd);
    EXPECT_EQ(1, c2.nShow);
    EXPECT_FALSE(c2.bWait);
    EXPECT_TRUE(c2.bShowErrors);

    s_calls.clear();
    ASSERT_EQ(1u, Exec("[ExecOnTop]", "Run=Run,top.exe,MAX,Y\r\n"));
    ASSERT_EQ(1u, Exec("[ShellExec]", "Open=Open,readme.txt,MAX\r\n"));
    ASSERT_EQ(1u, Exec("[RunAs]", "Run=Run,admin,,secret,tool.exe,NORM,Y\r\n"));
    ASSERT_EQ(1u, Exec("[RunAsNet]", "Run=Run,admin,CORP,,net.exe\r\n"));
    ASSERT_EQ(4u, s_calls.size());
    EXPECT_EQ("Top", s_calls[0].strEntry);
    EXPECT_EQ(3, s_calls[0].nShow);
    /* the shell opens the document and no failure is ever reported */
    EXPECT_EQ("Shell", s_calls[1].strEntry);
    EXPECT_EQ("readme.txt", s_calls[1].strCmd);
    EXPECT_EQ((UINT)LAUNCHERR_SILENT, s_calls[1].uErrorMsg);
    EXPECT_EQ("As", s_calls[2].strEntry);
    EXPECT_EQ("admin", s_calls[2].strUser);
    EXPECT_EQ("", s_calls[2].strDomain);
    EXPECT_EQ("secret", s_calls[2].strPassword);
    EXPECT_EQ("tool.exe", s_calls[2].strCmd);
    EXPECT_FALSE(s_calls[2].bNet);
    EXPECT_EQ("CORP", s_calls[3].strDomain);
    EXPECT_TRUE(s_calls[3].bNet);
}

TEST_F(ExecSectionTest, LaunchResultsAndMissingFieldsEndTheSection)
{
    /* a failure reported and gone on from, then the next line still runs */
    s_uResult = 0;
    EXPECT_EQ(1u, Exec("[Exec]", "Run=Run,a.exe\r\nRun=Run,b.exe\r\n"));
    EXPECT_EQ(2u, s_calls.size());
    /* stop on error: the launch result ends the section */
    s_calls.clear();
    EXPECT_EQ(0u, Exec("[Exec]", "Run=Run,a.exe,,,YY\r\nRun=Run,b.exe\r\n"));
    EXPECT_EQ(1u, s_calls.size());
    s_uResult = 2;
    EXPECT_EQ(2u, Exec("[Exec]", "Run=Run,a.exe\r\nRun=Run,b.exe\r\n"));
    EXPECT_EQ(2u, Exec("[TestAndExec]", "Run=Run,Z:\\no\\such.dll,,,N,B,a.exe\r\n"));
    /* the user's stop ends the run with no success message */
    s_uResult = 7;
    EXPECT_EQ(7u, Exec("[Exec]", "Run=Run,a.exe\r\n"));
    EXPECT_EQ(0u, m_rec.uQuiet);

    /* a line with only its test, or an empty program, fails the section and runs nothing */
    s_calls.clear();
    s_uResult = 1;
    EXPECT_EQ(0u, Exec("[Exec]", "Run=Run\r\nRun=Run,later.exe\r\n"));
    EXPECT_EQ(0u, Exec("[Exec]", "Run=Run,,NORM\r\n"));
    EXPECT_EQ(0u, Exec("[RunAs]", "Run=Run,,,,tool.exe\r\n"));
    EXPECT_TRUE(s_calls.empty());

    /* not quiet: message 1044 names the field and the line */
    g_bQuiet = FALSE;
    bool bFound = false;
    std::string strText;
    std::thread t = fnOnDialog(g_szMsgTitle, [&](HWND h) { strText = fnItemText(h, 0xFFFF); fnPress(h, IDOK); },
                               &bFound);
    EXPECT_EQ(0u, Exec("[Exec]", "Run=Run\r\n"));
    t.join();
    EXPECT_TRUE(bFound);
    EXPECT_NE(std::string::npos, strText.find("parameter 2 of line Run=Run")) << strText;
}

TEST_F(ExecSectionTest, QuestionsBeforeTheProgram)
{
    g_bQuiet = FALSE;
    const struct {
        const char *lpszButtons;
        int nPress;
        UINT uStatus;
        size_t nCalls;
    } aRows[] = {{"OKEXIT", MSGWIN_ID_EXIT, 7, 0}, {"YESNO", IDNO, 1, 1}, {"", IDYES, 1, 2},
                 {"OKCANCEL", IDCANCEL, 1, 1}, {"OK", IDOK, 1, 2}};
    for (const auto &row : aRows) {
        s_calls.clear();
        m_rec.uQuiet = 1;
        bool bFound = false;
        std::string strText;
        std::thread t = fnOnDialog("Message Box", [&](HWND h) { strText = fnItemText(h, 110); fnPress(h, row.nPress); },
                                   &bFound);
        std::string strBody = std::string("Run=Run,first.exe,,,,Install @K1now?,") + row.lpszButtons +
                              "\r\nRun=Run,second.exe\r\n";
        EXPECT_EQ(row.uStatus, Exec("[Exec]", strBody)) << row.lpszButtons;
        t.join();
        EXPECT_TRUE(bFound) << row.lpszButtons;
        EXPECT_EQ("Install now?", strText);
        EXPECT_EQ(row.nCalls, s_calls.size()) << row.lpszButtons;
        if (row.uStatus == 7) {
            EXPECT_EQ(0u, m_rec.uQuiet);
        }
    }
}

TEST_F(ExecSectionTest, TestAndExecOnAVersion)
{
    char szSelf[MAX_PATH];
    GetModuleFileNameA(NULL, szSelf, sizeof(szSelf));
    std::string strSelf = szSelf;  /* this test program carries version 7.0.0.1 */
    std::string strBody = "Run=Run," + strSelf + ",GE,7.0.0.0,Y,N,ge.exe\r\n" +
                          "Run=Run," + strSelf + ",LT,7.0.0.0,Y,N,lt.exe\r\n" +
                          "Run=Run,Z:\\no\\such.dll,,,Y,N,required.exe\r\n" +
                          "Run=Run,Z:\\no\\such.dll,,,N,N,optional.exe,MIN\r\n";
    ASSERT_EQ(1u, Exec("[TestAndExec]", strBody));
    ASSERT_EQ(2u, s_calls.size());
    EXPECT_EQ("ge.exe", s_calls[0].strCmd);
    EXPECT_EQ("optional.exe", s_calls[1].strCmd);
    EXPECT_EQ(2, s_calls[1].nShow);

    /* after-run X ends the run, B the section; the line after is not run either way */
    s_calls.clear();
    EXPECT_EQ(7u, Exec("[TestAndExec]", "Run=Run," + strSelf + ",EQ,7.0.0.1,Y,X,x.exe\r\nRun=Run,never.exe\r\n"));
    EXPECT_EQ(0u, m_rec.uQuiet);
    EXPECT_EQ(1u, Exec("[TestAndExec]", "Run=Run," + strSelf + ",EQ,7.0.0.1,Y,B,b.exe\r\nRun=Run,never.exe\r\n"));
    ASSERT_EQ(2u, s_calls.size());
    /* an existing test file needs its condition and version */
    EXPECT_EQ(0u, Exec("[TestAndExec]", "Run=Run," + strSelf + "\r\n"));
}

TEST_F(ExecSectionTest, RunAsPasswordReachesNoLog)
{
    std::string strDebug = fnTempPath("tgexec_debug.log"), strInstall = fnTempPath("tgexec_install.log");
    DeleteFileA(strDebug.c_str());
    DeleteFileA(strInstall.c_str());
    fnCopyBounded(g_szDebugFile, sizeof(g_szDebugFile), strDebug.c_str());
    fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), strInstall.c_str());
    g_bLogOpen = TRUE;
    g_uDebugLevel = 3;
    fnCopyBounded(g_szUserPassword, sizeof(g_szUserPassword), "Pw4Tallgrid!");
    fnEnCryptString(g_szUserPassword, sizeof(g_szUserPassword));
    EXPECT_EQ(1u, Exec("[RunAs]", "Run=Run,admin,CORP,@U1,tool.exe /x,NORM,Y\r\n"));
    /* a password written in the line itself stays out of the field cutter's entries too */
    EXPECT_EQ(1u, Exec("[RunAs]", "Run=Run,admin,CORP,Wr1ttenPw,tool.exe /y,NORM,Y\r\n"));
    g_uDebugLevel = 0;
    g_bLogOpen = FALSE;
    ASSERT_EQ(2u, s_calls.size());
    EXPECT_EQ("Pw4Tallgrid!", s_calls[0].strPassword);
    std::string strLogs = fnReadAll(strDebug) + fnReadAll(strInstall);
    EXPECT_NE(std::string::npos, strLogs.find("tool.exe /x"));
    EXPECT_EQ(std::string::npos, strLogs.find("Pw4Tallgrid!"));
    EXPECT_EQ(std::string::npos, strLogs.find("Wr1ttenPw"));
    DeleteFileA(strDebug.c_str());
    DeleteFileA(strInstall.c_str());
}

TEST_F(ExecSectionTest, RealExecWaitsForABatchFile)
{
    g_lpLauncher = &g_realLauncher;
    std::string strBat = fnTempPath("tgexec_wait.bat"), strMark = fnTempPath("tgexec_mark.txt");
    DeleteFileA(strMark.c_str());
    FILE *fp = fopen(strBat.c_str(), "wb");
    ASSERT_TRUE(fp);
    fprintf(fp, "@echo off\r\nping -n 2 127.0.0.1 >nul\r\necho done>\"%s\"\r\nexit /b 3\r\n", strMark.c_str());
    fclose(fp);
    /* the program ran to its end before the section went on; its exit code is not a failure */
    EXPECT_EQ(1u, Exec("[Exec]", "Run=Run," + strBat + ",CMD,Y,NY\r\n"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(strMark.c_str()));
    DeleteFileA(strMark.c_str());
    DeleteFileA(strBat.c_str());
}

}  // namespace
