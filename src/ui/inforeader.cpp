/*
 * ui/inforeader.cpp -- reads the information page, install options and
 * floating message sections into their records. No window is touched here;
 * every text that ends up in a record is cut at its field's size.
 */
#include "ui/inforeader.h"

#include <string.h>

#include "commands/cmdsettings.h"
#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "common/tgfile.h"
#include "driver/debuglog.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/pathtext.h"
#include "script/textmodel.h"

const SectionKeyStruct g_aInfoKeys[] = {
    {"Caption", INFOKEY_CAPTION}, {"Prompt", INFOKEY_PROMPT}, {"Line", INFOKEY_LINE}, {"File", INFOKEY_FILE},
    {NULL, 0},
};

const SectionKeyStruct g_aInstallOptionsKeys[] = {
    {"Caption", IOKEY_CAPTION}, {"Intro", IOKEY_INTRO},
    {"Opt1Msg", IOKEY_OPT1MSG}, {"Opt2Msg", IOKEY_OPT2MSG}, {"Opt3Msg", IOKEY_OPT3MSG}, {"Opt4Msg", IOKEY_OPT4MSG},
    {"ExitMsg", IOKEY_EXITMSG}, {"HelpMsg", IOKEY_HELPMSG},
    {"Opt1Btn", IOKEY_OPT1BTN}, {"Opt2Btn", IOKEY_OPT2BTN}, {"Opt3Btn", IOKEY_OPT3BTN}, {"Opt4Btn", IOKEY_OPT4BTN},
    {"ExitBtn", IOKEY_EXITBTN}, {"HelpBtn", IOKEY_HELPBTN},
    {"Opt1Inf", IOKEY_OPT1INF}, {"Opt2Inf", IOKEY_OPT2INF}, {"Opt3Inf", IOKEY_OPT3INF}, {"Opt4Inf", IOKEY_OPT4INF},
    {"Help", IOKEY_HELP}, {"HelpFile", IOKEY_HELPFILE},
    {NULL, 0},
};

const SectionKeyStruct g_aFloatInfoKeys[] = {
    {"Caption", FLOATKEY_CAPTION}, {"Message", FLOATKEY_MESSAGE}, {"Wait", FLOATKEY_WAIT},
    {"ButtonText", FLOATKEY_BUTTONTEXT}, {"WinPosition", FLOATKEY_WINPOSITION},
    {NULL, 0},
};

namespace {

/* Field 1 of the line, expanded, into lpszOut (cchOut). FALSE when the line has no field 1. */
BOOL fnExpandedValue(char *lpszLine, char *lpszOut, size_t cchOut, int *lpnRC)
{
    char szField[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, 1, szField, sizeof(szField)))
        return FALSE;
    int nRC = fnExpandOpts(szField, sizeof(szField));
    if (lpnRC)
        *lpnRC = nRC;
    fnCopyBounded(lpszOut, cchOut, szField);
    return TRUE;
}

/* The key of the line and its row; -1 when the line has no key or the table no such row. */
int fnLineKey(char *lpszLine, const SectionKeyStruct *lpKeys)
{
    char szKey[CCH_FIELD_BUF];
    if (!fnInfParseField(lpszLine, 0, szKey, sizeof(szKey)) || !szKey[0])
        return -1;
    return fnFindSectionKey(lpKeys, szKey);
}

/*
 * Reads the next line of a keyed body into lpszLine (CCH_LINE_BUF) and returns
 * its key's row; -1 when the body ends, or when the line has no key of the
 * table, which ends the reading of these sections.
 */
int fnNextKeyedLine(const char **lplpszPos, char *lpszLine, const SectionKeyStruct *lpKeys)
{
    if (!*lplpszPos || !**lplpszPos)
        return -1;
    *lplpszPos = fnInfGetNextLine(*lplpszPos, lpszLine, CCH_LINE_BUF);
    if (!*lplpszPos || !lpszLine[0])
        return -1;
    return fnLineKey(lpszLine, lpKeys);
}

/*
 * Replaces the page text by the file's bytes. A name with a drive or a leading
 * backslash, or one that an option made, is used as it stands; any other is
 * looked for in the program's folder. FALSE when the file cannot be opened.
 */
