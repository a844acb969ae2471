/*
 * config/defaults_win.cpp -- "[ReadDefaults]" and its two other names: values
 * read out of existing configuration files into the ten default-setting
 * slots that later fields take as @P1-@P9. INI files are read through the
 * profile functions, other files by the line rules of config/lineedit.h.
 * Nothing is reported to the user: what cannot be read gives the default.
 */
#include <windows.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "config/cfgfile.h"
#include "config/cfgsections.h"
#include "config/lineedit.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/textmodel.h"

#define DEFAULT_SLOTS 10
#define CCH_PROFILE_READ 1024
/* what a profile read gives for a key it does not find; a stored value of that text counts as none */
static const char s_szTestString[] = "A_TEST_STRING";

/* Expands a field in place; FALSE when the expansion would cut it (it then names something else). */
static BOOL fnExpandWhole(char *lpszField, size_t cchField)
{
    BOOL bCut = FALSE;
    fnExpandOptsCut(lpszField, cchField, &bCut);
    return !bCut;
}

/* Reads one value; the default when the file, section or key gives nothing. */
static void fnReadDefault(char *lpszLine, char *lpszOut, size_t cchOut)
{
    char szFile[CCH_FIELD_BUF], szSection[CCH_FIELD_BUF], szKey[CCH_FIELD_BUF], szType[CCH_FIELD_BUF];
    char szSub[CCH_FIELD_BUF], szDefault[CCH_FIELD_BUF];
    lpszOut[0] = '\0';
    if (!fnInfParseField(lpszLine, 2, szFile, sizeof(szFile)) || !szFile[0] ||
        !fnInfParseField(lpszLine, 4, szKey, sizeof(szKey)) || !szKey[0])
        return;
    fnInfParseField(lpszLine, 3, szSection, sizeof(szSection));
    fnInfParseField(lpszLine, 5, szType, sizeof(szType));
    fnInfParseField(lpszLine, 6, szSub, sizeof(szSub));
    fnInfParseField(lpszLine, 7, szDefault, sizeof(szDefault));
    char cType = szType[0] ? fnUpperAscii(szType[0]) : 'I';
    szType[0] = cType;
    szType[1] = '\0';
    BOOL bWhole = fnExpandWhole(szFile, sizeof(szFile)) && fnExpandWhole(szKey, sizeof(szKey));
    if (szSection[0])
        bWhole = fnExpandWhole(szSection, sizeof(szSection)) && bWhole;
    if (szSub[0])
        fnExpandOpts(szSub, sizeof(szSub));
    if (szDefault[0])
        fnExpandOpts(szDefault, sizeof(szDefault));
    char szPath[CCH_PATH];
    BOOL bFound = FALSE;
    if (bWhole && fnResolveConfigPath(szFile, cType == 'I', szPath, sizeof(szPath))) {
        if (cType == 'I') {
            char szRead[CCH_PROFILE_READ];
            DWORD cch = GetPrivateProfileStringA(szSection, szKey, s_szTestString, szRead, sizeof(szRead), szPath);
            bFound = cch > 0 && strcmp(szRead, s_szTestString) != 0;
            if (bFound)
                fnCopyBounded(lpszOut, cchOut, szRead);
        } else {
            TextBufGuardStruct value;
            bFound = fnReadCfgValue(szPath, szSection, szKey, szType, szSub, &value.buf);
            if (bFound)
                fnCopyBounded(lpszOut, cchOut, fnTextBufText(&value.buf));
        }
    }
    if (!bFound)
        fnCopyBounded(lpszOut, cchOut, szDefault);
    fnDebugLog("fnReadIniFiles", "lpszFile=%s,\nlpszSection=%s,\nlpszKey=%s,\ncType=%c,\nbFound=%d", g_uDebugLevel,
               szFile, szSection, szKey, cType, bFound);
}

UINT fnReadIniFiles(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    (void)hWnd;
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    BOOL bSkipIfTestFails = FALSE;
    int nSlot = 0;
    char szLine[CCH_LINE_BUF], szLeft[CCH_FIELD_BUF], szRight[CCH_FIELD_BUF];
    while (lpszPos && *lpszPos && nSlot < DEFAULT_SLOTS) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        g_szDefaultSetting[nSlot][0] = '\0';
        BOOL bLeft = fnInfParseField(szLine, 0, szLeft, sizeof(szLeft));
        BOOL bRight = fnInfParseField(szLine, 1, szRight, sizeof(szRight));
        int nKey = bLeft ? fnFindSectionKey(g_aReadDefaultsKeys, szLeft) : -1;
        if (nKey == CFGKEY_EXPANDDELIMS) {
            fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), szRight);
            continue;
        }
        if (nKey == CFGKEY_SKIPIFTESTFAILS) {
            bSkipIfTestFails = (fnUpperAscii(szRight[0]) == 'Y');
            continue;
        }
        if (bRight) {
            UINT uTest = fnInfTestField(szLeft, szRight);
            if (uTest == IDTEST_SKIPREST)
                break;
            /* a section condition that held is no reading line: it takes no slot */
            if (uTest == IDTEST_GOON)
                continue;
            if (uTest == IDTEST_FALSE) {
                if (!bSkipIfTestFails)
                    nSlot++;
                continue;
            }
        }
        fnReadDefault(szLine, g_szDefaultSetting[nSlot], sizeof(g_szDefaultSetting[nSlot]));
        fnDebugLog("fnReadIniFiles", "g_szDefaultSetting[%d]=%s", g_uDebugLevel, nSlot, g_szDefaultSetting[nSlot]);
        nSlot++;
    }
    return SECT_CONTINUE;
}
