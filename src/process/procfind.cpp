/*
 * process/procfind.cpp -- finding, classifying and closing running programs.
 * Tool-help functions and the image-path readers are optional system
 * functions, looked up once; without tool help the performance data lists
 * the processes. This program's own process is never a match.
 */
#include "process/procfind.h"

#include <tlhelp32.h>
#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "process/procsys.h"
#include "process/proctext.h"

#define FN_GET_PROC(TYPE, hMod, lpszName) \
    reinterpret_cast<TYPE>(reinterpret_cast<void (*)(void)>(GetProcAddress((hMod), (lpszName))))

typedef HANDLE(WINAPI *CreateSnapshotProc)(DWORD dwFlags, DWORD dwPid);
typedef BOOL(WINAPI *Process32Proc)(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
typedef BOOL(WINAPI *Module32Proc)(HANDLE hSnapshot, LPMODULEENTRY32 lpme);
typedef BOOL(WINAPI *QueryImageNameProc)(HANDLE hProcess, DWORD dwFlags, LPSTR lpszName, PDWORD lpcch);
typedef LONG(NTAPI *NtQueryInformationProcessProc)(HANDLE hProcess, int nClass, PVOID lpInfo, ULONG cbInfo,
                                                   PULONG lpcbReturned);

struct ProcessApiStruct {
    BOOL bInit;
    CreateSnapshotProc pfnSnapshot;
    Process32Proc pfnProcessFirst;
    Process32Proc pfnProcessNext;
    Module32Proc pfnModuleFirst;
    Module32Proc pfnModuleNext;
    QueryImageNameProc pfnQueryImageName;
    NtQueryInformationProcessProc pfnNtQueryInformationProcess;
};
static ProcessApiStruct s_api;
UINT g_uProcEnumMethod;

/* Instances closed by one close line at most, so a program that restarts itself cannot hold us. */
#define MAX_CLOSE_INSTANCES 32
/* How long an ended or asked process is given to be gone. */
#define CLOSE_WAIT_MS 5000
/* Process ids read from the performance data at most. */
#define MAX_PERF_PIDS 1024
#define PERF_BUFFER_STEP 65536
#define PERF_BUFFER_MAX (16u * 1024u * 1024u)

void fnInitProcessLookup(void)
{
    HMODULE hKernel = GetModuleHandleA("KERNEL32.DLL");
    HMODULE hNtdll = GetModuleHandleA("NTDLL.DLL");
    ZeroMemory(&s_api, sizeof(s_api));
    s_api.bInit = TRUE;
    if (hKernel) {
        s_api.pfnSnapshot = FN_GET_PROC(CreateSnapshotProc, hKernel, "CreateToolhelp32Snapshot");
        s_api.pfnProcessFirst = FN_GET_PROC(Process32Proc, hKernel, "Process32First");
        s_api.pfnProcessNext = FN_GET_PROC(Process32Proc, hKernel, "Process32Next");
        s_api.pfnModuleFirst = FN_GET_PROC(Module32Proc, hKernel, "Module32First");
        s_api.pfnModuleNext = FN_GET_PROC(Module32Proc, hKernel, "Module32Next");
        s_api.pfnQueryImageName = FN_GET_PROC(QueryImageNameProc, hKernel, "QueryFullProcessImageNameA");
    }
    if (hNtdll)
        s_api.pfnNtQueryInformationProcess =
            FN_GET_PROC(NtQueryInformationProcessProc, hNtdll, "NtQueryInformationProcess");
    if (s_api.pfnSnapshot && s_api.pfnProcessFirst && s_api.pfnProcessNext) {
        g_uProcEnumMethod = PROCENUM_TOOLHELP;
    } else {
        fnDebugLog("fnInitProcessLookup", "Tool help functions not found in KERNEL32.DLL", g_uDebugLevel);
        g_uProcEnumMethod = PROCENUM_PERFDATA;
    }
    if (!s_api.pfnNtQueryInformationProcess)
        fnDebugLog("fnInitProcessLookup", "NtQueryInformationProcess not found in NTDLL.DLL", g_uDebugLevel);
}

static void fnNeedLookup(void)
{
    if (!s_api.bInit)
        fnInitProcessLookup();
}

/* The image path the process's own parameters hold, read from its memory. */
static BOOL fnImagePathFromPeb(HANDLE hProcess, char *lpszPath, size_t cchPath)
{
    if (!s_api.pfnNtQueryInformationProcess)
        return FALSE;
    struct {
        LONG_PTR lExitStatus;
        PVOID lpPeb;
        ULONG_PTR aRest[4];
    } pbi;
    ULONG cb = 0;
    if (s_api.pfnNtQueryInformationProcess(hProcess, 0 /* ProcessBasicInformation */, &pbi, sizeof(pbi), &cb) != 0 ||
        !pbi.lpPeb)
        return FALSE;
    /* offsets of the parameters in the block and of the image path in the parameters */
    const SIZE_T cbParamsAt = sizeof(PVOID) == 8 ? 0x20 : 0x10;
    const SIZE_T cbImageAt = sizeof(PVOID) == 8 ? 0x60 : 0x38;
    PVOID lpParams = NULL;
    SIZE_T cbRead = 0;
    if (!ReadProcessMemory(hProcess, (BYTE *)pbi.lpPeb + cbParamsAt, &lpParams, sizeof(lpParams), &cbRead) ||
        !lpParams)
        return FALSE;
    struct {
        USHORT cbLength;
        USHORT cbMax;
        PWSTR lpBuffer;
    } image;
    if (!ReadProcessMemory(hProcess, (BYTE *)lpParams + cbImageAt, &image, sizeof(image), &cbRead) ||
        !image.lpBuffer || image.cbLength == 0)
        return FALSE;
    WCHAR szWide[MAX_PATH + 1];
    SIZE_T cbWant = image.cbLength;
    if (cbWant > sizeof(szWide) - sizeof(WCHAR))
        cbWant = sizeof(szWide) - sizeof(WCHAR);
    if (!ReadProcessMemory(hProcess, image.lpBuffer, szWide, cbWant, &cbRead))
        return FALSE;
    szWide[cbRead / sizeof(WCHAR)] = L'\0';
    return WideCharToMultiByte(CP_ACP, 0, szWide, -1, lpszPath, (int)cchPath, NULL, NULL) > 0;
}

BOOL fnGetProcessImagePath(DWORD dwPid, char *lpszPath, size_t cchPath)
{
    fnNeedLookup();
    lpszPath[0] = '\0';
    if (s_api.pfnQueryImageName) {
        HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwPid);
        if (hProcess) {
            DWORD cch = (DWORD)cchPath;
            BOOL bOk = s_api.pfnQueryImageName(hProcess, 0, lpszPath, &cch);
            CloseHandle(hProcess);
            if (bOk && lpszPath[0])
                return TRUE;
        }
    }
    if (s_api.pfnSnapshot && s_api.pfnModuleFirst) {
        HANDLE hSnap = s_api.pfnSnapshot(TH32CS_SNAPMODULE, dwPid);
        if (hSnap != INVALID_HANDLE_VALUE) {
            MODULEENTRY32 me;
            ZeroMemory(&me, sizeof(me));
            me.dwSize = sizeof(me);
            BOOL bOk = s_api.pfnModuleFirst(hSnap, &me);
            CloseHandle(hSnap);
            if (bOk && me.szExePath[0])
                return fnCopyBounded(lpszPath, cchPath, me.szExePath);
        }
    }
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, dwPid);
    if (!hProcess)
        return FALSE;
    BOOL bOk = fnImagePathFromPeb(hProcess, lpszPath, cchPath);
    CloseHandle(hProcess);
    if (!bOk)
        lpszPath[0] = '\0';
    return bOk;
}

