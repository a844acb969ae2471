/*
 * script/keytable.cpp -- lookup in a section reader's key table.
 */
#include "script/keytable.h"

#include "common/bounded.h"

int fnFindSectionKey(const SectionKeyStruct *lpKeys, const char *lpszKey)
{
    if (!lpKeys || !lpszKey)
        return -1;
    for (; lpKeys->lpszKey; lpKeys++) {
        if (fnEqualNoCase(lpKeys->lpszKey, lpszKey))
            return lpKeys->nId;
    }
    return -1;
}
