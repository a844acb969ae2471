/*
 * script/optstore.h -- the run-wide value stores that options read: path and
 * source slots, answers of the input sections, registry results, default
 * settings, command and inline-function results, string-test results, the
 * user name and the scrambled password, and the option character and
 * sub-field delimiters of the expansion. The sections that fill a store write
 * it directly; option expansion only reads them (and stores function results).
 * Sizes are in characters, terminator included. All empty at start-up.
 */
#ifndef TG_SCRIPT_OPTSTORE_H
#define TG_SCRIPT_OPTSTORE_H

#include "common/tgtypes.h"

#define OPT_SLOTS 9               /* @A1-@A9, @L, @C, @P, @D, @H... */
#define CCH_OPTVALUE 1040         /* one option's value: 1,039 characters */
#define CCH_REGVALUE 1024
#define CCH_ANSWER 128
#define CCH_LISTANSWER 160
#define CCH_DEFAULTSETTING 128
#define CCH_USERNAME 48
#define CCH_PASSWORD 48
#define CCH_EXPANDDELIMS 12       /* at most 11 delimiter characters */
#define STRTEST_ENTRIES 16

/* Option character (initially '@') and sub-field delimiters (initially string 1064 ",="). */
extern char g_cOptChar;
extern char g_szExpandDelims[CCH_EXPANDDELIMS];

/* Path slots 0-9 (@D1-@D9 read slots 0-8); slot 0 follows the destination. */
extern char g_szPathSlot[OPT_SLOTS + 1][CCH_PATH];
/* Source-directory slots 0-8 (@H1-@H9); slot 0 is the source folder at start-up. */
extern char g_szSourceSlot[OPT_SLOTS][CCH_PATH];
/* Value read by a launch-and-wait ReadReg key (@E) and its slots (@E0-@E9). */
extern char g_szRegEntry[CCH_PATH];
extern char g_szRegEntrySlot[10][CCH_PATH];
/* Registry results of the registry sections (@K0-@K8); "-NOTFOUND-" when a read failed. */
extern char g_szRegValues[OPT_SLOTS][CCH_REGVALUE];
/*
 * Answers of [AskFor] questions (@A1-@A9). Slot 0 is g_szAskForResponse of
 * the run state, which the command line presets; reach every slot through
 * this table so the first and the others are written alike.
 */
extern char *const g_lpszAskForResponse[OPT_SLOTS];
extern char g_szFromListResponse[OPT_SLOTS][CCH_LISTANSWER];
extern char g_szFromComboResponse[OPT_SLOTS][CCH_LISTANSWER];
/* Default settings (@P1-@P9 read slots 0-8). */
extern char g_szDefaultSetting[10][CCH_DEFAULTSETTING];
/* Option answers (@Bij): question i-1, button j-1, 'Y' or 'N'; '\0' while not given. */
extern char g_szOptionAnswer[OPT_SLOTS][5];
/* User name and password of the user-and-password question; the password is
   kept only in the string form of driver/scramble.h (fnEnCryptString). */
extern char g_szUserName[CCH_USERNAME];
extern char g_szUserPassword[CCH_PASSWORD];
/* Results of run settings and commands (@$0-@$9) and the slot the next result takes. */
extern char g_szCmdResult[10][CCH_PATH];
extern UINT g_uCmdResult;
/* Results of inline functions (@_0-@_9) and the slot the next result takes. */
extern char g_szFunResult[10][CCH_PATH];
extern UINT g_uFunResult;
/* String-test results (@I0-@I15): entry 0 found-nothing flag, 1-15 each line's code. */
extern UINT g_uStrTestResult[STRTEST_ENTRIES];
/* Reserved slots nothing fills (@F1-@F9, @G0-@G9). */
extern char g_szReservedF[OPT_SLOTS][CCH_PATH];
extern char g_szReservedG[10][CCH_PATH];
/* The shortcut folder last set by the shortcut sections (@W15). */
extern char g_szLastShortcutFolder[CCH_PATH];

/* Empties every store and resets the option character, delimiters and result index. */
void fnResetOptStore(void);

/* Stores an inline function's result in the next slot; from the tenth result on slot 9 is overwritten. */
void fnStoreFunResult(const char *lpszResult);

/* Stores a command's result in the next slot; from the tenth result on slot 9 is overwritten. */
void fnStoreCmdResult(const char *lpszResult);

/* The password unscrambled into lpszOut; FALSE and an empty text when there is none. */
BOOL fnGetPlainPassword(char *lpszOut, size_t cchOut);

#endif
