/*
 * shortcuts/folderlist.cpp -- the folder list sections "[ShortCuts]" and
 * "[PMGroups]": each line ties a shortcut section to the folder its links go
 * to, asking the user where the line says so. Entries live in the run record
 * until the run ends; the shortcut sections themselves are made by
 * shortcut_sections.cpp when the walk reaches them.
 */
#include "shortcuts/folderlist.h"

#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/pathtext.h"
#include "script/textmodel.h"
#include "shortcuts/linkrules.h"

int fnFolderWord(const char *lpszText)
{
    static const struct {
        const char *lpszWord;
        int nWord;
    } s_words[] = {{":DESKTOP:", FOLDERWORD_DESKTOP},
                   {":DESKTOPALL:", FOLDERWORD_DESKTOPALL},
                   {":STARTUP:", FOLDERWORD_STARTUP},
                   {":STARTUPALL:", FOLDERWORD_STARTUPALL}};
    for (const auto &w : s_words) {
        if (fnEqualNoCase(lpszText, w.lpszWord))
            return w.nWord;
    }
    return FOLDERWORD_NONE;
}

namespace {

/* Removes the entries an earlier run of this same list registered, keeping the others in order. */
void fnDropListEntries(UserInputStruct *lpRec, const char *lpszList)
{
    int nKept = 0;
    int nCount = lpRec->nShortcutSections < MAX_SHORTCUT_SECTIONS ? lpRec->nShortcutSections : MAX_SHORTCUT_SECTIONS;
    for (int i = 0; i < nCount; i++) {
        if (lpRec->lpszShortcutList[i] == lpszList)
            continue;
        if (nKept != i) {
            memcpy(lpRec->szShortcutSection[nKept], lpRec->szShortcutSection[i], sizeof(lpRec->szShortcutSection[0]));
            memcpy(lpRec->szShortcutFolder[nKept], lpRec->szShortcutFolder[i], sizeof(lpRec->szShortcutFolder[0]));
            lpRec->bDesktopEntry[nKept] = lpRec->bDesktopEntry[i];
            lpRec->bStartupEntry[nKept] = lpRec->bStartupEntry[i];
            lpRec->bGroupEntry[nKept] = lpRec->bGroupEntry[i];
            lpRec->lpszShortcutList[nKept] = lpRec->lpszShortcutList[i];
        }
        nKept++;
    }
    for (int i = nKept; i < nCount; i++) {
        lpRec->szShortcutSection[i][0] = '\0';
        lpRec->szShortcutFolder[i][0] = '\0';
        lpRec->bDesktopEntry[i] = lpRec->bStartupEntry[i] = lpRec->bGroupEntry[i] = FALSE;
        lpRec->lpszShortcutList[i] = NULL;
    }
    lpRec->nShortcutSections = nKept;
}

void fnAddEntry(UserInputStruct *lpRec, const char *lpszList, const char *lpszSection, const char *lpszFolder,
                BOOL bGroup, int nWord)
{
    int i = lpRec->nShortcutSections;
    fnCopyBounded(lpRec->szShortcutSection[i], sizeof(lpRec->szShortcutSection[i]), lpszSection);
    fnCopyBounded(lpRec->szShortcutFolder[i], sizeof(lpRec->szShortcutFolder[i]), lpszFolder);
    lpRec->bDesktopEntry[i] = (nWord == FOLDERWORD_DESKTOP || nWord == FOLDERWORD_DESKTOPALL);
    lpRec->bStartupEntry[i] = (nWord == FOLDERWORD_STARTUP || nWord == FOLDERWORD_STARTUPALL);
    lpRec->bGroupEntry[i] = bGroup;
    lpRec->lpszShortcutList[i] = lpszList;
    lpRec->nShortcutSections = i + 1;
}

/* The shell folder a folder word names (registry, else the Windows folder and a fixed name). */
void fnWordFolder(int nWord, char *lpszFolder, size_t cchFolder)
{
    BOOL bCommon = (nWord == FOLDERWORD_DESKTOPALL || nWord == FOLDERWORD_STARTUPALL);
    BOOL bDesktop = (nWord == FOLDERWORD_DESKTOP || nWord == FOLDERWORD_DESKTOPALL);
    const char *lpszValue = bDesktop ? (bCommon ? "Common Desktop" : "Desktop") : (bCommon ? "Common Startup" : "Startup");
    g_lpMachine->pfnGetShellFolder(bCommon, lpszValue, lpszFolder, cchFolder, bDesktop ? 1258 : 1256);
}

/* Field nField expanded; FALSE when the expansion would be cut. */
BOOL fnListField(char *lpszLine, int nField, char *lpszOut, size_t cchOut)
{
    char szWork[CCH_FIELD_BUF];
    lpszOut[0] = '\0';
    if (!fnInfParseField(lpszLine, nField, szWork, sizeof(szWork)))
        return TRUE;
    if (!fnExpandDataField(szWork, sizeof(szWork), "fnRegisterShortcutFolders", NULL))
        return FALSE;
    fnStripQuotes(szWork);
    return fnCopyBounded(lpszOut, cchOut, szWork);
}

}  // namespace