BOOL fnLoadPageFile(InfoPageStruct *lpPage, const char *lpszName, int nExpandRC)
{
    char szPath[CCH_PATH];
    BOOL bAsIs = nExpandRC == EXPAND_OK || lpszName[0] == '\\' || (lpszName[0] && lpszName[1] == ':');
    if (bAsIs)
        fnCopyBounded(szPath, sizeof(szPath), lpszName);
    else if (!fnJoinPath(szPath, sizeof(szPath), g_szHomeDir, lpszName))
        return FALSE;
    TGFILE hFile = fnFileOpenRead(szPath);
    if (!hFile) {
        fnDebugLog("fnReadInfoPage", "File not opened: %s, dwError=%lu", g_uDebugLevel, szPath,
                   (unsigned long)fnFileLastError());
        return FALSE;
    }
    /* the whole text is the file's from here on: nothing of the earlier lines is left behind it */
    DWORD cbRead = 0;
    BOOL bRead = fnFileRead(hFile, lpPage->lpszText, CB_INFO_BLOCK - 1, &cbRead);
    fnFileClose(hFile);
    if (!bRead)
        cbRead = 0;
    lpPage->lpszText[cbRead] = '\0';
    /* a NUL inside the file would end the text early; the page shows it as a blank */
    for (DWORD i = 0; i < cbRead; i++) {
        if (lpPage->lpszText[i] == '\0')
            lpPage->lpszText[i] = ' ';
    }
    return TRUE;
}

/* A resource string into lpszOut; a missing one leaves lpszOut empty. */
void fnDefaultText(UINT uId, char *lpszOut, size_t cchOut)
{
    lpszOut[0] = '\0';
    if (g_lpMachine->pfnLoadString(uId, lpszOut, cchOut) <= 0)
        lpszOut[0] = '\0';
}

}  // namespace

/* ------------------------------------------------------------ information page */

BOOL fnReadInfoPage(const char *lpszBody, InfoPageStruct *lpPage)
{
    fnCopyBounded(lpPage->szCaption, sizeof(lpPage->szCaption), g_szMsgTitle);
    fnCopyBounded(lpPage->szPrompt, sizeof(lpPage->szPrompt), "Select OK to continue");
    lpPage->lpszText[0] = '\0';
    lpPage->nLines = 0;
    lpPage->nStored = 0;
    lpPage->cDropped = 0;
    size_t cchText = 0;
    char szLine[CCH_LINE_BUF], szValue[CCH_FIELD_BUF];
    const char *lpszPos = lpszBody;
    int nKey;
    while ((nKey = fnNextKeyedLine(&lpszPos, szLine, g_aInfoKeys)) >= 0) {
        int nRC = EXPAND_NONE;
        BOOL bValue = fnExpandedValue(szLine, szValue, sizeof(szValue), &nRC);
        switch (nKey) {
        case INFOKEY_CAPTION:
            if (bValue)
                fnCopyBounded(lpPage->szCaption, sizeof(lpPage->szCaption), szValue);
            break;
        case INFOKEY_PROMPT:
            if (bValue)
                fnCopyBounded(lpPage->szPrompt, sizeof(lpPage->szPrompt), szValue);
            break;
        case INFOKEY_LINE: {
            lpPage->nLines++;
            size_t cchValue = strlen(szValue);
            /* a line that does not fit whole is left out whole, never cut in the middle */
            if (lpPage->nStored >= INFO_MAX_LINES || cchText + cchValue + 2 >= CB_INFO_BLOCK) {
                lpPage->cDropped++;
                break;
            }
            memcpy(lpPage->lpszText + cchText, szValue, cchValue);
            cchText += cchValue;
            memcpy(lpPage->lpszText + cchText, "\r\n", 3);
            cchText += 2;
            lpPage->nStored++;
            break;
        }
        case INFOKEY_FILE:
            if (bValue && szValue[0] && fnLoadPageFile(lpPage, szValue, nRC)) {
                lpPage->nLines += INFO_FILE_LINES;
                cchText = strlen(lpPage->lpszText);
            }
            break;
        }
    }
    if (lpPage->cDropped)
        fnDebugLog("fnReadInfoPage", "%u line(s) left out: more than %d, or past the %d-byte text", g_uDebugLevel,
                   lpPage->cDropped, INFO_MAX_LINES, CB_INFO_BLOCK);
    return TRUE;
}

BOOL fnInfoPageIsTall(const InfoPageStruct *lpPage) { return lpPage->nLines >= INFO_TALL_LINES; }

/* ------------------------------------------------------------ install options */

