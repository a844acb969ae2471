/*
 * commands/accounts_win.cpp -- local accounts, local groups, administrator
 * and membership tests, and domain membership (see commands/accounts_win.h).
 * Every system function is reached through g_netApi: none is imported, since
 * several are missing from some systems and a call through a missing import
 * would end the program. Texts are converted to two-byte characters of the
 * system code page, at most 255 of them; a longer one is refused, because a
 * cut name would name another account.
 */
#include "commands/accounts_win.h"

#include <sddl.h>
#include <string.h>

#include "commands/cmdrules.h"
#include "commands/commands_win.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "script/sysinfo_win.h"
#include "driver/winstate.h"
#include "resource_commands.h"

NetApiStruct g_netApi;

#define CCH_WNAME 256

#define ACTIVE_NAME_KEY "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName"

static void fnRealSleep(DWORD dwMs)
{
    Sleep(dwMs);
}

void fnLoadNetApi(void)
{
    if (g_netApi.bLoaded)
        return;
    g_netApi.bLoaded = TRUE;
    g_netApi.pfnSleep = fnRealSleep;
    g_netApi.pfnAskPassword = fnAskPasswordDialog;
    /* kept loaded for the rest of the run: the table points into them */
    HMODULE hNet = fnLoadSystemDll("NETAPI32.DLL");
    g_netApi.bNetApiFound = hNet != NULL;
    if (hNet) {
        NetApiStruct *t = &g_netApi;
        t->pfnNetUserAdd = FN_GET_PROC(decltype(t->pfnNetUserAdd), hNet, "NetUserAdd");
        t->pfnNetUserDel = FN_GET_PROC(decltype(t->pfnNetUserDel), hNet, "NetUserDel");
        t->pfnNetUserGetInfo = FN_GET_PROC(decltype(t->pfnNetUserGetInfo), hNet, "NetUserGetInfo");
        t->pfnNetUserSetInfo = FN_GET_PROC(decltype(t->pfnNetUserSetInfo), hNet, "NetUserSetInfo");
        t->pfnNetLocalGroupAdd = FN_GET_PROC(decltype(t->pfnNetLocalGroupAdd), hNet, "NetLocalGroupAdd");
        t->pfnNetLocalGroupAddMembers =
            FN_GET_PROC(decltype(t->pfnNetLocalGroupAddMembers), hNet, "NetLocalGroupAddMembers");
        t->pfnNetLocalGroupDelMembers =
            FN_GET_PROC(decltype(t->pfnNetLocalGroupDelMembers), hNet, "NetLocalGroupDelMembers");
        t->pfnNetUserGetLocalGroups = FN_GET_PROC(decltype(t->pfnNetUserGetLocalGroups), hNet, "NetUserGetLocalGroups");
        t->pfnNetGetJoinInformation = FN_GET_PROC(decltype(t->pfnNetGetJoinInformation), hNet, "NetGetJoinInformation");
        t->pfnNetJoinDomain = FN_GET_PROC(decltype(t->pfnNetJoinDomain), hNet, "NetJoinDomain");
        t->pfnNetUnjoinDomain = FN_GET_PROC(decltype(t->pfnNetUnjoinDomain), hNet, "NetUnjoinDomain");
        t->pfnNetRenameMachineInDomain =
            FN_GET_PROC(decltype(t->pfnNetRenameMachineInDomain), hNet, "NetRenameMachineInDomain");
        t->pfnNetApiBufferFree = FN_GET_PROC(decltype(t->pfnNetApiBufferFree), hNet, "NetApiBufferFree");
    } else {
        fnDebugLog("fnLoadNetApi", "NETAPI32.DLL not loaded, error %lu", g_uDebugLevel, GetLastError());
    }
    HMODULE hAdv = fnLoadSystemDll("ADVAPI32.DLL");
    if (hAdv) {
        NetApiStruct *t = &g_netApi;
        t->pfnConvertStringSidToSidW =
            FN_GET_PROC(decltype(t->pfnConvertStringSidToSidW), hAdv, "ConvertStringSidToSidW");
        t->pfnIsValidSid = FN_GET_PROC(decltype(t->pfnIsValidSid), hAdv, "IsValidSid");
        t->pfnLookupAccountSidW = FN_GET_PROC(decltype(t->pfnLookupAccountSidW), hAdv, "LookupAccountSidW");
        t->pfnAllocateAndInitializeSid =
            FN_GET_PROC(decltype(t->pfnAllocateAndInitializeSid), hAdv, "AllocateAndInitializeSid");
        t->pfnCheckTokenMembership = FN_GET_PROC(decltype(t->pfnCheckTokenMembership), hAdv, "CheckTokenMembership");
        t->pfnFreeSid = FN_GET_PROC(decltype(t->pfnFreeSid), hAdv, "FreeSid");
    }
    HMODULE hShell = fnLoadSystemDll("SHELL32.DLL");
    if (hShell)
        g_netApi.pfnIsUserAnAdmin = FN_GET_PROC(decltype(g_netApi.pfnIsUserAnAdmin), hShell, "IsUserAnAdmin");
}

/*
 * TRUE when the operation lpszOp can call function lpszFn (pfn). Otherwise
 * the debug log says what is missing, under a title naming the operation.
 */
