/*
 * driver/installlog.h -- the installation log: opened once per run by the
 * sections that name it, written by every Part that changes the machine.
 */
#ifndef TG_DRIVER_INSTALLLOG_H
#define TG_DRIVER_INSTALLLOG_H

#include "common/tgtypes.h"

/*
 * Opens the installation log lpszName unless one is open already or the name
 * is empty. A name without a drive lies in g_szDestDir; an existing file of
 * that name is never overwritten. Writes the "[Tallgrid Log]" header lines.
 */
void fnOpenInstallLog(const char *lpszName);

/* Expands the options in a log file name; FALSE when a value is missing or the name would be cut. */
BOOL fnExpandLogName(const char *lpszName, char *lpszOut, size_t cchOut);

/* Local date as YYYYMMDD and time as HHMMSS; returns lpszTime. */
char *fnGetDateTime(char *lpszDate, char *lpszTime);

#endif
