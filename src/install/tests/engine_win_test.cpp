/*
 * install/tests/engine_win_test.cpp -- the install engine on real files: the
 * version rules with the tgver_*.dll libraries and dated data files, backups
 * and unique names (and what a failed install leaves), files held open and
 * their replacement at restart, copies found elsewhere, SZDD sources found by
 * a recursive wildcard, joins, and the missing-source prompt. Dialogs are
 * answered through the dialog hook; messages by the quiet defaults.
 */
#include "install/tests/filetest.h"

#include "common/bounded.h"
#include "common/machine.h"
#include "install/engine.h"
#include "install/filedialogs.h"
#include "install/version.h"
#include "resource.h"

#include <vector>

namespace {

using namespace filetest;

std::string fnLib(const char *lpszName)
{
    char sz[MAX_PATH];
    DWORD cch = GetModuleFileNameA(NULL, sz, sizeof(sz));
    std::string s(sz, cch);
    return s.substr(0, s.find_last_of('\\') + 1) + "tgver_" + lpszName + ".dll";
}

/* the dialogs asked, and the answers given in turn (0 when none is left) */
std::vector<UINT> g_auAsked, g_auAnswers;
UINT fnAnswer(UINT uTemplate, const char *)
{
    g_auAsked.push_back(uTemplate);
    if (g_auAnswers.empty())
        return 0;
    UINT u = g_auAnswers.front();
    g_auAnswers.erase(g_auAnswers.begin());
    return u;
}

void fnSetTime(const std::string &strPath, int nDay)
{
    SYSTEMTIME st = {2020, 1, 0, (WORD)nDay, 12, 0, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    HANDLE h = CreateFileA(strPath.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    SetFileTime(h, NULL, NULL, &ft);
    CloseHandle(h);
}

class EngineTest : public ScratchTest {
  protected:
    IFStruct m_if;
    void SetUp() override
    {
        ScratchTest::SetUp();
        g_bQuiet = TRUE;  /* messages answer their defaults; dialogs go to the hook */
        g_pfnFileDialogHook = fnAnswer;
        g_auAsked.clear();
        g_auAnswers.clear();
        CreateDirectoryA(fnPath("src").c_str(), NULL);
        CreateDirectoryA(fnPath("dst").c_str(), NULL);
        fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), fnPath("win").c_str());
        fnCopyBounded(g_szSysDir, sizeof(g_szSysDir), fnPath("win\\system").c_str());
    }
    void TearDown() override
    {
        g_pfnFileDialogHook = NULL;
        ScratchTest::TearDown();
    }
    /* the record of a line installing DIR\NAME as DIR2\NAME2 with the given modes */
    void fnLine(const std::string &strSrcDir, const char *lpszSrc, const std::string &strDstDir, const char *lpszDst,
                UINT uInstall, UINT uCopy = COPY_NORMAL, UINT uBackup = BACKACT_OVERWRITE,
                UINT uVerAction = VERACT_PROMPT, UINT uInUse = INUSE_PROMPT)
    {
        memset(&m_if, 0, sizeof(m_if));
        m_if.uInstallMode = uInstall;
        m_if.uCopyMode = uCopy;
        m_if.uBackupAction = uBackup;
        m_if.uVerAction = uVerAction;
        m_if.uInUseAction = uInUse;
        m_if.uJoinPart = JOIN_NONE;
        fnCopyBounded(m_if.szSrcFilePath, CCH_PATH, strSrcDir.c_str());
        fnCopyBounded(m_if.szSrcFileName, CCH_PATH, lpszSrc);
        fnCopyBounded(m_if.szDstDir, CCH_PATH, strDstDir.c_str());
        fnCopyBounded(m_if.szDstFileName, CCH_PATH, lpszDst);
    }
    /* installs src\NAME as dst\NAME */
    UINT fnRun(const char *lpszName, UINT uInstall, UINT uCopy = COPY_NORMAL, UINT uBackup = BACKACT_OVERWRITE,
               UINT uVerAction = VERACT_PROMPT, UINT uInUse = INUSE_PROMPT)
    {
        fnLine(fnPath("src"), lpszName, fnPath("dst"), lpszName, uInstall, uCopy, uBackup, uVerAction, uInUse);
        return fnInstallFileVer(NULL, &m_if);
    }
    int fnCount(const std::string &strPattern)
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(fnPath(strPattern).c_str(), &fd);
        int n = 0;
        if (h != INVALID_HANDLE_VALUE) {
            do
                n += fd.cFileName[0] != '.';
            while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        return n;
    }
};

TEST_F(EngineTest, VersionRules)
{
    std::string strBase = fnRead(fnLib("base")), strNewer = fnRead(fnLib("newer"));
    ASSERT_TRUE(fnWrite(fnPath("src\\lib.dll"), strNewer));
    /* no destination: installed straight, no temporary file, no question */
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("lib.dll", INSTALL_VERSION));
    EXPECT_EQ(strNewer, fnRead(fnPath("dst\\lib.dll")));
    /* identical resources in mode V: the destination is left as it is */
    fnSetTime(fnPath("dst\\lib.dll"), 3);
    FILETIME ftBefore, ftAfter;
    ASSERT_TRUE(fnGetFileTime(fnPath("dst\\lib.dll").c_str(), &ftBefore));
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("lib.dll", INSTALL_VERSION));
    ASSERT_TRUE(fnGetFileTime(fnPath("dst\\lib.dll").c_str(), &ftAfter));
    EXPECT_EQ(0, CompareFileTime(&ftBefore, &ftAfter));

    /* a newer version over the reference is still a mismatch: the rules, then dialog 7 decide */
    struct {
        UINT uCopy, uVerAction, uAnswer, uWant;
        bool bNew;
    } rows[] = {
        {COPY_NORMAL, VERACT_PROMPT, IDNO, IFV_SKIPPED, false},
        {COPY_NORMAL, VERACT_PROMPT, IDABORT, IFV_ABORT, false},
        {COPY_SKIP, VERACT_PROMPT, 0, IFV_SKIPPED, false},
        {COPY_NORMAL, VERACT_KEEP, 0, IFV_SKIPPED, false},
        {COPY_NORMAL, VERACT_CANCEL, 0, IFV_ABORT, false},
        {COPY_NORMAL, VERACT_PROMPT, IDYES, IFV_INSTALLED, true},
        {COPY_FORCE, VERACT_PROMPT, 0, IFV_INSTALLED, true},
        {COPY_NORMAL, VERACT_IGNORE, 0, IFV_INSTALLED, true},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << r.uCopy << "/" << r.uVerAction << "/" << r.uAnswer);
        ASSERT_TRUE(fnWrite(fnPath("dst\\lib.dll"), strBase));
        g_auAsked.clear();
        if (r.uAnswer)
            g_auAnswers = {r.uAnswer};
        EXPECT_EQ(r.uWant, fnRun("lib.dll", INSTALL_CHECK, r.uCopy, BACKACT_OVERWRITE, r.uVerAction));
        EXPECT_EQ(r.bNew ? strNewer : strBase, fnRead(fnPath("dst\\lib.dll")));
        EXPECT_EQ(r.uAnswer ? 1u : 0u, g_auAsked.size());
        EXPECT_EQ(0, fnCount("dst\\_VS*"));
    }

    /* mode T on files without versions: the dates decide; an older source keeps the newer file */
    ASSERT_TRUE(fnWrite(fnPath("src\\data.txt"), "new data"));
    ASSERT_TRUE(fnWrite(fnPath("dst\\data.txt"), "old"));
    fnSetTime(fnPath("src\\data.txt"), 2);
    fnSetTime(fnPath("dst\\data.txt"), 5);
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("data.txt", INSTALL_DATE, COPY_NORMAL, BACKACT_OVERWRITE, VERACT_KEEP));
    EXPECT_EQ("old", fnRead(fnPath("dst\\data.txt")));
    fnSetTime(fnPath("src\\data.txt"), 9);
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("data.txt", INSTALL_DATE, COPY_NORMAL, BACKACT_OVERWRITE, VERACT_KEEP));
    EXPECT_EQ("new data", fnRead(fnPath("dst\\data.txt")));
    /* mode V reads the source once: data over data is copied whole, a newer library over the reference asks */
    ASSERT_TRUE(fnWrite(fnPath("src\\data.txt"), std::string(300000, 'n')));
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("data.txt", INSTALL_VERSION));
    EXPECT_EQ(std::string(300000, 'n'), fnRead(fnPath("dst\\data.txt")));
    ASSERT_TRUE(fnWrite(fnPath("src\\data.txt"), "new data"));
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("data.txt", INSTALL_VERSION));
    EXPECT_EQ("new data", fnRead(fnPath("dst\\data.txt")));
    ASSERT_TRUE(fnWrite(fnPath("dst\\lib.dll"), strBase));
    g_auAsked.clear();
    g_auAnswers = {IDNO};
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("lib.dll", INSTALL_VERSION));
    EXPECT_EQ(1u, g_auAsked.size());
    EXPECT_EQ(strBase, fnRead(fnPath("dst\\lib.dll")));
    EXPECT_EQ(0, fnCount("dst\\_VS*"));
    /* a write-protected destination is not replaced in a checking mode (message 1133, quiet: Ignore) */
    ASSERT_TRUE(fnWrite(fnPath("dst\\data.txt"), "old"));
    fnSetTime(fnPath("dst\\data.txt"), 1);
    SetFileAttributesA(fnPath("dst\\data.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    g_auAsked.clear();
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("data.txt", INSTALL_MIXED));
    EXPECT_TRUE(g_auAsked.empty());
    EXPECT_EQ("old", fnRead(fnPath("dst\\data.txt")));
    EXPECT_EQ(0, fnCount("dst\\_VS*"));
    SetFileAttributesA(fnPath("dst\\data.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

    /* a file made after the search found none is replaced whole through a temporary copy, never written in place */
    ASSERT_TRUE(fnWrite(fnPath("dst\\data.txt"), std::string(70000, 'o')));
    g_fake.dwVerFindResult = VFF_CURNEDEST;
    g_fake.strCurDir = "";
    int nMoves = g_fake.nMoves;
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("data.txt", INSTALL_VERSION));
    EXPECT_EQ("new data", fnRead(fnPath("dst\\data.txt")));
    EXPECT_EQ(nMoves + 1, g_fake.nMoves);
    EXPECT_EQ(0, fnCount("dst\\_VS*"));
    /* where the open copy cannot be renamed it is renamed by name, still open */
    g_fake.dwVerFindResult = 0xFFFF;
    g_fake.bNoRenameOpen = TRUE;
    ASSERT_TRUE(fnWrite(fnPath("dst\\data.txt"), std::string(70000, 'o')));
    nMoves = g_fake.nMoves;
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("data.txt", INSTALL_NORMAL));
    EXPECT_EQ("new data", fnRead(fnPath("dst\\data.txt")));
    EXPECT_EQ(nMoves + 1, g_fake.nMoves);
    EXPECT_EQ(0, fnCount("dst\\_VS*"));
}