static BOOL fnHave(const char *lpszOp, const void *pfn, const char *lpszFn)
{
    char szTitle[128];
    if (strncmp(lpszFn, "Net", 3) == 0 && !g_netApi.bNetApiFound) {
        fnFormatBounded(szTitle, sizeof(szTitle), "%s error missing NETAPI32.DLL", lpszOp);
        fnDebugLog(szTitle, "The operation does nothing", g_uDebugLevel);
        return FALSE;
    }
    if (pfn)
        return TRUE;
    fnFormatBounded(szTitle, sizeof(szTitle), "%s %s not found", lpszOp, lpszFn);
    fnDebugLog(szTitle, "The operation does nothing", g_uDebugLevel);
    return FALSE;
}
/* the table is filled before the entry is read */
#define HAVE(op, name) (fnLoadNetApi(), fnHave(op, (const void *)g_netApi.pfn##name, #name))

/* An ANSI text as two-byte characters; FALSE (logged under lpszOp) when it is over 255 characters. */
static BOOL fnWide(const char *lpszOp, const char *lpszText, WCHAR *lpwszOut)
{
    lpwszOut[0] = 0;
    if (!lpszText || !lpszText[0])
        return TRUE;
    if (strlen(lpszText) >= CCH_WNAME ||
        MultiByteToWideChar(CP_ACP, 0, lpszText, -1, lpwszOut, CCH_WNAME) <= 0) {
        lpwszOut[0] = 0;
        fnDebugLog(lpszOp, "Text too long for the system call, refused\nlpszText=%.64s...", g_uDebugLevel, lpszText);
        return FALSE;
    }
    return TRUE;
}

static void fnNarrow(const WCHAR *lpwsz, char *lpszOut, size_t cchOut)
{
    if (WideCharToMultiByte(CP_ACP, 0, lpwsz, -1, lpszOut, (int)cchOut, NULL, NULL) <= 0)
        lpszOut[0] = '\0';
    lpszOut[cchOut - 1] = '\0';
}

static void fnWipe(WCHAR *lpwsz)
{
    SecureZeroMemory(lpwsz, CCH_WNAME * sizeof(WCHAR));
}

BOOL fnGetLocalGroupName(WCHAR *lpwszName, size_t cchName, BOOL bAdmin)
{
    const WCHAR *lpwszDefault = bAdmin ? L"Administrators" : L"Users";
    lstrcpynW(lpwszName, lpwszDefault, (int)cchName);
    if (!HAVE("fnGetLocalGroupName", ConvertStringSidToSidW) || !HAVE("fnGetLocalGroupName", IsValidSid) ||
        !HAVE("fnGetLocalGroupName", LookupAccountSidW))
        return FALSE;
    PSID pSid = NULL;
    if (!g_netApi.pfnConvertStringSidToSidW(bAdmin ? L"S-1-5-32-544" : L"S-1-5-32-545", &pSid) || !pSid) {
        fnDebugLog("fnGetLocalGroupName", "Not a valid SID, error %lu", g_uDebugLevel, GetLastError());
        return FALSE;
    }
    BOOL bRC = FALSE;
    if (!g_netApi.pfnIsValidSid(pSid)) {
        fnDebugLog("fnGetLocalGroupName", "Not a valid SID", g_uDebugLevel);
    } else {
        WCHAR wszName[CCH_WNAME], wszDomain[CCH_WNAME];
        DWORD cchN = 0, cchD = 0;
        SID_NAME_USE use;
        /* the sizes first; a name that would not fit keeps the default */
        g_netApi.pfnLookupAccountSidW(NULL, pSid, NULL, &cchN, NULL, &cchD, &use);
        if (cchN > 0 && cchN <= CCH_WNAME && cchN <= cchName && cchD <= CCH_WNAME &&
            g_netApi.pfnLookupAccountSidW(NULL, pSid, wszName, &cchN, wszDomain, &cchD, &use)) {
            lstrcpynW(lpwszName, wszName, (int)cchName);
            bRC = TRUE;
        }
    }
    LocalFree(pSid);
    fnDebugLog(bRC ? "fnGetLocalGroupName success" : "fnGetLocalGroupName error use default", "bAdmin=%d",
               g_uDebugLevel, bAdmin);
    return bRC;
}

