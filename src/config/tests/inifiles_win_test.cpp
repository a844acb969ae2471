/*
 * config/tests/inifiles_win_test.cpp -- "[IniEdits]" and the AUTOEXEC edits
 * on real files in a scratch folder: profile edits checked by their values
 * (the profile functions may rewrite a file's layout), backups once per file
 * per run, the replacement in one step with attributes kept and no temporary
 * file left, and the questions, answered through the question pointer.
 */
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/records.h"
#include "common/runstate.h"
#include "config/cfgask.h"
#include "config/cfgfile.h"
#include "config/environment.h"
#include "driver/handlers.h"
#include "install/tests/filetest.h"
#include "script/sysinfo_win.h"

namespace {

std::vector<UINT> s_asked;
std::map<UINT, int> s_answers;  /* message id -> button; IDYES when not listed */

int fnRecordAsk(UINT uId, UINT, const char *, UINT)
{
    s_asked.push_back(uId);
    auto it = s_answers.find(uId);
    return it == s_answers.end() ? IDYES : it->second;
}

BOOL fnNeverWritable(const char *)
{
    return FALSE;
}

BOOL fnReplaceFails(const char *, const char *)
{
    return FALSE;
}

class IniFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnResetRunState();
        fnResetConfigBackups();
        fnInstallMachineLookup();
        char szTemp[MAX_PATH];
        GetTempPathA(sizeof(szTemp), szTemp);
        m_strDir = std::string(szTemp) + "tginiedits";
        filetest::fnRemoveTree(m_strDir);
        CreateDirectoryA(m_strDir.c_str(), NULL);
        s_asked.clear();
        s_answers.clear();
        g_pfnCfgAsk = fnRecordAsk;
        g_uBackUpMethod = BACKUP_ORIEXT;
    }
    void TearDown() override
    {
        g_pfnCfgAsk = m_pfnAsk;
        g_pfnCfgCanWrite = m_pfnCanWrite;
        g_pfnCfgReplace = m_pfnReplace;
        filetest::fnRemoveTree(m_strDir);
        fnResetConfigBackups();
        g_lpMachine = &g_machineNone;
    }
    std::string Path(const char *lpszName) { return m_strDir + "\\" + lpszName; }
    void Write(const char *lpszName, const std::string &str) { ASSERT_TRUE(filetest::fnWrite(Path(lpszName), str)); }
    std::string Read(const char *lpszName) { return filetest::fnRead(Path(lpszName)); }
    std::string Profile(const char *lpszName, const char *lpszSection, const char *lpszKey)
    {
        char sz[1024];
        GetPrivateProfileStringA(lpszSection, lpszKey, "<missing>", sz, sizeof(sz), Path(lpszName).c_str());
        return sz;
    }
    /* Names in the folder, sorted as the system lists them. */
    std::vector<std::string> List(const std::string &strDir = "")
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA(((strDir.empty() ? m_strDir : strDir) + "\\*").c_str(), &fd);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, ".."))
                    names.push_back(fd.cFileName);
            } while (FindNextFileA(hFind, &fd));
            FindClose(hFind);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    UINT Run(const std::string &strBody)
    {
        std::string strScript = "[IniEdits]\r\n" + strBody;
        size_t nPos;
        while ((nPos = strScript.find("%DIR%")) != std::string::npos)
            strScript.replace(nPos, 5, m_strDir);
        return fnIniFilesEdit(NULL, strScript.c_str(), "[IniEdits]");
    }
    std::string m_strDir;
    CfgAskProc m_pfnAsk = g_pfnCfgAsk;
    CfgCanWriteProc m_pfnCanWrite = g_pfnCfgCanWrite;
    CfgReplaceProc m_pfnReplace = g_pfnCfgReplace;
};

