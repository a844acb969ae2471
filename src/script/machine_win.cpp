/*
 * script/machine_win.cpp -- the Windows machine lookup table: connects the
 * portable core's lookups to the registry layer, the environment, the shell
 * folders and the system facts of sysinfo_win.cpp.
 */
#include <windows.h>

#include "common/bounded.h"
#include "config/registry.h"
#include "driver/winstate.h"
#include "script/expand_win.h"
#include "script/sysinfo_win.h"

static BOOL fnWinReadRegistry(UINT uRoot, const char *lpszLookup, char *lpszValue, size_t cchValue, UINT uMode)
{
    HKEY hRoot = fnRootKey(uRoot);
    if (!hRoot) {
        if (lpszValue && cchValue)
            lpszValue[0] = '\0';
        return FALSE;
    }
    return fnGetRegistry(hRoot, NULL, lpszLookup, lpszValue, cchValue, uMode);
}

static BOOL fnWinGetEnv(const char *lpszName, char *lpszValue, size_t cchValue)
{
    if (!lpszValue || cchValue == 0)
        return FALSE;
    lpszValue[0] = '\0';
    DWORD cch = GetEnvironmentVariableA(lpszName, lpszValue, (DWORD)cchValue);
    if (cch == 0 || cch >= cchValue) {
        /* unset, or too long for the buffer: the value is not available as it stands */
        lpszValue[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

static BOOL fnWinExpandEnv(const char *lpszText, char *lpszOut, size_t cchOut)
{
    if (!lpszOut || cchOut == 0)
        return FALSE;
    DWORD cch = ExpandEnvironmentStringsA(lpszText, lpszOut, (DWORD)cchOut);
    if (cch == 0 || cch > cchOut) {
        lpszOut[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

static BOOL fnWinGetShellFolder(BOOL bCommon, const char *lpszFolder, char *lpszPath, size_t cchPath,
                                UINT uDefaultId)
{
    return bCommon ? fnGetCommonShellFolder(lpszFolder, lpszPath, cchPath, uDefaultId)
                   : fnGetUserShellFolder(lpszFolder, lpszPath, cchPath, uDefaultId);
}

static const OSInfoStruct *fnWinGetOSInfo(void)
{
    return &g_OSInfo;
}

static int fnWinLoadString(UINT uId, char *lpszOut, size_t cchOut)
{
    return fnLoadStr(uId, lpszOut, (int)cchOut);
}

static BOOL fnWinGetUserName(char *lpszOut, size_t cchOut)
{
    if (!lpszOut || cchOut == 0)
        return FALSE;
    DWORD cch = (DWORD)cchOut;
    if (!GetUserNameA(lpszOut, &cch)) {
        lpszOut[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

static BOOL fnWinGetComputerName(char *lpszOut, size_t cchOut)
{
    if (!lpszOut || cchOut == 0)
        return FALSE;
    DWORD cch = (DWORD)cchOut;
    if (!GetComputerNameA(lpszOut, &cch)) {
        lpszOut[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

static ULONGLONG fnWinGetPhysicalMemory(void)
{
    MEMORYSTATUSEX ms;
    ms.dwLength = sizeof(ms);
    return GlobalMemoryStatusEx(&ms) ? ms.ullTotalPhys : 0;
}

static UINT fnWinGetDriveType(const char *lpszRoot)
{
    return GetDriveTypeA(lpszRoot);
}

static BOOL fnWinGetFreeBytes(const char *lpszPath, ULONGLONG *lpullFree)
{
    ULARGE_INTEGER liFree;
    *lpullFree = 0;
    if (!GetDiskFreeSpaceExA(lpszPath, &liFree, NULL, NULL))
        return FALSE;
    *lpullFree = liFree.QuadPart;
    return TRUE;
}

static MachineLookupStruct s_machineWin;

void fnInstallMachineLookup(void)
{
    /* lookups this table does not fill stay "not available" rather than NULL */
    s_machineWin = g_machineNone;
    s_machineWin.pfnReadRegistry = fnWinReadRegistry;
    s_machineWin.pfnGetEnv = fnWinGetEnv;
    s_machineWin.pfnExpandEnv = fnWinExpandEnv;
    s_machineWin.pfnGetShellFolder = fnWinGetShellFolder;
    s_machineWin.pfnGetOSInfo = fnWinGetOSInfo;
    s_machineWin.pfnQueryWMI = fnQueryWMI;
    s_machineWin.pfnReadSMBIOS = fnReadSMBIOS;
    s_machineWin.pfnGetNetAddress = fnGetNetAddress;
    s_machineWin.pfnLoadString = fnWinLoadString;
    s_machineWin.pfnGetUserName = fnWinGetUserName;
    s_machineWin.pfnGetComputerName = fnWinGetComputerName;
    s_machineWin.pfnGetPhysicalMemory = fnWinGetPhysicalMemory;
    s_machineWin.pfnGetDriveType = fnWinGetDriveType;
    s_machineWin.pfnGetFreeBytes = fnWinGetFreeBytes;
    fnAddExpandLookups(&s_machineWin);
    g_lpMachine = &s_machineWin;
}