/* The long form of a path, so "C:\PROGRA~1\x.exe" and "C:\Program Files\x.exe" compare equal. */
static void fnLongPath(const char *lpszPath, char *lpszOut, size_t cchOut)
{
    DWORD n = GetLongPathNameA(lpszPath, lpszOut, (DWORD)cchOut);
    if (n == 0 || n >= cchOut)
        fnCopyBounded(lpszOut, cchOut, lpszPath);
}

/*
 * One process seen by a search: does it match, and is it one to report? The
 * image path is read only when a path is sought and the file names agree.
 */
static BOOL fnEntryMatches(DWORD dwPid, const char *lpszWant, const char *lpszExeText, BOOL bMatchFileName,
                           BOOL bSkipServices)
{
    if (dwPid == 0 || dwPid == GetCurrentProcessId())
        return FALSE;
    char szImage[MAX_PATH] = "";
    if (fnIsPathName(lpszWant) && fnEqualNoCase(fnPathFileName(lpszWant), fnPathFileName(lpszExeText)))
        fnGetProcessImagePath(dwPid, szImage, sizeof(szImage));
    BOOL bMatch = fnProcessNameMatches(lpszWant, lpszExeText, szImage, bMatchFileName);
    if (!bMatch && szImage[0]) {
        char szLong[MAX_PATH];
        fnLongPath(szImage, szLong, sizeof(szLong));
        bMatch = fnProcessNameMatches(lpszWant, lpszExeText, szLong, bMatchFileName);
    }
    if (!bMatch)
        return FALSE;
    if (bSkipServices && g_lpProcessSys->pfnIsService(dwPid)) {
        fnDebugLog("fnFindProcess", "Skip service dwPID=%lu, %s", g_uDebugLevel, (unsigned long)dwPid, lpszExeText);
        return FALSE;
    }
    return TRUE;
}

