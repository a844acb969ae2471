/*
 * ui/msgwindow.h -- the message window: a modal dialog with a text and one or
 * two buttons of a small set, for the checks, registry and program sections
 * that ask the user a question with buttons of their own.
 */
#ifndef TG_UI_MSGWINDOW_H
#define TG_UI_MSGWINDOW_H

#include <windows.h>

#include "common/tgtypes.h"

#define CCH_MSGWINDOW_TEXT 1024

/* Button types: first place / second place. Any other type shows OK / Cancel. */
enum {
    MSGWIN_YESNO = 102,          /* Yes (6) / No (7) */
    MSGWIN_OKEXIT = 103,         /* OK (1) / Exit (115) */
    MSGWIN_OK = 104,             /* OK (1) */
    MSGWIN_CONTINUE = 105,       /* Continue (116) */
    MSGWIN_EXIT = 106,           /* Exit (115) */
    MSGWIN_EXITCONTINUE = 107,   /* Exit (115) / Continue (116) */
    MSGWIN_RETRYCONTINUE = 108,  /* Retry (4) / Continue (116) */
    MSGWIN_RETRYCANCEL = 109,    /* Retry (4) / Cancel (2) */
    MSGWIN_RETRYEXIT = 110,      /* Retry (4) / Exit (115) */
    MSGWIN_CANCEL = 111,         /* Cancel (2) */
    MSGWIN_YES = 112,            /* Yes (6) alone: the script message dialog's "YES" set */
    MSGWIN_NO = 113              /* No (7) alone: its "NO" set */
};

/* Ids of the two buttons that are not standard dialog ids. */
#define MSGWIN_ID_EXIT 115
#define MSGWIN_ID_CONTINUE 116

struct MsgWindowStruct {
    char szCaption[CCH_TITLE];           /* empty: the dialog's own title "Message Box" */
    char szText[CCH_MSGWINDOW_TEXT];
    int nPlace;                          /* placement code 1-9; 0 leaves the window centred */
    UINT uType;                          /* MSGWIN_... */
};

/* The button ids of a type: *lpnFirst always, *lpnSecond 0 when the type has one button. */
void fnMessageWindowButtons(UINT uType, int *lpnFirst, int *lpnSecond);

/*
 * Shows the message window owned by hWnd (NULL: the main window) and returns
 * the id of the button pressed: IDOK, IDCANCEL, IDRETRY, IDYES, IDNO,
 * MSGWIN_ID_EXIT or MSGWIN_ID_CONTINUE. Escape and the close box count only
 * where a Cancel button is shown. A quiet run shows nothing and returns the
 * first button, except that Retry, which would only ask again, gives the
 * second. Returns 0 when the dialog cannot be made.
 */
int fnShowMessageWindow(HWND hWnd, const MsgWindowStruct *lpMsg);

#endif
