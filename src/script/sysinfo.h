/*
 * script/sysinfo.h -- the facts about the machine that options and start-up
 * read: the operating-system description, SMBIOS values, the Ethernet adapter
 * list and the start-up folders. The rules (version rows, the SMBIOS walk, the
 * adapter order) are portable functions over plain records; the Windows side
 * (sysinfo_win.cpp) fills the records from the system and calls them.
 */
#ifndef TG_SCRIPT_SYSINFO_H
#define TG_SCRIPT_SYSINFO_H

#include "common/machine.h"
#include "common/tgtypes.h"

#define CCH_EDITION 32

/* What the system reports about its version, as the description is made from it. */
struct OSVersionInputStruct {
    DWORD dwPlatformId;
    DWORD dwMajor;
    DWORD dwMinor;
    DWORD dwBuild;
    char szCSDVersion[CCH_WINVSDESC];
    BOOL bHaveEx;            /* the extended query worked: product type and suite mask are valid */
    BYTE bProductType;       /* 1 workstation, 2 domain controller, 3 server */
    WORD wSuiteMask;
    BOOL bOn64BitWindows;    /* a 64-bit process, or a 32-bit one under WOW64 */
    char szEdition[CCH_EDITION];  /* edition name, empty when none */
};

#define OS_SUITE_PERSONAL 0x0200
#define OS_PRODUCT_WORKSTATION 1

/* Fills the description from what the system reported; every field is set. */
void fnMapOSVersion(const OSVersionInputStruct *lpIn, OSInfoStruct *lpOSInfo);
/* Edition name of a product type; NULL when the type has none. */
const char *fnEditionName(DWORD dwProductType);

/*
 * SMBIOS. fnFindSmbiosAnchor finds "_SM_" at a 16-byte boundary of a memory
 * image and returns its offset, or -1. fnSmbiosValue walks a structure table
 * and writes the selected value (SMBIOS_...), trimmed; FALSE when the table
 * has no such structure or string, or the value is empty.
 */
long fnFindSmbiosAnchor(const BYTE *lpMem, size_t cbMem);
BOOL fnSmbiosValue(const BYTE *lpTable, size_t cbTable, UINT uSelector, char *lpszOut, size_t cchOut);

/* One network adapter as the system lists it. */
struct NetAdapterStruct {
    UINT uType;              /* 6 Ethernet */
    BYTE abAddress[8];
    UINT cbAddress;
    char szIp[16];           /* first IP address */
    char szMask[16];
    char szGateway[16];      /* first gateway */
};

/* One interface of the interface table. */
struct NetIfRowStruct {
    BYTE abPhysAddr[8];
    UINT cbPhysAddr;
    DWORD dwOperStatus;      /* 4 and above: operational */
    ULONGLONG ullOutOctets;
};

/*
 * Orders the Ethernet adapters: the operational one that sent most first,
 * then the other operational ones, then those without an address or not
 * operational; each entry "MAC-IP", joined by ";". The mask and gateway of
 * the last Ethernet adapter in the system's order go to their outputs.
 * Returns the number of Ethernet adapters; with none the list is
 * "NA-0.0.0.0".
 */
int fnOrderNetAdapters(const NetAdapterStruct *lpAdapters, int nAdapters, const NetIfRowStruct *lpRows, int nRows,
                       char *lpszList, size_t cchList, char *lpszMask, size_t cchMask, char *lpszGateway,
                       size_t cchGateway);

/*
 * Start-up folders through the machine lookups: g_szProgramFilesDir from the
 * registry else string 1251, g_szUserProgramsFolder from the user's shell
 * folder "Programs" else the Windows folder joined with string 1254.
 */
void fnReadRegGlobals(void);

/* Removes leading and trailing blanks (spaces, tabs, CR, LF) of a system value in place. */
void fnTrimValue(char *lpszText);

#endif