/* The name as it is compared: a path in its long form. */
static void fnWantedName(const char *lpszName, char *lpszWant, size_t cchWant)
{
    if (fnIsPathName(lpszName))
        fnLongPath(lpszName, lpszWant, cchWant);
    else
        fnCopyBounded(lpszWant, cchWant, lpszName);
}

DWORD fnFindProcessTH(const char *lpszName, BOOL bMatchFileName, BOOL bSkipServices)
{
    fnNeedLookup();
    if (!lpszName || !lpszName[0] || !s_api.pfnSnapshot || !s_api.pfnProcessFirst || !s_api.pfnProcessNext)
        return 0;
    char szWant[MAX_PATH];
    fnWantedName(lpszName, szWant, sizeof(szWant));
    HANDLE hSnap = s_api.pfnSnapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnap == INVALID_HANDLE_VALUE) {
        fnDebugLog("fnFindProcessTH", "CreateToolhelp32Snapshot failed, dwError=%lu", g_uDebugLevel,
                   (unsigned long)GetLastError());
        return 0;
    }
    PROCESSENTRY32 pe;
    ZeroMemory(&pe, sizeof(pe));
    pe.dwSize = sizeof(pe);
    DWORD dwFound = 0;
    for (BOOL bMore = s_api.pfnProcessFirst(hSnap, &pe); bMore; bMore = s_api.pfnProcessNext(hSnap, &pe)) {
        if (fnEntryMatches(pe.th32ProcessID, szWant, pe.szExeFile, bMatchFileName, bSkipServices)) {
            dwFound = pe.th32ProcessID;
            break;
        }
    }
    CloseHandle(hSnap);
    fnDebugLog("fnFindProcessTH", "szName=%s, bMatchFileName=%d, bSkipServices=%d, dwPID=%lu", g_uDebugLevel,
               lpszName, bMatchFileName, bSkipServices, (unsigned long)dwFound);
    return dwFound;
}

