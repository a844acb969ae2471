/*
 * install/tests/copyprim_win_test.cpp -- the copy primitives and directory
 * creation on real files: SZDD expansion, overwriting a longer file, long
 * paths, self copies, appends, full disks and read-only files through the
 * fake table, files held open, replacement at restart (delayed moves and
 * WININIT.INI), directory trees and the directory-list section.
 */
#include "install/tests/filetest.h"

#include "common/bounded.h"
#include "common/machine.h"
#include "common/records.h"
#include "driver/handlers.h"
#include "install/dirs.h"
#include "install/version.h"
#include "script/optstore.h"

namespace {

using namespace filetest;

class CopyPrimTest : public ScratchTest {};

TEST_F(CopyPrimTest, ExpandSzddAndPlainOverLongerFiles)
{
    std::string strData = fnPattern(70000, 1);
    ASSERT_TRUE(fnWrite(fnPath("SETUP.EX_"), fnSzdd(strData, 'E')));
    ASSERT_TRUE(fnWrite(fnPath("plain.bin"), strData.substr(0, 25249)));
    /* destinations that are longer than the new files: no old tail may stay */
    ASSERT_TRUE(fnWrite(fnPath("setup.exe"), fnPattern(100000, 2)));
    ASSERT_TRUE(fnWrite(fnPath("out.bin"), fnPattern(100000, 3)));
    SetFileAttributesA(fnPath("out.bin").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(0u, fnExpandFile(m_strDir.c_str(), "SETUP.EX_", m_strDir.c_str(), "setup.exe", FALSE));
    EXPECT_EQ(strData, fnRead(fnPath("setup.exe")));
    EXPECT_EQ(0u, fnExpandFile(m_strDir.c_str(), "plain.bin", m_strDir.c_str(), "out.bin", FALSE));
    EXPECT_EQ(strData.substr(0, 25249), fnRead(fnPath("out.bin")));
    EXPECT_EQ(0u, GetFileAttributesA(fnPath("out.bin").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, fnCmpFileTime(fnPath("plain.bin").c_str(), fnPath("out.bin").c_str()));

    /* paths longer than the old 128-byte open structure */
    std::string strLong = fnPath(std::string(120, 'd'));
    ASSERT_TRUE(fnCreateDirTreeLog((strLong + "\\" + std::string(60, 'e')).c_str(), FALSE));
    strLong += "\\" + std::string(60, 'e');
    ASSERT_GT(strLong.size(), 190u);
    EXPECT_EQ(0u, fnExpandFile(m_strDir.c_str(), "SETUP.EX_", strLong.c_str(), "SETUP.EX_", FALSE));
    EXPECT_EQ(strData, fnRead(strLong + "\\SETUP.EX_"));

    /* keep-attributes copies the read-only bit */
    SetFileAttributesA(fnPath("plain.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0u, fnExpandFile(m_strDir.c_str(), "plain.bin", m_strDir.c_str(), "kept.bin", TRUE));
    EXPECT_NE(0u, GetFileAttributesA(fnPath("kept.bin").c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(CopyPrimTest, SelfCopiesAndAppends)
{
    std::string strA = fnPattern(5000, 4), strB = fnPattern(300000, 5);
    ASSERT_TRUE(fnWrite(fnPath("a.bin"), strA));
    ASSERT_TRUE(fnWrite(fnPath("b.bin"), strB));
    /* a file copied or appended onto itself is refused and kept whole */
    EXPECT_NE(0u, fnExpandFile(m_strDir.c_str(), "a.bin", (m_strDir + "\\.").c_str(), "A.BIN", FALSE));
    EXPECT_NE(0u, fnCopyFileAsIs(m_strDir.c_str(), "a.bin", m_strDir.c_str(), "a.bin", FALSE));
    EXPECT_EQ((DWORD)VIF_CANNOTREADSRC, fnAppendToFile(fnPath("a.bin").c_str(), fnPath("A.BIN").c_str()));
    EXPECT_EQ(strA, fnRead(fnPath("a.bin")));

    EXPECT_EQ(0u, fnAppendToFile(fnPath("a.bin").c_str(), fnPath("joined.bin").c_str()));
    EXPECT_EQ(0u, fnAppendToFile(fnPath("b.bin").c_str(), fnPath("joined.bin").c_str()));
    EXPECT_EQ(strA + strB, fnRead(fnPath("joined.bin")));
    EXPECT_EQ(0, fnCmpFileTime(fnPath("b.bin").c_str(), fnPath("joined.bin").c_str()));

    /* a failed append leaves the file as it was */
    g_fake.dwWriteError = ERROR_DISK_FULL;
    g_fake.cbWriteOk = 1000;
    EXPECT_EQ((DWORD)VIF_OUTOFSPACE, fnAppendToFile(fnPath("b.bin").c_str(), fnPath("joined.bin").c_str()));
    EXPECT_EQ(strA + strB, fnRead(fnPath("joined.bin")));
}

TEST_F(CopyPrimTest, FullDiskReadOnlyAndInUse)
{
    std::string strData = fnPattern(400000, 6);
    ASSERT_TRUE(fnWrite(fnPath("big.bin"), strData));

    /* too little free space: nothing is written */
    g_fake.qwFree = 1000;
    EXPECT_EQ((DWORD)VIF_OUTOFSPACE, fnExpandFile(m_strDir.c_str(), "big.bin", m_strDir.c_str(), "o1.bin", FALSE));
    EXPECT_FALSE(fnExists(fnPath("o1.bin")));
    g_fake.qwFree = 0;
    fnResetDriveCache();

    /* the disk fills while writing: a full disk, not a file in use, and no partial file left */
    g_fake.dwWriteError = ERROR_DISK_FULL;
    g_fake.cbWriteOk = 100000;
    EXPECT_EQ((DWORD)VIF_OUTOFSPACE, fnExpandFile(m_strDir.c_str(), "big.bin", m_strDir.c_str(), "o2.bin", FALSE));
    EXPECT_FALSE(fnExists(fnPath("o2.bin")));
    g_fake.cbWritten = 0;
    EXPECT_EQ((DWORD)VIF_OUTOFSPACE, fnCopyFileAsIs(m_strDir.c_str(), "big.bin", m_strDir.c_str(), "o3.bin", TRUE));
    g_fake.dwWriteError = 0;

    /* a read-only destination that the system refuses to open is write protection for a plain copy */
    ASSERT_TRUE(fnWrite(fnPath("ro.bin"), "old"));
    SetFileAttributesA(fnPath("ro.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    g_fake.bReadOnlyDenied = TRUE;
    EXPECT_EQ((DWORD)VIF_WRITEPROT, fnCopyFileAsIs(m_strDir.c_str(), "big.bin", m_strDir.c_str(), "ro.bin", TRUE));
    EXPECT_EQ("old", fnRead(fnPath("ro.bin")));
    /* the expanding copy clears the attribute first and writes */
    EXPECT_EQ(0u, fnExpandFile(m_strDir.c_str(), "big.bin", m_strDir.c_str(), "ro.bin", FALSE));
    EXPECT_EQ(strData, fnRead(fnPath("ro.bin")));

    /* a destination held open without sharing is a sharing violation, and stays untouched */
    ASSERT_TRUE(fnWrite(fnPath("held.bin"), "held"));
    HANDLE hHeld = CreateFileA(fnPath("held.bin").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    EXPECT_EQ((DWORD)VIF_SHARINGVIOLATION,
              fnExpandFile(m_strDir.c_str(), "big.bin", m_strDir.c_str(), "held.bin", FALSE));
    EXPECT_EQ((DWORD)VIF_SHARINGVIOLATION,
              fnCopyFileAsIs(m_strDir.c_str(), "big.bin", m_strDir.c_str(), "held.bin", FALSE));
    CloseHandle(hHeld);
    EXPECT_EQ("held", fnRead(fnPath("held.bin")));
    EXPECT_EQ(INUSEANS_NOPROMPT, fnTestInUse(NULL, FALSE, ERROR_SHARING_VIOLATION, "x"));
    EXPECT_EQ(INUSEANS_NOTINUSE, fnTestInUse(NULL, TRUE, ERROR_DISK_FULL, "x"));
}

TEST_F(CopyPrimTest, UniqueNamesOnDisk)
{
    char sz[CCH_PATH];
    EXPECT_EQ(1, fnUniqueFileName(m_strDir.c_str(), "README.TXT", sz));
    ASSERT_TRUE(fnWrite(fnPath("README.TXT"), "x"));
    EXPECT_EQ(2, fnUniqueFileName(m_strDir.c_str(), "README.TXT", sz));
    EXPECT_EQ(fnPath("README.ORI"), sz);
    ASSERT_TRUE(fnWrite(fnPath("README.ORI"), "x"));
    ASSERT_TRUE(fnWrite(fnPath("README.{05}.SAV.TXT"), "x"));
    EXPECT_EQ(2, fnUniqueFileName(m_strDir.c_str(), "README.TXT", sz));
    EXPECT_EQ(fnPath("README.{06}.SAV.TXT"), sz);
}

TEST_F(CopyPrimTest, ReplaceAtRestart)
{
    fnClearPendingRenames();
    ASSERT_TRUE(fnWrite(fnPath("new.dll"), "new"));
    /* a new copy that does not exist is never scheduled */
    EXPECT_FALSE(fnReplaceFileInUse(fnPath("missing.dll").c_str(), fnPath("app.dll").c_str()));
    EXPECT_FALSE(g_bRestartNeeded);
    EXPECT_TRUE(fnReplaceFileInUse(fnPath("new.dll").c_str(), fnPath("app.dll").c_str()));
    EXPECT_TRUE(fnReplaceFileInUse(fnPath("new.dll").c_str(), "NUL"));
    EXPECT_TRUE(g_bRestartNeeded);
    std::string strPending = fnPendingRenames();
    EXPECT_NE(std::string::npos, strPending.find("new.dll|!\\??\\" + fnPath("app.dll") + "|"));
    EXPECT_NE(std::string::npos, strPending.find("new.dll||"));  /* deletion: an empty target */
    fnClearPendingRenames();

    /* the other family: a [rename] line, a section of its own when the file ends in another one */
    g_OSInfo.bWinNT = FALSE;
    fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), m_strDir.c_str());
    ASSERT_TRUE(fnWrite(fnPath("WININIT.INI"), "[other]\r\nx=y"));
    EXPECT_TRUE(fnReplaceFileInUse(fnPath("new.dll").c_str(), "NUL"));
    EXPECT_TRUE(fnReplaceFileInUse(fnPath("new.dll").c_str(), fnPath("app.dll").c_str()));
    char szShortNew[MAX_PATH], szShortApp[MAX_PATH];
    GetShortPathNameA(fnPath("new.dll").c_str(), szShortNew, sizeof(szShortNew));
    GetShortPathNameA(fnPath("app.dll").c_str(), szShortApp, sizeof(szShortApp));
    EXPECT_EQ("[other]\r\nx=y\r\n[rename]\r\nNUL=" + std::string(szShortNew) + "\r\n" + szShortApp + "=" +
                  szShortNew + "\r\n",
              fnRead(fnPath("WININIT.INI")));
}

TEST_F(CopyPrimTest, DirectoryTrees)
{
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), m_strDir.c_str());
    fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), fnPath("install.log").c_str());
    g_bLogOpen = TRUE;
    ASSERT_TRUE(CreateDirectoryA(fnPath("one").c_str(), NULL));
    EXPECT_TRUE(fnCreateDirTreeLog(fnPath("one/two/three").c_str(), TRUE));
    EXPECT_TRUE(fnExists(fnPath("one\\two\\three")));
    ASSERT_TRUE(fnWrite(fnPath("afile"), "x"));
    EXPECT_FALSE(fnCreateDirTreeLog(fnPath("afile\\sub").c_str(), TRUE));
    EXPECT_EQ(fnPath("one\\two\\three") + "\r\n", fnRead(fnPath("install.log")));

    /* the levels that exist come back as the disk spells them, the rest as given */
    ASSERT_TRUE(CreateDirectoryA(fnPath("one\\MixedCase").c_str(), NULL));
    std::string strAsked = fnPath("one\\mixedcase\\NotThere");
    CharUpperA(&strAsked[0]);
    char sz[CCH_PATH];
    EXPECT_TRUE(fnDiskCasePath(strAsked.c_str(), sz, sizeof(sz)));
    EXPECT_EQ(fnPath("one\\MixedCase\\NOTTHERE"), sz);
    EXPECT_FALSE(fnDiskCasePath(fnPath("one\\*").c_str(), sz, sizeof(sz)));
}

TEST_F(CopyPrimTest, DirectoryListSection)
{
    g_bQuiet = TRUE;
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), fnPath("dest").c_str());
    fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), fnPath("install.log").c_str());
    g_bLogOpen = TRUE;
    fnCopyBounded(g_lpszAskForResponse[0], CCH_ANSWER, "REL\\SUB");  /* @A1: an option giving a relative path */
    std::string strText = "[MakeDirs]\r\nExpandDelims=\";\"\r\nLOGS\\@A1\r\n" + fnPath("abs") +
                          "\r\nX=Y,skipped\r\nA=A,taken\r\n";
    for (int i = 0; i < 70; i++)
        strText += "n" + std::to_string(i) + "\r\n";
    strText += "[Next]\r\n";
    EXPECT_EQ(1u, fnInfMakeDirs(NULL, strText.c_str(), NULL, "[MakeDirs]"));
    EXPECT_STREQ(";", g_szExpandDelims);
    EXPECT_TRUE(fnExists(fnPath("dest\\LOGS\\REL\\SUB")));
    EXPECT_TRUE(fnExists(fnPath("abs")));
    EXPECT_FALSE(fnExists(fnPath("dest\\skipped")));
    EXPECT_TRUE(fnExists(fnPath("dest\\taken")));
    /* 64 lines at most: five above, then n0 to n58 */
    EXPECT_TRUE(fnExists(fnPath("dest\\n58")));
    EXPECT_FALSE(fnExists(fnPath("dest\\n59")));
    /* a section condition ends the list */
    EXPECT_EQ(1u, fnInfMakeDirs(NULL, "[D]\r\nc1\r\nProcessIfTrue:a=b\r\nc2\r\n", NULL, "[D]"));
    EXPECT_TRUE(fnExists(fnPath("dest\\c1")));
    EXPECT_FALSE(fnExists(fnPath("dest\\c2")));
    /* a missing section is done; a tree that cannot be made fails */
    EXPECT_EQ(1u, fnInfMakeDirs(NULL, "[Other]\r\n", NULL, "[D]"));
    ASSERT_TRUE(fnWrite(fnPath("dest\\blocker"), "x"));
    EXPECT_EQ(0u, fnInfMakeDirs(NULL, "[D]\r\nblocker\\sub\r\n", NULL, "[D]"));
    fnResetOptStore();
}

/* The folder's last-write time set back an hour, as a folder nobody has changed lately. */
void fnAgeFolder(const std::string &strDir)
{
    HANDLE h = CreateFileA(strDir.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    u.QuadPart -= 3600ULL * 10000000ULL;
    ft.dwLowDateTime = u.LowPart;
    ft.dwHighDateTime = u.HighPart;
    SetFileTime(h, NULL, NULL, &ft);
    CloseHandle(h);
}

/* The existing-copy search answers as the system does, and a listing it keeps never hides a copy added since. */
TEST_F(CopyPrimTest, QuickCopySearchAnswersAsTheSystem)
{
    char szWin[MAX_PATH];
    ASSERT_NE(0u, GetWindowsDirectoryA(szWin, sizeof(szWin)));
    std::string strWin = szWin, strApp = m_strDir;
    /* the quick answer beside the system's: the current folder found, equal in all three parts */
    auto fnSame = [&](const std::string &strName) {
        std::string astrCur[2], astrDest[2];
        DWORD adw[2];
        for (int i = 0; i < 2; i++) {
            char szCur[MAX_PATH] = "?", szDest[MAX_PATH] = "?";
            UINT cchCur = sizeof(szCur), cchDest = sizeof(szDest);
            adw[i] = (i ? VerFindFileA : fnVerFindFileQuick)(0, (LPSTR)strName.c_str(), NULL, (LPSTR)strApp.c_str(),
                                                             szCur, &cchCur, szDest, &cchDest);
            astrCur[i] = szCur;
            astrDest[i] = szDest;
        }
        EXPECT_EQ(adw[1], adw[0]) << strName;
        EXPECT_EQ(astrCur[1], astrCur[0]) << strName;
        EXPECT_EQ(astrDest[1], astrDest[0]) << strName;
        return astrCur[0];
    };
    auto fnIsDir = [](const std::string &strDir, std::string strCur) {
        if (!strCur.empty() && strCur.back() == '\\')
            strCur.pop_back();
        return fnEqualNoCase(strDir.c_str(), strCur.c_str()) != FALSE;
    };
    /* a new run asks the system until it has found many names nowhere; the listings are read after that */
    auto fnNewRun = [&]() {
        fnAgeFolder(strWin);
        fnForgetFolderNames();
        for (int i = 0; i < 16; i++)
            EXPECT_EQ("", fnSame("tgprime" + std::to_string(i) + ".dll"));
    };
    fnNewRun();
    EXPECT_EQ("", fnSame("tgquick.dll"));
    ASSERT_TRUE(fnWrite(fnPath("tgquick.dll"), "app"));
    EXPECT_TRUE(fnIsDir(strApp, fnSame("TGQUICK.DLL")));
    strApp += "\\";  /* the folder comes back as it was given */
    EXPECT_EQ(strApp, fnSame("tgquick.dll"));
    strApp.pop_back();
    DeleteFileA(fnPath("tgquick.dll").c_str());
    /* a folder of that name is no copy */
    ASSERT_TRUE(CreateDirectoryA(fnPath("tgquick.dll").c_str(), NULL));
    EXPECT_EQ("", fnSame("tgquick.dll"));
    RemoveDirectoryA(fnPath("tgquick.dll").c_str());

    /* added to the Windows folder after its listing was read */
    std::string strWinCopy = strWin + "\\tgquick.dll", strLong = strWin + "\\tg quick long name.dll";
    ASSERT_TRUE(fnWrite(strWinCopy, "win"));
    EXPECT_TRUE(fnIsDir(strWin, fnSame("tgquick.dll")));
    /* in a listing read since, by its long name and by its short one */
    ASSERT_TRUE(fnWrite(strLong, "win"));
    fnNewRun();
    EXPECT_TRUE(fnIsDir(strWin, fnSame("TG Quick Long Name.dll")));
    char szShort[MAX_PATH] = "";
    GetShortPathNameA(strLong.c_str(), szShort, sizeof(szShort));
    if (strchr(szShort, '~')) {
        EXPECT_TRUE(fnIsDir(strWin, fnSame(strrchr(szShort, '\\') + 1)));
    }
    EXPECT_EQ("", fnSame("tgquick2.dll"));
    DeleteFileA(strWinCopy.c_str());
    DeleteFileA(strLong.c_str());
    EXPECT_EQ("", fnSame("tgquick.dll"));
}

}  // namespace
