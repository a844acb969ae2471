/*
 * common/bounded.cpp -- bounded copy, append and format helpers and the ASCII
 * case rules of script keys. Nothing else in the program writes into a fixed
 * text buffer directly.
 */
#include "common/bounded.h"

#include <stdio.h>
#include <string.h>

BOOL fnCopyBounded(char *lpszDst, size_t cchDst, const char *lpszSrc)
{
    return fnCopyBoundedN(lpszDst, cchDst, lpszSrc, (size_t)-1);
}

BOOL fnCopyBoundedN(char *lpszDst, size_t cchDst, const char *lpszSrc, size_t cchSrc)
{
    if (!lpszDst || cchDst == 0)
        return FALSE;
    if (!lpszSrc) {
        lpszDst[0] = '\0';
        return TRUE;
    }
    size_t i = 0;
    while (i < cchSrc && lpszSrc[i] && i + 1 < cchDst) {
        lpszDst[i] = lpszSrc[i];
        i++;
    }
    lpszDst[i] = '\0';
    return (i >= cchSrc || lpszSrc[i] == '\0') ? TRUE : FALSE;
}

BOOL fnAppendBounded(char *lpszDst, size_t cchDst, const char *lpszSrc)
{
    if (!lpszDst || cchDst == 0)
        return FALSE;
    size_t cchUsed = strnlen(lpszDst, cchDst);
    if (cchUsed >= cchDst) {
        /* an unterminated destination is terminated at its last character */
        lpszDst[cchDst - 1] = '\0';
        return FALSE;
    }
    return fnCopyBounded(lpszDst + cchUsed, cchDst - cchUsed, lpszSrc);
}

int fnVFormatBounded(char *lpszDst, size_t cchDst, const char *lpszFmt, va_list args)
{
    if (!lpszDst || cchDst == 0)
        return 0;
    if (!lpszFmt) {
        lpszDst[0] = '\0';
        return 0;
    }
    int n = vsnprintf(lpszDst, cchDst, lpszFmt, args);
    lpszDst[cchDst - 1] = '\0';
    if (n < 0) {
        lpszDst[0] = '\0';
        return 0;
    }
    return ((size_t)n >= cchDst) ? (int)(cchDst - 1) : n;
}

int fnFormatBounded(char *lpszDst, size_t cchDst, const char *lpszFmt, ...)
{
    va_list args;
    va_start(args, lpszFmt);
    int n = fnVFormatBounded(lpszDst, cchDst, lpszFmt, args);
    va_end(args);
    return n;
}

char fnUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

BOOL fnEqualNoCase(const char *lpszA, const char *lpszB)
{
    if (!lpszA || !lpszB)
        return FALSE;
    while (*lpszA && *lpszB) {
        if (fnUpperAscii(*lpszA) != fnUpperAscii(*lpszB))
            return FALSE;
        lpszA++;
        lpszB++;
    }
    return (*lpszA == *lpszB) ? TRUE : FALSE;
}

BOOL fnPrefixNoCase(const char *lpszText, const char *lpszPrefix, size_t n)
{
    if (!lpszText || !lpszPrefix)
        return FALSE;
    for (size_t i = 0; i < n; i++) {
        if (!lpszText[i] || !lpszPrefix[i])
            return FALSE;
        if (fnUpperAscii(lpszText[i]) != fnUpperAscii(lpszPrefix[i]))
            return FALSE;
    }
    return TRUE;
}
