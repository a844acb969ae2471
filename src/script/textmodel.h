/*
 * script/textmodel.h -- how the script text is cut into sections, instruction
 * lines and numbered fields. The script is one NUL-terminated text in memory;
 * these functions hand out pointers into it and copy single lines and fields
 * into caller buffers. Nothing here expands options or tests conditions.
 *
 * Reading a section body, as every handler does:
 *
 *     const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
 *     while (lpszPos && *lpszPos) {
 *         lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
 *         if (!lpszPos || !szLine[0])
 *             break;
 *         ... test, cut and act on szLine ...
 *     }
 */
#ifndef TG_SCRIPT_TEXTMODEL_H
#define TG_SCRIPT_TEXTMODEL_H

#include "common/tgtypes.h"

/*
 * From lpszPos, finds the first line whose first non-blank character is '['
 * (*lplpszHeader, at that '[') and the next such line (*lplpszNext, NULL when
 * the text ends first). Returns 1 when a header was found, else 0.
 */
int fnGetNextSection(const char *lpszPos, const char **lplpszHeader, const char **lplpszNext);

/*
 * 1 when the header at the start of lpszSection equals one entry of the
 * comma-separated name list (case ignored); the list's own spelling of the
 * entry goes to lpszMatched (cchMatched characters, 260 by convention).
 */
BOOL fnIsInfSection(const char *lpszSection, const char *lpszList, char *lpszMatched, size_t cchMatched);

/*
 * Position just behind the line break of the first line that, trimmed, equals
 * lpszName (case ignored); NULL when a trimmed "[End]" line or the end of the
 * text comes first, or when the header is the last line without a break.
 */
const char *fnInfFindSection(const char *lpszText, const char *lpszName);
/* The same search over the whole text, without the "[End]" stop. */
const char *fnInfFindLine(const char *lpszText, const char *lpszLine);

/*
 * Reads the next instruction line from lpszPos into lpszLine (at most 1,024
 * characters of it, trimmed), skipping empty and ';' lines. Returns the
 * position behind the line, or NULL when a header ends the section first.
 * At the end of the text it returns the end position with an empty line when
 * nothing is left. A last line with no line break behind it is still read
 * (the returned position is then the end of the text), so a section whose
 * final line break was cut off by the section loop loses no line.
 */
const char *fnInfGetNextLine(const char *lpszPos, char *lpszLine, size_t cchLine);

/* Number of instruction lines of the section (found by name when one is given), at most nMax. */
int fnInfCountLines(const char *lpszText, const char *lpszName, int nMax);

/*
 * Cuts field nField of the line into lpszField (cchField characters). Field 0
 * is the key before a leading '='; field 1 the first value. Returns 1 when the
 * field exists (possibly empty), else 0 with an empty lpszField. Asking for a
 * field of 1 or more of a line "A==B" turns the second '=' of the line into '?'.
 * A negative field number gives the text before the first separator.
 */
int fnInfParseField(char *lpszLine, int nField, char *lpszField, size_t cchField);

/*
 * Set by a reader while it cuts the fields of a line that holds a password:
 * the field cutter's debug-log entries then show neither the line nor the field.
 */
extern BOOL g_bSecretLine;
/*
 * TRUE when the text names a command or section whose lines hold a password
 * (the account and domain commands, MapDrive, the run-as sections), in any
 * case: such a text goes to the debug log as a stand-in only.
 */
BOOL fnTextHoldsSecret(const char *lpszText);

/*
 * Where character cchAt of field nField, as fnInfParseField hands the field
 * out, stands in lpszLine (an offset; the field's end when it is shorter).
 * -1 when the line has no such field. For reports that point into a line.
 */
int fnInfFieldColumn(const char *lpszLine, int nField, size_t cchAt);

/* First n-th instruction line's field 1 of the named section; 1 or 0. */
int fnInfLoadSection(const char *lpszText, int nNum, const char *lpszName, char *lpszField, size_t cchField);

/* Removes leading and trailing spaces and tabs in place; a line feed and what follows it stay. */
void fnTrimBlanks(char *lpszText);
/* Removes leading quotes and the matching kind of trailing quotes in place. */
void fnStripQuotes(char *lpszText);

#endif
