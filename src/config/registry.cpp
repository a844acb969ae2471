/*
 * config/registry.cpp -- registry reads, writes, deletions, numbered sub-key
 * lookup and shell folders over the Windows registry functions. Each
 * operation logs its inputs and outcome to the debug log under its own name;
 * every change also goes to the installation log when one is open. Keys are
 * held in RegKeyGuardStruct so that every path closes them.
 */
#include "config/registry.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "driver/winstate.h"

static const char s_szUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
static const char s_szShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

HKEY fnRootKey(UINT uRoot)
{
    switch (uRoot) {
    case REGROOT_CLASSES_ROOT: return HKEY_CLASSES_ROOT;
    case REGROOT_LOCAL_MACHINE: return HKEY_LOCAL_MACHINE;
    case REGROOT_CURRENT_USER: return HKEY_CURRENT_USER;
    case REGROOT_USERS: return HKEY_USERS;
    case REGROOT_PERFORMANCE_DATA: return HKEY_PERFORMANCE_DATA;
    case REGROOT_CURRENT_CONFIG: return HKEY_CURRENT_CONFIG;
    case REGROOT_DYN_DATA: return HKEY_DYN_DATA;
    default: return NULL;
    }
}

/* Name of a predefined key for the installation log; "" for an ordinary key. */
static const char *fnRootKeyName(HKEY hRoot)
{
    for (UINT uRoot = REGROOT_CLASSES_ROOT; uRoot < REGROOT_COUNT; uRoot++) {
        if (fnRootKey(uRoot) == hRoot)
            return fnRegRootName(uRoot);
    }
    return "";
}

static UINT fnKeyForLog(HKEY hKey)
{
    return (UINT)(ULONG_PTR)hKey;
}

HKEY fnSplitRegKey(char *lpszRegKey)
{
    char szOriginal[CCH_REG_BUF];
    fnCopyBounded(szOriginal, sizeof(szOriginal), lpszRegKey);
    HKEY hRoot = fnRootKey(fnFindRegRoot(lpszRegKey));
    fnDebugLog("fnSplitRegKey", "hRegKey=%u,\nlpszRegKey=%s,\nlpszRegSubKey=%s", g_uDebugLevel, fnKeyForLog(hRoot),
               szOriginal, lpszRegKey ? lpszRegKey : "");
    return hRoot;
}

BOOL fnGetRegistryByValue(HKEY hRoot, DWORD *lpdwType, const char *lpszKey, const char *lpszValueName,
                          char *lpszValue, size_t cchValue, UINT uMode)
{
    fnDebugLog("fnGetRegistryByValue", "lpszKey=%s,\nlpszValueName=%s,\nuMode=%u", g_uDebugLevel,
               lpszKey ? lpszKey : "", lpszValueName ? lpszValueName : "", uMode);
    if (!hRoot || !lpszKey || !lpszValue || cchValue == 0)
        return FALSE;
    RegKeyGuardStruct key;
    LONG lRC = RegOpenKeyExA(hRoot, lpszKey, 0, KEY_QUERY_VALUE, &key.hKey);
    if (lRC != ERROR_SUCCESS) {
        key.hKey = NULL;
        fnDebugLog("fnGetRegistryByValue Done", "RegOpenKeyEx failed,\nlpszKey=%s,\nlRC=%ld", g_uDebugLevel, lpszKey,
                   (long)lRC);
        return FALSE;
    }
    memset(lpszValue, 0, cchValue);
    /* one spare byte so data without its terminator can always be terminated */
    BYTE abData[CB_REG_DATA + 1];
    memset(abData, 0, sizeof(abData));
    DWORD dwType = REG_NONE;
    DWORD cbData = (DWORD)(cchValue < CB_REG_DATA ? cchValue : CB_REG_DATA);
    lRC = RegQueryValueExA(key.hKey, lpszValueName ? lpszValueName : "", NULL, &dwType, abData, &cbData);
    if (lRC != ERROR_SUCCESS) {
        fnDebugLog("fnGetRegistryByValue Done", "RegQueryValueEx failed,\nlpszValueName=%s,\nlRC=%ld", g_uDebugLevel,
                   lpszValueName ? lpszValueName : "", (long)lRC);
        return FALSE;
    }
    fnRegDataToText(dwType, abData, cbData, uMode, lpszValue, cchValue);
    if (lpdwType)
        *lpdwType = dwType;
    fnDebugLog("fnGetRegistryByValue Done", "dwType=%lu,\ncbData=%lu,\nlpszValue=%s", g_uDebugLevel,
               (unsigned long)dwType, (unsigned long)cbData, lpszValue);
    return TRUE;
}

