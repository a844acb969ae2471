/*
 * process/procsys.h -- the few system calls of this folder and of the end of
 * a run that tests must never make for real (ending the Windows session,
 * starting a program under another account, ending this process) or whose answers they must
 * choose (the performance data, the service test). Everything else calls
 * through g_lpProcessSys; the real table is installed from the start, tests
 * point it at a copy with fakes and put it back.
 */
#ifndef TG_PROCESS_PROCSYS_H
#define TG_PROCESS_PROCSYS_H

#include <windows.h>

typedef BOOL(WINAPI *CreateProcessWithLogonWProc)(LPCWSTR lpUsername, LPCWSTR lpDomain, LPCWSTR lpPassword,
                                                  DWORD dwLogonFlags, LPCWSTR lpApplicationName,
                                                  LPWSTR lpCommandLine, DWORD dwCreationFlags, LPVOID lpEnvironment,
                                                  LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                                                  LPPROCESS_INFORMATION lpProcessInformation);

struct ProcessSysStruct {
    BOOL(WINAPI *pfnExitWindowsEx)(UINT uFlags, DWORD dwReason);
    /*
     * Finds CreateProcessWithLogonW in "ADVAPI32.DLL" (logging its absence);
     * *lphLoaded receives a library loaded for it, which the caller frees.
     */
    CreateProcessWithLogonWProc (*pfnFindLogon)(HMODULE *lphLoaded);
    /* RegQueryValueExA on HKEY_PERFORMANCE_DATA: the value into lpData, *lpcb in and out; its result */
    LONG (*pfnReadPerfData)(const char *lpszValue, BYTE *lpData, DWORD *lpcb);
    /* TRUE for a service process (see fnIsProcessAService) */
    BOOL (*pfnIsService)(DWORD dwPid);
    /* ends this process with its exit code (the end of the Windows session does not wait for the run) */
    void(WINAPI *pfnExitProcess)(UINT uExitCode);
};

extern const ProcessSysStruct g_realProcessSys;
extern const ProcessSysStruct *g_lpProcessSys;

#endif
