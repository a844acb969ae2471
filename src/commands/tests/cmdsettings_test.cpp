/*
 * commands/tests/cmdsettings_test.cpp -- the run settings on the host: word
 * tables, both readers' keys and their differences, where a reading ends,
 * the end steps (log, re-launch), the message keys through a recording
 * settings table, the file keys on real scratch files and the result slots.
 */
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "../../script/tests/fakemachine.h"
#include "commands/cmdsettings.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "script/optstore.h"

namespace {

struct UiRecordStruct {
    std::vector<std::string> calls;
    BOOL bAnswerOK = TRUE;
    int nRelaunch = RELAUNCH_STARTED;
    std::string strIniValue;
};
UiRecordStruct s_ui;

std::string fnS(const char *lpsz) { return lpsz ? lpsz : "(null)"; }

BOOL fnBox(const char *t, const char *c, BOOL b, const char *b1, const char *b2)
{
    s_ui.calls.push_back("box " + fnS(t) + "|" + fnS(c) + "|" + std::to_string(b) + "|" + fnS(b1) + "|" + fnS(b2));
    return s_ui.bAnswerOK;
}
void fnDlg(const char *t, const char *c, UINT u, UINT p)
{
    s_ui.calls.push_back("dlg " + fnS(t) + "|" + fnS(c) + "|" + std::to_string(u) + "|" + std::to_string(p));
}
void fnPopup(const PopupStruct *p)
{
    s_ui.calls.push_back("popup " + fnS(p->lpszText) + "|" + std::to_string(p->uDialog) + "|" +
                         std::to_string(p->uSeconds) + "|" + std::to_string(p->uPlace));
}
void fnSleepMs(DWORD dw) { s_ui.calls.push_back("sleep " + std::to_string(dw)); }
BOOL fnName(const char *n)
{
    s_ui.calls.push_back("name " + fnS(n));
    return TRUE;
}
BOOL fnDel(const char *f) { return unlink(f) == 0; }
BOOL fnTree(const char *d)
{
    s_ui.calls.push_back("tree " + fnS(d));
    return mkdir(d, 0700) == 0;
}
BOOL fnIni(const char *f, const char *k, char *o, size_t cch)
{
    s_ui.calls.push_back("ini " + fnS(k));
    fnCopyBounded(o, cch, s_ui.strIniValue.c_str());
    return !s_ui.strIniValue.empty();
}
void fnLog(const char *n) { s_ui.calls.push_back("log " + fnS(n)); }
int fnRelaunch(void)
{
    s_ui.calls.push_back("relaunch");
    return s_ui.nRelaunch;
}
void fnError(UINT u, const char *a) { s_ui.calls.push_back("error " + std::to_string(u) + " " + fnS(a)); }

const SettingsUiStruct s_fakeUi = {fnBox, fnDlg, fnPopup, fnSleepMs, fnName, fnDel,
                                   fnTree, fnIni, fnLog, fnRelaunch, fnError};

class SettingsTest : public ::testing::Test {
  protected:
    std::string strDir;
    void SetUp() override
    {
        fnInstallFakeMachine();
        s_ui = UiRecordStruct();
        g_lpSettingsUi = &s_fakeUi;
        char szTemplate[] = "/tmp/tgcfgXXXXXX";
        strDir = mkdtemp(szTemplate);
    }
    void TearDown() override
    {
        g_lpSettingsUi = &g_settingsUiNone;
        g_lpMachine = &g_machineNone;
        std::string strCmd = "rm -rf '" + strDir + "'";
        EXPECT_EQ(0, system(strCmd.c_str()));
    }
    UINT fnConfig(const std::string &strBody)
    {
        std::string strInf = "[Config]\r\n" + strBody + "[Files]\r\na=b\r\n";
        return fnReadConfigText(strInf.c_str());
    }
    /* one command-form line: the section result it leaves (-1 when it sets none) */
    int fnCommand(const std::string &strLine, int *lpnStop = NULL)
    {
        char szLine[CCH_LINE_BUF];
        fnCopyBounded(szLine, sizeof(szLine), strLine.c_str());
        char szKey[CCH_FIELD_BUF];
        fnInfParseFieldForTest(szLine, szKey);
        int nResult = -1;
        int n = fnApplySetting(fnFindSectionKey(g_aConfigKeys, szKey), szLine, SETFORM_COMMAND, &nResult, NULL);
        if (lpnStop)
            *lpnStop = n;
        return nResult;
    }
    static void fnInfParseFieldForTest(char *lpszLine, char *lpszKey)
    {
        const char *lpszEq = strchr(lpszLine, '=');
        size_t cch = lpszEq ? (size_t)(lpszEq - lpszLine) : strlen(lpszLine);
        fnCopyBoundedN(lpszKey, CCH_FIELD_BUF, lpszLine, cch);
    }
    std::string fnRead(const std::string &strFile)
    {
        FILE *fp = fopen(strFile.c_str(), "rb");
        if (!fp)
            return "(missing)";
        std::string s;
        char buf[256];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), fp)) > 0)
            s.append(buf, n);
        fclose(fp);
        return s;
    }
    void fnWrite(const std::string &strFile, const std::string &strText)
    {
        FILE *fp = fopen(strFile.c_str(), "wb");
        ASSERT_TRUE(fp);
        fwrite(strText.data(), 1, strText.size(), fp);
        fclose(fp);
    }
};

