/*
 * commands/services_win.cpp -- the service commands: the service opener that
 * starts or stops a service and waits until it has got there, the start-type
 * change, and handing the wireless interfaces to or from the system's
 * wireless configuration service. Every outcome goes to the debug log only.
 */
#include <windows.h>

#include "commands/cmdrules.h"
#include "commands/commands_win.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "driver/winstate.h"

/* Sleeps dwMs in short steps, keeping the program's windows answering. */
static void fnPumpSleep(DWORD dwMs)
{
    DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < dwMs) {
        fnProcessMessages();
        Sleep(100);
    }
    fnProcessMessages();
}

/*
 * Waits while the service moves towards dwTarget: each look sleeps a tenth of
 * its wait hint (1-10 s); progress of its checkpoint starts the time limit
 * again; more time than the hint without progress, or a status that cannot
 * be read, ends the wait. TRUE when the service reached dwTarget.
 */
static BOOL fnWaitForServiceState(SC_HANDLE hService, DWORD dwTarget)
{
    SERVICE_STATUS ss;
    if (!QueryServiceStatus(hService, &ss))
        return FALSE;
    DWORD dwCheckPoint = ss.dwCheckPoint;
    DWORD dwSince = GetTickCount();
    while (ss.dwCurrentState != dwTarget) {
        /* a service that has not yet reported its pending state gets at least a second */
        DWORD dwLimit = ss.dwWaitHint > 1000 ? ss.dwWaitHint : 1000;
        fnPumpSleep(fnServiceWaitMs(ss.dwWaitHint));
        if (!QueryServiceStatus(hService, &ss))
            return FALSE;
        if (ss.dwCheckPoint > dwCheckPoint) {
            dwCheckPoint = ss.dwCheckPoint;
            dwSince = GetTickCount();
        } else if (GetTickCount() - dwSince > dwLimit) {
            break;
        }
    }
    return ss.dwCurrentState == dwTarget;
}

SC_HANDLE fnOpenService(const char *lpszService, UINT uAction, BOOL *lpbReached)
{
    if (lpbReached)
        *lpbReached = FALSE;
    SC_HANDLE hManager = OpenSCManagerA(NULL, "ServicesActive", SC_MANAGER_ALL_ACCESS);
    if (!hManager) {
        DWORD dwErr = GetLastError();
        fnDebugLog("fnOpenService", "OpenSCManager error %lu", g_uDebugLevel, (unsigned long)dwErr);
        return NULL;
    }
    SC_HANDLE hService = OpenServiceA(hManager, lpszService, SERVICE_ALL_ACCESS);
    DWORD dwErr = GetLastError();
    CloseServiceHandle(hManager);
    if (!hService) {
        fnDebugLog("fnOpenService", "OpenService %s error %lu", g_uDebugLevel, lpszService, (unsigned long)dwErr);
        return NULL;
    }
    if (uAction == SVC_NONE)
        return hService;
    SERVICE_STATUS ss;
    ZeroMemory(&ss, sizeof(ss));
    QueryServiceStatus(hService, &ss);
    BOOL bReached = FALSE;
    if (uAction == SVC_START) {
        if (ss.dwCurrentState == SERVICE_RUNNING)
            bReached = TRUE;
        else if (StartServiceA(hService, 0, NULL) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING)
            bReached = fnWaitForServiceState(hService, SERVICE_RUNNING);
        else
            fnDebugLog("fnOpenService", "StartService %s error %lu", g_uDebugLevel, lpszService,
                       (unsigned long)GetLastError());
    } else {
        if (ss.dwCurrentState == SERVICE_STOPPED)
            bReached = TRUE;
        else if (ControlService(hService, SERVICE_CONTROL_STOP, &ss) ||
                 GetLastError() == ERROR_SERVICE_NOT_ACTIVE)
            bReached = fnWaitForServiceState(hService, SERVICE_STOPPED);
        else
            fnDebugLog("fnOpenService", "ControlService %s error %lu", g_uDebugLevel, lpszService,
                       (unsigned long)GetLastError());
    }
    if (lpbReached)
        *lpbReached = bReached;
    return hService;
}

BOOL fnStartStopService(const char *lpszService, BOOL bStart)
{
    BOOL bReached = FALSE;
    SC_HANDLE hService = fnOpenService(lpszService, bStart ? SVC_START : SVC_STOP, &bReached);
    if (hService)
        CloseServiceHandle(hService);
    if (bStart)
        fnDebugLog("fnReadCommand StartService", bReached ? "Started service %s" : "Error starting service %s",
                   g_uDebugLevel, lpszService);
    else
        fnDebugLog("fnReadCommand StopService", bReached ? "Stopped service %s" : "Error stopping service %s",
                   g_uDebugLevel, lpszService);
    if (bReached)
        fnWriteLog(bStart ? "StartService=%s" : "StopService=%s", TRUE, lpszService);
    return bReached;
}

