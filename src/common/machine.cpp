/*
 * common/machine.cpp -- the empty machine lookup table that stands until the
 * Windows side (or a test) installs its own, and the run-wide system facts.
 */
#include "common/machine.h"

static void fnTerminate(char *lpszOut, size_t cchOut)
{
    if (lpszOut && cchOut)
        lpszOut[0] = '\0';
}

static BOOL fnNoRegistry(UINT, const char *, char *lpszValue, size_t cchValue, UINT)
{
    fnTerminate(lpszValue, cchValue);
    return FALSE;
}

static BOOL fnNoEnv(const char *, char *lpszValue, size_t cchValue)
{
    fnTerminate(lpszValue, cchValue);
    return FALSE;
}

static BOOL fnNoExpand(const char *, char *lpszOut, size_t cchOut)
{
    fnTerminate(lpszOut, cchOut);
    return FALSE;
}

static BOOL fnNoShellFolder(BOOL, const char *, char *lpszPath, size_t cchPath, UINT)
{
    fnTerminate(lpszPath, cchPath);
    return FALSE;
}

static const OSInfoStruct *fnRunOSInfo(void)
{
    return &g_OSInfo;
}

static BOOL fnNoWMI(const char *, const char *, const char *, char *lpszOut, size_t cchOut)
{
    fnTerminate(lpszOut, cchOut);
    return FALSE;
}

static BOOL fnNoSMBIOS(char *lpszOut, size_t cchOut, UINT)
{
    fnTerminate(lpszOut, cchOut);
    return FALSE;
}

static int fnNoAdapters(char *lpszList, size_t cchList, char *lpszMask, size_t cchMask, char *lpszGateway,
                        size_t cchGateway)
{
    fnTerminate(lpszList, cchList);
    fnTerminate(lpszMask, cchMask);
    fnTerminate(lpszGateway, cchGateway);
    return 0;
}

static int fnNoString(UINT, char *lpszOut, size_t cchOut)
{
    fnTerminate(lpszOut, cchOut);
    return 0;
}

static BOOL fnNoName(char *lpszOut, size_t cchOut)
{
    fnTerminate(lpszOut, cchOut);
    return FALSE;
}

static ULONGLONG fnNoMemory(void)
{
    return 0;
}

static BOOL fnNoPath(const char *, char *lpszOut, size_t cchOut)
{
    fnTerminate(lpszOut, cchOut);
    return FALSE;
}

static BOOL fnNoSID(const char *, const char *, char *lpszOut, size_t cchOut)
{
    fnTerminate(lpszOut, cchOut);
    return FALSE;
}

static BOOL fnNoFile(const char *)
{
    return FALSE;
}

static BOOL fnNoFileVersion(const char *, char *lpszFileVersion, char *lpszProductVersion, char *lpszLegal)
{
    fnTerminate(lpszFileVersion, 1);
    fnTerminate(lpszProductVersion, 1);
    fnTerminate(lpszLegal, 1);
    return FALSE;
}

static int fnNoCmpFileVersion(const char *, const char *)
{
    return 2; /* no version information */
}

static UINT fnNoDriveType(const char *)
{
    return 1; /* no root directory */
}

static BOOL fnNoFreeBytes(const char *, ULONGLONG *lpullFree)
{
    if (lpullFree)
        *lpullFree = 0;
    return FALSE;
}

const MachineLookupStruct g_machineNone = {
    fnNoRegistry, fnNoEnv,      fnNoExpand, fnNoShellFolder, fnRunOSInfo, fnNoWMI,
    fnNoSMBIOS,   fnNoAdapters, fnNoString, fnNoName,        fnNoName,    fnNoMemory,
    fnNoPath,     fnNoPath,     fnNoSID,    fnNoName,        fnNoName,    fnNoName,
    fnNoFile,     fnNoFileVersion, fnNoCmpFileVersion, fnNoDriveType, fnNoFreeBytes,
};

const MachineLookupStruct *g_lpMachine = &g_machineNone;

OSInfoStruct g_OSInfo;
char g_szProgramFilesDir[CCH_PATH];
char g_szUserProgramsFolder[CCH_PATH];
