/*
 * common/runstate.h -- run-wide state that both the portable core and the
 * Windows side read: folders, switches, the exit settings commands change and
 * the script position the input sections need. Windows handles live in
 * driver/winstate.h. Everything here is set at start-up or by the sections;
 * there is one thread, so no locking.
 */
#ifndef TG_COMMON_RUNSTATE_H
#define TG_COMMON_RUNSTATE_H

#include "common/tgtypes.h"

extern UINT g_uDebugLevel;            /* 0 off, 1 box, 2 dialog, 3 file */
extern char g_szDebugFile[CCH_PATH];
extern char g_szMsgTitle[CCH_TITLE];  /* caption of message boxes, string 1013 */

extern char g_szWinDir[CCH_PATH];
extern char g_szSysDir[CCH_PATH];
extern char g_szTmpPath[CCH_PATH];    /* no trailing backslash */
extern char g_szHomeDir[CCH_PATH];
extern char g_szSourceDir[CCH_PATH];
extern char g_szIniFile[CCH_PATH];
extern char g_szDestDir[CCH_PATH];
/* the command line (-d=) or the command file (DestDir) named g_szDestDir: a script's
   [AppInit] DefaultDir does not replace the folder the administrator deployed with */
extern BOOL g_bDestGiven;
extern char g_szAskForResponse[CCH_TITLE];
extern char g_szStartHere[CCH_LINE_BUF];
extern char g_szDate[16];
extern char g_szTime[16];

extern BOOL g_bQuiet;
extern BOOL g_bNoPrompt;
extern UINT g_uShowVSWin;
extern BOOL g_bStopProcessing;
extern BOOL g_bExitOnCommandError;
extern UINT g_uWinPause;              /* ms after a wait window is shown, at most 1000 */
extern BOOL g_bSelfDestruct;
/* set when a file waits for replacement at restart (or the script asks for a restart);
   a run that ends without restarting then exits with 3010 */
extern BOOL g_bRestartNeeded;
/* set while a started program is waited for: an end of the Windows session is then refused */
extern BOOL g_bPreventExit;
/* set by a handler that ends the run with status 7 because the script's own rule said so
   (not the user's choice); the process then ends with exit code 1 instead of 1602 */
extern BOOL g_bStoppedByRule;
/* set when the user chose Exit in a section that then ends the run as failed (a close
   section's question, say): the process ends with 1602, the user's choice, instead of 1 */
extern BOOL g_bUserChoseExit;

/* run settings of [Config] and the command sections */
extern BOOL g_bStayHome;              /* the destination check keeps the home folder's drive */
extern BOOL g_bExitOnExecError;       /* a program that cannot be started ends the run */
extern BOOL g_bShowErrorMessage;      /* a failed run shows its error message */
extern BOOL g_bShowMustRestartMessage;/* 1: the restart-needed message is shown */
extern BOOL g_bMustRestartAtExit;     /* the run ends with a restart */
extern BOOL g_bRebootForced;          /* the exit action "Reboot" was chosen */
extern BOOL g_bLogFileSet;            /* LogFile named g_szLogFile: [Config] opens it at its end */

/* exit settings the commands change; the driver copies them into the run record */
extern UINT g_uOnExit;
extern UINT g_uBackUpMethod;
extern char g_szExitMsg[512];
extern char g_szExitExec[CCH_PATH];
extern char g_szRestartMsg[512];
extern char g_szErrorMsg[512];        /* closing message of a failed run (ErrorMessage) */

/* installation log */
extern char g_szLogFile[CCH_PATH];
extern BOOL g_bLogOpen;

/* position of the header after the running section in the script text */
extern const char *g_lpszNextSection;

/* Resets every value above to its start-up default. */
void fnResetRunState(void);

#endif
