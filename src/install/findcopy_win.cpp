/*
 * install/findcopy_win.cpp -- the search for an existing copy of a file
 * (VerFindFileA for a private file), answered without the system's folder
 * searches when the name is provably nowhere they look: not in the
 * application folder, and not in the listings of the Windows and System
 * folders, each read once and kept while its folder's last-write time holds.
 *
 * A name the system does not find makes Wine read the whole folder for a
 * match without regard to case, once for each folder: on a System folder of
 * a thousand entries that is most of the cost of installing a small file.
 * A copy in the application folder that nothing holds open is answered too:
 * the system would open it four times to find it and test it for use.
 * Whenever a copy may be elsewhere or in use, the system call itself
 * answers. The listings are read only once a run has asked for many names
 * the system found nowhere (a short run never pays for them), and only on a
 * file system that keeps a folder's last-write time when its entries change
 * (NTFS, ReFS; FAT does not).
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
/* names the system found nowhere before the listings are read */
const UINT C_MISSES_BEFORE_LISTING = 16;

struct FolderNamesStruct {
    char szDir[MAX_PATH];
    FILETIME ftWrite;                 /* the folder's last-write time when it was read */
    BOOL bKept;                       /* aNames may answer */
    int nKeepsTimes;                  /* its file system keeps folder times: -1 not yet asked, 0 no, 1 yes */
    std::vector<std::string> aNames;  /* long and short names, upper-cased, sorted */
};

FolderNamesStruct s_aFolders[2] = {{"", {0, 0}, FALSE, -1, {}}, {"", {0, 0}, FALSE, -1, {}}};
UINT s_uMisses;

/* TRUE when the file system of the folder's drive changes the folder's last-write time with its entries. */
BOOL fnKeepsFolderTimes(const char *lpszDir)
{
    if (!lpszDir[0] || lpszDir[1] != ':' || lpszDir[2] != '\\')
        return FALSE;
    char szRoot[4] = {lpszDir[0], ':', '\\', '\0'}, szFs[32] = "";
    if (!GetVolumeInformationA(szRoot, NULL, 0, NULL, NULL, NULL, szFs, sizeof(szFs)))
        return FALSE;
    BOOL bKeeps = fnEqualNoCase(szFs, "NTFS") || fnEqualNoCase(szFs, "ReFS");
    fnDebugLog("fnKeepsFolderTimes", "%s: %s, listings %s", g_uDebugLevel, szRoot, szFs, bKeeps ? "used" : "not used");
    return bKeeps;
}

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
    if (!fnFolderWriteTime(lpszDir, &ftBefore) || !fnJoinPath(szPattern, sizeof(szPattern), lpszDir, "*"))
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
    if (!fnEqualNoCase(lpF->szDir, lpszDir)) {
        lpF->bKept = FALSE;
        lpF->nKeepsTimes = -1;
        fnCopyBounded(lpF->szDir, sizeof(lpF->szDir), lpszDir);
    }
    if (lpF->nKeepsTimes < 0)
        lpF->nKeepsTimes = fnKeepsFolderTimes(lpszDir) ? 1 : 0;
    FILETIME ft;
    if (!lpF->nKeepsTimes || !fnFolderWriteTime(lpszDir, &ft))
        return FALSE;
    if (!lpF->bKept || CompareFileTime(&ft, &lpF->ftWrite) != 0) {
        if (!fnReadFolderNames(lpF, lpszDir))
            return FALSE;
    }
    return !std::binary_search(lpF->aNames.begin(), lpF->aNames.end(), strUpper);
}

/* what the search can answer without the system */
enum { QUICK_ASK, QUICK_NOWHERE, QUICK_APPDIR };

/*
 * QUICK_NOWHERE when no copy of the name can be in the application, Windows
 * or System folder; QUICK_APPDIR when the copy in the application folder,
 * where the system looks first, is one that nothing holds open (it opens
 * alone for reading and writing), so the system would find it there and not
 * in use; else QUICK_ASK.
 */
