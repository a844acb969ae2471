/*
 * driver/scramble.h -- the scrambled form of scripts and of short stored
 * values such as the password held in memory: a chained substitution through
 * the alphabet and code table of scramble_tables.cpp. Scrambling hides a text
 * from casual reading; it is not encryption.
 */
#ifndef TG_DRIVER_SCRAMBLE_H
#define TG_DRIVER_SCRAMBLE_H

#include "common/tgtypes.h"

#define CCH_SCRAMBLE_ALPHABET 127
/* Offsets that scrambling picks; a stored offset is a row of the code table. */
#define SCRAMBLE_OFFSET_MIN 1
#define SCRAMBLE_OFFSET_MAX 126

extern const BYTE g_abScrambleAlphabet[CCH_SCRAMBLE_ALPHABET];
extern const BYTE g_abScrambleTable[CCH_SCRAMBLE_ALPHABET][CCH_SCRAMBLE_ALPHABET];

/*
 * Scramble or unscramble dwSize bytes of lpText in place, starting in row
 * uOffset. Bytes 0 and 128-255 are left as they are and do not move the row,
 * so NULs inside the text stay where they are and a text without NULs never
 * gains one. Return 0 for a missing text, a zero length or an offset that
 * names no row of the table (such an offset can only come from a damaged
 * file); the text is then untouched.
 */
BOOL fnShiftEnCrypt(char *lpText, UINT uOffset, DWORD dwSize);
BOOL fnShiftDeCrypt(char *lpText, UINT uOffset, DWORD dwSize);

/*
 * The string form: scrambles lpszText with a random offset and appends the
 * offset as one more character. FALSE, text unchanged, when it is empty or
 * cchText leaves no room for the extra character.
 */
BOOL fnEnCryptString(char *lpszText, size_t cchText);
/* Takes the last character as the offset, removes it and unscrambles the rest. */
BOOL fnDeCryptString(char *lpszText);

/* A pseudo-random number from uLow to uHigh; seeded once from the clock's milliseconds. */
UINT fnRandomRange(UINT uLow, UINT uHigh);

#endif
