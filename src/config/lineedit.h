/*
 * config/lineedit.h -- the line editor of configuration files other than
 * Windows INI files edited through the profile functions: INI-style sections,
 * indented sections, blocks between marker lines, whole batch lines placed
 * near the top or before the line that starts Windows, and text replaced
 * within lines; and the reader that takes one value out of such a file.
 * Portable: files are read whole and the result is written to a temporary
 * file, never to the file itself. Untouched lines are copied byte for byte
 * with their own line ends; new lines take the file's line end (CR LF in a
 * file that has none yet).
 */
#ifndef TG_CONFIG_LINEEDIT_H
#define TG_CONFIG_LINEEDIT_H

#include "common/tgtypes.h"
#include "config/textbuf.h"

/* One edit of a configuration file; texts are already expanded. */
struct IniEditStruct {
    const char *lpszFile;      /* names the file in the installation log */
    const char *lpszSection;   /* "" for none */
    const char *lpszKey;
    const char *lpszValue;
    const char *lpszType;      /* type letter, optionally followed by "\" (backslashes doubled) */
    char cAction;              /* N S D R A I */
    const char *lpszSubValue;
    BOOL bList;                /* the INI section is a list of entries: one entry "key" or "key=value" is
                                  added (D: removed) when it is not there (type I with sub-value G) */
};

/*
 * Edits the text by the type and action rules into lpOut. Type P goes to the
 * PATH statement editor (section = statement word, key = test element,
 * value = new element, sub-value = placement). An empty key matches no line.
 * *lpbChanged tells whether the output differs from the input. FALSE only
 * when memory runs out (lpOut is then incomplete).
 */
BOOL fnEditIniText(const char *lpText, size_t cbText, const IniEditStruct *lpEdit, TextBufStruct *lpOut,
                   BOOL *lpbChanged);

/*
 * Copies lpszFile to lpszTempFile with the edit made (fnEditIniText). FALSE
 * when the file cannot be read, the temporary file cannot be written or the
 * edit fails; lpszFile itself is never written. Each change goes to the
 * installation log.
 */
BOOL fnEditIniLine(const char *lpszFile, const char *lpszTempFile, const char *lpszSection, const char *lpszKey,
                   const char *lpszValue, const char *lpszType, const char *lpszAction, const char *lpszSubValue,
                   BOOL *lpbChanged = NULL);
/* The same for a whole edit record (its lpszFile is the file read). */
BOOL fnEditIniFile(const IniEditStruct *lpEdit, const char *lpszTempFile, BOOL *lpbChanged);

/*
 * Reads one value out of a configuration text by the section rules of the
 * editor and the reading rules of the type letter (see lineedit.cpp). TRUE,
 * with the value in lpOut, when a non-empty value was found.
 */
BOOL fnReadCfgValueText(const char *lpText, size_t cbText, const char *lpszSection, const char *lpszKey,
                        const char *lpszType, const char *lpszSubValue, TextBufStruct *lpOut);
/* The same on a file; a file that cannot be read gives FALSE. */
BOOL fnReadCfgValue(const char *lpszFile, const char *lpszSection, const char *lpszKey, const char *lpszType,
                    const char *lpszSubValue, TextBufStruct *lpOut);

#endif
