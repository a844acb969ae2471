/*
 * config/inifiles_win.cpp -- the "[IniEdits]" section: INI files edited
 * through the Windows profile functions (type I), every other type through
 * the line editor of config/lineedit.h, each file backed up and replaced as
 * config/cfgfile_win.cpp does. Every question is asked, also in a quiet run:
 * a configuration file is not changed or left unchanged behind the user's back.
 */
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "config/cfgask.h"
#include "config/cfgfile.h"
#include "config/cfgsections.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/optstore.h"
#include "script/textmodel.h"

#define CCH_INI_NAME 128   /* section and key names keep 127 characters */
#define CCH_PROFILE_VALUE 1024

BOOL fnEditProfile(const char *lpszFile, const IniEditStruct *lpEdit)
{
    const char *lpszSection = lpEdit->lpszSection ? lpEdit->lpszSection : "";
    const char *lpszKey = lpEdit->lpszKey ? lpEdit->lpszKey : "";
    const char *lpszValue = lpEdit->lpszValue ? lpEdit->lpszValue : "";
    char cAction = fnUpperAscii(lpEdit->cAction ? lpEdit->cAction : 'N');
    char szOld[CCH_PROFILE_VALUE] = "";
    if (lpszKey[0])
        GetPrivateProfileStringA(lpszSection[0] ? lpszSection : NULL, lpszKey, "", szOld, sizeof(szOld), lpszFile);
    if (szOld[0] && cAction == 'S')
        return TRUE;
    if (cAction == 'D')
        lpszValue = "";
    BOOL bOk = TRUE, bChanged = FALSE;
    if (!lpszKey[0]) {
        if (cAction == 'D' && lpszSection[0]) {
            /* the whole section goes, and nothing is written after it */
            bOk = WritePrivateProfileStringA(lpszSection, NULL, NULL, lpszFile);
            bChanged = bOk;
        } else {
            /* an entry without a name is no setting: nothing is written */
            fnDebugLog("fnIniFilesEdit", "No key given for %s [%s]: nothing written", g_uDebugLevel, lpszFile,
                       lpszSection);
        }
    } else if (cAction == 'D') {
        bOk = WritePrivateProfileStringA(lpszSection[0] ? lpszSection : NULL, lpszKey, NULL, lpszFile);
        bChanged = bOk && szOld[0];
    } else {
        bOk = WritePrivateProfileStringA(lpszSection[0] ? lpszSection : NULL, lpszKey, lpszValue, lpszFile);
        bChanged = bOk;
    }
    if (!bOk)
        fnDebugLog("fnIniFilesEdit", "Profile write failed: %s,\ndwError=%lu", g_uDebugLevel, lpszFile,
                   (unsigned long)GetLastError());
    if (bChanged)
        fnWriteLog("%s, \"%s\", \"%s\", \"%s\", \"%s\", I", TRUE, lpszFile, lpszSection, lpszKey, szOld, lpszValue);
    return bOk;
}

/* Copies a field that must stay whole; FALSE when it would be cut. */
static BOOL fnTakeField(const char *lpszField, char *lpszOut, size_t cchOut)
{
    return fnCopyBounded(lpszOut, cchOut, lpszField);
}

