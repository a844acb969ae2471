/*
 * process/procsys.cpp -- the real entries of the system-call table that tests
 * replace: ending the session, finding the logon launcher, reading the
 * performance data, classifying services.
 */
#include "process/procsys.h"

#include "common/runstate.h"
#include "driver/debuglog.h"
#include "process/procfind.h"

#define FN_GET_PROC(TYPE, hMod, lpszName) \
    reinterpret_cast<TYPE>(reinterpret_cast<void (*)(void)>(GetProcAddress((hMod), (lpszName))))

static CreateProcessWithLogonWProc fnFindLogonReal(HMODULE *lphLoaded)
{
    *lphLoaded = NULL;
    HMODULE hLib = GetModuleHandleA("ADVAPI32.DLL");
    if (!hLib) {
        hLib = LoadLibraryExA("ADVAPI32.DLL", NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
        *lphLoaded = hLib;
    }
    if (!hLib) {
        fnDebugLog("fnCreateProcessWithLogon", "fnCreateProcessWithLogon error missing ADVAPI32.DLL", g_uDebugLevel);
        return NULL;
    }
    CreateProcessWithLogonWProc pfn = FN_GET_PROC(CreateProcessWithLogonWProc, hLib, "CreateProcessWithLogonW");
    if (!pfn)
        fnDebugLog("fnCreateProcessWithLogon", "fnCreateProcessWithLogon CreateProcessWithLogonW not found",
                   g_uDebugLevel);
    return pfn;
}

static LONG fnReadPerfDataReal(const char *lpszValue, BYTE *lpData, DWORD *lpcb)
{
    LONG lResult = RegQueryValueExA(HKEY_PERFORMANCE_DATA, lpszValue, NULL, NULL, lpData, lpcb);
    RegCloseKey(HKEY_PERFORMANCE_DATA);
    return lResult;
}

static BOOL WINAPI fnExitWindowsExReal(UINT uFlags, DWORD dwReason)
{
    /* never forced: a forced end would kill programs with unsaved work (and, under a test runner, the runner) */
    return ExitWindowsEx(uFlags & ~(UINT)(EWX_FORCE | EWX_FORCEIFHUNG), dwReason);
}

const ProcessSysStruct g_realProcessSys = {fnExitWindowsExReal, fnFindLogonReal, fnReadPerfDataReal,
                                           fnIsProcessAService, ExitProcess};
const ProcessSysStruct *g_lpProcessSys = &g_realProcessSys;