TEST_F(EngineTest, BackupsUniqueNamesAndFailures)
{
    ASSERT_TRUE(fnWrite(fnPath("src\\a.txt"), "new"));
    ASSERT_TRUE(fnWrite(fnPath("dst\\a.txt"), "old"));
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("a.txt", INSTALL_NORMAL, COPY_NORMAL, BACKACT_BACKUP));
    EXPECT_EQ("new", fnRead(fnPath("dst\\a.txt")));
    EXPECT_EQ("old", fnRead(fnPath("dst\\a.ORI")));
    EXPECT_EQ(fnPath("dst\\a.ORI"), m_if.szBackupFile);
    /* the .ORI name is taken: numbered names */
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("a.txt", INSTALL_NORMAL, COPY_NORMAL, BACKACT_BACKUP));
    EXPECT_EQ("new", fnRead(fnPath("dst\\a.{00}.SAV.txt")));

    /* backed up, then kept by the version rule: the backup goes again */
    ASSERT_TRUE(fnWrite(fnPath("dst\\a.txt"), "old"));
    fnSetTime(fnPath("src\\a.txt"), 1);
    fnSetTime(fnPath("dst\\a.txt"), 8);
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("a.txt", INSTALL_DATE, COPY_NORMAL, BACKACT_BACKUP, VERACT_KEEP));
    EXPECT_EQ("old", fnRead(fnPath("dst\\a.txt")));
    EXPECT_EQ(3, fnCount("dst\\a.*"));  /* a.txt, a.ORI, a.{00}.SAV.txt */

    /* the disk fills while the new copy is written: the existing file stays whole, nothing half-written */
    std::string strBig = fnPattern(200000, 7);
    ASSERT_TRUE(fnWrite(fnPath("src\\a.txt"), strBig));
    g_fake.qwFree = 1000;  /* room for the backup, not for the new copy */
    for (UINT uMode : {INSTALL_NORMAL, INSTALL_ASIS}) {
        fnResetDriveCache();
        EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("a.txt", uMode, COPY_NORMAL, BACKACT_BACKUP));
        EXPECT_EQ("old", fnRead(fnPath("dst\\a.txt")));
        EXPECT_EQ(3, fnCount("dst\\a.*"));
    }
    g_fake.qwFree = 0;
    fnResetDriveCache();
    EXPECT_EQ(0, fnCount("dst\\_VS*"));

    /* unique name: the existing file stays; skip; dialog 10 */
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("a.txt", INSTALL_NORMAL, COPY_NORMAL, BACKACT_UNIQUE));
    EXPECT_EQ("old", fnRead(fnPath("dst\\a.txt")));
    EXPECT_EQ(strBig, fnRead(fnPath("dst\\a.{01}.SAV.txt")));
    EXPECT_EQ(BACKACT_UNIQUE, m_if.uBackupAction);  /* the record's modes are as the line gave them */
    EXPECT_STREQ("a.txt", m_if.szDstFileName);
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("a.txt", INSTALL_NORMAL, COPY_NORMAL, BACKACT_SKIP));
    g_auAnswers = {IDC_EX_SKIP};
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("a.txt", INSTALL_NORMAL, COPY_NORMAL, BACKACT_PROMPT));
    g_auAnswers = {IDC_EX_OVERWRITE};
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("a.txt", INSTALL_NORMAL, COPY_NORMAL, BACKACT_PROMPT));
    EXPECT_EQ(strBig, fnRead(fnPath("dst\\a.txt")));
    EXPECT_EQ(2u, g_auAsked.size());

    /* a copy onto itself is nothing to do, in the modes without the search too */
    ASSERT_TRUE(fnWrite(fnPath("dst\\self.txt"), "self"));
    for (UINT uMode : {INSTALL_ASIS, INSTALL_KEEPATTRIB, INSTALL_NORMAL}) {
        fnLine(fnPath("dst"), "self.txt", fnPath("dst") + "\\", "SELF.TXT", uMode);
        EXPECT_EQ((UINT)IFV_SKIPPED, fnInstallFileVer(NULL, &m_if));
        EXPECT_EQ("self", fnRead(fnPath("dst\\self.txt")));
    }
}

