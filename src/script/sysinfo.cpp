/*
 * script/sysinfo.cpp -- the portable rules behind the system facts: the
 * operating-system description from a version record, the SMBIOS structure
 * walk, the order of the Ethernet adapter list and the start-up folders.
 * Nothing here asks the system anything except through g_lpMachine.
 */
#include "script/sysinfo.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"

void fnTrimValue(char *lpszText)
{
    if (!lpszText)
        return;
    size_t cchLead = strspn(lpszText, " \t\r\n");
    size_t cch = strlen(lpszText + cchLead);
    memmove(lpszText, lpszText + cchLead, cch + 1);
    while (cch > 0 && strchr(" \t\r\n", lpszText[cch - 1]))
        lpszText[--cch] = '\0';
}

const char *fnEditionName(DWORD dwProductType)
{
    switch (dwProductType) {
    case 1: return "Ultimate";
    case 2: case 5: return "Basic";
    case 3: return "Premium";
    case 4: case 10: return "Enterprise";
    case 6: case 16: return "Business";
    case 7: return "Standard";
    case 8: return "Datacenter";
    case 11: return "Starter";
    case 12: return "Datacenter(core)";
    case 13: return "Standard(core)";
    case 14: return "Enterprise(core)";
    case 15: return "Enterprise(Itanium)";
    case 17: return "Web";
    case 0xABCDABCDu: return "Unlicensed";
    default: return NULL;
    }
}

/* Every row's description reads "<product>, Vs. major.minor, build n<suffix>" and its label "<label><suffix>". */
static void fnSetRow(OSInfoStruct *lpOS, DWORD uIndex, const char *lpszName, const char *lpszProduct,
                     const char *lpszLabel, const char *lpszSuffix, const char *lpszLabelSuffix)
{
    lpOS->uWinIndex = uIndex;
    fnCopyBounded(lpOS->szWinName, sizeof(lpOS->szWinName), lpszName);
    fnFormatBounded(lpOS->szWinVersion, sizeof(lpOS->szWinVersion), "%s, Vs. %lu.%lu, build %lu%s", lpszProduct,
                    (unsigned long)lpOS->dwWinMajor, (unsigned long)lpOS->dwWinMinor,
                    (unsigned long)lpOS->dwWinBuild, lpszSuffix);
    fnFormatBounded(lpOS->szWinLabel, sizeof(lpOS->szWinLabel), "%s%s", lpszLabel, lpszLabelSuffix);
}

/* All the digits of a text read as one decimal number. */
static DWORD fnDigitsOf(const char *lpszText)
{
    DWORD dwValue = 0;
    for (const char *p = lpszText; *p; p++) {
        if (*p >= '0' && *p <= '9')
            dwValue = dwValue * 10u + (DWORD)(*p - '0');
    }
    return dwValue;
}

static void fnMapVersion6(const OSVersionInputStruct *lpIn, OSInfoStruct *lpOS, const char *lpszSuffix,
                          const char *lpszLabelSuffix)
{
    BOOL b64 = lpIn->bOn64BitWindows;
    const char *lpszEd = lpIn->szEdition;
    BOOL bEd = lpszEd[0] != '\0';
    char szProduct[64];
    char szLabel[64];
    if (b64)
        lpOS->uWinBits = 64;
    if (lpIn->bHaveEx && lpIn->bProductType != OS_PRODUCT_WORKSTATION) {
        if (bEd)
            fnFormatBounded(szProduct, sizeof(szProduct), "2008 %s Server%s", lpszEd, b64 ? " 64" : "");
        else
            fnFormatBounded(szProduct, sizeof(szProduct), "2008 Server%s", b64 ? " 64" : "");
        fnFormatBounded(szLabel, sizeof(szLabel), "%s%s", b64 ? "Win200864Server" : "Win2008Server", lpszEd);
        fnSetRow(lpOS, b64 ? 16 : 15, "Vista", szProduct, szLabel, lpszSuffix, lpszLabelSuffix);
    } else if (lpIn->bHaveEx && (lpIn->wSuiteMask & OS_SUITE_PERSONAL)) {
        /* there is no 64-bit home code; the bits still say what the system is */
        if (bEd)
            fnFormatBounded(szProduct, sizeof(szProduct), "Vista Home %s", lpszEd);
        else
            fnCopyBounded(szProduct, sizeof(szProduct), "Vista Home");
        fnFormatBounded(szLabel, sizeof(szLabel), "WinVistaHome%s", lpszEd);
        fnSetRow(lpOS, 12, "Vista", szProduct, szLabel, lpszSuffix, lpszLabelSuffix);
    } else {
        /* the editions are only known with the extended record */
        if (!lpIn->bHaveEx)
            bEd = FALSE;
        if (bEd)
            fnFormatBounded(szProduct, sizeof(szProduct), "Vista %s%s", lpszEd, b64 ? " 64" : "");
        else
            fnFormatBounded(szProduct, sizeof(szProduct), "Vista%s", b64 ? " 64" : "");
        fnFormatBounded(szLabel, sizeof(szLabel), "%s%s", b64 ? "WinVista64" : "WinVista", bEd ? lpszEd : "");
        fnSetRow(lpOS, b64 ? 14 : 13, "Vista", szProduct, szLabel, lpszSuffix, lpszLabelSuffix);
    }
}

