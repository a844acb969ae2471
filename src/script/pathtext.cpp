/*
 * script/pathtext.cpp -- sub-fields, leading sub-fields, path parts and the
 * path join. Outputs are always terminated; nothing is written past them.
 */
#include "script/pathtext.h"

#include <string.h>

#include "common/bounded.h"

static BOOL fnIsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int fnGetSubField(const char *lpszText, const char *lpszDelims, UINT n, char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return 0;
    lpszOut[0] = '\0';
    if (!lpszText || !lpszDelims)
        return 0;
    if (n == 0)
        n = 1;
    const char *p = lpszText;
    BOOL bQuote = FALSE;
    for (UINT k = 1; k < n; p++) {
        if (!*p)
            return 1;
        if (*p == '"')
            bQuote = !bQuote;
        else if (!bQuote && strchr(lpszDelims, *p))
            k++;
    }
    while (*p && fnIsBlank(*p))
        p++;
    size_t i = 0;
    for (bQuote = FALSE; *p; p++) {
        if (*p == '"') {
            bQuote = !bQuote;
            if (bQuote)
                continue; /* an opening quote is dropped, a closing one kept */
        } else if (!bQuote && strchr(lpszDelims, *p)) {
            break;
        }
        if (i + 1 < cchOut)
            lpszOut[i++] = *p;
    }
    while (i > 0 && fnIsBlank(lpszOut[i - 1]))
        i--;
    while (i > 0 && lpszOut[i - 1] == '"')
        i--;
    lpszOut[i] = '\0';
    return 1;
}

int fnGetLeadingFields(const char *lpszText, const char *lpszDelims, UINT n, char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return 0;
    lpszOut[0] = '\0';
    if (!lpszText || !lpszDelims)
        return 0;
    if (n == 0)
        n = 1;
    size_t cch = 0;
    UINT k = 1;
    for (; lpszText[cch]; cch++) {
        if (strchr(lpszDelims, lpszText[cch]) && k++ == n)
            break;
    }
    fnCopyBoundedN(lpszOut, cchOut, lpszText, cch);
    return 1;
}

/* Length of the drive part: 2 for "X:", up to the fourth backslash for "\\server\share". */
static size_t fnDriveLength(const char *lpszPath)
{
    if (lpszPath[0] && lpszPath[0] != '\\' && lpszPath[1] == ':')
        return 2;
    if (lpszPath[0] == '\\' && lpszPath[1] == '\\') {
        int nSlash = 2;
        size_t i = 2;
        for (; lpszPath[i]; i++) {
            if (lpszPath[i] == '\\' && ++nSlash == 4)
                break;
        }
        return i;
    }
    return 0;
}

static void fnSetPart(char *lpszOut, const char *lpszSrc, size_t cchSrc)
{
    if (lpszOut)
        fnCopyBoundedN(lpszOut, CCH_PATH, lpszSrc, cchSrc);
}

int fnSplitPath(const char *lpszPath, char *lpszDrive, char *lpszDir, char *lpszBase, char *lpszExt,
                char *lpszFileName, char *lpszParent)
{
    char *outs[] = {lpszDrive, lpszDir, lpszBase, lpszExt, lpszFileName, lpszParent};
    for (char *lpsz : outs) {
        if (lpsz)
            lpsz[0] = '\0';
    }
    if (!lpszPath)
        return 0;
    int nRC = 1;
    size_t cchPath = strlen(lpszPath);
    size_t cchDrive = fnDriveLength(lpszPath);
    if (lpszDrive) {
        fnSetPart(lpszDrive, lpszPath, cchDrive);
        if (!cchDrive)
            nRC = 0;
    }

    /* the last component starts after the last '/', '\' or ':' */
    size_t iName = 0, iLastSep = (size_t)-1, iLastBack = (size_t)-1;
    for (size_t i = 0; i < cchPath; i++) {
        char c = lpszPath[i];
        if (c == '\\' || c == '/' || c == ':')
            iName = i + 1;
        if (c == '\\' || c == '/')
            iLastSep = i;
        if (c == '\\')
            iLastBack = i;
    }
    const char *lpszName = lpszPath + iName;
    fnSetPart(lpszFileName, lpszName, (size_t)-1);

    if (lpszDir && iLastBack != (size_t)-1 && iLastBack + 1 > cchDrive)
        fnSetPart(lpszDir, lpszPath + cchDrive, iLastBack + 1 - cchDrive);

    if (lpszBase) {
        const char *lpszDot = lpszName[0] ? strchr(lpszName + 1, '.') : NULL;
        fnSetPart(lpszBase, lpszName, lpszDot ? (size_t)(lpszDot - lpszName) : (size_t)-1);
    }
    if (lpszExt) {
        const char *lpszDot = strrchr(lpszName, '.');
        if (lpszDot)
            fnSetPart(lpszExt, lpszDot + 1, (size_t)-1);
        else
            nRC = 0;
    }
    if (lpszParent && iLastSep != (size_t)-1) {
        size_t cchParent = iLastSep;
        /* a root keeps its backslash: "C:\" and "\\server\share\" */
        if (cchDrive && cchParent <= cchDrive)
            cchParent = iLastSep + 1;
        else if (cchParent == 0)
            cchParent = 1;
        fnSetPart(lpszParent, lpszPath, cchParent);
    }
    return nRC;
}

void fnJustLastDir(const char *lpszPath, char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return;
    lpszOut[0] = '\0';
    if (!lpszPath)
        return;
    size_t cch = strlen(lpszPath);
    if (cch && lpszPath[cch - 1] == '\\')
        cch--;
    size_t iStart = cch;
    while (iStart > 0 && lpszPath[iStart - 1] != '\\' && lpszPath[iStart - 1] != ':')
        iStart--;
    fnCopyBoundedN(lpszOut, cchOut, lpszPath + iStart, cch - iStart);
}

BOOL fnJoinPath(char *lpszOut, size_t cchOut, const char *lpszDir, const char *lpszName)
{
    if (!lpszOut || !cchOut)
        return FALSE;
    if (!lpszDir)
        lpszDir = "";
    if (!lpszName)
        lpszName = "";
    if (!lpszDir[0])
        return fnCopyBounded(lpszOut, cchOut, lpszName);
    if (!lpszName[0])
        return fnCopyBounded(lpszOut, cchOut, lpszDir);
    size_t cchDir = strlen(lpszDir);
    if (lpszDir[cchDir - 1] == '\\')
        cchDir--;
    if (lpszName[0] == '\\')
        lpszName++;
    size_t cchName = strlen(lpszName);
    if (cchName && lpszName[cchName - 1] == '\\')
        cchName--;
    BOOL bOk = fnCopyBoundedN(lpszOut, cchOut, lpszDir, cchDir);
    bOk = fnAppendBounded(lpszOut, cchOut, "\\") && bOk;
    size_t cchUsed = strlen(lpszOut);
    bOk = fnCopyBoundedN(lpszOut + cchUsed, cchOut - cchUsed, lpszName, cchName) && bOk;
    return bOk;
}