BOOL fnGetRegistry(HKEY hRoot, DWORD *lpdwType, const char *lpszLookup, char *lpszValue, size_t cchValue, UINT uMode)
{
    char szFindKey[CCH_REG_BUF];
    char szValueName[CCH_REG_BUF];
    szFindKey[0] = szValueName[0] = '\0';
    BOOL bSplit = lpszLookup && fnSplitRegLookup(lpszLookup, szFindKey, sizeof(szFindKey), szValueName,
                                                 sizeof(szValueName));
    fnDebugLog("fnGetRegistry", "lpszLookup=%s,\nszFindKey=%s,\nlpszValue=%s", g_uDebugLevel,
               lpszLookup ? lpszLookup : "", szFindKey, szValueName);
    BOOL bFound = bSplit && fnGetRegistryByValue(hRoot, lpdwType, szFindKey, szValueName, lpszValue, cchValue, uMode);
    fnDebugLog("fnGetRegistry Done", "bFound=%d,\nlpszValue=%s", g_uDebugLevel, bFound,
               (bFound && lpszValue) ? lpszValue : "");
    return bFound;
}

BOOL fnGetRegistry(HKEY hRoot, DWORD *lpdwType, const char *lpszLookup, char *lpszValue, size_t cchValue)
{
    return fnGetRegistry(hRoot, lpdwType, lpszLookup, lpszValue, cchValue, REGCONV_RAW);
}

BOOL fnGetRegistry(HKEY hRoot, const char *lpszLookup, char *lpszValue, size_t cchValue)
{
    return fnGetRegistry(hRoot, NULL, lpszLookup, lpszValue, cchValue, REGCONV_HEX);
}

/* Converts and writes; lpszWhere names the key for the installation log. */
static BOOL fnSetValueLogged(HKEY hKey, const char *lpszWhere, const char *lpszValueName, DWORD dwType,
                             const char *lpszData, BOOL bExpand)
{
    if (!lpszValueName)
        lpszValueName = "";
    if (!lpszData)
        lpszData = "";
    /* zeroed with a spare byte so the debug entry below can show it as text */
    BYTE abData[CB_REG_DATA + 1];
    memset(abData, 0, sizeof(abData));
    DWORD cbData = 0;
    BOOL bRC = fnRegTextToData(dwType, lpszData, bExpand, abData, CB_REG_DATA, &cbData);
    LONG lRC = ERROR_INVALID_DATA;
    if (bRC) {
        lRC = RegSetValueExA(hKey, lpszValueName, 0, dwType, abData, cbData);
        bRC = (lRC == ERROR_SUCCESS);
    }
    DWORD dwData = (dwType == REG_DWORD || dwType == REG_DWORD_BIG_ENDIAN) ? fnRegTextToNumber(lpszData) : 0;
    fnDebugLog("fnRegSetValue", "bRC=%d,\nlpszFind=%s, \nlpszSet=%s, \nbData=%s,\ndwData=%lu,\ndwDataLen=%lu",
               g_uDebugLevel, bRC, lpszValueName, lpszData, reinterpret_cast<const char *>(abData),
               (unsigned long)dwData, (unsigned long)cbData);
    if (!bRC)
        fnDebugLog("fnRegSetValue", "RegSetValueEx failed,\nlpszFind=%s,\nlRC=%ld", g_uDebugLevel, lpszValueName,
                   (long)lRC);
    else
        fnWriteLog("%s, \"%s\", \"%s\", %lu, RS", TRUE, lpszWhere, lpszValueName, lpszData, (unsigned long)dwType);
    return bRC;
}

