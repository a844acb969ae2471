/*
 * config/regtext.cpp -- registry path texts, type names and the data/text
 * conversions of registry values. No registry calls here: everything is
 * plain text and bytes so the rules can be tested on any machine.
 */
#include "config/regtext.h"

#include <string.h>

#include "common/bounded.h"

static const char *const s_aszRootNames[REGROOT_COUNT] = {
    "",
    "HKEY_CLASSES_ROOT",
    "HKEY_LOCAL_MACHINE",
    "HKEY_CURRENT_USER",
    "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA",
    "HKEY_CURRENT_CONFIG",
    "HKEY_DYN_DATA",
};

struct RegTypeNameStruct {
    const char *lpszName;
    DWORD dwType;
};

static const RegTypeNameStruct s_aTypeNames[] = {
    {"NONE", REGTYPE_NONE},
    {"SZ", REGTYPE_SZ},
    {"EXPAND_SZ", REGTYPE_EXPAND_SZ},
    {"BINARY", REGTYPE_BINARY},
    {"HEX", REGTYPE_BINARY},
    {"DWORD", REGTYPE_DWORD},
    {"DWORD_BIG_ENDIAN", REGTYPE_DWORD_BIG_ENDIAN},
    {"LINK", REGTYPE_LINK},
    {"MULTI_SZ", REGTYPE_MULTI_SZ},
    {"RESOURCE_LIST", REGTYPE_RESOURCE_LIST},
};

/* First place where lpszFind occurs in lpszText, case ignored; NULL when nowhere. */
static char *fnFindNoCase(char *lpszText, const char *lpszFind)
{
    size_t cchFind = strlen(lpszFind);
    for (char *p = lpszText; *p; p++) {
        if (fnPrefixNoCase(p, lpszFind, cchFind))
            return p;
    }
    return NULL;
}

UINT fnFindRegRoot(char *lpszPath)
{
    if (!lpszPath)
        return REGROOT_NONE;
    for (UINT uRoot = REGROOT_CLASSES_ROOT; uRoot < REGROOT_COUNT; uRoot++) {
        char *lpszAt = fnFindNoCase(lpszPath, s_aszRootNames[uRoot]);
        if (!lpszAt)
            continue;
        const char *lpszRest = lpszAt + strlen(s_aszRootNames[uRoot]);
        /* a root name alone names no key: the script left the path unfinished */
        if (!*lpszRest)
            continue;
        while (*lpszRest == '\\')
            lpszRest++;
        memmove(lpszPath, lpszRest, strlen(lpszRest) + 1);
        return uRoot;
    }
    return REGROOT_NONE;
}

const char *fnRegRootName(UINT uRoot)
{
    return uRoot < REGROOT_COUNT ? s_aszRootNames[uRoot] : "";
}

DWORD fnRegTypeFromName(const char *lpszName)
{
    if (!lpszName)
        return REGTYPE_SZ;
    for (size_t i = 0; i < sizeof(s_aTypeNames) / sizeof(s_aTypeNames[0]); i++) {
        if (fnEqualNoCase(lpszName, s_aTypeNames[i].lpszName))
            return s_aTypeNames[i].dwType;
    }
    return REGTYPE_SZ;
}

static int fnHexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/* Reads at most cchMax characters in base 16 or 10, stopping at the first non-digit. */
static DWORD fnReadUnsigned(const char *lpszText, size_t cchMax, BOOL bHex)
{
    DWORD dwValue = 0;
    for (size_t i = 0; i < cchMax && lpszText[i]; i++) {
        int nDigit = bHex ? fnHexDigit(lpszText[i]) : ((lpszText[i] >= '0' && lpszText[i] <= '9') ? lpszText[i] - '0' : -1);
        if (nDigit < 0)
            break;
        /* unsigned arithmetic: overflow wraps modulo 2^32 as scripts have always seen it */
        dwValue = (DWORD)(dwValue * (bHex ? 16u : 10u) + (DWORD)nDigit);
    }
    return dwValue;
}

