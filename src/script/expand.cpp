/*
 * script/expand.cpp -- the option expander: the left-to-right loop, the
 * reading of each option's letter and digits, the values of the option table
 * (slots, folders, system facts, escapes, prefixes) and the hand-over of
 * inline functions to script/inlinefun.cpp. Does not fill any store except the
 * function-result slots; the sections that own the stores write them.
 *
 * Limits: the expanded text is built in CCH_EXPANDED characters and one
 * option's value in CCH_OPTVALUE; anything longer is cut there and the loop
 * goes on, so a field never grows past 259 characters.
 */
#include "script/expand.h"

#include <stdio.h>
#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "script/inlinefun.h"
#include "script/optstore.h"
#include "script/pathtext.h"

BOOL g_bExpandSecret;
BOOL g_bLastExpandSecret;
ExpandNoteProc g_pfnExpandNote;
static UINT s_uExpandDepth; /* 1 in a field's expansion, 2 in an inline function's arguments */

const char *fnLogText(const char *lpszText)
{
    return g_bExpandSecret ? "(hidden)" : lpszText;
}

namespace {

/* What one option turned out to be. */
enum OptKindEnum {
    OPT_MALFORMED,   /* the option character is copied as text, reading goes on after it */
    OPT_VALUE,       /* lpszValue replaces the option text */
    OPT_PREFIX,      /* sets a prefix flag, produces no text */
    OPT_KEEP,        /* the option text stays as written and the result becomes -1 */
    OPT_ENDMARK      /* the option text is copied; the finished text is cut there */
};

enum {
    PREFIX_SHORT = 1,
    PREFIX_LONG = 2,
    PREFIX_BAR = 4
};

/* One option being read: where its text ends and the value it gives. */
struct OptionStruct {
    const char *lpszEnd;          /* first character after the option text */
    char szValue[CCH_OPTVALUE];
    BOOL bNeverEmpty;             /* an empty value does not make the result -1 (@., @K "-NOTFOUND-") */
    UINT uPrefix;                 /* PREFIX_... set by a prefix option */
};

const char s_szNotFound[] = "-NOTFOUND-";

BOOL fnIsDigit(char c)
{
    return c >= '0' && c <= '9';
}

void fnSetValue(OptionStruct *lpOpt, const char *lpszValue)
{
    fnCopyBounded(lpOpt->szValue, sizeof(lpOpt->szValue), lpszValue);
}

/* Removes one trailing backslash. */
void fnTrimOneBackslash(char *lpszText)
{
    size_t cch = strlen(lpszText);
    if (cch && lpszText[cch - 1] == '\\')
        lpszText[cch - 1] = '\0';
}

void fnTrimAllBlanks(char *lpszText)
{
    size_t cch = strlen(lpszText);
    while (cch && (lpszText[cch - 1] == ' ' || lpszText[cch - 1] == '\t'))
        lpszText[--cch] = '\0';
    size_t i = 0;
    while (lpszText[i] == ' ' || lpszText[i] == '\t')
        i++;
    if (i)
        memmove(lpszText, lpszText + i, cch - i + 1);
}

/*
 * The number after @I, @M, @N and @W: all digits up to the first non-digit
 * give the value; one digit is consumed, or two when the value is above 9.
 * FALSE when no digit follows.
 */
BOOL fnReadNumber(const char **lplpsz, UINT *lpuValue)
{
    const char *p = *lplpsz;
    if (!fnIsDigit(*p))
        return FALSE;
    UINT u = 0;
    for (const char *q = p; fnIsDigit(*q); q++)
        u = (u > 100000) ? u : u * 10 + (UINT)(*q - '0'); /* any long run is out of range anyway */
    *lpuValue = u;
    *lplpsz = p + ((u > 9 && fnIsDigit(p[1])) ? 2 : 1);
    return TRUE;
}

/* Optional sub-field digit and, when bLength, a length digit 1-9 after it. */
void fnSubFieldDigits(OptionStruct *lpOpt, const char **lplpsz, BOOL bLength)
{
    const char *p = *lplpsz;
    if (!fnIsDigit(*p))
        return;
    char szPart[CCH_OPTVALUE];
    fnGetSubField(lpOpt->szValue, g_szExpandDelims, (UINT)(*p - '0'), szPart, sizeof(szPart));
    fnSetValue(lpOpt, szPart);
    p++;
    if (bLength && *p >= '1' && *p <= '9') {
        size_t cchKeep = (size_t)(*p - '0');
        if (strlen(lpOpt->szValue) > cchKeep)
            lpOpt->szValue[cchKeep] = '\0';
        p++;
    }
    *lplpsz = p;
}

/*
 * Optional path modifier 0..uMax: 0 drive, 1 parent, 2 the path after its
 * drive (bAfterDrive, @D/@E/@H) or the last component (@F/@K), 3 the last
 * directory. FALSE when the digit is out of range or the splitter fails:
 * the whole option is then malformed.
 */
BOOL fnPathModifier(OptionStruct *lpOpt, const char **lplpsz, UINT uMax, BOOL bAfterDrive)
{
    const char *p = *lplpsz;
    if (!fnIsDigit(*p))
        return TRUE;
    UINT d = (UINT)(*p - '0');
    if (d > uMax)
        return FALSE;
    char szPart[CCH_PATH];
    szPart[0] = '\0';
    switch (d) {
    case 0:
        if (!fnSplitPath(lpOpt->szValue, szPart, NULL, NULL, NULL, NULL, NULL))
            return FALSE;
        break;
    case 1:
        if (!fnSplitPath(lpOpt->szValue, NULL, NULL, NULL, NULL, NULL, szPart))
            return FALSE;
        break;
    case 2:
        if (bAfterDrive) {
            const char *q = lpOpt->szValue;
            if (*q)
                q++;
            while (*q == ':' || *q == '\\')
                q++;
            fnCopyBounded(szPart, sizeof(szPart), q);
        } else if (!fnSplitPath(lpOpt->szValue, NULL, NULL, NULL, NULL, szPart, NULL)) {
            return FALSE;
        }
        break;
    default:
        fnJustLastDir(lpOpt->szValue, szPart, sizeof(szPart));
        break;
    }
    fnSetValue(lpOpt, szPart);
    *lplpsz = p + 1;
    return TRUE;
}

/* Family code of @V00. */
void fnFamilyCode(const OSInfoStruct *lpOS, char *lpszOut, size_t cchOut)
{
    const char *lpsz = "W31";
    if (lpOS->uWinFamily == 2)
        lpsz = lpOS->dwWinMinor == 0 ? "W95" : (lpOS->dwWinMinor < 90 ? "W98" : "WME");
    else if (lpOS->uWinFamily >= 3) {
        lpsz = "WNT";
        if (lpOS->dwWinMajor > 4)
            lpsz = "W2K";
        if (lpOS->dwWinMajor > 4 && lpOS->uWinIndex == 8)
            lpsz = "WXP";
        if (lpOS->dwWinMajor > 5)
            lpsz = "WVS";
    }
    fnCopyBounded(lpszOut, cchOut, lpsz);
}

BOOL fnOptV(OptionStruct *lpOpt, const char **lplpsz)
{
    const OSInfoStruct *lpOS = g_lpMachine->pfnGetOSInfo();
    const char *p = *lplpsz;
    char *v = lpOpt->szValue;
    size_t cch = sizeof(lpOpt->szValue);
    if (!fnIsDigit(*p)) {
        g_lpMachine->pfnLoadString(1300 + (UINT)lpOS->uWinIndex, v, cch);
        return TRUE;
    }
    switch (*p++) {
    case '0':
        if (fnIsDigit(*p)) {
            char c = *p++;
            if (c == '0')
                fnFamilyCode(lpOS, v, cch);
            else if (c == '1')
                fnCopyBounded(v, cch, lpOS->szWinVersion);
            else if (c == '2')
                fnCopyBounded(v, cch, lpOS->szWinLabel);
            else
                return FALSE;
        } else {
            fnCopyBounded(v, cch, lpOS->szWinName);
        }
        break;
    case '1': fnFormatBounded(v, cch, "%u", (UINT)lpOS->uWinFamily); break;
    case '2': fnFormatBounded(v, cch, "%lu", (unsigned long)lpOS->dwWinMajor); break;
    case '3': fnFormatBounded(v, cch, "%lu", (unsigned long)lpOS->dwWinMinor); break;
    case '4': fnFormatBounded(v, cch, "%u", (UINT)lpOS->uWinSR); break;
    case '5': fnFormatBounded(v, cch, "%lu", (unsigned long)lpOS->dwWinBuild); break;
    case '6': fnFormatBounded(v, cch, "%lu", (unsigned long)lpOS->dwWinPlatformID); break;
    case '7': fnFormatBounded(v, cch, "%u", (UINT)lpOS->uWinIndex); break;
    case '8': fnCopyBounded(v, cch, lpOS->szWinVersion); break;
    default: fnFormatBounded(v, cch, "%u", (UINT)lpOS->uWinBits); break;
    }
    *lplpsz = p;
    return TRUE;
}

/* @S6: the adapter list, then an optional entry digit k and part digit. */
void fnOptNetAddress(OptionStruct *lpOpt, const char **lplpsz)
{
    char szMask[CCH_PATH], szGateway[CCH_PATH];
    int nAdapters = g_lpMachine->pfnGetNetAddress(lpOpt->szValue, sizeof(lpOpt->szValue), szMask, sizeof(szMask),
                                                  szGateway, sizeof(szGateway));
    if (nAdapters <= 0) {
        fnSetValue(lpOpt, "NA-0.0.0.0");
        szMask[0] = szGateway[0] = '\0';
    }
    const char *p = *lplpsz;
    /* a 0 ends the option before it */
    if (*p < '1' || *p > '9')
        return;
    char szEntry[CCH_OPTVALUE];
    fnGetSubField(lpOpt->szValue, ";", (UINT)(*p - '0'), szEntry, sizeof(szEntry));
    p++;
    if (*p >= '1' && *p <= '6') {
        char szPart[CCH_OPTVALUE];
        szPart[0] = '\0';
        switch (*p) {
        case '1': fnGetSubField(szEntry, "-", 1, szPart, sizeof(szPart)); break;
        case '2': fnGetSubField(szEntry, "-", 2, szPart, sizeof(szPart)); break;
        case '3': {
            char szIP[CCH_PATH];
            fnGetSubField(szEntry, "-", 2, szIP, sizeof(szIP));
            fnGetLeadingFields(szIP, ".", 3, szPart, sizeof(szPart));
            for (char *q = szPart; *q; q++) {
                if (*q == '.')
                    *q = '-';
            }
            break;
        }
        case '4': fnCopyBounded(szPart, sizeof(szPart), szMask); break;
        case '5': fnCopyBounded(szPart, sizeof(szPart), szGateway); break;
        default: break;
        }
        fnCopyBounded(szEntry, sizeof(szEntry), szPart);
        p++;
    }
    fnSetValue(lpOpt, szEntry);
    *lplpsz = p;
}

/* SID text of the logged-on user on this computer; FALSE and empty when unknown. */
BOOL fnUserSID(char *lpszOut, size_t cchOut)
{
    char szUser[CCH_PATH], szComputer[CCH_PATH];
    lpszOut[0] = '\0';
    if (!g_lpMachine->pfnGetUserName(szUser, sizeof(szUser)))
        return FALSE;
    if (!g_lpMachine->pfnGetComputerName(szComputer, sizeof(szComputer)))
        szComputer[0] = '\0';
    if (!g_lpMachine->pfnGetSIDString ||
        !g_lpMachine->pfnGetSIDString(szUser, szComputer[0] ? szComputer : NULL, lpszOut, cchOut)) {
        lpszOut[0] = '\0';
        return FALSE;
    }
    return lpszOut[0] != '\0';
}

void fnOptS(OptionStruct *lpOpt, char c)
{
    char *v = lpOpt->szValue;
    size_t cch = sizeof(lpOpt->szValue);
    switch (c) {
    case '0':
        if (g_lpMachine->pfnReadRegistry(REGROOT_CURRENT_USER, "SOFTWARE\\Ardenhall\\Network\\NetID", v, cch,
                                         REGCONV_HEX) && v[0])
            break;
        /* without a network identity the user name stands in */
        [[fallthrough]];
    case '3':
        if (!g_lpMachine->pfnGetUserName(v, cch))
            v[0] = '\0';
        break;
    case '1': fnCopyBounded(v, cch, g_szDate); break;
    case '2': fnCopyBounded(v, cch, g_szTime); break;
    case '4':
        if (!g_lpMachine->pfnGetComputerName(v, cch))
            v[0] = '\0';
        break;
    case '5':
        if ((g_lpMachine->pfnQueryWMI("Win32_BIOS", "SerialNumber", NULL, v, cch) && v[0]) ||
            (g_lpMachine->pfnReadSMBIOS(v, cch, SMBIOS_SYS_SERIAL) && v[0]))
            break;
        fnFormatBounded(v, cch, "NA-%s", g_szTime);
        break;
    case '7':
        fnUserSID(v, cch);
        break;
    default: { /* '8' */
        char szSID[CCH_PATH], szLookup[CCH_OPTVALUE];
        if (fnUserSID(szSID, sizeof(szSID)) &&
            fnFormatBounded(szLookup, sizeof(szLookup),
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\%s\\ProfileImagePath",
                            szSID) > 0 &&
            g_lpMachine->pfnReadRegistry(REGROOT_LOCAL_MACHINE, szLookup, v, cch, REGCONV_HEX) && v[0])
            break;
        fnSetValue(lpOpt, "NA");
        break;
    }
    }
}

/* Calls an optional lookup added after the first table layout; a table without it gives nothing. */
void fnOptional(BOOL (*pfn)(char *, size_t), char *lpszOut, size_t cchOut)
{
    if (!pfn || !pfn(lpszOut, cchOut))
        lpszOut[0] = '\0';
}

void fnOptN(OptionStruct *lpOpt, UINT u)
{
    char *v = lpOpt->szValue;
    size_t cch = sizeof(lpOpt->szValue);
    switch (u) {
    case 0: fnOptional(g_lpMachine->pfnGetUserName, v, cch); break;
    case 1: fnOptional(g_lpMachine->pfnGetComputerName, v, cch); break;
    case 2: fnOptional(g_lpMachine->pfnGetNetResources, v, cch); break;
    case 3: fnOptional(g_lpMachine->pfnGetPrinters, v, cch); break;
    default: fnOptional(g_lpMachine->pfnGetCurrentUser, v, cch); break;
    }
}

void fnOptM(OptionStruct *lpOpt, UINT u)
{
    char *v = lpOpt->szValue;
    size_t cch = sizeof(lpOpt->szValue);
    char szMore[CCH_PATH];
    switch (u) {
    case 0:
        fnCopyBounded(v, cch, g_lpMachine->pfnGetOSInfo()->szWinLabel);
        break;
    case 1: {
        ULONGLONG uMB = g_lpMachine->pfnGetPhysicalMemory() / (1024u * 1024u);
        if (uMB <= 1)
            uMB = 1;
        else
            uMB = (uMB + 7) / 8 * 8;
        fnFormatBounded(v, cch, "%luMB", (unsigned long)uMB);
        break;
    }
    case 2:
        if (g_lpMachine->pfnQueryWMI("Win32_ComputerSystemProduct", "Vendor", NULL, v, cch) && v[0]) {
            if (g_lpMachine->pfnQueryWMI("Win32_ComputerSystemProduct", "Name", NULL, szMore, sizeof(szMore)) &&
                szMore[0]) {
                fnAppendBounded(v, cch, " ");
                fnAppendBounded(v, cch, szMore);
            }
        } else if (g_lpMachine->pfnReadSMBIOS(v, cch, SMBIOS_SYS_MANUFACTURER) && v[0]) {
            if (g_lpMachine->pfnReadSMBIOS(szMore, sizeof(szMore), SMBIOS_SYS_PRODUCT) && szMore[0]) {
                fnAppendBounded(v, cch, " ");
                fnAppendBounded(v, cch, szMore);
            }
        } else {
            fnSetValue(lpOpt, "NA");
        }
        break;
    case 3:
        if ((g_lpMachine->pfnReadRegistry(REGROOT_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0\\~MHz",
                                          v, cch, REGCONV_DEC) && v[0]) ||
            (g_lpMachine->pfnQueryWMI("Win32_Processor", "CurrentClockSpeed", NULL, v, cch) && v[0])) {
            fnAppendBounded(v, cch, "MHz");
        } else if (!g_lpMachine->pfnReadSMBIOS(v, cch, SMBIOS_CPU_SPEED) || !v[0]) {
            fnSetValue(lpOpt, "NA");
        }
        /* the SMBIOS speed text already ends in "MHz" */
        break;
    default:
        if (!(g_lpMachine->pfnReadRegistry(REGROOT_LOCAL_MACHINE,
                                           "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0\\ProcessorNameString", v,
                                           cch, REGCONV_HEX) && v[0]) &&
            !(g_lpMachine->pfnQueryWMI("Win32_Processor", "Name", NULL, v, cch) && v[0]) &&
            !(g_lpMachine->pfnReadSMBIOS(v, cch, SMBIOS_CPU_SPEED) && v[0]))
            fnSetValue(lpOpt, "NA");
        fnTrimAllBlanks(v);
        break;
    }
}

/* How a @W folder is found, and what stands in when it is not. */
enum {
    WF_WINDIR, WF_SYSDIR, WF_WINDRIVE, WF_SYSDRIVE, WF_PROGFILES, WF_USERPROGS, WF_SHORTCUT,
    WF_REG,        /* lookup path under HKEY_LOCAL_MACHINE */
    WF_SHELL,      /* per-user shell folder; fallback the Windows folder joined with string uId */
    WF_COMMON,     /* "Common " + name, HKLM User Shell Folders, then HKCU Shell Folders */
    WF_PROFILE     /* environment USERPROFILE */
};
enum {
    FB_EMPTY, FB_WINDIR, FB_WINDIR_ID, FB_WINDIR_TEXT, FB_PROGFILES_ID, FB_TEXT, FB_PROFILES
};

struct WinFolderStruct {
    UINT uKind;
    const char *lpszName;
    UINT uFallback;
    UINT uId;
    const char *lpszText;
};

#define CV "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
const WinFolderStruct s_aWinFolders[48] = {
    {WF_WINDIR, NULL, FB_EMPTY, 0, NULL},
    {WF_WINDIR, NULL, FB_EMPTY, 0, NULL},
    {WF_SYSDIR, NULL, FB_EMPTY, 0, NULL},
    {WF_WINDRIVE, NULL, FB_EMPTY, 0, NULL},
    {WF_SYSDRIVE, NULL, FB_EMPTY, 0, NULL},
    {WF_PROGFILES, NULL, FB_EMPTY, 0, NULL},
    {WF_USERPROGS, NULL, FB_EMPTY, 0, NULL},
    {WF_REG, CV "CommonFilesDir", FB_PROGFILES_ID, 1253, NULL},
    {WF_SHELL, "Desktop", FB_WINDIR_ID, 1258, NULL},
    {WF_SHELL, "Start Menu", FB_WINDIR_ID, 1255, NULL},
    {WF_SHELL, "Startup", FB_WINDIR_ID, 1256, NULL},
    {WF_SHELL, "Fonts", FB_WINDIR_ID, 1257, NULL},
    {WF_SHELL, "SendTo", FB_WINDIR_ID, 1259, NULL},
    {WF_SHELL, "Personal", FB_WINDIR_ID, 1260, NULL},
    {WF_SHELL, "Favorites", FB_WINDIR_ID, 1261, NULL},
    {WF_SHORTCUT, NULL, FB_EMPTY, 0, NULL},
    {WF_SHELL, "Templates", FB_WINDIR_ID, 1262, NULL},
    {WF_SHELL, "AppData", FB_WINDIR_ID, 1263, NULL},
    {WF_SHELL, "Cache", FB_WINDIR_ID, 1264, NULL},
    {WF_SHELL, "Cookies", FB_WINDIR_ID, 1265, NULL},
    {WF_SHELL, "History", FB_WINDIR_ID, 1266, NULL},
    {WF_SHELL, "Recent", FB_WINDIR_ID, 1267, NULL},
    {WF_SHELL, "NetHood", FB_WINDIR_ID, 1268, NULL},
    {WF_SHELL, "PrintHood", FB_WINDIR_ID, 1269, NULL},
    {WF_COMMON, "Desktop", FB_WINDIR_ID, 1258, NULL},
    {WF_COMMON, "Start Menu", FB_WINDIR_ID, 1255, NULL},
    {WF_COMMON, "Programs", FB_WINDIR_ID, 1254, NULL},
    {WF_COMMON, "Startup", FB_WINDIR_ID, 1256, NULL},
    {WF_REG, CV "DevicePath", FB_WINDIR_ID, 1252, NULL},
    {WF_REG, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\DataBasePath", FB_WINDIR, 0, NULL},
    {WF_REG, CV "RegisteredOwner", FB_TEXT, 0, "Unknown"},
    {WF_REG, CV "RegisteredOrganization", FB_TEXT, 0, "Unknown"},
    {WF_REG, CV "Version", FB_TEXT, 0, "Unknown"},
    {WF_REG, CV "VersionNumber", FB_TEXT, 0, "Unknown"},
    {WF_REG, CV "SubVersionNumber", FB_TEXT, 0, "Unknown"},
    {WF_REG, CV "MediaPath", FB_WINDIR_TEXT, 0, "\\Media"},
    {WF_REG, CV "ConfigPath", FB_WINDIR_TEXT, 0, "\\Config"},
    {WF_REG, CV "Setup\\BootDir", FB_TEXT, 0, "C:\\"},
    {WF_REG, CV "Setup\\SharedDir", FB_WINDIR, 0, NULL},
    {WF_REG, CV "Setup\\SourcePath", FB_WINDIR, 0, NULL},
    {WF_COMMON, "AppData", FB_PROGFILES_ID, 1253, NULL},
    {WF_COMMON, "Documents", FB_PROGFILES_ID, 1253, NULL},
    {WF_COMMON, "Favorites", FB_PROGFILES_ID, 1253, NULL},
    {WF_COMMON, "Favorites", FB_PROGFILES_ID, 1253, NULL},
    {WF_REG, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\ProfilesDirectory", FB_TEXT, 0,
     "C:\\Documents and Settings"},
    {WF_REG, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment\\TEMP", FB_WINDIR_TEXT, 0, "TEMP"},
    {WF_REG, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment\\TMP", FB_WINDIR_TEXT, 0, "TEMP"},
    {WF_PROFILE, NULL, FB_PROFILES, 0, NULL},
};
#undef CV

void fnWinFolderFallback(const WinFolderStruct *lpRow, char *v, size_t cch)
{
    char szText[CCH_PATH];
    switch (lpRow->uFallback) {
    case FB_WINDIR: fnCopyBounded(v, cch, g_szWinDir); break;
    case FB_WINDIR_ID:
        g_lpMachine->pfnLoadString(lpRow->uId, szText, sizeof(szText));
        fnJoinPath(v, cch, g_szWinDir, szText);
        break;
    case FB_WINDIR_TEXT: fnJoinPath(v, cch, g_szWinDir, lpRow->lpszText); break;
    case FB_PROGFILES_ID:
        g_lpMachine->pfnLoadString(lpRow->uId, szText, sizeof(szText));
        fnJoinPath(v, cch, g_szProgramFilesDir, szText);
        break;
    case FB_TEXT: fnCopyBounded(v, cch, lpRow->lpszText); break;
    case FB_PROFILES: {
        char szDir[CCH_PATH];
        const WinFolderStruct *lpProfiles = &s_aWinFolders[44];
        if (!g_lpMachine->pfnReadRegistry(REGROOT_LOCAL_MACHINE, lpProfiles->lpszName, szDir, sizeof(szDir),
                                          REGCONV_HEX) || !szDir[0])
            fnCopyBounded(szDir, sizeof(szDir), lpProfiles->lpszText);
        fnFormatBounded(v, cch, "%s\\%s", szDir, g_szUserName);
        break;
    }
    default: v[0] = '\0'; break;
    }
}

/* @W folder u (0-47); FALSE when the option is malformed (a drive that is not there). */
BOOL fnOptW(OptionStruct *lpOpt, UINT u)
{
    char *v = lpOpt->szValue;
    size_t cch = sizeof(lpOpt->szValue);
    const WinFolderStruct *lpRow = &s_aWinFolders[u];
    char szLookup[CCH_PATH];
    BOOL bFound = FALSE;
    v[0] = '\0';
    switch (lpRow->uKind) {
    case WF_WINDIR: fnCopyBounded(v, cch, g_szWinDir); return TRUE;
    case WF_SYSDIR: fnCopyBounded(v, cch, g_szSysDir); return TRUE;
    case WF_WINDRIVE:
    case WF_SYSDRIVE: {
        char szDrive[CCH_PATH];
        if (!fnSplitPath(lpRow->uKind == WF_WINDRIVE ? g_szWinDir : g_szSysDir, szDrive, NULL, NULL, NULL, NULL, NULL))
            return FALSE;
        fnCopyBounded(v, cch, szDrive);
        return TRUE;
    }
    case WF_PROGFILES: fnCopyBounded(v, cch, g_szProgramFilesDir); return TRUE;
    case WF_USERPROGS: fnCopyBounded(v, cch, g_szUserProgramsFolder); return TRUE;
    case WF_SHORTCUT: fnCopyBounded(v, cch, g_szLastShortcutFolder); return TRUE;
    case WF_REG:
        bFound = g_lpMachine->pfnReadRegistry(REGROOT_LOCAL_MACHINE, lpRow->lpszName, v, cch, REGCONV_HEX) && v[0];
        break;
    case WF_SHELL:
        /* the lookup itself falls back to the Windows folder joined with the string */
        if (!g_lpMachine->pfnGetShellFolder(FALSE, lpRow->lpszName, v, cch, lpRow->uId) && !v[0])
            fnWinFolderFallback(lpRow, v, cch);
        return TRUE;
    case WF_COMMON:
        fnFormatBounded(szLookup, sizeof(szLookup),
                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Common %s",
                        lpRow->lpszName);
        bFound = g_lpMachine->pfnReadRegistry(REGROOT_LOCAL_MACHINE, szLookup, v, cch, REGCONV_HEX) && v[0];
        if (!bFound) {
            fnFormatBounded(szLookup, sizeof(szLookup),
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Common %s",
                            lpRow->lpszName);
            bFound = g_lpMachine->pfnReadRegistry(REGROOT_CURRENT_USER, szLookup, v, cch, REGCONV_HEX) && v[0];
        }
        break;
    default: /* WF_PROFILE */
        bFound = g_lpMachine->pfnGetEnv("USERPROFILE", v, cch) && v[0];
        break;
    }
    if (!bFound)
        fnWinFolderFallback(lpRow, v, cch);
    return TRUE;
}

/* Escape @\c; FALSE for a character that has no meaning. */
BOOL fnOptEscape(OptionStruct *lpOpt, char c)
{
    const char *lpszFrom = "abcf,eg>l<nq\"rs'tv\\?z=";
    const char *lpszTo = "\a\b,\f,=>><<\n\"\"\r''\t\v\\?\0=";
    const char *lpsz = c ? strchr(lpszFrom, c) : NULL;
    if (!lpsz)
        return FALSE;
    char sz[2] = {lpszTo[lpsz - lpszFrom], '\0'};
    fnSetValue(lpOpt, sz);
    return TRUE;
}

/*
 * Reads the option whose letter stands at lpszOpt (just after the option
 * character) and fills lpOpt. lpszSource and lpszSoFar only feed the debug log.
 */
OptKindEnum fnReadOption(const char *lpszOpt, OptionStruct *lpOpt, const char *lpszSource, const char *lpszSoFar)
{
    const char *p = lpszOpt + 1;
    char c = fnUpperAscii(*lpszOpt);
    lpOpt->szValue[0] = '\0';
    lpOpt->bNeverEmpty = FALSE;
    lpOpt->uPrefix = 0;
    UINT u = 0;
    BOOL bDigit = fnIsDigit(*p);
    UINT d = bDigit ? (UINT)(*p - '0') : 0;

    switch (c) {
    case 'D':
    case 'H':
        if (!bDigit) {
            fnSetValue(lpOpt, c == 'D' ? g_szDestDir : g_szSourceDir);
            fnTrimOneBackslash(lpOpt->szValue);
            break;
        }
        if (d == 0)
            return OPT_MALFORMED;
        p++;
        fnSetValue(lpOpt, c == 'D' ? g_szPathSlot[d - 1] : g_szSourceSlot[d - 1]);
        if (!fnPathModifier(lpOpt, &p, 3, TRUE))
            return OPT_MALFORMED;
        break;
    case 'E':
        if (!bDigit) {
            fnSetValue(lpOpt, g_szRegEntry);
            fnTrimOneBackslash(lpOpt->szValue);
            break;
        }
        p++;
        fnSetValue(lpOpt, g_szRegEntrySlot[d]);
        if (!fnPathModifier(lpOpt, &p, 3, TRUE))
            return OPT_MALFORMED;
        break;
    case 'F':
        if (!bDigit || d == 0)
            return OPT_MALFORMED;
        p++;
        fnSetValue(lpOpt, g_szReservedF[d - 1]);
        if (!fnPathModifier(lpOpt, &p, 2, FALSE))
            return OPT_MALFORMED;
        break;
    case 'K': {
        if (!bDigit || d > 8)
            return OPT_MALFORMED;
        p++;
        if (strcmp(g_szRegValues[d], s_szNotFound) == 0) {
            /* a failed registry read gives nothing, whatever part is asked for */
            if (fnIsDigit(*p) && *p++ > '2')
                return OPT_MALFORMED;
            lpOpt->bNeverEmpty = TRUE;
            break;
        }
        fnSetValue(lpOpt, g_szRegValues[d]);
        if (!fnPathModifier(lpOpt, &p, 2, FALSE))
            return OPT_MALFORMED;
        break;
    }
    case 'G':
    case '$':
    case 'A':
    case 'L':
    case 'C':
    case 'P':
        if (!bDigit || (d == 0 && c != 'G' && c != '$'))
            return OPT_MALFORMED;
        p++;
        switch (c) {
        case 'G': fnSetValue(lpOpt, g_szReservedG[d]); break;
        case '$': fnSetValue(lpOpt, g_szCmdResult[d]); break;
        case 'A': fnSetValue(lpOpt, g_lpszAskForResponse[d - 1]); break;
        case 'L': fnSetValue(lpOpt, g_szFromListResponse[d - 1]); break;
        case 'C': fnSetValue(lpOpt, g_szFromComboResponse[d - 1]); break;
        default: fnSetValue(lpOpt, g_szDefaultSetting[d - 1]); break;
        }
        fnSubFieldDigits(lpOpt, &p, c == 'G' || c == '$' || c == 'A');
        break;
    case '_':
        if (bDigit) {
            p++;
            fnSetValue(lpOpt, g_szFunResult[d]);
            fnSubFieldDigits(lpOpt, &p, TRUE);
            break;
        }
        if (fnUpperAscii(p[0]) == 'F' && fnUpperAscii(p[1]) == 'N') {
            const char *lpszClose = strchr(p, ')');
            char szFun[CCH_EXPANDED], szFunTarget[CCH_EXPANDED];
            szFunTarget[0] = '\0';
            /* the function text is cut at the first ')', so functions do not nest */
            fnCopyBoundedN(szFun, sizeof(szFun), p, lpszClose ? (size_t)(lpszClose - p) : (size_t)-1);
            /* a ')' beyond the function buffer is not in it: evaluating the cut text would give a wrong result */
            if (lpszClose && (size_t)(lpszClose - p) >= sizeof(szFun))
                lpszClose = NULL;
            fnDebugLog("fnExpandOpts", "in _fn()  lpszSource=%s,\nszFun=%s,\nlpszFunTmp=%s,\nszFunTarget=%s",
                       g_uDebugLevel, fnLogText(lpszSource), szFun, fnLogText(lpszSoFar), szFunTarget);
            if (!lpszClose) {
                if (g_pfnExpandNote)
                    g_pfnExpandNote(lpszSource, (size_t)(lpszOpt - 1 - lpszSource), EXPANDNOTE_UNCLOSED);
                return OPT_KEEP;
            }
            fnDebugLog("fnExpandOpts before fnParseFun()", "szFun=%s", g_uDebugLevel, szFun);
            int nOk = fnParseFun(szFun, szFunTarget, sizeof(szFunTarget));
            fnDebugLog("fnExpandOpts return from fnParseFun()", "szFun=%s,\nszFunTarget=%s", g_uDebugLevel, szFun,
                       fnLogText(szFunTarget));
            if (!nOk)
                return OPT_KEEP;
            fnStoreFunResult(szFunTarget);
            fnSetValue(lpOpt, szFunTarget);
            p = lpszClose + 1;
            break;
        }
        return OPT_MALFORMED;
    case 'I':
        if (!fnReadNumber(&p, &u))
            return OPT_MALFORMED;
        if (u < STRTEST_ENTRIES)
            fnFormatBounded(lpOpt->szValue, sizeof(lpOpt->szValue), "%u", g_uStrTestResult[u]);
        break;
    case 'B':
        if (!bDigit || d == 0 || p[1] < '1' || p[1] > '4' || !g_szOptionAnswer[d - 1][p[1] - '1'])
            return OPT_MALFORMED;
        lpOpt->szValue[0] = g_szOptionAnswer[d - 1][p[1] - '1'];
        lpOpt->szValue[1] = '\0';
        p += 2;
        break;
    case '%': {
        const char *lpszName = p;
        while (*p && *p != '%' && *p != '\r' && *p != '\n' && *p != '\t' && *p != ' ')
            p++;
        if (*p != '%' || p == lpszName)
            return OPT_MALFORMED;
        char szName[CCH_EXPANDED];
        /* a name cut at the buffer would name another variable: such a name is taken as unset */
        BOOL bWhole = fnCopyBoundedN(szName, sizeof(szName), lpszName, (size_t)(p - lpszName));
        p++;
        if (!bWhole || !g_lpMachine->pfnGetEnv(szName, lpOpt->szValue, sizeof(lpOpt->szValue))) {
            lpOpt->lpszEnd = p;
            return OPT_KEEP;
        }
        break;
    }
    case 'Q': fnSetValue(lpOpt, "\""); break;
    case 'R': fnSetValue(lpOpt, "\r\n"); break;
    case 'T': fnSetValue(lpOpt, "\t"); break;
    case '.': lpOpt->bNeverEmpty = TRUE; break;
    case 'Z':
        lpOpt->lpszEnd = p;
        return OPT_ENDMARK;
    case '\\':
        if (!fnOptEscape(lpOpt, *p))
            return OPT_MALFORMED;
        p++;
        break;
    case '~':
    case '#':
    case '|':
        lpOpt->uPrefix = c == '~' ? PREFIX_SHORT : (c == '#' ? PREFIX_LONG : PREFIX_BAR);
        lpOpt->lpszEnd = p;
        return OPT_PREFIX;
    case 'S':
        if (!bDigit) {
            fnSetValue(lpOpt, g_szSysDir);
            break;
        }
        if (d > 8)
            return OPT_MALFORMED;
        p++;
        if (d == 6)
            fnOptNetAddress(lpOpt, &p);
        else
            fnOptS(lpOpt, (char)('0' + d));
        break;
    case 'U':
        if (!bDigit)
            break;
        if (d > 1)
            return OPT_MALFORMED;
        p++;
        if (d == 0) {
            fnSetValue(lpOpt, g_szUserName);
        } else {
            g_bExpandSecret = TRUE;
            fnGetPlainPassword(lpOpt->szValue, sizeof(lpOpt->szValue));
        }
        break;
    case 'N':
    case 'M':
        if (!fnReadNumber(&p, &u) || u > 4)
            return OPT_MALFORMED;
        if (c == 'N')
            fnOptN(lpOpt, u);
        else
            fnOptM(lpOpt, u);
        break;
    case 'V':
        if (!fnOptV(lpOpt, &p))
            return OPT_MALFORMED;
        break;
    case 'W':
        if (fnReadNumber(&p, &u)) {
            if (u >= 48)
                return OPT_MALFORMED;
        } else {
            u = 0;
        }
        if (!fnOptW(lpOpt, u))
            return OPT_MALFORMED;
        break;
    default:
        return OPT_MALFORMED;
    }
    lpOpt->lpszEnd = p;
    return OPT_VALUE;
}

/* Applies the pending prefixes to a non-empty value: short path, long path, then bars. */
void fnApplyPrefixes(UINT uPrefix, char *lpszValue, size_t cchValue)
{
    char szPath[CCH_OPTVALUE];
    if ((uPrefix & PREFIX_SHORT) && g_lpMachine->pfnGetShortPath &&
        g_lpMachine->pfnGetShortPath(lpszValue, szPath, sizeof(szPath)) && szPath[0])
        fnCopyBounded(lpszValue, cchValue, szPath);
    if ((uPrefix & PREFIX_LONG) && g_lpMachine->pfnGetLongPath &&
        g_lpMachine->pfnGetLongPath(lpszValue, szPath, sizeof(szPath)) && szPath[0])
        fnCopyBounded(lpszValue, cchValue, szPath);
    if (uPrefix & PREFIX_BAR) {
        for (char *q = lpszValue; *q; q++) {
            if (*q == '\\')
                *q = '|';
        }
    }
}

/* Appends cch characters to the expanded text; FALSE once the text is full. */
BOOL fnEmit(char *lpszOut, size_t *lpcchOut, const char *lpsz, size_t cch)
{
    size_t cchRoom = CCH_EXPANDED - 1 - *lpcchOut;
    BOOL bFits = cch <= cchRoom;
    if (!bFits)
        cch = cchRoom;
    memcpy(lpszOut + *lpcchOut, lpsz, cch);
    *lpcchOut += cch;
    lpszOut[*lpcchOut] = '\0';
    return bFits;
}

} // namespace

int fnExpandOptsCut(char *lpszText, size_t cchText, BOOL *lpbCut)
{
    if (lpbCut)
        *lpbCut = FALSE;
    if (!lpszText || !cchText)
        return EXPAND_NONE;
    /* A field without the option character is data as written: it keeps its whole
       length (a long REG_SZ, a PATH list) instead of passing through the 259-character
       expansion buffer. */
    if (!strchr(lpszText, g_cOptChar)) {
        if (!s_uExpandDepth)
            g_bLastExpandSecret = FALSE;
        return EXPAND_NONE;
    }
    char szExpanded[CCH_EXPANDED];
    size_t cchExpanded = 0;
    szExpanded[0] = '\0';
    int nRC = EXPAND_NONE;
    UINT uPrefix = 0;
    BOOL bCut = FALSE;
    /* where the first upper-case end marker stands in the expanded text; CCH_EXPANDED while none */
    size_t cchEndMarker = CCH_EXPANDED;
    /* whether the text had been cut by then: what overflows behind the marker is cut off anyway */
    BOOL bCutBeforeMarker = FALSE;
    OptionStruct opt;
    const char cOpt = g_cOptChar;
    /* an inline function's arguments are expanded inside this call: their secret is ours too */
    BOOL bOuterSecret = g_bExpandSecret;
    g_bExpandSecret = FALSE;
    s_uExpandDepth++;

    const char *p = lpszText;
    while (*p) {
        if (*p != cOpt) {
            bCut |= !fnEmit(szExpanded, &cchExpanded, p, 1);
            uPrefix = 0;
            p++;
            continue;
        }
        fnDebugLog("fnExpandOpts Begin Loop", "lpszString=%s", g_uDebugLevel, p);
        if (!p[1]) {
            bCut |= !fnEmit(szExpanded, &cchExpanded, p, 1);
            break;
        }
        OptKindEnum kind;
        if (p[1] == cOpt) {
            opt.szValue[0] = cOpt;
            opt.szValue[1] = '\0';
            opt.bNeverEmpty = FALSE;
            opt.lpszEnd = p + 2;
            kind = OPT_VALUE;
        } else {
            kind = fnReadOption(p + 1, &opt, lpszText, szExpanded);
        }
        switch (kind) {
        case OPT_PREFIX:
            uPrefix |= opt.uPrefix;
            p = opt.lpszEnd;
            continue;
        case OPT_MALFORMED:
            if (g_pfnExpandNote)
                g_pfnExpandNote(lpszText, (size_t)(p - lpszText), EXPANDNOTE_MALFORMED);
            bCut |= !fnEmit(szExpanded, &cchExpanded, p, 1);
            p++;
            break;
        case OPT_KEEP:
            nRC = EXPAND_MISSING;
            /* an unset variable keeps its whole text; a failed function only its option character */
            {
                size_t cchKeep = (fnUpperAscii(p[1]) == '_') ? 1 : (size_t)(opt.lpszEnd - p);
                bCut |= !fnEmit(szExpanded, &cchExpanded, p, cchKeep);
                p += cchKeep;
            }
            break;
        case OPT_ENDMARK:
            /* the marker's own place, so a value holding the same pair ("me@Zoo.org") is not cut;
               a lower-case marker is copied and cuts nothing */
            if (p[1] == 'Z' && cchEndMarker == CCH_EXPANDED) {
                cchEndMarker = cchExpanded;
                bCutBeforeMarker = bCut;
            }
            bCut |= !fnEmit(szExpanded, &cchExpanded, p, (size_t)(opt.lpszEnd - p));
            p = opt.lpszEnd;
            break;
        default: {
            BOOL bEmpty = opt.szValue[0] == '\0';
            if (!bEmpty)
                fnApplyPrefixes(uPrefix, opt.szValue, sizeof(opt.szValue));
            bCut |= !fnEmit(szExpanded, &cchExpanded, opt.szValue, strlen(opt.szValue));
            fnDebugLog("fnExpandOpts - process final strings", "szValue=%s", g_uDebugLevel, fnLogText(opt.szValue));
            if (bEmpty && !opt.bNeverEmpty)
                nRC = EXPAND_MISSING;
            else if (nRC == EXPAND_NONE)
                nRC = EXPAND_OK;
            p = opt.lpszEnd;
            break;
        }
        }
        uPrefix = 0;
    }
    if (cchEndMarker != CCH_EXPANDED)
        bCut = bCutBeforeMarker;
    if (bCut)
        fnDebugLog("fnExpandOpts", "Expanded text cut at %u characters", g_uDebugLevel, (UINT)(CCH_EXPANDED - 1));

    char szTarget[CCH_EXPANDED];
    fnCopyBounded(szTarget, sizeof(szTarget), szExpanded);
    if (cchEndMarker < sizeof(szTarget))
        szTarget[cchEndMarker] = '\0';
    fnDebugLog("fnExpandOpts", "lpszString=%s,\nlpszExpanded=%s,\nszTarget=%s", g_uDebugLevel, lpszText,
               fnLogText(szExpanded), fnLogText(szTarget));
    if (!fnCopyBounded(lpszText, cchText, szTarget))
        bCut = TRUE;
    if (lpbCut)
        *lpbCut = bCut;
    s_uExpandDepth--;
    if (!s_uExpandDepth)
        g_bLastExpandSecret = g_bExpandSecret;
    g_bExpandSecret = s_uExpandDepth ? (bOuterSecret || g_bExpandSecret) : FALSE;
    return nRC;
}

int fnExpandOpts(char *lpszText, size_t cchText)
{
    return fnExpandOptsCut(lpszText, cchText, NULL);
}

BOOL fnExpandDataField(char *lpszField, size_t cchField, const char *lpszTitle, int *lpnRC)
{
    BOOL bCut = FALSE;
    int nRC = fnExpandOptsCut(lpszField, cchField, &bCut);
    if (lpnRC)
        *lpnRC = nRC;
    if (bCut)
        fnDebugLog(lpszTitle, "Expanded value would be cut; the line is not carried out", g_uDebugLevel);
    return !bCut;
}

void fnInitUserInput(UserInputStruct *lpUserInput)
{
    /* a destination from the command line or a command file stays */
    if (!g_szDestDir[0]) {
        char szTemp[CCH_PATH];
        if (!(g_lpMachine->pfnGetEnv("TMP", szTemp, sizeof(szTemp)) && szTemp[0]) &&
            !(g_lpMachine->pfnGetEnv("TEMP", szTemp, sizeof(szTemp)) && szTemp[0]))
            fnJoinPath(szTemp, sizeof(szTemp), g_szWinDir, "TEMP");
        fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), szTemp);
    }
    fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), g_szDestDir);
    fnCopyBounded(g_szSourceSlot[0], sizeof(g_szSourceSlot[0]), g_szSourceDir);
    char szDelims[CCH_EXPANDDELIMS];
    if (g_lpMachine->pfnLoadString(1064, szDelims, sizeof(szDelims)) > 0)
        fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), szDelims);
    if (!lpUserInput)
        return;
    UserInputStruct *u = lpUserInput;
    g_lpMachine->pfnLoadString(1201, u->szDirSection, sizeof(u->szDirSection));
    g_lpMachine->pfnLoadString(1013, u->szCaption, sizeof(u->szCaption));
    g_lpMachine->pfnLoadString(1013, u->szSourceCaption, sizeof(u->szSourceCaption));
    g_lpMachine->pfnLoadString(1206, u->szDestMsg1, sizeof(u->szDestMsg1));
    g_lpMachine->pfnLoadString(1207, u->szDestMsg2, sizeof(u->szDestMsg2));
    g_lpMachine->pfnLoadString(1202, u->szSourceMsg1, sizeof(u->szSourceMsg1));
    g_lpMachine->pfnLoadString(1203, u->szSourceMsg2, sizeof(u->szSourceMsg2));
    fnCopyBounded(u->szDestPath, sizeof(u->szDestPath), g_szDestDir);
    fnCopyBounded(u->szSourceDir, sizeof(u->szSourceDir), g_szHomeDir);
}