BOOL fnChangeServiceStart(const char *lpszService, const char *lpszType)
{
    DWORD dwStart = SERVICE_NO_CHANGE;
    if (fnEqualNoCase(lpszType, "AUTO"))
        dwStart = SERVICE_AUTO_START;
    else if (fnEqualNoCase(lpszType, "MANUAL"))
        dwStart = SERVICE_DEMAND_START;
    else if (fnEqualNoCase(lpszType, "DISABLED"))
        dwStart = SERVICE_DISABLED;
    SC_HANDLE hService = fnOpenService(lpszService, SVC_NONE, NULL);
    if (!hService) {
        fnDebugLog("fnChangeServiceStart", "Error getting service %s", g_uDebugLevel, lpszService);
        return FALSE;
    }
    BOOL bRC = ChangeServiceConfigA(hService, SERVICE_NO_CHANGE, dwStart, SERVICE_NO_CHANGE, NULL, NULL, NULL, NULL,
                                    NULL, NULL, NULL);
    DWORD dwErr = GetLastError();
    CloseServiceHandle(hService);
    if (bRC) {
        fnDebugLog("fnChangeServiceStart ChangeServiceConfig", "Successfully changed service %s", g_uDebugLevel,
                   lpszService);
        if (dwStart != SERVICE_NO_CHANGE)
            fnWriteLog("ChangeServiceStart=%s,%s", TRUE, lpszService, lpszType);
    } else {
        fnDebugLog("fnChangeServiceStart ChangeServiceConfig", "Error %lu when changing service %s", g_uDebugLevel,
                   (unsigned long)dwErr, lpszService);
    }
    return bRC;
}

#define WZC_INTERFACES "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces"
#define WZC_ENABLED 0x8000u

BOOL fnEnableMSWiFiConfig(BOOL bEnable)
{
    SC_HANDLE hService = fnOpenService("WZCSVC", SVC_NONE, NULL);
    if (!hService) {
        fnDebugLog("fnEnableMSWiFiConfig", "Error getting WZCSVC", g_uDebugLevel);
        return FALSE;
    }
    CloseServiceHandle(hService);
    BOOL bFound = FALSE, bStopped = FALSE;
    RegKeyGuardStruct interfaces;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, WZC_INTERFACES, 0, KEY_READ, &interfaces.hKey) == ERROR_SUCCESS) {
        char szName[CCH_PATH];
        for (DWORD i = 0;; i++) {
            DWORD cchName = sizeof(szName);
            LONG lRC = RegEnumKeyExA(interfaces.hKey, i, szName, &cchName, NULL, NULL, NULL, NULL);
            if (lRC == ERROR_MORE_DATA)
                continue;
            if (lRC != ERROR_SUCCESS)
                break;
            RegKeyGuardStruct iface;
            if (RegOpenKeyExA(interfaces.hKey, szName, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &iface.hKey) !=
                ERROR_SUCCESS)
                continue;
            DWORD dwType = 0, dwFlags = 0, cb = sizeof(dwFlags);
            if (RegQueryValueExA(iface.hKey, "ControlFlags", NULL, &dwType, (BYTE *)&dwFlags, &cb) != ERROR_SUCCESS ||
                cb != sizeof(dwFlags) || (dwType != REG_DWORD && dwType != REG_BINARY))
                continue;
            bFound = TRUE;
            DWORD dwNew = bEnable ? (dwFlags | WZC_ENABLED) : (dwFlags & ~WZC_ENABLED);
            if (dwNew == dwFlags)
                continue;
            if (!bStopped) {
                fnDebugLog("fnEnableMSWiFiConfig", "Found interface, changing setting", g_uDebugLevel);
                fnStartStopService("WZCSVC", FALSE);
                bStopped = TRUE;
            }
            if (RegSetValueExA(iface.hKey, "ControlFlags", 0, dwType, (const BYTE *)&dwNew, sizeof(dwNew)) ==
                ERROR_SUCCESS)
                fnWriteLog("HKEY_LOCAL_MACHINE\\%s\\%s\\ControlFlags=0x%08lx", TRUE, WZC_INTERFACES, szName,
                           (unsigned long)dwNew);
        }
    }
    /* a service stopped for a change runs again even when the change itself failed */
    if (bStopped)
        fnStartStopService("WZCSVC", TRUE);
    if (!bEnable)
        fnStartStopService("WZCSVC", FALSE);
    fnDebugLog("fnEnableMSWiFiConfig", "Done", g_uDebugLevel);
    return bFound;
}
