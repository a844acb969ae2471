/*
 * config/regtext.h -- the registry path syntax of scripts, the value type
 * names and the conversions between registry data and text. Portable: the
 * Windows registry calls live in config/registry.cpp and use these.
 */
#ifndef TG_CONFIG_REGTEXT_H
#define TG_CONFIG_REGTEXT_H

#include "common/machine.h"
#include "common/tgtypes.h"

#define CCH_REG_BUF 1024   /* key paths, value names, value texts and data, terminator included */
#define CB_REG_DATA 1024

/* Registry type codes (the same numbers as the system's REG_... codes). */
enum {
    REGTYPE_NONE = 0,
    REGTYPE_SZ = 1,
    REGTYPE_EXPAND_SZ = 2,
    REGTYPE_BINARY = 3,
    REGTYPE_DWORD = 4,
    REGTYPE_DWORD_BIG_ENDIAN = 5,
    REGTYPE_LINK = 6,
    REGTYPE_MULTI_SZ = 7,
    REGTYPE_RESOURCE_LIST = 8
};

/*
 * Finds the first root name (in root order, case ignored, anywhere in the
 * text) that has at least one more character behind it, and rewrites the text
 * in place to what follows the name and its backslashes. Returns REGROOT_...,
 * REGROOT_NONE (text unchanged) when no name qualifies.
 */
UINT fnFindRegRoot(char *lpszPath);
/* "HKEY_LOCAL_MACHINE" etc.; "" for REGROOT_NONE or an unknown code. */
const char *fnRegRootName(UINT uRoot);

/* Type code of a type name (case ignored); empty, NULL or unknown names give REGTYPE_SZ. */
DWORD fnRegTypeFromName(const char *lpszName);

/*
 * Text to unsigned number: a trailing H or h reads the whole text as
 * hexadecimal; else "?x..." (3 characters at least) reads the rest as
 * hexadecimal; else decimal. Stops at the first non-digit, wraps modulo 2^32.
 */
DWORD fnRegTextToNumber(const char *lpszText);

/*
 * Reads byte pairs ("0a,1b ff" gives 0a 1b ff) into lpData, at most cbData
 * bytes. Returns the number of bytes stored.
 */
DWORD fnRegTextToBinary(const char *lpszText, BYTE *lpData, DWORD cbData);

/*
 * Converts text to the data of registry type dwType (EXPAND_SZ text is
 * expanded first when bExpand is set). *lpcbData receives the data length.
 * FALSE, with *lpcbData 0, when the data would not fit in cbData or the
 * expansion fails.
 */
BOOL fnRegTextToData(DWORD dwType, const char *lpszText, BOOL bExpand, BYTE *lpData, DWORD cbData, DWORD *lpcbData);

/*
 * Converts the data of a value to text by conversion mode (REGCONV_...).
 * Data need not be terminated; the text is always terminated and cut at
 * cchOut-1 characters (binary text only at whole bytes).
 */
void fnRegDataToText(DWORD dwType, const BYTE *lpData, DWORD cbData, UINT uMode, char *lpszOut, size_t cchOut);

/*
 * Cuts a lookup path at its last backslash into key and value name (a path
 * without one is a value directly under the root). FALSE when either part
 * does not fit.
 */
BOOL fnSplitRegLookup(const char *lpszLookup, char *lpszKey, size_t cchKey, char *lpszValue, size_t cchValue);

/*
 * Appends a name to a registry path with exactly one backslash between them.
 * FALSE, with the path unchanged, when the path is empty or the result would
 * not fit; an empty name leaves the path as it is (TRUE).
 */
BOOL fnRegAppendPath(char *lpszPath, size_t cchPath, const char *lpszName);

/* The number after an enumeration text: its leading digits plus one, as four digits. */
void fnRegEnumNext(char *lpszEnum, size_t cchEnum);

#endif
