/*
 * config/textbuf.h -- a growing text buffer on the heap for the editors of
 * configuration files and environment values, whose texts (a whole INI file,
 * a 32,767-character PATH) do not fit the fixed buffers of script fields.
 * The text is always NUL-terminated; cch counts the characters before the
 * terminator, which may themselves hold NULs when a file does.
 */
#ifndef TG_CONFIG_TEXTBUF_H
#define TG_CONFIG_TEXTBUF_H

#include "common/tgtypes.h"

struct TextBufStruct {
    char *lpsz;       /* NULL until the first append */
    size_t cch;
    size_t cchAlloc;  /* room, terminator included */
    BOOL bFailed;     /* an allocation failed: the text is incomplete */
};

void fnTextBufInit(TextBufStruct *lpBuf);
/* Frees the text and leaves the buffer empty and usable again. */
void fnTextBufFree(TextBufStruct *lpBuf);
/* Empties the text and clears bFailed, keeping the room. */
void fnTextBufReset(TextBufStruct *lpBuf);
/* Appends cch characters; FALSE (and bFailed set) when memory runs out. */
BOOL fnTextBufAppendN(TextBufStruct *lpBuf, const char *lpsz, size_t cch);
BOOL fnTextBufAppend(TextBufStruct *lpBuf, const char *lpsz);
/* Inserts at character position nPos (at most cch). */
BOOL fnTextBufInsert(TextBufStruct *lpBuf, size_t nPos, const char *lpsz, size_t cch);
/* The text, "" while nothing was appended. */
const char *fnTextBufText(const TextBufStruct *lpBuf);

/* A buffer that frees itself when it goes out of scope. */
struct TextBufGuardStruct {
    TextBufStruct buf;
    TextBufGuardStruct() { fnTextBufInit(&buf); }
    ~TextBufGuardStruct() { fnTextBufFree(&buf); }
    TextBufGuardStruct(const TextBufGuardStruct &) = delete;
    TextBufGuardStruct &operator=(const TextBufGuardStruct &) = delete;
};

/* Case-insensitive (ASCII) search of lpszNeedle in lpszText; NULL when absent or the needle is empty. */
const char *fnFindNoCase(const char *lpszText, const char *lpszNeedle);
/* TRUE when lpszText begins with lpszPrefix (case ignored); an empty prefix never matches. */
BOOL fnBeginsNoCase(const char *lpszText, const char *lpszPrefix);

#endif
