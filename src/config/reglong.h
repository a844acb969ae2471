/*
 * config/reglong.h -- registry string values of any length the system allows
 * (an environment value of 32,767 characters), read whole through a size
 * query into the heap and written back with the type they had. The other
 * registry calls (config/registry.h) stop at 1,024 bytes, which is right for
 * script values but would cut a long PATH.
 */
#ifndef TG_CONFIG_REGLONG_H
#define TG_CONFIG_REGLONG_H

#include <windows.h>

#include "config/textbuf.h"

/*
 * Reads a REG_SZ or REG_EXPAND_SZ value as written (references not expanded)
 * into lpText, terminated even when the stored data is not. Returns
 * ERROR_SUCCESS; ERROR_FILE_NOT_FOUND when the key or the value does not
 * exist (the only answer that means "missing"); ERROR_INVALID_DATATYPE for a
 * value of another type; ERROR_MORE_DATA when the text passes cchMax
 * characters; or the system's error. *lpdwType receives the type on success.
 */
LONG fnRegReadTextAlloc(HKEY hRoot, const char *lpszKey, const char *lpszName, DWORD *lpdwType,
                        TextBufStruct *lpText, size_t cchMax);

/*
 * Writes the text as a value of type dwType (REG_SZ or REG_EXPAND_SZ),
 * creating the key when needed, and records it in the installation log.
 * FALSE when the text passes cchMax characters or the system refuses.
 */
BOOL fnRegWriteTextLong(HKEY hRoot, const char *lpszKey, const char *lpszName, DWORD dwType, const char *lpszText,
                        size_t cchMax);

#endif
