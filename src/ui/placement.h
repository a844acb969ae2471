/*
 * ui/placement.h -- the nine placement codes that put a window at a corner,
 * an edge or the centre of the work area, and the routine dialogs call to sit
 * below the main window.
 */
#ifndef TG_UI_PLACEMENT_H
#define TG_UI_PLACEMENT_H

#include <windows.h>

enum {
    PLACE_TOPLEFT = 1,
    PLACE_TOPRIGHT = 2,
    PLACE_TOPCENTER = 3,
    PLACE_CENTERLEFT = 4,
    PLACE_CENTER = 5,
    PLACE_CENTERRIGHT = 6,
    PLACE_BOTTOMLEFT = 7,
    PLACE_BOTTOMCENTER = 8,
    PLACE_BOTTOMRIGHT = 9
};

/*
 * Moves hWnd by nCode (1-9; other codes leave it where it is) inside the work
 * area, never changing its size; with bTopmost it is then made topmost and
 * brought to the foreground. Returns FALSE when the window was not moved.
 */
BOOL fnPlaceWindow(HWND hWnd, BOOL bTopmost, int nCode);

/* Top-left corner for a window of the given size in the work area (pure rule, tested alone). */
void fnPlacementPoint(const RECT *lpWork, int cxWnd, int cyWnd, int nCode, POINT *lpPt);

/* Work area of the desktop, or the desktop window's rectangle when it cannot be read. */
void fnGetWorkArea(RECT *lpRect);

/*
 * Places a dialog below the main window (left edges equal, top at the work
 * area's top plus the main window's height, clamped into the work area); with
 * bCaption its caption becomes the message title; in a quiet run the dialog
 * is hidden, else with bBeep the default beep sounds.
 */
void fnSetUpDialog(HWND hDlg, BOOL bCaption, BOOL bBeep);

#endif