/* One line of the section: the edit's outcome (CFGEDIT_...). */
static UINT fnIniEditLine(HWND hWnd, char *lpszLine)
{
    char szLeft[CCH_FIELD_BUF], szRight[CCH_FIELD_BUF], szField[CCH_FIELD_BUF];
    char szFile[CCH_PATH], szSection[CCH_INI_NAME], szKey[CCH_INI_NAME];
    char szValue[CCH_FIELD_BUF], szSub[CCH_FIELD_BUF], szType[3], szPath[CCH_PATH];
    BOOL bLeft = fnInfParseField(lpszLine, 0, szLeft, sizeof(szLeft));
    fnInfParseField(lpszLine, 1, szRight, sizeof(szRight));
    if (bLeft && fnFindSectionKey(g_aIniEditKeys, szLeft) == CFGKEY_EXPANDDELIMS) {
        fnCopyBounded(g_szExpandDelims, sizeof(g_szExpandDelims), szRight);
        return CFGEDIT_DONE;
    }
    UINT uTest = fnInfTestField(szLeft, szRight);
    if (uTest == IDTEST_SKIPREST)
        return CFGEDIT_STOP;
    if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
        return CFGEDIT_DONE;
    if (!fnInfParseField(lpszLine, 2, szField, sizeof(szField)))
        return fnCfgAskYesNo(1145, "") ? CFGEDIT_NEXT : CFGEDIT_STOP;
    /* a value the expansion would cut, or a name too long to keep, would edit something else */
    BOOL bWhole = fnExpandDataField(szField, sizeof(szField), "fnIniFilesEdit", NULL) &&
                  fnTakeField(szField, szFile, sizeof(szFile));
    fnInfParseField(lpszLine, 3, szField, sizeof(szField));
    bWhole = bWhole && fnExpandDataField(szField, sizeof(szField), "fnIniFilesEdit", NULL) &&
             fnTakeField(szField, szSection, sizeof(szSection));
    fnInfParseField(lpszLine, 4, szField, sizeof(szField));
    bWhole = bWhole && fnExpandDataField(szField, sizeof(szField), "fnIniFilesEdit", NULL) &&
             fnTakeField(szField, szKey, sizeof(szKey));
    fnInfParseField(lpszLine, 5, szValue, sizeof(szValue));
    bWhole = bWhole && fnExpandDataField(szValue, sizeof(szValue), "fnIniFilesEdit", NULL);
    fnInfParseField(lpszLine, 6, szField, sizeof(szField));
    char cAction = szField[0] ? fnUpperAscii(szField[0]) : 'N';
    fnInfParseField(lpszLine, 7, szField, sizeof(szField));
    szType[0] = szField[0] ? fnUpperAscii(szField[0]) : 'I';
    szType[1] = szField[0] ? fnUpperAscii(szField[1]) : '\0';
    szType[2] = '\0';
    if (fnInfParseField(lpszLine, 8, szSub, sizeof(szSub)) && szSub[0]) {
        bWhole = bWhole && fnExpandDataField(szSub, sizeof(szSub), "fnIniFilesEdit", NULL);
        szSub[0] = fnUpperAscii(szSub[0]);
    } else if (szType[0] == 'P') {
        fnCopyBounded(szSub, sizeof(szSub), "E");
    } else if (szType[0] == 'M') {
        fnCopyBounded(szSub, sizeof(szSub), szValue);
    }
    /* a letter outside the sets still edits (as N, and as W without brackets); the log says so */
    if (!strchr(g_szIniEditActions, cAction) || !strchr(g_szIniEditTypes, szType[0]))
        fnDebugLog("fnIniFilesEdit", "Action %c or type %c is none of %s / %s", g_uDebugLevel, cAction, szType[0],
                   g_szIniEditActions, g_szIniEditTypes);
    fnDebugLog("fnIniFilesEdit", "szProfileFile=%s,\nszSection=%s,\nszKey=%s,\nszValue=%s,\nszAction=%c,\n"
               "szType=%s,\nszSubValue=%s", g_uDebugLevel, szFile, szSection, szKey, fnLogText(szValue), cAction,
               szType, szSub);
    if (!bWhole || !szFile[0] || !fnResolveConfigPath(szFile, szType[0] == 'I', szPath, sizeof(szPath)))
        return fnCfgAskYesNo(1145, "") ? CFGEDIT_NEXT : CFGEDIT_STOP;
    CfgFileEditStruct job;
    job.lpszFile = szPath;
    job.uMode = CFGMODE_INIEDIT;
    /*
     * A section list (sub-value G) is edited as lines of the file, not read
     * and written back through the profile functions: those drop comments
     * and, on some systems, entries without "=", and may cut a long section.
     */
    BOOL bList = szType[0] == 'I' && szSection[0] && szKey[0] && szSub[0] == 'G';
    job.bProfile = (szType[0] == 'I') && !bList;
    job.edit = {szPath, szSection, szKey, szValue, szType, cAction, szSub, bList};
    return fnEditConfigFile(hWnd, &job);
}

UINT fnIniFilesEdit(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    char szLine[CCH_LINE_BUF];
    while (fnNextRunLine(&lpszPos, szLine) == NEXTLINE_RUN) {
        /* a stopped section leaves its remaining lines undone; the run goes on */
        if (fnIniEditLine(hWnd, szLine) == CFGEDIT_STOP)
            break;
    }
    return SECT_CONTINUE;
}
