/*
 * ui/tests/dlgdriver.h -- answers the program's dialogs from another thread
 * the way a person would: wait for the window by its caption, look at it,
 * fill and press controls.
 */
#ifndef TG_UI_TESTS_DLGDRIVER_H
#define TG_UI_TESTS_DLGDRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

/*
 * Starts a thread that waits (up to 30 s) for a visible top-level dialog of
 * this process whose caption equals strCaption and is not hExcept, lets it
 * settle, then runs fnAct on it. *lpbFound tells whether it came.
 */
std::thread fnOnDialog(const std::string &strCaption, std::function<void(HWND)> fnAct, bool *lpbFound,
                       HWND hExcept = NULL);

/* Waits until hWnd is visible and enabled (a box above it disables it); FALSE after 30 s. */
bool fnWaitUsable(HWND hWnd);

/* A child's text. */
std::string fnItemText(HWND hDlg, int nId);
/* TRUE when the child exists and is visible. */
bool fnItemVisible(HWND hDlg, int nId);
bool fnItemEnabled(HWND hDlg, int nId);
/* Presses a button as a click would (posted, so the caller never waits on the dialog). */
void fnPress(HWND hDlg, int nId);
/* Rectangle of a child in screen coordinates. */
RECT fnItemRect(HWND hDlg, int nId);

#endif
