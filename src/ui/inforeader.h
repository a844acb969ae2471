/*
 * ui/inforeader.h -- the readers of the information windows: an information
 * page ([Info] and the opening [Signon]), the choice between install scripts
 * ([Install Options]) and the floating message ([FloatInfo]). Portable: they
 * fill records from a section body and leave every window to
 * ui/info_sections.cpp. Their key tables are the ones the script checker reads.
 */
#ifndef TG_UI_INFOREADER_H
#define TG_UI_INFOREADER_H

#include "common/tgtypes.h"
#include "script/keytable.h"
#include "ui/inputcore.h"

/* ------------------------------------------------------------ information page */

#define CB_INFO_BLOCK 32760   /* the text block of a page, terminator included */
#define INFO_MAX_LINES 200    /* Line lines stored; later ones still count */
#define INFO_TALL_LINES 5     /* from this many counted lines the tall page is shown */
#define INFO_FILE_LINES 12    /* what an opened File adds to the count */

enum { INFOKEY_CAPTION = 1, INFOKEY_PROMPT, INFOKEY_LINE, INFOKEY_FILE };
extern const SectionKeyStruct g_aInfoKeys[];

struct InfoPageStruct {
    char szCaption[CCH_TITLE];  /* the run caption unless Caption says otherwise */
    char szPrompt[CCH_TITLE];   /* "Select OK to continue" unless Prompt says otherwise */
    char *lpszText;             /* the caller's block of CB_INFO_BLOCK bytes */
    int nLines;                 /* counted lines: each Line, and INFO_FILE_LINES per File opened */
    int nStored;                /* Line lines kept in the text */
    UINT cDropped;              /* lines left out: past INFO_MAX_LINES, or too long for the block */
};

/*
 * Reads a page body (lines are not tested for conditions; a key of no row,
 * or a line without a key, ends the reading). lpPage->lpszText must point at
 * CB_INFO_BLOCK bytes; the other fields are set here. A File's contents
 * become the text (terminated, at most the block less one byte), and later
 * Line lines are added after them. A File that cannot be opened is passed
 * over. TRUE: the page is read.
 */
BOOL fnReadInfoPage(const char *lpszBody, InfoPageStruct *lpPage);
/* TRUE when the page takes the tall dialog (a scroll bar) rather than the short one. */
BOOL fnInfoPageIsTall(const InfoPageStruct *lpPage);

/* ------------------------------------------------------------ install options */

#define INSTOPT_MAX 4
#define CCH_INSTOPT_BUTTON 20

/* Results of the choice, as the loader reads them. */
enum {
    INSTOPT_GOON = 1,      /* go on with the script that runs */
    INSTOPT_FIRST = 112,   /* 112-115: the option's script is now g_szIniFile */
    INSTOPT_EXIT = 116     /* the user left: the run ends */
};

enum {
    IOKEY_CAPTION = 1, IOKEY_INTRO,
    IOKEY_OPT1MSG, IOKEY_OPT2MSG, IOKEY_OPT3MSG, IOKEY_OPT4MSG, IOKEY_EXITMSG, IOKEY_HELPMSG,
    IOKEY_OPT1BTN, IOKEY_OPT2BTN, IOKEY_OPT3BTN, IOKEY_OPT4BTN, IOKEY_EXITBTN, IOKEY_HELPBTN,
    IOKEY_OPT1INF, IOKEY_OPT2INF, IOKEY_OPT3INF, IOKEY_OPT4INF, IOKEY_HELP, IOKEY_HELPFILE
};
extern const SectionKeyStruct g_aInstallOptionsKeys[];

struct InstallOptionsStruct {
    char szCaption[CCH_TITLE];
    char szIntro[CCH_MSG];
    char szOptMsg[INSTOPT_MAX][CCH_MSG];
    char szExitMsg[CCH_MSG];
    char szHelpMsg[CCH_MSG];
    char szOptBtn[INSTOPT_MAX][CCH_INSTOPT_BUTTON];
    char szExitBtn[CCH_INSTOPT_BUTTON];
    char szHelpBtn[CCH_INSTOPT_BUTTON];
    char szOptInf[INSTOPT_MAX][CCH_PATH];
    BOOL bOpt1Inf;              /* Opt1Inf was given: option 1 names a script too */
    BOOL bHelp;                 /* there is help to show: a Help line, or a HelpFile that could be read */
    ReadSectStruct help;        /* the help, read as a question's; its caption is szCaption */
};

/*
 * Fills the defaults (strings 1170-1181, the run caption, g_szIniFile) and
 * reads the body. fnFreeInstallOptions releases the help it may hold.
 */
void fnReadInstallOptions(const char *lpszBody, InstallOptionsStruct *lpOpt);
void fnFreeInstallOptions(InstallOptionsStruct *lpOpt);
/*
 * How many options are shown: option 1, then each following one while its
 * message is set. An option whose message is set after an empty one is not
 * shown (and is noted in the debug log): it never hides the options before it.
 */
int fnInstallOptionCount(const InstallOptionsStruct *lpOpt);
/*
 * The script of option nOption (1-4) in lpszOut: a name with a drive or a
 * leading backslash as written, any other joined to the folder of
 * lpszCurrent (the name alone when that has no folder). FALSE when the
 * result does not fit.
 */
BOOL fnInstallOptionScript(const InstallOptionsStruct *lpOpt, int nOption, const char *lpszCurrent, char *lpszOut,
                           size_t cchOut);

/* ------------------------------------------------------------ floating message */

#define CCH_FLOAT_MESSAGE 1024
#define CCH_FLOAT_BUTTON 20

enum { FLOATKEY_CAPTION = 1, FLOATKEY_MESSAGE, FLOATKEY_WAIT, FLOATKEY_BUTTONTEXT, FLOATKEY_WINPOSITION };
extern const SectionKeyStruct g_aFloatInfoKeys[];

struct MessageStruct {
    char szCaption[CCH_TITLE];
    char szMessage[CCH_FLOAT_MESSAGE];
    char szButtonText[CCH_FLOAT_BUTTON];  /* empty: no button */
    UINT uWinPosition;                    /* placement code, 8 (bottom centre) unless WinPosition says */
    BOOL bWait;                           /* modal: the section waits for the button */
};

/* How reading a floating message ended. */
enum {
    FLOATREAD_OK = 1,       /* read; the message may still be empty */
    FLOATREAD_MISSING = 2,  /* a key without its value: *lpnField and lpszBadLine name it */
    FLOATREAD_ENDED = 3     /* a line's condition ended the section */
};

/*
 * Reads a floating message body. Empty lines are passed over, each line's
 * condition is tested, keys of no row are passed over. A modal window
 * (Wait) without a button text gets "&OK", so it can always be closed.
 * On FLOATREAD_MISSING, lpszBadLine (CCH_LINE_BUF characters, may be NULL)
 * holds the line and *lpnField the missing field.
 */
int fnReadFloatInfo(const char *lpszBody, MessageStruct *lpMsg, int *lpnField, char *lpszBadLine);

#endif
