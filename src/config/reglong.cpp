/*
 * config/reglong.cpp -- long registry string values (config/reglong.h).
 */
#include "config/reglong.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/registry.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"

LONG fnRegReadTextAlloc(HKEY hRoot, const char *lpszKey, const char *lpszName, DWORD *lpdwType,
                        TextBufStruct *lpText, size_t cchMax)
{
    fnTextBufReset(lpText);
    RegKeyGuardStruct key;
    LONG lRC = RegOpenKeyExA(hRoot, lpszKey, 0, KEY_QUERY_VALUE, &key.hKey);
    if (lRC != ERROR_SUCCESS) {
        key.hKey = NULL;
        fnDebugLog("fnRegReadTextAlloc", "RegOpenKeyEx failed,\nlpszKey=%s,\nlRC=%ld", g_uDebugLevel, lpszKey,
                   (long)lRC);
        return lRC;
    }
    DWORD dwType = REG_NONE;
    BYTE *lpData = NULL;
    DWORD cbData = 0;
    /* the value may grow between the size query and the read: ask again then */
    for (int nTry = 0; nTry < 4; nTry++) {
        cbData = 0;
        lRC = RegQueryValueExA(key.hKey, lpszName, NULL, &dwType, NULL, &cbData);
        if (lRC != ERROR_SUCCESS)
            break;
        if (dwType != REG_SZ && dwType != REG_EXPAND_SZ) {
            lRC = ERROR_INVALID_DATATYPE;
            break;
        }
        /* DBCS text may take two bytes a character; beyond that the text is too long anyway */
        if (cbData > (cchMax + 1) * 2) {
            lRC = ERROR_MORE_DATA;
            break;
        }
        free(lpData);
        lpData = (BYTE *)malloc((size_t)cbData + 2);
        if (!lpData) {
            lRC = ERROR_NOT_ENOUGH_MEMORY;
            break;
        }
        DWORD cbRead = cbData;
        lRC = RegQueryValueExA(key.hKey, lpszName, NULL, &dwType, lpData, &cbRead);
        if (lRC == ERROR_MORE_DATA)
            continue;
        cbData = cbRead;
        break;
    }
    if (lRC == ERROR_SUCCESS && dwType != REG_SZ && dwType != REG_EXPAND_SZ)
        lRC = ERROR_INVALID_DATATYPE;
    if (lRC == ERROR_SUCCESS) {
        /* stored data need not be terminated, and text ends at its first NUL */
        lpData[cbData] = '\0';
        size_t cch = strnlen((const char *)lpData, cbData);
        if (cch > cchMax)
            lRC = ERROR_MORE_DATA;
        else if (!fnTextBufAppendN(lpText, (const char *)lpData, cch))
            lRC = ERROR_NOT_ENOUGH_MEMORY;
        else if (lpdwType)
            *lpdwType = dwType;
    }
    free(lpData);
    fnDebugLog("fnRegReadTextAlloc", "lpszKey=%s,\nlpszName=%s,\ndwType=%lu,\ncch=%lu,\nlRC=%ld", g_uDebugLevel,
               lpszKey, lpszName, (unsigned long)dwType, (unsigned long)lpText->cch, (long)lRC);
    return lRC;
}

BOOL fnRegWriteTextLong(HKEY hRoot, const char *lpszKey, const char *lpszName, DWORD dwType, const char *lpszText,
                        size_t cchMax)
{
    size_t cchText = strlen(lpszText);
    if (cchText > cchMax || (dwType != REG_SZ && dwType != REG_EXPAND_SZ)) {
        fnDebugLog("fnRegWriteTextLong", "Refused,\nlpszName=%s,\ndwType=%lu,\ncch=%lu", g_uDebugLevel, lpszName,
                   (unsigned long)dwType, (unsigned long)cchText);
        return FALSE;
    }
    RegKeyGuardStruct key;
    DWORD dwDisposition = 0;
    LONG lRC = RegCreateKeyExA(hRoot, lpszKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, NULL, &key.hKey,
                               &dwDisposition);
    if (lRC == ERROR_SUCCESS)
        lRC = RegSetValueExA(key.hKey, lpszName, 0, dwType, (const BYTE *)lpszText, (DWORD)(cchText + 1));
    else
        key.hKey = NULL;
    fnDebugLog("fnRegWriteTextLong", "lpszKey=%s,\nlpszName=%s,\ndwType=%lu,\ncch=%lu,\nlRC=%ld", g_uDebugLevel,
               lpszKey, lpszName, (unsigned long)dwType, (unsigned long)cchText, (long)lRC);
    if (lRC != ERROR_SUCCESS)
        return FALSE;
    char szRoot[CCH_TITLE] = "";
    for (UINT uRoot = REGROOT_CLASSES_ROOT; uRoot < REGROOT_COUNT; uRoot++) {
        if (fnRootKey(uRoot) == hRoot)
            fnCopyBounded(szRoot, sizeof(szRoot), fnRegRootName(uRoot));
    }
    fnWriteLog("%s\\%s, \"%s\", \"%s\", %lu, RS", TRUE, szRoot, lpszKey, lpszName, lpszText, (unsigned long)dwType);
    return TRUE;
}
