/*
 * commands/cmdsettings.h -- the run settings: the word tables of the settings
 * keys (backup methods, exit actions, placements, button sets, window sizes),
 * the one applier of the keys that "[Config]" and the command sections share,
 * and the "[Config]" reader itself. Portable: what a key shows or starts goes
 * through the g_lpSettingsUi table, which the Windows side installs and host
 * tests fake.
 */
#ifndef TG_COMMANDS_CMDSETTINGS_H
#define TG_COMMANDS_CMDSETTINGS_H

#include "common/tgtypes.h"
#include "resource_commands.h"
#include "script/keytable.h"

/* Which reader applies a key: the two differ in a few keys (see fnApplySetting). */
enum { SETFORM_CONFIG = 0, SETFORM_COMMAND = 1 };

/* Keys of the settings reader; the command interpreter's table reuses these ids. */
enum {
    SK_RESTART = 1,
    SK_STAYHOME,
    SK_EXITONEXECERROR,
    SK_EXITONCOMMANDERROR,
    SK_SHOWERRORMESSAGE,
    SK_SHOWMUSTRESTARTMESSAGE,
    SK_EXITMESSAGE,
    SK_ERRORMESSAGE,
    SK_CAPTION,
    SK_MESSAGEDLG,
    SK_MESSAGE,
    SK_MESSAGEBOX,
    SK_MESSAGEBOXEX,
    SK_BEQUIET,
    SK_SELFDESTRUCT,
    SK_SHOWVSWINDOW,
    SK_DEBUG,
    SK_CREATEFILE,
    SK_DELETEFILE,
    SK_WRITELINETOFILE,
    SK_READLINEFROMFILE,
    SK_SETCOMPUTERNAME,
    SK_MUSTRESTARTATEXIT,
    SK_LOGFILE,
    SK_WINPAUSE,
    SK_SLEEP,
    SK_BACKUPMETHOD,
    SK_ONEXIT,
    SK_LAST = SK_ONEXIT
};

/* The keys of "[Config]". */
extern const SectionKeyStruct g_aConfigKeys[];

/* Word tables (compared without case); each ends with a NULL row. */
extern const SectionKeyStruct g_aBackUpMethodWords[];  /* PROMPT 500 ... NOMOD 506 */
extern const SectionKeyStruct g_aOnExitWords[];        /* ExitWin 1 ... ExecTop 7 */
extern const SectionKeyStruct g_aPlacementWords[];     /* TopLeft 1 ... BottomRight 9 */
extern const SectionKeyStruct g_aButtonSetWords[];     /* OK 104, OKCANCEL 101, ... */
extern const SectionKeyStruct g_aWindowSizeWords[];    /* Small 1, Medium 2, Large 3, XLarge 4 */


/* The placement of a word; 5 (centre) for a missing or unknown one. */
UINT fnPlacementOf(const char *lpszWord);
/* The button set of a word; 104 (OK) for a missing or unknown one. */
UINT fnButtonSetOf(const char *lpszWord);
/* Dialog of a MessageStatic (bCaption) or Popup window of the size word. */
UINT fnPopupDialogOf(const char *lpszWord, BOOL bCaption);
/* The first character of lpszField decides: 'Y' sets *lpbFlag, 'N' clears it, anything else leaves it. */
void fnReadYesNo(const char *lpszField, BOOL *lpbFlag);
/* The wait field of a message window: "Y" and digits is that many seconds, anything else 0. */
UINT fnCloseAfterOf(const char *lpszField);

/* One floating message window: Message, MessageStatic and Popup. */
struct PopupStruct {
    const char *lpszText;
    const char *lpszCaption;  /* NULL: the dialog has no caption */
    UINT uDialog;             /* IDD_MSGWAIT, 41-44 or 45-49 */
    UINT uSeconds;            /* above 0: modal, closes itself after that time */
    UINT uPlace;              /* placement code 1-9 */
    BOOL bTopMost;
    BOOL bMainNotTopMost;     /* also take the main window out of the topmost layer */
};

/* What the settings keys show, start and touch outside the run state. */
struct SettingsUiStruct {
    /* A message box with OK (or OK and Cancel); button texts may be NULL. TRUE when OK was pressed. */
    BOOL (*pfnMessageBox)(const char *lpszText, const char *lpszCaption, BOOL bOkCancel, const char *lpszButton1,
                          const char *lpszButton2);
    /* The script message dialog with a button set and a placement code (0: where it opens). */
    void (*pfnMessageDlg)(const char *lpszText, const char *lpszCaption, UINT uButtonSet, UINT uPlace);
    void (*pfnShowPopup)(const PopupStruct *lpPopup);
    /* Waits without processing window messages. */
    void (*pfnSleep)(DWORD dwMs);
    BOOL (*pfnSetComputerName)(const char *lpszName);
    BOOL (*pfnDeleteFile)(const char *lpszFile);
    /* Creates a directory with all its missing parents. */
    BOOL (*pfnCreateDirTree)(const char *lpszDir);
    /* The value of a key=value line of the file; FALSE when the key is not found. */
    BOOL (*pfnReadIniKey)(const char *lpszFile, const char *lpszKey, char *lpszOut, size_t cchOut);
    void (*pfnOpenInstallLog)(const char *lpszName);
    /* Starts a fresh copy of the program: RELAUNCH_... */
    int (*pfnRelaunch)(void);
    /* A numbered error message with one text argument (the caller has tested quiet). */
    void (*pfnErrorMessage)(UINT uId, const char *lpszArg);
};

enum { RELAUNCH_NONE = 0, RELAUNCH_STARTED = 1, RELAUNCH_FAILED = 2 };

/* The installed table; a table whose entries do nothing until one is installed. */
extern const SettingsUiStruct *g_lpSettingsUi;
extern const SettingsUiStruct g_settingsUiNone;

/* What one key did. */
enum {
    SETKEY_DONE = 1,  /* applied (or its fields were missing): go on */
    SETKEY_STOP = 2   /* MessageBoxEx stopped the run: end the reading with 1 at once */
};

/*
 * Applies settings key nKey (SK_...) of lpszLine (a CCH_LINE_BUF buffer; its
 * fields are cut from it). uForm tells the reader: the command form takes a
 * Debug file name as it is and only names the log for LogFile. *lpnResult
 * (may be NULL) gets 1 or 0 for the keys whose success a command section
 * reports (file keys), and is left alone by the others. *lpbRestart (may be
 * NULL) is set by Restart.
 */
int fnApplySetting(int nKey, char *lpszLine, UINT uForm, int *lpnResult, BOOL *lpbRestart);

/*
 * Reads "[Config]" of the whole script lpszInf: 1 go on, 8 a fresh copy has
 * taken over (end quietly), 2 the copy could not be started.
 */
UINT fnReadConfigText(const char *lpszInf);

#endif
