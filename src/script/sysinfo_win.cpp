/*
 * script/sysinfo_win.cpp -- asks Windows for the system facts: the version
 * records, WOW64, WMI queries, the SMBIOS table and the adapter list. The
 * rules that turn the answers into texts are in sysinfo.cpp. Optional system
 * functions are looked up at run time; a missing one makes its fact
 * unavailable and is logged.
 */
#include "script/sysinfo_win.h"

#include <stdlib.h>
#include <string.h>

#include <iphlpapi.h>
#include <wbemidl.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "driver/debuglog.h"

HMODULE fnLoadSystemDll(const char *lpszName)
{
    HMODULE hMod = LoadLibraryExA(lpszName, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (hMod)
        return hMod;
    /* systems without the search flag reject it as a bad parameter: name the full path instead */
    char szSysDir[MAX_PATH];
    UINT cch = GetSystemDirectoryA(szSysDir, sizeof(szSysDir));
    if (cch == 0 || cch >= sizeof(szSysDir))
        return NULL;
    char szPath[MAX_PATH];
    if (fnFormatBounded(szPath, sizeof(szPath), "%s\\%s", szSysDir, lpszName) >= (int)sizeof(szPath) - 1)
        return NULL;
    return LoadLibraryExA(szPath, NULL, 0);
}

/* ---- version ---- */

typedef BOOL(WINAPI *IsWow64ProcessProc)(HANDLE, PBOOL);
typedef BOOL(WINAPI *GetProductInfoProc)(DWORD, DWORD, DWORD, DWORD, PDWORD);

BOOL fnIsWow64(void)
{
    IsWow64ProcessProc pfnIsWow64Process =
        FN_GET_PROC(IsWow64ProcessProc, GetModuleHandleA("KERNEL32.DLL"), "IsWow64Process");
    if (!pfnIsWow64Process) {
        fnDebugLog("fnIsWow64", "IsWow64Process not found", g_uDebugLevel);
        return FALSE;
    }
    BOOL bWow64 = FALSE;
    if (!pfnIsWow64Process(GetCurrentProcess(), &bWow64)) {
        DWORD dwErr = GetLastError();
        fnDebugLog("fnIsWow64", "IsWow64Process failed.  Error %lu.", g_uDebugLevel, (unsigned long)dwErr);
        return FALSE;
    }
    return bWow64;
}

BOOL fnIsWindows64(void)
{
#ifdef _WIN64
    /* a 64-bit program only runs on 64-bit Windows, and never under WOW64 */
    return TRUE;
#else
    return fnIsWow64();
#endif
}

/* Edition name of a 6.x or later system: the product type's name, else the registry's edition. */
static void fnGetEdition(const OSVERSIONINFOEXA *lpVx, BOOL bHaveEx, char *lpszEdition, size_t cchEdition)
{
    lpszEdition[0] = '\0';
    GetProductInfoProc pfnGetProductInfo =
        FN_GET_PROC(GetProductInfoProc, GetModuleHandleA("kernel32.dll"), "GetProductInfo");
    DWORD dwProduct = 0;
    if (!pfnGetProductInfo) {
        fnDebugLog("fnGetOSVersionInfo", "GetProductInfo not found", g_uDebugLevel);
    } else if (pfnGetProductInfo(lpVx->dwMajorVersion, lpVx->dwMinorVersion, bHaveEx ? lpVx->wServicePackMajor : 0,
                                 bHaveEx ? lpVx->wServicePackMinor : 0, &dwProduct)) {
        const char *lpszName = fnEditionName(dwProduct);
        if (lpszName)
            fnCopyBounded(lpszEdition, cchEdition, lpszName);
    }
    if (!lpszEdition[0]) {
        char szEdition[CCH_EDITION];
        if (fnGetRegistry(HKEY_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT\\Windows NT\\CurrentVersion\\EditionID", szEdition,
                          sizeof(szEdition)))
            fnCopyBounded(lpszEdition, cchEdition, szEdition);
    }
}

BOOL fnGetOSVersionInfo(OSInfoStruct *lpOSInfo)
{
    if (!lpOSInfo)
        return FALSE;
    OSVERSIONINFOA vi;
    memset(&vi, 0, sizeof(vi));
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (!GetVersionExA(&vi)) {
        DWORD dwErr = GetLastError();
        fnDebugLog("fnGetOSVersionInfo", "GetVersionEx failed.  Error %lu.", g_uDebugLevel, (unsigned long)dwErr);
        return FALSE;
    }
    OSVERSIONINFOEXA vx;
    memset(&vx, 0, sizeof(vx));
    vx.dwOSVersionInfoSize = sizeof(vx);
    BOOL bHaveEx = GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&vx));

    OSVersionInputStruct in;
    memset(&in, 0, sizeof(in));
    in.dwPlatformId = vi.dwPlatformId;
    in.dwMajor = vi.dwMajorVersion;
    in.dwMinor = vi.dwMinorVersion;
    in.dwBuild = vi.dwBuildNumber;
    fnCopyBoundedN(in.szCSDVersion, sizeof(in.szCSDVersion), vi.szCSDVersion, sizeof(vi.szCSDVersion));
    in.bHaveEx = bHaveEx;
    if (bHaveEx) {
        in.bProductType = vx.wProductType;
        in.wSuiteMask = vx.wSuiteMask;
    }
    in.bOn64BitWindows = fnIsWindows64();
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT && vi.dwMajorVersion >= 6)
        fnGetEdition(&vx, bHaveEx, in.szEdition, sizeof(in.szEdition));
    fnMapOSVersion(&in, lpOSInfo);
    fnDebugLog("fnGetOSVersionInfo",
               "dwPlatformId=%lu,\nWin %lu.%lu,\ndwBuild=%lu,\nszCSDVersion=%s,\nbHaveEx=%d,\nwProductType=%u,\n"
               "wSuiteMask=%#x,\nbOn64BitWindows=%d,\nszEdition=%s,\nszWinVersion=%s,\nszWinLabel=%s",
               g_uDebugLevel, (unsigned long)in.dwPlatformId, (unsigned long)in.dwMajor, (unsigned long)in.dwMinor,
               (unsigned long)in.dwBuild, in.szCSDVersion, in.bHaveEx, (unsigned)in.bProductType,
               (unsigned)in.wSuiteMask, in.bOn64BitWindows, in.szEdition, lpOSInfo->szWinVersion,
               lpOSInfo->szWinLabel);
    return TRUE;
}

