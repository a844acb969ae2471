/*
 * shortcuts/tests/shelllink_win_test.cpp -- links written and read back
 * through IShellLinkA (the show command from the file's header, which holds
 * it on every system), failures that leave nothing behind, and a registered
 * shortcut section carried out for two folders with its log lines.
 */
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/bounded.h"
#include "common/records.h"
#include "common/runstate.h"
#include "driver/handlers.h"
#include "shortcuts/shelllink.h"

namespace {

struct LinkInfoStruct {
    std::string strPath, strArgs, strWorkDir, strIcon, strDesc;
    int nIcon = -1;
    WORD wHotKey = 0;
    DWORD dwShow = 0;
};

/* Reads a link back; FALSE when it cannot be loaded. */
bool fnReadLink(const std::string &strLink, LinkInfoStruct *lpInfo)
{
    IShellLinkA *lpLink = NULL;
    IPersistFile *lpFile = NULL;
    bool bOk = false;
    WCHAR wsz[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, strLink.c_str(), -1, wsz, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&lpLink)) &&
        SUCCEEDED(lpLink->QueryInterface(IID_IPersistFile, (void **)&lpFile)) &&
        SUCCEEDED(lpFile->Load(wsz, STGM_READ))) {
        char sz[MAX_PATH];
        lpLink->GetPath(sz, sizeof(sz), NULL, SLGP_RAWPATH);
        lpInfo->strPath = sz;
        lpLink->GetArguments(sz, sizeof(sz));
        lpInfo->strArgs = sz;
        lpLink->GetWorkingDirectory(sz, sizeof(sz));
        lpInfo->strWorkDir = sz;
        lpLink->GetIconLocation(sz, sizeof(sz), &lpInfo->nIcon);
        lpInfo->strIcon = sz;
        lpLink->GetDescription(sz, sizeof(sz));
        lpInfo->strDesc = sz;
        lpLink->GetHotkey(&lpInfo->wHotKey);
        bOk = true;
    }
    if (lpFile)
        lpFile->Release();
    if (lpLink)
        lpLink->Release();
    /* the show command sits at offset 0x3C of the link header */
    FILE *fp = fopen(strLink.c_str(), "rb");
    if (fp) {
        if (fseek(fp, 0x3C, SEEK_SET) != 0 || fread(&lpInfo->dwShow, 4, 1, fp) != 1)
            bOk = false;
        fclose(fp);
    }
    return bOk;
}

std::vector<std::string> s_opened;
void fnFakeOpenFolder(HWND, const char *lpszFolder)
{
    s_opened.push_back(lpszFolder);
}

std::string fnReadText(const std::string &strPath)
{
    std::string s;
    FILE *fp = fopen(strPath.c_str(), "rb");
    if (!fp)
        return s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0)
        s.append(buf, n);
    fclose(fp);
    return s;
}

class ShellLinkTest : public ::testing::Test {
protected:
    std::string m_strDir;
    OpenFolderProc m_pfnSaved;
    void SetUp() override
    {
        fnResetRunState();
        char sz[MAX_PATH];
        GetTempPathA(sizeof(sz), sz);
        m_strDir = std::string(sz) + "tglnktest";
        SHCreateDirectoryExA(NULL, (m_strDir + "\\A").c_str(), NULL);
        SHCreateDirectoryExA(NULL, (m_strDir + "\\B").c_str(), NULL);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED)));
        m_pfnSaved = g_pfnOpenFolderWindow;
        g_pfnOpenFolderWindow = fnFakeOpenFolder;
        s_opened.clear();
    }
    void TearDown() override
    {
        g_pfnOpenFolderWindow = m_pfnSaved;
        CoUninitialize();
        std::string strCmd = "cmd /c rd /s /q \"" + m_strDir + "\"";
        std::vector<char> cmd(strCmd.begin(), strCmd.end());
        cmd.push_back('\0');
        STARTUPINFOA si = {sizeof(si)};
        PROCESS_INFORMATION pi;
        if (CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi)) {
            WaitForSingleObject(pi.hProcess, 30000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        fnResetRunState();
    }
    int fnCountFiles(const std::string &strPattern)
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(strPattern.c_str(), &fd);
        int n = 0;
        if (h != INVALID_HANDLE_VALUE) {
            do
                n++;
            while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        return n;
    }
};