BOOL fnRegSetValue(HKEY hKey, const char *lpszValueName, DWORD dwType, const char *lpszData, BOOL bExpand)
{
    if (!hKey)
        return FALSE;
    return fnSetValueLogged(hKey, fnRootKeyName(hKey), lpszValueName, dwType, lpszData, bExpand);
}

BOOL fnRegOpenAndSet(HKEY hRoot, const char *lpszKey, const char *lpszValueName, const char *lpszData, DWORD dwType,
                     BOOL bExpand)
{
    fnDebugLog("fnRegOpenAndSet", "lpszKey=%s,\nlpszValue=%s,\nlpszData=%s,\ndwType=%lu,\nbExpand=%d", g_uDebugLevel,
               lpszKey ? lpszKey : "", lpszValueName ? lpszValueName : "", lpszData ? lpszData : "",
               (unsigned long)dwType, bExpand);
    if (!hRoot || !lpszKey)
        return FALSE;
    RegKeyGuardStruct key;
    DWORD dwDisposition = 0;
    char szClass[] = "";
    LONG lRC = RegCreateKeyExA(hRoot, lpszKey, 0, szClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key.hKey,
                               &dwDisposition);
    if (lRC != ERROR_SUCCESS) {
        key.hKey = NULL;
        fnDebugLog("fnRegOpenAndSet", "RegCreateKeyEx failed,\nlpszKey=%s,\nlRC=%ld", g_uDebugLevel, lpszKey,
                   (long)lRC);
        return FALSE;
    }
    char szWhere[CCH_REG_BUF];
    fnFormatBounded(szWhere, sizeof(szWhere), "%s\\%s", fnRootKeyName(hRoot), lpszKey);
    return fnSetValueLogged(key.hKey, szWhere, lpszValueName, dwType, lpszData, bExpand);
}

BOOL fnRegDelValue(HKEY hRoot, const char *lpszKey, const char *lpszValueName)
{
    LONG lRC = ERROR_BADKEY;
    if (hRoot && lpszKey && lpszKey[0] && lpszValueName && lpszValueName[0]) {
        RegKeyGuardStruct key;
        lRC = RegOpenKeyExA(hRoot, lpszKey, 0, KEY_ALL_ACCESS, &key.hKey);
        if (lRC == ERROR_SUCCESS)
            lRC = RegDeleteValueA(key.hKey, lpszValueName);
        else
            key.hKey = NULL;
    }
    fnDebugLog("fnRegDelValue", "lpszKey=%s,\nlpszValue=%s,\ndwRC=%lu", g_uDebugLevel, lpszKey ? lpszKey : "",
               lpszValueName ? lpszValueName : "", (unsigned long)lRC);
    if (lRC != ERROR_SUCCESS)
        return FALSE;
    fnWriteLog("%s\\%s, \"%s\", RD", TRUE, fnRootKeyName(hRoot), lpszKey, lpszValueName);
    return TRUE;
}