/* ---- WMI ---- */

/* Text of a property value; "NA" when it has no text form (null, arrays, objects). */
static void fnVariantText(VARIANT *lpVar, char *lpszOut, size_t cchOut)
{
    VARIANT vText;
    VariantInit(&vText);
    if (lpVar->vt != VT_NULL && lpVar->vt != VT_EMPTY &&
        SUCCEEDED(VariantChangeType(&vText, lpVar, VARIANT_ALPHABOOL, VT_BSTR)) && vText.vt == VT_BSTR) {
        int n = WideCharToMultiByte(CP_ACP, 0, vText.bstrVal, -1, lpszOut, (int)cchOut, NULL, NULL);
        if (n == 0) {
            /* too long for the buffer: keep what fits */
            lpszOut[cchOut - 1] = '\0';
        }
        fnTrimValue(lpszOut);
    } else {
        fnCopyBounded(lpszOut, cchOut, "NA");
    }
    VariantClear(&vText);
}

BOOL fnQueryWMI(const char *lpszClass, const char *lpszProperty, const char *lpszCondition, char *lpszOut,
                size_t cchOut)
{
    if (!lpszOut || cchOut == 0)
        return FALSE;
    lpszOut[0] = '\0';
    if (!lpszClass || !lpszClass[0] || !lpszProperty || !lpszProperty[0])
        return FALSE;

    char szQuery[CCH_LINE_BUF];
    if (lpszCondition && lpszCondition[0])
        fnFormatBounded(szQuery, sizeof(szQuery), "SELECT * FROM %s %s", lpszClass, lpszCondition);
    else
        fnFormatBounded(szQuery, sizeof(szQuery), "SELECT * FROM %s", lpszClass);
    WCHAR wszQuery[CCH_LINE_BUF];
    WCHAR wszProperty[CCH_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, szQuery, -1, wszQuery, CCH_LINE_BUF) ||
        !MultiByteToWideChar(CP_ACP, 0, lpszProperty, -1, wszProperty, CCH_PATH))
        return FALSE;

    BOOL bResult = FALSE;
    BOOL bUninit = FALSE;
    int nRead = 0;
    const char *lpszStage = "CoInitializeEx";
    IWbemLocator *lpLocator = NULL;
    IWbemServices *lpServices = NULL;
    IEnumWbemClassObject *lpEnum = NULL;
    BSTR bstrNamespace = NULL, bstrLanguage = NULL, bstrQuery = NULL;
    char szText[CCH_PATH] = "";

    HRESULT hr = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr))
        bUninit = TRUE;
    else if (hr != RPC_E_CHANGED_MODE)  /* COM already set up otherwise on this thread: use it as it is */
        goto done;
    /* fails harmlessly with RPC_E_TOO_LATE when the process has set its security already */
    CoInitializeSecurity(NULL, -1, NULL, NULL, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, NULL, EOAC_NONE,
                         NULL);
    lpszStage = "CoCreateInstance";
    hr = CoCreateInstance(CLSID_WbemLocator, NULL, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                          reinterpret_cast<void **>(&lpLocator));
    if (FAILED(hr))
        goto done;
    lpszStage = "ConnectServer";
    bstrNamespace = SysAllocString(L"ROOT\\CIMV2");
    bstrLanguage = SysAllocString(L"WQL");
    bstrQuery = SysAllocString(wszQuery);
    if (!bstrNamespace || !bstrLanguage || !bstrQuery) {
        hr = E_OUTOFMEMORY;
        goto done;
    }
    hr = lpLocator->ConnectServer(bstrNamespace, NULL, NULL, NULL, 0, NULL, NULL, &lpServices);
    if (FAILED(hr))
        goto done;
    CoSetProxyBlanket(lpServices, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, NULL, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, NULL, EOAC_NONE);
    lpszStage = "ExecQuery";
    hr = lpServices->ExecQuery(bstrLanguage, bstrQuery, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, NULL,
                               &lpEnum);
    if (FAILED(hr))
        goto done;
    lpszStage = "Get";
    for (;;) {
        IWbemClassObject *lpObject = NULL;
        ULONG uReturned = 0;
        hr = lpEnum->Next(WBEM_INFINITE, 1, &lpObject, &uReturned);
        if (hr != WBEM_S_NO_ERROR || uReturned == 0) {
            /* WBEM_S_FALSE is the normal end; anything else is a failed query */
            if (FAILED(hr))
                goto done;
            break;
        }
        VARIANT vValue;
        VariantInit(&vValue);
        hr = lpObject->Get(wszProperty, 0, &vValue, NULL, NULL);
        lpObject->Release();
        if (FAILED(hr))
            goto done;
        fnVariantText(&vValue, szText, sizeof(szText));
        VariantClear(&vValue);
        nRead++;
    }
    hr = S_OK;
    bResult = nRead > 0;
    if (bResult)
        fnCopyBounded(lpszOut, cchOut, szText);

