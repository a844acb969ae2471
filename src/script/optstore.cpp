/*
 * script/optstore.cpp -- definitions and start-up state of the value stores
 * that options read, and the storing of inline-function results.
 */
#include "script/optstore.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/scramble.h"

char g_cOptChar = '@';
char g_szExpandDelims[CCH_EXPANDDELIMS] = ",=";

char g_szPathSlot[OPT_SLOTS + 1][CCH_PATH];
char g_szSourceSlot[OPT_SLOTS][CCH_PATH];
char g_szRegEntry[CCH_PATH];
char g_szRegEntrySlot[10][CCH_PATH];
char g_szRegValues[OPT_SLOTS][CCH_REGVALUE];

/* every slot holds CCH_ANSWER characters, the first being the run state's */
static char s_szAskForMore[OPT_SLOTS - 1][CCH_ANSWER];
static_assert(sizeof(g_szAskForResponse) == CCH_ANSWER, "answer slot 0 differs in size from the others");
char *const g_lpszAskForResponse[OPT_SLOTS] = {
    g_szAskForResponse, s_szAskForMore[0], s_szAskForMore[1], s_szAskForMore[2], s_szAskForMore[3],
    s_szAskForMore[4],  s_szAskForMore[5], s_szAskForMore[6], s_szAskForMore[7],
};
char g_szFromListResponse[OPT_SLOTS][CCH_LISTANSWER];
char g_szFromComboResponse[OPT_SLOTS][CCH_LISTANSWER];
char g_szDefaultSetting[10][CCH_DEFAULTSETTING];
char g_szOptionAnswer[OPT_SLOTS][5];
char g_szUserName[CCH_USERNAME];
char g_szUserPassword[CCH_PASSWORD];
char g_szCmdResult[10][CCH_PATH];
UINT g_uCmdResult;
char g_szFunResult[10][CCH_PATH];
UINT g_uFunResult;
UINT g_uStrTestResult[STRTEST_ENTRIES];
char g_szReservedF[OPT_SLOTS][CCH_PATH];
char g_szReservedG[10][CCH_PATH];
char g_szLastShortcutFolder[CCH_PATH];

void fnResetOptStore(void)
{
    g_cOptChar = '@';
    fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), ",=");
    memset(g_szPathSlot, 0, sizeof(g_szPathSlot));
    memset(g_szSourceSlot, 0, sizeof(g_szSourceSlot));
    memset(g_szRegEntry, 0, sizeof(g_szRegEntry));
    memset(g_szRegEntrySlot, 0, sizeof(g_szRegEntrySlot));
    memset(g_szRegValues, 0, sizeof(g_szRegValues));
    for (UINT i = 0; i < OPT_SLOTS; i++)
        g_lpszAskForResponse[i][0] = '\0';
    memset(g_szFromListResponse, 0, sizeof(g_szFromListResponse));
    memset(g_szFromComboResponse, 0, sizeof(g_szFromComboResponse));
    memset(g_szDefaultSetting, 0, sizeof(g_szDefaultSetting));
    memset(g_szOptionAnswer, 0, sizeof(g_szOptionAnswer));
    memset(g_szUserName, 0, sizeof(g_szUserName));
    memset(g_szUserPassword, 0, sizeof(g_szUserPassword));
    memset(g_szCmdResult, 0, sizeof(g_szCmdResult));
    g_uCmdResult = 0;
    memset(g_szFunResult, 0, sizeof(g_szFunResult));
    g_uFunResult = 0;
    memset(g_uStrTestResult, 0, sizeof(g_uStrTestResult));
    memset(g_szReservedF, 0, sizeof(g_szReservedF));
    memset(g_szReservedG, 0, sizeof(g_szReservedG));
    memset(g_szLastShortcutFolder, 0, sizeof(g_szLastShortcutFolder));
}

void fnStoreFunResult(const char *lpszResult)
{
    UINT uSlot = g_uFunResult < 9 ? g_uFunResult : 9;
    fnCopyBounded(g_szFunResult[uSlot], sizeof(g_szFunResult[uSlot]), lpszResult);
    if (g_uFunResult < 9)
        g_uFunResult++;
}

void fnStoreCmdResult(const char *lpszResult)
{
    UINT uSlot = g_uCmdResult < 9 ? g_uCmdResult : 9;
    fnCopyBounded(g_szCmdResult[uSlot], sizeof(g_szCmdResult[uSlot]), lpszResult ? lpszResult : "");
    if (g_uCmdResult < 9)
        g_uCmdResult++;
}

BOOL fnGetPlainPassword(char *lpszOut, size_t cchOut)
{
    if (!lpszOut || !cchOut)
        return FALSE;
    lpszOut[0] = '\0';
    if (!g_szUserPassword[0] || !fnCopyBounded(lpszOut, cchOut, g_szUserPassword))
        return FALSE;
    if (!fnDeCryptString(lpszOut)) {
        /* never hand on the scrambled form as if it were the password */
        memset(lpszOut, 0, cchOut);
        return FALSE;
    }
    return TRUE;
}
