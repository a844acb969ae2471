/*
 * commands/tests/accounts_win_test.cpp -- the account and domain operations
 * through a recording table (the exact calls, levels, flags and wide texts),
 * the password question answered as a person would, the commands with their
 * boxes and the stop of the run, passwords kept out of the debug log, and
 * the few real calls Wine answers (administrator, domain, missing join).
 */
#include <gtest/gtest.h>

#include <windows.h>
#include <lm.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "commands/accounts_win.h"
#include "commands/commands_win.h"
#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "driver/handlers.h"
#include "driver/sectiondriver.h"
#include "resource_commands.h"
#include "script/sysinfo_win.h"

namespace {

std::vector<std::string> s_calls;
std::vector<NET_API_STATUS> s_status;  /* answers of the recorded calls in turn; 0 when used up */
std::vector<std::wstring> s_groups;    /* the user's local groups */

std::string fnA(const WCHAR *lpwsz)
{
    if (!lpwsz)
        return "(none)";
    char sz[512];
    WideCharToMultiByte(CP_ACP, 0, lpwsz, -1, sz, sizeof(sz), NULL, NULL);
    return sz;
}

NET_API_STATUS fnNext()
{
    if (s_status.empty())
        return 0;
    NET_API_STATUS st = s_status.front();
    s_status.erase(s_status.begin());
    return st;
}

void fnRecord(const std::string &str)
{
    s_calls.push_back(str);
}

NET_API_STATUS WINAPI fnUserAdd(LPCWSTR, DWORD dwLevel, LPBYTE lpBuf, LPDWORD)
{
    const USER_INFO_1 *p = (const USER_INFO_1 *)lpBuf;
    fnRecord("UserAdd " + std::to_string(dwLevel) + " " + fnA(p->usri1_name) + " " + fnA(p->usri1_password) + " " +
             std::to_string(p->usri1_priv) + " " + std::to_string(p->usri1_flags));
    return fnNext();
}
NET_API_STATUS WINAPI fnUserDel(LPCWSTR, LPCWSTR lpwszUser)
{
    fnRecord("UserDel " + fnA(lpwszUser));
    return fnNext();
}
NET_API_STATUS WINAPI fnAddMembers(LPCWSTR, LPCWSTR lpwszGroup, DWORD dwLevel, LPBYTE lpBuf, DWORD n)
{
    fnRecord("AddMembers " + fnA(lpwszGroup) + " " + std::to_string(dwLevel) + " " +
             fnA(((LOCALGROUP_MEMBERS_INFO_3 *)lpBuf)->lgrmi3_domainandname) + " " + std::to_string(n));
    return fnNext();
}
NET_API_STATUS WINAPI fnGroupAdd(LPCWSTR, DWORD dwLevel, LPBYTE lpBuf, LPDWORD)
{
    fnRecord("GroupAdd " + std::to_string(dwLevel) + " " + fnA(((LOCALGROUP_INFO_0 *)lpBuf)->lgrpi0_name));
    return fnNext();
}
USER_INFO_3 s_info3;
NET_API_STATUS WINAPI fnGetInfo(LPCWSTR, LPCWSTR lpwszUser, DWORD dwLevel, LPBYTE *lplpBuf)
{
    fnRecord("GetInfo " + fnA(lpwszUser) + " " + std::to_string(dwLevel));
    memset(&s_info3, 0, sizeof(s_info3));
    s_info3.usri3_flags = UF_SCRIPT;
    *lplpBuf = (LPBYTE)&s_info3;
    return fnNext();
}
NET_API_STATUS WINAPI fnSetInfo(LPCWSTR, LPCWSTR lpwszUser, DWORD dwLevel, LPBYTE lpBuf, LPDWORD)
{
    const USER_INFO_3 *p = (const USER_INFO_3 *)lpBuf;
    fnRecord("SetInfo " + fnA(lpwszUser) + " " + std::to_string(dwLevel) + " expired=" +
             std::to_string(p->usri3_password_expired) + " flags=" + std::to_string(p->usri3_flags) + " pw=" +
             fnA(p->usri3_password));
    return fnNext();
}
NET_API_STATUS WINAPI fnBufferFree(LPVOID)
{
    return 0;
}
NET_API_STATUS WINAPI fnLocalGroups(LPCWSTR, LPCWSTR lpwszUser, DWORD dwLevel, DWORD dwFlags, LPBYTE *lplpBuf, DWORD,
                                    LPDWORD lpdwRead, LPDWORD lpdwTotal)
{
    static LOCALGROUP_USERS_INFO_0 s_aInfo[8];
    fnRecord("LocalGroups " + fnA(lpwszUser) + " " + std::to_string(dwLevel) + " " + std::to_string(dwFlags));
    NET_API_STATUS st = fnNext();
    *lpdwRead = *lpdwTotal = 0;
    *lplpBuf = NULL;
    if (st)
        return st;
    for (size_t i = 0; i < s_groups.size() && i < 8; i++)
        s_aInfo[i].lgrui0_name = (LPWSTR)s_groups[i].c_str();
    *lpdwRead = *lpdwTotal = (DWORD)s_groups.size();
    *lplpBuf = (LPBYTE)s_aInfo;
    return 0;
}
NET_API_STATUS WINAPI fnJoin(LPCWSTR, LPCWSTR lpwszDomain, LPCWSTR lpwszOU, LPCWSTR lpwszAccount, LPCWSTR lpwszPw,
                             DWORD dwFlags)
{
    char sz[32];
    fnFormatBounded(sz, sizeof(sz), "0x%lx", (unsigned long)dwFlags);
    fnRecord("Join " + fnA(lpwszDomain) + " " + fnA(lpwszOU) + " " + fnA(lpwszAccount) + " " + fnA(lpwszPw) + " " +
             sz);
    return fnNext();
}
NET_API_STATUS WINAPI fnRename(LPCWSTR, LPCWSTR lpwszName, LPCWSTR lpwszAccount, LPCWSTR lpwszPw, DWORD dwFlags)
{
    fnRecord("Rename " + fnA(lpwszName) + " " + fnA(lpwszAccount) + " " + fnA(lpwszPw) + " " +
             std::to_string(dwFlags));
    return fnNext();
}
NET_API_STATUS WINAPI fnUnjoin(LPCWSTR, LPCWSTR lpwszAccount, LPCWSTR lpwszPw, DWORD dwFlags)
{
    fnRecord("Unjoin " + fnA(lpwszAccount) + " " + fnA(lpwszPw) + " " + std::to_string(dwFlags));
    return fnNext();
}
void fnSleep(DWORD dwMs)
{
    fnRecord("Sleep " + std::to_string(dwMs));
}
void fnNoSleep(DWORD) {}
BOOL WINAPI fnSetName(int nKind, LPCSTR lpszName)
{
    fnRecord("SetComputerName " + std::to_string(nKind) + " " + lpszName);
    return TRUE;
}
std::vector<std::string> s_answers;  /* passwords the question is answered with; "" cancels */
BOOL fnAsk(const char *lpszMessage, char *lpszPassword, size_t cchPassword)
{
    fnRecord(std::string("Ask ") + lpszMessage);
    if (s_answers.empty() || s_answers.front().empty())
        return FALSE;
    fnCopyBounded(lpszPassword, cchPassword, s_answers.front().c_str());
    s_answers.erase(s_answers.begin());
    return TRUE;
}
BOOL WINAPI fnAdminNo(void)
{
    return FALSE;
}
BOOL WINAPI fnTokenNo(HANDLE, PSID, PBOOL lpb)
{
    *lpb = FALSE;
    return TRUE;
}

std::vector<std::string> s_boxes;
BOOL s_bBoxAnswer = TRUE;
BOOL fnBox(const char *lpszText, const char *lpszCaption, BOOL bOkCancel, const char *, const char *)
{
    s_boxes.push_back(std::string(bOkCancel ? "OKCANCEL " : "OK ") + lpszCaption + ": " + lpszText);
    return s_bBoxAnswer;
}

#define ACTIVE_KEY "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName"

class AccountsTest : public ::testing::Test {
  protected:
    NetApiStruct saved;
    CmdKernelStruct savedKernel;
    MprStruct savedMpr;
    SettingsUiStruct ui;
    UserInputStruct input;
    char szActive[MAX_PATH] = "";
    void SetUp() override
    {
        fnResetRunState();
        fnLoadNetApi();
        fnLoadCmdKernel();
        saved = g_netApi;
        savedKernel = g_cmdKernel;
        NetApiStruct t = g_netApi;  /* the group-name lookups stay real */
        t.pfnNetUserAdd = fnUserAdd;
        t.pfnNetUserDel = fnUserDel;
        t.pfnNetLocalGroupAddMembers = fnAddMembers;
        t.pfnNetLocalGroupAdd = fnGroupAdd;
        t.pfnNetUserGetInfo = fnGetInfo;
        t.pfnNetUserSetInfo = fnSetInfo;
        t.pfnNetApiBufferFree = fnBufferFree;
        t.pfnNetUserGetLocalGroups = fnLocalGroups;
        t.pfnNetJoinDomain = fnJoin;
        t.pfnNetRenameMachineInDomain = fnRename;
        t.pfnNetUnjoinDomain = fnUnjoin;
        t.pfnSleep = fnSleep;
        t.pfnAskPassword = fnAsk;
        t.bNetApiFound = TRUE;
        g_netApi = t;
        g_cmdKernel.pfnSetComputerNameExA = fnSetName;
        savedMpr = g_mpr;
        g_mpr.pfnSleep = fnNoSleep;  /* this system has no network: MapDrive's retries need no waits */
        s_calls.clear();
        s_status.clear();
        s_answers.clear();
        s_boxes.clear();
        s_bBoxAnswer = TRUE;
        ui = g_settingsUiWin;
        ui.pfnMessageBox = fnBox;
        g_lpSettingsUi = &ui;
        memset(&input, 0, sizeof(input));
        input.uQuiet = 1;
        g_lpUserInput = &input;
        fnGetRegistry(HKEY_LOCAL_MACHINE, ACTIVE_KEY "\\ComputerName", szActive, sizeof(szActive));
    }
    void TearDown() override
    {
        g_netApi = saved;
        g_cmdKernel = savedKernel;
        g_mpr = savedMpr;
        g_lpSettingsUi = &g_settingsUiNone;
        g_lpUserInput = NULL;
        g_bQuiet = FALSE;
        g_uDebugLevel = 0;
        /* the active computer name is the running system's: always as it was */
        if (szActive[0])
            fnRegOpenAndSet(HKEY_LOCAL_MACHINE, ACTIVE_KEY, "ComputerName", szActive, REG_SZ, FALSE);
    }
    std::string fnCalls()
    {
        std::string str;
        for (const auto &s : s_calls)
            str += s + "\n";
        return str;
    }
    UINT fnRun(const std::string &strBody)
    {
        std::string strSection = "[Set]\r\n" + strBody;
        return fnReadCommand(NULL, strSection.c_str(), "[Set]");
    }
};

TEST_F(AccountsTest, CreateUserAsksWhileThePolicyRefuses)
{
    /* refused twice: asked each time, the new password tried; then made and put in the group */
    s_status = {2245, 2245, 0, 0};
    s_answers = {"Second1", "Third1"};
    fnCreateLocalUser("jdoe", "first", TRUE, "");
    EXPECT_EQ("UserAdd 1 jdoe first 1 1\n"
              "Ask Password is not compatible with password policy - please re-enter\n"
              "UserAdd 1 jdoe Second1 1 1\n"
              "Ask Password is not compatible with password policy - please re-enter\n"
              "UserAdd 1 jdoe Third1 1 1\n"
              "AddMembers Administrators 3 jdoe 1\n",
              fnCalls());
    /* an existing account still goes into the group; a cancelled question ends it all */
    s_calls.clear();
    s_status = {NETST_ACCOUNT_EXISTS};
    fnCreateLocalUser("jdoe", "pw", FALSE, "Try again");
    EXPECT_EQ("UserAdd 1 jdoe pw 1 1\nAddMembers Users 3 jdoe 1\n", fnCalls());
    s_calls.clear();
    s_status = {2245};
    fnCreateLocalUser("jdoe", "pw", FALSE, "Try again");
    EXPECT_EQ("UserAdd 1 jdoe pw 1 1\nAsk Try again\n", fnCalls());
    /* a quiet run cannot be asked: taken as Cancel */
    s_calls.clear();
    s_status = {2245};
    g_bQuiet = TRUE;
    fnCreateLocalUser("jdoe", "pw", FALSE, "");
    EXPECT_EQ("UserAdd 1 jdoe pw 1 1\n", fnCalls());
    /* a missing function: logged, nothing called */
    s_calls.clear();
    g_netApi.pfnNetUserAdd = NULL;
    fnCreateLocalUser("jdoe", "pw", FALSE, "");
    EXPECT_EQ("", fnCalls());
}

TEST_F(AccountsTest, ChangeRenameAndGroups)
{
    fnChangeLocalUser("jdoe", "pw", "ChangePWAtNextLogin");
    fnChangeLocalUser("jdoe", "pw", "pwneverexpires");
    fnChangeLocalUser("jdoe", "New1", "ChangePassword");
    fnChangeLocalUser("jdoe", "New1", "Other");
    EXPECT_EQ("GetInfo jdoe 3\nSetInfo jdoe 3 expired=1 flags=1 pw=(none)\n"
              "GetInfo jdoe 3\nSetInfo jdoe 3 expired=0 flags=65537 pw=(none)\n"
              "GetInfo jdoe 3\nSetInfo jdoe 3 expired=0 flags=1 pw=New1\n"
              "GetInfo jdoe 3\nSetInfo jdoe 3 expired=0 flags=1 pw=(none)\n",
              fnCalls());
    s_calls.clear();
    s_status = {2221};
    fnChangeLocalUser("nobody", "pw", "ChangePassword");
    EXPECT_EQ("GetInfo nobody 3\n", fnCalls());
    /* a missing group is made once and the user added again; a second "not found" fails */
    s_calls.clear();
    s_status = {NETST_GROUP_NOT_FOUND, 0, 0};
    EXPECT_TRUE(fnAddUserToLocalGroup("jdoe", "Staff"));
    s_status = {NETST_GROUP_NOT_FOUND, 0, NETST_GROUP_NOT_FOUND};
    EXPECT_FALSE(fnAddUserToLocalGroup("jdoe", "Staff"));
    EXPECT_EQ("AddMembers Staff 3 jdoe 1\nGroupAdd 0 Staff\nAddMembers Staff 3 jdoe 1\n"
              "AddMembers Staff 3 jdoe 1\nGroupAdd 0 Staff\nAddMembers Staff 3 jdoe 1\n",
              fnCalls());
    /* a name over 255 characters would be cut into another account: refused */
    s_calls.clear();
    fnRenameLocalUser(std::string(300, 'x').c_str(), "y");
    EXPECT_EQ("", fnCalls());
}

TEST_F(AccountsTest, MembershipAndAdministrator)
{
    BOOL b = TRUE;
    s_groups = {L"Users", L"staff"};
    EXPECT_TRUE(fnIsUserMemberOf("jdoe", "Staff", &b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(fnIsUserMemberOf("jdoe", "Other", &b));
    EXPECT_FALSE(b);
    EXPECT_TRUE(fnIsUserLocalAdmin("jdoe", &b));
    EXPECT_FALSE(b);
    /* a member of the administrators is a member of every group */
    s_groups = {L"Administrators"};
    EXPECT_TRUE(fnIsUserMemberOf("jdoe", "Anything", &b));
    EXPECT_TRUE(b);
    s_status = {2221};
    EXPECT_FALSE(fnIsUserMemberOf("jdoe", "Staff", &b));
    EXPECT_FALSE(b);
    EXPECT_EQ("LocalGroups jdoe 0 1\n", s_calls[0] + "\n");
    /* the shell's test says no: the token decides */
    g_netApi.pfnIsUserAnAdmin = fnAdminNo;
    g_netApi.pfnCheckTokenMembership = fnTokenNo;
    EXPECT_TRUE(fnIsCurrentUserLocalAdmin(&b));
    EXPECT_FALSE(b);
}

TEST_F(AccountsTest, JoinTriesRenamesAndRestores)
{
    /* created account refused, joined without creating it; then renamed in the (dotless) domain */
    s_status = {NETST_ALREADY_JOINED, 0, 0};
    g_netApi.pfnNetGetJoinInformation = NULL;  /* not in a domain as far as the join can tell */
    fnJoinDomain("CORP", "", "WS01", "admin", "pw", TRUE);
    EXPECT_EQ("SetComputerName 5 WS01\n"
              "Join CORP (none) admin@CORP pw 0x123\nSleep 5000\nJoin CORP (none) admin@CORP pw 0x121\n"
              "Sleep 5000\nRename WS01 CORP\\admin pw 2\n",
              fnCalls());
    char sz[MAX_PATH] = "";
    fnGetRegistry(HKEY_LOCAL_MACHINE, ACTIVE_KEY "\\ComputerName", sz, sizeof(sz));
    EXPECT_STREQ(szActive[0] ? "WS01" : "", sz);
    /* every attempt fails: the rename is given up, and the active name comes back */
    if (szActive[0])
        fnRegOpenAndSet(HKEY_LOCAL_MACHINE, ACTIVE_KEY, "ComputerName", szActive, REG_SZ, FALSE);
    s_calls.clear();
    s_status = {53, 53, 53};
    fnJoinDomain("corp.example", "OU=PCs", "WS02", "", "pw", TRUE);
    EXPECT_EQ("SetComputerName 5 WS02\n"
              "Join corp.example OU=PCs (none) (none) 0x123\nSleep 5000\n"
              "Join corp.example OU=PCs (none) (none) 0x121\nSleep 5000\n"
              "Join corp.example OU=PCs (none) (none) 0x21\n",
              fnCalls());
    fnGetRegistry(HKEY_LOCAL_MACHINE, ACTIVE_KEY "\\ComputerName", sz, sizeof(sz));
    EXPECT_STREQ(szActive, sz);
    s_calls.clear();
    fnUnJoinDomain("corp.example", "admin", "pw");
    fnUnJoinDomain("corp.example", "", "pw");
    EXPECT_EQ("Unjoin admin@corp.example pw 4\nUnjoin (none) (none) 4\n", fnCalls());
}

TEST_F(AccountsTest, CommandsStopTheRunAndHidePasswords)
{
    char szLog[MAX_PATH];
    GetTempPathA(sizeof(szLog), szLog);
    fnAppendBounded(szLog, sizeof(szLog), "tgaccounts.log");
    DeleteFileA(szLog);
    fnCopyBounded(g_szDebugFile, sizeof(g_szDebugFile), szLog);
    g_uDebugLevel = 3;
    s_groups = {L"Users"};
    EXPECT_EQ(1u, fnRun("CreateLocalUser=jdoe,Zq9SecretPw,Y\r\nChangeLocalUser=jdoe,Zq9OtherPw,ChangePassword\r\n"
                        "JoinDomain=CORP,,,admin,Zq9JoinPw\r\nMapDrive=Q:,\\\\srv\\share,admin,Zq9MapPw\r\n"
                        "IsUserMemberOf=jdoe,Staff,Display\r\nIsUserMemberOf=jdoe,Users,Display,,Check\r\n"
                        "IsUserMemberOf=jdoe,Staff,ExitWithMessage\r\nDelLocalUser=jdoe\r\n"));
    g_uDebugLevel = 0;
    std::ifstream in(szLog);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_NE(std::string::npos, ss.str().find("fnCreateLocalUser"));
    size_t nAt = ss.str().find("Zq9");
    EXPECT_EQ(std::string::npos, nAt) << ss.str().substr(nAt > 200 ? nAt - 200 : 0, 300);
    DeleteFileA(szLog);
    g_szDebugFile[0] = '\0';
    EXPECT_NE(std::string::npos, fnCalls().find("UserAdd 1 jdoe Zq9SecretPw 1 1\n"));
    /* the stop comes before the line behind it, the run fails without its closing message */
    EXPECT_EQ(std::string::npos, fnCalls().find("Del"));
    ASSERT_EQ(2u, s_boxes.size());
    EXPECT_EQ("OK Check: User jdoe is a member of Users.", s_boxes[0]);
    EXPECT_EQ(std::string("OK ") + g_szMsgTitle +
                  ": User jdoe is not a member of Staff. To continue, please login with an appropriate account.",
              s_boxes[1]);
    EXPECT_TRUE(g_bStopProcessing);
    EXPECT_EQ(0u, input.uQuiet);
    EXPECT_EQ(1u, input.uFailed);
    EXPECT_TRUE(g_bStoppedByRule);
    /* OK on the Continue box goes on; Cancel stops */
    fnResetRunState();
    input.uFailed = 0;
    s_boxes.clear();
    s_bBoxAnswer = TRUE;
    EXPECT_EQ(1u, fnRun("IsUserMemberOf=jdoe,Staff,Continue\r\nIsUserMemberOf=jdoe,Users,ExitWithoutMessage\r\n"));
    EXPECT_FALSE(g_bStopProcessing);
    s_bBoxAnswer = FALSE;
    EXPECT_EQ(1u, fnRun("IsUserMemberOf=jdoe,Staff,Continue\r\n"));
    EXPECT_TRUE(g_bStopProcessing);
    EXPECT_TRUE(g_bUserChoseExit);
    EXPECT_FALSE(g_bStoppedByRule);
    EXPECT_EQ(2u, s_boxes.size());
    /* the administrator test of the current user, told "no" by the token */
    fnResetRunState();
    g_netApi.pfnIsUserAnAdmin = fnAdminNo;
    g_netApi.pfnCheckTokenMembership = fnTokenNo;
    EXPECT_EQ(1u, fnRun("AmILocalAdmin=ExitWithoutMessage\r\nCreateFile=C:\\never\\x.txt\r\n"));
    EXPECT_TRUE(g_bStopProcessing);
}

/* Answers the password dialog from outside: first two entries that differ, then two that match. */
TEST_F(AccountsTest, PasswordDialog)
{
    std::string strShown;
    std::thread answer([&strShown] {
        HWND hDlg = NULL;
        for (int i = 0; i < 200 && !hDlg; i++, Sleep(25))
            hDlg = FindWindowA(NULL, "Password Invalid");
        if (!hDlg)
            return;
        SetDlgItemTextA(hDlg, IDC_PW_NEW, "abc");
        SetDlgItemTextA(hDlg, IDC_PW_CONFIRM, "abd");
        SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
        char sz[256] = "";
        GetDlgItemTextA(hDlg, IDC_PW_MESSAGE, sz, sizeof(sz));
        strShown = sz;
        SetDlgItemTextA(hDlg, IDC_PW_NEW, "Good1");
        SetDlgItemTextA(hDlg, IDC_PW_CONFIRM, "Good1");
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
    });
    char szPw[64] = "x";
    EXPECT_TRUE(fnAskPasswordDialog("Policy says no", szPw, sizeof(szPw)));
    answer.join();
    EXPECT_EQ("Password entries do not match - please try again", strShown);
    EXPECT_STREQ("Good1", szPw);
}

/* What Wine really answers: an administrator, no domain, and no join function (nothing changes). */
TEST(AccountsRealTest, WineAnswers)
{
    g_netApi.bLoaded = FALSE;
    fnLoadNetApi();
    BOOL b = FALSE;
    WCHAR wsz[256];
    EXPECT_TRUE(fnGetLocalGroupName(wsz, 256, TRUE));
    EXPECT_TRUE(fnIsCurrentUserLocalAdmin(&b));
    EXPECT_TRUE(b);
    EXPECT_FALSE(fnIsComputerInDomain("CORP"));
    if (g_netApi.pfnNetJoinDomain)
        GTEST_SKIP() << "this system has NetJoinDomain; a real join is not tried here";
    char szBefore[MAX_PATH] = "", szAfter[MAX_PATH] = "";
    fnGetRegistry(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName\\ComputerName",
                  szBefore, sizeof(szBefore));
    fnJoinDomain("CORP", "", "TGNEWNAME", "admin", "pw", TRUE);
    fnGetRegistry(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName\\ComputerName",
                  szAfter, sizeof(szAfter));
    EXPECT_STREQ(szBefore, szAfter);
}

}  // namespace