void fnMapOSVersion(const OSVersionInputStruct *lpIn, OSInfoStruct *lpOS)
{
    memset(lpOS, 0, sizeof(*lpOS));
    lpOS->dwWinMajor = lpIn->dwMajor;
    lpOS->dwWinMinor = lpIn->dwMinor;
    lpOS->dwWinBuild = lpIn->dwBuild;
    lpOS->dwWinPlatformID = lpIn->dwPlatformId;
    lpOS->uWinFamily = 2;
    lpOS->uWinIndex = 1;
    lpOS->uWinBits = 32;
    fnCopyBounded(lpOS->szWinName, sizeof(lpOS->szWinName), "XP");
    fnFormatBounded(lpOS->szWinVersion, sizeof(lpOS->szWinVersion), "%lu.%lu", (unsigned long)lpIn->dwMajor,
                    (unsigned long)lpIn->dwMinor);
    fnCopyBounded(lpOS->szWinLabel, sizeof(lpOS->szWinLabel), "Windows");
    fnCopyBounded(lpOS->szWinVSDescription, sizeof(lpOS->szWinVSDescription), lpIn->szCSDVersion);

    /* a service-pack text that is empty or starts with a blank counts as none */
    char szSuffix[CCH_WINVSDESC + 2] = "";
    char szLabelSuffix[CCH_WINVSDESC + 1] = "";
    BOOL bServicePack = lpIn->szCSDVersion[0] != '\0' && lpIn->szCSDVersion[0] != ' ';
    if (bServicePack) {
        fnFormatBounded(szSuffix, sizeof(szSuffix), ", %s", lpIn->szCSDVersion);
        fnFormatBounded(szLabelSuffix, sizeof(szLabelSuffix), "-%s", lpIn->szCSDVersion);
    }
    DWORD dwMajor = lpIn->dwMajor, dwMinor = lpIn->dwMinor;
    BOOL bServer = lpIn->bHaveEx && lpIn->bProductType != OS_PRODUCT_WORKSTATION;

    switch (lpIn->dwPlatformId) {
    case 0:
        lpOS->uWinIndex = 0;
        lpOS->uWinFamily = 1;
        fnCopyBounded(lpOS->szWinName, sizeof(lpOS->szWinName), "WIN3");
        fnFormatBounded(lpOS->szWinVersion, sizeof(lpOS->szWinVersion), "32s\n%lu.%lu", (unsigned long)dwMajor,
                        (unsigned long)dwMinor);
        break;
    case 1:
        lpOS->uWinFamily = 2;
        lpOS->dwWinBuild = lpIn->dwBuild & 0xffff;
        if (dwMinor == 0) {
            if (!bServicePack && lpOS->dwWinBuild > 1079) {
                lpOS->uWinSR = 2;
                fnCopyBounded(szSuffix, sizeof(szSuffix), ", OEM SR 2");
                fnCopyBounded(szLabelSuffix, sizeof(szLabelSuffix), "-SR2");
            } else if (!bServicePack && lpOS->dwWinBuild > 1023) {
                lpOS->uWinSR = 1;
                fnCopyBounded(szSuffix, sizeof(szSuffix), ", SR 1");
                fnCopyBounded(szLabelSuffix, sizeof(szLabelSuffix), "-SR1");
            }
            fnSetRow(lpOS, 1, "9X", "95", "Win95", szSuffix, szLabelSuffix);
        } else if (dwMinor < 90) {
            fnSetRow(lpOS, 2, "9X", "98", "Win98", szSuffix, szLabelSuffix);
        } else {
            fnSetRow(lpOS, 6, "9X", "ME", "WinME", szSuffix, szLabelSuffix);
        }
        break;
    case 2:
        lpOS->bWinNT = 1;
        lpOS->uWinFamily = 3;
        lpOS->uWinSR = bServicePack ? fnDigitsOf(lpIn->szCSDVersion) : 0;
        if (dwMajor < 5) {
            fnSetRow(lpOS, 3, "NT", "NT", "WinNT", szSuffix, szLabelSuffix);
        } else if (dwMajor == 5 && dwMinor == 0) {
            if (bServer)
                fnSetRow(lpOS, 5, "2000", "2000 Server", "Win2000Server", szSuffix, szLabelSuffix);
            else
                fnSetRow(lpOS, 4, "2000", "2000", "Win2000", szSuffix, szLabelSuffix);
        } else if (dwMajor == 5 && dwMinor == 1) {
            if (lpIn->bHaveEx && (lpIn->wSuiteMask & OS_SUITE_PERSONAL))
                fnSetRow(lpOS, 7, "XP", "XP Home", "WinXPHome", szSuffix, szLabelSuffix);
            else
                fnSetRow(lpOS, 8, "XP", "XP", "WinXP", szSuffix, szLabelSuffix);
        } else if (dwMajor == 5) {
            if (lpIn->bOn64BitWindows) {
                lpOS->uWinBits = 64;
                fnSetRow(lpOS, 9, "XP", "XP 64", "WinXP64", szSuffix, szLabelSuffix);
            } else {
                fnSetRow(lpOS, 10, "XP", "2003 Server", "Win2003Server", szSuffix, szLabelSuffix);
            }
            if (bServer)
                fnSetRow(lpOS, 10, "XP", "2003 Server", "Win2003Server", szSuffix, szLabelSuffix);
        } else if (dwMajor == 6) {
            fnMapVersion6(lpIn, lpOS, szSuffix, szLabelSuffix);
        } else {
            /* versions after 6 keep the plain "major.minor" texts and the NT code */
            lpOS->uWinIndex = 3;
            if (lpIn->bOn64BitWindows)
                lpOS->uWinBits = 64;
        }
        break;
    default:
        break;
    }
}