TEST_F(ShellLinkTest, EverySettingReadsBack)
{
    std::string strLink = m_strDir + "\\A\\Tool.lnk";
    ASSERT_TRUE(SUCCEEDED(fnCreateShortcut(strLink.c_str(), "Tool", "C:\\windows\\notepad.exe", "-a \"b c\"",
                                           "C:\\windows\\system32\\shell32.dll", 4, "C:\\windows", 0x0641, 3)));
    LinkInfoStruct info;
    ASSERT_TRUE(fnReadLink(strLink, &info));
    EXPECT_STREQ("c:\\windows\\notepad.exe", CharLowerA(&info.strPath[0]));
    EXPECT_EQ("-a \"b c\"", info.strArgs);
    EXPECT_EQ("C:\\windows", info.strWorkDir);
    EXPECT_EQ("C:\\windows\\system32\\shell32.dll", info.strIcon);
    EXPECT_EQ(4, info.nIcon);
    EXPECT_EQ("Tool", info.strDesc);
    EXPECT_EQ(0x0641, info.wHotKey);
    EXPECT_EQ(3u, info.dwShow);
    EXPECT_EQ(1, fnCountFiles(m_strDir + "\\A\\*.*") - 2);  /* no temporary file stays beside it */

    /* saving again replaces the link */
    ASSERT_TRUE(SUCCEEDED(fnCreateShortcut(strLink.c_str(), "Tool", "C:\\windows\\regedit.exe", "", "", 0, "", 0, 2)));
    ASSERT_TRUE(fnReadLink(strLink, &info));
    EXPECT_EQ("", info.strArgs);
    EXPECT_EQ(2u, info.dwShow);
}

