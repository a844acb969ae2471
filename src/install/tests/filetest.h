/*
 * install/tests/filetest.h -- what the install tests share: a scratch folder
 * made fresh for each test, whole-file reads and writes, a literal-only SZDD
 * encoder (the system's expander reads it as any SZDD file), and a fake file
 * table whose calls a test can make fail.
 */
#ifndef TG_INSTALL_TESTS_FILETEST_H
#define TG_INSTALL_TESTS_FILETEST_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/runstate.h"
#include "install/copyprim.h"
#include "install/fileops.h"

namespace filetest {

inline void fnRemoveTree(const std::string &strDir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((strDir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string strName = fd.cFileName;
            if (strName == "." || strName == "..")
                continue;
            std::string strPath = strDir + "\\" + strName;
            SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                fnRemoveTree(strPath);
            else
                DeleteFileA(strPath.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(strDir.c_str());
}

inline bool fnWrite(const std::string &strPath, const std::string &strData)
{
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD cb = 0;
    BOOL bOk = WriteFile(h, strData.data(), (DWORD)strData.size(), &cb, NULL);
    CloseHandle(h);
    return bOk && cb == strData.size();
}

inline std::string fnRead(const std::string &strPath)
{
    std::string str;
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0,
                           NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buf[65536];
    DWORD cb;
    while (ReadFile(h, buf, sizeof(buf), &cb, NULL) && cb)
        str.append(buf, cb);
    CloseHandle(h);
    return str;
}

inline bool fnExists(const std::string &strPath)
{
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

/* SZDD of the data with every byte a literal; cLast is the name's missing last character. */
inline std::string fnSzdd(const std::string &strData, char cLast)
{
    std::string str("SZDD\x88\xF0\x27\x33", 8);
    str += 'A';
    str += cLast;
    DWORD cb = (DWORD)strData.size();
    str.append((const char *)&cb, 4);
    for (size_t i = 0; i < strData.size(); i += 8) {
        str += (char)0xFF;
        str += strData.substr(i, 8);
    }
    return str;
}

/* A pattern that is not all one byte, so a kept old tail or a shifted block shows. */
inline std::string fnPattern(size_t cb, unsigned nSeed)
{
    std::string str(cb, '\0');
    unsigned x = nSeed * 2654435761u + 1;
    for (size_t i = 0; i < cb; i++) {
        x = x * 1103515245u + 12345u;
        str[i] = (char)(x >> 16);
    }
    return str;
}

/* The pending replacements at restart, entries joined by "|". */
inline std::string fnPendingRenames(void)
{
    HKEY hKey;
    std::string str;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &hKey))
        return str;
    char buf[16384];
    DWORD cb = sizeof(buf) - 2, dwType = 0;
    if (RegQueryValueExA(hKey, "PendingFileRenameOperations", NULL, &dwType, (BYTE *)buf, &cb) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < cb; i++)
            str += buf[i] ? buf[i] : '|';
    }
    RegCloseKey(hKey);
    return str;
}

inline void fnClearPendingRenames(void)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_SET_VALUE,
                      &hKey) == ERROR_SUCCESS) {
        RegDeleteValueA(hKey, "PendingFileRenameOperations");
        RegCloseKey(hKey);
    }
}

/* Fakes the tests switch on; the rest passes to the system. */
struct FakeOpsStruct {
    DWORD dwWriteError = 0;          /* WriteFile fails with it after cbWriteOk bytes */
    DWORD cbWriteOk = 0;
    DWORD cbWritten = 0;
    BOOL bReadOnlyDenied = FALSE;    /* opening a read-only file for writing fails with 5, as on Windows */
    ULONGLONG qwFree = 0;            /* nonzero: the free space every drive reports */
    DWORD dwVerFindResult = 0xFFFF;  /* not 0xFFFF: VerFindFile's result, szCurDir from strCurDir */
    std::string strCurDir;
    int nMoves = 0;                  /* MoveFileEx calls and renames through an open copy */
    BOOL bNoRenameOpen = FALSE;      /* the open copy cannot be renamed, as before Vista */
};
extern FakeOpsStruct g_fake;

HANDLE WINAPI fnFakeCreateFile(LPCSTR lpszName, DWORD dwAccess, DWORD dwShare, LPSECURITY_ATTRIBUTES lpSA,
                               DWORD dwDisposition, DWORD dwFlags, HANDLE hTemplate);
BOOL WINAPI fnFakeWriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD cbToWrite, LPDWORD lpcbWritten,
                            LPOVERLAPPED lpOverlapped);
BOOL WINAPI fnFakeGetDiskFreeSpaceEx(LPCSTR lpszDir, PULARGE_INTEGER lpFree, PULARGE_INTEGER lpTotal,
                                     PULARGE_INTEGER lpTotalFree);
DWORD WINAPI fnFakeVerFindFile(DWORD uFlags, LPSTR lpszFileName, LPSTR lpszWinDir, LPSTR lpszAppDir, LPSTR lpszCurDir,
                               PUINT lpuCurDirLen, LPSTR lpszDestDir, PUINT lpuDestDirLen);
BOOL WINAPI fnFakeCopyFile(LPCSTR lpszExisting, LPCSTR lpszNew, BOOL bFailIfExists);
extern const FileOpsStruct g_fakeOps;

/* A fresh scratch folder (m_strDir, no trailing backslash), the fake table installed, run state reset. */
class ScratchTest : public ::testing::Test {
  protected:
    std::string m_strDir;
    void SetUp() override;
    void TearDown() override;
    std::string fnPath(const std::string &strName) const { return m_strDir + "\\" + strName; }
};

}  // namespace filetest

#endif
