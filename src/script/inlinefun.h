/*
 * script/inlinefun.h -- the inline functions of a field (@_fnName(...)):
 * 64-bit arithmetic, text slicing and searching, list building, comparisons
 * giving "TRUE"/"FALSE", file existence and version tests, and the byte-list
 * converter. Option expansion hands the function text over and stores the
 * result; the functions expand their own arguments.
 */
#ifndef TG_SCRIPT_INLINEFUN_H
#define TG_SCRIPT_INLINEFUN_H

#include "common/tgtypes.h"

#define FUN_ARGS 9

/*
 * Evaluates one function; lpszFun starts with the name and its '(' and ends
 * before the closing ')'. The result (at most 259 characters, cut there) goes
 * to lpszResult. Returns 1, or 0 when the function failed (the result is then
 * left as it was), which includes an argument whose expansion was cut where
 * the cut would change the answer. An unknown name gives an empty result and 1.
 */
int fnParseFun(const char *lpszFun, char *lpszResult, size_t cchResult);

/*
 * The function named at the start of lpszText ("fnSum(..."): the length of
 * its name with the '(' and the fewest and most arguments a call gives it.
 * FALSE when no function has that name (the call then gives nothing).
 */
BOOL fnFindInlineFun(const char *lpszText, size_t *lpcchName, UINT *lpcMinArgs, UINT *lpcMaxArgs);
/* The name, with its '(', of function n of the table; NULL past the last. */
const char *fnInlineFunName(UINT n);

/*
 * Skips cchName characters (the name and its '('), cuts the rest at the first
 * ')' outside a '(' pair and fills each non-null alpszField[i] (CCH_PATH
 * characters) with argument i+1, separated by ';' or ',' under the sub-field
 * rule (quotes protect separators, surrounding blanks and quotes go).
 * Returns 0 only when lpszFun is missing.
 */
int fnGetFunFields(const char *lpszFun, size_t cchName, char *alpszField[FUN_ARGS]);

/*
 * The argument picker of fnGetArg: expands lpszText, then takes its sub-field
 * n split by ';', ',' and blank (n 0: the text before the first '=').
 * 0, with an empty lpszOut, when the expansion was cut at its limit.
 */
int fnPickArg(const char *lpszText, UINT n, char *lpszOut, size_t cchOut);

/*
 * Case-insensitive search for lpszPart in lpszText. After a partial match
 * fails, the search goes on from the mismatching character (so "aab" is not
 * found in "aaab"); an empty part is never found. NULL when not found.
 */
const char *fnFunSearch(const char *lpszText, const char *lpszPart);

/* The script's digit rule: every decimal digit of the text in order as one number ("a1b2" is 12). */
UINT fnDigitsOf(const char *lpszText);
/* An unsigned 64-bit number in decimal. */
void fnU64ToText(ULONGLONG u, char *lpszOut, size_t cchOut);

#endif