/* Reads a performance data value into a buffer grown as needed; the caller frees it. NULL on failure. */
static BYTE *fnReadPerfValue(const char *lpszValue, DWORD *lpcb)
{
    DWORD cbBuffer = PERF_BUFFER_STEP;
    for (;;) {
        BYTE *lpData = (BYTE *)malloc(cbBuffer);
        if (!lpData) {
            fnDebugLog("fnFindProcessPerf", "Error allocating memory.  Requested %lu bytes.", g_uDebugLevel,
                       (unsigned long)cbBuffer);
            return NULL;
        }
        DWORD cb = cbBuffer;
        LONG lResult = g_lpProcessSys->pfnReadPerfData(lpszValue, lpData, &cb);
        if (lResult == ERROR_SUCCESS && cb <= cbBuffer) {
            *lpcb = cb;
            return lpData;
        }
        free(lpData);
        if (lResult != ERROR_MORE_DATA || cbBuffer >= PERF_BUFFER_MAX) {
            fnDebugLog("fnFindProcessPerf", "RegQueryValueEx Failed on Counter 009, error = %lu", g_uDebugLevel,
                       (unsigned long)lResult);
            return NULL;
        }
        cbBuffer += PERF_BUFFER_STEP;
    }
}

DWORD fnFindProcessPerf(const char *lpszName, BOOL bMatchFileName, BOOL bSkipServices)
{
    if (!lpszName || !lpszName[0])
        return 0;
    DWORD cbNames = 0;
    BYTE *lpNames = fnReadPerfValue("Counter 009", &cbNames);
    if (!lpNames)
        return 0;
    DWORD dwObject = fnPerfCounterIndex(lpNames, cbNames, "Process");
    DWORD dwCounter = fnPerfCounterIndex(lpNames, cbNames, "ID Process");
    free(lpNames);
    if (!dwObject || !dwCounter) {
        fnDebugLog("fnFindProcessPerf", "Process counters not found", g_uDebugLevel);
        return 0;
    }
    char szObject[16];
    fnFormatBounded(szObject, sizeof(szObject), "%lu", (unsigned long)dwObject);
    DWORD cbBlock = 0;
    BYTE *lpBlock = fnReadPerfValue(szObject, &cbBlock);
    if (!lpBlock)
        return 0;
    DWORD *lpdwPids = (DWORD *)malloc(MAX_PERF_PIDS * sizeof(DWORD));
    if (!lpdwPids) {
        fnDebugLog("fnFindProcessPerf", "Error allocating memory.  Requested %lu bytes.", g_uDebugLevel,
                   (unsigned long)(MAX_PERF_PIDS * sizeof(DWORD)));
        free(lpBlock);
        return 0;
    }
    int nPids = fnPerfProcessIds(lpBlock, cbBlock, dwObject, dwCounter, lpdwPids, MAX_PERF_PIDS);
    free(lpBlock);
    char szWant[MAX_PATH];
    fnWantedName(lpszName, szWant, sizeof(szWant));
    DWORD dwFound = 0;
    for (int i = 0; i < nPids && !dwFound; i++) {
        char szImage[MAX_PATH];
        if (!fnGetProcessImagePath(lpdwPids[i], szImage, sizeof(szImage)))
            fnCopyBounded(szImage, sizeof(szImage), "-Unknown-");
        if (fnEntryMatches(lpdwPids[i], szWant, szImage, bMatchFileName, bSkipServices))
            dwFound = lpdwPids[i];
    }
    free(lpdwPids);
    fnDebugLog("fnFindProcessPerf", "szName=%s, nPids=%d, dwPID=%lu", g_uDebugLevel, lpszName, nPids,
               (unsigned long)dwFound);
    return dwFound;
}

DWORD fnFindProcess(const char *lpszName, BOOL bMatchFileName, BOOL bSkipServices)
{
    fnNeedLookup();
    if (g_uProcEnumMethod == PROCENUM_TOOLHELP)
        return fnFindProcessTH(lpszName, bMatchFileName, bSkipServices);
    return fnFindProcessPerf(lpszName, bMatchFileName, bSkipServices);
}

BOOL fnTestForRunningExec(const char *lpszName)
{
    return fnFindProcess(lpszName, TRUE, TRUE) != 0;
}

BOOL fnTestForRunningExecPath(const char *lpszPath)
{
    return fnFindProcess(lpszPath, FALSE, TRUE) != 0;
}

