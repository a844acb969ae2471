/*
 * driver/loader.h -- bringing the script into memory and running it.
 */
#ifndef TG_DRIVER_LOADER_H
#define TG_DRIVER_LOADER_H

#include <windows.h>

/* The script buffer holds at most this many bytes of script and its terminator. */
#define CB_SCRIPT_BUFFER 262140
#define CB_SCRIPT_MAX (CB_SCRIPT_BUFFER - 1)

/* Loads g_szIniFile, runs the framing sections and the section walk, then cleans up. */
int fnLoadInf(HWND hWnd);

/* The program file's version as "a.b.c.d"; an empty text when it has none. */
BOOL fnReadProgramVersion(const char *lpszExe, char *lpszOut, size_t cchOut);

#endif