void fnCreateLocalUser(const char *lpszUser, const char *lpszPassword, BOOL bAdmin, const char *lpszMessage)
{
    static const char s_szOp[] = "fnCreateLocalUser";
    if (!HAVE(s_szOp, NetUserAdd) || !HAVE(s_szOp, NetLocalGroupAddMembers))
        return;
    WCHAR wszUser[CCH_WNAME], wszPassword[CCH_WNAME];
    if (!fnWide(s_szOp, lpszUser, wszUser) || !wszUser[0] || !fnWide(s_szOp, lpszPassword, wszPassword))
        return;
    const char *lpszAsk = lpszMessage && lpszMessage[0]
                              ? lpszMessage
                              : "Password is not compatible with password policy - please re-enter";
    BOOL bMade = FALSE;
    for (;;) {
        USER_INFO_1 ui = {wszUser, wszPassword, 0, USER_PRIV_USER, NULL, NULL, UF_SCRIPT, NULL};
        DWORD dwParm = 0;
        NET_API_STATUS st = g_netApi.pfnNetUserAdd(NULL, 1, (LPBYTE)&ui, &dwParm);
        if (st == NERR_Success) {
            fnDebugLog("fnCreateLocalUser NetUserAdd Success", "User %s", g_uDebugLevel, lpszUser);
            fnWriteLog("CreateLocalUser=%s", TRUE, lpszUser);
            bMade = TRUE;
            break;
        }
        if (st == NETST_ACCOUNT_EXISTS) {
            fnDebugLog("fnCreateLocalUser NetUserAdd", "User %s exists already", g_uDebugLevel, lpszUser);
            bMade = TRUE;
            break;
        }
        if (st != NETST_PASSWORD_POLICY) {
            fnDebugLog("fnCreateLocalUser NetUserAdd Error", "User %s, status %lu", g_uDebugLevel, lpszUser,
                       (unsigned long)st);
            break;
        }
        /* an unattended run cannot answer the password question: it is taken as Cancel */
        if (g_bQuiet) {
            fnDebugLog("fnCreateLocalUser NetUserAdd Error", "Password refused by the policy; quiet run, not asked",
                       g_uDebugLevel);
            break;
        }
        char szNew[CCH_WNAME] = "";
        BOOL bOK = g_netApi.pfnAskPassword(lpszAsk, szNew, sizeof(szNew));
        BOOL bTaken = bOK && fnWide(s_szOp, szNew, wszPassword);
        SecureZeroMemory(szNew, sizeof(szNew));
        if (!bTaken) {
            fnDebugLog("fnCreateLocalUser", "Password question cancelled, user %s not created", g_uDebugLevel,
                       lpszUser);
            break;
        }
    }
    fnWipe(wszPassword);
    if (!bMade)
        return;
    WCHAR wszGroup[CCH_WNAME];
    fnGetLocalGroupName(wszGroup, CCH_WNAME, bAdmin);
    LOCALGROUP_MEMBERS_INFO_3 member = {wszUser};
    NET_API_STATUS st = g_netApi.pfnNetLocalGroupAddMembers(NULL, wszGroup, 3, (LPBYTE)&member, 1);
    char szGroup[CCH_WNAME];
    fnNarrow(wszGroup, szGroup, sizeof(szGroup));
    fnDebugLog(st == NERR_Success ? "fnCreateLocalUser NetLocalGroupAddMembers Success"
                                  : "fnCreateLocalUser NetGroupAddMembers Error",
               "User %s, group %s, status %lu", g_uDebugLevel, lpszUser, szGroup, (unsigned long)st);
    if (st == NERR_Success)
        fnWriteLog("AddUserToLocalGroup=%s,%s", TRUE, lpszUser, szGroup);
}

BOOL fnDelLocalUser(const char *lpszUser)
{
    WCHAR wszUser[CCH_WNAME];
    if (!HAVE("fnDelLocalUser", NetUserDel) || !fnWide("fnDelLocalUser", lpszUser, wszUser) || !wszUser[0])
        return FALSE;
    NET_API_STATUS st = g_netApi.pfnNetUserDel(NULL, wszUser);
    fnDebugLog(st == NERR_Success ? "fnDelLocalUser NetUserDel Success" : "fnDelLocalUser NetUserDel Error",
               "User %s, status %lu", g_uDebugLevel, lpszUser, (unsigned long)st);
    if (st == NERR_Success)
        fnWriteLog("DelLocalUser=%s", TRUE, lpszUser);
    return st == NERR_Success;
}

void fnChangeLocalUser(const char *lpszUser, const char *lpszPassword, const char *lpszOption)
{
    static const char s_szOp[] = "fnChangeLocalUser";
    if (!HAVE(s_szOp, NetUserGetInfo) || !HAVE(s_szOp, NetUserSetInfo) || !HAVE(s_szOp, NetApiBufferFree))
        return;
    WCHAR wszUser[CCH_WNAME], wszPassword[CCH_WNAME];
    if (!fnWide(s_szOp, lpszUser, wszUser) || !wszUser[0] || !fnWide(s_szOp, lpszPassword, wszPassword))
        return;
    LPBYTE lpBuf = NULL;
    NET_API_STATUS st = g_netApi.pfnNetUserGetInfo(NULL, wszUser, 3, &lpBuf);
    if (st != NERR_Success || !lpBuf) {
        fnDebugLog("fnChangeLocalUser NetUserGetInfo Error", "User %s, status %lu", g_uDebugLevel, lpszUser,
                   (unsigned long)st);
        if (lpBuf)
            g_netApi.pfnNetApiBufferFree(lpBuf);
        fnWipe(wszPassword);
        return;
    }
    USER_INFO_3 *lpInfo = (USER_INFO_3 *)lpBuf;
    if (fnEqualNoCase(lpszOption, "ChangePWAtNextLogin"))
        lpInfo->usri3_password_expired = 1;
    else if (fnEqualNoCase(lpszOption, "PWNeverExpires"))
        lpInfo->usri3_flags |= UF_DONT_EXPIRE_PASSWD;
    else if (fnEqualNoCase(lpszOption, "ChangePassword"))
        lpInfo->usri3_password = wszPassword;
    DWORD dwParm = 0;
    st = g_netApi.pfnNetUserSetInfo(NULL, wszUser, 3, lpBuf, &dwParm);
    lpInfo->usri3_password = NULL;
    fnWipe(wszPassword);
    g_netApi.pfnNetApiBufferFree(lpBuf);
    fnDebugLog(st == NERR_Success ? "fnChangeLocalUser NetUserSetInfo Success" : "fnChangeLocalUser NetUserSetInfo Error",
               "User %s, option %s, status %lu", g_uDebugLevel, lpszUser, lpszOption, (unsigned long)st);
    if (st == NERR_Success)
        fnWriteLog("ChangeLocalUser=%s,%s", TRUE, lpszUser, lpszOption);
}

