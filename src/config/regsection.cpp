/*
 * config/regsection.cpp -- the registry section line rules: keyword table,
 * field layouts, result slots, Check outcomes, Match, drive-path trimming and
 * the guard for deletes on paths that options built. No registry calls here.
 */
#include "config/regsection.h"

#include <string.h>

#include "common/bounded.h"
#include "script/expand.h"
#include "script/textmodel.h"

const SectionKeyStruct g_aRegistryKeys[] = {
    {"Edit", REGLINE_EDIT},
    {"RenameKey", REGLINE_RENAMEKEY},
    {"RenameValue", REGLINE_RENAMEVALUE},
    {"DeleteValue", REGLINE_DELETEVALUE},
    {"DeleteValues", REGLINE_DELETEVALUES},
    {"DeleteKey", REGLINE_DELETEKEY},
    {"DeleteBranch", REGLINE_DELETEBRANCH},
    {"Enum", REGLINE_ENUM},
    {"Read", REGLINE_READ},
    {"ReadValue", REGLINE_READVALUE},
    {"Check", REGLINE_CHECK},
    {"Match", REGLINE_MATCH},
    {"ExpandDelims", REGLINE_EXPANDDELIMS},
    {"BackupDir", REGLINE_BACKUPDIR},
    {"TrimTrailingSlash", REGLINE_TRIMSLASH},
    {NULL, 0},
};

/* Where a field of a line goes. */
enum { F_END = 0, F_TYPE, F_KEY, F_NAME, F_NEWNAME, F_VALUE, F_TEST2, F_CHECKVALUE, F_ACTION, F_MESSAGE,
       F_PROGRAM, F_EXACT };

#define MAX_REGLINE_FIELDS 7

struct RegLayoutStruct {
    int nKey;
    const char *lpszPreset;               /* action word before the fields are read */
    int anField[MAX_REGLINE_FIELDS];      /* fields 1 to 7 */
};

static const RegLayoutStruct s_aLayouts[] = {
    {REGLINE_EDIT, "PROMPT", {F_TYPE, F_KEY, F_NAME, F_VALUE, F_ACTION}},
    /* the renames have no type field */
    {REGLINE_RENAMEKEY, "PROMPT", {F_KEY, F_NAME, F_NEWNAME, F_ACTION}},
    {REGLINE_RENAMEVALUE, "PROMPT", {F_KEY, F_NAME, F_NEWNAME, F_ACTION}},
    {REGLINE_DELETEVALUE, "PROMPT", {F_TYPE, F_KEY, F_NAME, F_ACTION}},
    {REGLINE_DELETEVALUES, "PROMPT", {F_TYPE, F_KEY, F_ACTION}},
    {REGLINE_DELETEKEY, "PROMPT", {F_TYPE, F_KEY, F_ACTION}},
    {REGLINE_DELETEBRANCH, "PROMPT", {F_TYPE, F_KEY, F_ACTION}},
    {REGLINE_ENUM, "L", {F_TYPE, F_KEY, F_NAME, F_VALUE, F_TEST2, F_CHECKVALUE, F_ACTION}},
    {REGLINE_READ, "", {F_TYPE, F_KEY, F_ACTION}},
    {REGLINE_READVALUE, "", {F_TYPE, F_KEY, F_NAME, F_ACTION}},
    {REGLINE_CHECK, "", {F_TYPE, F_KEY, F_NAME, F_VALUE, F_ACTION, F_MESSAGE, F_PROGRAM}},
    {REGLINE_MATCH, "", {F_TYPE, F_KEY, F_CHECKVALUE, F_EXACT}},
};

static const RegLayoutStruct *fnFindLayout(int nKey)
{
    for (size_t i = 0; i < sizeof(s_aLayouts) / sizeof(s_aLayouts[0]); i++) {
        if (s_aLayouts[i].nKey == nKey)
            return &s_aLayouts[i];
    }
    return NULL;
}

