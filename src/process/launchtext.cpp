/*
 * process/launchtext.cpp -- command lines of the directory search, quoting of
 * a program path with blanks, and the launch error table.
 */
#include "process/launchtext.h"

#include <string.h>

#include "common/bounded.h"
#include "script/pathtext.h"

BOOL fnLaunchNamesDrive(const char *lpszCmd)
{
    if (!lpszCmd)
        return FALSE;
    if (*lpszCmd == '"')
        lpszCmd++;
    char c = fnUpperAscii(lpszCmd[0]);
    if (c >= 'A' && c <= 'Z' && lpszCmd[1] == ':')
        return TRUE;
    return (lpszCmd[0] == '\\' && lpszCmd[1] == '\\') || (lpszCmd[0] == '/' && lpszCmd[1] == '/');
}

/* Joins lpszDir in front of the command line, inside its opening quote when it has one. */
static BOOL fnJoinCommand(char *lpszOut, size_t cchOut, const char *lpszDir, const char *lpszCmd)
{
    if (*lpszCmd != '"')
        return fnJoinPath(lpszOut, cchOut, lpszDir, lpszCmd);
    if (cchOut < 2)
        return FALSE;
    lpszOut[0] = '"';
    return fnJoinPath(lpszOut + 1, cchOut - 1, lpszDir, lpszCmd + 1);
}

BOOL fnLaunchAttempt(const char *lpszCmd, int nAttempt, const char *lpszCurDir, const char *lpszHomeDir,
                     const char *lpszWinDir, char *lpszOut, size_t cchOut)
{
    if (!lpszCmd || !lpszOut || cchOut == 0)
        return FALSE;
    lpszOut[0] = '\0';
    char szBase[CCH_LINE_BUF];
    const char *lpszRest = lpszCmd + (*lpszCmd == '"' ? 1 : 0);
    if (lpszRest[0] == '.' && (lpszRest[1] == '\\' || lpszRest[1] == '/')) {
        /* ".\x.exe" names the program's own folder, wherever the current folder is */
        if (!lpszHomeDir || !lpszHomeDir[0])
            return FALSE;
        char szRest[CCH_LINE_BUF];
        if (*lpszCmd == '"')
            fnFormatBounded(szRest, sizeof(szRest), "\"%s", lpszRest + 2);
        else
            fnCopyBounded(szRest, sizeof(szRest), lpszRest + 2);
        if (!fnJoinCommand(szBase, sizeof(szBase), lpszHomeDir, szRest))
            return FALSE;
    } else if (!fnCopyBounded(szBase, sizeof(szBase), lpszCmd)) {
        return FALSE;
    }
    const char *lpszDir = NULL;
    switch (nAttempt) {
    case 1:
        return fnCopyBounded(lpszOut, cchOut, szBase);
    case 2: lpszDir = lpszCurDir; break;
    case 3: lpszDir = lpszHomeDir; break;
    case 4: lpszDir = lpszWinDir; break;
    default: return FALSE;
    }
    if (!lpszDir || !lpszDir[0])
        return FALSE;
    if (!fnJoinCommand(lpszOut, cchOut, lpszDir, szBase)) {
        lpszOut[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

/* TRUE when the n characters before lpszEnd end in a program extension. */
static BOOL fnEndsInProgramExt(const char *lpszStart, const char *lpszEnd)
{
    static const char *const s_aExts[] = {".exe", ".com", ".bat", ".cmd"};
    if (lpszEnd - lpszStart < 5)
        return FALSE;
    for (const char *lpszExt : s_aExts)
        if (fnPrefixNoCase(lpszEnd - 4, lpszExt, 4))
            return TRUE;
    return FALSE;
}

BOOL fnQuoteProgramPath(const char *lpszCmd, FileExistsProc pfnExists, char *lpszOut, size_t cchOut)
{
    if (!lpszCmd || !lpszOut || cchOut == 0)
        return FALSE;
    const char *lpszFirstBlank = strpbrk(lpszCmd, " \t");
    if (*lpszCmd == '"' || !lpszFirstBlank)
        return fnCopyBounded(lpszOut, cchOut, lpszCmd);

    /* candidates end before a blank or at the end of the line */
    size_t nShortest = 0, nLongestFound = 0;
    size_t cchCmd = strlen(lpszCmd);
    for (size_t n = 1; n <= cchCmd; n++) {
        if (n < cchCmd && lpszCmd[n] != ' ' && lpszCmd[n] != '\t')
            continue;
        if (!fnEndsInProgramExt(lpszCmd, lpszCmd + n))
            continue;
        if (!nShortest)
            nShortest = n;
        char szPath[CCH_LINE_BUF];
        if (n < sizeof(szPath) && pfnExists) {
            memcpy(szPath, lpszCmd, n);
            szPath[n] = '\0';
            if (pfnExists(szPath))
                nLongestFound = n;
        }
    }
    /* a first word without a folder ("cmd /c C:\x.bat") is a program the system finds by name:
       only a path can be cut short at a blank, so only a path gets the guess */
    BOOL bFirstIsPath = FALSE;
    for (const char *p = lpszCmd; p < lpszFirstBlank; p++)
        bFirstIsPath = bFirstIsPath || *p == '\\' || *p == '/' || *p == ':';
    size_t nQuote = nLongestFound ? nLongestFound : bFirstIsPath ? nShortest : 0;
    /* a program name without a blank is read the same way quoted or not */
    if (!nQuote || nQuote <= (size_t)(lpszFirstBlank - lpszCmd))
        return fnCopyBounded(lpszOut, cchOut, lpszCmd);
    if (cchOut < cchCmd + 3) {
        fnCopyBounded(lpszOut, cchOut, lpszCmd);
        return FALSE;
    }
    lpszOut[0] = '"';
    memcpy(lpszOut + 1, lpszCmd, nQuote);
    lpszOut[nQuote + 1] = '"';
    memcpy(lpszOut + nQuote + 2, lpszCmd + nQuote, cchCmd - nQuote + 1);
    return TRUE;
}

UINT fnLaunchErrorMessageId(DWORD dwError)
{
    if (dwError == 14)
        return 1236;
    if (dwError == 2 || dwError == 3)
        return 1235;
    return 1234;
}

BOOL fnIsSeriousLaunchError(DWORD dwError)
{
    switch (dwError) {
    case 4: case 5: case 14: case 18: case 32: case 54:
        return TRUE;
    }
    return FALSE;
}
