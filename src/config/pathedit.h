/*
 * config/pathedit.h -- the PATH statement editor of batch files: recognises
 * the statements that set a list variable ("PATH C:\DOS", "SET PATH=...",
 * "@PATH ..."), adds, moves or removes one element in each of them, or adds a
 * statement when the file has none. Portable; the file is edited in memory
 * and written to a temporary file that the caller puts in place.
 */
#ifndef TG_CONFIG_PATHEDIT_H
#define TG_CONFIG_PATHEDIT_H

#include "common/tgtypes.h"
#include "config/textbuf.h"

/*
 * The length of the statement head that begins lpszLine (after blanks),
 * 0 when the line is no statement of variable lpszName. PATH has the forms
 * "SET PATH = ", "SET PATH =", "SET PATH= ", "SET PATH=", the same with "@",
 * "PATH = ", "PATH =", "PATH= ", "PATH ", "PATH=" and those with "@", tried in
 * that order; other variables only the "SET" forms.
 */
size_t fnPathStatementHead(const char *lpszLine, const char *lpszName);

/*
 * Edits the statements of the variable that lpszWord names ("PATH ", empty
 * for PATH): every statement holding the test element (whole elements, case
 * ignored) is rebuilt by the action letter (S keeps it, D drops the element,
 * others put the new element in its place); a statement without it gains the
 * new element at its end (E) or front (others but R and D). A file without a
 * statement gains one by the placement letter: A near the top (behind ECHO
 * OFF), B at the top, others at the end. Untouched lines are copied byte for
 * byte. lpszFile names the file in the installation log. FALSE when memory
 * runs out or a rebuilt statement would pass 32,767 characters; *lpbChanged
 * tells whether the text differs from the input.
 */
BOOL fnEditPathText(const char *lpText, size_t cbText, const char *lpszFile, const char *lpszWord,
                    const char *lpszTest, const char *lpszNew, char cAction, char cPlace, TextBufStruct *lpOut,
                    BOOL *lpbChanged);

/*
 * Copies lpszFile to lpszTempFile with the statements edited as
 * fnEditPathText does. FALSE when the file cannot be read, the temporary file
 * cannot be written or the edit fails; the file itself is never written.
 */
BOOL fnEditPath(const char *lpszFile, const char *lpszTempFile, const char *lpszWord, const char *lpszTest,
                const char *lpszNew, const char *lpszAction, const char *lpszPlace, BOOL *lpbChanged = NULL);

#endif