DWORD fnRegTextToNumber(const char *lpszText)
{
    if (!lpszText)
        return 0;
    size_t cch = strlen(lpszText);
    if (cch > 0 && (lpszText[cch - 1] == 'H' || lpszText[cch - 1] == 'h'))
        return fnReadUnsigned(lpszText, cch, TRUE);
    if (cch >= 3 && (lpszText[1] == 'x' || lpszText[1] == 'X'))
        return fnReadUnsigned(lpszText + 2, cch - 2, TRUE);
    return fnReadUnsigned(lpszText, cch, FALSE);
}

static BOOL fnIsPairSeparator(char c)
{
    return c == ',' || c == ' ' || c == '\t';
}

/* The pair reader; *lplpszRest is left at the first pair not stored. */
static DWORD fnReadPairs(const char *lpszText, BYTE *lpData, DWORD cbData, const char **lplpszRest)
{
    DWORD cb = 0;
    const char *p = lpszText;
    for (;;) {
        while (fnIsPairSeparator(*p))
            p++;
        if (!*p || cb >= cbData)
            break;
        size_t cchPair = p[1] ? 2 : 1;
        /* a leading 0 is passed over, which reads the same number */
        const char *lpszDigits = p;
        size_t cchDigits = cchPair;
        if (cchPair == 2 && p[0] == '0') {
            lpszDigits++;
            cchDigits--;
        }
        lpData[cb++] = (BYTE)fnReadUnsigned(lpszDigits, cchDigits, TRUE);
        p += cchPair;
    }
    if (lplpszRest)
        *lplpszRest = p;
    return cb;
}

DWORD fnRegTextToBinary(const char *lpszText, BYTE *lpData, DWORD cbData)
{
    if (!lpszText || !lpData)
        return 0;
    return fnReadPairs(lpszText, lpData, cbData, NULL);
}

/* The text with its terminating zero as data. */
static BOOL fnTextAsData(const char *lpszText, BYTE *lpData, DWORD cbData, DWORD *lpcbData)
{
    size_t cb = strlen(lpszText) + 1;
    if (cb > cbData)
        return FALSE;
    memcpy(lpData, lpszText, cb);
    *lpcbData = (DWORD)cb;
    return TRUE;
}

BOOL fnRegTextToData(DWORD dwType, const char *lpszText, BOOL bExpand, BYTE *lpData, DWORD cbData, DWORD *lpcbData)
{
    if (!lpcbData)
        return FALSE;
    *lpcbData = 0;
    if (!lpData)
        return FALSE;
    if (!lpszText)
        lpszText = "";
    switch (dwType) {
    case REGTYPE_EXPAND_SZ:
        if (bExpand) {
            char szExpanded[CCH_REG_BUF];
            if (!g_lpMachine->pfnExpandEnv(lpszText, szExpanded, sizeof(szExpanded)))
                return FALSE;
            return fnTextAsData(szExpanded, lpData, cbData, lpcbData);
        }
        return fnTextAsData(lpszText, lpData, cbData, lpcbData);
    case REGTYPE_BINARY: {
        const char *lpszRest = NULL;
        DWORD cb = fnReadPairs(lpszText, lpData, cbData, &lpszRest);
        /* pairs that did not fit would be lost without a word: refuse instead */
        if (*lpszRest)
            return FALSE;
        *lpcbData = cb;
        return TRUE;
    }
    case REGTYPE_DWORD:
    case REGTYPE_DWORD_BIG_ENDIAN: {
        /* both number types are stored in the machine's own order, as scripts have always written them */
        if (cbData < 4)
            return FALSE;
        DWORD dwValue = fnRegTextToNumber(lpszText);
        lpData[0] = (BYTE)(dwValue & 0xff);
        lpData[1] = (BYTE)((dwValue >> 8) & 0xff);
        lpData[2] = (BYTE)((dwValue >> 16) & 0xff);
        lpData[3] = (BYTE)((dwValue >> 24) & 0xff);
        *lpcbData = 4;
        return TRUE;
    }
    default:
        return fnTextAsData(lpszText, lpData, cbData, lpcbData);
    }
}

/* Data bytes as text up to the first zero byte; unterminated data is terminated here. */
static void fnRawToText(const BYTE *lpData, DWORD cbData, char *lpszOut, size_t cchOut)
{
    fnCopyBoundedN(lpszOut, cchOut, reinterpret_cast<const char *>(lpData), cbData);
}

