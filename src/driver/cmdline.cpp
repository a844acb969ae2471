/*
 * driver/cmdline.cpp -- splitting and reading the command line, and filling
 * the command-option record from a command file's keys. Option letters are
 * case-insensitive; a value is the text behind its key and is upper-cased
 * unless the option says otherwise.
 */
#include "driver/cmdline.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"

const char *fnNextArg(const char *lpszCmdLine, char *lpszArg, size_t cchArg)
{
    if (lpszArg && cchArg)
        lpszArg[0] = '\0';
    if (!lpszCmdLine)
        return NULL;
    const char *lpsz = lpszCmdLine;
    while (*lpsz == ' ' || *lpsz == '\t')
        lpsz++;
    if (!*lpsz)
        return NULL;
    size_t n = 0;
    BOOL bQuote = FALSE;
    for (; *lpsz; lpsz++) {
        if (*lpsz == '"') {
            bQuote = !bQuote;
            continue;
        }
        if (!bQuote && (*lpsz == ' ' || *lpsz == '\t'))
            break;
        if (n + 1 < cchArg)
            lpszArg[n++] = *lpsz;
    }
    if (cchArg)
        lpszArg[n] = '\0';
    return lpsz;
}

static void fnUpper(char *lpsz)
{
    for (; *lpsz; lpsz++)
        *lpsz = fnUpperAscii(*lpsz);
}

/* The value behind lpszKey anywhere in the argument (case ignored); NULL when absent or empty. */
static const char *fnValueAfter(const char *lpszArg, const char *lpszKey)
{
    size_t cchKey = strlen(lpszKey);
    for (const char *lpsz = lpszArg; *lpsz; lpsz++) {
        if (fnPrefixNoCase(lpsz, lpszKey, cchKey))
            return lpsz[cchKey] ? lpsz + cchKey : NULL;
    }
    return NULL;
}

static BOOL fnTakeValue(const char *lpszArg, const char *lpszKey, char *lpszOut, size_t cchOut, BOOL bUpper)
{
    const char *lpszValue = fnValueAfter(lpszArg, lpszKey);
    if (!lpszValue)
        return FALSE;
    fnCopyBounded(lpszOut, cchOut, lpszValue);
    if (bUpper)
        fnUpper(lpszOut);
    return TRUE;
}