/* ---- SMBIOS ---- */

long fnFindSmbiosAnchor(const BYTE *lpMem, size_t cbMem)
{
    if (!lpMem)
        return -1;
    for (size_t i = 0; i + 4 <= cbMem; i += 16) {
        if (memcmp(lpMem + i, "_SM_", 4) == 0)
            return (long)i;
    }
    return -1;
}

/* String n (from 1) of a structure's string area [lpStrings, lpEnd); NULL when it has none. */
static const char *fnSmbiosString(const BYTE *lpStrings, const BYTE *lpEnd, BYTE nString, size_t *lpcch)
{
    if (nString == 0)
        return NULL;
    const BYTE *p = lpStrings;
    for (BYTE n = 1; p < lpEnd && *p; n++) {
        const BYTE *lpStart = p;
        while (p < lpEnd && *p)
            p++;
        if (n == nString) {
            *lpcch = (size_t)(p - lpStart);
            return reinterpret_cast<const char *>(lpStart);
        }
        p++;
    }
    return NULL;
}

BOOL fnSmbiosValue(const BYTE *lpTable, size_t cbTable, UINT uSelector, char *lpszOut, size_t cchOut)
{
    if (!lpTable || !lpszOut || cchOut == 0)
        return FALSE;
    lpszOut[0] = '\0';
    BYTE bWantType;
    size_t cbOffset;
    switch (uSelector) {
    case SMBIOS_SYS_MANUFACTURER: bWantType = 1; cbOffset = 4; break;
    case SMBIOS_SYS_PRODUCT: bWantType = 1; cbOffset = 5; break;
    case SMBIOS_SYS_SERIAL: bWantType = 1; cbOffset = 7; break;
    case SMBIOS_CPU_SPEED: bWantType = 4; cbOffset = 22; break;
    default: return FALSE;
    }
    size_t pos = 0;
    while (pos + 4 <= cbTable) {
        BYTE bType = lpTable[pos];
        size_t cbFormatted = lpTable[pos + 1];
        /* a structure shorter than its header, or past the table, ends a damaged table */
        if (cbFormatted < 4 || pos + cbFormatted > cbTable)
            break;
        const BYTE *lpStrings = lpTable + pos + cbFormatted;
        const BYTE *lpEnd = lpTable + cbTable;
        const BYTE *q = lpStrings;
        while (q + 1 < lpEnd && !(q[0] == 0 && q[1] == 0))
            q++;
        const BYTE *lpStringsEnd = q;
        if (bType == bWantType) {
            if (uSelector == SMBIOS_CPU_SPEED) {
                if (cbFormatted >= cbOffset + 2) {
                    unsigned uMHz = lpTable[pos + cbOffset] | (lpTable[pos + cbOffset + 1] << 8);
                    /* 0 is "unknown", as an empty socket reports it */
                    if (uMHz) {
                        fnFormatBounded(lpszOut, cchOut, "%uMHz", uMHz);
                        return TRUE;
                    }
                }
            } else if (cbFormatted > cbOffset) {
                size_t cch = 0;
                const char *lpsz = fnSmbiosString(lpStrings, lpStringsEnd, lpTable[pos + cbOffset], &cch);
                if (lpsz) {
                    fnCopyBoundedN(lpszOut, cchOut, lpsz, cch);
                    fnTrimValue(lpszOut);
                    if (lpszOut[0])
                        return TRUE;
                }
            }
        }
        if (bType == 127 || q + 1 >= lpEnd)
            break;
        pos = (size_t)(q + 2 - lpTable);
    }
    lpszOut[0] = '\0';
    return FALSE;
}

