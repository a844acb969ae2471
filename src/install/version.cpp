/*
 * install/version.cpp -- reads version resources through the VERSION API and
 * compares them; file dates against today; the version lister of the
 * version-conflict dialog. A version block is read into a buffer of its
 * reported size plus 128 bytes and released before the call returns.
 */
#include "install/version.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"

namespace {

/* One file's version block, freed with the holder. */
struct VerBlockStruct {
    BYTE *lpb = NULL;
    DWORD cb = 0;
    ~VerBlockStruct() { free(lpb); }
    VerBlockStruct() = default;
    VerBlockStruct(const VerBlockStruct &) = delete;
    VerBlockStruct &operator=(const VerBlockStruct &) = delete;
};

struct HandleGuardStruct {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~HandleGuardStruct()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    HandleGuardStruct() = default;
    HandleGuardStruct(const HandleGuardStruct &) = delete;
    HandleGuardStruct &operator=(const HandleGuardStruct &) = delete;
};

/* Errors that mean the file itself could not be reached (missing, locked, out of memory...). */
BOOL fnIsUnreadableError(DWORD dwError)
{
    return (dwError >= 2 && dwError <= 5) || dwError == 14 || dwError == 18 || dwError == 32 || dwError == 54;
}

/*
 * Reads the version block of a file. Returns 0 when read; else *lpdwError
 * holds the size query's error (with 0 returned as 2) or, after a read
 * failure, 1 is returned.
 */
int fnReadVerBlock(const char *lpszFile, VerBlockStruct *lpBlock, DWORD *lpdwError)
{
    DWORD dwHandle = 0;
    *lpdwError = 0;
    DWORD cb = GetFileVersionInfoSizeA(lpszFile, &dwHandle);
    if (cb == 0) {
        *lpdwError = GetLastError();
        return 2;
    }
    lpBlock->lpb = (BYTE *)calloc(1, (size_t)cb + 128);
    if (!lpBlock->lpb) {
        *lpdwError = ERROR_NOT_ENOUGH_MEMORY;
        return 1;
    }
    if (!GetFileVersionInfoA(lpszFile, 0, cb, lpBlock->lpb)) {
        *lpdwError = GetLastError();
        return 1;
    }
    lpBlock->cb = cb;
    return 0;
}

const VS_FIXEDFILEINFO *fnFixedInfo(const VerBlockStruct *lpBlock)
{
    VS_FIXEDFILEINFO *lpFixed = NULL;
    UINT cb = 0;
    if (!VerQueryValueA(lpBlock->lpb, "\\", (LPVOID *)&lpFixed, &cb) || !lpFixed || cb < sizeof(VS_FIXEDFILEINFO))
        return NULL;
    return lpFixed;
}

/* Language and code page text of the first translation, "040904E4" when there is none of 4 bytes. */
void fnBlockTranslation(const VerBlockStruct *lpBlock, char *lpszOut, size_t cchOut)
{
    BYTE *lpb = NULL;
    UINT cb = 0;
    if (!VerQueryValueA(lpBlock->lpb, "\\VarFileInfo\\Translation", (LPVOID *)&lpb, &cb))
        lpb = NULL;
    fnTranslationText(lpb, lpb ? cb : 0, lpszOut, cchOut);
}

/* A string value under the block's key prefix, copied into lpszOut; FALSE (empty) when missing. */
BOOL fnBlockString(const VerBlockStruct *lpBlock, const char *lpszTranslation, const char *lpszKey, char *lpszOut,
                   size_t cchOut)
{
    char szKey[96];
    char *lpsz = NULL;
    UINT cch = 0;
    lpszOut[0] = '\0';
    fnFormatBounded(szKey, sizeof(szKey), "\\StringFileInfo\\%s\\%s", lpszTranslation, lpszKey);
    if (!VerQueryValueA(lpBlock->lpb, szKey, (LPVOID *)&lpsz, &cch) || !lpsz || !cch)
        return FALSE;
    /* the value's length counts its terminator, which a damaged block may lack */
    fnCopyBoundedN(lpszOut, cchOut, lpsz, cch);
    return TRUE;
}

BOOL fnIsOlder(const VS_FIXEDFILEINFO *s, const VS_FIXEDFILEINFO *t)
{
    if (s->dwFileVersionMS < t->dwFileVersionMS ||
        (s->dwFileVersionMS == t->dwFileVersionMS && s->dwFileVersionLS < t->dwFileVersionLS))
        return TRUE;
    return s->dwProductVersionMS < t->dwProductVersionMS ||
           (s->dwProductVersionMS == t->dwProductVersionMS && s->dwProductVersionLS < t->dwProductVersionLS);
}

/* yyyymmdd of a calendar date. */
DWORD fnDateNumber(const SYSTEMTIME *lpst)
{
    return (DWORD)lpst->wYear * 10000u + (DWORD)lpst->wMonth * 100u + lpst->wDay;
}

} // namespace

