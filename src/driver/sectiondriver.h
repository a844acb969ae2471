/*
 * driver/sectiondriver.h -- the section walk: fnReadInf steps through the
 * script's sections in order and fnParseInfSection dispatches each by name.
 */
#ifndef TG_DRIVER_SECTIONDRIVER_H
#define TG_DRIVER_SECTIONDRIVER_H

#include <windows.h>

#include "common/records.h"

/* Prepares the run record, walks the sections of lpszInf and calls fnUserExit. Always 1. */
int fnReadInf(HWND hWnd, char *lpszInf);

/*
 * The section loop over lpszInf with the given run record; sets uFailed when a
 * section fails. Returns the status that ended the walk (1 when it ran to the end).
 */
UINT fnWalkSections(HWND hWnd, char *lpszInf, UserInputStruct *lpUserInput);

/* Runs one section (its text ends before the next header); returns its section status. */
UINT fnParseInfSection(HWND hWnd, const char *lpszSection, UserInputStruct *lpUserInput);

/* The wait window around a section that takes time; NULL when none is shown. */
HWND fnShowSectionStatus(HWND hWnd, const char *lpszName, const char *lpszCaption);
void fnEndSectionStatus(HWND hWndStatus);

/* Fills the run record from the run-wide settings, as the walk starts. */
void fnPrepareUserInput(UserInputStruct *lpUserInput);

/*
 * Test seam: when set, called instead of the handler of every matched row
 * (with the matched name and the section text); the row's rule still applies.
 */
typedef UINT (*DispatchOverrideProc)(const char *lpszName, const char *lpszSection);
extern DispatchOverrideProc g_pfnDispatchOverride;

/* The run record of the current walk (NULL outside one). */
extern UserInputStruct *g_lpUserInput;

#endif