TEST_F(IniFilesTest, ProfileEdits)
{
    Write("app.ini", "[App]\r\nName=old\r\nKeep=1\r\n[gone]\r\nx=1\r\n[List]\r\nalpha\r\nbeta=2\r\n");
    EXPECT_EQ((UINT)SECT_CONTINUE, Run("=,%DIR%\\app.ini,App,Name,new\r\n"
                                        "=,%DIR%\\app.ini,App,Keep,changed,S\r\n"
                                        "=,%DIR%\\app.ini,gone,,,D\r\n"
                                        "=,%DIR%\\app.ini,App,,junk\r\n"
                                        "=,%DIR%\\app.ini,List,beta,2,N,I,G\r\n"
                                        "=,%DIR%\\app.ini,List,gamma,,N,I,G\r\n"
                                        "=,%DIR%\\app.ini,List,alpha,,D,I,G\r\n"
                                        "=,%DIR%\\app.ini,Fresh,only,1,N,I,G\r\n"));
    EXPECT_EQ("new", Profile("app.ini", "App", "Name"));
    EXPECT_EQ("1", Profile("app.ini", "App", "Keep"));
    std::string strText = Read("app.ini");
    /* the deleted section is gone for good, and no nameless entry was written */
    EXPECT_EQ(std::string::npos, strText.find("[gone]"));
    EXPECT_EQ(std::string::npos, strText.find("=junk"));
    /* the list kept beta=2 once, gained gamma, lost alpha; a missing section got its one entry */
    EXPECT_NE(std::string::npos, strText.find("[List]\r\nbeta=2\r\ngamma\r\n")) << strText;
    EXPECT_EQ(std::string::npos, strText.find("alpha"));
    EXPECT_EQ("1", Profile("app.ini", "Fresh", "only"));
    EXPECT_TRUE(s_asked.empty());
    /* one backup for all the lines: the file as it was */
    EXPECT_EQ(std::vector<std::string>({"app.ORI", "app.ini"}), List());

    /* a list longer than any first read keeps every entry */
    std::string strBig = "[Big]\r\n";
    for (int i = 0; i < 200; i++)
        strBig += "entry" + std::to_string(i) + "\r\n";
    Write("big.ini", strBig);
    Run("=,%DIR%\\big.ini,Big,new,,N,I,G\r\n");
    for (int i : {0, 100, 199})
        EXPECT_NE(std::string::npos, Read("big.ini").find("entry" + std::to_string(i) + "\r\n")) << i;
    EXPECT_NE(std::string::npos, Read("big.ini").find("new"));
}