done:
    if (lpEnum)
        lpEnum->Release();
    if (lpServices)
        lpServices->Release();
    if (lpLocator)
        lpLocator->Release();
    SysFreeString(bstrQuery);
    SysFreeString(bstrLanguage);
    SysFreeString(bstrNamespace);
    if (bUninit)
        CoUninitialize();
    if (FAILED(hr))
        fnDebugLog("fnQueryWMI", "%s failed.  Error %#lx.\nszQuery=%s", g_uDebugLevel, lpszStage, (unsigned long)hr,
                   szQuery);
    fnDebugLog("fnQueryWMI", "szQuery=%s,\nlpszProperty=%s,\nnInstances=%d,\nlpszOut=%s", g_uDebugLevel, szQuery,
               lpszProperty, nRead, lpszOut);
    return bResult;
}

/* ---- network adapters ---- */

typedef DWORD(WINAPI *GetAdaptersInfoProc)(PIP_ADAPTER_INFO, PULONG);
typedef DWORD(WINAPI *GetIfTableProc)(PMIB_IFTABLE, PULONG, BOOL);

/* The interface rows (address, status, octets sent) as a malloc'd array; NULL and 0 when unavailable. */
static NetIfRowStruct *fnGetNetAdapterTable(HMODULE hIphlp, int *lpnRows)
{
    *lpnRows = 0;
    GetIfTableProc pfnGetIfTable = FN_GET_PROC(GetIfTableProc, hIphlp, "GetIfTable");
    if (!pfnGetIfTable) {
        fnDebugLog("fnGetNetAdapterTable", "Function GetIfTable in IPHLPAPI.DLL not found.", g_uDebugLevel);
        return NULL;
    }
    ULONG cbTable = 0;
    DWORD dwRC = pfnGetIfTable(NULL, &cbTable, FALSE);
    if (dwRC != NO_ERROR && dwRC != ERROR_INSUFFICIENT_BUFFER) {
        fnDebugLog("fnGetNetAdapterTable", "GetIfTable sizing failed.  Error %lu.", g_uDebugLevel,
                   (unsigned long)dwRC);
        return NULL;
    }
    MIB_IFTABLE *lpTable = static_cast<MIB_IFTABLE *>(malloc(cbTable ? cbTable : sizeof(MIB_IFTABLE)));
    if (!lpTable)
        return NULL;
    NetIfRowStruct *lpRows = NULL;
    dwRC = pfnGetIfTable(lpTable, &cbTable, FALSE);
    if (dwRC == NO_ERROR && lpTable->dwNumEntries > 0) {
        lpRows = static_cast<NetIfRowStruct *>(calloc(lpTable->dwNumEntries, sizeof(NetIfRowStruct)));
        if (lpRows) {
            for (DWORD i = 0; i < lpTable->dwNumEntries; i++) {
                const MIB_IFROW *lpRow = &lpTable->table[i];
                UINT cb = lpRow->dwPhysAddrLen < sizeof(lpRows[i].abPhysAddr) ? lpRow->dwPhysAddrLen
                                                                               : sizeof(lpRows[i].abPhysAddr);
                memcpy(lpRows[i].abPhysAddr, lpRow->bPhysAddr, cb);
                lpRows[i].cbPhysAddr = lpRow->dwPhysAddrLen;
                lpRows[i].dwOperStatus = lpRow->dwOperStatus;
                lpRows[i].ullOutOctets = lpRow->dwOutOctets;
            }
            *lpnRows = (int)lpTable->dwNumEntries;
        }
    } else if (dwRC != NO_ERROR) {
        fnDebugLog("fnGetNetAdapterTable", "GetIfTable failed.  Error %lu.", g_uDebugLevel, (unsigned long)dwRC);
    }
    free(lpTable);
    return lpRows;
}

