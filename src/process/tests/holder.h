/*
 * process/tests/holder.h -- starting and watching copies of tgholder.exe (the
 * test window holder built beside the test programs) in a scratch folder.
 */
#ifndef TG_PROCESS_TESTS_HOLDER_H
#define TG_PROCESS_TESTS_HOLDER_H

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

/* A fresh scratch folder under the temporary folder (blanks in its name on purpose). */
std::string fnScratchDir(const char *lpszName);
/* Removes a folder and everything in it (read-only files too). */
void fnRemoveDir(const std::string &strDir);
/* Copies tgholder.exe to strPath (folders made as needed); false when it cannot. */
bool fnCopyHolder(const std::string &strPath);

struct HolderStruct {
    PROCESS_INFORMATION pi = {};
    std::string strLog;
    bool Start(const std::string &strExe, const std::string &strArgs, bool bWindow = true);
    /* TRUE once the log holds the text (waits up to 20 s) */
    bool WaitLog(const char *lpszText, DWORD dwMs = 20000);
    std::string Log() const;
    bool Running() const { return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const;
    void Kill();
    ~HolderStruct() { Kill(); }
};

/*
 * Watches, on another thread, for a message box with this caption and presses
 * button nPress when one comes; strText then holds its static texts. Stop
 * ends the watch (a test that expects no box stops it after the call).
 */
struct BoxWatchStruct {
    std::thread t;
    std::atomic<bool> bStop{false};
    bool bFound = false;
    std::string strText;
    void Start(const std::string &strCaption, int nPress);
    void Stop();
    ~BoxWatchStruct() { Stop(); }
};

/* The text of a file ("" when it cannot be read). */
std::string fnFileText(const std::string &strPath);

#endif