int fnPeekVersionSign(const char *lpszFile)
{
    HandleGuardStruct f;
    f.h = CreateFileA(lpszFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                      OPEN_EXISTING, 0, NULL);
    return f.h == INVALID_HANDLE_VALUE ? VERSIGN_UNREAD : fnPeekVersionSignOf(f.h);
}

int fnPeekVersionSignOf(HANDLE hFile)
{
    BYTE ab[2];
    DWORD cb = 0;
    BOOL bRead = SetFilePointer(hFile, 0, NULL, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                 ReadFile(hFile, ab, sizeof(ab), &cb, NULL);
    SetFilePointer(hFile, 0, NULL, FILE_BEGIN);
    if (!bRead || cb < sizeof(ab))
        return VERSIGN_UNREAD;
    if ((ab[0] == 'M' && ab[1] == 'Z') || (ab[0] == 'Z' && ab[1] == 'M'))
        return VERSIGN_PROGRAM;
    if ((ab[0] == 'S' && ab[1] == 'Z') || (ab[0] == 'K' && ab[1] == 'W'))
        return VERSIGN_SZDD;
    return VERSIGN_NONE;
}

/*
 * The version block of one side of a comparison. A file whose first bytes
 * rule a version resource out answers as the size query would (none, not
 * unreadable) without it: the query loads the file as a program and then
 * as a compressed one, which costs far more than reading two bytes.
 */
static int fnReadCmpBlock(const char *lpszFile, int nSign, VerBlockStruct *lpBlock, DWORD *lpdwError)
{
    if (nSign == VERSIGN_NONE) {
        *lpdwError = ERROR_RESOURCE_DATA_NOT_FOUND;
        return 2;
    }
    return fnReadVerBlock(lpszFile, lpBlock, lpdwError);
}

int fnCmpFileVersionInfo(const char *lpszSourceFS, const char *lpszTargetFS)
{
    return fnCmpVersionSigned(lpszSourceFS, fnPeekVersionSign(lpszSourceFS), lpszTargetFS);
}

int fnCmpVersionSigned(const char *lpszSourceFS, int nSrcSign, const char *lpszTargetFS)
{
    VerBlockStruct src, tgt;
    DWORD dwError = 0;
    int n = fnReadCmpBlock(lpszSourceFS, nSrcSign, &src, &dwError);
    if (n == 2) {
        fnDebugLog("fnCmpFileVersionInfo", "GetFileVersionInfoSize error %lu!\nlpszSourceFS=%s", g_uDebugLevel,
                   (unsigned long)dwError, lpszSourceFS);
        return fnIsUnreadableError(dwError) ? VERINFO_SRCUNREAD : VERINFO_NONE;
    }
    if (n == 1) {
        fnDebugLog("fnCmpFileVersionInfo", "GetFileVersionInfo error!\nlpszSourceFS=%s", g_uDebugLevel, lpszSourceFS);
        return VERINFO_READFAIL;
    }
    n = fnReadCmpBlock(lpszTargetFS, fnPeekVersionSign(lpszTargetFS), &tgt, &dwError);
    if (n == 2) {
        fnDebugLog("fnCmpFileVersionInfo", "GetFileVersionInfoSize error %lu!\nlpszTargetFS=%s", g_uDebugLevel,
                   (unsigned long)dwError, lpszTargetFS);
        return fnIsUnreadableError(dwError) ? VERINFO_DSTUNREAD : VERINFO_NONE;
    }
    if (n == 1) {
        fnDebugLog("fnCmpFileVersionInfo", "GetFileVersionInfo error!\nlpszTargetFS=%s", g_uDebugLevel, lpszTargetFS);
        return VERINFO_READFAIL;
    }

    int uRC;
    if (src.cb == tgt.cb && memcmp(src.lpb, tgt.lpb, src.cb) == 0) {
        fnDebugLog("fnCmpFileVersionInfo version sizes match", "lpszSourceFS=%s,\nlpszTargetFS=%s", g_uDebugLevel,
                   lpszSourceFS, lpszTargetFS);
        uRC = VERINFO_IDENTICAL;
    } else {
        fnDebugLog("fnCmpFileVersionInfo versions do not match", "lpszSourceFS=%s,\nlpszTargetFS=%s", g_uDebugLevel,
                   lpszSourceFS, lpszTargetFS);
        uRC = VERINFO_NOFIXED;
        const VS_FIXEDFILEINFO *s = fnFixedInfo(&src);
        const VS_FIXEDFILEINFO *t = fnFixedInfo(&tgt);
        if (s && t) {
            char szSrcLang[16], szTgtLang[16];
            fnBlockTranslation(&src, szSrcLang, sizeof(szSrcLang));
            fnBlockTranslation(&tgt, szTgtLang, sizeof(szTgtLang));
            /* each later test overrides the earlier ones */
            uRC = VERINFO_DIFFER;
            if (s->dwFileFlags != t->dwFileFlags)
                uRC = VERINFO_DIFFFLAGS;
            if (s->dwFileOS != t->dwFileOS)
                uRC = VERINFO_DIFFOS;
            if (!fnEqualNoCase(szSrcLang, szTgtLang))
                uRC = VERINFO_DIFFLANG;
            if (fnIsOlder(s, t))
                uRC = VERINFO_SRCOLD;
        }
    }
    fnDebugLog("fnCmpFileVersionInfo End", "uRC=%d,\ndwSourceSize=%lu,\ndwTargetSize=%lu", g_uDebugLevel, uRC,
               (unsigned long)src.cb, (unsigned long)tgt.cb);
    return uRC;
}

BOOL fnGetFileVersion(const char *lpszFile, char *lpszFileVersion, char *lpszProductVersion, char *lpszLegal)
{
    char *outs[] = {lpszFileVersion, lpszProductVersion, lpszLegal};
    for (char *lpsz : outs) {
        if (lpsz)
            lpsz[0] = '\0';
    }
    VerBlockStruct block;
    DWORD dwError = 0;
    if (!lpszFile || fnReadVerBlock(lpszFile, &block, &dwError) != 0) {
        const char *lpszKind;
        switch (dwError) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: lpszKind = "File/path not found"; break;
        case ERROR_RESOURCE_DATA_NOT_FOUND: lpszKind = "Resource not found"; break;
        case ERROR_NOT_ENOUGH_MEMORY: lpszKind = "Out of memeory"; break;
        default: lpszKind = "File problem"; break;
        }
        fnDebugLog("fnGetFileVersion", "%s, error %lu!\nlpszFile=%s", g_uDebugLevel, lpszKind,
                   (unsigned long)dwError, lpszFile ? lpszFile : "");
        const char *lpszMark = "NA";
        if (lpszFile && (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND ||
                         dwError == ERROR_RESOURCE_DATA_NOT_FOUND)) {
            char szFound[MAX_PATH];
            if (SearchPathA(NULL, lpszFile, NULL, sizeof(szFound), szFound, NULL) == 0)
                lpszMark = "NF";
        }
        for (char *lpsz : outs) {
            if (lpsz)
                fnCopyBounded(lpsz, CCH_VERTEXT, lpszMark);
        }
        return FALSE;
    }
    char szLang[16];
    fnBlockTranslation(&block, szLang, sizeof(szLang));
    if (lpszFileVersion)
        fnBlockString(&block, szLang, "FileVersion", lpszFileVersion, CCH_VERTEXT);
    if (lpszProductVersion)
        fnBlockString(&block, szLang, "ProductVersion", lpszProductVersion, CCH_VERTEXT);
    if (lpszLegal)
        fnBlockString(&block, szLang, "LegalCopyRight", lpszLegal, CCH_VERTEXT);
    return TRUE;
}

