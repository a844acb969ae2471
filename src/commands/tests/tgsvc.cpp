/*
 * commands/tests/tgsvc.cpp -- a small service the service tests install:
 * it starts through three pending checkpoints 400 ms apart and stops through
 * two, so a caller must wait for it; each control it gets is appended to the
 * log file named on its command line.
 *
 *   tgsvc.exe LOGFILE     (as the service's program; the service name is taken from the system)
 */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static char s_szLog[MAX_PATH];
static SERVICE_STATUS_HANDLE s_hStatus;
static SERVICE_STATUS s_status;
static HANDLE s_hStop;

static void fnLog(const char *lpszText)
{
    if (!s_szLog[0])
        return;
    HANDLE h = CreateFileA(s_szLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD cb;
    WriteFile(h, lpszText, (DWORD)strlen(lpszText), &cb, NULL);
    WriteFile(h, "\r\n", 2, &cb, NULL);
    CloseHandle(h);
}

static void fnReport(DWORD dwState, DWORD dwCheckPoint)
{
    s_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    s_status.dwCurrentState = dwState;
    s_status.dwControlsAccepted = dwState == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    s_status.dwWin32ExitCode = NO_ERROR;
    s_status.dwCheckPoint = dwCheckPoint;
    s_status.dwWaitHint = (dwState == SERVICE_START_PENDING || dwState == SERVICE_STOP_PENDING) ? 2000 : 0;
    SetServiceStatus(s_hStatus, &s_status);
}

static DWORD WINAPI fnHandler(DWORD dwControl, DWORD, LPVOID, LPVOID)
{
    char sz[64];
    snprintf(sz, sizeof(sz), "control %lu", (unsigned long)dwControl);
    fnLog(sz);
    if (dwControl == SERVICE_CONTROL_STOP) {
        fnReport(SERVICE_STOP_PENDING, 1);
        SetEvent(s_hStop);
    }
    return NO_ERROR;
}

static void WINAPI fnServiceMain(DWORD dwArgc, LPSTR *lpszArgv)
{
    s_hStatus = RegisterServiceCtrlHandlerExA(dwArgc ? lpszArgv[0] : "", fnHandler, NULL);
    if (!s_hStatus)
        return;
    fnLog("start");
    for (DWORD i = 1; i <= 3; i++) {
        fnReport(SERVICE_START_PENDING, i);
        Sleep(400);
    }
    fnReport(SERVICE_RUNNING, 0);
    fnLog("running");
    WaitForSingleObject(s_hStop, INFINITE);
    Sleep(400);
    fnReport(SERVICE_STOP_PENDING, 2);
    Sleep(400);
    fnLog("stopped");
    fnReport(SERVICE_STOPPED, 0);
}

int main(int argc, char **argv)
{
    if (argc > 1)
        snprintf(s_szLog, sizeof(s_szLog), "%s", argv[1]);
    s_hStop = CreateEventA(NULL, TRUE, FALSE, NULL);
    char szName[] = "";
    SERVICE_TABLE_ENTRYA table[] = {{szName, fnServiceMain}, {NULL, NULL}};
    if (!StartServiceCtrlDispatcherA(table)) {
        fnLog("not started as a service");
        return 1;
    }
    return 0;
}
