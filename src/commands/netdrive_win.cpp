/*
 * commands/netdrive_win.cpp -- the MapDrive command: ask who holds the
 * drive, drop an old connection of it, then connect the remote path, each
 * retried while the network is not yet there.
 */
#include <windows.h>
#include <winnetwk.h>

#include "commands/commands_win.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"
#include "script/expand.h"

static void fnMprSleep(DWORD dwMs) { Sleep(dwMs); }

MprStruct g_mpr = {WNetGetUserA, WNetCancelConnection2A, WNetAddConnection2A, fnMprSleep};

#define MPR_TRIES 3

BOOL fnNetMapDrive(const char *lpszDrive, const char *lpszRemote, const char *lpszUser, const char *lpszPassword)
{
    BOOL bDrive = lpszDrive && lpszDrive[0];
    if (bDrive) {
        fnDebugLog("fnNetMapDrive - WNetGetUser Call", "lpszDrive=%s", g_uDebugLevel, lpszDrive);
        for (int i = 1; i <= MPR_TRIES; i++) {
            char szUser[CCH_PATH];
            DWORD cchUser = sizeof(szUser);
            fnDebugLog("fnNetMapDrive", "\nGet active user attempt number %d", g_uDebugLevel, i);
            if (g_mpr.pfnGetUser(lpszDrive, szUser, &cchUser) != ERROR_NO_NETWORK)
                break;
            if (i < MPR_TRIES)
                g_mpr.pfnSleep(1000);
        }
        DWORD dwResult = g_mpr.pfnCancelConnection2(lpszDrive, 0, FALSE);
        if (dwResult == NO_ERROR)
            fnDebugLog("fnNetMapDrive", "Success!\n%s disconnected.", g_uDebugLevel, lpszDrive);
        else if (dwResult != ERROR_NOT_CONNECTED)
            fnDebugLog("fnNetMapDrive", "Error!\ndwResult=%lu, lpszDrive=%s.", g_uDebugLevel, (unsigned long)dwResult,
                       lpszDrive);
    }
    NETRESOURCEA res;
    ZeroMemory(&res, sizeof(res));
    res.dwType = RESOURCETYPE_DISK;
    res.lpLocalName = bDrive ? (LPSTR)lpszDrive : NULL;
    res.lpRemoteName = (LPSTR)lpszRemote;
    BOOL bUser = lpszUser && lpszUser[0];
    BOOL bPassword = lpszPassword && lpszPassword[0];
    /* an empty password is still a password when a user is named; with neither, the current logon is used */
    const char *lpszUsePassword = (bPassword || bUser) ? lpszPassword : NULL;
    const char *lpszShowUser = bUser ? lpszUser : "";
    fnDebugLog("fnNetMapDrive", "User %s\nattempting to map\n%s to %s", g_uDebugLevel, lpszShowUser,
               bDrive ? lpszDrive : "", lpszRemote);
    DWORD dwResult = ERROR_NO_NETWORK;
    for (int i = 1; i <= MPR_TRIES; i++) {
        fnDebugLog("fnNetMapDrive", "\nUser %s attempt number %d to  map %s to %s", g_uDebugLevel, lpszShowUser, i,
                   bDrive ? lpszDrive : "", lpszRemote);
        dwResult = g_mpr.pfnAddConnection2(&res, lpszUsePassword, bUser ? lpszUser : NULL, 0);
        if (dwResult != ERROR_NO_NETWORK)
            break;
        if (i < MPR_TRIES)
            g_mpr.pfnSleep(1000);
    }
    if (dwResult == NO_ERROR) {
        fnDebugLog("fnNetMapDrive", "Success!\ndwResult=%lu.\nUser %s\nmapped\n%s to %s", g_uDebugLevel,
                   (unsigned long)dwResult, lpszShowUser, bDrive ? lpszDrive : "", lpszRemote);
        fnWriteLog("MapDrive=%s,%s", TRUE, bDrive ? lpszDrive : "", lpszRemote);
        return TRUE;
    }
    fnDebugLog("fnNetMapDrive", "Error!\ndwResult=%lu.\nUser %s\nfailed to map\n%s to %s", g_uDebugLevel,
               (unsigned long)dwResult, lpszShowUser, bDrive ? lpszDrive : "", lpszRemote);
    return FALSE;
}