int fnCmpFileVersion(const char *lpszFile, const char *lpszFileVersion)
{
    WORD awVer[4];
    DWORD dwMS, dwLS;
    fnParseDottedVersion(lpszFileVersion, awVer, &dwMS, &dwLS);
    fnDebugLog("fnCmpFileVersion", "lpszFile=%s,\nlpszFileVersion=%s,\nwVer=%u.%u.%u.%u,\ndwMS=%08lX,\ndwLS=%08lX",
               g_uDebugLevel, lpszFile ? lpszFile : "", lpszFileVersion ? lpszFileVersion : "", awVer[0], awVer[1],
               awVer[2], awVer[3], (unsigned long)dwMS, (unsigned long)dwLS);
    if (!lpszFile)
        return VERCMP_NOVERSION;
    VerBlockStruct block;
    DWORD dwError = 0;
    int n = fnReadVerBlock(lpszFile, &block, &dwError);
    if (n == 2) {
        fnDebugLog("fnCmpFileVersion", "GetFileVersionInfoSize error %lu!\nlpszFile=%s", g_uDebugLevel,
                   (unsigned long)dwError, lpszFile);
        return fnIsUnreadableError(dwError) ? VERCMP_UNREADABLE : VERCMP_NOVERSION;
    }
    if (n == 1) {
        fnDebugLog("fnCmpFileVersion", "GetFileVersionInfo error!\nlpszFile=%s", g_uDebugLevel, lpszFile);
        return VERCMP_NOMEMORY;
    }
    const VS_FIXEDFILEINFO *lpFixed = fnFixedInfo(&block);
    int nRC;
    if (!lpFixed)
        nRC = VERCMP_NOFIXED;
    else if (lpFixed->dwFileVersionMS < dwMS || (lpFixed->dwFileVersionMS == dwMS && lpFixed->dwFileVersionLS < dwLS))
        nRC = VERCMP_OLDER;
    else if (lpFixed->dwFileVersionMS == dwMS && lpFixed->dwFileVersionLS == dwLS)
        nRC = VERCMP_EQUAL;
    else
        nRC = VERCMP_NEWER;
    fnDebugLog("fnCmpFileVersion End", "nRC=%d,\nlpszFile=%s", g_uDebugLevel, nRC, lpszFile);
    return nRC;
}