int fnGetNetAddress(char *lpszList, size_t cchList, char *lpszMask, size_t cchMask, char *lpszGateway,
                    size_t cchGateway)
{
    int nAdapters = 0;
    int nEthernet = 0;
    int nRows = 0;
    NetAdapterStruct *lpAdapters = NULL;
    NetIfRowStruct *lpRows = NULL;
    IP_ADAPTER_INFO *lpInfo = NULL;
    ULONG cbInfo = 0;
    DWORD dwRC;
    GetAdaptersInfoProc pfnGetAdaptersInfo;

    HMODULE hIphlp = fnLoadSystemDll("IPHLPAPI.DLL");
    if (!hIphlp) {
        DWORD dwErr = GetLastError();
        fnDebugLog("fnGetNetAddress", "IPHLPAPI.DLL not found.  Error %lu.", g_uDebugLevel, (unsigned long)dwErr);
        goto done;
    }
    pfnGetAdaptersInfo = FN_GET_PROC(GetAdaptersInfoProc, hIphlp, "GetAdaptersInfo");
    if (!pfnGetAdaptersInfo) {
        DWORD dwErr = GetLastError();
        fnDebugLog("fnGetNetAddress", "Function GetAdaptersInfo in IPHLPAPI.DLL not found.  Error %lu.",
                   g_uDebugLevel, (unsigned long)dwErr);
        goto done;
    }
    dwRC = pfnGetAdaptersInfo(NULL, &cbInfo);
    if ((dwRC != ERROR_SUCCESS && dwRC != ERROR_BUFFER_OVERFLOW) || cbInfo == 0) {
        fnDebugLog("fnGetNetAddress", "GetAdaptersInfo sizing failed.  Error %lu.", g_uDebugLevel,
                   (unsigned long)dwRC);
        goto done;
    }
    lpInfo = static_cast<IP_ADAPTER_INFO *>(malloc(cbInfo));
    if (!lpInfo) {
        fnDebugLog("fnGetNetAddress", "Memory Allocation Error.", g_uDebugLevel);
        goto done;
    }
    dwRC = pfnGetAdaptersInfo(lpInfo, &cbInfo);
    if (dwRC != ERROR_SUCCESS) {
        fnDebugLog("fnGetNetAddress", "GetAdaptersInfo failed.  Error %lu.", g_uDebugLevel, (unsigned long)dwRC);
        goto done;
    }
    for (IP_ADAPTER_INFO *p = lpInfo; p; p = p->Next)
        nAdapters++;
    lpAdapters = static_cast<NetAdapterStruct *>(calloc((size_t)nAdapters, sizeof(NetAdapterStruct)));
    if (!lpAdapters) {
        fnDebugLog("fnGetNetAddress", "Memory Allocation Error.", g_uDebugLevel);
        nAdapters = 0;
        goto done;
    }
    {
        int i = 0;
        for (IP_ADAPTER_INFO *p = lpInfo; p; p = p->Next, i++) {
            NetAdapterStruct *lpA = &lpAdapters[i];
            lpA->uType = p->Type;
            lpA->cbAddress = p->AddressLength;
            memcpy(lpA->abAddress, p->Address,
                   p->AddressLength < sizeof(lpA->abAddress) ? p->AddressLength : sizeof(lpA->abAddress));
            fnCopyBoundedN(lpA->szIp, sizeof(lpA->szIp), p->IpAddressList.IpAddress.String,
                           sizeof(p->IpAddressList.IpAddress.String));
            fnCopyBoundedN(lpA->szMask, sizeof(lpA->szMask), p->IpAddressList.IpMask.String,
                           sizeof(p->IpAddressList.IpMask.String));
            fnCopyBoundedN(lpA->szGateway, sizeof(lpA->szGateway), p->GatewayList.IpAddress.String,
                           sizeof(p->GatewayList.IpAddress.String));
        }
    }
    lpRows = fnGetNetAdapterTable(hIphlp, &nRows);

done:
    nEthernet = fnOrderNetAdapters(lpAdapters, lpAdapters ? nAdapters : 0, lpRows, nRows, lpszList, cchList, lpszMask,
                                   cchMask, lpszGateway, cchGateway);
    free(lpRows);
    free(lpAdapters);
    free(lpInfo);
    if (hIphlp)
        FreeLibrary(hIphlp);
    fnDebugLog("fnGetNetAddress", "nEthernet=%d,\nlpszList=%s", g_uDebugLevel, nEthernet, lpszList ? lpszList : "");
    return nEthernet;
}