void fnRenameLocalUser(const char *lpszUser, const char *lpszNewName)
{
    static const char s_szOp[] = "fnRenameLocalUser";
    if (!HAVE(s_szOp, NetUserGetInfo) || !HAVE(s_szOp, NetUserSetInfo) || !HAVE(s_szOp, NetApiBufferFree))
        return;
    WCHAR wszUser[CCH_WNAME], wszNew[CCH_WNAME];
    if (!fnWide(s_szOp, lpszUser, wszUser) || !fnWide(s_szOp, lpszNewName, wszNew) || !wszUser[0] || !wszNew[0])
        return;
    LPBYTE lpBuf = NULL;
    NET_API_STATUS st = g_netApi.pfnNetUserGetInfo(NULL, wszUser, 0, &lpBuf);
    if (st != NERR_Success || !lpBuf) {
        fnDebugLog("fnRenameLocalUser NetUserGetInfo Error", "User %s, status %lu", g_uDebugLevel, lpszUser,
                   (unsigned long)st);
        if (lpBuf)
            g_netApi.pfnNetApiBufferFree(lpBuf);
        return;
    }
    ((USER_INFO_0 *)lpBuf)->usri0_name = wszNew;
    DWORD dwParm = 0;
    st = g_netApi.pfnNetUserSetInfo(NULL, wszUser, 0, lpBuf, &dwParm);
    g_netApi.pfnNetApiBufferFree(lpBuf);
    fnDebugLog(st == NERR_Success ? "fnRenameLocalUser NetUserSetInfo Success" : "fnRenameLocalUser NetUserSetInfo Error",
               "User %s, new name %s, status %lu", g_uDebugLevel, lpszUser, lpszNewName, (unsigned long)st);
    if (st == NERR_Success)
        fnWriteLog("RenameLocalUser=%s,%s", TRUE, lpszUser, lpszNewName);
}

BOOL fnAddUserToLocalGroup(const char *lpszUser, const char *lpszGroup)
{
    static const char s_szOp[] = "fnAddUserToLocalGroup";
    WCHAR wszUser[CCH_WNAME], wszGroup[CCH_WNAME];
    if (!HAVE(s_szOp, NetLocalGroupAddMembers) || !fnWide(s_szOp, lpszUser, wszUser) ||
        !fnWide(s_szOp, lpszGroup, wszGroup) || !wszUser[0] || !wszGroup[0])
        return FALSE;
    LOCALGROUP_MEMBERS_INFO_3 member = {wszUser};
    BOOL bCreated = FALSE;
    for (;;) {
        NET_API_STATUS st = g_netApi.pfnNetLocalGroupAddMembers(NULL, wszGroup, 3, (LPBYTE)&member, 1);
        if (st == NERR_Success) {
            fnDebugLog("fnAddUserToLocalGroup NetLocalGroupAddMembers Success", "User %s, group %s", g_uDebugLevel,
                       lpszUser, lpszGroup);
            fnWriteLog("AddUserToLocalGroup=%s,%s", TRUE, lpszUser, lpszGroup);
            return TRUE;
        }
        if (st != NETST_GROUP_NOT_FOUND || bCreated || !HAVE(s_szOp, NetLocalGroupAdd)) {
            fnDebugLog("fnAddUserToLocalGroup NetLocalGroupAddMembers Error", "User %s, group %s, status %lu",
                       g_uDebugLevel, lpszUser, lpszGroup, (unsigned long)st);
            return FALSE;
        }
        fnDebugLog("fnAddUserToLocalGroup NetLocalGroupAddMembers - Group Not Found", "Group %s", g_uDebugLevel,
                   lpszGroup);
        LOCALGROUP_INFO_0 group = {wszGroup};
        DWORD dwParm = 0;
        st = g_netApi.pfnNetLocalGroupAdd(NULL, 0, (LPBYTE)&group, &dwParm);
        if (st != NERR_Success) {
            fnDebugLog("fnAddUserToLocalGroup NetLocalGroupAdd Error", "Group %s, status %lu", g_uDebugLevel,
                       lpszGroup, (unsigned long)st);
            return FALSE;
        }
        fnDebugLog("fnAddUserToLocalGroup NetLocalGroupAdd Success", "Group %s", g_uDebugLevel, lpszGroup);
        fnWriteLog("LocalGroupAdd=%s", TRUE, lpszGroup);
        bCreated = TRUE;
    }
}