BOOL fnTestFileVersion(const char *lpszFile, const char *lpszCondition, const char *lpszFileVersion)
{
    return fnVersionResultHolds(fnCmpFileVersion(lpszFile, lpszFileVersion), lpszCondition);
}

BOOL fnGetFileTime(const char *lpszPath, FILETIME *lpftLastWrite)
{
    HandleGuardStruct file;
    file.h = CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (file.h == INVALID_HANDLE_VALUE || !GetFileTime(file.h, NULL, NULL, lpftLastWrite)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnGetFileTime", "lpszPath=%s,\ndwError=%lu", g_uDebugLevel, lpszPath, (unsigned long)dwError);
        return FALSE;
    }
    return TRUE;
}

BOOL fnSetFileTime(const char *lpszPath, const FILETIME *lpftLastWrite)
{
    HandleGuardStruct file;
    file.h = CreateFileA(lpszPath, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (file.h == INVALID_HANDLE_VALUE || !SetFileTime(file.h, NULL, NULL, lpftLastWrite)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnSetFileTime", "lpszPath=%s,\ndwError=%lu", g_uDebugLevel, lpszPath, (unsigned long)dwError);
        return FALSE;
    }
    return TRUE;
}

int fnCompareFileTimeStampToSystem(const char *lpszPath)
{
    FILETIME ft;
    SYSTEMTIME stFile, stNow;
    if (!fnGetFileTime(lpszPath, &ft) || !FileTimeToSystemTime(&ft, &stFile))
        return 0;
    /* the file's date is taken as stored, without conversion to local time */
    GetLocalTime(&stNow);
    DWORD dwFile = fnDateNumber(&stFile), dwToday = fnDateNumber(&stNow);
    int nRC = dwFile > dwToday ? 1 : (dwFile < dwToday ? 2 : 3);
    fnDebugLog("fnCompareFileTimeStampToSystem", "lpszPath=%s,\ndwFile=%lu,\ndwToday=%lu,\nnRC=%d", g_uDebugLevel,
               lpszPath, (unsigned long)dwFile, (unsigned long)dwToday, nRC);
    return nRC;
}

BOOL fnListVersionInfo(const char *lpszFile, HWND hList)
{
    static const struct {
        const char *lpszLabel, *lpszKey;
    } aStrings[] = {
        {"Comments", "Comments"},           {"Company", "CompanyName"},
        {"Description", "FileDescription"}, {"File version", "FileVersion"},
        {"Internal name", "InternalName"},  {"Copyright", "LegalCopyright"},
        {"Trademarks", "LegalTrademarks"},  {"Original name", "OriginalFilename"},
        {"Private build", "PrivateBuild"},  {"Product name", "ProductName"},
        {"Product version", "ProductVersion"}, {"Special build", "SpecialBuild"},
    };
    SendMessageA(hList, LB_RESETCONTENT, 0, 0);
    VerBlockStruct block;
    DWORD dwError = 0;
    const VS_FIXEDFILEINFO *lpFixed = NULL;
    if (!lpszFile || fnReadVerBlock(lpszFile, &block, &dwError) != 0 || !(lpFixed = fnFixedInfo(&block))) {
        SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM) "Version information is not available.");
        return FALSE;
    }

    SendMessageA(hList, WM_SETREDRAW, FALSE, 0);
    char szLine[CCH_VERTEXT * 4], szValue[CCH_VERTEXT * 3];
    /* the widest label sets the tab stop */
    const char *lpszWidest = "Operating system";
    HDC hdc = GetDC(hList);
    if (hdc) {
        HFONT hFont = (HFONT)SendMessageA(hList, WM_GETFONT, 0, 0);
        HGDIOBJ hOld = hFont ? SelectObject(hdc, hFont) : NULL;
        SIZE size = {0, 0};
        char szLabel[64];
        fnFormatBounded(szLabel, sizeof(szLabel), "%s:  ", lpszWidest);
        GetTextExtentPoint32A(hdc, szLabel, (int)strlen(szLabel), &size);
        TEXTMETRICA tm;
        int nAveWidth = GetTextMetricsA(hdc, &tm) && tm.tmAveCharWidth ? tm.tmAveCharWidth : 8;
        if (hOld)
            SelectObject(hdc, hOld);
        ReleaseDC(hList, hdc);
        /* tab stops are in dialog units: four per average character width */
        int nTab = size.cx * 4 / nAveWidth;
        SendMessageA(hList, LB_SETTABSTOPS, 1, (LPARAM)&nTab);
    }
    SendMessageA(hList, LB_SETHORIZONTALEXTENT, (WPARAM)(GetSystemMetrics(SM_CXSCREEN) * 2), 0);

    struct {
        const char *lpszLabel;
        char szValue[CCH_VERTEXT];
    } aFixed[5] = {{"File version", ""}, {"Product version", ""}, {"File flags", ""}, {"Operating system", ""},
                   {"File type", ""}};
    fnFormatVersion(lpFixed->dwFileVersionMS, lpFixed->dwFileVersionLS, aFixed[0].szValue, CCH_VERTEXT);
    fnFormatVersion(lpFixed->dwProductVersionMS, lpFixed->dwProductVersionLS, aFixed[1].szValue, CCH_VERTEXT);
    fnVersionFlagsText(lpFixed->dwFileFlags, aFixed[2].szValue, CCH_VERTEXT);
    fnVersionOSText(lpFixed->dwFileOS, aFixed[3].szValue, CCH_VERTEXT);
    fnVersionTypeText(lpFixed->dwFileType, lpFixed->dwFileSubtype, aFixed[4].szValue, CCH_VERTEXT);
    for (const auto &f : aFixed) {
        fnFormatBounded(szLine, sizeof(szLine), "%s:\t%s", f.lpszLabel, f.szValue);
        SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM)szLine);
    }

    char szLang[16];
    fnBlockTranslation(&block, szLang, sizeof(szLang));
    BYTE *lpbTrans = NULL;
    UINT cbTrans = 0;
    szValue[0] = '\0';
    if (VerQueryValueA(block.lpb, "\\VarFileInfo\\Translation", (LPVOID *)&lpbTrans, &cbTrans) && lpbTrans &&
        cbTrans == 4)
        VerLanguageNameA((DWORD)(lpbTrans[0] | (lpbTrans[1] << 8)), szValue, sizeof(szValue));
    /* without a translation entry the line stays empty; the strings use the default key */
    fnFormatBounded(szLine, sizeof(szLine), "Language:\t%s", szValue);
    SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM)szLine);

    for (const auto &s : aStrings) {
        fnBlockString(&block, szLang, s.lpszKey, szValue, sizeof(szValue));
        fnFormatBounded(szLine, sizeof(szLine), "%s:\t%s", s.lpszLabel, szValue);
        SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM)szLine);
    }
    SendMessageA(hList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hList, NULL, TRUE);
    return TRUE;
}