TEST_F(IniFilesTest, LineEditsReplaceInOneStepAndKeepAttributes)
{
    const std::string strSystem = "[boot]\r\nshell=progman.exe\r\n\r\n[386Enh]\r\ndevice=*vpicd\r\n";
    Write("system.ini", strSystem);
    SetFileAttributesA(Path("system.ini").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    /* as the system reports them (some add the archive bit) */
    DWORD dwAttr = GetFileAttributesA(Path("system.ini").c_str());
    EXPECT_EQ((UINT)SECT_CONTINUE, Run("=,%DIR%\\system.ini,boot,shell,Explorer.exe,N,W\r\n"
                                        "=,%DIR%\\system.ini,386Enh,device,vshare.386,N,M\r\n"
                                        "x=y,%DIR%\\system.ini,boot,skipped,1,N,W\r\n"));
    EXPECT_EQ("[boot]\r\nshell=Explorer.exe\r\n\r\n[386Enh]\r\ndevice=*vpicd\r\ndevice=vshare.386\r\n",
              Read("system.ini"));
    EXPECT_EQ(dwAttr, GetFileAttributesA(Path("system.ini").c_str()));
    /* read-only asked about once per line; the .ORI is the file as it was; no temporary file is left */
    EXPECT_EQ(std::vector<UINT>({1143, 1143}), s_asked);
    SetFileAttributesA(Path("system.ORI").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(strSystem, Read("system.ORI"));
    EXPECT_EQ(std::vector<std::string>({"system.ORI", "system.ini"}), List());

    /* No to 1143 leaves the file alone and asks 1142; No there ends the section */
    s_asked.clear();
    s_answers = {{1143, IDNO}, {1142, IDNO}};
    Run("=,%DIR%\\system.ini,boot,shell,Other.exe,N,W\r\n=,%DIR%\\other.ini,a,b,c,N,W\r\n");
    EXPECT_EQ(std::vector<UINT>({1143, 1142}), s_asked);
    EXPECT_EQ("<missing>", Read("other.ini"));
}

TEST_F(IniFilesTest, FailuresLeaveTheFileWhole)
{
    const std::string strIn = "[a]\r\nk=1\r\n";
    Write("x.ini", strIn);
    /* a file held open by another program: the line fails cleanly */
    HANDLE hLock = CreateFileA(Path("x.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hLock);
    Run("=,%DIR%\\x.ini,a,k,2,N,W\r\n");
    CloseHandle(hLock);
    EXPECT_EQ(std::vector<UINT>({1142}), s_asked);
    EXPECT_EQ(strIn, Read("x.ini"));

    /* held open for reading and writing but not for deletion: the replacement itself fails */
    s_asked.clear();
    hLock = CreateFileA(Path("x.ini").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                        0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hLock);
    Run("=,%DIR%\\x.ini,a,k,2,N,W\r\n");
    CloseHandle(hLock);
    EXPECT_EQ(std::vector<UINT>({1146}), s_asked);
    EXPECT_EQ(strIn, Read("x.ini"));
    EXPECT_EQ(std::vector<std::string>({"x.ORI", "x.ini"}), List());

    /* the replacement fails: 1146, the original intact, no temporary file */
    s_asked.clear();
    g_pfnCfgReplace = fnReplaceFails;
    Run("=,%DIR%\\x.ini,a,k,3,N,W\r\n");
    EXPECT_EQ(std::vector<UINT>({1146}), s_asked);
    EXPECT_EQ(strIn, Read("x.ini"));
    g_pfnCfgReplace = m_pfnReplace;

    /* write-protected at the last moment: Ignore goes on with the next line, Abort ends the section */
    s_asked.clear();
    g_pfnCfgCanWrite = fnNeverWritable;
    s_answers = {{1147, IDIGNORE}};
    Run("=,%DIR%\\x.ini,a,k,4,N,W\r\n=,%DIR%\\x.ini,a,j,5,N,W\r\n");
    EXPECT_EQ(std::vector<UINT>({1147, 1147}), s_asked);
    s_answers = {{1147, IDABORT}};
    s_asked.clear();
    Run("=,%DIR%\\x.ini,a,k,4,N,W\r\n=,%DIR%\\x.ini,a,j,5,N,W\r\n");
    EXPECT_EQ(std::vector<UINT>({1147}), s_asked);
    EXPECT_EQ(strIn, Read("x.ini"));
    g_pfnCfgCanWrite = m_pfnCanWrite;
    EXPECT_EQ(std::vector<std::string>({"x.ORI", "x.ini"}), List());

    /* no file field; a folder below a file; removing from a missing file makes nothing */
    s_asked.clear();
    s_answers = {{1145, IDYES}, {1148, IDNO}};
    Run("=\r\n=,%DIR%\\x.ini\\sub\\y.ini,a,k,1,N,W\r\n=,%DIR%\\z.ini,a,k,1,N,W\r\n");
    EXPECT_EQ(std::vector<UINT>({1145, 1148}), s_asked);
    EXPECT_EQ("<missing>", Read("z.ini"));
    s_asked.clear();
    Run("=,%DIR%\\new\\gone.ini,a,k,,D,W\r\n=,%DIR%\\gone.ini,a,old,new,N,R\r\n");
    EXPECT_TRUE(s_asked.empty());
    EXPECT_EQ(std::vector<std::string>({"x.ORI", "x.ini"}), List());
}

TEST_F(IniFilesTest, BackupsOncePerFileNeverOverAnEarlierOne)
{
    Write("a.ini", "[s]\r\nk=0\r\n");
    Write("b.ini", "[s]\r\nk=0\r\n");
    Write("a.ORI", "earlier run\r\n");
    /* A, B, A: each backed up once; A's .ORI from an earlier run stays, its copy takes the first number */
    Run("=,%DIR%\\a.ini,s,k,1,N,W\r\n=,%DIR%\\b.ini,s,k,1,N,W\r\n=,%DIR%\\a.ini,s,k,2,N,W\r\n");
    Run("=,%DIR%\\a.ini,s,k,3,N,W\r\n");
    EXPECT_EQ("earlier run\r\n", Read("a.ORI"));
    EXPECT_EQ("[s]\r\nk=0\r\n", Read("a.{00}.SAV.ini"));
    EXPECT_EQ("[s]\r\nk=0\r\n", Read("b.ORI"));
    EXPECT_EQ("[s]\r\nk=3\r\n", Read("a.ini"));
    EXPECT_EQ(std::vector<std::string>({"a.ORI", "a.ini", "a.{00}.SAV.ini", "b.ORI", "b.ini"}), List());

    /* 506: the files stay as they are and every edit goes to the .MOD, also across files */
    fnResetConfigBackups();
    g_uBackUpMethod = BACKUP_NOMOD;
    Run("=,%DIR%\\a.ini,s,x,1,N,W\r\n=,%DIR%\\b.ini,s,x,1,N,W\r\n=,%DIR%\\a.ini,s,y,2,N,W\r\n"
        "=,%DIR%\\c.ini,s,z,1,N,W\r\n");
    EXPECT_EQ("[s]\r\nk=3\r\n", Read("a.ini"));
    EXPECT_EQ("[s]\r\nk=3\r\nx=1\r\ny=2\r\n", Read("a.MOD"));
    EXPECT_EQ("[s]\r\nk=1\r\nx=1\r\n", Read("b.MOD"));
    EXPECT_EQ("<missing>", Read("c.ini"));
    EXPECT_EQ("[s]\r\nz=1\r\n", Read("c.MOD"));

    /* 504: a copy in the date folder; a file in the folder's place asks 1054 and 1149 */
    fnResetConfigBackups();
    g_uBackUpMethod = BACKUP_DATE;
    strcpy(g_szDate, "20261209");
    Run("=,%DIR%\\a.ini,s,k,4,N,W\r\n");
    EXPECT_EQ("[s]\r\nk=3\r\n", Read("20261209\\a.ini"));
    fnResetConfigBackups();
    strcpy(g_szDate, "blocked");
    Write("blocked", "");
    s_answers = {{1149, IDNO}};
    Run("=,%DIR%\\a.ini,s,k,5,N,W\r\n");
    EXPECT_EQ(std::vector<UINT>({1054, 1149}), s_asked);
    EXPECT_EQ("[s]\r\nk=4\r\n", Read("a.ini"));
}

TEST_F(IniFilesTest, BatchFileEdits)
{
    Write("auto.bat", "@ECHO OFF\r\nset PATH=C:\\DOS\r\nC:\\WINDOWS\\WIN.COM\r\n");
    const std::string strFile = Path("auto.bat");
    EXPECT_TRUE(fnSetBatchEnvironment(NULL, strFile.c_str(), "TEMP", "D:\\TMP", "NB", FALSE));
    EXPECT_TRUE(fnSetBatchEnvironment(NULL, strFile.c_str(), "PATH", "C:\\TOOLS", "E", FALSE));
    EXPECT_TRUE(fnSetBatchEnvironment(NULL, strFile.c_str(), "TEMP", "E:\\TMP", "N", FALSE));
    EXPECT_EQ("@ECHO OFF\r\nPATH C:\\DOS;C:\\TOOLS\r\nset TEMP=E:\\TMP\r\nC:\\WINDOWS\\WIN.COM\r\n", Read("auto.bat"));
    EXPECT_EQ("@ECHO OFF\r\nset PATH=C:\\DOS\r\nC:\\WINDOWS\\WIN.COM\r\n", Read("auto.ORI"));
    EXPECT_TRUE(fnSetBatchEnvironment(NULL, strFile.c_str(), "TEMP", "", "D", FALSE));
    EXPECT_EQ("@ECHO OFF\r\nPATH C:\\DOS;C:\\TOOLS\r\nC:\\WINDOWS\\WIN.COM\r\n", Read("auto.bat"));
    EXPECT_TRUE(s_asked.empty());

    /* a quiet line asks nothing: a failed replacement is a failure, a write-protected file is made writable */
    g_pfnCfgReplace = fnReplaceFails;
    EXPECT_FALSE(fnSetBatchEnvironment(NULL, strFile.c_str(), "X", "1", "N", TRUE));
    g_pfnCfgReplace = m_pfnReplace;
    SetFileAttributesA(strFile.c_str(), FILE_ATTRIBUTE_READONLY);
    DWORD dwAttr = GetFileAttributesA(strFile.c_str());
    EXPECT_TRUE(fnSetBatchEnvironment(NULL, strFile.c_str(), "X", "1", "N", TRUE));
    EXPECT_EQ(dwAttr, GetFileAttributesA(strFile.c_str()));
    EXPECT_NE(std::string::npos, Read("auto.bat").find("set X=1\r\n"));
    EXPECT_TRUE(s_asked.empty());
    /* asking: No to 1146 is a failure, Yes goes on without the change */
    g_pfnCfgReplace = fnReplaceFails;
    s_answers = {{1146, IDNO}};
    EXPECT_FALSE(fnSetBatchEnvironment(NULL, strFile.c_str(), "Y", "1", "N", FALSE));
    s_answers = {{1146, IDYES}};
    EXPECT_TRUE(fnSetBatchEnvironment(NULL, strFile.c_str(), "Y", "1", "N", FALSE));
    EXPECT_EQ(std::string::npos, Read("auto.bat").find("set Y="));
    EXPECT_EQ(std::vector<std::string>({"auto.ORI", "auto.bat"}), List());
}

}  // namespace