TEST(SettingsWordsTest, TablesAndFieldRules)
{
    EXPECT_EQ(110u, fnButtonSetOf("retryexit"));  /* Retry with Exit, not Retry with Continue */
    EXPECT_EQ(104u, fnButtonSetOf(""));
    EXPECT_EQ(104u, fnButtonSetOf("Maybe"));
    EXPECT_EQ(113u, fnButtonSetOf("NO"));
    EXPECT_EQ(5u, fnPlacementOf("nowhere"));
    EXPECT_EQ(2u, fnPlacementOf("topright"));
    EXPECT_EQ(41u, fnPopupDialogOf("", TRUE));
    EXPECT_EQ(41u, fnPopupDialogOf("small", TRUE));
    EXPECT_EQ(44u, fnPopupDialogOf("XLarge", TRUE));
    EXPECT_EQ(45u, fnPopupDialogOf("huge", FALSE));
    EXPECT_EQ(46u, fnPopupDialogOf("Small", FALSE));
    EXPECT_EQ(49u, fnPopupDialogOf("xlarge", FALSE));
    EXPECT_EQ(10u, fnCloseAfterOf("y1x0"));
    EXPECT_EQ(0u, fnCloseAfterOf("Y"));
    EXPECT_EQ(0u, fnCloseAfterOf("N10"));
    BOOL b = TRUE;
    fnReadYesNo("maybe", &b);
    EXPECT_TRUE(b);
    fnReadYesNo("no", &b);
    EXPECT_FALSE(b);
    fnReadYesNo("yes", &b);
    EXPECT_TRUE(b);
}

TEST_F(SettingsTest, EveryKeySetsItsSetting)
{
    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), strDir.c_str());
    EXPECT_EQ(1u, fnConfig("StayHome=Y\r\nExitOnExecError=yes\r\nExitOnCommandError=Y\r\nShowMustRestartMessage=N\r\n"
                           "ExitMessage=Done @D1\r\nErrorMessage=Failed\r\nCaption=Acme Setup\r\nBeQuiet=Y\r\n"
                           "BeQuiet=N\r\nSelfDestruct=Y\r\nMustRestartAtExit=Y\r\nWinPause=5000\r\n"
                           "BackUpMethod=datetime\r\nBackUpMethod=sometimes\r\nOnExit=Reboot\r\n"
                           "SetComputerName=WS@D1X\r\n"));
    EXPECT_TRUE(g_bStayHome);
    EXPECT_TRUE(g_bExitOnExecError);
    EXPECT_TRUE(g_bExitOnCommandError);
    EXPECT_FALSE(g_bShowMustRestartMessage);
    EXPECT_STREQ("Done ", g_szExitMsg);
    EXPECT_STREQ("Failed", g_szErrorMsg);
    EXPECT_TRUE(g_bShowErrorMessage);  /* ErrorMessage turns the error message on */
    EXPECT_STREQ("Acme Setup", g_szMsgTitle);
    EXPECT_FALSE(g_bQuiet);
    EXPECT_EQ(0u, g_uShowVSWin);       /* BeQuiet=N does not bring the window back */
    EXPECT_TRUE(g_bSelfDestruct);
    EXPECT_TRUE(g_bMustRestartAtExit);
    EXPECT_EQ(1000u, g_uWinPause);
    EXPECT_EQ(505u, g_uBackUpMethod);  /* an unknown word leaves it */
    EXPECT_EQ(5u, g_uOnExit);
    EXPECT_TRUE(g_bRebootForced);
    EXPECT_EQ(std::vector<std::string>{"name WSX"}, s_ui.calls);

    EXPECT_EQ(1u, fnConfig("OnExit=Exec,@D1\r\nSelfDestruct=perhaps\r\nShowVSWindow=a1b2\r\n"));
    EXPECT_EQ(0u, g_uOnExit);  /* Exec without a program is no exit action */
    EXPECT_FALSE(g_bSelfDestruct);
    EXPECT_EQ(12u, g_uShowVSWin);
    EXPECT_FALSE(g_bStayHome); /* cleared each time the section is read */
    EXPECT_EQ(1u, fnConfig("OnExit=RestartWithMsg\r\nOnExit=Wander\r\n"));
    EXPECT_EQ(6u, g_uOnExit);
    EXPECT_STREQ("Restart now?", g_szRestartMsg);
    EXPECT_EQ(1u, fnConfig("OnExit=ExecTop,C:\\run.exe\r\n"));
    EXPECT_EQ(7u, g_uOnExit);
    EXPECT_STREQ("C:\\run.exe", g_szExitExec);
}

