/*
 * script/expand_win.cpp -- the Windows side of the lookups that options and
 * inline functions read through the machine table: path forms, SIDs, network
 * resources, printers, the current user and the file search. Optional
 * functions are looked up at run time; their absence is logged and gives no
 * value. Every handle and block is released before the call returns.
 */
#include "script/expand_win.h"

#include <sddl.h>
#include <stdlib.h>
#include <winnetwk.h>
#include <winspool.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "install/version.h"
#include "script/sysinfo_win.h"

namespace {

struct FindGuardStruct {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~FindGuardStruct()
    {
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
    }
    FindGuardStruct() = default;
    FindGuardStruct(const FindGuardStruct &) = delete;
    FindGuardStruct &operator=(const FindGuardStruct &) = delete;
};

struct LibraryGuardStruct {
    HMODULE h = NULL;
    ~LibraryGuardStruct()
    {
        if (h)
            FreeLibrary(h);
    }
    LibraryGuardStruct() = default;
    LibraryGuardStruct(const LibraryGuardStruct &) = delete;
    LibraryGuardStruct &operator=(const LibraryGuardStruct &) = delete;
};

struct MemGuardStruct {
    void *lp = NULL;
    ~MemGuardStruct() { free(lp); }
    MemGuardStruct() = default;
    MemGuardStruct(const MemGuardStruct &) = delete;
    MemGuardStruct &operator=(const MemGuardStruct &) = delete;
};

/* Appends "a" "b" "c" "d" as one entry only while more than cchKeep characters of room remain. */
BOOL fnAddEntry(char *lpszOut, size_t cchOut, size_t cchKeep, const char *a, const char *b, const char *c,
                const char *d)
{
    size_t cchUsed = strlen(lpszOut);
    if (cchOut - cchUsed <= cchKeep)
        return FALSE;
    char szEntry[3 * MAX_PATH];
    fnFormatBounded(szEntry, sizeof(szEntry), "%s%s%s%s", a, b ? b : "", c, d ? d : "");
    fnAppendBounded(lpszOut, cchOut, szEntry);
    return TRUE;
}

} // namespace

BOOL fnGetShortPathName(const char *lpszPath, char *lpszOut, size_t cchOut)
{
    char sz[MAX_PATH];
    DWORD cch = GetShortPathNameA(lpszPath, sz, sizeof(sz));
    if (cch == 0 || cch >= sizeof(sz)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnGetShortPathName", "lpszPath=%s,\ndwError=%lu", g_uDebugLevel, lpszPath, (unsigned long)dwError);
        return FALSE;
    }
    return fnCopyBounded(lpszOut, cchOut, sz);
}

BOOL fnGetLongPathName(const char *lpszPath, char *lpszOut, size_t cchOut)
{
    typedef DWORD(WINAPI * GetLongPathNameProc)(LPCSTR, LPSTR, DWORD);
    GetLongPathNameProc pfn = FN_GET_PROC(GetLongPathNameProc, GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
    if (!pfn) {
        fnDebugLog("fnGetLongPathName", "GetLongPathNameA not found", g_uDebugLevel);
        return FALSE;
    }
    char sz[MAX_PATH];
    DWORD cch = pfn(lpszPath, sz, sizeof(sz));
    if (cch == 0 || cch >= sizeof(sz)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnGetLongPathName", "lpszPath=%s,\ndwError=%lu", g_uDebugLevel, lpszPath, (unsigned long)dwError);
        return FALSE;
    }
    return fnCopyBounded(lpszOut, cchOut, sz);
}

BOOL fnGetSIDString(const char *lpszUser, const char *lpszSystem, char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return FALSE;
    lpszOut[0] = '\0';
    if (!lpszUser || !lpszUser[0])
        return FALSE;
    BYTE abSid[SECURITY_MAX_SID_SIZE];
    DWORD cbSid = sizeof(abSid);
    char szDomain[256];
    DWORD cchDomain = sizeof(szDomain);
    SID_NAME_USE use;
    if (!LookupAccountNameA(lpszSystem && lpszSystem[0] ? lpszSystem : NULL, lpszUser, abSid, &cbSid, szDomain,
                            &cchDomain, &use)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnGetSIDString", "LookupAccountName %s error %lu", g_uDebugLevel, lpszUser,
                   (unsigned long)dwError);
        return FALSE;
    }
    char *lpszSid = NULL;
    if (!ConvertSidToStringSidA(abSid, &lpszSid)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnGetSIDString", "ConvertSidToStringSid error %lu", g_uDebugLevel, (unsigned long)dwError);
        return FALSE;
    }
    BOOL bOk = fnCopyBounded(lpszOut, cchOut, lpszSid);
    LocalFree(lpszSid);
    return bOk;
}