TEST_F(EngineTest, InUseReplacedAtRestart)
{
    fnClearPendingRenames();
    ASSERT_TRUE(fnWrite(fnPath("src\\app.dll"), "new app"));
    ASSERT_TRUE(fnWrite(fnPath("dst\\app.dll"), "running app"));
    HANDLE hHeld = CreateFileA(fnPath("dst\\app.dll").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);

    /* "skip when in use" keeps it, and nothing is scheduled */
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("app.dll", INSTALL_NORMAL, COPY_NORMAL, BACKACT_OVERWRITE, VERACT_PROMPT,
                                       INUSE_SKIP));
    EXPECT_FALSE(g_bRestartNeeded);
    /* the new copy cannot be written under its unique name either: nothing scheduled, nothing left */
    g_fake.dwWriteError = ERROR_DISK_FULL;
    g_fake.cbWriteOk = 7;
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("app.dll", INSTALL_NORMAL));
    g_fake.dwWriteError = 0;
    EXPECT_FALSE(g_bRestartNeeded);
    EXPECT_EQ("", fnPendingRenames());
    EXPECT_EQ(1, fnCount("dst\\*"));

    /* a version check whose destination cannot even be read (held without sharing) is in use too */
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("app.dll", INSTALL_CHECK));
    CloseHandle(hHeld);
    EXPECT_TRUE(g_bRestartNeeded);
    EXPECT_EQ(4u, g_uOnExit);
    EXPECT_EQ("running app", fnRead(fnPath("dst\\app.dll")));
    EXPECT_EQ("new app", fnRead(fnPath("dst\\app.ORI")));
    EXPECT_NE(std::string::npos, fnPendingRenames().find("app.ORI|!\\??\\" + fnPath("dst\\app.dll") + "|"));
    EXPECT_EQ(0, fnCount("dst\\_VS*"));

    /* the restart carries it out */
    char szCmd[] = "wineboot.exe -r";
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, szCmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        fnClearPendingRenames();
        GTEST_SKIP() << "no wineboot: the restart itself is not run here";
    }
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hProcess);
    EXPECT_EQ("new app", fnRead(fnPath("dst\\app.dll")));
    EXPECT_FALSE(fnExists(fnPath("dst\\app.ORI")));
    fnClearPendingRenames();
}

