/*
 * driver/startup.h -- a program start: folders, command line, debug file,
 * window classes, the main window, and the hand-over to the script loader.
 */
#ifndef TG_DRIVER_STARTUP_H
#define TG_DRIVER_STARTUP_H

#include <windows.h>

#include "driver/cmdline.h"

/* The whole program run, from WinMain; returns the process exit code (0 success, 1 failure). */
int fnRunProgram(HINSTANCE hInst, const char *lpszCmdLine, int nCmdShow);

/* Folders, command line and script choice; 0 ends start-up. */
BOOL fnInitialize(const char *lpszCmdLine);
/* Creates the main window and runs the script loader; FALSE when the window cannot be made. */
BOOL fnInitInstance(HINSTANCE hInst, int nCmdShow);

/* The command-option record of this start. */
extern CmdOptionStruct g_cmdOptions;
/* Version banner painted in the main window. */
extern char g_szBanner[512];
/* This process is the temporary copy started by the loader: it never starts another. */
extern BOOL g_bTempExec;
/* Start-up message mode: a full-screen main window that shows g_szStartupMsg. */
extern BOOL g_bMessage;
extern char g_szStartupMsg[CCH_TITLE];
/* The source folder as start-up left it, before any section changed it. */
extern char g_szOrigSourceDir[CCH_PATH];

#endif