/* ---- SMBIOS ---- */

typedef UINT(WINAPI *GetSystemFirmwareTableProc)(DWORD, DWORD, PVOID, DWORD);

/* 1 value found, 0 table read but no value, -1 the firmware table is not available. */
static int fnSmbiosFromFirmware(char *lpszOut, size_t cchOut, UINT uSelector)
{
    GetSystemFirmwareTableProc pfnGetTable =
        FN_GET_PROC(GetSystemFirmwareTableProc, GetModuleHandleA("kernel32.dll"), "GetSystemFirmwareTable");
    if (!pfnGetTable) {
        fnDebugLog("fnReadSMBIOS", "GetSystemFirmwareTable not found", g_uDebugLevel);
        return -1;
    }
    const DWORD dwRsmb = ('R' << 24) | ('S' << 16) | ('M' << 8) | 'B';
    UINT cbNeeded = pfnGetTable(dwRsmb, 0, NULL, 0);
    /* the raw data starts with 8 bytes of header: method, versions, then the table length */
    if (cbNeeded <= 8) {
        DWORD dwErr = GetLastError();
        fnDebugLog("fnReadSMBIOS", "GetSystemFirmwareTable sizing failed.  Error %lu.", g_uDebugLevel,
                   (unsigned long)dwErr);
        return -1;
    }
    BYTE *lpRaw = static_cast<BYTE *>(malloc(cbNeeded));
    if (!lpRaw) {
        fnDebugLog("fnReadSMBIOS", "Memory Allocation Error.", g_uDebugLevel);
        return -1;
    }
    int nResult = -1;
    UINT cbGot = pfnGetTable(dwRsmb, 0, lpRaw, cbNeeded);
    if (cbGot > 8 && cbGot <= cbNeeded) {
        DWORD cbTable;
        memcpy(&cbTable, lpRaw + 4, sizeof(cbTable));
        if (cbTable > cbGot - 8)
            cbTable = cbGot - 8;
        nResult = fnSmbiosValue(lpRaw + 8, cbTable, uSelector, lpszOut, cchOut) ? 1 : 0;
    } else {
        DWORD dwErr = GetLastError();
        fnDebugLog("fnReadSMBIOS", "GetSystemFirmwareTable failed.  Error %lu.", g_uDebugLevel, (unsigned long)dwErr);
    }
    free(lpRaw);
    return nResult;
}

