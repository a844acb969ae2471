/*
 * driver/cmdline.h -- the command line of a start: arguments split with
 * double quotes respected, and the options read into the command-option record.
 */
#ifndef TG_DRIVER_CMDLINE_H
#define TG_DRIVER_CMDLINE_H

#include "common/tgtypes.h"

struct CmdOptionStruct {
    char szIniFile[CCH_PATH];
    char szSourceDir[CCH_PATH];
    char szDestDir[CCH_PATH];
    char szStartupMsg[CCH_TITLE];
    char szAskFor[CCH_TITLE];
    char szCmdFile[CCH_PATH];
    char szStartHere[CCH_LINE_BUF];
    BOOL bTempExec;
    BOOL bNoPrompt;
    BOOL bQuiet;
    BOOL bStartupMsg;
    BOOL bUsage;         /* -? was given */
    BOOL bIniNamed;      /* -i= or a plain argument named the script */
    BOOL bIniByOption;   /* -i= named it: later plain arguments are ignored */
    BOOL bDebugLevel;    /* -v was given */
    UINT uDebugLevel;
    BOOL bShowVSWin;     /* -w= or -q set the main window's placement */
    UINT uShowVSWin;
    UINT uLoadMode;      /* 1: -e= scramble the script file on disk; 2: -u=...file= unscramble it */
    int nOptions;        /* arguments that took effect */
};

/*
 * Copies the next argument of lpszCmdLine into lpszArg and returns the
 * position behind it, or NULL when none is left. Blanks separate arguments; a
 * part in double quotes keeps its blanks and loses its quotes.
 */
const char *fnNextArg(const char *lpszCmdLine, char *lpszArg, size_t cchArg);

/* Reads the arguments (without the program name) into lpOpt, which is cleared first. */
void fnParseCmdLine(const char *lpszArgs, CmdOptionStruct *lpOpt);

/*
 * Reads one key of a command file's "START" section into lpszOut, cut at
 * cchOut-1 characters as the profile reader cuts; a key the file lacks gives
 * the empty text. The Windows side reads the file through the profile API.
 */
typedef void (*CmdKeyReaderProc)(void *lpContext, const char *lpszKey, char *lpszOut, size_t cchOut);

/* A command-file switch: on for "TRUE" (case ignored) or a number other than 0. */
BOOL fnCmdSwitchOn(const char *lpszValue);

/*
 * Replaces every text and the two switches of lpOpt by the command file's
 * keys, read through pfnRead; a key the file lacks empties its value.
 * "STARTUPMSG" with a text turns the start-up message mode on.
 */
void fnFillCmdRecord(CmdKeyReaderProc pfnRead, void *lpContext, CmdOptionStruct *lpOpt);

#endif
