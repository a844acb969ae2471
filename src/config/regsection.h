/*
 * config/regsection.h -- the line rules of the registry sections: keywords
 * and where each keyword's fields go, the result slots a section fills, the
 * outcome table of Check lines, Match comparison, drive-path trimming and the
 * guard that keeps a delete from reaching a key the script did not name.
 * Portable: the section handler (config/registry_sections.cpp) does the
 * registry work and the asking.
 */
#ifndef TG_CONFIG_REGSECTION_H
#define TG_CONFIG_REGSECTION_H

#include "common/tgtypes.h"
#include "script/keytable.h"
#include "script/optstore.h"

/* Keyword codes of the registry section lines (the nId of g_aRegistryKeys). */
enum {
    REGLINE_EDIT = 1,
    REGLINE_RENAMEKEY,
    REGLINE_RENAMEVALUE,
    REGLINE_DELETEVALUE,
    REGLINE_DELETEVALUES,
    REGLINE_DELETEKEY,
    REGLINE_DELETEBRANCH,
    REGLINE_ENUM,
    REGLINE_READ,
    REGLINE_READVALUE,
    REGLINE_CHECK,
    REGLINE_MATCH,
    REGLINE_EXPANDDELIMS,
    REGLINE_BACKUPDIR,
    REGLINE_TRIMSLASH
};

/* Every keyword a registry section knows; any other keyword ends the section. */
extern const SectionKeyStruct g_aRegistryKeys[];

#define CCH_REGLINE_WORD 31    /* type name and action word: 30 characters kept */
#define CCH_REGLINE_TEXT 1023  /* paths, names and data: 1,022 characters kept */
#define CCH_REGLINE_MSG 255
#define CCH_REGLINE_PROG 259

/* The fields of one action line, cleared for every line. */
struct RegLineStruct {
    int nKey;                                  /* REGLINE_... */
    char szType[CCH_REGLINE_WORD];
    char szRegKey[CCH_REGLINE_TEXT];           /* key path or lookup path */
    char szRegKeyName[CCH_REGLINE_TEXT];       /* value name (Enum: the test value name) */
    char szRegNewKeyName[CCH_REGLINE_TEXT];
    char szRegValue[CCH_REGLINE_TEXT];         /* data, expected data or Enum test data */
    char szTestValue2[CCH_REGLINE_TEXT];       /* Enum: second test value name */
    char szRegCheckValue[CCH_REGLINE_TEXT];    /* Enum second test data; Match compare text */
    char szRegCheckAction[CCH_REGLINE_WORD];   /* action word; Enum letter; Check action */
    char szMessage[CCH_REGLINE_MSG];
    char szProgram[CCH_REGLINE_PROG];
    BOOL bExact;                               /* Match: whole-text comparison */
};

/*
 * Clears the record and takes the fields of keyword nKey from the line (field
 * 0 already read), presetting the action word as the keyword asks. Fields the
 * line lacks stay empty; longer fields are cut at their size.
 */
void fnRegTakeFields(char *lpszLine, int nKey, RegLineStruct *lpLine);

/* TRUE for the keywords that store a result in a slot (Read, ReadValue, Match, Enum). */
BOOL fnRegLineStoresResult(int nKey);
/* TRUE for the keywords that delete something (the deletes and the renames' second step). */
BOOL fnRegLineDeletes(int nKey);

/*
 * Stores a result in slot *lpnReg of the table (nSlots slots of CCH_REGVALUE)
 * and counts it. With every slot taken nothing is written and the result is
 * FALSE; the count still goes up so the log can tell how many were lost.
 */
BOOL fnRegStoreResult(char (*lpaszSlots)[CCH_REGVALUE], int nSlots, int *lpnReg, const char *lpszResult);

/*
 * A result that is a drive path ("D:..." ) loses a final slash or backslash,
 * unless that would leave the bare drive ("D:\" stays). Other texts stay.
 */
void fnRegTrimDriveSlash(char *lpszText);

/* Match: whole text (bExact) or prefix, case ignored; an empty prefix never matches. */
BOOL fnRegMatches(const char *lpszValue, const char *lpszCompare, BOOL bExact);

/* What a Check line leads to. */
enum {
    REGCHECK_NEXT = 0,   /* go on with the next line */
    REGCHECK_STOP,       /* end the section with status 0 */
    REGCHECK_ASK,        /* ask; *lpuMsg is the numbered question */
    REGCHECK_FATAL       /* tell the user and end with status 0 */
};

/*
 * The outcome of a Check line by its action word (case ignored) and what the
 * read found: the value missing (bFound FALSE), equal or different.
 */
UINT fnRegCheckOutcome(const char *lpszAction, BOOL bFound, BOOL bEqual, UINT *lpuMsg);

/*
 * TRUE when a key path that options built must not be deleted: the options
 * reported a missing value, or the sub-key path they left is empty, ends in
 * a separator or holds an empty component ("Vendor\", "A\\B"). A path written
 * without options is never refused here.
 */
BOOL fnRegBuiltPathUnsafe(const char *lpszSubKey, int nExpandRC);

#endif
