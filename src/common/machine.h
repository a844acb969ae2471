/*
 * common/machine.h -- the facts about this machine that the portable core
 * reads (registry values, environment, shell folders, the operating-system
 * description, WMI, SMBIOS, network adapters, names and memory), reached
 * through one narrow table of lookups. The Windows side installs its table at
 * start-up; host tests install fakes. Nothing behind g_lpMachine is ever NULL:
 * until a table is installed every lookup reports "not available".
 *
 * Also holds the run-wide description of the system gathered at start-up
 * (g_OSInfo and the two registry folders), so options can read them on both
 * builds.
 */
#ifndef TG_COMMON_MACHINE_H
#define TG_COMMON_MACHINE_H

#include "common/tgtypes.h"

/* Registry roots in the order in which path texts are searched for their names. */
enum {
    REGROOT_NONE = 0,
    REGROOT_CLASSES_ROOT = 1,
    REGROOT_LOCAL_MACHINE = 2,
    REGROOT_CURRENT_USER = 3,
    REGROOT_USERS = 4,
    REGROOT_PERFORMANCE_DATA = 5,
    REGROOT_CURRENT_CONFIG = 6,
    REGROOT_DYN_DATA = 7,
    REGROOT_COUNT = 8
};

/* Conversion modes of a registry read: how the value's data becomes text. */
enum {
    REGCONV_RAW = 0,   /* data bytes copied as text whatever the type */
    REGCONV_HEX = 1,   /* converted, DWORD values as hexadecimal */
    REGCONV_DEC = 2    /* converted, DWORD values as decimal */
};

#define CCH_WINNAME 24
#define CCH_WINVERSION 80
#define CCH_WINVSDESC 128

/* The operating-system description; see script/sysinfo.h for how it is made. */
struct OSInfoStruct {
    DWORD bWinNT;
    DWORD dwWinMajor;
    DWORD dwWinMinor;
    DWORD uWinFamily;        /* 1 Win32s, 2 Windows 95/98/ME, 3 NT */
    DWORD uWinIndex;         /* 0-16, short OS code = string 1300 + index */
    DWORD uWinSR;
    DWORD dwWinBuild;
    DWORD dwWinPlatformID;
    DWORD uWinBits;          /* 32 or 64 */
    char szWinName[CCH_WINNAME];
    char szWinVersion[CCH_WINVERSION];
    char szWinVSDescription[CCH_WINVSDESC];
    char szWinLabel[CCH_PATH];
};

/* Selectors of SMBIOS values. */
enum {
    SMBIOS_SYS_MANUFACTURER = 24,
    SMBIOS_SYS_PRODUCT = 25,
    SMBIOS_SYS_SERIAL = 27,
    SMBIOS_CPU_SPEED = 416
};

/*
 * Every text output is cch characters including the terminator, always
 * terminated when cch > 0; on a FALSE result its contents are unspecified
 * unless a lookup says otherwise.
 */
