/*
 * common/tgfile_posix.cpp -- the file layer on stdio, for the host build of the
 * portable core and its tests.
 */
#include <errno.h>
#include <stdio.h>

#include "common/tgfile.h"

static DWORD s_dwLastError;

static TGFILE fnOpen(const char *lpszPath, const char *lpszMode)
{
    FILE *fp = fopen(lpszPath, lpszMode);
    if (!fp)
        s_dwLastError = (DWORD)errno;
    return (TGFILE)fp;
}

TGFILE fnFileOpenWrite(const char *lpszPath)
{
    FILE *fp = fopen(lpszPath, "r+b");
    if (fp)
        return (TGFILE)fp;
    return fnOpen(lpszPath, "w+b");
}

TGFILE fnFileOpenRead(const char *lpszPath) { return fnOpen(lpszPath, "rb"); }
TGFILE fnFileCreate(const char *lpszPath) { return fnOpen(lpszPath, "w+b"); }

BOOL fnFileRead(TGFILE hFile, void *lpBuffer, DWORD cbToRead, DWORD *lpcbRead)
{
    size_t cb = fread(lpBuffer, 1, cbToRead, (FILE *)hFile);
    if (lpcbRead)
        *lpcbRead = (DWORD)cb;
    if (cb < cbToRead && ferror((FILE *)hFile)) {
        s_dwLastError = (DWORD)errno;
        return FALSE;
    }
    return TRUE;
}

BOOL fnFileWrite(TGFILE hFile, const void *lpBuffer, DWORD cbToWrite, DWORD *lpcbWritten)
{
    /* a stream switched from reading to writing needs a positioning call between */
    fseek((FILE *)hFile, 0, SEEK_CUR);
    size_t cb = fwrite(lpBuffer, 1, cbToWrite, (FILE *)hFile);
    if (lpcbWritten)
        *lpcbWritten = (DWORD)cb;
    if (cb != cbToWrite) {
        s_dwLastError = (DWORD)errno;
        return FALSE;
    }
    return fflush((FILE *)hFile) == 0;
}

BOOL fnFileTell(TGFILE hFile, DWORD *lpdwPos)
{
    long lPos = ftell((FILE *)hFile);
    if (lPos < 0)
        return FALSE;
    *lpdwPos = (DWORD)lPos;
    return TRUE;
}

BOOL fnFileSeek(TGFILE hFile, DWORD dwPos) { return fseek((FILE *)hFile, (long)dwPos, SEEK_SET) == 0; }
BOOL fnFileSeekEnd(TGFILE hFile) { return fseek((FILE *)hFile, 0, SEEK_END) == 0; }

void fnFileClose(TGFILE hFile)
{
    if (hFile)
        fclose((FILE *)hFile);
}

DWORD fnFileLastError(void) { return s_dwLastError; }
