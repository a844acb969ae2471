/*
 * script/expand.h -- option expansion: rewrites a field in place, replacing
 * every option (the option character g_cOptChar and what follows it) by its
 * value from the stores of script/optstore.h, the run-wide folders and the
 * machine lookups of common/machine.h. Portable: every fact about the machine
 * comes through g_lpMachine.
 */
#ifndef TG_SCRIPT_EXPAND_H
#define TG_SCRIPT_EXPAND_H

#include "common/tgtypes.h"

struct UserInputStruct;

/* Result of an expansion. */
enum {
    EXPAND_NONE = 0,     /* no option was expanded */
    EXPAND_OK = 1,       /* every expanded option had a value */
    EXPAND_MISSING = -1  /* a value was empty, a variable unset or a function failed */
};

/*
 * Expands the options of lpszText in place (cchText characters of room).
 * A text that holds no option character is left exactly as it is, whatever its
 * length. Malformed options stay in the text as written. The expanded text is built
 * in CCH_EXPANDED characters, so the result holds at most 259 characters
 * (and at most cchText-1): what does not fit is cut at the limit. One option's
 * value is likewise cut at 1,039 characters before it is copied.
 * Returns EXPAND_NONE, EXPAND_OK or EXPAND_MISSING; callers take
 * EXPAND_MISSING as "not found" and may try another field.
 * Re-entered only through an inline function's arguments.
 */
int fnExpandOpts(char *lpszText, size_t cchText);

/*
 * fnExpandOpts that also tells whether the expanded text was cut (at 259
 * characters, at cchText-1, or an option's value at its limit); *lpbCut is
 * FALSE for a text without options. Handlers that write data (files,
 * registry, INI, environment, commands, shortcuts) fail the line when
 * *lpbCut is TRUE instead of writing a shortened value; see fnExpandDataField.
 */
int fnExpandOptsCut(char *lpszText, size_t cchText, BOOL *lpbCut);

/*
 * Expands a field that a handler is about to write as data. Returns FALSE,
 * with a debug-log entry under lpszTitle, when the expansion was cut: the
 * caller takes its usual failure path for the line and writes nothing.
 * *lpnRC (may be NULL) receives the expansion result.
 */
BOOL fnExpandDataField(char *lpszField, size_t cchField, const char *lpszTitle, int *lpnRC);

/* What the expander could not read, as told to g_pfnExpandNote. */
enum {
    EXPANDNOTE_MALFORMED = 1,  /* an option copied as text: unknown letter, missing or out-of-range digit */
    EXPANDNOTE_UNCLOSED = 2    /* an inline function without its ')' (or with it beyond 259 characters) */
};
/*
 * Told of each option the expander could not read: the text being expanded
 * (a field, or an inline function's argument), the offset of the option
 * character in it and the EXPANDNOTE_ kind. NULL for a run; the script
 * checker sets it.
 */
typedef void (*ExpandNoteProc)(const char *lpszText, size_t cchAt, int nKind);
extern ExpandNoteProc g_pfnExpandNote;

/*
 * TRUE while the expansion in progress has put the password (@U1) into its
 * text; debug-log entries then show fnLogText's stand-in instead of texts.
 */
extern BOOL g_bExpandSecret;
/*
 * Whether the last finished expansion of a field put the password into its
 * text: a handler that logs the expanded text later ORs it into the field's
 * own secret flag and logs "(hidden)" for it.
 */
extern BOOL g_bLastExpandSecret;
/* lpszText, or "(hidden)" while g_bExpandSecret is set: for debug-log arguments only. */
const char *fnLogText(const char *lpszText);

/*
 * Start-up, before the first section: sets g_szDestDir to the temporary
 * folder (TMP, else TEMP, else the Windows folder's TEMP) unless a destination
 * was given already, copies it into path slot 0 and the source folder into
 * source slot 0, takes the sub-field delimiters from string 1064 and fills the
 * default texts of the run record (may be NULL).
 */
void fnInitUserInput(UserInputStruct *lpUserInput);

#endif
