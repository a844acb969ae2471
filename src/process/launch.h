/*
 * process/launch.h -- starting other programs: directly, under another
 * account, or through the shell's "open" verb; the directory search for a
 * program that does not start as written; waiting for it while the program's
 * own windows stay responsive; and the report of a failed start.
 *
 * Launch results: 1 started (and, when waiting, ended); 0 not started
 * (reported by the error mode); 2 not started and the run must stop; 7 the
 * user chose to stop, or the wait was ended by a quit or end-of-session.
 */
#ifndef TG_PROCESS_LAUNCH_H
#define TG_PROCESS_LAUNCH_H

#include <windows.h>

/* Wait modes */
enum { LAUNCH_NOWAIT = 0, LAUNCH_WAIT = 1 /* dispatching messages */, LAUNCH_WAITBLOCK = 2 };
/* Error modes: what a failed start tells the user */
enum {
    LAUNCHERR_SILENT = 0,   /* nothing */
    LAUNCHERR_ASK = 1,      /* ask whether to continue; No gives 7 */
    LAUNCHERR_STOP = 2,     /* report; a serious failure stops the run (2) */
    LAUNCHERR_REPORT = 3    /* report only */
};

/*
 * The core: starts lpszCmd (show state nShow: 1 normal, 2 minimised, 3
 * maximised, 4 without activation) by the directory search, with handle
 * inheritance when bInherit, without a console window when bNoWindow. While
 * it runs g_bPreventExit holds bPreventExit, so the main window refuses an
 * end of the session. A start that fails everywhere goes to fnLaunchError.
 */
UINT fnCreateProcess(const char *lpszCmd, int nShow, UINT uWaitMode, BOOL bPreventExit, BOOL bNoWindow,
                     UINT uErrorMsg, BOOL bInherit);

/* Short forms: TRUE when the core returns 1. fnExecCmd waits (mode 1) for any non-zero uWait. */
BOOL fnExecCmd(const char *lpszCmd, int nShow, UINT uWait, BOOL bPreventExit, UINT uErrorMsg);
BOOL fnExecCmdMode(const char *lpszCmd, int nShow, UINT uWaitMode, BOOL bPreventExit, UINT uErrorMsg);

/*
 * Starts lpszCmd under another account with CreateProcessWithLogonW (network
 * access only with bNetOnly). The logon is tried once: only "file not found"
 * moves on to the next folder of the search, and a failure is never followed
 * by a start under the current account. The password reaches no log, and its
 * wide copy is wiped on every path. bNoWindow is not used.
 */
UINT fnCreateProcessWithLogon(const char *lpszUser, const char *lpszDomain, const char *lpszPassword,
                              const char *lpszCmd, int nShow, BOOL bWait, BOOL bPreventExit, BOOL bNoWindow,
                              BOOL bNetOnly, UINT uErrorMsg);

/* Opens lpszFile with the shell's "open" verb by the directory search; 1, else as the error mode gives. */
UINT fnShellExec(const char *lpszFile, int nShow, UINT uErrorMsg);

/*
 * After a failed start: tries the shell, then reports by the error mode
 * (messages 1234-1236 by the error left behind). Returns the launch result.
 */
UINT fnLaunchError(const char *lpszCmd, int nShow, UINT uErrorMsg);

/*
 * The program sections' launch: the status window goes behind while the
 * program runs; error mode 2 when bShowErrors, else 0. When lpszAlsoCheck
 * names a program, waits (checking once a second) until no process of that
 * name runs, refusing an end of the session meanwhile when bPreventExit.
 */
UINT fnExecProgram(HWND hWndStatus, const char *lpszCmd, const char *lpszAlsoCheck, int nShow, BOOL bWait,
                   BOOL bPreventExit, BOOL bShowErrors, BOOL bNoWindow);
/* As fnExecProgram, the status window staying topmost; lpszAlsoCheck is not used. */
UINT fnExecProgramTop(HWND hWndStatus, const char *lpszCmd, const char *lpszAlsoCheck, int nShow, BOOL bWait,
                      BOOL bPreventExit, BOOL bShowErrors, BOOL bNoWindow);
/* As fnExecProgram around fnCreateProcessWithLogon; lpszAlsoCheck is not used. */
UINT fnExecProgramAs(HWND hWndStatus, const char *lpszUser, const char *lpszDomain, const char *lpszPassword,
                     const char *lpszCmd, const char *lpszAlsoCheck, int nShow, BOOL bWait, BOOL bPreventExit,
                     BOOL bShowErrors, BOOL bNoWindow, BOOL bNetOnly);

/*
 * The launch entries the program sections call, through one table that their
 * tests can point at recorders. g_lpLauncher starts at the real functions.
 */
struct LauncherStruct {
    UINT (*pfnCreateProcess)(const char *, int, UINT, BOOL, BOOL, UINT, BOOL);
    UINT (*pfnExecProgram)(HWND, const char *, const char *, int, BOOL, BOOL, BOOL, BOOL);
    UINT (*pfnExecProgramTop)(HWND, const char *, const char *, int, BOOL, BOOL, BOOL, BOOL);
    UINT (*pfnExecProgramAs)(HWND, const char *, const char *, const char *, const char *, const char *, int, BOOL,
                             BOOL, BOOL, BOOL, BOOL);
    UINT (*pfnLaunchError)(const char *, int, UINT);
    UINT (*pfnShellExec)(const char *, int, UINT);
};
extern const LauncherStruct g_realLauncher;
extern const LauncherStruct *g_lpLauncher;

#endif
