/*
 * driver/messages.h -- message boxes: numbered messages from the string table
 * and boxes whose buttons carry the script's own texts.
 */
#ifndef TG_DRIVER_MESSAGES_H
#define TG_DRIVER_MESSAGES_H

#include <windows.h>

/*
 * Shows string uId (or, with uId 0, the first argument as the format) filled
 * with the arguments, in a box owned by the window with the focus, captioned
 * lpszCaption or the message title, topmost and in the foreground. Does not
 * look at g_bQuiet: callers that must stay quiet test it first.
 */
int fnMessage(UINT uId, const char *lpszCaption, UINT uFlags, ...);

/*
 * Standard message box whose first button reads lpszButton1 (default "OK")
 * and, when the box has more than an OK button, whose second reads
 * lpszButton2 (default "Cancel"). Results are the standard IDOK, IDCANCEL, ...
 */
int fnMessageBoxEx(HWND hWndOwner, const char *lpszText, const char *lpszCaption, const char *lpszButton1,
                   const char *lpszButton2, UINT uFlags);

#endif
