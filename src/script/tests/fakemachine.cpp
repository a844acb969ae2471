/*
 * script/tests/fakemachine.cpp -- the fake lookup table of the host tests.
 */
#include "fakemachine.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "script/optstore.h"

FakeMachineStruct g_fake;

namespace {

BOOL fnPut(const std::string &s, char *lpszOut, size_t cchOut)
{
    fnCopyBounded(lpszOut, cchOut, s.c_str());
    return TRUE;
}

template <class M, class K> BOOL fnLookup(const M &m, const K &k, char *lpszOut, size_t cchOut)
{
    auto it = m.find(k);
    if (it == m.end()) {
        if (lpszOut && cchOut)
            lpszOut[0] = '\0';
        return FALSE;
    }
    return fnPut(it->second, lpszOut, cchOut);
}

BOOL fnReg(UINT uRoot, const char *lpszLookup, char *v, size_t cch, UINT)
{
    return fnLookup(g_fake.registry, std::to_string(uRoot) + ":" + lpszLookup, v, cch);
}
BOOL fnEnv(const char *lpszName, char *v, size_t cch)
{
    return fnLookup(g_fake.env, std::string(lpszName), v, cch);
}
BOOL fnShell(BOOL, const char *lpszFolder, char *v, size_t cch, UINT uId)
{
    if (fnLookup(g_fake.shellFolders, std::string(lpszFolder), v, cch))
        return TRUE;
    fnFormatBounded(v, cch, "%s\\string%u", g_szWinDir, uId);
    return FALSE;
}
BOOL fnWMI(const char *lpszClass, const char *lpszProp, const char *, char *v, size_t cch)
{
    return fnLookup(g_fake.wmi, std::string(lpszClass) + "." + lpszProp, v, cch);
}
BOOL fnSMBIOS(char *v, size_t cch, UINT uSel)
{
    return fnLookup(g_fake.smbios, uSel, v, cch);
}
int fnNet(char *l, size_t cl, char *m, size_t cm, char *g, size_t cg)
{
    fnPut(g_fake.adapters, l, cl);
    fnPut(g_fake.mask, m, cm);
    fnPut(g_fake.gateway, g, cg);
    return g_fake.nAdapters;
}
int fnString(UINT uId, char *v, size_t cch)
{
    static const std::map<unsigned, std::string> strings = {
        {1064, ",="}, {1253, "\\Common Files"}, {1254, "\\Start Menu\\Programs"}, {1258, "\\Desktop"},
        {1300, "W31"}, {1308, "WXP"}, {1314, "WVS64"}, {1013, "Install and Setup"},
        {1190, "Restart now?"}};
    fnLookup(strings, uId, v, cch);
    return (int)strlen(v);
}
BOOL fnUser(char *v, size_t cch)
{
    return !g_fake.user.empty() && fnPut(g_fake.user, v, cch);
}
BOOL fnComputer(char *v, size_t cch)
{
    return fnPut(g_fake.computer, v, cch);
}
ULONGLONG fnMemory(void)
{
    return g_fake.cbMemory;
}
BOOL fnShort(const char *lpszPath, char *v, size_t cch)
{
    return fnLookup(g_fake.shortPaths, std::string(lpszPath), v, cch);
}
BOOL fnLong(const char *lpszPath, char *v, size_t cch)
{
    for (const auto &kv : g_fake.shortPaths) {
        if (kv.second == lpszPath)
            return fnPut(kv.first, v, cch);
    }
    return FALSE;
}
BOOL fnSID(const char *lpszUser, const char *, char *v, size_t cch)
{
    return !g_fake.sid.empty() && fnPut(g_fake.sid, v, cch);
}
BOOL fnExists(const char *lpszSpec)
{
    return g_fake.fileVersions.count(lpszSpec) != 0;
}
BOOL fnFileVersion(const char *lpszFile, char *f, char *p, char *l)
{
    auto it = g_fake.fileVersions.find(lpszFile);
    if (it == g_fake.fileVersions.end() || it->second.empty())
        return FALSE;
    size_t bar = it->second.find('|');
    if (f)
        fnPut(it->second.substr(0, bar), f, 128);
    if (p)
        fnPut(it->second.substr(bar + 1), p, 128);
    if (l)
        l[0] = '\0';
    return TRUE;
}
int fnCmpVersion(const char *lpszFile, const char *lpszVersion)
{
    auto it = g_fake.fileVersions.find(lpszFile);
    if (it == g_fake.fileVersions.end())
        return 3;
    if (it->second.empty())
        return 2;
    std::string have = it->second.substr(0, it->second.find('|'));
    int n = have.compare(lpszVersion); /* single-digit parts are enough for the tests */
    return n == 0 ? 0 : (n < 0 ? 7 : 11);
}

MachineLookupStruct s_fakeTable;

} // namespace

void fnInstallFakeMachine(void)
{
    g_fake = FakeMachineStruct();
    fnResetRunState();
    fnResetOptStore();
    g_OSInfo = OSInfoStruct();
    g_szProgramFilesDir[0] = g_szUserProgramsFolder[0] = '\0';
    s_fakeTable = g_machineNone;
    s_fakeTable.pfnReadRegistry = fnReg;
    s_fakeTable.pfnGetEnv = fnEnv;
    s_fakeTable.pfnGetShellFolder = fnShell;
    s_fakeTable.pfnQueryWMI = fnWMI;
    s_fakeTable.pfnReadSMBIOS = fnSMBIOS;
    s_fakeTable.pfnGetNetAddress = fnNet;
    s_fakeTable.pfnLoadString = fnString;
    s_fakeTable.pfnGetUserName = fnUser;
    s_fakeTable.pfnGetComputerName = fnComputer;
    s_fakeTable.pfnGetPhysicalMemory = fnMemory;
    s_fakeTable.pfnGetShortPath = fnShort;
    s_fakeTable.pfnGetLongPath = fnLong;
    s_fakeTable.pfnGetSIDString = fnSID;
    s_fakeTable.pfnFileOrDirExists = fnExists;
    s_fakeTable.pfnGetFileVersion = fnFileVersion;
    s_fakeTable.pfnCmpFileVersion = fnCmpVersion;
    g_lpMachine = &s_fakeTable;
}
