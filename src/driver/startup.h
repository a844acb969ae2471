/*
 * driver/startup.h -- a program start: folders, command line, debug file,
 * window classes, the main window, and the hand-over to the script loader.
 */
#ifndef TG_DRIVER_STARTUP_H
#define TG_DRIVER_STARTUP_H

#include <windows.h>

#include "driver/cmdline.h"

/*
 * The whole program run, from WinMain; returns the process exit code: 0
 * success, 1 failed, 1602 cancelled by the user, 3010 a restart is needed
 * and was not made, 1641 a restart (or shutdown) was started.
 */
int fnRunProgram(HINSTANCE hInst, const char *lpszCmdLine, int nCmdShow);

/* Folders, command line and script choice; 0 ends start-up. */
BOOL fnInitialize(const char *lpszCmdLine);
/* Registers the main, splash, meter and mismatch list classes; FALSE after the failing one's message. */
BOOL fnRegisterClasses(HINSTANCE hInst);
/*
 * Creates the main window: 399 by 80 pixels (nothing when quiet), placed by
 * g_uShowVSWin (2 top centre, 3 top right, else top left) and shown unless
 * g_uShowVSWin is 0; in start-up message mode it covers the screen.
 */
HWND fnCreateMainWindow(HINSTANCE hInst, int nCmdShow);
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