TEST_F(ShellLinkTest, FailuresLeaveNothingHalfWritten)
{
    EXPECT_TRUE(FAILED(fnCreateShortcut((m_strDir + "\\missing\\T.lnk").c_str(), "T", "C:\\t.exe", "", "", 0, "", 0, 1)));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_strDir + "\\missing").c_str()));
    /* a folder in the link's place cannot be replaced: it stays and no temporary file is left */
    ASSERT_TRUE(CreateDirectoryA((m_strDir + "\\B\\T.lnk").c_str(), NULL));
    EXPECT_TRUE(FAILED(fnCreateShortcut((m_strDir + "\\B\\T.lnk").c_str(), "T", "C:\\t.exe", "", "", 0, "", 0, 1)));
    EXPECT_EQ(0, fnCountFiles(m_strDir + "\\B\\*.tmp"));
    EXPECT_NE(0u, GetFileAttributesA((m_strDir + "\\B\\T.lnk").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(ShellLinkTest, SectionMakesAndRemovesLinksForEachEntryAndLogsEveryLine)
{
    UserInputStruct rec;
    ZeroMemory(&rec, sizeof(rec));
    const char *lpszEntries[][2] = {{"[Links]", "A"}, {"[Other]", "B"}, {"[Links]", "B"}, {"[Links]", "-SKIP-IT-"}};
    for (int i = 0; i < 4; i++) {
        fnCopyBounded(rec.szShortcutSection[i], sizeof(rec.szShortcutSection[i]), lpszEntries[i][0]);
        std::string strFolder = lpszEntries[i][1][0] == '-' ? lpszEntries[i][1] : m_strDir + "\\" + lpszEntries[i][1];
        fnCopyBounded(rec.szShortcutFolder[i], sizeof(rec.szShortcutFolder[i]), strFolder.c_str());
    }
    rec.bDesktopEntry[2] = TRUE;
    rec.nShortcutSections = 4;
    ASSERT_TRUE(SUCCEEDED(fnCreateShortcut((m_strDir + "\\A\\Old.lnk").c_str(), "Old", "C:\\o.exe", "", "", 0, "", 0, 1)));

    std::string strLog = m_strDir + "\\install.log";
    fnCopyBounded(g_szLogFile, sizeof(g_szLogFile), strLog.c_str());
    g_bLogOpen = TRUE;
    const char szSection[] = "[Links]\r\nTool,C:\\windows\\notepad.exe,,,,,MIN\r\nNo=Yes,Skipped,C:\\s.exe\r\n"
                             "Old,-REMOVE-\r\nBad:Name,C:\\b.exe\r\n";
    /* the bad name fails the section; the other lines are still carried out (quiet: no question) */
    g_bQuiet = TRUE;
    EXPECT_EQ(1u, fnShortcutSection(NULL, szSection, "[Links]", &rec, 0));
    EXPECT_TRUE(s_opened.empty());
    for (const char *lpszDir : {"A", "B"}) {
        LinkInfoStruct info;
        EXPECT_TRUE(fnReadLink(m_strDir + "\\" + lpszDir + "\\Tool.lnk", &info)) << lpszDir;
        EXPECT_EQ(2u, info.dwShow);
        EXPECT_EQ("C:\\windows\\notepad.exe", info.strIcon);
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_strDir + "\\A\\Old.lnk").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_strDir + "\\A\\Skipped.lnk").c_str()));

    std::string strText = fnReadText(strLog);
    std::string strA = m_strDir + "\\A\\Tool.lnk";
    EXPECT_NE(std::string::npos, strText.find("\"" + strA + "\",\"Tool\",\"C:\\windows\\notepad.exe\",\"\","
                                             "\"C:\\windows\\notepad.exe\",\"\",0,2,0\r\n"));
    EXPECT_NE(std::string::npos, strText.find("\"" + m_strDir + "\\A\\Old.lnk\",\"Old\",\"-REMOVE-\""));
    EXPECT_NE(std::string::npos, strText.find("Error - \"\",\"Bad:Name\""));
    EXPECT_EQ(std::string::npos, strText.find("Skipped"));

    /* outside a quiet run the folder window opens for each entry but the desktop one */
    g_bQuiet = FALSE;
    g_bLogOpen = FALSE;
    const char szGood[] = "[links]\r\nTool,C:\\windows\\notepad.exe\r\n";
    EXPECT_EQ(1u, fnShortcutSection(NULL, szGood, "[Links]", &rec, 0));
    EXPECT_EQ((std::vector<std::string>{m_strDir + "\\A"}), s_opened);
}

/* A thread whose COM is multithreaded already still makes links. */
DWORD WINAPI fnMtaThread(LPVOID lpParam)
{
    const std::string *lpstrDir = (const std::string *)lpParam;
    CoInitializeEx(NULL, COINIT_MULTITHREADED);
    UserInputStruct rec;
    ZeroMemory(&rec, sizeof(rec));
    fnCopyBounded(rec.szShortcutSection[0], sizeof(rec.szShortcutSection[0]), "[M]");
    fnCopyBounded(rec.szShortcutFolder[0], sizeof(rec.szShortcutFolder[0]), (*lpstrDir + "\\B").c_str());
    rec.nShortcutSections = 1;
    UINT r = fnShortcutSection(NULL, "[M]\r\nMta,C:\\windows\\notepad.exe\r\n", "[M]", &rec, 0);
    CoUninitialize();
    return r;
}

TEST_F(ShellLinkTest, ComSetUpOtherwiseIsUsedAsItIs)
{
    g_bQuiet = TRUE;
    HANDLE hThread = CreateThread(NULL, 0, fnMtaThread, &m_strDir, 0, NULL);
    ASSERT_NE((HANDLE)NULL, hThread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hThread, 60000));
    DWORD dwResult = 0;
    GetExitCodeThread(hThread, &dwResult);
    CloseHandle(hThread);
    EXPECT_EQ(1u, dwResult);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_strDir + "\\B\\Mta.lnk").c_str()));
}

}  // namespace