TEST_F(SettingsTest, WhereTheReadingEnds)
{
    EXPECT_EQ(1u, fnConfig("ExitMesage=typo\r\nCaption=Never\r\n"));
    EXPECT_STREQ("Install and Setup", g_szMsgTitle);
    EXPECT_EQ(1u, fnConfig("Caption=One\r\nno key here\r\nWinPause=7\r\n"));
    EXPECT_STREQ("One", g_szMsgTitle);
    EXPECT_EQ(100u, g_uWinPause);
    EXPECT_TRUE(s_ui.calls.empty());

    /* a bare word sets its switch and, having no key, ends the reading; the end steps still run */
    EXPECT_EQ(8u, fnConfig("LogFile=setup.log\r\nRestart\r\nCaption=Never\r\n"));
    EXPECT_STREQ("One", g_szMsgTitle);
    EXPECT_EQ(std::vector<std::string>{"relaunch"}, s_ui.calls);  /* the copy opens its own log */
    s_ui.calls.clear();
    s_ui.nRelaunch = RELAUNCH_FAILED;
    EXPECT_EQ(2u, fnConfig("Restart=Y\r\n"));
    s_ui.calls.clear();
    s_ui.nRelaunch = RELAUNCH_NONE;  /* the re-launched copy itself goes on */
    EXPECT_EQ(1u, fnConfig("Restart=Y\r\n"));
    EXPECT_EQ((std::vector<std::string>{"relaunch", "log setup.log"}), s_ui.calls);

    /* a condition that ends the section skips the end steps */
    s_ui.calls.clear();
    EXPECT_EQ(1u, fnConfig("Restart=Y\r\nSkipIfTrue:a=a\r\nCaption=Never\r\n"));
    EXPECT_TRUE(s_ui.calls.empty());
    EXPECT_STREQ("One", g_szMsgTitle);
}

TEST_F(SettingsTest, MessageKeysAndStop)
{
    EXPECT_EQ(1u, fnConfig("MessageDlg=Hi Ann,,retryexit,Y\r\nMessageDlg=Plain\r\n"
                           "Message=Please wait,Y10,TopRight\r\nMessage=Stay\r\n"
                           "MessageBox=Text,Title,A very long button text that is cut here\r\nMessageBox=No caption\r\n"));
    std::vector<std::string> want = {"dlg Hi Ann|Install and Setup|110|5",
                                     "dlg Plain|Install and Setup|104|0",
                                     "popup Please wait|39|10|2",
                                     "popup Stay|39|0|5",
                                     "box Text|Title|0|A very long button text that is|(null)",
                                     "box No caption|Install and Setup|0|(null)|(null)"};
    EXPECT_EQ(want, s_ui.calls);

    s_ui.calls.clear();
    s_ui.bAnswerOK = FALSE;
    EXPECT_EQ(1u, fnConfig("MessageBoxEx=Go on?,Setup,OKCANCEL,EXITONOK\r\n"
                           "MessageBoxEx=Stop now?,Setup,OKCANCEL,EXITONCANCEL,Go,Halt\r\n"
                           "Caption=Never\r\nRestart=Y\r\n"));
    want = {"box Go on?|Setup|1|(null)|(null)", "box Stop now?|Setup|1|Go|Halt"};
    EXPECT_EQ(want, s_ui.calls);  /* stopped at once: no later key, no re-launch */
    EXPECT_TRUE(g_bStopProcessing);
    EXPECT_STREQ("Install and Setup", g_szMsgTitle);
}

