/*
 * commands/accounts_win.h -- local user accounts, local groups, the
 * administrator and membership tests, and domain membership (join, leave,
 * rename in the domain). Every system function comes from one table filled
 * at first use from NETAPI32, ADVAPI32 and SHELL32 by name, so the program
 * starts where one is missing and tests can record the exact calls. Nothing
 * here shows a box except the password question of a new account; every
 * outcome goes to the debug log, and passwords never do.
 */
#ifndef TG_COMMANDS_ACCOUNTS_WIN_H
#define TG_COMMANDS_ACCOUNTS_WIN_H

#include <windows.h>
#include <lm.h>

/* Account and domain status codes the operations act on. */
#define NETST_ACCOUNT_EXISTS 2224
#define NETST_PASSWORD_POLICY 2245
#define NETST_GROUP_NOT_FOUND 2220
#define NETST_ALREADY_JOINED 2691
#define NETST_NOT_JOINED 2692

/* The system functions of the operations; NULL where the system lacks one. */
struct NetApiStruct {
    NET_API_STATUS(WINAPI *pfnNetUserAdd)(LPCWSTR, DWORD, LPBYTE, LPDWORD);
    NET_API_STATUS(WINAPI *pfnNetUserDel)(LPCWSTR, LPCWSTR);
    NET_API_STATUS(WINAPI *pfnNetUserGetInfo)(LPCWSTR, LPCWSTR, DWORD, LPBYTE *);
    NET_API_STATUS(WINAPI *pfnNetUserSetInfo)(LPCWSTR, LPCWSTR, DWORD, LPBYTE, LPDWORD);
    NET_API_STATUS(WINAPI *pfnNetLocalGroupAdd)(LPCWSTR, DWORD, LPBYTE, LPDWORD);
    NET_API_STATUS(WINAPI *pfnNetLocalGroupAddMembers)(LPCWSTR, LPCWSTR, DWORD, LPBYTE, DWORD);
    NET_API_STATUS(WINAPI *pfnNetLocalGroupDelMembers)(LPCWSTR, LPCWSTR, DWORD, LPBYTE, DWORD);
    NET_API_STATUS(WINAPI *pfnNetUserGetLocalGroups)(LPCWSTR, LPCWSTR, DWORD, DWORD, LPBYTE *, DWORD, LPDWORD,
                                                      LPDWORD);
    NET_API_STATUS(WINAPI *pfnNetGetJoinInformation)(LPCWSTR, LPWSTR *, PNETSETUP_JOIN_STATUS);
    NET_API_STATUS(WINAPI *pfnNetJoinDomain)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, DWORD);
    NET_API_STATUS(WINAPI *pfnNetUnjoinDomain)(LPCWSTR, LPCWSTR, LPCWSTR, DWORD);
    NET_API_STATUS(WINAPI *pfnNetRenameMachineInDomain)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, DWORD);
    NET_API_STATUS(WINAPI *pfnNetApiBufferFree)(LPVOID);
    BOOL(WINAPI *pfnConvertStringSidToSidW)(LPCWSTR, PSID *);
    BOOL(WINAPI *pfnIsValidSid)(PSID);
    BOOL(WINAPI *pfnLookupAccountSidW)(LPCWSTR, PSID, LPWSTR, LPDWORD, LPWSTR, LPDWORD, PSID_NAME_USE);
    BOOL(WINAPI *pfnAllocateAndInitializeSid)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD, DWORD,
                                              DWORD, DWORD, DWORD, PSID *);
    BOOL(WINAPI *pfnCheckTokenMembership)(HANDLE, PSID, PBOOL);
    PVOID(WINAPI *pfnFreeSid)(PSID);
    BOOL(WINAPI *pfnIsUserAnAdmin)(void);
    /* the waits between join attempts */
    void (*pfnSleep)(DWORD);
    /* the password question of a new account: TRUE with the new password (cchPassword) when confirmed */
    BOOL (*pfnAskPassword)(const char *lpszMessage, char *lpszPassword, size_t cchPassword);
    BOOL bNetApiFound;  /* NETAPI32.DLL could be loaded */
    BOOL bLoaded;       /* the table has been filled */
};

/* Filled by fnLoadNetApi on first use; tests set bLoaded and their own entries. */
extern NetApiStruct g_netApi;
void fnLoadNetApi(void);

/* The password dialog (35): a caption, a message, the password typed twice. FALSE on Cancel. */
BOOL fnAskPasswordDialog(const char *lpszMessage, char *lpszPassword, size_t cchPassword);

/* The operations; texts are ANSI and at most 255 characters once converted. */
void fnCreateLocalUser(const char *lpszUser, const char *lpszPassword, BOOL bAdmin, const char *lpszMessage);
BOOL fnDelLocalUser(const char *lpszUser);
void fnChangeLocalUser(const char *lpszUser, const char *lpszPassword, const char *lpszOption);
void fnRenameLocalUser(const char *lpszUser, const char *lpszNewName);
BOOL fnAddUserToLocalGroup(const char *lpszUser, const char *lpszGroup);
BOOL fnDeleteUserFromLocalGroup(const char *lpszUser, const char *lpszGroup);
/* The local name of the administrators (bAdmin) or users group; the default name stays when not found. */
BOOL fnGetLocalGroupName(WCHAR *lpwszName, size_t cchName, BOOL bAdmin);
/* TRUE when the user's groups could be read; *lpbMember then tells. */
BOOL fnIsUserMemberOf(const char *lpszUser, const char *lpszGroup, BOOL *lpbMember);
BOOL fnIsUserLocalAdmin(const char *lpszUser, BOOL *lpbAdmin);
BOOL fnIsCurrentUserLocalAdmin(BOOL *lpbAdmin);
/* TRUE when the computer is joined to a domain (lpszDomain is only logged). */
BOOL fnIsComputerInDomain(const char *lpszDomain);
void fnJoinDomain(const char *lpszDomain, const char *lpszOU, const char *lpszNewName, const char *lpszUser,
                  const char *lpszPassword, BOOL bAllowRename);
void fnUnJoinDomain(const char *lpszDomain, const char *lpszUser, const char *lpszPassword);
BOOL fnRenameComputerInDomain(const char *lpszDomain, const char *lpszNewName, const char *lpszUser,
                              const char *lpszPassword);

#endif
