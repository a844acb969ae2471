/*
 * process/launchback.h -- the settings of one "[LaunchAndBack]" run and the
 * reading of its keyword lines. Portable: the launch, the watch loop, the
 * registry read and the refresh copies are the Windows side's
 * (launchback_win.cpp).
 */
#ifndef TG_PROCESS_LAUNCHBACK_H
#define TG_PROCESS_LAUNCHBACK_H

#include "common/tgtypes.h"
#include "script/keytable.h"

#define LB_MAX_REFRESH 10

/* One section run's settings; fnInitLaunchBack gives the start values. */
struct LaunchBackStruct {
    char szExec[CCH_PATH];        /* program (expanded); empty: nothing is started */
    int nShow;                    /* 1 normal, 2 minimised, 3 maximised */
    BOOL bWait;
    BOOL bPreventExit;
    BOOL bBlocking;               /* wait without processing window messages */
    UINT uExecSeconds;            /* recorded only */
    UINT uRefresh;                /* pairs held, at most LB_MAX_REFRESH; expanded when copied */
    char aszRefreshSrc[LB_MAX_REFRESH][CCH_PATH];
    char aszRefreshDst[LB_MAX_REFRESH][CCH_PATH];
    char szExitAtWin[CCH_FIELD_BUF];
    BOOL bExitAtAll;              /* child windows too, and a prefix search */
    size_t cchExitAtPrefix;       /* 0: the whole title */
    char szWaitWin[CCH_FIELD_BUF];/* shared by WaitForWindow and WhileWindow */
    BOOL bWinAll;
    size_t cchWinPrefix;
    BOOL bWaitForWin;
    BOOL bWhileWin;
    char szWaitExec[CCH_PATH];
    BOOL bExecFullPath;           /* match the process by its whole path, else by its file name */
    BOOL bExecEnd;                /* wait until it has ended, else until it runs */
    char szRegLookup[CCH_FIELD_BUF];
    UINT uRegType;                /* recorded only */
    BOOL bQuiet;
    UINT uPause;                  /* tenths of a second */
    BOOL bKeepTrying;
    /*
     * The watch's limit in seconds: the smallest given in field 4 of a
     * WaitForWindow, WhileWindow or WaitForExec line; 0 waits without end.
     */
    UINT uWatchSeconds;
};

void fnInitLaunchBack(LaunchBackStruct *lpLb);

/* The keywords of the section's lines; the reader and the script checker both read this table. */
extern const SectionKeyStruct g_aLaunchBackKeys[];

/* What one line did. */
enum {
    LBLINE_OK = 0,          /* a keyword line: its settings are taken */
    LBLINE_END = 1,         /* not a keyword line: the reading ends and what was read runs */
    LBLINE_MISSING = 2      /* a required field is missing or empty: *lpnField names it */
};

/*
 * Takes one keyword line (a CCH_LINE_BUF buffer whose condition has been
 * tested) into *lpLb and records it in the installation log. Programs,
 * titles, the process name and the lookup path are expanded here; a title
 * that expands to nothing counts as missing, since an empty title would
 * match the first untitled window.
 */
int fnReadLaunchBackLine(LaunchBackStruct *lpLb, char *lpszLine, int *lpnField);

/* TRUE when the section watches anything (step of the run after the launch). */
BOOL fnLaunchBackWatches(const LaunchBackStruct *lpLb);

#endif
