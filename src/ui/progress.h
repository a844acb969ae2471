/*
 * ui/progress.h -- the copy progress dialog (template 4) and its progress
 * meter control, shared by the file, directory, move and disk sections.
 * The loops of those sections write the text lines and steps and stop when
 * fnProgressCancelled says the user gave up.
 */
#ifndef TG_UI_PROGRESS_H
#define TG_UI_PROGRESS_H

#include <windows.h>

/* Messages of the meter: range and position are unsigned; setting either repaints at once. */
#define PM_SETRANGE (WM_USER)
#define PM_GETRANGE (WM_USER + 1)
#define PM_SETPOS (WM_USER + 2)
#define PM_GETPOS (WM_USER + 3)

/* Registers the meter class (string 1020); safe to call again. FALSE when it cannot be. */
BOOL fnRegisterMeterClass(HINSTANCE hInst);

/*
 * Creates the progress dialog, hidden, placed below the main window. The
 * sections call it only outside quiet runs; it returns NULL in a quiet run
 * as well as on failure. The caller destroys it.
 */
HWND fnCreateProgressDialog(HWND hWndOwner);

/* Shows the dialog with Cancel enabled, the text lines empty and the meter at 0 of 0. */
void fnShowProgressDialog(HWND hDlg);

/* TRUE once the user confirmed Cancel (the button is then disabled). FALSE for no dialog. */
BOOL fnProgressCancelled(HWND hDlg);

/* An item of the progress dialog (as GetDlgItem, remembered for the dialog last asked about). */
HWND fnProgressItem(HWND hDlg, int nId);

/* Sets a text line (IDC_PROGRESS_STATUS ... IDC_PROGRESS_TARGET) or the meter; nothing for no dialog. */
void fnSetProgressText(HWND hDlg, int nId, const char *lpszText);
void fnSetProgressMeter(HWND hDlg, DWORD dwPos, DWORD dwRange);

#endif