BOOL fnRegDelAllValues(HKEY hRoot, const char *lpszKey)
{
    if (!hRoot || !lpszKey || !lpszKey[0]) {
        fnDebugLog("fnRegDelAllValues", "lpszKey=%s,\ndwRC=%lu", g_uDebugLevel, lpszKey ? lpszKey : "",
                   (unsigned long)ERROR_BADKEY);
        return FALSE;
    }
    RegKeyGuardStruct key;
    LONG lRC = RegOpenKeyExA(hRoot, lpszKey, 0, KEY_ALL_ACCESS, &key.hKey);
    if (lRC != ERROR_SUCCESS) {
        key.hKey = NULL;
        fnDebugLog("fnRegDelAllValues", "RegOpenKeyEx failed,\nlpszKey=%s,\ndwRC=%lu", g_uDebugLevel, lpszKey,
                   (unsigned long)lRC);
        return FALSE;
    }
    DWORD dwDeleted = 0;
    for (;;) {
        char szName[CCH_REG_BUF];
        DWORD cchName = sizeof(szName);
        lRC = RegEnumValueA(key.hKey, 0, szName, &cchName, NULL, NULL, NULL, NULL);
        if (lRC == ERROR_NO_MORE_ITEMS) {
            lRC = ERROR_SUCCESS;
            break;
        }
        if (lRC != ERROR_SUCCESS)
            break;
        lRC = RegDeleteValueA(key.hKey, szName);
        if (lRC != ERROR_SUCCESS)
            break;
        dwDeleted++;
    }
    fnDebugLog("fnRegDelAllValues", "lpszKey=%s,\ndwDeleted=%lu,\ndwRC=%lu", g_uDebugLevel, lpszKey,
               (unsigned long)dwDeleted, (unsigned long)lRC);
    if (dwDeleted)
        fnWriteLog("%s\\%s, %lu, RV", TRUE, fnRootKeyName(hRoot), lpszKey, (unsigned long)dwDeleted);
    return lRC == ERROR_SUCCESS;
}

/* Deletes lpszKey under hParent with every sub-key below it; returns the system's code. */
static LONG fnDeleteBranchCore(HKEY hParent, const char *lpszKey)
{
    LONG lRC;
    {
        RegKeyGuardStruct key;
        lRC = RegOpenKeyExA(hParent, lpszKey, 0, DELETE | KEY_ENUMERATE_SUB_KEYS, &key.hKey);
        if (lRC != ERROR_SUCCESS) {
            key.hKey = NULL;
            return lRC;
        }
        for (;;) {
            char szSubKey[CCH_REG_BUF];
            DWORD cchSubKey = sizeof(szSubKey);
            lRC = RegEnumKeyExA(key.hKey, 0, szSubKey, &cchSubKey, NULL, NULL, NULL, NULL);
            if (lRC == ERROR_NO_MORE_ITEMS)
                break;
            if (lRC != ERROR_SUCCESS)
                return lRC;
            lRC = fnDeleteBranchCore(key.hKey, szSubKey);
            if (lRC != ERROR_SUCCESS)
                return lRC;
        }
    }
    /* the key is closed above: it is deleted from its parent only once nothing holds it */
    return RegDeleteKeyA(hParent, lpszKey);
}

BOOL fnRegDelBranch(HKEY hRoot, const char *lpszKey)
{
    LONG lRC = ERROR_BADKEY;
    if (hRoot && lpszKey && lpszKey[0])
        lRC = fnDeleteBranchCore(hRoot, lpszKey);
    fnDebugLog("fnRegDelBranch", "lpszKey=%s,\ndwRC=%lu", g_uDebugLevel, lpszKey ? lpszKey : "", (unsigned long)lRC);
    if (lRC != ERROR_SUCCESS)
        return FALSE;
    fnWriteLog("%s\\%s, RK", TRUE, fnRootKeyName(hRoot), lpszKey);
    return TRUE;
}

BOOL fnRegDelKey(HKEY hRoot, const char *lpszKey)
{
    fnRegDelAllValues(hRoot, lpszKey);
    return fnRegDelBranch(hRoot, lpszKey);
}

/* The value's text (raw, terminated) when it exists. */
static BOOL fnQueryTestValue(HKEY hKey, const char *lpszName, char *lpszText, size_t cchText)
{
    BYTE abData[CB_REG_DATA + 1];
    memset(abData, 0, sizeof(abData));
    DWORD cbData = CB_REG_DATA;
    DWORD dwType = REG_NONE;
    if (RegQueryValueExA(hKey, lpszName, NULL, &dwType, abData, &cbData) != ERROR_SUCCESS)
        return FALSE;
    fnRegDataToText(dwType, abData, cbData, REGCONV_RAW, lpszText, cchText);
    return TRUE;
}

