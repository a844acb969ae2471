/*
 * script/sysinfo_win.h -- the Windows side of the system facts: version
 * queries, WOW64, WMI, SMBIOS and the adapter list, and the machine lookup
 * table that hands these to the portable core.
 */
#ifndef TG_SCRIPT_SYSINFO_WIN_H
#define TG_SCRIPT_SYSINFO_WIN_H

#include <windows.h>

#include "script/sysinfo.h"

#define FN_GET_PROC(TYPE, hMod, lpszName) \
    reinterpret_cast<TYPE>(reinterpret_cast<void (*)(void)>(GetProcAddress((hMod), (lpszName))))

/*
 * Loads a DLL from the system folder only, so a planted copy beside the
 * program is never used. NULL when it cannot be loaded (GetLastError set).
 * The caller frees it with FreeLibrary.
 */
HMODULE fnLoadSystemDll(const char *lpszName);

/* Fills the description of the running system; 0 when the version cannot be queried. */
BOOL fnGetOSVersionInfo(OSInfoStruct *lpOSInfo);
/* TRUE when this 32-bit process runs under WOW64; FALSE otherwise or when the system cannot tell. */
BOOL fnIsWow64(void);
/* TRUE when the system is 64-bit Windows (a 64-bit process, or a 32-bit one under WOW64). */
BOOL fnIsWindows64(void);

/*
 * Runs "SELECT * FROM <class>[ <condition>]" on ROOT\CIMV2 and leaves the
 * named property of the last instance in lpszOut (trimmed; "NA" when it cannot
 * become text). 0, with an empty lpszOut, on any failure or when no instance
 * is returned.
 */
BOOL fnQueryWMI(const char *lpszClass, const char *lpszProperty, const char *lpszCondition, char *lpszOut,
                size_t cchOut);

/* The Ethernet adapter list (see fnOrderNetAdapters); returns the adapter count. */
int fnGetNetAddress(char *lpszList, size_t cchList, char *lpszMask, size_t cchMask, char *lpszGateway,
                    size_t cchGateway);

/*
 * One SMBIOS value (SMBIOS_...) from the firmware table, or, where the system
 * cannot give it, from physical memory. 0 when neither can be read or the
 * value is missing or empty.
 */
BOOL fnReadSMBIOS(char *lpszOut, size_t cchOut, UINT uSelector);

/* Installs the Windows machine lookup table as g_lpMachine. */
void fnInstallMachineLookup(void);

#endif
