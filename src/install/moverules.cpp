/*
 * install/moverules.cpp -- flag letters, delays, tree words and the guarded
 * folders of the move, rename and delete sections. See moverules.h.
 */
#include "install/moverules.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "install/filerules.h"

void fnDecodeMoveFlags(const char *lpszFlags, BOOL bPresent, IFStruct *lpIF)
{
    const char *f = bPresent ? (lpszFlags ? lpszFlags : "") : "M";
    lpIF->bRecurse = FALSE;
    if (*f == '+') {
        lpIF->bRecurse = TRUE;
        f++;
    }
    size_t cch = strlen(f);
    char c1 = cch > 0 ? fnUpperAscii(f[0]) : '\0';
    char c2 = cch > 1 ? fnUpperAscii(f[1]) : '\0';
    char c3 = cch > 2 ? fnUpperAscii(f[2]) : '\0';
    char c4 = cch > 3 ? fnUpperAscii(f[3]) : '\0';

    UINT uAttrib = MOVEATTR_NORMAL, uDir = MOVEDIR_GOON;
    switch (c1) {
    case 'M': lpIF->uMoveMode = MOVE_MOVE; uAttrib = MOVEATTR_KEEP; break;
    case 'C': lpIF->uMoveMode = MOVE_COPY; break;
    case 'A':
    case 'T': lpIF->uMoveMode = MOVE_COPY; uAttrib = MOVEATTR_KEEP; uDir = MOVEDIR_PASSOVER; break;
    case 'O': lpIF->uMoveMode = MOVE_OVERWRITE; break;
    case 'D': lpIF->uMoveMode = MOVE_DELETE; break;
    case 'R': lpIF->uMoveMode = MOVE_RENAME; uAttrib = MOVEATTR_KEEP; break;
    case 'P': lpIF->uMoveMode = MOVE_ASK; break;
    default: lpIF->uMoveMode = MOVE_RENAME; break;
    }
    switch (c2) {
    case 'C': lpIF->uInUseAction = MOVEINUSE_CLOSE; break;
    case 'P': lpIF->uInUseAction = MOVEINUSE_ASK; break;
    case 'S': lpIF->uInUseAction = MOVEINUSE_SKIP; break;
    default: lpIF->uInUseAction = MOVEINUSE_RESTART; break;
    }
    if (c3 == 'K')
        uAttrib = MOVEATTR_KEEP;
    else if (c3 == 'N')
        uAttrib = MOVEATTR_NORMAL;
    if (c4 == 'C')
        uDir = MOVEDIR_PASSOVER;
    else if (c4 == 'E')
        uDir = MOVEDIR_GOON;
    lpIF->uAttribMode = uAttrib;
    lpIF->uBackupAction = uDir;
}

DWORD fnReadMoveDelay(const char *lpszText, BOOL bPresent)
{
    if (!bPresent)
        return 100;
    const char *p = lpszText ? lpszText : "";
    if (*p == 'N' || *p == 'n' || *p == 'Y' || *p == 'y')
        p++;
    UINT n = fnReadDigitNumber(p);
    /* INFINITE (0xFFFFFFFF) would never end the sleep */
    const DWORD dwMax = 0xFFFFFFFEu;
    if (n > dwMax / 500)
        return dwMax;
    return (DWORD)n * 500;
}

int fnDeleteTreeWord(const char *lpszText)
{
    if (!lpszText)
        return DELTREE_NONE;
    if (fnEqualNoCase(lpszText, "TREEKEEP"))
        return DELTREE_KEEP;
    if (fnEqualNoCase(lpszText, "TREE") || strcmp(lpszText, "+") == 0)
        return DELTREE_TREE;
    return DELTREE_NONE;
}

BOOL fnHasWildcard(const char *lpszName)
{
    return lpszName && strpbrk(lpszName, "*?") != NULL;
}

namespace {

/* The path without trailing backslashes (a root keeps none either: "C:"). */
void fnTrimDir(const char *lpszDir, char *lpszOut, size_t cchOut)
{
    fnCopyBounded(lpszOut, cchOut, lpszDir ? lpszDir : "");
    size_t n = strlen(lpszOut);
    while (n > 0 && (lpszOut[n - 1] == '\\' || lpszOut[n - 1] == '/'))
        lpszOut[--n] = '\0';
}

BOOL fnIsRoot(const char *lpszTrimmed)
{
    size_t n = strlen(lpszTrimmed);
    if (n == 2 && lpszTrimmed[1] == ':')
        return TRUE;
    if (lpszTrimmed[0] == '\\' && lpszTrimmed[1] == '\\') {
        /* "\\server\share" and "\\server": no further backslash after the share */
        const char *p = strchr(lpszTrimmed + 2, '\\');
        return !p || !strchr(p + 1, '\\');
    }
    return FALSE;
}

}  // namespace

BOOL fnIsGuardedDir(const char *lpszDir)
{
    char szDir[CCH_PATH + 1], szOther[CCH_PATH + 1];
    fnTrimDir(lpszDir, szDir, sizeof(szDir));
    if (!szDir[0] || fnIsRoot(szDir))
        return TRUE;
    const char *const alpszOthers[] = {g_szWinDir, g_szHomeDir};
    for (const char *lpszOther : alpszOthers) {
        fnTrimDir(lpszOther, szOther, sizeof(szOther));
        if (szOther[0] && fnEqualNoCase(szDir, szOther))
            return TRUE;
    }
    return FALSE;
}
