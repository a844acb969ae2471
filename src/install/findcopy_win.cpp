/*
 * install/findcopy_win.cpp -- the search for an existing copy of a file
 * (VerFindFileA for a private file), answered without the system's folder
 * searches when the name is provably nowhere they look: not in the
 * application folder, and not in the listings of the Windows and System
 * folders, each read once and kept while its folder's last-write time holds.
 *
 * A name the system does not find makes it read the whole folder for a
 * match without regard to case, once for each folder: on a System folder of
 * a thousand entries that is most of the cost of installing a small file.
 * Whenever a copy may exist, the system call itself answers.
 */
#include "install/fileops.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "script/pathtext.h"

namespace {

/* a listing younger than this after its folder's last change is not kept: a change in the same clock tick would not show */
const ULONGLONG QW_SETTLED = 2ULL * 10000000ULL;

struct FolderNamesStruct {
    char szDir[MAX_PATH];
    FILETIME ftWrite;             /* the folder's last-write time when it was read */
    BOOL bKept;                   /* aNames may answer */
    std::vector<std::string> aNames;  /* long and short names, upper-cased, sorted */
};

FolderNamesStruct s_aFolders[2];

ULONGLONG fnFileTime64(const FILETIME &ft)
{
    return ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

BOOL fnFolderWriteTime(const char *lpszDir, FILETIME *lpft)
{
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (!GetFileAttributesExA(lpszDir, GetFileExInfoStandard, &fad) || !(fad.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    *lpft = fad.ftLastWriteTime;
    return TRUE;
}

/* A name only of printable ASCII, as the listing compares it: anything else goes to the system. */
BOOL fnUpperAscii(const char *lpszName, std::string *lpstrOut)
{
    lpstrOut->clear();
    for (const char *p = lpszName; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (c < 0x20 || c >= 0x7F)
            return FALSE;
        lpstrOut->push_back(c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : (char)c);
    }
    return !lpstrOut->empty();
}

/* Reads the folder's names; FALSE when it cannot be read whole or holds a name the listing cannot compare. */
BOOL fnReadFolderNames(FolderNamesStruct *lpF, const char *lpszDir)
{
    lpF->bKept = FALSE;
    lpF->aNames.clear();
    FILETIME ftBefore, ftAfter, ftNow;
    char szPattern[MAX_PATH];
    if (!fnFolderWriteTime(lpszDir, &ftBefore) || !fnCopyBounded(lpF->szDir, sizeof(lpF->szDir), lpszDir) ||
        !fnJoinPath(szPattern, sizeof(szPattern), lpszDir, "*"))
        return FALSE;
    GetSystemTimeAsFileTime(&ftNow);
    if (fnFileTime64(ftNow) < fnFileTime64(ftBefore) + QW_SETTLED)
        return FALSE;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(szPattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL bOk = TRUE;
    std::string str;
    do {
        if (!fnUpperAscii(fd.cFileName, &str)) {
            bOk = FALSE;
            break;
        }
        lpF->aNames.push_back(str);
        if (fd.cAlternateFileName[0]) {
            if (!fnUpperAscii(fd.cAlternateFileName, &str)) {
                bOk = FALSE;
                break;
            }
            lpF->aNames.push_back(str);
        }
    } while (FindNextFileA(hFind, &fd));
    if (bOk && GetLastError() != ERROR_NO_MORE_FILES)
        bOk = FALSE;
    FindClose(hFind);
    /* a change while it was read leaves the listing unsure */
    if (!bOk || !fnFolderWriteTime(lpszDir, &ftAfter) || CompareFileTime(&ftBefore, &ftAfter) != 0) {
        lpF->aNames.clear();
        return FALSE;
    }
    std::sort(lpF->aNames.begin(), lpF->aNames.end());
    lpF->ftWrite = ftBefore;
    lpF->bKept = TRUE;
    fnDebugLog("fnReadFolderNames", "%s: %u names", g_uDebugLevel, lpszDir, (unsigned)lpF->aNames.size());
    return TRUE;
}

/* TRUE only when the folder is known not to hold the (upper-cased) name. */
BOOL fnFolderLacks(FolderNamesStruct *lpF, const char *lpszDir, const std::string &strUpper)
{
    FILETIME ft;
    if (!fnFolderWriteTime(lpszDir, &ft))
        return FALSE;
    if (!lpF->bKept || CompareFileTime(&ft, &lpF->ftWrite) != 0 || !fnEqualNoCase(lpF->szDir, lpszDir)) {
        if (!fnReadFolderNames(lpF, lpszDir))
            return FALSE;
    }
    return !std::binary_search(lpF->aNames.begin(), lpF->aNames.end(), strUpper);
}

/* TRUE when no copy of the name can be found in the application, Windows or System folder. */
BOOL fnFoundNowhere(const char *lpszFileName, const char *lpszAppDir)
{
    std::string strUpper;
    if (!lpszFileName || strpbrk(lpszFileName, "\\/:*?\"<>|") || !fnUpperAscii(lpszFileName, &strUpper))
        return FALSE;
    char szPath[MAX_PATH];
    if (!fnJoinPath(szPath, sizeof(szPath), lpszAppDir, lpszFileName))
        return FALSE;
    if (GetFileAttributesA(szPath) != INVALID_FILE_ATTRIBUTES)
        return FALSE;
    DWORD dwErr = GetLastError();
    if (dwErr != ERROR_FILE_NOT_FOUND && dwErr != ERROR_PATH_NOT_FOUND)
        return FALSE;
    char szWin[MAX_PATH], szSys[MAX_PATH];
    UINT cchWin = GetWindowsDirectoryA(szWin, sizeof(szWin)), cchSys = GetSystemDirectoryA(szSys, sizeof(szSys));
    if (!cchWin || cchWin >= sizeof(szWin) || !cchSys || cchSys >= sizeof(szSys))
        return FALSE;
    return fnFolderLacks(&s_aFolders[0], szWin, strUpper) && fnFolderLacks(&s_aFolders[1], szSys, strUpper);
}

}  // namespace

DWORD WINAPI fnVerFindFileQuick(DWORD uFlags, LPSTR lpszFileName, LPSTR lpszWinDir, LPSTR lpszAppDir,
                                LPSTR lpszCurDir, PUINT lpuCurDirLen, LPSTR lpszDestDir, PUINT lpuDestDirLen)
{
    /* a private file with its folder and room for the answer: the system would find nothing */
    if (uFlags == 0 && !lpszWinDir && lpszAppDir && lpszAppDir[0] && lpszCurDir && lpuCurDirLen &&
        *lpuCurDirLen >= 1 && lpszDestDir && lpuDestDirLen && *lpuDestDirLen > strlen(lpszAppDir) &&
        fnFoundNowhere(lpszFileName, lpszAppDir)) {
        /* the system's answer for a name it finds nowhere: no current copy, and the application folder suggested */
        lpszCurDir[0] = '\0';
        *lpuCurDirLen = 1;
        fnCopyBounded(lpszDestDir, *lpuDestDirLen, lpszAppDir);
        *lpuDestDirLen = (UINT)strlen(lpszAppDir) + 1;
        return VFF_CURNEDEST;
    }
    return VerFindFileA(uFlags, lpszFileName, lpszWinDir, lpszAppDir, lpszCurDir, lpuCurDirLen, lpszDestDir,
                        lpuDestDirLen);
}

void fnForgetFolderNames(void)
{
    for (FolderNamesStruct &f : s_aFolders) {
        f.bKept = FALSE;
        f.aNames.clear();
    }
}