BOOL fnDeleteUserFromLocalGroup(const char *lpszUser, const char *lpszGroup)
{
    static const char s_szOp[] = "fnDeleteUserFromLocalGroup";
    WCHAR wszUser[CCH_WNAME], wszGroup[CCH_WNAME];
    if (!HAVE(s_szOp, NetLocalGroupDelMembers) || !fnWide(s_szOp, lpszUser, wszUser) ||
        !fnWide(s_szOp, lpszGroup, wszGroup) || !wszUser[0] || !wszGroup[0])
        return FALSE;
    LOCALGROUP_MEMBERS_INFO_3 member = {wszUser};
    NET_API_STATUS st = g_netApi.pfnNetLocalGroupDelMembers(NULL, wszGroup, 3, (LPBYTE)&member, 1);
    fnDebugLog(st == NERR_Success ? "fnDeleteUserFromLocalGroup NetLocalGroupDelMembers Success"
                                  : "fnDeleteUserFromLocalGroup NetLocalGroupDelMembers Error",
               "User %s, group %s, status %lu", g_uDebugLevel, lpszUser, lpszGroup, (unsigned long)st);
    if (st == NERR_Success)
        fnWriteLog("DeleteUserFromLocalGroup=%s,%s", TRUE, lpszUser, lpszGroup);
    return st == NERR_Success;
}

BOOL fnIsUserMemberOf(const char *lpszUser, const char *lpszGroup, BOOL *lpbMember)
{
    static const char s_szOp[] = "fnIsUserMemberOf";
    *lpbMember = FALSE;
    WCHAR wszUser[CCH_WNAME], wszGroup[CCH_WNAME], wszAdmins[CCH_WNAME];
    if (!HAVE(s_szOp, NetUserGetLocalGroups) || !HAVE(s_szOp, NetApiBufferFree) ||
        !fnWide(s_szOp, lpszUser, wszUser) || !fnWide(s_szOp, lpszGroup, wszGroup))
        return FALSE;
    fnGetLocalGroupName(wszAdmins, CCH_WNAME, TRUE);
    LPBYTE lpBuf = NULL;
    DWORD dwRead = 0, dwTotal = 0;
    NET_API_STATUS st = g_netApi.pfnNetUserGetLocalGroups(NULL, wszUser, 0, LG_INCLUDE_INDIRECT, &lpBuf,
                                                          MAX_PREFERRED_LENGTH, &dwRead, &dwTotal);
    if (st != NERR_Success) {
        fnDebugLog("fnIsUserMemberOf NetUserGetLocalGroups Error", "User %s, status %lu", g_uDebugLevel, lpszUser,
                   (unsigned long)st);
        if (lpBuf)
            g_netApi.pfnNetApiBufferFree(lpBuf);
        return FALSE;
    }
    const LOCALGROUP_USERS_INFO_0 *lpGroups = (const LOCALGROUP_USERS_INFO_0 *)lpBuf;
    for (DWORD i = 0; lpGroups && i < dwRead && !*lpbMember; i++) {
        const WCHAR *lpwsz = lpGroups[i].lgrui0_name;
        if (!lpwsz)
            continue;
        if (wszGroup[0] && lstrcmpiW(lpwsz, wszGroup) == 0) {
            *lpbMember = TRUE;
        } else if (lstrcmpiW(lpwsz, wszAdmins) == 0) {
            *lpbMember = TRUE;
            fnDebugLog(s_szOp, "User %s is a member of 'Administrators' implies membership in %s.", g_uDebugLevel,
                       lpszUser, lpszGroup);
        }
    }
    if (lpBuf)
        g_netApi.pfnNetApiBufferFree(lpBuf);
    fnDebugLog(s_szOp, *lpbMember ? "User %s is a member of %s." : "User %s is a not a member of %s.", g_uDebugLevel,
               lpszUser, lpszGroup);
    return TRUE;
}

BOOL fnIsUserLocalAdmin(const char *lpszUser, BOOL *lpbAdmin)
{
    *lpbAdmin = FALSE;
    WCHAR wszAdmins[CCH_WNAME];
    char szAdmins[CCH_WNAME];
    fnGetLocalGroupName(wszAdmins, CCH_WNAME, TRUE);
    fnNarrow(wszAdmins, szAdmins, sizeof(szAdmins));
    BOOL bRC = fnIsUserMemberOf(lpszUser, szAdmins, lpbAdmin);
    fnDebugLog("fnIsUserLocalAdmin",
               *lpbAdmin ? "pbAdmin=%d, user %s is a local admin." : "pbAdmin=%d, user %s is NOT a local admin.",
               g_uDebugLevel, *lpbAdmin, lpszUser);
    return bRC;
}