BOOL fnIsProcessAService(DWORD dwPid)
{
    BOOL bIsService = FALSE, bIsInteractive = FALSE, bRead = FALSE;
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwPid);
    HANDLE hToken = NULL;
    BYTE *lpGroups = NULL;
    PSID lpServiceSid = NULL, lpInteractiveSid = NULL;
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    DWORD cb = 0;
    if (!hProcess || !OpenProcessToken(hProcess, TOKEN_QUERY, &hToken))
        goto done;
    GetTokenInformation(hToken, TokenGroups, NULL, 0, &cb);
    if (cb == 0 || (lpGroups = (BYTE *)malloc(cb)) == NULL || !GetTokenInformation(hToken, TokenGroups, lpGroups, cb, &cb))
        goto done;
    if (!AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_SERVICE_RID, 0, 0, 0, 0, 0, 0, 0, &lpServiceSid) ||
        !AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_INTERACTIVE_RID, 0, 0, 0, 0, 0, 0, 0, &lpInteractiveSid))
        goto done;
    bRead = TRUE;
    {
        TOKEN_GROUPS *lpTg = (TOKEN_GROUPS *)lpGroups;
        for (DWORD i = 0; i < lpTg->GroupCount; i++) {
            if (EqualSid(lpTg->Groups[i].Sid, lpServiceSid))
                bIsService = TRUE;
            if (EqualSid(lpTg->Groups[i].Sid, lpInteractiveSid))
                bIsInteractive = TRUE;
        }
    }
done:
    if (lpInteractiveSid)
        FreeSid(lpInteractiveSid);
    if (lpServiceSid)
        FreeSid(lpServiceSid);
    free(lpGroups);
    if (hToken)
        CloseHandle(hToken);
    if (hProcess)
        CloseHandle(hProcess);
    /* a token that cannot be read is not this user's program */
    BOOL bProcIsService = bRead ? (bIsService && !bIsInteractive) : TRUE;
    fnDebugLog("fnIsProcessAService", "dwPID=%lu, bProcIsService=%d, bIsService=%d, bIsInteractive=%d", g_uDebugLevel,
               (unsigned long)dwPid, bProcIsService, bIsService, bIsInteractive);
    return bProcIsService;
}

BOOL fnFindPID(DWORD dwPid)
{
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwPid);
    if (!hProcess) {
        fnDebugLog("fnFindPID", "Error %lu opening process %lu", g_uDebugLevel, (unsigned long)GetLastError(),
                   (unsigned long)dwPid);
        return FALSE;
    }
    DWORD dwCode = 0;
    BOOL bRunning = GetExitCodeProcess(hProcess, &dwCode) && dwCode == STILL_ACTIVE;
    CloseHandle(hProcess);
    return bRunning;
}

BOOL fnCloseProcess(DWORD dwPid)
{
    if (dwPid == 0 || dwPid == GetCurrentProcessId())
        return FALSE;
    HANDLE hProcess = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, dwPid);
    if (!hProcess) {
        fnDebugLog("fnCloseProcess", "Error %lu opening process %lu", g_uDebugLevel, (unsigned long)GetLastError(),
                   (unsigned long)dwPid);
        return FALSE;
    }
    /* a running process reads STILL_ACTIVE: ending it with that code would make it look alive */
    DWORD dwCode = 0;
    if (!GetExitCodeProcess(hProcess, &dwCode) || dwCode == STILL_ACTIVE)
        dwCode = 4294967295u;
    BOOL bEnded = TerminateProcess(hProcess, dwCode);
    DWORD dwError = bEnded ? 0 : GetLastError();
    /* the end is asynchronous: the next section must not find the program's files still held */
    DWORD dwWait = bEnded ? WaitForSingleObject(hProcess, CLOSE_WAIT_MS) : WAIT_FAILED;
    CloseHandle(hProcess);
    fnDebugLog("fnCloseProcess", "dwPID=%lu, uExitCode=%lu, bEnded=%d, dwError=%lu, bGone=%d", g_uDebugLevel,
               (unsigned long)dwPid, (unsigned long)dwCode, bEnded, (unsigned long)dwError, dwWait == WAIT_OBJECT_0);
    return bEnded;
}

