/*
 * common/records.h -- the run record UserInputStruct that the section driver
 * owns for a whole run, and the section status numbers handlers return.
 * Sizes are in characters, terminator included.
 */
#ifndef TG_COMMON_RECORDS_H
#define TG_COMMON_RECORDS_H

#include "common/tgtypes.h"

/* Section status: what a handler returns and the section loop acts on. */
enum {
    SECT_ERROR = 0,      /* run failed, stop */
    SECT_CONTINUE = 1,
    SECT_CANCELLED = 2,  /* run failed, stop */
    SECT_RESTART = 3,    /* go on from the first section */
    SECT_EMPTYINPUT = 4,
    SECT_ENDRUN = 5,
    SECT_END = 6,        /* also "[End]" and the stop flag */
    SECT_USEREXIT = 7
};

#define MAX_SHORTCUT_SECTIONS 5

struct UserInputStruct {
    DWORD dwDiskSpaceNeeded;
    DWORD dwMinSpaceNeeded;
    DWORD dwWinSpaceNeeded;
    UINT uQuiet;          /* 1: prompts and the closing message are shown */
    BOOL bSourceDirPrompt;
    BOOL bDirPrompt;
    UINT uBackupMode;
    UINT uFailed;
    UINT uOnExit;
    BOOL bUseAllInstall;
    BOOL bSkipAllInstallReader;
    char szLogFile[CCH_PATH];
    char szExitExec[CCH_PATH];
    char szExitMsg[512];
    char szErrorMsg[512];
    char szRestartMsg[512];
    char szAppName[CCH_TITLE];
    char szDirSection[CCH_TITLE];
    /* registered shortcut sections and their folders */
    int nShortcutSections;
    char szShortcutSection[MAX_SHORTCUT_SECTIONS][CCH_TITLE];
    char szShortcutFolder[MAX_SHORTCUT_SECTIONS][CCH_PATH];
    BOOL bDesktopEntry[MAX_SHORTCUT_SECTIONS];
    BOOL bStartupEntry[MAX_SHORTCUT_SECTIONS];
    BOOL bGroupEntry[MAX_SHORTCUT_SECTIONS];
    const char *lpszShortcutList[MAX_SHORTCUT_SECTIONS];  /* the folder list (its header in the script) that registered the entry */
    BOOL bListDone;
    char szCaption[CCH_TITLE];
    char szDestPath[CCH_PATH];
    char szDestMsg1[CCH_MSG];
    char szDestMsg2[CCH_MSG];
    char szSourceCaption[CCH_TITLE];
    char szSourceDir[CCH_PATH];
    char szSourceMsg1[CCH_MSG];
    char szSourceMsg2[CCH_MSG];
};

/* Backup method codes of edited and replaced files. */
enum {
    BACKUP_PROMPT = 500,
    BACKUP_ORIEXT = 501,
    BACKUP_UNIQUE = 502,
    BACKUP_TIME = 503,
    BACKUP_DATE = 504,
    BACKUP_DATETIME = 505,
    BACKUP_NOMOD = 506
};

#endif