/* ---- network adapters ---- */

static void fnMacText(const BYTE *lpAddr, char *lpszOut, size_t cchOut)
{
    fnFormatBounded(lpszOut, cchOut, "%.2X%.2X%.2X%.2X%.2X%.2X", lpAddr[0], lpAddr[1], lpAddr[2], lpAddr[3],
                    lpAddr[4], lpAddr[5]);
}

/* The interface row of an adapter address; an operational row wins over others of the same address. */
static const NetIfRowStruct *fnFindIfRow(const BYTE *lpAddr, const NetIfRowStruct *lpRows, int nRows)
{
    const NetIfRowStruct *lpFound = NULL;
    for (int i = 0; i < nRows; i++) {
        if (lpRows[i].cbPhysAddr != 6 || memcmp(lpRows[i].abPhysAddr, lpAddr, 6) != 0)
            continue;
        if (lpRows[i].dwOperStatus >= 4)
            return &lpRows[i];
        if (!lpFound)
            lpFound = &lpRows[i];
    }
    return lpFound;
}

/* Appends ";entry" (no ";" first) when the whole entry fits. */
static void fnAppendEntry(char *lpszList, size_t cchList, const char *lpszEntry)
{
    size_t cchUsed = strlen(lpszList);
    size_t cchSep = cchUsed ? 1 : 0;
    if (cchUsed + cchSep + strlen(lpszEntry) >= cchList)
        return;
    if (cchSep)
        fnAppendBounded(lpszList, cchList, ";");
    fnAppendBounded(lpszList, cchList, lpszEntry);
}

#define CCH_NET_ENTRY 32
#define CCH_NET_LIST 4096

