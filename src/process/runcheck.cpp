/*
 * process/runcheck.cpp -- the decisions of [CheckIfRunning] and the close
 * sections that need no system call.
 */
#include "process/runcheck.h"

#include <string.h>

#include "common/bounded.h"

const SectionKeyStruct g_aCheckIfRunningKeys[] = {{"CheckFor", CIRKEY_CHECKFOR},
                                                  {"Action", CIRKEY_ACTION},
                                                  {"Caption", CIRKEY_CAPTION},
                                                  {"Message", CIRKEY_MESSAGE},
                                                  {"ShowFiles", CIRKEY_SHOWFILES},
                                                  {NULL, 0}};

UINT fnCheckRunAction(const char *lpszWord)
{
    static const char *const s_aWords[] = {"ONFINDEXIT", "ONFINDCONT", "NOFINDEXIT", "NOFINDCONT"};
    for (UINT i = 0; i < 4; i++)
        if (fnPrefixNoCase(lpszWord, s_aWords[i], 10))
            return i + 1;
    return CIRACT_NONE;
}

/* Appends lpszName to a ", "-joined list; the list is cut at its size. */
static void fnAddToList(char *lpszList, size_t cchList, const char *lpszName)
{
    if (lpszList[0])
        fnAppendBounded(lpszList, cchList, ", ");
    fnAppendBounded(lpszList, cchList, lpszName);
}

int fnSplitRunningList(const char *lpszList, RunningTestProc pfnRunning, char *lpszFound, size_t cchFound,
                       char *lpszMissing, size_t cchMissing)
{
    lpszFound[0] = lpszMissing[0] = '\0';
    int nFound = 0;
    const char *p = lpszList;
    while (p && *p) {
        const char *lpszComma = strchr(p, ',');
        size_t cch = lpszComma ? (size_t)(lpszComma - p) : strlen(p);
        while (cch && (*p == ' ' || *p == '\t')) {
            p++;
            cch--;
        }
        while (cch && (p[cch - 1] == ' ' || p[cch - 1] == '\t'))
            cch--;
        if (cch && cch < CCH_CHECKFOR_LIST) {
            char szName[CCH_CHECKFOR_LIST];
            memcpy(szName, p, cch);
            szName[cch] = '\0';
            if (pfnRunning(szName)) {
                nFound++;
                fnAddToList(lpszFound, cchFound, szName);
            } else {
                fnAddToList(lpszMissing, cchMissing, szName);
            }
        }
        p = lpszComma ? lpszComma + 1 : NULL;
    }
    return nFound;
}

UINT fnCheckRunStatus(UINT uAction, BOOL bAnyFound, BOOL *lpbShow)
{
    BOOL bHeld = bAnyFound ? (uAction == CIRACT_ONFINDEXIT || uAction == CIRACT_ONFINDCONT)
                           : (uAction == CIRACT_NOFINDEXIT || uAction == CIRACT_NOFINDCONT);
    *lpbShow = bHeld;
    if (bHeld && (uAction == CIRACT_ONFINDEXIT || uAction == CIRACT_NOFINDEXIT))
        return 7;
    return 1;
}

void fnCheckRunMessage(const char *lpszMessage, BOOL bShowFiles, const char *lpszList, char *lpszOut, size_t cchOut)
{
    if (bShowFiles)
        fnFormatBounded(lpszOut, cchOut, "%s\n%s", lpszMessage, lpszList);
    else
        fnCopyBounded(lpszOut, cchOut, lpszMessage);
}

UINT fnCloseAnswer(int nButtonId)
{
    switch (nButtonId) {
    case 1:  /* IDOK */
    case 6:  /* IDYES */
        return CLOSEANS_CLOSE;
    case 115:  /* the message window's Exit */
        return CLOSEANS_EXIT;
    }
    return CLOSEANS_SKIP;
}