BOOL fnGetNetResources(char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return FALSE;
    lpszOut[0] = '\0';
    HANDLE hEnum = NULL;
    DWORD dwRC = WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_ANY, 0, NULL, &hEnum);
    if (dwRC != NO_ERROR) {
        fnDebugLog("fnGetNetResources", "WNetOpenEnum error %lu", g_uDebugLevel, (unsigned long)dwRC);
        return FALSE;
    }
    MemGuardStruct mem;
    const DWORD cbBuffer = 16384;
    mem.lp = malloc(cbBuffer);
    BOOL bRoom = mem.lp != NULL;
    while (bRoom) {
        DWORD dwCount = (DWORD)-1, cb = cbBuffer;
        dwRC = WNetEnumResourceA(hEnum, &dwCount, mem.lp, &cb);
        if (dwRC != NO_ERROR)
            break;
        NETRESOURCEA *lpRes = (NETRESOURCEA *)mem.lp;
        for (DWORD i = 0; i < dwCount && bRoom; i++) {
            /* an entry goes in only while at least 261 characters of room remain */
            bRoom = fnAddEntry(lpszOut, cchOut, MAX_PATH, lpRes[i].dwType == RESOURCETYPE_PRINT ? "Printer-" : "",
                               lpRes[i].lpLocalName, "-", lpRes[i].lpRemoteName);
            if (bRoom)
                fnAppendBounded(lpszOut, cchOut, ";");
        }
    }
    WNetCloseEnum(hEnum);
    return TRUE;
}

BOOL fnGetPrinters(char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return FALSE;
    lpszOut[0] = '\0';
    const DWORD adwFlags[2] = {PRINTER_ENUM_CONNECTIONS, PRINTER_ENUM_LOCAL};
    for (DWORD dwFlags : adwFlags) {
        DWORD cbNeeded = 0, dwCount = 0;
        EnumPrintersA(dwFlags, NULL, 5, NULL, 0, &cbNeeded, &dwCount);
        if (cbNeeded == 0)
            continue;
        MemGuardStruct mem;
        mem.lp = malloc(cbNeeded);
        if (!mem.lp || !EnumPrintersA(dwFlags, NULL, 5, (BYTE *)mem.lp, cbNeeded, &cbNeeded, &dwCount)) {
            fnDebugLog("fnGetPrinters", "EnumPrinters %lu error %lu", g_uDebugLevel, (unsigned long)dwFlags,
                       (unsigned long)GetLastError());
            continue;
        }
        PRINTER_INFO_5A *lpInfo = (PRINTER_INFO_5A *)mem.lp;
        for (int bNetwork = 1; bNetwork >= 0; bNetwork--) {
            for (DWORD i = 0; i < dwCount; i++) {
                if (((lpInfo[i].Attributes & PRINTER_ATTRIBUTE_NETWORK) != 0) != (bNetwork != 0))
                    continue;
                /* an entry goes in only while more than 260 characters of room remain */
                fnAddEntry(lpszOut, cchOut, MAX_PATH, bNetwork ? "net:" : "", lpInfo[i].pPrinterName, ";", NULL);
            }
        }
    }
    return TRUE;
}

BOOL fnGetCurrentUser(char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return FALSE;
    lpszOut[0] = '\0';
    typedef BOOLEAN(WINAPI * GetUserNameExProc)(int, LPSTR, PULONG);
    LibraryGuardStruct lib;
    lib.h = fnLoadSystemDll("SECUR32.DLL");
    GetUserNameExProc pfn = lib.h ? FN_GET_PROC(GetUserNameExProc, lib.h, "GetUserNameExA") : NULL;
    if (!pfn) {
        fnDebugLog("fnGetCurrentUser", "GetUserNameExA in SECUR32.DLL not found.  Error %lu.", g_uDebugLevel,
                   (unsigned long)GetLastError());
        return FALSE;
    }
    char sz[512];
    ULONG cch = sizeof(sz);
    if (!pfn(2 /* NameSamCompatible: domain\user */, sz, &cch)) {
        fnDebugLog("fnGetCurrentUser", "GetUserNameExA error %lu", g_uDebugLevel, (unsigned long)GetLastError());
        return FALSE;
    }
    return fnCopyBounded(lpszOut, cchOut, sz);
}

BOOL fnFindFileOrDir(const char *lpszSpec)
{
    if (!lpszSpec || !lpszSpec[0])
        return FALSE;
    WIN32_FIND_DATAA fd;
    FindGuardStruct find;
    find.h = FindFirstFileA(lpszSpec, &fd);
    return find.h != INVALID_HANDLE_VALUE;
}

void fnAddExpandLookups(MachineLookupStruct *lpTable)
{
    lpTable->pfnGetShortPath = fnGetShortPathName;
    lpTable->pfnGetLongPath = fnGetLongPathName;
    lpTable->pfnGetSIDString = fnGetSIDString;
    lpTable->pfnGetNetResources = fnGetNetResources;
    lpTable->pfnGetPrinters = fnGetPrinters;
    lpTable->pfnGetCurrentUser = fnGetCurrentUser;
    lpTable->pfnFileOrDirExists = fnFindFileOrDir;
    lpTable->pfnGetFileVersion = fnGetFileVersion;
    lpTable->pfnCmpFileVersion = fnCmpFileVersion;
}