TEST_F(EngineTest, CopiesFoundElsewhere)
{
    CreateDirectoryA(g_szWinDir, NULL);
    CreateDirectoryA(fnPath("other").c_str(), NULL);
    ASSERT_TRUE(fnWrite(fnPath("src\\x.dll"), "new"));
    g_fake.dwVerFindResult = VFF_CURNEDEST;
    g_fake.strCurDir = fnPath("other");
    struct {
        UINT uCopy, uAnswer;
        const char *lpszWhere;
        bool bOtherStays;
    } rows[] = {
        {COPY_NORMAL, 0, "dst", true},
        {COPY_CLEAN, 0, "dst", false},
        {COPY_WINDIR, 0, "win", true},
        {COPY_PROMPT, IDC_EW_REPLACE, "other", true},
        {COPY_PROMPT, IDC_EW_DELETE, "dst", false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.uCopy);
        ASSERT_TRUE(fnWrite(fnPath("other\\x.dll"), "other"));
        DeleteFileA(fnPath("dst\\x.dll").c_str());
        if (r.uAnswer)
            g_auAnswers = {r.uAnswer};
        EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("x.dll", INSTALL_NORMAL, r.uCopy));
        EXPECT_EQ("new", fnRead(fnPath(std::string(r.lpszWhere) + "\\x.dll")));
        if (strcmp(r.lpszWhere, "other") != 0) {
            EXPECT_EQ(r.bOtherStays ? "other" : "<missing>", fnRead(fnPath("other\\x.dll")));
        }
    }
    /* a copy found elsewhere is never deleted in modes without the search (a stale record) */
    ASSERT_TRUE(fnWrite(fnPath("other\\x.dll"), "other"));
    fnLine(fnPath("src"), "x.dll", fnPath("dst"), "x.dll", INSTALL_KEEPATTRIB);
    fnCopyBounded(m_if.szCurDir, CCH_PATH, fnPath("other").c_str());
    EXPECT_EQ((UINT)IFV_INSTALLED, fnInstallFileVer(NULL, &m_if));
    EXPECT_EQ("other", fnRead(fnPath("other\\x.dll")));
    /* clean mode never deletes the file it installed, when the destination is the System directory */
    fnCopyBounded(g_szSysDir, sizeof(g_szSysDir), fnPath("dst").c_str());
    g_fake.dwVerFindResult = 0;
    g_fake.strCurDir = fnPath("dst");
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("x.dll", INSTALL_NORMAL, COPY_CLEAN));
    EXPECT_EQ("new", fnRead(fnPath("dst\\x.dll")));

    /* the found copy is the source itself: installed, and the source stays */
    g_fake.dwVerFindResult = VFF_CURNEDEST;
    g_fake.strCurDir = fnPath("src");
    EXPECT_EQ((UINT)IFV_INSTALLED, fnRun("x.dll", INSTALL_NORMAL, COPY_CLEAN));
    EXPECT_EQ("new", fnRead(fnPath("src\\x.dll")));

    /* in use as the version API reports it: dialog 6 decides */
    g_fake.dwVerFindResult = VFF_FILEINUSE;
    g_fake.strCurDir = fnPath("dst");
    fnSetTime(fnPath("dst\\x.dll"), 4);  /* equal times would count as the same file */
    g_auAnswers = {IDC_INUSE_SKIP};
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("x.dll", INSTALL_CHECK));
    g_auAnswers = {IDC_INUSE_EXIT};
    EXPECT_EQ((UINT)IFV_ABORT, fnRun("x.dll", INSTALL_CHECK));
    g_fake.dwVerFindResult = VFF_BUFFTOOSMALL;
    EXPECT_EQ((UINT)IFV_ABORT, fnRun("x.dll", INSTALL_CHECK));
}

