/*
 * driver/cmdfile.cpp -- reading and writing the command file. Keys are
 * "INIFILE", "SOURCEDIR", "DESTDIR", "ASKFOR", "CMDFILE", "STARTUPMSG" (texts)
 * and "TEMPEXEC", "BEQUIET" (switches) in section "START".
 */
#include "driver/cmdfile.h"


#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "driver/winstate.h"

#define CMD_SECTION "START"

BOOL fnFindCmdFile(const char *lpszName, char *lpszPath, size_t cchPath)
{
    return fnFindNamedFile(lpszName, lpszPath, cchPath);
}

/*
 * GetPrivateProfileString needs a full path, or it looks in the Windows
 * folder: a relative name is made full against the current folder first.
 */
static BOOL fnFullName(const char *lpszFile, char *lpszFull, size_t cchFull)
{
    DWORD n = GetFullPathNameA(lpszFile, (DWORD)cchFull, lpszFull, NULL);
    return n > 0 && n < cchFull;
}

/* The reader of fnFillCmdRecord: one key of section "START" of the file named by lpContext. */
static void fnReadKey(void *lpContext, const char *lpszKey, char *lpszOut, size_t cchOut)
{
    GetPrivateProfileStringA(CMD_SECTION, lpszKey, "", lpszOut, (DWORD)cchOut, (const char *)lpContext);
}

BOOL fnReadCmdFile(const char *lpszFile, CmdOptionStruct *lpOpt)
{
    char szFull[CCH_PATH];
    if (!fnFullName(lpszFile, szFull, sizeof(szFull)) || !fnIsFile(szFull))
        return FALSE;
    fnFillCmdRecord(fnReadKey, szFull, lpOpt);
    fnDebugLog("fnReadCmdFile",
               "lpszFile=%s,\nINIFILE=%s,\nSOURCEDIR=%s,\nDESTDIR=%s,\nASKFOR=%s,\nCMDFILE=%s,\nSTARTUPMSG=%s,\n"
               "TEMPEXEC=%d,\nBEQUIET=%d",
               g_uDebugLevel, szFull, lpOpt->szIniFile, lpOpt->szSourceDir, lpOpt->szDestDir, lpOpt->szAskFor,
               lpOpt->szCmdFile, lpOpt->szStartupMsg, lpOpt->bTempExec, lpOpt->bQuiet);
    return TRUE;
}

static BOOL fnWriteKey(const char *lpszFull, const char *lpszKey, const char *lpszValue, UINT uHidden, UINT uKey)
{
    if (!lpszValue || !*lpszValue)
        return TRUE;
    if (!WritePrivateProfileStringA(CMD_SECTION, lpszKey, lpszValue, lpszFull)) {
        fnDebugLog("fnWriteCmdFile", "WritePrivateProfileString %s failed, dwError=%lu", g_uDebugLevel, lpszKey,
                   (unsigned long)GetLastError());
        return FALSE;
    }
    fnWriteLog("%s: [%s] %s=%s", TRUE, (uHidden & CMDHIDE_FILENAME) ? "(hidden)" : lpszFull, CMD_SECTION, lpszKey,
               (uHidden & uKey) ? "(hidden)" : lpszValue);
    return TRUE;
}

BOOL fnWriteCmdFile(const char *lpszFile, const CmdOptionStruct *lpOpt, UINT uHidden)
{
    char szFull[CCH_PATH];
    if (!fnFullName(lpszFile, szFull, sizeof(szFull)))
        return FALSE;
    BOOL bOk = TRUE;
    bOk &= fnWriteKey(szFull, "INIFILE", lpOpt->szIniFile, uHidden, CMDHIDE_INIFILE);
    bOk &= fnWriteKey(szFull, "SOURCEDIR", lpOpt->szSourceDir, uHidden, CMDHIDE_SOURCEDIR);
    bOk &= fnWriteKey(szFull, "DESTDIR", lpOpt->szDestDir, uHidden, CMDHIDE_DESTDIR);
    bOk &= fnWriteKey(szFull, "ASKFOR", lpOpt->szAskFor, uHidden, CMDHIDE_ASKFOR);
    bOk &= fnWriteKey(szFull, "CMDFILE", lpOpt->szCmdFile, uHidden, CMDHIDE_CMDFILE);
    bOk &= fnWriteKey(szFull, "STARTUPMSG", lpOpt->szStartupMsg, uHidden, CMDHIDE_STARTUPMSG);
    if (lpOpt->bTempExec)
        bOk &= fnWriteKey(szFull, "TEMPEXEC", "TRUE", uHidden, 0);
    if (lpOpt->bQuiet)
        bOk &= fnWriteKey(szFull, "BEQUIET", "TRUE", uHidden, 0);
    /* the profile API caches writes: flush so a start right after reads them */
    WritePrivateProfileStringA(NULL, NULL, NULL, szFull);
    return bOk;
}