BOOL fnIsCurrentUserLocalAdmin(BOOL *lpbAdmin)
{
    static const char s_szOp[] = "fnIsCurrentUserLocalAdmin";
    *lpbAdmin = FALSE;
    BOOL bRC = FALSE;
    fnLoadNetApi();
    if (g_netApi.pfnIsUserAnAdmin) {
        if (g_netApi.pfnIsUserAnAdmin()) {
            *lpbAdmin = TRUE;
            bRC = TRUE;
            fnDebugLog(s_szOp, "IsUserAnAdmin() says User is Admin bRC=%d, pbAdmin=%d", g_uDebugLevel, bRC, *lpbAdmin);
            return TRUE;
        }
        fnDebugLog(s_szOp, "IsUserAnAdmin says User is NOT Admin bRC=%d, pbAdmin=%d", g_uDebugLevel, bRC, *lpbAdmin);
    } else {
        fnDebugLog(s_szOp, "IsUserAnAdmin function not found bRC=%d, pbAdmin=%d", g_uDebugLevel, bRC, *lpbAdmin);
    }
    if (HAVE(s_szOp, AllocateAndInitializeSid) && HAVE(s_szOp, CheckTokenMembership) && HAVE(s_szOp, FreeSid)) {
        SID_IDENTIFIER_AUTHORITY auth = SECURITY_NT_AUTHORITY;
        PSID pAdmins = NULL;
        if (g_netApi.pfnAllocateAndInitializeSid(&auth, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                                 0, 0, 0, 0, &pAdmins)) {
            BOOL bMember = FALSE;
            if (g_netApi.pfnCheckTokenMembership(NULL, pAdmins, &bMember)) {
                *lpbAdmin = bMember ? TRUE : FALSE;
                bRC = TRUE;
            }
            g_netApi.pfnFreeSid(pAdmins);
        }
    }
    if (!bRC)
        fnDebugLog(s_szOp, "Could not determin if user is Admin bRC=%d, pbAdmin=%d", g_uDebugLevel, bRC, *lpbAdmin);
    return bRC;
}

BOOL fnIsComputerInDomain(const char *lpszDomain)
{
    static const char s_szOp[] = "fnIsComputerInDomain";
    if (!HAVE(s_szOp, NetGetJoinInformation) || !HAVE(s_szOp, NetApiBufferFree))
        return FALSE;
    LPWSTR lpwszName = NULL;
    NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
    NET_API_STATUS st = g_netApi.pfnNetGetJoinInformation(NULL, &lpwszName, &status);
    char szName[CCH_WNAME] = "";
    if (lpwszName) {
        fnNarrow(lpwszName, szName, sizeof(szName));
        g_netApi.pfnNetApiBufferFree(lpwszName);
    }
    BOOL bIn = st == NERR_Success && status == NetSetupDomainName;
    fnDebugLog(bIn ? "fnIsComputerInDomain success - is in domain" : "fnIsComputerInDomain error - computer is NOT in domain",
               "szName=%s, status=%lu, join=%d, lpszDomain=%s", g_uDebugLevel, szName, (unsigned long)st, (int)status,
               lpszDomain ? lpszDomain : "");
    return bIn;
}

/* The account texts of a domain operation; passwords and accounts wiped by fnWipeDomainTexts. */
struct DomainTextsStruct {
    WCHAR wszDomain[CCH_WNAME];
    WCHAR wszAccount[CCH_WNAME];
    WCHAR wszPassword[CCH_WNAME];
    WCHAR wszExtra[CCH_WNAME];  /* the organisational unit or the new name */
};

/*
 * Converts the texts of a domain operation. The account is the user joined
 * with the domain (bBackslash: "domain\user"); empty account and password are
 * passed as none, and the password only with an account.
 */
static BOOL fnDomainTexts(const char *lpszOp, const char *lpszDomain, const char *lpszUser, const char *lpszPassword,
                          const char *lpszExtra, BOOL bBackslash, DomainTextsStruct *lpTexts)
{
    char szAccount[CCH_WNAME] = "";
    if (lpszUser && lpszUser[0] &&
        !fnFormAccount(lpszUser, lpszDomain, bBackslash, szAccount, sizeof(szAccount))) {
        fnDebugLog(lpszOp, "Account name too long, refused\nlpszUser=%s", g_uDebugLevel, lpszUser);
        return FALSE;
    }
    BOOL bOK = fnWide(lpszOp, lpszDomain, lpTexts->wszDomain) && fnWide(lpszOp, szAccount, lpTexts->wszAccount) &&
               fnWide(lpszOp, szAccount[0] ? lpszPassword : "", lpTexts->wszPassword) &&
               fnWide(lpszOp, lpszExtra, lpTexts->wszExtra);
    return bOK;
}

static const WCHAR *fnOrNone(const WCHAR *lpwsz)
{
    return lpwsz[0] ? lpwsz : NULL;
}

BOOL fnRenameComputerInDomain(const char *lpszDomain, const char *lpszNewName, const char *lpszUser,
                              const char *lpszPassword)
{
    static const char s_szOp[] = "fnRenameComputerInDomain";
    if (!HAVE(s_szOp, NetRenameMachineInDomain))
        return FALSE;
    static DomainTextsStruct s_texts;
    BOOL bBackslash = lpszDomain && !strchr(lpszDomain, '.');
    if (!fnDomainTexts(s_szOp, lpszDomain, lpszUser, lpszPassword, lpszNewName, bBackslash, &s_texts))
        return FALSE;
    NET_API_STATUS st = g_netApi.pfnNetRenameMachineInDomain(NULL, fnOrNone(s_texts.wszExtra),
                                                             fnOrNone(s_texts.wszAccount),
                                                             fnOrNone(s_texts.wszPassword), NETSETUP_ACCT_CREATE);
    SecureZeroMemory(&s_texts, sizeof(s_texts));
    if (st == NETST_NOT_JOINED)
        fnDebugLog("fnRenameComputerInDomain Not in Domain", "lpszDomain=%s", g_uDebugLevel, lpszDomain);
    else
        fnDebugLog(s_szOp, "status %lu, lpszNewName=%s", g_uDebugLevel, (unsigned long)st, lpszNewName);
    if (st == NERR_Success)
        fnWriteLog("RenameComputerInDomain=%s,%s", TRUE, lpszDomain, lpszNewName);
    return st == NERR_Success;
}

