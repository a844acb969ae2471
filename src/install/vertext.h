/*
 * install/vertext.h -- the text side of version information, shared by the
 * Windows readers in version.cpp and the host tests: dotted version texts,
 * plain number tests under a two-letter condition, the words of the version
 * lister (flags, operating system, file type) and the string-key prefix of a
 * translation entry. No file access here.
 */
#ifndef TG_INSTALL_VERTEXT_H
#define TG_INSTALL_VERTEXT_H

#include "common/tgtypes.h"

/* Results of comparing a file's version with a dotted text (fnCmpFileVersion). */
enum {
    VERCMP_EQUAL = 0,
    VERCMP_NOMEMORY = 1,      /* no memory, or the block could not be read */
    VERCMP_NOVERSION = 2,
    VERCMP_UNREADABLE = 3,
    VERCMP_NOFIXED = 5,
    VERCMP_OLDER = 7,
    VERCMP_NEWER = 11
};

/*
 * Reads up to four numbers separated by '.' or ',' ("4,0,950" is 4.0.950.0):
 * each part is the decimal number at its start, kept to 16 bits; missing
 * parts are 0, parts after the fourth are ignored. Fills awVer (may be NULL)
 * and the two 32-bit halves.
 */
void fnParseDottedVersion(const char *lpszVersion, WORD awVer[4], DWORD *lpdwMS, DWORD *lpdwLS);

/* TRUE when uTesting stands to uTest as the condition says (EQ NE LT GT LE GE, any case). */
BOOL fnConditionHolds(const char *lpszCondition, UINT uTesting, UINT uTest);

/* The number at the start of lpszVersion against uTest: 1 when the condition holds, else 2. */
int fnTestVersion(const char *lpszVersion, const char *lpszCondition, UINT uTest);

/* Whether a fnCmpFileVersion result satisfies a condition; results 1, 2 and 3 never do. */
BOOL fnVersionResultHolds(int nCmp, const char *lpszCondition);

/* "%d.%d.%d.%d" of two 32-bit halves. */
void fnFormatVersion(DWORD dwMS, DWORD dwLS, char *lpszOut, size_t cchOut);
/* Words for the set flag bits ("Debug Patched ") or "No flags". */
void fnVersionFlagsText(DWORD dwFlags, char *lpszOut, size_t cchOut);
/* Name of an operating-system value ("Windows-32 under Windows-NT"). */
void fnVersionOSText(DWORD dwOS, char *lpszOut, size_t cchOut);
/* Name of a file type with the subtype of drivers and fonts ("Device driver (Printer)"). */
void fnVersionTypeText(DWORD dwType, DWORD dwSubtype, char *lpszOut, size_t cchOut);

/*
 * Language and code page text of a translation entry ("040904e4") from its
 * four bytes in file order (second, first, fourth, third), or the default
 * "040904E4" when the entry is not exactly 4 bytes long.
 */
void fnTranslationText(const BYTE *lpbTranslation, UINT cbTranslation, char *lpszOut, size_t cchOut);

#endif