void fnParseCmdLine(const char *lpszArgs, CmdOptionStruct *lpOpt)
{
    memset(lpOpt, 0, sizeof(*lpOpt));
    char szArg[CCH_LINE_BUF];
    const char *lpsz = lpszArgs;
    while ((lpsz = fnNextArg(lpsz, szArg, sizeof(szArg))) != NULL) {
        if (!szArg[0])
            continue;
        if (szArg[0] != '-') {
            /* a plain argument names the script unless -i= came first */
            if (!lpOpt->bIniByOption) {
                fnCopyBounded(lpOpt->szIniFile, sizeof(lpOpt->szIniFile), szArg);
                fnUpper(lpOpt->szIniFile);
                lpOpt->bIniNamed = TRUE;
                lpOpt->nOptions++;
            }
            continue;
        }
        char cLetter = fnUpperAscii(szArg[1]);
        BOOL bTook = FALSE;
        switch (cLetter) {
        case '?':
            lpOpt->bUsage = TRUE;
            bTook = TRUE;
            break;
        case 'A':
            bTook = fnTakeValue(szArg, "a=", lpOpt->szAskFor, sizeof(lpOpt->szAskFor), TRUE);
            break;
        case 'C':
            bTook = fnTakeValue(szArg, "c=", lpOpt->szCmdFile, sizeof(lpOpt->szCmdFile), TRUE);
            break;
        case 'D':
            bTook = fnTakeValue(szArg, "d=", lpOpt->szDestDir, sizeof(lpOpt->szDestDir), TRUE);
            break;
        case 'E':
            /* names the script file to rewrite; an appended script is still looked for */
            bTook = fnTakeValue(szArg, "e=", lpOpt->szIniFile, sizeof(lpOpt->szIniFile), TRUE);
            if (bTook)
                lpOpt->uLoadMode = 1;
            break;
        case 'U': {
            const char *lpszU = fnValueAfter(szArg, "u=");
            if (lpszU) {
                bTook = fnTakeValue(lpszU, "file=", lpOpt->szIniFile, sizeof(lpOpt->szIniFile), TRUE);
                if (bTook)
                    lpOpt->uLoadMode = 2;
            }
            break;
        }
        case 'I':
            bTook = fnTakeValue(szArg, "i=", lpOpt->szIniFile, sizeof(lpOpt->szIniFile), TRUE);
            if (bTook)
                lpOpt->bIniNamed = lpOpt->bIniByOption = TRUE;
            break;
        case 'M':
            bTook = fnTakeValue(szArg, "m=", lpOpt->szStartupMsg, sizeof(lpOpt->szStartupMsg), FALSE);
            if (bTook)
                lpOpt->bStartupMsg = TRUE;
            break;
        case 'N':
            lpOpt->bNoPrompt = TRUE;
            bTook = TRUE;
            break;
        case 'Q':
            lpOpt->bQuiet = TRUE;
            lpOpt->bShowVSWin = TRUE;
            lpOpt->uShowVSWin = 0;
            bTook = TRUE;
            break;
        case 'S':
            bTook = fnTakeValue(szArg, "s=", lpOpt->szSourceDir, sizeof(lpOpt->szSourceDir), TRUE);
            break;
        case 'T':
            lpOpt->bTempExec = TRUE;
            bTook = TRUE;
            break;
        case 'V': {
            const char *lpszValue = fnValueAfter(szArg, "v=");
            lpOpt->bDebugLevel = TRUE;
            lpOpt->uDebugLevel = lpszValue ? (UINT)strtoul(lpszValue, NULL, 10) : 1;
            bTook = TRUE;
            break;
        }
        case 'W': {
            const char *lpszValue = fnValueAfter(szArg, "w=");
            if (lpszValue) {
                lpOpt->bShowVSWin = TRUE;
                lpOpt->uShowVSWin = (UINT)strtoul(lpszValue, NULL, 10);
                bTook = TRUE;
            }
            break;
        }
        case '[':
            bTook = fnCopyBounded(lpOpt->szStartHere, sizeof(lpOpt->szStartHere), szArg + 1);
            break;
        default:
            break;
        }
        if (bTook)
            lpOpt->nOptions++;
    }
}

BOOL fnCmdSwitchOn(const char *lpszValue)
{
    if (!lpszValue)
        return FALSE;
    if (fnEqualNoCase(lpszValue, "TRUE"))
        return TRUE;
    return (lpszValue[0] >= '0' && lpszValue[0] <= '9' && strtoul(lpszValue, NULL, 10) != 0) ? TRUE : FALSE;
}

/* A switch is read as long as a script line, so a long number such as 0...01 is not cut to 0. */
static BOOL fnReadCmdSwitch(CmdKeyReaderProc pfnRead, void *lpContext, const char *lpszKey)
{
    char sz[CCH_LINE_BUF];
    pfnRead(lpContext, lpszKey, sz, sizeof(sz));
    return fnCmdSwitchOn(sz);
}

void fnFillCmdRecord(CmdKeyReaderProc pfnRead, void *lpContext, CmdOptionStruct *lpOpt)
{
    pfnRead(lpContext, "INIFILE", lpOpt->szIniFile, sizeof(lpOpt->szIniFile));
    pfnRead(lpContext, "SOURCEDIR", lpOpt->szSourceDir, sizeof(lpOpt->szSourceDir));
    pfnRead(lpContext, "DESTDIR", lpOpt->szDestDir, sizeof(lpOpt->szDestDir));
    pfnRead(lpContext, "ASKFOR", lpOpt->szAskFor, sizeof(lpOpt->szAskFor));
    pfnRead(lpContext, "CMDFILE", lpOpt->szCmdFile, sizeof(lpOpt->szCmdFile));
    pfnRead(lpContext, "STARTUPMSG", lpOpt->szStartupMsg, sizeof(lpOpt->szStartupMsg));
    lpOpt->bStartupMsg = lpOpt->szStartupMsg[0] ? TRUE : FALSE;
    lpOpt->bTempExec = fnReadCmdSwitch(pfnRead, lpContext, "TEMPEXEC");
    lpOpt->bQuiet = fnReadCmdSwitch(pfnRead, lpContext, "BEQUIET");
}
