/*
 * common/bounded.h -- the one family of bounded text helpers. Every copy,
 * append and format into a fixed buffer goes through these; they never write
 * past cchDst characters and always terminate (when cchDst > 0).
 */
#ifndef TG_COMMON_BOUNDED_H
#define TG_COMMON_BOUNDED_H

#include <stdarg.h>
#include "common/tgtypes.h"

/* Copies at most cchDst-1 characters and always terminates. Returns FALSE when cut. */
BOOL fnCopyBounded(char *lpszDst, size_t cchDst, const char *lpszSrc);
/* Copies at most cchSrc characters of lpszSrc (stops early at a NUL). FALSE when cut by cchDst. */
BOOL fnCopyBoundedN(char *lpszDst, size_t cchDst, const char *lpszSrc, size_t cchSrc);
/* Appends; on a cut the destination holds as much as fits. Returns FALSE when cut. */
BOOL fnAppendBounded(char *lpszDst, size_t cchDst, const char *lpszSrc);
/* vsnprintf that always terminates; returns the characters written (cut length). */
int fnFormatBounded(char *lpszDst, size_t cchDst, const char *lpszFmt, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 3, 4)))
#endif
    ;
int fnVFormatBounded(char *lpszDst, size_t cchDst, const char *lpszFmt, va_list args);

/* ASCII case-insensitive comparisons: script keys and section names. */
BOOL fnEqualNoCase(const char *lpszA, const char *lpszB);
/* Equal only when both texts have at least n characters and the first n agree. */
BOOL fnPrefixNoCase(const char *lpszText, const char *lpszPrefix, size_t n);
char fnUpperAscii(char c);

#endif