void fnReadInstallOptions(const char *lpszBody, InstallOptionsStruct *lpOpt)
{
    memset(lpOpt, 0, sizeof(*lpOpt));
    fnCopyBounded(lpOpt->szCaption, sizeof(lpOpt->szCaption), g_szMsgTitle);
    fnDefaultText(1170, lpOpt->szIntro, sizeof(lpOpt->szIntro));
    fnDefaultText(1173, lpOpt->szExitMsg, sizeof(lpOpt->szExitMsg));
    fnDefaultText(1174, lpOpt->szHelpMsg, sizeof(lpOpt->szHelpMsg));
    fnDefaultText(1177, lpOpt->szExitBtn, sizeof(lpOpt->szExitBtn));
    fnDefaultText(1178, lpOpt->szHelpBtn, sizeof(lpOpt->szHelpBtn));
    fnCopyBounded(lpOpt->szOptInf[0], sizeof(lpOpt->szOptInf[0]), g_szIniFile);
    for (int i = 1; i < INSTOPT_MAX; i++)
        fnDefaultText(1179 + (UINT)i - 1, lpOpt->szOptInf[i], sizeof(lpOpt->szOptInf[i]));

    char szLine[CCH_LINE_BUF], szValue[CCH_FIELD_BUF];
    const char *lpszPos = lpszBody;
    int nKey;
    fnInitReadSect(&lpOpt->help, NULL, 0);
    while ((nKey = fnNextKeyedLine(&lpszPos, szLine, g_aInstallOptionsKeys)) >= 0) {
        if (nKey == IOKEY_HELP || nKey == IOKEY_HELPFILE) {
            /* without memory for it the help is only missing: the choice is still offered */
            fnReadHelpLine(szLine, nKey == IOKEY_HELPFILE, &lpOpt->help);
            continue;
        }
        if (!fnExpandedValue(szLine, szValue, sizeof(szValue), NULL))
            continue;
        char *lpszTo = NULL;
        size_t cchTo = 0;
        if (nKey >= IOKEY_OPT1MSG && nKey <= IOKEY_OPT4MSG) {
            lpszTo = lpOpt->szOptMsg[nKey - IOKEY_OPT1MSG];
            cchTo = CCH_MSG;
        } else if (nKey >= IOKEY_OPT1BTN && nKey <= IOKEY_OPT4BTN) {
            lpszTo = lpOpt->szOptBtn[nKey - IOKEY_OPT1BTN];
            cchTo = CCH_INSTOPT_BUTTON;
        } else if (nKey >= IOKEY_OPT1INF && nKey <= IOKEY_OPT4INF) {
            lpszTo = lpOpt->szOptInf[nKey - IOKEY_OPT1INF];
            cchTo = CCH_PATH;
            if (nKey == IOKEY_OPT1INF)
                lpOpt->bOpt1Inf = TRUE;
        } else {
            switch (nKey) {
            case IOKEY_CAPTION: lpszTo = lpOpt->szCaption; cchTo = sizeof(lpOpt->szCaption); break;
            case IOKEY_INTRO: lpszTo = lpOpt->szIntro; cchTo = sizeof(lpOpt->szIntro); break;
            case IOKEY_EXITMSG: lpszTo = lpOpt->szExitMsg; cchTo = sizeof(lpOpt->szExitMsg); break;
            case IOKEY_HELPMSG: lpszTo = lpOpt->szHelpMsg; cchTo = sizeof(lpOpt->szHelpMsg); break;
            case IOKEY_EXITBTN: lpszTo = lpOpt->szExitBtn; cchTo = sizeof(lpOpt->szExitBtn); break;
            case IOKEY_HELPBTN: lpszTo = lpOpt->szHelpBtn; cchTo = sizeof(lpOpt->szHelpBtn); break;
            }
        }
        if (lpszTo)
            fnCopyBounded(lpszTo, cchTo, szValue);
    }
    /* the help box is titled after the dialog */
    fnCopyBounded(lpOpt->help.szCaption, sizeof(lpOpt->help.szCaption), lpOpt->szCaption);
    lpOpt->bHelp = lpOpt->help.lpszHelp != NULL;
}

void fnFreeInstallOptions(InstallOptionsStruct *lpOpt)
{
    fnFreeReadSect(&lpOpt->help);
}

int fnInstallOptionCount(const InstallOptionsStruct *lpOpt)
{
    int nCount = 1;
    while (nCount < INSTOPT_MAX && lpOpt->szOptMsg[nCount][0])
        nCount++;
    for (int i = nCount; i < INSTOPT_MAX; i++) {
        if (lpOpt->szOptMsg[i][0])
            fnDebugLog("fnInstallOptionCount", "Opt%dMsg not shown: Opt%dMsg is empty", g_uDebugLevel, i + 1,
                       nCount + 1);
    }
    return nCount;
}