int fnQuickAnswer(const char *lpszFileName, const char *lpszAppDir)
{
    std::string strUpper;
    if (!lpszFileName || strpbrk(lpszFileName, "\\/:*?\"<>|") || !fnUpperAscii(lpszFileName, &strUpper))
        return QUICK_ASK;
    char szPath[MAX_PATH];
    if (!fnJoinPath(szPath, sizeof(szPath), lpszAppDir, lpszFileName))
        return QUICK_ASK;
    DWORD dwAttr = GetFileAttributesA(szPath);
    if (dwAttr != INVALID_FILE_ATTRIBUTES) {
        if (dwAttr & FILE_ATTRIBUTE_DIRECTORY)
            return QUICK_ASK;
        HANDLE h = CreateFileA(szPath, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h == INVALID_HANDLE_VALUE)
            return QUICK_ASK;
        CloseHandle(h);
        return QUICK_APPDIR;
    }
    DWORD dwErr = GetLastError();
    if ((dwErr != ERROR_FILE_NOT_FOUND && dwErr != ERROR_PATH_NOT_FOUND) || s_uMisses < C_MISSES_BEFORE_LISTING)
        return QUICK_ASK;
    char szWin[MAX_PATH], szSys[MAX_PATH];
    UINT cchWin = GetWindowsDirectoryA(szWin, sizeof(szWin)), cchSys = GetSystemDirectoryA(szSys, sizeof(szSys));
    if (!cchWin || cchWin >= sizeof(szWin) || !cchSys || cchSys >= sizeof(szSys))
        return QUICK_ASK;
    return fnFolderLacks(&s_aFolders[0], szWin, strUpper) && fnFolderLacks(&s_aFolders[1], szSys, strUpper)
               ? QUICK_NOWHERE
               : QUICK_ASK;
}

}  // namespace

DWORD WINAPI fnVerFindFileQuick(DWORD uFlags, LPSTR lpszFileName, LPSTR lpszWinDir, LPSTR lpszAppDir,
                                LPSTR lpszCurDir, PUINT lpuCurDirLen, LPSTR lpszDestDir, PUINT lpuDestDirLen)
{
    /* a private file with its folder and room for the answer */
    size_t cchApp = lpszAppDir ? strlen(lpszAppDir) : 0;
    BOOL bPrivate = uFlags == 0 && !lpszWinDir && cchApp && lpszCurDir && lpuCurDirLen && *lpuCurDirLen > cchApp &&
                    lpszDestDir && lpuDestDirLen && *lpuDestDirLen > cchApp;
    int nQuick = bPrivate ? fnQuickAnswer(lpszFileName, lpszAppDir) : QUICK_ASK;
    if (nQuick != QUICK_ASK) {
        /*
         * the system's answers: for a name it finds nowhere, no current copy
         * (VFF_CURNEDEST); for a copy in the application folder not in use,
         * that folder (0); the application folder suggested in both
         */
        fnCopyBounded(lpszCurDir, *lpuCurDirLen, nQuick == QUICK_APPDIR ? lpszAppDir : "");
        *lpuCurDirLen = (UINT)strlen(lpszCurDir) + 1;
        fnCopyBounded(lpszDestDir, *lpuDestDirLen, lpszAppDir);
        *lpuDestDirLen = (UINT)cchApp + 1;
        return nQuick == QUICK_NOWHERE ? VFF_CURNEDEST : 0;
    }
    DWORD dwVFF = VerFindFileA(uFlags, lpszFileName, lpszWinDir, lpszAppDir, lpszCurDir, lpuCurDirLen, lpszDestDir,
                               lpuDestDirLen);
    if (bPrivate && !lpszCurDir[0] && s_uMisses < C_MISSES_BEFORE_LISTING)
        s_uMisses++;
    return dwVFF;
}

void fnForgetFolderNames(void)
{
    for (FolderNamesStruct &f : s_aFolders) {
        f.szDir[0] = '\0';
        f.bKept = FALSE;
        f.nKeepsTimes = -1;
        f.aNames.clear();
    }
    s_uMisses = 0;
}
