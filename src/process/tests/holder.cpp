/*
 * process/tests/holder.cpp -- scratch folders and tgholder copies for the
 * process tests.
 */
#include "holder.h"

#include <stdio.h>

static std::string fnHolderExe(void)
{
    char sz[MAX_PATH];
    GetModuleFileNameA(NULL, sz, sizeof(sz));
    std::string s = sz;
    return s.substr(0, s.find_last_of('\\') + 1) + "tgholder.exe";
}

std::string fnScratchDir(const char *lpszName)
{
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    std::string s = std::string(szTemp) + lpszName;
    fnRemoveDir(s);
    CreateDirectoryA(s.c_str(), NULL);
    return s;
}

void fnRemoveDir(const std::string &strDir)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((strDir + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string strName = fd.cFileName;
            if (strName == "." || strName == "..")
                continue;
            std::string strPath = strDir + "\\" + strName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                fnRemoveDir(strPath);
            } else {
                SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(strPath.c_str());
            }
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
    }
    RemoveDirectoryA(strDir.c_str());
}

bool fnCopyHolder(const std::string &strPath)
{
    for (size_t n = strPath.find('\\', 3); n != std::string::npos; n = strPath.find('\\', n + 1))
        CreateDirectoryA(strPath.substr(0, n).c_str(), NULL);
    return CopyFileA(fnHolderExe().c_str(), strPath.c_str(), FALSE) != 0;
}

std::string fnFileText(const std::string &strPath)
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

bool HolderStruct::Start(const std::string &strExe, const std::string &strArgs, bool bWindow)
{
    std::string strCmd = "\"" + strExe + "\" \"-log=" + strLog + "\" " + strArgs;
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNOACTIVATE;
    if (!CreateProcessA(NULL, &strCmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    pi.hThread = NULL;
    if (!WaitLog("start"))
        return false;
    /* a windowed holder is ready once its window takes input */
    if (bWindow)
        WaitForInputIdle(pi.hProcess, 20000);
    return true;
}

bool HolderStruct::WaitLog(const char *lpszText, DWORD dwMs)
{
    DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < dwMs) {
        if (Log().find(lpszText) != std::string::npos)
            return true;
        Sleep(50);
    }
    return false;
}

std::string HolderStruct::Log() const { return fnFileText(strLog); }

DWORD HolderStruct::ExitCode() const
{
    DWORD dw = 0;
    if (pi.hProcess)
        GetExitCodeProcess(pi.hProcess, &dw);
    return dw;
}

void HolderStruct::Kill()
{
    if (!pi.hProcess)
        return;
    if (Running()) {
        TerminateProcess(pi.hProcess, 98);
        WaitForSingleObject(pi.hProcess, 10000);
    }
    CloseHandle(pi.hProcess);
    pi.hProcess = NULL;
}

static BOOL CALLBACK fnCollectStatic(HWND hWnd, LPARAM lParam)
{
    char szClass[32], szText[1024];
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    GetWindowTextA(hWnd, szText, sizeof(szText));
    if (lstrcmpiA(szClass, "Static") == 0)
        *(std::string *)lParam += szText;
    return TRUE;
}

void BoxWatchStruct::Start(const std::string &strCaption, int nPress)
{
    t = std::thread([this, strCaption, nPress]() {
        while (!bStop) {
            HWND hWnd = FindWindowA("#32770", strCaption.c_str());
            if (hWnd && IsWindowVisible(hWnd)) {
                Sleep(100);
                EnumChildWindows(hWnd, fnCollectStatic, (LPARAM)&strText);
                bFound = true;
                PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(nPress, BN_CLICKED), (LPARAM)GetDlgItem(hWnd, nPress));
                return;
            }
            Sleep(50);
        }
    });
}

void BoxWatchStruct::Stop()
{
    bStop = true;
    if (t.joinable())
        t.join();
}