TEST_F(EngineTest, SzddWildcardsJoinsAndMissingSources)
{
    std::string strData = fnPattern(3000, 9);
    CreateDirectoryA(fnPath("src\\sub").c_str(), NULL);
    ASSERT_TRUE(fnWrite(fnPath("src\\READ.TX_"), fnSzdd(strData, 'T')));
    ASSERT_TRUE(fnWrite(fnPath("src\\sub\\deep.bin"), "deep"));
    fnLine(fnPath("src"), "", fnPath("dst\\tree"), "", INSTALL_NORMAL);
    m_if.bRecurse = TRUE;
    fnCopyBounded(m_if.szWildSpec, CCH_PATH, "*");
    EXPECT_NE(0u, fnWildInstallFiles(NULL, &m_if));
    EXPECT_EQ(strData, fnRead(fnPath("dst\\tree\\READ.TXT")));
    EXPECT_EQ("deep", fnRead(fnPath("dst\\tree\\sub\\deep.bin")));
    EXPECT_EQ(2u, m_if.uFileNum);
    EXPECT_EQ(fnPath("src"), m_if.szSrcFilePath);

    /* a destination inside the source tree is never walked into */
    fnLine(fnPath("src"), "", fnPath("src\\sub\\out"), "", INSTALL_NORMAL);
    m_if.bRecurse = TRUE;
    fnCopyBounded(m_if.szWildSpec, CCH_PATH, "*.bin");
    EXPECT_NE(0u, fnWildInstallDirectory(NULL, &m_if));
    EXPECT_EQ("deep", fnRead(fnPath("src\\sub\\out\\sub\\deep.bin")));
    EXPECT_FALSE(fnExists(fnPath("src\\sub\\out\\sub\\out")));

    /* join: parts appended in order */
    ASSERT_TRUE(fnWrite(fnPath("src\\p1"), "one,"));
    ASSERT_TRUE(fnWrite(fnPath("src\\p2"), "two"));
    for (const char *lpszPart : {"p1", "p2"}) {
        fnLine(fnPath("src"), lpszPart, fnPath("dst"), "joined", INSTALL_NORMAL, COPY_JOIN);
        EXPECT_EQ((UINT)IFV_INSTALLED, fnInstallFileVer(NULL, &m_if));
    }
    EXPECT_EQ("one,two", fnRead(fnPath("dst\\joined")));

    /* a missing source: skipped silently, or dialog 5 with a disk */
    EXPECT_EQ((UINT)IFV_SKIPPED, fnRun("none.txt", INSTALL_NORMAL));
    EXPECT_TRUE(g_auAsked.empty());
    fnLine(fnPath("disk2"), "p2", fnPath("dst"), "p2", INSTALL_NORMAL);
    m_if.bDiskGiven = TRUE;
    g_auAnswers = {IDC_DISK_SKIP};
    EXPECT_EQ((UINT)IFV_SKIPPED, fnInstallFileVer(NULL, &m_if));
    g_auAnswers = {IDCANCEL};
    EXPECT_EQ((UINT)IFV_ABORT, fnInstallFileVer(NULL, &m_if));
    EXPECT_EQ(std::vector<UINT>({IDD_DISKPROMPT, IDD_DISKPROMPT}), g_auAsked);
    EXPECT_TRUE(g_bUserChoseExit);  /* Exit ends the run as the user's choice */
    EXPECT_FALSE(fnExists(fnPath("dst\\p2")));
}

}  // namespace
