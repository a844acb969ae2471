/*
 * checks/checkcore.h -- the sections that test the machine before it is
 * changed: "[VersionTest]", "[FileCheck]", "[IsStringInFile]" and the
 * check-for sections ("[CheckFor]", "[TestBeforeInput]", "[TestBefore]",
 * "[CheckBefore]", "[CheckAfter]"). Portable: files, dates and the user's
 * answers are reached through g_lpCheckOps, which the Windows side fills and
 * host tests fake. Each reader returns a section status (1 go on, 3 start
 * again, 7 end the run, 0 a line that cannot be read).
 */
#ifndef TG_CHECKS_CHECKCORE_H
#define TG_CHECKS_CHECKCORE_H

#include "common/tgtypes.h"
#include "script/keytable.h"

/* What a check shows: the prompt words, and the message window types of the version test. */
enum {
    CHKPROMPT_NONE = 0,       /* "NOPROMPT" and unknown words of a file check */
    CHKPROMPT_OK = 1,         /* OK, information icon */
    CHKPROMPT_OKINFO,
    CHKPROMPT_OKCANCEL,       /* question icon from here on */
    CHKPROMPT_YESNO,
    CHKPROMPT_YESNOCANCEL,
    CHKPROMPT_RETRYCANCEL,
    CHKPROMPT_RETRYCONTINUE,  /* message window 108 */
    CHKPROMPT_RETRYEXIT,      /* message window 110 */
    CHKPROMPT_CANCEL,         /* message window 111 */
    CHKPROMPT_EXIT,           /* message window 106: Exit only */
    CHKPROMPT_EXITCONTINUE    /* message window 107: Exit and Continue */
};

/* Buttons, by the ids boxes and the message window return. */
enum {
    CHKANS_OK = 1,
    CHKANS_CANCEL = 2,
    CHKANS_RETRY = 4,
    CHKANS_YES = 6,
    CHKANS_NO = 7,
    CHKANS_EXIT = 115,
    CHKANS_CONTINUE = 116
};

struct CheckOpsStruct {
    /* TRUE when the path names an existing file (not a folder); quotes already removed. */
    BOOL (*pfnIsFile)(const char *lpszPath);
    /* The file's last-write date against today: 1 after, 2 before, 3 today, 0 unreadable. */
    int (*pfnFileDate)(const char *lpszPath);
    /* Shows lpszText with the run caption in the box or window of uPrompt; returns the button pressed. */
    int (*pfnAsk)(UINT uPrompt, const char *lpszText);
};
extern const CheckOpsStruct *g_lpCheckOps;

/* Keys of the readers, as their tables give them (shared with the script checker). */
enum {
    VTKEY_WINVS = 1,
    VTKEY_WINVSX,
    VTKEY_WINMAJOR,
    VTKEY_WINMINOR,
    VTKEY_MESSAGE
};
extern const SectionKeyStruct g_aVersionTestKeys[];
enum { FCKEY_FILE = 1 };
extern const SectionKeyStruct g_aFileCheckKeys[];
enum {
    CFKEY_FILE = 1,
    CFKEY_FILEEX,
    CFKEY_TESTFOR,
    CFKEY_TESTFOR2
};
extern const SectionKeyStruct g_aCheckForKeys[];

/*
 * Each reader gets the section's text from its header on and the name it was
 * matched by. In a quiet run nothing is shown: a check decides as if the
 * answer that acts on its prompt (check-for), or the answer that lets the
 * run end (file check, version test), had been given, so every requirement
 * still holds.
 */

/* 1, 7 when a failed test's window was left with Exit, or 0 when a line has no key. */
UINT fnVersionTest(const char *lpszSection, const char *lpszName);
/* 1 or 7. */
UINT fnFileCheck(const char *lpszSection, const char *lpszName);
/* 1, 7 for an exit action that applies, or 0 for a missing field or a condition that ends the section. */
UINT fnStringTest(const char *lpszSection, const char *lpszName);
/* 1, 3 or 7. */
UINT fnCheckFor(const char *lpszSection, const char *lpszName);

/*
 * Set by the readers when their 7 means a requirement was not met (rather
 * than a deliberate early end, such as a "GO" file check whose file is
 * there); the Windows handlers then mark the run failed.
 */
extern BOOL g_bCheckFailed;

/* Results of fnIsStringInFile. */
enum {
    STRFILE_FOUND = 0,
    STRFILE_NOTFOUND = 1,
    STRFILE_NOFILE = 2,
    STRFILE_BADTEXT = 3,    /* shorter than 2 or longer than 65,499 characters */
    STRFILE_NOSEEK = 4,     /* positioning failed (kept for callers; the search never moves back) */
    STRFILE_NOOPEN = 5      /* out of memory or the file cannot be opened */
};

/*
 * Searches the file for lpszText, exactly or ignoring the case of ASCII
 * letters, in blocks of 65,500 bytes; a text that straddles two blocks is
 * found, and bytes of 0 in the file are searched like any other.
 */
int fnIsStringInFile(const char *lpszFile, const char *lpszText, BOOL bIgnoreCase);

/* The check-for date rule: whether a fnFileDate result satisfies the word (LE LT GE GT NE EQ). */
BOOL fnDateHolds(const char *lpszWord, int nDate);

#endif
