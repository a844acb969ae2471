/*
 * install/tests/filetest.cpp -- the scratch folder and the fake file table
 * of the install tests.
 */
#include "install/tests/filetest.h"

#include "common/machine.h"

namespace filetest {

FakeOpsStruct g_fake;

HANDLE WINAPI fnFakeCreateFile(LPCSTR lpszName, DWORD dwAccess, DWORD dwShare, LPSECURITY_ATTRIBUTES lpSA,
                               DWORD dwDisposition, DWORD dwFlags, HANDLE hTemplate)
{
    DWORD dwAttr = GetFileAttributesA(lpszName);
    if (g_fake.bReadOnlyDenied && (dwAccess & GENERIC_WRITE) && dwAttr != INVALID_FILE_ATTRIBUTES &&
        (dwAttr & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(lpszName, dwAccess, dwShare, lpSA, dwDisposition, dwFlags, hTemplate);
}

BOOL WINAPI fnFakeWriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD cbToWrite, LPDWORD lpcbWritten,
                            LPOVERLAPPED lpOverlapped)
{
    if (g_fake.dwWriteError) {
        DWORD cbLeft = g_fake.cbWriteOk > g_fake.cbWritten ? g_fake.cbWriteOk - g_fake.cbWritten : 0;
        if (cbToWrite > cbLeft) {
            /* what fits is written, as on a disk that fills up */
            DWORD cb = 0;
            if (cbLeft)
                WriteFile(hFile, lpBuffer, cbLeft, &cb, lpOverlapped);
            g_fake.cbWritten += cb;
            *lpcbWritten = cb;
            SetLastError(g_fake.dwWriteError);
            return FALSE;
        }
    }
    BOOL bOk = WriteFile(hFile, lpBuffer, cbToWrite, lpcbWritten, lpOverlapped);
    g_fake.cbWritten += *lpcbWritten;
    return bOk;
}

BOOL WINAPI fnFakeGetDiskFreeSpaceEx(LPCSTR lpszDir, PULARGE_INTEGER lpFree, PULARGE_INTEGER lpTotal,
                                     PULARGE_INTEGER lpTotalFree)
{
    if (!g_fake.qwFree)
        return GetDiskFreeSpaceExA(lpszDir, lpFree, lpTotal, lpTotalFree);
    lpFree->QuadPart = g_fake.qwFree;
    return TRUE;
}

DWORD WINAPI fnFakeVerFindFile(DWORD uFlags, LPSTR lpszFileName, LPSTR lpszWinDir, LPSTR lpszAppDir, LPSTR lpszCurDir,
                               PUINT lpuCurDirLen, LPSTR lpszDestDir, PUINT lpuDestDirLen)
{
    if (g_fake.dwVerFindResult == 0xFFFF)
        return VerFindFileA(uFlags, lpszFileName, lpszWinDir, lpszAppDir, lpszCurDir, lpuCurDirLen, lpszDestDir,
                            lpuDestDirLen);
    lstrcpynA(lpszCurDir, g_fake.strCurDir.c_str(), (int)*lpuCurDirLen);
    lstrcpynA(lpszDestDir, lpszAppDir, (int)*lpuDestDirLen);
    return g_fake.dwVerFindResult;
}

BOOL WINAPI fnFakeCopyFile(LPCSTR lpszExisting, LPCSTR lpszNew, BOOL bFailIfExists)
{
    DWORD dwAttr = GetFileAttributesA(lpszNew);
    if (g_fake.bReadOnlyDenied && dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (g_fake.dwWriteError) {
        SetLastError(g_fake.dwWriteError);
        return FALSE;
    }
    return CopyFileA(lpszExisting, lpszNew, bFailIfExists);
}

static BOOL WINAPI fnCountMoveFileEx(LPCSTR lpszExisting, LPCSTR lpszNew, DWORD dwFlags)
{
    g_fake.nMoves++;
    return MoveFileExA(lpszExisting, lpszNew, dwFlags);
}

/* renames that replace a file, by name or through the open copy, are counted alike */
static BOOL fnCountRenameOpen(HANDLE hFile, const char *lpszNewPath)
{
    if (g_fake.bNoRenameOpen) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    g_fake.nMoves++;
    return g_fileOpsWin.pfnRenameOpenFile(hFile, lpszNewPath);
}

static BOOL fnNoHolder(const char *)
{
    return FALSE;
}

const FileOpsStruct g_fakeOps = {fnFakeVerFindFile, fnCountMoveFileEx, GetDriveTypeA,     fnFakeGetDiskFreeSpaceEx,
                                 fnFakeCreateFile,  fnFakeWriteFile,   fnFakeCopyFile,    fnCountRenameOpen,
                                 fnNoHolder};

void ScratchTest::SetUp()
{
    fnResetRunState();
    g_OSInfo.bWinNT = TRUE;
    g_fake = FakeOpsStruct();
    g_lpFileOps = &g_fakeOps;
    fnResetDriveCache();
    char sz[MAX_PATH];
    GetTempPathA(sizeof(sz), sz);
    const ::testing::TestInfo *lpInfo = ::testing::UnitTest::GetInstance()->current_test_info();
    m_strDir = std::string(sz) + "tgfiles_" + lpInfo->name();
    fnRemoveTree(m_strDir);
    ASSERT_TRUE(CreateDirectoryA(m_strDir.c_str(), NULL));
}

void ScratchTest::TearDown()
{
    fnRemoveTree(m_strDir);
    g_lpFileOps = &g_fileOpsWin;
    g_fake = FakeOpsStruct();
    fnResetDriveCache();
    fnResetRunState();
}

}  // namespace filetest