struct MachineLookupStruct {
    /* One registry value by lookup path ("key\\value"; a trailing "\\" names the default value). */
    BOOL (*pfnReadRegistry)(UINT uRoot, const char *lpszLookup, char *lpszValue, size_t cchValue, UINT uMode);
    /* An environment variable; FALSE when it is not set. */
    BOOL (*pfnGetEnv)(const char *lpszName, char *lpszValue, size_t cchValue);
    /* Expands %NAME% references of lpszText; FALSE when the result does not fit. */
    BOOL (*pfnExpandEnv)(const char *lpszText, char *lpszOut, size_t cchOut);
    /*
     * A shell folder for all users (bCommon) or the current user. FALSE when the
     * registry has none; lpszPath then holds the Windows folder joined with
     * string uDefaultId.
     */
    BOOL (*pfnGetShellFolder)(BOOL bCommon, const char *lpszFolder, char *lpszPath, size_t cchPath, UINT uDefaultId);
    /* The run's operating-system description (never NULL). */
    const OSInfoStruct *(*pfnGetOSInfo)(void);
    /* Property of the last instance of a WMI class on this machine, trimmed. */
    BOOL (*pfnQueryWMI)(const char *lpszClass, const char *lpszProperty, const char *lpszCondition, char *lpszOut,
                        size_t cchOut);
    /* One SMBIOS value by selector (SMBIOS_...). */
    BOOL (*pfnReadSMBIOS)(char *lpszOut, size_t cchOut, UINT uSelector);
    /* Ethernet adapter list "MAC-IP;..." with the mask and gateway; returns the adapter count. */
    int (*pfnGetNetAddress)(char *lpszList, size_t cchList, char *lpszMask, size_t cchMask, char *lpszGateway,
                            size_t cchGateway);
    /* A numbered resource string; returns its length (0 and an empty text when missing). */
    int (*pfnLoadString)(UINT uId, char *lpszOut, size_t cchOut);
    BOOL (*pfnGetUserName)(char *lpszOut, size_t cchOut);
    BOOL (*pfnGetComputerName)(char *lpszOut, size_t cchOut);
    /* Total physical memory in bytes; 0 when unknown. */
    ULONGLONG (*pfnGetPhysicalMemory)(void);

    /* Added for option expansion and inline functions (script/expand_win.cpp
       and install/version.cpp provide the Windows side). */
    /* Short (8.3) and long forms of an existing path; FALSE leaves lpszOut unspecified. */
    BOOL (*pfnGetShortPath)(const char *lpszPath, char *lpszOut, size_t cchOut);
    BOOL (*pfnGetLongPath)(const char *lpszPath, char *lpszOut, size_t cchOut);
    /* SID text of an account on a system (NULL: this computer). */
    BOOL (*pfnGetSIDString)(const char *lpszUser, const char *lpszSystem, char *lpszOut, size_t cchOut);
    /* Connected network resources "Printer-local-remote;..." and printers "net:name;name;...". */
    BOOL (*pfnGetNetResources)(char *lpszOut, size_t cchOut);
    BOOL (*pfnGetPrinters)(char *lpszOut, size_t cchOut);
    /* The current user as domain\user. */
    BOOL (*pfnGetCurrentUser)(char *lpszOut, size_t cchOut);
    /* TRUE when a file-system search for the pattern finds a file or directory. */
    BOOL (*pfnFileOrDirExists)(const char *lpszSpec);
    /* File version, product version and legal notice texts (each optional, 128 characters). */
    BOOL (*pfnGetFileVersion)(const char *lpszFile, char *lpszFileVersion, char *lpszProductVersion,
                              char *lpszLegal);
    /* A file's version against a dotted version text: 0 equal, 7 older, 11 newer, else cannot compare. */
    int (*pfnCmpFileVersion)(const char *lpszFile, const char *lpszVersion);

    /* Added for the destination test (ui/inputcore.cpp). */
    /* The drive type of a root ("C:\\", "\\\\server\\share\\"; NULL: the current drive): the DRIVE_ codes, 0 or 1 when unknown or missing. */
    UINT (*pfnGetDriveType)(const char *lpszRoot);
    /* Free bytes this user may use on the drive of lpszPath; FALSE when they cannot be read. */
    BOOL (*pfnGetFreeBytes)(const char *lpszPath, ULONGLONG *lpullFree);
};

/* The installed lookup table; points at g_machineNone until one is installed. */
extern const MachineLookupStruct *g_lpMachine;
/* A table whose every lookup fails; tests copy it and replace what they fake. */
extern const MachineLookupStruct g_machineNone;

/* Run-wide facts gathered once at start-up. */
extern OSInfoStruct g_OSInfo;
extern char g_szProgramFilesDir[CCH_PATH];
extern char g_szUserProgramsFolder[CCH_PATH];

#endif
