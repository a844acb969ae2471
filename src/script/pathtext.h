/*
 * script/pathtext.h -- text helpers of option expansion that other parts
 * share: sub-fields of a value split by a delimiter set, the leading
 * sub-fields of a text, and the parts of a path (drive, directory, names,
 * parent) with the one-backslash join. Pure text work, no file system.
 */
#ifndef TG_SCRIPT_PATHTEXT_H
#define TG_SCRIPT_PATHTEXT_H

#include "common/tgtypes.h"

/*
 * Sub-field n (counted from 1; 0 and 1 both give the first) of lpszText split
 * by any character of lpszDelims. A double quote switches quoting on and off,
 * delimiters inside quotes are text; leading blanks (space, tab, LF, CR) are
 * skipped, an opening quote is dropped and a closing one kept, then trailing
 * blanks and double quotes are removed. Fewer sub-fields give an empty text.
 * Returns 1, or 0 (empty out) when the text or the set is missing.
 */
int fnGetSubField(const char *lpszText, const char *lpszDelims, UINT n, char *lpszOut, size_t cchOut);

/*
 * The text up to the end of its n-th sub-field, separators included ("10.1.2"
 * for the first three of "10.1.2.3" split by "."); the whole text when it has
 * fewer. Returns 1, or 0 when the text or the set is missing.
 */
int fnGetLeadingFields(const char *lpszText, const char *lpszDelims, UINT n, char *lpszOut, size_t cchOut);

/*
 * Parts of a path; every non-null output holds CCH_PATH characters and
 * receives its part (cut at that size):
 *   drive   "X:" for a one-letter drive, "\\server\share" for a UNC path
 *   dir     the path up to and including its last '\', without the drive
 *   base    the last component up to its first '.' after the first character
 *   ext     what follows the last '.' of the last component
 *   fname   the last component (after the last '/', '\' or ':')
 *   parent  all before the last '/' or '\'; a root keeps its backslash
 *           ("C:\", "\\server\share\"); empty without a separator
 * Returns 1, or 0 when a drive or an extension was asked for and the path has
 * none (that output is then empty).
 */
int fnSplitPath(const char *lpszPath, char *lpszDrive, char *lpszDir, char *lpszBase, char *lpszExt,
                char *lpszFileName, char *lpszParent);

/* The last component after one trailing backslash is removed ("Tool" of "C:\Apps\Tool\"). */
void fnJustLastDir(const char *lpszPath, char *lpszOut, size_t cchOut);

/*
 * lpszDir and lpszName joined with exactly one backslash; either alone when
 * the other is empty. FALSE when the result was cut at cchOut.
 */
BOOL fnJoinPath(char *lpszOut, size_t cchOut, const char *lpszDir, const char *lpszName);

#endif