static BOOL fnBeginsWith(const char *lpszText, const char *lpszPrefix)
{
    return fnPrefixNoCase(lpszText, lpszPrefix, strlen(lpszPrefix));
}

/* Whether one numbered sub-key passes the enumeration tests. */
static BOOL fnEnumSubKeyPasses(HKEY hKey, const char *lpszSubKey, const char *lpszTestValue,
                               const char *lpszTestData, const char *lpszTestValue2, const char *lpszTestData2)
{
    RegKeyGuardStruct sub;
    if (RegOpenKeyExA(hKey, lpszSubKey, 0, KEY_READ, &sub.hKey) != ERROR_SUCCESS) {
        sub.hKey = NULL;
        return FALSE;
    }
    char szText[CCH_REG_BUF];
    if (lpszTestValue && lpszTestValue[0]) {
        if (!fnQueryTestValue(sub.hKey, lpszTestValue, szText, sizeof(szText)))
            return FALSE;
        if (lpszTestData && lpszTestData[0] && !fnBeginsWith(szText, lpszTestData))
            return FALSE;
    }
    if (!lpszTestValue2 || !lpszTestValue2[0])
        return TRUE;
    /* unlike the first test, an empty second test text never passes */
    if (!fnQueryTestValue(sub.hKey, lpszTestValue2, szText, sizeof(szText)))
        return FALSE;
    return lpszTestData2 && lpszTestData2[0] && fnBeginsWith(szText, lpszTestData2);
}

BOOL fnRegGetEnum(HKEY hRoot, const char *lpszKey, const char *lpszTestValue, const char *lpszTestData,
                  const char *lpszTestValue2, const char *lpszTestData2, const char *lpszAction, char *lpszEnum,
                  size_t cchEnum)
{
    if (!lpszEnum || cchEnum == 0)
        return TRUE;
    char chAction = (lpszAction && lpszAction[0]) ? fnUpperAscii(lpszAction[0]) : '\0';
    fnCopyBounded(lpszEnum, cchEnum, "0000");
    DWORD dwIndex = 0, dwcSubKeys = 0, dwcValues = 0;
    BOOL bOpened = FALSE;
    if (hRoot && lpszKey) {
        RegKeyGuardStruct key;
        if (RegOpenKeyExA(hRoot, lpszKey, 0, KEY_READ, &key.hKey) == ERROR_SUCCESS) {
            bOpened = TRUE;
            if (RegQueryInfoKeyA(key.hKey, NULL, NULL, NULL, &dwcSubKeys, NULL, NULL, &dwcValues, NULL, NULL, NULL,
                                 NULL) != ERROR_SUCCESS)
                dwcSubKeys = 0;
            if (dwcSubKeys > 0) {
                BOOL bPassed = FALSE;
                for (dwIndex = 0;; dwIndex++) {
                    char szSubKey[CCH_REG_BUF];
                    DWORD cchSubKey = sizeof(szSubKey);
                    LONG lRC = RegEnumKeyExA(key.hKey, dwIndex, szSubKey, &cchSubKey, NULL, NULL, NULL, NULL);
                    if (lRC == ERROR_SUCCESS &&
                        fnEnumSubKeyPasses(key.hKey, szSubKey, lpszTestValue, lpszTestData, lpszTestValue2,
                                           lpszTestData2)) {
                        fnCopyBounded(lpszEnum, cchEnum, szSubKey);
                        bPassed = TRUE;
                    }
                    if (chAction == 'F' || lRC != ERROR_SUCCESS || bPassed)
                        break;
                }
                if (!bPassed)
                    fnFormatBounded(lpszEnum, cchEnum, "%04lu", (unsigned long)(dwcSubKeys - 1));
            }
        } else {
            key.hKey = NULL;
        }
    }
    /* a key that cannot be opened gives "0000" whatever the action */
    if (bOpened && chAction == 'N')
        fnRegEnumNext(lpszEnum, cchEnum);
    fnDebugLog("fnRegGetEnum Done",
               "dwIndex=%lu, dwcSubKeys=%lu, dwcValues=%lu,\nlpszLookup=%s,\nlpszTestValue=%s,\nlpszTestData=%s,\n"
               "lpszAction=%s,\nlpszEnum=%s",
               g_uDebugLevel, (unsigned long)dwIndex, (unsigned long)dwcSubKeys, (unsigned long)dwcValues,
               lpszKey ? lpszKey : "", lpszTestValue ? lpszTestValue : "", lpszTestData ? lpszTestData : "",
               lpszAction ? lpszAction : "", lpszEnum);
    return TRUE;
}