struct NtUnicodeStringStruct {
    USHORT Length;
    USHORT MaximumLength;
    PWSTR Buffer;
};

struct NtObjectAttributesStruct {
    ULONG Length;
    HANDLE RootDirectory;
    NtUnicodeStringStruct *ObjectName;
    ULONG Attributes;
    PVOID SecurityDescriptor;
    PVOID SecurityQualityOfService;
};

typedef LONG NTSTATUS_T;
typedef VOID(WINAPI *RtlInitUnicodeStringProc)(NtUnicodeStringStruct *, PCWSTR);
typedef NTSTATUS_T(WINAPI *NtOpenSectionProc)(PHANDLE, ACCESS_MASK, NtObjectAttributesStruct *);
typedef NTSTATUS_T(WINAPI *NtMapViewOfSectionProc)(HANDLE, HANDLE, PVOID *, ULONG_PTR, SIZE_T, PLARGE_INTEGER,
                                                   PSIZE_T, DWORD, ULONG, ULONG);
typedef NTSTATUS_T(WINAPI *NtUnmapViewOfSectionProc)(HANDLE, PVOID);
typedef ULONG(WINAPI *RtlNtStatusToDosErrorProc)(NTSTATUS_T);

struct NtSectionApiStruct {
    RtlInitUnicodeStringProc pfnRtlInitUnicodeString;
    NtOpenSectionProc pfnNtOpenSection;
    NtMapViewOfSectionProc pfnNtMapViewOfSection;
    NtUnmapViewOfSectionProc pfnNtUnmapViewOfSection;
    RtlNtStatusToDosErrorProc pfnRtlNtStatusToDosError;
};

/* Unmaps the view it holds when it goes out of scope. */
struct SectionViewGuardStruct {
    const NtSectionApiStruct *lpApi = NULL;
    PVOID lpBase = NULL;
    ~SectionViewGuardStruct()
    {
        if (lpBase)
            lpApi->pfnNtUnmapViewOfSection(GetCurrentProcess(), lpBase);
    }
    SectionViewGuardStruct() = default;
    SectionViewGuardStruct(const SectionViewGuardStruct &) = delete;
    SectionViewGuardStruct &operator=(const SectionViewGuardStruct &) = delete;
};

struct HandleGuardStruct {
    HANDLE h = NULL;
    ~HandleGuardStruct()
    {
        if (h)
            CloseHandle(h);
    }
    HandleGuardStruct() = default;
    HandleGuardStruct(const HandleGuardStruct &) = delete;
    HandleGuardStruct &operator=(const HandleGuardStruct &) = delete;
};

/* Maps cb bytes of physical memory from dwAddress; *lplpData points at dwAddress inside the view. */
static BOOL fnMapPhysical(const NtSectionApiStruct *lpApi, HANDLE hSection, DWORD dwAddress, SIZE_T cb,
                          SectionViewGuardStruct *lpView, const BYTE **lplpData, SIZE_T *lpcbData)
{
    LARGE_INTEGER liOffset;
    liOffset.QuadPart = dwAddress;
    SIZE_T cbView = cb;
    PVOID lpBase = NULL;
    /* 2 = ViewUnmap; the offset comes back rounded down to the allocation granularity */
    NTSTATUS_T status = lpApi->pfnNtMapViewOfSection(hSection, GetCurrentProcess(), &lpBase, 0, cb, &liOffset,
                                                     &cbView, 2, 0, PAGE_READONLY);
    if (status < 0) {
        fnDebugLog("fnReadSMBIOS", "Could not map view.  Error %lu.", g_uDebugLevel,
                   (unsigned long)lpApi->pfnRtlNtStatusToDosError(status));
        return FALSE;
    }
    lpView->lpApi = lpApi;
    lpView->lpBase = lpBase;
    SIZE_T cbSkip = (SIZE_T)(dwAddress - liOffset.QuadPart);
    if (cbSkip >= cbView)
        return FALSE;
    *lplpData = static_cast<const BYTE *>(lpBase) + cbSkip;
    *lpcbData = cbView - cbSkip < cb ? cbView - cbSkip : cb;
    return TRUE;
}

