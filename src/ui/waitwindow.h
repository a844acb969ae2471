/*
 * ui/waitwindow.h -- the wait window: a borderless note of the splash class
 * shown while a section or a program works.
 */
#ifndef TG_UI_WAITWINDOW_H
#define TG_UI_WAITWINDOW_H

#include <windows.h>

#define CCH_WAIT_TEXT 512
extern char g_szWaitText[CCH_WAIT_TEXT];

enum { WAIT_HEIGHT_SMALL = 1, WAIT_HEIGHT_MEDIUM = 2, WAIT_HEIGHT_LARGE = 3 };

/* Registers the splash class (derived from "STATIC"); FALSE when it cannot be. Safe to call twice. */
BOOL fnRegisterSplashClass(HINSTANCE hInst);

/*
 * Formats string uStrId with the arguments into g_szWaitText and shows a wait
 * window of height kind nHeight (40, 75 or 110 pixels) placed by nPlace (0
 * means top centre), topmost. With uMs above 0 the window is destroyed after
 * that pause and NULL returned; otherwise the caller destroys it.
 */
HWND fnShowWaitWindow(HWND hWndOwner, UINT uStrId, int nHeight, int nPlace, UINT uMs, ...);

#endif
