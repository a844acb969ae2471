/*
 * shortcuts/shelllink.cpp -- shell links through IShellLinkA and
 * IPersistFile, saved whole or not at all, and the folder window.
 */
#include "shortcuts/shelllink.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "driver/winstate.h"
#include "script/pathtext.h"

static void fnOpenFolderWindow(HWND hWnd, const char *lpszFolder)
{
    HINSTANCE hResult = ShellExecuteA(hWnd, "open", lpszFolder, NULL, NULL, SW_SHOWNOACTIVATE);
    if ((INT_PTR)hResult <= 32)
        fnDebugLog("fnOpenFolderWindow", "ShellExecute failed, lpszFolder=%s, nResult=%d", g_uDebugLevel, lpszFolder,
                   (int)(INT_PTR)hResult);
    if (g_hWndMain)
        SetWindowPos(g_hWndMain, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

OpenFolderProc g_pfnOpenFolderWindow = fnOpenFolderWindow;

BOOL fnRemoveShortcut(const char *lpszLink)
{
    if (DeleteFileA(lpszLink))
        return TRUE;
    DWORD dwError = GetLastError();
    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND)
        return TRUE;
    fnDebugLog("fnRemoveShortcut", "DeleteFile failed, lpszLink=%s, dwError=%lu", g_uDebugLevel, lpszLink,
               (unsigned long)dwError);
    return FALSE;
}

/* The link's settings and its save to lpszFile. */
static HRESULT fnWriteLink(const char *lpszFile, const char *lpszName, const char *lpszTarget, const char *lpszArgs,
                           const char *lpszIcon, int nIconIndex, const char *lpszWorkDir, WORD wHotKey, int nShow)
{
    IShellLinkA *lpLink = NULL;
    IPersistFile *lpFile = NULL;
    const char *lpszStage = "CoCreateInstance";
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void **>(&lpLink));
    if (SUCCEEDED(hr)) {
        lpszStage = "SetPath";
        /* a target that does not exist yet is accepted (S_FALSE) */
        hr = lpLink->SetPath(lpszTarget);
    }
    if (SUCCEEDED(hr)) {
        lpszStage = "SetDescription";
        hr = lpLink->SetDescription(lpszName);
    }
    if (SUCCEEDED(hr) && lpszArgs && *lpszArgs) {
        lpszStage = "SetArguments";
        hr = lpLink->SetArguments(lpszArgs);
    }
    if (SUCCEEDED(hr) && lpszIcon && *lpszIcon) {
        lpszStage = "SetIconLocation";
        hr = lpLink->SetIconLocation(lpszIcon, nIconIndex);
    }
    if (SUCCEEDED(hr) && lpszWorkDir && *lpszWorkDir) {
        lpszStage = "SetWorkingDirectory";
        hr = lpLink->SetWorkingDirectory(lpszWorkDir);
    }
    if (SUCCEEDED(hr) && wHotKey) {
        lpszStage = "SetHotkey";
        hr = lpLink->SetHotkey(wHotKey);
    }
    if (SUCCEEDED(hr) && nShow) {
        lpszStage = "SetShowCmd";
        hr = lpLink->SetShowCmd(nShow);
    }
    if (SUCCEEDED(hr)) {
        lpszStage = "QueryInterface";
        hr = lpLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&lpFile));
    }
    if (SUCCEEDED(hr)) {
        lpszStage = "Save";
        WCHAR wszFile[MAX_PATH];
        if (!MultiByteToWideChar(CP_ACP, 0, lpszFile, -1, wszFile, MAX_PATH))
            hr = HRESULT_FROM_WIN32(GetLastError());
        else
            hr = lpFile->Save(wszFile, TRUE);
    }
    if (FAILED(hr))
        fnDebugLog("fnCreateShortcut", "%s failed, lpszFile=%s, hr=0x%08lx", g_uDebugLevel, lpszStage, lpszFile,
                   (unsigned long)hr);
    if (lpFile)
        lpFile->Release();
    if (lpLink)
        lpLink->Release();
    return hr;
}

HRESULT fnCreateShortcut(const char *lpszLink, const char *lpszName, const char *lpszTarget, const char *lpszArgs,
                         const char *lpszIcon, int nIconIndex, const char *lpszWorkDir, WORD wHotKey, int nShow)
{
    fnDebugLog("fnCreateShortcut", "lpszLink=%s,\nlpszTarget=%s,\nlpszArgs=%s,\nlpszIcon=%s,%d\nlpszWorkDir=%s,\n"
               "wHotKey=0x%04x, nShow=%d", g_uDebugLevel, lpszLink, lpszTarget, lpszArgs ? lpszArgs : "",
               lpszIcon ? lpszIcon : "", nIconIndex, lpszWorkDir ? lpszWorkDir : "", wHotKey, nShow);
    char szFolder[MAX_PATH], szTemp[MAX_PATH];
    fnSplitPath(lpszLink, NULL, NULL, NULL, NULL, NULL, szFolder);
    /* written beside the link, then moved over it: a failed save never touches the link */
    if (!GetTempFileNameA(szFolder[0] ? szFolder : ".", "tgl", 0, szTemp)) {
        DWORD dwError = GetLastError();
        fnDebugLog("fnCreateShortcut", "GetTempFileName failed, szFolder=%s, dwError=%lu", g_uDebugLevel, szFolder,
                   (unsigned long)dwError);
        return HRESULT_FROM_WIN32(dwError);
    }
    HRESULT hr = fnWriteLink(szTemp, lpszName, lpszTarget, lpszArgs, lpszIcon, nIconIndex, lpszWorkDir, wHotKey,
                             nShow);
    if (SUCCEEDED(hr) && !MoveFileExA(szTemp, lpszLink, MOVEFILE_REPLACE_EXISTING)) {
        hr = HRESULT_FROM_WIN32(GetLastError());
        fnDebugLog("fnCreateShortcut", "MoveFileEx failed, lpszLink=%s, hr=0x%08lx", g_uDebugLevel, lpszLink,
                   (unsigned long)hr);
    }
    if (FAILED(hr))
        DeleteFileA(szTemp);
    return hr;
}
