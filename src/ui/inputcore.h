/*
 * ui/inputcore.h -- the readers of the installation information and input
 * sections and the destination test, as portable code: "[AppInit]" into the
 * run record, a question section into its ReadSectStruct, and the loop that
 * tests the destination drive, asks again and has the directory tree made.
 * The dialogs themselves live in ui/inputdlg.cpp; everything the test needs
 * from the machine comes through g_lpMachine and the DestOpsStruct the caller
 * gives, so host tests drive every branch.
 */
#ifndef TG_UI_INPUTCORE_H
#define TG_UI_INPUTCORE_H

#include "common/records.h"
#include "common/tgtypes.h"
#include "script/keytable.h"

#define CCH_INPUTBLOCK 32760   /* list and help blocks, bytes with the terminator */
#define MAX_LIST_LINES 600
#define INPUT_MSG_SLOTS 10
#define CCH_HELPKEY 48
#define CCH_QPROMPT 128
#define CCH_QMESSAGE 512

/* Help kinds of a question */
enum {
    HELPKIND_NONE = 0,
    HELPKIND_TEXT = 2,     /* the help box shows lpszHelp */
    HELPKIND_WINHELP = 3   /* lpszHelp names a Windows help file */
};

/* Button types of the option question */
enum {
    BUTTONTYPE_RADIO = 421,
    BUTTONTYPE_CHECK = 422
};

/* One question as its section describes it. Strings are sized in characters. */
struct ReadSectStruct {
    char *lpszHelp;              /* CCH_INPUTBLOCK block of the reader, or NULL; fnFreeReadSect releases it */
    char *lpszList;              /* the caller's block of cchList characters, or NULL: List lines are passed over */
    size_t cchList;
    int nListLines;              /* List lines stored */
    DWORD dwWinSpaceNeeded;
    DWORD dwSpaceNeeded[4], dwMinSpaceNeeded[4];
    BOOL bEndOfSection;          /* a condition ended the section: the question is not asked */
    BOOL bCheck[4];
    BOOL bUseButton1, bUsePath1, bUseButton2, bUsePath2, bUseMoreInfo1, bUseMoreInfo2;
    int nNum;                    /* answer slot, set by the caller */
    UINT uHelpKind;
    UINT uButtonType;
    BOOL bExitSet;               /* OnExit or BackUpMethod changed the run's exit settings */
    BOOL bLogFile;               /* LogFile named szLogFile */
    BOOL bSecret;                /* an expanded text of the question holds the password */
    char szPath[CCH_PATH];
    char szPath1[CCH_PATH], szPath2[CCH_PATH], szPath3[CCH_PATH], szPath4[CCH_PATH];
    char szFile[CCH_PATH];
    char szHelpKey[CCH_HELPKEY];
    char szCaption[CCH_TITLE];
    char szMessage[CCH_QMESSAGE];
    char szMsg[INPUT_MSG_SLOTS][CCH_MSG];
    char szDefault[CCH_MSG];
    char szPrompt[CCH_QPROMPT];
    char szMoreInfo1[CCH_MSG], szMoreInfo2[CCH_MSG];
    char szLogFile[CCH_PATH];
};

/* Defaults: caption the run caption, prompt "Select OK to continue", paths g_szDestDir; lpszList may be NULL. */
void fnInitReadSect(ReadSectStruct *lpRead, char *lpszList, size_t cchList);
/*
 * Reads a question section's lines (lpszBody: the text after its name line)
 * into lpRead. Conditions are tested first; a line whose key is unknown ends
 * the reading. OnExit and BackUpMethod change the run's exit settings at once
 * (bExitSet tells the caller to copy them into the run record). Returns 1, or
 * 0 when the help block cannot be had.
 */
UINT fnReadInputSection(const char *lpszBody, ReadSectStruct *lpRead);
/* Releases the help block. */
void fnFreeReadSect(ReadSectStruct *lpRead);
/*
 * One "Help" (bFile FALSE) or "HelpFile" line into lpRead's help, read as a
 * question's are: for sections with help of their own ([Install Options]).
 * FALSE when the help block cannot be had.
 */
BOOL fnReadHelpLine(char *lpszLine, BOOL bFile, ReadSectStruct *lpRead);

/*
 * Reads "[AppInit]" (lpszBody: the text after its name line) into the run
 * record. A line whose key is unknown ends the reading; a required key
 * without its value gives 0. Returns 1 otherwise.
 */
UINT fnReadAppInit(const char *lpszBody, UserInputStruct *lpUserInput);

/* Keys of the two readers, for the script checker. */
extern const SectionKeyStruct g_aAppInitKeys[];
extern const SectionKeyStruct g_aInputKeys[];

/* A decimal requirement; values beyond 32 bits count as 4,294,967,295. */
DWORD fnParseSpace(const char *lpszText);

/* "C:" becomes "C:\" (cchPath characters of room); any other path stays as it is. */
void fnFixDrivePath(char *lpszPath, size_t cchPath);

/* Option answer slot of question n (from 1) with the base; -1 when it has none. */
int fnOptionSlot(int nBase, int n);

/*
 * The option letters a question starts with (lpszLetters: 5 characters):
 * radio buttons only the last one whose check is set, check boxes each as
 * set; a button without its text is always "N".
 */
void fnInitialLetters(const ReadSectStruct *lpRead, char *lpszLetters);

/* Answers of the destination test's boxes (the standard button ids). */
enum {
    DESTANS_OK = 1,
    DESTANS_CANCEL = 2,
    DESTANS_ABORT = 3,
    DESTANS_RETRY = 4,
    DESTANS_IGNORE = 5
};

/* What the destination test asks of its caller. */
struct DestOpsStruct {
    /* The directory dialog on szDestPath: TRUE with the new path stored, FALSE cancelled. */
    BOOL (*pfnAskDirectory)(UserInputStruct *lpUserInput, void *lpContext);
    /* Message uId (1047, 1048, 1049, 1052, 1071) with its drive, free bytes and need; a DESTANS_ answer. */
    int (*pfnMessage)(UINT uId, const char *lpszDrive, DWORD dwFree, DWORD dwNeed, void *lpContext);
    /* The directory section for the destination g_szDestDir: TRUE when the tree stands. */
    BOOL (*pfnMakeDirs)(const UserInputStruct *lpUserInput, void *lpContext);
    /* Makes lpszDir the current directory. */
    void (*pfnSetCurrentDir)(const char *lpszDir, void *lpContext);
    void *lpContext;
};

/* Results of the destination test */
enum {
    DEST_FAILED = 0,
    DEST_OK = 1,
    DEST_CANCELLED = 5
};

/*
 * The destination test: the Windows drive's and the destination drive's free
 * space against the record's needs, a missing drive, and the directory
 * section, asking for another directory while the record's prompt is on.
 * Without the prompt a failure ends the test with DEST_FAILED rather than
 * asking for ever. g_szDestDir and path slot 0 follow szDestPath before the
 * tree is made. An empty szDestPath passes at once.
 */
UINT fnCheckDestination(UserInputStruct *lpUserInput, const DestOpsStruct *lpOps);

/* Free bytes of the drive holding lpszPath, 32 bits wide (more counts as 4,294,967,295); 0 when unreadable. */
DWORD fnFreeBytes32(const char *lpszPath);

#endif
