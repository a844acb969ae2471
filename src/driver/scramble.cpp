/*
 * driver/scramble.cpp -- scrambling and unscrambling by the chained
 * substitution of scramble.h, the string form for stored values, and the
 * random offsets. The tables themselves are data in scramble_tables.cpp.
 */
#include "driver/scramble.h"

#include <stdlib.h>
#include <string.h>

#include <chrono>

#include "common/runstate.h"
#include "driver/debuglog.h"

/* Position of each code in the alphabet and in each row, 0xFF where absent;
   built on first use so the data file stays the one source of the tables. */
static BYTE s_abAlphabetIndex[128];
static BYTE s_abRowIndex[CCH_SCRAMBLE_ALPHABET][128];
static BOOL s_bIndexed;

static void fnBuildIndex(void)
{
    if (s_bIndexed)
        return;
    memset(s_abAlphabetIndex, 0xFF, sizeof(s_abAlphabetIndex));
    memset(s_abRowIndex, 0xFF, sizeof(s_abRowIndex));
    for (int i = 0; i < CCH_SCRAMBLE_ALPHABET; i++) {
        s_abAlphabetIndex[g_abScrambleAlphabet[i] & 0x7F] = (BYTE)i;
        for (int r = 0; r < CCH_SCRAMBLE_ALPHABET; r++)
            s_abRowIndex[r][g_abScrambleTable[r][i] & 0x7F] = (BYTE)i;
    }
    s_bIndexed = TRUE;
}

BOOL fnShiftEnCrypt(char *lpText, UINT uOffset, DWORD dwSize)
{
    if (!lpText || !dwSize || uOffset >= CCH_SCRAMBLE_ALPHABET)
        return FALSE;
    fnBuildIndex();
    UINT uRow = uOffset;
    for (DWORD i = 0; i < dwSize; i++) {
        BYTE b = (BYTE)lpText[i];
        if (b < 1 || b > 127)
            continue;
        BYTE bPos = s_abAlphabetIndex[b];
        if (bPos == 0xFF)
            continue;
        lpText[i] = (char)g_abScrambleTable[uRow][bPos];
        uRow = bPos;
    }
    return TRUE;
}

BOOL fnShiftDeCrypt(char *lpText, UINT uOffset, DWORD dwSize)
{
    if (!lpText || !dwSize || uOffset >= CCH_SCRAMBLE_ALPHABET)
        return FALSE;
    fnBuildIndex();
    UINT uRow = uOffset;
    for (DWORD i = 0; i < dwSize; i++) {
        BYTE b = (BYTE)lpText[i];
        if (b < 1 || b > 127)
            continue;
        BYTE bPos = s_abRowIndex[uRow][b];
        if (bPos == 0xFF)
            continue;
        lpText[i] = (char)g_abScrambleAlphabet[bPos];
        uRow = bPos;
    }
    return TRUE;
}

/* The stored values are secrets (the password among them): the log shows their length only. */
static const char s_szHidden[] = "(not shown)";

BOOL fnEnCryptString(char *lpszText, size_t cchText)
{
    if (!lpszText)
        return FALSE;
    size_t cch = strlen(lpszText);
    if (!cch || cch + 2 > cchText)
        return FALSE;
    UINT uOffset = fnRandomRange(SCRAMBLE_OFFSET_MIN, SCRAMBLE_OFFSET_MAX);
    fnDebugLog("fnEnCryptString", "Before fnShiftEnCrypt - \nuOffset=%u,\ndwSize=%lu\nlpszString=%s", g_uDebugLevel,
               uOffset, (unsigned long)cch, s_szHidden);
    if (!fnShiftEnCrypt(lpszText, uOffset, (DWORD)cch))
        return FALSE;
    lpszText[cch] = (char)uOffset;
    lpszText[cch + 1] = '\0';
    fnDebugLog("fnEnCryptString", "After fnShiftEnCrypt - \nuOffset=%u,\ndwSize=%lu\nlpszString=%s", g_uDebugLevel,
               uOffset, (unsigned long)cch, s_szHidden);
    return TRUE;
}

BOOL fnDeCryptString(char *lpszText)
{
    if (!lpszText || !lpszText[0])
        return FALSE;
    size_t cch = strlen(lpszText);
    UINT uOffset = (BYTE)lpszText[cch - 1];
    if (uOffset >= CCH_SCRAMBLE_ALPHABET)
        return FALSE;
    fnDebugLog("fnDeCryptString", "Before fnShiftDeCrypt - \nuOffset=%u,\ndwSize=%lu\nlpszString=%s", g_uDebugLevel,
               uOffset, (unsigned long)(cch - 1), s_szHidden);
    lpszText[cch - 1] = '\0';
    /* a value that held only its offset unscrambles to the empty text */
    if (cch > 1 && !fnShiftDeCrypt(lpszText, uOffset, (DWORD)(cch - 1)))
        return FALSE;
    fnDebugLog("fnDeCryptString", "After fnShiftDeCrypt - \nuOffset=%u,\ndwSize=%lu\nlpszString=%s", g_uDebugLevel,
               uOffset, (unsigned long)(cch - 1), s_szHidden);
    return TRUE;
}

UINT fnRandomRange(UINT uLow, UINT uHigh)
{
    static BOOL s_bSeeded;
    if (!s_bSeeded) {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::system_clock::now().time_since_epoch())
                      .count();
        srand((unsigned)(ms % 1000));
        s_bSeeded = TRUE;
    }
    if (uHigh <= uLow)
        return uLow;
    return uLow + (UINT)((unsigned long)rand() % (unsigned long)(uHigh - uLow + 1));
}
