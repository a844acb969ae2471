/*
 * process/procfind.h -- running programs: found by name or path, asked to
 * close through their window, or ended. No search ever finds this program's
 * own process, so an installer named like the program it waits for never
 * waits on itself.
 */
#ifndef TG_PROCESS_PROCFIND_H
#define TG_PROCESS_PROCFIND_H

#include <windows.h>

/* How processes are listed; chosen once by fnInitProcessLookup. */
enum {
    PROCENUM_NONE = 0,
    PROCENUM_TOOLHELP = 1,   /* tool-help snapshots */
    PROCENUM_PERFDATA = 2    /* performance data of the process object (no tool help) */
};
extern UINT g_uProcEnumMethod;

/*
 * Looks up the tool-help functions in "KERNEL32.DLL" and, without them, the
 * process information function of "NTDLL.DLL"; logs what is missing. Called
 * at start-up; the searches call it themselves when it has not run yet.
 */
void fnInitProcessLookup(void);

/*
 * Process id of the first process matching lpszName (see fnProcessNameMatches:
 * a name with a folder is compared with the whole image path), or 0. With
 * bSkipServices a service process is passed over. fnFindProcessTH walks a
 * tool-help snapshot, fnFindProcessPerf the performance data; fnFindProcess
 * uses the method chosen at start-up.
 */
DWORD fnFindProcessTH(const char *lpszName, BOOL bMatchFileName, BOOL bSkipServices);
DWORD fnFindProcessPerf(const char *lpszName, BOOL bMatchFileName, BOOL bSkipServices);
DWORD fnFindProcess(const char *lpszName, BOOL bMatchFileName, BOOL bSkipServices);

/* TRUE when a non-service process runs under this file name (or, for a path, this image path). */
BOOL fnTestForRunningExec(const char *lpszName);
/* TRUE when a non-service process runs with this path as a whole. */
BOOL fnTestForRunningExecPath(const char *lpszPath);

/*
 * Closes the program running under lpszPath. With bTerminate every running
 * instance (up to 32) is ended and waited for; when an end fails, or without
 * bTerminate, the first visible top-level window of the process (else its
 * first enabled one without owner) is sent WM_CLOSE when it allows it, and
 * the process is given a few seconds to end. TRUE when a process was ended or
 * such a window was found; FALSE when neither.
 */
BOOL fnCloseRunningExec(const char *lpszPath, BOOL bTerminate);

/*
 * Ends process dwPid and waits (at most five seconds) until it has ended. Its
 * exit code is 4294967295, since a running process's own code reads as
 * STILL_ACTIVE, which would make it look alive to anyone reading it later.
 * FALSE when it cannot be opened or ended, and for this program's own process.
 */
BOOL fnCloseProcess(DWORD dwPid);

/*
 * TRUE for a service process: its token holds the service group and not the
 * interactive one, or the token cannot be read (such a process is not the
 * user's program and could not be ended from here anyway).
 */
BOOL fnIsProcessAService(DWORD dwPid);

/* TRUE when process dwPid can be opened and has not ended. */
BOOL fnFindPID(DWORD dwPid);

/* Full image path of process dwPid; FALSE (empty text) when it cannot be read. */
BOOL fnGetProcessImagePath(DWORD dwPid, char *lpszPath, size_t cchPath);

/*
 * Waits up to dwMs for hObject (NULL: just the time) while dispatching this
 * thread's window messages, so the program's windows stay responsive. A quit
 * message is posted again for the main loop and ends the wait with *lpbQuit
 * set (when given). TRUE when the object was signalled.
 */
BOOL fnWaitWithMessages(HANDLE hObject, DWORD dwMs, BOOL *lpbQuit);

#endif
