/*
 * config/environment.h -- environment variables: the machine-wide and the
 * current user's environment in the registry, the program's own
 * environment, C:\AUTOEXEC.BAT, and the notice to running programs.
 * fnReadSetEnvironment (driver/handlers.h) runs the "[SetEnvironment]"
 * section over these.
 */
#ifndef TG_CONFIG_ENVIRONMENT_H
#define TG_CONFIG_ENVIRONMENT_H

#include <windows.h>

#define ENV_USER_KEY "Environment"
#define ENV_MACHINE_KEY "System\\CurrentControlSet\\Control\\Session Manager\\Environment"

/*
 * Edits variable lpszName of the user (bUser) or machine environment by the
 * first letter of lpszAction (N R S D B E), as a list of ";"-separated
 * elements when bMulti is set (config/envlist.h). The value is read whole and
 * written back with the type it had (REG_EXPAND_SZ keeps its references; a
 * new variable is REG_SZ); an empty result removes it. Any read failure other
 * than "not found" fails without writing. After a change the program's own
 * environment gets the new full value, and running programs are told once
 * (fnBroadcastEnvironment). FALSE on failure.
 */
BOOL fnSetRegEnvironment(const char *lpszName, const char *lpszValue, const char *lpszAction, BOOL bMulti,
                         BOOL bUser);
/* As fnSetRegEnvironment without the notice; *lpbChanged is set when something was written. */
BOOL fnSetRegEnvironmentQuiet(const char *lpszName, const char *lpszValue, const char *lpszAction, BOOL bMulti,
                              BOOL bUser, BOOL *lpbChanged);

/* Tells every top-level window that the environment changed (WM_SETTINGCHANGE "Environment"). */
void fnBroadcastEnvironment(void);

/*
 * Sets, changes or removes variable lpszName in C:\AUTOEXEC.BAT ("set NAME="
 * lines; PATH through its statements) by the action's first letter, placing
 * a new line by its second (A near the top, B before Windows starts, T at the
 * top, else the end). The file is backed up before its first edit of the run.
 * With bQuiet set nothing is asked.
 */
BOOL fnSetAutoExecEnvironment(HWND hWnd, const char *lpszName, const char *lpszValue, const char *lpszAction,
                              BOOL bQuiet, BOOL bFirstEdit);
/* The same on any batch file, so tests need not touch C:\. */
BOOL fnSetBatchEnvironment(HWND hWnd, const char *lpszFile, const char *lpszName, const char *lpszValue,
                           const char *lpszAction, BOOL bQuiet);

#endif
