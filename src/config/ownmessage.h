/*
 * config/ownmessage.h -- a script's own question with a button set of the
 * message window (types 101-104: OK and Cancel, Yes and No, OK and Exit, OK
 * alone), for the registry Check lines and the program sections. A quiet run
 * shows nothing and takes the first button.
 */
#ifndef TG_CONFIG_OWNMESSAGE_H
#define TG_CONFIG_OWNMESSAGE_H

#include <windows.h>

/* Message window button ids that the callers tell apart. */
enum {
    MSGWIN_OK = 1,
    MSGWIN_CANCEL = 2,
    MSGWIN_YES = 6,
    MSGWIN_NO = 7,
    MSGWIN_EXIT = 115
};

/* Message window button-set types. */
enum {
    MSGTYPE_OKCANCEL = 101,
    MSGTYPE_YESNO = 102,
    MSGTYPE_OKEXIT = 103,
    MSGTYPE_OK = 104
};

/* Shows lpszText with the buttons of uType; returns the id of the button pressed. */
int fnAskOwnMessage(HWND hWnd, const char *lpszText, UINT uType);

#endif