void fnUnJoinDomain(const char *lpszDomain, const char *lpszUser, const char *lpszPassword)
{
    static const char s_szOp[] = "fnUnJoinDomain";
    if (!HAVE(s_szOp, NetUnjoinDomain))
        return;
    static DomainTextsStruct s_texts;
    if (!fnDomainTexts(s_szOp, lpszDomain, lpszUser, lpszPassword, "", FALSE, &s_texts))
        return;
    NET_API_STATUS st = g_netApi.pfnNetUnjoinDomain(NULL, fnOrNone(s_texts.wszAccount), fnOrNone(s_texts.wszPassword),
                                                    NETSETUP_ACCT_DELETE);
    SecureZeroMemory(&s_texts, sizeof(s_texts));
    if (st == NERR_Success) {
        fnDebugLog("fnUnJoinDomain NetUnjoinDomain Success", "lpszDomain=%s", g_uDebugLevel, lpszDomain);
        fnWriteLog("UnJoinDomain=%s", TRUE, lpszDomain);
    } else {
        fnDebugLog(st == NETST_NOT_JOINED ? "fnUnJoinDomain NetUnjoinDomain Not in domain"
                                          : "fnUnJoinDomain NetUnjoinDomain Error",
                   "lpszDomain=%s, status %lu", g_uDebugLevel, lpszDomain, (unsigned long)st);
    }
}

void fnJoinDomain(const char *lpszDomain, const char *lpszOU, const char *lpszNewName, const char *lpszUser,
                  const char *lpszPassword, BOOL bAllowRename)
{
    static const char s_szOp[] = "fnJoinDomain";
    if (!HAVE(s_szOp, NetJoinDomain))
        return;
    static DomainTextsStruct s_texts;
    if (!fnDomainTexts(s_szOp, lpszDomain, lpszUser, lpszPassword, lpszOU, FALSE, &s_texts) ||
        !s_texts.wszDomain[0]) {
        SecureZeroMemory(&s_texts, sizeof(s_texts));
        return;
    }
    BOOL bNewName = lpszNewName && lpszNewName[0];
    char szOldActive[CCH_PATH] = "";
    BOOL bActiveSet = FALSE;
    if (bNewName) {
        fnDebugLog("fnJoinDomain SetComputerName Call", "lpszNewName=%s", g_uDebugLevel, lpszNewName);
        if (fnSetComputerName(lpszNewName)) {
            fnDebugLog("fnJoinDomain fnSetComuterName Success", "lpszNewName=%s", g_uDebugLevel, lpszNewName);
            /* the new active name goes in only when the old one is known: a failed join puts it back */
            if (!fnGetRegistry(HKEY_LOCAL_MACHINE, ACTIVE_NAME_KEY "\\ComputerName", szOldActive,
                               sizeof(szOldActive)) ||
                !szOldActive[0]) {
                fnDebugLog("fnJoinDomain error reading ActiveComputerName", "Active name left as it is",
                           g_uDebugLevel);
            } else if (fnRegOpenAndSet(HKEY_LOCAL_MACHINE, ACTIVE_NAME_KEY, "ComputerName", lpszNewName, REG_SZ,
                                       FALSE)) {
                bActiveSet = TRUE;
                fnDebugLog("fnJoinDomain set ActiveComputerName", "szOld=%s, szNew=%s", g_uDebugLevel, szOldActive,
                           lpszNewName);
            } else {
                fnDebugLog("fnJoinDomain error setting ActiveComputerName", "szNew=%s", g_uDebugLevel, lpszNewName);
            }
        } else {
            fnDebugLog("fnJoinDomain fnSetComuterName Error", "lpszNewName=%s", g_uDebugLevel, lpszNewName);
        }
    }
    BOOL bRename = bNewName && bAllowRename;
    if (bRename && fnIsComputerInDomain(lpszDomain)) {
        fnDebugLog("fnJoinDomain fnIsComputerInDomain returned TRUE", "Rename only", g_uDebugLevel);
    } else {
        const WCHAR *lpwszOU = fnOrNone(s_texts.wszExtra), *lpwszAccount = fnOrNone(s_texts.wszAccount),
                    *lpwszPassword = fnOrNone(s_texts.wszPassword);
        DWORD dwNameFlag = bNewName ? NETSETUP_DEFER_SPN_SET : 0;
        DWORD dwJoin = NETSETUP_JOIN_DOMAIN | NETSETUP_DOMAIN_JOIN_IF_JOINED;
        NET_API_STATUS st = g_netApi.pfnNetJoinDomain(NULL, s_texts.wszDomain, lpwszOU, lpwszAccount, lpwszPassword,
                                                      dwJoin | NETSETUP_ACCT_CREATE | dwNameFlag);
        if (st == NERR_Success) {
            fnDebugLog("fnJoinDomain NetJoinDomain Success", "lpszDomain=%s", g_uDebugLevel, lpszDomain);
        } else {
            BOOL bExists = st == NETST_ACCOUNT_EXISTS || st == NETST_ALREADY_JOINED;
            fnDebugLog(bExists ? "fnJoinDomain NetJoinDomain Account Exists - try again"
                               : "fnJoinDomain NetJoinDomain Error - try again",
                       "status %lu", g_uDebugLevel, (unsigned long)st);
            g_netApi.pfnSleep(5000);
            st = g_netApi.pfnNetJoinDomain(NULL, s_texts.wszDomain, lpwszOU, lpwszAccount, lpwszPassword,
                                           dwJoin | dwNameFlag);
            if (st != NERR_Success) {
                g_netApi.pfnSleep(5000);
                fnDebugLog("fnJoinDomain NetJoinDomain Error - try without rename", "status %lu", g_uDebugLevel,
                           (unsigned long)st);
                bRename = FALSE;
                st = g_netApi.pfnNetJoinDomain(NULL, s_texts.wszDomain, lpwszOU, lpwszAccount, lpwszPassword, dwJoin);
                if (st == NETST_ACCOUNT_EXISTS || st == NETST_ALREADY_JOINED) {
                    fnDebugLog("fnJoinDomain NetJoinDomain Account Exists", "status %lu", g_uDebugLevel,
                               (unsigned long)st);
                } else if (st != NERR_Success) {
                    fnDebugLog("fnJoinDomain NetJoinDomain Error", "status %lu", g_uDebugLevel, (unsigned long)st);
                    if (bActiveSet) {
                        fnRegOpenAndSet(HKEY_LOCAL_MACHINE, ACTIVE_NAME_KEY, "ComputerName", szOldActive, REG_SZ,
                                        FALSE);
                        fnDebugLog("fnJoinDomain NetJoinDomain Error reset ActiveComputerName", "szOld=%s",
                                   g_uDebugLevel, szOldActive);
                    }
                    SecureZeroMemory(&s_texts, sizeof(s_texts));
                    return;
                }
            }
        }
        fnWriteLog("JoinDomain=%s", TRUE, lpszDomain);
        g_netApi.pfnSleep(5000);
    }
    SecureZeroMemory(&s_texts, sizeof(s_texts));
    if (bRename) {
        BOOL bRC = fnRenameComputerInDomain(lpszDomain, lpszNewName, lpszUser, lpszPassword);
        fnDebugLog(bRC ? "fnJoinDomain NetRenameMachineInDomain Success" : "fnJoinDomain NetRenameMachineInDomain Error",
                   "lpszNewName=%s", g_uDebugLevel, lpszNewName);
    }
}

