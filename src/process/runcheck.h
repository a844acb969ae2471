/*
 * process/runcheck.h -- what [CheckIfRunning] and the close sections decide
 * without asking the system: the section's keys and action words, the split
 * of the program list into the names found running and those not, the
 * status and message an outcome gives, and the close line's answer. Portable:
 * whether a program runs is asked through a function the caller passes.
 */
#ifndef TG_PROCESS_RUNCHECK_H
#define TG_PROCESS_RUNCHECK_H

#include "common/tgtypes.h"
#include "script/keytable.h"

/* The keys of [CheckIfRunning]; any other key ends the reading of the section. */
enum { CIRKEY_CHECKFOR = 1, CIRKEY_ACTION, CIRKEY_CAPTION, CIRKEY_MESSAGE, CIRKEY_SHOWFILES };
extern const SectionKeyStruct g_aCheckIfRunningKeys[];

/* Actions: what a program found running (or none found) does to the run. */
enum {
    CIRACT_NONE = 0,
    CIRACT_ONFINDEXIT = 1,
    CIRACT_ONFINDCONT = 2,
    CIRACT_NOFINDEXIT = 3,
    CIRACT_NOFINDCONT = 4
};

#define CCH_CHECKFOR_LIST 520   /* the expanded program list holds 519 characters */
#define CCH_CHECKRUN_CAPTION 128
#define CCH_CHECKRUN_MESSAGE 259

/* The action of a word ("ONFINDEXIT" ..., its first ten characters, any case); CIRACT_NONE for others. */
UINT fnCheckRunAction(const char *lpszWord);

typedef BOOL (*RunningTestProc)(const char *lpszName);

/*
 * Splits lpszList at its commas (blanks and tabs around each name removed,
 * empty names passed over), asks pfnRunning about each name and joins the
 * names into lpszFound or lpszMissing with ", " between them (each cut at its
 * size). Returns the number of names found running.
 */
int fnSplitRunningList(const char *lpszList, RunningTestProc pfnRunning, char *lpszFound, size_t cchFound,
                       char *lpszMissing, size_t cchMissing);

/*
 * The section status of an outcome: 7 ends the run (an action ending in EXIT
 * whose condition held), else 1. *lpbShow is set when the action's
 * condition held, so the message (when one was given) is shown.
 */
UINT fnCheckRunStatus(UINT uAction, BOOL bAnyFound, BOOL *lpbShow);

/* The message window text: the message alone, or with bShowFiles the message, a line break and the list. */
void fnCheckRunMessage(const char *lpszMessage, BOOL bShowFiles, const char *lpszList, char *lpszOut, size_t cchOut);

/* What a close line's question answered: close the program, pass the line over, or end the section. */
enum { CLOSEANS_CLOSE = 1, CLOSEANS_SKIP = 2, CLOSEANS_EXIT = 3 };

/*
 * The answer a button id of the message window gives: OK and Yes close, Exit
 * ends the section, Cancel, No and a window that could not be shown (0) pass
 * the line over, so a program is never ended without its question answered.
 */
UINT fnCloseAnswer(int nButtonId);

#endif
