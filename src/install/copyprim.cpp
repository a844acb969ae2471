/*
 * install/copyprim.cpp -- copies, expands and appends single files, makes
 * unique and backup names, schedules replacements at restart and keeps the
 * drive facts of a section run. Does not decide *whether* a file is
 * installed (install/engine.cpp does). Copies return VerInstallFile bits and
 * log their own failure once; plain files are copied by one read/write loop
 * with the time set on the open handle, LZ only for SZDD sources.
 */
#include "install/copyprim.h"

#include <lzexpand.h>
#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/machine.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/messages.h"
#include "install/dirs.h"
#include "install/fileops.h"
#include "install/filerules.h"
#include "install/version.h"
#include "script/pathtext.h"

#define CB_COPY_BUFFER (256 * 1024)
#define CB_EXPANDED_HEADER 520
#define CB_WININIT_MAX (1024 * 1024)

namespace {

struct FileGuardStruct {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~FileGuardStruct()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    FileGuardStruct() = default;
    FileGuardStruct(const FileGuardStruct &) = delete;
    FileGuardStruct &operator=(const FileGuardStruct &) = delete;
};

/*
 * The copy loops' buffer, kept for the run: one copy runs at a time (no
 * thread copies files), and a buffer taken and freed per file has the heap
 * commit and zero its pages again for every file.
 */
BYTE s_abCopyBuffer[CB_COPY_BUFFER];

struct BufferGuardStruct {
    BYTE *lpb = NULL;
    ~BufferGuardStruct() { free(lpb); }
    BufferGuardStruct() = default;
    BufferGuardStruct(const BufferGuardStruct &) = delete;
    BufferGuardStruct &operator=(const BufferGuardStruct &) = delete;
};

/* per drive letter: type + 1 (0 not asked yet), free-space estimate */
UINT s_auDriveType[26];
ULONGLONG s_aqwFree[26];
BOOL s_abFreeKnown[26];

/* The root of a path's drive ("C:\", "\\server\share\"); FALSE when it has none. */
BOOL fnDriveRoot(const char *lpszPath, char *lpszRoot, size_t cchRoot)
{
    char szFull[CCH_PATH];
    const char *p = lpszPath;
    if (!fnIsAbsolutePath(p)) {
        DWORD cch = GetFullPathNameA(p && *p ? p : ".", sizeof(szFull), szFull, NULL);
        if (cch == 0 || cch >= sizeof(szFull))
            return FALSE;
        p = szFull;
    }
    if (p[1] == ':') {
        fnFormatBounded(lpszRoot, cchRoot, "%c:\\", fnUpperAscii(p[0]));
        return TRUE;
    }
    /* \\server\share\ */
    size_t i = 2;
    for (int nPart = 0; nPart < 2; nPart++) {
        while (p[i] && p[i] != '\\' && p[i] != '/')
            i++;
        if (nPart == 0 && p[i])
            i++;
    }
    if (i >= cchRoot - 1)
        return FALSE;
    memcpy(lpszRoot, p, i);
    lpszRoot[i] = '\\';
    lpszRoot[i + 1] = '\0';
    return TRUE;
}

/* 0-25 for a drive letter root, -1 for any other */
int fnDriveIndex(const char *lpszRoot)
{
    char c = fnUpperAscii(lpszRoot[0]);
    return (lpszRoot[1] == ':' && c >= 'A' && c <= 'Z') ? c - 'A' : -1;
}

BOOL fnQueryFree(const char *lpszRoot, ULONGLONG *lpqwFree)
{
    ULARGE_INTEGER free;
    if (!g_lpFileOps->pfnGetDiskFreeSpaceEx(lpszRoot, &free, NULL, NULL)) {
        fnDebugLog("fnGetDiskSpace", "GetDiskFreeSpaceEx %s failed, dwError=%lu", g_uDebugLevel, lpszRoot,
                   (unsigned long)GetLastError());
        return FALSE;
    }
    *lpqwFree = free.QuadPart;
    return TRUE;
}

BOOL fnExists(const char *lpszPath, void *)
{
    return GetFileAttributesA(lpszPath) != INVALID_FILE_ATTRIBUTES;
}

/* Attributes that stop a file from being replaced or written over. */
BOOL fnHasBlockingAttributes(DWORD dwAttr)
{
    return dwAttr != INVALID_FILE_ATTRIBUTES &&
           (dwAttr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

/*
 * The disk prompts of a copy: the same removable drive for source and
 * destination (1065), and a destination removable drive without a disk
 * (1063, asked until a disk answers or the user cancels). 0 to go on.
 */
DWORD fnDiskPrompts(const char *lpszSrc, const char *lpszDst)
{
    char szSrcRoot[CCH_PATH], szDstRoot[CCH_PATH];
    if (!fnDriveRoot(lpszDst, szDstRoot, sizeof(szDstRoot)) || fnDriveType(szDstRoot) != DRIVE_REMOVABLE)
        return 0;
    if (fnDriveRoot(lpszSrc, szSrcRoot, sizeof(szSrcRoot)) && fnEqualNoCase(szSrcRoot, szDstRoot)) {
        if (g_bQuiet || fnMessage(1065, NULL, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
            fnDebugLog("fnExpandFile", "Source disk not confirmed for %s", g_uDebugLevel, lpszSrc);
            return VIF_CANNOTREADSRC;
        }
    }
    for (;;) {
        /* a missing disk must not raise the system's own critical-error box */
        UINT uOldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        DWORD dwAttr = GetFileAttributesA(szDstRoot);
        SetErrorMode(uOldMode);
        if (dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY))
            return 0;
        if (g_bQuiet || fnMessage(1063, NULL, MB_OKCANCEL | MB_ICONEXCLAMATION, szDstRoot) != IDOK) {
            fnDebugLog("fnExpandFile", "No disk in %s", g_uDebugLevel, szDstRoot);
            return VIF_CANNOTREADDST;
        }
    }
}

/* Copies the rest of hSrc to hDst through the buffer that already holds cbFirst bytes of it. */
DWORD fnCopyLoop(HANDLE hSrc, HANDLE hDst, BYTE *lpb, DWORD cbFirst, const char *lpszDst)
{
    DWORD cbRead = cbFirst;
    while (cbRead > 0) {
        DWORD cbWritten = 0;
        if (!g_lpFileOps->pfnWriteFile(hDst, lpb, cbRead, &cbWritten, NULL) || cbWritten != cbRead) {
            DWORD dwError = GetLastError();
            fnDebugLog("fnExpandFile", "WriteFile %s failed, dwError=%lu", g_uDebugLevel, lpszDst,
                       (unsigned long)dwError);
            return fnWriteErrorToVif(dwError ? dwError : ERROR_DISK_FULL, FALSE, VIF_ACCESSVIOLATION);
        }
        if (!ReadFile(hSrc, lpb, CB_COPY_BUFFER, &cbRead, NULL)) {
            fnDebugLog("fnExpandFile", "ReadFile failed, dwError=%lu", g_uDebugLevel, (unsigned long)GetLastError());
            return VIF_CANNOTREADSRC;
        }
    }
    return 0;
}

/* Expands an SZDD source (positioned anywhere) into hDst; the source handle is closed by the LZ layer. */
DWORD fnLzCopy(FileGuardStruct *lpSrc, HANDLE hDst, const char *lpszSrc)
{
    SetFilePointer(lpSrc->h, 0, NULL, FILE_BEGIN);
    /* the LZ layer speaks 32-bit file numbers; system handles fit in them */
    INT hfSrc = (INT)(INT_PTR)lpSrc->h;
    INT hLz = LZInit(hfSrc);
    if (hLz < 0) {
        fnDebugLog("fnExpandFile", "LZInit %s failed, nRC=%d", g_uDebugLevel, lpszSrc, hLz);
        return VIF_CANNOTREADSRC;
    }
    LONG lResult = LZCopy(hLz, (INT)(INT_PTR)hDst);
    if (hLz != hfSrc) {
        LZClose(hLz);  /* closes the source file as well */
        lpSrc->h = INVALID_HANDLE_VALUE;
    }
    DWORD dwVIF = fnLzResultToVif(lResult);
    if (dwVIF)
        fnDebugLog("fnExpandFile", "LZCopy %s failed, lResult=%ld", g_uDebugLevel, lpszSrc, (long)lResult);
    return dwVIF;
}

/* WININIT.INI "[rename]" line "target=source" with short paths, written beside and put in place. */
BOOL fnWininitRename(const char *lpszSource, const char *lpszTarget)
{
    char szIni[CCH_PATH], szShortSrc[CCH_PATH], szShortDst[CCH_PATH];
    if (!fnJoinPath(szIni, sizeof(szIni), g_szWinDir, "WININIT.INI"))
        return FALSE;
    DWORD cch = GetShortPathNameA(lpszSource, szShortSrc, sizeof(szShortSrc));
    if (cch == 0 || cch >= sizeof(szShortSrc))
        return FALSE;
    if (fnEqualNoCase(lpszTarget, "NUL")) {
        fnCopyBounded(szShortDst, sizeof(szShortDst), "NUL");
    } else {
        /* a short name exists only for an existing file */
        if (GetFileAttributesA(lpszTarget) == INVALID_FILE_ATTRIBUTES) {
            HANDLE h = CreateFileA(lpszTarget, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
        }
        cch = GetShortPathNameA(lpszTarget, szShortDst, sizeof(szShortDst));
        if (cch == 0 || cch >= sizeof(szShortDst))
            return FALSE;
    }

    /* the old text, then the line; a last section other than [rename] gets one of its own */
    BufferGuardStruct text;
    DWORD cbOld = 0;
    {
        FileGuardStruct in;
        in.h = CreateFileA(szIni, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        DWORD cbFile = in.h != INVALID_HANDLE_VALUE ? GetFileSize(in.h, NULL) : 0;
        if (cbFile == INVALID_FILE_SIZE || cbFile > CB_WININIT_MAX)
            return FALSE;
        text.lpb = (BYTE *)malloc((size_t)cbFile + 2 * CCH_PATH + 32);
        if (!text.lpb)
            return FALSE;
        if (cbFile && (!ReadFile(in.h, text.lpb, cbFile, &cbOld, NULL) || cbOld != cbFile))
            return FALSE;
    }
    char *lpsz = (char *)text.lpb;
    lpsz[cbOld] = '\0';
    const char *lpszLastHeader = NULL;
    for (const char *p = lpsz; p && *p;) {
        while (*p == ' ' || *p == '\t')
            p++;
        if (*p == '[')
            lpszLastHeader = p;
        p = strchr(p, '\n');
        if (p)
            p++;
    }
    size_t cb = cbOld;
    size_t cbRoom = (size_t)cbOld + 2 * CCH_PATH + 32;
    if (cb > 0 && lpsz[cb - 1] != '\n')
        cb += (size_t)fnFormatBounded(lpsz + cb, cbRoom - cb, "\r\n");
    if (!lpszLastHeader || !fnPrefixNoCase(lpszLastHeader, "[rename]", 8))
        cb += (size_t)fnFormatBounded(lpsz + cb, cbRoom - cb, "[rename]\r\n");
    cb += (size_t)fnFormatBounded(lpsz + cb, cbRoom - cb, "%s=%s\r\n", szShortDst, szShortSrc);

    char szTemp[CCH_PATH];
    if (!fnGetTempFileName(g_szWinDir, "_WI", szTemp))
        return FALSE;
    BOOL bOk = FALSE;
    {
        FileGuardStruct out;
        out.h = CreateFileA(szTemp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD cbWritten = 0;
        bOk = out.h != INVALID_HANDLE_VALUE && WriteFile(out.h, lpsz, (DWORD)cb, &cbWritten, NULL) &&
              cbWritten == (DWORD)cb;
    }
    if (bOk)
        bOk = MoveFileExA(szTemp, szIni, MOVEFILE_REPLACE_EXISTING);
    if (!bOk)
        DeleteFileA(szTemp);
    return bOk;
}

}  // namespace

void fnResetDriveCache(void)
{
    memset(s_auDriveType, 0, sizeof(s_auDriveType));
    memset(s_abFreeKnown, 0, sizeof(s_abFreeKnown));
}

UINT fnDriveType(const char *lpszPath)
{
    char szRoot[CCH_PATH];
    if (!fnDriveRoot(lpszPath, szRoot, sizeof(szRoot)))
        return DRIVE_UNKNOWN;
    int n = fnDriveIndex(szRoot);
    if (n < 0)
        return g_lpFileOps->pfnGetDriveType(szRoot);
    if (!s_auDriveType[n])
        s_auDriveType[n] = g_lpFileOps->pfnGetDriveType(szRoot) + 1;
    return s_auDriveType[n] - 1;
}

BOOL fnDriveMissing(const char *lpszPath)
{
    UINT uType = fnDriveType(lpszPath);
    return uType == DRIVE_NO_ROOT_DIR || uType == DRIVE_UNKNOWN;
}

ULONGLONG fnGetDiskSpace(const char *lpszPath)
{
    char szRoot[CCH_PATH];
    ULONGLONG qwFree = 0;
    if (fnDriveRoot(lpszPath, szRoot, sizeof(szRoot)))
        fnQueryFree(szRoot, &qwFree);
    return qwFree;
}

BOOL fnReserveDiskSpace(const char *lpszPath, ULONGLONG cbNeeded)
{
    char szRoot[CCH_PATH];
    if (!fnDriveRoot(lpszPath, szRoot, sizeof(szRoot)))
        return TRUE;  /* the copy itself will tell */
    int n = fnDriveIndex(szRoot);
    if (n >= 0 && s_abFreeKnown[n] && s_aqwFree[n] >= cbNeeded && s_aqwFree[n] > 0) {
        s_aqwFree[n] -= cbNeeded;
        return TRUE;
    }
    ULONGLONG qwFree = 0;
    if (!fnQueryFree(szRoot, &qwFree))
        return TRUE;  /* unknown: a full disk still shows as a write error */
    if (n >= 0) {
        s_aqwFree[n] = qwFree;
        s_abFreeKnown[n] = TRUE;
    }
    if (qwFree == 0 || qwFree < cbNeeded) {
        fnDebugLog("fnReserveDiskSpace", "%s: %llu bytes free, %llu needed", g_uDebugLevel, szRoot,
                   (unsigned long long)qwFree, (unsigned long long)cbNeeded);
        return FALSE;
    }
    if (n >= 0)
        s_aqwFree[n] -= cbNeeded;
    return TRUE;
}

BOOL fnSameFile(const char *lpszPath1, const char *lpszPath2)
{
    char sz1[CCH_PATH], sz2[CCH_PATH];
    DWORD cch1 = GetFullPathNameA(lpszPath1, sizeof(sz1), sz1, NULL);
    DWORD cch2 = GetFullPathNameA(lpszPath2, sizeof(sz2), sz2, NULL);
    if (cch1 == 0 || cch1 >= sizeof(sz1) || cch2 == 0 || cch2 >= sizeof(sz2))
        return fnEqualNoCase(lpszPath1, lpszPath2);
    return fnEqualNoCase(sz1, sz2);
}

BOOL fnDiskCasePath(const char *lpszPath, char *lpszOut, size_t cchOut)
{
    if (!fnCopyBounded(lpszOut, cchOut, lpszPath) || strpbrk(lpszPath, "*?") || !fnIsAbsolutePath(lpszPath))
        return FALSE;
    /* the root as given: "X:\" or "\\server\share\" */
    size_t i = 0;
    if (lpszOut[0] && lpszOut[1] == ':') {
        i = lpszOut[2] == '\\' ? 3 : 2;
    } else if (lpszOut[0] == '\\' && lpszOut[1] == '\\') {
        int nSeps = 0;
        for (i = 2; lpszOut[i] && nSeps < 2; i++)
            if (lpszOut[i] == '\\')
                nSeps++;
    }
    while (lpszOut[i]) {
        size_t nEnd = i;
        while (lpszOut[nEnd] && lpszOut[nEnd] != '\\')
            nEnd++;
        char cKeep = lpszOut[nEnd];
        lpszOut[nEnd] = '\0';
        WIN32_FIND_DATAA fd;
        HANDLE hFind = nEnd > i ? FindFirstFileA(lpszOut, &fd) : INVALID_HANDLE_VALUE;
        if (hFind != INVALID_HANDLE_VALUE) {
            FindClose(hFind);
            /* found by its short name, the level keeps the given spelling */
            if (strlen(fd.cFileName) == nEnd - i && fnEqualNoCase(fd.cFileName, lpszOut + i))
                memcpy(lpszOut + i, fd.cFileName, nEnd - i);
        }
        lpszOut[nEnd] = cKeep;
        if (!cKeep)
            break;
        i = nEnd + 1;
    }
    return TRUE;
}

namespace {

/*
 * The expansion of fnExpandFile; with bAttrKnown the destination's
 * attributes are dwKnownAttr; a source the caller holds open (hOpenSrc) is
 * read through that handle, and a new empty destination it holds open
 * (hOpenDst) is written through that one; both stay the caller's to close.
 */
DWORD fnExpandInto(const char *lpszSrcDir, const char *lpszSrcName, const char *lpszDstDir, const char *lpszDstName,
                   BOOL bKeepAttrib, BOOL bAttrKnown, DWORD dwKnownAttr, HANDLE hOpenSrc, HANDLE hOpenDst)
{
    char szSrc[CCH_PATH], szDst[CCH_PATH];
    if (!fnJoinPath(szSrc, sizeof(szSrc), lpszSrcDir, lpszSrcName))
        return VIF_CANNOTREADSRC;
    if (!fnJoinPath(szDst, sizeof(szDst), lpszDstDir, lpszDstName))
        return VIF_CANNOTCREATE;
    if (fnSameFile(szSrc, szDst)) {
        /* written from its start, a file copied onto itself would be lost */
        fnDebugLog("fnExpandFile", "Source and destination are one file: %s", g_uDebugLevel, szSrc);
        return VIF_CANNOTREADSRC;
    }
    DWORD dwVIF = fnDiskPrompts(szSrc, szDst);
    if (dwVIF)
        return dwVIF;

    FileGuardStruct src; /* the source handle this function opens itself */
    HANDLE hSrc = hOpenSrc;
    if (hSrc != INVALID_HANDLE_VALUE) {
        if (SetFilePointer(hSrc, 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
            return VIF_CANNOTREADSRC;
    } else {
        src.h = g_lpFileOps->pfnCreateFile(szSrc, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                           FILE_FLAG_SEQUENTIAL_SCAN, NULL);
        if (src.h == INVALID_HANDLE_VALUE) {
            fnDebugLog("fnExpandFile", "Cannot open %s, dwError=%lu", g_uDebugLevel, szSrc,
                       (unsigned long)GetLastError());
            return VIF_CANNOTREADSRC;
        }
        hSrc = src.h;
    }
    FILETIME ftSrc;
    LARGE_INTEGER liSize;
    if (!GetFileTime(hSrc, NULL, NULL, &ftSrc) || !GetFileSizeEx(hSrc, &liSize))
        return VIF_CANNOTREADSRC;
    DWORD dwSrcAttr = bKeepAttrib ? GetFileAttributesA(szSrc) : FILE_ATTRIBUTE_NORMAL;
    if (dwSrcAttr == INVALID_FILE_ATTRIBUTES)
        return VIF_CANNOTREADSRC;
    if (!fnReserveDiskSpace(szDst, (ULONGLONG)liSize.QuadPart))
        return VIF_OUTOFSPACE;

    BYTE *lpb = s_abCopyBuffer;
    DWORD cbFirst = 0;
    if (!ReadFile(hSrc, lpb, CB_COPY_BUFFER, &cbFirst, NULL))
        return VIF_CANNOTREADSRC;
    static const BYTE s_abSzdd[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    BOOL bSzdd = cbFirst >= 14 && memcmp(lpb, s_abSzdd, sizeof(s_abSzdd)) == 0;

    FileGuardStruct dst; /* the destination this function opens itself */
    HANDLE hDst = hOpenDst;
    if (hDst == INVALID_HANDLE_VALUE) {
        DWORD dwDstAttr = bAttrKnown ? dwKnownAttr : GetFileAttributesA(szDst);
        if (fnHasBlockingAttributes(dwDstAttr) && !SetFileAttributesA(szDst, FILE_ATTRIBUTE_NORMAL)) {
            DWORD dwError = GetLastError();
            fnDebugLog("fnExpandFile", "Cannot clear the attributes of %s, dwError=%lu", g_uDebugLevel, szDst,
                       (unsigned long)dwError);
            return fnWriteErrorToVif(dwError, dwDstAttr & FILE_ATTRIBUTE_READONLY, VIF_ACCESSVIOLATION);
        }
        /*
         * written from its start and cut to the new length: a shorter new file
         * keeps no old tail; one known to be absent is made new, so a file that
         * appeared since is never written over
         */
        BOOL bMakeNew = bAttrKnown && dwDstAttr == INVALID_FILE_ATTRIBUTES;
        dst.h = g_lpFileOps->pfnCreateFile(szDst, GENERIC_WRITE, 0, NULL, bMakeNew ? CREATE_NEW : CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, NULL);
        if (dst.h == INVALID_HANDLE_VALUE) {
            DWORD dwError = GetLastError();
            if (bMakeNew && (dwError == ERROR_FILE_EXISTS || dwError == ERROR_ALREADY_EXISTS))
                return VIF_EXPAND_EXISTS;
            fnDebugLog("fnExpandFile", "Cannot open %s for writing, dwError=%lu", g_uDebugLevel, szDst,
                       (unsigned long)dwError);
            if (fnHasBlockingAttributes(dwDstAttr))
                SetFileAttributesA(szDst, dwDstAttr);
            return fnWriteErrorToVif(dwError,
                                     dwDstAttr != INVALID_FILE_ATTRIBUTES && (dwDstAttr & FILE_ATTRIBUTE_READONLY),
                                     VIF_ACCESSVIOLATION);
        }
        hDst = dst.h;
    }
    if (bSzdd && src.h == INVALID_HANDLE_VALUE) {
        /* the LZ layer closes the file it expands: it gets a handle of its own, never the caller's */
        src.h = g_lpFileOps->pfnCreateFile(szSrc, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                           FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    }
    if (bSzdd)
        dwVIF = src.h != INVALID_HANDLE_VALUE ? fnLzCopy(&src, hDst, szSrc) : VIF_CANNOTREADSRC;
    else
        dwVIF = fnCopyLoop(hSrc, hDst, lpb, cbFirst, szDst);
    if (dwVIF) {
        /* a partly written file would pass for installed: none is honest (the caller deletes its own) */
        if (dst.h != INVALID_HANDLE_VALUE) {
            CloseHandle(dst.h);
            dst.h = INVALID_HANDLE_VALUE;
            DeleteFileA(szDst);
        }
        return dwVIF;
    }
    SetFileTime(hDst, NULL, NULL, &ftSrc);
    if (dst.h != INVALID_HANDLE_VALUE) {
        CloseHandle(dst.h);
        dst.h = INVALID_HANDLE_VALUE;
    }
    if (bKeepAttrib && dwSrcAttr != FILE_ATTRIBUTE_NORMAL && dwSrcAttr != FILE_ATTRIBUTE_ARCHIVE &&
        !SetFileAttributesA(szDst, dwSrcAttr & ~(DWORD)FILE_ATTRIBUTE_DIRECTORY)) {
        fnDebugLog("fnExpandFile", "Cannot set the attributes of %s", g_uDebugLevel, szDst);
        return VIF_ACCESSVIOLATION;
    }
    return 0;
}

}  // namespace

DWORD fnExpandFile(const char *lpszSrcDir, const char *lpszSrcName, const char *lpszDstDir, const char *lpszDstName,
                   BOOL bKeepAttrib)
{
    return fnExpandInto(lpszSrcDir, lpszSrcName, lpszDstDir, lpszDstName, bKeepAttrib, FALSE, 0,
                        INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE);
}

DWORD fnExpandFileKnown(const char *lpszSrcDir, const char *lpszSrcName, const char *lpszDstDir,
                        const char *lpszDstName, BOOL bKeepAttrib, DWORD dwDstAttr, HANDLE hSrc, HANDLE hDst)
{
    return fnExpandInto(lpszSrcDir, lpszSrcName, lpszDstDir, lpszDstName, bKeepAttrib, TRUE, dwDstAttr, hSrc, hDst);
}

DWORD fnCopyFileAsIs(const char *lpszReadDir, const char *lpszReadName, const char *lpszWriteDir,
                     const char *lpszWriteName, BOOL bKeepAttrib)
{
    char szSrc[CCH_PATH], szDst[CCH_PATH];
    if (!fnJoinPath(szSrc, sizeof(szSrc), lpszReadDir, lpszReadName))
        return VIF_CANNOTREADSRC;
    if (!fnJoinPath(szDst, sizeof(szDst), lpszWriteDir, lpszWriteName))
        return VIF_CANNOTCREATE;
    if (fnSameFile(szSrc, szDst)) {
        fnDebugLog("fnCopyFileAsIs", "Source and destination are one file: %s", g_uDebugLevel, szSrc);
        return VIF_CANNOTREADSRC;
    }
    DWORD dwVIF = fnDiskPrompts(szSrc, szDst);
    if (dwVIF)
        return dwVIF;
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (!GetFileAttributesExA(szSrc, GetFileExInfoStandard, &fad) || (fad.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return VIF_CANNOTREADSRC;
    if (!fnReserveDiskSpace(szDst, ((ULONGLONG)fad.nFileSizeHigh << 32) | fad.nFileSizeLow))
        return VIF_OUTOFSPACE;
    DWORD dwDstAttr = GetFileAttributesA(szDst);
    BOOL bReadOnly = dwDstAttr != INVALID_FILE_ATTRIBUTES && (dwDstAttr & FILE_ATTRIBUTE_READONLY);
    if (dwDstAttr != INVALID_FILE_ATTRIBUTES) {
        HANDLE h = g_lpFileOps->pfnCreateFile(szDst, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                              OPEN_EXISTING, 0, NULL);
        if (h == INVALID_HANDLE_VALUE) {
            DWORD dwError = GetLastError();
            fnDebugLog("fnCopyFileAsIs", "Cannot write %s, dwError=%lu", g_uDebugLevel, szDst, (unsigned long)dwError);
            /* held open by another program: the in-use path, not write protection */
            return (dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION) ? VIF_SHARINGVIOLATION
                                                                                          : VIF_WRITEPROT;
        }
        CloseHandle(h);
    }
    if (!g_lpFileOps->pfnCopyFile(szSrc, szDst, FALSE)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnCopyFileAsIs Error", "lpszRead=%s, lpszWrite=%s, dwError=%lu", g_uDebugLevel, szSrc, szDst,
                   (unsigned long)dwError);
        dwVIF = fnWriteErrorToVif(dwError, bReadOnly, VIF_ACCESSVIOLATION);
        if (dwVIF == VIF_OUTOFSPACE)
            DeleteFileA(szDst);  /* a full disk leaves a partial copy */
        return dwVIF;
    }
    if (!bKeepAttrib && (fad.dwFileAttributes & ~(DWORD)FILE_ATTRIBUTE_ARCHIVE) != 0 &&
        fad.dwFileAttributes != FILE_ATTRIBUTE_NORMAL)
        SetFileAttributesA(szDst, FILE_ATTRIBUTE_NORMAL);
    return 0;
}

BOOL fnCopyFile(const char *lpszReadFile, const char *lpszWriteFile, BOOL bFailIfExists, BOOL bKeepTime)
{
    FILETIME ft;
    if (bKeepTime && !fnGetFileTime(lpszReadFile, &ft))
        return FALSE;
    char szParent[CCH_PATH];
    fnSplitPath(lpszWriteFile, NULL, NULL, NULL, NULL, NULL, szParent);
    DWORD dwAttr = szParent[0] ? GetFileAttributesA(szParent) : FILE_ATTRIBUTE_DIRECTORY;
    if (dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_DIRECTORY)) {
        fnDebugLog("fnCopyFile", "Destination directory %s does not exist.", g_uDebugLevel, szParent);
        if (!fnCreateDirTreeLog(szParent, FALSE)) {
            DWORD dwError = GetLastError();
            fnDebugLog("fnCopyFile", "Could not create destination directory %s!", g_uDebugLevel, szParent);
            SetLastError(dwError ? dwError : ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
    }
    if (bFailIfExists && GetFileAttributesA(lpszWriteFile) != INVALID_FILE_ATTRIBUTES) {
        fnDebugLog("fnCopyFile", "Destination file already exists!", g_uDebugLevel);
        SetLastError(ERROR_FILE_EXISTS);
        return FALSE;
    }
    if (!g_lpFileOps->pfnCopyFile(lpszReadFile, lpszWriteFile, bFailIfExists)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnCopyFile", "CopyFile %s to %s failed, dwError=%lu", g_uDebugLevel, lpszReadFile, lpszWriteFile,
                   (unsigned long)dwError);
        if (dwError == ERROR_DISK_FULL || dwError == ERROR_HANDLE_DISK_FULL)
            DeleteFileA(lpszWriteFile);
        SetLastError(dwError);
        return FALSE;
    }
    DWORD dwNew = GetFileAttributesA(lpszWriteFile);
    if (fnHasBlockingAttributes(dwNew))
        SetFileAttributesA(lpszWriteFile, FILE_ATTRIBUTE_NORMAL);
    if (bKeepTime)
        fnSetFileTime(lpszWriteFile, &ft);
    return TRUE;
}

DWORD fnAppendToFile(const char *lpszReadFile, const char *lpszWriteFile)
{
    if (fnSameFile(lpszReadFile, lpszWriteFile)) {
        /* it would grow while it is read and never reach its end */
        fnDebugLog("fnAppendToFile", "A file is not appended to itself: %s", g_uDebugLevel, lpszReadFile);
        return VIF_CANNOTREADSRC;
    }
    BYTE *lpb = s_abCopyBuffer;
    FileGuardStruct src;
    src.h = g_lpFileOps->pfnCreateFile(lpszReadFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    FILETIME ft;
    if (src.h == INVALID_HANDLE_VALUE || !GetFileTime(src.h, NULL, NULL, &ft)) {
        fnDebugLog("fnAppendToFile", "Cannot read %s", g_uDebugLevel, lpszReadFile);
        return VIF_CANNOTREADSRC;
    }
    DWORD dwDstAttr = GetFileAttributesA(lpszWriteFile);
    FileGuardStruct dst;
    dst.h = g_lpFileOps->pfnCreateFile(lpszWriteFile, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                       NULL);
    if (dst.h == INVALID_HANDLE_VALUE) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnAppendToFile", "Cannot open %s, dwError=%lu", g_uDebugLevel, lpszWriteFile,
                   (unsigned long)dwError);
        return fnWriteErrorToVif(dwError, dwDstAttr != INVALID_FILE_ATTRIBUTES && (dwDstAttr & FILE_ATTRIBUTE_READONLY),
                                 VIF_ACCESSVIOLATION);
    }
    LARGE_INTEGER liZero = {}, liEnd = {};
    SetFilePointerEx(dst.h, liZero, &liEnd, FILE_END);
    DWORD dwVIF = 0;
    for (;;) {
        DWORD cbRead = 0;
        if (!ReadFile(src.h, lpb, CB_COPY_BUFFER, &cbRead, NULL)) {
            dwVIF = VIF_CANNOTREADSRC;
            break;
        }
        if (cbRead == 0)
            break;
        DWORD cbWritten = 0;
        if (!g_lpFileOps->pfnWriteFile(dst.h, lpb, cbRead, &cbWritten, NULL) || cbWritten != cbRead) {
            DWORD dwError = GetLastError();
            dwVIF = fnWriteErrorToVif(dwError ? dwError : ERROR_DISK_FULL, FALSE, VIF_ACCESSVIOLATION);
            break;
        }
    }
    if (dwVIF) {
        /* the file goes back to what it held before */
        fnDebugLog("fnAppendToFile", "Appending %s to %s failed, dwVIF=%lx", g_uDebugLevel, lpszReadFile,
                   lpszWriteFile, (unsigned long)dwVIF);
        SetFilePointerEx(dst.h, liEnd, NULL, FILE_BEGIN);
        SetEndOfFile(dst.h);
        return dwVIF;
    }
    SetFileTime(dst.h, NULL, NULL, &ft);
    return 0;
}

int fnUniqueFileName(const char *lpszTargetDir, const char *lpszTargetName, char *lpszOut)
{
    int nRC = fnMakeUniqueName(lpszTargetDir, lpszTargetName, g_uBackUpMethod, fnExists, NULL, lpszOut, CCH_PATH);
    fnDebugLog("fnUniqueFileName", "lpszTargetDir=%s, lpszTargetName=%s, lpszOut=%s, nRC=%d", g_uDebugLevel,
               lpszTargetDir, lpszTargetName, lpszOut, nRC);
    return nRC;
}

BOOL fnReplaceFileInUse(const char *lpszSourceFile, const char *lpszTargetFile)
{
    /* a missing new copy would put an empty file (or nothing) in the target's place */
    if (GetFileAttributesA(lpszSourceFile) == INVALID_FILE_ATTRIBUTES) {
        fnDebugLog("fnReplaceFileInUse", "Not scheduled, %s does not exist", g_uDebugLevel, lpszSourceFile);
        return FALSE;
    }
    BOOL bNul = fnEqualNoCase(lpszTargetFile, "NUL");
    BOOL bOk;
    if (g_OSInfo.bWinNT) {
        bOk = g_lpFileOps->pfnMoveFileEx(lpszSourceFile, bNul ? NULL : lpszTargetFile,
                                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
        fnDebugLog("fnReplaceFileInUse - NT - Result", "lpszSourceFile=%s, lpszTargetFile=%s, bOk=%d, dwError=%lu",
                   g_uDebugLevel, lpszSourceFile, lpszTargetFile, bOk, (unsigned long)(bOk ? 0 : GetLastError()));
    } else {
        bOk = fnWininitRename(lpszSourceFile, lpszTargetFile);
        fnDebugLog("fnReplaceFileInUse - WININIT - Result", "lpszSourceFile=%s, lpszTargetFile=%s, bOk=%d",
                   g_uDebugLevel, lpszSourceFile, lpszTargetFile, bOk);
    }
    if (bOk)
        g_bRestartNeeded = TRUE;
    return bOk;
}

BOOL fnGetExpandedName(const char *lpszPath, char *lpszOut, size_t cchOut)
{
    char szName[CCH_PATH];
    fnSplitPath(lpszPath, NULL, NULL, NULL, NULL, szName, NULL);
    fnCopyBounded(lpszOut, cchOut, szName);
    const char *lpszDot = strrchr(szName, '.');
    if (!lpszDot || !strchr(lpszDot, '_'))
        return TRUE;  /* only a '_' in the extension can stand for a compressed name */
    FileGuardStruct f;
    f.h = CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (f.h == INVALID_HANDLE_VALUE || GetFileType(f.h) != FILE_TYPE_DISK)
        return FALSE;
    BYTE ab[CB_EXPANDED_HEADER];
    DWORD cb = 0;
    if (!ReadFile(f.h, ab, sizeof(ab), &cb, NULL))
        return FALSE;
    fnExpandedNameFromHeader(szName, ab, cb, lpszOut, cchOut);
    return TRUE;
}

BOOL fnFindSourceFile(const char *lpszFile)
{
    if (GetFileAttributesA(lpszFile) != INVALID_FILE_ATTRIBUTES)
        return TRUE;
    char szPath[CCH_PATH];
    if (!fnIsAbsolutePath(lpszFile) && fnJoinPath(szPath, sizeof(szPath), g_szSourceDir, lpszFile) &&
        GetFileAttributesA(szPath) != INVALID_FILE_ATTRIBUTES)
        return TRUE;
    fnDebugLog("fnFindSourceFile Not Found", "lpszFile=%s", g_uDebugLevel, lpszFile);
    return FALSE;
}

UINT fnTestInUse(HWND hWnd, BOOL bPrompt, DWORD dwError, const char *lpszFile)
{
    if (dwError != ERROR_ACCESS_DENIED && dwError != ERROR_SHARING_VIOLATION && dwError != ERROR_LOCK_VIOLATION &&
        dwError != ERROR_ALREADY_EXISTS)
        return INUSEANS_NOTINUSE;
    if (!bPrompt)
        return INUSEANS_NOPROMPT;
    return fnInUseDialog(hWnd, lpszFile);
}

BOOL fnEnableWriteToFile(const char *lpszFile, DWORD *lpdwAttrib)
{
    DWORD dwAttr = GetFileAttributesA(lpszFile);
    if (dwAttr == INVALID_FILE_ATTRIBUTES || (dwAttr & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    HANDLE h = g_lpFileOps->pfnCreateFile(lpszFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        if (g_bQuiet) {
            fnDebugLog("fnEnableWriteToFile", "%s is read-only; quiet, left as it is", g_uDebugLevel, lpszFile);
            return FALSE;
        }
        if (fnMessage(1143, NULL, MB_YESNO | MB_ICONQUESTION, lpszFile) != IDYES)
            return FALSE;
        SetFileAttributesA(lpszFile, FILE_ATTRIBUTE_NORMAL);
        h = g_lpFileOps->pfnCreateFile(lpszFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       NULL, OPEN_EXISTING, 0, NULL);
        if (h == INVALID_HANDLE_VALUE)
            return FALSE;
    }
    CloseHandle(h);
    if (lpdwAttrib)
        *lpdwAttrib = (dwAttr & FILE_ATTRIBUTE_READONLY) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
    return TRUE;
}

HANDLE fnCreateTempBeside(const char *lpszDir, const char *lpszPrefix, char *lpszOut)
{
    /* numbered from the clock as the system numbers its temporary files, the first free number taken */
    UINT uStart = (UINT)(GetTickCount() & 0xFFFF);
    for (UINT i = 0; i < 0x10000; i++) {
        UINT uUnique = (uStart + i) & 0xFFFF;
        if (!uUnique)
            continue;
        char szName[32];
        fnFormatBounded(szName, sizeof(szName), "%s%x.tmp", lpszPrefix, uUnique);
        if (!fnJoinPath(lpszOut, CCH_PATH, lpszDir && *lpszDir ? lpszDir : "C:\\", szName))
            break;
        HANDLE h = g_lpFileOps->pfnCreateFile(lpszOut, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                              NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h != INVALID_HANDLE_VALUE)
            return h;
        DWORD dwError = GetLastError();
        if (dwError != ERROR_FILE_EXISTS && dwError != ERROR_ALREADY_EXISTS) {
            fnDebugLog("fnCreateTempBeside", "%s: dwError=%lu", g_uDebugLevel, lpszOut, (unsigned long)dwError);
            break;
        }
    }
    lpszOut[0] = '\0';
    return INVALID_HANDLE_VALUE;
}

BOOL fnGetTempFileName(const char *lpszDir, const char *lpszPrefix, char *lpszOut)
{
    lpszOut[0] = '\0';
    if (!GetTempFileNameA(lpszDir && *lpszDir ? lpszDir : "C:\\", lpszPrefix, 0, lpszOut)) {
        fnDebugLog("fnGetTempFileName", "lpszDir=%s, dwError=%lu", g_uDebugLevel, lpszDir ? lpszDir : "",
                   (unsigned long)GetLastError());
        lpszOut[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

int fnCmpFileTime(const char *lpszFile1, const char *lpszFile2)
{
    FILETIME ft1, ft2;
    if (!fnGetFileTime(lpszFile1, &ft1) || !fnGetFileTime(lpszFile2, &ft2))
        return -2;
    return (int)CompareFileTime(&ft1, &ft2);
}