TEST_F(SettingsTest, SleepAndDebugLevel)
{
    EXPECT_EQ(1u, fnConfig("Sleep=\r\nSleep=3\r\nSleep=0\r\nSleep=99999999999999\r\nSleep\r\nSleep=5\r\n"));
    /* a bare "Sleep" has no key and ends the reading; a huge value is capped below the endless wait */
    std::vector<std::string> want = {"sleep 1000", "sleep 3000", "sleep 0", "sleep 4294967294"};
    EXPECT_EQ(want, s_ui.calls);

    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), strDir.c_str());
    s_ui.calls.clear();
    EXPECT_EQ(1u, fnConfig("Debug=3,dbg.log\r\n"));
    EXPECT_EQ(3u, g_uDebugLevel);
    EXPECT_EQ(strDir + "\\dbg.log", std::string(g_szDebugFile));  /* joined to the source folder */
    g_uDebugLevel = 0;
    std::string strDbg = strDir + "/own.log";
    EXPECT_EQ(-1, fnCommand("Debug=3," + strDbg));
    EXPECT_EQ(strDbg, std::string(g_szDebugFile));  /* the command form takes the name as it is */
    EXPECT_EQ("", fnRead(strDbg));
    g_uDebugLevel = 0;
    std::string strBad = strDir + "/no/such/dir/x.log";
    fnCommand("Debug=3," + strBad);
    EXPECT_EQ(std::vector<std::string>{"error 1038 " + strBad}, s_ui.calls);
    s_ui.calls.clear();
    g_bQuiet = TRUE;  /* an unattended run logs it instead */
    g_uDebugLevel = 0;
    fnCommand("Debug=3," + strBad);
    EXPECT_TRUE(s_ui.calls.empty());
    fnCommand("Debug=1");
    EXPECT_EQ(1u, g_uDebugLevel);
    g_uDebugLevel = 0;
}

TEST_F(SettingsTest, FileKeysAndResultSlots)
{
    std::string strFile = strDir + "/a.txt";
    EXPECT_EQ(1, fnCommand("CreateFile=" + strFile));
    EXPECT_EQ(1, fnCommand("WriteLineToFile=" + strFile + ",first"));
    EXPECT_EQ(1, fnCommand("WriteLineToFile=" + strFile + ",second @D1"));
    EXPECT_EQ("first\r\nsecond \r\n", fnRead(strFile));
    EXPECT_EQ(-1, fnCommand("WriteLineToFile=" + strFile));  /* a missing field: nothing, no result */
    /* the parent folder is made when the file cannot be opened */
    std::string strDeep = strDir + "/sub/b.txt";
    EXPECT_EQ(1, fnCommand("WriteLineToFile=" + strDeep + ",x"));
    EXPECT_EQ(std::vector<std::string>{"tree " + strDir + "/sub"}, s_ui.calls);
    /* a name with a piece missing would name another file: refused */
    EXPECT_EQ(0, fnCommand("DeleteFile=@D1" + strFile));
    EXPECT_EQ(0, fnCommand("CreateFile=@D1/x"));
    EXPECT_EQ("first\r\nsecond \r\n", fnRead(strFile));
    EXPECT_EQ(1, fnCommand("DeleteFile=" + strFile));
    EXPECT_EQ(0, fnCommand("DeleteFile=" + strFile));
    EXPECT_EQ(-1, fnCommand("DeleteFile="));

    /* twelve values: slots 0-8, then slot 9 takes each later one */
    fnWrite(strFile, "line one\r\nline two\r\n");
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(1, fnCommand("ReadLineFromFile=" + strFile));
    s_ui.strIniValue = "4.2";
    EXPECT_EQ(1u, fnConfig("ReadLineFromFile=" + strFile + ",Version\r\n"));
    EXPECT_STREQ("line one", g_szCmdResult[0]);
    EXPECT_STREQ("line one", g_szCmdResult[8]);
    EXPECT_STREQ("4.2", g_szCmdResult[9]);
    EXPECT_EQ(9u, g_uCmdResult);
    /* nothing found stores nothing */
    fnResetOptStore();
    s_ui.strIniValue = "";
    EXPECT_EQ(1, fnCommand("ReadLineFromFile=" + strFile + ",Missing"));
    EXPECT_EQ(1, fnCommand("ReadLineFromFile=" + strDir + "/none.txt"));
    fnWrite(strFile, "\r\n");
    EXPECT_EQ(1, fnCommand("ReadLineFromFile=" + strFile));
    EXPECT_EQ(0u, g_uCmdResult);
}

TEST_F(SettingsTest, LogFileKey)
{
    EXPECT_EQ(1u, fnConfig("LogFile=@D1\r\n"));  /* a missing value names no log */
    EXPECT_FALSE(g_bLogFileSet);
    EXPECT_EQ(1u, fnConfig("LogFile=setup.log\r\n"));
    EXPECT_STREQ("setup.log", g_szLogFile);
    EXPECT_EQ(std::vector<std::string>{"log setup.log"}, s_ui.calls);
    /* while a log is open a command does not send its entries elsewhere */
    g_bLogOpen = TRUE;
    fnCommand("LogFile=other.log");
    fnCommand("LogFile=");
    EXPECT_STREQ("setup.log", g_szLogFile);
    g_bLogOpen = FALSE;
    fnCommand("LogFile=");
    EXPECT_STREQ("", g_szLogFile);
}

} // namespace
