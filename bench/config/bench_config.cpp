/*
 * bench/config/bench_config.cpp -- times the configuration editors on the
 * sizes an administrator meets: a 20-line "[SetEnvironment]" section while a
 * top-level window of another thread has stopped answering messages, a
 * 30,000-character REG_EXPAND_SZ list edited at both ends, a 1 MB INI file
 * edited by the line editor, and 500 profile-function edits of a 200 KB
 * WIN.INI-like file. Prints one Markdown table row per measurement.
 *
 *   bench_config.exe
 */
#include <windows.h>

#include <stdio.h>

#include <string>
#include <thread>

#include "common/runstate.h"
#include "config/cfgfile.h"
#include "config/environment.h"
#include "driver/handlers.h"
#include "script/sysinfo_win.h"

#include "benchtime.h"

static void fnWrite(const std::string &strPath, const std::string &strText)
{
    FILE *fp = fopen(strPath.c_str(), "wb");
    if (fp) {
        fwrite(strText.data(), 1, strText.size(), fp);
        fclose(fp);
    }
}

int main()
{
    fnResetRunState();
    fnInstallMachineLookup();
    g_bQuiet = TRUE;
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    std::string strDir = std::string(szTemp) + "tgbench";
    CreateDirectoryA(strDir.c_str(), NULL);
    printf("# Configuration editors, timed under Wine\n\n"
           "Written by `make bench-config` (bench/config/bench_config.cpp); times are wall-clock on the build\n"
           "machine and vary with its load. A notice to running programs waits up to 5 s on a window that\n"
           "has stopped answering (after that the system counts it as hung and skips it): the section\n"
           "sends one notice at its end, not one per line.\n\n");
    printf("| measurement | size | time | note |\n|---|---|---|---|\n");

    /* a window that stops answering: each notice may wait on it up to the 5 s time-out */
    std::thread([]() {
        HWND hWnd = CreateWindowA("STATIC", "tgbench-hung", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        (void)hWnd;
        Sleep(INFINITE);
    }).detach();
    Sleep(200);
    std::string strSection = "[SetEnvironment]\r\n";
    for (int i = 0; i < 20; i++)
        strSection += "=,TGBENCH_VAR" + std::to_string(i % 4) + ",value" + std::to_string(i) + "\r\n";
    double d0 = fnNowMs();
    fnReadSetEnvironment(NULL, strSection.c_str(), "[SetEnvironment]");
    fnRow("[SetEnvironment], 20 lines, one notice for the section", "20 lines", fnNowMs() - d0,
          "a window of the process is not answering");
    for (int i = 0; i < 4; i++)
        RegDeleteKeyValueA(HKEY_CURRENT_USER, ENV_USER_KEY, ("TGBENCH_VAR" + std::to_string(i)).c_str());

    /* a 30,000-character expandable list: append at the end, remove the first element */
    std::string strPath = "%SystemRoot%\\system32";
    for (int i = 0; strPath.size() < 30000; i++)
        strPath += ";C:\\Program Files\\Vendor" + std::to_string(i) + "\\bin";
    RegSetKeyValueA(HKEY_CURRENT_USER, ENV_USER_KEY, "TGBENCH_PATH", REG_EXPAND_SZ, strPath.c_str(),
                    (DWORD)strPath.size() + 1);
    d0 = fnNowMs();
    BOOL bOk = fnSetRegEnvironmentQuiet("TGBENCH_PATH", "D:\\New", "E", TRUE, TRUE, NULL);
    bOk = fnSetRegEnvironmentQuiet("TGBENCH_PATH", "%SystemRoot%\\system32", "D", TRUE, TRUE, NULL) && bOk;
    fnRow("PATH list edit, append then remove", "30,000 characters", (fnNowMs() - d0) / 2,
          bOk ? "per edit, REG_EXPAND_SZ kept" : "FAILED");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, ENV_USER_KEY, "TGBENCH_PATH");

    /* a 1 MB INI file: one key in the middle replaced through a temporary file */
    std::string strIni;
    for (int s = 0; strIni.size() < 1024 * 1024; s++) {
        strIni += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 20; k++)
            strIni += "Key" + std::to_string(k) + "=" + std::string(40, 'v') + "\r\n";
    }
    fnWrite(strDir + "\\big.ini", strIni);
    fnResetConfigBackups();
    g_uBackUpMethod = 501;
    std::string strEdit = "[IniEdits]\r\n=," + strDir + "\\big.ini,Section700,Key7,new,N,W\r\n";
    d0 = fnNowMs();
    fnIniFilesEdit(NULL, strEdit.c_str(), "[IniEdits]");
    fnRow("[IniEdits] line editor, one key", "1 MB file", fnNowMs() - d0, "with its .ORI backup");
    d0 = fnNowMs();
    fnIniFilesEdit(NULL, strEdit.c_str(), "[IniEdits]");
    fnRow("[IniEdits] line editor, the same key again", "1 MB file", fnNowMs() - d0, "unchanged: nothing written");

    /* 500 profile edits of a 200 KB file */
    std::string strWin;
    for (int s = 0; strWin.size() < 200 * 1024; s++) {
        strWin += "[Win" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 10; k++)
            strWin += "Entry" + std::to_string(k) + "=" + std::string(30, 'w') + "\r\n";
    }
    fnWrite(strDir + "\\win.ini", strWin);
    std::string strProfile = "[IniEdits]\r\n";
    for (int i = 0; i < 500; i++)
        strProfile += "=," + strDir + "\\win.ini,Win" + std::to_string(i % 50) + ",Bench" + std::to_string(i) + ",x\r\n";
    d0 = fnNowMs();
    fnIniFilesEdit(NULL, strProfile.c_str(), "[IniEdits]");
    fnRow("[IniEdits] type I (profile functions)", "500 lines, 200 KB file", fnNowMs() - d0, "");
    fnWrite(strDir + "\\win.ini", strWin);
    d0 = fnNowMs();
    for (int i = 0; i < 500; i++)
        WritePrivateProfileStringA(("Win" + std::to_string(i % 50)).c_str(), ("Bench" + std::to_string(i)).c_str(), "x",
                                   (strDir + "\\win.ini").c_str());
    fnRow("the profile function alone, for comparison", "500 writes, 200 KB file", fnNowMs() - d0, "");

    for (const char *lpszName : {"big.ini", "big.ORI", "win.ini", "win.ORI"})
        DeleteFileA((strDir + "\\" + lpszName).c_str());
    RemoveDirectoryA(strDir.c_str());
    return 0;
}
