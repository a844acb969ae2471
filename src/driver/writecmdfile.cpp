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
#include "driver/cmdfilekeys.h"
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
        int nKey = fnFindSectionKey(g_aWriteCmdFileKeys, szKey);
        /* the texts of the record and the file to write, each with its field */
        struct {
            int nKey;
            char *lpszOut;
            size_t cchOut;
        } const aTexts[] = {
            {WCKEY_DESTDIR, rec.szDestDir, sizeof(rec.szDestDir)},
            {WCKEY_SOURCEDIR, rec.szSourceDir, sizeof(rec.szSourceDir)},
            {WCKEY_INIFILE, rec.szIniFile, sizeof(rec.szIniFile)},
            {WCKEY_CMDFILE, rec.szCmdFile, sizeof(rec.szCmdFile)},
            {WCKEY_ASKFOR, rec.szAskFor, sizeof(rec.szAskFor)},
            {WCKEY_STARTUPMSG, rec.szStartupMsg, sizeof(rec.szStartupMsg)},
            {WCKEY_WRITEFILE, szWriteFile, sizeof(szWriteFile)},
        };
        BOOL bText = FALSE;
        for (const auto &t : aTexts) {
            if (t.nKey != nKey)
                continue;
            bText = TRUE;
            /* a value that would be cut fails the section, and nothing is written */
            if (!fnTakeExpanded(szKey, szValue, t.lpszOut, t.cchOut))
                return SECT_ERROR;
            break;
        }
        if (bText)
            continue;
        switch (nKey) {
        case WCKEY_BEQUIET: rec.bQuiet = fnIsOn(szValue); break;
        case WCKEY_NOPROMPTS: rec.bNoPrompt = fnIsOn(szValue); break;
        case WCKEY_TEMPEXEC: rec.bTempExec = fnIsOn(szValue); break;
        case WCKEY_DONTDELETE: bDontDelete = fnIsOn(szValue); break;
        default: bReading = FALSE; break;  /* a key this section does not know ends its reading */
        }
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