static BOOL fnSmbiosFromPhysicalMemory(char *lpszOut, size_t cchOut, UINT uSelector)
{
    HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    NtSectionApiStruct api;
    api.pfnRtlInitUnicodeString = FN_GET_PROC(RtlInitUnicodeStringProc, hNtdll, "RtlInitUnicodeString");
    api.pfnNtOpenSection = FN_GET_PROC(NtOpenSectionProc, hNtdll, "NtOpenSection");
    api.pfnNtMapViewOfSection = FN_GET_PROC(NtMapViewOfSectionProc, hNtdll, "NtMapViewOfSection");
    api.pfnNtUnmapViewOfSection = FN_GET_PROC(NtUnmapViewOfSectionProc, hNtdll, "NtUnmapViewOfSection");
    api.pfnRtlNtStatusToDosError = FN_GET_PROC(RtlNtStatusToDosErrorProc, hNtdll, "RtlNtStatusToDosError");
    if (!api.pfnRtlInitUnicodeString || !api.pfnNtOpenSection || !api.pfnNtMapViewOfSection ||
        !api.pfnNtUnmapViewOfSection || !api.pfnRtlNtStatusToDosError) {
        fnDebugLog("fnReadSMBIOS", "Section functions not found in ntdll.dll", g_uDebugLevel);
        return FALSE;
    }
    NtUnicodeStringStruct usName;
    api.pfnRtlInitUnicodeString(&usName, L"\\device\\physicalmemory");
    NtObjectAttributesStruct oa;
    memset(&oa, 0, sizeof(oa));
    oa.Length = sizeof(oa);
    oa.ObjectName = &usName;
    oa.Attributes = 0x40; /* OBJ_CASE_INSENSITIVE */
    HandleGuardStruct section;
    NTSTATUS_T status = api.pfnNtOpenSection(&section.h, SECTION_MAP_READ, &oa);
    if (status < 0) {
        section.h = NULL;
        fnDebugLog("fnReadSMBIOS", "Could not open \\\\device\\\\physicalmemory.  Error %lu.", g_uDebugLevel,
                   (unsigned long)api.pfnRtlNtStatusToDosError(status));
        return FALSE;
    }
    SectionViewGuardStruct biosView;
    const BYTE *lpBios = NULL;
    SIZE_T cbBios = 0;
    if (!fnMapPhysical(&api, section.h, 0xF0000, 65535, &biosView, &lpBios, &cbBios))
        return FALSE;
    long nAnchor = fnFindSmbiosAnchor(lpBios, cbBios);
    if (nAnchor < 0 || (SIZE_T)nAnchor + 32 > cbBios) {
        fnDebugLog("fnReadSMBIOS", "No SMBIOS anchor found", g_uDebugLevel);
        return FALSE;
    }
    WORD cbTable;
    DWORD dwTableAddress;
    memcpy(&cbTable, lpBios + nAnchor + 22, sizeof(cbTable));
    memcpy(&dwTableAddress, lpBios + nAnchor + 24, sizeof(dwTableAddress));
    SectionViewGuardStruct tableView;
    const BYTE *lpTable = NULL;
    SIZE_T cbMapped = 0;
    if (!fnMapPhysical(&api, section.h, dwTableAddress, cbTable, &tableView, &lpTable, &cbMapped))
        return FALSE;
    return fnSmbiosValue(lpTable, cbMapped, uSelector, lpszOut, cchOut);
}

BOOL fnReadSMBIOS(char *lpszOut, size_t cchOut, UINT uSelector)
{
    if (!lpszOut || cchOut == 0)
        return FALSE;
    lpszOut[0] = '\0';
    int nFirmware = fnSmbiosFromFirmware(lpszOut, cchOut, uSelector);
    /* physical memory holds the same table: it is only worth reading when the system would not give it */
    BOOL bFound = nFirmware > 0 || (nFirmware < 0 && fnSmbiosFromPhysicalMemory(lpszOut, cchOut, uSelector));
    if (!bFound)
        lpszOut[0] = '\0';
    fnDebugLog("fnReadSMBIOS", "uSelector=%u,\nbFound=%d,\nlpszOut=%s", g_uDebugLevel, uSelector, bFound, lpszOut);
    return bFound;
}