struct CloseWindowFindStruct {
    DWORD dwPid;
    HWND hVisible;    /* first visible, enabled window without owner */
    HWND hEnabled;    /* first enabled window without owner */
    HWND hAny;        /* first top-level window of the process */
};

static BOOL CALLBACK fnFindCloseWindowProc(HWND hWnd, LPARAM lParam)
{
    CloseWindowFindStruct *lpFind = (CloseWindowFindStruct *)lParam;
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    if (dwPid != lpFind->dwPid)
        return TRUE;
    if (!lpFind->hAny)
        lpFind->hAny = hWnd;
    /* hidden helper windows (an input method window, say) come before the program's own */
    if (GetWindow(hWnd, GW_OWNER) == NULL && IsWindowEnabled(hWnd)) {
        if (!lpFind->hEnabled)
            lpFind->hEnabled = hWnd;
        if (IsWindowVisible(hWnd)) {
            lpFind->hVisible = hWnd;
            return FALSE;
        }
    }
    return TRUE;
}

/* Asks process dwPid to close through its main window. TRUE when it has a top-level window. */
static BOOL fnAskProcessToClose(DWORD dwPid)
{
    CloseWindowFindStruct find = {dwPid, NULL, NULL, NULL};
    EnumWindows(fnFindCloseWindowProc, (LPARAM)&find);
    HWND hWnd = find.hVisible ? find.hVisible : find.hEnabled;
    if (!hWnd) {
        fnDebugLog("fnCloseRunningExec", "No window to close, dwPID=%lu, hWnd=%p", g_uDebugLevel,
                   (unsigned long)dwPid, (void *)find.hAny);
        return find.hAny != NULL;
    }
    if (!IsWindow(hWnd) || GetWindow(hWnd, GW_OWNER) != NULL || !IsWindowEnabled(hWnd))
        return TRUE;
    HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, dwPid);
    PostMessageA(hWnd, WM_CLOSE, 0, 0);
    BOOL bGone = FALSE;
    if (hProcess) {
        bGone = fnWaitWithMessages(hProcess, CLOSE_WAIT_MS, NULL);
        CloseHandle(hProcess);
    }
    fnDebugLog("fnCloseRunningExec", "WM_CLOSE posted, dwPID=%lu, bGone=%d", g_uDebugLevel, (unsigned long)dwPid,
               bGone);
    return TRUE;
}

BOOL fnCloseRunningExec(const char *lpszPath, BOOL bTerminate)
{
    fnDebugLog("fnCloseRunningExec", "szPath=%s, bTerminate=%d", g_uDebugLevel, lpszPath, bTerminate);
    if (bTerminate) {
        int nEnded = 0;
        for (; nEnded < MAX_CLOSE_INSTANCES; nEnded++) {
            DWORD dwPid = fnFindProcess(lpszPath, FALSE, TRUE);
            if (!dwPid || !fnCloseProcess(dwPid))
                break;
        }
        /* every instance found was ended */
        if (nEnded > 0 && !fnFindProcess(lpszPath, FALSE, TRUE))
            return TRUE;
    }
    DWORD dwPid = fnFindProcess(lpszPath, FALSE, FALSE);
    if (!dwPid)
        return FALSE;
    return fnAskProcessToClose(dwPid);
}

BOOL fnWaitWithMessages(HANDLE hObject, DWORD dwMs, BOOL *lpbQuit)
{
    if (lpbQuit)
        *lpbQuit = FALSE;
    DWORD dwStart = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                /* the main loop must still see it */
                PostQuitMessage((int)msg.wParam);
                if (lpbQuit)
                    *lpbQuit = TRUE;
                return FALSE;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD dwGone = GetTickCount() - dwStart;
        if (dwGone >= dwMs)
            return FALSE;
        DWORD dwResult = MsgWaitForMultipleObjects(hObject ? 1 : 0, hObject ? &hObject : NULL, FALSE, dwMs - dwGone,
                                                   QS_ALLINPUT);
        if (hObject && dwResult == WAIT_OBJECT_0)
            return TRUE;
        if (dwResult == WAIT_FAILED)
            return FALSE;
    }
}