void fnRegTakeFields(char *lpszLine, int nKey, RegLineStruct *lpLine)
{
    memset(lpLine, 0, sizeof(*lpLine));
    lpLine->nKey = nKey;
    lpLine->bExact = TRUE;
    const RegLayoutStruct *lpLayout = fnFindLayout(nKey);
    if (!lpLayout)
        return;
    fnCopyBounded(lpLine->szRegCheckAction, sizeof(lpLine->szRegCheckAction), lpLayout->lpszPreset);
    for (int i = 0; i < MAX_REGLINE_FIELDS && lpLayout->anField[i] != F_END; i++) {
        char szField[CCH_FIELD_BUF];
        /* a missing or empty field keeps what the record holds (the preset action) */
        if (!fnInfParseField(lpszLine, i + 1, szField, sizeof(szField)) || !szField[0])
            continue;
        char *lpszTo = NULL;
        size_t cchTo = 0;
        switch (lpLayout->anField[i]) {
        case F_TYPE: lpszTo = lpLine->szType; cchTo = sizeof(lpLine->szType); break;
        case F_KEY: lpszTo = lpLine->szRegKey; cchTo = sizeof(lpLine->szRegKey); break;
        case F_NAME: lpszTo = lpLine->szRegKeyName; cchTo = sizeof(lpLine->szRegKeyName); break;
        case F_NEWNAME: lpszTo = lpLine->szRegNewKeyName; cchTo = sizeof(lpLine->szRegNewKeyName); break;
        case F_VALUE: lpszTo = lpLine->szRegValue; cchTo = sizeof(lpLine->szRegValue); break;
        case F_TEST2: lpszTo = lpLine->szTestValue2; cchTo = sizeof(lpLine->szTestValue2); break;
        case F_CHECKVALUE: lpszTo = lpLine->szRegCheckValue; cchTo = sizeof(lpLine->szRegCheckValue); break;
        case F_ACTION: lpszTo = lpLine->szRegCheckAction; cchTo = sizeof(lpLine->szRegCheckAction); break;
        case F_MESSAGE: lpszTo = lpLine->szMessage; cchTo = sizeof(lpLine->szMessage); break;
        case F_PROGRAM: lpszTo = lpLine->szProgram; cchTo = sizeof(lpLine->szProgram); break;
        case F_EXACT: {
            char c = fnUpperAscii(szField[0]);
            if (c == 'Y')
                lpLine->bExact = TRUE;
            else if (c == 'N')
                lpLine->bExact = FALSE;
            break;
        }
        }
        if (lpszTo)
            fnCopyBounded(lpszTo, cchTo, szField);
    }
}

BOOL fnRegLineStoresResult(int nKey)
{
    return nKey == REGLINE_READ || nKey == REGLINE_READVALUE || nKey == REGLINE_MATCH || nKey == REGLINE_ENUM;
}

BOOL fnRegLineDeletes(int nKey)
{
    return nKey == REGLINE_RENAMEKEY || nKey == REGLINE_RENAMEVALUE || nKey == REGLINE_DELETEVALUE ||
           nKey == REGLINE_DELETEVALUES || nKey == REGLINE_DELETEKEY || nKey == REGLINE_DELETEBRANCH;
}

BOOL fnRegStoreResult(char (*lpaszSlots)[CCH_REGVALUE], int nSlots, int *lpnReg, const char *lpszResult)
{
    int nAt = (*lpnReg)++;
    if (nAt < 0 || nAt >= nSlots)
        return FALSE;
    fnCopyBounded(lpaszSlots[nAt], CCH_REGVALUE, lpszResult ? lpszResult : "");
    return TRUE;
}

void fnRegTrimDriveSlash(char *lpszText)
{
    size_t cch = strlen(lpszText);
    if (cch < 3 || lpszText[1] != ':')
        return;
    char cLast = lpszText[cch - 1];
    if ((cLast == '\\' || cLast == '/') && lpszText[cch - 2] != ':')
        lpszText[cch - 1] = '\0';
}

BOOL fnRegMatches(const char *lpszValue, const char *lpszCompare, BOOL bExact)
{
    if (bExact)
        return fnEqualNoCase(lpszValue, lpszCompare);
    size_t cch = strlen(lpszCompare);
    return cch > 0 && fnPrefixNoCase(lpszValue, lpszCompare, cch);
}

UINT fnRegCheckOutcome(const char *lpszAction, BOOL bFound, BOOL bEqual, UINT *lpuMsg)
{
    *lpuMsg = 0;
    if (fnEqualNoCase(lpszAction, "EXIT"))
        return (!bFound || bEqual) ? REGCHECK_STOP : REGCHECK_NEXT;
    if (fnEqualNoCase(lpszAction, "CONTINUE"))
        return (bFound && !bEqual) ? REGCHECK_STOP : REGCHECK_NEXT;
    if (fnEqualNoCase(lpszAction, "PROMPTMATCH")) {
        if (!bFound || !bEqual)
            return REGCHECK_NEXT;
        *lpuMsg = 1282;
        return REGCHECK_ASK;
    }
    if (fnEqualNoCase(lpszAction, "PROMPT")) {
        if (bFound && bEqual)
            return REGCHECK_NEXT;
        *lpuMsg = bFound ? 1284 : 1286;
        return REGCHECK_ASK;
    }
    if (fnEqualNoCase(lpszAction, "FATAL"))
        return (bFound && bEqual) ? REGCHECK_NEXT : REGCHECK_FATAL;
    return REGCHECK_NEXT;
}

BOOL fnRegBuiltPathUnsafe(const char *lpszSubKey, int nExpandRC)
{
    if (nExpandRC == EXPAND_MISSING || !lpszSubKey || !lpszSubKey[0])
        return TRUE;
    size_t cch = strlen(lpszSubKey);
    if (lpszSubKey[cch - 1] == '\\' || lpszSubKey[cch - 1] == '/')
        return TRUE;
    return strstr(lpszSubKey, "\\\\") != NULL || strstr(lpszSubKey, "\\/") != NULL ||
           strstr(lpszSubKey, "/\\") != NULL;
}
