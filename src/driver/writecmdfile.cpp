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
 * somewhere else. *lpbSecret tells whether the value took in the password.
 */
static BOOL fnTakeExpanded(const char *lpszKey, char *lpszValue, char *lpszOut, size_t cchOut, BOOL *lpbSecret)
{
    BOOL bWhole = fnExpandDataField(lpszValue, CCH_FIELD_BUF, "fnInfWriteCmdFile", NULL);
    *lpbSecret = g_bLastExpandSecret;
    if (bWhole && fnCopyBounded(lpszOut, cchOut, lpszValue))
        return TRUE;
    fnDebugLog("fnInfWriteCmdFile", "%s is longer than %u characters: %s", g_uDebugLevel, lpszKey,
               (UINT)(cchOut - 1), *lpbSecret ? "(hidden)" : lpszValue);
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
    UINT uHidden = 0;         /* CMDHIDE_... of the values that took in the password */
    BOOL bFileSecret = FALSE; /* the file's own name took it in */
    char szLine[CCH_LINE_BUF], szKey[CCH_FIELD_BUF], szValue[CCH_FIELD_BUF];
    BOOL bReading = TRUE;
    while (bReading && fnNextRunLine(&lpszPos, szLine) == NEXTLINE_RUN) {
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
            UINT uHide;
        } const aTexts[] = {
            {WCKEY_DESTDIR, rec.szDestDir, sizeof(rec.szDestDir), CMDHIDE_DESTDIR},
            {WCKEY_SOURCEDIR, rec.szSourceDir, sizeof(rec.szSourceDir), CMDHIDE_SOURCEDIR},
            {WCKEY_INIFILE, rec.szIniFile, sizeof(rec.szIniFile), CMDHIDE_INIFILE},
            {WCKEY_CMDFILE, rec.szCmdFile, sizeof(rec.szCmdFile), CMDHIDE_CMDFILE},
            {WCKEY_ASKFOR, rec.szAskFor, sizeof(rec.szAskFor), CMDHIDE_ASKFOR},
            {WCKEY_STARTUPMSG, rec.szStartupMsg, sizeof(rec.szStartupMsg), CMDHIDE_STARTUPMSG},
            {WCKEY_WRITEFILE, szWriteFile, sizeof(szWriteFile), 0},
        };
        BOOL bText = FALSE;
        for (const auto &t : aTexts) {
            if (t.nKey != nKey)
                continue;
            bText = TRUE;
            /* a value that would be cut fails the section, and nothing is written */
            BOOL bSecret = FALSE;
            if (!fnTakeExpanded(szKey, szValue, t.lpszOut, t.cchOut, &bSecret))
                return SECT_ERROR;
            /* a later line of the same key replaces the value, and with it the need to hide it */
            if (t.uHide)
                uHidden = bSecret ? (uHidden | t.uHide) : (uHidden & ~t.uHide);
            else
                bFileSecret = bSecret;
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
    const char *lpszShowFile = bFileSecret ? "(hidden)" : szWriteFile;
    if (!bDontDelete && DeleteFileA(szWriteFile))
        fnWriteLog("Deleted %s", TRUE, lpszShowFile);
    fnDebugLog("fnInfWriteCmdFile", "lpszFile=%s,\nDontDelete=%d", g_uDebugLevel, lpszShowFile, bDontDelete);
    if (!fnWriteCmdFile(szWriteFile, &rec, uHidden | (bFileSecret ? CMDHIDE_FILENAME : 0)))
        fnDebugLog("fnInfWriteCmdFile", "Could not write %s", g_uDebugLevel, lpszShowFile);
    return SECT_CONTINUE;
}
