/*
 * script/keytable.h -- the keys a section reader knows, as one table per
 * reader. The reader looks its keys up in its table and the script checker
 * reads the same tables, so the two cannot drift apart. A table ends with a
 * row whose lpszKey is NULL.
 */
#ifndef TG_SCRIPT_KEYTABLE_H
#define TG_SCRIPT_KEYTABLE_H

#include "common/tgtypes.h"

struct SectionKeyStruct {
    const char *lpszKey;  /* compared without regard to case */
    int nId;              /* the reader's own code for the key */
};

/* The row's nId for lpszKey, or -1 when the table has no such key. */
int fnFindSectionKey(const SectionKeyStruct *lpKeys, const char *lpszKey);

#endif
