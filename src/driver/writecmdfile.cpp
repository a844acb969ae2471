/*
 * driver/writecmdfile.cpp -- the "[WriteCmdFile]" section: builds a command
 * record from its Key=Value lines (conditions, options and inline functions
 * allowed) and writes it as a command file that a later start reads.
 */
#include <windows.h>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/cmdfile.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/logwriters.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/textmodel.h"

/* "TRUE" or "1" switch a key on. */
static BOOL fnIsOn(const char *lpszValue)
{
    return fnEqualNoCase(lpszValue, "TRUE") || fnEqualNoCase(lpszValue, "1");
}

/* Expands the value and keeps at most cchOut-1 characters of it. */
static void fnTakeExpanded(char *lpszValue, char *lpszOut, size_t cchOut)
{
    fnExpandOpts(lpszValue, CCH_FIELD_BUF);
    fnCopyBounded(lpszOut, cchOut, lpszValue);
}

UINT fnInfWriteCmdFile(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    (void)hWnd;
    const char *lpszPos = fnInfFindSection(lpszSection, lpszName);
    if (!lpszPos || !*lpszPos)
        return SECT_CONTINUE;

    CmdOptionStruct rec;
    ZeroMemory(&rec, sizeof(rec));
    char szWriteFile[CCH_PATH] = "";
    BOOL bDontDelete = FALSE;
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    BOOL bReading = TRUE;
    while (bReading && lpszPos && *lpszPos) {
        lpszPos = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszPos || !szLine[0])
            break;
        UINT uTest = fnInfTestIfTwoFields(szLine);
        if (uTest == IDTEST_FALSE || uTest == IDTEST_GOON)
            continue;
        if (uTest == IDTEST_SKIPREST)
            break;
        if (!fnInfParseField(szLine, 0, szKey, sizeof(szKey))) {
            fnDebugLog("fnInfWriteCmdFile", "Line without a key: %s", g_uDebugLevel, szLine);
            return SECT_ERROR;
        }
        fnInfParseField(szLine, 1, szValue, sizeof(szValue));
        if (fnEqualNoCase(szKey, "BeQuiet"))
            rec.bQuiet = fnIsOn(szValue);
        else if (fnEqualNoCase(szKey, "NoPrompts"))
            rec.bNoPrompt = fnIsOn(szValue);
        else if (fnEqualNoCase(szKey, "TempExec"))
            rec.bTempExec = fnIsOn(szValue);
        else if (fnEqualNoCase(szKey, "DestDir"))
            fnTakeExpanded(szValue, rec.szDestDir, sizeof(rec.szDestDir));
        else if (fnEqualNoCase(szKey, "SourceDir"))
            fnTakeExpanded(szValue, rec.szSourceDir, sizeof(rec.szSourceDir));
        else if (fnEqualNoCase(szKey, "IniFile"))
            fnTakeExpanded(szValue, rec.szIniFile, sizeof(rec.szIniFile));
        else if (fnEqualNoCase(szKey, "CmdFile"))
            fnTakeExpanded(szValue, rec.szCmdFile, sizeof(rec.szCmdFile));
        else if (fnEqualNoCase(szKey, "AskFor"))
            fnTakeExpanded(szValue, rec.szAskFor, sizeof(rec.szAskFor));
        else if (fnEqualNoCase(szKey, "StartupMsg"))
            fnTakeExpanded(szValue, rec.szStartupMsg, sizeof(rec.szStartupMsg));
        else if (fnEqualNoCase(szKey, "WriteFile"))
            fnTakeExpanded(szValue, szWriteFile, sizeof(szWriteFile));
        else if (fnEqualNoCase(szKey, "DontDelete"))
            bDontDelete = fnIsOn(szValue);
        else
            bReading = FALSE;  /* a key this section does not know ends its reading */
    }
    if (!szWriteFile[0])
        return SECT_CONTINUE;
    if (!bDontDelete && DeleteFileA(szWriteFile))
        fnWriteLog("Deleted %s", TRUE, szWriteFile);
    fnDebugLog("fnInfWriteCmdFile", "lpszFile=%s,\nDontDelete=%d", g_uDebugLevel, szWriteFile, bDontDelete);
    if (!fnWriteCmdFile(szWriteFile, &rec))
        fnDebugLog("fnInfWriteCmdFile", "Could not write %s", g_uDebugLevel, szWriteFile);
    return SECT_CONTINUE;
}
