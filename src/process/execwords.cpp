/*
 * process/execwords.cpp -- field words of the program sections and the
 * section status a launch result gives.
 */
#include "process/execwords.h"

#include <string.h>

#include "common/bounded.h"

void fnExecWordsDefault(ExecWordsStruct *lpWords)
{
    memset(lpWords, 0, sizeof(*lpWords));
    lpWords->nShowWin = 1;
    lpWords->bErrorShow = TRUE;
}

static BOOL fnStartsWith(const char *lpszText, const char *lpszWord)
{
    return fnPrefixNoCase(lpszText, lpszWord, strlen(lpszWord));
}

void fnExecShowWord(const char *lpszWord, ExecWordsStruct *lpWords)
{
    if (fnStartsWith(lpszWord, "MIN")) {
        lpWords->nShowWin = 2;
    } else if (fnStartsWith(lpszWord, "MAX")) {
        lpWords->nShowWin = 3;
    } else if (fnStartsWith(lpszWord, "CMD")) {
        lpWords->nShowWin = 4;
        lpWords->bNoWin = TRUE;
    } else {
        lpWords->nShowWin = 1;
    }
}

void fnExecWaitWord(const char *lpszWord, ExecWordsStruct *lpWords)
{
    char c = fnUpperAscii(lpszWord[0]);
    lpWords->bWait = (c == 'Y' || c == 'P');
    lpWords->bPreventExit = (c == 'P');
    lpWords->szAlsoCheckFor[0] = '\0';
    if (lpWords->bWait)
        fnCopyBounded(lpWords->szAlsoCheckFor, sizeof(lpWords->szAlsoCheckFor), lpszWord + 1);
}

void fnExecWindowWord(const char *lpszWord, ExecWordsStruct *lpWords)
{
    size_t cch = strlen(lpszWord);
    if (cch == 0)
        return;
    if (cch == 1) {
        lpWords->bWaitWindow = fnUpperAscii(lpszWord[0]) == 'Y';
        return;
    }
    lpWords->bWaitWindow = fnUpperAscii(lpszWord[0]) != 'N';
    BOOL bOn = fnUpperAscii(lpszWord[1]) != 'N';
    lpWords->bErrorShow = bOn;
    lpWords->bStopOnError = bOn;
}

UINT fnExecStatus(int nKind, UINT uRC, BOOL bStopOnError, char cAfterRun)
{
    if (uRC == 7)
        return 7;
    if (bStopOnError && uRC != 1)
        return nKind == EXECKIND_TESTANDEXEC ? 0 : uRC;
    /* a failure the user was told stops the run stops it, whichever section ran the program */
    if (uRC == 2)
        return 2;
    if (nKind == EXECKIND_TESTANDEXEC) {
        char c = fnUpperAscii(cAfterRun);
        if (c == 'X')
            return 7;
        if (c == 'B')
            return 1;
    }
    return EXEC_GOON;
}