static BOOL fnGetShellFolder(HKEY hRoot, const char *lpszTitle, const char *lpszFolder, char *lpszPath,
                             size_t cchPath, UINT uDefaultId)
{
    if (!lpszPath || cchPath == 0)
        return FALSE;
    BOOL bFound = FALSE;
    if (lpszFolder) {
        char szLookup[CCH_REG_BUF];
        fnFormatBounded(szLookup, sizeof(szLookup), "%s\\%s", s_szUserShellFolders, lpszFolder);
        bFound = fnGetRegistry(hRoot, szLookup, lpszPath, cchPath);
        if (!bFound) {
            fnFormatBounded(szLookup, sizeof(szLookup), "%s\\%s", s_szShellFolders, lpszFolder);
            bFound = fnGetRegistry(hRoot, szLookup, lpszPath, cchPath);
        }
    }
    if (!bFound) {
        char szDefault[CCH_PATH];
        fnLoadStr(uDefaultId, szDefault, sizeof(szDefault));
        const char *lpszName = szDefault;
        while (*lpszName == '\\')
            lpszName++;
        size_t cchWin = strlen(g_szWinDir);
        BOOL bSlash = cchWin > 0 && g_szWinDir[cchWin - 1] == '\\';
        fnFormatBounded(lpszPath, cchPath, "%s%s%s", g_szWinDir, (bSlash || !lpszName[0]) ? "" : "\\", lpszName);
    }
    fnDebugLog(lpszTitle, "lpszFolder=%s,\nbFound=%d,\nlpszPath=%s", g_uDebugLevel, lpszFolder ? lpszFolder : "",
               bFound, lpszPath);
    return bFound;
}

BOOL fnGetCommonShellFolder(const char *lpszFolder, char *lpszPath, size_t cchPath, UINT uDefaultId)
{
    return fnGetShellFolder(HKEY_LOCAL_MACHINE, "fnGetCommonShellFolder", lpszFolder, lpszPath, cchPath, uDefaultId);
}

BOOL fnGetUserShellFolder(const char *lpszFolder, char *lpszPath, size_t cchPath, UINT uDefaultId)
{
    return fnGetShellFolder(HKEY_CURRENT_USER, "fnGetUserShellFolder", lpszFolder, lpszPath, cchPath, uDefaultId);
}

BOOL fnRegValueExists(HKEY hRoot, const char *lpszKey, const char *lpszValueName)
{
    if (!hRoot || !lpszKey)
        return FALSE;
    RegKeyGuardStruct key;
    LONG lRC = RegOpenKeyExA(hRoot, lpszKey, 0, KEY_QUERY_VALUE, &key.hKey);
    if (lRC != ERROR_SUCCESS) {
        key.hKey = NULL;
    } else {
        /* no data buffer: a value of any size answers */
        lRC = RegQueryValueExA(key.hKey, lpszValueName ? lpszValueName : "", NULL, NULL, NULL, NULL);
    }
    fnDebugLog("fnRegValueExists", "lpszKey=%s,\nlpszValueName=%s,\nlRC=%ld", g_uDebugLevel, lpszKey,
               lpszValueName ? lpszValueName : "", (long)lRC);
    return lRC == ERROR_SUCCESS;
}