BOOL fnInstallOptionScript(const InstallOptionsStruct *lpOpt, int nOption, const char *lpszCurrent, char *lpszOut,
                           size_t cchOut)
{
    lpszOut[0] = '\0';
    if (nOption < 1 || nOption > INSTOPT_MAX)
        return FALSE;
    const char *lpszName = lpOpt->szOptInf[nOption - 1];
    if (lpszName[0] == '\\' || (lpszName[0] && lpszName[1] == ':'))
        return fnCopyBounded(lpszOut, cchOut, lpszName);
    /* the current script's folder: all up to its last backslash, or its drive ("C:SETUP.INF") */
    size_t cchFolder = 0;
    for (size_t i = 0; lpszCurrent[i]; i++) {
        if (lpszCurrent[i] == '\\' || (i == 1 && lpszCurrent[i] == ':'))
            cchFolder = i + 1;
    }
    if (!fnCopyBoundedN(lpszOut, cchOut, lpszCurrent, cchFolder))
        return FALSE;
    return fnAppendBounded(lpszOut, cchOut, lpszName);
}

/* ------------------------------------------------------------ floating message */

int fnReadFloatInfo(const char *lpszBody, MessageStruct *lpMsg, int *lpnField, char *lpszBadLine)
{
    memset(lpMsg, 0, sizeof(*lpMsg));
    fnCopyBounded(lpMsg->szCaption, sizeof(lpMsg->szCaption), g_szMsgTitle);
    lpMsg->uWinPosition = 8;
    if (lpnField)
        *lpnField = 0;
    char szLine[CCH_LINE_BUF], szValue[CCH_FIELD_BUF], szExpanded[CCH_FIELD_BUF];
    const char *lpszPos = lpszBody;
    int nNext;
    while ((nNext = fnNextRunLine(&lpszPos, szLine)) == NEXTLINE_RUN) {
        int nKey = fnLineKey(szLine, g_aFloatInfoKeys);
        BOOL bValue = nKey >= 0 && fnInfParseField(szLine, 1, szValue, sizeof(szValue));
        if (nKey < 0) {
            /* a key of the table written without its '=' is that key without its value */
            char szWord[CCH_FIELD_BUF];
            if (!fnInfParseField(szLine, -1, szWord, sizeof(szWord)) || fnFindSectionKey(g_aFloatInfoKeys, szWord) < 0)
                continue;
        }
        if (!bValue) {
            if (lpnField)
                *lpnField = 1;
            if (lpszBadLine)
                fnCopyBounded(lpszBadLine, CCH_LINE_BUF, szLine);
            return FLOATREAD_MISSING;
        }
        switch (nKey) {
        case FLOATKEY_CAPTION:
        case FLOATKEY_MESSAGE: {
            char *lpszTo = nKey == FLOATKEY_CAPTION ? lpMsg->szCaption : lpMsg->szMessage;
            size_t cchTo = nKey == FLOATKEY_CAPTION ? sizeof(lpMsg->szCaption) : sizeof(lpMsg->szMessage);
            /* as written, unless every option in it had a value */
            fnCopyBounded(lpszTo, cchTo, szValue);
            fnCopyBounded(szExpanded, sizeof(szExpanded), szValue);
            if (fnExpandOpts(szExpanded, sizeof(szExpanded)) == EXPAND_OK)
                fnCopyBounded(lpszTo, cchTo, szExpanded);
            break;
        }
        case FLOATKEY_WAIT:
            lpMsg->bWait = szValue[0] == 'Y' || szValue[0] == 'y';
            break;
        case FLOATKEY_BUTTONTEXT:
            if (szValue[0])
                fnCopyBounded(lpMsg->szButtonText, sizeof(lpMsg->szButtonText), szValue);
            break;
        case FLOATKEY_WINPOSITION: {
            int nPlace = fnFindSectionKey(g_aPlacementWords, szValue);
            if (nPlace >= 1)
                lpMsg->uWinPosition = (UINT)nPlace;
            break;
        }
        }
    }
    if (nNext == NEXTLINE_ENDED)
        return FLOATREAD_ENDED;
    /* a window that waits for its button must have one, or the run could never go on */
    if (lpMsg->bWait && !lpMsg->szButtonText[0])
        fnCopyBounded(lpMsg->szButtonText, sizeof(lpMsg->szButtonText), "&OK");
    return FLOATREAD_OK;
}
