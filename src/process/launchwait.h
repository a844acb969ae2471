/*
 * process/launchwait.h -- watching programs by their windows: the window
 * search by title, the process-alive test and the window wait that the
 * "[LaunchAndBack]" section and the WaitForWindow and WhileWindow commands
 * share.
 */
#ifndef TG_PROCESS_LAUNCHWAIT_H
#define TG_PROCESS_LAUNCHWAIT_H

#include <windows.h>

/*
 * Without bAllWindows: the system's top-level search by class and exact
 * title. With it: fnFindWindowText. NULL when no window matches.
 */
HWND fnFindWindow(HWND hParent, HWND hChildAfter, const char *lpszClass, const char *lpszTitle, size_t cchPrefix,
                  BOOL bAllWindows);

/*
 * Every top-level window, and the children of one that does not match, by
 * its text (read with a one-second limit, so a hung window is passed over):
 * the first whose first cchPrefix characters (0: whole text) equal the title
 * without regard to case. hSkip is never taken. An empty title finds nothing.
 */
HWND fnFindWindowText(const char *lpszTitle, size_t cchPrefix, HWND hSkip = NULL);

/* One window watch. */
struct WindowWaitStruct {
    const char *lpszTitle;
    BOOL bWaitFor;      /* until a window with the title exists */
    BOOL bWhile;        /* while a window with the title (or its process) exists */
    BOOL bAllWindows;
    size_t cchPrefix;   /* 0: the whole title */
    BOOL bKeepTrying;   /* while: wait for the window to appear first */
    DWORD dwTimeoutMs;  /* 0: no end but the window's */
};

/*
 * The window wait, in 100 ms steps with the program's window messages
 * processed between them. Wait-for ends when the window is found. While ends
 * when a found window's process has ended and the title is not found again
 * in ten more looks one second apart; without keep-trying it also ends at
 * once when the window is not there. A time-out ends it too. TRUE when it
 * ended for the window, FALSE on the time-out (or with no mode).
 */
BOOL fnWatchWindow(const WindowWaitStruct *lpWait);

/* What one watch has found so far; starts zeroed. */
struct WindowWatchStateStruct {
    HWND hWndOpen;
    DWORD dwPID;
};

/*
 * One pass of fnWatchWindow, for a loop that watches other things beside
 * (dwStart: when that loop began, for the time-out of the ten looks). TRUE
 * when the watch has ended for the window.
 */
BOOL fnWatchWindowStep(const WindowWaitStruct *lpWait, WindowWatchStateStruct *lpState, DWORD dwStart);

/* Waits dwMs with the program's window messages processed before and after. */
void fnWatchPause(DWORD dwMs);

/*
 * The command interpreter's form: returns at once with neither flag; the
 * prefix length is the title's own with bPrefix. Always FALSE.
 */
BOOL fnWaitForWindow(HWND hWndStatus, const char *lpszTitle, BOOL bWaitFor, BOOL bWhile, BOOL bAllWindows,
                     BOOL bPrefix, BOOL bKeepTrying);

/* Tests may shorten the one-second looks after a while-window's process ended. */
extern DWORD g_dwWindowRetryMs;

#endif
