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

/*
 * Expands the value into the record's field of cchOut characters. FALSE, with
 * a debug-log entry, when the expansion was cut or the value does not fit: a
 * command file with a shortened folder or file name would send the next start
 * somewhere else.
 */
static BOOL fnTakeExpanded(const char *lpszKey, char *lpszValue, char *lpszOut, size_t cchOut)
{
    if (fnExpandDataField(lpszValue, CCH_FIELD_BUF, "fnInfWriteCmdFile", NULL) &&
        fnCopyBounded(lpszOut, cchOut, lpszValue))
        return TRUE;
    fnDebugLog("fnInfWriteCmdFile", "%s is longer than %u characters: %s", g_uDebugLevel, lpszKey,
               (UINT)(cchOut - 1), lpszValue);
    return FALSE;
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
        /* the texts of the record and the file to write, each with its field */
        struct {
            const char *lpszKey;
            char *lpszOut;
            size_t cchOut;
        } const aTexts[] = {
            {"DestDir", rec.szDestDir, sizeof(rec.szDestDir)},
            {"SourceDir", rec.szSourceDir, sizeof(rec.szSourceDir)},
            {"IniFile", rec.szIniFile, sizeof(rec.szIniFile)},
            {"CmdFile", rec.szCmdFile, sizeof(rec.szCmdFile)},
            {"AskFor", rec.szAskFor, sizeof(rec.szAskFor)},
            {"StartupMsg", rec.szStartupMsg, sizeof(rec.szStartupMsg)},
            {"WriteFile", szWriteFile, sizeof(szWriteFile)},
        };
        BOOL bText = FALSE;
        for (const auto &t : aTexts) {
            if (!fnEqualNoCase(szKey, t.lpszKey))
                continue;
            bText = TRUE;
            /* a value that would be cut fails the section, and nothing is written */
            if (!fnTakeExpanded(t.lpszKey, szValue, t.lpszOut, t.cchOut))
                return SECT_ERROR;
            break;
        }
        if (bText)
            continue;
        if (fnEqualNoCase(szKey, "BeQuiet"))
            rec.bQuiet = fnIsOn(szValue);
        else if (fnEqualNoCase(szKey, "NoPrompts"))
            rec.bNoPrompt = fnIsOn(szValue);
        else if (fnEqualNoCase(szKey, "TempExec"))
            rec.bTempExec = fnIsOn(szValue);
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
