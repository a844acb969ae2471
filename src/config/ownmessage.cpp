/*
 * config/ownmessage.cpp -- a script's own question with a message-window
 * button set, shown as a message box whose buttons carry the window's texts
 * and answer with the window's button ids.
 */
#include "config/ownmessage.h"

#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/messages.h"

int fnAskOwnMessage(HWND hWnd, const char *lpszText, UINT uType)
{
    int nFirst = (uType == MSGTYPE_YESNO) ? MSGWIN_YES : MSGWIN_OK;
    if (g_bQuiet) {
        /* a quiet run opens no window: the first button is the answer */
        fnDebugLog("fnAskOwnMessage", "quiet: uType=%u answered %d,\nlpszText=%s", g_uDebugLevel, uType, nFirst,
                   lpszText);
        return nFirst;
    }
    int nRC;
    switch (uType) {
    case MSGTYPE_YESNO:
        nRC = fnMessageBoxEx(hWnd, lpszText, g_szMsgTitle, "&Yes", "&No", MB_YESNO | MB_ICONQUESTION);
        break;
    case MSGTYPE_OKEXIT:
        nRC = fnMessageBoxEx(hWnd, lpszText, g_szMsgTitle, "&OK", "E&xit", MB_OKCANCEL | MB_ICONQUESTION);
        if (nRC == IDCANCEL)
            nRC = MSGWIN_EXIT;
        break;
    case MSGTYPE_OK:
        nRC = fnMessageBoxEx(hWnd, lpszText, g_szMsgTitle, "&OK", NULL, MB_OK | MB_ICONINFORMATION);
        break;
    default:
        nRC = fnMessageBoxEx(hWnd, lpszText, g_szMsgTitle, "&OK", "&Cancel", MB_OKCANCEL | MB_ICONQUESTION);
        break;
    }
    fnDebugLog("fnAskOwnMessage", "uType=%u,\nnRC=%d", g_uDebugLevel, uType, nRC);
    return nRC;
}