BOOL fnRegRenameValue(HKEY hRoot, const char *lpszKey, const char *lpszValueName, const char *lpszNewName)
{
    if (!lpszValueName)
        lpszValueName = "";
    fnDebugLog("fnRegRenameValue", "lpszKey=%s,\nlpszValueName=%s,\nlpszNewName=%s", g_uDebugLevel,
               lpszKey ? lpszKey : "", lpszValueName, lpszNewName ? lpszNewName : "");
    if (!hRoot || !lpszKey || !lpszNewName || !lpszNewName[0])
        return FALSE;
    RegKeyGuardStruct key;
    LONG lRC = RegOpenKeyExA(hRoot, lpszKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key.hKey);
    if (lRC != ERROR_SUCCESS) {
        key.hKey = NULL;
        fnDebugLog("fnRegRenameValue", "RegOpenKeyEx failed,\nlRC=%ld", g_uDebugLevel, (long)lRC);
        return FALSE;
    }
    DWORD dwType = REG_NONE, cbData = 0;
    lRC = RegQueryValueExA(key.hKey, lpszValueName, NULL, &dwType, NULL, &cbData);
    if (lRC != ERROR_SUCCESS) {
        fnDebugLog("fnRegRenameValue", "RegQueryValueEx failed,\nlRC=%ld", g_uDebugLevel, (long)lRC);
        return FALSE;
    }
    /* the same value whatever the case of its name: nothing to move, nothing to delete */
    if (fnEqualNoCase(lpszValueName, lpszNewName))
        return TRUE;
    /* the whole data, however long: a rename must not shorten what it moves */
    BYTE *lpData = NULL;
    for (int nTry = 0; nTry < 3; nTry++) {
        free(lpData);
        lpData = (BYTE *)malloc(cbData + 2);
        if (!lpData)
            return FALSE;
        DWORD cbRead = cbData;
        lRC = RegQueryValueExA(key.hKey, lpszValueName, NULL, &dwType, lpData, &cbRead);
        if (lRC != ERROR_MORE_DATA) {
            cbData = cbRead;
            break;
        }
        cbData = cbRead;
    }
    if (lRC == ERROR_SUCCESS)
        lRC = RegSetValueExA(key.hKey, lpszNewName, 0, dwType, lpData, cbData);
    char szText[CCH_REG_BUF];
    szText[0] = '\0';
    if (lRC == ERROR_SUCCESS)
        fnRegDataToText(dwType, lpData, cbData, REGCONV_HEX, szText, sizeof(szText));
    free(lpData);
    if (lRC != ERROR_SUCCESS) {
        fnDebugLog("fnRegRenameValue", "copy failed,\nlRC=%ld", g_uDebugLevel, (long)lRC);
        return FALSE;
    }
    const char *lpszRoot = fnRootKeyName(hRoot);
    fnWriteLog("%s\\%s, \"%s\", \"%s\", %lu, RS", TRUE, lpszRoot, lpszKey, lpszNewName, szText,
               (unsigned long)dwType);
    /* the old value goes only now that its copy stands; the default value is named by "" */
    lRC = RegDeleteValueA(key.hKey, lpszValueName);
    fnDebugLog("fnRegRenameValue Done", "dwType=%lu,\ncbData=%lu,\nlRC=%ld", g_uDebugLevel, (unsigned long)dwType,
               (unsigned long)cbData, (long)lRC);
    if (lRC != ERROR_SUCCESS)
        return FALSE;
    fnWriteLog("%s\\%s, \"%s\", RD", TRUE, lpszRoot, lpszKey, lpszValueName);
    return TRUE;
}