UINT fnRegisterShortcutFolders(const char *lpszSection, const char *lpszName, UserInputStruct *lpRec,
                               const ShortcutUiStruct *lpUi)
{
    BOOL bGroup = fnEqualNoCase(lpszName, "[PMGroups]");
    fnDropListEntries(lpRec, lpszSection);
    if (lpRec->nShortcutSections == 0)
        fnCopyBounded(g_szLastShortcutFolder, sizeof(g_szLastShortcutFolder), g_szUserProgramsFolder);
    BOOL bFirstList = (lpRec->nShortcutSections == 0);
    lpRec->bListDone = FALSE;
    fnDebugLog("fnRegisterShortcutFolders", "lpszName=%s, nShortcutSections=%d", g_uDebugLevel, lpszName,
               lpRec->nShortcutSections);

    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF];
    for (int nLine = 0; nLine < MAX_SHORTCUT_SECTIONS && lpszPos && *lpszPos; nLine++) {
        if (lpRec->nShortcutSections >= MAX_SHORTCUT_SECTIONS)
            break;
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_SKIPREST)
            break;
        if (uTest == IDTEST_GOON || uTest == IDTEST_FALSE)
            continue;

        char szSection[CCH_TITLE], szKey[CCH_FIELD_BUF];
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey)) || !szKey[0]) {
            fnDebugLog("fnRegisterShortcutFolders", "No shortcut section name: %s", g_uDebugLevel, szLine);
            continue;
        }
        if (szKey[0] == '[')
            fnCopyBounded(szSection, sizeof(szSection), szKey);
        else
            fnFormatBounded(szSection, sizeof(szSection), "[%s]", szKey);

        char szFolderName[CCH_PATH], szBase[CCH_PATH], szAsk[CCH_FIELD_BUF], szText[CCH_MSG];
        if (!fnListField(szLine, 1, szFolderName, sizeof(szFolderName)) ||
            !fnListField(szLine, 2, szBase, sizeof(szBase)) || !fnListField(szLine, 4, szText, sizeof(szText))) {
            fnDebugLog("fnRegisterShortcutFolders", "A folder would be cut, entry passed over: %s", g_uDebugLevel,
                       szLine);
            continue;
        }
        fnWriteLog("%s, \"%s\", \"%s\"", TRUE, szSection, szFolderName, szBase);
        if (!fnInfParseField(szLine, 3, szAsk, sizeof(szAsk)))
            szAsk[0] = '\0';
        /* a quiet run asks nothing: every line counts as one that does not ask */
        BOOL bAsk = !(szAsk[0] == 'N' || szAsk[0] == 'n') && !g_bQuiet;

        int nWord = fnFolderWord(szFolderName);
        if (nWord != FOLDERWORD_NONE) {
            char szFolder[CCH_PATH];
            fnWordFolder(nWord, szFolder, sizeof(szFolder));
            if (bAsk) {
                BOOL bDesktop = (nWord == FOLDERWORD_DESKTOP || nWord == FOLDERWORD_DESKTOPALL);
                if (!szText[0])
                    g_lpMachine->pfnLoadString(bDesktop ? 1222 : 1223, szText, sizeof(szText));
                if (!lpUi->pfnAskYesNo(szText))
                    continue;
            }
            fnAddEntry(lpRec, lpszSection, szSection, szFolder, bGroup, nWord);
            continue;
        }

        if (bGroup || !szBase[0])
            fnCopyBounded(szBase, sizeof(szBase), g_szUserProgramsFolder);
        char szFolder[CCH_PATH];
        if (!fnJoinPath(szFolder, sizeof(szFolder), szBase, szFolderName)) {
            fnDebugLog("fnRegisterShortcutFolders", "Folder too long, entry passed over: %s", g_uDebugLevel, szLine);
            continue;
        }
        if (bAsk) {
            if (!szText[0])
                g_lpMachine->pfnLoadString(1226, szText, sizeof(szText));
            int nAnswer = lpUi->pfnFolderDialog(szText, szBase, szFolderName, szFolder, sizeof(szFolder));
            if (nAnswer == FOLDERDLG_EXIT)
                return 0;
            if (nAnswer != FOLDERDLG_OK) {
                fnAddEntry(lpRec, lpszSection, szSection, SHORTCUT_SKIP_IT, bGroup, FOLDERWORD_NONE);
                continue;
            }
        }
        fnAddEntry(lpRec, lpszSection, szSection, szFolder, bGroup, FOLDERWORD_NONE);
        if (bFirstList)
            fnCopyBounded(g_szLastShortcutFolder, sizeof(g_szLastShortcutFolder), szFolder);
        if (!lpUi->pfnCreateFolder(szFolder)) {
            fnDebugLog("fnRegisterShortcutFolders", "Cannot create %s", g_uDebugLevel, szFolder);
            if (!g_bQuiet && !lpUi->pfnAskContinue(szFolder))
                return 0;
        }
    }
    lpRec->bListDone = TRUE;
    fnDebugLog("fnRegisterShortcutFolders", "Done, nShortcutSections=%d", g_uDebugLevel, lpRec->nShortcutSections);
    return 1;
}
