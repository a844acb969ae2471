/*
 * common/tgfile_win.cpp -- the file layer on Windows handles. A TGFILE is the
 * HANDLE itself, so Windows callers may pass handles they opened elsewhere.
 */
#include <windows.h>

#include "common/tgfile.h"

static TGFILE fnFromHandle(HANDLE h)
{
    return (h == INVALID_HANDLE_VALUE) ? NULL : (TGFILE)h;
}

TGFILE fnFileOpenWrite(const char *lpszPath)
{
    return fnFromHandle(CreateFileA(lpszPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL));
}

TGFILE fnFileOpenRead(const char *lpszPath)
{
    return fnFromHandle(CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
}

TGFILE fnFileCreate(const char *lpszPath)
{
    return fnFromHandle(CreateFileA(lpszPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL));
}

BOOL fnFileRead(TGFILE hFile, void *lpBuffer, DWORD cbToRead, DWORD *lpcbRead)
{
    DWORD cbRead = 0;
    BOOL bOk = ReadFile((HANDLE)hFile, lpBuffer, cbToRead, &cbRead, NULL);
    if (lpcbRead)
        *lpcbRead = cbRead;
    return bOk;
}

BOOL fnFileWrite(TGFILE hFile, const void *lpBuffer, DWORD cbToWrite, DWORD *lpcbWritten)
{
    DWORD cbWritten = 0;
    BOOL bOk = WriteFile((HANDLE)hFile, lpBuffer, cbToWrite, &cbWritten, NULL);
    if (lpcbWritten)
        *lpcbWritten = cbWritten;
    return bOk && cbWritten == cbToWrite;
}

BOOL fnFileTell(TGFILE hFile, DWORD *lpdwPos)
{
    DWORD dwPos = SetFilePointer((HANDLE)hFile, 0, NULL, FILE_CURRENT);
    if (dwPos == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return FALSE;
    *lpdwPos = dwPos;
    return TRUE;
}

BOOL fnFileSeek(TGFILE hFile, DWORD dwPos)
{
    DWORD dwNew = SetFilePointer((HANDLE)hFile, (LONG)dwPos, NULL, FILE_BEGIN);
    return !(dwNew == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

BOOL fnFileSeekEnd(TGFILE hFile)
{
    DWORD dwNew = SetFilePointer((HANDLE)hFile, 0, NULL, FILE_END);
    return !(dwNew == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

void fnFileClose(TGFILE hFile)
{
    if (hFile)
        CloseHandle((HANDLE)hFile);
}

DWORD fnFileLastError(void)
{
    return GetLastError();
}
