/*
 * driver/userexit.h -- the end of a run: the closing message and the exit
 * code the process ends with.
 */
#ifndef TG_DRIVER_USEREXIT_H
#define TG_DRIVER_USEREXIT_H

#include <windows.h>

#include "common/records.h"

/* TRUE when the section walk ended failed; the process then ends with exit code 1. */
extern BOOL g_bRunFailed;

/* Closes the run once after the section walk. Always 1. */
int fnUserExit(HWND hWnd, UserInputStruct *lpUserInput);

#endif