int fnOrderNetAdapters(const NetAdapterStruct *lpAdapters, int nAdapters, const NetIfRowStruct *lpRows, int nRows,
                       char *lpszList, size_t cchList, char *lpszMask, size_t cchMask, char *lpszGateway,
                       size_t cchGateway)
{
    char szPrimary[CCH_NET_ENTRY] = "";
    ULONGLONG ullPrimaryOctets = 0;
    BOOL bHavePrimary = FALSE;
    char szActive[CCH_NET_LIST] = "";
    char szInactive[CCH_NET_LIST] = "";
    int nEthernet = 0;
    if (lpszMask && cchMask)
        lpszMask[0] = '\0';
    if (lpszGateway && cchGateway)
        lpszGateway[0] = '\0';

    for (int i = 0; i < nAdapters; i++) {
        const NetAdapterStruct *lpA = &lpAdapters[i];
        if (lpA->uType != 6 || lpA->cbAddress != 6)
            continue;
        nEthernet++;
        char szMac[16];
        fnMacText(lpA->abAddress, szMac, sizeof(szMac));
        char szEntry[CCH_NET_ENTRY];
        fnFormatBounded(szEntry, sizeof(szEntry), "%s-%s", szMac, lpA->szIp);
        if (lpszMask && cchMask)
            fnCopyBounded(lpszMask, cchMask, lpA->szMask);
        if (lpszGateway && cchGateway)
            fnCopyBounded(lpszGateway, cchGateway, lpA->szGateway);

        const NetIfRowStruct *lpRow = strcmp(lpA->szIp, "0.0.0.0") == 0 ? NULL
                                                                        : fnFindIfRow(lpA->abAddress, lpRows, nRows);
        if (!lpRow || lpRow->dwOperStatus < 4) {
            fnAppendEntry(szInactive, sizeof(szInactive), szEntry);
        } else if (!bHavePrimary) {
            fnCopyBounded(szPrimary, sizeof(szPrimary), szEntry);
            ullPrimaryOctets = lpRow->ullOutOctets;
            bHavePrimary = TRUE;
        } else if (lpRow->ullOutOctets > ullPrimaryOctets) {
            fnAppendEntry(szActive, sizeof(szActive), szPrimary);
            fnCopyBounded(szPrimary, sizeof(szPrimary), szEntry);
            ullPrimaryOctets = lpRow->ullOutOctets;
        } else {
            fnAppendEntry(szActive, sizeof(szActive), szEntry);
        }
    }
    if (lpszList && cchList) {
        lpszList[0] = '\0';
        if (nEthernet == 0) {
            fnCopyBounded(lpszList, cchList, "NA-0.0.0.0");
        } else {
            if (bHavePrimary)
                fnAppendEntry(lpszList, cchList, szPrimary);
            /* the partial lists hold whole entries, so the joined list is cut between entries only */
            if (szActive[0])
                fnAppendEntry(lpszList, cchList, szActive);
            if (szInactive[0])
                fnAppendEntry(lpszList, cchList, szInactive);
        }
    }
    return nEthernet;
}

/* ---- start-up folders ---- */

void fnReadRegGlobals(void)
{
    const MachineLookupStruct *lpM = g_lpMachine;
    if (!lpM->pfnReadRegistry(REGROOT_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir",
                              g_szProgramFilesDir, sizeof(g_szProgramFilesDir), REGCONV_HEX) ||
        !g_szProgramFilesDir[0]) {
        if (!lpM->pfnLoadString(1251, g_szProgramFilesDir, sizeof(g_szProgramFilesDir)))
            fnCopyBounded(g_szProgramFilesDir, sizeof(g_szProgramFilesDir), "C:\\Program Files");
    }
    /* on a miss the lookup itself leaves the Windows folder joined with string 1254 */
    lpM->pfnGetShellFolder(FALSE, "Programs", g_szUserProgramsFolder, sizeof(g_szUserProgramsFolder), 1254);
    fnDebugLog("fnReadRegGlobals", "g_szProgramFilesDir=%s,\ng_szUserProgramsFolder=%s", g_uDebugLevel,
               g_szProgramFilesDir, g_szUserProgramsFolder);
}
