/*
 * process/execwords.h -- the field words of the program sections ([Exec],
 * [ShellExec], [ExecAs], [TestAndExec] and their siblings) and what a launch
 * result makes of the section. Portable: the sections themselves live in
 * process/exec_sections.cpp.
 */
#ifndef TG_PROCESS_EXECWORDS_H
#define TG_PROCESS_EXECWORDS_H

#include "common/tgtypes.h"

/* How one program line runs, from its show, wait and window-and-error fields. */
struct ExecWordsStruct {
    int nShowWin;         /* 1 normal, 2 minimised, 3 maximised, 4 without activation */
    BOOL bNoWin;          /* run without a console window */
    BOOL bWait;
    BOOL bPreventExit;    /* refuse an end of the session while waiting */
    char szAlsoCheckFor[CCH_PATH];
    BOOL bWaitWindow;
    BOOL bErrorShow;      /* report a failed start (error mode 2) */
    BOOL bStopOnError;    /* any failed start ends the section */
};

/* The start values of a line: normal, no wait, no wait window, errors shown, no stop. */
void fnExecWordsDefault(ExecWordsStruct *lpWords);

/* Show field: NORM, MIN, MAX, CMD at the field's start, case ignored; other text keeps normal. */
void fnExecShowWord(const char *lpszWord, ExecWordsStruct *lpWords);
/*
 * Wait field: N no wait, Y wait, P wait refusing an end of the session; after
 * Y or P the rest of the field names a program to wait for as well.
 */
void fnExecWaitWord(const char *lpszWord, ExecWordsStruct *lpWords);
/*
 * Window-and-error field: one letter, Y shows the wait window; two or more,
 * a first N hides it and a second N keeps failures silent and going on, any
 * other second letter reports them and ends the section.
 */
void fnExecWindowWord(const char *lpszWord, ExecWordsStruct *lpWords);

/* Which section's rule turns the launch result into a status. */
enum { EXECKIND_CHAIN = 0, EXECKIND_RUNAS, EXECKIND_TESTANDEXEC };

#define EXEC_GOON ((UINT)-1)   /* the section goes on with its next line */

/*
 * The section status after a launch result uRC (1 started, 0 failed, 2 must
 * stop, 7 the user stopped), or EXEC_GOON. cAfterRun is the [TestAndExec]
 * after-run flag: X ends the run (7), B ends the section (1).
 */
UINT fnExecStatus(int nKind, UINT uRC, BOOL bStopOnError, char cAfterRun);

#endif