void fnRegDataToText(DWORD dwType, const BYTE *lpData, DWORD cbData, UINT uMode, char *lpszOut, size_t cchOut)
{
    if (!lpszOut || cchOut == 0)
        return;
    lpszOut[0] = '\0';
    if (!lpData)
        return;
    if (uMode == REGCONV_RAW) {
        fnRawToText(lpData, cbData, lpszOut, cchOut);
        return;
    }
    switch (dwType) {
    case REGTYPE_EXPAND_SZ: {
        char szRaw[CCH_REG_BUF];
        fnRawToText(lpData, cbData, szRaw, sizeof(szRaw));
        char szExpanded[CCH_REG_BUF];
        if (g_lpMachine->pfnExpandEnv(szRaw, szExpanded, sizeof(szExpanded)))
            fnCopyBounded(lpszOut, cchOut, szExpanded);
        else
            fnCopyBounded(lpszOut, cchOut, szRaw);
        break;
    }
    case REGTYPE_BINARY: {
        static const char s_szHex[] = "0123456789abcdef";
        size_t cchUsed = 0;
        for (DWORD i = 0; i < cbData && cchUsed + 2 < cchOut; i++) {
            lpszOut[cchUsed++] = s_szHex[lpData[i] >> 4];
            lpszOut[cchUsed++] = s_szHex[lpData[i] & 0x0f];
        }
        lpszOut[cchUsed] = '\0';
        break;
    }
    case REGTYPE_DWORD: {
        DWORD dwValue = 0;
        for (DWORD i = 0; i < 4 && i < cbData; i++)
            dwValue |= (DWORD)lpData[i] << (8 * i);
        fnFormatBounded(lpszOut, cchOut, uMode == REGCONV_DEC ? "%lu" : "%lx", (unsigned long)dwValue);
        break;
    }
    default:
        fnRawToText(lpData, cbData, lpszOut, cchOut);
        break;
    }
}

BOOL fnSplitRegLookup(const char *lpszLookup, char *lpszKey, size_t cchKey, char *lpszValue, size_t cchValue)
{
    if (!lpszLookup || !lpszKey || !lpszValue || !cchKey || !cchValue)
        return FALSE;
    const char *lpszSlash = strrchr(lpszLookup, '\\');
    if (!lpszSlash) {
        lpszKey[0] = '\0';
        return fnCopyBounded(lpszValue, cchValue, lpszLookup);
    }
    size_t cchKeyText = (size_t)(lpszSlash - lpszLookup);
    if (cchKeyText >= cchKey) {
        lpszKey[0] = lpszValue[0] = '\0';
        return FALSE;
    }
    fnCopyBoundedN(lpszKey, cchKey, lpszLookup, cchKeyText);
    return fnCopyBounded(lpszValue, cchValue, lpszSlash + 1);
}

BOOL fnRegAppendPath(char *lpszPath, size_t cchPath, const char *lpszName)
{
    if (!lpszPath || !lpszPath[0])
        return FALSE;
    if (!lpszName || !lpszName[0])
        return TRUE;
    size_t cchOld = strlen(lpszPath);
    const char *lpszJoin = "";
    if (lpszPath[cchOld - 1] == '\\') {
        if (lpszName[0] == '\\')
            lpszName++;
    } else if (lpszName[0] != '\\') {
        lpszJoin = "\\";
    }
    /* a cut path would name another key: keep the old one and report it */
    if (cchOld + strlen(lpszJoin) + strlen(lpszName) >= cchPath)
        return FALSE;
    fnAppendBounded(lpszPath, cchPath, lpszJoin);
    fnAppendBounded(lpszPath, cchPath, lpszName);
    return TRUE;
}

void fnRegEnumNext(char *lpszEnum, size_t cchEnum)
{
    if (!lpszEnum || !cchEnum)
        return;
    DWORD dwNumber = fnReadUnsigned(lpszEnum, strlen(lpszEnum), FALSE);
    fnFormatBounded(lpszEnum, cchEnum, "%04lu", (unsigned long)(dwNumber + 1));
}