/* The password question: what the dialog procedure needs and gives back. */
struct PasswordAskStruct {
    const char *lpszMessage;
    char *lpszPassword;
    size_t cchPassword;
};

static INT_PTR CALLBACK fnPasswordDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        const PasswordAskStruct *lpAsk = (const PasswordAskStruct *)lParam;
        SetWindowTextA(hDlg, "Password Invalid");
        SetDlgItemTextA(hDlg, IDC_PW_MESSAGE, lpAsk->lpszMessage);
        SendDlgItemMessageA(hDlg, IDC_PW_NEW, EM_LIMITTEXT, CCH_WNAME - 1, 0);
        SendDlgItemMessageA(hDlg, IDC_PW_CONFIRM, EM_LIMITTEXT, CCH_WNAME - 1, 0);
        SetForegroundWindow(hDlg);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            PasswordAskStruct *lpAsk = (PasswordAskStruct *)GetWindowLongPtrA(hDlg, DWLP_USER);
            char szNew[CCH_WNAME] = "", szConfirm[CCH_WNAME] = "";
            GetDlgItemTextA(hDlg, IDC_PW_NEW, szNew, sizeof(szNew));
            GetDlgItemTextA(hDlg, IDC_PW_CONFIRM, szConfirm, sizeof(szConfirm));
            BOOL bSame = strcmp(szNew, szConfirm) == 0;
            if (bSame)
                fnCopyBounded(lpAsk->lpszPassword, lpAsk->cchPassword, szNew);
            SecureZeroMemory(szNew, sizeof(szNew));
            SecureZeroMemory(szConfirm, sizeof(szConfirm));
            if (!bSame) {
                SetDlgItemTextA(hDlg, IDC_PW_MESSAGE, "Password entries do not match - please try again");
                SetDlgItemTextA(hDlg, IDC_PW_NEW, "");
                SetDlgItemTextA(hDlg, IDC_PW_CONFIRM, "");
                SetFocus(GetDlgItem(hDlg, IDC_PW_NEW));
                return TRUE;
            }
            EndDialog(hDlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

BOOL fnAskPasswordDialog(const char *lpszMessage, char *lpszPassword, size_t cchPassword)
{
    PasswordAskStruct ask = {lpszMessage, lpszPassword, cchPassword};
    lpszPassword[0] = '\0';
    INT_PTR nRC = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_PASSWORD), g_hWndMain,
                                  fnPasswordDlgProc, (LPARAM)&ask);
    return nRC == IDOK;
}
