/*
 * driver/cmdfile.h -- the command file: a private-profile file with one
 * section "START" that a start reads instead of (or besides) its command
 * line, and that the "[WriteCmdFile]" section writes for a later start.
 */
#ifndef TG_DRIVER_CMDFILE_H
#define TG_DRIVER_CMDFILE_H

#include <windows.h>

#include "driver/cmdline.h"

/*
 * Replaces every text and the two switches of the record by the file's
 * values; a key the file lacks empties its value. FALSE when the file does
 * not exist (the record is then unchanged).
 */
BOOL fnReadCmdFile(const char *lpszFile, CmdOptionStruct *lpOpt);

/* Values the installation log and the debug log show as "(hidden)": they hold the password. */
enum {
    CMDHIDE_INIFILE = 0x01, CMDHIDE_SOURCEDIR = 0x02, CMDHIDE_DESTDIR = 0x04, CMDHIDE_ASKFOR = 0x08,
    CMDHIDE_CMDFILE = 0x10, CMDHIDE_STARTUPMSG = 0x20,
    CMDHIDE_FILENAME = 0x40   /* the command file's own name */
};

/*
 * Writes the set keys of the record to section "START" (switches as "TRUE").
 * The file holds every value as it is; the logs show "(hidden)" for those
 * named in uHidden (CMDHIDE_...). FALSE on a write error.
 */
BOOL fnWriteCmdFile(const char *lpszFile, const CmdOptionStruct *lpOpt, UINT uHidden);

/* Finds a named command file: as given, then in the source folder, then in the home folder. */
BOOL fnFindCmdFile(const char *lpszName, char *lpszPath, size_t cchPath);

#endif
